#pragma once
// The share of the fixed-function pipeline that back ends without one (OpenGL ES 3, WebGL 2)
// do on the CPU: the matrix stacks with glRotatef and gluPerspective, vertex colours clamped to
// [0, 1] as they are given, and quad strips cut into triangles. The triangles of a frame are
// collected in clip space, so the back end draws them with one buffer and a pass-through shader.

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "renderer/scene/gl_sink.h"

using Matrix4 = std::array<float, 16>;  // column-major, as OpenGL keeps it

Matrix4 IdentityMatrix();
Matrix4 MultiplyMatrices(const Matrix4& a, const Matrix4& b);
// The matrices glRotatef and gluPerspective multiply onto the current one.
Matrix4 RotationMatrix(float degrees, float x, float y, float z);
Matrix4 PerspectiveMatrix(double fovY, double aspect, double zNear, double zFar);

struct BatchVertex {
    float position[4];  // clip space
    float colour[4];    // each part in [0, 1]
};

// Consecutive triangles drawn with the same blending.
struct BatchRun {
    size_t firstVertex;
    size_t vertexCount;
    bool blend;
    uint32_t blendSource;
    uint32_t blendDestination;
};

// Collects what the scene draws. A back end derives from it and implements the calls that reach
// its context (Clear, ClearColor, Viewport, Flush), drawing and emptying the batch before each
// Clear and at Flush.
// Depth is not kept: the scene draws its bands with the depth test off.
class StripBatch : public GlSink {
  public:
    const std::vector<BatchVertex>& Vertices() const { return vertices_; }
    const std::vector<BatchRun>& Runs() const { return runs_; }
    void EmptyBatch();

    void ClearDepth(double depth) override;
    void DepthFunc(uint32_t func) override;
    void ShadeModel(uint32_t mode) override;
    void Hint(uint32_t target, uint32_t mode) override;
    void Perspective(double fovY, double aspect, double zNear, double zFar) override;
    void MatrixMode(uint32_t mode) override;
    void LoadIdentity() override;
    void PushMatrix() override;
    void PopMatrix() override;
    void Rotatef(float angle, float x, float y, float z) override;
    void PushAttrib(uint32_t mask) override;
    void PopAttrib() override;
    void Enable(uint32_t cap) override;
    void Disable(uint32_t cap) override;
    void BlendFunc(uint32_t source, uint32_t destination) override;
    void Begin(uint32_t mode) override;
    void End() override;
    void Color3f(float r, float g, float b) override;
    void Color4f(float r, float g, float b, float a) override;
    void Vertex3f(float x, float y, float z) override;

  private:
    struct BlendState {
        bool enabled = false;
        uint32_t source = gl::kOne;
        uint32_t destination = 0;  // GL_ZERO
    };
    std::vector<Matrix4>& Stack() { return projectionMode_ ? projection_ : modelView_; }
    void AddTriangle(const BatchVertex& a, const BatchVertex& b, const BatchVertex& c);

    std::vector<BatchVertex> vertices_;
    std::vector<BatchRun> runs_;
    std::vector<Matrix4> modelView_{IdentityMatrix()};
    std::vector<Matrix4> projection_{IdentityMatrix()};
    bool projectionMode_ = false;
    BlendState blend_;
    std::vector<std::pair<BlendState, bool>> savedAttribs_;  // blending, projection mode
    uint32_t primitive_ = 0;
    std::vector<BatchVertex> strip_;
    float colour_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};
