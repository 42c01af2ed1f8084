// Boulders: scattered in clusters along the shore, half in the water or
// lying on the bank, and heaped as scree at the foot of the rock face. Each
// is a lumpy stone worn round, lit by the sun corner by corner: its texture
// is a strip of stone grain from shade to full sun, and every corner takes
// the part of the strip that its own light calls for, so the light runs
// smoothly over it; below the ripples' reach it is wet and dark.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/scenegen/picture.h"

namespace scenegen {

struct TBoulder {
    TVec3 Base;   // the middle of its foot
    float Radius; // across its widest part
    float Height;
    float Turn; // radians
};

// The boulders, from a fixed seed: along the shore and under the rock face.
std::vector<TBoulder> PlaceBoulders();
TGenObject Boulders(const std::vector<TBoulder>& boulders, std::uint16_t material);
TPicture StoneTexture(); // 256 x 256 RGB: grain across, light from bottom (shade) to top (sun)

} // namespace scenegen
