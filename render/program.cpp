#include "render/program.h"

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/resources.h"

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

    // The first '~' ends the text; the resource's own end bounds the search.
    const void* marker = entry->size ? std::memchr(entry->data, '~', entry->size) : nullptr;
    if (!marker)
        failStartup("The " + resourceName(resourceId) + " has no end marker '~'.");
    std::size_t length = static_cast<std::size_t>(static_cast<const unsigned char*>(marker) - entry->data);
    if (length > static_cast<std::size_t>(limit))
        failStartup("The " + resourceName(resourceId) + " has " + std::to_string(length) +
                    " bytes before its end marker '~'; at most " + std::to_string(limit) +
                    " are allowed.");

    std::memcpy(buffer, entry->data, length);
    std::memset(buffer + length, 0, 4);
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
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), &written, log.data());
    if (written <= 0 || log[0] == '\0')
        showDebugBox("The shader did not compile, and the driver gave no log.");
    else
        showDebugBox(std::string(log.data(), static_cast<std::size_t>(written)));
}

// A link failure is reported like a compile error: the log, then a summary.
void GLFWProgram::checkLinkStatus()
{
    GLint status = 0;
    glGetProgramiv(programId, GL_LINK_STATUS, &status);
    if (status != 0)
        return;

    GLint length = 0;
    glGetProgramiv(programId, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    GLsizei written = 0;
    glGetProgramInfoLog(programId, static_cast<GLsizei>(log.size()), &written, log.data());
    if (written <= 0 || log[0] == '\0')
        showDebugBox("The shader program did not link, and the driver gave no log.");
    else
        showDebugBox(std::string(log.data(), static_cast<std::size_t>(written)));
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

void ProgramRegistry::addProgram(const std::string& name, int vertexResourceId, int fragmentResourceId)
{
    // The new program is built even for a taken name; the first entry stays.
    auto program = std::make_unique<GLFWProgram>(vertexResourceId, fragmentResourceId);
    programIds.emplace(name, program->getProgramId());
    programs.emplace(name, std::move(program));
}

GLFWProgram* ProgramRegistry::getProgram(const std::string& name) const
{
    auto found = programs.find(name);
    return found == programs.end() ? nullptr : found->second.get();
}

GLuint ProgramRegistry::getProgramId(const std::string& name) const
{
    auto found = programIds.find(name);
    return found == programIds.end() ? 0 : found->second;
}

GLFWProgram& ProgramRegistry::requireProgram(const std::string& name) const
{
    GLFWProgram* program = getProgram(name);
    if (!program)
        failStartup("No shader program is registered under the name \"" + name + "\".");
    return *program;
}

void ProgramRegistry::useProgram(const std::string& name)
{
    requireProgram(name).use();
}
