// The water's cost per frame: one simulation step with each kernel this
// processor runs and with the plain loop built two ways, and the 126 strips
// sent to the offscreen renderer in immediate mode and as vertex arrays.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstring>

#include "engine/render/textures.h"
#include "platform/gl_binding.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "scene/random.h"
#include "scene/water.h"
#include "scene/water_step.h"

#include "bench/water_baseline.h"

namespace {

std::uint32_t FrozenTicks = 100000;
std::uint32_t FrozenTickSource() {
    return FrozenTicks;
}

// A lake after its warm-up: 16 dents and 96 steps, so the step works on
// ordinary ripples rather than on zeros.
void WarmLake() {
    platform::SetTickSource(FrozenTickSource);
    SeedRandom(12345);
    InitWater();
    for (int i = 0; i < 16; ++i)
        AdvanceWater(true, false);
    for (int i = 0; i < 80; ++i)
        AdvanceWater(false, false);
}

// The step reads the current field and rewrites the previous one; the
// fields are not swapped here, so the heights stay those of a rippling lake
// instead of dying away into subnormal numbers over the many iterations.
void BM_WaterStep(benchmark::State& state) {
    const TWaterKernel kernel = TWaterKernel(state.range(0));
    if (!WaterKernelSupported(kernel)) {
        state.SkipWithError("this processor cannot run the kernel");
        return;
    }
    state.SetLabel(WaterKernelName(kernel));
    WarmLake();
    for (auto _ : state) {
        StepWaterWith(kernel, WaterCurrent, WaterPrevious, WaterGrid);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(126 * 126));
}
BENCHMARK(BM_WaterStep)
    ->Arg(WaterKernelScalar)
    ->Arg(WaterKernelAvx2)
    ->Arg(WaterKernelAvx512)
    ->Unit(benchmark::kMicrosecond);

// The plain loop, checked once against the reference kernel so that the
// comparison is between the same computations.
void BM_WaterStepPlain(benchmark::State& state) {
    const bool native = state.range(0) != 0;
    void (*const step)(const float*, float*, TWaterVertex*) = native ? StepWaterPlainNative : StepWaterPlainO2;
    state.SetLabel(native ? "plain loop, -O3 -march=native" : "plain loop, -O2");
    WarmLake();
    static float expected[WaterCells];
    std::memcpy(expected, WaterPrevious, sizeof expected);
    StepWaterWith(WaterKernelScalar, WaterCurrent, expected, WaterGrid);
    step(WaterCurrent, WaterPrevious, WaterGrid);
    if (std::memcmp(expected, WaterPrevious, sizeof expected) != 0) {
        state.SkipWithError("the plain loop disagrees with the reference kernel");
        return;
    }
    for (auto _ : state) {
        step(WaterCurrent, WaterPrevious, WaterGrid);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(126 * 126));
}
BENCHMARK(BM_WaterStepPlain)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What the warm-up runs: the random draws, a drop every 100 calls (which
// keeps the lake rippling), the best kernel and the swap.
void BM_AdvanceWater(benchmark::State& state) {
    state.SetLabel(WaterKernelName(BestWaterKernel()));
    WarmLake();
    int call = 0;
    for (auto _ : state) {
        AdvanceWater(++call % 100 == 0, false);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AdvanceWater)->Unit(benchmark::kMicrosecond);

// The drawing alone (a throttled call with the clock standing still makes no
// step), on a 640 x 480 offscreen surface through a lake-like perspective,
// finished with glFinish so the renderer's work is counted.
void BM_WaterDraw(benchmark::State& state) {
    const TWaterStripMode mode = TWaterStripMode(state.range(0));
    state.SetLabel(mode == WaterStripsArrays ? "vertex arrays" : "immediate");
    const platform::WindowHandle surface = platform::CreateOffscreenSurface(640, 480);
    const platform::GlContext context = platform::GlCreateContext(surface);
    if (!context || !platform::GlAcquire(surface, context)) {
        state.SkipWithError("no offscreen OpenGL context");
        platform::DestroyOffscreenSurface(surface);
        return;
    }
    WarmLake();
    LastStepTime = FrozenTicks;
    LastDropTime = FrozenTicks;

    // A small checked texture as the water's picture.
    GLuint names[2];
    glGenTextures(2, names);
    std::uint8_t pixels[64 * 64 * 3];
    for (int i = 0; i < 64 * 64; ++i)
        std::memset(pixels + 3 * i, ((i / 64 / 8 + i % 64 / 8) % 2) ? 220 : 40, 3);
    glBindTexture(GL_TEXTURE_2D, names[1]);
    TextureNames[1] = names[1];
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 64, 64, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50.0, 640.0 / 480.0, 1.0, 2000.0);
    gluLookAt(24, -80, 150, 24, 190, -11, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);

    const TWaterStripMode saved = WaterStripMode;
    WaterStripMode = mode;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawWater(false, true);
        glFinish();
    }
    WaterStripMode = saved;
    glDeleteTextures(2, names);
    platform::GlRelease(surface);
    platform::GlDeleteContext(context);
    platform::DestroyOffscreenSurface(surface);
    platform::SetTickSource(nullptr);
}
BENCHMARK(BM_WaterDraw)->Arg(WaterStripsImmediate)->Arg(WaterStripsArrays)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
