#pragma once
// GlSink over the platform's OpenGL 1.1 and GLU libraries.

#include "renderer/scene/gl_sink.h"

class OpenGlSink final : public GlSink {
  public:
    void Clear(uint32_t mask) override;
    void ClearColor(float r, float g, float b, float a) override;
    void ClearDepth(double depth) override;
    void DepthFunc(uint32_t func) override;
    void ShadeModel(uint32_t mode) override;
    void Hint(uint32_t target, uint32_t mode) override;
    void Viewport(int x, int y, int width, int height) override;
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
    void Flush() override;
};
