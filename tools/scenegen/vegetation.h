// Trees, bushes and reeds as camera-facing cut-outs, and the waterfall.
//
// Cut-outs carry their shape in the texture's alpha, so the lake model draws
// them in its blended pass without writing depth, and the water is drawn
// after them. Every cut-out therefore stands where, seen from camera 1, the
// ground behind it is land: the water can never be painted over it.
#pragma once

#include <cstdint>

#include "tools/scenegen/picture.h"
#include "tools/scenegen/terrain.h"

namespace scenegen {

// All the tree, bush and reed cut-outs, sorted from far to near (nothing
// stands between camera 1 and the waterfall, so it may come after them all).
TGenObject PlaceVegetation(const TTerrainGrid& grid, std::uint16_t material);
TPicture VegetationTexture(); // 1024 x 512 RGBA atlas

// The waterfall: a ribbon down the rock face, just in front of it, and the
// spray it throws up where it meets the lake.
TGenObject Waterfall(std::uint16_t material);
TPicture WaterfallTexture(); // 128 x 256 RGBA: the ribbon left, the spray right

// True when the ray from camera 1 through `p` meets the land after `p`
// before it meets the lake's water (or meets neither).
bool LandBehind(TVec3 p);

} // namespace scenegen
