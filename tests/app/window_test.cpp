// The window start-up's rules that need no display: the window size, the
// metrics the size callback keeps, the icon's row order, and the callbacks
// that end the process.

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/screensaver_app.h"
#include "app/window_icon.h"
#include "app/window_icon_table.h"

namespace {

struct SizeCase {
    const char* what;
    LaunchMode mode;
    int hostWidth, hostHeight, osVersion, videoWidth, videoHeight;
    int width, height;
};

const SizeCase kSizeCases[] = {
    {"preview takes the host's client area", LaunchMode::Preview, 152, 112, 0, 0, 0, 152, 112},
    {"preview ignores the video mode", LaunchMode::Preview, 200, 150, 100, 1920, 1080, 200, 150},
    {"full screen from 6.0 takes the video mode", LaunchMode::Fullscreen, 0, 0, 60, 1280, 720, 1280, 720},
    {"None runs as full screen", LaunchMode::None, 0, 0, 61, 1920, 1080, 1920, 1080},
    {"below 6.0 full screen is 800 x 600", LaunchMode::Fullscreen, 0, 0, 51, 1920, 1080, 800, 600},
    {"no video mode to read gives 800 x 600", LaunchMode::Fullscreen, 0, 0, 100, 0, 0, 800, 600},
};

TEST(WindowSize, FollowsModeVersionAndVideoMode)
{
    for (const SizeCase& c : kSizeCases) {
        const WindowMetrics m =
            windowSizeFor(c.mode, c.hostWidth, c.hostHeight, c.osVersion, c.videoWidth, c.videoHeight);
        EXPECT_EQ(m.width, c.width) << c.what;
        EXPECT_EQ(m.height, c.height) << c.what;
        EXPECT_FLOAT_EQ(m.aspect, static_cast<float>(c.width) / static_cast<float>(c.height)) << c.what;
    }
    EXPECT_NEAR(windowSizeFor(LaunchMode::Preview, 152, 112, 0, 0, 0).aspect, 1.357f, 0.001f);
}

TEST(WindowSize, ZeroSizeGivesNonFiniteAspectUntilTheNextSize)
{
    WindowMetrics m;
    setWindowMetrics(m, 0, 0);
    EXPECT_EQ(m.width, 0);
    EXPECT_EQ(m.height, 0);
    EXPECT_FALSE(std::isfinite(m.aspect));
    setWindowMetrics(m, 640, 480);
    EXPECT_FLOAT_EQ(m.aspect, 640.0f / 480.0f);
}

// Pixel (r, c) of a row-order picture.
std::vector<unsigned char> pixelAt(const unsigned char* rows, int r, int c)
{
    const unsigned char* p = rows + (r * kWindowIconSize + c) * 4;
    return {p[0], p[1], p[2], p[3]};
}

TEST(WindowIcon, TransposesColumnsIntoRows)
{
    // Every pixel of the fixture names its own row and column.
    std::vector<unsigned char> columns(kWindowIconBytes);
    for (int c = 0; c < kWindowIconSize; ++c)
        for (int r = 0; r < kWindowIconSize; ++r) {
            unsigned char* p = &columns[c * 256 + r * 4];
            p[0] = static_cast<unsigned char>(r);
            p[1] = static_cast<unsigned char>(c);
            p[2] = 7;
            p[3] = static_cast<unsigned char>(r ^ c);
        }
    std::vector<unsigned char> rows(kWindowIconBytes);
    transposeIconColumns(columns.data(), rows.data());
    for (int r = 0; r < kWindowIconSize; ++r)
        for (int c = 0; c < kWindowIconSize; ++c)
            ASSERT_EQ(pixelAt(rows.data(), r, c),
                      (std::vector<unsigned char>{static_cast<unsigned char>(r), static_cast<unsigned char>(c), 7,
                                                  static_cast<unsigned char>(r ^ c)}))
                << "row " << r << " column " << c;
}

TEST(WindowIcon, BuiltInPictureStandsUpright)
{
    std::vector<unsigned char> rows(kWindowIconBytes);
    transposeIconColumns(kWindowIconColumns, rows.data());
    EXPECT_EQ(pixelAt(rows.data(), 0, 0)[3], 0) << "top left corner is transparent";
    EXPECT_EQ(pixelAt(rows.data(), 20, 15), (std::vector<unsigned char>{255, 72, 72, 255}))
        << "red quarter at the top left of the screen";
    // Rows 0 to 5 are empty whatever the column; a picture on its side would
    // put the bezel there.
    for (int r = 0; r <= 5; ++r)
        for (int c = 0; c < kWindowIconSize; ++c)
            ASSERT_EQ(pixelAt(rows.data(), r, c)[3], 0) << "row " << r << " column " << c;
    // The stand is under the middle, with nothing beside it.
    EXPECT_EQ(pixelAt(rows.data(), 60, 32)[3], 255) << "stand below the middle";
    EXPECT_EQ(pixelAt(rows.data(), 60, 2)[3], 0) << "transparent beside the stand";
}

// Key and mouse-button events of any kind end the process with status 0;
// pointer motion and scrolling do not.
TEST(WindowCallbacks, KeyAndButtonEventsEndTheProcess)
{
    for (int action : {GLFW_PRESS, GLFW_REPEAT, GLFW_RELEASE}) {
        EXPECT_EXIT(ScreensaverApp::onKey(nullptr, GLFW_KEY_A, 38, action, 0), ::testing::ExitedWithCode(0), "")
            << "key action " << action;
        EXPECT_EXIT(ScreensaverApp::onKey(nullptr, GLFW_KEY_ESCAPE, 9, action, 0), ::testing::ExitedWithCode(0), "")
            << "Escape action " << action;
    }
    for (int action : {GLFW_PRESS, GLFW_RELEASE})
        EXPECT_EXIT(ScreensaverApp::onMouseButton(nullptr, GLFW_MOUSE_BUTTON_RIGHT, action, 0),
                    ::testing::ExitedWithCode(0), "")
            << "button action " << action;
    ScreensaverApp::onCursorPos(nullptr, 10.0, 20.0);
    ScreensaverApp::onScroll(nullptr, 0.0, -1.0);
}

}  // namespace
