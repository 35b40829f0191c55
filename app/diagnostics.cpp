#include "app/diagnostics.h"

#include <epoxy/gl.h>

#include <locale>
#include <sstream>

#include "platform/message_box.h"

namespace {

// A stream with the classic locale, so a process-wide locale never changes
// the decimal point or adds digit grouping.
std::ostringstream classicStream() {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    return out;
}

int getInteger(GLenum name) {
    // Left untouched by glGetIntegerv when the context does not know the name.
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

std::string getString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

}  // namespace

std::string frameStatsText(float minMs, float maxMs, float averageMs) {
    std::ostringstream out = classicStream();
    out << "Min: " << minMs << "\r\nMax: " << maxMs << "\r\nAverage: " << averageMs;
    return out.str();
}

void showFrameStats(float minMs, float maxMs, float averageMs) {
    platform::showMessageBox(frameStatsText(minMs, maxMs, averageMs), "Info",
                             platform::BoxIcon::Information);
}

GlInfo queryGlInfo() {
    GlInfo info;
    info.major = getInteger(GL_MAJOR_VERSION);
    info.minor = getInteger(GL_MINOR_VERSION);
    info.profileMask = getInteger(GL_CONTEXT_PROFILE_MASK);
    info.contextFlags = getInteger(GL_CONTEXT_FLAGS);
    info.maxVertexAttribs = getInteger(GL_MAX_VERTEX_ATTRIBS);
    info.maxUniformLocations = getInteger(GL_MAX_UNIFORM_LOCATIONS);
    info.maxVertexUniformComponents = getInteger(GL_MAX_VERTEX_UNIFORM_COMPONENTS);
    info.maxFragmentUniformComponents = getInteger(GL_MAX_FRAGMENT_UNIFORM_COMPONENTS);
    info.maxElementsIndices = getInteger(GL_MAX_ELEMENTS_INDICES);
    info.maxElementsVertices = getInteger(GL_MAX_ELEMENTS_VERTICES);
    info.maxTextureSize = getInteger(GL_MAX_TEXTURE_SIZE);
    info.version = getString(GL_VERSION);
    info.renderer = getString(GL_RENDERER);
    return info;
}

std::string glInfoText(const GlInfo& info) {
    std::ostringstream out = classicStream();
    out << "OpenGL Major and Minor version: " << info.major << "." << info.minor
        << "\r\nOpenGL Version string: " << info.version
        << "\r\nOpenGL Renderer string: " << info.renderer
        << "\r\nMax Attrib Count: " << info.maxVertexAttribs
        << "\r\nMax Uniform Locations: " << info.maxUniformLocations
        << "\r\nMax Vertex Uniform Count: " << info.maxVertexUniformComponents
        << "\r\nMax Fragment Uniform Count: " << info.maxFragmentUniformComponents
        << "\r\nMax Elements Indices: " << info.maxElementsIndices
        << "\r\nMax Elements Vertices: " << info.maxElementsVertices
        << "\r\nMax Texture Size: " << info.maxTextureSize;
    return out.str();
}

void showGlInfo(int& glMajor, int& glMinor, int& glProfileMask, int& glContextFlags) {
    const GlInfo info = queryGlInfo();
    glMajor = info.major;
    glMinor = info.minor;
    glProfileMask = info.profileMask;
    glContextFlags = info.contextFlags;
    platform::showMessageBox(glInfoText(info), "Info", platform::BoxIcon::Information);
}
