// Frame cost of the particle field in a hidden window at three sizes, next to
// a peer design that computes the field on the CPU every frame and streams it
// into a vertex buffer, and next to an experiment that moves fully
// transparent particles out of the clip volume.
//
//   bench_frame_cost            (needs $DISPLAY)
//
// Environment: BENCH_FRAMES (measured frames per design and size, default
// 200), BENCH_WARMUP (frames before measuring, default 20).
//
// Every frame: set the driven time, render, glFinish, swap (interval 0),
// poll events. The driven times step evenly over 5..85 s of the animation,
// after the fade-in: one cycle of the camera's sideways drift and two of its
// depth drift, so the figures cover near and far views alike.

#include <epoxy/gl.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/window_metrics.h"
#include "bench_support.h"
#include "field_reference.h"
#include "particles/particle_scene.h"
#include "platform/resources.h"
#include "render/camera.h"
#include "render/math.h"
#include "render/program.h"

// Every heap allocation of the process is counted, to tell how many a frame
// makes.
namespace {
long allocationCount = 0;
}  // namespace

void* operator new(std::size_t size)
{
    ++allocationCount;
    void* p = std::malloc(size ? size : 1);
    if (!p)
        std::abort();
    return p;
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

constexpr float kFirstTime = 5.0f;
constexpr float kTimeSpan = 80.0f;

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{640, 360}, {1280, 720}, {1920, 1080}};

constexpr int kVertexTextId = 137;
constexpr int kFragmentTextId = 136;
constexpr int kPeerVertexTextId = 9137;

// The peer's vertex program: the field arrives computed, in eye space, so the
// vertex stage only projects; the fragment stage is the shipped one.
const char* const kPeerVertexText =
    "#version 140\n"
    "in vec3 position;\n"
    "in vec2 position_tex;\n"
    "in vec4 color;\n"
    "uniform mat4 model_projection;\n"
    "out vec2 fs_tex;\n"
    "out vec4 fs_color;\n"
    "void main()\n"
    "{\n"
    "    fs_tex = position_tex;\n"
    "    fs_color = color;\n"
    "    gl_Position = model_projection * vec4(position, 1.0);\n"
    "}\n"
    "//~";

// Added after the colour in the cull experiment: a particle whose alpha is 0
// changes no pixel, so its quad may as well miss the clip volume.
const char* const kColourLine = "fs_color = vec4(r, g, b, fog_near * fog_far * startup_alpha);";
const char* const kCullLine = "\n    if (fs_color.a <= 0.0) gl_Position = vec4(2.0, 2.0, 2.0, 1.0);";

std::string shippedText(int id)
{
    const platform::ResourceEntry* entry = platform::findResource(platform::kTextFile, id);
    return entry ? std::string(reinterpret_cast<const char*>(entry->data), entry->size) : std::string();
}

// The shipped vertex text with the cull line, or empty when the colour line
// is not where it is expected.
std::string cullingVertexText()
{
    std::string text = shippedText(kVertexTextId);
    const std::size_t at = text.find(kColourLine);
    if (at == std::string::npos)
        return {};
    text.insert(at + std::char_traits<char>::length(kColourLine), kCullLine);
    return text;
}

// A hidden window with the screensaver's context hints and fixed GL state,
// swap interval 0.
class BenchWindow {
public:
    BenchWindow(int width, int height)
    {
        glfwDefaultWindowHints();
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
        glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
        glfwWindowHint(GLFW_SAMPLES, 0);
        glfwWindowHint(GLFW_STEREO, 0);
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        window_ = glfwCreateWindow(width, height, "bench", nullptr, nullptr);
        if (!window_)
            return;
        glfwMakeContextCurrent(window_);
        glfwSwapInterval(0);
        glCullFace(GL_BACK);
        glFrontFace(GL_CW);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_MULTISAMPLE);
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_POLYGON_SMOOTH);
    }
    ~BenchWindow()
    {
        if (window_)
            glfwDestroyWindow(window_);
    }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    GLFWwindow* get() const { return window_; }

    std::vector<unsigned char> readPixels(int width, int height) const
    {
        std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

private:
    GLFWwindow* window_ = nullptr;
};

// The peer design: every frame the vertex program's formulas run on the CPU
// for all 12288 particles (the test reference of the field), four vertices
// per particle are streamed into a vertex buffer, and one plain indexed draw
// shows them.
class PeerField {
public:
    static constexpr int kFloatsPerVertex = 9;  // eye-space x y z, u v, r g b a

