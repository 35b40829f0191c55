#pragma once
// Fixture of the GL tests: a hidden window with a current context, message
// boxes recorded instead of shown, test resources cleared afterwards.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "gl_window.h"
#include "platform/message_box.h"
#include "platform/resources.h"

namespace testsupport {

class GlTest : public ::testing::Test {
protected:
    explicit GlTest(int width = 320, int height = 240) : window(width, height) {}

    void SetUp() override
    {
        // Fatal paths run in a fresh process that makes its own window; a
        // forked copy would share this process's X connection.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_TRUE(window.ok()) << window.error();
        // A box would wait for a click; its stderr line is all a test needs.
        platform::setMessageBoxSink([this](const std::string& caption, const std::string& text,
                                           platform::BoxIcon) { boxes.push_back(caption + ": " + text); });
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    void TearDown() override
    {
        platform::setMessageBoxSink({});
        platform::clearTestResources();
    }

    HiddenGlWindow window;
    std::vector<std::string> boxes;
};

// The first line of each "Debug" box a child process wrote to stderr.
inline std::vector<std::string> debugBoxes(const std::string& err)
{
    std::vector<std::string> result;
    std::istringstream lines(err);
    const std::string prefix = "Debug: ";
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            result.push_back(line.substr(prefix.size()));
    }
    return result;
}

}  // namespace testsupport

#define EXPECT_NO_GL_ERROR() EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR))
