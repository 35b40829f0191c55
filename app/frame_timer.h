#pragma once
// Frame-to-frame intervals in milliseconds: last, shortest, longest, average.

#include <cstdint>

class FrameTimer {
public:
    // A clock returns seconds; the default is glfwGetTime, which needs
    // glfwInit to have run. Tests pass a clock of their own.
    using Clock = double (*)();

    FrameTimer();
    explicit FrameTimer(Clock clock);

    // Once per frame: the first call only sets a start mark, every later call
    // closes the running interval and starts the next.
    void tick();
    void markStart();
    void measure();

    float getAverage() const { return averageMs; }
    float getMin() const { return minMs; }
    float getMax() const { return maxMs; }
    std::int32_t getCount() const { return count; }

private:
    // Both stamps are narrowed to float before they are subtracted, so past
    // 2048 s every interval is a multiple of 2^-12 s.
    float startTime = 0.0f;
    float endTime = 0.0f;
    float lastMs = 0.0f;
    float totalMs = 0.0f;
    float averageMs = 0.0f;
    // Sentinels: the first interval under 10000 ms becomes both min and max.
    float minMs = 10000.0f;
    float maxMs = -10000.0f;
    std::int32_t count = 0;
    std::int32_t started = 0;
    Clock clock;
};
