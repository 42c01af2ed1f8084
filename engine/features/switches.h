// The engine's switches and parameters: plain globals, changed through
// EnableFeature, DisableFeature and SetParameter (features.h) and read
// directly by the render device, model loading and model drawing. The values
// below are those before any call; nothing resets them during a run.
#pragma once

#include <cstdint>
#include <string>

// Switches, 0 = off, 1 = on (feature number in brackets).
extern std::uint8_t ClearColorOn;     // (0) frames clear colour and depth; off: depth only. Initially on
extern std::uint8_t TrailOn;          // (2) the motion trail. Initially off
extern std::uint8_t GlowOn;           // (4) the glow pass. Initially off
extern std::uint8_t SurfaceOverlayOn; // (6 on, 22 inverse) the overlay quad over models. Initially off
extern std::uint8_t ScreenFilterOn;   // (7) EndFrame filters the finished frame. Initially off
extern std::uint8_t FlaresOn;         // (8) flares at model lights. Initially off
extern std::uint8_t GreyFilterOn;     // (9) Initially off
extern std::uint8_t NegativeFilterOn; // (10) Initially off
extern std::uint8_t LightingOn;       // (21) lit model drawing. Initially on

// A render target's size in pixels.
struct TTargetSize {
    std::uint16_t Width;
    std::uint16_t Height;
};

// Parameters (parameter number in brackets).
extern float ClearColor[4];           // (0) r, g, b, a; (0, 0, 0, 1)
extern std::string TextureDirectory;  // (1) no trailing separator; empty
extern float TrailAlpha;              // (2) weight of the previous trail image, 1 - 1/n; 0.9
extern TTargetSize TrailSize;         // (3) 512 x 512
extern float GlowColor[4];            // (4) tint, only r, g, b used; (1, 1, 1, 1)
extern TTargetSize GlowSize;          // (5) 64 x 64
extern std::int16_t SurfaceMode;      // (6) 7 draws the overlay; 7
extern std::int32_t SpritePoolCount;  // (11) sprite pools made by EnableFeature(11); 0
extern std::uint16_t SpriteFrameRate; // (14) sprite texture frames per second; 30
extern std::uint16_t FlareFrameRate;  // (15) flare texture frames per second; 30000
extern float LightAmbient[4];         // (21) light-model ambient colour; (1, 1, 1, 1)

// Entries of flare pool 0 (fixed; no parameter changes it).
constexpr std::uint32_t FlarePoolCapacity = 500;

// Bounds the engine keeps target sizes within; SetParameter(3) and (5)
// ignore sizes outside them. The glow's blur needs at least 3 x 3 pixels.
constexpr std::uint16_t MaxTargetSize = 4096;
constexpr std::uint16_t MinGlowSize = 3;
