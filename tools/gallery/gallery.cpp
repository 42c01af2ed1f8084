// gallery OUTDIR [WIDTH HEIGHT]
//
// Renders the lake scene offscreen once with each of the engine's effects
// switched on and writes one PNG per effect into OUTDIR (1280 x 720 unless
// given): plain, trail, glow, reflection, grey, negative, grey-negative,
// sprites and flares. The data is loaded from the current folder as the
// full-screen run loads it from its home directory (run it in the
// distribution folder). The water plane and the lamps it adds go into a
// scratch folder, never into the data.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "engine/features/features.h"
#include "engine/features/particle.h"
#include "engine/models/model_load.h"
#include "engine/models/umf.h"
#include "engine/render/device.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "scene/lake.h"
#include "scene/water.h"
#include "tools/gallery/gallery_models.h"
#include "tools/snapshot/png_file.h"

namespace {

constexpr std::uint32_t Lake = 0; // model 0, camera 1
constexpr int WarmFrames = 12;    // frames drawn before the one kept (trail, sprites)
std::uint32_t WaterPlane = 0;
std::uint32_t Lamps = 0;

platform::WindowHandle Surface = 0;
std::string OutDir;

// The lake through its camera with the model-view at the saved identity.
void Scene() {
    SetCamera(Lake, 0, 1);
    LoadIdentity();
    SaveViewMatrix();
    DrawModel(Lake, 0, 0, 0);
    DrawWater(false, false);
}

void Save(const std::string& name) {
    const std::string path = OutDir + "/" + name + ".png";
    if (!WritePngFromBottomUp(path, platform::OffscreenWidth(Surface), platform::OffscreenHeight(Surface),
                              platform::OffscreenPixels(Surface)))
        throw std::runtime_error("cannot write " + path);
    std::printf("%s\n", path.c_str());
}

// Draws `frames` frames with `body` between BeginFrame and EndFrame and keeps the last.
void Render(const std::string& name, const std::function<void()>& body, int frames = 1) {
    for (int f = 0; f < frames; ++f) {
        BeginFrame();
        body();
        EndFrame();
    }
    Save(name);
}

void LoadExtraModels() {
    namespace fs = std::filesystem;
    const fs::path scratch = fs::temp_directory_path() / ("tarnwick-gallery-" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    const std::string dir = scratch.string();
    gallery::SaveSolidTexture(dir + "/gallery_water.umt", 40, 70, 110);
    gallery::SaveModelFile(dir + "/water.umf", gallery::WaterPlaneModel("gallery_water"));
    gallery::SaveModelFile(dir + "/lamps.umf", gallery::LampModel());
    SetParameter(1, dir.c_str()); // the water plane's texture is looked up here
    LoadModel(dir + "/water.umf");
    WaterPlane = ModelCount - 1;
    LoadModel(dir + "/lamps.umf");
    Lamps = ModelCount - 1;
    SetParameter(1, "models");
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
}

// A fountain of sprites over the middle of the lake, rising and fading.
void SeedSprites(std::uint32_t count) {
    TSprite* sprites = SpriteEntries(0);
    if (!sprites) return;
    for (std::uint32_t i = 0; i < count && i < SpritePools.Pools[0].Capacity; ++i) {
        TSprite& s = sprites[i];
        const float a = static_cast<float>(i) * 2.39996f; // golden angle: an even spread
        const float r = 4.0f + 30.0f * std::sqrt(static_cast<float>(i) / count);
        s = TSprite{};
        s.Position[0] = 24.0f + r * std::cos(a);
        s.Position[1] = 190.0f + r * std::sin(a);
        s.Position[2] = -8.0f + static_cast<float>(i % 7);
        s.Direction[0] = 0.1f * std::cos(a);
        s.Direction[1] = 0.1f * std::sin(a);
        s.Direction[2] = 1.0f;
        s.Speed = 0.5f + 0.05f * static_cast<float>(i % 5);
        s.Acceleration = 0.02f;
        s.Spin = 3.0f;
        s.Alpha = 1.0f - 0.004f * static_cast<float>(i % 100);
        s.Fade = 0.02f;
        s.Size = 3.0f + static_cast<float>(i % 4);
        s.Alive = 1;
    }
}

std::uint32_t FakeTicks = 0;
std::uint32_t GalleryClock() {
    return FakeTicks;
}

// The reflection pass mirrors the world in z = 0; the lake's water lies at
// WaterLevel, so the mirrored scene is moved to mirror in that plane instead.
constexpr float WaterLevel = -11.0f;
// Corner distance of the lamps' squares in the glow mask, world units.
constexpr float GlowLampSize = 4.0f;

void RenderAll() {
    Render("plain", Scene);

    const std::uint16_t trailSize[2] = {144, 256}; // height, width: a small copy of the screen
    SetParameter(3, trailSize);
    EnableFeature(2);
    Render(
        "trail",
        [] {
            BeginTrailPass();
            Scene();
            EndTrailPass();
            Scene();
            DrawTrail();
        },
        WarmFrames);
    DisableFeature(2);

    EnableFeature(20);
    Render("reflection", [] {
        SetCamera(Lake, 0, 1);
        BeginReflection(Lake);
        LoadViewMatrix(); // back to the model-view
        LoadIdentity();
        Translate(0, 0, -2 * WaterLevel); // z - 2h, mirrored: 2h - z
        SaveViewMatrix();
        DrawModel(Lake, 0, 0, 0);
        EndReflection();
        LoadViewMatrix();
        LoadIdentity();
        SaveViewMatrix();
        DrawModel(Lake, 0, 0, 0);
        DrawReflectiveModel(WaterPlane, 0, 0, 0); // in place of the rippling water
    });
    DisableFeature(20);

    EnableFeature(7);
    EnableFeature(9);
    Render("grey", Scene);
    EnableFeature(10);
    Render("grey-negative", Scene);
    DisableFeature(9);
    Render("negative", Scene);
    DisableFeature(10);
    DisableFeature(7);

    // The pools: one sprite pool of 300 and flare pool 0, on a clock the
    // gallery runs itself (sprites step at 30 per second).
    platform::SetTickSource(GalleryClock);
    const std::int32_t pools = 1;
    SetParameter(11, &pools);
    EnableFeature(11);
    const std::uint32_t size[2] = {0, 300};
    SetParameter(12, size);
    SetParameter(13, "models\\flare.umt");
    SeedSprites(300);
    Render(
        "sprites",
        [] {
            FakeTicks += 40;
            Scene();
            DrawFlares();
        },
        WarmFrames);
    ResizeSpritePool(0, 0); // the rest show flares alone

    EnableFeature(8);
    Render("flares", [] {
        Scene();
        AddModelLights(Lamps, 0);
        DrawFlares();
    });

    // The glow of the lamps: in the mask the lake is black and small flares
    // at the lamps white (a flare is drawn whole, as a white square, in the
    // mask, so the lamps' usual 40-unit flares would light half the screen).
    const float warm[4] = {1.0f, 0.8f, 0.5f, 1.0f};
    SetParameter(4, warm);
    EnableFeature(4);
    Render("glow", [] {
        BeginGlowPass();
        SetCamera(Lake, 0, 1);
        LoadIdentity();
        SaveViewMatrix();
        DrawModel(Lake, 0, 0, 0);
        for (const TModelLight& light : Models[Lamps].ModelLights) {
            const TModelMatrix& m = light.Matrices[0];
            AddFlare(0, m[12], m[13], m[14], 1.0f, GlowLampSize);
        }
        DrawFlares();
        EndGlowPass();
        Scene();
        DrawGlow();
    });
    DisableFeature(4);
    DisableFeature(8);
    DisableFeature(11);
    platform::SetTickSource(nullptr);
}

} // namespace

int main(int argc, char** argv) {
    int width = 1280, height = 720;
    if (argc == 4) {
        width = std::atoi(argv[2]);
        height = std::atoi(argv[3]);
    }
    if ((argc != 2 && argc != 4) || width < 16 || height < 16 || width > 8192 || height > 8192) {
        std::fprintf(stderr, "usage: gallery OUTDIR [WIDTH HEIGHT]  (16..8192 pixels each way)\n");
        return 2;
    }
    OutDir = argv[1];
    platform::MaskFloatingPointExceptions();
    Surface = platform::CreateOffscreenSurface(width, height);
    int status = 0;
    try {
        std::filesystem::create_directories(OutDir);
        SetDeviceWindow(Surface);
        SelectBackend(2);
        DeviceInit();
        DeviceResize(width, height);
        SetUpLakeScene();
        LoadExtraModels();
        WarmUpWater();
        StartFrameCounters();
        RenderAll();
        DeviceDone();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gallery: %s\n", e.what());
        status = 1;
    }
    platform::DestroyOffscreenSurface(Surface);
    return status;
}
