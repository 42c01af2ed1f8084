// The numbered feature switches and parameters, and the device slots each one
// drives. Every unknown number is ignored.
#include "engine/features/features.h"

#include <cstring>

#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/render/device.h"
#include "engine/render/textures.h"
#include "engine/render/transforms.h"
#include "engine/textures/umt.h"
#include "platform/platform.h"

// Zero until SetInitialValues below gives them their values at start.
std::uint8_t ClearColorOn;
std::uint8_t TrailOn;
std::uint8_t GlowOn;
std::uint8_t SurfaceOverlayOn;
std::uint8_t ScreenFilterOn;
std::uint8_t FlaresOn;
std::uint8_t GreyFilterOn;
std::uint8_t NegativeFilterOn;
std::uint8_t LightingOn;

float ClearColor[4];
std::string TextureDirectory;
float TrailAlpha;
TTargetSize TrailSize;
float GlowColor[4];
TTargetSize GlowSize;
std::int16_t SurfaceMode;
std::int32_t SpritePoolCount;
std::uint16_t SpriteFrameRate;
std::uint16_t FlareFrameRate;
float LightAmbient[4];

namespace {
void SetInitialValues() {
    ClearColorOn = 1;
    TrailOn = 0;
    GlowOn = 0;
    SurfaceOverlayOn = 0;
    ScreenFilterOn = 0;
    FlaresOn = 0;
    GreyFilterOn = 0;
    NegativeFilterOn = 0;
    LightingOn = 1;

    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f}, white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    std::memcpy(ClearColor, black, sizeof ClearColor);
    TextureDirectory.clear();
    TrailAlpha = 0.9f;
    TrailSize = {512, 512};
    std::memcpy(GlowColor, white, sizeof GlowColor);
    GlowSize = {64, 64};
    SurfaceMode = 7;
    SpritePoolCount = 0;
    SpriteFrameRate = 30;
    FlareFrameRate = 30000;
    std::memcpy(LightAmbient, white, sizeof LightAmbient);
}
// Before main, after TextureDirectory above is constructed.
[[maybe_unused]] const bool InitialValuesSet = (SetInitialValues(), true);
} // namespace

void ResetFeatures() {
    FreePools();
    SetInitialValues();
}

namespace {

// A slot may be empty while no backend is selected; the switch still changes.
template <typename Slot, typename... Args> void Call(Slot slot, Args... args) {
    if (slot) slot(args...);
}

// Reads a value of type T from an unaligned caller's pointer.
template <typename T> T ReadValue(const void* value, std::size_t index = 0) {
    T result;
    std::memcpy(&result, static_cast<const std::uint8_t*>(value) + index * sizeof(T), sizeof(T));
    return result;
}

// Parameters 3 and 5: height first, then width. Sizes the target could not
// hold (or the glow could not blur) leave the old size.
void SetTargetSize(TTargetSize& size, const void* value, std::uint16_t minimum) {
    const auto height = ReadValue<std::uint16_t>(value, 0);
    const auto width = ReadValue<std::uint16_t>(value, 1);
    if (width < minimum || height < minimum || width > MaxTargetSize || height > MaxTargetSize) return;
    size.Width = width;
    size.Height = height;
}

// Every frame of the UMT file at `path` (used as given) becomes the texture
// animation of sprite pool 0. When nothing could be uploaded (no context, no
// backend) the pool keeps what it had rather than pointing at texture 0,
// which belongs to someone else.
void LoadSpriteTexture(const char* path) {
    LoadUmt(path);
    const std::int16_t before = NextTexture;
    std::int16_t first = 0, last = 0;
    try {
        if (UploadTextures) UploadTextures(first, last);
    } catch (...) {
        FreeUmtImages(); // the staging table is left empty whatever happens
        throw;
    }
    FreeUmtImages();
    if (NextTexture == before) return;
    ConfigureSpritePool(0, static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(last),
                        SpriteFrameRate, platform::GetTickCount());
}

} // namespace

