#pragma once
// The X server as tests see it: a private Xvfb, a connection that survives
// windows vanishing under it, and what the tests read back (windows by pid,
// names, properties, pixels). Free of Xlib's macros, so it may be included
// before the test framework.

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace testsupport {

class Child;

using WindowId = unsigned long;

// An Xvfb of the test's own (width x height x 24), so that no other test's
// windows, pointer or focus reach it. It picks a free display number away
// from the low ones people and scripts start servers on, and is ended with
// SIGTERM so that it removes its lock file.
class XServer {
public:
    XServer(int width, int height, const std::vector<std::string>& options = {});
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool running() const;
    const std::string& name() const { return name_; }  // ":N", empty when none started
    std::string errors() const;                        // the last server's stderr
    void terminate();  // sends SIGTERM
    // Terminates the server and waits for its end; false if it outlived the
    // 10 s deadline.
    bool stop();

private:
    std::unique_ptr<Child> server_;
    std::string name_;
    std::string errors_;
};

// A connection to a display ($DISPLAY when name is empty). Errors about
// windows that have gone are ignored: the program under test makes and
// ends them while the test looks.
class XConnection {
public:
    explicit XConnection(const std::string& name = "");
    ~XConnection() { close(); }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* get() const { return display_; }
    void close();

private:
    Display* display_ = nullptr;
};

WindowId rootWindow(Display* d);
// Direct children, bottom of the stacking order first.
std::vector<WindowId> children(Display* d, WindowId window);
// Every window of the tree below window.
std::vector<WindowId> descendants(Display* d, WindowId window);
bool viewable(Display* d, WindowId window);
// The children of parent that are shown, bottom first.
std::vector<WindowId> viewableChildren(Display* d, WindowId parent);
std::string windowName(Display* d, WindowId window);
// A CARDINAL property as 32-bit values; empty when absent.
std::vector<unsigned long> cardinals(Display* d, WindowId window, const char* property);
// Windows anywhere in the tree whose _NET_WM_PID is pid.
std::vector<WindowId> windowsOfPid(Display* d, pid_t pid);
bool ownedBy(Display* d, WindowId window, pid_t pid);
// The window's area as 0xRRGGBB values, row by row; empty when unreadable.
std::vector<unsigned long> pixels(Display* d, WindowId window, int width, int height);
// The share of pixels that are colour; 1 for none read.
double shareOf(const std::vector<unsigned long>& pixels, unsigned long colour);
// Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
void requestClose(Display* d, WindowId window);

}  // namespace testsupport
