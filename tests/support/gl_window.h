#pragma once
// A hidden GLFW window with a current GL context, made with the hints the
// screensaver uses, for tests that issue GL calls and read pixels back.

#include <epoxy/gl.h>
#include <GLFW/glfw3.h>

#include <string>
#include <vector>

namespace testsupport {

class HiddenGlWindow {
public:
    HiddenGlWindow(int width = 320, int height = 240);
    ~HiddenGlWindow();
    HiddenGlWindow(const HiddenGlWindow&) = delete;
    HiddenGlWindow& operator=(const HiddenGlWindow&) = delete;

    bool ok() const { return window_ != nullptr; }
    GLFWwindow* window() const { return window_; }
    // Why the window could not be made (empty when ok()).
    const std::string& error() const { return error_; }

    // RGBA bytes of the back buffer, rows bottom to top as GL reads them.
    std::vector<unsigned char> readPixels(int width, int height) const;

private:
    GLFWwindow* window_ = nullptr;
    std::string error_;
};

}  // namespace testsupport
