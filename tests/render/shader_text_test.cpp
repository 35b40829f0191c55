// The '~' cut of shader texts on its own, without GL: it also runs under the
// sanitizers, which watch the copy stay inside a buffer of limit + 4 bytes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/shader_text.h"

namespace {

struct Case {
    const char* name;
    std::string data;
    std::size_t limit;
    ShaderTextStatus status;
    std::size_t length;
};

TEST(ShaderTextTest, CutsAtTheFirstMarkerWithinTheLimit)
{
    const Case cases[] = {
        {"empty resource", "", 8, ShaderTextStatus::NoEndMarker, 0},
        {"no marker", "void main() {}", 64, ShaderTextStatus::NoEndMarker, 0},
        {"marker first", "~rest", 8, ShaderTextStatus::Ok, 0},
        {"second marker ignored", "ab~cd~", 8, ShaderTextStatus::Ok, 2},
        {"zero bytes are text", std::string("a\0b~", 4), 8, ShaderTextStatus::Ok, 3},
        {"exactly the limit", "12345678~", 8, ShaderTextStatus::Ok, 8},
        {"one over the limit", "123456789~", 8, ShaderTextStatus::TooLong, 9},
        {"zero limit", "x~", 0, ShaderTextStatus::TooLong, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Exactly limit + 4 bytes, marked so that untouched bytes show.
        std::vector<char> buffer(c.limit + 4, '#');
        const ShaderText text = extractShaderText(reinterpret_cast<const unsigned char*>(c.data.data()),
                                                  c.data.size(), buffer.data(), c.limit);
        EXPECT_EQ(text.status, c.status);
        EXPECT_EQ(text.length, c.length);
        if (c.status == ShaderTextStatus::Ok) {
            EXPECT_EQ(std::string(buffer.data(), c.length), c.data.substr(0, c.length));
            EXPECT_EQ(std::string(buffer.data() + c.length, 4), std::string(4, '\0'));
        } else {
            EXPECT_EQ(std::string(buffer.data(), buffer.size()), std::string(buffer.size(), '#'));
        }
    }
}

}  // namespace
