// The picture the water reflects, made from the lake model itself.
//
// The water's texture coordinates come from sphere mapping in the lake's own
// space (z up, the eye of the mapping at the origin, 11 units above the still
// water): a texel stands for the direction r in which the water reflects the
// ray from the origin. The centre of the picture is straight up, the circle
// at 0.707 of its radius the horizon, t = 1 north. The still lake reads a
// thin ring a few degrees above that horizon; ripples tilt the surface and
// read the rest.
//
// For every direction the picture holds what camera 1 sees in the water
// there: the still lake's point that reads it is found (along the same
// azimuth, between the nearest water camera 1 sees and the far shore), and
// the scene is drawn as a mirror below the water shows it from that point,
// so the still lake mirrors the far shore. Around that ring the picture
// carries the colours camera 1 sees just above the far shore at each
// azimuth, blurred by degrees, so ripples smear the shore's reflection into
// vertical streaks. How much is reflected follows camera 1's view of that
// point (Fresnel's law): near water, seen steeply, shows its own
// blue-green, far water at a glance the shore and the sky.
#pragma once

#include "tools/scenegen/lake_model.h"

namespace scenegen {

constexpr int WaterPictureSize = 1024;

// The picture for `lake`, whose objects and other textures are complete.
TPicture WaterPicture(const TLakeData& lake);

} // namespace scenegen
