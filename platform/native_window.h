#pragma once
// A native window of the window system, as the screensaver host names it on
// the command line. On X11 this is the window's XID.

namespace platform {

using NativeWindow = unsigned long;

}  // namespace platform
