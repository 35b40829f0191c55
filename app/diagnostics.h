#pragma once
// Two diagnostic reports, each behind a build-time switch that ships off.
// With a switch off the report is compiled but never called.

#include <string>

// On: the window start-up shows the GL capability report once the GL entry
// points are loaded.
constexpr bool kShowGlInfo = false;
// On: the first render pass shows the frame statistics and ends the process.
constexpr bool kShowFrameStats = false;

// The text of the frame-statistics box; floats as a default output stream
// writes them (six significant digits, general notation).
std::string frameStatsText(float minMs, float maxMs, float averageMs);

// Modal box, caption "Info", information icon.
void showFrameStats(float minMs, float maxMs, float averageMs);

// What the GL capability report shows. A query the context does not support
// leaves its value at 0 and its string empty.
struct GlInfo {
    int major = 0;
    int minor = 0;
    int profileMask = 0;
    int contextFlags = 0;
    std::string version;
    std::string renderer;
    int maxVertexAttribs = 0;
    int maxUniformLocations = 0;
    int maxVertexUniformComponents = 0;
    int maxFragmentUniformComponents = 0;
    int maxElementsIndices = 0;
    int maxElementsVertices = 0;
    int maxTextureSize = 0;
};

// Reads the values from the current GL context.
GlInfo queryGlInfo();

std::string glInfoText(const GlInfo& info);

// Queries the current context, writes the version, profile mask and context
// flags into the four outputs and shows the report (caption "Info",
// information icon). Needs a current context with loaded entry points.
void showGlInfo(int& glMajor, int& glMinor, int& glProfileMask, int& glContextFlags);
