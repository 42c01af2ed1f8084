#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "scene/water_step.h"

namespace {

struct TField {
    std::vector<float> Current = std::vector<float>(WaterCells);
    std::vector<float> Previous = std::vector<float>(WaterCells);
    std::vector<TWaterVertex> Grid = std::vector<TWaterVertex>(WaterCells);
    void Step(TWaterKernel kernel) { StepWaterWith(kernel, Current.data(), Previous.data(), Grid.data()); }
};

// Heights of mixed sizes and signs (subnormal floats, zeros, sums that
// round) inside a rim of zeros, and a grid laid out as InitWater lays it out
// but with its own values: x by row, y by column, one normal z, and interior
// z and normal marked so that an unwritten member shows.
TField MixedField(unsigned seed) {
    TField f;
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> ripple(-0.05f, 0.05f);
    const float scales[] = {1.0f, 1.0f, 1.0f, 1e-30f, 1e-42f, 1e6f, 0.0f};
    for (int i = 0; i < WaterCells; ++i) {
        const int r = i / WaterSize, c = i % WaterSize;
        const bool rim = r == 0 || c == 0 || r == WaterSize - 1 || c == WaterSize - 1;
        f.Current[i] = rim ? 0.0f : ripple(gen) * scales[gen() % 7];
        f.Previous[i] = rim ? 0.0f : ripple(gen) * scales[gen() % 7];
        f.Grid[i] = {0.5f - float(r),   3.0f * float(c),   rim ? 0.0f : 7.0f,
                     rim ? 0.0f : 8.0f, rim ? 0.0f : 9.0f, -0.25f};
    }
    return f;
}

class WaterKernels : public ::testing::TestWithParam<TWaterKernel> {};

} // namespace

// The vector kernels give the scalar kernel's bytes step after step, and
// only ever change the interior's heights and its z and normal x and y.
TEST_P(WaterKernels, MatchTheScalarKernelBitForBitInsideTheRim) {
    const TWaterKernel kernel = GetParam();
    if (!WaterKernelSupported(kernel)) GTEST_SKIP() << WaterKernelName(kernel) << " not supported here";
    for (unsigned seed : {1u, 2u, 3u}) {
        TField reference = MixedField(seed), candidate = MixedField(seed);
        const TField before = candidate;
        for (int step = 0; step < 4; ++step) {
            reference.Step(WaterKernelScalar);
            candidate.Step(kernel);
            ASSERT_EQ(std::memcmp(reference.Previous.data(), candidate.Previous.data(), WaterCells * 4), 0)
                << "heights, seed " << seed << " step " << step;
            ASSERT_EQ(std::memcmp(reference.Grid.data(), candidate.Grid.data(), WaterCells * 24), 0)
                << "grid, seed " << seed << " step " << step;
            if (step == 0) {
                for (int i = 0; i < WaterCells; ++i) {
                    const int r = i / WaterSize, c = i % WaterSize;
                    const TWaterVertex &v = candidate.Grid[i], &old = before.Grid[i];
                    ASSERT_TRUE(v.X == old.X && v.Y == old.Y && v.NormalZ == old.NormalZ) << i;
                    if (r != 0 && c != 0 && r != WaterSize - 1 && c != WaterSize - 1) continue;
                    ASSERT_EQ(std::memcmp(&v, &old, sizeof v), 0) << "rim record " << r << "," << c;
                    ASSERT_EQ(std::memcmp(&candidate.Previous[i], &before.Previous[i], 4), 0)
                        << r << "," << c;
                }
            }
            std::swap(reference.Current, reference.Previous);
            std::swap(candidate.Current, candidate.Previous);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, WaterKernels,
                         ::testing::Values(WaterKernelScalar, WaterKernelAvx2, WaterKernelAvx512),
                         [](const auto& info) { return std::string(WaterKernelName(info.param)); });

// One raised cell among zeros, by hand: it sinks back by its own height
// (d = -1) less the damped previous height, its four neighbours rise by a
// quarter, and the normals point away from it along both axes.
TEST(WaterStep, FollowsTheWaveEquationByHand) {
    TField f;
    const int i = 5 * WaterSize + 9;
    f.Current[i] = 1.0f;
    f.Previous[i] = 0.5f;
    f.Step(BestWaterKernel());
    EXPECT_EQ(f.Previous[i], float(1.995 * 1.0 - 0.995 * 0.5 + -1.0));
    for (int n : {i - WaterSize, i + WaterSize, i - 1, i + 1})
        EXPECT_EQ(f.Previous[n], 0.25f);
    EXPECT_EQ(f.Previous[i + 2], 0.0f);
    EXPECT_EQ(f.Grid[i].Z, 1.0f);
    EXPECT_EQ(f.Grid[i - WaterSize].NormalX, -1.0f); // A[r-1] - A[r+1] one row up: 0 - 1
    EXPECT_EQ(f.Grid[i + WaterSize].NormalX, 1.0f);
    EXPECT_EQ(f.Grid[i - 1].NormalY, -1.0f);
    EXPECT_EQ(f.Grid[i + 1].NormalY, 1.0f);
    EXPECT_EQ(f.Grid[i - 1].NormalX, 0.0f);
}

// The step works in double precision and rounds only d and the new height
// to single precision. Three cells, far enough apart not to meet:
//  - above 1, below and right 2^-24 each: the sum is 1 + 2^-23 and the new
//    height 0.25 + 2^-25; in single precision both additions would round
//    back to 1 and give 0.25;
//  - a previous height of 1.5 alone: 0.995 x 1.5 in double precision gives
//    -1.4925f; the weight in single precision, 0.995f, would give one unit
//    more in magnitude, -0x1.7e147cp+0;
//  - above 1, height 2^-30, previous 0.25: d = 0.25 - 2^-30 rounds to 0.25,
//    and the new height is 0x1.47ae34p-10; an unrounded d would give 2^-30
//    less (0x1.47ae24p-10), single precision throughout 0x1.47aep-10.
TEST_P(WaterKernels, EvaluateInDoubleRoundingOnlyDAndTheNewHeight) {
    const TWaterKernel kernel = GetParam();
    if (!WaterKernelSupported(kernel)) GTEST_SKIP() << WaterKernelName(kernel) << " not supported here";
    TField f;
    const int sum = 40 * WaterSize + 40, weight = 40 * WaterSize + 80, rounded = 80 * WaterSize + 40;
    f.Current[sum - WaterSize] = 1.0f;
    f.Current[sum + WaterSize] = 0x1p-24f;
    f.Current[sum + 1] = 0x1p-24f;
    f.Previous[weight] = 1.5f;
    f.Current[rounded - WaterSize] = 1.0f;
    f.Current[rounded] = 0x1p-30f;
    f.Previous[rounded] = 0.25f;
    f.Step(kernel);
    EXPECT_EQ(f.Previous[sum], 0.25f + 0x1p-25f);
    EXPECT_EQ(f.Previous[weight], -1.4925f);
    EXPECT_EQ(f.Previous[rounded], 0x1.47ae34p-10f);
}
