#include "tools/scenegen/sky.h"

#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/parallel.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

constexpr float Pi = 3.14159265358979f;
constexpr float Degree = Pi / 180.0f;

// Texture t of the sky at elevation e (degrees): most rows go to the few
// degrees above the horizon that the camera sees.
float SkyT(float e) {
    if (e >= 0.0f) return 0.3f + 0.7f * std::sqrt(e / 90.0f);
    return 0.3f * Clamp01((e + 40.0f) / 40.0f);
}

float SkyElevation(float t) {
    if (t >= 0.3f) {
        float k = (t - 0.3f) / 0.7f;
        return 90.0f * k * k;
    }
    return t / 0.3f * 40.0f - 40.0f;
}

// Direction from azimuth (degrees clockwise from north) and elevation (degrees).
TVec3 Direction(float azimuth, float elevation) {
    float a = azimuth * Degree, e = elevation * Degree;
    return V3(std::cos(e) * std::sin(a), std::cos(e) * std::cos(a), std::sin(e));
}

// Ridge line of a hill ring: elevation in degrees seen from the camera.
float RidgeElevation(int ring, float azimuth) {
    float u = azimuth / 25.0f;
    if (ring == 0) return 1.6f + 2.2f * Clamp01(0.5f + 0.7f * Fbm(u, 3.0f, 211u, 4));
    return 2.4f + 4.2f * Ridged(u * 0.8f, 7.0f, 223u, 5);
}

constexpr float RingRadius[2] = {1250.0f, 1800.0f};
constexpr float RingAzimuth = 110.0f; // each ring spans -110..110 degrees
constexpr float RingBottom = -9.0f;   // degrees: well below the ground in front

} // namespace

TColour SkyColour(TVec3 dir) {
    const TColour horizon = HazeColour();
    const TColour zenith = Rgb(0.27f, 0.47f, 0.79f);
    const float e = std::asin(std::fmax(-1.0f, std::fmin(1.0f, dir.z))) / Degree;
    if (e <= 0.0f) return Mix(horizon, Rgb(0.62f, 0.68f, 0.72f), SmoothRange(0.0f, -20.0f, e));
    TColour sky = Mix(horizon, zenith, std::pow(e / 90.0f, 0.45f));
    // Warmer, brighter air towards the sun.
    float toSun = std::fmax(0.0f, Dot(dir, SunDirection()));
    sky = Mix(sky, Rgb(1.0f, 0.97f, 0.9f), 0.35f * std::pow(toSun, 6.0f));

    // Clouds on a flat layer overhead, drawn in perspective: the layer point
    // above `dir`, its density from noise, lit from the sun's side.
    if (e > 0.4f) {
        float k = 1.0f / std::fmax(dir.z, 0.02f);
        float px = dir.x * k * 1.6f, py = dir.y * k * 1.6f;
        float density = Fbm(px, py, 301u, 6) + 0.1f * Fbm(px * 0.3f, py * 0.3f, 307u, 3);
        float cover = SmoothRange(0.02f, 0.38f, density);
        float lit = Fbm(px - 0.08f * SunDirection().x, py - 0.08f * SunDirection().y, 301u, 6);
        TColour cloud =
            Mix(Rgb(0.70f, 0.73f, 0.80f), Rgb(0.98f, 0.98f, 0.97f), Clamp01(0.6f + 2.5f * (density - lit)));
        cover *= SmoothRange(0.4f, 7.0f, e); // dissolve into the haze
        sky = Mix(sky, cloud, 0.9f * cover);
    }
    return Mix(sky, horizon, 0.5f * (1.0f - SmoothRange(0.0f, 4.0f, e)));
}

TGenObject SkyDome(std::uint16_t material) {
    TGenObject dome;
    dome.Material = material;
    dome.Alpha = 0.0f;
    const TVec3 eye = CameraEye();
    const float rings[] = {-40, -20, -10, -5, -2, 0,  1.5f, 3,  5,  7.5f,
                           10,  13,  17,  22, 28, 36, 46,   58, 72, 90};
    const int ringCount = int(sizeof rings / sizeof rings[0]);
    const int segments = 72;
    auto point = [&](int seg, int ring) {
        float az = -180.0f + 360.0f * float(seg) / float(segments);
        return eye + Direction(az, rings[ring]) * SkyRadius;
    };
    auto tex = [&](int seg, int ring) {
        float az = -180.0f + 360.0f * float(seg) / float(segments);
        return V3((az + 90.0f) / 180.0f, SkyT(rings[ring]), 0.0f);
    };
    for (int r = 0; r + 1 < ringCount; ++r)
        for (int s = 0; s < segments; ++s) {
            if (r + 2 == ringCount) { // the cap: one triangle to the pole
                TVec3 apexTex = V3((tex(s, r).x + tex(s + 1, r).x) * 0.5f, 1.0f, 0.0f);
                dome.Add(point(s, r), point(s + 1, r), eye + V3(0, 0, SkyRadius), tex(s, r), tex(s + 1, r),
                         apexTex);
                continue;
            }
            dome.AddQuad(point(s, r), point(s + 1, r), point(s + 1, r + 1), point(s, r + 1), tex(s, r),
                         tex(s + 1, r), tex(s + 1, r + 1), tex(s, r + 1));
        }
    return dome;
}

