#include "tools/scenegen/water_picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/scenegen/lake_sheen.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/parallel.h"
#include "tools/scenegen/raster.h"
#include "tools/scenegen/sky.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

// The view of the mirror below the water: camera 1 mirrored in the water
// plane, looking up across the lake, wide enough for every direction the
// water reflects towards camera 1 (steeper ones fall back to the sky).
constexpr float MirrorPitch = 18.0f;       // degrees above the horizon
constexpr float MirrorFieldOfView = 76.0f; // vertical, degrees
constexpr float MirrorAspect = 2.6f;
constexpr int MirrorWidth = 2080, MirrorHeight = 800;
// Camera 1's own view, level, for the shore's colours.
constexpr float DirectFieldOfView = 30.0f;
constexpr float DirectAspect = 4.0f;
constexpr int DirectWidth = 3200, DirectHeight = 800;

// The water's own colour: seen at a glancing angle, and looking steeply down
// into the deep.
TColour ShallowViewWater() {
    return Rgb(0.17f, 0.28f, 0.30f);
}
TColour DeepViewWater() {
    return Rgb(0.085f, 0.18f, 0.19f);
}
// Far water seen at a glance, where a ray bounced down meets the next wave.
TColour GlancingWater() {
    return Rgb(0.33f, 0.42f, 0.48f);
}

struct TMirrorView {
    TVec3 Eye, Forward, Right, Up;
    float HalfUp, HalfAcross; // tangents of the half angles
    TRenderTarget Target;

    // The colour the mirror shows in the direction `dir` (unit).
    TColour Look(TVec3 dir) const {
        const float f = Dot(dir, Forward);
        if (f > 1e-3f) {
            const float x = (Dot(dir, Right) / f / HalfAcross + 1.0f) * 0.5f * float(Target.W) - 0.5f;
            const float y = (Dot(dir, Up) / f / HalfUp + 1.0f) * 0.5f * float(Target.H) - 0.5f;
            if (x >= 0.0f && y >= 0.0f && x <= float(Target.W - 1) && y <= float(Target.H - 1)) {
                const int x0 = std::min(int(x), Target.W - 2), y0 = std::min(int(y), Target.H - 2);
                const float tx = x - float(x0), ty = y - float(y0);
                auto at = [&](int i, int j) {
                    return Target.Colour[std::size_t(j) * std::size_t(Target.W) + std::size_t(i)];
                };
                return Mix(Mix(at(x0, y0), at(x0 + 1, y0), tx), Mix(at(x0, y0 + 1), at(x0 + 1, y0 + 1), tx),
                           ty);
            }
        }
        return Backdrop(dir);
    }
    // Beyond what is drawn: the sky, and low down other waves. The mirror's
    // eye lies under the water: looking lower than the far shore's foot it
    // sees nothing, where a ray bounced off a wave skims the lake.
    static TColour Backdrop(TVec3 dir) {
        return Mix(SkyColour(dir), GlancingWater(), SmoothRange(0.17f, 0.09f, dir.z));
    }
};

// The scene above the water seen from `eye`, looking the way camera 1 does
// and `pitch` degrees up, `fieldOfView` degrees high, on `backdrop` where
// nothing is drawn.
TMirrorView DrawView(const TLakeData& lake, TVec3 eye, float pitch, float fieldOfView, float aspect,
                     int width, int height, TColour (*backdrop)(TVec3)) {
    TMirrorView view;
    const TVec3 ahead = CameraTarget() - CameraEye();
    view.Eye = eye;
    view.Forward = Direction(Atan2(ahead.x, ahead.y), pitch * Degree);
    view.Right = Normalised(Cross(view.Forward, V3(0, 0, 1)));
    view.Up = Cross(view.Right, view.Forward);
    view.HalfUp = Tan(fieldOfView * 0.5f * Degree);
    view.HalfAcross = view.HalfUp * aspect;

    TRenderTarget& target = view.Target;
    target.W = width, target.H = height;
    target.Colour.resize(std::size_t(target.W) * std::size_t(target.H));
    target.Depth.assign(target.Colour.size(), 1.0f);
    ParallelRows(target.H, [&](int j) {
        const float y = (2.0f * (float(j) + 0.5f) / float(target.H) - 1.0f) * view.HalfUp;
        for (int i = 0; i < target.W; ++i) {
            const float x = (2.0f * (float(i) + 0.5f) / float(target.W) - 1.0f) * view.HalfAcross;
            target.Colour[std::size_t(j) * std::size_t(target.W) + std::size_t(i)] =
                backdrop(Normalised(view.Forward + view.Right * x + view.Up * y));
        }
    });
    const TMatrix clip = Multiply(PerspectiveMatrix(fieldOfView, aspect, 0.5, CameraFar),
                                  LookAtMatrix(view.Eye, view.Eye + view.Forward, V3(0, 0, 1)));
    DrawLakeObjects(lake, clip, target, false, WaterLevel);
    return view;
}

