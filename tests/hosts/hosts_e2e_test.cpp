// The real executable under the Linux screensaver hosts' options: --root with
// $XSCREENSAVER_WINDOW, --window-id, and --root on the (virtual) root window.
// Hosts are played by gf_test_plug_host: an embedder holding a magenta plug,
// the plug being the window handed to the saver.

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

// Before the X headers, whose macros (None, Bool) would clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "deadlines.h"
#include "platform/single_instance.h"
#include "process.h"
#include "x11_display.h"

namespace {

using testsupport::Child;
using testsupport::kExitSeconds;
using testsupport::kKeepsRunningSeconds;
using testsupport::kStartSeconds;
using testsupport::waitUntil;

const char* const kExecutable = GLIMMERFALL_EXECUTABLE;
const char* const kPlugHost = GLIMMERFALL_PLUG_HOST;

// Hosts stop a saver with SIGTERM and block until it has gone.
constexpr double kTermSeconds = 1.0;

constexpr unsigned long kPlugBackground = 0xFF00FF;

// A connection to one display; windows vanish under it without harm.
class Screen {
public:
    explicit Screen(const std::string& name = "") : connection_(name) {}

    Window root() const { return DefaultRootWindow(d); }

    // Bottom of the stacking order first.
    std::vector<Window> children(Window w) const { return testsupport::children(d, w); }

    bool attributes(Window w, XWindowAttributes& a) const { return w && XGetWindowAttributes(d, w, &a); }

    bool viewableWithSize(Window w, int width, int height) const
    {
        XWindowAttributes a;
        return attributes(w, a) && a.map_state == IsViewable && a.width == width && a.height == height;
    }

    // The viewable child of parent that pid made, or 0.
    Window childOf(Window parent, pid_t pid) const
    {
        for (Window w : testsupport::viewableChildren(d, parent))
            if (testsupport::ownedBy(d, w, pid))
                return w;
        return 0;
    }

    // The share of the window's pixels that still show the plug's background.
    double plugBackgroundShare(Window w, int width, int height) const
    {
        return testsupport::shareOf(testsupport::pixels(d, w, width, height), kPlugBackground);
    }

    // The RANDR way a screen changes size: the output is switched off, the
    // screen resized, as a monitor being reconfigured does.
    bool shrinkScreen(int width, int height) const
    {
        XRRScreenResources* resources = XRRGetScreenResources(d, root());
        if (!resources)
            return false;
        XGrabServer(d);
        for (int i = 0; i < resources->ncrtc; ++i)
            XRRSetCrtcConfig(d, resources, resources->crtcs[i], CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
        XRRSetScreenSize(d, root(), width, height, width / 4, height / 4);
        XUngrabServer(d);
        XSync(d, False);
        XRRFreeScreenResources(resources);
        XWindowAttributes a;
        return attributes(root(), a) && a.width == width && a.height == height;
    }

private:
    testsupport::XConnection connection_;

public:
    Display* const d = connection_.get();
};

// A host's embedder and plug, in a process of their own.
struct PlugHost {
    PlugHost(int x, int y, std::vector<std::string> options = {}, std::vector<std::string> env = {})
        : process(kPlugHost, arguments(x, y, options), env)
    {
        waitUntil([&] { return process.out().find('\n') != std::string::npos || !process.running(); },
                  kStartSeconds);
        plug = std::strtoul(process.out().c_str(), nullptr, 10);
    }
    static std::vector<std::string> arguments(int x, int y, const std::vector<std::string>& options)
    {
        std::vector<std::string> a{std::to_string(x), std::to_string(y), "160", "120", "400", "300"};
        a.insert(a.end(), options.begin(), options.end());
        return a;
    }
    // As XScreenSaver writes it into $XSCREENSAVER_WINDOW.
    std::string hexId() const
    {
        char text[32];
        std::snprintf(text, sizeof text, "0x%lX", plug);
        return text;
    }
    Child process;
    Window plug = 0;
};

// Each test gets a lock directory of its own, and holds the single-instance
// lock there itself: a hosted run must start regardless.
class HostedRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(screen.d, nullptr) << "the end-to-end tests need an X display ($DISPLAY)";
        ASSERT_TRUE(runtimeTempDir.made());
        runtimeDir = runtimeTempDir.path();
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        ASSERT_TRUE(platform::claimSingleInstance("K_OPENGL_SCREENSAVER"));
    }
    std::unique_ptr<Child> start(const std::vector<std::string>& args, std::vector<std::string> env)
    {
        env.push_back("XDG_RUNTIME_DIR=" + runtimeDir);
        return std::make_unique<Child>(kExecutable, args, env);
    }

