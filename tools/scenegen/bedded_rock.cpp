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

TColour FallenStone(float x, float y, TVec3 n, float detail) {
    // Coordinates bent a little, so the stones are of uneven shape and
    // size rather than laid like cobbles.
    const float bendX = 0.35f * ValueNoise(x * 2.1f, y * 2.1f, seeds::RockBeds + 13u);
    const float bendY = 0.35f * ValueNoise(x * 2.1f, y * 2.1f, seeds::RockBeds + 14u);
    const TCellNoise stone = CellNoise(x / 0.45f + bendX, y / 0.4f + bendY, seeds::RockBeds + 15u);
    const float gap = SmoothRange(0.02f, 0.18f, stone.Second - stone.Nearest);
    // Each stone rounded towards the sun, seen from above.
    const TVec3 sun = SunDirection();
    const float across = std::sqrt(sun.x * sun.x + sun.y * sun.y);
    const float round = Clamp01(0.6f + 1.1f * (stone.Dx * sun.x + stone.Dy * sun.y) / across);
    TColour c = Mix(Rgb(0.33f, 0.31f, 0.29f), Rgb(0.58f, 0.55f, 0.49f), 0.5f + 0.45f * stone.Value);
    c = Scaled(c, 1.0f + detail * ((0.8f + 0.3f * round) * (0.7f + 0.3f * gap) - 1.0f) -
                      0.12f * (1.0f - detail));
    // Turf and moss creep in between the stones where the fan lies flatter.
    const float creep = SmoothRange(0.8f, 0.95f, n.z) *
                        SmoothRange(-0.2f, 0.3f, Fbm(x / 1.6f, y / 1.6f, seeds::RockBeds + 16u, 3));
    return Mix(c, Rgb(0.28f, 0.33f, 0.16f), 0.7f * creep);
}

} // namespace scenegen
