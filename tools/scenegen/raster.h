// A small software renderer for the generator's own pictures: the lake model
// seen through camera 1, drawn the way the engine draws it (opaque pass with
// depth writes, blended pass without, back faces culled, then the water with
// its sphere-mapped reflection), but independent of any OpenGL driver, so
// the logo comes out the same everywhere.
#pragma once

#include "tools/scenegen/lake_model.h"

namespace scenegen {

// A frame being drawn: colours and depths (0..1 after the projection, 1 the
// far plane), row 0 at the bottom.
struct TRenderTarget {
    int W = 0, H = 0;
    std::vector<TColour> Colour;
    std::vector<float> Depth;
};

// Draws the lake model's objects as the engine does (opaque pass, then the
// blended one) through `clip` (projection x view) into `target`, over what
// it holds. Surfaces seen from behind are drawn too unless `cullBackFaces`;
// points of surfaces lower than `dropBelow` are left out (what a mirror at
// that height does not show).
void DrawLakeObjects(const TLakeData& lake, const TMatrix& clip, TRenderTarget& target, bool cullBackFaces,
                     float dropBelow);

// The view of camera 1 at width x height pixels, row 0 at the top, RGB.
// `supersample` samples per pixel on each axis smooth the edges; the water
// carries a few still rings of ripples when `ripples` is set.
TPicture RenderLakeView(const TLakeData& lake, int width, int height, int supersample, bool ripples);

} // namespace scenegen
