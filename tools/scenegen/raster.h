// A small software renderer for the generator's own pictures: the lake model
// seen through camera 1, drawn the way the engine draws it (opaque pass with
// depth writes, blended pass without, back faces culled, then the water with
// its sphere-mapped reflection), but independent of any OpenGL driver, so
// the logo comes out the same everywhere.
#pragma once

#include "tools/scenegen/lake_model.h"

namespace scenegen {

// The view of camera 1 at width x height pixels, row 0 at the top, RGB.
// `supersample` samples per pixel on each axis smooth the edges; the water
// carries a few still rings of ripples when `ripples` is set.
TPicture RenderLakeView(const TLakeData& lake, int width, int height, int supersample, bool ripples);

} // namespace scenegen
