// The particle programs on the GPU against the CPU reference: every
// instance's centre, colour and alpha, captured with transform feedback.

#include <cmath>
#include <vector>

#include "field_reference.h"
#include "render/program.h"
#include "tests/render/gl_fixture.h"

namespace {

struct Captured {
    float x, y, z;  // eye space, recovered from the clip position
    float r, g, b, a;
};

class ParticleShaderTest : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        registry.addProgram("BackgroundProgram", 137, 136);
        program = registry.getProgramId("BackgroundProgram");
        // Relink with the two outputs captured; the shaders stay as built.
        const char* outputs[] = {"gl_Position", "fs_color"};
        glTransformFeedbackVaryings(program, 2, outputs, GL_INTERLEAVED_ATTRIBS);
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        ASSERT_EQ(linked, GL_TRUE);

        // One vertex at the quad's centre.
        const float vertex[5] = {0.0f, 0.0f, 0.0f, 0.5f, 0.5f};
        glGenBuffers(1, &vertexBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof vertex, vertex, GL_STATIC_DRAW);
        const GLint position = glGetAttribLocation(program, "position");
        const GLint tex = glGetAttribLocation(program, "position_tex");
        ASSERT_GE(position, 0);
        ASSERT_GE(tex, 0);
        glEnableVertexAttribArray(static_cast<GLuint>(position));
        glVertexAttribPointer(static_cast<GLuint>(position), 3, GL_FLOAT, GL_FALSE, 20, nullptr);
        glEnableVertexAttribArray(static_cast<GLuint>(tex));
        glVertexAttribPointer(static_cast<GLuint>(tex), 2, GL_FLOAT, GL_FALSE, 20,
                              reinterpret_cast<const void*>(12));

        glGenBuffers(1, &captureBuffer);
        glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, captureBuffer);
        glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, fieldref::kInstanceCount * 8 * sizeof(float), nullptr,
                     GL_STATIC_READ);
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, captureBuffer);
        EXPECT_NO_GL_ERROR();
    }

    void TearDown() override
    {
        glDeleteBuffers(1, &vertexBuffer);
        glDeleteBuffers(1, &captureBuffer);
        GlTest::TearDown();
    }

    std::vector<Captured> capture(float iTime)
    {
        glUseProgram(program);
        fieldref::projection(4.0f / 3.0f, proj);
        glUniformMatrix4fv(glGetUniformLocation(program, "model_projection"), 1, GL_FALSE, proj);
        glUniform1f(glGetUniformLocation(program, "iTime"), iTime);
        glEnable(GL_RASTERIZER_DISCARD);
        glBeginTransformFeedback(GL_POINTS);
        glDrawArraysInstanced(GL_POINTS, 0, 1, fieldref::kInstanceCount);
        glEndTransformFeedback();
        glDisable(GL_RASTERIZER_DISCARD);
        std::vector<float> raw(fieldref::kInstanceCount * 8);
        glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0, static_cast<GLsizeiptr>(raw.size() * sizeof(float)),
                           raw.data());
        EXPECT_NO_GL_ERROR();

        std::vector<Captured> result;
        for (int i = 0; i < fieldref::kInstanceCount; ++i) {
            const float* v = &raw[static_cast<std::size_t>(i) * 8];
            // clip = P x eye with P of the perspective form: w = -z.
            result.push_back({v[0] / proj[0], v[1] / proj[5], -v[3], v[4], v[5], v[6], v[7]});
        }
        return result;
    }

    ProgramRegistry registry;
    GLuint program = 0;
    GLuint vertexBuffer = 0;
    GLuint captureBuffer = 0;
    float proj[16];
};