    explicit PeerField(const WindowMetrics& metrics) : metrics_(metrics)
    {
        platform::addTestResource(platform::kTextFile, kPeerVertexTextId, kPeerVertexText);
        registry_.addProgram("PeerProgram", kPeerVertexTextId, kFragmentTextId);
        platform::clearTestResources();
        program_ = registry_.getProgram("PeerProgram");
        attributes_[0] = program_->getAttribLocation("position");
        attributes_[1] = program_->getAttribLocation("position_tex");
        attributes_[2] = program_->getAttribLocation("color");

        // The quad of the shipped model: its four corners and two triangles.
        std::vector<std::uint32_t> indices;
        indices.reserve(fieldref::kInstanceCount * 6);
        for (std::uint32_t b = 0; b < fieldref::kInstanceCount * 4u; b += 4)
            for (std::uint32_t k : {0u, 1u, 2u, 3u, 2u, 1u})
                indices.push_back(b + k);
        glGenBuffers(1, &vertexBuffer_);
        glGenBuffers(1, &indexBuffer_);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
                     indices.data(), GL_STATIC_DRAW);
        vertices_.resize(static_cast<std::size_t>(fieldref::kInstanceCount) * 4 * kFloatsPerVertex);
    }
    ~PeerField()
    {
        glDeleteBuffers(1, &vertexBuffer_);
        glDeleteBuffers(1, &indexBuffer_);
    }
    PeerField(const PeerField&) = delete;
    PeerField& operator=(const PeerField&) = delete;

    void render(float time)
    {
        const double start = bench::nowMs();
        static constexpr float kCorners[4][4] = {{-1, 1, 0, 1}, {-1, -1, 0, 0}, {1, 1, 1, 1}, {1, -1, 1, 0}};
        float* out = vertices_.data();
        for (int id = 0; id < fieldref::kInstanceCount; ++id) {
            const fieldref::Particle p = fieldref::particle(id, time);
            for (const auto& c : kCorners) {
                const float v[kFloatsPerVertex] = {p.x + c[0], p.y + c[1], p.z, c[2], c[3], p.r, p.g, p.b, p.a};
                out = std::copy(v, v + kFloatsPerVertex, out);
            }
        }
        lastFieldMs = bench::nowMs() - start;

        const Mat4 projection = perspective(ParticleScene::kFieldOfView, metrics_.aspect,
                                            ParticleScene::kNearPlane, ParticleScene::kFarPlane);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glViewport(0, 0, metrics_.width, metrics_.height);
        program_->use();
        glUniformMatrix4fv(program_->getUniformLocation("model_projection"), 1, GL_FALSE, projection.data());
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices_.size() * sizeof(float)), vertices_.data(),
                     GL_STREAM_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
        const int components[3] = {3, 2, 4};
        std::uintptr_t offset = 0;
        for (int i = 0; i < 3; ++i) {
            if (attributes_[i] >= 0) {
                glEnableVertexAttribArray(static_cast<GLuint>(attributes_[i]));
                glVertexAttribPointer(static_cast<GLuint>(attributes_[i]), components[i], GL_FLOAT, GL_FALSE,
                                      kFloatsPerVertex * sizeof(float), reinterpret_cast<const void*>(offset));
            }
            offset += static_cast<std::uintptr_t>(components[i]) * sizeof(float);
        }
        glDrawElements(GL_TRIANGLES, fieldref::kInstanceCount * 6, GL_UNSIGNED_INT, nullptr);
        // Leave no array enabled that the scene's draws do not expect.
        for (GLint location : attributes_)
            if (location >= 0)
                glDisableVertexAttribArray(static_cast<GLuint>(location));
    }

    double lastFieldMs = 0.0;

private:
    const WindowMetrics& metrics_;
    ProgramRegistry registry_;
    GLFWProgram* program_ = nullptr;
    GLint attributes_[3] = {-1, -1, -1};
    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
    std::vector<float> vertices_;
};

struct FrameSamples {
    std::vector<double> frameMs;   // the whole pass: render, glFinish, swap, poll
    std::vector<double> renderMs;  // render calls until glFinish returns
    std::vector<double> issueMs;   // the render calls alone (wall clock)
    std::vector<double> fieldMs;   // the peer's CPU field, when there is one
    long allocations = 0;          // heap allocations inside the render calls
};

float drivenTime(int frame, int frames)
{
    return kFirstTime + kTimeSpan * static_cast<float>(frame) / static_cast<float>(frames);
}

