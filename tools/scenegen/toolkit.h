// Small pieces the generator's parts share: angles and directions, sampling
// a grid, averaging blocks of a picture, cell noise and the cut-outs' facing.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/scenegen/maths.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/picture.h"
#include "tools/scenegen/world.h"

namespace scenegen {

constexpr float Pi = float(PiD);
constexpr float Degree = Pi / 180.0f;

// The unit vector `azimuth` radians clockwise from north (+y) and
// `elevation` radians above the horizon.
inline TVec3 Direction(float azimuth, float elevation) {
    return V3(Cos(elevation) * Sin(azimuth), Cos(elevation) * Cos(azimuth), Sin(elevation));
}

// The distance between `a` and `b` seen from above, heights left out.
inline float Distance2D(TVec3 a, TVec3 b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
}

// Bilinear sample of a grid of `width` x `height` values (x fastest) at
// (fi, fj), in grid steps, clamped to its edges.
inline float SampleGrid(const std::vector<float>& grid, int width, int height, float fi, float fj) {
    fi = std::clamp(fi, 0.0f, float(width - 1));
    fj = std::clamp(fj, 0.0f, float(height - 1));
    const int i0 = std::min(int(fi), width - 2), j0 = std::min(int(fj), height - 2);
    const float u = fi - float(i0), v = fj - float(j0);
    auto at = [&](int a, int b) { return grid[std::size_t(b) * std::size_t(width) + std::size_t(a)]; };
    return Lerp(Lerp(at(i0, j0), at(i0 + 1, j0), u), Lerp(at(i0, j0 + 1), at(i0 + 1, j0 + 1), u), v);
}

// The mean of the `factor` x `factor` block of colours whose first is at
// (x0, y0); colourAt(x, y) gives each. With `byCover` each colour weighs by
// its alpha, so clear texels round a cut-out's edge neither darken nor tint
// it (a block with no cover keeps the plain mean), and the alpha is the
// block's mean cover.
template <typename ColourAt>
TColour BoxMean(const ColourAt& colourAt, int x0, int y0, int factor, bool byCover) {
    TColour covered = Rgb(0, 0, 0, 0), plain = Rgb(0, 0, 0, 0);
    for (int y = y0; y < y0 + factor; ++y)
        for (int x = x0; x < x0 + factor; ++x) {
            const TColour c = colourAt(x, y);
            covered =
                Rgb(covered.r + c.r * c.a, covered.g + c.g * c.a, covered.b + c.b * c.a, covered.a + c.a);
            plain = Rgb(plain.r + c.r, plain.g + c.g, plain.b + c.b, plain.a + c.a);
        }
    const float share = 1.0f / float(factor * factor);
    if (!byCover) return Scaled(plain, share);
    TColour mean = covered.a > 0.0f ? Scaled(covered, 1.0f / covered.a) : Scaled(plain, share);
    mean.a = covered.a * share;
    return mean;
}

// Cell noise: one point in each unit cell of the lattice, jittered up to
// `jitter` either way from the cell's middle by the seeds `seedX` and `seedY`.
inline void CellPoint(std::int32_t i, std::int32_t j, std::uint32_t seedX, std::uint32_t seedY, float jitter,
                      float& x, float& y) {
    x = float(i) + 0.5f + jitter * LatticeValue(i, j, seedX);
    y = float(j) + 0.5f + jitter * LatticeValue(i, j, seedY);
}

// The cells round (x, y): the distances to the nearest point and the second
// nearest, and the nearest one's own value in [-1, 1] and the offset of
// (x, y) from it. Seeds `seed` to `seed` + 2.
struct TCellNoise {
    float Nearest = 1e9f, Second = 1e9f, Value = 0.0f, Dx = 0.0f, Dy = 0.0f;
};
inline TCellNoise CellNoise(float x, float y, std::uint32_t seed) {
    TCellNoise cells;
    const std::int32_t cx = std::int32_t(std::floor(x)), cy = std::int32_t(std::floor(y));
    for (std::int32_t j = cy - 1; j <= cy + 1; ++j)
        for (std::int32_t i = cx - 1; i <= cx + 1; ++i) {
            float px = 0.0f, py = 0.0f;
            CellPoint(i, j, seed, seed + 1u, 0.4f, px, py);
            const float d = Hypot(x - px, y - py);
            if (d < cells.Nearest) {
                cells.Second = cells.Nearest;
                cells.Nearest = d;
                cells.Value = LatticeValue(i, j, seed + 2u);
                cells.Dx = x - px, cells.Dy = y - py;
            } else if (d < cells.Second) {
                cells.Second = d;
            }
        }
    return cells;
}

// The level unit vector across a cut-out standing at `p` that faces camera
// 1: to the right as the camera sees it.
inline TVec3 BillboardRight(TVec3 p) {
    const TVec3 eye = CameraEye();
    return Normalised(Cross(V3(p.x - eye.x, p.y - eye.y, 0.0f), V3(0, 0, 1)));
}

// A generator of its own for one thing (a plant, a stone) from a seed and
// the thing's own numbers (its place in a lattice, its index), so that
// changing one kind of thing leaves the others' random values as they were.
inline TRandom RandomFor(std::uint32_t seed, std::int32_t a, std::int32_t b = 0) {
    const std::uint64_t h = TRandom(seed).Next() ^ std::uint32_t(a);
    return TRandom(TRandom(TRandom(h).Next() ^ std::uint32_t(b)).Next());
}

} // namespace scenegen
