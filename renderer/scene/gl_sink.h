#pragma once
// The OpenGL 1.1 calls the renderer makes, as an interface: the real context
// implements it on each platform, a recorder implements it in tests.

#include <cstdint>

namespace gl {
// Values of the OpenGL 1.1 constants the renderer passes.
constexpr uint32_t kColorBufferBit = 0x4000;
constexpr uint32_t kDepthBufferBit = 0x0100;
constexpr uint32_t kDrawAttribMask = 0x7140;  // colour buffer, enable, transform, depth, lighting
constexpr uint32_t kTexture2D = 0x0DE1;
constexpr uint32_t kLighting = 0x0B50;
constexpr uint32_t kDepthTest = 0x0B71;
constexpr uint32_t kBlend = 0x0BE2;
constexpr uint32_t kOne = 1;
constexpr uint32_t kModelView = 0x1700;
constexpr uint32_t kProjection = 0x1701;
constexpr uint32_t kQuadStrip = 0x0008;
constexpr uint32_t kLequal = 0x0203;
constexpr uint32_t kSmooth = 0x1D01;
constexpr uint32_t kPerspectiveCorrectionHint = 0x0C50;
constexpr uint32_t kNicest = 0x1102;
}  // namespace gl

class GlSink {
  public:
    virtual ~GlSink() = default;
    virtual void Clear(uint32_t mask) = 0;
    virtual void ClearColor(float r, float g, float b, float a) = 0;
    virtual void ClearDepth(double depth) = 0;
    virtual void DepthFunc(uint32_t func) = 0;
    virtual void ShadeModel(uint32_t mode) = 0;
    virtual void Hint(uint32_t target, uint32_t mode) = 0;
    virtual void Viewport(int x, int y, int width, int height) = 0;
    virtual void Perspective(double fovY, double aspect, double zNear, double zFar) = 0;
    virtual void MatrixMode(uint32_t mode) = 0;
    virtual void LoadIdentity() = 0;
    virtual void PushMatrix() = 0;
    virtual void PopMatrix() = 0;
    virtual void Rotatef(float angle, float x, float y, float z) = 0;
    virtual void PushAttrib(uint32_t mask) = 0;
    virtual void PopAttrib() = 0;
    virtual void Enable(uint32_t cap) = 0;
    virtual void Disable(uint32_t cap) = 0;
    virtual void BlendFunc(uint32_t source, uint32_t destination) = 0;
    virtual void Begin(uint32_t mode) = 0;
    virtual void End() = 0;
    virtual void Color3f(float r, float g, float b) = 0;
    virtual void Color4f(float r, float g, float b, float a) = 0;
    virtual void Vertex3f(float x, float y, float z) = 0;
    virtual void Flush() = 0;
};
