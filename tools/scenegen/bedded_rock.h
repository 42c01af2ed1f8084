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

// Rock breaking through the turf of a slope, or stone lying on it: how much
// of the ground it covers, its colour there, the surface the light falls on
// and the share of the sun's direct light the ground keeps (the shade under
// a ledge or behind a boulder falls on the turf too).
struct TRockBreak {
    float Cover = 0.0f;
    TColour Colour;
    TVec3 Normal;
    float Sun = 1.0f;
};

// The escarpment's beds breaking out of the turf at (x, y), `h` high, where
// the ground's normal is `n`: nearly level outcrops along the slope at the
// heights of the face's beds, in runs of varied length with turf between,
// their lower edges buried and the turf lapping over their tops; each with
// a lit top, its face and a shaded underside, and its shade on the turf
// below. `want` (0..1) is how much of the slope the rock holds: short thin
// runs on the harder beds where it is low, longer, thicker ones on more
// beds where it is high. `detail` as above.
TRockBreak BrokenLedges(float x, float y, float h, TVec3 n, float want, float detail);

// Stone fallen from the escarpment at (x, y), lying `cover` (0..1) thick on
// ground whose normal is `n`: a close scree of small stones where it is
// thick, thinning out into scattered stones in turf, with blocks among it,
// each stone rounded by the sun and shading the ground behind it.
TRockBreak Scree(float x, float y, TVec3 n, float cover, float detail);

} // namespace scenegen
