#pragma once
// The one GLFW window and its OpenGL context: full screen on the primary
// monitor, or attached to the host's preview window. The constructor does all
// of the start-up in a fixed order; nothing is torn down afterwards.

#include "app/launch_options.h"
#include "app/window_metrics.h"

struct GLFWwindow;

class ScreensaverApp {
public:
    // Stores options, then initGlfw, chooseWindowSize, openWindow, setGlState.
    explicit ScreensaverApp(LaunchOptions* options);

    void initGlfw();
    void chooseWindowSize();
    int getWindowsVersion();
    // The primary monitor's current video mode: width for which 0, height
    // otherwise; 0 when there is no mode to read.
    int getVideoModeSize(int which);
    void openWindow();
    void setWindowIcon(GLFWwindow* window);
    void setGlState();
    void setSwapInterval(bool enabled);
    // 0 when the context offers OpenGL 3.0 or later, -1 otherwise.
    static int loadGlFunctions();

    static void onGlfwError(int code, const char* description);
    static void onWindowSize(GLFWwindow* window, int width, int height);
    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onMouseButton(GLFWwindow* window, int button, int action, int mods);
    static void onCursorPos(GLFWwindow* window, double x, double y);
    static void onScroll(GLFWwindow* window, double xOffset, double yOffset);

    GLFWwindow* window = nullptr;
    LaunchOptions* options = nullptr;
    int glMajor = 0;
    int glMinor = 0;
    int glProfileMask = 0;
    int glContextFlags = 0;
    // The one window size the render pass reads; the size callback finds it
    // through the window's user pointer.
    WindowMetrics metrics;
};

// Stores a size and its aspect (float division: 0 x 0 gives a non-finite
// aspect, the next non-zero size a finite one again).
void setWindowMetrics(WindowMetrics& metrics, int width, int height);

// The size rule of chooseWindowSize, apart from its queries: the host's
// client area in Preview; otherwise the monitor's video mode from OS version
// 60 on, 800 x 600 below it or when no video mode could be read.
WindowMetrics windowSizeFor(LaunchMode mode, int hostWidth, int hostHeight, int osVersion,
                            int videoWidth, int videoHeight);
