#pragma once
// Drawables: one mesh, one named program and the per-frame state it is drawn
// with, drawn in a fixed order of steps.

#include <memory>
#include <string>

#include "render/math.h"

class Camera;
class FrameState;
class MeshBuffers;
class MeshData;
class ProgramRegistry;

// The mesh comes from an OBJ text and its MTL text held in resources. What
// varies between drawables is supplied by the three virtual operations.
class GLFWDrawableObject {
public:
    // programName must outlive the drawable.
    GLFWDrawableObject(FrameState* frameState, Camera* camera, ProgramRegistry* registry,
                       const char* programName, int modelResourceId, int materialResourceId, float scale);

    // Registers the vertex attributes the program reads (before the upload).
    virtual void registerAttributes() = 0;
    // Sets the drawable's own uniforms (after the matrices).
    virtual void setUniforms() = 0;
    // Runs right after the program is made current.
    virtual void prepareDraw() = 0;

    virtual ~GLFWDrawableObject();
    GLFWDrawableObject(const GLFWDrawableObject&) = delete;
    GLFWDrawableObject& operator=(const GLFWDrawableObject&) = delete;

    // Once, after construction and after the program is registered.
    void upload();
    void setModelMatrix(Mat4 matrix);
    // 0 draws the mesh once without instancing; n > 0 draws n instances.
    void draw(int instanceCount);
    void uploadMatrices();

protected:
    FrameState* frameState;
    ProgramRegistry* registry;
    std::unique_ptr<MeshData> meshData;
    std::unique_ptr<MeshBuffers> meshBuffers;
    Camera* camera;
    const char* programName;
    Mat4 modelMatrix;
};

// The particle field: the quad mesh drawn with the particle program.
class GLFWDrawableSky : public GLFWDrawableObject {
public:
    using GLFWDrawableObject::GLFWDrawableObject;

    void registerAttributes() override;
    void setUniforms() override;
    void prepareDraw() override;
};
