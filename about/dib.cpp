#include "about/dib.h"

#include "platform/resources.h"

#include <cstdint>

namespace about {
namespace {

std::uint32_t readU32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::int32_t readI32(const unsigned char* p)
{
    return static_cast<std::int32_t>(readU32(p));
}

std::uint16_t readU16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB

}  // namespace

std::optional<RgbImage> decodeDib(const unsigned char* data, std::size_t size)
{
    if (!data || size < kInfoHeaderSize)
        return std::nullopt;
    const std::uint32_t headerSize = readU32(data);
    const std::int64_t width = readI32(data + 4);
    const std::int64_t signedHeight = readI32(data + 8);
    const std::uint16_t planes = readU16(data + 12);
    const std::uint16_t bitCount = readU16(data + 14);
    const std::uint32_t compression = readU32(data + 16);
    const std::uint32_t coloursUsed = readU32(data + 32);
    if (headerSize < kInfoHeaderSize || headerSize > size || planes != 1 || bitCount != 24 ||
        compression != kUncompressed || width <= 0 || signedHeight == 0)
        return std::nullopt;

    // A 24-bit bitmap may still carry a colour table (a palette hint for
    // displays with fewer colours); the pixels follow it.
    const std::uint64_t pixelOffset = std::uint64_t(headerSize) + std::uint64_t(coloursUsed) * 4;
    const bool bottomUp = signedHeight > 0;
    const std::int64_t height = bottomUp ? signedHeight : -signedHeight;
    const std::uint64_t rowBytes = std::uint64_t(width) * 3;
    const std::uint64_t stride = (rowBytes + 3) / 4 * 4;
    // The last row needs no padding after it.
    const std::uint64_t needed = pixelOffset + stride * std::uint64_t(height - 1) + rowBytes;
    if (needed > size)
        return std::nullopt;

    RgbImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.resize(static_cast<std::size_t>(rowBytes * std::uint64_t(height)));
    unsigned char* out = image.pixels.data();
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t sourceRow = bottomUp ? height - 1 - row : row;
        const unsigned char* in = data + pixelOffset + stride * std::uint64_t(sourceRow);
        for (std::int64_t x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return image;
}

std::optional<RgbImage> loadBitmapResource(int id)
{
    const platform::ResourceEntry* entry = platform::findResource(platform::kBitmap, id);
    if (!entry)
        return std::nullopt;
    return decodeDib(entry->data, entry->size);
}

}  // namespace about
