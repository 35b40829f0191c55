#include "particles/particle_scene.h"

#include <epoxy/gl.h>

// Until the field is drawn, a frame is the cleared window.
ParticleScene::ParticleScene(const WindowMetrics& m) : metrics(m) {}

void ParticleScene::setupScene() {}

void ParticleScene::tickFrame()
{
    renderScene();
}

void ParticleScene::renderScene()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, metrics.width, metrics.height);
}
