// Ear clipping of face polygons into triangle indices.

#include "model/objl.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using Indices = std::vector<std::uint32_t>;

std::vector<objl::Vertex> polygon(const std::vector<objl::Vector3>& positions)
{
    std::vector<objl::Vertex> p(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i)
        p[i].position = positions[i];
    return p;
}

Indices triangulate(const std::vector<objl::Vector3>& positions)
{
    Indices out;
    objl::ModelLoader::triangulate(out, polygon(positions));
    return out;
}

TEST(Triangulate, KnownPolygons)
{
    struct Case {
        const char* name;
        std::vector<objl::Vector3> positions;
        Indices expected;
    } cases[] = {
        {"two corners", {{0, 0, 0}, {1, 0, 0}}, {}},
        {"triangle", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}},
        {"quad", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {0, 1, 3, 1, 2, 3}},
        {"convex pentagon",
         {{1, 0, 0}, {2, 1, 0}, {1.5f, 2, 0}, {0.5f, 2, 0}, {0, 1, 0}},
         {0, 1, 4, 1, 2, 4, 2, 3, 4}},
        {"convex hexagon",
         {{1, 0, 0}, {2, 0, 0}, {3, 1, 0}, {2, 2, 0}, {1, 2, 0}, {0, 1, 0}},
         {0, 1, 5, 1, 2, 5, 2, 3, 5, 3, 4, 5}},
        // Corner 0 lies on the line between its neighbours and is skipped.
        {"collinear corner",
         {{1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}, {0, 0, 0}},
         {0, 1, 2, 0, 2, 4, 2, 3, 4}},
        // The notch corner 3 lies inside the triangles at corners 0 and 1,
        // so corner 2 is the first ear; the last four close unchecked.
        {"concave dart",
         {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 1, 0}, {0, 4, 0}},
         {1, 2, 3, 0, 1, 4, 1, 3, 4}},
        // A quad that repeats a position names that corner twice per match.
        {"repeated position in a quad",
         {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}},
         {0, 0, 1, 3, 3, 0, 1, 2, 3}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(triangulate(k.positions), k.expected) << k.name;
}

TEST(Triangulate, AppendsToWhatIsThere)
{
    Indices out{7};
    objl::ModelLoader::triangulate(out, polygon({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    EXPECT_EQ(out, (Indices{7, 0, 1, 2}));
}

// Polygons on which a naive walk would start over forever: every emitted
// index stays inside the polygon and the call returns.
TEST(Triangulate, EndsWhereNoEarIsLeft)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<objl::Vector3> positions;
        Indices expected;
    } cases[] = {
        // All corners on one line: no corner has an angle below 180 degrees.
        {"collinear", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}}, {}},
        // After one ear the four corners left close the polygon; the NaN
        // corner equals no position, so its index is never emitted.
        {"not-a-number corner",
         {{0, 0, 0}, {1, 0, 0}, {nan, 0, 0}, {1, 1, 0}, {0, 1, 0}},
         {0, 1, 4, 1, 4, 4}},
        // A self-crossing hexagon: after the first ear no corner of the five
        // left is one, and they emit nothing.
        {"no ear after a cut",
         {{2, 2, 0}, {2, 1, 0}, {2, 3, 0}, {1, 0, 0}, {3, 3, 0}, {0, 3, 0}},
         {0, 1, 5}},
    };
    for (const Case& k : cases) {
        const Indices out = triangulate(k.positions);
        EXPECT_EQ(out, k.expected) << k.name;
        for (std::uint32_t i : out)
            EXPECT_LT(i, k.positions.size()) << k.name;
    }

    std::vector<objl::Vector3> allNaN(9, objl::Vector3(nan, nan, nan));
    EXPECT_TRUE(triangulate(allNaN).empty());
}

}  // namespace
