// The lake scene's set-up and frame on the OpenGL device, with a small lake,
// digit, separator and sign models written to a scratch home folder.
#include "tests/engine/render/device_fixture.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/features/switches.h"
#include "engine/render/textures.h"
#include "platform/platform.h"
#include "scene/lake.h"
#include "scene/overlay.h"
#include "scene/random.h"
#include "scene/water.h"

namespace {

std::uint32_t Ticks = 0;
std::uint32_t FakeTicks() {
    return Ticks;
}
platform::TLocalTime Now{2026, 6, 1, 13, 5, 9, 0};
platform::TLocalTime FakeNow() {
    return Now;
}

// The home folder holds models/: the lake with two textures (the ground, and
// a checker the water reflects) and camera 1 straight above the water, and
// the 13 overlay models, each a small upright square whose red channel
// tells its model number (k / 16).
class LakeScene : public DeviceGlTest {
  protected:
    std::string home;

    void SetUp() override {
        width = 160;
        height = 120;
        DeviceGlTest::SetUp();
        home = platform::GetCurrentDirectory();
        std::filesystem::create_directories(folder / "models");
        ASSERT_TRUE(platform::SetCurrentDirectory(folder.string()));
        platform::SetTickSource(FakeTicks);
        platform::SetLocalTimeSource(FakeNow);
        Ticks = 100000;
        WriteLake();
        for (int k = 1; k <= 13; ++k)
            WriteSign(OverlayFile(k), k);
    }
    void TearDown() override {
        platform::SetTickSource(nullptr);
        platform::SetLocalTimeSource(nullptr);
        platform::SetCurrentDirectory(home);
        DeviceGlTest::TearDown();
    }

    static std::string OverlayFile(int model) {
        if (model <= 10) return std::to_string(model - 1) + ".umf";
        return model == 11 ? "dd.umf" : model == 12 ? "am.umf" : "pm.umf";
    }

    std::string ModelPath(const std::string& name) const { return (folder / "models" / name).string(); }

    void WriteLake() {
        std::vector<std::array<std::uint8_t, 4>> ground = {{120, 60, 20, 255}};
        SaveUmt(ModelPath("ground.umt"), SolidImage(ground), false);
        TUmtImage checker;
        checker.Width = checker.Height = 32;
        checker.BitsPerPixel = 24;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const bool on = (x / 2 + y / 2) % 2 != 0;
                checker.Pixels.insert(
                    checker.Pixels.end(),
                    {std::uint8_t(on ? 240 : 10), std::uint8_t(on ? 240 : 10), std::uint8_t(on ? 255 : 90)});
            }
        SaveUmt(ModelPath("sky.umt"), checker, false);

        TModel lake = EmptyModel();
        AddMaterial(lake, Material(1, 1, 1, 1, "ground"));
        AddMaterial(lake, Material(1, 1, 1, 1, "sky"));
        // The lake bed, below the water (rest height -11, dents reach about -12).
        AddObject(lake, 0, Square(-250, -50, 300, 450, -15));
        TModelCamera camera;
        camera.Values = {{1.0f, 2000.0f, 60.0f}};
        camera.Matrices = {Translation(-24, -190, -200)}; // above the water's centre, looking down
        lake.Cameras.push_back(camera);
        lake.CameraCount = 1;
        SaveUmf(ModelPath("tarnwick.umf"), lake);
    }

    void WriteSign(const std::string& name, int model) {
        TModel sign = EmptyModel();
        AddMaterial(sign, Material(float(model) / 16, 1, 1, 1));
        // Upright in the overlay: the models' z axis is the screen's up.
        TMesh mesh;
        mesh.Triangles = {TTriangle{{{0, 0, 0}, {20, 0, 0}, {20, 0, 30}}},
                          TTriangle{{{0, 0, 0}, {20, 0, 30}, {0, 0, 30}}}};
        mesh.TriangleCount = 2;
        AddObject(sign, 0, mesh, 1.0f);
        SaveUmf(ModelPath(name), sign);
    }

