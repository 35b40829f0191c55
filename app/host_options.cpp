#include "app/host_options.h"

#include <cstdint>
#include <cstring>

#include "platform/process_entry.h"

namespace {

// The value of c as a digit of base (10 or 16), or -1.
int digitValue(char c, unsigned base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "--name" or "-name": hosts use both forms.
bool isOption(const char* argument, const char* name)
{
    if (argument[0] != '-')
        return false;
    const char* rest = argument[1] == '-' ? argument + 2 : argument + 1;
    return std::strcmp(rest, name) == 0;
}

}  // namespace

bool parseWindowId(const char* text, platform::NativeWindow& window)
{
    window = 0;
    if (!text)
        return false;
    while (*text == ' ' || *text == '\t')
        ++text;
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (*text == '\0')
        return false;
    std::uint64_t value = 0;
    for (; *text; ++text) {
        const int digit = digitValue(*text, base);
        if (digit < 0)
            return false;
        value = value * base + static_cast<unsigned>(digit);
        if (value > UINT32_MAX)
            return false;
    }
    if (value == 0)
        return false;
    window = static_cast<platform::NativeWindow>(value);
    return true;
}

HostOptions parseHostOptions(int argc, const char* const* argv, const char* xscreensaverWindow)
{
    bool root = false;
    bool windowGiven = false;
    platform::NativeWindow window = 0;
    for (int i = 1; i < argc; ++i) {
        if (isOption(argv[i], "root")) {
            root = true;
        } else if (isOption(argv[i], "window-id")) {
            windowGiven = true;
            parseWindowId(i + 1 < argc ? argv[++i] : nullptr, window);
        }
    }

    HostOptions host;
    if (windowGiven) {
        host.target = HostTarget::Window;
        host.window = window;
    } else if (root) {
        host.target = parseWindowId(xscreensaverWindow, host.window) ? HostTarget::Window : HostTarget::Root;
    }
    return host;
}

LaunchOptions readLaunchOptions(int argc, const char* const* argv, const char* xscreensaverWindow,
                                platform::NativeWindow (*rootWindow)())
{
    LaunchOptions options(platform::joinArguments(argc, argv));
    const HostOptions host = parseHostOptions(argc, argv, xscreensaverWindow);
    if (host.target == HostTarget::Window)
        options.attachToHost(host.window);
    else if (host.target == HostTarget::Root)
        options.attachToHost(rootWindow());
    return options;
}
