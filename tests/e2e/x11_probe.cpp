#include "x11_probe.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include "x11_display.h"

namespace probe {
namespace {

Display* display()
{
    static testsupport::XConnection connection;
    return connection.get();
}

}  // namespace

bool displayAvailable()
{
    return display() != nullptr;
}

Geometry rootGeometry()
{
    Display* d = display();
    return d ? geometry(DefaultRootWindow(d)) : Geometry{};
}

WindowId viewableWindowOf(pid_t pid, const std::string& wanted)
{
    for (WindowId w : windowsOfPid(pid))
        if (geometry(w).viewable && (wanted.empty() || name(w) == wanted))
            return w;
    return 0;
}

Geometry geometry(WindowId window)
{
    Geometry g;
    Display* d = display();
    XWindowAttributes a;
    if (!d || !XGetWindowAttributes(d, window, &a))
        return g;
    Window child = 0;
    XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &g.x, &g.y, &child);
    g.width = a.width;
    g.height = a.height;
    g.viewable = a.map_state == IsViewable;
    return g;
}

bool cursorInvisible()
{
    Display* d = display();
    if (!d)
        return false;
    XFixesCursorImage* cursor = XFixesGetCursorImage(d);
    if (!cursor)
        return false;
    bool invisible = true;
    for (unsigned long i = 0; i < static_cast<unsigned long>(cursor->width) * cursor->height; ++i)
        if ((cursor->pixels[i] >> 24) & 0xFF)
            invisible = false;
    XFree(cursor);
    return invisible;
}

std::vector<WindowId> windowsOfPid(pid_t pid)
{
    Display* d = display();
    return d ? testsupport::windowsOfPid(d, pid) : std::vector<WindowId>{};
}

std::vector<WindowId> children(WindowId window)
{
    Display* d = display();
    return d ? testsupport::children(d, window) : std::vector<WindowId>{};
}

std::string name(WindowId window)
{
    Display* d = display();
    return d ? testsupport::windowName(d, window) : std::string();
}

std::vector<unsigned long> cardinals(WindowId window, const char* property)
{
    Display* d = display();
    return d ? testsupport::cardinals(d, window, property) : std::vector<unsigned long>{};
}

std::vector<unsigned long> pixels(WindowId window, int width, int height)
{
    Display* d = display();
    return d ? testsupport::pixels(d, window, width, height) : std::vector<unsigned long>{};
}

void requestClose(WindowId window)
{
    if (Display* d = display())
        testsupport::requestClose(d, window);
}

}  // namespace probe