    std::vector<std::uint8_t> Frame(bool showFps, bool showTime, bool twelveHour) {
        DrawLakeFrame(showFps, showTime, twelveHour);
        return platform::OffscreenPixels(surface);
    }

    // Share of differing pixels inside a rectangle of the frame.
    double DifferingIn(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int x0, int y0,
                       int x1, int y1) const {
        int differing = 0, total = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x, ++total) {
                const std::size_t i = (std::size_t(y) * width + x) * 4;
                for (int c = 0; c < 3; ++c)
                    if (std::abs(int(a[i + c]) - int(b[i + c])) > 8) {
                        ++differing;
                        break;
                    }
            }
        return double(differing) / total;
    }
};

} // namespace

TEST_F(LakeScene, SetUpLoadsTheModelsInOrderAndPreparesTheWater) {
    SetUpLakeScene();
    ASSERT_EQ(ModelCount, 14u);
    for (std::uint32_t k = 1; k <= 13; ++k)
        EXPECT_EQ(Models[k].Materials[0].Colour[0], float(k) / 16) << k;
    EXPECT_EQ(Models[0].CameraCount, 1u);
    EXPECT_EQ(TextureDirectory, "models");
    EXPECT_EQ(NextTexture, 2);
    EXPECT_EQ(Models[0].Materials[1].FirstTexture, 1) << "the water's picture is the second upload";
    EXPECT_EQ(ClearColorOn, 1);
    EXPECT_EQ(LightingOn, 0);
    EXPECT_EQ(SurfaceOverlayOn, 0);
    EXPECT_EQ(WaterGrid[0].X, 1.0f) << "InitWater has run";
    EXPECT_EQ(WaterCurrent, WaterHeights[1]);
}

TEST_F(LakeScene, MissingSignModelFailsTheSetUp) {
    std::filesystem::remove(folder / "models" / "am.umf");
    try {
        SetUpLakeScene();
        FAIL() << "the set-up must fail";
    } catch (const TIoError& error) {
        EXPECT_EQ(error.Code(), IoFileNotFound);
        EXPECT_NE(std::string(error.what()).find("File not found"), std::string::npos) << error.what();
    }
    EXPECT_EQ(ModelCount, 12u) << "the lake, the ten digits and the separator";
    EXPECT_EQ(WaterGrid[0].X, 0.0f) << "the rest of the set-up is skipped";
}

// The first frame after the warm-up shows ripples on the water, the lake bed
// around it, and the overlays only where they belong.
TEST_F(LakeScene, FrameShowsTheRipplingLakeAndTheOverlays) {
    SetUpLakeScene();
    StartFrameCounters();
    const std::vector<std::uint8_t> still = Frame(false, false, false);
    WarmUpWater();
    StartFrameCounters();
    const std::vector<std::uint8_t> rippled = Frame(false, false, false);
    EXPECT_GT(DifferingIn(still, rippled, 40, 30, 120, 90), 0.05) << "the ripples move the reflection";

    // Camera 1 sees the whole water (148 units wide at 200 units' distance)
    // and the lake bed around it at the edges.
    const std::size_t corner = (std::size_t(height / 2) * width + 2) * 4;
    EXPECT_EQ(rippled[corner], 120);
    EXPECT_EQ(rippled[corner + 1], 60);

    Ticks += 1; // no step, no drop: the same water under the overlays
    const std::vector<std::uint8_t> overlays = Frame(true, true, true);
    const int w = width, h = height;
    EXPECT_GT(DifferingIn(rippled, overlays, 0, h * 9 / 10, w / 3, h), 0.05) << "the clock, top left";
    EXPECT_GT(DifferingIn(rippled, overlays, w * 3 / 4, h * 9 / 10, w, h), 0.01) << "the counter, top right";
    EXPECT_EQ(DifferingIn(rippled, overlays, 0, 0, w, h * 3 / 4), 0.0) << "nothing else changes";
    EXPECT_EQ(FpsFrameCount, 1u);
}

