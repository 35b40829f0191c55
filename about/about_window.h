#pragma once

// The About window shown in Configure mode. The constructor builds the
// window, runs its event loop and returns when the window is closed.
class AboutWindow {
public:
    AboutWindow();
};
