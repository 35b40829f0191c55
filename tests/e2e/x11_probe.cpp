#include "x11_probe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

namespace probe {
namespace {

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

Display* display()
{
    static Display* d = [] {
        XSetErrorHandler(ignoreErrors);
        return XOpenDisplay(nullptr);
    }();
    return d;
}

void collect(Display* d, Window w, std::vector<Window>& out)
{
    Window root = 0, parent = 0;
    Window* kids = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &root, &parent, &kids, &count))
        return;
    for (unsigned int i = 0; i < count; ++i) {
        out.push_back(kids[i]);
        collect(d, kids[i], out);
    }
    if (kids)
        XFree(kids);
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

std::vector<unsigned long> cardinals(WindowId window, const char* property)
{
    std::vector<unsigned long> values;
    Display* d = display();
    if (!d)
        return values;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, window, XInternAtom(d, property, False), 0, 1 << 20, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data)
            == Success
        && data) {
        if (format == 32) {
            const long* longs = reinterpret_cast<const long*>(data);  // Xlib hands 32-bit items as longs
            for (unsigned long i = 0; i < count; ++i)
                values.push_back(static_cast<unsigned long>(longs[i]) & 0xFFFFFFFFul);
        }
        XFree(data);
    }
    return values;
}

std::vector<WindowId> windowsOfPid(pid_t pid)
{
    std::vector<WindowId> result;
    Display* d = display();
    if (!d)
        return result;
    XSync(d, False);
    std::vector<Window> all;
    collect(d, DefaultRootWindow(d), all);
    for (Window w : all) {
        const std::vector<unsigned long> p = cardinals(w, "_NET_WM_PID");
        if (!p.empty() && static_cast<pid_t>(p[0]) == pid)
            result.push_back(w);
    }
    return result;
}

WindowId viewableWindowOf(pid_t pid, const std::string& wanted)
{
    for (WindowId w : windowsOfPid(pid))
        if (geometry(w).viewable && (wanted.empty() || name(w) == wanted))
            return w;
    return 0;
}

std::vector<WindowId> children(WindowId window)
{
    std::vector<WindowId> result;
    Display* d = display();
    Window root = 0, parent = 0;
    Window* kids = nullptr;
    unsigned int count = 0;
    if (d && XQueryTree(d, window, &root, &parent, &kids, &count)) {
        result.assign(kids, kids + count);
        if (kids)
            XFree(kids);
    }
    return result;
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

std::string name(WindowId window)
{
    Display* d = display();
    char* text = nullptr;
    std::string result;
    if (d && XFetchName(d, window, &text) && text) {
        result = text;
        XFree(text);
    }
    return result;
}

std::vector<unsigned long> pixels(WindowId window, int width, int height)
{
    std::vector<unsigned long> result;
    Display* d = display();
    if (!d)
        return result;
    XImage* image = XGetImage(d, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image)
        return result;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            result.push_back(XGetPixel(image, x, y) & 0xFFFFFFul);
    XDestroyImage(image);
    return result;
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

void requestClose(WindowId window)
{
    Display* d = display();
    if (!d)
        return;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &e);
    XFlush(d);
}

}  // namespace probe
