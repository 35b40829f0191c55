#pragma once
// The model loader: Wavefront OBJ text and its MTL material library, both
// read from "TEXTFILE" resources, into meshes of triangles with their bound
// materials. Every face corner becomes a vertex of its own.

#include <cstdint>
#include <string>
#include <vector>

namespace objl {

struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;

    Vector2() = default;
    Vector2(float x_, float y_) : x(x_), y(y_) {}
};

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

Vector3 operator-(const Vector3& a, const Vector3& b);
// Exact float comparison of all three components: no tolerance, and a
// not-a-number component makes a vector unequal even to itself.
bool operator==(const Vector3& a, const Vector3& b);
bool operator!=(const Vector3& a, const Vector3& b);

struct Vertex {
    Vector3 position;
    Vector3 normal;
    Vector2 texCoord;
};

// Fields a library leaves out keep these defaults: `dissolve` is 0, not 1.
struct Material {
    std::string name;
    Vector3 ambient;
    Vector3 diffuse;
    Vector3 specular;
    float specularExponent = 0.0f;
    float opticalDensity = 0.0f;
    float dissolve = 0.0f;
    std::int32_t illumination = 0;
    std::string ambientMap;
    std::string diffuseMap;
    std::string specularMap;
    std::string specularExponentMap;
    std::string alphaMap;
    std::string bumpMap;
};

struct Mesh {
    std::string name;
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;
    Material material;

    Mesh() = default;
    Mesh(const std::vector<Vertex>& vertices_, const std::vector<std::uint32_t>& indices_)
        : vertices(vertices_), indices(indices_)
    {
    }
};

class ModelLoader {
public:
    // The model's meshes in the order they were closed.
    std::vector<Mesh> meshes;
    // Every face vertex of the whole model, and the triangles over them.
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;
    // Every material read, in library order; a second reading appends.
    std::vector<Material> materials;

    // Reads the OBJ text `objId` (its "mtllib" lines read the library
    // `mtlId`). True when the text gave at least one mesh, vertex or index.
    // A malformed text (an index or number that cannot be used, a value line
    // with too few values, a rejected library) gives false and empty
    // meshes, vertices and indices; the reason and line go to stderr.
    bool loadModel(int objId, int mtlId);

    // Appends the materials of the library `mtlId`; a missing library reads
    // as empty text and gives one default material. False, with nothing
    // appended and the reason on stderr, when a value holds no usable number.
    bool loadMaterials(int mtlId);

    // Appends to `out` triangle indices into `polygon` by ear clipping.
    static void triangulate(std::vector<std::uint32_t>& out, const std::vector<Vertex>& polygon);

    // The vertices of one "f" line. Empty corners (two blanks in a row) are
    // skipped; a face that needs a generated normal but has fewer than three
    // corners gives no vertices. False, with `reason` set, for a corner with
    // more than three parts or an index that selects nothing.
    static bool buildFaceVertices(std::vector<Vertex>& out, const std::vector<Vector3>& positions,
                                  const std::vector<Vector2>& texCoords,
                                  const std::vector<Vector3>& normals, const std::string& line,
                                  std::string& reason);
};

Vector3 crossProduct(const Vector3& a, const Vector3& b);
float dotProduct(const Vector3& a, const Vector3& b);
float magnitude(const Vector3& a);
// Radians; not clamped, so a zero-length argument gives not-a-number.
float angleBetween(const Vector3& a, const Vector3& b);
// Barycentric test with inclusive bounds; false for a degenerate triangle.
bool pointInTriangle(const Vector3& p, const Vector3& t1, const Vector3& t2, const Vector3& t3);

// The first word of a line; only blanks and tabs separate words.
std::string lineKeyword(const std::string& line);
// Everything after the first word, without surrounding blanks and tabs.
std::string lineRest(const std::string& line);
// Cuts `text` at every `separator`: a separator right after another one
// (or at the start) gives an empty piece; a trailing one gives none.
void splitOn(const std::string& text, std::vector<std::string>& pieces, const std::string& separator);
// Cuts trailing carriage returns and line feeds, unless nothing else is left.
std::string& trimLineBreaks(std::string& text);

// The number conversions of OBJ and MTL text: leading white space skipped,
// the longest number prefix converted with "." as decimal point whatever the
// locale, anything after it ignored. False when the text starts with no
// number or the value does not fit (floats: also infinities and NaN).
bool parseFloat(const std::string& text, float& value);
bool parseInt(const std::string& text, std::int32_t& value);

// Selects by OBJ index text: 1 is the first element, -1 the last of those
// read so far. False when the text holds no number, is 0 or points outside.
template <class T>
bool elementAt(const std::vector<T>& list, const std::string& indexText, T& element)
{
    std::int32_t n = 0;
    if (!parseInt(indexText, n) || n == 0)
        return false;
    const long long size = static_cast<long long>(list.size());
    const long long k = n < 0 ? size + n : static_cast<long long>(n) - 1;
    if (k < 0 || k >= size)
        return false;
    element = list[static_cast<std::size_t>(k)];
    return true;
}

}  // namespace objl
