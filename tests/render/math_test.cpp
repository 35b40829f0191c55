#include "render/math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "matrix_checks.h"

namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

using testsupport::apply;
using testsupport::sameBits;

Mat4 identity() { return translate(0.0f, 0.0f, 0.0f); }

void expectEqualMatrix(const Mat4& actual, const Mat4& expected) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(actual[c][r], expected[c][r]) << "column " << c << ", row " << r;
}

void expectNearVec4(const Vec4& actual, const Vec4& expected) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "component " << i;
}

TEST(Math, MatrixElementsLieColumnAfterColumn) {
    Mat4 m;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) m[c][r] = static_cast<float>(c * 4 + r);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.data()[i], static_cast<float>(i));
    EXPECT_EQ(m.data(), &m[0][0]);

    const Mat4 filled(2.5f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(filled.data()[i], 2.5f);
}

TEST(Math, ValueInitialisationZeroes) {
    const Mat4 m{};
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(sameBits(m.data()[i], 0.0f));
    const Vec3 v{};
    EXPECT_EQ(v[0] + v[1] + v[2], 0.0f);
}

TEST(Math, ComponentOperators) {
    const Vec2 d = Vec2(5.0f, 1.0f) - Vec2(2.0f, 3.0f);
    EXPECT_EQ(d[0], 3.0f);
    EXPECT_EQ(d[1], -2.0f);

    struct Case {
        const char* what;
        Vec3 result;
        Vec3 expected;
    };
    const Vec3 a(1.0f, -2.0f, 3.0f);
    const Vec3 b(0.5f, 4.0f, -1.0f);
    const std::vector<Case> cases = {
        {"sum", a + b, Vec3(1.5f, 2.0f, 2.0f)},
        {"difference", a - b, Vec3(0.5f, -6.0f, 4.0f)},
        {"scaled", a * 2.0f, Vec3(2.0f, -4.0f, 6.0f)},
        {"divided", a / 4.0f, Vec3(0.25f, -0.5f, 0.75f)},
        {"negated", -a, Vec3(-1.0f, 2.0f, -3.0f)},
        // A true division: 3/7 differs from 3 * (1/7) in single precision.
        {"divided, not scaled by the reciprocal", Vec3(3.0f, 3.0f, 3.0f) / 7.0f,
         Vec3(3.0f / 7.0f, 3.0f / 7.0f, 3.0f / 7.0f)},
    };
    for (const Case& c : cases)
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(sameBits(c.result[i], c.expected[i]))
                << c.what << ", component " << i << ": " << c.result[i];

    const Vec3 n = -Vec3(0.0f, 0.0f, 0.0f);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::signbit(n[i])) << "negated +0 must be -0 at " << i;

    // Operands are left unchanged.
    EXPECT_EQ(a[0], 1.0f);
    EXPECT_EQ(b[2], -1.0f);
}

TEST(Math, RadiansLengthNormalize) {
    EXPECT_TRUE(sameBits(radians(180.0f), 0x1.921fb6p+1f));
    EXPECT_EQ(length(Vec3(3.0f, 0.0f, 4.0f)), 5.0f);
    EXPECT_EQ(length(Vec3(-2.0f, 3.0f, 6.0f)), 7.0f);

    const Vec3 n = normalize(Vec3(0.0f, 3.0f, 4.0f));
    EXPECT_EQ(n[0], 0.0f);
    EXPECT_FLOAT_EQ(n[1], 0.6f);
    EXPECT_FLOAT_EQ(n[2], 0.8f);

    const Vec3 z = normalize(Vec3(0.0f, 0.0f, 0.0f));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(std::isfinite(z[i])) << "component " << i;
}

