#pragma once
// An independent CPU rendition of the particle field, written from the
// formulas of the two particle programs: per particle centre, colour, fog and
// fade, and the frame they blend into (soft round spots on square quads,
// source-alpha blending in instance order over transparent black).

#include <cstdint>
#include <vector>

namespace fieldref {

constexpr int kInstanceCount = 12288;

// One particle as the vertex program places it, for the quad's centre.
struct Particle {
    float gridX, gridY, gridZ;   // grid place before wobble and swirl
    float x, y, z;               // centre in eye space: camera drift + moved place
    float r, g, b, a;            // colour of the moment, fog x fade in alpha
    bool uncertain;              // a hash sits so near a wrap of fract() that one ulp flips it
};

// The camera drift (cameraPos) at a time.
void cameraDrift(float iTime, float out[3]);

Particle particle(int id, float iTime);

// The 4x4 column-major projection the scene builds for an aspect.
void projection(float aspect, float out[16]);

struct Frame {
    int width = 0, height = 0;
    // RGBA, 8 bits per channel, rows bottom to top (as glReadPixels).
    std::vector<std::uint8_t> rgba;
    // 1 where a particle with an uncertain hash could cover the pixel.
    std::vector<std::uint8_t> uncertain;
};

Frame render(float iTime, int width, int height);

}  // namespace fieldref
