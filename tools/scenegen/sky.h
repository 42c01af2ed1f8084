// What lies beyond the land: the sky dome, two rings of distant hills fading
// into the haze, and the picture the water reflects.
#pragma once

#include <cstdint>

#include "tools/scenegen/picture.h"

namespace scenegen {

// Radius of the sky dome around camera 1, inside the camera's far distance.
constexpr float SkyRadius = 2200.0f;

// The colour of the sky in the direction `dir` (unit, world space), clouds
// included; below the horizon the haze.
TColour SkyColour(TVec3 dir);

// The dome around camera 1, textured with `SkyTexture`, faces inwards.
TGenObject SkyDome(std::uint16_t material);
TPicture SkyTexture(); // 1024 x 512; s covers azimuths -90..90 degrees and repeats

// The distant hills: two rings around camera 1, the nearer at 1250 units and
// the farther at 1800, each a band of quads whose top edge is the ridge line.
TGenObject HillRings(std::uint16_t material);
TPicture HillsTexture(); // 1024 x 256: the lower half the near ring, the upper the far one

// The picture the water reflects. The water's texture coordinates come from
// sphere mapping in the lake's own space (z up): the centre of the picture is
// straight up, the circle at 0.707 of its radius the horizon, t = 1 north.
TPicture MirrorTexture(); // 512 x 512

} // namespace scenegen
