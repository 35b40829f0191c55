#pragma once

// The About window shown in Configure mode. The constructor builds the
// window, runs its event loop and returns when the window is closed (or at
// once, after an error box, when no window can be made).
class AboutWindow {
public:
    AboutWindow();

    const char* title;
    const char* className;        // the window's WM_CLASS
    const char* buttonClassName;  // kept for its name; no control uses it
    const char* buttonText;
    const char* noticeText;       // three lines joined by CR LF
    const char* productTitle;     // the heading
};
