// The scene's light, defined once: the sun (where it stands and the colour
// of its light), the light of the open sky that fills the shade, and the
// haze. Every baked shade, shadow, highlight and glow reads it: the ground,
// the rock face, the stones, the plants' atlas, the falls' mist and the sky.
//
// Light here is a colour that multiplies a surface's own colour: full
// afternoon sun on a surface facing it gives about (1.1, 1.05, 0.95), shade
// lit by the sky alone about a third of that and bluer, so slopes facing the
// sun come out brighter and warmer and those turned away darker and cooler.
#pragma once

#include "tools/scenegen/picture.h"

namespace scenegen {

// Unit vector towards the sun (west-south-west, 35 degrees up): in the view
// of camera 1, which looks north, it stands to the left and a little behind.
TVec3 SunDirection();
// The sun as a cut-out facing camera 1 sees it: x to the right across the
// cut-out, y up it, z out of it towards the camera (unit).
TVec3 SunInView();

// The direct sun's light on a surface square to it, and the sky's on a
// surface facing straight up with all the sky open above it.
TColour SunLight();
TColour SkyLight();

// The light on a surface of unit normal `normal` that `sunShare` (0..1) of
// the direct sun reaches (less in shadow) and `openness` (0..1) of the sky.
TColour Illumination(TVec3 normal, float sunShare, float openness);
// The same for a surface whose share of the sun's light is already known:
// `sunLit` 0 in full shade, 1 square to the full sun.
TColour IlluminationAt(float sunLit, float up, float openness);
// A colour times a light, channel by channel (alpha kept).
TColour Lit(const TColour& colour, const TColour& light);
// The hue alone of the light where the sun gives `sunLit` (0 shade .. 1
// square to it) and the open sky the rest, its channels averaging 1: for
// what is shaded by a brightness of its own (rock, stones, leaves, mist).
TColour LightTint(float sunLit);

// The sky overhead, and the glow of the air round the sun.
TColour ZenithColour();
TColour SunGlowColour();

// Colours of the air: the haze that far land fades into (the sky's horizon
// is a little brighter).
TColour HazeColour();
// How much haze lies between the camera and a point `distance` away (0..1).
float HazeAmount(float distance);

} // namespace scenegen
