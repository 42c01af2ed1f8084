// The ground's colours, baked once: what an aerial photograph of the valley
// would show, lit by the afternoon sun and seen through the haze.
#include <algorithm>
#include <cmath>

#include "tools/scenegen/bedded_rock.h"
#include "tools/scenegen/canopy.h"
#include "tools/scenegen/ground_maps.h"
#include "tools/scenegen/lake_sheen.h"
#include "tools/scenegen/meadow.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/parallel.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/shore.h"
#include "tools/scenegen/surface_noise.h"
#include "tools/scenegen/terrain.h"
#include "tools/scenegen/toolkit.h"

namespace scenegen {

namespace {

struct TGround {
    TColour Albedo;
    TVec3 Normal;    // the surface that catches the light (a crown's, in woods)
    float Occlusion; // 1 open, lower in gaps between crowns
    float Turf;      // 1 where open grass shows, 0 on earth, rock, sand, water, woods
};

// Rock or stone covering `cover` (0..1) of the turf, shown as whole patches
// with clean turf between them, their edges ragged at `grain` (a noise of
// about 0..1), rather than as a see-through film of grey over all of it:
// half-mixed rock colour reads as haze. Where a texel spans a unit or more
// (`detail` 0) its colour is the patches' average, the cover itself.
float BrokenCover(float cover, float grain, float detail) {
    const float edge = std::clamp(grain, 0.07f, 0.93f);
    return Lerp(cover, SmoothRange(edge - 0.06f, edge + 0.06f, cover), detail);
}

// `detail` is 1 where a texel covers a small patch of ground and falls to 0
// where it covers a unit or more: features far smaller than a texel would
// only alias into blocks and speckle there.
TGround GroundAt(float x, float y, float h, float hMesh, TVec3 n, const TRelief& relief, float footprint) {
    const float detail = SmoothRange(0.7f, 0.35f, footprint);
    const float above = hMesh - WaterLevel;
    const TSurfaceNoise surface(x, y, h, n);
    const float slope = 1.0f - n.z;

    const TMeadow meadow = MeadowAt(x, y, above, n, relief, surface, footprint);
    const TColour ground = meadow.Colour;
    const TVec3 sun = SunDirection();
    TGround g{ground, n, 1.0f, 1.0f - meadow.Bare};

    // Woods on the hills, thinning out towards the water and off the rocks.
    float wood = WoodsDensity(x, y, h) * (1.0f - SmoothRange(0.25f, 0.4f, slope));
    if (wood > 0.0f) {
        TVec3 crownNormal;
        float crown = Crown(x, y, crownNormal);
        if (crown > 0.0f) {
            float hue = Fbm(x / 30.0f, y / 30.0f, seeds::CanopyHue, 3);
            TColour leaf = Mix(Rgb(0.13f, 0.25f, 0.09f), Rgb(0.22f, 0.30f, 0.11f), Clamp01(0.5f + hue));
            g.Albedo =
                Mix(g.Albedo, Scaled(leaf, 0.9f + 0.25f * surface.Value(1.7f, seeds::CanopyLeaves)), wood);
            g.Normal = Normalised(n * (1.0f - wood) + crownNormal * wood);
        } else {
            g.Albedo = Mix(g.Albedo, Rgb(0.08f, 0.11f, 0.05f), wood);
            g.Occlusion = 1.0f - 0.5f * wood;
        }
        // Where a texel spans several crowns, the canopy as a whole: its
        // greens and the gaps between crowns averaged.
        if (detail < 1.0f) {
            const float hue = Fbm(x / 30.0f, y / 30.0f, seeds::CanopyHue, 3);
            const TColour canopy =
                Scaled(Mix(Rgb(0.13f, 0.25f, 0.09f), Rgb(0.22f, 0.30f, 0.11f), Clamp01(0.5f + hue)), 0.8f);
            g.Albedo = Mix(Mix(ground, canopy, wood), g.Albedo, detail);
            g.Normal = Normalised(n * (1.0f - detail) + g.Normal * detail);
            g.Occlusion = Lerp(1.0f - 0.15f * wood, g.Occlusion, detail);
        }
        // Nearer camera 1 the woods stand on this ground as cut-outs seen
        // from the side, thick enough to hide their crowns from above:
        // between their trunks lies the forest floor, dark and mossy.
        const TVec3 eye = CameraEye();
        const float canopy = SmoothRange(150.0f, 230.0f, Hypot(x - eye.x, y - eye.y));
        if (canopy < 1.0f) {
            const TColour floor =
                Scaled(Rgb(0.12f, 0.15f, 0.07f), 0.8f + 0.4f * surface.Value(1.1f, seeds::ForestFloor));
            g.Albedo = Mix(Mix(ground, floor, wood), g.Albedo, canopy);
            g.Normal = Normalised(n * (1.0f - canopy) + g.Normal * canopy);
            g.Occlusion = Lerp(1.0f - 0.35f * wood, g.Occlusion, canopy);
        }
    }

    // Rock where the land rises steeply, breaking through the turf in
    // patches where the ground steepens; a low bank or a bump in a meadow,
    // however steep for a unit or two, keeps its turf, and so does the bank
    // along the water unless the land goes on rising as a face.
    const float grain = 0.5f + 1.3f * surface.Fbm(0.8f, seeds::RockBreakup, 3);
    // Its edge steps from block to block of the rock beneath.
    const TCellNoise slab = CellNoise(x / 1.7f, y / 1.7f + hMesh / 2.5f, seeds::OutcropSlabs);
    float rockiness = BrokenCover(
        SmoothRange(0.28f, 0.5f,
                    slope + 0.12f * surface.Fbm(8.0f, seeds::RockEdge, 3) + 0.06f * detail * slab.Value) *
            SmoothRange(0.5f, 0.8f, relief.Rise) *
            Clamp01(SmoothRange(1.0f, 3.0f, above) + SmoothRange(0.9f, 1.2f, relief.Rise)),
        grain, detail);
    // Outcrops breaking through the turf where the soil is thin, on knolls
    // and crests and the shoulders of steep ground: slabs split by joints,
    // with turf in the wider ones, never a clean blot.
    const float thinSoil =
        std::max(SmoothRange(-0.1f, -0.7f, relief.Hollow), SmoothRange(0.35f, 0.7f, relief.Rise));
    const float outcrop = surface.Fbm(13.0f, seeds::Outcrops, 4) +
                          0.12f * surface.Fbm(1.5f, seeds::OutcropShape, 3) + 0.15f * thinSoil - 0.08f;
    const float joint = SmoothRange(0.04f, 0.16f, slab.Second - slab.Nearest);
    const float outcropCover =
        BrokenCover(0.55f * detail * SmoothRange(0.58f, 0.68f, outcrop) * SmoothRange(4.0f, 8.0f, above) *
                        Lerp(1.0f, 0.35f + 0.65f * joint, detail),
                    grain, detail);
    rockiness = std::max(rockiness, outcropCover);
    // Fans of stone fallen from the escarpment, heaped at its foot.
    const float talus = BrokenCover(ScarpTalus(x, y) * SmoothRange(0.3f, 0.18f, slope),
                                    0.5f + 1.3f * surface.Fbm(0.6f, seeds::TalusBreakup, 3), detail);
    rockiness = std::max(rockiness, talus);
    if (rockiness > 0.0f) {
        // Grey rock in bands along the strata where it stands as a face, in
        // slabs of their own tone where it lies back; split by dark cracks,
        // with lichen and dirt in patches.
        const float strata = Fbm(x / 6.0f + y / 11.0f, hMesh / 0.9f, seeds::Strata, 4);
        const float face = SmoothRange(0.2f, 0.45f, slope);
        const float crack =
            SmoothRange(0.0f, 0.08f, std::fabs(Fbm(x / 2.2f, y / 2.2f + hMesh / 2.0f, seeds::Cracks, 3)));
        TColour rock = Mix(Rgb(0.33f, 0.32f, 0.31f), Rgb(0.58f, 0.57f, 0.55f),
                           Clamp01(0.5f + Lerp(0.45f * slab.Value, 1.3f * strata, face)));
        rock = Scaled(rock, 1.0f - 0.3f * detail * (1.0f - joint) * (1.0f - face));
        rock = Mix(rock, Rgb(0.47f, 0.45f, 0.33f),
                   0.4f * SmoothRange(0.1f, 0.4f, surface.Fbm(5.0f, seeds::RockLichen, 3)));
        rock = Scaled(rock, 1.0f - 0.3f * detail * (1.0f - crack));
        // Outcrops weathered dark, their cracks full of soil.
        rock = Scaled(rock, 1.0f - 0.35f * SmoothRange(0.0f, 0.3f, outcropCover) *
                                       (0.6f + 0.4f * surface.Value(1.3f, seeds::OutcropWeather)));
        rock = Mix(rock, BeddedRock(x, y, hMesh, n, detail), SmoothRange(0.3f, 0.5f, slope));
        if (talus > 0.0f) rock = Mix(rock, FallenStone(x, y, n, detail), talus);
        g.Albedo = Mix(g.Albedo, rock, rockiness);
        g.Normal = n;
        g.Occlusion = Lerp(g.Occlusion, 1.0f, rockiness);
    }

    // The stream, between low banks of stones and wet earth, darkest at the
    // water's edge. Seen from far off and low down its water mirrors the
    // sky, the pale sky near the horizon more than the blue overhead, over
    // the dark of its bed; stones break its surface, and where it quickens
    // towards the lip it runs white over them in riffles.
    float fromLip = 0.0f;
    const float stream = StreamWater(x, y), bank = StreamBank(x, y, fromLip);
    if (bank > 0.0f || stream > 0.0f) {
        const TCellNoise stone = CellNoise(x / 0.55f, y / 0.5f, seeds::StreamStones);
        const float gap = SmoothRange(0.03f, 0.2f, stone.Second - stone.Nearest);
        const float round = Clamp01(0.6f + 1.1f * (stone.Dx * sun.x + stone.Dy * sun.y) /
                                               std::sqrt(sun.x * sun.x + sun.y * sun.y));
        const TColour pebble = Scaled(
            Mix(Rgb(0.34f, 0.32f, 0.29f), Rgb(0.62f, 0.59f, 0.53f), 0.5f + 0.45f * stone.Value),
            1.0f + detail * ((0.8f + 0.3f * round) * (0.65f + 0.35f * gap) - 1.0f) - 0.1f * (1.0f - detail));
        const float stony =
            bank * SmoothRange(-0.35f, 0.15f,
                               Fbm(x / 2.0f, y / 2.0f, seeds::StreamStones + 1u, 2) + 0.5f * bank - 0.2f);
        g.Albedo = Mix(g.Albedo, pebble, stony);
        // Wet and dark where the water laps.
        g.Albedo = Mix(g.Albedo, Scaled(g.Albedo, 0.5f), SmoothRange(0.55f, 0.9f, bank));
        g.Turf *= 1.0f - stony;

        // Quickening towards the lip, and wherever its bed steepens.
        const float quick = Clamp01(SmoothRange(12.0f, 1.0f, fromLip) + SmoothRange(0.2f, 0.4f, 1.0f - n.z));
        const float flow = surface.Fbm(1.5f, seeds::StreamFoam, 3);
        const float sheen = Fbm(x / 4.0f, y / 4.0f, seeds::StreamSky, 2);
        const TColour sky = Mix(HazeColour(), ZenithColour(), Clamp01(0.3f + 0.4f * sheen));
        TColour water = Mix(Rgb(0.12f, 0.15f, 0.14f), Scaled(sky, 0.75f), Clamp01(0.45f + 0.25f * flow));
        // Stones just breaking the surface, each with a white lip where the
        // water piles against it, more of them where it runs quick.
        const TCellNoise boulder = CellNoise(x / 0.8f, y / 0.8f, seeds::StreamRiffles);
        const float size = 0.18f + 0.22f * (0.5f + 0.5f * boulder.Value);
        const float breaks =
            SmoothRange(0.8f - 0.4f * quick, 0.92f - 0.4f * quick, 0.5f + 0.5f * boulder.Value);
        const float onStone = breaks * SmoothRange(size, size * 0.7f, boulder.Nearest);
        const float wake = breaks * SmoothRange(size * 1.7f, size, boulder.Nearest) * (1.0f - onStone);
        const float white = 0.12f * SmoothRange(0.3f, 0.7f, flow) +
                            0.9f * quick * SmoothRange(-0.3f, 0.3f, flow) + 0.7f * wake;
        water = Mix(water, Rgb(0.86f, 0.89f, 0.90f), Clamp01(white));
        water = Mix(water, Scaled(pebble, 0.8f), onStone);
        g.Albedo = Mix(g.Albedo, water, stream);
        g.Normal = Normalised(g.Normal * (1.0f - stream) + V3(0, 0, 1) * stream);
        g.Occlusion = Lerp(g.Occlusion, 1.0f, stream);
    }

    // The shore, by how it lies. In the flat bays a broad band of dark mud
    // runs along the water, here and there a beach of sand and pebbles, and
    // at the water's foot pale shallows over silt where the ripples wash;
    // under a steep bank the turf comes down to the water with only a
    // narrow dark line where it is wet. Both come and go along the shore.
    const float flat = std::fabs(above) < 3.0f ? ShoreFlatness(x, y) : 0.0f;
    const float beach = flat * SmoothRange(-0.05f, 0.3f,
                                           Fbm(x / 22.0f, y / 22.0f, seeds::Beaches, 3) +
                                               0.25f * Fbm(x / 7.0f, y / 7.0f, seeds::BeachCoves, 2));
    const float reach = std::max(0.1f, 0.15f + beach * (0.4f + 3.4f * beach) +
                                           0.5f * surface.Fbm(5.0f, seeds::BeachReach, 3));
    const float sandy = beach * (1.0f - SmoothRange(reach * 0.6f, reach, above));
    const float pebbles =
        surface.Value(2.1f, seeds::Pebbles) + 0.6f * surface.Value(5.3f, seeds::FinePebbles);
    TColour sand = Mix(Rgb(0.60f, 0.55f, 0.44f), Rgb(0.50f, 0.48f, 0.43f),
                       SmoothRange(-0.2f, 0.4f, surface.Fbm(9.0f, seeds::Sand, 2)));
    sand = Scaled(sand, 0.82f + 0.22f * pebbles);
    g.Albedo = Mix(g.Albedo, sand, sandy * (1.0f - 0.6f * rockiness));
    // Mud where the shore lies flat: broad in the bays, its upper edge
    // ragged where the turf breaks into it in tufts, darker in hollows; a
    // strip of it even under the steeper banks, where it comes and goes.
    const float mudReach =
        (0.15f + 0.25f * SmoothRange(-0.2f, 0.3f, Fbm(x / 6.0f, y / 6.0f, seeds::ShoreSilt + 7u, 2))) *
            (1.0f - flat) +
        flat * (0.4f + 1.1f * SmoothRange(-0.3f, 0.4f, surface.Fbm(6.0f, seeds::ShoreMud, 3)));
    const float tufts = (0.15f + 0.2f * flat) * surface.Fbm(1.2f, seeds::ShoreTufts, 2);
    const float mud = (1.0f - beach) *
                      (1.0f - SmoothRange(mudReach * 0.4f, mudReach + 0.05f, above + tufts)) *
                      (1.0f - 0.7f * rockiness);
    const float mudTone = surface.Value(1.9f, seeds::MudTone);
    TColour mudColour =
        Mix(Rgb(0.31f, 0.26f, 0.19f), Rgb(0.19f, 0.17f, 0.13f), Clamp01(0.5f + 0.5f * mudTone));
    // Pebbles strewn in it, thicker toward the water, and pale silt the
    // ripples left in drifts along its lower edge.
    const float strewn = SmoothRange(0.55f, 0.75f, pebbles + 0.3f * SmoothRange(mudReach, 0.0f, above));
    mudColour =
        Mix(mudColour, Scaled(Rgb(0.50f, 0.48f, 0.43f), 0.75f + 0.35f * pebbles), 0.8f * detail * strewn);
    const float silt = SmoothRange(0.1f, 0.35f, Fbm(x / 3.0f, y / 3.0f, seeds::ShoreSilt, 3)) *
                       SmoothRange(0.25f + 0.3f * flat, 0.02f, above);
    mudColour = Mix(mudColour, Rgb(0.43f, 0.41f, 0.35f), 0.6f * silt);
    g.Albedo = Mix(g.Albedo, mudColour, mud);
    // The wet band: the ground darkened where the ripples wash, narrow under
    // a steep bank, broad where the shore is low and flat; along the shore
    // it swells and narrows, deepens and fades; its upper edge ragged.
    const float swell = Clamp01(0.5f + 1.4f * Fbm(x / 9.0f, y / 9.0f, seeds::WetSwell, 3));
    const float wetReach = (0.45f + 0.8f * flat * flat + 0.9f * beach) * (0.45f + 1.3f * swell);
    const float wetEdge = 0.3f * wetReach * surface.Fbm(2.0f, seeds::WetEdge, 3);
    const float wet = (1.0f - SmoothRange(0.25f * wetReach + wetEdge, wetReach + wetEdge, above)) *
                      SmoothRange(-0.2f, 0.3f, swell + 0.3f * flat);
    // Where the grass thins in it, wet earth shows through.
    g.Albedo =
        Mix(g.Albedo, Mix(Scaled(g.Albedo, 0.65f - 0.2f * swell), Scaled(mudColour, 0.9f), 0.45f), wet);
    // Above it the grass grows damp: darker and lusher, in ragged tongues
    // reaching up the hollows, farthest on the flats.
    const float dampReach = std::min(2.5f, 0.4f + 1.2f * wetReach + 0.5f * flat);
    const float dampEdge = 0.35f * dampReach * Fbm(x / 4.0f, y / 4.0f, seeds::DampGrass, 3);
    const float damp = (1.0f - SmoothRange(0.3f * dampReach, dampReach, above + dampEdge)) *
                       (1.0f - std::max(mud, wet)) * (1.0f - rockiness);
    g.Albedo = Mix(g.Albedo, Rgb(g.Albedo.r * 0.55f, g.Albedo.g * 0.72f, g.Albedo.b * 0.5f), damp);
    // Pale shallows at the water's foot where the shore is flat: silt and
    // sand the ripples wash over, seen where a trough lays them bare, and
    // going deeper the bed darkens; under a steep bank it drops away dark.
    const TColour shallows = Mix(Scaled(sand, 0.85f), Rgb(0.42f, 0.47f, 0.42f), 0.4f);
    const float washed =
        SmoothRange(0.12f + 0.1f * flat, -0.05f, above) * SmoothRange(-1.2f - flat, -0.2f, above);
    g.Albedo = Mix(g.Albedo, shallows, 0.85f * flat * washed);
    if (above < 0.0f)
        g.Albedo = Mix(g.Albedo, Rgb(0.14f, 0.17f, 0.15f),
                       SmoothRange(0.2f + 1.2f * flat, 0.8f + 1.8f * flat, -above));
    // Under the long grass hanging from a steep bank's lip, a dark line of
    // its shade along the water's edge, ragged where the blades hang lower
    // or higher.
    const float overhang =
        std::fabs(above) < 1.0f ? BankOverhang(Atan2(y - LakeCentreY, x - LakeCentreX)) : 0.0f;
    const float hanging = 0.5f + 0.3f * surface.Fbm(3.0f, seeds::BankShade, 2);
    const float shade =
        overhang * SmoothRange(hanging, 0.5f * hanging, above) * SmoothRange(-0.6f, -0.15f, above);
    g.Albedo = Scaled(g.Albedo, 1.0f - 0.7f * shade);
    g.Turf *= (1.0f - wood) * (1.0f - rockiness) * (1.0f - stream) * (1.0f - sandy) * (1.0f - wet) *
              (1.0f - mud) * (1.0f - shade);
    return g;
}

} // namespace

TVec3 ShadowCentre(const TShadowCaster& caster) {
    // Down the sun's ray from the crown's middle to where it meets the
    // ground: short where the ground rises away from the tree, long where it
    // falls, never painted up a slope it would not reach.
    const TVec3 sun = SunDirection();
    const TVec3 crown = caster.Base + V3(0.0f, 0.0f, caster.CrownHeight);
    auto above = [&](float s) {
        const TVec3 p = crown - sun * s;
        return p.z - TerrainHeight(p.x, p.y);
    };
    // The ground lies nowhere deeper than the lake's bed, some 8 units
    // under the water: the ray meets it before it sinks below that.
    const float step = 0.5f;
    float lo = 0.0f, hi = step;
    while (above(hi) > 0.0f && crown.z - sun.z * hi > WaterLevel - 10.0f) {
        lo = hi;
        hi += step;
    }
    for (int it = 0; it < 8; ++it) {
        const float mid = 0.5f * (lo + hi);
        (above(mid) > 0.0f ? lo : hi) = mid;
    }
    return crown - sun * hi;
}

namespace {

// The light on the ground at one point, from its cover, its surface and the
// sun's share there.
// Share of sunlight the clouds leave on the far hills: broad soft patches of
// shade where the cloud layer, some 300 units up, lies between the ground and
// the sun. Nearer, where the cut-out trees stand (their texture cannot be
// shaded tree by tree), the sun is left unbroken.
float CloudShade(TVec3 p, float distance) {
    const float fade = SmoothRange(340.0f, 440.0f, distance);
    if (fade <= 0.0f) return 1.0f;
    const TVec3 sun = SunDirection();
    const float up = (300.0f - p.z) / sun.z;
    const float cover = SmoothRange(
        0.08f, 0.4f, Fbm((p.x + sun.x * up) / 160.0f, (p.y + sun.y * up) / 160.0f, seeds::CloudShade, 4));
    return 1.0f - 0.7f * cover * fade;
}

// The bed seen through the water: going deeper it fades into what the
// water shows where the bed lies too deep to be drawn (the sheen far off,
// the dark near).
TColour UnderWater(const TColour& bed, TVec3 p) {
    if (p.z >= WaterLevel) return bed;
    return Mix(bed, LakeSheenColour(p.x, p.y), SmoothRange(0.2f, 0.8f * HiddenBedDepth, WaterLevel - p.z));
}

TColour LitGround(const TGround& g, float sunShare, TVec3 p) {
    const float distance = Length(p - CameraEye());
    const TColour c =
        Lit(g.Albedo, Illumination(g.Normal, 1.1f * sunShare * CloudShade(p, distance), g.Occlusion));
    return UnderWater(Mix(c, HazeColour(), HazeAmount(distance)), p);
}

} // namespace

TPicture BakeTerrainTexture(const TTerrainGrid& grid, const TArea& area, int width, int height,
                            const std::vector<TShadowCaster>& casters) {
    const THeightMap heights = MakeHeightMap(area, width, height);
    const THalfMap sunlight = SunlightMap(heights);
    const std::vector<float> crowns = CrownShadowMap(heights, casters);
    const float footprint = std::max(heights.StepX, heights.StepY);
    TPicture picture(width, height, 3);
    ParallelRows(height, [&](int j) {
        for (int i = 0; i < width; ++i) {
            const float x = heights.X0 + heights.StepX * float(i), y = heights.Y0 + heights.StepY * float(j);
            const float h = heights.At(i, j);
            const float hx = heights.At(i + 1, j) - heights.At(i - 1, j);
            const float hy = heights.At(i, j + 1) - heights.At(i, j - 1);
            const TVec3 n = Normalised(V3(-hx / (2.0f * heights.StepX), -hy / (2.0f * heights.StepY), 1.0f));
            const TGround g =
                GroundAt(x, y, h, grid.MeshHeight(x, y), n, ReliefAt(heights, float(i), float(j)), footprint);
            const float share = SampleHalf(sunlight, float(i), float(j)) *
                                crowns[std::size_t(j) * std::size_t(width) + std::size_t(i)];
            picture.Set(i, j, LitGround(g, share, V3(x, y, h)));
        }
    });
    return picture;
}

void PaintGround(const TArea& area, float step, const std::vector<TShadowCaster>& casters,
                 std::vector<TGroundSample>& samples) {
    const int width = int(std::ceil((area.X1 - area.X0) / step)) + 1;
    const int height = int(std::ceil((area.Y1 - area.Y0) / step)) + 1;
    const THeightMap heights = MakeHeightMap(area, width, height);
    const THalfMap sunlight = SunlightMap(heights);
    const std::vector<float> crowns = CrownShadowMap(heights, casters);
    const int rows = int(samples.size() + 255) / 256;
    ParallelRows(rows, [&](int row) {
        const std::size_t end = std::min(samples.size(), std::size_t(row + 1) * 256);
        for (std::size_t k = std::size_t(row) * 256; k < end; ++k) {
            TGroundSample& s = samples[k];
            const float x = s.Point.x, y = s.Point.y;
            const float d = std::max(0.08f, 0.5f * s.Footprint);
            const TVec3 n = Normalised(V3(TerrainHeight(x - d, y) - TerrainHeight(x + d, y),
                                          TerrainHeight(x, y - d) - TerrainHeight(x, y + d), 2.0f * d));
            const float fi = (x - heights.X0) / heights.StepX, fj = (y - heights.Y0) / heights.StepY;
            const TGround g =
                GroundAt(x, y, TerrainHeight(x, y), s.Point.z, n, ReliefAt(heights, fi, fj), s.Footprint);
            const float share = SampleHalf(sunlight, fi, fj) * SampleGrid(crowns, width, height, fi, fj);
            s.Colour = LitGround(g, share, s.Point);
            s.Turf = g.Turf;
        }
    });
}

} // namespace scenegen
