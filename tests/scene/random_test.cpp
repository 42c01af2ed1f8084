#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "platform/platform.h"
#include "scene/random.h"

namespace {

std::vector<std::uint32_t> Draws(std::uint32_t seed, int count) {
    SeedRandom(seed);
    std::vector<std::uint32_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(RandomBelow(110));
    return out;
}

std::uint32_t Ticks = 123456;
std::uint32_t FakeTicks() {
    return Ticks;
}
platform::TLocalTime Now{2026, 3, 14, 15, 9, 26, 535};
platform::TLocalTime FakeNow() {
    return Now;
}

} // namespace

TEST(Random, SeedMakesDrawsReproducibleOverTheWholeRange) {
    EXPECT_EQ(Draws(42, 50), Draws(42, 50));
    EXPECT_NE(Draws(42, 50), Draws(43, 50));
    const std::vector<std::uint32_t> many = Draws(7, 20000);
    const std::set<std::uint32_t> seen(many.begin(), many.end());
    EXPECT_EQ(seen.size(), 110u);
    EXPECT_EQ(*seen.rbegin(), 109u);
    EXPECT_EQ(RandomBelow(0), 0u);
}

TEST(Random, ClockSeedFollowsThePlatformClocks) {
    platform::SetTickSource(FakeTicks);
    platform::SetLocalTimeSource(FakeNow);
    RandomizeFromClock();
    const std::uint32_t first = RandomSeed;
    RandomizeFromClock();
    EXPECT_EQ(RandomSeed, first) << "the same clocks give the same seed";
    Ticks += 1;
    RandomizeFromClock();
    EXPECT_NE(RandomSeed, first) << "a tick later";
    Ticks -= 1;
    Now.Second += 1;
    RandomizeFromClock();
    EXPECT_NE(RandomSeed, first) << "a second later on the wall clock";
    platform::SetTickSource(nullptr);
    platform::SetLocalTimeSource(nullptr);
}
