// Maps over the ground texture's texels that its painting reads: the
// ground's height at every texel, the lie of the land round a point, the
// share of the sun the land's own shadows leave, and the soft shadows of the
// trees' crowns.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "tools/scenegen/meadow.h"
#include "tools/scenegen/terrain.h"

namespace scenegen {

// Heights of the ground at every texel centre of the texture, with a border
// of one texel so that every texel has neighbours for its normal.
struct THeightMap {
    int Width, Height;
    float X0, Y0, StepX, StepY;
    std::vector<float> H; // (Width + 2) x (Height + 2), index (j + 1) * (Width + 2) + (i + 1)

    float At(int i, int j) const {
        i = std::clamp(i, -1, Width);
        j = std::clamp(j, -1, Height);
        return H[std::size_t(j + 1) * std::size_t(Width + 2) + std::size_t(i + 1)];
    }
};

THeightMap MakeHeightMap(const TArea& area, int width, int height);

// The lie of the land round the point (fi, fj) of the height map, in texels.
TRelief ReliefAt(const THeightMap& m, float fi, float fj);

// Share of direct sunlight (0..1) reaching each texel of a half-resolution
// grid, from a march towards the sun over the height map; the penumbra widens
// with the distance to whatever casts the shadow.
struct THalfMap {
    int Width, Height;
    std::vector<float> V;
};

THalfMap SunlightMap(const THeightMap& m);

// The sunlight map at texel (i, j) of the full-resolution grid.
float SampleHalf(const THalfMap& map, float i, float j);

// Share of direct sunlight (0..1) left at each texel by the casters' crowns:
// a soft patch round where each crown's shadow falls, and back to the foot
// of its trunk only the trunk's thin shadow, not a wedge: wedges from a row
// of trees on a slope streak it.
std::vector<float> CrownShadowMap(const THeightMap& m, const std::vector<TShadowCaster>& casters);

} // namespace scenegen
