// The About window of the real executable in Configure mode, on an X server
// of the test's own.

#include "about/about_layout.h"
#include "about/dib.h"
#include "process.h"
#include "x11_display.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using testsupport::Child;
using testsupport::readFile;
using testsupport::waitUntil;

const std::string kWebsite = "https://quillmere.example/?utm_source=About";

// Centring on this screen gives (482, 234): 482.5 truncated.
constexpr int kScreenWidth = 1365;
constexpr int kScreenHeight = 768;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};
const Rgb kGreen{177, 232, 179};
const Rgb kBlack{0, 0, 0};
const Rgb kBlue{0, 51, 255};

std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

struct Capture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// The window's contents as the screen shows them; also written as a PPM
// beside the build for a human to look at.
Capture capture(Display* d, Window w, int width, int height)
{
    Capture c;
    const std::vector<unsigned long> pixels = testsupport::pixels(d, w, width, height);
    if (pixels.empty())
        return c;
    c.width = width;
    c.height = height;
    for (unsigned long p : pixels)
        c.pixels.push_back(Rgb{static_cast<int>(p >> 16), static_cast<int>((p >> 8) & 0xFF),
                               static_cast<int>(p & 0xFF)});

    std::ofstream ppm(std::string(GLIMMERFALL_BINARY_DIR) + "/about_window_screenshot.ppm", std::ios::binary);
    ppm << "P6\n" << width << " " << height << "\n255\n";
    for (const Rgb& p : c.pixels)
        ppm << static_cast<char>(p.r) << static_cast<char>(p.g) << static_cast<char>(p.b);
    return c;
}

// The top-level windows that are shown.
std::vector<testsupport::WindowId> viewableTopLevels(Display* d)
{
    return testsupport::viewableChildren(d, DefaultRootWindow(d));
}

Window findAboutWindow(Display* d)
{
    for (Window w : viewableTopLevels(d))
        if (testsupport::windowName(d, w) == "About")
            return w;
    return 0;
}

bool directoryEmpty(const std::string& path)
{
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return false;
    int entries = 0;
    while (dirent* e = readdir(dir))
        entries += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
    closedir(dir);
    return entries == 0;
}

class AboutWindowE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server_.running()) << "Xvfb did not start: " << server_.errors();
        ASSERT_NE(display_.get(), nullptr);
        ASSERT_TRUE(tempDir_.made());
        workDir_ = tempDir_.path();
        runtimeDir_ = workDir_ + "/runtime";
        binDir_ = workDir_ + "/bin";
        mkdir(runtimeDir_.c_str(), 0700);
        mkdir(binDir_.c_str(), 0755);
        // A stand-in for the desktop's opener that records each call.
        const std::string opener = binDir_ + "/xdg-open";
        std::ofstream(opener) << "#!/bin/sh\necho \"$@\" >> \"" << workDir_ << "/opened\"\n";
        chmod(opener.c_str(), 0755);
    }

    void TearDown() override { about_.reset(); }

    // Starts the program in Configure mode and waits for its window to show.
    Window startAbout(const std::vector<std::string>& args = {"/c"})
    {
        const char* path = std::getenv("PATH");
        about_ = std::make_unique<Child>(
            GLIMMERFALL_EXECUTABLE, args,
            std::vector<std::string>{"DISPLAY=" + server_.name(), "XDG_RUNTIME_DIR=" + runtimeDir_,
                                     "PATH=" + binDir_ + ":" + (path ? path : "/usr/bin:/bin")});
        Window w = 0;
        waitUntil([&] { return (w = findAboutWindow(display_.get())) != 0 || !about_->running(); }, 30);
        return w;
    }

    // The capture once the window has been painted.
    Capture paintedCapture(Window w)
    {
        Capture c;
        waitUntil(
            [&] {
                c = capture(display_.get(), w, about::kWindowWidth, about::kWindowHeight);
                return c.width && c.at(2, 2) == kGreen && c.at(397, 297) == kGreen;
            },
            20);
        return c;
    }

    void xdotool(const std::string& args)
    {
        testsupport::shell("DISPLAY=" + server_.name() + " xdotool " + args + " 2>/dev/null");
    }

    std::string opened() const { return readFile(workDir_ + "/opened"); }

    void expectCleanExit()
    {
        ASSERT_TRUE(about_->waitExit(20)) << "still running after the window was closed";
        EXPECT_EQ(about_->exitStatus(), 0) << about_->err();
    }

    // Ends the server, the test's own connection first.
    void stopServer()
    {
        display_.close();
        server_.stop();
    }

    testsupport::XServer server_{kScreenWidth, kScreenHeight};
    testsupport::XConnection display_{server_.name()};
    std::unique_ptr<Child> about_;
    testsupport::TempDir tempDir_{"gf-about-e2e"};
    std::string workDir_, runtimeDir_, binDir_;
};

