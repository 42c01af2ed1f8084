#include "scene/random.h"

#include "platform/platform.h"

std::uint32_t RandomSeed = 0;

void SeedRandom(std::uint32_t seed) {
    RandomSeed = seed;
}

void RandomizeFromClock() {
    const platform::TLocalTime now = platform::GetLocalTime();
    // Milliseconds of the day, mixed with the tick count so that two runs
    // started within the same millisecond of two different days still differ.
    const std::uint32_t msOfDay =
        ((std::uint32_t(now.Hour) * 60u + std::uint32_t(now.Minute)) * 60u + std::uint32_t(now.Second)) *
            1000u +
        std::uint32_t(now.Milliseconds);
    SeedRandom(msOfDay ^ (platform::GetTickCount() * 2654435761u));
}

std::uint32_t RandomBelow(std::uint32_t range) {
    RandomSeed = RandomSeed * 134775813u + 1u;
    return std::uint32_t((std::uint64_t(RandomSeed) * range) >> 32);
}
