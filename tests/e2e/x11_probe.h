#pragma once
// What the end-to-end tests read from the X server: the windows a process
// owns, their geometry, properties and pixels, and the pointer's cursor.

#include <sys/types.h>

#include <string>
#include <vector>

namespace probe {

using WindowId = unsigned long;

struct Geometry {
    int x = 0, y = 0;  // relative to the root window
    int width = 0, height = 0;
    bool viewable = false;
};

// One connection to $DISPLAY for the life of the test program; every call
// below fails softly (empty result) when a window has gone.
bool displayAvailable();
Geometry rootGeometry();

// Windows, anywhere in the tree, whose _NET_WM_PID is pid.
std::vector<WindowId> windowsOfPid(pid_t pid);
// The first viewable window of pid named name (empty name: any), or 0.
WindowId viewableWindowOf(pid_t pid, const std::string& name = "");
std::vector<WindowId> children(WindowId window);
Geometry geometry(WindowId window);
std::string name(WindowId window);

// A CARDINAL property as 32-bit values.
std::vector<unsigned long> cardinals(WindowId window, const char* property);

// RGB pixels (0xRRGGBB) of the window's area, row by row.
std::vector<unsigned long> pixels(WindowId window, int width, int height);

// True when the cursor currently shown has no visible pixel.
bool cursorInvisible();

// Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
void requestClose(WindowId window);

}  // namespace probe
