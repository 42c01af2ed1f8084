// Where the escarpment's step shows as a face of rock, painted into the
// ground's textures, and where instead it breaks into ledges among turf.
#pragma once

#include "tools/scenegen/picture.h"

namespace scenegen {

// How the escarpment stands at (x, y), `h` high, where the ground's normal
// is `n`, as seen by the ground's painting.
struct TScarpBand {
    float FromFalls = 0.0f; // units from the falls' foot, stretched to the east
    float Standing = 0.0f;  // 0..1: where steep, the rock stands as a face
    float Foot = 1.0f;      // 0..1: how much fallen stone its foot gathers here
};

// By the falls the step is one sheer face. Away from them it runs on along
// the lake and into the hillsides as a lower step: the face shows only
// where the ground still rises well above it up the slope, so its top lies
// below the crest by a height that wanders along it, further below towards
// its ends, where it breaks off now and then; buttresses stand up to the
// crest here and there. East of the falls, where the face soon ends and the
// knolls begin, no scree lies at the foot of the knolls.
TScarpBand ScarpBandAt(float x, float y, float h, TVec3 n);

} // namespace scenegen