    // The saver's window once it is shown in parent, or 0.
    Window waitForWindowIn(const Screen& on, Window parent, Child& saver)
    {
        Window w = 0;
        waitUntil([&] { return (w = on.childOf(parent, saver.pid())) != 0 || !saver.running(); }, kStartSeconds);
        return w;
    }

    bool paints(Window host, int width, int height)
    {
        return waitUntil([&] { return screen.plugBackgroundShare(host, width, height) < 0.05; }, kStartSeconds);
    }

    static void expectTermEndsIt(Child& saver, const std::string& what)
    {
        saver.signal(SIGTERM);
        ASSERT_TRUE(saver.waitExit(kTermSeconds)) << what << ": still running a second after SIGTERM";
        EXPECT_EQ(saver.exitStatus(), 0) << what << "\n" << saver.err();
    }

    Screen screen;
    testsupport::TempDir runtimeTempDir{"gf-hosts"};
    std::string runtimeDir;
};

TEST_F(HostedRun, TwoRootRunsDrawOnTheirOwnHostsAtOnce)
{
    PlugHost left(10, 10), right(300, 10);
    ASSERT_NE(left.plug, 0u) << left.process.err();
    ASSERT_NE(right.plug, 0u) << right.process.err();
    auto first = start({"--root"}, {"XSCREENSAVER_WINDOW=" + left.hexId()});
    auto second = start({"-root"}, {"XSCREENSAVER_WINDOW= " + std::to_string(right.plug)});

    const Window firstWindow = waitForWindowIn(screen, left.plug, *first);
    const Window secondWindow = waitForWindowIn(screen, right.plug, *second);
    ASSERT_NE(firstWindow, 0u) << first->err();
    ASSERT_NE(secondWindow, 0u) << second->err();
    EXPECT_TRUE(screen.viewableWithSize(firstWindow, 160, 120));
    EXPECT_TRUE(screen.viewableWithSize(secondWindow, 160, 120));
    EXPECT_TRUE(paints(left.plug, 160, 120)) << "the first host shows the field";
    EXPECT_TRUE(paints(right.plug, 160, 120)) << "the second host shows the field";

    // Suspended and resumed, as the Xfce and MATE savers do.
    first->signal(SIGSTOP);
    first->signal(SIGCONT);
    EXPECT_FALSE(first->waitExit(kKeepsRunningSeconds)) << "ended after SIGSTOP and SIGCONT\n" << first->err();

    expectTermEndsIt(*first, "first");
    expectTermEndsIt(*second, "second");
    EXPECT_EQ(first->err().find("Error"), std::string::npos) << first->err();
    EXPECT_EQ(second->err().find("Error"), std::string::npos) << second->err();
}

TEST_F(HostedRun, WindowIdRunFollowsItsHostAndIgnoresInput)
{
    PlugHost host(10, 10);
    ASSERT_NE(host.plug, 0u) << host.process.err();
    char lowerHex[32];
    std::snprintf(lowerHex, sizeof lowerHex, "0x%lx", host.plug);
    auto saver = start({"--window-id", lowerHex}, {"XSCREENSAVER_WINDOW"});
    const Window w = waitForWindowIn(screen, host.plug, *saver);
    ASSERT_NE(w, 0u) << saver->err();
    EXPECT_TRUE(screen.viewableWithSize(w, 160, 120));
    EXPECT_TRUE(paints(host.plug, 160, 120));

    host.process.signal(SIGUSR1);
    EXPECT_TRUE(waitUntil([&] { return screen.viewableWithSize(w, 400, 300); }, kStartSeconds))
        << "follows the host to 400 x 300";
    EXPECT_TRUE(paints(host.plug, 400, 300)) << "the field fills the grown host";

    // The host owns the keyboard and mouse; a saver ending on its own would
    // be shown there as crashed.
    const std::string id = std::to_string(w);
    testsupport::shell("xdotool key --window " + id + " a key --window " + id + " Escape mousedown --window " + id
                       + " 1 mouseup --window " + id + " 1 2>/dev/null");
    EXPECT_FALSE(saver->waitExit(kKeepsRunningSeconds)) << "input ended a hosted run";

    expectTermEndsIt(*saver, "SIGTERM");
}

