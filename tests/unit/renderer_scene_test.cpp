#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "renderer/scene/line_random.h"
#include "renderer/scene/line_scene.h"
#include "tests/unit/renderer_gl_recorder.h"

namespace {

using Call = std::string;
Call C(const char* name, std::initializer_list<double> args) {
    return GlRecorder::Call(name, args);
}

class CountingQuit final : public QuitRequest {
  public:
    int count = 0;
    void RequestQuit() override { ++count; }
};

class FixedTicks final : public TickSource {
  public:
    uint32_t next = 0;
    uint32_t TickCount() override { return next; }
};

TEST(LineRandom, FollowsTheKnownSequence) {
    LineRandom random;
    SeedRandom(random, 1);
    for (int expected : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(NextRandom(random), expected);
    SeedRandom(random, 0);
    EXPECT_EQ(NextRandom(random), 38);
}

// Finds a seed whose first draw is the given value.
uint32_t SeedGiving(int value) {
    for (uint32_t seed = 0;; ++seed) {
        LineRandom random;
        SeedRandom(random, seed);
        if (NextRandom(random) == value) return seed;
    }
}

TEST(LineRandom, RangeReachesBothBounds) {
    LineRandom random;
    SeedRandom(random, SeedGiving(0));
    EXPECT_EQ(RandomRange(random, 0.2f, 0.6f), 0.2f);
    SeedRandom(random, SeedGiving(kRandomMax));
    EXPECT_FLOAT_EQ(RandomRange(random, 0.2f, 0.6f), 0.6f);
    SeedRandom(random, SeedGiving(kRandomMax));
    EXPECT_EQ(RandomRange(random, 0.0f, 0.02f), 0.02f);
}

TEST(LineSets, AreFilledInTheirRangesAndSetsFromOneTickMatch) {
    Scene scene;
    GlRecorder gl;
    CountingQuit quit;
    FixedTicks ticks;
    ticks.next = 12345;
    int32_t keys[kKeyCount] = {};
    ASSERT_TRUE(InitScene(scene, gl, keys, quit, ticks));
    for (int i = 0; i < kLinesPerSet; ++i) {
        EXPECT_GE(scene.warmSet.brightness[i], 0.0f);
        EXPECT_LE(scene.warmSet.brightness[i], 0.2f);
        EXPECT_GE(scene.warmSet.halfWidth[i], 0.0f);
        EXPECT_LE(scene.warmSet.halfWidth[i], 0.02f);
        EXPECT_GE(scene.warmSet.rate[i], 0.2f);
        EXPECT_LE(scene.warmSet.rate[i], 0.6f);
        EXPECT_EQ(scene.redSet.rate[i], scene.warmSet.rate[i]);
        EXPECT_EQ(scene.greenSet.halfWidth[i], scene.warmSet.halfWidth[i]);
    }
    // Three draws per line, in the order brightness, half width, rate.
    LineRandom random;
    SeedRandom(random, 12345);
    EXPECT_EQ(scene.redSet.brightness[0], RandomRange(random, 0.0f, 0.2f));
    EXPECT_EQ(scene.redSet.halfWidth[0], RandomRange(random, 0.0f, 0.02f));
    EXPECT_EQ(scene.redSet.rate[0], RandomRange(random, 0.2f, 0.6f));
    // The construction colours are left alone.
    EXPECT_EQ(scene.warmSet.baseColour[1], 0.7f);
    EXPECT_EQ(scene.greenSet.baseColour[3], 1.0f);
    EXPECT_EQ(gl.calls.front(), C("ClearColor", {0, 0, 0, 0.5}));
}

LineSet OneSet(float halfWidth, float rate, float brightness) {
    LineSet set{{0.5f, 1.0f, 0.25f, 1.0f}, {}, {}, {}};
    for (int i = 0; i < kLinesPerSet; ++i) {
        set.brightness[i] = brightness;
        set.halfWidth[i] = halfWidth;
        set.rate[i] = rate;
    }
    return set;
}

TEST(DrawLineSet, IssuesStateThenEightVertexStripsThenRestores) {
    const LineSet set = OneSet(0.015f, 0.3f, 0.2f);
    GlRecorder gl;
    DrawLineSet(gl, set, 1.0, 45.0f, 2.0f);

    const std::vector<Call> prologue = {C("PushAttrib", {0x7140}),
                                        C("Disable", {gl::kTexture2D}),
                                        C("MatrixMode", {gl::kProjection}),
                                        C("PushMatrix", {}),
                                        C("LoadIdentity", {}),
                                        C("MatrixMode", {gl::kModelView}),
                                        C("PushMatrix", {}),
                                        C("LoadIdentity", {}),
                                        C("Rotatef", {45, 0, 0, 1}),
                                        C("Disable", {gl::kLighting}),
                                        C("Disable", {gl::kDepthTest}),
                                        C("Enable", {gl::kBlend}),
                                        C("BlendFunc", {1, 1})};
    ASSERT_GT(gl.calls.size(), prologue.size());
    EXPECT_EQ(std::vector<Call>(gl.calls.begin(), gl.calls.begin() + prologue.size()), prologue);

    const float y = static_cast<float>(std::sin(2.0f * 0.3f * (1.0 + 30.0)));
    const float w = 0.015f;
    const float alpha = static_cast<float>((std::sin(2.0f * 0.3f * 1.0 + 30.0) + 1.0) / 2.0);
    const std::vector<Call> strip = {C("Begin", {gl::kQuadStrip}),
                                     C("Color3f", {0, 0, 0}),
                                     C("Vertex3f", {-1, y - w, 0}),
                                     C("Vertex3f", {1, y - w, 0}),
                                     C("Color4f", {0.5f * 0.2f, 1.0f * 0.2f, 0.25f * 0.2f, alpha}),
                                     C("Vertex3f", {-1, y - w + 0.01f, 0}),
                                     C("Vertex3f", {1, y - w + 0.01f, 0}),
                                     C("Vertex3f", {-1, y + w - 0.01f, 0}),
                                     C("Vertex3f", {1, y + w - 0.01f, 0}),
                                     C("Color3f", {0, 0, 0}),
                                     C("Vertex3f", {-1, y + w, 0}),
                                     C("Vertex3f", {1, y + w, 0}),
                                     C("End", {})};
    for (int line = 0; line < kLinesPerSet; ++line) {
        const auto first = gl.calls.begin() + prologue.size() + line * strip.size();
        ASSERT_EQ(std::vector<Call>(first, first + strip.size()), strip) << "line " << line;
    }
    const std::vector<Call> epilogue = {C("PopMatrix", {}), C("MatrixMode", {gl::kProjection}),
                                        C("PopMatrix", {}), C("PopAttrib", {})};
    EXPECT_EQ(gl.calls.size(), prologue.size() + kLinesPerSet * strip.size() + epilogue.size());
    EXPECT_EQ(std::vector<Call>(gl.calls.end() - epilogue.size(), gl.calls.end()), epilogue);
}

TEST(ComputeBand, NarrowBandsCrossTheirInnerPairsUnchanged) {
    LineSet set = OneSet(0.004f, 0.4f, 0.1f);
    set.halfWidth[3] = 0.0f;
    const Band narrow = ComputeBand(set, 0, 2.0, 1.0f, 0.5f);
    EXPECT_GT(narrow.edgeY[1], narrow.edgeY[2]);
    EXPECT_NEAR(narrow.edgeY[1] - narrow.edgeY[0], 0.01f, 1e-6);
    EXPECT_NEAR(narrow.edgeY[3] - narrow.edgeY[2], 0.01f, 1e-6);
    const Band flat = ComputeBand(set, 3, 2.0, 1.0f, 0.5f);
    EXPECT_EQ(flat.edgeY[0], flat.edgeY[3]);
}

TEST(GroupAlpha, AddsThirtyAfterTheProductAndUsesLineZeroForAll) {
    LineSet set = OneSet(0.01f, 0.3f, 0.1f);
    set.rate[1] = 0.55f;
    const double t = 1.0;
    const float expected = static_cast<float>((std::sin(2.0f * 0.3f * t + 30.0) + 1.0) / 2.0);
    const float otherGrouping =
        static_cast<float>((std::sin(2.0f * 0.3f * (t + 30.0)) + 1.0) / 2.0);
    ASSERT_GT(std::fabs(expected - otherGrouping), 0.1f);
    EXPECT_FLOAT_EQ(GroupAlpha(set, t, 2.0f), expected);
    EXPECT_FLOAT_EQ(ComputeBand(set, 1, t, 2.0f, GroupAlpha(set, t, 2.0f)).colour[3], expected);
}

TEST(DrawScene, TintsGroupsFromTheClockAndPassesNegativeChannels) {
    Scene scene;
    for (LineSet* set : {&scene.redSet, &scene.greenSet, &scene.warmSet}) {
        for (int i = 0; i < kLinesPerSet; ++i) set->brightness[i] = 0.2f;
    }
    UpdateScene(scene, 2000);
    GlRecorder gl;
    DrawScene(scene, gl);
    const float c = static_cast<float>(std::cos(2.0));
    const float s = static_cast<float>(std::sin(2.0));
    EXPECT_EQ(scene.redSet.baseColour[0], c);
    EXPECT_EQ(scene.greenSet.baseColour[1], s);
    EXPECT_EQ(scene.warmSet.baseColour[0], s);
    EXPECT_EQ(scene.warmSet.baseColour[1], 0.7f);
    EXPECT_EQ(scene.warmSet.baseColour[2], c);
    EXPECT_EQ(gl.calls.front(), C("Clear", {gl::kColorBufferBit | gl::kDepthBufferBit}));
    EXPECT_EQ(gl.calls[1], C("LoadIdentity", {}));
    EXPECT_EQ(gl.calls.back(), C("Flush", {}));

    // The red group's first colour carries cos(2) < 0 through to the call.
    const auto firstColour = std::find_if(gl.calls.begin(), gl.calls.end(), [](const Call& call) {
        return call.rfind("Color4f", 0) == 0;
    });
    ASSERT_NE(firstColour, gl.calls.end());
    const float alpha = GroupAlpha(scene.redSet, 2.0, 2.0f);
    EXPECT_EQ(*firstColour, C("Color4f", {c * 0.2f, 0, 0, alpha}));
    int rotations = 0;
    for (const Call& call : gl.calls) rotations += call.rfind("Rotatef", 0) == 0;
    EXPECT_EQ(rotations, 3);
    EXPECT_NE(std::find(gl.calls.begin(), gl.calls.end(), C("Rotatef", {-45, 0, 0, 1})),
              gl.calls.end());
}

TEST(UpdateScene, ActsOnEscapeOnlyWhenItsEntryIsExactlyOne) {
    Scene scene;
    GlRecorder gl;
    CountingQuit quit;
    FixedTicks ticks;
    int32_t keys[kKeyCount] = {};
    InitScene(scene, gl, keys, quit, ticks);
    keys['A'] = 1;
    keys[kEscapeKey] = 2;
    UpdateScene(scene, 16);
    EXPECT_EQ(quit.count, 0);
    keys[kEscapeKey] = 1;
    UpdateScene(scene, 16);
    EXPECT_EQ(quit.count, 1);
    EXPECT_DOUBLE_EQ(scene.sceneTime, 0.032);
}

// The motion as first defined: single-precision clock and arguments.
float FloatBandCentre(const LineSet& set, int line, float accumulatedMs, float speed) {
    const float t = accumulatedMs / 1000.0f;
    return static_cast<float>(std::sin(speed * set.rate[line] * (t + 30.0f)));
}

TEST(SceneClock, MatchesTheSinglePrecisionMotionForTheFirstHours) {
    const LineSet set = OneSet(0.01f, 0.6f, 0.1f);
    Scene scene;
    float floatMs = 0.0f;
    const uint64_t fourHoursMs = 4ull * 3600 * 1000;
    while (scene.accumulatedMs < fourHoursMs) {
        const uint32_t step = 1000u * 60u * 7u + 13u;  // uneven, exact in both clocks
        UpdateScene(scene, step);
        floatMs += static_cast<float>(step);
        const float argument = 2.0f * 0.6f * (floatMs / 1000.0f + 30.0f);
        // Within a few units in the last place of the single-precision argument.
        const float tolerance = 4.0f * (std::nextafter(argument, 1e9f) - argument);
        ASSERT_NEAR(BandCentre(set, 0, scene.sceneTime, 2.0f),
                    FloatBandCentre(set, 0, floatMs, 2.0f), tolerance)
            << scene.accumulatedMs;
    }
}

TEST(SceneClock, KeepsMovingSmoothlyAfterDaysOfRunning) {
    const LineSet set = OneSet(0.01f, 0.6f, 0.1f);
    const double frequency = 2.0f * 0.6f;  // as the drawing forms it
    for (uint64_t hours : {75ull, 300ull, 24ull * 365}) {
        Scene scene;
        scene.accumulatedMs = hours * 3600 * 1000;
        UpdateScene(scene, 0);
        const double before = scene.sceneTime;
        const float y0 = BandCentre(set, 0, scene.sceneTime, 2.0f);
        UpdateScene(scene, 16);
        EXPECT_NEAR(scene.sceneTime - before, 0.016, 1e-8) << hours;
        const float y1 = BandCentre(set, 0, scene.sceneTime, 2.0f);
        // sin(x + h) - sin(x) = 2 cos(x + h/2) sin(h/2): one frame's true step.
        const double step =
            2.0 * std::cos(frequency * (before + 0.008 + 30.0)) * std::sin(frequency * 0.008);
        EXPECT_NEAR(y1 - y0, step, 1e-6) << hours;
    }
    // The single-precision clock would stand still here.
    const float frozen = 268435456.0f;
    EXPECT_EQ(frozen + 16.0f, frozen);
}

}  // namespace
