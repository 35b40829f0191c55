// The real executable on the test display: launch modes, the window it opens,
// the input that ends it, the single-instance lock and the preview host.
// Every wait has a deadline; input goes to our window by id, so other windows
// on the display do not matter.

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "deadlines.h"
#include "process.h"
#include "x11_display.h"
#include "x11_probe.h"

namespace {

using testsupport::Child;
using testsupport::kExitSeconds;
using testsupport::kKeepsRunningSeconds;
using testsupport::kStartSeconds;
using testsupport::waitUntil;

const char* const kExecutable = GLIMMERFALL_EXECUTABLE;
const char* const kHostProgram = GLIMMERFALL_TEST_HOST;

constexpr unsigned long kHostBackground = 0xFF00FF;

// The share of pixels that still show the host's own background.
double hostBackgroundShare(const std::vector<unsigned long>& pixels)
{
    return testsupport::shareOf(pixels, kHostBackground);
}

std::string xdotool(const std::string& arguments)
{
    return testsupport::shell("xdotool " + arguments + " 2>/dev/null");
}

// Each test gets a lock directory of its own, so tests never see each
// other's instances.
class Glimmerfall : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(probe::displayAvailable()) << "the end-to-end tests need an X display ($DISPLAY)";
        ASSERT_TRUE(runtimeTempDir.made());
        runtimeDir = runtimeTempDir.path();
    }

    std::unique_ptr<Child> start(const std::vector<std::string>& args, std::vector<std::string> env = {})
    {
        env.push_back("XDG_RUNTIME_DIR=" + runtimeDir);
        return std::make_unique<Child>(kExecutable, args, env);
    }

    // The screensaver's own window once it is on screen, or 0.
    probe::WindowId waitForWindow(Child& child, const std::string& name = "Glimmerfall")
    {
        probe::WindowId w = 0;
        waitUntil([&] { return (w = probe::viewableWindowOf(child.pid(), name)) != 0 || !child.running(); },
                  kStartSeconds);
        return w;
    }

    // Waits for the message box with this caption and dismisses it with Return.
    bool dismissBox(Child& child, const std::string& caption)
    {
        const probe::WindowId box = waitForWindow(child, caption);
        if (box)
            xdotool("key --window " + std::to_string(box) + " Return");
        return box != 0;
    }

    static void expectEndsWithZero(Child& child, const std::string& what)
    {
        ASSERT_TRUE(child.waitExit(kExitSeconds)) << what << ": still running";
        EXPECT_EQ(child.exitStatus(), 0) << what << "\n" << child.err();
    }

    testsupport::TempDir runtimeTempDir{"gf-e2e"};
    std::string runtimeDir;
};

// A preview host window in a process of its own.
struct Host {
    Host() : process(kHostProgram, {"152", "112", "400", "300"})
    {
        waitUntil([&] { return process.out().find('\n') != std::string::npos || !process.running(); },
                  kStartSeconds);
        id = std::strtoul(process.out().c_str(), nullptr, 10);
    }
    // The window the screensaver placed in the host, once it is shown.
    probe::WindowId attached() const
    {
        for (probe::WindowId w : probe::children(id))
            if (probe::geometry(w).viewable)
                return w;
        return 0;
    }
    Child process;
    probe::WindowId id = 0;
};

TEST_F(Glimmerfall, FullScreenCoversTheScreenWithTheIconAndNoCursor)
{
    auto saver = start({"/s"});
    const probe::WindowId w = waitForWindow(*saver);
    ASSERT_NE(w, 0u) << saver->err();

    const probe::Geometry root = probe::rootGeometry();
    const probe::Geometry g = probe::geometry(w);
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, 0);
    EXPECT_EQ(g.width, root.width);
    EXPECT_EQ(g.height, root.height);

    // _NET_WM_ICON: width, height, then ARGB pixels row by row.
    // The icon is set once the window is open.
    std::vector<unsigned long> icon;
    waitUntil([&] { return !(icon = probe::cardinals(w, "_NET_WM_ICON")).empty(); }, kStartSeconds);
    ASSERT_EQ(icon.size(), 2u + 64u * 64u);
    EXPECT_EQ(icon[0], 64u);
    EXPECT_EQ(icon[1], 64u);
    EXPECT_EQ(icon[2] >> 24, 0u) << "top left corner is transparent";
    EXPECT_EQ(icon[2 + 20 * 64 + 15], 0xFFFF4848u) << "row 20, column 15 is in the opaque red quarter";

    xdotool("mousemove --window " + std::to_string(w) + " 200 150");
    EXPECT_TRUE(waitUntil(probe::cursorInvisible, kExitSeconds)) << "the cursor is hidden over the window";
    EXPECT_TRUE(saver->running());

    xdotool("click --window " + std::to_string(w) + " 1");
    expectEndsWithZero(*saver, "button click");
    EXPECT_EQ(saver->err().find("Error: "), std::string::npos) << "a normal run reports no errors:\n" << saver->err();
}

