// The OBJ and MTL readers. Both run directly on the bytes of their resource:
// a text is exactly `size` bytes long and has no terminator.

#include "model/objl.h"
#include "platform/resources.h"

#include <cstring>
#include <iostream>
#include <type_traits>

namespace objl {

namespace {

struct Text {
    const char* data = nullptr;
    std::size_t size = 0;
};

// A resource that does not exist reads as an empty text.
Text resourceText(int id)
{
    Text text;
    if (const platform::ResourceEntry* e = platform::findResource(platform::kTextFile, id)) {
        text.data = reinterpret_cast<const char*>(e->data);
        text.size = e->size;
    }
    return text;
}

// Calls `handle` (line, line number) for each line; lines end at a line feed
// and the last one needs none. Stops at the first line `handle` refuses.
template <class Handle>
bool forEachLine(const Text& text, Handle handle)
{
    std::size_t pos = 0;
    std::size_t number = 0;
    std::string line;
    while (pos < text.size) {
        const void* found = std::memchr(text.data + pos, '\n', text.size - pos);
        const std::size_t end =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data) : text.size;
        line.assign(text.data + pos, end - pos);
        pos = found ? end + 1 : end;
        if (!handle(line, ++number))
            return false;
    }
    return true;
}

// A carriage return goes together with the character after it.
void removeCarriageReturns(std::string& line)
{
    for (std::size_t p = line.find('\r'); p != std::string::npos; p = line.find('\r'))
        line.erase(p, 2);
}

// A piece of text for a message, without the line break it may end with.
std::string quoted(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return "\"" + text + "\"";
}

// The first `count` pieces of a value line as floats.
bool readFloats(const std::string& keyword, const std::vector<std::string>& pieces,
                std::size_t count, float* values, std::string& reason)
{
    if (pieces.size() < count) {
        reason = quoted(keyword) + " needs " + std::to_string(count) + " values, found "
                 + std::to_string(pieces.size());
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!parseFloat(pieces[i], values[i])) {
            reason = quoted(keyword) + " value " + quoted(pieces[i]) + " is not a usable number";
            return false;
        }
    }
    return true;
}

template <class T>
bool selectElement(const std::vector<T>& list, const std::string& indexText, const char* listName,
                   T& element, std::string& reason)
{
    if (elementAt(list, indexText, element))
        return true;
    std::int32_t n = 0;
    if (!parseInt(indexText, n))
        reason = "face index " + quoted(indexText) + " holds no usable number";
    else if (n == 0)
        reason = "face index 0: indices start at 1";
    else
        reason = "face index " + std::to_string(n) + " points outside the "
                 + std::to_string(list.size()) + " " + listName + " read so far";
    return false;
}

// The state of one OBJ reading.
struct ObjReading {
    std::vector<Vector3> positions;
    std::vector<Vector2> texCoords;
    std::vector<Vector3> normals;
    std::vector<Vertex> openVertices;
    std::vector<std::uint32_t> openIndices;
    std::vector<std::string> materialNames;
    bool started = false;
    std::string currentName;
    std::uint32_t progressCounter = 1000;

    bool meshOpen() const { return !openIndices.empty() && !openVertices.empty(); }

    void closeMesh(std::vector<Mesh>& meshes, const std::string& name)
    {
        meshes.emplace_back(openVertices, openIndices);
        meshes.back().name = name;
        openVertices.clear();
        openIndices.clear();
    }

    // The first line, the first after an object, group or "usemtl" line,
    // and every thousandth after that report the open mesh.
    void progressStep()
    {
        progressCounter = (progressCounter + 1) % 1000;
        if (progressCounter != 1 || currentName.empty())
            return;
        std::cout << "\r- " << currentName << "\t| vertices > " << positions.size()
                  << "\t| texcoords > " << texCoords.size() << "\t| normals > " << normals.size()
                  << "\t| triangles > " << openVertices.size() / 3;
        if (!materialNames.empty())
            std::cout << "\t| material: " << materialNames.back();
    }
};

}  // namespace

