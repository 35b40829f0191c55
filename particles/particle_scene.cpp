#include "particles/particle_scene.h"

#include <epoxy/gl.h>
#include <GLFW/glfw3.h>

#include <cstdlib>

#include "app/diagnostics.h"
#include "app/frame_timer.h"
#include "render/camera.h"
#include "render/drawable.h"
#include "render/math.h"
#include "render/program.h"

namespace {

const char* const kProgramName = "BackgroundProgram";

// TEXTFILE resources.
constexpr int kFragmentShaderText = 136;
constexpr int kVertexShaderText = 137;
constexpr int kMaterialText = 140;
constexpr int kModelText = 141;

}  // namespace

ParticleScene::ParticleScene(const WindowMetrics& m) : metrics(m) {}

ParticleScene::~ParticleScene() = default;

void ParticleScene::setupScene()
{
    frameTimer = std::make_unique<FrameTimer>();
    registry = std::make_unique<ProgramRegistry>();
    frameState = std::make_unique<FrameState>(0.0f);
    // At the origin looking down -Z: the view stays the identity for the run;
    // the apparent flight is computed in the vertex program.
    camera = std::make_unique<Camera>(0.0f, 0.0f, 0.0f);
    camera->pitch(0.0f);
    camera->updateView(0);
    registry->addProgram(kProgramName, kVertexShaderText, kFragmentShaderText);
    sky = std::make_unique<GLFWDrawableSky>(frameState.get(), camera.get(), registry.get(), kProgramName,
                                            kModelText, kMaterialText, 1.0f);
    sky->upload();
}

void ParticleScene::tickFrame()
{
    frameState->setTime(static_cast<float>(glfwGetTime()));
    renderScene();
}

void ParticleScene::renderScene()
{
    frameTimer->tick();
    camera->setProjection(perspective(kFieldOfView, metrics.aspect, kNearPlane, kFarPlane));
    frameState->setViewport(static_cast<float>(metrics.width), static_cast<float>(metrics.height));
    sky->setModelMatrix(translate(0.0f, 0.0f, 0.0f));

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // No clear value is ever set: transparent black, depth 1.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, metrics.width, metrics.height);
    sky->draw(kInstanceCount);

    if (kShowFrameStats) {
        showFrameStats(frameTimer->getMin(), frameTimer->getMax(), frameTimer->getAverage());
        std::exit(0);
    }
}
