// The particle shader texts as the executable carries them.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/resources.h"
#include "process.h"

namespace {

struct Text {
    int id;
    const char* stage;  // glslangValidator's name for it
};

const Text kTexts[] = {{136, "frag"}, {137, "vert"}};

std::string shipped(int id)
{
    const platform::ResourceEntry* entry = platform::findResource(platform::kTextFile, id);
    if (!entry)
        return {};
    EXPECT_EQ(entry->language, 0x0419);
    return std::string(reinterpret_cast<const char*>(entry->data), entry->size);
}

TEST(ShaderText, FollowsTheTextConvention)
{
    for (const Text& t : kTexts) {
        SCOPED_TRACE(t.id);
        const std::string text = shipped(t.id);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.rfind("#version 140\r\n", 0), 0u);
        // One '~', the last byte, on a last line of its own: "//~".
        EXPECT_EQ(text.find('~'), text.size() - 1);
        EXPECT_EQ(text.substr(text.size() - 5), "\r\n//~");
        EXPECT_LE(text.size() - 1, 16384u);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
            }
            if (text[i] == '\r') {
                ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at byte " << i;
            }
        }
    }
}

// The reference compiler accepts what GL receives: the text before the '~'.
TEST(ShaderText, CompilesOffline)
{
    int status = 0;
    testsupport::shell("command -v glslangValidator >/dev/null", &status);
    if (status != 0)
        GTEST_SKIP() << "glslangValidator is not installed (scripts/setup installs it)";
    for (const Text& t : kTexts) {
        SCOPED_TRACE(t.id);
        const std::string text = shipped(t.id);
        const std::string path = std::string(GLIMMERFALL_BINARY_DIR) + "/shader_text_test_" +
                                 std::to_string(t.id) + "." + t.stage;
        std::ofstream(path, std::ios::binary) << text.substr(0, text.find('~'));
        const std::string out = testsupport::shell("glslangValidator " + path + " 2>&1", &status);
        EXPECT_EQ(status, 0) << out;
        std::remove(path.c_str());
    }
}

}  // namespace
