// Rock where the ground is steep enough to be a face, painted into the
// ground's textures: the escarpment's beds, as on the rock face by the falls.
#pragma once

#include "tools/scenegen/picture.h"

namespace scenegen {

// The rock's own colour (before the light on the ground) at (x, y), `h`
// high, where the ground's normal is `n`: beds of uneven thickness, each its
// own tone, that wander and dip along the face; a dark seam under each where
// the bed above sits back; joints across them; dark stains where water seeps
// from a seam and runs down; moss on what ledges there are. `detail` as for
// the ground: fine seams and joints fade where a texel spans a unit or more.
TColour BeddedRock(float x, float y, float h, TVec3 n, float detail);

} // namespace scenegen
