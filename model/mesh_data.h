#pragma once
// The CPU-side mesh the renderer uploads: 24 floats per vertex and one array
// of triangle indices.
//
// Vertex layout (float offsets): position 0 (3), texture coordinate 3 (2),
// normal 5 (3), tangent 8 (3), bitangent 11 (3), ambient colour 14 (3),
// diffuse colour 17 (3), specular colour and exponent 20 (4).

#include "model/mesh_builder.h"

#include <cstdint>
#include <vector>

class MeshData {
public:
    // A model that cannot be loaded ends the process inside the builder.
    MeshData(int objId, int mtlId, float scale);
    ~MeshData();
    MeshData(const MeshData&) = delete;
    MeshData& operator=(const MeshData&) = delete;

    void interleave();

    const float* getVertexData() const { return vertexData.data(); }
    int getStride() const { return stride; }
    int getVertexDataSize() const { return vertexCount * stride * 4; }
    const std::uint32_t* getIndexData() const { return indexData.data(); }
    int getIndexCount() const { return indexCount; }
    int getIndexDataSize() const { return indexCount * 4; }

    std::vector<float> vertexData;
    int stride = 24;
    int positionOffset = 0;
    int texCoordOffset = 3;
    int normalOffset = 5;
    int tangentOffset = 8;
    int bitangentOffset = 11;
    int ambientOffset = 14;
    int diffuseOffset = 17;
    int specularOffset = 20;
    std::vector<std::uint32_t> indexData;
    MeshBuilder* builder = nullptr;
    int vertexCount = 0;
    int indexCount = 0;
    int ownsBuilder = 0;
};
