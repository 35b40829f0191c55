// Fuzz target: any bytes as a shader resource, cut at its first '~' into a
// buffer of exactly limit + 4 bytes (AddressSanitizer guards its ends). The
// first input byte picks a small limit, so that texts over the limit occur
// within the fuzzer's input sizes; the shipped limit is tried as well.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "render/program.h"
#include "render/shader_text.h"

namespace {

void check(const std::uint8_t* data, std::size_t size, std::size_t limit)
{
    const std::unique_ptr<char[]> buffer(new char[limit + 4]);
    std::memset(buffer.get(), '#', limit + 4);
    const ShaderText text = extractShaderText(data, size, buffer.get(), limit);
    const void* marker = size ? std::memchr(data, '~', size) : nullptr;
    switch (text.status) {
    case ShaderTextStatus::NoEndMarker:
        if (marker)
            std::abort();
        break;
    case ShaderTextStatus::TooLong:
        if (!marker || text.length <= limit || data[text.length] != '~')
            std::abort();
        break;
    case ShaderTextStatus::Ok:
        if (marker != data + text.length || text.length > limit ||
            std::memcmp(buffer.get(), data, text.length) != 0)
            std::abort();
        for (std::size_t i = text.length; i < text.length + 4; ++i)
            if (buffer[i] != '\0')
                std::abort();
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0)
        check(data + 1, size - 1, data[0] % 64);
    check(data, size, GLFWProgram::SHADER_TEXT_LIMIT);
    return 0;
}
