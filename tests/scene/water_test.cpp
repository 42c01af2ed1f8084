#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "scene/random.h"
#include "scene/water.h"

namespace {

std::uint32_t Ticks = 0;
std::uint32_t FakeTicks() {
    return Ticks;
}

std::vector<float> Heights(const float* field) {
    return {field, field + WaterCells};
}

// The water as the set-up leaves it before the warm-up, on a clock the test
// turns by hand.
class Water : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetTickSource(FakeTicks);
        Ticks = 1000;
        SeedRandom(2024);
        InitWater();
    }
    void TearDown() override { platform::SetTickSource(nullptr); }

    // The centre of the next drop: the generator's next two draws after
    // `quietCalls` calls of three draws each.
    static std::pair<int, int> NextDropCentre(int quietCalls = 0) {
        const std::uint32_t saved = RandomSeed;
        for (int i = 0; i < 3 * quietCalls; ++i)
            RandomBelow(1);
        const int r1 = int(RandomBelow(DropPositions)), r2 = int(RandomBelow(DropPositions));
        RandomSeed = saved;
        return {r1 + 3, r2 + 3};
    }
};

} // namespace

TEST_F(Water, InitLaysTheGridFromCornerToCorner) {
    EXPECT_EQ(WaterPrevious, WaterHeights[0]);
    EXPECT_EQ(WaterCurrent, WaterHeights[1]);
    EXPECT_EQ(WaterGrid[0].X, 1.0f);
    EXPECT_EQ(WaterGrid[0].Y, 1.0f);
    EXPECT_EQ(WaterGrid[WaterCells - 1].X, -1.0f);
    EXPECT_EQ(WaterGrid[WaterCells - 1].Y, -1.0f);
    EXPECT_EQ(WaterGrid[5 * WaterSize + 100].X, float(1.0 - 10.0 / 127));  // x follows the row,
    EXPECT_EQ(WaterGrid[5 * WaterSize + 100].Y, float(1.0 - 200.0 / 127)); // y the column
    for (int i = 0; i < WaterCells; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, &WaterGrid[i].NormalZ, 4);
        ASSERT_EQ(bits, 0xBD010204u) << i;
        ASSERT_TRUE(WaterGrid[i].Z == 0 && WaterHeights[0][i] == 0 && WaterHeights[1][i] == 0) << i;
    }
}

// The first forced call dents the still lake and steps once, after which
// the dented field is the previous one, as the step left it.
TEST_F(Water, DentTouchesTwentyOneCellsAroundTheDrawnCentre) {
    const auto [row, column] = NextDropCentre();
    EXPECT_TRUE(AdvanceWater(true, false));
    EXPECT_EQ(LastDropTime, 1000u);
    int touched = 0;
    for (int i = 0; i < WaterCells; ++i) {
        const int dr = i / WaterSize - row, dc = i % WaterSize - column, weight = 6 - dr * dr - dc * dc;
        const bool inDent = std::abs(dr) <= 3 && std::abs(dc) <= 3 && weight > 0;
        touched += inDent;
        EXPECT_FLOAT_EQ(WaterPrevious[i], inDent ? -0.004f * float(weight) : 0.0f) << dr << "," << dc;
    }
    EXPECT_EQ(touched, 21);
    const int centre = row * WaterSize + column;
    EXPECT_EQ(WaterPrevious[centre], -0.024f);
    for (int n : {centre - 1, centre + 1, centre - WaterSize, centre + WaterSize})
        EXPECT_EQ(WaterPrevious[n], -0.02f);
    EXPECT_EQ(WaterGrid[centre].Z, -0.024f) << "the step drew the dented heights";
}

// Three draws on every call, whether it drops, steps, both or neither.
TEST_F(Water, EveryCallDrawsThreeNumbers) {
    const auto [row, column] = NextDropCentre(2);
    AdvanceWater(false, false);
    AdvanceWater(false, false);
    ASSERT_EQ(Heights(WaterCurrent), std::vector<float>(WaterCells, 0.0f)) << "no drop due yet";
    AdvanceWater(true, false);
    EXPECT_EQ(WaterPrevious[row * WaterSize + column], -0.024f);
    SeedRandom(99);
    for (int i = 0; i < 3 * 4; ++i)
        RandomBelow(1);
    const std::uint32_t afterFourCalls = RandomSeed;
    SeedRandom(99);
    LastStepTime = Ticks;
    AdvanceWater(true, true);   // drop, no step
    AdvanceWater(true, false);  // drop and step
    AdvanceWater(false, true);  // neither
    AdvanceWater(false, false); // step
    EXPECT_EQ(RandomSeed, afterFourCalls);
}

// Centres span rows and columns 3..112: seeds are searched for the four
// extreme corners, and each of those dents lands whole in rows and columns
// 1..114, clear of the rim and of 115..127.
TEST_F(Water, ExtremeDropsStayInside) {
    for (const std::pair<int, int>& corner : {std::pair{3, 3}, {3, 112}, {112, 3}, {112, 112}}) {
        std::uint32_t seed = 0;
        for (SeedRandom(seed); NextDropCentre() != corner; SeedRandom(++seed))
            ASSERT_LT(seed, 10'000'000u) << "no seed reaches " << corner.first << "," << corner.second;
        InitWater();
        AdvanceWater(true, false);
        EXPECT_EQ(WaterPrevious[corner.first * WaterSize + corner.second], -0.024f);
        for (int i = 0; i < WaterCells; ++i) {
            const int r = i / WaterSize, c = i % WaterSize;
            if (r >= 1 && r <= 114 && c >= 1 && c <= 114) continue;
            ASSERT_EQ(WaterPrevious[i], 0.0f) << r << "," << c;
        }
    }
}