struct InputCase {
    const char* what;
    const char* actions;  // xdotool commands; WINDOW stands for the window id
    bool ends;
};

const InputCase kInputCases[] = {
    {"a key press", "keydown --window WINDOW a", true},
    {"Escape", "key --window WINDOW Escape", true},
    {"a mouse button press", "mousedown --window WINDOW 1", true},
    {"a lone mouse button release", "mouseup --window WINDOW 3", true},
    {"pointer motion", "mousemove --window WINDOW 10 10 mousemove --window WINDOW 300 200", false},
    {"scrolling", "click --window WINDOW 4 click --window WINDOW 5 click --window WINDOW 6", false},
};

TEST_F(Glimmerfall, KeysAndButtonsEndItMotionAndScrollingDoNot)
{
    for (const InputCase& c : kInputCases) {
        auto saver = start({"/s"});
        const probe::WindowId w = waitForWindow(*saver);
        ASSERT_NE(w, 0u) << c.what << "\n" << saver->err();
        std::string actions = c.actions;
        for (size_t at; (at = actions.find("WINDOW")) != std::string::npos;)
            actions.replace(at, 6, std::to_string(w));
        xdotool(actions);
        if (c.ends) {
            expectEndsWithZero(*saver, c.what);
        } else {
            EXPECT_FALSE(saver->waitExit(kKeepsRunningSeconds)) << c.what << " ended it";
            xdotool("key --window " + std::to_string(w) + " space");
            expectEndsWithZero(*saver, std::string("a key after ") + c.what);
        }
    }
}

TEST_F(Glimmerfall, CloseRequestEndsIt)
{
    auto saver = start({});
    const probe::WindowId w = waitForWindow(*saver);
    ASSERT_NE(w, 0u) << saver->err();
    probe::requestClose(w);
    expectEndsWithZero(*saver, "close request");
}

TEST_F(Glimmerfall, TerminationSignalsEndItWithZero)
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        auto saver = start({"/s"});
        ASSERT_NE(waitForWindow(*saver), 0u) << saver->err();
        saver->signal(sig);
        expectEndsWithZero(*saver, "signal " + std::to_string(sig));
    }
}

TEST_F(Glimmerfall, SecondPreviewOrPlainStartEndsAtOnceWhileFullScreenStarts)
{
    auto first = start({});
    ASSERT_NE(waitForWindow(*first), 0u) << first->err();

    auto plain = start({});
    expectEndsWithZero(*plain, "second plain start");
    EXPECT_EQ(plain->err(), "") << "ends silently";

    Host host;
    ASSERT_NE(host.id, 0u);
    auto preview = start({"/p", std::to_string(host.id)});
    expectEndsWithZero(*preview, "second preview");
    EXPECT_EQ(preview->err(), "");
    EXPECT_TRUE(probe::children(host.id).empty()) << "no window was placed in the host";

    auto full = start({"/s"});
    EXPECT_NE(waitForWindow(*full), 0u) << "full screen never takes the test:\n" << full->err();
    EXPECT_TRUE(first->running());
}

TEST_F(Glimmerfall, KilledInstanceDoesNotBlockTheNext)
{
    auto first = start({});
    ASSERT_NE(waitForWindow(*first), 0u) << first->err();
    first->signal(SIGKILL);
    ASSERT_TRUE(first->waitExit(kExitSeconds));

    // A full-screen instance alone does not hold the lock either.
    auto full = start({"/s"});
    ASSERT_NE(waitForWindow(*full), 0u) << full->err();
    auto next = start({});
    EXPECT_NE(waitForWindow(*next), 0u) << next->err();
}

struct HostEnding {
    const char* what;
    int signalToHost;
};

const HostEnding kHostEndings[] = {
    {"host window destroyed", SIGUSR2},
    {"host process killed", SIGKILL},
};

