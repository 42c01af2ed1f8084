// The lake as people watch it: set up offscreen, warmed up, then run frame
// after frame on a clock of its own, so that the water is in the state the
// running program shows after a while (a drop every 1.5 to 2 seconds keeping
// it rippled), and the same every time.
//
// The clock: the tick count starts at RunningLakeStartTick + seed and
// advances RunningLakeFrameTicks (16 ms) a frame; the local time is fixed at
// 10:10:00. The water's random source is seeded from those clocks by the
// warm-up, as the full-screen set-up seeds it, so one seed gives one run.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "engine/render/device.h"
#include "scene/lake.h"
#include "scene/mist.h"
#include "scene/water.h"
#include "tools/snapshot/offscreen_lake.h"

constexpr std::uint32_t RunningLakeStartTick = 600000; // ten minutes after the system started
constexpr std::uint32_t RunningLakeFrameTicks = 16;

// The running lake's tick count; advanced by AdvanceRunningLake.
inline std::uint32_t RunningLakeTick = RunningLakeStartTick;

inline std::uint32_t RunningLakeTickCount() {
    return RunningLakeTick;
}
inline platform::TLocalTime RunningLakeLocalTime() {
    return {2026, 6, 21, 10, 10, 0, 0};
}

// The offscreen lake set up, warmed up and its counters started on the
// running lake's clocks, which stay installed until StopRunningLake.
inline void SetUpRunningLake(platform::WindowHandle surface, int width, int height, std::uint32_t seed) {
    RunningLakeTick = RunningLakeStartTick + seed;
    platform::SetTickSource(RunningLakeTickCount);
    platform::SetLocalTimeSource(RunningLakeLocalTime);
    SetUpOffscreenLake(surface, width, height);
    StartFrameCounters();
}

// `frames` frames of the run, each 16 ms after the one before. The water
// moves as the frame loop moves it (a drop when due, a step a frame); only
// the picture is left undrawn, which changes nothing of the water's state:
// the frame drawn next shows what the running program shows then.
inline void AdvanceRunningLake(int frames) {
    for (int i = 0; i < frames; ++i) {
        RunningLakeTick += RunningLakeFrameTicks;
        AdvanceWater(false, true);
    }
}

// The frame after those, as the default settings show it (the clock in its
// 12-hour form, no counter).
inline void DrawRunningLakeFrame() {
    RunningLakeTick += RunningLakeFrameTicks;
    DrawLakeFrame(false, true, true);
}

// The frame just drawn without its water: the lake model as it stood then
// (its falls at the same texture frame) and the mist over it. What differs
// between the two is the water.
inline void DrawRunningLandFrame() {
    BeginFrame();
    SetCamera(0, 0, 1);
    DrawModel(0, 0, LakeAnimationValue(RunningLakeTick), 0);
    DrawMist();
    EndFrame();
}

inline void StopRunningLake() {
    platform::SetTickSource(nullptr);
    platform::SetLocalTimeSource(nullptr);
}
