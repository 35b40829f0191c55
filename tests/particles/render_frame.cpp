// Renders one frame of the particle field at a chosen time into a PNG, as
// the screensaver would show it in a window of the chosen size.
//
//   particle_render_frame OUT.png [SECONDS [WIDTH HEIGHT]]
//
// Defaults: 20 seconds, 960 x 540. Needs an X display ($DISPLAY).

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/window_metrics.h"
#include "gl_window.h"
#include "particles/particle_scene.h"
#include "render/camera.h"

namespace {

void putBigEndian(std::string& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void putChunk(std::string& png, const char* type, const std::string& data)
{
    putBigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    png += body;
    putBigEndian(png, static_cast<std::uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// An 8-bit RGB PNG from rows given bottom to top (as GL reads them).
bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba)
{
    std::string raw;
    for (int y = height - 1; y >= 0; --y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            raw.append(reinterpret_cast<const char*>(p), 3);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 9) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::string header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace

    std::string png("\x89PNG\r\n\x1a\n", 8);
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", packed);
    putChunk(png, "IEND", "");
    std::ofstream out(path, std::ios::binary);
    out << png;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [SECONDS [WIDTH HEIGHT]]\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    const float seconds = argc > 2 ? std::strtof(argv[2], nullptr) : 20.0f;
    WindowMetrics metrics;
    metrics.width = argc > 4 ? std::atoi(argv[3]) : 960;
    metrics.height = argc > 4 ? std::atoi(argv[4]) : 540;
    if (metrics.width <= 0 || metrics.height <= 0) {
        std::fprintf(stderr, "the size must be positive\n");
        return 2;
    }
    metrics.aspect = static_cast<float>(metrics.width) / static_cast<float>(metrics.height);

    testsupport::HiddenGlWindow window(metrics.width, metrics.height);
    if (!window.ok()) {
        std::fprintf(stderr, "%s\n", window.error().c_str());
        return 1;
    }
    // The fixed state the screensaver's window sets up.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_MULTISAMPLE);

    auto scene = std::make_unique<ParticleScene>(metrics);
    scene->setupScene();
    scene->getFrameState().setTime(seconds);
    scene->renderScene();
    const std::vector<unsigned char> pixels = window.readPixels(metrics.width, metrics.height);
    scene.reset();

    if (!writePng(path, metrics.width, metrics.height, pixels)) {
        std::fprintf(stderr, "could not write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
