// The cost of drawing a model of 20 000 triangles through the device on a
// 1280 x 720 offscreen surface: one frame per iteration (BeginFrame,
// SetCamera, DrawModel, EndFrame with its glFinish), reported in
// milliseconds per frame; unlit, and lit with 8 of 64 light points per object.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/features/features.h"
#include "engine/models/model_load.h"
#include "engine/models/umf.h"
#include "engine/models/umf_writer.h"
#include "engine/render/device.h"
#include "engine/render/transforms.h"
#include "engine/textures/umt_writer.h"
#include "platform/offscreen/offscreen.h"

namespace {

constexpr int SurfaceWidth = 1280;
constexpr int SurfaceHeight = 720;
constexpr int ObjectSide = 10;   // 10 x 10 objects
constexpr int CellsPerSide = 10; // each a 10 x 10 grid of squares: 200 triangles
constexpr std::uint32_t LightPoints = 64;

TModelMatrix Translation(float x, float y, float z) {
    return TModelMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

// A unit grid of CellsPerSide x CellsPerSide squares in the plane z = 0,
// with texture coordinates.
TMesh Grid() {
    TMesh mesh;
    const float step = 1.0f / CellsPerSide;
    for (int i = 0; i < CellsPerSide; ++i)
        for (int j = 0; j < CellsPerSide; ++j) {
            const float x0 = i * step, y0 = j * step, x1 = x0 + step, y1 = y0 + step;
            mesh.Triangles.push_back(TTriangle{{{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}}});
            mesh.Triangles.push_back(TTriangle{{{x0, y0, 0}, {x1, y1, 0}, {x0, y1, 0}}});
            for (float s : {x0, x1, x1, x0, x1, x0})
                mesh.TexCoords.push_back(TTexCoord{s, s, 0});
        }
    mesh.TriangleCount = static_cast<std::uint32_t>(mesh.Triangles.size());
    mesh.TexCoordCount = static_cast<std::uint32_t>(mesh.TexCoords.size());
    return mesh;
}

// 100 grids side by side in front of a camera that sees them all; every
// fourth object untextured and translucent, the rest textured and opaque.
TModel SceneModel(std::uint32_t lights) {
    TModel model;
    model.FrameCount = 1;
    TMaterial textured{};
    textured.Colour[0] = textured.Colour[1] = textured.Colour[2] = textured.Colour[3] = 1;
    textured.Name[0] = 't';
    TMaterial plain{};
    plain.Colour[1] = 0.5f;
    plain.Colour[3] = 1;
    model.Materials = {textured, plain};
    model.MaterialCount = 2;
    const TMesh grid = Grid();
    for (int i = 0; i < ObjectSide * ObjectSide; ++i) {
        TModelObject object;
        object.MaterialIndex = i % 4 == 3 ? 1 : 0;
        object.Meshes = {grid};
        object.MeshCount = 1;
        object.Frames = {
            TObjectFrame{Translation(float(i % ObjectSide) - 5, float(i / ObjectSide) - 5, 0), 0}};
        object.Alpha = {i % 4 == 3 ? 0.5f : 0.0f};
        model.Objects.push_back(object);
    }
    model.ObjectCount = static_cast<std::uint32_t>(model.Objects.size());
    for (std::uint32_t i = 0; i < lights; ++i) {
        TModelLight light;
        light.Values.push_back(TLightParams{{1, 1, 1, 1}, 0, 10, 8});
        light.Matrices.push_back(Translation(float(i % 8) - 4, float(i / 8) - 4, 1));
        model.ModelLights.push_back(light);
    }
    model.ModelLightCount = lights;
    TModelCamera camera;
    camera.Values.push_back(TCameraParams{1, 100, 60});
    camera.Matrices.push_back(Translation(0, 0, -12));
    model.Cameras = {camera};
    model.CameraCount = 1;
    return model;
}

struct TDrawSetup {
    platform::WindowHandle surface = 0;
    std::filesystem::path folder;

    explicit TDrawSetup(bool lit) {
        folder =
            std::filesystem::temp_directory_path() / ("tarnwick-draw-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        TUmtImage image;
        image.Width = image.Height = 64;
        image.BitsPerPixel = 24;
        image.Pixels.assign(64 * 64 * 3, 180);
        SaveUmt((folder / "t.umt").string(), image, false);
        SaveUmf((folder / "scene.umf").string(), SceneModel(lit ? LightPoints : 0));

        surface = platform::CreateOffscreenSurface(SurfaceWidth, SurfaceHeight);
        SetDeviceWindow(surface);
        SelectBackend(2);
        DeviceInit();
        DeviceResize(SurfaceWidth, SurfaceHeight);
        SetParameter(1, folder.string().c_str());
        LoadModel((folder / "scene.umf").string());
        if (lit) {
            EnableFeature(21);
            ClearLights();
            // Light points in eye space as the camera sees them (identity ViewMatrix).
            for (std::uint32_t i = 0; i < LightPoints; ++i) {
                const TModelMatrix& m = Models.back().ModelLights[i].Matrices[0];
                LightList[LightCount++] =
                    TLightEntry{m[12], m[13], m[14], 1, LightReference(ModelCount - 1, i, 0)};
            }
        } else {
            DisableFeature(21);
        }
    }
    ~TDrawSetup() {
        DeviceDone();
        platform::DestroyOffscreenSurface(surface);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

void DrawFrames(benchmark::State& state, bool lit) {
    TDrawSetup setup(lit);
    const std::uint32_t model = ModelCount - 1;
    for (auto _ : state) {
        BeginFrame();
        SetCamera(model, 0, 1);
        LoadIdentity();
        SaveViewMatrix();
        DrawModel(model, 0, 0, 0);
        EndFrame();
    }
    state.counters["triangles"] = double(ObjectSide * ObjectSide * CellsPerSide * CellsPerSide * 2);
}

void BM_DrawModel(benchmark::State& state) {
    DrawFrames(state, false);
}
void BM_DrawModelLit(benchmark::State& state) {
    DrawFrames(state, true);
}

} // namespace

BENCHMARK(BM_DrawModel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawModelLit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
