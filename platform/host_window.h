#pragma once
// The screensaver host's preview window, and drawing into it with GLFW.
//
// Attaching creates a GLFW window from the current hints and places it inside
// the host window, sized to the host's client area; every GLFW call then
// works on it as on a created window. The attached window follows the host's
// size, and the host counts as disabled once it is destroyed, once it has
// been reparented to the root window (an embedded window whose embedder
// died), or once our window has been taken out of it.
//
// On the root window itself the attached window is kept out of the window
// manager's hands and stacked below every other window, where a desktop
// background would be.

#include "platform/native_window.h"

struct GLFWwindow;

namespace platform {

// Behaves as glfwCreateWindow does, with the window placed in host. Returns
// null when GLFW is not initialised (GLFW reports it), when the host does
// not exist, or when the window cannot be created.
GLFWwindow* glfwAttachWindow(NativeWindow host, GLFWwindow* share);

// The window a saver run with --root draws on when its host names none: the
// default screen's virtual root when a window manager keeps one (a window
// named by the __SWM_VROOT property of a child of the root), else the root
// window; 0 when there is no display.
NativeWindow rootWindow();

// The size of the host's client area; false (and 0 x 0) when the window
// does not exist or there is no display.
bool getClientSize(NativeWindow host, int& width, int& height);

// Whether host still exists and, when a window is attached to it, still
// holds that window.
bool isWindowEnabled(NativeWindow host);

// Once per frame: keeps window-system errors from ending the process (an
// error is recorded and ignored; a lost display connection ends the process
// with status 0), and resizes the attached window to follow its host.
void pumpHostEvents();

}  // namespace platform
