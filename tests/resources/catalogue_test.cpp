// The resource catalogue the executable carries: ids, types, languages and
// the formats of the model texts, icons, bitmap and manifest.

#include "app/window_icon_table.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string bytesOf(const char* type, int id)
{
    const platform::ResourceEntry* e = platform::findResource(type, id);
    if (!e)
        return std::string();
    return std::string(reinterpret_cast<const char*>(e->data), e->size);
}

std::uint32_t u32(const std::string& b, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at]))
           | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8
           | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16
           | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

unsigned u16(const std::string& b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

unsigned u8(const std::string& b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]);
}

TEST(Catalogue, EveryEntryUnderItsTypeOnly)
{
    struct Entry {
        const char* type;
        int id;
        int language;
    };
    std::vector<Entry> entries = {
        {platform::kTextFile, 141, 0x0419}, {platform::kTextFile, 140, 0x0419},
        {platform::kBitmap, 101, 0x0419},   {platform::kGroupIcon, 102, 0x0419},
        {platform::kGroupIcon, 113, 0x0419}, {platform::kManifest, 1, 0x0409},
    };
    for (int id = 1; id <= 12; ++id)
        entries.push_back({platform::kIcon, id, 0x0419});
    const char* types[] = {platform::kTextFile, platform::kPng, platform::kBitmap, platform::kIcon,
                           platform::kGroupIcon, platform::kManifest};
    for (const Entry& e : entries) {
        const platform::ResourceEntry* found = platform::findResource(e.type, e.id);
        ASSERT_NE(found, nullptr) << e.type << " " << e.id;
        EXPECT_EQ(found->language, e.language) << e.type << " " << e.id;
        for (const char* other : types) {
            const std::string type = e.type;
            if (type == other)
                continue;
            const platform::ResourceEntry* wrong = platform::findResource(other, e.id);
            // Icon and manifest ids 1 share a number but not a type.
            EXPECT_TRUE(!wrong || std::string(wrong->type) == other) << other << " " << e.id;
            if (type == platform::kTextFile || type == platform::kBitmap) {
                EXPECT_EQ(wrong, nullptr) << other << " " << e.id;
            }
        }
    }
    EXPECT_EQ(platform::findResource(platform::kPng, 124), nullptr);
}

// Two comment lines and a blank line, then exactly these lines; CR LF
// throughout and no terminating NUL.
TEST(Catalogue, ModelTextsByteForByte)
{
    struct Case {
        int id;
        std::size_t size;
        std::vector<std::string> lines;
    } cases[] = {
        {141, 551,
         {"mtllib rectangle_object.mtl", "v  -1.0000 1.0000 0.0000", "v  -1.0000 -1.0000 -0.0000",
          "v  1.0000 1.0000 0.0000", "v  1.0000 -1.0000 -0.0000", "vn 0.0000 -0.0000 1.0000",
          "vt 0.0000 1.0000 0.0000", "vt 0.0000 0.0000 0.0000", "vt 1.0000 1.0000 0.0000",
          "vt 1.0000 0.0000 0.0000", "o Plane001", "g Plane001", "usemtl wire_198225087",
          "f 1/1/1 2/2/1 3/3/1 ", "f 4/4/1 3/3/1 2/2/1 "}},
        {140, 242,
         {"newmtl wire_198225087", "\tNs 32", "\td 1", "\tTr 0", "\tTf 1 1 1", "\tillum 2",
          "\tKa 0.7765 0.8824 0.3412", "\tKd 0.7765 0.8824 0.3412", "\tKs 0.3500 0.3500 0.3500"}},
    };
    for (const Case& k : cases) {
        const std::string text = bytesOf(platform::kTextFile, k.id);
        EXPECT_EQ(text.size(), k.size) << k.id;
        EXPECT_EQ(text.find('\0'), std::string::npos) << k.id;
        std::vector<std::string> lines;
        std::size_t pos = 0;
        for (std::size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2)
            lines.push_back(text.substr(pos, end - pos));
        EXPECT_EQ(pos, text.size()) << k.id << ": the last line ends with CR LF";
        ASSERT_EQ(lines.size(), k.lines.size() + 3) << k.id;
        EXPECT_EQ(lines[0].substr(0, 2), "# ");
        EXPECT_EQ(lines[1].substr(0, 2), "# ");
        EXPECT_EQ(lines[2], "");
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()), k.lines) << k.id;
        for (const std::string& line : lines)
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << k.id << ": " << line;
    }
}