template <typename Render>
FrameSamples runFrames(GLFWwindow* window, int warmup, int frames, Render render, const double* fieldMs = nullptr)
{
    FrameSamples s;
    for (int i = 0; i < warmup; ++i) {
        render(kFirstTime);
        glFinish();
        glfwSwapBuffers(window);
        glfwPollEvents();
    }
    for (int i = 0; i < frames; ++i) {
        const float t = drivenTime(i, frames);
        const long allocationsBefore = allocationCount;
        const double t0 = bench::nowMs();
        render(t);
        const double t1 = bench::nowMs();
        s.allocations += allocationCount - allocationsBefore;
        glFinish();
        const double t2 = bench::nowMs();
        glfwSwapBuffers(window);
        glfwPollEvents();
        const double t3 = bench::nowMs();
        s.issueMs.push_back(t1 - t0);
        s.renderMs.push_back(t2 - t0);
        s.frameMs.push_back(t3 - t0);
        if (fieldMs)
            s.fieldMs.push_back(*fieldMs);
    }
    return s;
}

// Puts a function that does nothing in an epoxy entry-point slot while in
// scope, so that only the program's own code is left to time.
template <typename Fn>
struct Noop;
template <typename R, typename... A>
struct Noop<R (*)(A...)> {
    static R call(A...) { return R(); }
};

template <typename Fn>
class StubbedEntryPoint {
public:
    explicit StubbedEntryPoint(Fn& slot) : slot_(slot), saved_(slot) { slot_ = &Noop<Fn>::call; }
    ~StubbedEntryPoint() { slot_ = saved_; }
    StubbedEntryPoint(const StubbedEntryPoint&) = delete;
    StubbedEntryPoint& operator=(const StubbedEntryPoint&) = delete;

private:
    Fn& slot_;
    Fn saved_;
};

// Microseconds per renderScene with every GL entry point it calls stubbed
// out: the matrices, the uniform and location lookups, the binds and the
// bookkeeping of the scene and the drawable, without the driver's work.
bench::Stats ownCodeMicroseconds(ParticleScene& scene)
{
    StubbedEntryPoint s1(epoxy_glBindFramebuffer);
    StubbedEntryPoint s2(epoxy_glClear);
    StubbedEntryPoint s3(epoxy_glViewport);
    StubbedEntryPoint s4(epoxy_glUseProgram);
    StubbedEntryPoint s5(epoxy_glUniformMatrix4fv);
    StubbedEntryPoint s6(epoxy_glUniform1f);
    StubbedEntryPoint s7(epoxy_glBindBuffer);
    StubbedEntryPoint s8(epoxy_glEnableVertexAttribArray);
    StubbedEntryPoint s9(epoxy_glVertexAttribPointer);
    StubbedEntryPoint s10(epoxy_glDrawElementsInstanced);
    StubbedEntryPoint s11(epoxy_glDrawElements);
    StubbedEntryPoint s12(epoxy_glGetUniformLocation);
    StubbedEntryPoint s13(epoxy_glGetAttribLocation);
    constexpr int kBatches = 300;
    constexpr int kCallsPerBatch = 100;
    std::vector<double> perCall;
    for (int b = 0; b < kBatches; ++b) {
        const double start = bench::threadCpuMs();
        for (int i = 0; i < kCallsPerBatch; ++i) {
            scene.getFrameState().setTime(drivenTime(i, kCallsPerBatch));
            scene.renderScene();
        }
        perCall.push_back((bench::threadCpuMs() - start) * 1000.0 / kCallsPerBatch);
    }
    return bench::summarize(perCall);
}

// Counts of particles whose alpha is 0 although their quad reaches the
// viewport: their fragments are shaded and blended without changing a pixel.
struct TransparentShare {
    double transparent = 0;         // particles with alpha 0, mean per frame
    double rasterized = 0;          // of those, quads in front of the eye that reach the viewport
    double wastedMegapixels = 0;    // their covered area, clipped to the viewport
    double visibleMegapixels = 0;   // the covered area of particles with alpha > 0
};

TransparentShare transparentShare(int width, int height, int frames)
{
    TransparentShare share;
    float proj[16];
    fieldref::projection(static_cast<float>(width) / static_cast<float>(height), proj);
    for (int f = 0; f < frames; ++f) {
        const float t = drivenTime(f, frames);
        for (int id = 0; id < fieldref::kInstanceCount; ++id) {
            const fieldref::Particle p = fieldref::particle(id, t);
            const float w = -p.z;
            double area = 0.0;
            if (w > ParticleScene::kNearPlane) {
                auto wx = [&](float ex) { return (proj[0] * ex / w + 1.0f) * 0.5f * static_cast<float>(width); };
                auto wy = [&](float ey) { return (proj[5] * ey / w + 1.0f) * 0.5f * static_cast<float>(height); };
                const double x0 = std::max(0.0f, wx(p.x - 1.0f)), x1 = std::min<float>(width, wx(p.x + 1.0f));
                const double y0 = std::max(0.0f, wy(p.y - 1.0f)), y1 = std::min<float>(height, wy(p.y + 1.0f));
                if (x1 > x0 && y1 > y0)
                    area = (x1 - x0) * (y1 - y0);
            }
            if (p.a <= 0.0f) {
                share.transparent += 1;
                if (area > 0.0) {
                    share.rasterized += 1;
                    share.wastedMegapixels += area * 1e-6;
                }
            } else {
                share.visibleMegapixels += area * 1e-6;
            }
        }
    }
    share.transparent /= frames;
    share.rasterized /= frames;
    share.wastedMegapixels /= frames;
    share.visibleMegapixels /= frames;
    return share;
}

