#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "renderer/scene/line_scene.h"
#include "renderer/scene/strip_batch.h"
#include "renderer/window/renderer_main.h"

namespace {

// The batch as a back end sees it: context calls counted, the batch kept for inspection.
class KeptBatch final : public StripBatch {
  public:
    int clears = 0;
    int viewports = 0;
    void Clear(uint32_t) override { ++clears; }
    void ClearColor(float, float, float, float) override {}
    void Viewport(int, int, int, int) override { ++viewports; }
    void Flush() override {}
};

class NoQuit final : public QuitRequest {
  public:
    void RequestQuit() override {}
};

class SeedTicks final : public TickSource {
  public:
    uint32_t next = 7;
    uint32_t TickCount() override { return next++; }
};

// What OpenGL does to a point: the column-major matrix times (x, y, 0, 1).
std::array<float, 4> Apply(const Matrix4& m, float x, float y) {
    return {m[0] * x + m[4] * y + m[12], m[1] * x + m[5] * y + m[13], m[2] * x + m[6] * y + m[14],
            m[3] * x + m[7] * y + m[15]};
}

TEST(Matrices, RotateCounterClockwiseAndProjectAsGlu) {
    const std::array<float, 4> turned = Apply(RotationMatrix(90.0f, 0.0f, 0.0f, 2.0f), 1.0f, 0.0f);
    EXPECT_NEAR(turned[0], 0.0f, 1e-6f);
    EXPECT_NEAR(turned[1], 1.0f, 1e-6f);

    // gluPerspective(90, 2, 1, 3): cotangent 1, so x / 2, y, and depth -2z - 3 over w = -z.
    const Matrix4 p = PerspectiveMatrix(90.0, 2.0, 1.0, 3.0);
    const Matrix4 expected = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(p[i], expected[i], 1e-6f) << i;
    // A rotation multiplied onto the projection is applied to the point first.
    const std::array<float, 4> both =
        Apply(MultiplyMatrices(p, RotationMatrix(90.0f, 0.0f, 0.0f, 1.0f)), 1.0f, 0.0f);
    EXPECT_NEAR(both[0], 0.0f, 1e-6f);
    EXPECT_NEAR(both[1], 1.0f, 1e-6f);
    EXPECT_EQ(PerspectiveMatrix(45.0, 1.0, 1.0, 1.0), IdentityMatrix());
}

TEST(StripBatch, QuadStripsBecomeTwoTrianglesPerQuadWithTheColourOfEachVertex) {
    KeptBatch batch;
    batch.Begin(gl::kQuadStrip);
    batch.Color4f(-0.5f, 0.25f, 2.0f, 1.5f);  // clamped as given, as the fixed pipeline does
    batch.Vertex3f(0, 0, 0);
    batch.Vertex3f(1, 0, 0);
    batch.Color3f(1.0f, 1.0f, 1.0f);
    batch.Vertex3f(0, 1, 0);
    batch.Vertex3f(1, 1, 0);
    batch.Vertex3f(0, 2, 0);  // a vertex without its pair adds nothing
    batch.End();
    batch.Begin(0x0004);  // triangles: the scene never draws them, and they are not collected
    batch.Vertex3f(0, 0, 0);
    batch.Vertex3f(1, 0, 0);
    batch.Vertex3f(0, 1, 0);
    batch.End();

    const std::vector<BatchVertex>& v = batch.Vertices();
    ASSERT_EQ(v.size(), 6u);
    const float corners[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(v[i].position[0], corners[i][0]) << i;
        EXPECT_EQ(v[i].position[1], corners[i][1]) << i;
        EXPECT_EQ(v[i].position[3], 1.0f) << i;
        const bool lower = corners[i][1] == 0;
        EXPECT_EQ(v[i].colour[0], lower ? 0.0f : 1.0f) << i;
        EXPECT_EQ(v[i].colour[1], lower ? 0.25f : 1.0f) << i;
        EXPECT_EQ(v[i].colour[2], 1.0f) << i;
        EXPECT_EQ(v[i].colour[3], 1.0f) << i;
    }
    ASSERT_EQ(batch.Runs().size(), 1u);
    EXPECT_FALSE(batch.Runs()[0].blend);
}

TEST(StripBatch, BlendingStartsANewRunAndIsRestoredWithTheAttributes) {
    KeptBatch batch;
    const auto quad = [&batch] {
        batch.Begin(gl::kQuadStrip);
        for (int i = 0; i < 4; ++i) batch.Vertex3f(static_cast<float>(i % 2), i / 2.0f, 0.0f);
        batch.End();
    };
    quad();
    batch.PushAttrib(gl::kDrawAttribMask);
    batch.Enable(gl::kBlend);
    batch.BlendFunc(gl::kOne, gl::kOne);
    quad();
    quad();
    batch.PopAttrib();
    quad();

    const std::vector<BatchRun>& runs = batch.Runs();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_FALSE(runs[0].blend);
    EXPECT_TRUE(runs[1].blend);
    EXPECT_EQ(runs[1].firstVertex, 6u);
    EXPECT_EQ(runs[1].vertexCount, 12u);
    EXPECT_EQ(runs[1].blendSource, gl::kOne);
    EXPECT_EQ(runs[1].blendDestination, gl::kOne);
    EXPECT_FALSE(runs[2].blend);
    batch.EmptyBatch();
    EXPECT_TRUE(batch.Vertices().empty());
    EXPECT_TRUE(batch.Runs().empty());
}

// The whole scene, as the renderer starts and draws it: one additive run of 300 bands, each band
// rotated with its group and drawn without the window's perspective, colours clamped.
TEST(StripBatch, CollectsTheSceneAsTheFixedPipelineTransformsAndColoursIt) {
    KeptBatch batch;
    RendererRun run;
    run.window.width = 640;
    run.window.height = 480;
    NoQuit quit;
    SeedTicks seeds;
    StartWindowScene(run, batch, seeds, quit, 0);
    EXPECT_EQ(batch.viewports, 1);
    // At 2.5 s the red group's tint, cos(2.5), is negative: its bands add no light at all.
    DrawFrame(run, batch, 2500);
    EXPECT_EQ(batch.clears, 1);

    const std::vector<BatchVertex>& v = batch.Vertices();
    ASSERT_EQ(v.size(), 3u * 100u * 3u * 2u * 3u);
    ASSERT_EQ(batch.Runs().size(), 1u);
    EXPECT_TRUE(batch.Runs()[0].blend);
    EXPECT_EQ(batch.Runs()[0].blendSource, gl::kOne);
    EXPECT_EQ(batch.Runs()[0].blendDestination, gl::kOne);
    for (const BatchVertex& vertex : v) {
        EXPECT_EQ(vertex.position[3], 1.0f);
        for (float part : vertex.colour) {
            ASSERT_GE(part, 0.0f);
            ASSERT_LE(part, 1.0f);
        }
    }

    const Scene& scene = run.scene;
    const double time = scene.sceneTime;
    // The red group comes first, turned by 45 degrees: its first triangle is the lower edge
    // pair and the first inner vertex, black at the edge and the clamped tint inside.
    const Band red = ComputeBand(scene.redSet, 0, time, 2.0f, GroupAlpha(scene.redSet, time, 2.0f));
    const Matrix4 turn45 = RotationMatrix(45.0f, 0.0f, 0.0f, 1.0f);
    const std::array<float, 4> corner = Apply(turn45, 1.0f, red.edgeY[1]);
    EXPECT_FLOAT_EQ(v[2].position[0], corner[0]);
    EXPECT_FLOAT_EQ(v[2].position[1], corner[1]);
    EXPECT_EQ(v[0].colour[1], 0.0f);
    EXPECT_LT(red.colour[0], 0.0f);
    EXPECT_EQ(v[2].colour[0], 0.0f);
    // The warm group comes last, unturned, with its tint where it is lit.
    const size_t warmStart = 2u * 100u * 18u;
    const Band warm =
        ComputeBand(scene.warmSet, 0, time, 1.0f, GroupAlpha(scene.warmSet, time, 1.0f));
    EXPECT_FLOAT_EQ(v[warmStart + 2].position[0], 1.0f);
    EXPECT_FLOAT_EQ(v[warmStart + 2].position[1], warm.edgeY[1]);
    EXPECT_FLOAT_EQ(v[warmStart + 2].colour[0], std::min(1.0f, std::max(0.0f, warm.colour[0])));
    EXPECT_FLOAT_EQ(v[warmStart + 2].colour[1], warm.colour[1]);

    // Outside the scene's groups the window's perspective is back on the projection stack.
    batch.Begin(gl::kQuadStrip);
    for (int i = 0; i < 4; ++i) batch.Vertex3f(0.0f, 0.0f, -2.0f);
    batch.End();
    EXPECT_FLOAT_EQ(batch.Vertices().back().position[3], 2.0f);
}

}  // namespace
