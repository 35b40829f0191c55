#pragma once

#include <memory>

#include "app/scene.h"
#include "app/window_metrics.h"

class Camera;
class FrameState;
class FrameTimer;
class GLFWDrawableSky;
class ProgramRegistry;

// The particle field: one program, one drawable, one instanced draw per frame.
// The scene owns every object it creates; they live as long as the scene.
class ParticleScene : public Scene {
public:
    // Drawn with the particle program, as 12 layers of 32 x 32.
    static constexpr int kInstanceCount = 12288;
    static constexpr float kFieldOfView = 40.0f;
    static constexpr float kNearPlane = 0.1f;
    static constexpr float kFarPlane = 1000.0f;

    explicit ParticleScene(const WindowMetrics& metrics);
    ~ParticleScene() override;
    ParticleScene(const ParticleScene&) = delete;
    ParticleScene& operator=(const ParticleScene&) = delete;

    // Needs a current GL context with loaded entry points.
    void setupScene() override;
    // Takes the frame time from the GLFW clock, then renders.
    void tickFrame() override;
    // Draws one frame at the time held in the frame state.
    void renderScene();

    // Valid after setupScene.
    FrameState& getFrameState() { return *frameState; }

private:
    const WindowMetrics& metrics;
    std::unique_ptr<FrameTimer> frameTimer;
    std::unique_ptr<ProgramRegistry> registry;
    std::unique_ptr<FrameState> frameState;
    std::unique_ptr<Camera> camera;
    std::unique_ptr<GLFWDrawableSky> sky;
};
