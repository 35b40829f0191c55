#include "render/camera.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "matrix_checks.h"

namespace {

using testsupport::apply;
using testsupport::sameBits;

void expectNearVec4(const Vec4& actual, const Vec4& expected) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6f) << "component " << i;
}

Vec4 point(const Vec3& p) { return Vec4(p[0], p[1], p[2], 1.0f); }

TEST(Camera, PlacedAtTheOriginItsViewIsTheIdentity) {
    Camera camera(0.0f, 0.0f, 0.0f);
    camera.pitch(0.0f);
    camera.updateView(0);
    const Mat4 v = camera.getView();
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(v[c][r], c == r ? 1.0f : 0.0f) << "column " << c << ", row " << r;
}

// The view reveals the camera's frame: it takes the eye to the origin, the
// target (eye + forward) to (0, 0, -1) and eye + up to (0, 1, 0).
TEST(Camera, PitchTurnsForwardAndUpAboutTheRightAxis) {
    struct Case {
        float angle;
        Vec3 forward, up;
    };
    const float h = 0.70710678f;
    const std::vector<Case> cases = {
        {0.0f, Vec3(0, 0, -1), Vec3(0, 1, 0)},
        {90.0f, Vec3(0, 1, 0), Vec3(0, 0, 1)},
        {-90.0f, Vec3(0, -1, 0), Vec3(0, 0, -1)},
        {45.0f, Vec3(0, h, -h), Vec3(0, h, h)},
    };
    const Vec3 eye(1.0f, 2.0f, 3.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        Camera camera(eye[0], eye[1], eye[2]);
        camera.pitch(c.angle);
        camera.updateView(0);
        const Mat4 v = camera.getView();
        expectNearVec4(apply(v, point(eye)), Vec4(0, 0, 0, 1));
        expectNearVec4(apply(v, point(eye + c.forward)), Vec4(0, 0, -1, 1));
        expectNearVec4(apply(v, point(eye + c.up)), Vec4(0, 1, 0, 1));
        // Right is never changed.
        expectNearVec4(apply(v, point(eye + Vec3(1, 0, 0))), Vec4(1, 0, 0, 1));
    }
}

TEST(Camera, PitchesAccumulate) {
    Camera twice(0.0f, 0.0f, 0.0f), once(0.0f, 0.0f, 0.0f);
    twice.pitch(45.0f);
    twice.pitch(45.0f);
    once.pitch(90.0f);
    twice.updateView(0);
    once.updateView(0);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_NEAR(twice.getView()[c][r], once.getView()[c][r], 1e-6f);
}

TEST(Camera, UpdateViewMakesItsSlotCurrent) {
    Camera camera(0.0f, 0.0f, 0.0f);
    const Mat4 expected = lookAt(Vec3(0, 0, 0), Vec3(0, 0, -1), Vec3(0, 1, 0));
    for (int slot = 0; slot < Camera::kViewCount; ++slot) {
        camera.updateView(slot);
        EXPECT_TRUE(sameBits(camera.getView(), expected)) << "slot " << slot;
    }

    camera.updateView(0);
    camera.pitch(90.0f);
    camera.updateView(2);
    // Slot 2 now holds the pitched view, looking up +Y.
    expectNearVec4(apply(camera.getView(), Vec4(0, 1, 0, 1)), Vec4(0, 0, -1, 1));
}

TEST(Camera, ProjectionRoundTripsAndLeavesTheViewAlone) {
    Camera camera(0.0f, 0.0f, 0.0f);
    camera.updateView(0);
    const Mat4 view = camera.getView();

    Mat4 p = perspective(40.0f, 1.6f, 0.1f, 1000.0f);
    p[1][3] = -0.0f;  // every bit survives, signed zero included
    camera.setProjection(p);
    EXPECT_TRUE(sameBits(camera.getProjection(), p));
    EXPECT_TRUE(sameBits(camera.getView(), view));
}

TEST(Camera, MatricesReadAsZerosBeforeTheyAreWritten) {
    const Camera camera(0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(sameBits(camera.getView(), Mat4(0.0f)));
    EXPECT_TRUE(sameBits(camera.getProjection(), Mat4(0.0f)));
}

TEST(FrameState, StoresTimeAndViewport) {
    FrameState state(0.0f);
    EXPECT_EQ(state.getTime(), 0.0f);
    EXPECT_EQ(state.getViewportWidth(), 0.0f);
    EXPECT_EQ(state.getViewportHeight(), 0.0f);

    state.setViewport(1920.0f, 1080.0f);
    state.setTime(12.5f);
    EXPECT_EQ(state.getViewportWidth(), 1920.0f);
    EXPECT_EQ(state.getViewportHeight(), 1080.0f);
    EXPECT_EQ(state.getTime(), 12.5f);

    EXPECT_EQ(FrameState(3.25f).getTime(), 3.25f);
}

}  // namespace
