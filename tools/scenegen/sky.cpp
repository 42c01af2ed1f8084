#include "tools/scenegen/sky.h"

#include <cmath>
#include <vector>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/parallel.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/terrain.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

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

} // namespace

TColour SkyColour(TVec3 dir) {
    // The sky low down is the haze seen through the whole depth of the air:
    // brighter than the haze over the farthest land, so the hills stand
    // out against it.
    const TColour horizon = Mix(HazeColour(), Rgb(0.95f, 0.96f, 0.97f), 0.3f);
    const TColour zenith = ZenithColour();
    const float e = Asin(std::fmax(-1.0f, std::fmin(1.0f, dir.z))) / Degree;
    if (e <= 0.0f) return Mix(horizon, Rgb(0.62f, 0.68f, 0.72f), SmoothRange(0.0f, -20.0f, e));
    TColour sky = Mix(horizon, zenith, Pow(e / 90.0f, 0.45f));
    // Warmer, brighter air towards the sun.
    float toSun = std::fmax(0.0f, Dot(dir, SunDirection()));
    sky = Mix(sky, SunGlowColour(), 0.35f * Pow(toSun, 6.0f));

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

float SkylineElevation(const TTerrainGrid& grid, float azimuth) {
    const TVec3 eye = CameraEye();
    const float sa = Sin(azimuth * Degree), ca = Cos(azimuth * Degree);
    float best = -90.0f;
    // Out to the edge of the land, in steps that grow with the distance (the
    // grid's cells grow too).
    for (float d = 2.0f;; d += std::fmax(0.5f, d * 0.004f)) {
        const float x = eye.x + sa * d, y = eye.y + ca * d;
        if (x < TerrainArea.X0 || x > TerrainArea.X1 || y < TerrainArea.Y0 || y > TerrainArea.Y1) break;
        best = std::fmax(best, Atan2(grid.MeshHeight(x, y) - eye.z, d) / Degree);
    }
    return best;
}

TGenObject SkyDome(std::uint16_t material, const TTerrainGrid& grid) {
    TGenObject dome;
    dome.Material = material;
    dome.Alpha = 0.0f;
    const TVec3 eye = CameraEye();
    const float rings[] = {-40, -20, -10, -5, -2, 0,  1.5f, 3,  5,  7.5f,
                           10,  13,  17,  22, 28, 36, 46,   58, 72, 90};
    const int ringCount = int(sizeof rings / sizeof rings[0]);
    const int segments = 72;
    auto azimuthOf = [&](int seg) { return -180.0f + 360.0f * float(seg) / float(segments); };
    // The lowest elevation each meridian of the dome needs: a little below the
    // lowest skyline on either side of it (the skyline is sampled every half
    // degree; between the samples it cannot dip by much).
    std::vector<float> bottom(std::size_t(segments) + 1);
    for (int seg = 0; seg <= segments; ++seg) {
        float low = 90.0f;
        for (float a = azimuthOf(seg) - 5.0f; a <= azimuthOf(seg) + 5.0f; a += 0.5f)
            low = std::fmin(low, SkylineElevation(grid, a));
        bottom[std::size_t(seg)] = std::fmax(rings[0], low - 1.5f);
    }
    // The ring's elevation on a meridian, raised to that meridian's bottom:
    // neighbouring quads share their corners, so no cracks open between them.
    auto elevation = [&](int seg, int ring) { return std::fmax(rings[ring], bottom[std::size_t(seg)]); };
    auto point = [&](int seg, int ring) {
        return eye + Direction(azimuthOf(seg) * Degree, elevation(seg, ring) * Degree) * SkyRadius;
    };
    auto tex = [&](int seg, int ring) {
        return V3((azimuthOf(seg) + 90.0f) / 180.0f, SkyT(elevation(seg, ring)), 0.0f);
    };
    for (int r = 0; r + 1 < ringCount; ++r)
        for (int s = 0; s < segments; ++s) {
            if (r + 2 == ringCount) { // the cap: one triangle to the pole
                TVec3 apexTex = V3((tex(s, r).x + tex(s + 1, r).x) * 0.5f, 1.0f, 0.0f);
                dome.Add(point(s, r), point(s + 1, r), eye + V3(0, 0, SkyRadius), tex(s, r), tex(s + 1, r),
                         apexTex);
                continue;
            }
            // Below the bottom on a meridian the ring collapses onto it: the
            // quad becomes a triangle, or nothing.
            const bool leftFlat = elevation(s, r) == elevation(s, r + 1);
            const bool rightFlat = elevation(s + 1, r) == elevation(s + 1, r + 1);
            if (leftFlat && rightFlat) continue;
            if (leftFlat) {
                dome.Add(point(s, r), point(s + 1, r), point(s + 1, r + 1), tex(s, r), tex(s + 1, r),
                         tex(s + 1, r + 1));
            } else if (rightFlat) {
                dome.Add(point(s, r), point(s + 1, r), point(s, r + 1), tex(s, r), tex(s + 1, r),
                         tex(s, r + 1));
            } else {
                dome.AddQuad(point(s, r), point(s + 1, r), point(s + 1, r + 1), point(s, r + 1), tex(s, r),
                             tex(s + 1, r), tex(s + 1, r + 1), tex(s, r + 1));
            }
        }
    // What no screen shape shows (behind the camera, above the view) goes.
    TGenObject seen;
    seen.Material = dome.Material;
    seen.Alpha = dome.Alpha;
    for (std::size_t i = 0; i < dome.Triangles.size(); ++i) {
        const std::array<TVec3, 3>& t = dome.Triangles[i];
        if (TriangleMayShow(t[0], t[1], t[2])) {
            seen.Triangles.push_back(t);
            seen.TexCoords.push_back(dome.TexCoords[i]);
        }
    }
    return seen;
}

namespace {

// A farther range of mountains, far beyond the land, standing a little over
// its skyline: its crest's elevation at `azimuth`, and how its broad slope
// there faces the sun (1 lit, 0 turned away).
float FarRangeCrest(float skyline, float azimuth, float& lit) {
    // Broad massifs, and peaks and saddles on them. Nothing narrower than a
    // few texels of the sky's texture: a finer notch in the skyline is
    // blown up into steps on a narrow screen.
    auto massifs = [](float az, int octaves) {
        return -0.3f + 3.2f * Ridged(az / 26.0f + 3.0f, 0.5f, 331u, octaves) *
                           (0.6f + 0.4f * Fbm(az / 70.0f, 2.0f, 337u, 2));
    };
    const float peaks =
        1.1f * Ridged(azimuth / 6.5f, 1.5f, 341u, 3) - 0.45f + 0.08f * Fbm(azimuth / 2.5f, 0.5f, 343u, 2);
    // Slopes rising away from the sun's side of the view face it: judged on
    // the massifs' broadest shapes alone, so the light changes across a
    // whole flank and not from one column of the texture to the next.
    auto broad = [&](float az) { return massifs(az, 3) + 1.1f * Ridged(az / 6.5f, 1.5f, 341u, 2); };
    const float slope = broad(azimuth + 1.5f) - broad(azimuth - 1.5f);
    lit = SmoothRange(-0.5f, 0.5f, SunInView().x < 0.0f ? slope : -slope);
    return skyline + 0.3f + massifs(azimuth, 5) + peaks;
}

// The farther range's colour at `below` degrees under its crest: blue-grey
// and a little darker than the sky over it at the crest, fading into the
// haze towards its foot, its sunny flanks a little warmer, and mottled
// faintly by the light on its broad shapes (at `azimuth` and `elevation`,
// degrees: measured from the crest, the mottle would jump at each of its
// notches and streak the range from top to bottom).
TColour FarRangeColour(float below, float azimuth, float elevation, float lit) {
    const float mottle = Fbm(azimuth / 3.0f, elevation / 1.5f, seeds::FarRangeMottle, 3);
    // Spurs and gullies running down the flanks: a ridged field leaning with
    // the flank (down and away from the peak above), lit on the faces that
    // turn toward the sun. Near the crest the crest's own slope rules; lower
    // down the spurs take over.
    const float lean = (2.0f * lit - 1.0f) * (SunInView().x < 0.0f ? 1.0f : -1.0f);
    auto spurs = [&](float az) {
        return Ridged(az / 2.3f + lean * below / 1.2f, below / 1.6f, seeds::FarRangeSpurs, 3);
    };
    const float turn = spurs(azimuth + 0.25f) - spurs(azimuth - 0.25f);
    const float faces = SmoothRange(-0.25f, 0.25f, SunInView().x < 0.0f ? -turn : turn);
    lit += (faces - lit) * (0.35f + 0.4f * SmoothRange(0.2f, 2.0f, below));
    const TColour shade = Rgb(0.40f, 0.48f, 0.64f), sunny = Rgb(0.66f, 0.68f, 0.73f);
    const TColour hill =
        Lit(Mix(shade, sunny, Clamp01(0.9f * lit + 0.2f * mottle)), LightTint(0.5f + 0.45f * lit));
    return Mix(hill, HazeColour(), 0.05f + 0.67f * SmoothRange(0.0f, 5.0f, below));
}

} // namespace

TPicture SkyTexture(const TTerrainGrid& grid) {
    TPicture picture(1024, 512, 3);
    std::vector<float> skyline(std::size_t(picture.Width));
    ParallelRows(picture.Width, [&](int i) {
        skyline[std::size_t(i)] =
            SkylineElevation(grid, -90.0f + 180.0f * (float(i) + 0.5f) / float(picture.Width));
    });
    // The range stands on the land's skyline smoothed broadly: following
    // each rise of the hills in front, it would run along them like a wall.
    std::vector<float> smooth(skyline.size());
    for (int i = 0; i < picture.Width; ++i) {
        float sum = 0.0f;
        int n = 0;
        for (int k = std::max(0, i - 36); k <= std::min(picture.Width - 1, i + 36); ++k, ++n)
            sum += skyline[std::size_t(k)];
        smooth[std::size_t(i)] = sum / float(n);
    }
    skyline = smooth;
    ParallelRows(picture.Height, [&](int j) {
        float e = SkyElevation((float(j) + 0.5f) / float(picture.Height));
        for (int i = 0; i < picture.Width; ++i) {
            float az = -90.0f + 180.0f * (float(i) + 0.5f) / float(picture.Width);
            TColour c = SkyColour(Direction(az * Degree, e * Degree));
            // The farther range, its crest soft over a row or two of texels:
            // enough that it stays smooth however far a screen magnifies it,
            // little enough that the ridge reads crisp against the sky.
            float lit = 0.0f;
            const float crest = FarRangeCrest(skyline[std::size_t(i)], az, lit);
            const float below = crest - e;
            if (below > -0.1f) c = Mix(c, FarRangeColour(below, az, e, lit), SmoothRange(-0.1f, 0.1f, below));
            picture.Set(i, j, c);
        }
    });
    return picture;
}

} // namespace scenegen