// One frame on two monitors of different shapes: each view shows what a
// window of its own shape would, clock included; the counter counts the
// frame once and the water steps once.
TEST_F(LakeScene, ViewsShowTheSceneFramedForEachMonitor) {
    SetUpLakeScene();
    WarmUpWater();
    StartFrameCounters();
    Ticks += 1; // no step, no drop: the same water in every frame below
    auto alone = [&](int w, int h) {
        DeviceResize(w, h);
        return Frame(false, true, true);
    };
    const std::vector<std::uint8_t> tall = alone(64, 120), wide = alone(96, 60);
    DeviceResize(width, height);
    DrawLakeViews({{0, 0, 64, 120}, {64, 30, 96, 60}}, false, true, true);
    const std::vector<std::uint8_t> both = platform::OffscreenPixels(surface);
    // Share of pixels of `region` (w x h at x, y of `both`) that differ from
    // the same-sized block at (0, 0) of `reference`.
    auto differing = [&](const std::vector<std::uint8_t>& reference, int x, int y, int w, int h) {
        int count = 0;
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col) {
                const std::size_t a = (std::size_t(y + row) * width + x + col) * 4;
                const std::size_t b = (std::size_t(row) * width + col) * 4;
                for (int c = 0; c < 3; ++c)
                    if (std::abs(int(both[a + c]) - int(reference[b + c])) > 8) {
                        ++count;
                        break;
                    }
            }
        return double(count) / (w * h);
    };
    EXPECT_LT(differing(tall, 0, 0, 64, 120), 0.01) << "the tall monitor";
    EXPECT_LT(differing(wide, 64, 30, 96, 60), 0.01) << "the wide monitor";
    EXPECT_GT(differing(tall, 64, 30, 96, 60), 0.05) << "the two shapes frame the scene differently";
    const std::size_t gap = (std::size_t(5) * width + 120) * 4; // below the wide view: cleared
    EXPECT_EQ(both[gap] + both[gap + 1] + both[gap + 2], 0);

    // A frame draws the water's three random numbers once, however many views.
    const std::uint32_t seed = RandomSeed;
    for (int i = 0; i < 3; ++i)
        RandomBelow(1);
    const std::uint32_t threeDraws = RandomSeed;
    SeedRandom(seed);
    float* const before = WaterCurrent;
    Ticks += WaterStepInterval;
    DrawLakeViews({{0, 0, 64, 120}, {64, 30, 96, 60}}, true, false, false);
    EXPECT_EQ(FpsFrameCount, 1u);
    EXPECT_NE(WaterCurrent, before) << "one step";
    EXPECT_EQ(LastStepTime, Ticks);
    EXPECT_EQ(RandomSeed, threeDraws) << "three random draws";
}

// A monitor with no area draws nothing (not into the area of the view
// before it), and after the frame the viewport and the cameras' aspect are
// the whole window's again.
TEST_F(LakeScene, ViewsSkipEmptyOnesAndGiveTheWholeWindowBack) {
    SetUpLakeScene();
    WarmUpWater();
    StartFrameCounters();
    DrawLakeViews({{64, 30, 0, 60}, {0, 0, 64, 120}, {64, 30, 96, 0}}, false, true, true);
    const std::vector<std::uint8_t> frame = platform::OffscreenPixels(surface);
    for (std::size_t y : {5, 60, 115}) {
        const std::size_t i = (y * width + 120) * 4;
        EXPECT_EQ(frame[i] + frame[i + 1] + frame[i + 2], 0) << "right of the one view, row " << y;
    }
    EXPECT_FLOAT_EQ(AspectRatio, float(width) / float(height));
    BeginFrame();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EndFrame();
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, width, height}));
}
