// The vector geometry and text routines under the OBJ and MTL readers.

#include "model/objl.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using objl::Vector2;
using objl::Vector3;

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(ObjlVector, EqualityIsExactAndNaNNeverEqual)
{
    EXPECT_TRUE(Vector3(0.0f, -0.0f, 1.0f) == Vector3(0.0f, 0.0f, 1.0f));
    EXPECT_FALSE(Vector3(1.0f, 0, 0) == Vector3(std::nextafter(1.0f, 2.0f), 0, 0));
    const Vector3 nan(kNaN, 0, 0);
    EXPECT_FALSE(nan == nan);
    EXPECT_TRUE(nan != nan);
    const Vector3 d = Vector3(3, 5, 7) - Vector3(1, 1, 1);
    EXPECT_TRUE(d == Vector3(2, 4, 6));
}

TEST(ObjlVector, DefaultsAndDeepCopies)
{
    const objl::Material m;
    EXPECT_TRUE(m.name.empty() && m.ambientMap.empty() && m.bumpMap.empty());
    EXPECT_TRUE(m.ambient == Vector3() && m.diffuse == Vector3() && m.specular == Vector3());
    EXPECT_EQ(m.specularExponent, 0.0f);
    EXPECT_EQ(m.opticalDensity, 0.0f);
    EXPECT_EQ(m.dissolve, 0.0f);
    EXPECT_EQ(m.illumination, 0);

    std::vector<objl::Vertex> vertices(3);
    std::vector<std::uint32_t> indices{0, 1, 2};
    objl::Mesh mesh(vertices, indices);
    vertices.clear();
    indices.clear();
    EXPECT_EQ(mesh.vertices.size(), 3u);
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_TRUE(mesh.name.empty());

    mesh.material.diffuseMap = "d.png";
    mesh.material.bumpMap = "b.png";
    const objl::Mesh copy = mesh;
    mesh.material.diffuseMap.clear();
    EXPECT_EQ(copy.material.diffuseMap, "d.png");
    EXPECT_EQ(copy.material.bumpMap, "b.png");
}

TEST(ObjlGeometry, ProductsAnglesAndMagnitude)
{
    EXPECT_TRUE(objl::crossProduct(Vector3(1, 0, 0), Vector3(0, 1, 0)) == Vector3(0, 0, 1));
    EXPECT_EQ(objl::dotProduct(Vector3(1, 2, 3), Vector3(4, 5, 6)), 32.0f);
    EXPECT_EQ(objl::magnitude(Vector3(3, 4, 0)), 5.0f);
    EXPECT_FLOAT_EQ(objl::angleBetween(Vector3(1, 0, 0), Vector3(0, 2, 0)), 1.5707964f);
    EXPECT_TRUE(std::isnan(objl::angleBetween(Vector3(1, 0, 0), Vector3())));
}

TEST(ObjlGeometry, PointInTriangleIncludesEdgesAndRejectsDegenerate)
{
    const Vector3 a(0, 0, 0), b(2, 0, 0), c(0, 2, 0);
    struct Case {
        Vector3 p;
        bool inside;
    } cases[] = {
        {a, true}, {b, true}, {c, true},          // corners
        {Vector3(1, 0, 0), true},                 // on an edge
        {Vector3(1, 1, 0), true},                 // on the slanted edge
        {Vector3(0.5f, 0.5f, 3), true},           // judged by its projection
        {Vector3(1, -0.001f, 0), false},          // just outside an edge
        {Vector3(1.5f, 1.5f, 0), false},
    };
    for (const Case& k : cases)
        EXPECT_EQ(objl::pointInTriangle(k.p, a, b, c), k.inside) << k.p.x << "," << k.p.y << "," << k.p.z;
    EXPECT_FALSE(objl::pointInTriangle(Vector3(1, 0, 0), a, b, Vector3(4, 0, 0)));
}

