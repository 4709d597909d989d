#pragma once
// GlSink over OpenGL ES 3 (WebGL 2): the batch of a frame's triangles drawn from one buffer with
// a pass-through shader pair and the blending the scene asked for.

#include <cstdint>

#include "renderer/scene/strip_batch.h"

class GlesSink final : public StripBatch {
  public:
    // Needs the context current; false when the shaders do not build.
    bool Init();

    void Clear(uint32_t mask) override;
    void ClearColor(float r, float g, float b, float a) override;
    void Viewport(int x, int y, int width, int height) override;
    void Flush() override;

  private:
    void DrawBatch();

    uint32_t program_ = 0;
    uint32_t vertexArray_ = 0;
    uint32_t buffer_ = 0;
};
