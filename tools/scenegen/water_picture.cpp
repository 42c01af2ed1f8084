#include "tools/scenegen/water_picture.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/parallel.h"
#include "tools/scenegen/raster.h"
#include "tools/scenegen/sky.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

constexpr float Pi = 3.14159265358979f;
constexpr float Degree = Pi / 180.0f;

// The view of the mirror below the water: camera 1 mirrored in the water
// plane, looking up across the lake, wide enough for every direction the
// water reflects towards camera 1 (steeper ones fall back to the sky).
constexpr float MirrorPitch = 18.0f;       // degrees above the horizon
constexpr float MirrorFieldOfView = 76.0f; // vertical, degrees
constexpr float MirrorAspect = 2.6f;
constexpr int MirrorWidth = 2080, MirrorHeight = 800;

// The water's own colour: seen at a glancing angle, and looking steeply down
// into the deep.
TColour ShallowViewWater() {
    return Rgb(0.16f, 0.25f, 0.27f);
}
TColour DeepViewWater() {
    return Rgb(0.04f, 0.10f, 0.115f);
}
// Far water seen at a glance, where a ray bounced down meets the next wave.
TColour GlancingWater() {
    return Rgb(0.33f, 0.42f, 0.48f);
}

TVec3 Direction(float azimuth, float elevation) { // radians, azimuth clockwise from north
    return V3(std::cos(elevation) * std::sin(azimuth), std::cos(elevation) * std::cos(azimuth),
              std::sin(elevation));
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

// Draws what the water mirrors towards camera 1: the scene from the camera's
// mirror image below the water, leaving out everything under the water plane
// (the ray from there reaches the scene through the water surface).
TMirrorView DrawMirror(const TLakeData& lake) {
    TMirrorView view;
    const TVec3 eye = CameraEye(), ahead = CameraTarget() - eye;
    const float yaw = std::atan2(ahead.x, ahead.y);
    view.Eye = V3(eye.x, eye.y, 2.0f * WaterLevel - eye.z);
    view.Forward = Direction(yaw, MirrorPitch * Degree);
    view.Right = Normalised(Cross(view.Forward, V3(0, 0, 1)));
    view.Up = Cross(view.Right, view.Forward);
    view.HalfUp = std::tan(MirrorFieldOfView * 0.5f * Degree);
    view.HalfAcross = view.HalfUp * MirrorAspect;

    TRenderTarget& target = view.Target;
    target.W = MirrorWidth, target.H = MirrorHeight;
    target.Colour.resize(std::size_t(target.W) * std::size_t(target.H));
    target.Depth.assign(target.Colour.size(), 1.0f);
    // The sky behind everything, for wherever the sky dome does not reach.
    ParallelRows(target.H, [&](int j) {
        const float y = (2.0f * (float(j) + 0.5f) / float(target.H) - 1.0f) * view.HalfUp;
        for (int i = 0; i < target.W; ++i) {
            const float x = (2.0f * (float(i) + 0.5f) / float(target.W) - 1.0f) * view.HalfAcross;
            target.Colour[std::size_t(j) * std::size_t(target.W) + std::size_t(i)] =
                TMirrorView::Backdrop(Normalised(view.Forward + view.Right * x + view.Up * y));
        }
    });
    const TMatrix clip = Multiply(PerspectiveMatrix(MirrorFieldOfView, MirrorAspect, 0.5, CameraFar),
                                  LookAtMatrix(view.Eye, view.Eye + view.Forward, V3(0, 0, 1)));
    DrawLakeObjects(lake, clip, target, false, WaterLevel);
    return view;
}

// The still water seen from the sphere map's eye (the origin, above the
// water): the azimuths its square covers, and how far along an azimuth the
// square begins and ends.
struct TWaterSpan {
    float AzimuthLow = 1e9f, AzimuthHigh = -1e9f;

    TWaterSpan() {
        const TArea& a = WaterDrawnArea;
        for (float x : {a.X0, a.X1})
            for (float y : {a.Y0, a.Y1}) {
                AzimuthLow = std::min(AzimuthLow, std::atan2(x, y));
                AzimuthHigh = std::max(AzimuthHigh, std::atan2(x, y));
            }
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
};

// The colour of the water for the sphere map's direction `r` (unit).
TColour WaterColour(const TMirrorView& mirror, const TWaterSpan& span, TVec3 r) {
    const float depth = -WaterLevel; // the eye's height above the still water
    const float azimuth = std::atan2(r.x, r.y);
    const float elevation = std::asin(std::clamp(r.z, -1.0f, 1.0f));

    // The point of the still lake that reads this direction, or the nearest
    // one that reads one like it (rippled water reads the rest).
    const float along = span.Clamp(azimuth);
    const float gx = std::sin(along), gy = std::cos(along);
    float nearest, farthest;
    TWaterSpan::Along(gx, gy, nearest, farthest);
    const float reach = elevation > 1e-4f ? depth / std::tan(elevation) : 1e9f;
    const float distance = std::clamp(reach, nearest, farthest);
    const TVec3 still = V3(gx * distance, gy * distance, WaterLevel);

    // There camera 1 sees the mirror image in the direction its view ray
    // takes after the bounce; ripples turn both rays alike, so the offset
    // between them carries over to the directions around.
    TVec3 bounce = still - CameraEye();
    bounce = Normalised(V3(bounce.x, bounce.y, -bounce.z));
    const float seenElevation = elevation + std::asin(bounce.z) - std::atan(depth / distance);
    const float seenAzimuth = azimuth + std::atan2(bounce.x, bounce.y) - along;
    const TVec3 seen = Direction(seenAzimuth, seenElevation);

    // How much the surface reflects: little looking steeply in, most at a
    // glance (Fresnel's law for water, in Schlick's form).
    const float glance = std::clamp(seenElevation, 0.0f, Pi * 0.5f);
    const float k = 1.0f - std::sin(glance);
    float reflects = 0.03f + 0.77f * k * k * k * k * k;
    // A ray bounced downwards meets the next wave: the water's own colour.
    reflects *= SmoothRange(-5.0f * Degree, 0.5f * Degree, seenElevation);

    const TColour body = Mix(ShallowViewWater(), DeepViewWater(),
                             SmoothRange(2.0f * Degree, 35.0f * Degree, std::fabs(seenElevation)));
    TColour reflected = mirror.Look(seen);
    if (seenElevation < 0.0f) {
        // Bounced down, the ray meets the back of the next wave and bounces
        // up again, to what lies low over the lake: the shore and the sky at
        // the horizon, dimmed by the second bounce.
        const TColour again = Scaled(mirror.Look(V3(seen.x, seen.y, -seen.z)), 0.8f);
        reflected = Mix(reflected, again, 0.6f * SmoothRange(0.0f, -4.0f * Degree, seenElevation));
    }
    // Above every direction the still lake reads, water turned towards the
    // camera: it still gives back some of the sky, on and among wavelets too
    // small to draw, so it shades from the shore's reflection into a dim sky
    // rather than into black.
    const float above = elevation - 5.5f * Degree;
    const float sky =
        0.12f * SmoothRange(0.0f, 8.0f * Degree, above) * SmoothRange(70.0f * Degree, 20.0f * Degree, above);
    return Mix(Mix(body, reflected, reflects), mirror.Look(r), sky);
}

} // namespace

TPicture WaterPicture(const TLakeData& lake) {
    const TMirrorView mirror = DrawMirror(lake);
    const TWaterSpan span;
    TPicture picture(WaterPictureSize, WaterPictureSize, 3);
    const int n = WaterPictureSize;
    ParallelRows(n, [&](int j) {
        for (int i = 0; i < n; ++i) {
            // Four samples in the texel: the mapping squeezes the still
            // lake's few degrees into a thin ring.
            TColour sum = Rgb(0, 0, 0);
            for (int k = 0; k < 4; ++k) {
                const float a = 2.0f * (float(i) + 0.25f + 0.5f * float(k & 1)) / float(n) - 1.0f;
                const float b = 2.0f * (float(j) + 0.25f + 0.5f * float(k >> 1)) / float(n) - 1.0f;
                const float q = a * a + b * b;
                TColour c = DeepViewWater(); // beyond the rim: straight down
                if (q < 1.0f) {
                    const float hz = std::sqrt(1.0f - q);
                    c = WaterColour(mirror, span, V3(2.0f * hz * a, 2.0f * hz * b, 2.0f * hz * hz - 1.0f));
                }
                sum = Rgb(sum.r + c.r, sum.g + c.g, sum.b + c.b);
            }
            picture.Set(i, j, Scaled(sum, 0.25f));
        }
    });
    return picture;
}

} // namespace scenegen
