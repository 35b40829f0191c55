#pragma once

// What the frame loop drives: set up once before the first pass, then one
// tick per pass that renders the frame into the back buffer.
class Scene {
public:
    virtual ~Scene() = default;
    virtual void setupScene() = 0;
    virtual void tickFrame() = 0;
};
