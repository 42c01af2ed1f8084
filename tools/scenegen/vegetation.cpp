#include "tools/scenegen/vegetation.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/scenegen/cliff.h"
#include "tools/scenegen/far_trees.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/plant_atlas.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/shore.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/tree_company.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

// Is `p` inside camera 1's view at the widest screen, with a margin for the
// plant's width?
bool InView(TVec3 p) {
    const TVec3 v = CameraView(p);
    return v.z >= 1.0f && std::fabs(v.x) < WidestHalfAcross * 1.04f;
}

// Deep in the far woods the trees stand many deep on screen, each showing
// only its top over the ones in front: fewer of them there look the same
// and cost far less to blend. The share of trees kept at `distance`.
float FarThinning(float distance) {
    return 1.0f - 0.7f * SmoothRange(140.0f, 240.0f, distance);
}

// A point of a cut-out's outline: u across its quad 0..1, v up 0..1.
struct TOutlinePoint {
    float U, V;
};

// The outline of what a cell shows: the rectangle round every texel of the
// cell with any cover, widened by two texels so that the coarser mipmap
// levels, whose cover spreads, keep their soft edge; counter-clockwise. It
// leaves out the clear margins of the cell, which would be blended for
// nothing, in two triangles: the renderer shades whole blocks of 4 x 4
// pixels, so a finer outline of thin triangles round the leaves costs more
// in half-covered blocks than it saves in clear texels.
std::vector<TOutlinePoint> CellOutline(const TCell& cell, float fill) {
    const TPicture& atlas = PlantAtlas();
    const float w = float(cell.W), h = float(cell.H) * fill;
    constexpr float Margin = 2.0f;
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    for (int y = 0; y < int(std::ceil(h)); ++y)
        for (int x = 0; x < cell.W; ++x)
            if (atlas.Bytes[(std::size_t(cell.Y + y) * AtlasWidth + std::size_t(cell.X + x)) * 4 + 3] != 0) {
                x0 = std::min(x0, float(x)), y0 = std::min(y0, float(y));
                x1 = std::max(x1, float(x + 1)), y1 = std::max(y1, float(y + 1));
            }
    if (x1 < x0) return {{0, 0}, {1, 0}, {1, 1}, {0, 1}}; // nothing drawn: keep the quad
    const float u0 = std::max(0.0f, x0 - Margin) / w, u1 = std::min(w, x1 + Margin) / w;
    const float v0 = std::max(0.0f, y0 - Margin) / h, v1 = std::min(h, y1 + Margin) / h;
    return {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
}

const std::vector<TOutlinePoint>& OutlineOf(const TCell& cell, float fill) {
    static std::vector<std::pair<std::pair<int, int>, std::vector<TOutlinePoint>>> known;
    for (const auto& k : known)
        if (k.first == std::make_pair(cell.X, cell.Y)) return k.second;
    known.push_back({{cell.X, cell.Y}, CellOutline(cell, fill)});
    return known.back().second;
}

// Where a texture holds the atlas's layout: its size in texels, the size of
// an atlas texel in its texels, and the row where its copy starts.
struct TAtlasCopy {
    float Width, Height, Scale, Row;
};
constexpr TAtlasCopy FullAtlas{float(AtlasWidth), float(AtlasHeight), 1.0f, 0.0f};
TAtlasCopy FarCopy(int copy) {
    return {float(FarAtlasWidth), float(FarAtlasHeight), float(FarAtlasWidth) / float(AtlasWidth),
            float(copy * FarAtlasHeight / FarCopies)};
}

void AddCutout(TGenObject& object, const TPlant& c, const TAtlasCopy& into) {
    const TPlantKind& kind = PlantKinds[c.Kind];
    const TCell& cell = kind.Cells[c.Variant % kind.Variants];
    const float fill = kind.Fill;
    const TVec3 right = BillboardRight(c.Base) * (c.Width * 0.5f), up = V3(0, 0, c.Height);
    const float s0 = (float(cell.X) * into.Scale + 0.5f) / into.Width;
    const float s1 = (float(cell.X + cell.W) * into.Scale - 0.5f) / into.Width;
    const float t0 = (into.Row + float(cell.Y) * into.Scale + 0.5f) / into.Height;
    const float t1 = (into.Row + (float(cell.Y) + float(cell.H) * fill) * into.Scale - 0.5f) / into.Height;
    // The outline, placed and textured as the whole quad would be.
    const std::vector<TOutlinePoint>& outline = OutlineOf(cell, fill);
    auto at = [&](const TOutlinePoint& o) { return c.Base + right * (2.0f * o.U - 1.0f) + up * o.V; };
    auto tex = [&](const TOutlinePoint& o) { return V3(s0 + (s1 - s0) * o.U, t0 + (t1 - t0) * o.V, 0.0f); };
    for (std::size_t i = 1; i + 1 < outline.size(); ++i) {
        const TOutlinePoint &a = outline[0], &b = outline[i], &d = outline[i + 1];
        if ((b.U - a.U) * (d.V - a.V) - (d.U - a.U) * (b.V - a.V) < 1e-5f) continue; // no area
        object.Add(at(a), at(b), at(d), tex(a), tex(b), tex(d));
    }
}

// Where a plant's cut-out lies on screen: tangents across and up from camera 1.
struct TScreenBox {
    float X0, Y0, X1, Y1;
};

TScreenBox ScreenBox(const TPlant& c) {
    const TPlantKind& kind = PlantKinds[c.Kind];
    const TVec3 right = BillboardRight(c.Base) * (c.Width * 0.5f), up = V3(0, 0, c.Height);
    TScreenBox box{1e30f, 1e30f, -1e30f, -1e30f};
    for (const TOutlinePoint& o : OutlineOf(kind.Cells[c.Variant % kind.Variants], kind.Fill)) {
        const TVec3 v = CameraView(c.Base + right * (2.0f * o.U - 1.0f) + up * o.V);
        box = {std::min(box.X0, v.x), std::min(box.Y0, v.y), std::max(box.X1, v.x), std::max(box.Y1, v.y)};
    }
    return box;
}

// Picks the texture each plant is drawn from, the plants sorted far to near.
// A plant behind a nearer one that covers it on screen never takes less
// haze than that one: the nearer would look the farther of the two, and
// where the nearer would come from the far texture and this one from the
// atlas, the two would be drawn the wrong way round (the far texture's
// plants are all drawn first). Nor does it take more haze than a nearer
// one of its own clump that it stands beside: where the split between the
// copies wanders between them, the one behind would stand out pale and
// blue among its darker neighbours, as if seen through.
constexpr float ClumpRadius = 10.0f;

void ChooseFarCopies(std::vector<TPlant>& plants) {
    std::vector<TScreenBox> boxes(plants.size());
    auto overlap = [](const TScreenBox& a, const TScreenBox& b) {
        return a.X0 < b.X1 && b.X0 < a.X1 && a.Y0 < b.Y1 && b.Y0 < a.Y1;
    };
    for (std::size_t a = plants.size(); a-- > 0;) {
        TPlant& p = plants[a];
        p.FarCopy = FarCopyOf(p.Base.x, p.Base.y, p.Distance);
        const TScreenBox box = boxes[a] = ScreenBox(p);
        int least = p.FarCopy, most = -1;
        for (std::size_t b = a + 1; b < plants.size(); ++b) {
            if (plants[b].Distance >= p.Distance || !overlap(box, boxes[b])) continue;
            most = std::max(most, plants[b].FarCopy);
            if (Distance2D(plants[b].Base, p.Base) < ClumpRadius) least = std::min(least, plants[b].FarCopy);
        }
        p.FarCopy = std::max(least, most);
    }
}

} // namespace

