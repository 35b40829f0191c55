// Shader programs and the program registry, on a real GL context.

#include "render/program.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "gl_fixture.h"
#include "gl_hooks.h"

namespace {

using testsupport::GlHook;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ResultOf;

const char* const kVertex =
    "#version 140\n"
    "in vec4 position;\n"
    "uniform mat4 model_projection;\n"
    "void main() { gl_Position = model_projection * position; }\n";
const char* const kFragment =
    "#version 140\n"
    "uniform float iTime;\n"
    "void main() { gl_FragColor = vec4(iTime); }\n";

enum : int { kVertexId = 9001, kFragmentId = 9002, kOtherVertexId = 9003, kMissingId = 9099 };

void addText(int id, const std::string& text)
{
    platform::addTestResource(platform::kTextFile, id, text);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// --- recording hooks -------------------------------------------------------

std::vector<std::string> shaderSources;
PFNGLSHADERSOURCEPROC realShaderSource;
void APIENTRY recordShaderSource(GLuint shader, GLsizei count, const GLchar* const* text, const GLint* length)
{
    for (GLsizei i = 0; i < count; ++i) {
        shaderSources.emplace_back(text[i]);
        std::fprintf(stderr, "shader source of %zu bytes\n", shaderSources.back().size());
    }
    realShaderSource(shader, count, text, length);
}

// Creation order of program and shader objects: 'P', 'V' or 'F'.
std::string creations;
PFNGLCREATEPROGRAMPROC realCreateProgram;
GLuint APIENTRY recordCreateProgram()
{
    creations += 'P';
    return realCreateProgram();
}
PFNGLCREATESHADERPROC realCreateShader;
GLuint APIENTRY recordCreateShader(GLenum type)
{
    creations += type == GL_VERTEX_SHADER ? 'V' : 'F';
    std::fprintf(stderr, "created shader %s\n", type == GL_VERTEX_SHADER ? "vertex" : "fragment");
    return realCreateShader(type);
}

int locationQueries = 0;
PFNGLGETUNIFORMLOCATIONPROC realGetUniformLocation;
GLint APIENTRY countGetUniformLocation(GLuint program, const GLchar* name)
{
    ++locationQueries;
    return realGetUniformLocation(program, name);
}
PFNGLGETATTRIBLOCATIONPROC realGetAttribLocation;
GLint APIENTRY countGetAttribLocation(GLuint program, const GLchar* name)
{
    ++locationQueries;
    return realGetAttribLocation(program, name);
}

// A driver that reports no log at all.
PFNGLGETSHADERIVPROC realGetShaderiv;
void APIENTRY getShaderivWithoutLog(GLuint shader, GLenum name, GLint* value)
{
    realGetShaderiv(shader, name, value);
    if (name == GL_INFO_LOG_LENGTH)
        *value = 0;
}
PFNGLGETSHADERINFOLOGPROC realGetShaderInfoLog;
void APIENTRY getShaderInfoLogEmpty(GLuint, GLsizei, GLsizei* length, GLchar*)
{
    if (length)
        *length = 0;
}

class ProgramTest : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        shaderSources.clear();
        creations.clear();
        locationQueries = 0;
        addText(kVertexId, std::string(kVertex) + "//~");
        addText(kFragmentId, std::string(kFragment) + "//~");
    }

    ProgramRegistry registry;
};

