#include "render/drawable.h"

#include <epoxy/gl.h>

#include "model/mesh_data.h"
#include "render/camera.h"
#include "render/mesh_buffers.h"
#include "render/program.h"

GLFWDrawableObject::GLFWDrawableObject(FrameState* frameState, Camera* camera, ProgramRegistry* registry,
                                       const char* programName, int modelResourceId,
                                       int materialResourceId, float scale)
    : frameState(frameState),
      registry(registry),
      camera(camera),
      programName(programName),
      // Identity until the first setModelMatrix.
      modelMatrix(translate(0.0f, 0.0f, 0.0f))
{
    meshData = std::make_unique<MeshData>(modelResourceId, materialResourceId, scale);
    meshBuffers = std::make_unique<MeshBuffers>(registry);
    meshBuffers->setVertexData(meshData->getVertexDataSize(), meshData->getVertexData(),
                               meshData->getStride());
    meshBuffers->setIndexData(meshData->getIndexDataSize(), meshData->getIndexData(),
                              meshData->getIndexCount());
}

GLFWDrawableObject::~GLFWDrawableObject() = default;

void GLFWDrawableObject::upload()
{
    registerAttributes();
    meshBuffers->upload();
}

void GLFWDrawableObject::setModelMatrix(Mat4 matrix)
{
    modelMatrix = matrix;
}

void GLFWDrawableObject::draw(int instanceCount)
{
    registry->useProgram(programName);
    prepareDraw();
    uploadMatrices();
    setUniforms();
    meshBuffers->bind();
    if (instanceCount == 0)
        glDrawElements(GL_TRIANGLES, meshBuffers->getIndexCount(), GL_UNSIGNED_INT, nullptr);
    else
        glDrawElementsInstanced(GL_TRIANGLES, meshBuffers->getIndexCount(), GL_UNSIGNED_INT, nullptr,
                                instanceCount);
}

void GLFWDrawableObject::uploadMatrices()
{
    const Mat4 view = camera->getView();
    const Mat4 projection = camera->getProjection();
    const Mat4 worldProjection = projection * view;
    const Mat4 modelProjection = worldProjection * modelMatrix;

    GLFWProgram& program = registry->requireProgram(programName);
    glUniformMatrix4fv(program.getUniformLocation("model_world"), 1, GL_FALSE, modelMatrix.data());
    glUniformMatrix4fv(program.getUniformLocation("world_projection"), 1, GL_FALSE, worldProjection.data());
    glUniformMatrix4fv(program.getUniformLocation("model_projection"), 1, GL_FALSE, modelProjection.data());
}

void GLFWDrawableSky::registerAttributes()
{
    meshBuffers->addAttribute(programName, "position", 3, 0);
    meshBuffers->addAttribute(programName, "position_tex", 2, 3);
    meshBuffers->addAttribute(programName, "position_normal", 3, 5);
}

void GLFWDrawableSky::setUniforms()
{
    GLFWProgram& program = registry->requireProgram(programName);
    glUniform1f(program.getUniformLocation("iTime"), frameState->getTime());
    glUniform1f(program.getUniformLocation("viewportWidth"), frameState->getViewportWidth());
    glUniform1f(program.getUniformLocation("viewportHeight"), frameState->getViewportHeight());
}

void GLFWDrawableSky::prepareDraw() {}