bool LandBehind(TVec3 p) {
    const TVec3 eye = CameraEye();
    const TVec3 dir = Normalised(p - eye);
    for (float t = Length(p - eye) + 0.3f; t < 2500.0f; t += 0.5f) {
        TVec3 q = eye + dir * t;
        float ground = TerrainHeight(q.x, q.y);
        if (q.z <= WaterLevel + 1.2f) return ground > WaterLevel + 1.2f; // water (with its waves) or land
        if (q.z <= ground) return true;
        if (q.z > 200.0f) return true; // into the sky
    }
    return true;
}

std::vector<TPlant> PlacePlants(const TTerrainGrid& grid, const std::vector<TVec3>& rocks) {
    std::vector<TPlant> plants;
    const TVec3 eye = CameraEye();
    const float step = 3.0f;
    // Near rocks (boulders and the rock face's ends) bushes take root.
    auto nearRock = [&](float x, float y) {
        float best = 0.0f;
        for (const TVec3& r : rocks) {
            const float dx = x - r.x, dy = y - r.y, d2 = dx * dx + dy * dy;
            if (d2 < 64.0f) best = std::max(best, 1.0f - d2 / 64.0f);
        }
        return best;
    };
    // The kinds of a habitat, one picked by their shares at `pick` (0..1).
    auto kindOf = [](THabitat habitat, float pick) {
        float total = 0.0f;
        for (const TPlantKind& kind : PlantKinds)
            total += kind.Habitat == habitat ? kind.Share : 0.0f;
        int last = 0;
        for (int k = 0; k < PlantKindCount; ++k) {
            if (PlantKinds[k].Habitat != habitat) continue;
            last = k;
            pick -= PlantKinds[k].Share / total;
            if (pick < 0.0f) break;
        }
        return last;
    };
    // Sets a plant of `habitat` and `age` (0 the youngest .. 1 the oldest)
    // at (x, y), on the ground as drawn, `ground`, if it shows whole against
    // the land; `look`, `spread` and `choice` (0..1) pick its look, its
    // width and its kind.
    auto place = [&](THabitat habitat, float age, float x, float y, float ground, float look, float spread,
                     float choice) {
        const float dist = Distance2D(V3(x, y, 0), eye);
        TVec3 base = V3(x, y, ground - 0.4f);
        TPlant c{};
        // Trees stand in patches where one kind or the other has the upper hand.
        const float stand = Clamp01(0.5f + 1.6f * Fbm(x / 35.0f, y / 35.0f, seeds::Stands, 2));
        c.Kind = TPlant::TKind(
            kindOf(habitat, habitat == THabitat::Woods ? 0.4f * choice + 0.6f * stand : choice));
        const TPlantKind& kind = PlantKinds[c.Kind];
        c.Variant = std::min(kind.Variants - 1, int(look * float(kind.Variants)));
        c.Height = kind.HeightLo + (kind.HeightHi - kind.HeightLo) * age;
        c.Width = c.Height * (kind.WidthLo + (kind.WidthHi - kind.WidthLo) * spread);
        // Trees and bushes only a few pixels tall are not worth their
        // blending.
        if (c.Height < 0.012f * dist) return;
        // A bank's grass roots on its lip and hangs down below it.
        if (habitat == THabitat::BankLip) base.z = ground - GrassRoots * c.Height;
        c.Base = base;
        // Every corner and the middle of the cut-out must have land behind it.
        const TVec3 right = BillboardRight(base) * (c.Width * 0.5f), up = V3(0, 0, c.Height);
        // Reeds may stand in the water: the lake drawn over their feet
        // is the lake they stand in. The grass on a bank's lip is rooted
        // on land (its caller sees to that) and hangs out over the water's
        // edge: only its top needs the bank behind it.
        const TVec3 foot = habitat == THabitat::Waterline ? base + up * 0.5f : base;
        const bool hangs = habitat == THabitat::BankLip;
        if ((!hangs &&
             (!LandBehind(foot - right) || !LandBehind(foot + right) || !LandBehind(base + up * 0.5f))) ||
            !LandBehind(base - right + up) || !LandBehind(base + right + up))
            return;
        c.Distance = dist;
        plants.push_back(c);
    };
    // Reeds in beds by the waterline, but none under the rock face: the
    // water is deep at its foot. They grow in clumps with open shore between
    // them, each clump denser and taller in its heart than at its fringe. In
    // the bays, where the shore reaches back beyond its course on either
    // side, a clump's heart wades far out into the shallows, so the beds
    // reach into the water in tongues rather than lining the bank. A finer
    // lattice than the land's, over the lake's rim.
    const float reedStep = 1.5f;
    for (int row = 0; row < 100; ++row)
        for (int column = 0; column < 116; ++column) {
            TRandom random = RandomFor(seeds::ReedClumps, column, row);
            const float x = -60.0f + reedStep * (float(column) + float(random.Unit()));
            const float y = 120.0f + reedStep * (float(row) + float(random.Unit()));
            const float pick = float(random.Unit()), size = float(random.Unit()), look = float(random.Unit()),
                        spread = float(random.Unit());
            const float bearing = Atan2(y - LakeCentreY, x - LakeCentreX);
            if (std::fabs(std::remainder(bearing - FallsAngle, 6.2831853f)) < 0.45f) continue;
            const float ground = grid.MeshHeight(x, y), above = ground - WaterLevel;
            if (above > 1.2f || above < -2.2f || StreamWater(x, y) > 0.0f) continue;
            const float bay = ShoreBay(bearing);
            const float beds = SmoothRange(0.05f, 0.3f, Fbm(x / 11.0f, y / 11.0f, seeds::ReedBeds, 3));
            // The clumps: hearts a few strides across, ragged at the edges.
            const float heart = SmoothRange(0.0f, 0.3f,
                                            Fbm(x / 7.0f, y / 7.0f, seeds::ReedHearts, 3) + 0.25f * bay +
                                                0.15f * beds - 0.12f);
            // Open water between the stems here and there.
            const float gap = SmoothRange(0.3f, 0.5f, Fbm(x / 4.0f, y / 4.0f, seeds::ReedGaps, 2));
            if (above < -0.2f - heart * (0.9f + 1.3f * bay) ||
                pick >
                    std::min(0.6f, 0.75f * heart * (0.5f + 0.3f * beds + 0.4f * bay)) * (1.0f - 0.7f * gap))
                continue;
            if (Distance2D(V3(x, y, 0), eye) < 40.0f || !InView(V3(x, y, ground))) continue;
            // Each stand of its own height, some short, some tall.
            const float stand =
                0.6f + 0.6f * Clamp01(0.55f + Fbm(x / 30.0f, y / 30.0f, seeds::ReedStands, 2));
            place(THabitat::Waterline,
                  std::min(1.0f, stand * (0.35f * size + 0.65f * Clamp01(0.4f * beds + bay + 0.5f * heart) *
                                                             (0.6f + 0.4f * size))),
                  x, y, ground, look, spread, 0.0f);
        }
    // Long grass on the lip of the steep banks, hanging out over the
    // water's edge: its cut-out stands just out from the waterline, its roots at the
    // height of the lip a stride or two back, its blades drooping to the
    // water, `clear` short of it (below it: dipping in). Spots about a
    // stride apart round the shore.
    constexpr int BankSpots = 420;
    const TPlantKind& grass = PlantKinds[TPlant::BankGrass];
    for (int i = 0; i < BankSpots; ++i) {
        TRandom random = RandomFor(seeds::BankTufts, i);
        const float a = 2.0f * Pi * (float(i) + float(random.Unit())) / float(BankSpots);
        const float pick = float(random.Unit()), back = float(random.Range(1.4, 2.6)),
                    out = float(random.Range(0.2, 0.5)), clear = float(random.Range(-0.3, 0.15)),
                    look = float(random.Unit()), spread = float(random.Unit());
        if (pick > 0.8f * BankOverhang(a)) continue;
        const float c = Cos(a), s = Sin(a), r = ShoreRadius(a);
        const float lip = grid.MeshHeight(LakeCentreX + (r + back) * c, LakeCentreY + (r + back) * s);
        // Out over the water, where the ground as drawn has gone under it.
        float over = r - out;
        for (int step = 0;
             step < 8 && grid.MeshHeight(LakeCentreX + over * c, LakeCentreY + over * s) > WaterLevel; ++step)
            over -= 0.2f;
        const float x = LakeCentreX + over * c, y = LakeCentreY + over * s;
        if (lip < WaterLevel + 0.8f || Distance2D(V3(x, y, 0), eye) < 40.0f || !InView(V3(x, y, lip)))
            continue;
        const float height = (lip - WaterLevel - clear) / GrassRoots;
        place(THabitat::BankLip, Clamp01((height - grass.HeightLo) / (grass.HeightHi - grass.HeightLo)), x, y,
              lip, look, spread, 0.0f);
    }
    // The lattice reaches as far to the sides as the widest screen shows of
    // the land (its middle column is the one below camera 1).
    for (int row = 0; row < 94; ++row)
        for (int column = -100; column < 210; ++column) {
            // Every spot draws its values from its own hash, so a change to
            // one kind of plant leaves the others where they were.
            TRandom random = RandomFor(seeds::Plants, column, row);
            const float gx = -140.0f + step * float(column), gy = 140.0f + step * float(row);
            float x = gx + float(random.Range(0.0, step)), y = gy + float(random.Range(0.0, step));
            float pick = float(random.Unit()), size = float(random.Unit());
            const float look = float(random.Unit()), spread = float(random.Unit()),
                        choice = float(random.Unit()), generation = float(random.Unit());
            // On the ground as drawn, which a coarse grid keeps within a unit
            // or so of the land's shape.
            float ground = grid.MeshHeight(x, y), above = ground - WaterLevel;
            TVec3 n = TerrainNormal(x, y, 1.0f);
            float dist = Distance2D(V3(x, y, 0), eye);
            if (dist < 40.0f || n.z < 0.8f || StreamWater(x, y) > 0.0f) continue;
            TVec3 base = V3(x, y, ground - 0.4f);
            if (!InView(base)) continue;
            // The woods' density, and groves standing out in the meadows:
            // dense at their hearts, thinning out round them.
            const float woods = WoodsDensity(x, y, ground);
            const float groveShape = Fbm(x / 24.0f, y / 24.0f, seeds::Groves, 3);
            // Groves thin out on the stream's banks, as the woods do, so
            // that it stays in sight down to the falls.
            float banks = 0.0f;
            for (int k = 2; k >= 1 && woods < 0.99f; --k)
                if (StreamWater(x - 4.0f * float(k), y) > 0.0f || StreamWater(x + 4.0f * float(k), y) > 0.0f)
                    banks = k == 2 ? 0.35f : 0.7f;
            const float open = SmoothRange(3.0f, 6.0f, above) * (1.0f - woods) * (1.0f - banks);
            const float groves = SmoothRange(0.28f, 0.46f, groveShape) * open;
            const float heart = SmoothRange(0.46f, 0.62f, groveShape) * open;
            // Near camera 1 a grove's thin rim of young trees reads as toys
            // at no clear scale: only the old trees at its heart stand there.
            const float grove = groves + (heart - groves) * SmoothRange(140.0f, 100.0f, dist);
            const float edge = 4.0f * woods * (1.0f - woods); // where the woods thin out
            // The undergrowth skirting the woods, a little way out from them.
            float skirt = 0.0f;
            for (int k = 0; k < 4; ++k)
                skirt =
                    std::max(skirt, WoodsDensity(x + 9.0f * float(k % 2 * 2 - 1) * float(k < 2),
                                                 y + 9.0f * float(k % 2 * 2 - 1) * float(k >= 2), ground));
            skirt *= 1.0f - woods;
            // The woods' edge made ragged: a finer pattern pushes it out
            // here and there by a tree or two and sets clumps out in front
            // of it (never in: the ground under the woods shows their
            // canopy, which wants its trees).
            const float ragged = std::max(0.0f, Fbm(x / 10.0f, y / 10.0f, seeds::WoodsRagged, 3));
            const float cover = Clamp01(woods + 0.8f * ragged * (edge + skirt));
            const float clump = SmoothRange(0.0f, 0.35f, Fbm(x / 8.0f, y / 8.0f, seeds::Clumps, 3));
            // Inside the woods the trees bunch in thickets with thinner
            // stands between, not evenly spaced as in a park.
            const float thicket =
                0.55f + 0.9f * SmoothRange(-0.25f, 0.25f, Fbm(x / 12.0f, y / 12.0f, seeds::Thickets, 2));
            // A few clumps of scrub out in the nearer meadows, where open
            // grass alone reads as a lawn; far off they would be too small
            // to tell.
            const float meadowScrub = 0.1f * open * SmoothRange(150.0f, 100.0f, dist);
            // The near meadows out to the sides, which only screens wider
            // than 16:9 show: groves of their own there, young trees
            // straying out of them and scrub, all thinning out down towards
            // the lake.
            const TVec3 seen = CameraView(base);
            const float wide = SmoothRange(0.76f, 0.9f, std::fabs(seen.x)) *
                               SmoothRange(170.0f, 120.0f, dist) * SmoothRange(1.5f, 5.0f, above) *
                               (1.0f - woods);
            const float sideShape = Fbm(x / 16.0f, y / 16.0f, seeds::SideGroves, 3);
            // The groves stand back a little: right by camera 1 their trees
            // would fill the sides of the screen.
            const float sideTrees = wide * SmoothRange(55.0f, 85.0f, dist);
            const float sideGrove = sideTrees * SmoothRange(0.0f, 0.25f, sideShape);
            const float sideHeart = sideTrees * SmoothRange(0.2f, 0.4f, sideShape);
            // The scrub grows in thickets, hugging the groves' edges, with
            // open grass between: dense where it grows, so that its bushes
            // merge.
            const float sideScrub =
                0.6f * (sideGrove - sideHeart) +
                wide * (0.7f * SmoothRange(0.22f, 0.4f, Fbm(x / 9.0f, y / 9.0f, seeds::SideScrub, 2)));
            THabitat habitat = THabitat::Woods;
            float age = 0.0f;
            if ((above > 2.5f || wide > 0.3f) &&
                pick < (0.36f * cover * thicket + 0.65f * grove + 0.06f * edge) * FarThinning(dist) +
                           0.35f * sideGrove + 0.015f * wide) {
                // Young trees and saplings at the edges, where the woods
                // spread into the open; the old ones deep in the woods and
                // at the groves' hearts, standing over the young in front.
                const float maturity = Clamp01(0.3f + 0.7f * cover - 0.45f * edge + 0.3f * groves +
                                               0.4f * heart + 0.3f * sideGrove + 0.4f * sideHeart);
                const float young =
                    0.05f + 0.35f * edge + 0.2f * std::max(0.0f, groves - heart) + 0.5f * (wide - sideHeart);
                age = generation < young ? 0.03f + 0.2f * size
                                         : maturity * (0.45f + 0.6f * size) + 0.15f * size * size;
            } else if (above > 1.2f && pick > 1.0f -
                                                  (0.5f * groves + 0.65f * edge + 0.65f * skirt +
                                                   0.4f * nearRock(x, y) + 0.05f * woods + meadowScrub) *
                                                      clump -
                                                  sideScrub) {
                habitat = THabitat::Undergrowth;
                age = size * size;
            } else {
                continue;
            }
            // Bushes side by side not of one look: the looks run round the
            // lattice so that no two neighbouring spots share one, from a
            // start that changes from one patch of land to the next.
            float bushLook = look;
            if (habitat == THabitat::Undergrowth) {
                const int start = int(4.0f * Clamp01(0.5f + Fbm(x / 40.0f, y / 40.0f, seeds::BushLooks, 1)));
                bushLook = (float((column + 2 * row + start + 400) % BushKinds) + 0.5f) / float(BushKinds);
            }
            place(habitat, age, x, y, ground, bushLook, spread, choice);
        }
    std::stable_sort(plants.begin(), plants.end(),
                     [](const TPlant& a, const TPlant& b) { return a.Distance > b.Distance; });
    // A tree left out may leave another one without company in turn.
    while (DropLoneTrees(plants)) {
    }
    DropLoneBushes(plants);
    ChooseFarCopies(plants);
    return plants;
}

