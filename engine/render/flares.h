// Sprite and flare drawing (DrawFlares and LoadFlares, flares_gl.cpp on the
// OpenGL backend): the flare texture, the flare each model light gets, and
// the billboard axes the squares are laid along.
#pragma once

#include <cstdint>

#include "engine/support/matmath.h"

// The flare texture: loaded once per run by the first LoadFlares.
extern std::uint8_t FlaresLoaded;
extern std::int16_t FlareFirstTexture; // TextureNames run of its frames
extern std::int16_t FlareLastTexture;

// Size and alpha of the flare put at each light of a model (AddModelLights,
// DrawReflectiveModel).
constexpr float ModelLightFlareAlpha = 1.0f;
constexpr float ModelLightFlareSize = 40.0f;

// The billboard axes of a projection matrix (the camera included, OpenGL
// order): view is the normal of the near plane (the viewing direction),
// right = view x world z, up = view x right, all of unit length. When the
// view runs along the world's z axis, world y takes the place of world z;
// a projection with no usable near plane looks along +y.
void BillboardAxes(const float projection[16], TVector& view, TVector& right, TVector& up);
