#include "tools/scenegen/shore.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/cliff.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

constexpr int StoneSize = 256;

// The texture row for a facet lit `light` (0 shade .. 1 full sun).
float LightT(float light) {
    return 0.04f + 0.92f * Clamp01(light);
}

// Many small, a few large: a share `u` (0..1) of the stones to a radius.
float StoneRadius(float u, float smallest, float largest) {
    return smallest + (largest - smallest) * u * u * u;
}

// How far `a` lies round the lake from `b`, radians, -Pi..Pi.
float Around(float a, float b) {
    return std::remainder(a - b, 2.0f * Pi);
}

} // namespace

float ShoreBay(float bearing) {
    return SmoothRange(0.3f, 2.5f,
                       ShoreRadius(bearing) -
                           0.5f * (ShoreRadius(bearing - 0.25f) + ShoreRadius(bearing + 0.25f)));
}

float ShoreFlatness(float x, float y) {
    const float bearing = Atan2(y - LakeCentreY, x - LakeCentreX);
    const float c = Cos(bearing), s = Sin(bearing), back = ShoreRadius(bearing) + 6.0f;
    // The gentle banks stand three or four units high a few units back from
    // the water, those under the escarpment several times that.
    const float rise = TerrainHeight(LakeCentreX + back * c, LakeCentreY + back * s) - WaterLevel;
    const float stretch = Fbm(c * 5.0f + 3.0f, s * 5.0f, seeds::ShoreFlats, 2);
    return Clamp01((0.3f + 0.8f * ShoreBay(bearing) + 1.2f * stretch) * SmoothRange(9.0f, 4.5f, rise));
}

float BankOverhang(float bearing) {
    const float c = Cos(bearing), s = Sin(bearing), r = ShoreRadius(bearing);
    auto rise = [&](float back) {
        return TerrainHeight(LakeCentreX + (r + back) * c, LakeCentreY + (r + back) * s) - WaterLevel;
    };
    // The rock face drops straight into the lake: no lip of turf there.
    if (rise(1.5f) < 0.9f) return 0.0f;
    const float steep = SmoothRange(2.6f, 3.4f, rise(5.0f));
    const float stretch = Fbm(c * r / 5.0f, s * r / 5.0f, seeds::BankOverhangs, 2);
    return steep * SmoothRange(-0.3f, -0.05f, stretch + 0.15f * steep);
}

