// What the main window calls in the sound, the render device and the lake
// scene: one table of procedures.
//
// The main window never names those subsystems directly; it calls through
// EngineCalls. The program fills the table with the real procedures
// (UseRealEngineCalls, engine_calls.cpp); tests put their own in to watch the
// order of the set-up, the frame and the tear-down without a screen.
#pragma once

#include <cstdint>
#include <string>

#include <vector>

#include "platform/gl_binding.h" // platform::WindowHandle
#include "scene/lake.h"          // TLakeView

struct TEngineCalls {
    // Sound.
    void (*InitSound)(platform::WindowHandle window);
    void (*LoadWave)(const std::string& path);
    void (*PlaySound)(std::int32_t index, bool restart, bool loop);
    void (*SetSoundVolume)(std::int32_t index, std::int32_t volume); // hundredths of a decibel
    void (*SetMusicVolume)(std::int32_t volume);
    void (*FreeSounds)();
    void (*ShutdownSound)();
    // Render device: the window, the backend, then the slots of the table.
    void (*SetDeviceWindow)(platform::WindowHandle window);
    void (*SelectBackend)(std::uint8_t kind);
    void (*DeviceInit)();
    void (*DeviceResize)(std::int32_t width, std::int32_t height);
    void (*DeviceDone)();
    // The lake scene's share (scene/lake.h): its models, switches and water;
    // the water's warm-up with the random source seeded; the frame counter
    // and the water's step clock started; one frame.
    void (*SetUpLakeScene)();
    void (*WarmUpWater)();
    void (*StartFrameCounters)();
    void (*DrawLakeFrame)(bool showFps, bool showTime, bool twelveHour);
    // One frame with a view a monitor (the run on every monitor).
    void (*DrawLakeViews)(const std::vector<TLakeView>& views, bool showFps, bool showTime, bool twelveHour);
};

// The table the main window calls through; every entry is null until filled.
extern TEngineCalls EngineCalls;

// Fills EngineCalls with the real subsystems (the program does this at start).
void UseRealEngineCalls();