struct HostEnding {
    const char* what;
    int signalToHost;
    bool byRoot;  // --root with the variable; else -window-id
};

const HostEnding kHostEndings[] = {
    {"plug destroyed", SIGHUP, false},
    {"embedder gone: plug reparented to the root and unmapped", SIGUSR2, true},
    {"host process killed", SIGKILL, true},
};

TEST_F(HostedRun, EndsWithZeroWhenItsHostGoesAway)
{
    for (const HostEnding& ending : kHostEndings) {
        PlugHost host(10, 10);
        ASSERT_NE(host.plug, 0u) << host.process.err();
        auto saver = ending.byRoot ? start({"-root"}, {"XSCREENSAVER_WINDOW=" + host.hexId()})
                                   : start({"-window-id", std::to_string(host.plug)}, {"XSCREENSAVER_WINDOW"});
        ASSERT_NE(waitForWindowIn(screen, host.plug, *saver), 0u) << ending.what << "\n" << saver->err();

        host.process.signal(ending.signalToHost);
        ASSERT_TRUE(saver->waitExit(kExitSeconds)) << ending.what << ": still running";
        EXPECT_EQ(saver->exitStatus(), 0) << ending.what << "\n" << saver->err();
        EXPECT_EQ(saver->err().find("Error"), std::string::npos) << ending.what << "\n" << saver->err();
    }
}

TEST_F(HostedRun, RootRunWithoutAHostWindowTakesTheRootBelowEverything)
{
    // Its own server, for what would disturb a shared one; declared before
    // the connections to it, so that they close first.
    const testsupport::XServer server(640, 480, {"-noreset"});
    ASSERT_TRUE(server.running()) << "no display server of our own: " << server.errors();
    const std::string& display = server.name();
    Screen own(display);
    ASSERT_NE(own.d, nullptr);
    PlugHost other(10, 10, {}, {"DISPLAY=" + display});
    ASSERT_NE(other.plug, 0u) << other.process.err();

    auto saver = start({"--root"}, {"DISPLAY=" + display, "XSCREENSAVER_WINDOW=wayland-1"});
    const Window w = waitForWindowIn(own, own.root(), *saver);
    ASSERT_NE(w, 0u) << saver->err();
    EXPECT_TRUE(own.viewableWithSize(w, 640, 480));
    XWindowAttributes a;
    ASSERT_TRUE(own.attributes(w, a));
    EXPECT_TRUE(a.override_redirect) << "kept from any window manager";
    EXPECT_EQ(own.children(own.root()).front(), w) << "below every other window";

    // A monitor reconfigured through RANDR.
    ASSERT_TRUE(own.shrinkScreen(400, 300));
    EXPECT_TRUE(waitUntil([&] { return own.viewableWithSize(w, 400, 300); }, kStartSeconds))
        << "follows the root to 400 x 300";

    expectTermEndsIt(*saver, "SIGTERM");
}

TEST_F(HostedRun, RootRunTakesAVirtualRoot)
{
    // Its own server, for what would disturb a shared one; declared before
    // the connections to it, so that they close first.
    const testsupport::XServer server(640, 480, {"-noreset"});
    ASSERT_TRUE(server.running()) << "no display server of our own: " << server.errors();
    const std::string& display = server.name();
    Screen own(display);
    ASSERT_NE(own.d, nullptr);
    PlugHost vroot(10, 10, {"vroot"}, {"DISPLAY=" + display});
    ASSERT_NE(vroot.plug, 0u) << vroot.process.err();

    auto saver = start({"--root"}, {"DISPLAY=" + display, "XSCREENSAVER_WINDOW"});
    const Window w = waitForWindowIn(own, vroot.plug, *saver);
    ASSERT_NE(w, 0u) << "not drawn in the virtual root\n" << saver->err();
    EXPECT_TRUE(own.viewableWithSize(w, 160, 120));

    expectTermEndsIt(*saver, "SIGTERM");
}

}  // namespace