std::vector<TBoulder> PlaceBoulders() {
    std::vector<TBoulder> boulders;
    // Sets a stone of `radius` on the ground at (x, y). In the lake it
    // stands on its bed with only its shoulders out of the water (or none:
    // then it is not worth drawing); up the bank it has sunk into the turf,
    // more the farther up, the grass closing round it.
    auto set = [&](float x, float y, float radius, TRandom& random) {
        const float ground = TerrainHeight(x, y), height = radius * float(random.Range(0.55, 0.9));
        const float turn = float(random.Range(0.0, 2.0 * Pi)), settle = float(random.Unit());
        if (ground > WaterLevel + 3.0f || ground + 0.9f * height < WaterLevel + 0.1f) return;
        const float foot =
            ground < WaterLevel
                ? std::max(ground, WaterLevel - (0.15f + 0.4f * settle) * height)
                : ground - height * (0.1f + 0.4f * settle) * SmoothRange(0.3f, 2.0f, ground - WaterLevel);
        boulders.push_back(TBoulder{V3(x, y, foot), radius, height, turn});
    };
    // Along the shore, in clusters round hearts of their own: a lone
    // boulder or two here, a handful there, now and then a spread of many,
    // the largest near the heart and the rest thinning out round it, some
    // out in the shallows and some up the bank. None under the rock face,
    // whose foot has its own heap. Each cluster, and each stone of it,
    // draws from its own hash.
    constexpr int Clusters = 28;
    for (int c = 0; c < Clusters; ++c) {
        TRandom random = RandomFor(seeds::ShoreStones, c);
        const float heart = 2.0f * Pi * (float(c) + float(random.Range(0.0, 0.85))) / float(Clusters);
        const float many = float(random.Unit()), across = float(random.Range(-1.2, 1.5));
        if (std::fabs(Around(heart, FallsAngle)) < 0.5f) continue;
        const int count = 1 + int(11.0f * many * many);
        const float reach = 0.7f + 0.3f * float(count); // along the shore, either way
        for (int s = 0; s < count; ++s) {
            TRandom stone = RandomFor(seeds::ShoreStone, c, s);
            const float along = float(stone.Unit() - stone.Unit()), out = float(stone.Unit() - stone.Unit());
            const float a = heart + reach * along / ShoreRadius(heart);
            const float r = ShoreRadius(a) + across + 2.0f * out;
            const float radius =
                StoneRadius(float(stone.Unit()), 0.35f, 2.2f) * (1.0f - 0.5f * std::fabs(along));
            set(LakeCentreX + r * Cos(a), LakeCentreY + r * Sin(a), radius, stone);
        }
    }
    // Out in the shallows, a few strides from the bank, where the bed is
    // still firm under a foot or so of water: a big stone standing alone or
    // with a smaller one or two beside it, their shoulders clear of the
    // ripples, some well up out of the water and some only just breaking it.
    // Each rests on the bed, so a stone in deeper water is a taller one.
    constexpr int Shallows = 9;
    for (int g = 0; g < Shallows; ++g) {
        TRandom random = RandomFor(seeds::ShallowStones, g);
        const float heart = 2.0f * Pi * (float(g) + float(random.Range(0.1, 0.9))) / float(Shallows);
        if (std::fabs(Around(heart, FallsAngle)) < 0.5f) continue;
        const int count = 1 + int(2.99 * random.Unit() * random.Unit());
        for (int s = 0; s < count; ++s) {
            const float a = heart + float(random.Range(-2.5, 2.5)) * float(s > 0) / ShoreRadius(heart);
            const float depth = float(random.Range(0.35, 1.1)), c = Cos(a), sn = Sin(a);
            // Walk out from the waterline until the bed lies that deep.
            float r = ShoreRadius(a), ground = TerrainHeight(LakeCentreX + r * c, LakeCentreY + r * sn);
            for (int step = 0; step < 40 && ground > WaterLevel - depth; ++step) {
                r -= 0.25f;
                ground = TerrainHeight(LakeCentreX + r * c, LakeCentreY + r * sn);
            }
            if (ground > WaterLevel - depth + 0.2f || ground < WaterLevel - 1.6f) continue;
            // The first of a group the biggest and highest out of the water.
            const float clear = s == 0 ? float(random.Range(0.7, 1.7)) : float(random.Range(0.35, 0.9));
            const float height = (WaterLevel + clear - ground) / 0.92f;
            const float radius = height * float(random.Range(0.75, 1.05));
            boulders.push_back(TBoulder{V3(LakeCentreX + r * c, LakeCentreY + r * sn, ground), radius, height,
                                        float(random.Range(0.0, 2.0 * Pi))});
        }
    }
    // At the foot of the rock face, either side of the plunge, a jumble of
    // boulders fallen from it and cobbles washed down the stream: heaped
    // against the face and spilling out into the lake, the big blocks
    // reaching farthest, the cobbles mostly close in. The plunge itself is
    // kept clear close in, its water sweeping the stones away.
    for (int i = 0; i < 44; ++i) {
        TRandom random = RandomFor(seeds::Scree, i);
        const float off = float(random.Range(-0.3, 0.3)), size = float(random.Unit());
        const float out = 0.2f + (1.5f + 5.0f * size) * float(random.Unit() * random.Unit());
        if (std::fabs(off) < 0.07f && out < 3.0f) continue;
        const TVec3 foot = RockFacePoint(FallsAngle + off, 0.0f);
        const TVec3 toward = Normalised(V3(LakeCentreX - foot.x, LakeCentreY - foot.y, 0.0f));
        const float radius = StoneRadius(size, 0.55f, 2.6f);
        const TVec3 at = foot + toward * (out + 0.6f * radius);
        const float height = radius * float(random.Range(0.6, 1.0));
        // Close in they lie on one another, some well out of the water;
        // farther out only their backs show.
        const float heaped = SmoothRange(3.0f, 0.5f, out) * float(random.Unit());
        const float sunk = float(random.Range(0.1, 0.5)) - 0.5f * heaped;
        boulders.push_back(TBoulder{V3(at.x, at.y, WaterLevel - sunk * height), radius, height,
                                    float(random.Range(0.0, 2.0 * Pi))});
    }
    return boulders;
}

