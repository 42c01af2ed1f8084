// State of the screen effects (trail, glow, reflection, screen filter) that
// model drawing, sprite and flare drawing and the frame slots read.
#pragma once

#include <cstdint>

extern std::uint8_t InTrailPass; // between BeginTrailPass and EndTrailPass
extern std::uint8_t InGlowPass;  // between BeginGlowPass and EndGlowPass
// ScreenWidth x ScreenHeight x 3 + 1 bytes of RGB rows, bottom-up; null while no filter is on.
extern std::uint8_t* ScreenBuffer;
// The projection saved by BeginReflection, restored by EndReflection.
extern float SavedProjection[16];
// 1 between a BeginReflection that acted and its EndReflection.
extern std::uint8_t InReflectionPass;

// Overlay alphas of the trail and the glow over the finished picture.
constexpr float TrailOverlayAlpha = 0.5f;
constexpr float GlowOverlayAlpha = 0.4f;
// Blur passes EndGlowPass runs over the glow mask.
constexpr int GlowBlurPasses = 5;
