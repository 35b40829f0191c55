#include "field_reference.h"

#include <algorithm>
#include <cmath>

namespace fieldref {
namespace {

constexpr float kHashX = 43.5287f;
constexpr float kHashY = 41.12871f;
// Within this distance of a wrap of fract(), the GPU's value may land on the
// other side: its sine differs by up to an ulp (6e-8), which the factor 523.582
// and the rounding of the product turn into about 1e-4 at most.
constexpr float kWrapMargin = 2e-4f;

float smoothstep(float edge0, float edge1, float x)
{
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float fract(float v)
{
    return v - std::floor(v);
}

// fract(sin(d) * 523.582), d being the dot product of the seed with the
// hash vector; flip takes the value from the other side of the wrap.
float hashOfDot(float d, bool flip, bool* nearWrap)
{
    float h = fract(std::sin(d) * 523.582f);
    if (nearWrap)
        *nearWrap = h < kWrapMargin || h > 1.0f - kWrapMargin;
    if (flip)
        h += h < 0.5f ? 1.0f : -1.0f;
    return h;
}

Particle place(int id, float iTime, bool flipWobble, bool flipSwirl)
{
    const float time = (iTime + 2.0f) * 0.1f;
    const float fid = static_cast<float>(id);
    Particle p{};

    // Instance decomposition: layer x 1024 + line x 32 + row.
    const float layer = std::floor(fid / 1024.0f);
    const float inLayer = fid - layer * 1024.0f;
    const float line = std::floor(inLayer / 32.0f);
    const float row = inLayer - line * 32.0f;
    p.gridX = row * 21.0f - 336.0f;
    p.gridY = line * 21.0f - 336.0f;
    p.gridZ = layer * 42.0f;

    float camera[3];
    cameraDrift(iTime, camera);

    // Depth wobble. The seed is (id, id), whose dot product with the hash
    // vector is id times the sum of its components; the GPU's compiler
    // folds it so, and as the hash magnifies a one-ulp change of its
    // argument into a different value, the reference rounds the same way.
    bool wobbleWrap = false;
    const float hw = hashOfDot(fid * (kHashX + kHashY), flipWobble, &wobbleWrap);
    float z = p.gridZ + 1.5f * 42.0f * hw * (std::cos(hw * 10.0f + time) - 0.5f);

    // Swirl: a circle of radius 10 around the grid place.
    bool swirlWrap = false;
    const float sx = p.gridX + fid;
    const float sy = p.gridY + fid;
    const float hs = hashOfDot(sx * kHashX + sy * kHashY, flipSwirl, &swirlWrap);
    const float angle = 5.0f * time * (hs - 0.5f) * 1.0f;
    const float x = p.gridX + 10.0f * std::cos(angle);
    const float y = p.gridY + 10.0f * std::sin(angle);

    p.x = camera[0] + x;
    p.y = camera[1] + y;
    p.z = camera[2] + z;
    p.uncertain = wobbleWrap || swirlWrap;

    p.r = 0.2f + 0.8f * std::fabs(std::cos(2.5f * time * 0.711f));
    p.g = 0.2f + 0.8f * std::fabs(std::sin(2.5f * time * 1.137f));
    p.b = 0.2f + 0.8f * std::fabs(std::sin(2.5f * time * 0.151f) * std::cos(time * 0.317f));

    const float d = -camera[2] - z;
    const float fogNear = smoothstep(10.0f, 30.0f, d);
    const float fogFar = smoothstep(300.0f, 200.0f, d);  // falling edges, as written out in the program
    const float fade = smoothstep(1.0f, 5.0f, iTime);
    p.a = fogNear * fogFar * fade;
    return p;
}

// Window-space square of a particle's quad, corners at the centre +-1.
struct Square {
    float x0, x1, y0, y1;
};

Square square(const Particle& p, const float proj[16], int width, int height)
{
    const float w = -p.z;
    auto wx = [&](float ex) { return (proj[0] * ex / w + 1.0f) * 0.5f * static_cast<float>(width); };
    auto wy = [&](float ey) { return (proj[5] * ey / w + 1.0f) * 0.5f * static_cast<float>(height); };
    return {wx(p.x - 1.0f), wx(p.x + 1.0f), wy(p.y - 1.0f), wy(p.y + 1.0f)};
}

// Pixel columns (or rows) whose centres lie in [lo, hi), clipped to n.
void span(float lo, float hi, int n, int& first, int& last)
{
    first = std::max(0, static_cast<int>(std::ceil(lo - 0.5f)));
    last = std::min(n - 1, static_cast<int>(std::ceil(hi - 0.5f)) - 1);
}

std::uint8_t unorm8(float v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

void cameraDrift(float iTime, float out[3])
{
    const float time = (iTime + 2.0f) * 0.1f;
    out[0] = std::cos(8.0f * time * 0.096f) * 190.0f;
    out[1] = std::cos(8.0f * time * 0.06f + 1.0f) * 190.0f;
    out[2] = -std::cos(4.0f * time * 0.4f + 1.0f) * 160.0f - 315.0f;
}

Particle particle(int id, float iTime)
{
    return place(id, iTime, false, false);
}

void projection(float aspect, float out[16])
{
    const float n = 0.1f, f = 1000.0f;
    const float focal = static_cast<float>(1.0 / std::tan(20.0 * 3.14159265358979323846 / 180.0));
    std::fill(out, out + 16, 0.0f);
    out[0] = focal / aspect;
    out[5] = focal;
    out[10] = (n + f) / (n - f);
    out[11] = -1.0f;
    out[14] = 2.0f * n * f / (n - f);
}

Frame render(float iTime, int width, int height)
{
    Frame frame;
    frame.width = width;
    frame.height = height;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    frame.rgba.assign(pixels * 4, 0);
    frame.uncertain.assign(pixels, 0);
    float proj[16];
    projection(static_cast<float>(width) / static_cast<float>(height), proj);

    for (int id = 0; id < kInstanceCount; ++id) {
        const Particle p = particle(id, iTime);
        if (p.uncertain) {
            for (int variant = 0; variant < 4; ++variant) {
                const Particle alt = place(id, iTime, variant & 1, variant & 2);
                if (alt.a <= 0.0f)
                    continue;
                const Square s = square(alt, proj, width, height);
                int c0, c1, r0, r1;
                span(s.x0, s.x1, width, c0, c1);
                span(s.y0, s.y1, height, r0, r1);
                for (int row = r0; row <= r1; ++row)
                    for (int col = c0; col <= c1; ++col)
                        frame.uncertain[static_cast<std::size_t>(row) * width + col] = 1;
            }
        }
        if (p.a <= 0.0f)
            continue;

        const Square s = square(p, proj, width, height);
        int c0, c1, r0, r1;
        span(s.x0, s.x1, width, c0, c1);
        span(s.y0, s.y1, height, r0, r1);
        for (int row = r0; row <= r1; ++row) {
            const float v = (static_cast<float>(row) + 0.5f - s.y0) / (s.y1 - s.y0);
            for (int col = c0; col <= c1; ++col) {
                const float u = (static_cast<float>(col) + 0.5f - s.x0) / (s.x1 - s.x0);
                const float dist = std::hypot(u - 0.5f, v - 0.5f);
                const float spot = 1.0f - smoothstep(0.25f, 0.5f, dist);
                if (spot <= 0.0f)
                    continue;
                // The fragment colour, then (source alpha, one minus source
                // alpha) blending into an 8-bit framebuffer.
                const float src[4] = {p.r * spot, p.g * spot, p.b * spot, p.a * spot};
                const float alpha = src[3];
                std::uint8_t* dst = &frame.rgba[(static_cast<std::size_t>(row) * width + col) * 4];
                for (int c = 0; c < 4; ++c)
                    dst[c] = unorm8(src[c] * alpha + static_cast<float>(dst[c]) / 255.0f * (1.0f - alpha));
            }
        }
    }
    return frame;
}

}  // namespace fieldref