TPicture SkyTexture() {
    TPicture picture(1024, 512, 3);
    picture.BlockCoded = true;
    ParallelRows(picture.Height, [&](int j) {
        float e = SkyElevation((float(j) + 0.5f) / float(picture.Height));
        for (int i = 0; i < picture.Width; ++i) {
            float az = -90.0f + 180.0f * (float(i) + 0.5f) / float(picture.Width);
            picture.Set(i, j, SkyColour(Direction(az, e)));
        }
    });
    return picture;
}

TGenObject HillRings(std::uint16_t material) {
    TGenObject rings;
    rings.Material = material;
    rings.Alpha = 0.0f;
    const TVec3 eye = CameraEye();
    const int segments = 160;
    // Far ring first: both are opaque and depth-tested, the order is only tidy.
    for (int ring = 1; ring >= 0; --ring) {
        const float radius = RingRadius[ring];
        const float t0 = ring == 0 ? 0.0f : 0.5f, t1 = t0 + 0.5f;
        for (int s = 0; s < segments; ++s) {
            float a0 = -RingAzimuth + 2.0f * RingAzimuth * float(s) / float(segments);
            float a1 = -RingAzimuth + 2.0f * RingAzimuth * float(s + 1) / float(segments);
            auto at = [&](float az, float elevation) {
                TVec3 d = Direction(az, 0.0f);
                return eye + V3(d.x * radius, d.y * radius, radius * std::tan(elevation * Degree));
            };
            float s0 = float(s) / float(segments), s1 = float(s + 1) / float(segments);
            rings.AddQuad(at(a0, RingBottom), at(a1, RingBottom), at(a1, RidgeElevation(ring, a1)),
                          at(a0, RidgeElevation(ring, a0)), V3(s0, t0 + 0.002f, 0), V3(s1, t0 + 0.002f, 0),
                          V3(s1, t1 - 0.002f, 0), V3(s0, t1 - 0.002f, 0));
        }
    }
    return rings;
}

TPicture HillsTexture() {
    TPicture picture(1024, 256, 3);
    const TVec3 sun = SunDirection();
    for (int j = 0; j < picture.Height; ++j)
        for (int i = 0; i < picture.Width; ++i) {
            const int ring = j < picture.Height / 2 ? 0 : 1;
            const float v =
                (float(j % (picture.Height / 2)) + 0.5f) / float(picture.Height / 2); // 0 bottom, 1 ridge
            const float az = -RingAzimuth + 2.0f * RingAzimuth * (float(i) + 0.5f) / float(picture.Width);
            const float ridge = RidgeElevation(ring, az);
            const float e = RingBottom + (ridge - RingBottom) * v;
            // Slopes facing the sun are lighter; woods darker in patches.
            const float x = az / 3.0f, y = e * 2.0f;
            const float gx = Fbm(x + 0.3f, y, 401u + ring, 4) - Fbm(x - 0.3f, y, 401u + ring, 4);
            const float light = 0.75f + 0.9f * gx * (sun.x < 0 ? -1.0f : 1.0f) + 0.15f * v;
            TColour land =
                Mix(Rgb(0.16f, 0.25f, 0.14f), Rgb(0.30f, 0.36f, 0.22f), Clamp01(0.5f + Fbm(x, y, 409u, 4)));
            land = Scaled(land, light);
            const float haze = std::fmin(1.0f, HazeAmount(RingRadius[ring]) + 0.06f * (1.0f - v));
            picture.Set(i, j, Mix(land, Mix(HazeColour(), Rgb(0.62f, 0.70f, 0.80f), 0.3f), haze));
        }
    return picture;
}

TPicture MirrorTexture() {
    TPicture picture(512, 512, 3);
    for (int j = 0; j < picture.Height; ++j)
        for (int i = 0; i < picture.Width; ++i) {
            float a = 2.0f * (float(i) + 0.5f) / float(picture.Width) - 1.0f;
            float b = 2.0f * (float(j) + 0.5f) / float(picture.Height) - 1.0f;
            float q = std::fmin(1.0f, a * a + b * b);
            float nz = std::sqrt(1.0f - q);
            TVec3 r = V3(2.0f * nz * a, 2.0f * nz * b, 2.0f * nz * nz - 1.0f); // reflected direction
            float e = std::asin(std::fmax(-1.0f, std::fmin(1.0f, r.z))) / Degree;
            float az = std::atan2(r.x, r.y) / Degree;
            // The far shore's trees stand a few degrees above the horizon.
            float shore = 1.2f + 1.2f * Clamp01(0.5f + Fbm(az / 9.0f, 1.0f, 503u, 4));
            TColour sky = Scaled(Mix(SkyColour(r), Rgb(0.32f, 0.47f, 0.58f), 0.35f), 0.92f);
            TColour trees =
                Mix(Rgb(0.19f, 0.27f, 0.25f), Rgb(0.34f, 0.43f, 0.46f), SmoothRange(-4.0f, shore, e));
            TColour c = Mix(trees, sky, SmoothRange(shore - 0.3f, shore + 0.5f, e));
            picture.Set(i, j, c);
        }
    return picture;
}

} // namespace scenegen
