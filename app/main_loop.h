#pragma once
// The frame loop: the scene is set up once, then each pass renders a frame,
// swaps, polls events (where key and button callbacks end the process) and
// tests Escape, the close flag and, in Preview, the host window.

#include "app/scene.h"
#include "app/screensaver_app.h"

// Returns when Escape is down (not in a hosted run), the window was asked to
// close, or (Preview) the host window is no longer enabled.
void runMainLoop(ScreensaverApp& app, Scene& scene);