struct Comparison {
    int identicalFrames = 0;
    int frames = 0;
    double peerDifferingShare = 0;  // pixels where the peer differs by more than 2 in a channel
};

// Frames of the scene next to the culling scene (must match byte for byte)
// and next to the peer (should match up to rounding) at a few times.
Comparison compareFrames(BenchWindow& window, const WindowMetrics& metrics, ParticleScene& scene,
                         ParticleScene* culling, PeerField& peer)
{
    Comparison c;
    const float times[] = {0.5f, 1.5f, 3.0f, 8.0f, 20.0f, 37.0f, 55.0f, 80.0f};
    long differing = 0, pixels = 0;
    for (float t : times) {
        scene.getFrameState().setTime(t);
        scene.renderScene();
        const std::vector<unsigned char> shown = window.readPixels(metrics.width, metrics.height);
        if (culling) {
            culling->getFrameState().setTime(t);
            culling->renderScene();
            c.identicalFrames += window.readPixels(metrics.width, metrics.height) == shown;
            ++c.frames;
        }
        peer.render(t);
        const std::vector<unsigned char> peerShown = window.readPixels(metrics.width, metrics.height);
        for (std::size_t i = 0; i < shown.size(); i += 4) {
            bool differs = false;
            for (int k = 0; k < 4; ++k)
                differs |= std::abs(static_cast<int>(shown[i + k]) - static_cast<int>(peerShown[i + k])) > 2;
            differing += differs;
            ++pixels;
        }
    }
    c.peerDifferingShare = pixels ? static_cast<double>(differing) / static_cast<double>(pixels) : 0.0;
    return c;
}

std::string sizeText(const Size& size)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

void onGlfwError(int, const char* description)
{
    std::fprintf(stderr, "GLFW: %s\n", description);
}

}  // namespace

