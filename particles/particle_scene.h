#pragma once

#include "app/scene.h"
#include "app/window_metrics.h"

// The particle field: one program, one drawable, one instanced draw per frame.
class ParticleScene : public Scene {
public:
    explicit ParticleScene(const WindowMetrics& metrics);
    void setupScene() override;
    void tickFrame() override;
    void renderScene();

private:
    const WindowMetrics& metrics;
};
