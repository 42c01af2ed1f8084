// Vector math speed: TransformPoints as model drawing uses it (a bounding
// box's 8 corners and its centre, once per object and frame) and on a large
// batch (the per-point cost), plus the sprite axes' cross product and
// normalisation.
#include "engine/support/matmath.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// A typical modelview matrix: a rotation about a tilted axis and a translation.
void MakeModelview(TMatrix m) {
    const float c = std::cos(0.7f), s = std::sin(0.7f);
    const float values[16] = {c, s * 0.6f, s * 0.8f, 0, -s, c * 0.6f, c * 0.8f, 0,
                              0, -0.8f,    0.6f,     0, 3,  -2,       -50,      1};
    for (int i = 0; i < 16; ++i)
        m[i] = values[i];
}

std::vector<TVector> Box() {
    std::vector<TVector> points;
    for (int i = 0; i < 8; ++i)
        points.push_back({i & 1 ? 4.0f : -4.0f, i & 2 ? 2.5f : -2.5f, i & 4 ? 1.0f : -1.0f});
    points.push_back({0, 0, 0});
    return points;
}

void BM_TransformBoundingBox(benchmark::State& state) {
    TMatrix m;
    MakeModelview(m);
    const std::vector<TVector> box = Box();
    std::vector<TVector> eye(box.size());
    for (auto _ : state) {
        TransformPoints(static_cast<std::uint32_t>(box.size()), m, box.data(), eye.data());
        benchmark::DoNotOptimize(eye.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * box.size());
}
BENCHMARK(BM_TransformBoundingBox);

void BM_TransformPoints(benchmark::State& state) {
    TMatrix m;
    MakeModelview(m);
    const auto count = static_cast<std::size_t>(state.range(0));
    std::vector<TVector> points(count), eye(count);
    for (std::size_t i = 0; i < count; ++i)
        points[i] = {static_cast<float>(i % 97), static_cast<float>(i % 31) * 0.5f,
                     static_cast<float>(i) * 1e-3f};
    for (auto _ : state) {
        TransformPoints(static_cast<std::uint32_t>(count), m, points.data(), eye.data());
        benchmark::DoNotOptimize(eye.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(state.iterations() * count * sizeof(TVector) * 2);
}
BENCHMARK(BM_TransformPoints)->Arg(10000);

void BM_SpriteAxes(benchmark::State& state) {
    TVector view = {0.3f, -0.2f, -1.0f}, up = {0, 1, 0};
    for (auto _ : state) {
        TVector right, realUp;
        CrossProduct(view, up, right);
        Normalize(right);
        CrossProduct(right, view, realUp);
        Normalize(realUp);
        benchmark::DoNotOptimize(right);
        benchmark::DoNotOptimize(realUp);
    }
}
BENCHMARK(BM_SpriteAxes);

} // namespace

BENCHMARK_MAIN();
