#pragma once
// Turns a model held in two "TEXTFILE" resources (OBJ text and MTL library)
// into flat per-vertex arrays and one index array over all its meshes.

#include <cstdint>
#include <vector>

class MeshBuilder {
public:
    // Builds at once; a model that cannot be loaded ends the process with
    // the "Failed to load mesh" box and exit status 0.
    MeshBuilder(int objId, int mtlId, float scale);

    void build(int objId, int mtlId, float scale);

    int getVertexCount() const { return vertexCount; }
    int getIndexCount() const { return indexCount; }

    // Vertex k's entries are at 3k (2k for texCoords, 4k for specularColors).
    std::vector<float> positions;       // scaled
    std::vector<float> texCoords;
    std::vector<float> normals;         // unit length
    std::vector<float> tangents;        // unit, from the last triangle naming the vertex
    std::vector<float> bitangents;
    std::vector<float> ambientColors;   // of the vertex's mesh material
    std::vector<float> diffuseColors;
    std::vector<float> specularColors;  // r, g, b, then the specular exponent
    std::vector<std::uint32_t> indices; // shifted past the vertices of earlier meshes
    int vertexCount = 0;
    int indexCount = 0;
    float scale = 1.0f;

private:
    void computeTangents();
};
