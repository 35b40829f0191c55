// Process entry: the command line is argv[1..] joined with single spaces;
// the options of the Linux screensaver hosts (--root, --window-id) turn it
// into a Preview on the host's window. Every path ends with exit status 0.

#include <cstdlib>

#include "about/about_window.h"
#include "app/host_options.h"
#include "app/launch_options.h"
#include "app/main_loop.h"
#include "app/screensaver_app.h"
#include "particles/particle_scene.h"
#include "platform/host_window.h"
#include "platform/termination.h"

int main(int argc, char** argv)
{
    platform::endOnTerminationSignals();
    platform::surviveBrokenPipes();
    LaunchOptions options = readLaunchOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), platform::rootWindow);

    // Hosts run one process per monitor: a hosted run never takes the test.
    if ((options.mode == LaunchMode::Preview || options.mode == LaunchMode::None) && !options.hosted
        && !isFirstInstance())
        return 0;

    if (options.mode == LaunchMode::Configure || options.showAbout) {
        AboutWindow about;  // runs until the window is closed
        return 0;
    }

    // Preview, Fullscreen and None. These live until the process ends: key
    // and button callbacks end it from inside the loop.
    ScreensaverApp app(&options);
    ParticleScene scene(app.metrics);
    runMainLoop(app, scene);
    return 0;
}