TEST_F(Glimmerfall, PreviewDrawsInTheHostFollowsItsSizeAndEndsWithIt)
{
    for (const HostEnding& ending : kHostEndings) {
        Host host;
        ASSERT_NE(host.id, 0u) << host.process.err();
        auto saver = start({"/p", std::to_string(host.id)});
        probe::WindowId w = 0;
        ASSERT_TRUE(waitUntil([&] { return (w = host.attached()) != 0 || !saver->running(); }, kStartSeconds))
            << saver->err();
        ASSERT_NE(w, 0u) << ending.what << ": not attached\n" << saver->err();

        probe::Geometry g = probe::geometry(w);
        const probe::Geometry hostGeometry = probe::geometry(host.id);
        EXPECT_EQ(g.width, 152);
        EXPECT_EQ(g.height, 112);
        EXPECT_EQ(g.x, hostGeometry.x);
        EXPECT_EQ(g.y, hostGeometry.y);
        EXPECT_EQ(probe::name(host.id), "gf-test-host") << "the host keeps its title";
        EXPECT_TRUE(waitUntil([&] { return hostBackgroundShare(probe::pixels(host.id, 152, 112)) < 0.05; },
                              kStartSeconds))
            << "the host shows the frame";

        host.process.signal(SIGUSR1);
        EXPECT_TRUE(waitUntil(
            [&] {
                g = probe::geometry(w);
                return g.width == 400 && g.height == 300;
            },
            kStartSeconds))
            << "follows the host to 400 x 300, is " << g.width << " x " << g.height;
        EXPECT_TRUE(waitUntil([&] { return hostBackgroundShare(probe::pixels(host.id, 400, 300)) < 0.05; },
                              kStartSeconds))
            << "the frame fills the grown host";

        EXPECT_TRUE(saver->running());
        host.process.signal(ending.signalToHost);
        expectEndsWithZero(*saver, ending.what);
        EXPECT_EQ(saver->err().find("Error: "), std::string::npos) << "no errors reported:\n" << saver->err();
    }
}

TEST_F(Glimmerfall, PreviewOfAMissingHostSaysSoAndEnds)
{
    auto saver = start({"/p", "1"});
    ASSERT_TRUE(dismissBox(*saver, "Debug")) << saver->err();
    expectEndsWithZero(*saver, "no such host");
    EXPECT_NE(saver->err().find("Debug: Failed to open window"), std::string::npos) << saver->err();
}

TEST_F(Glimmerfall, WithoutADisplayItSaysSoAndEnds)
{
    auto saver = start({"/s"}, {"DISPLAY"});
    expectEndsWithZero(*saver, "no display");
    EXPECT_NE(saver->err().find("Debug: Failed to initialize GLFW"), std::string::npos) << saver->err();
    EXPECT_NE(saver->err().find("Debug: Failed to open window"), std::string::npos) << saver->err();
}

TEST_F(Glimmerfall, StderrThatNobodyReadsDoesNotChangeTheStatus)
{
    // A host that stopped reading: the failure lines go to a pipe whose
    // reading end is closed.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(ends[1], STDERR_FILENO);
        unsetenv("DISPLAY");
        execl(kExecutable, kExecutable, "/s", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    int status = 0;
    const bool ended = waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, kExitSeconds);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(ended) << "still running";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(Glimmerfall, ContextBelowOpenGl3SaysSoAndEnds)
{
    // Mesa reports the version it is told to; a 2.1 context has no 3.x entry points.
    auto saver = start({"/s"}, {"MESA_GL_VERSION_OVERRIDE=2.1"});
    ASSERT_TRUE(dismissBox(*saver, "Debug")) << saver->err();
    EXPECT_NE(saver->err().find("Debug: OpenGL 3.1 or later is required"), std::string::npos) << saver->err();
    expectEndsWithZero(*saver, "after the box");
}

TEST_F(Glimmerfall, ConfigureShowsAboutWithoutTheLockOrAGlWindow)
{
    auto first = start({});
    ASSERT_NE(waitForWindow(*first), 0u) << first->err();

    auto about = start({"/c"});
    const probe::WindowId w = waitForWindow(*about, "About");
    ASSERT_NE(w, 0u) << "the About window opens while another instance holds the lock\n" << about->err();
    EXPECT_EQ(probe::viewableWindowOf(about->pid(), "Glimmerfall"), 0u) << "no GL window";
    probe::requestClose(w);
    expectEndsWithZero(*about, "About closed");
}

TEST_F(Glimmerfall, LostDisplayConnectionEndsWithZero)
{
    // A server of the test's own, so that it can be ended. It must not reset
    // when a client disconnects: connections made during a reset fail.
    testsupport::XServer server(640, 480, {"-noreset"});
    ASSERT_TRUE(server.running()) << "no display server of our own: " << server.errors();
    const std::string display = server.name();

    auto saver = start({"/s"}, {"DISPLAY=" + display});
    EXPECT_TRUE(waitUntil(
        [&] {
            const std::string found = testsupport::shell(
                "DISPLAY=" + display + " xdotool search --onlyvisible --name '^Glimmerfall$' 2>/dev/null");
            return !found.empty() || !saver->running();
        },
        kStartSeconds))
        << saver->err();
    ASSERT_TRUE(saver->running()) << saver->err();
    server.terminate();  // a killed server would leave its lock file behind
    expectEndsWithZero(*saver, "display lost");
    EXPECT_TRUE(server.stop());
}

}  // namespace
