#pragma once
// Decoding of the device-independent bitmaps the executable carries.

#include <cstddef>
#include <optional>
#include <vector>

namespace about {

// A picture in memory: rows from top to bottom, 3 bytes per pixel (red,
// green, blue), no padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

// Decodes a bitmap as a bitmap resource holds it: a BITMAPINFOHEADER (or a
// larger header of the same family) followed by the pixels, with no file
// header. Only what the About bitmap uses is read: 24 bits per pixel,
// uncompressed, rows bottom-up (top-down when the height is negative), each
// row blue, green, red per pixel and padded to a multiple of 4 bytes. Any
// other format, a header that does not fit or pixels that run past the end
// give nothing.
std::optional<RgbImage> decodeDib(const unsigned char* data, std::size_t size);

// The bitmap resource of that id, decoded; nothing when the executable does
// not carry it or it does not decode.
std::optional<RgbImage> loadBitmapResource(int id);

}  // namespace about
