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

} // namespace

std::vector<TBoulder> PlaceBoulders() {
    std::vector<TBoulder> boulders;
    // Along the shore, in clusters where a noise field along it is high:
    // some half in the water, some up the bank. Each place along the shore,
    // and each stone of the scree, draws from its own hash.
    for (int step = 0; step < 126; ++step) {
        const float angle = 0.05f * float(step);
        TRandom random = RandomFor(seeds::ShoreStones, step);
        const float cluster = Fbm(Cos(angle) * 4.0f + 7.0f, Sin(angle) * 4.0f, seeds::ShoreClusters, 3);
        const float pick = float(random.Unit()), offset = float(random.Range(-2.5, 3.0)),
                    size = float(random.Unit()), turn = float(random.Range(0.0, 2.0 * Pi)),
                    jitter = float(random.Range(-0.015, 0.015));
        if (pick > SmoothRange(0.05f, 0.35f, cluster) * 0.85f) continue;
        const float a = angle + jitter, r = ShoreRadius(a) + offset;
        const float x = LakeCentreX + r * Cos(a), y = LakeCentreY + r * Sin(a);
        const float radius = 0.5f + 1.6f * size * size;
        const float ground = TerrainHeight(x, y), height = radius * float(random.Range(0.55, 0.9));
        if (ground > WaterLevel + 3.0f || ground < WaterLevel - 1.8f) continue;
        // Those in the lake stand half out of it, the water lapping at their
        // waists.
        const float foot = ground < WaterLevel ? std::max(ground, WaterLevel - 0.45f * height) : ground;
        boulders.push_back(TBoulder{V3(x, y, foot), radius, height, turn});
    }
    // Scree at the foot of the rock face: fallen blocks heaped in front of it,
    // more of them away from the falls, whose water has swept them off.
    for (int i = 0; i < 18; ++i) {
        TRandom random = RandomFor(seeds::Scree, i);
        const float side = random.Unit() < 0.5 ? -1.0f : 1.0f;
        const float off = side * float(random.Range(0.05, 0.36));
        const float out = float(random.Range(-0.5, 3.0)), size = float(random.Unit());
        const TVec3 foot = RockFacePoint(FallsAngle + off, 0.0f);
        const TVec3 toward = Normalised(V3(LakeCentreX - foot.x, LakeCentreY - foot.y, 0.0f));
        const float radius = 0.5f + 1.5f * size * size;
        boulders.push_back(TBoulder{foot + toward * (out + radius * 0.6f) + V3(0, 0, -0.6f), radius,
                                    radius * float(random.Range(0.7, 1.1)),
                                    float(random.Range(0.0, 2.0 * Pi))});
    }
    return boulders;
}

TGenObject Boulders(const std::vector<TBoulder>& boulders, std::uint16_t material) {
    TGenObject object;
    object.Material = material;
    object.Alpha = 0.0f; // opaque pass
    const TVec3 eye = CameraEye(), sun = SunDirection();
    for (std::size_t index = 0; index < boulders.size(); ++index) {
        const TBoulder& b = boulders[index];
        TRandom random = RandomFor(seeds::StoneFacets, std::int32_t(index));
        // Stones a few pixels across are not worth their triangles.
        if (b.Radius < 0.007f * Length(b.Base - eye)) continue;
        // A squat, lumpy ball worn round by water and weather: rings of
        // corners at four heights and a crown on top, every corner pushed
        // out or in by its own lump (the same all the way up, so the stone
        // stays whole) and each ring a little askew. Its light runs smoothly
        // from corner to corner, taken at each corner from the ball's normal
        // there, so no facet stands out as a flat plate.
        constexpr int Corners = 7, Rings = 4;
        constexpr float Latitudes[Rings] = {-0.55f, -0.05f, 0.5f, 1.0f}; // radians up from the waist
        float lumps[Corners];
        for (float& lump : lumps)
            lump = float(random.Range(0.8, 1.15));
        const float tone = 0.1f * float(random.Range(-1, 1)), s0 = float(random.Range(0.05, 0.55));
        // The foot sits a little in the ground, so it looks settled rather
        // than dropped there.
        const float waist = b.Base.z + b.Height * 0.22f;
        TVec3 points[Rings + 1][Corners + 1], texels[Rings + 1][Corners + 1];
        for (int k = 0; k <= Rings; ++k)
            for (int c = 0; c <= Corners; ++c) {
                const float across = k < Rings ? Cos(Latitudes[k]) : 0.0f;
                const float rise = k < Rings ? Sin(Latitudes[k]) : 1.0f;
                const float a = b.Turn + 2.0f * Pi * float(c) / Corners + 0.2f * float(k);
                const float w = b.Radius * across * lumps[c % Corners] *
                                (k < Rings ? float(random.Range(0.93, 1.07)) : 1.0f);
                const float up = rise > 0.0f ? b.Height * 0.7f * rise : b.Height * 0.5f * rise;
                points[k][c] = V3(b.Base.x + w * Cos(a), b.Base.y + w * Sin(a), waist + up);
                if (c == Corners) points[k][c] = points[k][0];
                // The ball's normal: its shape across over its shape up.
                const TVec3 n = Normalised(V3(across * Cos(a) / b.Radius, across * Sin(a) / b.Radius,
                                              rise / (rise > 0.0f ? 0.7f : 0.5f) / b.Height));
                // Sun on its side, sky light on its top; wet and dark below
                // the line where the lake's ripples reach.
                float light = 0.6f * std::max(0.0f, Dot(n, sun)) + 0.3f * (0.5f + 0.5f * n.z) + tone;
                light *= 1.0f - 0.45f * SmoothRange(WaterLevel + 0.5f, WaterLevel + 0.1f, points[k][c].z);
                texels[k][c] = V3(s0 + 0.12f * b.Radius * float(c) / Corners, LightT(light), 0.0f);
            }
        auto facet = [&](int k0, int c0, int k1, int c1, int k2, int c2) {
            const TVec3 &p = points[k0][c0], &q = points[k1][c1], &r = points[k2][c2];
            const TVec3 n = Cross(q - p, r - p);
            if (Dot(n, n) < 1e-8f || Dot(n, eye - p) <= 0.0f || !TriangleMayShow(p, q, r)) return;
            object.Add(p, q, r, texels[k0][c0], texels[k1][c1], texels[k2][c2]);
        };
        for (int k = 0; k < Rings; ++k)
            for (int c = 0; c < Corners; ++c) {
                facet(k, c, k, c + 1, k + 1, c + 1);
                if (k + 1 < Rings) facet(k, c, k + 1, c + 1, k + 1, c);
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
            c = Lit(Scaled(c, 0.25f + 0.8f * light), LightTint(light));
            picture.Set(x, y, c);
        }
    return picture;
}

} // namespace scenegen
