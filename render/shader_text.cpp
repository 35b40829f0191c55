#include "render/shader_text.h"

#include <cstring>

ShaderText extractShaderText(const unsigned char* data, std::size_t size, char* buffer, std::size_t limit)
{
    // The resource's own end bounds the search.
    const void* marker = size ? std::memchr(data, '~', size) : nullptr;
    if (!marker)
        return {ShaderTextStatus::NoEndMarker, 0};
    const auto length = static_cast<std::size_t>(static_cast<const unsigned char*>(marker) - data);
    if (length > limit)
        return {ShaderTextStatus::TooLong, length};
    std::memcpy(buffer, data, length);
    std::memset(buffer + length, 0, 4);
    return {ShaderTextStatus::Ok, length};
}