TEST_F(AboutWindowE2E, ConfigureShowsTheFixedWindowWithoutGlOrLock)
{
    Display* d = display_.get();
    const Window w = startAbout();
    ASSERT_NE(w, 0u) << about_->err();

    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(d, w, &a));
    EXPECT_EQ(a.width, about::kWindowWidth);
    EXPECT_EQ(a.height, about::kWindowHeight);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    const about::Point centre = about::centredPlacement(kScreenWidth, kScreenHeight);
    EXPECT_EQ(x, centre.x);
    EXPECT_EQ(y, centre.y);

    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(d, w, &hint));
    EXPECT_STREQ(hint.res_class, "QuillmereWindowClass");
    XFree(hint.res_name);
    XFree(hint.res_class);

    XSizeHints size{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(d, w, &size, &supplied));
    ASSERT_TRUE((size.flags & PMinSize) && (size.flags & PMaxSize)) << "resizable";
    EXPECT_EQ(size.min_width, about::kWindowWidth);
    EXPECT_EQ(size.max_width, about::kWindowWidth);
    EXPECT_EQ(size.min_height, about::kWindowHeight);
    EXPECT_EQ(size.max_height, about::kWindowHeight);

    const std::vector<unsigned long> icon = testsupport::cardinals(d, w, "_NET_WM_ICON");
    ASSERT_EQ(icon.size(), 2u + 64 * 64);
    EXPECT_EQ(icon[0], 64u);
    EXPECT_EQ(icon[1], 64u);
    EXPECT_EQ(icon[2] >> 24, 0u) << "top-left pixel is transparent";

    // No GL window, no GL driver loaded, no single-instance lock.
    EXPECT_EQ(viewableTopLevels(d).size(), 1u);
    const std::string maps = readFile("/proc/" + std::to_string(about_->pid()) + "/maps");
    EXPECT_EQ(maps.find("_dri.so"), std::string::npos);
    EXPECT_EQ(maps.find("libGLX_mesa"), std::string::npos);
    EXPECT_TRUE(directoryEmpty(runtimeDir_));

    testsupport::requestClose(d, w);
    expectCleanExit();
    EXPECT_TRUE(directoryEmpty(runtimeDir_));
}

TEST_F(AboutWindowE2E, PaintsBackgroundBitmapHeadingAndNotice)
{
    const Window w = startAbout();
    ASSERT_NE(w, 0u) << about_->err();
    const Capture c = paintedCapture(w);
    ASSERT_EQ(c.at(2, 2), kGreen);

    for (const auto& [px, py] : {std::pair{5, 5}, {395, 5}, {5, 295}, {395, 295}, {60, 100}, {300, 100}})
        EXPECT_EQ(c.at(px, py), kGreen) << px << "," << py;

    const auto bitmap = about::loadBitmapResource(101);
    ASSERT_TRUE(bitmap.has_value());
    int wrong = 0;
    for (int y = 0; y < bitmap->height; ++y)
        for (int x = 0; x < bitmap->width; ++x) {
            const unsigned char* p = &bitmap->pixels[static_cast<std::size_t>((y * bitmap->width + x) * 3)];
            wrong += !(c.at(about::kBitmapX + x, about::kBitmapY + y) == Rgb{p[0], p[1], p[2]});
        }
    EXPECT_EQ(wrong, 0) << "bitmap pixels differ from resource 101 at (142, 55)";
    EXPECT_EQ(c.at(about::kBitmapX - 1, about::kBitmapY), kGreen);
    EXPECT_EQ(c.at(about::kBitmapX, about::kBitmapY - 1), kGreen);

    // Heading: black text, and an underline as a run of black pixels.
    const about::Rect& head = about::kHeadingRect;
    int black = 0, longestRun = 0;
    for (int y = head.y; y < head.y + head.h; ++y) {
        int run = 0;
        for (int x = head.x; x < head.x + head.w; ++x) {
            const bool isBlack = c.at(x, y) == kBlack;
            black += isBlack;
            run = isBlack ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
        }
    }
    EXPECT_GT(black, 100);
    EXPECT_GT(longestRun, 60) << "no underline";

    // Notice: blue text on green, above the button.
    const about::Rect& notice = about::kNoticeRect;
    int blue = 0, other = 0;
    for (int y = notice.y; y < about::kButtonRect.y; ++y)
        for (int x = notice.x; x < notice.x + notice.w; ++x) {
            const Rgb p = c.at(x, y);
            blue += p == kBlue;
            // Anti-aliased edges mix the two colours; nothing else belongs here.
            other += !(p.r <= kGreen.r && p.b >= kGreen.b && p.g >= kBlue.g && p.g <= kGreen.g);
        }
    EXPECT_GT(blue, 200);
    EXPECT_EQ(other, 0);

    // The button face is not the background.
    EXPECT_NE(c.at(about::kButtonRect.x + 5, about::kButtonRect.y + 5), kGreen);

    testsupport::requestClose(display_.get(), w);
    expectCleanExit();
}

