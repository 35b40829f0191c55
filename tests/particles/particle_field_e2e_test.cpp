// The running screensaver shows the field: black in its first second, lit
// spots once it has faded in. It runs on an X server of its own, so no other
// window on a shared test display can cover what the screen shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "process.h"
#include "x11_display.h"

namespace {

using Clock = std::chrono::steady_clock;
using testsupport::Child;
using testsupport::waitUntil;

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Whether any top-level window is shown.
bool windowShown(Display* d)
{
    return !testsupport::viewableChildren(d, testsupport::rootWindow(d)).empty();
}

// The whole screen as 0xRRGGBB values.
std::vector<unsigned long> screen(Display* d)
{
    return testsupport::pixels(d, testsupport::rootWindow(d), kScreenWidth, kScreenHeight);
}

int brightest(unsigned long pixel)
{
    return static_cast<int>(std::max({(pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF}));
}

TEST(ParticleField, IsBlackInItsFirstSecondAndLitAfterSix)
{
    // A black root window.
    testsupport::XServer server(kScreenWidth, kScreenHeight, {"-br"});
    ASSERT_TRUE(server.running()) << "Xvfb did not start: " << server.errors();
    testsupport::XConnection connection(server.name());
    Display* const d = connection.get();
    ASSERT_NE(d, nullptr);
    const testsupport::TempDir runtime("gf-field");
    ASSERT_TRUE(runtime.made());

    // The GLFW clock starts after this, so any frame seen before one second
    // from here has passed shows iTime below 1.
    const Clock::time_point start = Clock::now();
    Child saver(GLIMMERFALL_EXECUTABLE, {"/s"},
                {"DISPLAY=" + server.name(), "XDG_RUNTIME_DIR=" + runtime.path()});

    // Every capture of the window completed within the first second is black.
    int earlyFrames = 0;
    waitUntil(
        [&] {
            if (secondsSince(start) >= 0.9 || !saver.running())
                return true;
            if (!windowShown(d))
                return false;
            std::vector<unsigned long> pixels = screen(d);
            if (secondsSince(start) < 1.0) {
                ++earlyFrames;
                const long lit = std::count_if(pixels.begin(), pixels.end(), [](unsigned long p) { return p != 0; });
                EXPECT_EQ(lit, 0) << "lit pixels at " << secondsSince(start) << " s";
            }
            return false;
        },
        30.0);
    ASSERT_TRUE(saver.running()) << saver.err();

    // Fully faded in from 5 s on.
    ASSERT_TRUE(waitUntil([&] { return secondsSince(start) >= 6.0; }, 10.0));
    std::vector<unsigned long> pixels = screen(d);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kScreenWidth * kScreenHeight));
    const long bright = std::count_if(pixels.begin(), pixels.end(), [](unsigned long p) { return brightest(p) > 64; });
    const long black = std::count(pixels.begin(), pixels.end(), 0ul);
    EXPECT_GT(bright, kScreenWidth * kScreenHeight / 500) << "too few lit pixels";
    EXPECT_GT(black, kScreenWidth * kScreenHeight / 2) << "spots on black expected";

    saver.signal(SIGTERM);
    ASSERT_TRUE(saver.waitExit(10.0));
    EXPECT_EQ(saver.exitStatus(), 0) << saver.err();

    if (earlyFrames == 0)
        GTEST_SKIP() << "the window appeared only after the first second; its black start was not seen";
}

}  // namespace
