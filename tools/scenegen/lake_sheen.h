// The lake's sheen: the light far water mirrors at a glance.
//
// The water is drawn over the model with the blending the model's cut-outs
// leave on, and its picture is a little transparent, so some of what the
// model draws under it shows through. The water's picture is read by
// direction from the lake model's origin, some way behind camera 1, so on
// its own it cannot tell near water from far, and real water reflects far
// more at a glance than seen steeply (Fresnel's law): near the camera it
// shows its own deep blue-green, far off mostly the bright hazy sky low over
// the far shore. A level sheet under the far part of the water carries that
// change smoothly: nothing (the black the frame is cleared to) under the
// near water, growing to the sky's glare under the far. The ripples' picture
// over it carries the shore's streaks and the glints.
#pragma once

#include <cstdint>

#include "tools/scenegen/picture.h"

namespace scenegen {

// How much of the water's own picture covers what lies under it (its
// picture's alpha).
constexpr float WaterOpacity = 0.8f;

// The share of light still water reflects towards camera 1 at the point p
// of its surface (Fresnel's law for water, in Schlick's form).
float WaterReflectance(TVec3 p);

// What shows through the water at the still-water point (x, y) from under
// it: the sheen there as camera 1 sees it, black where there is none.
TColour LakeSheenColour(float x, float y);

// The sheen: a level sheet under the far part of the water, as deep as the
// bed the water always hides (where the bed lies higher, the bed is seen
// instead, and its texture fades into this colour with depth), and its
// texture.
TGenObject LakeSheen(std::uint16_t material);
TPicture LakeSheenTexture();

} // namespace scenegen
