// Feature switches and parameters: what each number changes and which device
// slots it drives, in which order (seen through a recording table).
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/features/features.h"
#include "engine/features/switches.h"
#include "engine/render/device.h"

namespace {
std::vector<std::string> Calls;

// Records the slot and the switch it comes before or after.
void Record(const char* slot, std::uint8_t flag) {
    Calls.push_back(std::string(slot) + ":" + std::to_string(flag));
}

void InstallRecordingSlots() {
    SelectBackend(1);
    CreateTrailTarget = [] { Record("CreateTrailTarget", TrailOn); };
    DeleteTrailTarget = [] { Record("DeleteTrailTarget", TrailOn); };
    CreateGlowTarget = [] { Record("CreateGlowTarget", GlowOn); };
    DeleteGlowTarget = [] { Record("DeleteGlowTarget", GlowOn); };
    LoadSurfaceOverlay = [] {
        Record("LoadSurfaceOverlay", static_cast<std::uint8_t>(SurfaceOverlayOn * 10 + SurfaceMode));
    };
    FreeSurfaceOverlay = [] {
        Record("FreeSurfaceOverlay", static_cast<std::uint8_t>(SurfaceOverlayOn * 10 + SurfaceMode));
    };
    CreateScreenBuffer = [] { Record("CreateScreenBuffer", ScreenFilterOn); };
    DeleteScreenBuffer = [] { Record("DeleteScreenBuffer", ScreenFilterOn); };
    CreateReflectionTarget = [] { Record("CreateReflectionTarget", 0); };
    DeleteReflectionTarget = [] { Record("DeleteReflectionTarget", 0); };
    EnableLighting = [] { Record("EnableLighting", LightingOn); };
    DisableLighting = [] { Record("DisableLighting", LightingOn); };
    LoadFlares = [] { Record("LoadFlares", FlaresOn); };
    Calls.clear();
}
} // namespace

TEST(FeatureSwitches, EnablingCreatesTheResourceBeforeSwitchingOn) {
    InstallRecordingSlots();
    EnableFeature(2);
    EnableFeature(4);
    EnableFeature(7);
    EnableFeature(21);
    EnableFeature(20);
    EXPECT_EQ(Calls,
              (std::vector<std::string>{"CreateTrailTarget:0", "CreateGlowTarget:0", "CreateScreenBuffer:0",
                                        "EnableLighting:1", "CreateReflectionTarget:0"}));
    EXPECT_EQ(TrailOn, 1);
    EXPECT_EQ(GlowOn, 1);
    EXPECT_EQ(ScreenFilterOn, 1);
}

TEST(FeatureSwitches, DisablingDeletesTheResourceBeforeSwitchingOff) {
    InstallRecordingSlots();
    EnableFeature(2);
    EnableFeature(7);
    Calls.clear();
    DisableFeature(2);
    DisableFeature(7);
    DisableFeature(21);
    DisableFeature(20);
    EXPECT_EQ(Calls, (std::vector<std::string>{"DeleteTrailTarget:1", "DeleteScreenBuffer:1",
                                               "DisableLighting:1", "DeleteReflectionTarget:0"}));
    EXPECT_EQ(TrailOn, 0);
    EXPECT_EQ(ScreenFilterOn, 0);
    EXPECT_EQ(LightingOn, 0);
}

TEST(FeatureSwitches, SurfaceOverlaySwitchesOnBeforeLoadingAndFreesBeforeSwitchingOff) {
    InstallRecordingSlots();
    EnableFeature(6);
    DisableFeature(6);
    EXPECT_EQ(Calls, (std::vector<std::string>{"LoadSurfaceOverlay:17", "FreeSurfaceOverlay:17"}));
    EXPECT_EQ(SurfaceOverlayOn, 0);
}

TEST(FeatureSwitches, TwentyTwoHidesAndShowsTheOverlayWithoutSlots) {
    InstallRecordingSlots();
    SurfaceOverlayOn = 1;
    EnableFeature(22);
    EXPECT_EQ(SurfaceOverlayOn, 0);
    DisableFeature(22);
    EXPECT_EQ(SurfaceOverlayOn, 1);
    EXPECT_TRUE(Calls.empty());
}

TEST(FeatureSwitches, RepeatingAnEnableRepeatsItsSetUp) {
    InstallRecordingSlots();
    EnableFeature(2);
    EnableFeature(2);
    EXPECT_EQ(Calls, (std::vector<std::string>{"CreateTrailTarget:0", "CreateTrailTarget:1"}));
}

