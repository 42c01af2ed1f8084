// Rock where the ground is steep enough to be a face, painted into the
// ground's textures: the escarpment's beds, as on the rock face by the falls.
#pragma once

#include "tools/scenegen/picture.h"

namespace scenegen {

// The rock's own colour (before the light on the ground) at (x, y), `h`
// high, where the ground's normal is `n`: beds of uneven thickness, each its
// own tone, that wander and dip along the face; blocks between joints that
// run down it, each slipped against its neighbours and shaded on its side
// away from the sun; a dark seam under each bed where the bed above sits
// back; dark stains where water seeps from a seam and runs down. Where the
// rock lies back its beds show broader and fewer, turf holds on the ledges
// and whole blocks lie under it, with sharp edges. `detail` as for the
// ground: fine seams and joints fade where a texel spans a unit or more.
TColour BeddedRock(float x, float y, float h, TVec3 n, float detail);

// Loose stone fallen from the escarpment at (x, y), where the ground's
// normal is `n`: stones of its rock, each its own tone, rounded by the sun,
// with dark gaps between them. `detail` as above.
TColour FallenStone(float x, float y, TVec3 n, float detail);

} // namespace scenegen
