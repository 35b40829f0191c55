// The particle scene, pixel for pixel against the CPU reference of the field.
//
// Tolerance. The GPU frame and the reference agree up to two effects:
// - 8-bit blending: every overlapping spot is blended into an 8-bit
//   framebuffer, and the driver's fixed-point blend rounds differently from
//   the reference's float-then-round by up to a level per step; overlaps
//   leave at most 2 levels.
// - Sub-pixel placement: the GPU's sine may differ from the C library's by
//   an ulp, which the hash magnifies (see particle_shader_test); a spot can
//   then sit a fraction of a pixel away (up to about a pixel for near
//   particles late in the run, where the swirl turns 50 x TIME radians per
//   unit of hash). Spots vanish at their quad's border, so rasterisation
//   rules at the edges play no part.
// So where the reference is flat (its 3 x 3 neighbourhood spans at most 8
// levels: background, spot centres, broad overlaps) a GPU pixel must match
// within 2 levels at its own place; on the slopes of the spots it must lie,
// per channel, within the range of that neighbourhood widened by 2 levels,
// which admits shifts of up to a pixel. A sample at the peak of a spot only
// a few pixels wide can rise above all its neighbours when the spot moves by
// a fraction of a pixel, so one lit pixel in 200 may fall outside the range.
// Pixels that a particle with a hash on the edge of a wrap could cover are
// not compared.

#include "particles/particle_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/window_metrics.h"
#include "field_reference.h"
#include "render/camera.h"
#include "tests/render/gl_fixture.h"

namespace {

constexpr int kLevels = 2;
constexpr int kFlat = 8;

struct Size {
    int width, height;
};

struct Comparison {
    int lit = 0;            // reference pixels that are not black
    int flat = 0;           // pixels whose neighbourhood spans at most kFlat levels
    int flatDiffering = 0;  // flat pixels off by more than kLevels at their own place
    int outOfRange = 0;     // pixels outside their neighbourhood's range
    int masked = 0;
};

// gpu has the window's width; the reference covers its lower left corner,
// and the rest of the window must be black.
Comparison compare(const std::vector<unsigned char>& gpu, int gpuWidth, int gpuHeight, const fieldref::Frame& ref)
{
    Comparison result;
    for (int y = 0; y < gpuHeight; ++y) {
        for (int x = 0; x < gpuWidth; ++x) {
            const unsigned char* g = &gpu[(static_cast<std::size_t>(y) * gpuWidth + x) * 4];
            if (x >= ref.width || y >= ref.height) {
                if (g[0] || g[1] || g[2])
                    ++result.outOfRange;
                continue;
            }
            const std::size_t p = static_cast<std::size_t>(y) * ref.width + x;
            if (ref.uncertain[p]) {
                ++result.masked;
                continue;
            }
            const unsigned char* r = &ref.rgba[p * 4];
            bool flat = true, same = true, inRange = true;
            for (int c = 0; c < 3; ++c) {
                same = same && std::abs(g[c] - r[c]) <= kLevels;
                int lo = 255, hi = 0;
                for (int yy = std::max(0, y - 1); yy <= std::min(ref.height - 1, y + 1); ++yy) {
                    for (int xx = std::max(0, x - 1); xx <= std::min(ref.width - 1, x + 1); ++xx) {
                        const int v = ref.rgba[(static_cast<std::size_t>(yy) * ref.width + xx) * 4 + c];
                        lo = std::min(lo, v);
                        hi = std::max(hi, v);
                    }
                }
                inRange = inRange && g[c] >= lo - kLevels && g[c] <= hi + kLevels;
                flat = flat && hi - lo <= kFlat;
            }
            result.lit += r[0] || r[1] || r[2];
            result.flat += flat;
            result.flatDiffering += flat && !same;
            result.outOfRange += !inRange;
        }
    }
    return result;
}

class FieldTest : public testsupport::GlTest, public ::testing::WithParamInterface<Size> {
protected:
    FieldTest() : GlTest(GetParam().width, GetParam().height) {}

    void SetUp() override
    {
        GlTest::SetUp();
        setSize(GetParam().width, GetParam().height);
        // The fixed state the screensaver's window sets up.
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_MULTISAMPLE);
        scene = std::make_unique<ParticleScene>(metrics);
        scene->setupScene();
        EXPECT_NO_GL_ERROR();
    }

    void TearDown() override
    {
        scene.reset();
        GlTest::TearDown();
    }

