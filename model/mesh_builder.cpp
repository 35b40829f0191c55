#include "model/mesh_builder.h"

#include "model/objl.h"
#include "platform/message_box.h"
#include "render/math.h"

#include <GLFW/glfw3.h>

#include <cstdlib>

MeshBuilder::MeshBuilder(int objId, int mtlId, float scale_) : scale(scale_)
{
    build(objId, mtlId, scale_);
}

void MeshBuilder::build(int objId, int mtlId, float scale_)
{
    objl::ModelLoader loader;
    if (!loader.loadModel(objId, mtlId)) {
        platform::showMessageBox("Failed to load mesh", "Debug", platform::BoxIcon::Information);
        glfwTerminate();
        std::exit(0);
    }

    std::size_t vertexTotal = 0;
    std::size_t indexTotal = 0;
    for (const objl::Mesh& mesh : loader.meshes) {
        vertexTotal += mesh.vertices.size();
        indexTotal += mesh.indices.size();
    }
    vertexCount = static_cast<int>(vertexTotal);
    indexCount = static_cast<int>(indexTotal);

    // Zero-filled, so that vertices no triangle names (faces that make no
    // triangle) carry zero tangents rather than unset values.
    positions.assign(3 * vertexTotal, 0.0f);
    texCoords.assign(2 * vertexTotal, 0.0f);
    normals.assign(3 * vertexTotal, 0.0f);
    tangents.assign(3 * vertexTotal, 0.0f);
    bitangents.assign(3 * vertexTotal, 0.0f);
    ambientColors.assign(3 * vertexTotal, 0.0f);
    diffuseColors.assign(3 * vertexTotal, 0.0f);
    specularColors.assign(4 * vertexTotal, 0.0f);
    indices.assign(indexTotal, 0);

    std::size_t b = 0;
    std::size_t c = 0;
    for (const objl::Mesh& mesh : loader.meshes) {
        const objl::Material& m = mesh.material;
        for (std::size_t j = 0; j < mesh.vertices.size(); ++j) {
            const objl::Vertex& v = mesh.vertices[j];
            const std::size_t k = b + j;
            const auto put3 = [k](std::vector<float>& to, float x, float y, float z) {
                to[3 * k] = x;
                to[3 * k + 1] = y;
                to[3 * k + 2] = z;
            };
            put3(positions, v.position.x * scale_, v.position.y * scale_, v.position.z * scale_);
            const Vec3 n = normalize(Vec3(v.normal.x, v.normal.y, v.normal.z));
            put3(normals, n[0], n[1], n[2]);
            texCoords[2 * k] = v.texCoord.x;
            texCoords[2 * k + 1] = v.texCoord.y;
            put3(ambientColors, m.ambient.x, m.ambient.y, m.ambient.z);
            put3(diffuseColors, m.diffuse.x, m.diffuse.y, m.diffuse.z);
            specularColors[4 * k] = m.specular.x;
            specularColors[4 * k + 1] = m.specular.y;
            specularColors[4 * k + 2] = m.specular.z;
            specularColors[4 * k + 3] = m.specularExponent;
        }
        for (std::size_t i = 0; i < mesh.indices.size(); ++i)
            indices[c + i] = static_cast<std::uint32_t>(b + mesh.indices[i]);
        b += mesh.vertices.size();
        c += mesh.indices.size();
    }

    computeTangents();
}

// One tangent and bitangent per triangle, written to its three vertices
// without averaging. Indices come in threes; an incomplete last triple
// (possible when a polygon repeats a position) is left out.
void MeshBuilder::computeTangents()
{
    for (std::size_t t = 0; t + 3 <= indices.size(); t += 3) {
        const std::uint32_t i[3] = {indices[t], indices[t + 1], indices[t + 2]};
        Vec3 p[3];
        Vec2 uv[3];
        for (int n = 0; n < 3; ++n) {
            p[n] = Vec3(positions[3 * i[n]], positions[3 * i[n] + 1], positions[3 * i[n] + 2]);
            uv[n] = Vec2(texCoords[2 * i[n]], texCoords[2 * i[n] + 1]);
        }
        const Vec3 e1 = p[1] - p[0];
        const Vec3 e2 = p[2] - p[0];
        const Vec2 d1 = uv[1] - uv[0];
        const Vec2 d2 = uv[2] - uv[0];
        float det = d1[0] * d2[1];
        det -= d2[0] * d1[1];
        const float f = 1.0f / det;

        Vec3 tangent;
        Vec3 bitangent;
        for (int n = 0; n < 3; ++n) {
            tangent[n] = (d2[1] * e1[n] - d1[1] * e2[n]) * f;
            bitangent[n] = ((-d2[0]) * e1[n] + d1[0] * e2[n]) * f;
        }
        tangent = normalize(tangent);
        bitangent = normalize(bitangent);
        for (std::uint32_t v : i) {
            for (int n = 0; n < 3; ++n) {
                tangents[3 * v + n] = tangent[n];
                bitangents[3 * v + n] = bitangent[n];
            }
        }
    }
}
