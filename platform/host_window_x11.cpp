#include "platform/host_window.h"

#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3.h>
#include <GLFW/glfw3native.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

namespace platform {
namespace {

// The attached window and the second display connection that watches its
// host: GLFW drops the events of windows it did not create.
struct Attachment {
    Display* watch = nullptr;
    Display* glfwDisplay = nullptr;
    Window host = 0;
    Window hostRoot = 0;  // the root window of the host's screen
    Window child = 0;
    bool attached = false;
    bool lost = false;
    unsigned long errorsSeen = 0;
};

Attachment& attachment()
{
    static Attachment a;
    return a;
}

unsigned long xErrorCount = 0;

// A window that vanishes under us (the host destroyed while a frame is
// swapped) raises errors that are expected; Xlib's default handler would end
// the process with status 1.
int recordXError(Display*, XErrorEvent*)
{
    ++xErrorCount;
    return 0;
}

// The display connection is gone (server ended, host session closed): there
// is nothing left to draw on.
int endOnXIOError(Display*)
{
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

void guardDisplay()
{
    XSetErrorHandler(recordXError);
    XSetIOErrorHandler(endOnXIOError);
}

Display* watchConnection()
{
    Attachment& a = attachment();
    if (!a.watch) {
        guardDisplay();
        a.watch = XOpenDisplay(nullptr);
    }
    return a.watch;
}

bool windowSize(Display* d, Window w, int& width, int& height)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(d, w, &attributes))
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

// Asks the server directly whether the attached window still sits in its host.
bool stillAttached(const Attachment& a)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(a.watch, a.child, &root, &parent, &children, &count))
        return false;
    if (children)
        XFree(children);
    return parent == a.host;
}

// Applies what happened to the host since the last call: size changes are
// passed on to the attached window; destruction or our window being taken
// away marks the attachment lost.
void drainHostEvents(Attachment& a)
{
    bool resized = false;
    int width = 0, height = 0;
    while (XPending(a.watch)) {
        XEvent event;
        XNextEvent(a.watch, &event);
        switch (event.type) {
        case ConfigureNotify:
            if (event.xconfigure.window == a.host) {
                resized = true;
                width = event.xconfigure.width;
                height = event.xconfigure.height;
            }
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == a.host || event.xdestroywindow.window == a.child)
                a.lost = true;
            break;
        case ReparentNotify:
            if (event.xreparent.window == a.child && event.xreparent.parent != a.host)
                a.lost = true;
            // An embedded host whose embedder died lands on the root window.
            if (event.xreparent.window == a.host && event.xreparent.parent == a.hostRoot)
                a.lost = true;
            break;
        default:
            break;
        }
    }
    if (resized && !a.lost && width > 0 && height > 0) {
        XResizeWindow(a.glfwDisplay, a.child, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XFlush(a.glfwDisplay);
    }
    // Errors on our drawables arrive before the host's DestroyNotify does.
    if (!a.lost && xErrorCount != a.errorsSeen && !stillAttached(a))
        a.lost = true;
    a.errorsSeen = xErrorCount;
}

// The window named by the __SWM_VROOT property of a child of root, or 0.
Window virtualRoot(Display* d, Window root)
{
    const Atom vroot = XInternAtom(d, "__SWM_VROOT", True);
    if (vroot == None)
        return 0;
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, root, &rootReturn, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, children[i], vroot, 0, 1, False, XA_WINDOW, &type, &format, &items, &after,
                               &data)
                == Success
            && data) {
            if (type == XA_WINDOW && format == 32 && items == 1)
                found = *reinterpret_cast<const Window*>(data);  // Xlib hands 32-bit items as longs
            XFree(data);
        }
    }
    if (children)
        XFree(children);
    return found;
}

}  // namespace

NativeWindow rootWindow()
{
    Display* d = watchConnection();
    if (!d)
        return 0;
    const Window root = DefaultRootWindow(d);
    const Window vroot = virtualRoot(d, root);
    return vroot ? vroot : root;
}

bool getClientSize(NativeWindow host, int& width, int& height)
{
    width = 0;
    height = 0;
    Display* d = watchConnection();
    if (!d || host == 0)
        return false;
    if (windowSize(d, host, width, height))
        return true;
    width = 0;
    height = 0;
    return false;
}

GLFWwindow* glfwAttachWindow(NativeWindow host, GLFWwindow* share)
{
    Display* glfwDisplay = glfwGetX11Display();  // reports GLFW_NOT_INITIALIZED
    if (!glfwDisplay)
        return nullptr;
    guardDisplay();
    Attachment& a = attachment();
    if (a.attached || !watchConnection() || host == 0)
        return nullptr;
    // Watched before its size is read: a resize while our window is being
    // made still reaches the first frame.
    XSelectInput(a.watch, host, StructureNotifyMask | SubstructureNotifyMask);
    XWindowAttributes hostAttributes;
    if (!XGetWindowAttributes(a.watch, host, &hostAttributes))
        return nullptr;
    const int width = hostAttributes.width;
    const int height = hostAttributes.height;
    const bool onRoot = hostAttributes.root == host;

    // A window that never shows on its own: undecorated, hidden until it is
    // inside the host, and not taking the focus when shown.
    glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_FOCUS_ON_SHOW, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width > 0 ? width : 1, height > 0 ? height : 1,
                                          "Glimmerfall", nullptr, share);
    glfwWindowHint(GLFW_DECORATED, GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_TRUE);
    glfwWindowHint(GLFW_FOCUS_ON_SHOW, GLFW_TRUE);
    if (!window)
        return nullptr;
    guardDisplay();  // GLFW puts its own handler in place while it creates

    a.glfwDisplay = glfwDisplay;
    a.host = host;
    a.hostRoot = hostAttributes.root;
    a.child = glfwGetX11Window(window);
    if (onRoot) {
        // A top-level window: no window manager may frame or move it, and it
        // stays below the windows people work in.
        XSetWindowAttributes unmanaged{};
        unmanaged.override_redirect = True;
        XChangeWindowAttributes(glfwDisplay, a.child, CWOverrideRedirect, &unmanaged);
    }
    XReparentWindow(glfwDisplay, a.child, host, 0, 0);
    if (onRoot)
        XLowerWindow(glfwDisplay, a.child);
    XSync(glfwDisplay, False);
    if (!stillAttached(a)) {
        glfwDestroyWindow(window);
        a.host = 0;
        a.child = 0;
        return nullptr;
    }
    a.attached = true;
    a.errorsSeen = xErrorCount;
    glfwShowWindow(window);
    return window;
}

bool isWindowEnabled(NativeWindow host)
{
    Attachment& a = attachment();
    if (a.attached && host == a.host) {
        drainHostEvents(a);
        return !a.lost;
    }
    int width = 0, height = 0;
    return getClientSize(host, width, height);
}

void pumpHostEvents()
{
    guardDisplay();
    Attachment& a = attachment();
    if (a.attached && !a.lost)
        drainHostEvents(a);
}

}  // namespace platform
