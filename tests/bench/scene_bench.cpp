// Cost of the portable scene arithmetic per frame (clock update, colours,
// 300 band computations), with the GL calls going to a sink that only counts;
// then the same with the calls collected into the web back end's triangle batch.

#include <chrono>
#include <cstdio>

#include "renderer/scene/line_scene.h"
#include "renderer/scene/strip_batch.h"

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

// The batch as the web back end fills it, emptied where that one draws it.
class EmptiedBatch final : public StripBatch {
  public:
    size_t vertices = 0;
    void Clear(uint32_t) override { EmptyBatch(); }
    void ClearColor(float, float, float, float) override {}
    void Viewport(int, int, int, int) override {}
    void Flush() override {
        vertices = Vertices().size();
        EmptyBatch();
    }
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

// Microseconds per frame of updating and drawing the scene into gl.
double TimeFrames(Scene& scene, GlSink& gl, int frames) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        UpdateScene(scene, 16);
        DrawScene(scene, gl);
    }
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    return spent.count() / frames;
}

int main() {
    static Scene scene;
    CountingSink sink;
    NoQuit quit;
    SteadyTicks ticks;
    int32_t keys[kKeyCount] = {};
    InitScene(scene, sink, keys, quit, ticks);

    const int frames = 20000;
    const double counted = TimeFrames(scene, sink, frames);
    std::printf("scene arithmetic: %d frames, %.1f us per frame, %ld GL calls per frame\n", frames,
                counted, sink.calls / frames);
    EmptiedBatch batch;
    const double batched = TimeFrames(scene, batch, frames);
    std::printf("scene into the web back end's batch: %.1f us per frame, %zu vertices per frame\n",
                batched, batch.vertices);
    return 0;
}
