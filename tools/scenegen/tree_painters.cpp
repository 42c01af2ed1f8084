#include "tools/scenegen/tree_painters.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/scenegen/lighting.h"
#include "tools/scenegen/maths.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/plant_atlas.h"
#include "tools/scenegen/seeds.h"

namespace scenegen {

// The hue of the light on a plant's side that the sun lights `sunLit`: its
// shade is lit by the sky and by the light through and between the leaves
// round it too, so it is only a little cooler than its sunny side.
TColour LeafTint(float sunLit) {
    return LightTint(0.4f + 0.6f * sunLit);
}

namespace {

// The greens of the kinds: dark and blue-green spruces, yellow-green young
// firs, two pines; deep and light broad leaves, birch-pale and olive.
constexpr float FirGreens[FirKinds][3] = {{0.07f, 0.15f, 0.09f}, {0.12f, 0.24f, 0.13f}, {0.07f, 0.14f, 0.12f},
                                          {0.14f, 0.25f, 0.11f}, {0.17f, 0.27f, 0.12f}, {0.14f, 0.22f, 0.12f},
                                          {0.11f, 0.21f, 0.17f}, {0.16f, 0.25f, 0.11f}};
constexpr float LeafGreens[BroadleafKinds][3] = {
    {0.19f, 0.30f, 0.12f}, {0.24f, 0.34f, 0.13f}, {0.28f, 0.37f, 0.14f}, {0.22f, 0.28f, 0.10f},
    {0.31f, 0.39f, 0.17f}, {0.17f, 0.27f, 0.13f}, {0.27f, 0.32f, 0.11f}, {0.21f, 0.32f, 0.16f}};

// The shape of each look of a kind of tree, made once, on first use.
template <typename TShape, int Looks> const TShape& ShapeOfLook(int variant, TShape (*make)(int)) {
    static const std::vector<TShape> shapes = [make] {
        std::vector<TShape> all;
        for (int i = 0; i < Looks; ++i)
            all.push_back(make(i));
        return all;
    }();
    return shapes[std::size_t(variant)];
}

// Coverage and colour of a fir at (u, v) in its cell, u across 0..1, v up 0..1.
// A pine: a tall bare trunk and a crown of flat tufts of needles high up.
bool PineAt(float u, float v, int variant, TColour& c) {
    const std::uint32_t seed = seeds::Pines + std::uint32_t(variant) * 19u;
    const float x = u - 0.5f;
    const float lean = 0.04f * Sin(v * 5.0f + float(variant));
    TRandom random(seed);
    float best = -1e9f;
    bool bough = false;
    TVec3 normal = V3(0, 0, 1);
    // The tufts' edges broken into needles.
    const float needly = 0.35f * ValueNoise(u * 90.0f, v * 90.0f, seed + 3u);
    for (int i = 0; i < 16; ++i) {
        const float by = float(random.Range(0.5, 0.93));
        const float bx = float(random.Range(-0.3, 0.3)) * (1.25f - by) / 0.65f + lean;
        const float rx = float(random.Range(0.07, 0.15)), ry = rx * 0.38f;
        const float dx = (x - bx) / rx, dy = (v - by) / ry;
        const float inside = 1.0f + needly - dx * dx - dy * dy;
        if (inside > best) {
            best = inside;
            normal = V3(dx, dy, std::sqrt(std::max(0.0f, inside)));
        }
        // The bough from the trunk out to the tuft.
        const float fromX = lean, fromY = by - 0.06f;
        const float sx = bx - fromX, sy = by - fromY, len2 = sx * sx + sy * sy;
        const float k = Clamp01(((x - fromX) * sx + (v - fromY) * sy) / std::max(len2, 1e-6f));
        const float ex = x - fromX - k * sx, ey = v - fromY - k * sy;
        if (ex * ex + ey * ey < 0.009f * 0.009f) bough = true;
    }
    if (best > 0.0f && v < 0.97f) {
        // Each tuft a flat plate of needles: its top catching the sun, its
        // underside in its own shade.
        normal = Normalised(V3(normal.x, normal.y + 0.6f, normal.z));
        const float sunLit = std::max(0.0f, Dot(normal, SunInView())), light = 0.5f + 0.8f * sunLit;
        const float needles = ValueNoise(u * 80.0f, v * 80.0f, seed + 2u);
        const float* g = FirGreens[variant];
        c = Lit(Scaled(Rgb(g[0], g[1], g[2]), light * (0.85f + 0.3f * needles)), LeafTint(sunLit));
        return true;
    }
    if (bough || (v < 0.8f && std::fabs(x - lean) < 0.028f - 0.012f * v)) {
        const bool sunny = (x - lean) * SunInView().x > 0.0f; // the trunk's side towards the sun
        c = Lit(Scaled(Rgb(0.33f, 0.24f, 0.18f), sunny ? 1.1f : 0.8f), LeafTint(sunny ? 0.8f : 0.0f));
        return true;
    }
    return false;
}

// The shape of a spruce, drawn once a look: whorls of branches up a
// narrow spike of a leader, each branch seen at its own angle round the
// trunk, so those pointing across the view reach far out and those
// pointing towards or away from it show short. No two whorls alike: each
// reaches further on one side than on the other, some are broken short or
// gone on one side, where the trunk shows, and the tips hang down in
// sprays.
struct TSpruceShape {
    static constexpr int MaxTiers = 22, Boughs = 9;
    int Tiers;
    float Base, Spire, Top, Reach, Curve, Lean;                    // Top: the leader's tip
    float TierY[MaxTiers], TierReach[MaxTiers], Side[MaxTiers][2]; // [0] left, [1] right
    float Out[MaxTiers][Boughs], Depth[MaxTiers][Boughs], Droop[MaxTiers][Boughs];
};

// The looks that are old spruces: broad, with a rounded, flatter top and
// the crown lifted off the trunk.
bool OldSpruce(int variant) {
    return variant == 2 || variant == 6;
}

TSpruceShape MakeSpruce(int variant) {
    TSpruceShape s{};
    TRandom random(seeds::Firs + std::uint32_t(variant) * 17u);
    // Slim spires and broad old spruces, the crown coming down near the
    // ground in some and lifting off a bare trunk in others.
    s.Base = 0.06f + 0.05f * float(variant % 3);
    s.Spire = 0.93f - 0.02f * float(variant % 2);
    s.Top = 0.995f;
    s.Reach = 0.22f + 0.05f * float((variant * 3) % 5);
    s.Curve = 0.85f + 0.15f * float(variant % 3);
    s.Tiers = 13 + variant % 5;
    if (OldSpruce(variant))
        s.Base = 0.16f, s.Spire = 0.86f, s.Top = 0.92f, s.Reach = 0.42f, s.Curve = 0.5f, s.Tiers = 11;
    // A few lean a little, as on a slope or in the wind.
    s.Lean = float(random.Range(-1.0, 1.0)) * (variant % 3 == 1 ? 0.06f : 0.015f);
    const float step = (s.Spire - s.Base) / float(s.Tiers);
    for (int i = 0; i < s.Tiers; ++i) {
        const float y = s.Spire - (float(i) + float(random.Range(0.1, 0.7))) * step;
        const float k = Clamp01((s.Spire - y) / (s.Spire - s.Base));
        s.TierY[i] = y;
        // Some whorls longer than the next, some broken short.
        s.TierReach[i] = s.Reach * Pow(k, s.Curve) * float(random.Range(0.6, 1.25)) + 0.02f;
        for (float& side : s.Side[i]) {
            side = float(random.Range(0.6, 1.25));
            if (i > 1 && random.Unit() < 0.16) side = float(random.Range(0.12, 0.35)); // broken off
        }
        const float twist = float(random.Range(0.0, 6.2831853));
        for (int j = 0; j < TSpruceShape::Boughs; ++j) {
            const float angle = twist + 6.2831853f * (float(j) + float(random.Range(-0.3, 0.3))) /
                                            float(TSpruceShape::Boughs);
            const float across = Cos(angle);
            const float length =
                std::min(0.47f, s.TierReach[i] * s.Side[i][across > 0.0f] * float(random.Range(0.65, 1.1)));
            s.Out[i][j] = length * across;
            s.Depth[i][j] = length * Sin(angle);
            s.Droop[i][j] = float(random.Range(0.55, 1.5));
        }
    }
    return s;
}

} // namespace

// A spruce: its branches leave the trunk level and droop towards their
// tips, which hang over the whorl below in ragged sprays with the sky
// between them. A bough's upper face is lit, the side towards the sun more,
// its underside and the tree's inside dark; the top a thin spiky leader.
bool FirAt(float u, float v, int variant, TColour& c) {
    if (variant == 5 || variant == 7) return PineAt(u, v, variant, c);
    const TSpruceShape& shape = ShapeOfLook<TSpruceShape, FirKinds>(variant, MakeSpruce);
    const std::uint32_t seed = seeds::Firs + std::uint32_t(variant) * 17u;
    // Across from the trunk, which leans with the tree.
    const float x = u - 0.5f - shape.Lean * v;
    const TVec3 sun = SunInView();
    const float* g = FirGreens[variant];
    const TColour green = Rgb(g[0], g[1], g[2]);
    const TColour bark = Scaled(Rgb(0.26f, 0.19f, 0.13f), x * sun.x > 0.0f ? 1.05f : 0.7f);
    if (v < shape.Base + 0.04f && std::fabs(x) < 0.022f) {
        c = bark;
        return true;
    }
    // The leader: a thin spike with a few short tufts of needles.
    if (v > shape.Spire - 0.02f) {
        const float k = (v - shape.Spire + 0.02f) / (shape.Top - shape.Spire + 0.02f);
        const float tuft = 0.012f * ValueNoise(u * 60.0f, v * 90.0f, seed + 8u);
        if (k > 1.0f || std::fabs(x) > 0.006f + 0.012f * (1.0f - k) * (1.0f - k) + tuft) return false;
        c = Lit(Scaled(green, 0.7f + 0.5f * (x * sun.x > 0.0f)), LeafTint(0.5f));
        return true;
    }
    const float needles = ValueNoise(u * 90.0f, v * 70.0f, seed + 3u);
    // The nearest bough's foliage here, of those that reach across x.
    float front = -1e9f, lit = 0.0f, along = 0.0f, face = 0.0f;
    // The reach on this side of the whorl above, which the dark inside follows.
    float sideReach = 0.0f, tierAbove = 2.0f;
    for (int i = 0; i < shape.Tiers; ++i) {
        const float y = shape.TierY[i];
        if (y >= v && y < tierAbove) tierAbove = y, sideReach = shape.TierReach[i] * shape.Side[i][x > 0.0f];
        if (v > y + 0.03f || v < y - 0.3f) continue;
        for (int j = 0; j < TSpruceShape::Boughs; ++j) {
            const float out = shape.Out[i][j];
            if (out * x <= 0.0f) continue;
            // Hanging sprays make each bough's end ragged.
            const float t = std::fabs(x) / (std::fabs(out) + 1e-6f);
            const float spray = ValueNoise(x * 70.0f, float(i * 7 + j), seed + 4u);
            if (t > 1.0f - 0.18f * spray) continue;
            // Level from the trunk, then down: the tip hangs by its droop,
            // in height units (a cell is twice as tall as it is wide).
            const float length = std::sqrt(out * out + shape.Depth[i][j] * shape.Depth[i][j]);
            const float centre = y + 0.5f * length * (0.12f * t - shape.Droop[i][j] * t * t * t);
            const float above = 0.014f + 0.01f * t - 0.008f * t * t;
            const float below = 0.018f + (0.03f + 0.07f * spray) * t * t;
            const float d = v - centre;
            if (d > above || d < -below) continue;
            const float z = shape.Depth[i][j] * t;
            if (z <= front) continue;
            front = z;
            along = t;
            face = d >= 0.0f ? 1.0f : 1.0f + d / below; // 1 on top, 0 at the hanging fringe
            const TVec3 n = Normalised(V3(out / length, 0.5f + 0.5f * face, shape.Depth[i][j] / length));
            lit = std::max(0.0f, Dot(n, sun));
        }
    }
    if (front > -1e8f) {
        // Deep in the tree, near the trunk, the boughs lie in its shade.
        const float inner = 0.45f + 0.55f * SmoothRange(0.0f, 0.6f, along);
        const float sunLit = lit * inner * (0.55f + 0.45f * face);
        const float shade = (0.3f + 1.05f * sunLit + 0.1f * face) * (0.8f + 0.35f * needles);
        c = Lit(Scaled(green, shade), LeafTint(sunLit));
        return true;
    }
    // The dark inside round the trunk, as far out as the whorl above
    // reaches on this side, with the sky through it here and there; where
    // that whorl is broken, the bare trunk.
    if (v > shape.Base &&
        std::fabs(x) < 0.4f * sideReach * (0.5f + 0.6f * ValueNoise(u * 30.0f, v * 40.0f, seed + 5u))) {
        c = Scaled(green, 0.18f + 0.08f * needles);
        return true;
    }
    if (std::fabs(x) < 0.016f - 0.01f * v) {
        c = bark;
        return true;
    }
    return false;
}

namespace {

// The shape of a broad leaved tree's crown, drawn once a look: where it
// lifts off the trunk, its lobes and the clumps of leaves on them.
struct TCrownShape {
    static constexpr int MaxLobes = 7, Clumps = 80;
    int Lobes;
    float Base, Wide;
    float LobeX[MaxLobes], LobeY[MaxLobes], LobeR[MaxLobes];
    float X[Clumps], Y[Clumps], R[Clumps], Depth[Clumps];
    int Lobe[Clumps];
};

// Each look its own crown: some lift high off a long bare trunk, some
// spread wide and low, some are tall and narrow, and every outline is a
// few lobes of different sizes, one leaning out further than the rest.
TCrownShape MakeCrown(int variant) {
    TCrownShape s{};
    TRandom random(seeds::Broadleaves + std::uint32_t(variant) * 23u);
    s.Lobes = 4 + variant % 4;
    s.Base = float(random.Range(0.2, 0.4));
    s.Wide = float(random.Range(0.3, 0.42));
    const float top = 0.97f;
    for (int i = 0; i < s.Lobes; ++i) {
        // The first lobe tops the crown; the others are smaller, lower and
        // pushed out to the sides in turn.
        s.LobeR[i] = i == 0 ? float(random.Range(0.15, 0.21)) : float(random.Range(0.08, 0.18));
        const float side =
            i == 0 ? float(random.Range(-0.3, 0.3)) : (i % 2 ? -1.0f : 1.0f) * float(random.Range(0.3, 0.85));
        s.LobeX[i] = side * std::max(0.0f, s.Wide - s.LobeR[i]);
        s.LobeY[i] =
            i == 0 ? top - s.LobeR[i] : float(random.Range(s.Base + s.LobeR[i], top - 1.5f * s.LobeR[i]));
    }
    for (int k = 0; k < TCrownShape::Clumps; ++k) {
        const int lobe = int(random.Next() % std::uint64_t(s.Lobes));
        // A point in the lobe's disc, by rejection, more of them on its
        // rim than in its middle so the lobe reads as a rounded mass.
        float ox = 0.0f, oy = 0.0f;
        do {
            ox = float(random.Range(-1.0, 1.0)), oy = float(random.Range(-1.0, 1.0));
        } while (ox * ox + oy * oy > 1.0f);
        s.Lobe[k] = lobe;
        s.R[k] = float(random.Range(0.35, 0.55)) * s.LobeR[lobe];
        s.X[k] = s.LobeX[lobe] + ox * s.LobeR[lobe] * 0.8f;
        s.Y[k] = s.LobeY[lobe] + oy * s.LobeR[lobe] * 0.75f;
        s.Depth[k] = float(random.Range(-0.5, 0.5)) * s.LobeR[lobe];
    }
    return s;
}

} // namespace

// A broad leaved tree: a trunk forking into limbs under a crown of a few
// lobes, each a mass of clumps of leaves. A clump is lit by the sun on its
// own rounded face and, as part of its lobe and of the crown, darker on the
// shaded side, deep inside and underneath; between the clumps the crown's
// dark inside shows, and here and there the sky and the limbs through it.
bool BroadleafAt(float u, float v, int variant, TColour& c) {
    const TCrownShape& shape = ShapeOfLook<TCrownShape, BroadleafKinds>(variant, MakeCrown);
    const std::uint32_t seed = seeds::Broadleaves + std::uint32_t(variant) * 23u;
    const float x = u - 0.5f;
    const TVec3 sun = SunInView();
    const float base = shape.Base, wide = shape.Wide, top = 0.97f;
    const float middle = 0.5f * (base + top), tall = 0.5f * (top - base);
    const float* g = LeafGreens[variant];
    // Each clump's edge broken into sprays of leaves.
    const float leafy = 0.5f * ValueNoise(u * 120.0f, v * 120.0f, seed + 3u) +
                        0.35f * ValueNoise(u * 40.0f, v * 40.0f, seed + 5u);
    float nearest = -1e9f;
    int lobe = 0;
    TVec3 normal = V3(0, 0, 1);
    for (int k = 0; k < TCrownShape::Clumps; ++k) {
        const float dx = x - shape.X[k], dy = v - shape.Y[k];
        const float inside = shape.R[k] * shape.R[k] * (1.0f + leafy) - dx * dx - dy * dy;
        if (inside <= 0.0f) continue;
        const float z = shape.Depth[k] + std::sqrt(inside);
        if (z > nearest) {
            nearest = z;
            lobe = shape.Lobe[k];
            normal = V3(dx, dy, std::sqrt(inside));
        }
    }
    const float ex = x / wide, ey = (v - middle) / tall;
    const TVec3 crown = Normalised(V3(ex, ey, std::sqrt(std::max(0.05f, 1.0f - ex * ex - ey * ey))));
    const float crownLit = std::max(0.0f, Dot(crown, sun));
    if (nearest > -1e8f) {
        const TVec3 own = Normalised(normal);
        const float lx = (x - shape.LobeX[lobe]) / shape.LobeR[lobe],
                    ly = (v - shape.LobeY[lobe]) / shape.LobeR[lobe];
        const TVec3 mass = Normalised(V3(lx, ly, std::sqrt(std::max(0.05f, 1.0f - lx * lx - ly * ly))));
        const float sunLit = Clamp01(0.45f * std::max(0.0f, Dot(own, sun)) +
                                     0.35f * std::max(0.0f, Dot(mass, sun)) + 0.45f * crownLit);
        const float inner = 0.5f + 0.5f * SmoothRange(-0.08f, 0.1f, nearest);
        // The underside of each lobe, and of the crown, in its own shade.
        const float under =
            (0.6f + 0.4f * SmoothRange(-0.9f, 0.2f, ly)) * (0.75f + 0.25f * SmoothRange(base, middle, v));
        // Leaves in small clusters, catching the light or not.
        const float leaves = ValueNoise(u * 75.0f, v * 75.0f, seed + 2u);
        const float light = (0.3f + 1.05f * sunLit) * inner * under * (0.8f + 0.25f * leaves);
        c = Lit(Scaled(Mix(Rgb(g[0], g[1], g[2]), Rgb(0.42f, 0.46f, 0.2f), 0.25f * sunLit * sunLit), light),
                LeafTint(sunLit));
        return true;
    }
    // The trunk, swaying a little, and its limbs up into the lobes; lower
    // limbs reach out under the crown where it lifts off the trunk.
    const float sway = 0.01f * Sin(v * 20.0f + float(variant));
    const float fork = base + 0.04f;
    bool bark = v < fork && std::fabs(x + sway) < 0.024f + 0.022f * (fork - v) / fork;
    for (int i = 0; i < shape.Lobes && !bark && v >= fork - 0.12f; ++i) {
        const float from = fork - 0.1f * float(i % 2) * float(i > 0);
        const float sx = shape.LobeX[i] * 0.9f, sy = shape.LobeY[i] - from, len2 = sx * sx + sy * sy;
        const float k = Clamp01((x * sx + (v - from) * sy) / std::max(len2, 1e-6f));
        // Bowed a little to one side of the straight line out to its lobe.
        const float bend = 0.025f * Sin(k * 3.1f) * (i % 2 ? 1.0f : -1.0f);
        const float ax = x - k * sx, ay = v - from - k * sy;
        const float off = std::sqrt(ax * ax + ay * ay) * (x * sy - (v - from) * sx > 0.0f ? 1.0f : -1.0f);
        const float thick = 0.016f * (1.0f - 0.6f * k);
        bark = std::fabs(off - bend) < thick;
    }
    const bool sunny = (x + sway) * sun.x > 0.0f; // grey bark, lit on the sun's side
    // Inside a lobe the crown's dark inside shows between the clumps, the
    // sky only through its thinner parts.
    float deep = 1e9f;
    for (int i = 0; i < shape.Lobes; ++i) {
        const float dx = (x - shape.LobeX[i]) / shape.LobeR[i], dy = (v - shape.LobeY[i]) / shape.LobeR[i];
        deep = std::min(deep, dx * dx + dy * dy);
    }
    const float holes = ValueNoise(u * 26.0f, v * 26.0f, seed + 7u);
    if (bark) {
        const float shade = (sunny ? 1.05f : 0.75f) * (deep < 1.0f ? 0.55f : 1.0f);
        c = Lit(Scaled(Rgb(0.25f, 0.22f, 0.18f), shade), LeafTint(sunny ? 0.8f : 0.0f));
        return true;
    }
    if (deep < 0.55f + 0.35f * holes) {
        c = Lit(Scaled(Rgb(g[0], g[1], g[2]), 0.22f + 0.08f * holes), LeafTint(0.0f));
        return true;
    }
    return false;
}

} // namespace scenegen