TEST(FeatureSwitches, PlainSwitchesAndUnknownNumbers) {
    InstallRecordingSlots();
    DisableFeature(0);
    EnableFeature(9);
    EnableFeature(10);
    EXPECT_EQ(ClearColorOn, 0);
    EXPECT_EQ(GreyFilterOn, 1);
    EXPECT_EQ(NegativeFilterOn, 1);
    for (std::uint32_t number : {1u, 3u, 5u, 12u, 19u, 23u, 0xFFFFFFFFu}) {
        EnableFeature(number);
        DisableFeature(number);
    }
    EXPECT_TRUE(Calls.empty());
    EXPECT_EQ(ClearColorOn, 0);
    EXPECT_EQ(TrailOn, 0);
    EXPECT_EQ(LightingOn, 1);
}

TEST(FeatureSwitches, WorkWithoutAnyBackendSelected) {
    EnableFeature(2);
    EnableFeature(21);
    SetParameter(6, std::array<std::int16_t, 1>{3}.data());
    EXPECT_EQ(TrailOn, 1);
    EXPECT_EQ(SurfaceMode, 3);
}

TEST(Parameters, TrailAlphaIsOneMinusTheReciprocal) {
    std::uint32_t n = 1;
    SetParameter(2, &n);
    EXPECT_EQ(TrailAlpha, 0.0f);
    n = 4;
    SetParameter(2, &n);
    EXPECT_EQ(TrailAlpha, 0.75f);
    n = 0; // would be infinite: ignored
    SetParameter(2, &n);
    EXPECT_EQ(TrailAlpha, 0.75f);
}

TEST(Parameters, TargetSizesTakeHeightFirstAndRefuseUnusableSizes) {
    const std::uint16_t trail[2] = {256, 128};
    SetParameter(3, trail);
    EXPECT_EQ(TrailSize.Width, 128);
    EXPECT_EQ(TrailSize.Height, 256);
    const std::uint16_t huge[2] = {65535, 65535};
    SetParameter(3, huge);
    const std::uint16_t empty[2] = {0, 64};
    SetParameter(3, empty);
    EXPECT_EQ(TrailSize.Width, 128);
    EXPECT_EQ(TrailSize.Height, 256);
    const std::uint16_t tooSmallToBlur[2] = {2, 2};
    SetParameter(5, tooSmallToBlur);
    EXPECT_EQ(GlowSize.Width, 64);
    const std::uint16_t glow[2] = {3, 32};
    SetParameter(5, glow);
    EXPECT_EQ(GlowSize.Width, 32);
    EXPECT_EQ(GlowSize.Height, 3);
}

TEST(Parameters, ColoursTextAndRates) {
    const float red[4] = {1, 0, 0, 0.5f};
    SetParameter(0, red);
    SetParameter(4, red);
    SetParameter(21, red); // no context yet: stored only
    EXPECT_EQ(ClearColor[0], 1.0f);
    EXPECT_EQ(ClearColor[3], 0.5f);
    EXPECT_EQ(GlowColor[3], 0.5f);
    EXPECT_EQ(LightAmbient[1], 0.0f);
    SetParameter(1, "models");
    EXPECT_EQ(TextureDirectory, "models");
    const std::uint16_t rate = 12;
    SetParameter(14, &rate);
    SetParameter(15, &rate);
    EXPECT_EQ(SpriteFrameRate, 12);
    EXPECT_EQ(FlareFrameRate, 12);
    const std::int32_t pools = 3;
    SetParameter(11, &pools);
    EXPECT_EQ(SpritePoolCount, 3);
}

TEST(Parameters, SurfaceModeReloadsTheOverlayWithTheNewMode) {
    InstallRecordingSlots();
    const std::int16_t mode = 3;
    SetParameter(6, &mode);
    EXPECT_EQ(Calls, (std::vector<std::string>{"FreeSurfaceOverlay:3", "LoadSurfaceOverlay:3"}));
}

TEST(Parameters, NullValueOrUnknownNumberChangesNothing) {
    InstallRecordingSlots();
    for (std::uint32_t number : {0u, 1u, 2u, 3u, 6u, 13u, 21u})
        SetParameter(number, nullptr);
    const float value[4] = {9, 9, 9, 9};
    for (std::uint32_t number : {7u, 9u, 10u, 16u, 20u, 22u, 1000u})
        SetParameter(number, value);
    EXPECT_TRUE(Calls.empty());
    EXPECT_EQ(ClearColor[0], 0.0f);
    EXPECT_EQ(SurfaceMode, 7);
    EXPECT_FLOAT_EQ(TrailAlpha, 0.9f);
}
