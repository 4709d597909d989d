#include "renderer/scene/line_scene.h"

#include <cmath>

// The scene's single and double precision steps must round as written, so that every build draws
// the same bands bit for bit; on 32-bit x86 that takes SSE2 arithmetic, not the x87 registers.
#if defined(__i386__) && !defined(__SSE2_MATH__)
#error "32-bit x86 builds need SSE2 arithmetic (-msse2 -mfpmath=sse)"
#endif

namespace {
constexpr float kBrightnessLo = 0.0f;
constexpr float kBrightnessHi = 0.2f;
constexpr float kWidthCentre = 0.01f;
constexpr float kWidthSpread = 0.01f;
constexpr float kRateCentre = 0.4f;
constexpr float kRateSpread = 0.2f;
constexpr double kTimeOffset = 30.0;
}  // namespace

void InitLineSet(LineSet& set, LineRandom& random, uint32_t seed) {
    SeedRandom(random, seed);
    for (int i = 0; i < kLinesPerSet; ++i) {
        set.brightness[i] = RandomRange(random, kBrightnessLo, kBrightnessHi);
        set.halfWidth[i] =
            RandomRange(random, kWidthCentre - kWidthSpread, kWidthCentre + kWidthSpread);
        set.rate[i] = RandomRange(random, kRateCentre - kRateSpread, kRateCentre + kRateSpread);
    }
}

bool InitScene(Scene& scene, GlSink& gl, const int32_t* keyStates, QuitRequest& quit,
               TickSource& ticks) {
    scene.keyStates = keyStates;
    scene.quit = &quit;
    gl.ClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    gl.ClearDepth(1.0);
    gl.DepthFunc(gl::kLequal);
    gl.Enable(gl::kDepthTest);
    gl.ShadeModel(gl::kSmooth);
    gl.Hint(gl::kPerspectiveCorrectionHint, gl::kNicest);
    // Each set is seeded afresh from the clock, so sets filled within one
    // millisecond share their arrays; they still differ by angle, speed and tint.
    InitLineSet(scene.warmSet, scene.random, ticks.TickCount());
    InitLineSet(scene.redSet, scene.random, ticks.TickCount());
    InitLineSet(scene.greenSet, scene.random, ticks.TickCount());
    return true;
}

void UpdateScene(Scene& scene, uint32_t elapsedMs) {
    scene.accumulatedMs += elapsedMs;
    scene.sceneTime = static_cast<double>(scene.accumulatedMs) / 1000.0;
    if (scene.keyStates != nullptr && scene.keyStates[kEscapeKey] == 1 && scene.quit != nullptr) {
        scene.quit->RequestQuit();
    }
}

float GroupAlpha(const LineSet& set, double time, float speed) {
    // 30 is added after the product here, unlike the band centre below.
    return static_cast<float>((std::sin(speed * set.rate[0] * time + kTimeOffset) + 1.0) / 2.0);
}

float BandCentre(const LineSet& set, int line, double time, float speed) {
    return static_cast<float>(std::sin(speed * set.rate[line] * (time + kTimeOffset)));
}

Band ComputeBand(const LineSet& set, int line, double time, float speed, float alpha) {
    Band band{};
    for (int c = 0; c < 3; ++c) band.colour[c] = set.baseColour[c] * set.brightness[line];
    band.colour[3] = alpha;
    const float w = set.halfWidth[line];
    const float y = BandCentre(set, line, time, speed);
    // Below a half width of kBandFade the inner pairs cross; they are drawn as they are.
    band.edgeY[0] = y - w;
    band.edgeY[1] = y - w + kBandFade;
    band.edgeY[2] = y + w - kBandFade;
    band.edgeY[3] = y + w;
    return band;
}

void SetTimeColours(Scene& scene) {
    const double t = scene.sceneTime;
    scene.redSet.baseColour[0] = static_cast<float>(std::cos(t));
    scene.greenSet.baseColour[1] = static_cast<float>(std::sin(t));
    scene.warmSet.baseColour[0] = static_cast<float>(std::sin(t));
    scene.warmSet.baseColour[2] = static_cast<float>(std::cos(t));
}

void DrawLineSet(GlSink& gl, const LineSet& set, double time, float angle, float speed) {
    gl.PushAttrib(gl::kDrawAttribMask);
    gl.Disable(gl::kTexture2D);
    gl.MatrixMode(gl::kProjection);
    gl.PushMatrix();
    gl.LoadIdentity();
    gl.MatrixMode(gl::kModelView);
    gl.PushMatrix();
    gl.LoadIdentity();
    gl.Rotatef(angle, 0.0f, 0.0f, 1.0f);
    gl.Disable(gl::kLighting);
    gl.Disable(gl::kDepthTest);
    gl.Enable(gl::kBlend);
    gl.BlendFunc(gl::kOne, gl::kOne);

    const float alpha = GroupAlpha(set, time, speed);
    for (int i = 0; i < kLinesPerSet; ++i) {
        const Band band = ComputeBand(set, i, time, speed, alpha);
        gl.Begin(gl::kQuadStrip);
        for (int pair = 0; pair < 4; ++pair) {
            if (pair == 0 || pair == 3) {
                gl.Color3f(0.0f, 0.0f, 0.0f);
            } else if (pair == 1) {
                gl.Color4f(band.colour[0], band.colour[1], band.colour[2], band.colour[3]);
            }
            gl.Vertex3f(-1.0f, band.edgeY[pair], 0.0f);
            gl.Vertex3f(1.0f, band.edgeY[pair], 0.0f);
        }
        gl.End();
    }

    gl.PopMatrix();
    gl.MatrixMode(gl::kProjection);
    gl.PopMatrix();
    gl.PopAttrib();
}

void DrawScene(Scene& scene, GlSink& gl) {
    gl.Clear(gl::kColorBufferBit | gl::kDepthBufferBit);
    gl.LoadIdentity();
    SetTimeColours(scene);
    DrawLineSet(gl, scene.redSet, scene.sceneTime, 45.0f, 2.0f);
    DrawLineSet(gl, scene.greenSet, scene.sceneTime, -45.0f, 2.0f);
    DrawLineSet(gl, scene.warmSet, scene.sceneTime, 0.0f, 1.0f);
    gl.Flush();
}
