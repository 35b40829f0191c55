// Model loading: the scene's mesh, MeshData(141, 140, 1.0), from resource
// text to the interleaved 24-float vertices, and the ear-clipping
// triangulation on convex polygons of growing size.
//
//   bench_model_load
//
// Environment: BENCH_SECONDS_PER_ROW (time spent measuring each row, default
// 1). The model loader's progress trace is formatted but discarded.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "model/mesh_data.h"
#include "model/objl.h"

namespace {

constexpr int kModelText = 141;
constexpr int kMaterialText = 140;

struct Row {
    std::string name;
    bench::Stats micros;
    int emitted = 0;  // indices the call produced, as a check on the work done
};

// Runs work until the budget is spent (at least five samples) and returns
// microseconds per call. Short calls are timed in batches of a size that
// makes a sample last about 50 us, so the clock's own cost stays out.
template <typename Work>
bench::Stats measure(double budgetMs, Work work)
{
    int batch = 1;
    for (;;) {
        const double start = bench::nowMs();
        for (int i = 0; i < batch; ++i)
            work();
        if (bench::nowMs() - start >= 0.05 || batch >= (1 << 20))
            break;
        batch *= 2;
    }
    std::vector<double> samples;
    const double end = bench::nowMs() + budgetMs;
    while (samples.size() < 5 || bench::nowMs() < end) {
        const double start = bench::nowMs();
        for (int i = 0; i < batch; ++i)
            work();
        samples.push_back((bench::nowMs() - start) * 1000.0 / batch);
    }
    bench::Stats stats = bench::summarize(samples);
    stats.count *= batch;
    return stats;
}

// A regular polygon of n corners in the plane z = 0, counter-clockwise.
std::vector<objl::Vertex> convexPolygon(int n)
{
    std::vector<objl::Vertex> polygon(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double angle = 2.0 * 3.14159265358979323846 * i / n;
        polygon[static_cast<std::size_t>(i)].position =
            objl::Vector3(static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)), 0.0f);
        polygon[static_cast<std::size_t>(i)].normal = objl::Vector3(0.0f, 0.0f, 1.0f);
    }
    return polygon;
}

}  // namespace

int main()
{
    const double budgetMs = 1000.0 * bench::envCount("BENCH_SECONDS_PER_ROW", 1);
    std::vector<Row> rows;

    {
        bench::QuietStdout quiet;
        int indices = 0;
        const bench::Stats s = measure(budgetMs, [&] {
            const MeshData mesh(kModelText, kMaterialText, 1.0f);
            indices = mesh.getIndexCount();
        });
        rows.push_back({"MeshData(141, 140, 1.0)", s, indices});
    }

    for (int corners : {4, 16, 64, 256}) {
        const std::vector<objl::Vertex> polygon = convexPolygon(corners);
        std::vector<std::uint32_t> out;
        const bench::Stats s = measure(budgetMs, [&] {
            out.clear();
            objl::ModelLoader::triangulate(out, polygon);
        });
        rows.push_back({"triangulate, " + std::to_string(corners) + " corners", s, static_cast<int>(out.size())});
    }

    bench::Table table("Model loading (microseconds per call)", {"work", "median", "p95", "calls", "indices"});
    bench::JsonLine json;
    json.add("bench", "model_load");
    for (const Row& row : rows)
        table.addRow({row.name, bench::fixed(row.micros.median, 2), bench::fixed(row.micros.p95, 2),
                      std::to_string(row.micros.count), std::to_string(row.emitted)});
    table.print();

    // Growth between neighbouring sizes: each step has four times the corners,
    // so an exponent k means the time grows as corners^k.
    const int first = 1;
    for (std::size_t i = first + 1; i < rows.size(); ++i) {
        const double k = std::log(rows[i].micros.median / rows[i - 1].micros.median) / std::log(4.0);
        std::printf("  growth %s -> %s: time x%.1f, as corners^%.2f\n", rows[i - 1].name.c_str(),
                    rows[i].name.c_str(), rows[i].micros.median / rows[i - 1].micros.median, k);
    }

    json.add("mesh_data_us", rows[0].micros.median).add("mesh_data_p95_us", rows[0].micros.p95);
    std::string polygons = "[";
    for (std::size_t i = first; i < rows.size(); ++i) {
        bench::JsonLine entry;
        entry.add("corners", 4 << (2 * (i - first))).add("median_us", rows[i].micros.median);
        entry.add("p95_us", rows[i].micros.p95).add("indices", rows[i].emitted);
        polygons += (i > static_cast<std::size_t>(first) ? ", " : "") + entry.text();
    }
    json.addRaw("triangulate", polygons + "]");
    json.print();
    return 0;
}
