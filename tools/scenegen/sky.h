// What lies beyond the land: the sky dome and its colours.
#pragma once

#include <cstdint>

#include "tools/scenegen/picture.h"

namespace scenegen {

// Radius of the sky dome around camera 1, inside the camera's far distance.
constexpr float SkyRadius = 2200.0f;

// The colour of the sky in the direction `dir` (unit, world space), clouds
// included; below the horizon the haze.
TColour SkyColour(TVec3 dir);

struct TTerrainGrid;

// The dome around camera 1, textured with `SkyTexture`, faces inwards. It
// reaches down only to a little below the land's skyline seen from camera 1
// (the ground drawn from `grid`): the sky is drawn where it can be seen, not
// behind the whole land.
TGenObject SkyDome(std::uint16_t material, const TTerrainGrid& grid);

// Elevation in degrees of the drawn land's skyline seen from camera 1 in the
// direction `azimuth` (degrees clockwise from north).
float SkylineElevation(const TTerrainGrid& grid, float azimuth);
// The sky and, over the land's skyline (of `grid`), a farther range of
// mountains. 1024 x 512; s covers azimuths -90..90 degrees and repeats.
TPicture SkyTexture(const TTerrainGrid& grid);

} // namespace scenegen
