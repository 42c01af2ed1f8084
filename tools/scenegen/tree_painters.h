// The painters of the trees in the plants' atlas: pines, spruces and broad
// leaved trees, each a coverage painter as the table of plant kinds takes.
#pragma once

#include "tools/scenegen/picture.h"

namespace scenegen {

// The hue of the light on a plant's side that the sun lights `sunLit`.
TColour LeafTint(float sunLit);

// Coverage and colour of a tree at (u, v) in its cell, u across 0..1, v up
// 0..1, in the look `variant` (plant_atlas.h).
bool FirAt(float u, float v, int variant, TColour& c);
bool BroadleafAt(float u, float v, int variant, TColour& c);

} // namespace scenegen