    // As the window's size callback does.
    void setSize(int width, int height)
    {
        metrics.width = width;
        metrics.height = height;
        metrics.aspect = static_cast<float>(width) / static_cast<float>(height);
    }

    std::vector<unsigned char> renderAt(float iTime)
    {
        scene->getFrameState().setTime(iTime);
        scene->renderScene();
        EXPECT_NO_GL_ERROR();
        return window.readPixels(GetParam().width, GetParam().height);
    }

    void expectMatch(float iTime, const std::vector<unsigned char>& gpu)
    {
        SCOPED_TRACE("iTime " + std::to_string(iTime) + ", viewport " + std::to_string(metrics.width) + " x " +
                     std::to_string(metrics.height));
        const fieldref::Frame ref = fieldref::render(iTime, metrics.width, metrics.height);
        const Comparison c = compare(gpu, GetParam().width, GetParam().height, ref);
        EXPECT_LE(c.outOfRange, c.lit / 200) << c.lit << " lit pixels";
        EXPECT_EQ(c.flatDiffering, 0) << c.flat << " flat pixels";

        EXPECT_LT(c.masked, static_cast<int>(ref.uncertain.size() / 50));
    }

    WindowMetrics metrics;
    std::unique_ptr<ParticleScene> scene;
};

TEST_P(FieldTest, MatchesTheReference)
{
    for (float iTime : {3.0f, 12.5f, 600.0f}) {
        std::vector<unsigned char> gpu = renderAt(iTime);
        expectMatch(iTime, gpu);
        // A frame shows a fair number of spots, not a few stray pixels.
        const long lit = std::count_if(gpu.begin(), gpu.end(), [](unsigned char v) { return v > 64; });
        EXPECT_GT(lit, static_cast<long>(gpu.size() / 400)) << "iTime " << iTime;
    }
}

TEST_P(FieldTest, TheFirstSecondIsBlack)
{
    // Drawn over a frame with lit spots: the clear leaves nothing of it.
    renderAt(12.5f);
    for (float iTime : {0.0f, 0.5f, 0.99f}) {
        std::vector<unsigned char> gpu = renderAt(iTime);
        EXPECT_TRUE(std::all_of(gpu.begin(), gpu.end(), [](unsigned char v) { return v == 0; }))
            << "iTime " << iTime;
    }
}

// Every particle has the colour of the moment and blends over black, so
// every lit pixel is a multiple of that colour.
TEST_P(FieldTest, EveryLitPixelHasTheSameHue)
{
    for (float iTime : {3.0f, 12.5f, 600.0f}) {
        const fieldref::Particle any = fieldref::particle(0, iTime);
        const float colour[3] = {any.r, any.g, any.b};
        const float top = std::max({any.r, any.g, any.b});
        std::vector<unsigned char> gpu = renderAt(iTime);
        int checked = 0;
        for (std::size_t p = 0; p < gpu.size(); p += 4) {
            const int brightest = std::max({gpu[p], gpu[p + 1], gpu[p + 2]});
            if (brightest < 32)
                continue;
            ++checked;
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(gpu[p + c], brightest * colour[c] / top, 3.0)
                    << "iTime " << iTime << ", pixel " << p / 4 << ", channel " << c;
        }
        EXPECT_GT(checked, 100) << "iTime " << iTime;
    }
}

// Projection, viewport and the viewport uniforms follow the window size of
// the frame being drawn; a minimised (0 x 0) window draws nothing.
TEST_P(FieldTest, EachFrameUsesTheCurrentWindowSize)
{
    const int width = GetParam().width, height = GetParam().height;
    struct Step {
        int width, height;
    };
    for (const Step& s : {Step{0, 0}, Step{width / 2, height}, Step{width, height / 2}, Step{width, height}}) {
        setSize(s.width, s.height);
        std::vector<unsigned char> gpu = renderAt(12.5f);
        EXPECT_EQ(scene->getFrameState().getViewportWidth(), static_cast<float>(s.width));
        EXPECT_EQ(scene->getFrameState().getViewportHeight(), static_cast<float>(s.height));
        if (s.width == 0) {
            EXPECT_TRUE(std::all_of(gpu.begin(), gpu.end(), [](unsigned char v) { return v == 0; }));
            continue;
        }
        expectMatch(12.5f, gpu);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FieldTest, ::testing::Values(Size{320, 240}, Size{640, 360}),
                         [](const ::testing::TestParamInfo<Size>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

}  // namespace
