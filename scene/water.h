// The lake's water: a 128 x 128 height field following a damped wave
// equation, dented by random drops, drawn sphere-mapped into the lake.
#pragma once

#include <cstdint>

// Prepares the water grid; once, during the full-screen set-up.
void InitWater();
// A drop when due (or forced), at most one simulation step per 15 ms when
// throttled, then the 126 triangle strips into the open frame.
void DrawWater(bool forceDrop, bool throttle);

// Tick counts (milliseconds) of the last drop and the last simulation step.
extern std::uint32_t LastDropTime;
extern std::uint32_t LastStepTime;
