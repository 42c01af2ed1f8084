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
        const float pick = float(random.Unit()), offset = float(random.Range(-1.5, 3.5)),
                    size = float(random.Unit()), turn = float(random.Range(0.0, 2.0 * Pi)),
                    jitter = float(random.Range(-0.015, 0.015));
        if (pick > SmoothRange(0.05f, 0.35f, cluster) * 0.85f) continue;
        const float a = angle + jitter, r = ShoreRadius(a) + offset;
        const float x = LakeCentreX + r * Cos(a), y = LakeCentreY + r * Sin(a);
        const float radius = 0.5f + 1.6f * size * size;
        const float ground = TerrainHeight(x, y);
        if (ground > WaterLevel + 3.0f || ground < WaterLevel - 1.5f) continue;
        boulders.push_back(TBoulder{V3(x, y, std::max(ground, WaterLevel - 1.2f)), radius,
                                    radius * float(random.Range(0.6, 1.0)), turn});
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
        // Three rings: the foot (sunk a little), the widest part and the
        // shoulders, five corners each, turned and pushed about so that no
        // two stones are alike; a single point on top.
        constexpr int Corners = 5;
        TVec3 rings[3][Corners];
        const float heights[3] = {-0.25f, 0.4f, 0.85f}, widths[3] = {0.9f, 1.0f, 0.6f};
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < Corners; ++c) {
                const float a = b.Turn +
                                2.0f * Pi * (float(c) + 0.25f * float(random.Range(-1, 1))) / Corners +
                                0.3f * float(k);
                const float w = b.Radius * widths[k] * float(random.Range(0.75, 1.15));
                rings[k][c] = b.Base + V3(w * Cos(a), w * Sin(a),
                                          b.Height * (heights[k] + 0.1f * float(random.Range(-1, 1))));
            }
        const TVec3 apex = b.Base + V3(float(random.Range(-0.2, 0.2)) * b.Radius,
                                       float(random.Range(-0.2, 0.2)) * b.Radius, b.Height);
        auto facet = [&](TVec3 p, TVec3 q, TVec3 r) {
            const TVec3 n = Cross(q - p, r - p);
            if (Dot(n, n) < 1e-8f || Dot(n, eye - p) <= 0.0f || !TriangleMayShow(p, q, r)) return;
            const TVec3 unit = Normalised(n);
            // Sun on the facet, sky light on the ones facing up.
            const float light = 0.55f * std::max(0.0f, Dot(unit, sun)) + 0.25f * (0.5f + 0.5f * unit.z) +
                                0.08f * float(random.Range(-1, 1));
            const float t = LightT(light), s0 = float(random.Range(0.05, 0.6));
            const float span = 0.08f * b.Radius;
            object.Add(p, q, r, V3(s0, t - 0.01f, 0), V3(s0 + span, t + 0.005f, 0),
                       V3(s0 + 0.5f * span, t + 0.012f, 0));
        };
        for (int k = 0; k < 2; ++k)
            for (int c = 0; c < Corners; ++c) {
                const int d = (c + 1) % Corners;
                facet(rings[k][c], rings[k][d], rings[k + 1][d]);
                facet(rings[k][c], rings[k + 1][d], rings[k + 1][c]);
            }
        for (int c = 0; c < Corners; ++c)
            facet(rings[2][c], rings[2][(c + 1) % Corners], apex);
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
