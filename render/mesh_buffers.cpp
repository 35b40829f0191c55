#include "render/mesh_buffers.h"

#include <cstdint>

#include "render/program.h"

MeshBuffers::MeshBuffers(ProgramRegistry* registry) : registry(registry)
{
    glGenBuffers(1, &vertexBuffer);
    glGenBuffers(1, &indexBuffer);
}

MeshBuffers::~MeshBuffers()
{
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteBuffers(1, &indexBuffer);
}

void MeshBuffers::setVertexData(int sizeBytes, const float* data, int floatsPerVertex)
{
    vertexDataSize = sizeBytes;
    vertexData = data;
    vertexStride = floatsPerVertex;
}

void MeshBuffers::setIndexData(int sizeBytes, const GLuint* data, int count)
{
    indexDataSize = sizeBytes;
    indexData = data;
    indexCount = count;
}

void MeshBuffers::addAttribute(const std::string& programName, const std::string& attribName,
                               int components, int offset)
{
    addAttribute(registry->requireProgram(programName), attribName, components, offset);
}

void MeshBuffers::addAttribute(GLFWProgram& program, const std::string& attribName, int components,
                               int offset)
{
    GLint location = program.getAttribLocation(attribName.c_str());
    attribLocations.emplace(attribName, location);
    attribSizes.emplace(attribName, components);
    attribOffsets.emplace(attribName, offset);
}

void MeshBuffers::bindBuffers()
{
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
}

void MeshBuffers::setupAttributes()
{
    const GLsizei strideBytes = vertexStride * static_cast<GLsizei>(sizeof(float));
    for (const auto& [name, location] : attribLocations) {
        // An attribute the program does not use has no location; GL would
        // only refuse the calls for it.
        if (location < 0)
            continue;
        const std::uintptr_t offsetBytes =
            static_cast<std::uintptr_t>(attribOffsets.at(name)) * sizeof(float);
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        glVertexAttribPointer(static_cast<GLuint>(location), attribSizes.at(name), GL_FLOAT, GL_FALSE,
                              strideBytes, reinterpret_cast<const void*>(offsetBytes));
    }
}

void MeshBuffers::bind()
{
    bindBuffers();
    setupAttributes();
}

void MeshBuffers::upload()
{
    bind();
    glBufferData(GL_ARRAY_BUFFER, vertexDataSize, vertexData, GL_STATIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexDataSize, indexData, GL_STATIC_DRAW);
}
