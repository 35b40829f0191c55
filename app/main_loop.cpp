#include "app/main_loop.h"

#include <GLFW/glfw3.h>

#include "platform/host_window.h"

void runMainLoop(ScreensaverApp& app, Scene& scene)
{
    scene.setupScene();
    bool keepRunning = true;
    do {
        // Also after a message box: the box's toolkit replaces the X error
        // handlers with its own.
        platform::pumpHostEvents();
        scene.tickFrame();
        glfwSwapBuffers(app.window);
        glfwPollEvents();
        // A hosted run's host owns the keyboard; only SIGTERM or the loss of
        // the host window end it.
        if (!app.options->hosted && glfwGetKey(app.window, GLFW_KEY_ESCAPE) != GLFW_RELEASE)
            keepRunning = false;
        if (glfwWindowShouldClose(app.window))
            keepRunning = false;
        if (app.options->mode == LaunchMode::Preview && !platform::isWindowEnabled(app.options->hostWindow))
            break;
    } while (keepRunning);
}