TGenObject Boulders(const std::vector<TBoulder>& boulders, std::uint16_t material) {
    TGenObject object;
    object.Material = material;
    object.Alpha = 0.0f; // opaque pass
    const TVec3 eye = CameraEye(), sun = SunDirection(), plunge = RockFacePoint(FallsAngle, 0.0f);
    for (std::size_t index = 0; index < boulders.size(); ++index) {
        const TBoulder& b = boulders[index];
        TRandom random = RandomFor(seeds::StoneFacets, std::int32_t(index));
        // Stones a few pixels across are not worth their triangles, and the
        // smaller a stone looks the fewer corners it needs to look round.
        const float seen = b.Radius / Length(b.Base - eye);
        if (seen < 0.0045f) continue;
        // A squat, lumpy ball worn round by water and weather: rings of
        // corners at a few heights and a crown on top, every corner pushed
        // out or in by its own lump (the same all the way up, so the stone
        // stays whole) and a little more or less from ring to ring. Its light runs smoothly
        // from corner to corner, taken at each corner from the ball's normal
        // there, so no facet stands out as a flat plate.
        constexpr int MostCorners = 7, MostRings = 4;
        const int corners = seen < 0.008f ? 5 : seen < 0.016f ? 6 : MostCorners;
        const int rings = seen < 0.008f ? 2 : seen < 0.016f ? 3 : MostRings;
        float lumps[MostCorners];
        for (float& lump : lumps)
            lump = float(random.Range(0.8, 1.15));
        const float tone = 0.1f * float(random.Range(-1, 1)), s0 = float(random.Range(0.36, 0.56));
        // The spray keeps the stones round the falls' foot wet and dark.
        const float spray = SmoothRange(16.0f, 5.0f, Length(b.Base - plunge));
        // Below its widest girth, the waist, the stone goes straight down
        // into the ground or the lake: it stands in them, and shows no
        // underside to look as if it lay on top.
        const float waist = b.Base.z + b.Height * 0.22f, shoulder = 0.7f * b.Height;
        float heights[MostRings];
        for (int k = 0; k < rings; ++k) {
            const float latitude = -0.55f + 1.55f * float(k) / float(rings - 1);
            heights[k] = waist + (latitude > 0.0f ? shoulder : 0.5f * b.Height) * Sin(latitude);
        }
        // Where the lake crosses it, the ring nearest the water moves to
        // the waterline, so the wet band starts there.
        const float line = WaterLevel + 0.04f;
        const bool inWater = heights[0] < line && line < heights[rings - 1] - 0.1f * b.Height;
        int atLine = 0;
        if (inWater) {
            for (int k = 1; k < rings; ++k)
                if (std::fabs(heights[k] - line) < std::fabs(heights[atLine] - line) || atLine == 0)
                    atLine = k;
            const float below = heights[atLine - 1] + 0.01f;
            const float above = atLine + 1 < rings ? heights[atLine + 1] - 0.01f : waist + shoulder - 0.05f;
            heights[atLine] = std::min(std::max(line, below), above);
        }
        TVec3 points[MostRings + 1][MostCorners + 1], texels[MostRings + 1][MostCorners + 1];
        float widths[MostRings + 1][MostCorners + 1];
        for (int k = 0; k <= rings; ++k)
            for (int c = 0; c <= corners; ++c) {
                // Up from the waist the ball's latitude; below it, straight
                // sides. No corner juts out past the one below it.
                const float z = k < rings ? heights[k] : waist + shoulder;
                const float rise = Clamp01((z - waist) / shoulder), across = std::sqrt(1.0f - rise * rise);
                const float a = b.Turn + 2.0f * Pi * float(c) / float(corners);
                float w = b.Radius * across * lumps[c % corners] *
                          (k < rings ? float(random.Range(0.93, 1.07)) : 1.0f);
                if (k > 0) w = std::min(w, widths[k - 1][c]);
                widths[k][c] = w;
                points[k][c] = V3(b.Base.x + w * Cos(a), b.Base.y + w * Sin(a), z);
                if (c == corners) points[k][c] = points[k][0];
                // The ball's normal: its shape across over its shape up.
                const TVec3 n =
                    Normalised(V3(across * Cos(a) / b.Radius, across * Sin(a) / b.Radius, rise / shoulder));
                // Sun on its side, sky light on its top; a dark wet band
                // just above the water, where the ripples reach, and wet
                // all over in the spray.
                const float wet = std::max(spray, SmoothRange(WaterLevel + 0.45f, WaterLevel + 0.1f, z));
                float light = 0.6f * std::max(0.0f, Dot(n, sun)) + 0.3f * (0.5f + 0.5f * n.z) + tone;
                light *= 1.0f - 0.4f * wet;
                // Low down, where the water or the turf keeps it damp, it
                // greens with algae and moss: the texture's green side.
                const float low = std::max(SmoothRange(WaterLevel + 0.9f, WaterLevel + 0.1f, z),
                                           0.6f * SmoothRange(waist + 0.3f * b.Height, waist, z));
                const float s = s0 + 0.12f * b.Radius * float(c) / float(corners);
                texels[k][c] = V3(s + (0.04f + 0.15f * (s - 0.36f) - s) * std::max(low, 0.7f * spray),
                                  LightT(light), 0.0f);
            }
        auto facet = [&](int k0, int c0, int k1, int c1, int k2, int c2) {
            const TVec3 &p = points[k0][c0], &q = points[k1][c1], &r = points[k2][c2];
            const TVec3 n = Cross(q - p, r - p);
            if (Dot(n, n) < 1e-8f || Dot(n, eye - p) <= 0.0f || !TriangleMayShow(p, q, r)) return;
            object.Add(p, q, r, texels[k0][c0], texels[k1][c1], texels[k2][c2]);
        };
        for (int k = 0; k < rings; ++k)
            for (int c = 0; c < corners; ++c) {
                facet(k, c, k, c + 1, k + 1, c + 1);
                if (k + 1 < rings) facet(k, c, k + 1, c + 1, k + 1, c);
            }
    }
    return object;
}

