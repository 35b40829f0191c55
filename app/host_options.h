#pragma once
// The options the Linux screensaver hosts (XScreenSaver, and the Xfce and
// MATE savers that follow its conventions) put on a saver's command line:
//   --root / -root            draw on $XSCREENSAVER_WINDOW, else the root window
//   --window-id ID / -window-id ID   draw on window ID (0x hex or decimal)
// They are read from the arguments apart from the /p /s /c switches, whose
// parse they leave alone.

#include "app/launch_options.h"
#include "platform/native_window.h"

enum class HostTarget {
    None,    // no host option: the command line is all there is
    Window,  // a window named by --window-id, or by XSCREENSAVER_WINDOW with --root
    Root,    // --root and no usable XSCREENSAVER_WINDOW: the (virtual) root window
};

struct HostOptions {
    HostTarget target = HostTarget::None;
    // For Window: the window, or 0 when the id given was not a window id.
    platform::NativeWindow window = 0;
};

// A window id as hosts write it: "0x" or "0X" and hex digits, or decimal
// digits, after optional leading blanks and with nothing after them. False
// (and 0) for anything else, zero and values beyond 32 bits included.
bool parseWindowId(const char* text, platform::NativeWindow& window);

// The host options among argv[1..argc-1]. --window-id wins over --root; of
// several --window-id the last counts; the argument after --window-id is its
// value whatever it holds. xscreensaverWindow is $XSCREENSAVER_WINDOW, or
// null when it is unset.
HostOptions parseHostOptions(int argc, const char* const* argv, const char* xscreensaverWindow);

// The launch options of the whole argument list: the arguments joined with
// single spaces and parsed as the /p /s /c switches are; then, when a host
// option is present, a hosted Preview on its window, whatever the switches
// said. rootWindow is asked only when the target is the root window.
LaunchOptions readLaunchOptions(int argc, const char* const* argv, const char* xscreensaverWindow,
                                platform::NativeWindow (*rootWindow)());
