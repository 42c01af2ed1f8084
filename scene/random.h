// The scene's one random source: drop positions and drop intervals.
//
// A 32-bit linear congruential generator (seed × 134775813 + 1, mod 2^32)
// whose draws take the high bits of seed × range, so every value of a range
// below 2^32 is reachable and no division is needed. The same seed gives the
// same draws on every platform: tests seed it with SeedRandom, the
// full-screen set-up with RandomizeFromClock.
#pragma once

#include <cstdint>

// The generator's state; 0 at program start.
extern std::uint32_t RandomSeed;

void SeedRandom(std::uint32_t seed);
// Seeds from the local time of day and the tick count (the platform's clocks,
// so a test's fake clocks make it reproducible).
void RandomizeFromClock();
// The next draw, uniform in 0 .. range - 1; 0 when range is 0.
std::uint32_t RandomBelow(std::uint32_t range);