// Draws what the water mirrors towards camera 1: the scene from the camera's
// mirror image below the water, leaving out everything under the water plane
// (the ray from there reaches the scene through the water surface).
TMirrorView DrawMirror(const TLakeData& lake) {
    const TVec3 eye = CameraEye();
    return DrawView(lake, V3(eye.x, eye.y, 2.0f * WaterLevel - eye.z), MirrorPitch, MirrorFieldOfView,
                    MirrorAspect, MirrorWidth, MirrorHeight, TMirrorView::Backdrop);
}

// Camera 1's own view of the scene, level, wide enough for the whole far shore.
TMirrorView DrawDirect(const TLakeData& lake) {
    return DrawView(lake, CameraEye(), 0.0f, DirectFieldOfView, DirectAspect, DirectWidth, DirectHeight,
                    SkyColour);
}

// The still water seen from the sphere map's eye (the origin, above the
// water), along each azimuth: the water camera 1 sees there, from the
// bottom edge of its view out to the far shore.
struct TWaterSpan {
    static constexpr int Steps = 2880; // azimuth samples round the circle, 1/8 degree apart
    float AzimuthLow = 1e9f, AzimuthHigh = -1e9f;
    std::vector<float> Nearest, Farthest; // distances from the origin, by azimuth step

    TWaterSpan() : Nearest(Steps), Farthest(Steps) {
        const TArea& a = WaterDrawnArea;
        for (float x : {a.X0, a.X1})
            for (float y : {a.Y0, a.Y1}) {
                AzimuthLow = std::min(AzimuthLow, Atan2(x, y));
                AzimuthHigh = std::max(AzimuthHigh, Atan2(x, y));
            }
        // The bottom edge of camera 1's view meets the water this far ahead.
        const TVec3 eye = CameraEye(), ahead = Normalised(CameraTarget() - eye);
        const float pitch = Asin(ahead.z) - CameraFieldOfView * 0.5f * Degree;
        const float reach = (eye.z - WaterLevel) / Tan(-pitch);
        const float fx = ahead.x, fy = ahead.y, flat = Hypot(fx, fy);
        ParallelRows(Steps, [&](int i) {
            const float along = Clamp(Azimuth(i));
            const float gx = Sin(along), gy = Cos(along);
            float lo, hi;
            Along(gx, gy, lo, hi);
            // Ahead of the camera's view bottom: g.f d >= reach + eye.f
            const float gf = (gx * fx + gy * fy) / flat;
            const float ef = (eye.x * fx + eye.y * fy) / flat;
            if (gf > 1e-3f) lo = std::max(lo, (reach + ef) / gf);
            // The far shore: the last water before the land rises.
            float shore = hi;
            while (shore > lo && TerrainHeight(gx * shore, gy * shore) > WaterLevel)
                shore -= 0.25f;
            Farthest[std::size_t(i)] = std::max(shore, lo + 1.0f);
            Nearest[std::size_t(i)] = std::min(lo, Farthest[std::size_t(i)] - 1.0f);
        });
    }
    static float Azimuth(int i) { return (float(i) + 0.5f) / float(Steps) * 2.0f * Pi - Pi; }
    static int Step(float azimuth) {
        return std::clamp(int((azimuth + Pi) / (2.0f * Pi) * float(Steps)), 0, Steps - 1);
    }
    // The azimuth `a` (-pi..pi) moved into the span, to its nearer end.
    float Clamp(float a) const {
        if (a >= AzimuthLow && a <= AzimuthHigh) return a;
        const float middle = 0.5f * (AzimuthLow + AzimuthHigh);
        float off = a - middle;
        if (off > Pi) off -= 2.0f * Pi;
        if (off < -Pi) off += 2.0f * Pi;
        return off < 0.0f ? AzimuthLow : AzimuthHigh;
    }
    // Entry and exit distances of the ray from the origin along (gx, gy).
    static void Along(float gx, float gy, float& nearest, float& farthest) {
        const TArea& a = WaterDrawnArea;
        nearest = 0.0f, farthest = 1e9f;
        auto slab = [&](float g, float lo, float hi) {
            if (std::fabs(g) < 1e-6f) return;
            float t0 = lo / g, t1 = hi / g;
            if (t0 > t1) std::swap(t0, t1);
            nearest = std::max(nearest, t0), farthest = std::min(farthest, t1);
        };
        slab(gx, a.X0, a.X1);
        slab(gy, a.Y0, a.Y1);
        if (farthest < nearest) farthest = nearest;
    }
    // Elevations (radians) at which the still water along `azimuth` is read
    // from its nearest seen point (highest) to the far shore (lowest).
    void RingEdges(float azimuth, float& nearEdge, float& farEdge) const {
        const int i = Step(azimuth);
        nearEdge = Atan(-WaterLevel / Nearest[std::size_t(i)]);
        farEdge = Atan(-WaterLevel / Farthest[std::size_t(i)]);
    }
    // The still point that reads the direction (azimuth, elevation), kept
    // within the water camera 1 sees.
    TVec3 StillPoint(float azimuth, float elevation) const {
        const int i = Step(azimuth);
        const float along = Clamp(azimuth);
        const float reach = elevation > 1e-4f ? -WaterLevel / Tan(elevation) : 1e9f;
        const float d = std::clamp(reach, Nearest[std::size_t(i)], Farthest[std::size_t(i)]);
        return V3(Sin(along) * d, Cos(along) * d, WaterLevel);
    }
};

