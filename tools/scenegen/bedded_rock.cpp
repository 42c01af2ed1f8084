#include "tools/scenegen/bedded_rock.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/lighting.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"

namespace scenegen {

TColour BeddedRock(float x, float y, float h, TVec3 n, float detail) {
    // Along the face: the faces look south, over the lake, or a little to
    // either side.
    const float across = x + 0.3f * y;
    // 1 where the rock stands as a face, 0 where it lies back as a slope.
    const float sheer = SmoothRange(0.55f, 0.3f, n.z);
    // The rock has broken along joints running down it into blocks of
    // uneven width, and each block has slipped a little up or down against
    // its neighbours: no bed runs on across a joint.
    const float blockAt = across / 3.2f + 0.45f * ValueNoise(across / 4.5f, 0.5f, seeds::RockBlocks) +
                          0.05f * h + 0.12f * ValueNoise(h / 2.0f, across / 6.0f, seeds::RockBlocks + 1u);
    const int block = int(std::floor(blockAt));
    const float within = blockAt - float(block);
    const float slip = 1.4f * LatticeValue(block, 1, seeds::RockThrow);
    const float level = h + slip + 2.0f * Fbm(across / 30.0f, 1.5f, seeds::RockBeds, 3) +
                        0.45f * Fbm(across / 8.0f, 4.5f, seeds::RockBeds, 2) +
                        0.3f * Fbm(across / 2.2f, 7.5f, seeds::RockBeds, 2) + 0.04f * across;
    // Thick beds and thin ones: the height warped, never folding back, and
    // warped again along the face, so each bed swells and pinches out
    // along its length rather than keeping its thickness. Where the rock
    // lies back the beds show broader, as they would cut at a slant.
    const float swell = 0.7f * ValueNoise(across / 5.0f, level / 2.2f, seeds::RockSwell);
    const float bedAt = (level + swell + 0.8f * ValueNoise(level / 3.0f, 0.5f, seeds::RockBeds + 10u)) /
                        Lerp(4.2f, 2.4f, sheer);
    const int bed = int(std::floor(bedAt));
    const float in = bedAt - float(bed); // 0 at a bed's foot, 1 at its top
    // Each bed its own tone, and each block of it a little different.
    const float tone = Lerp(0.55f, 1.0f, sheer) * LatticeValue(bed, 3, seeds::RockBeds + 1u) +
                       0.35f * LatticeValue(block, bed, seeds::RockBlocks + 2u);
    TColour c =
        Mix(Rgb(0.31f, 0.29f, 0.26f), Rgb(0.61f, 0.56f, 0.47f),
            Clamp01(0.5f + 0.45f * tone + 0.5f * Fbm(across / 7.0f, h / 4.0f, seeds::RockBeds + 2u, 3)));
    c = Mix(c, Rgb(0.46f, 0.38f, 0.29f),
            0.3f * SmoothRange(0.3f, 0.7f, Fbm(across / 9.0f, h / 6.0f, seeds::RockBeds + 3u, 2)));
    const float fine = std::max(detail, 0.35f);
    // The seam under each bed comes and goes: where the bed pinches out
    // the seam above and below it close up. Where the rock lies back most
    // seams are weathered over, block by block.
    const float seam =
        SmoothRange(0.16f, 0.0f, in) * (0.5f + 0.5f * SmoothRange(-0.3f, 0.3f, tone)) *
        SmoothRange(-0.4f, 0.3f, ValueNoise(across / 6.0f, float(bed) * 1.3f, seeds::RockBeds + 9u)) *
        SmoothRange(-0.3f, 0.35f, ValueNoise(across / 3.0f, float(bed) * 2.1f, seeds::RockSwell + 1u)) *
        Lerp(SmoothRange(0.0f, 0.3f, LatticeValue(block, bed, seeds::RockThrow + 1u)), 1.0f, sheer);
    // The harder beds stand out over the one below: a band of shadow under
    // each, deepest under the most jutting.
    const float hardAbove = LatticeValue(bed + 1, 3, seeds::RockBeds + 1u);
    const float overhang = SmoothRange(0.65f - 0.2f * SmoothRange(0.0f, 0.8f, hardAbove), 1.0f, in) *
                           SmoothRange(-0.2f, 0.5f, hardAbove) * Lerp(0.5f, 1.0f, sheer);
    const float jointLine =
        1.0f - std::fabs(ValueNoise(across / 2.6f + 0.4f * in, float(bed) * 3.7f, seeds::RockBeds + 4u));
    const float joint =
        SmoothRange(0.95f, 0.99f, jointLine) *
        SmoothRange(0.15f, 0.5f, ValueNoise(across / 4.0f, float(bed) * 2.9f, seeds::RockBeds + 5u));
    // The joints between the blocks: open, dark cracks, each block's edge
    // towards the sun catching it and its far side turned into shade.
    const TVec3 sun = SunDirection();
    const float sunAcross = (sun.x + 0.3f * sun.y) / std::sqrt(1.09f), sunUp = sun.z;
    const float toShade = sunAcross < 0.0f ? within : 1.0f - within;
    const float crack = SmoothRange(0.09f, 0.03f, std::min(within, 1.0f - within)) *
                        SmoothRange(-0.3f, 0.2f, LatticeValue(block, 4, seeds::RockBlocks + 3u));
    const float shadedSide =
        SmoothRange(0.6f, 0.94f, toShade) *
        (0.5f + 0.5f * SmoothRange(-0.5f, 0.5f, LatticeValue(block, 5, seeds::RockBlocks + 3u)));
    const float litEdge = SmoothRange(0.12f, 0.03f, 1.0f - toShade);
    const float facet = 0.12f * LatticeValue(block, bed, seeds::RockBlocks + 4u);
    const float source =
        SmoothRange(0.3f, 0.8f, ValueNoise(across * 0.5f, float(bed) * 3.1f, seeds::RockBeds + 6u));
    const float stain = source * SmoothRange(0.1f - 0.8f * (0.5f + 0.5f * tone), 0.9f, in);
    // Wet streaks under the seeps: where water comes out of a seam it runs
    // down the face in a narrow dark trail, over several beds, fading as
    // it goes.
    const float lane = across / 1.4f + 0.2f * ValueNoise(h / 2.0f, across / 3.0f, seeds::RockSeeps);
    const int column = int(std::floor(lane));
    const float inLane = lane - float(column);
    const float seepTop = -9.0f + 18.0f * (0.5f + 0.5f * LatticeValue(column, 1, seeds::RockSeeps + 1u));
    const float seepLength = 2.5f + 6.0f * (0.5f + 0.5f * LatticeValue(column, 2, seeds::RockSeeps + 1u));
    const float seepWidth = 0.12f + 0.2f * (0.5f + 0.5f * LatticeValue(column, 3, seeds::RockSeeps + 1u));
    const float streak = SmoothRange(0.2f, 0.7f, LatticeValue(column, 4, seeds::RockSeeps + 1u)) *
                         SmoothRange(seepWidth, 0.5f * seepWidth, std::fabs(inLane - 0.5f)) *
                         SmoothRange(seepTop - seepLength, seepTop - 0.3f * seepLength, h) *
                         SmoothRange(seepTop + 0.3f, seepTop, h);
    // Knobs and hollows a unit or two across, lit from the sun's side.
    auto relief = [&](float a, float r) {
        return Fbm(a / 2.4f, r / 1.2f + float(bed) * 5.3f, seeds::RockBeds + 11u, 3) +
               1.2f * Fbm(a / 6.0f, 0.5f, seeds::RockBeds + 12u, 2);
    };
    const float e = 0.15f;
    const float bumps = ((relief(across + e, h) - relief(across - e, h)) * sunAcross +
                         (relief(across, h + e) - relief(across, h - e)) * sunUp) /
                        (2.0f * e);
    c = Scaled(c, (1.0f + 0.25f * std::clamp(bumps, -1.2f, 1.2f) * fine) * (1.0f + facet));
    c = Scaled(c,
               (1.0f - 0.7f * seam * fine - 0.45f * overhang - 0.45f * joint * fine - 0.6f * crack * fine -
                0.5f * shadedSide + 0.15f * litEdge * fine - 0.45f * stain) *
                   (0.92f +
                    0.16f * Fbm(across * 1.2f + h * 0.5f, h * 1.6f - across * 0.4f, seeds::RockBeds + 7u, 3) *
                        fine));
    c = Mix(c, Scaled(Rgb(0.16f, 0.17f, 0.15f), 0.9f + 0.3f * in), 0.6f * streak * sheer);
    // Moss holds on the ledges in cushions with sharp edges.
    const float tufts = Fbm(across / 0.9f, h / 0.7f, seeds::RockTufts, 3);
    const float ledgy = SmoothRange(0.5f, 0.75f, n.z);
    const float moss = ledgy *
                       SmoothRange(0.1f, 0.16f, Fbm(across / 3.0f, h / 2.0f, seeds::RockBeds + 8u, 3)) *
                       SmoothRange(0.05f, 0.1f, tufts);
    c = Mix(c, Scaled(Rgb(0.22f, 0.28f, 0.13f), 0.85f + 0.3f * tufts), 0.8f * moss);
    // Where the rock lies back, turf covers the top of each bed, back from
    // a ragged edge of its own in each block, and towards gentler ground
    // whole blocks lie under it: the rock breaks out of the turf in steps.
    // The turf's edge overhangs the rock below it in a thin dark line.
    const float lying = 1.0f - sheer;
    const float cut = 0.55f + 0.25f * LatticeValue(block, bed, seeds::RockLedgeTurf) +
                      0.15f * Fbm(across / 1.3f, h / 0.8f, seeds::RockLedgeTurf + 1u, 2) - 0.3f * lying;
    const float gentle = 0.6f * SmoothRange(0.3f, 0.5f, n.z);
    const float buried =
        SmoothRange(-0.02f, 0.02f,
                    0.9f * gentle + 0.08f * Fbm(across / 1.1f, h / 1.1f, seeds::RockLedgeTurf + 3u, 2) -
                        (0.5f + 0.5f * LatticeValue(block, bed + 7, seeds::RockLedgeTurf + 2u)));
    const float ledged = SmoothRange(0.15f, 0.2f, LatticeValue(block, bed + 3, seeds::RockLedgeTurf + 5u));
    const float turf = std::max(lying * ledged * SmoothRange(cut, cut + 0.03f, in), buried);
    const float lip = lying * ledged * SmoothRange(cut - 0.1f, cut - 0.01f, in) * (1.0f - turf);
    c = Scaled(c, 1.0f - 0.4f * lip * fine);
    // The turf in tufts of greener and straw-coloured grass, fine-grained
    // as the meadow's.
    const float tuft = Fbm(across / 0.6f, h / 0.5f, seeds::RockLedgeTurf + 4u, 2);
    const float blades = ValueNoise(across / 0.22f, h / 0.18f, seeds::RockLedgeTurf + 6u);
    const TColour sward =
        Scaled(Mix(Rgb(0.36f, 0.42f, 0.18f), Rgb(0.56f, 0.53f, 0.28f), Clamp01(0.5f + tuft)),
               0.85f + 0.3f * tuft + 0.18f * blades * fine);
    return Mix(c, sward, SmoothRange(0.2f, 0.8f, turf));
}

namespace {

// Round stones scattered over cells `size` units across, one in each cell
// picked by `share` (0..1), of radius rMin..rMax of a cell, lit from the
// sun's side, each throwing a short shadow on the ground away from it.
struct TStones {
    float Cover = 0.0f, Shadow = 0.0f, Round = 0.0f, Tone = 0.0f;
};

TStones StonesAt(float x, float y, TVec3 n, float size, float share, float rMin, float rMax,
                 std::uint32_t seed) {
    TStones out;
    const TVec3 sun = SunDirection();
    const float run = std::sqrt(sun.x * sun.x + sun.y * sun.y);
    // On a slope a stone lies along the ground, settled flat into it: seen
    // from above it is foreshortened down the slope, and longer across it
    // than down it.
    const float fall = std::sqrt(n.x * n.x + n.y * n.y);
    const float downX = fall > 1e-4f ? n.x / fall : 1.0f, downY = fall > 1e-4f ? n.y / fall : 0.0f;
    const float squash = 2.0f / std::max(n.z, 0.3f);
    // How far inside a stone an offset (dx, dy) from its cell's point lies,
    // as a share of the stone's size: blocky, with rounded corners.
    auto inside = [&](const TCellNoise& cell, float dx, float dy, float& radius) {
        const float pick = 0.5f + 0.5f * cell.Value;
        const float own = pick * 7.31f - std::floor(pick * 7.31f);
        radius = Lerp(rMin, rMax, own * own);
        const float along = (dx * downX + dy * downY) * squash, across = dx * -downY + dy * downX;
        const float turn = 6.2831853f * (pick * 3.7f - std::floor(pick * 3.7f));
        const float c = Cos(turn), s = Sin(turn);
        const float u = std::fabs(along * c - across * s), v = std::fabs(along * s + across * c);
        const float blocky = Lerp(Hypot(u, v), std::max(u, v * 1.3f), 0.6f);
        return SmoothRange(1.0f - share - 0.02f, 1.0f - share + 0.02f, pick) *
               SmoothRange(radius, 0.85f * radius, blocky);
    };
    const TCellNoise cell = CellNoise(x / size, y / size, seed);
    float radius = 0.0f;
    out.Cover = inside(cell, cell.Dx, cell.Dy, radius);
    out.Round = Clamp01(0.55f + 1.1f * (cell.Dx * sun.x + cell.Dy * sun.y) / (run * radius));
    out.Tone = cell.Value;
    // Towards the sun from here: inside a stone, this ground lies in its
    // shadow.
    const float reach = 0.8f * rMax;
    const TCellNoise toward = CellNoise(x / size + reach * sun.x / run, y / size + reach * sun.y / run, seed);
    float other = 0.0f;
    out.Shadow = inside(toward, toward.Dx, toward.Dy, other) * (1.0f - out.Cover);
    return out;
}

TColour StoneColour(const TStones& s, float lit, float detail) {
    const TColour c = Mix(Rgb(0.25f, 0.24f, 0.22f), Rgb(0.46f, 0.44f, 0.40f), 0.5f + 0.4f * s.Tone);
    return Scaled(c, 1.0f + detail * ((0.75f + 0.4f * s.Round) * lit - 1.0f));
}

} // namespace

TRockBreak BrokenLedges(float x, float y, float h, TVec3 n, float want, float detail) {
    TRockBreak out{0.0f, Rgb(0.0f, 0.0f, 0.0f), n, 1.0f};
    if (want <= 0.0f) return out;
    const float fine = std::max(detail, 0.35f);
    const TVec3 sun = SunDirection();
    const float sunRun = std::sqrt(sun.x * sun.x + sun.y * sun.y);
    // Down the slope.
    const float fall = std::sqrt(n.x * n.x + n.y * n.y);
    const float downX = fall > 1e-4f ? n.x / fall : 0.0f, downY = fall > 1e-4f ? n.y / fall : 0.0f;
    // The beds of the escarpment run on under the hills: nearly level lines
    // some three units of height apart, wandering only a little,
    // so the rock breaks out along the slope's contours.
    const float level = (h + 0.7f * Fbm(x / 30.0f, y / 30.0f, seeds::OutcropBeds, 2) +
                         0.1f * ValueNoise(x / 3.0f, y / 3.0f, seeds::OutcropBeds + 1u)) /
                        3.0f;
    const int bed = int(std::floor(level));
    const float in = level - float(bed); // 0 at a bed's foot, 1 at its top
    // Only the harder beds stand out of the turf, and each of them only in
    // runs of rock of varied length with turf between; more and longer
    // where the rock holds more of the slope.
    const float hard = 0.5f + 0.5f * LatticeValue(bed, 3, seeds::OutcropBeds + 2u);
    const float run = Fbm(x / 11.0f + 3.7f * float(bed), y / 11.0f, seeds::OutcropRuns, 2) +
                      0.25f * ValueNoise(x / 2.2f, y / 2.2f + 1.9f * float(bed), seeds::OutcropRuns + 1u);
    const float threshold = 0.5f - 0.6f * want - 0.5f * hard;
    const float shows = SmoothRange(threshold - 0.02f, threshold + 0.02f, run);
    // Thickest in a run's middle, thinning to where it sinks under the turf.
    const float body = SmoothRange(threshold, threshold + 0.3f, run);
    const float tall = (0.5f + 0.3f * want) * (0.6f + 0.5f * hard) * (0.55f + 0.45f * body);
    // Its lower edge buried, banked up with turf in places; the turf laps
    // over its top in a ragged edge.
    const float banked =
        tall * (0.35f * SmoothRange(-0.3f, 0.4f, Fbm(x / 1.3f, y / 1.3f, seeds::LedgeTufts + 3u, 2)) +
                0.1f * std::max(0.0f, ValueNoise(x / 0.25f, y / 0.25f, seeds::LedgeTufts + 5u)));
    const float creep =
        0.02f + tall * (0.08f + 0.22f * (0.5f + 0.5f * Fbm(x / 0.6f, y / 0.6f, seeds::LedgeTufts, 2)) +
                        0.12f * std::max(0.0f, ValueNoise(x / 0.2f, y / 0.2f, seeds::LedgeTufts + 4u)));
    // Towards a run's ends the bed sinks under the turf: its top falls away
    // and the turf closes over it.
    const float foot = 1.0f - tall + banked + 0.2f * tall * (1.0f - body);
    const float top = 1.0f - creep - 0.35f * tall * (1.0f - body);
    const float rock =
        shows * SmoothRange(foot - 0.015f, foot + 0.015f, in) * SmoothRange(top + 0.015f, top - 0.015f, in);
    // Up the outcrop from its foot: a shaded underside where the bed sits
    // out over the one below, its face, and its weathered top catching the
    // sun before the turf closes over it.
    const float t = Clamp01((in - (1.0f - tall)) / std::max(tall, 1e-3f));
    const float under = SmoothRange(0.32f, 0.08f, t) * body;
    const float cap = SmoothRange(0.62f, 0.8f, t);
    // In the face's own colours: each bed its own tone, each stretch of it
    // a little different, streaked with the finer layers of the bed.
    const float tone = LatticeValue(bed, 3, seeds::RockBeds + 1u);
    TColour stone =
        Mix(Rgb(0.31f, 0.29f, 0.26f), Rgb(0.61f, 0.56f, 0.47f),
            Clamp01(0.5f + 0.4f * tone + 0.45f * Fbm(x / 4.0f, y / 4.0f, seeds::OutcropBeds + 3u, 3)));
    stone = Mix(stone, Rgb(0.46f, 0.38f, 0.29f),
                0.2f + 0.3f * SmoothRange(0.2f, 0.6f, Fbm(x / 7.0f, y / 7.0f, seeds::RockBeds + 3u, 2)));
    const float layers =
        std::fabs(ValueNoise(t * 3.0f + 0.3f * Fbm(x / 2.0f, y / 2.0f, seeds::OutcropBeds + 4u, 2),
                             float(bed) * 2.3f, seeds::OutcropBeds + 5u));
    // Joints across the bed, open here and there into dark cracks.
    const TCellNoise block = CellNoise(x / 2.6f, y / 2.6f + float(bed) * 4.1f, seeds::OutcropJoints);
    const float joint =
        SmoothRange(0.08f, 0.02f, block.Second - block.Nearest) * SmoothRange(-0.2f, 0.3f, block.Value);
    stone = Scaled(stone, (1.0f + 0.1f * block.Value) *
                              (1.0f - 0.15f * SmoothRange(0.15f, 0.0f, layers) * fine - 0.5f * joint * fine));
    // Lichen and weathering pale the top; moss holds under the turf's lip.
    stone = Mix(stone, Rgb(0.66f, 0.64f, 0.56f),
                0.35f * cap * SmoothRange(-0.1f, 0.3f, Fbm(x / 0.9f, y / 0.9f, seeds::LedgeTufts + 2u, 2)));
    stone = Mix(stone, Rgb(0.25f, 0.3f, 0.15f), 0.5f * SmoothRange(top - 0.06f, top - 0.01f, in) * fine);
    stone = Scaled(stone, (0.88f + 0.22f * cap) * (1.0f - 0.6f * under * fine));
    // The face stands steeper than the slope, turned down it; the top lies
    // back towards level.
    const TVec3 face = Normalised(V3(downX, downY, 0.55f));
    const TVec3 tread = Normalised(n + V3(0.0f, 0.0f, 1.0f));
    const TVec3 surface = Normalised(face * (1.0f - cap) + tread * cap);
    // The shade under the outcrop falls on the turf below it, longer where
    // the sun shines from up the slope.
    const float fromAbove = -(downX * sun.x + downY * sun.y) / sunRun;
    const float reach = tall * (0.25f + 0.45f * Clamp01(0.3f + fromAbove)) *
                        (0.8f + 0.4f * Fbm(x / 0.8f, y / 0.8f, seeds::LedgeTufts + 1u, 2));
    const float shade = shows * body * SmoothRange(foot - reach - 0.015f, foot - reach + 0.015f, in) *
                        SmoothRange(foot + 0.01f, foot - 0.01f, in);
    out.Cover = Lerp(0.2f * want, rock, detail);
    out.Colour = detail < 1.0f ? Mix(Scaled(stone, 0.85f), stone, detail) : stone;
    out.Normal = Normalised(n * (1.0f - rock * detail) + surface * (rock * detail));
    out.Sun = 1.0f - Lerp(0.12f * want, std::max(0.8f * shade, 0.6f * under * rock), detail);
    return out;
}

TRockBreak Scree(float x, float y, TVec3 n, float cover, float detail) {
    TRockBreak out{0.0f, Rgb(0.0f, 0.0f, 0.0f), n, 1.0f};
    if (cover <= 0.0f) return out;
    // Blocks a unit or so across, a few where the scree thins out; a close
    // litter of small stones between them where it lies thick.
    // Where it thins out, the blocks lie in clusters with bare turf between.
    const float clump =
        SmoothRange(-0.15f, 0.25f, Fbm(x / 6.0f, y / 6.0f, seeds::StoneClusters, 2) + 0.6f * cover - 0.1f);
    const TStones blocks = StonesAt(x, y, n, 2.0f, Clamp01((0.08f + 0.45f * cover) * (0.25f + 1.4f * clump)),
                                    0.12f, 0.36f, seeds::ScreeBlocks);
    const float bendX = 0.3f * ValueNoise(x * 2.1f, y * 2.1f, seeds::ScreeStones + 1u);
    const TStones stones =
        StonesAt(x + bendX, y, n, 0.45f, Clamp01(1.2f * cover - 0.1f), 0.3f, 0.46f, seeds::ScreeStones);
    const float block = blocks.Cover, stone = stones.Cover * (1.0f - block);
    // Where it lies thick, dark grit fills the gaps between the stones,
    // not turf.
    const float grit = SmoothRange(0.55f, 0.9f, cover);
    const float crisp = std::max({block, stone, grit});
    out.Cover = Lerp(0.2f * cover + 0.5f * cover * cover, crisp, detail);
    const TColour blockColour =
        Mix(StoneColour(blocks, 1.0f, detail), Rgb(0.4f, 0.43f, 0.34f),
            0.2f * SmoothRange(0.1f, 0.4f, Fbm(x / 0.7f, y / 0.7f, seeds::ScreeBlocks + 3u, 2)));
    const TColour gap = Scaled(Rgb(0.22f, 0.2f, 0.17f), 0.85f + 0.3f * stones.Tone * stones.Tone);
    out.Colour = block > stone ? blockColour
                               : Mix(gap, Scaled(StoneColour(stones, 1.0f, detail), 0.95f),
                                     stone / std::max(stone, grit + 1e-4f));
    if (detail < 1.0f)
        out.Colour = Mix(Scaled(Mix(blockColour, out.Colour, 0.5f), 0.85f), out.Colour, detail);
    out.Sun = 1.0f - detail * 0.8f * std::max(blocks.Shadow, 0.7f * stones.Shadow);
    return out;
}

} // namespace scenegen
