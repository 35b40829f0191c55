#pragma once

// The window's drawing-area size, written before the window exists and by
// the size callback, read by every render pass.
struct WindowMetrics {
    int width = 0;
    int height = 0;
    float aspect = 0.0f;  // width / height, both as float
};
