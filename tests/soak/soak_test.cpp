// The real screensaver left running for ten minutes: its resident memory
// must level off after the first minute, it must still be drawing at the
// end, and it must still end with status 0 on SIGTERM. It runs on an X
// server of its own, so no other test's window or input reaches it.
// GLIMMERFALL_SOAK_SECONDS shortens the run when trying the test out.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "process.h"
#include "x11_display.h"

namespace {

using Clock = std::chrono::steady_clock;
using testsupport::Child;
using testsupport::waitUntil;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 720;
constexpr double kDefaultSeconds = 600.0;
constexpr double kSettleSeconds = 60.0;
constexpr double kSampleSeconds = 5.0;
// Once settled, the run may gain at most this much in all; and its second
// half at most kLateGrowthKib over the highest mark of the first half, which
// a steady per-frame leak of a few bytes would exceed.
constexpr long kTotalGrowthKib = 2048;
constexpr long kLateGrowthKib = 512;

double runSeconds()
{
    const char* text = std::getenv("GLIMMERFALL_SOAK_SECONDS");
    const double seconds = text ? std::atof(text) : 0.0;
    return seconds > kSettleSeconds ? seconds : kDefaultSeconds;
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A field of /proc/<pid>/status in kB, or -1.
long statusKib(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::atol(line.c_str() + field.size() + 1);
    return -1;
}

struct Sample {
    double seconds;
    long rssKib;
};

TEST(Soak, MemoryLevelsOffAndTheScreensaverStillEndsCleanly)
{
    testsupport::XServer server(kScreenWidth, kScreenHeight, {"-noreset"});
    ASSERT_TRUE(server.running()) << "Xvfb did not start: " << server.errors();
    testsupport::XConnection connection(server.name());
    Display* const d = connection.get();
    ASSERT_NE(d, nullptr);
    const testsupport::TempDir runtime("gf-soak");
    ASSERT_TRUE(runtime.made());

    const double total = runSeconds();
    const Clock::time_point start = Clock::now();
    Child saver(GLIMMERFALL_EXECUTABLE, {"/s"},
                {"DISPLAY=" + server.name(), "XDG_RUNTIME_DIR=" + runtime.path()});

    // One sample every few seconds; the wait between samples ends early
    // only if the screensaver ends, which fails the test.
    std::vector<Sample> samples;
    while (secondsSince(start) < total) {
        const double next =
            std::min(total, (static_cast<int>(secondsSince(start) / kSampleSeconds) + 1) * kSampleSeconds);
        ASSERT_FALSE(waitUntil([&] { return !saver.running(); }, next - secondsSince(start)))
            << "the screensaver ended after " << secondsSince(start) << " s with status " << saver.exitStatus()
            << ": " << saver.err();
        const long rss = statusKib(saver.pid(), "VmRSS");
        ASSERT_GT(rss, 0);
        samples.push_back({secondsSince(start), rss});
    }

    // Still drawing: the field moves, so two screens a moment apart differ.
    const testsupport::WindowId root = testsupport::rootWindow(d);
    const std::vector<unsigned long> first = testsupport::pixels(d, root, kScreenWidth, kScreenHeight);
    ASSERT_TRUE(waitUntil([&] { return testsupport::pixels(d, root, kScreenWidth, kScreenHeight) != first; }, 10.0))
        << "the screen stopped changing after " << total << " s";
    const long peakKib = statusKib(saver.pid(), "VmHWM");

    saver.signal(SIGTERM);
    ASSERT_TRUE(saver.waitExit(10.0)) << "no exit within 10 s of SIGTERM";
    EXPECT_EQ(saver.exitStatus(), 0) << saver.err();

    long settled = -1, firstHalfHigh = 0, secondHalfHigh = 0, high = 0;
    const double half = (kSettleSeconds + total) / 2.0;
    std::ostringstream series;
    for (const Sample& s : samples) {
        if (static_cast<int>(s.seconds) % 60 < kSampleSeconds)
            series << " " << static_cast<int>(s.seconds) << "s:" << s.rssKib;
        if (s.seconds < kSettleSeconds)
            continue;
        if (settled < 0)
            settled = s.rssKib;
        high = std::max(high, s.rssKib);
        long& halfHigh = s.seconds < half ? firstHalfHigh : secondHalfHigh;
        halfHigh = std::max(halfHigh, s.rssKib);
    }
    std::printf("soak: %zu samples, RSS kB by minute:%s; peak %ld kB\n", samples.size(), series.str().c_str(),
                peakKib);
    ASSERT_GT(settled, 0);
    EXPECT_LE(high - settled, kTotalGrowthKib) << "RSS kept growing after the first minute:" << series.str();
    EXPECT_LE(secondHalfHigh - firstHalfHigh, kLateGrowthKib) << "RSS still growing late in the run:" << series.str();
}

}  // namespace
