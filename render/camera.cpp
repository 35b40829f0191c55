#include "render/camera.h"

#include <cmath>

Camera::Camera(float x, float y, float z)
    : views{},
      currentView(0),
      position(x, y, z),
      forward(0.0f, 0.0f, -1.0f),
      right(1.0f, 0.0f, 0.0f),
      up(0.0f, 1.0f, 0.0f),
      projection{} {
    target = position + forward;
}

void Camera::pitch(float angle) {
    const double a = static_cast<double>(radians(angle));
    const float s = static_cast<float>(std::sin(a));
    const float c = static_cast<float>(std::cos(a));
    forward = forward * c + up * s;
    // Nothing is re-normalised; from the initial frame the axes stay
    // orthonormal up to rounding.
    up = cross(right, forward);
    target = position + forward;
}

void Camera::updateView(std::int32_t index) {
    views[index] = lookAt(position, target, up);
    currentView = index;
}

void Camera::setProjection(Mat4 p) { projection = p; }

Mat4 Camera::getView() const { return views[currentView]; }

Mat4 Camera::getProjection() const { return projection; }

FrameState::FrameState(float initialTime)
    : viewportWidth(0.0f), viewportHeight(0.0f), time(initialTime) {}

void FrameState::setViewport(float width, float height) {
    viewportWidth = width;
    viewportHeight = height;
}

void FrameState::setTime(float t) { time = t; }

float FrameState::getViewportWidth() const { return viewportWidth; }

float FrameState::getViewportHeight() const { return viewportHeight; }

float FrameState::getTime() const { return time; }
