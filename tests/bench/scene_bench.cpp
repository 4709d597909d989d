// Cost of the portable scene arithmetic per frame (clock update, colours,
// 300 band computations), with the GL calls going to a sink that only counts.

#include <chrono>
#include <cstdio>

#include "renderer/scene/line_scene.h"

namespace {

class CountingSink final : public GlSink {
  public:
    long calls = 0;
    void Clear(uint32_t) override { ++calls; }
    void ClearColor(float, float, float, float) override { ++calls; }
    void ClearDepth(double) override { ++calls; }
    void DepthFunc(uint32_t) override { ++calls; }
    void ShadeModel(uint32_t) override { ++calls; }
    void Hint(uint32_t, uint32_t) override { ++calls; }
    void Viewport(int, int, int, int) override { ++calls; }
    void Perspective(double, double, double, double) override { ++calls; }
    void MatrixMode(uint32_t) override { ++calls; }
    void LoadIdentity() override { ++calls; }
    void PushMatrix() override { ++calls; }
    void PopMatrix() override { ++calls; }
    void Rotatef(float, float, float, float) override { ++calls; }
    void PushAttrib(uint32_t) override { ++calls; }
    void PopAttrib() override { ++calls; }
    void Enable(uint32_t) override { ++calls; }
    void Disable(uint32_t) override { ++calls; }
    void BlendFunc(uint32_t, uint32_t) override { ++calls; }
    void Begin(uint32_t) override { ++calls; }
    void End() override { ++calls; }
    void Color3f(float, float, float) override { ++calls; }
    void Color4f(float, float, float, float) override { ++calls; }
    void Vertex3f(float, float, float) override { ++calls; }
    void Flush() override { ++calls; }
};

class NoQuit final : public QuitRequest {
  public:
    void RequestQuit() override {}
};

class SteadyTicks final : public TickSource {
  public:
    uint32_t TickCount() override { return 4242; }
};

}  // namespace

int main() {
    static Scene scene;
    CountingSink sink;
    NoQuit quit;
    SteadyTicks ticks;
    int32_t keys[kKeyCount] = {};
    InitScene(scene, sink, keys, quit, ticks);

    const int frames = 20000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        UpdateScene(scene, 16);
        DrawScene(scene, sink);
    }
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    std::printf("scene arithmetic: %d frames, %.1f us per frame, %ld GL calls per frame\n", frames,
                spent.count() / frames, sink.calls / frames);
    return 0;
}
