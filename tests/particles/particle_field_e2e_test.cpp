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

// Last: Xlib's macros (None, Bool, ...) would clash with the test framework.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

// Xvfb on a display number it picks itself, with a black root window.
class PrivateDisplay {
public:
    PrivateDisplay()
        : server_("Xvfb", {"-displayfd", "1", "-br", "-nolisten", "tcp", "-screen", "0",
                           std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24"})
    {
        waitUntil([&] { return server_.out().find('\n') != std::string::npos || !server_.running(); }, 30.0);
        const std::string number = server_.out();
        if (number.empty() || !server_.running())
            return;
        name_ = ":" + number.substr(0, number.find('\n'));
        display_ = XOpenDisplay(name_.c_str());
    }
    ~PrivateDisplay()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    bool ok() const { return display_ != nullptr; }
    const std::string& name() const { return name_; }
    std::string serverErrors() const { return server_.err(); }

    // Whether any top-level window is mapped.
    bool windowShown()
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
            return false;
        bool shown = false;
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable)
                shown = true;
        }
        if (children)
            XFree(children);
        return shown;
    }

    // The whole screen as 0xRRGGBB values.
    std::vector<unsigned long> screen()
    {
        std::vector<unsigned long> pixels;
        XImage* image = XGetImage(display_, DefaultRootWindow(display_), 0, 0, kScreenWidth, kScreenHeight,
                                  AllPlanes, ZPixmap);
        if (!image)
            return pixels;
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x)
                pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        XDestroyImage(image);
        return pixels;
    }

private:
    Child server_;
    std::string name_;
    Display* display_ = nullptr;
};

int brightest(unsigned long pixel)
{
    return static_cast<int>(std::max({(pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF}));
}

TEST(ParticleField, IsBlackInItsFirstSecondAndLitAfterSix)
{
    PrivateDisplay display;
    ASSERT_TRUE(display.ok()) << "Xvfb did not start: " << display.serverErrors();
    char runtime[] = "/tmp/gf-field-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);

    // The GLFW clock starts after this, so any frame seen before one second
    // from here has passed shows iTime below 1.
    const Clock::time_point start = Clock::now();
    Child saver(GLIMMERFALL_EXECUTABLE, {"/s"},
                {"DISPLAY=" + display.name(), std::string("XDG_RUNTIME_DIR=") + runtime});

    // Every capture of the window completed within the first second is black.
    int earlyFrames = 0;
    waitUntil(
        [&] {
            if (secondsSince(start) >= 0.9 || !saver.running())
                return true;
            if (!display.windowShown())
                return false;
            std::vector<unsigned long> pixels = display.screen();
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
    std::vector<unsigned long> pixels = display.screen();
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kScreenWidth * kScreenHeight));
    const long bright = std::count_if(pixels.begin(), pixels.end(), [](unsigned long p) { return brightest(p) > 64; });
    const long black = std::count(pixels.begin(), pixels.end(), 0ul);
    EXPECT_GT(bright, kScreenWidth * kScreenHeight / 500) << "too few lit pixels";
    EXPECT_GT(black, kScreenWidth * kScreenHeight / 2) << "spots on black expected";

    saver.signal(SIGTERM);
    ASSERT_TRUE(saver.waitExit(10.0));
    EXPECT_EQ(saver.exitStatus(), 0) << saver.err();
    testsupport::shell(std::string("rm -rf '") + runtime + "'");

    if (earlyFrames == 0)
        GTEST_SKIP() << "the window appeared only after the first second; its black start was not seen";
}

}  // namespace
