#include "app/screensaver_app.h"

#include <epoxy/gl.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <cstring>

#include "app/diagnostics.h"
#include "app/window_icon.h"
#include "app/window_icon_table.h"
#include "platform/host_window.h"
#include "platform/message_box.h"
#include "platform/os_version.h"

namespace {

// Build-time switches in their shipped setting.
constexpr bool kFullscreenOnPrimaryMonitor = true;
constexpr bool kRequestRobustContext = true;
constexpr bool kSetWindowIcon = true;
constexpr bool kHideCursor = true;
constexpr bool kExitOnAnyKey = true;
constexpr bool kUseVersionSizeRule = true;
constexpr bool kEnableMultisample = false;
constexpr bool kEnableLineSmooth = false;
constexpr bool kEnablePolygonSmooth = false;

constexpr int kFallbackWidth = 800;
constexpr int kFallbackHeight = 600;

// Start-up failures: the box, then GLFW is shut down and the process ends.
[[noreturn]] void failStartup(const char* text)
{
    platform::showMessageBox(text, "Debug", platform::BoxIcon::Information);
    glfwTerminate();
    std::exit(0);
}

// A hosted run leaves the keyboard and mouse to its host, which stops it
// with SIGTERM: a saver that ends on its own is shown there as crashed.
bool inputEndsRun(GLFWwindow* window)
{
    const auto* app = window ? static_cast<const ScreensaverApp*>(glfwGetWindowUserPointer(window)) : nullptr;
    return !(app && app->options && app->options->hosted);
}

void setCapability(GLenum capability, bool enabled)
{
    if (enabled)
        glEnable(capability);
    else
        glDisable(capability);
}

}  // namespace

void setWindowMetrics(WindowMetrics& metrics, int width, int height)
{
    metrics.width = width;
    metrics.height = height;
    metrics.aspect = static_cast<float>(width) / static_cast<float>(height);
}

WindowMetrics windowSizeFor(LaunchMode mode, int hostWidth, int hostHeight, int osVersion,
                            int videoWidth, int videoHeight)
{
    WindowMetrics m;
    if (mode == LaunchMode::Preview)
        setWindowMetrics(m, hostWidth, hostHeight);
    else if (kUseVersionSizeRule && osVersion >= 60 && videoWidth > 0 && videoHeight > 0)
        setWindowMetrics(m, videoWidth, videoHeight);
    else
        setWindowMetrics(m, kFallbackWidth, kFallbackHeight);
    return m;
}

ScreensaverApp::ScreensaverApp(LaunchOptions* launchOptions) : options(launchOptions)
{
    initGlfw();
    chooseWindowSize();
    openWindow();
    setGlState();
}

void ScreensaverApp::initGlfw()
{
    glfwSetErrorCallback(onGlfwError);
    if (!glfwInit())
        platform::showMessageBox("Failed to initialize GLFW", "Debug", platform::BoxIcon::Information);
    // From here on X errors are recorded instead of ending the process.
    platform::pumpHostEvents();
}

void ScreensaverApp::chooseWindowSize()
{
    int hostWidth = 0, hostHeight = 0, version = 0, videoWidth = 0, videoHeight = 0;
    if (options->mode == LaunchMode::Preview) {
        platform::getClientSize(options->hostWindow, hostWidth, hostHeight);
    } else {
        version = getWindowsVersion();
        if (kUseVersionSizeRule && version >= 60) {
            videoWidth = getVideoModeSize(0);
            videoHeight = getVideoModeSize(1);
        }
    }
    metrics = windowSizeFor(options->mode, hostWidth, hostHeight, version, videoWidth, videoHeight);
}

int ScreensaverApp::getWindowsVersion()
{
    return platform::osVersion();
}

int ScreensaverApp::getVideoModeSize(int which)
{
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (!mode)
        return 0;
    return which == 0 ? mode->width : mode->height;
}

void ScreensaverApp::openWindow()
{
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    if (kRequestRobustContext)
        glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_STEREO, 0);

    if (options->mode == LaunchMode::Preview) {
        window = platform::glfwAttachWindow(options->hostWindow, nullptr);
    } else {
        GLFWmonitor* monitor = kFullscreenOnPrimaryMonitor ? glfwGetPrimaryMonitor() : nullptr;
        window = glfwCreateWindow(metrics.width, metrics.height, "Glimmerfall", monitor, nullptr);
    }
    if (!window)
        failStartup("Failed to open window");

    glfwSetWindowUserPointer(window, this);
    glfwSetWindowSizeCallback(window, onWindowSize);
    glfwSetKeyCallback(window, onKey);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetCursorPosCallback(window, onCursorPos);
    glfwSetScrollCallback(window, onScroll);
    glfwMakeContextCurrent(window);
    if (kSetWindowIcon)
        setWindowIcon(window);
    // The renderer calls 3.x entry points unconditionally; without them the
    // first frame would call through missing functions.
    if (loadGlFunctions() != 0)
        failStartup("OpenGL 3.1 or later is required");
    if (kShowGlInfo)
        showGlInfo(glMajor, glMinor, glProfileMask, glContextFlags);
}

void ScreensaverApp::setWindowIcon(GLFWwindow* target)
{
    unsigned char columns[kWindowIconBytes];
    std::memcpy(columns, kWindowIconColumns, sizeof columns);
    unsigned char rows[kWindowIconBytes];
    transposeIconColumns(columns, rows);
    GLFWimage image{kWindowIconSize, kWindowIconSize, rows};
    glfwSetWindowIcon(target, 1, &image);  // GLFW copies the pixels
}

int ScreensaverApp::loadGlFunctions()
{
    // epoxy resolves each entry point by name when it is first called; what
    // must be known up front is whether the context is new enough.
    if (!glfwGetProcAddress("glGetIntegerv"))
        return -1;
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    return major < 3 ? -1 : 0;
}

void ScreensaverApp::setGlState()
{
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    setCapability(GL_MULTISAMPLE, kEnableMultisample);
    setCapability(GL_LINE_SMOOTH, kEnableLineSmooth);
    setCapability(GL_POLYGON_SMOOTH, kEnablePolygonSmooth);
    setSwapInterval(true);
    if (kHideCursor)
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
}

void ScreensaverApp::setSwapInterval(bool enabled)
{
    glfwSwapInterval(enabled ? 1 : 0);
}

void ScreensaverApp::onGlfwError(int, const char* description)
{
    platform::showMessageBox(description ? description : "", "Error", platform::BoxIcon::Information);
}

void ScreensaverApp::onWindowSize(GLFWwindow* target, int width, int height)
{
    auto* app = static_cast<ScreensaverApp*>(glfwGetWindowUserPointer(target));
    if (app)
        setWindowMetrics(app->metrics, width, height);
}

void ScreensaverApp::onKey(GLFWwindow* target, int, int, int, int)
{
    if (kExitOnAnyKey && inputEndsRun(target))
        std::exit(0);
}

void ScreensaverApp::onMouseButton(GLFWwindow* target, int, int, int)
{
    if (inputEndsRun(target))
        std::exit(0);
}

void ScreensaverApp::onCursorPos(GLFWwindow*, double, double) {}

void ScreensaverApp::onScroll(GLFWwindow*, double, double) {}
