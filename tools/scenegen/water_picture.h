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
// there: the still lake's point that reads it is found, and the scene is
// drawn as a mirror below the water shows it from that point (the camera
// mirrored in the water plane), so the still lake mirrors the far shore and
// ripples bend that image. Steep views into the water show its own dark
// colour, grazing ones the reflection, as on a real lake.
#pragma once

#include "tools/scenegen/lake_model.h"

namespace scenegen {

constexpr int WaterPictureSize = 1024;

// The picture for `lake`, whose objects and other textures are complete.
TPicture WaterPicture(const TLakeData& lake);

} // namespace scenegen
