// The lake scene's share of the full-screen run: its set-up and its frame.
//
// The shell wires these into its own steps. Full-screen set-up, in order:
//   shell: cursor position, dialog controls hidden, sound started
//   shell: SetDeviceWindow(window), SelectBackend(2), DeviceInit()
//   SetUpLakeScene()      texture directory "models", the lake (model 0),
//                         feature switches 0 on, 21 and 6 off, the clock and
//                         counter models (1..13), InitWater, the mist at the
//                         falls' foot (scene/mist.h: sprite pool 0)
//   shell: cursor hidden
//   WarmUpWater()         random source seeded from the clock, 16 forced and
//                         80 free water steps (no frame open)
//   StartFrameCounters()  FpsStartTime, FpsFrameCount, LastStepTime and the
//                         mist's step clock
//   shell: RunMode = 2
// Each frame of the run, from the idle handler while RunMode is 2:
//   DrawLakeFrame(showFps, showTime, twelveHour)
//                         BeginFrame, camera 1 of the lake, the lake (its
//                         moving textures at the frame the clock gives), the
//                         water, the mist, the counter and the clock when
//                         asked, EndFrame
// An error while setting up (a missing model or texture file) propagates as
// TIoError from SetUpLakeScene, as LoadModel raised it.
#pragma once

#include <cstdint>
#include <vector>

// Path of the lake model, as the program writes paths ("\" separated).
constexpr const char* LakeModelPath = "models\\tarnwick.umf";

// The lake's moving textures (the falls, the white water above them and the
// foam at their foot) step one texture frame every FlowFrameTicks
// milliseconds of the tick count, whatever the frame rate: their frames move
// the water 8 texels of 256 down the falls a step, about 10 units a second
// (a 16-unit drop in 1.6 seconds), and the foam outward about 3.
constexpr std::uint32_t FlowFrameTicks = 50;
// The animation value the lake model is drawn with at tick count `tick`.
inline std::uint32_t LakeAnimationValue(std::uint32_t tick) {
    return tick / FlowFrameTicks;
}

// Needs the render device initialised; must run outside a frame.
void SetUpLakeScene();
// Seeds the random source from the clock and runs the water for 96 steps, so
// that the first frame already shows ripples. Draws nothing.
void WarmUpWater();
// The frame counter starts now; the water's step clock too.
void StartFrameCounters();
// One frame: showFps is "Show FPS", showTime "Show Time", twelveHour the
// "12 hrs" choice of the settings.
void DrawLakeFrame(bool showFps, bool showTime, bool twelveHour);

// A part of the window that shows the whole scene, in pixels from the
// window's lower left corner (as OpenGL counts them): one a monitor.
struct TLakeView {
    int Left = 0;
    int Bottom = 0;
    int Width = 0;
    int Height = 0;
};
// One frame on several monitors at once: the water steps once, then each
// view shows the lake through camera 1 framed for its own shape, the water,
// and the counter and clock in its own corners; the counter counts the frame
// once. One BeginFrame and one EndFrame for them all; views with no area
// are left out, and the frame ends with the whole window's viewport and
// aspect back in place.
void DrawLakeViews(const std::vector<TLakeView>& views, bool showFps, bool showTime, bool twelveHour);