// The direction in which camera 1 sees the mirror image where the still
// lake reflects the sphere map's direction `r` (unit), or where the nearest
// still water that reads a direction like it does (rippled water reads the
// rest).
TVec3 SeenDirection(const TWaterSpan& span, TVec3 r) {
    const float depth = -WaterLevel; // the eye's height above the still water
    const float azimuth = Atan2(r.x, r.y);
    const float elevation = Asin(std::clamp(r.z, -1.0f, 1.0f));
    const TVec3 still = span.StillPoint(azimuth, elevation);
    const float along = Atan2(still.x, still.y), distance = Hypot(still.x, still.y);
    // There camera 1 sees the mirror image in the direction its view ray
    // takes after the bounce; ripples turn both rays alike, so the offset
    // between them carries over to the directions around.
    TVec3 bounce = still - CameraEye();
    bounce = Normalised(V3(bounce.x, bounce.y, -bounce.z));
    const float seenElevation = elevation + Asin(bounce.z) - Atan(depth / distance);
    const float seenAzimuth = azimuth + Atan2(bounce.x, bounce.y) - along;
    return Direction(seenAzimuth, seenElevation);
}

// The shore's colours along each azimuth: what camera 1 sees just above
// the far shore where the water of that azimuth meets it. Ripples hardly
// turn the reflected ray sideways, so rippled water smears these colours
// into vertical streaks below the shore.
struct TStreaks {
    // Running sums of the shore's colour over azimuth, for box blurs.
    std::vector<TColour> Sums;

    TStreaks(const TMirrorView& direct, const TWaterSpan& span) : Sums(TWaterSpan::Steps + 1) {
        const int steps = TWaterSpan::Steps;
        std::vector<TColour> streak(static_cast<std::size_t>(steps));
        const float band = 1.5f; // degrees above the shore
        ParallelRows(steps, [&](int i) {
            const float along = span.Clamp(TWaterSpan::Azimuth(i));
            const float d = span.Farthest[std::size_t(i)];
            const TVec3 seen = Normalised(V3(Sin(along) * d, Cos(along) * d, WaterLevel) - CameraEye());
            const float seenAzimuth = Atan2(seen.x, seen.y), seenElevation = Asin(seen.z);
            TColour sum = Rgb(0, 0, 0);
            constexpr int Samples = 8;
            for (int k = 0; k < Samples; ++k) {
                const TColour c = direct.Look(Direction(
                    seenAzimuth, seenElevation + band * Degree * (float(k) + 0.5f) / float(Samples)));
                sum = Rgb(sum.r + c.r, sum.g + c.g, sum.b + c.b);
            }
            streak[std::size_t(i)] = Scaled(sum, 1.0f / float(Samples));
        });
        for (int i = 0; i < steps; ++i) {
            const TColour& a = Sums[std::size_t(i)];
            const TColour& c = streak[std::size_t(i)];
            Sums[std::size_t(i) + 1] = Rgb(a.r + c.r, a.g + c.g, a.b + c.b);
        }
    }

    // The shore's colour at `azimuth`, averaged over `width` radians.
    TColour At(float azimuth, float width) const {
        const int steps = TWaterSpan::Steps;
        const float unit = float(steps) / (2.0f * Pi);
        const int half = std::max(1, int(width * 0.5f * unit));
        const int centre = int((azimuth + Pi) * unit);
        auto sumTo = [&](int i) { // wraps round the circle
            const int turns = i >= 0 ? i / steps : -((-i + steps - 1) / steps);
            const int r = i - turns * steps;
            const TColour& s = Sums[std::size_t(r)];
            const TColour& whole = Sums[std::size_t(steps)];
            return Rgb(s.r + float(turns) * whole.r, s.g + float(turns) * whole.g,
                       s.b + float(turns) * whole.b);
        };
        const TColour hi = sumTo(centre + half), lo = sumTo(centre - half);
        return Scaled(Rgb(hi.r - lo.r, hi.g - lo.g, hi.b - lo.b), 1.0f / float(2 * half));
    }
};

