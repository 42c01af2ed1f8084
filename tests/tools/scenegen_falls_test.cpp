// The generated falls as the engine reads them: the foam at their foot lies
// on the lake where the ripples can cover it, and their texture frames loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/tools/scenegen_data.h"
#include "tools/scenegen/falls.h"

using namespace scenedata;

namespace {

// The water square and its still level, as the scene lays it in.
constexpr double WaterX0 = -50, WaterX1 = 98, WaterY0 = 116, WaterY1 = 264, WaterZ = -11;

// Mean difference per byte between rows y + shift of frame a and rows y of
// frame b (rows that have a row `shift` above them).
double ShiftedDifference(const TUmtImage& image, std::uint32_t a, std::uint32_t b, int shift) {
    const std::size_t row = std::size_t(image.Width) * image.BytesPerPixel();
    const std::uint8_t *pa = image.Frame(a), *pb = image.Frame(b);
    double sum = 0;
    std::size_t count = 0;
    for (int y = 0; y + shift < image.Height; ++y)
        for (std::size_t i = 0; i < row; ++i, ++count)
            sum += std::abs(int(pa[(std::size_t(y) + shift) * row + i]) - int(pb[std::size_t(y) * row + i]));
    return sum / double(count);
}

} // namespace

// The water moves one step toward row 0 from each frame to the next, and
// from the last frame back to the first no more than that: the loop has no
// jump however long it runs.
TEST(FallsTextures, FramesFlowAndLoopWithoutAJump) {
    for (const auto& [name, stepRows] : {std::pair<const char*, int>{"lake_falls", scenegen::FlowStepRows},
                                         {"lake_foam", scenegen::FoamStepRows}}) {
        SCOPED_TRACE(name);
        const TUmtImage image = Texture(name);
        const std::uint32_t frames = image.LastFrame + 1;
        ASSERT_GE(frames, 8u) << "too few frames to flow smoothly";
        // Each frame against the one before it moved a step, and against
        // itself moved a step: the first must match better, or nothing flows.
        double step = 0, moved = 0, still = 0;
        for (std::uint32_t k = 0; k + 1 < frames; ++k) {
            const double d = ShiftedDifference(image, k, k + 1, stepRows);
            step = std::max(step, d);
            moved += d / (frames - 1);
            still += ShiftedDifference(image, k, k, stepRows) / (frames - 1);
        }
        EXPECT_LT(moved, 0.9 * still) << "the frames flow toward row 0";
        const double wrap = ShiftedDifference(image, frames - 1, 0, stepRows);
        EXPECT_LE(wrap, 1.25 * step + 0.5) << "last to first";
    }
}

// White water spread on the lake at the foot of the falls, just above the
// still water so that the ripples cover and uncover it, drawn in the opaque
// pass so that the water drawn after it can.
TEST(FallsModel, FoamLiesOnTheLakeJustAboveTheStillWater) {
    const TModel& lake = Models[Load("tarnwick")];
    std::size_t points = 0;
    for (const TModelObject& o : lake.Objects) {
        if (MaterialTextureName(lake.Materials[o.MaterialIndex]) != "lake_foam") continue;
        EXPECT_EQ(o.Alpha[0], 0.0f);
        for (const TTriangle& t : o.Meshes[0].Triangles)
            for (int v = 0; v < 3; ++v, ++points) {
                const TVec p = Vertex(t, v);
                EXPECT_GT(p.Z, WaterZ + 0.05);
                EXPECT_LT(p.Z, WaterZ + 1.0);
                EXPECT_TRUE(p.X > WaterX0 && p.X < WaterX1 && p.Y > WaterY0 && p.Y < WaterY1);
            }
    }
    EXPECT_GT(points, 30u) << "no foam";
    EXPECT_EQ(Texture("lake_foam").BitsPerPixel, 24);
}

// The mist's sprites never show an edge: the puff is clear all round the
// square's border and thins gradually toward it.
TEST(FallsTextures, MistPuffHasNoEdge) {
    const TUmtImage mist = Texture("lake_mist");
    ASSERT_EQ(mist.BitsPerPixel, 32);
    const int w = mist.Width, h = mist.Height;
    auto alpha = [&](int x, int y) { return int(mist.Frame(0)[(std::size_t(y) * w + x) * 4 + 3]); };
    int border = 0, steepest = 0, densest = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) border = std::max(border, alpha(x, y));
            if (x + 1 < w) steepest = std::max(steepest, std::abs(alpha(x + 1, y) - alpha(x, y)));
            if (y + 1 < h) steepest = std::max(steepest, std::abs(alpha(x, y + 1) - alpha(x, y)));
            densest = std::max(densest, alpha(x, y));
        }
    EXPECT_EQ(border, 0);
    EXPECT_GT(densest, 128);
    EXPECT_LT(steepest, 24) << "alpha steps between neighbouring texels";
}