// The rim stays flat, and no record's x, y or normal z ever moves, however
// the step writes its records.
TEST_F(Water, RimStaysFlatForever) {
    const std::vector<TWaterVertex> laid(WaterGrid, WaterGrid + WaterCells);
    for (int call = 0; call < 3000; ++call) {
        Ticks += 7;
        AdvanceWater(call % 10 == 0, call % 2 == 0);
    }
    for (int k = 0; k < WaterSize; ++k) {
        for (int i : {k, (WaterSize - 1) * WaterSize + k, k * WaterSize, k * WaterSize + WaterSize - 1}) {
            ASSERT_TRUE(WaterHeights[0][i] == 0 && WaterHeights[1][i] == 0) << i;
            ASSERT_EQ(std::memcmp(&WaterGrid[i], &laid[i], sizeof(TWaterVertex)), 0) << i;
        }
    }
    for (int i = 0; i < WaterCells; ++i) {
        const TWaterVertex &v = WaterGrid[i], &w = laid[i];
        ASSERT_EQ(std::memcmp(&v.X, &w.X, 8), 0) << i;
        ASSERT_EQ(std::memcmp(&v.NormalZ, &w.NormalZ, 4), 0) << i;
    }
}

TEST_F(Water, ThrottledCallsStepAtMostOncePer15Milliseconds) {
    LastStepTime = 1000;
    AdvanceWater(true, false); // something to ripple
    Ticks = 1015;
    EXPECT_TRUE(AdvanceWater(false, true));
    EXPECT_EQ(LastStepTime, 1015u);
    const float* current = WaterCurrent;
    const std::vector<float> heights = Heights(WaterCurrent);
    const std::vector<TWaterVertex> grid(WaterGrid, WaterGrid + WaterCells);
    Ticks = 1025;
    EXPECT_FALSE(AdvanceWater(false, true)) << "10 ms after the last step";
    EXPECT_EQ(WaterCurrent, current);
    EXPECT_EQ(Heights(WaterCurrent), heights);
    EXPECT_EQ(std::memcmp(grid.data(), WaterGrid, sizeof WaterGrid), 0) << "the grid keeps the last step";
    Ticks = 1029;
    EXPECT_FALSE(AdvanceWater(false, true)) << "14 ms";
    EXPECT_TRUE(AdvanceWater(false, false)) << "unthrottled, always";
    Ticks = 1044;
    EXPECT_TRUE(AdvanceWater(false, true)) << "15 ms after the unthrottled step";
}

// 49.7 days in, the tick count wraps to 0; unsigned differences carry both
// the drops and the steps across it, neither early nor stalled.
TEST_F(Water, TickWrapAroundStallsNeitherDropsNorSteps) {
    LastDropTime = 0xFFFFFC00u;
    Ticks = 0xFFFFFD00u; // 256 ms after the last drop, before the wrap
    AdvanceWater(false, false);
    EXPECT_EQ(LastDropTime, 0xFFFFFC00u) << "too early for a drop";
    LastStepTime = 0xFFFFFFF8u;
    Ticks = 0x00000008u; // 16 ms after the last step
    EXPECT_TRUE(AdvanceWater(false, true));
    EXPECT_EQ(LastDropTime, 0xFFFFFC00u) << "still too early for a drop";
    Ticks = 0x00000400u; // 2048 ms after the last drop: due whatever the jitter
    EXPECT_TRUE(AdvanceWater(false, true));
    EXPECT_EQ(LastDropTime, 0x400u);
}

// Without drops the damping drains the ripples: the change over one step
// (sampled every 100 steps) only shrinks, and the largest sum of squared
// heights of each 500 steps is below half that of the 500 before.
TEST_F(Water, EnergyDecaysWithoutDrops) {
    for (int i = 0; i < 16; ++i)
        AdvanceWater(true, false); // the clock stands still: no more drops
    auto sum = [](auto term) {
        double s = 0;
        for (int i = 0; i < WaterCells; ++i)
            s += term(i) * term(i);
        return s;
    };
    auto motion = [&] { return sum([](int i) { return double(WaterCurrent[i]) - WaterPrevious[i]; }); };
    double lastMotion = motion(), peak = 0, lastPeak = 0, firstPeak = 0;
    for (int step = 1; step <= 2000; ++step) {
        AdvanceWater(false, false);
        peak = std::max(peak, sum([](int i) { return double(WaterCurrent[i]); }));
        if (step % 100 == 0) {
            ASSERT_LT(motion(), lastMotion) << "after " << step << " steps";
            lastMotion = motion();
        }
        if (step % 500 == 0) {
            EXPECT_TRUE(lastPeak == 0 || peak < lastPeak / 2) << "after " << step << " steps";
            firstPeak = firstPeak > 0 ? firstPeak : peak;
            lastPeak = peak;
            peak = 0;
        }
    }
    EXPECT_LT(lastPeak, firstPeak * 0.01);
}