TEST_F(ParticleShaderTest, EveryInstanceMatchesTheReference)
{
    for (float iTime : {0.0f, 0.5f, 3.0f, 12.5f, 600.0f}) {
        SCOPED_TRACE(iTime);
        std::vector<Captured> gpu = capture(iTime);
        // The GPU's hash values may differ from the reference's by about
        // 1e-4 (an ulp of the sine, times 523.582). The depth wobble moves a
        // particle by up to 63 x 11.5 units per unit of hash, the swirl by
        // 10 x 5 x TIME; fog and fade change alpha by at most 0.075 per unit
        // of depth.
        const float time = (iTime + 2.0f) * 0.1f;
        const float positionTolerance = 1e-4f * (63.0f * 11.5f + 50.0f * time) + 1e-3f;
        const float alphaTolerance = 0.075f * positionTolerance + 1e-5f;
        int compared = 0, differing = 0;
        for (int id = 0; id < fieldref::kInstanceCount; ++id) {
            const fieldref::Particle ref = fieldref::particle(id, iTime);
            if (ref.uncertain)
                continue;
            ++compared;
            const Captured& g = gpu[static_cast<std::size_t>(id)];
            const float position =
                std::max({std::fabs(g.x - ref.x), std::fabs(g.y - ref.y), std::fabs(g.z - ref.z)});
            const float colour =
                std::max({std::fabs(g.r - ref.r), std::fabs(g.g - ref.g), std::fabs(g.b - ref.b)});
            const float alpha = std::fabs(g.a - ref.a);
            if (position > positionTolerance || colour > 1e-5f || alpha > alphaTolerance) {
                ++differing;
                ADD_FAILURE() << "instance " << id << ": gpu (" << g.x << ", " << g.y << ", " << g.z << "; "
                              << g.r << ", " << g.g << ", " << g.b << ", " << g.a << ") reference (" << ref.x
                              << ", " << ref.y << ", " << ref.z << "; " << ref.r << ", " << ref.g << ", "
                              << ref.b << ", " << ref.a << ")";
                if (differing == 5)
                    break;
            }
        }
        // Only a handful of hashes sit that near a wrap.
        EXPECT_GT(compared, fieldref::kInstanceCount - 30);
    }
}

// The first and the last instance: grid (-336, -336, 0), whose wobble hash
// of (0, 0) is 0, and grid (315, 315, 462). The swirl puts each on a circle
// of radius 10 around its place; the wobble moves z by 63 h (cos - 0.5).
TEST_F(ParticleShaderTest, TheCornerInstancesSitOnTheirGridPlaces)
{
    for (float iTime : {0.0f, 3.0f, 12.5f}) {
        SCOPED_TRACE(iTime);
        std::vector<Captured> gpu = capture(iTime);
        float camera[3];
        fieldref::cameraDrift(iTime, camera);
        const Captured& first = gpu.front();
        EXPECT_NEAR(std::hypot(first.x - camera[0] + 336.0f, first.y - camera[1] + 336.0f), 10.0f, 1e-3f);
        EXPECT_NEAR(first.z - camera[2], 0.0f, 1e-3f);
        const Captured& last = gpu.back();
        EXPECT_NEAR(std::hypot(last.x - camera[0] - 315.0f, last.y - camera[1] - 315.0f), 10.0f, 1e-3f);
        EXPECT_GE(last.z - camera[2], 462.0f - 94.5f);
        EXPECT_LE(last.z - camera[2], 462.0f + 31.5f);
        // The reference agrees on the grid places themselves.
        EXPECT_EQ(fieldref::particle(0, iTime).gridX, -336.0f);
        EXPECT_EQ(fieldref::particle(0, iTime).gridZ, 0.0f);
        EXPECT_EQ(fieldref::particle(12287, iTime).gridY, 315.0f);
        EXPECT_EQ(fieldref::particle(12287, iTime).gridZ, 462.0f);
    }
}

// Before one second every particle is transparent; from five on only fog
// limits them.
TEST_F(ParticleShaderTest, TheFieldFadesInBetweenOneAndFiveSeconds)
{
    for (float iTime : {0.0f, 0.5f, 0.999f}) {
        std::vector<Captured> gpu = capture(iTime);
        for (const Captured& g : gpu)
            ASSERT_EQ(g.a, 0.0f) << "iTime " << iTime;
    }
    auto brightest = [&](float iTime) {
        float a = 0.0f;
        for (const Captured& g : capture(iTime))
            a = std::max(a, g.a);
        return a;
    };
    EXPECT_GT(brightest(3.0f), 0.0f);
    EXPECT_LT(brightest(3.0f), 1.0f);
    EXPECT_FLOAT_EQ(brightest(12.5f), 1.0f);
}

}  // namespace