// The colour for the direction `r` (unit), read by the still lake or by
// ripples. The still point along r's azimuth that reads it sets how much
// the water reflects; what it reflects is the mirror image on the still
// ring and the shore's streaks, ever more blurred, away from it.
TColour WaterColour(const TMirrorView& mirror, const TWaterSpan& span, const TStreaks& streaks, TVec3 r) {
    const float azimuth = Atan2(r.x, r.y);
    const float elevation = Asin(std::clamp(r.z, -1.0f, 1.0f));
    float nearEdge, farEdge;
    span.RingEdges(azimuth, nearEdge, farEdge);
    // Wavelets too small to draw scatter a steep view's reflection away and
    // hide each other's backs at a glance: the share reflected rises faster
    // with the glance than a flat surface's.
    const float fresnel = WaterReflectance(span.StillPoint(azimuth, elevation));
    const float reflects = std::min(1.0f, 2.5f * fresnel * fresnel);

    // How far (degrees) ripples have turned the ray off the still ring.
    const bool down = elevation < farEdge;
    const float off = std::max(0.0f, down ? farEdge - elevation : elevation - nearEdge) / Degree;
    const TColour streak = streaks.At(span.Clamp(azimuth), (1.0f + 0.6f * off) * Degree);

    // On the ring, the mirror image of what lies beyond, with the shore's
    // colours over it as the ripples smear them.
    const TVec3 seen = SeenDirection(span, r);
    TColour reflected = Mix(mirror.Look(seen), streak, 0.9f);
    if (down) {
        // Turned down, the ray left a glancing face: it skims the lake to
        // the shore's foot and the haze above it, then, turned farther,
        // meets the back of the next wave and dims into the water's colour.
        const TColour haze = SkyColour(Direction(azimuth, 4.0f * Degree));
        const TColour low = Mix(Mix(streak, haze, 0.25f), ShallowViewWater(), SmoothRange(4.0f, 20.0f, off));
        reflected = Mix(reflected, low, SmoothRange(0.0f, 3.0f, off));
    } else if (off > 0.0f) {
        // Turned up, it left a steeper face: the shore's streaks fade and
        // the sky shows in glints on the steepest faces.
        const TColour up = Mix(streak, mirror.Look(r), 0.6f * SmoothRange(8.0f, 24.0f, off));
        reflected = Mix(reflected, up, SmoothRange(0.0f, 5.0f, off));
    }
    const float steep = SmoothRange(2.0f * Degree, 35.0f * Degree, std::fabs(elevation - farEdge));
    const TColour body = Scaled(Mix(ShallowViewWater(), DeepViewWater(), steep), 0.75f);
    return Mix(body, reflected, reflects);
}

} // namespace

TPicture WaterPicture(const TLakeData& lake) {
    const TMirrorView mirror = DrawMirror(lake);
    const TMirrorView direct = DrawDirect(lake);
    const TWaterSpan span;
    const TStreaks streaks(direct, span);
    TPicture picture(WaterPictureSize, WaterPictureSize, 4);
    const int n = WaterPictureSize;
    ParallelRows(n, [&](int j) {
        for (int i = 0; i < n; ++i) {
            // Four samples in the texel: the mapping squeezes the still
            // lake's few degrees into a thin ring.
            TColour sum = Rgb(0, 0, 0);
            for (int k = 0; k < 4; ++k) {
                const float a = 2.0f * (float(i) + 0.25f + 0.5f * float(k & 1)) / float(n) - 1.0f;
                const float b = 2.0f * (float(j) + 0.25f + 0.5f * float(k >> 1)) / float(n) - 1.0f;
                const float q = std::min(a * a + b * b, 1.0f); // beyond the rim: straight down
                const float hz = std::sqrt(1.0f - q);
                const TColour c = WaterColour(mirror, span, streaks,
                                              V3(2.0f * hz * a, 2.0f * hz * b, 2.0f * hz * hz - 1.0f));
                sum = Rgb(sum.r + c.r, sum.g + c.g, sum.b + c.b);
            }
            // Brightened to make up for the black that shows through under
            // the near water.
            TColour c = Scaled(sum, 0.25f / WaterOpacity);
            c.a = WaterOpacity;
            picture.Set(i, j, c);
        }
    });
    return picture;
}

} // namespace scenegen
