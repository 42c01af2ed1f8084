#include "tools/scenegen/water_picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

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
    return Rgb(0.17f, 0.28f, 0.30f);
}
TColour DeepViewWater() {
    return Rgb(0.085f, 0.18f, 0.19f);
}
// The faces of ripples turned towards the eye, lit from within by the sky
// overhead: a mid-deep blue-green.
TColour RippledDeepWater() {
    return Rgb(0.12f, 0.235f, 0.245f);
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

// The direction in which camera 1 sees the mirror image where the still
// lake reflects the sphere map's direction `r` (unit), or where the nearest
// still water that reads a direction like it does (rippled water reads the
// rest).
TVec3 SeenDirection(const TWaterSpan& span, TVec3 r) {
    const float depth = -WaterLevel; // the eye's height above the still water
    const float azimuth = std::atan2(r.x, r.y);
    const float elevation = std::asin(std::clamp(r.z, -1.0f, 1.0f));
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
    return Direction(seenAzimuth, seenElevation);
}

// The colour of the still water for the sphere map's direction `r` (unit).
TColour StillColour(const TMirrorView& mirror, const TWaterSpan& span, TVec3 r) {
    const float elevation = std::asin(std::clamp(r.z, -1.0f, 1.0f));
    const TVec3 seen = SeenDirection(span, r);
    const float seenElevation = std::asin(std::clamp(seen.z, -1.0f, 1.0f));

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

// The rippled water. Ripples tilt the surface a few degrees, mostly along
// the line of sight, which turns the reflected ray up or down by twice as
// much and hardly sideways: rippled water reads the picture along the same
// azimuth as the still lake, inside and outside its ring. So each azimuth
// carries the shore's colour (what the still ring mirrors there) away from
// the ring, ever more blurred across azimuths and blended with what such
// tilted water shows: outside the ring (rays turned down, read most by far
// water, seen at a glance) the bright horizon, silvery; inside (rays turned
// up, read most by near water, seen more steeply) the water's own blue-green,
// and farther in the sky in small glints where the steepest wave faces catch
// it.
struct TRipples {
    static constexpr int Steps = 2880; // azimuth samples round the circle, 1/8 degree apart
    // Running sums of the shore's streak colour over azimuth, for box blurs.
    std::vector<TColour> Sums;

    TRipples(const TMirrorView& mirror, const TWaterSpan& span) : Sums(Steps + 1) {
        std::vector<TColour> streak(Steps);
        ParallelRows(Steps, [&](int i) {
            const float azimuth = Azimuth(i);
            float nearEdge, farEdge;
            RingEdges(span, azimuth, nearEdge, farEdge);
            // The shore's colours: what the farthest still water mirrors,
            // from the far shore's foot a few degrees up.
            const TVec3 seen = SeenDirection(span, Direction(azimuth, farEdge));
            const float seenAzimuth = std::atan2(seen.x, seen.y), seenElevation = std::asin(seen.z);
            TColour sum = Rgb(0, 0, 0);
            constexpr int Samples = 8;
            for (int k = 0; k < Samples; ++k) {
                const TColour c =
                    mirror.Look(Direction(seenAzimuth, seenElevation + 0.5f * Degree * float(k)));
                sum = Rgb(sum.r + c.r, sum.g + c.g, sum.b + c.b);
            }
            streak[std::size_t(i)] = Scaled(sum, 1.0f / float(Samples));
        });
        for (int i = 0; i < Steps; ++i) {
            const TColour& a = Sums[std::size_t(i)];
            const TColour& c = streak[std::size_t(i)];
            Sums[std::size_t(i) + 1] = Rgb(a.r + c.r, a.g + c.g, a.b + c.b);
        }
    }
    static float Azimuth(int i) { return (float(i) + 0.5f) / float(Steps) * 2.0f * Pi - Pi; }

    // Elevations (radians) at which the still ring along `azimuth` begins
    // (its nearest water, highest) and ends (its farthest, lowest).
    static void RingEdges(const TWaterSpan& span, float azimuth, float& nearEdge, float& farEdge) {
        const float along = span.Clamp(azimuth);
        float nearest, farthest;
        TWaterSpan::Along(std::sin(along), std::cos(along), nearest, farthest);
        nearEdge = std::atan(-WaterLevel / std::max(nearest, 1.0f));
        farEdge = std::atan(-WaterLevel / std::max(farthest, 1.0f));
    }

    // The shore's streak colour at `azimuth`, averaged over `width` radians.
    TColour Streak(float azimuth, float width) const {
        const float unit = float(Steps) / (2.0f * Pi);
        const int half = std::max(1, int(width * 0.5f * unit));
        const int centre = int((azimuth + Pi) * unit);
        auto sumTo = [&](int i) { // wraps round the circle
            const int turns = i >= 0 ? i / Steps : -((-i + Steps - 1) / Steps);
            const int r = i - turns * Steps;
            const TColour& s = Sums[std::size_t(r)];
            const TColour& whole = Sums[Steps];
            return Rgb(s.r + float(turns) * whole.r, s.g + float(turns) * whole.g,
                       s.b + float(turns) * whole.b);
        };
        const TColour hi = sumTo(centre + half), lo = sumTo(centre - half);
        return Scaled(Rgb(hi.r - lo.r, hi.g - lo.g, hi.b - lo.b), 1.0f / float(2 * half));
    }
};

// The colour for the direction `r` (unit) read by the still lake or by
// ripples.
TColour WaterColour(const TMirrorView& mirror, const TWaterSpan& span, const TRipples& ripples, TVec3 r) {
    const float azimuth = std::atan2(r.x, r.y);
    const float elevation = std::asin(std::clamp(r.z, -1.0f, 1.0f));
    float nearEdge, farEdge;
    TRipples::RingEdges(span, azimuth, nearEdge, farEdge);
    if (elevation >= farEdge && elevation <= nearEdge) return StillColour(mirror, span, r);

    // How far (degrees) the ripples have turned the ray off the ring, and
    // the ring's colour where they left it.
    const bool down = elevation < farEdge;
    const float off = (down ? farEdge - elevation : elevation - nearEdge) / Degree;
    const TColour edge = StillColour(mirror, span, Direction(azimuth, down ? farEdge : nearEdge));
    const TColour streak = ripples.Streak(azimuth, (1.0f + 0.6f * off) * Degree);
    // Every tilted face still gives back the shore's colours at its
    // azimuth, the farther from the still ring the more blurred. Turned
    // down a little, the ray left a glancing face, which reflects most
    // (Fresnel): the silvery haze low over the lake; turned down far, it
    // meets the back of the next wave and dims into the water's colour.
    // Turned up, it left a steeper face, which shows the water's own
    // mid-deep blue-green, and the steepest of those catch the sky in
    // small glints.
    TColour rippled;
    if (down) {
        const TColour haze = SkyColour(Direction(azimuth, 4.0f * Degree));
        const TColour base = Mix(haze, ShallowViewWater(), SmoothRange(1.0f, 10.0f, off));
        rippled = Mix(base, streak, 0.8f - 0.4f * SmoothRange(0.0f, 20.0f, off));
    } else {
        rippled = Mix(RippledDeepWater(), streak, 0.65f - 0.3f * SmoothRange(0.0f, 15.0f, off));
        rippled = Mix(rippled, mirror.Look(r), 0.7f * SmoothRange(10.0f, 24.0f, off));
    }
    // Away from the ring by degrees: hard steps in the picture are what
    // the ripples turn into contour lines.
    return Mix(edge, rippled, SmoothRange(0.0f, down ? 3.0f : 6.0f, off));
}

} // namespace

TPicture WaterPicture(const TLakeData& lake) {
    const TMirrorView mirror = DrawMirror(lake);
    const TWaterSpan span;
    const TRipples ripples(mirror, span);
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
                const float q = std::min(a * a + b * b, 1.0f); // beyond the rim: straight down
                const float hz = std::sqrt(1.0f - q);
                const TColour c = WaterColour(mirror, span, ripples,
                                              V3(2.0f * hz * a, 2.0f * hz * b, 2.0f * hz * hz - 1.0f));
                sum = Rgb(sum.r + c.r, sum.g + c.g, sum.b + c.b);
            }
            picture.Set(i, j, Scaled(sum, 0.25f));
        }
    });
    return picture;
}

} // namespace scenegen