bool ModelLoader::buildFaceVertices(std::vector<Vertex>& out, const std::vector<Vector3>& positions,
                                    const std::vector<Vector2>& texCoords,
                                    const std::vector<Vector3>& normals, const std::string& line,
                                    std::string& reason)
{
    out.clear();
    std::vector<std::string> corners;
    std::vector<std::string> parts;
    splitOn(lineRest(line), corners, " ");

    // One working vertex for all corners: a field a corner does not set
    // keeps the previous corner's value.
    Vertex v;
    bool missingNormal = false;
    for (const std::string& corner : corners) {
        splitOn(corner, parts, "/");
        if (parts.empty())
            continue;
        if (parts.size() > 3) {
            reason = "face corner " + quoted(corner) + " has more than three parts";
            return false;
        }
        if (!selectElement(positions, parts[0], "positions", v.position, reason))
            return false;
        if (parts.size() == 2 || (parts.size() == 3 && !parts[1].empty())) {
            if (!selectElement(texCoords, parts[1], "texture coordinates", v.texCoord, reason))
                return false;
        } else {
            v.texCoord = Vector2();
        }
        if (parts.size() == 3) {
            if (!selectElement(normals, parts[2], "normals", v.normal, reason))
                return false;
        } else {
            missingNormal = true;
        }
        out.push_back(v);
    }

    if (missingNormal) {
        // The generated normal needs three corners; a shorter face makes no
        // triangle anyway and is dropped.
        if (out.size() < 3) {
            out.clear();
            return true;
        }
        const Vector3 n = crossProduct(out[0].position - out[1].position,
                                       out[2].position - out[1].position);
        for (Vertex& corner : out)
            corner.normal = n;
    }
    return true;
}

bool ModelLoader::loadModel(int objId, int mtlId)
{
    const Text text = resourceText(objId);
    meshes.clear();
    vertices.clear();
    indices.clear();
    const std::size_t materialsBefore = materials.size();

    ObjReading r;
    std::vector<std::string> pieces;
    std::vector<Vertex> face;
    std::vector<std::uint32_t> corners;
    std::string reason;
    std::size_t failedLine = 0;

    const bool ok = forEachLine(text, [&](std::string& line, std::size_t number) {
        failedLine = number;
        removeCarriageReturns(line);
        r.progressStep();
        const std::string k = lineKeyword(line);

        if (k == "o" || k == "g" || (!line.empty() && line[0] == 'g')) {
            // Faces before the first object or group line join its mesh.
            const bool named = k == "o" || k == "g";
            if (!r.started) {
                r.started = true;
                r.currentName = named ? lineRest(line) : "unnamed";
            } else if (!r.meshOpen()) {
                r.currentName = named ? lineRest(line) : "unnamed";
            } else {
                r.closeMesh(meshes, r.currentName);
                r.currentName = lineRest(line);
            }
            std::cout << std::endl;
            r.progressCounter = 0;
        } else if (k == "v" || k == "vn") {
            float xyz[3];
            splitOn(lineRest(line), pieces, " ");
            if (!readFloats(k, pieces, 3, xyz, reason))
                return false;
            (k == "v" ? r.positions : r.normals).emplace_back(xyz[0], xyz[1], xyz[2]);
        } else if (k == "vt") {
            float uv[2];
            splitOn(lineRest(line), pieces, " ");
            if (!readFloats(k, pieces, 2, uv, reason))
                return false;
            r.texCoords.emplace_back(uv[0], uv[1]);
        } else if (k == "f") {
            if (!buildFaceVertices(face, r.positions, r.texCoords, r.normals, line, reason))
                return false;
            r.openVertices.insert(r.openVertices.end(), face.begin(), face.end());
            vertices.insert(vertices.end(), face.begin(), face.end());
            corners.clear();
            triangulate(corners, face);
            const auto openBase = static_cast<std::uint32_t>(r.openVertices.size() - face.size());
            const auto base = static_cast<std::uint32_t>(vertices.size() - face.size());
            for (std::uint32_t c : corners) {
                r.openIndices.push_back(openBase + c);
                indices.push_back(base + c);
            }
        } else if (k == "usemtl") {
            // The faces so far form a mesh of their own; names bind to
            // meshes by position once the text is read.
            r.materialNames.push_back(lineRest(line));
            if (r.meshOpen())
                r.closeMesh(meshes, r.currentName + "_2");
            r.progressCounter = 0;
        } else if (k == "mtllib") {
            if (!loadMaterials(mtlId)) {
                reason = "its material library " + std::to_string(mtlId) + " was rejected";
                return false;
            }
        }
        return true;
    });
    std::cout << std::endl;

    if (!ok) {
        std::cerr << "OBJ text " << objId << ", line " << failedLine << ": " << reason << std::endl;
        meshes.clear();
        vertices.clear();
        indices.clear();
        materials.resize(materialsBefore);
        return false;
    }

    if (r.meshOpen())
        r.closeMesh(meshes, r.currentName);

    // A name with no mesh of its position, or no material of its name,
    // binds nothing.
    for (std::size_t k = 0; k < r.materialNames.size() && k < meshes.size(); ++k) {
        for (const Material& m : materials) {
            if (m.name == r.materialNames[k]) {
                meshes[k].material = m;
                break;
            }
        }
    }
    return !meshes.empty() || !vertices.empty() || !indices.empty();
}

