#include "scene/lake.h"

#include "engine/features/features.h"
#include "engine/models/model_load.h"
#include "engine/render/device.h"
#include "platform/platform.h"
#include "scene/mist.h"
#include "scene/overlay.h"
#include "scene/random.h"
#include "scene/water.h"

namespace {

// Engine feature and parameter numbers the scene uses.
constexpr std::uint32_t TextureDirectoryParameter = 1;
constexpr std::uint32_t ClearColorFeature = 0;
constexpr std::uint32_t SurfaceOverlayFeature = 6;
constexpr std::uint32_t LightingFeature = 21;

constexpr std::uint32_t LakeModel = 0;
constexpr std::uint32_t LakeCamera = 1; // camera numbers count from 1; 0 is the flat projection

// The warm-up: one dent per forced call, then free running.
constexpr int WarmUpDrops = 16;
constexpr int WarmUpSteps = 80;

} // namespace

void SetUpLakeScene() {
    SetParameter(TextureDirectoryParameter, "models");
    LoadModel(LakeModelPath);
    EnableFeature(ClearColorFeature);
    DisableFeature(LightingFeature);
    DisableFeature(SurfaceOverlayFeature);
    LoadClockModels();
    InitWater();
    SetUpMist();
}

void WarmUpWater() {
    RandomizeFromClock();
    // No frame is open yet, so the calls advance the simulation without
    // drawing (DrawWater would send its strips to no context).
    for (int i = 0; i < WarmUpDrops; ++i)
        AdvanceWater(true, false);
    for (int i = 0; i < WarmUpSteps; ++i)
        AdvanceWater(false, false);
}

void StartFrameCounters() {
    FpsStartTime = platform::GetTickCount();
    FpsFrameCount = 0;
    LastStepTime = platform::GetTickCount();
    MistLastStep = LastStepTime;
}

void DrawLakeFrame(bool showFps, bool showTime, bool twelveHour) {
    AdvanceMist();
    BeginFrame();
    SetCamera(LakeModel, 0, LakeCamera);
    DrawModel(LakeModel, 0, LakeAnimationValue(platform::GetTickCount()), 0);
    DrawWater(false, true);
    DrawMist();
    if (showFps) DrawFps();
    if (showTime) DrawClock(twelveHour);
    EndFrame();
}

void DrawLakeViews(const std::vector<TLakeView>& views, bool showFps, bool showTime, bool twelveHour) {
    // The water and the counter move once a frame, however many views show it.
    AdvanceWater(false, true);
    AdvanceMist();
    std::uint64_t fps = 0;
    if (showFps) {
        ++FpsFrameCount;
        fps = FpsValue();
    }
    const std::uint32_t animation = LakeAnimationValue(platform::GetTickCount());
    BeginFrame();
    for (const TLakeView& view : views) {
        // A monitor with no area shows nothing (SetViewArea would leave the
        // area of the view before in place).
        if (view.Width <= 0 || view.Height <= 0) continue;
        SetViewArea(view.Left, view.Bottom, view.Width, view.Height);
        SetCamera(LakeModel, 0, LakeCamera);
        DrawModel(LakeModel, 0, animation, 0);
        DrawWaterSurface();
        DrawMist();
        if (showFps) DrawFpsCounter(fps);
        if (showTime) DrawClock(twelveHour);
    }
    // The whole window's viewport and aspect again, as DeviceResize left them.
    SetViewArea(0, 0, ScreenWidth, ScreenHeight);
    EndFrame();
}