namespace {

// The cut-outs of the plants drawn from the full atlas, or of those drawn
// from the far texture's hazed copies.
TGenObject Cutouts(const std::vector<TPlant>& plants, std::uint16_t material, bool far) {
    TGenObject vegetation;
    vegetation.Material = material;
    vegetation.Alpha = 1.0f;
    for (const TPlant& p : plants)
        if ((p.FarCopy >= 0) == far) AddCutout(vegetation, p, far ? FarCopy(p.FarCopy) : FullAtlas);
    return vegetation;
}

} // namespace

TGenObject PlantCutouts(const std::vector<TPlant>& plants, std::uint16_t material) {
    return Cutouts(plants, material, false);
}

TGenObject FarPlantCutouts(const std::vector<TPlant>& plants, std::uint16_t material) {
    return Cutouts(plants, material, true);
}

std::vector<TShadowCaster> PlantShadows(const std::vector<TPlant>& plants) {
    std::vector<TShadowCaster> casters;
    for (const TPlant& p : plants) {
        const TPlantKind& kind = PlantKinds[p.Kind];
        if (kind.ShadowRadius > 0.0f)
            casters.push_back({p.Base, p.Width * kind.ShadowRadius, p.Height * kind.ShadowHeight});
    }
    return casters;
}

} // namespace scenegen
