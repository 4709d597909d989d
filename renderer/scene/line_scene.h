#pragma once
// The picture: three groups of 100 soft-edged bands that swing on sine curves,
// each group rotated, tinted by a pulsing colour and added onto black.

#include <cstdint>

#include "renderer/scene/gl_sink.h"
#include "renderer/scene/line_random.h"

constexpr int kLinesPerSet = 100;
constexpr int kKeyCount = 256;
constexpr int kEscapeKey = 27;

struct LineSet {
    float baseColour[4];  // red, green, blue are scaled per line; alpha is kept, not read
    float brightness[kLinesPerSet];
    float halfWidth[kLinesPerSet];
    float rate[kLinesPerSet];
};

// Sources the scene needs from the window layer.
class TickSource {
  public:
    virtual ~TickSource() = default;
    virtual uint32_t TickCount() = 0;  // milliseconds, wrapping at 2^32
};

class QuitRequest {
  public:
    virtual ~QuitRequest() = default;
    virtual void RequestQuit() = 0;
};

struct Scene {
    LineSet redSet{{1.0f, 0.0f, 0.0f, 1.0f}, {}, {}, {}};
    LineSet greenSet{{0.0f, 1.0f, 0.0f, 1.0f}, {}, {}, {}};
    LineSet warmSet{{1.0f, 0.7f, 0.5f, 1.0f}, {}, {}, {}};
    // The clock is an exact millisecond count and the time in seconds is kept in
    // double precision, so the motion stays smooth however long the saver runs.
    uint64_t accumulatedMs = 0;
    double sceneTime = 0.0;
    const int32_t* keyStates = nullptr;  // kKeyCount entries, owned by the window layer
    QuitRequest* quit = nullptr;
    LineRandom random;
};

// One band as drawn: the colour of its lit middle and the heights of its four
// vertex pairs (edge, inner edge, inner edge, edge), each pair spanning x -1..1.
struct Band {
    float colour[4];
    float edgeY[4];
};

constexpr float kBandFade = 0.01f;

void InitLineSet(LineSet& set, LineRandom& random, uint32_t seed);
// The OpenGL start state and fresh line sets; keeps the key table and quit request.
bool InitScene(Scene& scene, GlSink& gl, const int32_t* keyStates, QuitRequest& quit,
               TickSource& ticks);
void UpdateScene(Scene& scene, uint32_t elapsedMs);
void DrawScene(Scene& scene, GlSink& gl);
void DrawLineSet(GlSink& gl, const LineSet& set, double time, float angle, float speed);

// The arithmetic behind the drawing, apart from the GL calls.
float GroupAlpha(const LineSet& set, double time, float speed);
float BandCentre(const LineSet& set, int line, double time, float speed);
Band ComputeBand(const LineSet& set, int line, double time, float speed, float alpha);
void SetTimeColours(Scene& scene);