void EnableFeature(std::uint32_t number) {
    switch (number) {
    case 0:
        ClearColorOn = 1;
        break;
    case 2:
        Call(CreateTrailTarget);
        TrailOn = 1;
        break;
    case 4:
        Call(CreateGlowTarget);
        GlowOn = 1;
        break;
    case 6:
        SurfaceOverlayOn = 1;
        Call(LoadSurfaceOverlay);
        break;
    case 7:
        Call(CreateScreenBuffer);
        ScreenFilterOn = 1;
        break;
    case 8:
        // Flares live in flare pool 0 of feature 11; without it there is nothing to switch on.
        if (FlarePools.Count == 0) break;
        Call(LoadFlares);
        FlaresOn = 1;
        break;
    case 9:
        GreyFilterOn = 1;
        break;
    case 10:
        NegativeFilterOn = 1;
        break;
    case 11:
        // A negative count makes no sprite pools rather than four billion.
        CreatePools(SpritePoolCount > 0 ? static_cast<std::uint32_t>(SpritePoolCount) : 0u, 1, 1,
                    FlarePoolCapacity);
        break;
    case 20:
        Call(CreateReflectionTarget);
        break;
    case 21:
        Call(EnableLighting);
        LightingOn = 1;
        break;
    case 22:
        SurfaceOverlayOn = 0;
        break;
    default:
        break;
    }
}

void DisableFeature(std::uint32_t number) {
    switch (number) {
    case 0:
        ClearColorOn = 0;
        break;
    case 2:
        Call(DeleteTrailTarget);
        TrailOn = 0;
        break;
    case 4:
        Call(DeleteGlowTarget);
        GlowOn = 0;
        break;
    case 6:
        Call(FreeSurfaceOverlay);
        SurfaceOverlayOn = 0;
        break;
    case 7:
        Call(DeleteScreenBuffer);
        ScreenFilterOn = 0;
        break;
    case 8:
        FlaresOn = 0;
        ResizeFlarePool(0, 0);
        break;
    case 9:
        GreyFilterOn = 0;
        break;
    case 10:
        NegativeFilterOn = 0;
        break;
    case 11:
        FreePools();
        break;
    case 20:
        Call(DeleteReflectionTarget);
        break;
    case 21:
        Call(DisableLighting);
        LightingOn = 0;
        break;
    case 22:
        SurfaceOverlayOn = 1;
        break;
    default:
        break;
    }
}

void SetParameter(std::uint32_t number, const void* value) {
    if (!value) return;
    switch (number) {
    case 0:
        std::memcpy(ClearColor, value, sizeof ClearColor);
        break;
    case 1:
        TextureDirectory = static_cast<const char*>(value);
        break;
    case 2: {
        // n = 0 would make the weight infinite; the old weight stays.
        const auto n = ReadValue<std::uint32_t>(value);
        if (n != 0) TrailAlpha = static_cast<float>(1.0L - 1.0L / static_cast<long double>(n));
        break;
    }
    case 3:
        SetTargetSize(TrailSize, value, 1);
        break;
    case 4:
        std::memcpy(GlowColor, value, sizeof GlowColor);
        break;
    case 5:
        SetTargetSize(GlowSize, value, MinGlowSize);
        break;
    case 6:
        SurfaceMode = ReadValue<std::int16_t>(value);
        Call(FreeSurfaceOverlay);
        Call(LoadSurfaceOverlay);
        break;
    case 8:
        ResizeFlarePool(ReadValue<std::uint32_t>(value, 0), ReadValue<std::uint32_t>(value, 1));
        break;
    case 11:
        SpritePoolCount = ReadValue<std::int32_t>(value);
        break;
    case 12:
        ResizeSpritePool(ReadValue<std::uint32_t>(value, 0), ReadValue<std::uint32_t>(value, 1));
        break;
    case 13:
        // The texture is for sprite pool 0; without it nothing is loaded.
        if (SpritePools.Count == 0) break;
        LoadSpriteTexture(static_cast<const char*>(value));
        break;
    case 14:
        SpriteFrameRate = ReadValue<std::uint16_t>(value);
        break;
    case 15:
        FlareFrameRate = ReadValue<std::uint16_t>(value);
        break;
    case 21:
        std::memcpy(LightAmbient, value, sizeof LightAmbient);
        ApplyLightAmbient();
        break;
    default:
        break;
    }
}
