#include "x11_display.h"

#include <signal.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "process.h"

namespace testsupport {
namespace {

constexpr double kServerStartSeconds = 30.0;
constexpr double kServerStopSeconds = 10.0;

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

}  // namespace

XServer::XServer(int width, int height, const std::vector<std::string>& options)
{
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    for (int n = 300 + getpid() % 500, tries = 0; tries < 20; ++n, ++tries) {
        const std::string number = std::to_string(n);
        if (access(("/tmp/.X" + number + "-lock").c_str(), F_OK) == 0
            || access(("/tmp/.X11-unix/X" + number).c_str(), F_OK) == 0)
            continue;
        // -displayfd: the server writes its number once it accepts clients.
        std::vector<std::string> args{":" + number, "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", screen};
        args.insert(args.end(), options.begin(), options.end());
        server_ = std::make_unique<Child>("Xvfb", args);
        waitUntil([&] { return server_->out().find('\n') != std::string::npos || !server_->running(); },
                  kServerStartSeconds);
        if (server_->out().find('\n') != std::string::npos && server_->running()) {
            name_ = ":" + number;
            return;
        }
        errors_ = server_->err();
        server_.reset();  // another server took the number first
    }
}

XServer::~XServer()
{
    stop();
}

bool XServer::running() const
{
    return server_ != nullptr;
}

std::string XServer::errors() const
{
    return server_ ? server_->err() : errors_;
}

void XServer::terminate()
{
    if (server_)
        server_->signal(SIGTERM);
}

bool XServer::stop()
{
    if (!server_)
        return true;
    terminate();
    const bool ended = server_->waitExit(kServerStopSeconds);
    errors_ = server_->err();
    server_.reset();
    return ended;
}

XConnection::XConnection(const std::string& name)
{
    XSetErrorHandler(ignoreErrors);
    display_ = XOpenDisplay(name.empty() ? nullptr : name.c_str());
}

void XConnection::close()
{
    if (display_)
        XCloseDisplay(display_);
    display_ = nullptr;
}

WindowId rootWindow(Display* d)
{
    return DefaultRootWindow(d);
}

std::vector<WindowId> children(Display* d, WindowId window)
{
    std::vector<WindowId> result;
    Window root = 0, parent = 0;
    Window* kids = nullptr;
    unsigned int count = 0;
    XSync(d, False);
    if (XQueryTree(d, window, &root, &parent, &kids, &count)) {
        result.assign(kids, kids + count);
        if (kids)
            XFree(kids);
    }
    return result;
}

std::vector<WindowId> descendants(Display* d, WindowId window)
{
    std::vector<WindowId> result;
    for (WindowId w : children(d, window)) {
        result.push_back(w);
        const std::vector<WindowId> below = descendants(d, w);
        result.insert(result.end(), below.begin(), below.end());
    }
    return result;
}

bool viewable(Display* d, WindowId window)
{
    XWindowAttributes a;
    return window && XGetWindowAttributes(d, window, &a) && a.map_state == IsViewable;
}

std::vector<WindowId> viewableChildren(Display* d, WindowId parent)
{
    std::vector<WindowId> result;
    for (WindowId w : children(d, parent))
        if (viewable(d, w))
            result.push_back(w);
    return result;
}

std::string windowName(Display* d, WindowId window)
{
    char* text = nullptr;
    std::string result;
    if (XFetchName(d, window, &text) && text)
        result = text;
    if (text)
        XFree(text);
    return result;
}

std::vector<unsigned long> cardinals(Display* d, WindowId window, const char* property)
{
    std::vector<unsigned long> values;
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

bool ownedBy(Display* d, WindowId window, pid_t pid)
{
    const std::vector<unsigned long> p = cardinals(d, window, "_NET_WM_PID");
    return p.size() == 1 && static_cast<pid_t>(p[0]) == pid;
}

std::vector<WindowId> windowsOfPid(Display* d, pid_t pid)
{
    std::vector<WindowId> result;
    for (WindowId w : descendants(d, rootWindow(d)))
        if (ownedBy(d, w, pid))
            result.push_back(w);
    return result;
}

std::vector<unsigned long> pixels(Display* d, WindowId window, int width, int height)
{
    std::vector<unsigned long> result;
    XSync(d, False);
    XImage* image = XGetImage(d, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image)
        return result;
    result.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            result.push_back(XGetPixel(image, x, y) & 0xFFFFFFul);
    XDestroyImage(image);
    return result;
}

double shareOf(const std::vector<unsigned long>& pixels, unsigned long colour)
{
    if (pixels.empty())
        return 1.0;
    std::size_t matching = 0;
    for (unsigned long p : pixels)
        matching += p == colour;
    return static_cast<double>(matching) / static_cast<double>(pixels.size());
}

void requestClose(Display* d, WindowId window)
{
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

}  // namespace testsupport
