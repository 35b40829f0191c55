#include "gl_window.h"

namespace testsupport {
namespace {
std::string lastError;
void recordError(int, const char* description) { lastError = description; }
}  // namespace

HiddenGlWindow::HiddenGlWindow(int width, int height)
{
    glfwSetErrorCallback(recordError);
    if (!glfwInit()) {
        error_ = "glfwInit failed: " + lastError;
        return;
    }
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window_ = glfwCreateWindow(width, height, "test", nullptr, nullptr);
    if (!window_) {
        error_ = "glfwCreateWindow failed: " + lastError;
        return;
    }
    glfwMakeContextCurrent(window_);
}

HiddenGlWindow::~HiddenGlWindow()
{
    if (window_)
        glfwDestroyWindow(window_);
    glfwTerminate();
}

std::vector<unsigned char> HiddenGlWindow::readPixels(int width, int height) const
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace testsupport
