#pragma once
// One mesh on the GPU: a vertex buffer, an index buffer and named float
// attributes pointing into the interleaved vertices. No vertex array object:
// the attributes are state of the context's default vertex array and are set
// again on every bind.

#include <epoxy/gl.h>

#include <map>
#include <string>

class GLFWProgram;
class ProgramRegistry;

class MeshBuffers {
public:
    explicit MeshBuffers(ProgramRegistry* registry);
    ~MeshBuffers();
    MeshBuffers(const MeshBuffers&) = delete;
    MeshBuffers& operator=(const MeshBuffers&) = delete;

    // Records the arrays (not copied; they must live until upload). Sizes in
    // bytes, the stride in floats per vertex.
    void setVertexData(int sizeBytes, const float* data, int floatsPerVertex);
    void setIndexData(int sizeBytes, const GLuint* data, int count);

    // Binds an attribute of the named program: components floats at offset
    // floats into each vertex. A name keeps its first registration.
    void addAttribute(const std::string& programName, const std::string& attribName, int components,
                      int offset);
    void addAttribute(GLFWProgram& program, const std::string& attribName, int components, int offset);

    void bindBuffers();
    void setupAttributes();
    void bind();
    // Fills both buffers once.
    void upload();

    int getIndexCount() const { return indexCount; }

private:
    ProgramRegistry* registry;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    const float* vertexData = nullptr;
    int vertexDataSize = 0;
    int vertexStride = 0;
    std::map<std::string, GLint> attribLocations;
    std::map<std::string, int> attribSizes;
    std::map<std::string, int> attribOffsets;
    const GLuint* indexData = nullptr;
    int indexDataSize = 0;
    int indexCount = 0;
};