TEST(Catalogue, IconImagesAndGroups)
{
    const unsigned sizes[] = {32, 16, 32, 16, 32, 16};
    const unsigned colours[] = {16, 16, 0, 0, 0, 0};
    const unsigned bits[] = {4, 4, 8, 8, 32, 32};
    const std::size_t bytes[] = {744, 296, 2216, 1384, 4264, 1128};
    for (int n = 0; n < 6; ++n) {
        const std::string image = bytesOf(platform::kIcon, n + 1);
        ASSERT_EQ(image.size(), bytes[n]) << "icon " << n + 1;
        EXPECT_EQ(bytesOf(platform::kIcon, n + 7), image) << "icon " << n + 7;
        EXPECT_EQ(u32(image, 0), 40u);
        EXPECT_EQ(u32(image, 4), sizes[n]);
        EXPECT_EQ(u32(image, 8), 2 * sizes[n]);  // colour bitmap and AND mask
        EXPECT_EQ(u16(image, 12), 1u);
        EXPECT_EQ(u16(image, 14), bits[n]);
        EXPECT_EQ(u32(image, 16), 0u);
    }
    for (int group : {102, 113}) {
        const std::string dir = bytesOf(platform::kGroupIcon, group);
        ASSERT_EQ(dir.size(), 90u);
        EXPECT_EQ(u16(dir, 0), 0u);
        EXPECT_EQ(u16(dir, 2), 1u);
        EXPECT_EQ(u16(dir, 4), 6u);
        for (int n = 0; n < 6; ++n) {
            const std::size_t e = 6 + 14 * static_cast<std::size_t>(n);
            EXPECT_EQ(u8(dir, e), sizes[n]);
            EXPECT_EQ(u8(dir, e + 1), sizes[n]);
            EXPECT_EQ(u8(dir, e + 2), colours[n]);
            EXPECT_EQ(u8(dir, e + 3), 0u);
            EXPECT_EQ(u16(dir, e + 4), 1u);
            EXPECT_EQ(u16(dir, e + 6), bits[n]);
            EXPECT_EQ(u32(dir, e + 8), bytes[n]);
            EXPECT_EQ(u16(dir, e + 12), static_cast<unsigned>(n + (group == 102 ? 1 : 7)));
        }
    }
}

// The icons are bottom-up: the 32 x 32 alpha image's row 10 from the top is
// stored as row 21, and there the red quarter is opaque.
TEST(Catalogue, IconsShowTheMonitorUpright)
{
    const std::string image = bytesOf(platform::kIcon, 5);
    ASSERT_EQ(image.size(), 4264u);
    const std::size_t redPixel = 40 + (21 * 32 + 7) * 4;  // row 10, column 7, BGRA
    EXPECT_EQ(image.substr(redPixel, 4), std::string("\x48\x48\xff\xff", 4));
    const std::size_t topRow = 40 + 31 * 32 * 4;
    for (int x = 0; x < 32; ++x)
        EXPECT_EQ(u8(image, topRow + 4 * static_cast<std::size_t>(x) + 3), 0u) << x;
    const std::size_t mask = 40 + 32 * 32 * 4;
    EXPECT_EQ(u32(image, mask + 31 * 4), 0xffffffffu);  // top row transparent in the AND mask
}

