// Drawables: what one draw sends to GL, in which order.

#include "render/drawable.h"

#include <memory>
#include <string>
#include <vector>

#include "gl_fixture.h"
#include "gl_hooks.h"
#include "render/camera.h"
#include "render/program.h"

namespace {

using testsupport::GlHook;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ResultOf;

// Uses all six uniforms and all three attributes, so each has a location.
const char* const kVertex =
    "#version 140\n"
    "in vec4 position;\n"
    "in vec2 position_tex;\n"
    "in vec3 position_normal;\n"
    "uniform mat4 model_world;\n"
    "uniform mat4 world_projection;\n"
    "uniform mat4 model_projection;\n"
    "uniform float iTime;\n"
    "out vec4 colour;\n"
    "void main() {\n"
    "    colour = vec4(position_tex, position_normal.z, iTime);\n"
    "    gl_Position = model_projection * position + 0.001 * (model_world * position)\n"
    "                + 0.001 * (world_projection * position);\n"
    "}\n~";
const char* const kFragment =
    "#version 140\n"
    "in vec4 colour;\n"
    "uniform float viewportWidth;\n"
    "uniform float viewportHeight;\n"
    "void main() { gl_FragColor = colour * vec4(viewportWidth, viewportHeight, 1.0, 1.0); }\n~";

// --- recording hooks -------------------------------------------------------

struct UniformCall {
    GLint location;
    std::vector<float> values;
};
std::vector<UniformCall> uniformCalls;

PFNGLUNIFORMMATRIX4FVPROC realUniformMatrix4fv;
void APIENTRY recordUniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* value)
{
    EXPECT_EQ(count, 1);
    EXPECT_EQ(transpose, GL_FALSE);
    uniformCalls.push_back({location, std::vector<float>(value, value + 16)});
    realUniformMatrix4fv(location, count, transpose, value);
}

PFNGLUNIFORM1FPROC realUniform1f;
void APIENTRY recordUniform1f(GLint location, GLfloat value)
{
    uniformCalls.push_back({location, {value}});
    realUniform1f(location, value);
}

struct DrawCall {
    GLenum mode;
    GLsizei count;
    GLenum type;
    const void* offset;
    GLsizei instances;  // 0 for a plain draw
};
std::vector<DrawCall> drawCalls;

PFNGLDRAWELEMENTSPROC realDrawElements;
void APIENTRY recordDrawElements(GLenum mode, GLsizei count, GLenum type, const void* offset)
{
    drawCalls.push_back({mode, count, type, offset, 0});
    realDrawElements(mode, count, type, offset);
}

PFNGLDRAWELEMENTSINSTANCEDPROC realDrawElementsInstanced;
void APIENTRY recordDrawElementsInstanced(GLenum mode, GLsizei count, GLenum type, const void* offset,
                                          GLsizei instances)
{
    drawCalls.push_back({mode, count, type, offset, instances});
    realDrawElementsInstanced(mode, count, type, offset, instances);
}

std::vector<float> values(const Mat4& m)
{
    return std::vector<float>(m.data(), m.data() + 16);
}

class DrawableTest : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        uniformCalls.clear();
        drawCalls.clear();
        platform::addTestResource(platform::kTextFile, 9021, kVertex);
        platform::addTestResource(platform::kTextFile, 9022, kFragment);
        registry.addProgram("AllUniforms", 9021, 9022);
        camera.pitch(0.0f);
        camera.updateView(0);
        camera.setProjection(perspective(40.0f, 320.0f / 240.0f, 0.1f, 1000.0f));
        frameState.setViewport(320.0f, 240.0f);
        frameState.setTime(7.25f);
        sky = std::make_unique<GLFWDrawableSky>(&frameState, &camera, &registry, "AllUniforms", 141, 140, 1.0f);
        sky->upload();
        EXPECT_NO_GL_ERROR();
    }

    void TearDown() override
    {
        sky.reset();
        GlTest::TearDown();
    }

    GLint location(const char* name)
    {
        return glGetUniformLocation(registry.getProgramId("AllUniforms"), name);
    }

    ProgramRegistry registry;
    FrameState frameState{0.0f};
    Camera camera{0.0f, 0.0f, 0.0f};
    std::unique_ptr<GLFWDrawableSky> sky;
};

