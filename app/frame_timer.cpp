#include "app/frame_timer.h"

#include <GLFW/glfw3.h>

FrameTimer::FrameTimer() : clock(&glfwGetTime) {}

FrameTimer::FrameTimer(Clock c) : clock(c) {}

void FrameTimer::tick() {
    if (started == 0) {
        markStart();
        started = 1;
        return;
    }
    measure();
    markStart();
}

void FrameTimer::markStart() { startTime = static_cast<float>(clock()); }

void FrameTimer::measure() {
    endTime = static_cast<float>(clock());
    lastMs = (endTime - startTime) * 1000.0f;
    // Two independent strict tests: an equal interval changes neither.
    if (lastMs > maxMs) maxMs = lastMs;
    if (minMs > lastMs) minMs = lastMs;
    totalMs = totalMs + lastMs;
    count = count + 1;
    averageMs = totalMs / static_cast<float>(count);
}
