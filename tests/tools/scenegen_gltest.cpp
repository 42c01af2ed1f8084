// The generated lake drawn by the real render device offscreen, through
// camera 1, at the screen shapes people have: nothing black shows through,
// the water fills much of the lower half, and a monitor turned on its side
// shows the whole scene.
#include <algorithm>
#include <cstdlib>

#include "engine/render/device.h"
#include "platform/platform.h"
#include "scene/lake.h"
#include "scene/water.h"
#include "tests/support/gl_fixture.h"
#include "tests/tools/scenegen_data.h"

namespace {

class LakeView : public OffscreenGlTest {
  protected:
    void SetUp() override {
        OffscreenGlTest::SetUp();
        ASSERT_TRUE(platform::SetCurrentDirectory(scenedata::DataDir()));
        SetDeviceWindow(surface);
        SelectBackend(2);
        DeviceInit();
        SetUpLakeScene();
        WarmUpWater();
    }
    void TearDown() override {
        DeviceDone();
        OffscreenGlTest::TearDown();
    }
    void Resize(int w, int h) {
        platform::ResizeOffscreenSurface(surface, w, h);
        DeviceResize(w, h);
        width = w, height = h;
    }
    std::vector<std::uint8_t> Frame(bool water) {
        BeginFrame();
        SetCamera(0, 0, 1);
        DrawModel(0, 0, 0, 0);
        if (water) DrawWater(false, false);
        EndFrame();
        return platform::OffscreenPixels(surface);
    }
};

} // namespace

TEST_F(LakeView, NoBlackShowsThroughAtAnyScreenShape) {
    for (auto size : {std::pair<int, int>{640, 480}, {768, 432}, {840, 360}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        Resize(size.first, size.second);
        const std::vector<std::uint8_t> frame = Frame(true);
        std::size_t black = 0;
        for (std::size_t i = 0; i + 3 < frame.size(); i += 4)
            if (std::max({frame[i], frame[i + 1], frame[i + 2]}) <= 3) ++black;
        EXPECT_LT(double(black) / double(width * height), 0.0005) << black << " black pixels";
    }
}

TEST_F(LakeView, WaterFillsMuchOfTheLowerHalf) {
    for (auto size : {std::pair<int, int>{640, 480}, {768, 432}, {840, 360}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        Resize(size.first, size.second);
        const std::vector<std::uint8_t> land = Frame(false), lake = Frame(true);
        // Where drawing the water changes the picture, the water shows.
        std::size_t lower = 0, upper = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
                int diff = std::abs(land[i] - lake[i]) + std::abs(land[i + 1] - lake[i + 1]) +
                           std::abs(land[i + 2] - lake[i + 2]);
                if (diff > 6) (y < height / 2 ? lower : upper) += 1; // row 0 is the bottom
            }
        const double half = double(width) * double(height / 2);
        EXPECT_GT(lower / half, 0.6) << "water in the lower half";
        EXPECT_LT(upper / half, 0.25) << "the upper half is land and sky";
    }
}

TEST_F(LakeView, APortraitScreenShowsTheWholeScene) {
    // A 16:9 monitor turned on its side: sky along the top, the water along
    // the bottom, and the land between them built and planted, with no
    // black showing anywhere.
    Resize(270, 480);
    const std::vector<std::uint8_t> lake = Frame(true);
    std::size_t black = 0;
    for (std::size_t i = 0; i + 3 < lake.size(); i += 4)
        if (std::max({lake[i], lake[i + 1], lake[i + 2]}) <= 3) ++black;
    EXPECT_LT(black, 50u) << "black pixels";
    auto at = [&](const std::vector<std::uint8_t>& frame, int x, int y) { // row 0 is the bottom
        return &frame[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
    };
    std::size_t sky = 0;
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = at(lake, x, height - 3);
        sky += p[2] > p[0] + 20 && p[2] > 120;
    }
    EXPECT_GT(sky, std::size_t(width) * 9 / 10) << "sky along the top";
    // The plants: drawn without their cut-outs, the land between the water
    // and the sky changes in many places, all the way across.
    const std::vector<std::uint8_t> land = Frame(false);
    TModel& model = Models[0];
    const std::vector<TModelObject> all = model.Objects;
    model.Objects.erase(
        std::remove_if(
            model.Objects.begin(), model.Objects.end(),
            [&](const TModelObject& o) {
                return MaterialTextureName(model.Materials[o.MaterialIndex]).rfind("lake_trees", 0) == 0;
            }),
        model.Objects.end());
    model.ObjectCount = std::uint32_t(model.Objects.size());
    const std::vector<std::uint8_t> bare = Frame(false);
    model.Objects = all;
    model.ObjectCount = std::uint32_t(all.size());
    constexpr int Columns = 3;
    std::size_t planted[Columns] = {};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t *a = at(land, x, y), *b = at(bare, x, y);
            if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 24)
                ++planted[x * Columns / width];
        }
    for (int c = 0; c < Columns; ++c)
        EXPECT_GT(planted[c], std::size_t(width * height) / Columns / 50) << "plants in column " << c;
    // The water: drawing it changes most of the lowest tenth.
    std::size_t water = 0;
    for (int y = 0; y < height / 10; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t *a = at(lake, x, y), *b = at(land, x, y);
            water += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 6;
        }
    EXPECT_GT(water, std::size_t(width) * std::size_t(height / 10) * 8 / 10) << "water along the bottom";
}

TEST_F(LakeView, TheWaterfallAndItsSprayShowInFrontOfTheRock) {
    Resize(640, 360);
    // Without the water, whose ripples move from frame to frame.
    const std::vector<std::uint8_t> with = Frame(false);
    TModel& lake = Models[0];
    const std::vector<TModelObject> all = lake.Objects;
    lake.Objects.erase(std::remove_if(lake.Objects.begin(), lake.Objects.end(),
                                      [&](const TModelObject& o) {
                                          return MaterialTextureName(lake.Materials[o.MaterialIndex]) ==
                                                 "lake_falls";
                                      }),
                       lake.Objects.end());
    lake.ObjectCount = std::uint32_t(lake.Objects.size());
    const std::vector<std::uint8_t> without = Frame(false);
    lake.Objects = all;
    lake.ObjectCount = std::uint32_t(all.size());
    // Where the falls are drawn the picture turns whiter.
    std::size_t whiter = 0;
    for (std::size_t i = 0; i + 3 < with.size(); i += 4)
        if (with[i] + with[i + 1] + with[i + 2] > without[i] + without[i + 1] + without[i + 2] + 60) ++whiter;
    EXPECT_GT(whiter, 150u);
}
