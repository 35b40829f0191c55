#include "about/dib.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct DibLayout {
    int width = 3;
    int height = 2;  // negative: rows stored top-down
    std::uint32_t headerSize = 40;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    bool padLastRow = true;
};

void putU32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(v >> (8 * i) & 0xFF);
}

void putU16(std::string& s, std::uint16_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

// The colour of the pixel at column x of row y (0 = top): distinct per
// pixel and per channel.
unsigned char red(int x, int y) { return static_cast<unsigned char>(10 + 40 * x + y); }
unsigned char green(int x, int y) { return static_cast<unsigned char>(100 + x + 40 * y); }
unsigned char blue(int x, int y) { return static_cast<unsigned char>(200 + 10 * x + 20 * y); }

// A bitmap as a resource holds it; padding bytes are 0xEE so that reading
// them as pixels shows.
std::string makeDib(const DibLayout& d)
{
    std::string s;
    putU32(s, d.headerSize);
    putU32(s, static_cast<std::uint32_t>(d.width));
    putU32(s, static_cast<std::uint32_t>(d.height));
    putU16(s, d.planes);
    putU16(s, d.bitCount);
    putU32(s, d.compression);
    putU32(s, 0);     // image size, may be 0 for uncompressed pixels
    putU32(s, 2834);  // 72 dpi
    putU32(s, 2834);
    putU32(s, d.coloursUsed);
    putU32(s, 0);
    s.resize(d.headerSize, '\0');
    s.append(d.coloursUsed * 4, '\x11');
    const int rows = d.height < 0 ? -d.height : d.height;
    const int width = d.width > 0 ? d.width : 0;
    for (int stored = 0; stored < rows; ++stored) {
        const int y = d.height < 0 ? stored : rows - 1 - stored;
        for (int x = 0; x < width; ++x) {
            s += static_cast<char>(blue(x, y));
            s += static_cast<char>(green(x, y));
            s += static_cast<char>(red(x, y));
        }
        if (stored < rows - 1 || d.padLastRow)
            while ((s.size() - d.headerSize - d.coloursUsed * 4) % 4 != 0)
                s += '\xEE';
    }
    return s;
}

std::optional<about::RgbImage> decode(const std::string& bytes)
{
    return about::decodeDib(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void expectPicture(const std::optional<about::RgbImage>& image, int width, int height)
{
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->width, width);
    ASSERT_EQ(image->height, height);
    ASSERT_EQ(image->pixels.size(), static_cast<std::size_t>(width * height * 3));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &image->pixels[static_cast<std::size_t>((y * width + x) * 3)];
            EXPECT_EQ(p[0], red(x, y)) << x << "," << y;
            EXPECT_EQ(p[1], green(x, y)) << x << "," << y;
            EXPECT_EQ(p[2], blue(x, y)) << x << "," << y;
        }
}

TEST(DibDecoder, ReadsPaddedRowsInPictureOrderAsRgb)
{
    struct Case {
        const char* what;
        DibLayout layout;
    };
    const Case cases[] = {
        {"bottom-up, rows of 9 bytes padded to 12", {}},
        {"top-down (negative height)", {3, -2}},
        {"one column, rows of 3 bytes padded to 4", {1, 4}},
        {"rows needing no padding", {4, 3}},
        {"colour table before the pixels", {3, 2, 40, 1, 24, 0, 2}},
        {"larger header of the same family", {3, 2, 124}},
        {"last row without its padding", {3, 2, 40, 1, 24, 0, 0, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int height = c.layout.height < 0 ? -c.layout.height : c.layout.height;
        expectPicture(decode(makeDib(c.layout)), c.layout.width, height);
    }
}

TEST(DibDecoder, RejectsWhatItCannotReadSafely)
{
    DibLayout eightBit;
    eightBit.bitCount = 8;
    DibLayout thirtyTwoBit;
    thirtyTwoBit.bitCount = 32;
    DibLayout compressed;
    compressed.compression = 1;
    DibLayout noPlanes;
    noPlanes.planes = 0;
    DibLayout smallHeader;
    smallHeader.headerSize = 12;
    DibLayout zeroWidth;
    zeroWidth.width = 0;
    DibLayout negativeWidth;
    negativeWidth.width = -3;
    DibLayout zeroHeight;
    zeroHeight.height = 0;

    std::string truncatedPixels = makeDib({});
    truncatedPixels.resize(truncatedPixels.size() - 4);  // the last row loses a pixel byte
    std::string headerPastEnd = makeDib({});
    headerPastEnd[0] = static_cast<char>(0xF0);
    std::string hugeWidth = makeDib({});
    hugeWidth.replace(4, 4, "\xFF\xFF\xFF\x7F");
    std::string hugeColourTable = makeDib({});
    hugeColourTable.replace(32, 4, "\xFF\xFF\xFF\xFF");
    std::string mostNegativeHeight = makeDib({});
    mostNegativeHeight.replace(8, 4, std::string("\x00\x00\x00\x80", 4));

    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"header cut short", makeDib({}).substr(0, 39)},
        {"8 bits per pixel", makeDib(eightBit)},
        {"32 bits per pixel", makeDib(thirtyTwoBit)},
        {"compressed", makeDib(compressed)},
        {"no planes", makeDib(noPlanes)},
        {"core header size", makeDib(smallHeader)},
        {"header larger than the data", headerPastEnd},
        {"zero width", makeDib(zeroWidth)},
        {"negative width", makeDib(negativeWidth)},
        {"zero height", makeDib(zeroHeight)},
        {"pixels cut short", truncatedPixels},
        {"width far beyond the data", hugeWidth},
        {"most negative height", mostNegativeHeight},
        {"colour table beyond the data", hugeColourTable},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(decode(c.bytes).has_value()) << c.what;
    EXPECT_FALSE(about::decodeDib(nullptr, 100).has_value());
}

class BitmapResource : public ::testing::Test {
protected:
    void TearDown() override { platform::clearTestResources(); }
};

TEST_F(BitmapResource, DecodesTheResourceOrGivesNothing)
{
    platform::addTestResource(platform::kBitmap, 9001, makeDib({}));
    platform::addTestResource(platform::kBitmap, 9002, makeDib({}).substr(0, 50));
    platform::addTestResource(platform::kTextFile, 9003, makeDib({}));

    expectPicture(about::loadBitmapResource(9001), 3, 2);
    EXPECT_FALSE(about::loadBitmapResource(9002).has_value()) << "malformed";
    EXPECT_FALSE(about::loadBitmapResource(9003).has_value()) << "not a bitmap resource";
    EXPECT_FALSE(about::loadBitmapResource(9004).has_value()) << "missing";
}

TEST_F(BitmapResource, ShippedPreviewIsItsOwnSize)
{
    const auto preview = about::loadBitmapResource(101);
    ASSERT_TRUE(preview.has_value());
    EXPECT_EQ(preview->width, 110);
    EXPECT_EQ(preview->height, 83);
}

}  // namespace
