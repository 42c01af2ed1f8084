#include "tools/scenegen/lake_sheen.h"

#include <algorithm>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/sky.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

constexpr int SheenTextureSize = 64;
// The sheen rises from nothing at this northing to its full strength a
// distance farther off; the sheet begins where it does.
constexpr float SheenStart = 182.0f, SheenRise = 45.0f;

TArea SheenArea() {
    const TArea& a = WaterDrawnArea;
    return TArea{a.X0, SheenStart, a.X1, a.Y1};
}

} // namespace

float WaterReflectance(TVec3 p) {
    const TVec3 eye = CameraEye();
    const float glance = Atan2(eye.z - p.z, Hypot(p.x - eye.x, p.y - eye.y));
    const float k = 1.0f - Sin(glance);
    return 0.02f + 0.98f * k * k * k * k * k;
}

TColour LakeSheenColour(float x, float y) {
    if (y <= SheenStart) return Rgb(0, 0, 0);
    const TVec3 p = V3(x, y, WaterLevel), eye = CameraEye();
    // What the still water mirrors there: the sky low over the far shore,
    // softened, as wavelets spread each view ray over several degrees.
    TVec3 bounce = p - eye;
    bounce = Normalised(V3(bounce.x, bounce.y, -bounce.z));
    const float azimuth = Atan2(bounce.x, bounce.y), elevation = Asin(bounce.z);
    TColour sky = Rgb(0, 0, 0);
    constexpr int Samples = 5;
    for (int k = 0; k < Samples; ++k) {
        const TColour c = SkyColour(Direction(azimuth, elevation + (3.0f + 3.0f * float(k)) * Degree));
        sky = Rgb(sky.r + c.r, sky.g + c.g, sky.b + c.b);
    }
    // Wavelets too small to draw hide each other's backs at a glance, so the
    // share of sky rises faster with the glance than a flat surface's.
    const float fresnel = WaterReflectance(p);
    const float strength =
        std::min(1.0f, 2.0f * fresnel) * SmoothRange(SheenStart, SheenStart + SheenRise, y);
    return Scaled(sky, strength / float(Samples));
}

TGenObject LakeSheen(std::uint16_t material) {
    TGenObject sheen;
    sheen.Material = material;
    const TArea a = SheenArea();
    const float z = WaterLevel - HiddenBedDepth;
    const float lo = 0.5f / SheenTextureSize, hi = 1.0f - lo;
    sheen.AddQuad(V3(a.X0, a.Y0, z), V3(a.X1, a.Y0, z), V3(a.X1, a.Y1, z), V3(a.X0, a.Y1, z), V3(lo, lo, 0),
                  V3(hi, lo, 0), V3(hi, hi, 0), V3(lo, hi, 0));
    return sheen;
}

TPicture LakeSheenTexture() {
    const TArea a = SheenArea();
    TPicture picture(SheenTextureSize, SheenTextureSize, 3);
    for (int j = 0; j < SheenTextureSize; ++j)
        for (int i = 0; i < SheenTextureSize; ++i) {
            const float u = float(i) / float(SheenTextureSize - 1),
                        v = float(j) / float(SheenTextureSize - 1);
            picture.Set(i, j, LakeSheenColour(a.X0 + (a.X1 - a.X0) * u, a.Y0 + (a.Y1 - a.Y0) * v));
        }
    return picture;
}

} // namespace scenegen
