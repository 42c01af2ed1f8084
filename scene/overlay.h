// The clock and frames-per-second overlays, drawn from 3D digit models.
#pragma once

#include <cstdint>

// Loads models 1..13: digits 0..9, the separator, am and pm.
void LoadClockModels();
// Counts the frame, then shows the average frame rate since FpsStartTime,
// top right.
void DrawFps();
// The average frame rate since FpsStartTime, as DrawFps shows it.
std::uint64_t FpsValue();
// Shows `value` as the counter, without counting a frame: one frame on
// several monitors counts once and shows the same value on each.
void DrawFpsCounter(std::uint64_t value);
// The local time, top left: 12-hour form with am/pm when `twelveHour`
// ("12 hrs" checked), else 24-hour form.
void DrawClock(bool twelveHour);

extern std::uint32_t FpsStartTime;  // tick count at the end of the set-up
extern std::uint32_t FpsFrameCount; // DrawFps calls since then