TEST(Math, Cross) {
    struct Case {
        Vec3 a, b, expected;
    };
    const std::vector<Case> cases = {
        {Vec3(1, 0, 0), Vec3(0, 1, 0), Vec3(0, 0, 1)},
        {Vec3(0, 1, 0), Vec3(0, 0, 1), Vec3(1, 0, 0)},
        {Vec3(0, 0, 1), Vec3(1, 0, 0), Vec3(0, 1, 0)},
        {Vec3(0, 1, 0), Vec3(1, 0, 0), Vec3(0, 0, -1)},
        {Vec3(1, 2, 3), Vec3(4, 5, 6), Vec3(-3, 6, -3)},
        {Vec3(2, 2, 2), Vec3(2, 2, 2), Vec3(0, 0, 0)},
    };
    for (size_t k = 0; k < cases.size(); ++k) {
        const Vec3 r = cross(cases[k].a, cases[k].b);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(r[i], cases[k].expected[i]) << "case " << k << ", component " << i;
    }
}

TEST(Math, TranslateMovesAPoint) {
    const Vec4 p = apply(translate(1.0f, 2.0f, 3.0f), Vec4(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(p[0], 1.0f);
    EXPECT_EQ(p[1], 2.0f);
    EXPECT_EQ(p[2], 3.0f);
    EXPECT_EQ(p[3], 1.0f);
    // A direction (w = 0) is not moved.
    const Vec4 d = apply(translate(1.0f, 2.0f, 3.0f), Vec4(0.0f, 1.0f, 0.0f, 0.0f));
    expectNearVec4(d, Vec4(0.0f, 1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(sameBits(translate(Vec3(1.0f, 2.0f, 3.0f)), translate(1.0f, 2.0f, 3.0f)));
}

TEST(Math, PerspectiveElementByElement) {
    const Mat4 p = perspective(40.0f, 1.6f, 0.1f, 1000.0f);
    struct Element {
        int c, r;
        float expected;
    };
    // Single-precision results of the documented operation order.
    const std::vector<Element> nonZero = {
        {0, 0, 0x1.b798aep+0f},   // (1 / tan 20°) / 1.6 ≈ 1.7171735
        {1, 1, 0x1.5fad58p+1f},   // 1 / tan 20° ≈ 2.7474775
        {2, 2, -0x1.000d1ap+0f},  // 1000.1 / -999.9 ≈ -1.0002
        {2, 3, -1.0f},
        {3, 2, -0x1.99a416p-3f},  // 200 / -999.9 ≈ -0.20002
    };
    Mat4 expected(0.0f);
    for (const Element& e : nonZero) expected[e.c][e.r] = e.expected;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_TRUE(sameBits(p[c][r], expected[c][r]))
                << "column " << c << ", row " << r << ": " << p[c][r];
    EXPECT_NEAR(p[0][0], 1.7171735f, 1e-6f);
    EXPECT_NEAR(p[3][2], -0.20002f, 1e-6f);
}

TEST(Math, LookAtFromOriginDownMinusZIsIdentity) {
    const Mat4 v = lookAt(Vec3(0, 0, 0), Vec3(0, 0, -1), Vec3(0, 1, 0));
    expectEqualMatrix(v, identity());
}

TEST(Math, LookAtNormalisesUpButNotTheSideAxis) {
    const Vec3 eye(0, 0, 0), center(0, 0, -1);
    EXPECT_TRUE(sameBits(lookAt(eye, center, Vec3(0, 2, 0)), lookAt(eye, center, Vec3(0, 1, 0))));

    // Up at 45° to the view direction: the first row keeps the side axis's
    // length, sin 45°, instead of being rescaled to 1.
    const Mat4 v = lookAt(eye, center, Vec3(0, 1, -1));
    EXPECT_NEAR(v[0][0], std::sqrt(0.5f), 1e-6f);
    EXPECT_EQ(v[1][0], 0.0f);
    EXPECT_EQ(v[2][0], 0.0f);
}

TEST(Math, LookAtMapsEyeToOriginAndCenterOntoMinusZ) {
    struct Case {
        Vec3 eye, center, up;
    };
    const std::vector<Case> cases = {
        {Vec3(1, 2, 3), Vec3(1, 2, 2), Vec3(0, 1, 0)},
        {Vec3(0, 0, 5), Vec3(0, 0, 0), Vec3(0, 1, 0)},
        {Vec3(3, 0, 0), Vec3(0, 0, 0), Vec3(0, 1, 0)},
        {Vec3(-2, 4, 1), Vec3(-2, 4, -7), Vec3(1, 0, 0)},
    };
    for (size_t k = 0; k < cases.size(); ++k) {
        SCOPED_TRACE(k);
        const Case& c = cases[k];
        const Mat4 v = lookAt(c.eye, c.center, c.up);
        const float distance = length(c.center - c.eye);
        expectNearVec4(apply(v, Vec4(c.eye[0], c.eye[1], c.eye[2], 1)), Vec4(0, 0, 0, 1));
        expectNearVec4(apply(v, Vec4(c.center[0], c.center[1], c.center[2], 1)),
                       Vec4(0, 0, -distance, 1));
        // The (normalised) up direction becomes +Y in view space.
        const Vec3 n = normalize(c.up);
        expectNearVec4(apply(v, Vec4(n[0], n[1], n[2], 0)), Vec4(0, 1, 0, 0));
    }
}

TEST(Math, ProductAppliesTheRightOperandFirst) {
    // A view turned to look down +X maps +X onto -Z.
    const Mat4 turn = lookAt(Vec3(0, 0, 0), Vec3(1, 0, 0), Vec3(0, 1, 0));
    const Mat4 shift = translate(1.0f, 0.0f, 0.0f);
    const Vec4 origin(0, 0, 0, 1);
    expectNearVec4(apply(turn * shift, origin), Vec4(0, 0, -1, 1));
    expectNearVec4(apply(shift * turn, origin), Vec4(1, 0, 0, 1));

    expectEqualMatrix(translate(1, 2, 3) * translate(4, 5, 6), translate(5, 7, 9));
    EXPECT_TRUE(sameBits(turn * identity(), turn));
    EXPECT_TRUE(sameBits(identity() * turn, turn));
}

TEST(Math, ProductSumsFromZeroInIndexOrder) {
    struct Case {
        const char* what;
        Vec4 aRow;  // row 0 of A, i.e. A[k][0]
        Vec4 bColumn;  // column 0 of B
        float expected;
    };
    const std::vector<Case> cases = {
        // ((1e8 + 1) - 1e8) + 1: the first 1 is absorbed; any other order or
        // pairing gives 0 or 2.
        {"index order", Vec4(1e8f, 1.0f, -1e8f, 1.0f), Vec4(1, 1, 1, 1), 1.0f},
        // Products that are all -0 still sum to +0, because the sum starts at +0.
        {"starts at +0", Vec4(0, 0, 0, 0), Vec4(-1, -1, -1, -1), 0.0f},
    };
    for (const Case& c : cases) {
        Mat4 a(0.0f), b(0.0f);
        for (int k = 0; k < 4; ++k) a[k][0] = c.aRow[k];
        b[0] = c.bColumn;
        const Mat4 product = a * b;
        EXPECT_TRUE(sameBits(product[0][0], c.expected)) << c.what << ": " << product[0][0];
    }
}

TEST(Math, ProductIntoItsOwnOperandMatchesAFreshResult) {
    const Mat4 p = perspective(40.0f, 1.6f, 0.1f, 1000.0f);
    const Mat4 v = lookAt(Vec3(1, 2, 3), Vec3(-4, 0.5f, 2), Vec3(0, 1, 0));
    const Mat4 fresh = p * v;

    Mat4 left = p;
    left = left * v;
    EXPECT_TRUE(sameBits(left, fresh));

    Mat4 right = v;
    right = p * right;
    EXPECT_TRUE(sameBits(right, fresh));

    Mat4 both = v;
    const Mat4 square = v * v;
    both = both * both;
    EXPECT_TRUE(sameBits(both, square));
}

}  // namespace