TEST_F(AboutWindowE2E, VisitWebsiteOpensThePageOncePerClickAndStays)
{
    const Window w = startAbout();
    ASSERT_NE(w, 0u) << about_->err();
    paintedCapture(w);
    const std::string id = std::to_string(w);
    const int bx = about::kButtonRect.x + about::kButtonRect.w / 2;
    const int by = about::kButtonRect.y + about::kButtonRect.h / 2;

    xdotool("mousemove --window " + id + " " + std::to_string(bx) + " " + std::to_string(by) + " click 1");
    EXPECT_TRUE(waitUntil([&] { return opened() == kWebsite + "\n"; }, 20)) << opened();
    xdotool("click 1");
    EXPECT_TRUE(waitUntil([&] { return opened() == kWebsite + "\n" + kWebsite + "\n"; }, 20)) << opened();

    EXPECT_TRUE(about_->running());
    EXPECT_EQ(findAboutWindow(display_.get()), w);

    testsupport::requestClose(display_.get(), w);
    expectCleanExit();
    EXPECT_EQ(opened(), kWebsite + "\n" + kWebsite + "\n");
}

enum class CloseBy { DeleteWindowRequest, Escape, AltF4 };

class AboutWindowClose : public AboutWindowE2E, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(AboutWindowClose, EndsTheProcessWithStatusZero)
{
    const Window w = startAbout();
    ASSERT_NE(w, 0u) << about_->err();
    paintedCapture(w);
    switch (GetParam()) {
    case CloseBy::DeleteWindowRequest:
        testsupport::requestClose(display_.get(), w);
        break;
    case CloseBy::Escape:
        xdotool("key --window " + std::to_string(w) + " Escape");
        break;
    case CloseBy::AltF4:
        xdotool("key --window " + std::to_string(w) + " alt+F4");
        break;
    }
    expectCleanExit();
    EXPECT_EQ(findAboutWindow(display_.get()), 0u);
    EXPECT_EQ(opened(), "");
}

INSTANTIATE_TEST_SUITE_P(Ways, AboutWindowClose,
                         ::testing::Values(CloseBy::DeleteWindowRequest, CloseBy::Escape, CloseBy::AltF4),
                         [](const ::testing::TestParamInfo<CloseBy>& info) {
                             switch (info.param) {
                             case CloseBy::DeleteWindowRequest:
                                 return std::string("DeleteWindowRequest");
                             case CloseBy::Escape:
                                 return std::string("Escape");
                             case CloseBy::AltF4:
                                 return std::string("AltF4");
                             }
                             return std::string("Unknown");
                         });

TEST_F(AboutWindowE2E, LosingTheDisplayEndsTheProcessWithStatusZero)
{
    ASSERT_NE(startAbout(), 0u) << about_->err();
    stopServer();
    expectCleanExit();
    EXPECT_NE(about_->err().find("Error!: The About window had to close"), std::string::npos) << about_->err();
}

TEST(AboutWindowWithoutDisplay, ReportsAndExitsWithStatusZero)
{
    Child about(GLIMMERFALL_EXECUTABLE, {"/c"}, {"DISPLAY"});
    ASSERT_TRUE(about.waitExit(20));
    EXPECT_EQ(about.exitStatus(), 0);
    EXPECT_NE(about.err().find("Error!: Window Registration Failed!"), std::string::npos) << about.err();
}

}  // namespace
