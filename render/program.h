#pragma once
// Named shader programs built from TEXTFILE resources, with a per-program
// cache of uniform and attribute locations.

#include <epoxy/gl.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

enum class LocationKind { Uniform = 0, Attribute = 1 };

// One program linked from one vertex and one fragment shader. The constructor
// returns only with both shaders compiled and the program linked; on any
// failure it shows why in a "Debug" box and ends the process with status 0.
class GLFWProgram {
public:
    // Text bytes a shader resource may hold before its end marker '~'.
    static constexpr int SHADER_TEXT_LIMIT = 16384;
    // The text, then four zero bytes.
    static constexpr int SHADER_BUFFER_SIZE = SHADER_TEXT_LIMIT + 4;

    GLFWProgram(int vertexResourceId, int fragmentResourceId);
    ~GLFWProgram();
    GLFWProgram(const GLFWProgram&) = delete;
    GLFWProgram& operator=(const GLFWProgram&) = delete;

    // Copies the text of the resource up to its first '~' into buffer and
    // zero-terminates it; buffer holds limit + 4 bytes.
    void loadShaderText(int resourceId, char* buffer, int limit);
    void showShaderLog(GLuint shader);

    GLuint getProgramId() const { return programId; }
    void use();

    GLint getUniformLocation(const char* name);
    GLint getAttribLocation(const char* name);
    // Asks GL once per name; later lookups of the name, of either kind, get
    // the first answer (-1 included).
    GLint getLocation(LocationKind kind, const char* name);

private:
    GLuint compileShader(GLenum type, const char* text, const char* failureText);
    void checkLinkStatus();

    std::unique_ptr<char[]> vertexText;
    std::unique_ptr<char[]> fragmentText;
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    GLuint programId = 0;
    std::map<std::string, GLint, std::less<>> locations;
};

// Programs under text names. A name keeps the first program registered
// under it. Lookups take a view of the name, so the per-frame lookups by a
// C string allocate nothing.
class ProgramRegistry {
public:
    ProgramRegistry() = default;
    ProgramRegistry(const ProgramRegistry&) = delete;
    ProgramRegistry& operator=(const ProgramRegistry&) = delete;

    void addProgram(std::string_view name, int vertexResourceId, int fragmentResourceId);

    // Null when nothing is registered under the name.
    GLFWProgram* getProgram(std::string_view name) const;
    // 0 when nothing is registered under the name.
    GLuint getProgramId(std::string_view name) const;

    // The program registered under the name; an unknown name is a fatal
    // start-up error ("Debug" box naming it, then exit with status 0).
    GLFWProgram& requireProgram(std::string_view name) const;
    void useProgram(std::string_view name);

private:
    std::map<std::string, GLuint, std::less<>> programIds;
    std::map<std::string, std::unique_ptr<GLFWProgram>, std::less<>> programs;
};
