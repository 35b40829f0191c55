// Ear clipping of one face polygon into triangle indices.

#include "model/objl.h"

namespace objl {

namespace {

// Appends, for every polygon index in ascending order, the index once for
// each of a, b and c its position equals: with distinct positions the
// triangle's three indices in ascending order.
void emitTriangle(std::vector<std::uint32_t>& out, const std::vector<Vertex>& polygon,
                  const Vector3& a, const Vector3& b, const Vector3& c)
{
    for (std::size_t j = 0; j < polygon.size(); ++j) {
        const Vector3& p = polygon[j].position;
        const auto index = static_cast<std::uint32_t>(j);
        if (p == a)
            out.push_back(index);
        if (p == b)
            out.push_back(index);
        if (p == c)
            out.push_back(index);
    }
}

bool isEar(const std::vector<Vertex>& polygon, const Vector3& prev, const Vector3& cur,
           const Vector3& next)
{
    // A corner on the straight line between its neighbours, or folded back
    // onto them, is skipped. A not-a-number angle (a corner that repeats a
    // neighbour's position) is not: the ear test decides.
    const double degrees = static_cast<double>(angleBetween(prev - cur, next - cur)) * 57.29577951307855;
    if (degrees <= 0.0 || degrees >= 180.0)
        return false;
    for (const Vertex& q : polygon) {
        if (pointInTriangle(q.position, prev, cur, next) && q.position != prev && q.position != cur
            && q.position != next)
            return false;
    }
    return true;
}

}  // namespace

void ModelLoader::triangulate(std::vector<std::uint32_t>& out, const std::vector<Vertex>& polygon)
{
    if (polygon.size() < 3)
        return;
    if (polygon.size() == 3) {
        out.insert(out.end(), {0, 1, 2});
        return;
    }

    // One walk over the working list, started over after every ear cut.
    // It ends when the last four corners close the polygon, or when it
    // reaches the end without an ear: the list is then unchanged, so
    // walking it again could never find one, and the corners left over
    // emit nothing more.
    std::vector<Vector3> w;
    w.reserve(polygon.size());
    for (const Vertex& v : polygon)
        w.push_back(v.position);

    std::size_t i = 0;
    while (i < w.size()) {
        const Vector3 prev = w[i == 0 ? w.size() - 1 : i - 1];
        const Vector3 cur = w[i];
        const Vector3 next = w[i + 1 == w.size() ? 0 : i + 1];

        if (w.size() == 4) {
            emitTriangle(out, polygon, cur, prev, next);
            Vector3 rest;
            for (const Vector3& p : w) {
                if (p != cur && p != prev && p != next) {
                    rest = p;
                    break;
                }
            }
            emitTriangle(out, polygon, prev, next, rest);
            return;
        }

        if (!isEar(polygon, prev, cur, next)) {
            ++i;
            continue;
        }
        emitTriangle(out, polygon, cur, prev, next);
        std::size_t cut = i;  // a position that equals nothing (not a number) is cut where it stands
        for (std::size_t k = 0; k < w.size(); ++k) {
            if (w[k] == cur) {
                cut = k;
                break;
            }
        }
        w.erase(w.begin() + static_cast<std::ptrdiff_t>(cut));
        i = 0;
    }
}

}  // namespace objl
