// The glow's software blur (five RingBlur passes over the 64 x 64 mask, as
// EndGlowPass runs them, and the whole glow pass on the offscreen device) and
// the screen filters over a 1920 x 1080 frame (in memory, and FilterScreen
// with its read-back and redraw on the offscreen device), in milliseconds.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/features/features.h"
#include "engine/render/blur.h"
#include "engine/render/device.h"
#include "platform/offscreen/offscreen.h"

namespace {

std::vector<std::uint8_t> Noise(std::size_t bytes) {
    std::vector<std::uint8_t> data(bytes);
    std::uint32_t state = 12345;
    for (auto& b : data) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    return data;
}

void BM_GlowBlurFivePasses64(benchmark::State& state) {
    std::vector<std::uint8_t> a = Noise(64 * 64 * 3), b(a.size());
    for (auto _ : state) {
        for (int pass = 0; pass < 5; ++pass) {
            RingBlur(64, 64, 3, a.data(), b.data());
            std::swap(a, b);
        }
        benchmark::DoNotOptimize(a.data());
    }
}
BENCHMARK(BM_GlowBlurFivePasses64)->Unit(benchmark::kMillisecond);

// BeginGlowPass, EndGlowPass (read-back, five blurs, upload) and DrawGlow on
// a 1280 x 720 offscreen frame.
void BM_GlowPassOffscreen(benchmark::State& state) {
    const platform::WindowHandle surface = platform::CreateOffscreenSurface(1280, 720);
    SetDeviceWindow(surface);
    SelectBackend(2);
    DeviceInit();
    DeviceResize(1280, 720);
    EnableFeature(4);
    BeginFrame();
    for (auto _ : state) {
        BeginGlowPass();
        EndGlowPass();
        DrawGlow();
    }
    EndFrame();
    DisableFeature(4);
    DeviceDone();
    platform::DestroyOffscreenSurface(surface);
}
BENCHMARK(BM_GlowPassOffscreen)->Unit(benchmark::kMillisecond);

template <void (*Filter)(std::uint8_t*, std::size_t)> void BM_ScreenFilter1080p(benchmark::State& state) {
    constexpr std::size_t pixels = 1920 * 1080;
    std::vector<std::uint8_t> frame = Noise(pixels * 3 + 1);
    for (auto _ : state) {
        Filter(frame.data(), pixels);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK_TEMPLATE(BM_ScreenFilter1080p, GreyScreen)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ScreenFilter1080p, InvertedGreyScreen)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ScreenFilter1080p, NegativeScreen)->Unit(benchmark::kMillisecond);

// FilterScreen as EndFrame calls it: read-back, grey, draw back, at 1920 x 1080.
void BM_FilterScreenOffscreen1080p(benchmark::State& state) {
    const platform::WindowHandle surface = platform::CreateOffscreenSurface(1920, 1080);
    SetDeviceWindow(surface);
    SelectBackend(2);
    DeviceInit();
    DeviceResize(1920, 1080);
    EnableFeature(7);
    EnableFeature(9);
    BeginFrame();
    for (auto _ : state)
        FilterScreen();
    EndFrame();
    DisableFeature(7);
    DeviceDone();
    platform::DestroyOffscreenSurface(surface);
}
BENCHMARK(BM_FilterScreenOffscreen1080p)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
