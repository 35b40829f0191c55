#include "about/about_layout.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    int screenWidth, screenHeight;
    int x, y;
};

TEST(AboutPlacement, CentresTheWindowAndTruncatesTowardZero)
{
    const PlacementCase cases[] = {
        {1920, 1080, 760, 390},
        {1365, 768, 482, 234},  // 482.5
        {1280, 720, 440, 210},
        {400, 300, 0, 0},
        {320, 240, -40, -30},
        {399, 299, 0, 0},       // -0.5 truncates to 0, not -1
        {397, 297, -1, -1},     // -1.5
    };
    for (const PlacementCase& c : cases) {
        const about::Point p = about::centredPlacement(c.screenWidth, c.screenHeight);
        EXPECT_EQ(p.x, c.x) << c.screenWidth << " x " << c.screenHeight;
        EXPECT_EQ(p.y, c.y) << c.screenWidth << " x " << c.screenHeight;
    }
}

}  // namespace