TPicture StoneTexture() {
    TPicture picture(StoneSize, StoneSize, 3);
    picture.BlockCoded = true;
    for (int y = 0; y < StoneSize; ++y)
        for (int x = 0; x < StoneSize; ++x) {
            const float u = float(x) / StoneSize, v = (float(y) + 0.5f) / StoneSize;
            const float light = Clamp01((v - 0.04f) / 0.92f);
            const float grain = Fbm(u * 40.0f, v * 40.0f, seeds::StoneGrain, 4);
            const float lichen = SmoothRange(0.2f, 0.5f, Fbm(u * 12.0f, v * 12.0f, seeds::StoneLichen, 3));
            TColour c = Mix(Rgb(0.40f, 0.39f, 0.36f), Rgb(0.58f, 0.55f, 0.50f), 0.5f + 0.6f * grain);
            c = Mix(c, Rgb(0.60f, 0.62f, 0.52f), 0.35f * lichen);
            // Toward its left edge the grain turns the dark olive of stone
            // kept wet: algae by the water, moss at the foot in the turf.
            const float green = SmoothRange(0.34f, 0.08f, u);
            c = Scaled(Mix(c, Rgb(0.24f, 0.31f, 0.14f), 0.8f * green), 1.0f - 0.15f * green);
            c = Lit(Scaled(c, 0.25f + 0.8f * light), LightTint(light));
            picture.Set(x, y, c);
        }
    return picture;
}

} // namespace scenegen
