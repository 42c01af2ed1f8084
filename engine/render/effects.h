// State of the screen effects (trail, glow, reflection, screen filter) that
// model drawing and the frame slots read, and the pieces of sprite and flare
// drawing that need no OpenGL.
#pragma once

#include <cstdint>

#include "engine/support/matmath.h"

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

// The flare texture: loaded once per run by the first LoadFlares.
extern std::uint8_t FlaresLoaded;
extern std::int16_t FlareFirstTexture; // TextureNames run of its frames
extern std::int16_t FlareLastTexture;

// Size and alpha of the flare AddModelLights puts at each light.
constexpr float ModelLightFlareAlpha = 1.0f;
constexpr float ModelLightFlareSize = 40.0f;

// The billboard axes of a projection matrix (the camera included, OpenGL
// order): view is the normal of the near plane (the viewing direction),
// right = view x world z, up = view x right, all of unit length. When the
// view runs along the world's z axis, world y takes the place of world z;
// a projection with no usable near plane looks along +y.
void BillboardAxes(const float projection[16], TVector& view, TVector& right, TVector& up);
