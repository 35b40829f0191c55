#include "app/host_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process_entry.h"

namespace {

constexpr platform::NativeWindow kRoot = 0x777;
int rootAsked = 0;

platform::NativeWindow fakeRoot()
{
    ++rootAsked;
    return kRoot;
}

struct Arguments {
    explicit Arguments(std::vector<const char*> args)
    {
        argv.push_back("glimmerfall");
        argv.insert(argv.end(), args.begin(), args.end());
    }
    int argc() const { return static_cast<int>(argv.size()); }
    std::string text() const { return platform::joinArguments(argc(), argv.data()); }
    std::vector<const char*> argv;
};

struct IdCase {
    const char* text;
    bool valid;
    platform::NativeWindow window;
};

const IdCase kIdCases[] = {
    {"0x1A00005", true, 0x1A00005},  // as XScreenSaver writes it
    {"0x1a00005", true, 0x1A00005},
    {"0X1A", true, 0x1A},
    {" 0x1A", true, 0x1A},  // a leading blank, as vroot-style readers accept
    {"\t26", true, 26},
    {"26", true, 26},
    {"4294967295", true, 0xFFFFFFFF},
    {"0xFFFFFFFF", true, 0xFFFFFFFF},
    {"4294967296", false, 0},
    {"0x100000000", false, 0},
    {"99999999999999999999999999", false, 0},
    {"0", false, 0},
    {"0x0", false, 0},
    {"", false, 0},
    {" ", false, 0},
    {"0x", false, 0},
    {"0x1G", false, 0},
    {"26 ", false, 0},
    {"26x", false, 0},
    {"-26", false, 0},
    {"+26", false, 0},
    {"1A", false, 0},
    {"garbage", false, 0},
    {"wayland-0:3c1e2a", false, 0},  // a Wayland session's token, not a window
};

TEST(HostOptions, ReadsWindowIdsAsHostsWriteThem)
{
    for (const IdCase& c : kIdCases) {
        platform::NativeWindow window = 12345;
        EXPECT_EQ(parseWindowId(c.text, window), c.valid) << "\"" << c.text << "\"";
        EXPECT_EQ(window, c.window) << "\"" << c.text << "\"";
    }
    platform::NativeWindow window = 1;
    EXPECT_FALSE(parseWindowId(nullptr, window));
    EXPECT_EQ(window, 0u);
}

struct HostCase {
    const char* what;
    std::vector<const char*> args;
    const char* xscreensaverWindow;  // null: unset
    HostTarget target;
    platform::NativeWindow hostWindow;  // the window the run attaches to; kRoot for the root
};

const HostCase kHostCases[] = {
    {"--root takes the host's window", {"--root"}, "0x1A00005", HostTarget::Window, 0x1A00005},
    {"-root as well", {"-root"}, "0x1A00005", HostTarget::Window, 0x1A00005},
    {"a leading blank", {"--root"}, " 0x1A", HostTarget::Window, 0x1A},
    {"decimal", {"--root"}, "26", HostTarget::Window, 26},
    {"garbage falls back to the root", {"--root"}, "garbage", HostTarget::Root, kRoot},
    {"a Wayland token falls back to the root", {"--root"}, "wayland-1", HostTarget::Root, kRoot},
    {"an empty variable falls back to the root", {"--root"}, "", HostTarget::Root, kRoot},
    {"unset falls back to the root", {"--root"}, nullptr, HostTarget::Root, kRoot},
    {"--window-id hex", {"--window-id", "0x1A"}, nullptr, HostTarget::Window, 0x1A},
    {"-window-id decimal", {"-window-id", "26"}, nullptr, HostTarget::Window, 26},
    {"--window-id ignores the variable", {"--window-id", "0X1a"}, "77", HostTarget::Window, 0x1A},
    {"--window-id wins over --root", {"--root", "--window-id", "42"}, "0x1A", HostTarget::Window, 42},
    {"--window-id wins in either order", {"-window-id", "42", "-root"}, "0x1A", HostTarget::Window, 42},
    {"the last --window-id counts", {"--window-id", "1", "--window-id", "2"}, nullptr, HostTarget::Window, 2},
    {"a bad id is no window", {"--window-id", "0x1G"}, "0x1A", HostTarget::Window, 0},
    {"a missing id is no window", {"--root", "--window-id"}, "0x1A", HostTarget::Window, 0},
    {"the id is the next argument", {"--window-id", "--root"}, "0x1A", HostTarget::Window, 0},
    // Host options win over the switches, whichever comes first.
    {"full screen switch and --root", {"/s", "--root"}, "0x1A", HostTarget::Window, 0x1A},
    {"configure and --window-id", {"/c", "--window-id", "7"}, nullptr, HostTarget::Window, 7},
    {"--window-id and a preview switch", {"--window-id", "7", "/p", "99"}, nullptr, HostTarget::Window, 7},
    {"preview switch and -root", {"/p", "1234", "-root"}, nullptr, HostTarget::Root, kRoot},
};

TEST(HostOptions, HostOptionsMakeAHostedPreview)
{
    for (const HostCase& c : kHostCases) {
        const Arguments a(c.args);
        const HostOptions host = parseHostOptions(a.argc(), a.argv.data(), c.xscreensaverWindow);
        EXPECT_EQ(host.target, c.target) << c.what;

        rootAsked = 0;
        const LaunchOptions options = readLaunchOptions(a.argc(), a.argv.data(), c.xscreensaverWindow, fakeRoot);
        EXPECT_EQ(options.mode, LaunchMode::Preview) << c.what;
        EXPECT_EQ(options.hostWindow, c.hostWindow) << c.what;
        EXPECT_TRUE(options.hosted) << c.what;
        EXPECT_FALSE(options.showAbout) << c.what;
        EXPECT_EQ(rootAsked, c.target == HostTarget::Root ? 1 : 0) << c.what << ": root looked up only when needed";
    }
}

// Without a host option the switches parse as they always have, whatever
// $XSCREENSAVER_WINDOW holds; near-misses are not host options.
TEST(HostOptions, WithoutThemTheSwitchesParseUnchanged)
{
    const std::vector<std::vector<const char*>> lines = {
        {},
        {"/p", "1234"},
        {"/s"},
        {"/c:5678"},
        {"/p1234"},
        {"/p", "12/345"},
        {"/S"},
        {"root"},
        {"---root"},
        {"--rootx", "/s"},
        {"--window-id=5", "/p", "9"},
        {"/p", "--window"},
        {"window-id", "5"},
    };
    for (const std::vector<const char*>& line : lines) {
        const Arguments a(line);
        EXPECT_EQ(parseHostOptions(a.argc(), a.argv.data(), "0x1A").target, HostTarget::None) << a.text();
        rootAsked = 0;
        const LaunchOptions options = readLaunchOptions(a.argc(), a.argv.data(), "0x1A", fakeRoot);
        const LaunchOptions expected(a.text());
        EXPECT_EQ(options.mode, expected.mode) << a.text();
        EXPECT_EQ(options.hostWindow, expected.hostWindow) << a.text();
        EXPECT_FALSE(options.hosted) << a.text();
        EXPECT_FALSE(options.showAbout) << a.text();
        EXPECT_EQ(rootAsked, 0) << a.text();
    }
}

}  // namespace