TEST_F(ProgramTest, BuildsTheShippedParticleProgram)
{
    GlHook sourceHook(epoxy_glShaderSource, "glShaderSource", recordShaderSource, &realShaderSource);
    GlHook programHook(epoxy_glCreateProgram, "glCreateProgram", recordCreateProgram, &realCreateProgram);
    GlHook shaderHook(epoxy_glCreateShader, "glCreateShader", recordCreateShader, &realCreateShader);
    registry.addProgram("BackgroundProgram", 137, 136);
    EXPECT_NO_GL_ERROR();

    GLuint id = registry.getProgramId("BackgroundProgram");
    ASSERT_NE(id, 0u);
    ASSERT_NE(registry.getProgram("BackgroundProgram"), nullptr);
    EXPECT_EQ(registry.getProgram("BackgroundProgram")->getProgramId(), id);
    GLint linked = 0;
    glGetProgramiv(id, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(creations, "PVF");

    // GL receives the texts as stored, CR LF line ends included, up to the '~'.
    const std::string dir = std::string(GLIMMERFALL_SOURCE_DIR) + "/resources/shaders/";
    std::string vertexFile = readFile(dir + "particle.vert.glsl");
    std::string fragmentFile = readFile(dir + "particle.frag.glsl");
    ASSERT_THAT(shaderSources, ::testing::SizeIs(2));
    EXPECT_EQ(shaderSources[0], vertexFile.substr(0, vertexFile.find('~')));
    EXPECT_EQ(shaderSources[1], fragmentFile.substr(0, fragmentFile.find('~')));
    EXPECT_THAT(shaderSources[0], ::testing::EndsWith("}\r\n//"));

    GLFWProgram& program = *registry.getProgram("BackgroundProgram");
    for (const char* name : {"position", "position_tex"})
        EXPECT_GE(program.getAttribLocation(name), 0) << name;
    for (const char* name : {"model_projection", "iTime"})
        EXPECT_GE(program.getUniformLocation(name), 0) << name;
    EXPECT_NO_GL_ERROR();
}

TEST_F(ProgramTest, CachesLocationsByNameAlone)
{
    registry.addProgram("P", kVertexId, kFragmentId);
    GLFWProgram& program = *registry.getProgram("P");
    GlHook uniformHook(epoxy_glGetUniformLocation, "glGetUniformLocation", countGetUniformLocation,
                       &realGetUniformLocation);
    GlHook attribHook(epoxy_glGetAttribLocation, "glGetAttribLocation", countGetAttribLocation,
                      &realGetAttribLocation);

    const GLint iTime = realGetUniformLocation(program.getProgramId(), "iTime");
    const GLint position = realGetAttribLocation(program.getProgramId(), "position");
    const GLint matrix = realGetUniformLocation(program.getProgramId(), "model_projection");
    ASSERT_GE(iTime, 0);
    ASSERT_GE(position, 0);
    ASSERT_GE(matrix, 0);

    struct Lookup {
        LocationKind kind;
        const char* name;
        GLint expected;
        int queries;  // GL queries made so far
    };
    const Lookup lookups[] = {
        {LocationKind::Uniform, "iTime", iTime, 1},
        {LocationKind::Uniform, "iTime", iTime, 1},
        // Inactive: -1 is cached like any answer.
        {LocationKind::Uniform, "unused", -1, 2},
        {LocationKind::Uniform, "unused", -1, 2},
        // The kind is not part of the key: the first answer stays.
        {LocationKind::Attribute, "position", position, 3},
        {LocationKind::Uniform, "position", position, 3},
        {LocationKind::Uniform, "model_projection", matrix, 4},
        {LocationKind::Attribute, "model_projection", matrix, 4},
    };
    locationQueries = 0;
    for (const Lookup& l : lookups) {
        SCOPED_TRACE(l.name);
        EXPECT_EQ(program.getLocation(l.kind, l.name), l.expected);
        EXPECT_EQ(locationQueries, l.queries);
        EXPECT_NO_GL_ERROR();
    }
    EXPECT_EQ(program.getUniformLocation("unused"), -1);
    EXPECT_EQ(program.getAttribLocation("iTime"), iTime);
    EXPECT_EQ(locationQueries, 4);
}

TEST_F(ProgramTest, EmptyRegistryHasNothing)
{
    EXPECT_EQ(registry.getProgram("BackgroundProgram"), nullptr);
    EXPECT_EQ(registry.getProgramId("BackgroundProgram"), 0u);
}

TEST_F(ProgramTest, ADuplicateNameKeepsTheFirstProgram)
{
    addText(kOtherVertexId,
            "#version 140\nin vec4 position;\nvoid main() { gl_Position = position; }\n~");
    registry.addProgram("P", kVertexId, kFragmentId);
    GLFWProgram* first = registry.getProgram("P");
    GLuint firstId = registry.getProgramId("P");
    GlHook programHook(epoxy_glCreateProgram, "glCreateProgram", recordCreateProgram, &realCreateProgram);
    registry.addProgram("P", kOtherVertexId, kFragmentId);
    EXPECT_NO_GL_ERROR();

    EXPECT_EQ(creations, "P");  // the second program was still built
    EXPECT_EQ(registry.getProgram("P"), first);
    EXPECT_EQ(registry.getProgramId("P"), firstId);
    EXPECT_GE(first->getUniformLocation("model_projection"), 0);
    registry.useProgram("P");
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), firstId);
    EXPECT_NO_GL_ERROR();
}