TEST_F(DrawableTest, SetsTheSixUniformsInOrderOnEveryDraw)
{
    const Mat4 projection = camera.getProjection();
    struct Draw {
        const char* name;
        Mat4 model;
    };
    // With the identity model matrix both products carry the same values.
    const Draw draws[] = {{"moved", translate(1.0f, 2.0f, 3.0f)}, {"identity", translate(0.0f, 0.0f, 0.0f)}};
    for (const Draw& d : draws) {
        SCOPED_TRACE(d.name);
        uniformCalls.clear();
        sky->setModelMatrix(d.model);
        {
            GlHook matrixHook(epoxy_glUniformMatrix4fv, "glUniformMatrix4fv", recordUniformMatrix4fv,
                              &realUniformMatrix4fv);
            GlHook floatHook(epoxy_glUniform1f, "glUniform1f", recordUniform1f, &realUniform1f);
            sky->draw(0);
        }
        EXPECT_NO_GL_ERROR();
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(static_cast<GLuint>(current), registry.getProgramId("AllUniforms"));

        const char* const order[] = {"model_world",    "world_projection", "model_projection",
                                     "iTime",          "viewportWidth",    "viewportHeight"};
        const std::vector<float> expected[] = {
            values(d.model), values(projection), values(projection * d.model), {7.25f}, {320.0f}, {240.0f}};
        ASSERT_EQ(uniformCalls.size(), 6u);
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(order[i]);
            EXPECT_EQ(uniformCalls[i].location, location(order[i]));
            EXPECT_THAT(uniformCalls[i].values, ElementsAreArray(expected[i]));
        }
        if (std::string(d.name) == "identity") {
            EXPECT_EQ(uniformCalls[1].values, uniformCalls[2].values);
        }
    }
}

TEST_F(DrawableTest, ZeroInstancesDrawsOnceWithoutInstancing)
{
    struct Case {
        int instances;
        DrawCall expected;
    };
    const Case cases[] = {{0, {GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr, 0}},
                          {12288, {GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr, 12288}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.instances);
        drawCalls.clear();
        {
            GlHook plainHook(epoxy_glDrawElements, "glDrawElements", recordDrawElements, &realDrawElements);
            GlHook instancedHook(epoxy_glDrawElementsInstanced, "glDrawElementsInstanced",
                                 recordDrawElementsInstanced, &realDrawElementsInstanced);
            sky->draw(c.instances);
        }
        EXPECT_NO_GL_ERROR();
        ASSERT_EQ(drawCalls.size(), 1u);
        EXPECT_EQ(drawCalls[0].mode, c.expected.mode);
        EXPECT_EQ(drawCalls[0].count, c.expected.count);
        EXPECT_EQ(drawCalls[0].type, c.expected.type);
        EXPECT_EQ(drawCalls[0].offset, c.expected.offset);
        EXPECT_EQ(drawCalls[0].instances, c.expected.instances);
    }
}

TEST_F(DrawableTest, AnUnregisteredProgramNameEndsTheProcess)
{
    const auto box = ResultOf(testsupport::debugBoxes,
                              ElementsAre("No shader program is registered under the name \"Missing\"."));
    EXPECT_EXIT(GLFWDrawableSky(&frameState, &camera, &registry, "Missing", 141, 140, 1.0f).upload(),
                ::testing::ExitedWithCode(0), box);
    EXPECT_EXIT(GLFWDrawableSky(&frameState, &camera, &registry, "Missing", 141, 140, 1.0f).draw(1),
                ::testing::ExitedWithCode(0), box);
}

}  // namespace
