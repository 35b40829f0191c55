// Mesh buffers: uploads and the attribute layout, read back from GL.

#include "render/mesh_buffers.h"

#include <cstdint>
#include <string>
#include <vector>

#include "gl_fixture.h"
#include "render/program.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ResultOf;

// Reads all three attributes, so each has a location.
const char* const kVertex =
    "#version 140\n"
    "in vec4 position;\n"
    "in vec2 position_tex;\n"
    "in vec3 position_normal;\n"
    "out vec4 colour;\n"
    "void main() {\n"
    "    colour = vec4(position_tex, position_normal.x + position_normal.y, position_normal.z);\n"
    "    gl_Position = position;\n"
    "}\n~";
const char* const kFragment =
    "#version 140\n"
    "in vec4 colour;\n"
    "void main() { gl_FragColor = colour; }\n~";

constexpr int kFloatsPerVertex = 24;

struct AttribState {
    GLint enabled, size, stride, type, normalized, buffer;
    std::uintptr_t offset;
};

AttribState attribState(GLint location)
{
    AttribState s{};
    const GLuint index = static_cast<GLuint>(location);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &s.enabled);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_SIZE, &s.size);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &s.stride);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_TYPE, &s.type);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &s.normalized);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &s.buffer);
    void* pointer = nullptr;
    glGetVertexAttribPointerv(index, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
    s.offset = reinterpret_cast<std::uintptr_t>(pointer);
    return s;
}

GLint binding(GLenum which)
{
    GLint name = 0;
    glGetIntegerv(which, &name);
    return name;
}

void disableAllAttributes()
{
    GLint count = 0;
    glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &count);
    for (GLint i = 0; i < count; ++i)
        glDisableVertexAttribArray(static_cast<GLuint>(i));
}

class MeshBuffersTest : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        platform::addTestResource(platform::kTextFile, 9011, kVertex);
        platform::addTestResource(platform::kTextFile, 9012, kFragment);
        registry.addProgram("Layout", 9011, 9012);
        program = registry.getProgram("Layout");
        // Two vertices with distinct values in every float, three indices.
        for (int i = 0; i < 2 * kFloatsPerVertex; ++i)
            vertices.push_back(static_cast<float>(i) * 0.5f - 3.0f);
        indices = {1, 0, 1};
        buffers = std::make_unique<MeshBuffers>(&registry);
        buffers->setVertexData(static_cast<int>(vertices.size() * sizeof(float)), vertices.data(),
                               kFloatsPerVertex);
        buffers->setIndexData(static_cast<int>(indices.size() * sizeof(GLuint)), indices.data(),
                              static_cast<int>(indices.size()));
        disableAllAttributes();
        EXPECT_NO_GL_ERROR();
    }

    void TearDown() override
    {
        buffers.reset();
        GlTest::TearDown();
    }

    void addParticleLayout()
    {
        buffers->addAttribute("Layout", "position", 3, 0);
        buffers->addAttribute("Layout", "position_tex", 2, 3);
        buffers->addAttribute("Layout", "position_normal", 3, 5);
    }

    ProgramRegistry registry;
    GLFWProgram* program = nullptr;
    std::vector<float> vertices;
    std::vector<GLuint> indices;
    std::unique_ptr<MeshBuffers> buffers;
};

