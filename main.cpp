// Process entry: the command line is argv[1..] joined with single spaces.
// Every path ends with exit status 0.

#include <string>

#include "about/about_window.h"
#include "app/launch_options.h"
#include "app/main_loop.h"
#include "app/screensaver_app.h"
#include "particles/particle_scene.h"
#include "platform/process_entry.h"
#include "platform/termination.h"

int main(int argc, char** argv)
{
    platform::endOnTerminationSignals();
    const std::string commandLine = platform::joinArguments(argc, argv);
    LaunchOptions options(commandLine);

    if ((options.mode == LaunchMode::Preview || options.mode == LaunchMode::None) && !isFirstInstance())
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
