#include "model/mesh_data.h"

#include <algorithm>

MeshData::MeshData(int objId, int mtlId, float scale)
    : builder(new MeshBuilder(objId, mtlId, scale)), ownsBuilder(1)
{
    interleave();
}

MeshData::~MeshData()
{
    if (ownsBuilder == 1)
        delete builder;
}

void MeshData::interleave()
{
    vertexCount = builder->getVertexCount();
    indexCount = builder->getIndexCount();
    const auto count = static_cast<std::size_t>(vertexCount);
    vertexData.assign(count * static_cast<std::size_t>(stride), 0.0f);

    // Slot offset, source array, floats per vertex.
    const struct {
        int offset;
        const std::vector<float>& source;
        std::size_t width;
    } slots[] = {
        {positionOffset, builder->positions, 3},      {texCoordOffset, builder->texCoords, 2},
        {normalOffset, builder->normals, 3},          {tangentOffset, builder->tangents, 3},
        {bitangentOffset, builder->bitangents, 3},    {ambientOffset, builder->ambientColors, 3},
        {diffuseOffset, builder->diffuseColors, 3},   {specularOffset, builder->specularColors, 4},
    };
    for (std::size_t i = 0; i < count; ++i) {
        float* vertex = vertexData.data() + i * static_cast<std::size_t>(stride);
        for (const auto& slot : slots)
            std::copy_n(slot.source.data() + i * slot.width, slot.width, vertex + slot.offset);
    }
    indexData.assign(builder->indices.begin(), builder->indices.begin() + indexCount);
}
