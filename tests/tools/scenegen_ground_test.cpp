// The ground's painting as the generator does it, at points of the land
// round the lake: rock shows where the land rises steeply, not on gentle
// ground, bare earth lies in small worn scraps, not broad patches, trees
// cast their shadows onto the ground as it lies, and the bedded rock breaks
// at its joints and holds turf on its ledges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/scenegen/bedded_rock.h"
#include "tools/scenegen/shore.h"
#include "tools/scenegen/terrain.h"
#include "tools/scenegen/lighting.h"
#include "tools/scenegen/world.h"

using namespace scenegen;

namespace {

// How steeply the land rises across ten units round (x, y), as a gradient:
// a low bank or a bump in a meadow stays gentle, a rock face does not.
float BroadRise(float x, float y) {
    const float r = 5.0f;
    return std::hypot(TerrainHeight(x + r, y) - TerrainHeight(x - r, y),
                      TerrainHeight(x, y + r) - TerrainHeight(x, y - r)) /
           (2.0f * r);
}

// Open ground away from woods, the stream, the shore's flats and the stones
// fallen from the escarpment, whose painting has causes of its own.
bool OpenGround(float x, float y) {
    float fromLip = 0.0f;
    const float h = TerrainHeight(x, y);
    return h > WaterLevel + 0.6f && WoodsDensity(x, y, h) <= 0.0f && StreamWater(x, y) <= 0.0f &&
           StreamBank(x, y, fromLip) <= 0.0f && ScarpTalus(x, y) <= 0.0f && ShoreFlatness(x, y) <= 0.0f;
}

// Paints the points of a grid `spacing` apart over the fine ground round
// the lake, each texel `footprint` wide, and returns them.
std::vector<TGroundSample> PaintGrid(const TArea& area, float spacing, float footprint) {
    std::vector<TGroundSample> samples;
    for (float y = area.Y0; y <= area.Y1; y += spacing)
        for (float x = area.X0; x <= area.X1; x += spacing)
            samples.push_back({V3(x, y, TerrainHeight(x, y)), footprint, {}, 0.0f});
    PaintGround(TArea{area.X0 - 10, area.Y0 - 10, area.X1 + 10, area.Y1 + 10}, 0.3f, {}, samples);
    return samples;
}

} // namespace

TEST(ScenegenGround, RockShowsWhereTheLandRisesSteeplyAndNotOnGentleGround) {
    // Texels a unit wide show rock by the share of it in their ground.
    const std::vector<TGroundSample> samples = PaintGrid(NearArea, 0.8f, 0.7f);
    double gentleTurf = 0, steepTurf = 0;
    int gentle = 0, steep = 0, rockyGentle = 0;
    for (const TGroundSample& s : samples) {
        if (!OpenGround(s.Point.x, s.Point.y)) continue;
        const float rise = BroadRise(s.Point.x, s.Point.y);
        if (rise < 0.6f) {
            ++gentle;
            gentleTurf += s.Turf;
            rockyGentle += s.Turf < 0.6f ? 1 : 0;
        } else if (rise > 1.3f) {
            ++steep;
            steepTurf += s.Turf;
        }
    }
    ASSERT_GT(gentle, 5000);
    ASSERT_GT(steep, 50);
    EXPECT_LT(double(rockyGentle) / gentle, 0.001) << rockyGentle << " of " << gentle;
    EXPECT_GT(gentleTurf / gentle, 0.97);
    EXPECT_LT(steepTurf / steep, 0.5);
}

TEST(ScenegenGround, BareEarthLiesInSmallScrapsNotBroadPatches) {
    // Sharp texels over the open meadows: a run of bare earth along a row
    // is at most a couple of units long, but there is some.
    const float spacing = 0.25f;
    const TArea area{-60.0f, 130.0f, 110.0f, 300.0f};
    const std::vector<TGroundSample> samples = PaintGrid(area, spacing, 0.1f);
    const int across = int(std::lround((area.X1 - area.X0) / spacing)) + 1;
    int open = 0, bare = 0, run = 0, longest = 0;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        if (k % std::size_t(across) == 0) run = 0;
        const TGroundSample& s = samples[k];
        const bool meadow = OpenGround(s.Point.x, s.Point.y) && BroadRise(s.Point.x, s.Point.y) < 0.6f;
        const bool earth = meadow && s.Turf < 0.4f && s.Colour.r > 1.12f * s.Colour.g; // brown, not grey rock
        open += meadow ? 1 : 0;
        bare += earth ? 1 : 0;
        run = earth ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    ASSERT_GT(open, 50000);
    EXPECT_GT(bare, open / 1000) << bare << " of " << open;
    EXPECT_LE(float(longest) * spacing, 2.5f);
}

