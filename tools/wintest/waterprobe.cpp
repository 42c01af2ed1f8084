// waterprobe: runs the water step's vector kernels as the Windows build
// compiled them against the scalar kernel, four steps each on a field of
// mixed heights, and reports per kernel "<name>: same" or "<name>: differs".
// Exit code 0 when every kernel this processor runs gives the same bytes.
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "scene/water_step.h"

namespace {

struct TField {
    std::vector<float> Current = std::vector<float>(WaterCells);
    std::vector<float> Previous = std::vector<float>(WaterCells);
    std::vector<TWaterVertex> Grid = std::vector<TWaterVertex>(WaterCells);
};

// Ripples, subnormal and huge heights inside a rim of zeros, on a grid laid
// out the way InitWater lays it out.
TField MixedField() {
    TField f;
    std::mt19937 gen(7);
    std::uniform_real_distribution<float> ripple(-0.05f, 0.05f);
    const float scales[] = {1.0f, 1.0f, 1e-30f, 1e-42f, 1e6f, 0.0f};
    for (int i = 0; i < WaterCells; ++i) {
        const int r = i / WaterSize, c = i % WaterSize;
        const bool rim = r == 0 || c == 0 || r == WaterSize - 1 || c == WaterSize - 1;
        f.Current[i] = rim ? 0.0f : ripple(gen) * scales[gen() % 6];
        f.Previous[i] = rim ? 0.0f : ripple(gen) * scales[gen() % 6];
        f.Grid[i] = {1.0f - 2.0f * float(r) / 127, 1.0f - 2.0f * float(c) / 127, 0.0f, 0.0f, 0.0f, -4.0f / 127};
    }
    return f;
}

} // namespace

int main() {
    int status = 0;
    for (TWaterKernel kernel : {WaterKernelAvx2, WaterKernelAvx512}) {
        if (!WaterKernelSupported(kernel)) {
            std::printf("%s: not supported\n", WaterKernelName(kernel));
            continue;
        }
        TField reference = MixedField(), candidate = MixedField();
        bool same = true;
        for (int step = 0; step < 4 && same; ++step) {
            StepWaterWith(WaterKernelScalar, reference.Current.data(), reference.Previous.data(), reference.Grid.data());
            StepWaterWith(kernel, candidate.Current.data(), candidate.Previous.data(), candidate.Grid.data());
            same = std::memcmp(reference.Previous.data(), candidate.Previous.data(), WaterCells * sizeof(float)) == 0 &&
                   std::memcmp(reference.Grid.data(), candidate.Grid.data(), WaterCells * sizeof(TWaterVertex)) == 0;
            reference.Current.swap(reference.Previous);
            candidate.Current.swap(candidate.Previous);
        }
        std::printf("%s: %s\n", WaterKernelName(kernel), same ? "same" : "differs");
        if (!same) status = 1;
    }
    return status;
}
