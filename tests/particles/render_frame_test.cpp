// The frame tool writes a PNG of the size asked for.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "process.h"

namespace {

std::uint32_t bigEndian(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

TEST(RenderFrameTool, WritesAnRgbPngOfTheAskedSize)
{
    const std::string path = std::string(GLIMMERFALL_BINARY_DIR) + "/render_frame_test.png";
    std::remove(path.c_str());
    testsupport::Child tool(PARTICLE_RENDER_FRAME, {path, "12.5", "200", "100"});
    ASSERT_TRUE(tool.waitExit(60.0));
    ASSERT_EQ(tool.exitStatus(), 0) << tool.err();

    std::ifstream in(path, std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(bigEndian(png, 16), 200u);
    EXPECT_EQ(bigEndian(png, 20), 100u);
    EXPECT_EQ(png[24], 8);  // bits per channel
    EXPECT_EQ(png[25], 2);  // RGB
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
}

}  // namespace
