#pragma once
// The viewer and the per-frame values a drawable hands to its program.

#include <cstdint>

#include "render/math.h"

// An eye with a forward/right/up frame, a look-at target, a few view matrices
// of which one is current, and the projection. The matrices start zeroed, so
// a read before updateView / setProjection gives zeros, never stale memory.
class Camera {
public:
    Camera(float x, float y, float z);

    // Turns forward and up about the right axis by `angle` degrees.
    void pitch(float angle);
    // Computes view matrix number `index` from the current frame and makes it
    // current. The index is not checked; it must be below kViewCount.
    void updateView(std::int32_t index);
    void setProjection(Mat4 p);

    // All zeros before the first updateView.
    Mat4 getView() const;
    Mat4 getProjection() const;

    static constexpr int kViewCount = 5;

private:
    Mat4 views[kViewCount];
    std::int32_t currentView;
    Vec3 position;
    Vec3 target;
    Vec3 forward;
    Vec3 right;
    Vec3 up;
    Mat4 projection;
};

// Viewport size in pixels and the frame time in seconds, as the particle
// program receives them. The viewport is 0 x 0 until setViewport.
class FrameState {
public:
    explicit FrameState(float initialTime);

    void setViewport(float width, float height);
    void setTime(float t);

    float getViewportWidth() const;
    float getViewportHeight() const;
    float getTime() const;

private:
    float viewportWidth;
    float viewportHeight;
    float time;
};
