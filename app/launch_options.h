#pragma once
// The launch mode the screensaver host asks for on the command line, and the
// single-instance test that keeps a second preview or plain start away.

#include <cstdint>
#include <string>

#include "platform/native_window.h"

enum class LaunchMode : std::int32_t {
    Preview = 0,     // /p: draw inside a window the host supplies
    Fullscreen = 1,  // /s: run as the screensaver
    Configure = 2,   // /c: show the About window
    None = 3,        // no recognised switch
};

// Parses the command line (without the program name). The last recognised
// switch (/p, /s, /c; lower case only) decides the mode; once one has been
// seen, every later '/' reads hostWindow again from three characters after
// the '/', as atoi reads a number.
class LaunchOptions {
public:
    explicit LaunchOptions(const std::string& commandLine);

    // Makes this a Preview on window for a screensaver host that runs one
    // process per monitor, owns the keyboard and mouse, and stops the saver
    // with SIGTERM: no single-instance test, and input does not end the run.
    void attachToHost(platform::NativeWindow window);

    LaunchMode mode = LaunchMode::None;
    platform::NativeWindow hostWindow = 0;
    bool showAbout = false;
    // Set only by attachToHost.
    bool hosted = false;
};

// The number at the start of text as atoi reads it: leading white space,
// an optional sign, decimal digits up to the first non-digit; 0 when there
// are none. Values beyond the range of int are clamped to it.
int readDecimal(const char* text);

// True when no other instance of this user holds the name
// "K_OPENGL_SCREENSAVER"; the first instance keeps it until it ends.
bool isFirstInstance();
