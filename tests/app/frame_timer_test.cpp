#include "app/frame_timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The driven clock: the timer reads whatever the test last set.
double gNow = 0.0;
double drivenClock() { return gNow; }

// Ticks once at each stamp (seconds).
FrameTimer runTicks(const std::vector<double>& stamps) {
    FrameTimer timer(&drivenClock);
    for (double t : stamps) {
        gNow = t;
        timer.tick();
    }
    return timer;
}

void expectUntouched(const FrameTimer& timer) {
    EXPECT_EQ(timer.getCount(), 0);
    EXPECT_EQ(timer.getAverage(), 0.0f);
    EXPECT_EQ(timer.getMin(), 10000.0f);
    EXPECT_EQ(timer.getMax(), -10000.0f);
}

TEST(FrameTimer, StartsWithSentinelStatistics) { expectUntouched(FrameTimer(&drivenClock)); }

TEST(FrameTimer, FirstTickOnlyMarksTheStart) {
    expectUntouched(runTicks({5.0}));
    // The interval is taken from the first tick's mark, not from 0.
    const FrameTimer timer = runTicks({5.0, 5.25});
    EXPECT_EQ(timer.getCount(), 1);
    EXPECT_EQ(timer.getMin(), 250.0f);
}

TEST(FrameTimer, StatisticsOverIntervals) {
    struct Case {
        const char* what;
        std::vector<double> stamps;
        int count;
        float min, max, average;
    };
    const std::vector<Case> cases = {
        // Both tests run on every interval, so the first becomes min and max.
        {"one 16.5 ms interval", {0.0, 0.0165}, 1, 16.5f, 16.5f, 16.5f},
        {"falling intervals", {0.0, 0.03, 0.05, 0.06}, 3, 10.0f, 30.0f, 20.0f},
        {"rising intervals", {0.0, 0.01, 0.03, 0.06}, 3, 10.0f, 30.0f, 20.0f},
        {"intervals equal to min and max", {0.0, 0.02, 0.03, 0.04, 0.06}, 4, 10.0f, 20.0f, 15.0f},
        {"zero-length interval", {1.0, 1.0}, 1, 0.0f, 0.0f, 0.0f},
        // 10000 ms and more never get under the minimum's sentinel.
        {"only long intervals", {0.0, 10.0, 25.0}, 2, 10000.0f, 15000.0f, 12500.0f},
        {"long, then short", {0.0, 12.0, 12.0078125}, 2, 7.8125f, 12000.0f, 6003.90625f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FrameTimer timer = runTicks(c.stamps);
        EXPECT_EQ(timer.getCount(), c.count);
        EXPECT_NEAR(timer.getMin(), c.min, 1e-3f);
        EXPECT_NEAR(timer.getMax(), c.max, 1e-3f);
        EXPECT_NEAR(timer.getAverage(), c.average, 1e-3f);
    }
}

TEST(FrameTimer, AFirstIntervalIsMinMaxAndAverageAlike) {
    const FrameTimer timer = runTicks({0.0, 0.0165});
    EXPECT_EQ(timer.getMin(), timer.getMax());
    EXPECT_EQ(timer.getAverage(), timer.getMax());
}

TEST(FrameTimer, AccumulatesOverManyFrames) {
    std::vector<double> stamps;
    for (int i = 0; i <= 1000; ++i) stamps.push_back(i * 0.015625);  // 15.625 ms, exact
    const FrameTimer timer = runTicks(stamps);
    EXPECT_EQ(timer.getCount(), 1000);
    EXPECT_EQ(timer.getAverage(), 15.625f);
}

// Stamps are narrowed to float before they are subtracted: past 2048 s they are
// multiples of 2^-12 s, past 4096 s of 2^-11 s, and so are the intervals.
TEST(FrameTimer, IntervalsQuantiseWithSinglePrecisionStamps) {
    struct Case {
        double start;
        float expectedMs;
        float tolerance;
    };
    const std::vector<Case> cases = {
        {0.5, 16.3f, 1e-3f},
        {2048.0, 16.357421875f, 0.0f},  // 67 * 2^-12 s
        {4096.0, 16.11328125f, 0.0f},   // 33 * 2^-11 s
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        const FrameTimer timer = runTicks({c.start, c.start + 0.0163});
        EXPECT_NEAR(timer.getAverage(), c.expectedMs, c.tolerance);
    }
}

TEST(FrameTimer, DefaultClockIsUsable) {
    // Without glfwInit the GLFW clock reads 0; the timer must still work.
    FrameTimer timer;
    timer.tick();
    timer.tick();
    EXPECT_EQ(timer.getCount(), 1);
}

}  // namespace
