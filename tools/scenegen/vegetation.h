// Trees, bushes and reeds as camera-facing cut-outs.
//
// Cut-outs carry their shape in the texture's alpha, so the lake model draws
// them in its blended pass without writing depth, and the water is drawn
// after them. Every cut-out therefore stands where, seen from camera 1, the
// ground behind it is land: the water can never be painted over it.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/scenegen/picture.h"
#include "tools/scenegen/terrain.h"

namespace scenegen {

// A tree, bush or reed clump standing at Base (its foot), Width across and
// Height tall, of the atlas's `Variant` of its kind.
struct TPlant {
    enum TKind { Fir, Broadleaf, Bush, Reed, BankGrass } Kind = Fir;
    int Variant = 0;
    TVec3 Base;
    float Width = 0.0f, Height = 0.0f;
    float Distance = 0.0f; // from camera 1, across the ground
    int FarCopy = -1;      // the far texture's copy it is drawn from, -1 the atlas
};

// Trees in woods, groves and along the woods' thinning edges, bushes in
// clumps near trees and `rocks`, reeds in beds at the waterline; sorted from
// far to near (nothing stands between camera 1 and the waterfall, so it may
// come after them all).
std::vector<TPlant> PlacePlants(const TTerrainGrid& grid, const std::vector<TVec3>& rocks);
// The cut-outs of the plants drawn from the atlas (those near camera 1) and
// of those drawn from the far plants' texture (far_trees.h), each far to
// near. The far ones are drawn first: none of them stands in front of a
// farther one drawn from the atlas that it overlaps on screen.
TGenObject PlantCutouts(const std::vector<TPlant>& plants, std::uint16_t material);
TGenObject FarPlantCutouts(const std::vector<TPlant>& plants, std::uint16_t material);
// The crowns whose shadows the ground's textures carry.
std::vector<TShadowCaster> PlantShadows(const std::vector<TPlant>& plants);
TPicture VegetationTexture(); // 1024 x 1024 RGBA atlas

// True when the ray from camera 1 through `p` meets the land after `p`
// before it meets the lake's water (or meets neither).
bool LandBehind(TVec3 p);

} // namespace scenegen