bool ModelLoader::loadMaterials(int mtlId)
{
    const Text text = resourceText(mtlId);
    std::vector<Material> read;
    Material pending;
    bool started = false;
    std::vector<std::string> pieces;
    std::string reason;
    std::size_t failedLine = 0;

    // Unlike OBJ lines, carriage returns stay: the number conversions skip
    // them, names drop them, map texts keep them.
    const bool ok = forEachLine(text, [&](const std::string& line, std::size_t number) {
        failedLine = number;
        const std::string k = lineKeyword(line);
        const auto readNumber = [&](auto& field) {
            const std::string rest = lineRest(line);
            bool good = false;
            if constexpr (std::is_same_v<std::decay_t<decltype(field)>, float>)
                good = parseFloat(rest, field);
            else
                good = parseInt(rest, field);
            if (!good)
                reason = quoted(k) + " value " + quoted(rest) + " is not a usable number";
            return good;
        };
        const auto readColour = [&](Vector3& colour) {
            // Anything but exactly three pieces leaves the colour as it was.
            splitOn(lineRest(line), pieces, " ");
            if (pieces.size() != 3)
                return true;
            float rgb[3];
            if (!readFloats(k, pieces, 3, rgb, reason))
                return false;
            colour = Vector3(rgb[0], rgb[1], rgb[2]);
            return true;
        };

        if (k == "newmtl") {
            // Keyword lines before the first "newmtl" belong to its material.
            if (started) {
                read.push_back(pending);
                pending = Material();
            } else {
                started = true;
            }
            if (line.size() <= 7) {
                pending.name = "none";
            } else {
                std::string rest = lineRest(line);
                pending.name = trimLineBreaks(rest);
            }
        } else if (k == "Ka") {
            return readColour(pending.ambient);
        } else if (k == "Kd") {
            return readColour(pending.diffuse);
        } else if (k == "Ks") {
            return readColour(pending.specular);
        } else if (k == "Ns") {
            return readNumber(pending.specularExponent);
        } else if (k == "Ni") {
            return readNumber(pending.opticalDensity);
        } else if (k == "d") {
            return readNumber(pending.dissolve);
        } else if (k == "illum") {
            return readNumber(pending.illumination);
        } else if (k == "map_Ka") {
            pending.ambientMap = lineRest(line);
        } else if (k == "map_Kd") {
            pending.diffuseMap = lineRest(line);
        } else if (k == "map_Ks") {
            pending.specularMap = lineRest(line);
        } else if (k == "map_Ns") {
            pending.specularExponentMap = lineRest(line);
        } else if (k == "map_d") {
            pending.alphaMap = lineRest(line);
        } else if (k == "map_Bump" || k == "map_bump" || k == "bump") {
            pending.bumpMap = lineRest(line);
        }
        return true;
    });

    if (!ok) {
        std::cerr << "MTL text " << mtlId << ", line " << failedLine << ": " << reason << std::endl;
        return false;
    }
    read.push_back(pending);
    materials.insert(materials.end(), read.begin(), read.end());
    return !materials.empty();
}

}  // namespace objl
