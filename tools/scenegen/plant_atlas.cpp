#include "tools/scenegen/plant_atlas.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/lighting.h"
#include "tools/scenegen/maths.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/parallel.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/tree_painters.h"
#include "tools/scenegen/vegetation.h"

namespace scenegen {

namespace {

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
        const float tone = float(random.Range(0.8, 1.15)), straw = float(random.Range(0.1, 0.55));
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
        colour = Mix(colour, Rgb(0.60f, 0.53f, 0.32f), straw * SmoothRange(0.7f, 1.0f, along));
        if (dry || snapped) colour = Mix(Rgb(0.34f, 0.29f, 0.17f), Rgb(0.60f, 0.53f, 0.33f), along);
        // The half of the stalk towards the sun catches the light; low in
        // the clump the stalks stand in one another's shade.
        c = Scaled(colour, tone * (off * sunSide > 0.0f ? 1.12f : 0.82f) *
                               (0.7f + 0.3f * SmoothRange(0.0f, 0.4f, h)));
        return true;
    }
    return false;
}

// A thicket of shrubs as it grows wild: several bushes of different sizes
// grown together, their clumps of leaves each lit as a rounded mass from
// the sun's side, the union's edge leafy and broken. The looks differ in
// outline: a rounded shrub with a smaller one leaning on it, a low wide
// thicket, a lopsided one trailing off to one side, a low spread of young
// growth; and in tint, from dark glossy leaves to light, yellowish ones.
bool BushAt(float u, float v, int variant, TColour& c) {
    const std::uint32_t seed = seeds::Bushes + std::uint32_t(variant) * 29u;
    const float x = (u - 0.5f) * 2.0f, y = v; // -1..1 across, 0..1 up
    if (y < 0.02f) return false;
    // Each look's height (as a share of the cell), the spread of its
    // clumps across and how much they lean to one side.
    constexpr float Tall[BushKinds] = {0.62f, 0.4f, 0.55f, 0.32f};
    constexpr float Spread[BushKinds] = {0.55f, 0.78f, 0.7f, 0.8f};
    constexpr float Lopsided[BushKinds] = {0.1f, 0.0f, 0.35f, -0.15f};
    TRandom random(seed);
    float best = -1e9f;
    TVec3 normal = V3(0, 0, 1);
    for (int i = 0; i < 13; ++i) {
        const float bx = float(random.Range(-1.0, 1.0)) * Spread[variant] + Lopsided[variant];
        const float off = std::fabs(bx - Lopsided[variant]) / Spread[variant]; // 0 mid .. 1 rim
        // A few shrubs of their own heights, lower towards the thicket's ends.
        const float r = float(random.Range(0.16, 0.36)) * (1.0f - 0.35f * off);
        const float by = Tall[variant] * float(random.Range(0.35, 0.95)) * (1.0f - 0.45f * off * off);
        const float dx = x - bx, dy = (y - std::max(by, r / 1.2f)) * 1.2f; // none below the ground
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
    const float sunLit = std::max(0.0f, Dot(normal, SunInView())), light = 0.62f + 0.65f * sunLit;
    // Near its foot the leaves lie in the thicket's own shade.
    const float shade = 0.8f + 0.2f * SmoothRange(0.0f, 0.3f, y);
    const float leaves = ValueNoise(u * 64.0f, v * 32.0f, seed + 3u);
    constexpr float greens[BushKinds][3] = {
        {0.20f, 0.29f, 0.12f}, {0.29f, 0.35f, 0.14f}, {0.25f, 0.31f, 0.13f}, {0.33f, 0.37f, 0.16f}};
    const TColour leaf = Rgb(greens[variant][0], greens[variant][1], greens[variant][2]);
    c = Lit(
        Scaled(Mix(leaf, Rgb(0.34f, 0.40f, 0.17f), 0.35f * leaves), light * shade * (0.8f + 0.35f * leaves)),
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