TEST(Catalogue, WindowIconTableInColumnOrder)
{
    const auto pixel = [](int row, int column) {
        const unsigned char* p = kWindowIconColumns + column * 256 + row * 4;
        return std::vector<int>(p, p + 4);
    };
    EXPECT_EQ(pixel(20, 15), (std::vector<int>{255, 72, 72, 255}));
    EXPECT_EQ(pixel(20, 45), (std::vector<int>{0, 217, 70, 255}));
    EXPECT_EQ(pixel(38, 15), (std::vector<int>{72, 72, 255, 255}));
    EXPECT_EQ(pixel(38, 45), (std::vector<int>{240, 240, 0, 255}));
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 64; ++column)
            EXPECT_EQ(pixel(row, column), (std::vector<int>{255, 255, 255, 0})) << row << "," << column;
    }
    EXPECT_EQ(pixel(60, 2)[3], 0);  // beside the stand
    EXPECT_EQ(pixel(60, 32)[3], 255);  // the stand
}

TEST(Catalogue, AboutBitmap)
{
    const std::string dib = bytesOf(platform::kBitmap, 101);
    ASSERT_EQ(dib.size(), 27598u);
    EXPECT_EQ(u32(dib, 0), 40u);
    EXPECT_EQ(u32(dib, 4), 110u);
    EXPECT_EQ(u32(dib, 8), 83u);  // positive: bottom-up
    EXPECT_EQ(u16(dib, 12), 1u);
    EXPECT_EQ(u16(dib, 14), 24u);
    EXPECT_EQ(u32(dib, 16), 0u);
    EXPECT_EQ(u32(dib, 24), 2834u);
    EXPECT_EQ(u32(dib, 28), 2834u);
    // Green dots on black: green dominates every pixel, much of it is dark.
    int dark = 0;
    int bright = 0;
    for (int y = 0; y < 83; ++y) {
        for (int x = 0; x < 110; ++x) {
            const std::size_t p = 40 + static_cast<std::size_t>(y) * 332 + static_cast<std::size_t>(x) * 3;
            const unsigned b = u8(dib, p), g = u8(dib, p + 1), r = u8(dib, p + 2);
            EXPECT_TRUE(g >= r && g >= b) << x << "," << y;
            dark += g < 16;
            bright += g > 200;
        }
    }
    EXPECT_GT(dark, 110 * 83 / 2);
    EXPECT_GT(bright, 20);
}

TEST(Catalogue, Manifest)
{
    const std::string xml = bytesOf(platform::kManifest, 1);
    EXPECT_EQ(xml.rfind("<?xml", 0), 0u);
    EXPECT_NE(xml.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\""),
              std::string::npos);
}

// The committed pictures are what the generator draws.
TEST(Catalogue, GeneratedFilesAreUpToDate)
{
    if (std::system("python3 --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 is not installed";
    const std::string src = GLIMMERFALL_SOURCE_DIR;
    const std::string out = std::string(GLIMMERFALL_BINARY_DIR) + "/generated_pictures";
    ASSERT_EQ(std::system(("rm -rf '" + out + "' && python3 '" + src + "/tools/make_pictures.py' --out '"
                           + out + "'").c_str()),
              0);
    const char* files[] = {"app/window_icon_table.h", "resources/about_preview.bmp",
                           "resources/icons/group_102.bin", "resources/icons/icon_01.dib",
                           "resources/icons/icon_06.dib", "resources/icons/icon_12.dib",
                           "resources/manifest.xml", "data/icons/hicolor/16x16/apps/glimmerfall.png",
                           "data/icons/hicolor/64x64/apps/glimmerfall.png"};
    const auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    for (const char* f : files) {
        const std::string committed = read(src + "/" + f);
        EXPECT_FALSE(committed.empty()) << f;
        EXPECT_EQ(read(out + "/" + f), committed) << f << " differs from tools/make_pictures.py's output";
    }
}

}  // namespace
