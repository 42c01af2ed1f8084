// The far plants' texture: the plants' atlas at half its size, twice over,
// each copy seen through the haze that lies between camera 1 and the plants
// that use it, as the ground beneath them is.
//
// The lower 512 x 512 holds the copy for the middle distance, the upper one
// the copy for the far woods; each keeps the atlas's layout, so a cell's
// texture coordinates across are the atlas's, and up are the atlas's halved
// (plus a half for the upper copy).
#pragma once

#include "tools/scenegen/picture.h"

namespace scenegen {

constexpr int FarAtlasWidth = 512, FarAtlasHeight = 1024;
constexpr int FarCopies = 2;

// Plants nearer to camera 1 than about this (across the ground) keep the
// full atlas; farther ones use the lower copy, and those beyond about
// FarthestPlantsFrom the upper one. Each split wanders either way from plant
// to plant, so that no line shows where the haze on the woods steps.
constexpr float FarPlantsFrom = 130.0f, FarthestPlantsFrom = 225.0f;
constexpr float FarSplitWander = 20.0f;

// Which copy of the far texture a plant standing at (x, y), `distance` from
// camera 1, would use: -1 for none (the full atlas), else 0 or 1.
int FarCopyOf(float x, float y, float distance);

TPicture FarPlantsTexture(); // FarAtlasWidth x FarAtlasHeight RGBA

} // namespace scenegen
