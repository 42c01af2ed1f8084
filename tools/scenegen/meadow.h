// The meadows' turf, painted into the ground's textures: its colour follows
// the land's shape and wetness, with tussocks, rushes and worn earth at
// their own sizes.
#pragma once

#include "tools/scenegen/picture.h"
#include "tools/scenegen/surface_noise.h"

namespace scenegen {

// The lie of the land round a point over some units: how steeply it rises
// across them (a gradient) and how far the ground round it lies above the
// point itself (above 0 in a hollow, below 0 on a crest or knoll).
struct TRelief {
    float Rise = 0.0f;
    float Hollow = 0.0f;
};

// The radius, in units, over which TRelief is measured.
constexpr float ReliefRadius = 5.0f;

struct TMeadow {
    TColour Colour;
    float Bare; // 0..1: the share of worn, bare earth
};

// The turf at (x, y), `above` the water, its ground's normal `n`, its texel
// `footprint` units wide (detail finer than that is left out, averaged into
// the colour), `surface` its noise.
TMeadow MeadowAt(float x, float y, float above, TVec3 n, const TRelief& relief, const TSurfaceNoise& surface,
                 float footprint);

} // namespace scenegen