TEST(ScenegenGround, ACrownsShadowFallsWhereTheSunsRayMeetsTheGround) {
    // Trees standing on slopes every way round the lake: the middle of each
    // crown's shadow lies on the ground, straight down the sun's ray from
    // the crown, so that on a slope it is neither painted up the hill nor
    // stretched across it.
    const TVec3 sun = SunDirection();
    int sloped = 0;
    for (float y = 130.0f; y < 340.0f; y += 7.0f)
        for (float x = -60.0f; x < 110.0f; x += 7.0f) {
            const float h = TerrainHeight(x, y);
            if (h < WaterLevel + 1.0f) continue;
            const TShadowCaster caster{V3(x, y, h), 2.0f, 6.0f};
            const TVec3 crown = V3(x, y, h + caster.CrownHeight), shadow = ShadowCentre(caster);
            ASSERT_NEAR(shadow.z, TerrainHeight(shadow.x, shadow.y), 0.05f) << x << ", " << y;
            const TVec3 ray = crown - shadow;
            ASSERT_GT(Dot(ray, sun), 0.0f) << x << ", " << y;
            ASSERT_LT(Length(Cross(ray, sun)), 0.02f * Length(ray)) << x << ", " << y;
            sloped += std::fabs(shadow.z - h) > 0.5f ? 1 : 0;
        }
    EXPECT_GT(sloped, 50);
}

TEST(ScenegenGround, BeddedRockBreaksAtItsJointsAndHoldsTurfOnItsLedges) {
    // Up a sheer face, seen from afar, a few beds make a pattern of light
    // and dark: a step of a unit along the face mostly keeps it, but where
    // a joint crosses, the beds beyond it have slipped and it no longer
    // matches.
    const TVec3 sheer = Normalised(V3(0.0f, -1.0f, 0.1f));
    auto profile = [&](float x, float from) {
        std::vector<double> lum;
        for (float h = from; h < from + 8.0f; h += 0.1f) {
            const TColour c = BeddedRock(x, 0.0f, h, sheer, 0.3f);
            lum.push_back(c.r + c.g + c.b);
        }
        return lum;
    };
    auto correlation = [](const std::vector<double>& a, const std::vector<double>& b) {
        double ma = 0, mb = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            ma += a[i] / a.size(), mb += b[i] / b.size();
        double ab = 0, aa = 0, bb = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma), bb += (b[i] - mb) * (b[i] - mb);
        return ab / std::sqrt(aa * bb + 1e-12);
    };
    int pairs = 0, kept = 0, broken = 0;
    for (float from = 0.0f; from < 24.0f; from += 8.0f)
        for (float x = 0.0f; x < 240.0f; x += 1.0f, ++pairs) {
            const double r = correlation(profile(x, from), profile(x + 1.0f, from));
            kept += r > 0.5 ? 1 : 0;
            broken += r < 0.0 ? 1 : 0;
        }
    EXPECT_GT(double(kept) / pairs, 0.3) << kept << " of " << pairs;
    EXPECT_GT(double(broken) / pairs, 0.1) << broken << " of " << pairs;

    // Where the rock lies back its ledges and some whole blocks hold turf,
    // whose edge against the rock is sharp, not a wash of green over grey;
    // a sheer face holds none.
    auto greenShare = [](TColour c) { return c.g / (c.r + c.g + c.b + 1e-6f); };
    const TVec3 back = Normalised(V3(0.0f, -0.89f, 0.45f));
    int turf = 0, between = 0, sheerTurf = 0, texels = 0;
    for (float h = 0.0f; h < 30.0f; h += 0.2f)
        for (float x = 0.0f; x < 60.0f; x += 0.2f, ++texels) {
            const float g = greenShare(BeddedRock(x, 2.0f * h, h, back, 1.0f));
            turf += g > 0.385f ? 1 : 0;
            between += g > 0.355f && g <= 0.385f ? 1 : 0;
            sheerTurf += greenShare(BeddedRock(x, 0.0f, h, sheer, 1.0f)) > 0.385f ? 1 : 0;
        }
    EXPECT_GT(double(turf) / texels, 0.15) << turf << " of " << texels;
    EXPECT_LT(double(turf) / texels, 0.8) << turf << " of " << texels;
    EXPECT_LT(between, turf / 3) << between << " between rock and turf, " << turf << " turf";
    EXPECT_LT(double(sheerTurf) / texels, 0.03) << sheerTurf << " of " << texels;
}
