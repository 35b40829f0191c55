#include "app/diagnostics.h"

#include <gtest/gtest.h>

#include <locale>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace {

static_assert(!kShowGlInfo, "the GL capability report ships switched off");
static_assert(!kShowFrameStats, "the frame-statistics report ships switched off");

TEST(Diagnostics, FrameStatsTextWritesFloatsAsAStreamDoes) {
    struct Case {
        float min, max, average;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {10000.0f, -10000.0f, 0.0f, "Min: 10000\r\nMax: -10000\r\nAverage: 0"},
        {16.5f, 33.25f, 16.666666f, "Min: 16.5\r\nMax: 33.25\r\nAverage: 16.6667"},
        {0.0001f, 1234567.0f, 0.244140625f, "Min: 0.0001\r\nMax: 1.23457e+06\r\nAverage: 0.244141"},
    };
    for (const Case& c : cases) EXPECT_EQ(frameStatsText(c.min, c.max, c.average), c.expected);
}

struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(Diagnostics, TextsIgnoreTheGlobalLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const std::string stats = frameStatsText(16.5f, 12000.0f, 1.5f);
    GlInfo info;
    info.maxTextureSize = 16384;
    const std::string gl = glInfoText(info);
    std::locale::global(previous);
    EXPECT_EQ(stats, "Min: 16.5\r\nMax: 12000\r\nAverage: 1.5");
    EXPECT_NE(gl.find("Max Texture Size: 16384"), std::string::npos) << gl;
}

TEST(Diagnostics, GlInfoTextListsEveryValueInOrder) {
    GlInfo info;
    info.major = 3;
    info.minor = 1;
    info.profileMask = 2;
    info.contextFlags = 4;
    info.version = "3.1 Mesa 22.3.6";
    info.renderer = "llvmpipe (LLVM 15.0.6, 256 bits)";
    info.maxVertexAttribs = 16;
    info.maxUniformLocations = 0;
    info.maxVertexUniformComponents = 4096;
    info.maxFragmentUniformComponents = 1024;
    info.maxElementsIndices = 3000;
    info.maxElementsVertices = 3001;
    info.maxTextureSize = 16384;
    EXPECT_EQ(glInfoText(info),
              "OpenGL Major and Minor version: 3.1"
              "\r\nOpenGL Version string: 3.1 Mesa 22.3.6"
              "\r\nOpenGL Renderer string: llvmpipe (LLVM 15.0.6, 256 bits)"
              "\r\nMax Attrib Count: 16"
              "\r\nMax Uniform Locations: 0"
              "\r\nMax Vertex Uniform Count: 4096"
              "\r\nMax Fragment Uniform Count: 1024"
              "\r\nMax Elements Indices: 3000"
              "\r\nMax Elements Vertices: 3001"
              "\r\nMax Texture Size: 16384");
}

TEST(Diagnostics, GlInfoDefaultsReadAsZerosAndEmptyStrings) {
    EXPECT_EQ(glInfoText(GlInfo()),
              "OpenGL Major and Minor version: 0.0"
              "\r\nOpenGL Version string: "
              "\r\nOpenGL Renderer string: "
              "\r\nMax Attrib Count: 0"
              "\r\nMax Uniform Locations: 0"
              "\r\nMax Vertex Uniform Count: 0"
              "\r\nMax Fragment Uniform Count: 0"
              "\r\nMax Elements Indices: 0"
              "\r\nMax Elements Vertices: 0"
              "\r\nMax Texture Size: 0");
}

TEST(Diagnostics, FrameStatsBoxIsAnInfoBox) {
    struct Box {
        std::string caption, text;
        platform::BoxIcon icon;
    };
    std::vector<Box> boxes;
    platform::setMessageBoxSink([&](const std::string& caption, const std::string& text,
                                    platform::BoxIcon icon) { boxes.push_back({caption, text, icon}); });
    showFrameStats(10000.0f, -10000.0f, 0.0f);
    platform::setMessageBoxSink({});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Info");
    EXPECT_EQ(boxes[0].text, "Min: 10000\r\nMax: -10000\r\nAverage: 0");
    EXPECT_EQ(boxes[0].icon, platform::BoxIcon::Information);
}

}  // namespace
