#include "tools/scenegen/plant_atlas.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/scenegen/lighting.h"
#include "tools/scenegen/maths.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/parallel.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/vegetation.h"

namespace scenegen {

namespace {

// The greens of the kinds: dark and blue-green spruces, yellow-green young
// firs, two pines; deep and light broad leaves, birch-pale and olive.
constexpr float FirGreens[FirKinds][3] = {{0.07f, 0.15f, 0.09f}, {0.12f, 0.24f, 0.13f}, {0.07f, 0.14f, 0.12f},
                                          {0.14f, 0.25f, 0.11f}, {0.17f, 0.27f, 0.12f}, {0.14f, 0.22f, 0.12f},
                                          {0.11f, 0.21f, 0.17f}, {0.16f, 0.25f, 0.11f}};
constexpr float LeafGreens[BroadleafKinds][3] = {
    {0.19f, 0.30f, 0.12f}, {0.24f, 0.34f, 0.13f}, {0.28f, 0.37f, 0.14f}, {0.22f, 0.28f, 0.10f},
    {0.31f, 0.39f, 0.17f}, {0.17f, 0.27f, 0.13f}, {0.27f, 0.32f, 0.11f}, {0.21f, 0.32f, 0.16f}};

// The hue of the light on a plant's side that the sun lights `sunLit`: its
// shade is lit by the sky and by the light through and between the leaves
// round it too, so it is only a little cooler than its sunny side.
TColour LeafTint(float sunLit) {
    return LightTint(0.4f + 0.6f * sunLit);
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
// pointing towards or away from it show short.
struct TSpruceShape {
    static constexpr int MaxTiers = 22, Boughs = 9;
    int Tiers;
    float Base, Spire, Reach, Curve;
    float TierY[MaxTiers], TierReach[MaxTiers];
    float Out[MaxTiers][Boughs], Depth[MaxTiers][Boughs], Droop[MaxTiers][Boughs];
};

TSpruceShape MakeSpruce(int variant) {
    TSpruceShape s{};
    TRandom random(seeds::Firs + std::uint32_t(variant) * 17u);
    // Slim spires and broad old spruces, the crown coming down near the
    // ground in some and lifting off a bare trunk in others.
    s.Base = 0.06f + 0.05f * float(variant % 3);
    s.Spire = 0.93f - 0.02f * float(variant % 2);
    s.Reach = 0.22f + 0.05f * float((variant * 3) % 5);
    s.Curve = 0.85f + 0.15f * float(variant % 3);
    s.Tiers = 13 + variant % 5;
    const float step = (s.Spire - s.Base) / float(s.Tiers);
    for (int i = 0; i < s.Tiers; ++i) {
        const float y = s.Spire - (float(i) + float(random.Range(0.1, 0.7))) * step;
        const float k = Clamp01((s.Spire - y) / (s.Spire - s.Base));
        s.TierY[i] = y;
        // Some whorls longer than the next, some broken short.
        s.TierReach[i] = s.Reach * Pow(k, s.Curve) * float(random.Range(0.7, 1.15)) + 0.02f;
        const float twist = float(random.Range(0.0, 6.2831853));
        for (int j = 0; j < TSpruceShape::Boughs; ++j) {
            const float angle = twist + 6.2831853f * (float(j) + float(random.Range(-0.3, 0.3))) /
                                            float(TSpruceShape::Boughs);
            const float length = std::min(0.47f, s.TierReach[i] * float(random.Range(0.65, 1.1)));
            s.Out[i][j] = length * Cos(angle);
            s.Depth[i][j] = length * Sin(angle);
            s.Droop[i][j] = float(random.Range(0.45, 1.1));
        }
    }
    return s;
}

// A spruce: its branches leave the trunk level and droop towards their
// tips, which hang over the whorl below in ragged sprays with the sky
// between them. A bough's upper face is lit, the side towards the sun more,
// its underside and the tree's inside dark; the top a thin spiky leader.
bool FirAt(float u, float v, int variant, TColour& c) {
    if (variant == 5 || variant == 7) return PineAt(u, v, variant, c);
    static const std::vector<TSpruceShape> shapes = [] {
        std::vector<TSpruceShape> all;
        for (int i = 0; i < FirKinds; ++i)
            all.push_back(MakeSpruce(i));
        return all;
    }();
    const TSpruceShape& shape = shapes[std::size_t(variant)];
    const std::uint32_t seed = seeds::Firs + std::uint32_t(variant) * 17u;
    const float x = u - 0.5f;
    const TVec3 sun = SunInView();
    const float* g = FirGreens[variant];
    const TColour green = Rgb(g[0], g[1], g[2]);
    if (v < shape.Base + 0.04f && std::fabs(x) < 0.022f) {
        c = Scaled(Rgb(0.26f, 0.19f, 0.13f), x * sun.x > 0.0f ? 1.05f : 0.7f);
        return true;
    }
    // The leader: a thin spike with a few short tufts of needles.
    if (v > shape.Spire - 0.02f) {
        const float k = (v - shape.Spire + 0.02f) / (0.995f - shape.Spire + 0.02f);
        const float tuft = 0.012f * ValueNoise(u * 60.0f, v * 90.0f, seed + 8u);
        if (k > 1.0f || std::fabs(x) > 0.007f + 0.016f * (1.0f - k) + tuft) return false;
        c = Lit(Scaled(green, 0.7f + 0.5f * (x * sun.x > 0.0f)), LeafTint(0.5f));
        return true;
    }
    const float needles = ValueNoise(u * 90.0f, v * 70.0f, seed + 3u);
    // The nearest bough's foliage here, of those that reach across x.
    float front = -1e9f, lit = 0.0f, along = 0.0f, face = 0.0f;
    for (int i = 0; i < shape.Tiers; ++i) {
        const float y = shape.TierY[i];
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
            const float below = 0.018f + (0.03f + 0.05f * spray) * t * t;
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
    // The dark inside round the trunk, with the sky through it here and there.
    const float k = Clamp01((shape.Spire - v) / (shape.Spire - shape.Base));
    const float inside = 0.45f * shape.Reach * Pow(k, shape.Curve);
    if (v > shape.Base &&
        std::fabs(x) < inside * (0.5f + 0.6f * ValueNoise(u * 30.0f, v * 40.0f, seed + 5u))) {
        c = Scaled(green, 0.18f + 0.08f * needles);
        return true;
    }
    return false;
}

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

// A broad leaved tree: a trunk forking into limbs under a crown of a few
// lobes, each a mass of clumps of leaves. A clump is lit by the sun on its
// own rounded face and, as part of its lobe and of the crown, darker on the
// shaded side, deep inside and underneath; between the clumps the crown's
// dark inside shows, and here and there the sky and the limbs through it.
bool BroadleafAt(float u, float v, int variant, TColour& c) {
    static const std::vector<TCrownShape> crowns = [] {
        std::vector<TCrownShape> all;
        for (int i = 0; i < BroadleafKinds; ++i)
            all.push_back(MakeCrown(i));
        return all;
    }();
    const TCrownShape& shape = crowns[std::size_t(variant)];
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

// A clump of a reed bed as it grows wild: two or three tufts of reeds,
// each of its own height and lean and thickness, with open water between;
// some stalks bent over or snapped; green at the foot and straw toward the
// tips, a few dark seed heads; and low sedge fanning out at their feet.
bool ReedAt(float u, float v, int variant, TColour& c) {
    if (v > ReedFill) return false;
    // Across and up in the same units: the clump's height is 1.
    const TPlantKind& kind = PlantKinds[TPlant::Reed];
    const float aspect = 0.5f * (kind.WidthLo + kind.WidthHi), x = (u - 0.5f) * aspect, h = v / ReedFill;
    const float sunSide = SunInView().x > 0.0f ? 1.0f : -1.0f;
    // The sedge in front: blades rising from a root or two and arching out
    // to either side, their tips bowing down.
    TRandom sedge(seeds::Sedge + std::uint32_t(variant) * 41u);
    const int roots = 1 + variant % 2;
    for (int i = 0; i < 16 * roots; ++i) {
        const float root = float(sedge.Range(-0.25, 0.25)) * aspect + 0.02f * float(sedge.Range(-1, 1));
        const float side = sedge.Unit() < 0.5 ? -1.0f : 1.0f, reach = float(sedge.Range(0.04, 0.2));
        const float peak = float(sedge.Range(0.1, 0.3)), crest = float(sedge.Range(0.45, 0.8));
        const float width = float(sedge.Range(0.004, 0.007)), tone = float(sedge.Range(0.8, 1.15));
        const float t = (x - root) * side / reach;
        if (t < 0.0f || t > 1.0f) continue;
        const float q = (t - crest) / crest, slope = 2.0f * peak * (1.0f - t / crest) / crest / reach;
        if (std::fabs(h - peak * (1.0f - q * q)) >
            width * (1.0f - 0.6f * t) * std::sqrt(1.0f + slope * slope))
            continue;
        const TColour green = Mix(Rgb(0.12f, 0.19f, 0.08f), Rgb(0.30f, 0.35f, 0.15f), t);
        c = Scaled(
            Mix(green, Rgb(0.50f, 0.43f, 0.25f), 0.6f * SmoothRange(0.7f, 1.0f, t) * float(i % 3 == 0)),
            tone * (side * sunSide > 0.0f ? 1.05f : 0.8f));
        return true;
    }
    // The tufts: where each stands, how wide, how tall, which way it leans.
    TRandom random(seeds::Reeds + std::uint32_t(variant) * 37u);
    constexpr int Tufts = 3;
    float tuftX[Tufts], tuftSpread[Tufts], tuftTop[Tufts], tuftLean[Tufts];
    for (int t = 0; t < Tufts; ++t) {
        tuftX[t] = float(random.Range(-0.3, 0.3)) * aspect;
        tuftSpread[t] = float(random.Range(0.03, 0.12));
        tuftTop[t] = float(random.Range(0.6, 1.0));
        tuftLean[t] = float(random.Range(-0.25, 0.25));
    }
    const int stalks = 38 + 8 * (variant % 3);
    for (int i = 0; i < stalks; ++i) {
        // Most stalks in the first tuft, fewer in the others.
        const float which = float(random.Unit());
        const int t = which < 0.5f ? 0 : which < 0.8f ? 1 : 2;
        const float base = tuftX[t] + tuftSpread[t] * float(random.Unit() - random.Unit());
        const float top = tuftTop[t] * float(random.Range(0.6, 1.0));
        const bool blade = random.Unit() < 0.25; // a leaf, broader and bowing more
        const bool dry = random.Unit() < 0.1 + 0.05 * double(variant % 3);
        const float lean = tuftLean[t] + float(blade ? random.Range(-0.4, 0.4) : random.Range(-0.12, 0.12));
        const float width = float(blade ? random.Range(0.006, 0.01) : random.Range(0.004, 0.007));
        const float tone = float(random.Range(0.8, 1.15)), straw = float(random.Range(0.4, 1.0));
        const double head = random.Unit();
        // Now and then a stalk snapped part way up, its top hanging off to
        // one side.
        const bool snapped = !blade && random.Unit() < 0.12;
        const float snap = top * float(random.Range(0.45, 0.75)), fall = float(random.Range(0.4, 1.3));
        const float hangSide = random.Unit() < 0.5 ? -1.0f : 1.0f;
        float along = 0.0f, off = 0.0f; // up the stalk (0..1) and across it
        if (snapped && h > snap - 0.01f) {
            // The broken top: a straight piece out from the snap.
            const float sx = base + lean * snap * snap / top, length = top - snap;
            const float dx = hangSide * Sin(fall), dy = Cos(fall);
            const float px = x - sx, py = h - snap, k = px * dx + py * dy;
            if (k < 0.0f || k > length) continue;
            off = px * dy - py * dx;
            along = (snap + k) / top;
        } else {
            if (h > top) continue;
            off = x - (base + lean * h * h / top);
            along = h / top;
        }
        const float halfWidth = width * (1.0f - (blade ? 0.85f : 0.5f) * along);
        // A dark seed head: a bulrush's brown cigar or a reed's plume.
        if (!blade && !dry && !snapped && head < 0.07 && along > 0.86f) {
            if (std::fabs(off) > (head < 0.03 ? 2.6f : 3.2f * SmoothRange(1.0f, 0.9f, along)) * width)
                continue;
            c = head < 0.03 ? Rgb(0.20f, 0.13f, 0.07f) : Rgb(0.31f, 0.24f, 0.15f);
            c = Scaled(c, off * sunSide > 0.0f ? 1.15f : 0.8f);
            return true;
        }
        if (std::fabs(off) >= halfWidth) continue;
        // Green at the foot, straw toward the tip; last year's dead ones
        // straw from root to tip.
        TColour colour = Mix(Rgb(0.13f, 0.21f, 0.08f), Rgb(0.34f, 0.40f, 0.17f), Clamp01(along / 0.7f));
        colour = Mix(colour, Rgb(0.60f, 0.53f, 0.32f), straw * SmoothRange(0.55f, 1.0f, along));
        if (dry || snapped) colour = Mix(Rgb(0.34f, 0.29f, 0.17f), Rgb(0.60f, 0.53f, 0.33f), along);
        // The half of the stalk towards the sun catches the light; low in
        // the clump the stalks stand in one another's shade.
        c = Scaled(colour, tone * (off * sunSide > 0.0f ? 1.12f : 0.82f) *
                               (0.7f + 0.3f * SmoothRange(0.0f, 0.4f, h)));
        return true;
    }
    return false;
}

bool BushAt(float u, float v, int variant, TColour& c) {
    const std::uint32_t seed = seeds::Bushes + std::uint32_t(variant) * 29u;
    const float x = (u - 0.5f) * 2.0f, y = v; // -1..1 across, 0..1 up
    if (y < 0.02f) return false;
    // Clumps of leaves, lower and smaller towards the sides, each lit as a
    // rounded mass from the sun's side; their union has a leafy, broken edge.
    TRandom random(seed);
    float best = -1e9f;
    TVec3 normal = V3(0, 0, 1);
    for (int i = 0; i < 11; ++i) {
        const float bx = float(random.Range(-0.6, 0.6));
        const float by = float(random.Range(0.36, 0.6)) - 0.22f * std::fabs(bx);
        const float r = float(random.Range(0.28, 0.4)) * (1.0f - 0.3f * std::fabs(bx));
        const float dx = x - bx, dy = (y - by) * 1.2f;
        const float inside = r * r - dx * dx - dy * dy;
        if (inside > best) {
            best = inside;
            normal = V3(dx, dy, std::sqrt(std::max(0.0f, inside)));
        }
    }
    const float rough = 0.025f * Fbm(u * 12.0f, v * 6.0f, seed + 1u, 4) +
                        0.03f * (ValueNoise(u * 40.0f, v * 20.0f, seed + 2u) - 0.5f);
    if (best + rough < 0.0f) return false;
    normal = Normalised(normal);
    const float sunLit = std::max(0.0f, Dot(normal, SunInView())), light = 0.54f + 0.65f * sunLit;
    // Deeper in the bush, and near its foot, the leaves lie in shade.
    const float shade = 0.75f + 0.25f * SmoothRange(0.0f, 0.45f, y);
    const float leaves = ValueNoise(u * 64.0f, v * 32.0f, seed + 3u);
    constexpr float greens[BushKinds][3] = {
        {0.18f, 0.27f, 0.11f}, {0.23f, 0.31f, 0.12f}, {0.26f, 0.30f, 0.12f}, {0.16f, 0.25f, 0.13f}};
    const TColour leaf = Rgb(greens[variant][0], greens[variant][1], greens[variant][2]);
    c = Lit(
        Scaled(Mix(leaf, Rgb(0.30f, 0.38f, 0.16f), 0.35f * leaves), light * shade * (0.8f + 0.35f * leaves)),
        LeafTint(sunLit * shade));
    return true;
}

// A tuft of long grass on the lip of a bank: blades rise a little from
// their roots at GrassRoots, bow over and hang down the bank, some nearly to
// the cell's foot, some short; green, with the hanging tips paler and drier,
// and in some looks most of the tuft last year's straw; the tuft's middle
// is darker, in its own shade.
bool BankGrassAt(float u, float v, int variant, TColour& c) {
    TRandom random(seeds::BankGrass + std::uint32_t(variant) * 31u);
    const TVec3 sun = SunInView();
    const float straw = 0.1f + 0.25f * float(variant % 2) + 0.35f * float(variant == 3);
    for (int i = 0; i < 80; ++i) {
        const float root = float(random.Range(0.3, 0.7)), side = random.Unit() < 0.5 ? -1.0f : 1.0f;
        const float reach = float(random.Range(0.08, 0.3)), peak = float(random.Range(0.03, 0.12));
        const float crest = float(random.Range(0.15, 0.35)), width = float(random.Range(0.007, 0.013));
        const float tone = float(random.Range(0.8, 1.2));
        const bool dry = random.Unit() < straw;
        // Along the blade, t 0 at the root to 1 at the tip, as it runs out;
        // its height a parabola through the root with its top at `crest`,
        // falling steeply beyond it.
        const float t = (u - root) * side / reach;
        if (t < 0.0f || t > 1.0f) continue;
        const float q = (t - crest) / crest, slope = -2.0f * peak * (t - crest) / (crest * crest) / reach;
        const float along = GrassRoots + peak * (1.0f - q * q);
        if (std::fabs(v - along) > width * (1.0f - 0.7f * t) * std::sqrt(1.0f + slope * slope)) continue;
        // Lit from the sun's side on the rise, in shade where it hangs.
        const float sunLit = Clamp01(0.55f + 0.45f * side * sun.x - 0.5f * SmoothRange(crest, 1.0f, t));
        TColour colour = Mix(Rgb(0.20f, 0.30f, 0.10f), Rgb(0.40f, 0.42f, 0.20f), 0.8f * t);
        if (dry) colour = Mix(Rgb(0.46f, 0.40f, 0.24f), Rgb(0.66f, 0.58f, 0.38f), t);
        c = Lit(Scaled(colour, tone * (0.55f + 0.6f * sunLit)), LeafTint(sunLit));
        return true;
    }
    return false;
}

void PaintCell(TPicture& atlas, const TCell& cell, int variant, bool (*shape)(float, float, int, TColour&)) {
    const int ss = 3; // 3 x 3 samples per texel for smooth edges
    ParallelRows(cell.H, [&](int y) {
        for (int x = 0; x < cell.W; ++x) {
            TColour sum = Rgb(0, 0, 0, 0);
            int hits = 0;
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    float u = (float(x) + (float(sx) + 0.5f) / ss) / float(cell.W);
                    float v = (float(y) + (float(sy) + 0.5f) / ss) / float(cell.H);
                    TColour c;
                    if (shape(u, v, variant, c)) {
                        sum = Rgb(sum.r + c.r, sum.g + c.g, sum.b + c.b);
                        ++hits;
                    }
                }
            // Transparent texels keep a foliage colour so that filtering at
            // the edges does not darken them.
            TColour c = hits ? Scaled(sum, 1.0f / float(hits)) : Rgb(0.16f, 0.24f, 0.12f);
            c.a = float(hits) / float(ss * ss);
            atlas.Set(cell.X + x, cell.Y + y, c);
        }
    });
}

TPicture PaintAtlas() {
    TPicture atlas(AtlasWidth, AtlasHeight, 4);
    for (const TPlantKind& kind : PlantKinds)
        for (int i = 0; i < kind.Variants; ++i)
            PaintCell(atlas, kind.Cells[i], i, kind.Paint);
    return atlas;
}

} // namespace

const TPlantKind PlantKinds[PlantKindCount] = {
    // cells, looks, painter, fill, height, width/height, shadow, habitat, share
    {Firs, FirKinds, FirAt, 1.0f, 1.6f, 12.5f, 0.45f, 0.55f, 0.36f, 0.45f, THabitat::Woods, 2.0f},
    {Broadleaves, BroadleafKinds, BroadleafAt, 1.0f, 1.8f, 10.5f, 0.85f, 1.1f, 0.34f, 0.62f, THabitat::Woods,
     1.0f},
    {Bushes, BushKinds, BushAt, 1.0f, 1.8f, 4.4f, 1.0f, 1.0f, 0.32f, 0.4f, THabitat::Undergrowth, 1.0f},
    {Reeds, ReedKinds, ReedAt, ReedFill, 2.86f, 5.72f, 0.72f, 1.1f, 0.0f, 0.0f, THabitat::Waterline, 1.0f},
    {BankGrass, GrassKinds, BankGrassAt, 1.0f, 1.0f, 3.4f, 0.9f, 1.4f, 0.0f, 0.0f, THabitat::BankLip, 1.0f},
};

const TPicture& PlantAtlas() {
    static const TPicture atlas = PaintAtlas();
    return atlas;
}

TPicture VegetationTexture() {
    return PlantAtlas();
}

} // namespace scenegen
