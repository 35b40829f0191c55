// A stand-in for the window a Linux screensaver host hands its saver: an
// embedder window holding a plug window that fills it, made over two display
// connections as an embedding toolkit does (the embedder keeps the plug in
// its save set). The plug's id is printed on stdout, in decimal.
//   SIGUSR1  resizes embedder and plug to the second size
//   SIGUSR2  the embedder's connection ends: the server puts the plug back on
//            the root window, and the plug's owner then unmaps it
//   SIGHUP   destroys the plug
//   SIGTERM  ends the process, and with it both windows
// With "vroot" the embedder names the plug in __SWM_VROOT, as a window
// manager's virtual root does.
// Usage: gf_test_plug_host X Y WIDTH HEIGHT WIDTH2 HEIGHT2 [vroot]

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

volatile sig_atomic_t resizeRequested = 0;
volatile sig_atomic_t orphanRequested = 0;
volatile sig_atomic_t destroyRequested = 0;

void onResize(int) { resizeRequested = 1; }
void onOrphan(int) { orphanRequested = 1; }
void onDestroy(int) { destroyRequested = 1; }

void drain(Display* d)
{
    while (d && XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
    }
}

Window parentOf(Display* d, Window w)
{
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &rootReturn, &parent, &children, &count))
        return 0;
    if (children)
        XFree(children);
    return parent;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 7 && !(argc == 8 && std::strcmp(argv[7], "vroot") == 0)) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT WIDTH2 HEIGHT2 [vroot]\n", argv[0]);
        return 2;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    const unsigned width = static_cast<unsigned>(std::atoi(argv[3]));
    const unsigned height = static_cast<unsigned>(std::atoi(argv[4]));
    const unsigned width2 = static_cast<unsigned>(std::atoi(argv[5]));
    const unsigned height2 = static_cast<unsigned>(std::atoi(argv[6]));

    Display* embedding = XOpenDisplay(nullptr);
    Display* owner = XOpenDisplay(nullptr);
    if (!embedding || !owner) {
        std::fprintf(stderr, "cannot open display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(owner);

    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0x202020;
    attributes.override_redirect = True;  // placed exactly, also under a window manager
    const Window embedder = XCreateWindow(embedding, root, x, y, width, height, 0, CopyFromParent, InputOutput,
                                          CopyFromParent, CWBackPixel | CWOverrideRedirect, &attributes);
    XStoreName(embedding, embedder, "gf-test-embedder");
    XMapRaised(embedding, embedder);
    XSync(embedding, False);

    attributes.background_pixel = 0xFF00FF;
    Window plug = XCreateWindow(owner, root, 0, 0, width, height, 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWBackPixel, &attributes);
    XStoreName(owner, plug, "gf-test-plug");
    XSync(owner, False);
    XReparentWindow(embedding, plug, embedder, 0, 0);
    XAddToSaveSet(embedding, plug);
    XMapWindow(embedding, plug);
    if (argc == 8) {
        const Atom vroot = XInternAtom(embedding, "__SWM_VROOT", False);
        XChangeProperty(embedding, embedder, vroot, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&plug), 1);
    }
    XSync(embedding, False);

    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = onResize;
    sigaction(SIGUSR1, &action, nullptr);
    action.sa_handler = onOrphan;
    sigaction(SIGUSR2, &action, nullptr);
    action.sa_handler = onDestroy;
    sigaction(SIGHUP, &action, nullptr);

    std::printf("%lu\n", plug);
    std::fflush(stdout);

    for (;;) {
        drain(embedding);
        drain(owner);
        if (resizeRequested) {
            resizeRequested = 0;
            if (embedding) {
                XResizeWindow(embedding, embedder, width2, height2);
                XSync(embedding, False);
            }
            if (plug) {
                XResizeWindow(owner, plug, width2, height2);
                XSync(owner, False);
            }
        }
        if (orphanRequested && embedding) {
            XCloseDisplay(embedding);
            embedding = nullptr;
            // Once the server has put the plug on the root, its owner hides it.
            for (int i = 0; plug && i < 200 && parentOf(owner, plug) != root; ++i)
                poll(nullptr, 0, 10);
            if (plug)
                XUnmapWindow(owner, plug);
            XSync(owner, False);
        }
        if (destroyRequested && plug) {
            XDestroyWindow(owner, plug);
            XSync(owner, False);
            plug = 0;
        }
        pollfd p{ConnectionNumber(owner), POLLIN, 0};
        poll(&p, 1, 10);
    }
}
