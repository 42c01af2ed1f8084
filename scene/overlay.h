// The clock and frames-per-second overlays, drawn from 3D digit models.
#pragma once

#include <cstdint>

// Loads models 1..13: digits 0..9, the separator, am and pm.
void LoadClockModels();
// Counts the frame, then shows the average frame rate since FpsStartTime,
// top right.
void DrawFps();
// Shows the average frame rate without counting a frame: for the views after
// the first when one frame shows on several monitors.
void DrawFpsCounter();
// The local time, top left: 12-hour form with am/pm when `twelveHour`
// ("12 hrs" checked), else 24-hour form.
void DrawClock(bool twelveHour);

extern std::uint32_t FpsStartTime;  // tick count at the end of the set-up
extern std::uint32_t FpsFrameCount; // DrawFps calls since then
