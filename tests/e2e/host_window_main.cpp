// A stand-in for a screensaver host's preview window: a plain X window of the
// given size, filled with magenta, whose id is printed on stdout.
//   SIGUSR1  resizes it to the second size given
//   SIGUSR2  destroys the window (the process keeps running)
//   SIGTERM  ends the process, and with it its window
// Usage: gf_test_host WIDTH HEIGHT [WIDTH2 HEIGHT2]

#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>

namespace {

volatile sig_atomic_t resizeRequested = 0;
volatile sig_atomic_t destroyRequested = 0;

void onResize(int) { resizeRequested = 1; }
void onDestroy(int) { destroyRequested = 1; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT [WIDTH2 HEIGHT2]\n", argv[0]);
        return 2;
    }
    const unsigned width = static_cast<unsigned>(std::atoi(argv[1]));
    const unsigned height = static_cast<unsigned>(std::atoi(argv[2]));
    const unsigned width2 = argc == 5 ? static_cast<unsigned>(std::atoi(argv[3])) : width;
    const unsigned height2 = argc == 5 ? static_cast<unsigned>(std::atoi(argv[4])) : height;

    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "cannot open display\n");
        return 1;
    }
    const int screen = DefaultScreen(d);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0xFF00FF;
    attributes.override_redirect = True;  // placed exactly, also under a window manager
    Window w = XCreateWindow(d, RootWindow(d, screen), 10, 10, width, height, 0, CopyFromParent,
                             InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect, &attributes);
    XStoreName(d, w, "gf-test-host");
    XMapRaised(d, w);
    XSync(d, False);

    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = onResize;
    sigaction(SIGUSR1, &action, nullptr);
    action.sa_handler = onDestroy;
    sigaction(SIGUSR2, &action, nullptr);

    std::printf("%lu\n", w);
    std::fflush(stdout);

    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
        }
        if (resizeRequested) {
            resizeRequested = 0;
            XResizeWindow(d, w, width2, height2);
            XSync(d, False);
        }
        if (destroyRequested && w) {
            XDestroyWindow(d, w);
            XSync(d, False);
            w = 0;
        }
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, 10);
    }
}