TEST_F(ProgramTest, OnlyTheTextBeforeTheFirstTildeReachesGl)
{
    const std::string full = std::string(kVertex) + "\n";
    // Up to the limit: 16384 bytes of text fill the buffer exactly.
    std::string longest = std::string(kVertex) + "//";
    longest += std::string(GLFWProgram::SHADER_TEXT_LIMIT - longest.size(), 'x');

    struct Case {
        const char* name;
        std::string resource;
        std::string expected;
    };
    const Case cases[] = {
        {"marker at the end", full + "//~", full + "//"},
        {"bytes after the marker", full + "~ not GLSL at all ~~~ {{{", full},
        {"exactly the limit", longest + "~junk", longest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        addText(kOtherVertexId, c.resource);
        shaderSources.clear();
        {
            GlHook sourceHook(epoxy_glShaderSource, "glShaderSource", recordShaderSource, &realShaderSource);
            GLFWProgram program(kOtherVertexId, kFragmentId);
        }
        EXPECT_NO_GL_ERROR();
        ASSERT_THAT(shaderSources, ::testing::SizeIs(2));
        EXPECT_EQ(shaderSources[0].size(), c.expected.size());
        EXPECT_EQ(shaderSources[0], c.expected);
        EXPECT_TRUE(boxes.empty());
    }
}

// Every fatal path: the boxes it shows (first lines), in order, and exit 0.
TEST_F(ProgramTest, FailuresShowTheirBoxesAndExitWithStatusZero)
{
    const std::string tooLong = std::string(GLFWProgram::SHADER_TEXT_LIMIT + 1, ' ') + "~";
    struct Case {
        const char* name;
        std::function<void()> run;
        ::testing::Matcher<const std::string&> err;
    };
    const Case cases[] = {
        {"missing resource", [] { GLFWProgram{kMissingId, kFragmentId}; },
         ResultOf(testsupport::debugBoxes,
                  ElementsAre("The shader text resource 9099 (TEXTFILE) is missing."))},
        {"no end marker",
         [] {
             addText(kOtherVertexId, kVertex);
             GLFWProgram{kOtherVertexId, kFragmentId};
         },
         ResultOf(testsupport::debugBoxes,
                  ElementsAre("The shader text resource 9003 (TEXTFILE) has no end marker '~'."))},
        {"text over the limit",
         [&] {
             addText(kOtherVertexId, tooLong);
             GLFWProgram{kOtherVertexId, kFragmentId};
         },
         ResultOf(testsupport::debugBoxes,
                  ElementsAre("The shader text resource 9003 (TEXTFILE) has 16385 bytes before its end "
                              "marker '~'; at most 16384 are allowed."))},
        {"empty text",
         [] {
             addText(kOtherVertexId, "~#version 140\nvoid main() {}\n");
             GlHook sourceHook(epoxy_glShaderSource, "glShaderSource", recordShaderSource, &realShaderSource);
             GlHook shaderHook(epoxy_glCreateShader, "glCreateShader", recordCreateShader, &realCreateShader);
             GLFWProgram{kOtherVertexId, kFragmentId};
         },
         ::testing::AllOf(
             HasSubstr("shader source of 0 bytes"),
             ::testing::Not(HasSubstr("created shader fragment")),
             ResultOf(testsupport::debugBoxes, ElementsAre(HasSubstr("error"), "Vertex shader compilation error")))},
        {"vertex compile error",
         [] {
             addText(kOtherVertexId, "#version 140\nvoid main() { nonsense }\n~");
             GlHook shaderHook(epoxy_glCreateShader, "glCreateShader", recordCreateShader, &realCreateShader);
             GLFWProgram{kOtherVertexId, kFragmentId};
         },
         ::testing::AllOf(
             HasSubstr("created shader vertex"), ::testing::Not(HasSubstr("created shader fragment")),
             ResultOf(testsupport::debugBoxes, ElementsAre(HasSubstr("error"), "Vertex shader compilation error")))},
        {"fragment compile error",
         [] {
             addText(kOtherVertexId, "#version 140\nvoid main() { gl_FragColor = nonsense; }\n~");
             GLFWProgram{kVertexId, kOtherVertexId};
         },
         ResultOf(testsupport::debugBoxes, ElementsAre(HasSubstr("error"), "Fragment shader compilation error"))},
        {"compile error without a log",
         [] {
             addText(kOtherVertexId, "#version 140\nvoid main() { nonsense }\n~");
             GlHook ivHook(epoxy_glGetShaderiv, "glGetShaderiv", getShaderivWithoutLog, &realGetShaderiv);
             GlHook logHook(epoxy_glGetShaderInfoLog, "glGetShaderInfoLog", getShaderInfoLogEmpty,
                            &realGetShaderInfoLog);
             GLFWProgram{kOtherVertexId, kFragmentId};
         },
         ResultOf(testsupport::debugBoxes,
                  ElementsAre("The shader did not compile, and the driver gave no log.",
                              "Vertex shader compilation error"))},
        {"link error",
         [] {
             // Compiles, but a program needs a main in its vertex stage.
             addText(kOtherVertexId, "#version 140\nvoid helper() {}\n~");
             GLFWProgram{kOtherVertexId, kFragmentId};
         },
         ResultOf(testsupport::debugBoxes, ElementsAre(HasSubstr("main"), "Program link error"))},
        {"unregistered name", [] { ProgramRegistry().useProgram("Nope"); },
         ResultOf(testsupport::debugBoxes,
                  ElementsAre("No shader program is registered under the name \"Nope\"."))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(c.run(), ::testing::ExitedWithCode(0), c.err);
    }
}

}  // namespace
