// The generated lake running on a clock of its own: the falls flow, at the
// same speed whatever the frame rate, and above the water nothing else moves.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/models/model_load.h"
#include "engine/render/device.h"
#include "platform/platform.h"
#include "scene/lake.h"
#include "tests/tools/running_lake_fixture.h"
#include "tools/snapshot/running_lake.h"

namespace {

using TFrame = std::vector<std::uint8_t>;
using TMask = std::vector<bool>;

class FlowingFalls : public RunningLakeTest {
  protected:
    FlowingFalls() : RunningLakeTest(960, 540) {}

    // The running program's frame at `tick`, without the overlays.
    TFrame Scene(std::uint32_t tick) {
        RunningLakeTick = tick;
        DrawLakeFrame(false, false, false);
        return platform::OffscreenPixels(surface);
    }
    // The lake model alone as that frame draws it, with or without the
    // falls and their foam.
    TFrame Land(std::uint32_t tick, bool falls) {
        TModel& lake = Models[0];
        const std::vector<TModelObject> all = lake.Objects;
        if (!falls) {
            lake.Objects.erase(std::remove_if(lake.Objects.begin(), lake.Objects.end(),
                                              [&](const TModelObject& o) {
                                                  const std::string name =
                                                      MaterialTextureName(lake.Materials[o.MaterialIndex]);
                                                  return name == "lake_falls" || name == "lake_foam";
                                              }),
                               lake.Objects.end());
            lake.ObjectCount = std::uint32_t(lake.Objects.size());
        }
        BeginFrame();
        SetCamera(0, 0, 1);
        DrawModel(0, 0, LakeAnimationValue(tick), 0);
        EndFrame();
        lake.Objects = all;
        lake.ObjectCount = std::uint32_t(all.size());
        return platform::OffscreenPixels(surface);
    }
    // Pixels where a and b differ by more than `levels` in a channel.
    TMask Differing(const TFrame& a, const TFrame& b, int levels = 6) const {
        TMask mask(std::size_t(width) * height);
        for (std::size_t p = 0; p < mask.size(); ++p)
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(a[p * 4 + c]) - int(b[p * 4 + c])) > levels) mask[p] = true;
        return mask;
    }
    // Where the falls and their foam may show at `tick`, a pixel wider.
    TMask FallsAt(std::uint32_t tick) {
        const TMask falls = Differing(Land(tick, true), Land(tick, false));
        TMask wider(falls.size());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int sx = x + dx, sy = y + dy;
                        if (sx >= 0 && sy >= 0 && sx < width && sy < height &&
                            falls[std::size_t(sy) * width + sx])
                            wider[std::size_t(y) * width + x] = true;
                    }
        return wider;
    }
    // Where the frame at `tick` shows the land exactly as the model drew
    // it: above the water and clear of anything drawn after the model.
    TMask AboveWater(const TFrame& scene, std::uint32_t tick) {
        TMask above = Differing(scene, Land(tick, true), 0);
        above.flip();
        return above;
    }
};

std::size_t Count(const TMask& a, const TMask& b) {
    std::size_t n = 0;
    for (std::size_t p = 0; p < a.size(); ++p)
        n += a[p] && b[p];
    return n;
}

} // namespace

// Two frames 200 ms apart: above the water the falls change and nothing
// else does.
TEST_F(FlowingFalls, OnlyTheFallsMoveAboveTheWater) {
    const std::uint32_t t1 = RunningLakeTick + 16, t2 = t1 + 200;
    const TFrame first = Scene(t1), second = Scene(t2);
    TMask above = AboveWater(first, t1);
    const TMask aboveLater = AboveWater(second, t2);
    for (std::size_t p = 0; p < above.size(); ++p)
        above[p] = above[p] && aboveLater[p];
    TMask falls = FallsAt(t1);
    const TMask fallsLater = FallsAt(t2);
    for (std::size_t p = 0; p < falls.size(); ++p)
        falls[p] = falls[p] || fallsLater[p];
    TMask elsewhere = falls;
    elsewhere.flip();

    const TMask changed = Differing(first, second);
    const std::size_t fallsShown = Count(falls, above);
    ASSERT_GT(fallsShown, 300u) << "the falls above the water, in pixels";
    EXPECT_GT(double(Count(changed, falls)) / double(fallsShown), 0.2) << "the falls flow";
    TMask changedAbove = changed;
    for (std::size_t p = 0; p < changed.size(); ++p)
        changedAbove[p] = changed[p] && above[p];
    EXPECT_EQ(Count(changedAbove, elsewhere), 0u)
        << "pixels that changed above the water away from the falls";
}

// Frames every 10 ms and every 100 ms show the falls alike at the same
// moment: their speed follows the clock, not the frame rate.
TEST_F(FlowingFalls, FlowAtTheSameSpeedAtAnyFrameRate) {
    const std::uint32_t start = RunningLakeTick + 16, span = 400;
    std::vector<TFrame> ends;
    TFrame atStart;
    for (std::uint32_t interval : {10u, 100u}) {
        TFrame frame;
        for (std::uint32_t t = start; t <= start + span; t += interval) {
            frame = Scene(t);
            if (t == start) atStart = frame;
        }
        ends.push_back(frame);
    }
    const std::uint32_t end = start + span;
    TMask shown = FallsAt(end);
    const TMask above = AboveWater(ends[0], end), aboveToo = AboveWater(ends[1], end);
    for (std::size_t p = 0; p < shown.size(); ++p)
        shown[p] = shown[p] && above[p] && aboveToo[p];
    const std::size_t total = Count(shown, shown);
    ASSERT_GT(total, 300u);
    EXPECT_GT(double(Count(Differing(atStart, ends[1]), shown)) / double(total), 0.2) << "the falls moved";
    EXPECT_LT(double(Count(Differing(ends[0], ends[1]), shown)) / double(total), 0.01)
        << "the falls differ between the two frame rates";
}