TEST(ObjlText, KeywordAndRest)
{
    struct Case {
        std::string line, keyword, rest;
    } cases[] = {
        {"", "", ""},
        {" \t ", "", ""},
        {"\tKa 0.7765 0.8824 0.3412\r", "Ka", "0.7765 0.8824 0.3412\r"},
        {"v  -1.0000 1.0000 0.0000 ", "v", "-1.0000 1.0000 0.0000"},
        {"newmtl\r", "newmtl\r", ""},
        {"Ns 32\r", "Ns", "32\r"},
        {"o", "o", ""},
        {"o   ", "o", ""},
        {"usemtl a b\t", "usemtl", "a b"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(objl::lineKeyword(k.line), k.keyword) << '"' << k.line << '"';
        EXPECT_EQ(objl::lineRest(k.line), k.rest) << '"' << k.line << '"';
    }
}

TEST(ObjlText, SplitOn)
{
    using Pieces = std::vector<std::string>;
    struct Case {
        std::string text, separator;
        Pieces pieces;
    } cases[] = {
        {"1/2/3", "/", {"1", "2", "3"}},
        {"1//3", "/", {"1", "", "3"}},
        {"5", "/", {"5"}},
        {"a  b", " ", {"a", "", "b"}},
        {"/a", "/", {"", "a"}},
        {"a ", " ", {"a"}},
        {"", " ", {}},
        {"1/", "/", {"1"}},
        {"ab--cd", "--", {"ab", "cd"}},
        {"abc-", "--", {"abc-"}},
    };
    Pieces pieces{"left over"};
    for (const Case& k : cases) {
        objl::splitOn(k.text, pieces, k.separator);
        EXPECT_EQ(pieces, k.pieces) << '"' << k.text << '"';
    }
}

TEST(ObjlText, TrimLineBreaks)
{
    struct Case {
        std::string text, trimmed;
    } cases[] = {
        {"wire\r", "wire"}, {"wire\r\n\r", "wire"}, {"\r", "\r"}, {"", ""}, {"a\rb", "a\rb"},
    };
    for (Case k : cases)
        EXPECT_EQ(objl::trimLineBreaks(k.text), k.trimmed);
}

TEST(ObjlText, ElementAtSelectsOrRefuses)
{
    const std::vector<Vector2> list{{1, 1}, {2, 2}, {3, 3}};
    struct Case {
        std::string index;
        bool found;
        float x;
    } cases[] = {
        {"1", true, 1}, {"3", true, 3}, {"-1", true, 3}, {"-3", true, 1}, {" 2\r", true, 2},
        {"2abc", true, 2}, {"0", false, 0}, {"4", false, 0}, {"-4", false, 0}, {"", false, 0},
        {"x", false, 0}, {"99999999999999999999", false, 0}, {"-2147483648", false, 0},
    };
    for (const Case& k : cases) {
        Vector2 v(-7, -7);
        EXPECT_EQ(objl::elementAt(list, k.index, v), k.found) << '"' << k.index << '"';
        EXPECT_EQ(v.x, k.found ? k.x : -7.0f) << '"' << k.index << '"';
    }
}

TEST(ObjlText, NumberConversions)
{
    struct FloatCase {
        std::string text;
        bool ok;
        float value;
    } floats[] = {
        {"0.3412\r", true, 0.3412f}, {"  -1.5e2x", true, -150.0f}, {"-0.0000", true, -0.0f},
        {"", false, 0}, {"\r", false, 0}, {"abc", false, 0}, {"1e999", false, 0},
        {"1e39", false, 0}, {"nan", false, 0}, {"inf", false, 0},
    };
    for (const FloatCase& k : floats) {
        float f = 0;
        EXPECT_EQ(objl::parseFloat(k.text, f), k.ok) << '"' << k.text << '"';
        if (k.ok) {
            EXPECT_EQ(f, k.value) << '"' << k.text << '"';
        }
    }
    float negZero = 1;
    ASSERT_TRUE(objl::parseFloat("-0.0000", negZero));
    EXPECT_TRUE(std::signbit(negZero));

    struct IntCase {
        std::string text;
        bool ok;
        std::int32_t value;
    } ints[] = {
        {"2\r", true, 2}, {" -7", true, -7}, {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"", false, 0}, {"q", false, 0},
    };
    for (const IntCase& k : ints) {
        std::int32_t n = 0;
        EXPECT_EQ(objl::parseInt(k.text, n), k.ok) << '"' << k.text << '"';
        if (k.ok) {
            EXPECT_EQ(n, k.value);
        }
    }
}

TEST(ObjlText, FloatsIgnoreTheProcessLocale)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "ru_RU.UTF-8", "fr_FR.UTF-8", "de_DE", "ru_RU"}) {
        if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') {
            comma = true;
            break;
        }
    }
    float f = 0;
    const bool ok = objl::parseFloat("0.8824", f);
    std::setlocale(LC_NUMERIC, before.c_str());
    if (!comma)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_TRUE(ok);
    EXPECT_EQ(f, 0.8824f);
}

}  // namespace