TEST_F(MeshBuffersTest, UploadFillsBothBuffersAndPointsTheParticleLayout)
{
    addParticleLayout();
    EXPECT_NO_GL_ERROR();
    buffers->upload();
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(buffers->getIndexCount(), 3);

    const GLint vertexBuffer = binding(GL_ARRAY_BUFFER_BINDING);
    const GLint indexBuffer = binding(GL_ELEMENT_ARRAY_BUFFER_BINDING);
    ASSERT_NE(vertexBuffer, 0);
    ASSERT_NE(indexBuffer, 0);
    EXPECT_NE(vertexBuffer, indexBuffer);

    std::vector<float> storedVertices(vertices.size());
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)),
                       storedVertices.data());
    EXPECT_EQ(storedVertices, vertices);
    std::vector<GLuint> storedIndices(indices.size());
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)),
                       storedIndices.data());
    EXPECT_EQ(storedIndices, indices);
    for (GLenum target : {GL_ARRAY_BUFFER, GL_ELEMENT_ARRAY_BUFFER}) {
        GLint usage = 0;
        glGetBufferParameteriv(target, GL_BUFFER_USAGE, &usage);
        EXPECT_EQ(usage, GL_STATIC_DRAW);
    }
    EXPECT_NO_GL_ERROR();

    struct Expected {
        const char* name;
        GLint size;
        std::uintptr_t offset;
    };
    for (const Expected& e : {Expected{"position", 3, 0}, Expected{"position_tex", 2, 12},
                              Expected{"position_normal", 3, 20}}) {
        SCOPED_TRACE(e.name);
        const GLint location = program->getAttribLocation(e.name);
        ASSERT_GE(location, 0);
        AttribState s = attribState(location);
        EXPECT_EQ(s.enabled, GL_TRUE);
        EXPECT_EQ(s.size, e.size);
        EXPECT_EQ(s.stride, 96);
        EXPECT_EQ(s.type, GL_FLOAT);
        EXPECT_EQ(s.normalized, GL_FALSE);
        EXPECT_EQ(s.buffer, vertexBuffer);
        EXPECT_EQ(s.offset, e.offset);
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(MeshBuffersTest, ANameKeepsItsFirstRegistration)
{
    buffers->addAttribute("Layout", "position_tex", 2, 3);
    buffers->addAttribute("Layout", "position_tex", 4, 7);
    buffers->upload();
    EXPECT_NO_GL_ERROR();
    AttribState s = attribState(program->getAttribLocation("position_tex"));
    EXPECT_EQ(s.size, 2);
    EXPECT_EQ(s.offset, 12u);
}

TEST_F(MeshBuffersTest, EveryBindSetsTheAttributesAgain)
{
    buffers->addAttribute("Layout", "position", 3, 0);
    buffers->upload();
    const GLint position = program->getAttribLocation("position");
    const GLint normal = program->getAttribLocation("position_normal");

    // No vertex array object: the default one holds the pointers, and a bind
    // restores them whatever happened in between.
    disableAllAttributes();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    // Registered after the upload: takes effect from the next bind.
    buffers->addAttribute("Layout", "position_normal", 3, 5);
    EXPECT_EQ(attribState(normal).enabled, GL_FALSE);
    buffers->bind();
    EXPECT_NO_GL_ERROR();
    EXPECT_NE(binding(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_NE(binding(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(binding(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(attribState(position).enabled, GL_TRUE);
    EXPECT_EQ(attribState(normal).enabled, GL_TRUE);
    EXPECT_EQ(attribState(normal).offset, 20u);
    EXPECT_EQ(attribState(normal).stride, 96);
}

TEST_F(MeshBuffersTest, WithoutAttributesABindOnlyBindsTheBuffers)
{
    buffers->upload();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    buffers->bind();
    EXPECT_NO_GL_ERROR();
    EXPECT_NE(binding(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_NE(binding(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    for (const char* name : {"position", "position_tex", "position_normal"})
        EXPECT_EQ(attribState(program->getAttribLocation(name)).enabled, GL_FALSE) << name;
}

// The particle program does not read "position_normal": its location is -1,
// and binding still raises no GL error while the others are set.
TEST_F(MeshBuffersTest, AnInactiveAttributeIsLeftAlone)
{
    registry.addProgram("BackgroundProgram", 137, 136);
    GLFWProgram* particles = registry.getProgram("BackgroundProgram");
    ASSERT_EQ(particles->getAttribLocation("position_normal"), -1);
    buffers->addAttribute("BackgroundProgram", "position", 3, 0);
    buffers->addAttribute("BackgroundProgram", "position_tex", 2, 3);
    buffers->addAttribute("BackgroundProgram", "position_normal", 3, 5);
    buffers->upload();
    EXPECT_NO_GL_ERROR();
    buffers->bind();
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(attribState(particles->getAttribLocation("position_tex")).offset, 12u);
    EXPECT_EQ(attribState(particles->getAttribLocation("position_tex")).enabled, GL_TRUE);
}

TEST_F(MeshBuffersTest, AnUnregisteredProgramNameEndsTheProcess)
{
    EXPECT_EXIT(buffers->addAttribute("Missing", "position", 3, 0), ::testing::ExitedWithCode(0),
                ResultOf(testsupport::debugBoxes,
                         ElementsAre("No shader program is registered under the name \"Missing\".")));
}

}  // namespace
