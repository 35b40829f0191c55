#include "render/program.h"

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/resources.h"
#include "render/shader_text.h"

namespace {

void showDebugBox(const std::string& text)
{
    platform::showMessageBox(text, "Debug", platform::BoxIcon::Information);
}

// Start-up cannot go on: say why, then end with status 0 like every path.
[[noreturn]] void failStartup(const std::string& text)
{
    showDebugBox(text);
    glfwTerminate();
    std::exit(0);
}

std::string resourceName(int resourceId)
{
    return "shader text resource " + std::to_string(resourceId) + " (" + platform::kTextFile + ")";
}

// The info log of a shader or a program (through its pair of GL queries);
// empty when the driver wrote none.
template <class GetParameter, class GetLog>
std::string infoLog(GLuint object, GetParameter getParameter, GetLog getLog)
{
    GLint length = 0;
    getParameter(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    GLsizei written = 0;
    getLog(object, static_cast<GLsizei>(log.size()), &written, log.data());
    if (written <= 0 || log[0] == '\0')
        return std::string();
    return std::string(log.data(), static_cast<std::size_t>(written));
}

}  // namespace

GLFWProgram::GLFWProgram(int vertexResourceId, int fragmentResourceId)
    : vertexText(new char[SHADER_BUFFER_SIZE]), fragmentText(new char[SHADER_BUFFER_SIZE])
{
    loadShaderText(vertexResourceId, vertexText.get(), SHADER_TEXT_LIMIT);
    loadShaderText(fragmentResourceId, fragmentText.get(), SHADER_TEXT_LIMIT);

    // The program object exists before either shader.
    programId = glCreateProgram();
    vertexShader = compileShader(GL_VERTEX_SHADER, vertexText.get(), "Vertex shader compilation error");
    fragmentShader =
        compileShader(GL_FRAGMENT_SHADER, fragmentText.get(), "Fragment shader compilation error");

    glAttachShader(programId, vertexShader);
    glAttachShader(programId, fragmentShader);
    glLinkProgram(programId);
    checkLinkStatus();
}

GLFWProgram::~GLFWProgram()
{
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    glDeleteProgram(programId);
}

void GLFWProgram::loadShaderText(int resourceId, char* buffer, int limit)
{
    const platform::ResourceEntry* entry = platform::findResource(platform::kTextFile, resourceId);
    if (!entry)
        failStartup("The " + resourceName(resourceId) + " is missing.");

    const ShaderText text =
        extractShaderText(entry->data, entry->size, buffer, static_cast<std::size_t>(limit < 0 ? 0 : limit));
    if (text.status == ShaderTextStatus::NoEndMarker)
        failStartup("The " + resourceName(resourceId) + " has no end marker '~'.");
    if (text.status == ShaderTextStatus::TooLong)
        failStartup("The " + resourceName(resourceId) + " has " + std::to_string(text.length) +
                    " bytes before its end marker '~'; at most " + std::to_string(limit) +
                    " are allowed.");
}

GLuint GLFWProgram::compileShader(GLenum type, const char* text, const char* failureText)
{
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);

    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        showShaderLog(shader);
        showDebugBox(failureText);
        glDeleteShader(shader);
        glfwTerminate();
        std::exit(0);
    }
    return shader;
}

void GLFWProgram::showShaderLog(GLuint shader)
{
    const std::string log = infoLog(shader, glGetShaderiv, glGetShaderInfoLog);
    showDebugBox(log.empty() ? "The shader did not compile, and the driver gave no log." : log);
}

// A link failure is reported like a compile error: the log, then a summary.
void GLFWProgram::checkLinkStatus()
{
    GLint status = 0;
    glGetProgramiv(programId, GL_LINK_STATUS, &status);
    if (status != 0)
        return;

    const std::string log = infoLog(programId, glGetProgramiv, glGetProgramInfoLog);
    showDebugBox(log.empty() ? "The shader program did not link, and the driver gave no log." : log);
    failStartup("Program link error");
}

void GLFWProgram::use()
{
    glUseProgram(programId);
}

GLint GLFWProgram::getUniformLocation(const char* name)
{
    return getLocation(LocationKind::Uniform, name);
}

GLint GLFWProgram::getAttribLocation(const char* name)
{
    return getLocation(LocationKind::Attribute, name);
}

GLint GLFWProgram::getLocation(LocationKind kind, const char* name)
{
    auto found = locations.find(name);
    if (found != locations.end())
        return found->second;
    GLint location = kind == LocationKind::Uniform ? glGetUniformLocation(programId, name)
                                                   : glGetAttribLocation(programId, name);
    locations.emplace(name, location);
    return location;
}

void ProgramRegistry::addProgram(std::string_view name, int vertexResourceId, int fragmentResourceId)
{
    // The new program is built even for a taken name; the first entry stays.
    auto program = std::make_unique<GLFWProgram>(vertexResourceId, fragmentResourceId);
    programIds.emplace(std::string(name), program->getProgramId());
    programs.emplace(std::string(name), std::move(program));
}

GLFWProgram* ProgramRegistry::getProgram(std::string_view name) const
{
    auto found = programs.find(name);
    return found == programs.end() ? nullptr : found->second.get();
}

GLuint ProgramRegistry::getProgramId(std::string_view name) const
{
    auto found = programIds.find(name);
    return found == programIds.end() ? 0 : found->second;
}

GLFWProgram& ProgramRegistry::requireProgram(std::string_view name) const
{
    GLFWProgram* program = getProgram(name);
    if (!program)
        failStartup("No shader program is registered under the name \"" + std::string(name) + "\".");
    return *program;
}

void ProgramRegistry::useProgram(std::string_view name)
{
    requireProgram(name).use();
}
