// The lake model ("models\tarnwick.umf") and the textures it names.
//
// What the engine relies on, and how this model keeps it:
// - Textures are uploaded in material order while the model loads, and the
//   water binds the second one: material 1 is the picture the water reflects
//   (no object draws with it), a little transparent, so that the sheen
//   under the far water shows through it.
// - The water is drawn after the model with texturing as the model's blended
//   pass left it: every object is textured, so it is left on.
// - Opaque objects have 24-bit textures and alpha 0 (the opaque pass, writing
//   depth); cut-outs have 32-bit textures and alpha 1 (the blended pass).
// - One frame; every object has both tracks and an identity matrix, so its
//   triangles are in world units.
// - The falls' and the foam's textures have FlowFrames frames each, which
//   the scene's animation value steps through; every other texture has one,
//   so no other material changes with it.
#pragma once

#include <vector>

#include "tools/scenegen/picture.h"

namespace scenegen {

// Texture names, without the ".umt" that the loader appends.
// The land near the lake as camera 1 sees it, in three parts: the middle of
// the view (material 0), and its west and east sides (materials 8 and 9).
constexpr const char* GroundTextureName = "lake_ground"; // material 0
constexpr const char* GroundTextureNames[3] = {GroundTextureName, "lake_ground_west", "lake_ground_east"};
constexpr const char* MirrorTextureName = "lake_mirror"; // material 1: what the water reflects
constexpr const char* LandTextureName = "lake_land";     // the whole land, coarser
constexpr const char* SkyTextureName = "lake_sky";
constexpr const char* TreesTextureName = "lake_trees";
constexpr const char* FallsTextureName = "lake_falls";
constexpr const char* RockTextureName = "lake_rock";
constexpr const char* StoneTextureName = "lake_stones";
constexpr const char* FarTreesTextureName = "lake_trees_far"; // the far plants, hazed
constexpr const char* SheenTextureName = "lake_sheen";        // what far water mirrors at a glance
constexpr const char* FoamTextureName = "lake_foam";          // on the lake at the falls' foot
// Not named by the model: the scene's mist sprites load it themselves.
constexpr const char* MistTextureName = "lake_mist";

struct TLakeData {
    TGenModel Model;
    std::vector<TNamedPicture> Textures; // every texture the model names, once
};

TLakeData BuildLake();

} // namespace scenegen