int main()
{
    const int frames = bench::envCount("BENCH_FRAMES", 200);
    const int warmup = bench::envCount("BENCH_WARMUP", 20);
    glfwSetErrorCallback(onGlfwError);
    if (!glfwInit()) {
        std::fprintf(stderr, "bench_frame_cost: no display (set DISPLAY, or run scripts/bench)\n");
        return 1;
    }

    const std::string cullText = cullingVertexText();
    bench::Table table("Frame cost, " + std::to_string(frames) + " frames after " + std::to_string(warmup) +
                           " warm-up, driven time 5..85 s (ms per frame)",
                       {"size / design", "median", "p95", "fps", "to glFinish", "issue", "CPU field", "x scene"});
    bench::JsonLine json;
    json.add("bench", "frame_cost").add("frames", frames).add("warmup", warmup);
    std::string sizesJson = "[";
    std::string renderer;
    bench::Stats own;
    double allocationsPerFrame = 0;
    Comparison comparison;
    std::vector<std::string> notes;

    for (const Size& size : kSizes) {
        BenchWindow window(size.width, size.height);
        if (!window.get()) {
            std::fprintf(stderr, "bench_frame_cost: could not open a %s window\n", sizeText(size).c_str());
            glfwTerminate();
            return 1;
        }
        if (renderer.empty())
            renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        WindowMetrics metrics;
        metrics.width = size.width;
        metrics.height = size.height;
        metrics.aspect = static_cast<float>(size.width) / static_cast<float>(size.height);

        auto scene = std::make_unique<ParticleScene>(metrics);
        std::unique_ptr<ParticleScene> culling;
        {
            bench::QuietStdout quiet;
            scene->setupScene();
            if (!cullText.empty()) {
                platform::addTestResource(platform::kTextFile, kVertexTextId, cullText);
                culling = std::make_unique<ParticleScene>(metrics);
                culling->setupScene();
                platform::clearTestResources();
            }
        }
        PeerField peer(metrics);

        auto renderScene = [&](float t) {
            scene->getFrameState().setTime(t);
            scene->renderScene();
        };
        const FrameSamples real = runFrames(window.get(), warmup, frames, renderScene);
        const FrameSamples streamed =
            runFrames(window.get(), warmup, frames, [&](float t) { peer.render(t); }, &peer.lastFieldMs);
        FrameSamples culled;
        if (culling)
            culled = runFrames(window.get(), warmup, frames, [&](float t) {
                culling->getFrameState().setTime(t);
                culling->renderScene();
            });

        const bench::Stats realFrame = bench::summarize(real.frameMs);
        const std::string name = sizeText(size);
        auto addRow = [&](const std::string& design, const FrameSamples& s) {
            const bench::Stats frame = bench::summarize(s.frameMs);
            table.addRow({name + " " + design, bench::fixed(frame.median, 2), bench::fixed(frame.p95, 2),
                          bench::fixed(1000.0 / frame.median, 1), bench::fixed(bench::summarize(s.renderMs).median, 2),
                          bench::fixed(bench::summarize(s.issueMs).median, 3),
                          s.fieldMs.empty() ? "-" : bench::fixed(bench::summarize(s.fieldMs).median, 2),
                          bench::fixed(frame.median / realFrame.median, 2)});
        };
        addRow("scene", real);
        addRow("peer", streamed);
        if (culling)
            addRow("culled", culled);

        const bench::Stats peerFrame = bench::summarize(streamed.frameMs);
        bench::JsonLine entry;
        entry.add("width", size.width).add("height", size.height);
        entry.add("median_ms", realFrame.median).add("p95_ms", realFrame.p95).add("fps", 1000.0 / realFrame.median);
        entry.add("to_finish_ms", bench::summarize(real.renderMs).median);
        entry.add("issue_ms", bench::summarize(real.issueMs).median);
        entry.add("peer_median_ms", peerFrame.median).add("peer_p95_ms", peerFrame.p95);
        entry.add("peer_fps", 1000.0 / peerFrame.median);
        entry.add("peer_cpu_field_ms", bench::summarize(streamed.fieldMs).median);
        entry.add("peer_ratio", peerFrame.median / realFrame.median);
        if (culling) {
            const bench::Stats culledFrame = bench::summarize(culled.frameMs);
            entry.add("culled_median_ms", culledFrame.median).add("culled_p95_ms", culledFrame.p95);
        }
        const TransparentShare share = transparentShare(size.width, size.height, frames);
        entry.add("transparent_particles", share.transparent).add("transparent_rasterized", share.rasterized);
        entry.add("transparent_mpx", share.wastedMegapixels).add("visible_mpx", share.visibleMegapixels);
        sizesJson += (sizesJson.size() > 1 ? ", " : "") + entry.text();

        if (&size == &kSizes[0]) {
            allocationsPerFrame = static_cast<double>(real.allocations) / frames;
            comparison = compareFrames(window, metrics, *scene, culling.get(), peer);
            own = ownCodeMicroseconds(*scene);
        }
        char note[256];
        std::snprintf(note, sizeof note,
                      "  transparent particles at %s: %.0f of %d per frame; %.0f of them reach the viewport "
                      "and cover %.2f Mpx (the visible ones: %.2f Mpx)",
                      name.c_str(), share.transparent, fieldref::kInstanceCount, share.rasterized,
                      share.wastedMegapixels, share.visibleMegapixels);
        notes.push_back(note);
        culling.reset();
        scene.reset();
    }
    glfwTerminate();

    table.print();
    std::printf("  renderer: %s\n", renderer.c_str());
    for (const std::string& note : notes)
        std::printf("%s\n", note.c_str());
    std::printf("  own CPU per frame (renderScene with GL stubbed): median %.2f us, p95 %.2f us; "
                "heap allocations per frame: %.1f\n",
                own.median, own.p95, allocationsPerFrame);
    if (comparison.frames)
        std::printf("  culled frames identical to the scene's: %d of %d\n", comparison.identicalFrames,
                    comparison.frames);
    std::printf("  peer pixels differing by more than 2 from the scene's: %.4f%%\n",
                comparison.peerDifferingShare * 100.0);

    json.add("renderer", renderer).addRaw("sizes", sizesJson + "]");
    json.add("own_cpu_us", own.median).add("own_cpu_p95_us", own.p95);
    json.add("allocations_per_frame", allocationsPerFrame);
    json.add("culled_identical_frames", comparison.identicalFrames).add("compared_frames", comparison.frames);
    json.add("peer_differing_share", comparison.peerDifferingShare);
    json.print();
    return 0;
}
