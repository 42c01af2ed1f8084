// Loading the lake: reading "models\tarnwick.umf", decoding every texture it
// names and uploading them (with their mipmaps) through the render device on
// the offscreen OSMesa context, as the full-screen set-up does. Target: under
// 300 ms.
#include <benchmark/benchmark.h>

#include "engine/features/features.h"
#include "engine/models/model_load.h"
#include "engine/render/device.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"

namespace {

void BM_LoadLake(benchmark::State& state) {
    if (!platform::SetCurrentDirectory(TARNWICK_DIST_DIR)) {
        state.SkipWithError("no distribution folder");
        return;
    }
    const platform::WindowHandle surface = platform::CreateOffscreenSurface(64, 64);
    SetDeviceWindow(surface);
    SelectBackend(2);
    DeviceInit();
    SetParameter(1, "models");
    for (auto _ : state)
        LoadModel("models\\tarnwick.umf");
    DeviceDone();
    platform::DestroyOffscreenSurface(surface);
}
// Every load takes 7 more of the 512 texture names: a few rounds only.
BENCHMARK(BM_LoadLake)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
