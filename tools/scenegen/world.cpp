#include "tools/scenegen/world.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"

namespace scenegen {

namespace {

// Wraps an angle difference into -pi..pi.
float AngleDelta(float a, float b) {
    float d = a - b;
    while (d > Pi)
        d -= 2.0f * Pi;
    while (d < -Pi)
        d += 2.0f * Pi;
    return d;
}
} // namespace

float ShoreRadius(float angle) {
    // Broad bays, then coves and points of a few boat lengths.
    return 52.0f + 4.0f * Sin(2.0f * angle + 0.9f) + 3.0f * Cos(3.0f * angle - 0.4f) +
           1.5f * Sin(5.0f * angle + 2.0f) + 2.2f * Sin(7.0f * angle + 1.3f) +
           1.6f * Sin(11.0f * angle + 0.2f) + 0.9f * Sin(16.0f * angle + 2.5f);
}

namespace {

// The stream's course: how far along it from the lip (x, y) lies, and how
// far to its side.
void StreamCoordinates(float x, float y, float& along, float& side) {
    const float dx = x - LakeCentreX, dy = y - LakeCentreY;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float delta = AngleDelta(Atan2(dy, dx), FallsAngle);
    along = d * Cos(delta) - (ShoreRadius(FallsAngle) + CliffDepth);
    const float meander = SmoothRange(0.0f, 30.0f, along) *
                          (8.0f * Sin(along / 32.0f + 0.3f) + 3.0f * Sin(along / 11.0f + 1.7f) - 2.4f);
    side = d * Sin(delta) - meander;
}

// How far the stream reaches into the hills.
constexpr float StreamLength = 260.0f;

} // namespace

float StreamWater(float x, float y) {
    float along = 0.0f, side = 0.0f;
    StreamCoordinates(x, y, along, side);
    if (along < -1.0f || along > StreamLength) return 0.0f;
    const float width = 1.0f + 0.5f * SmoothRange(StreamLength, 0.0f, along) +
                        0.3f * Fbm(along / 6.0f, 0.5f, seeds::StreamWidth, 2);
    return SmoothRange(1.2f, 0.8f, std::fabs(side) / width) *
           SmoothRange(StreamLength, StreamLength - 60.0f, along) * SmoothRange(-1.0f, 1.0f, along);
}

float TerrainHeight(float x, float y) {
    const float dx = x - LakeCentreX, dy = y - LakeCentreY;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float angle = Atan2(dy, dx);
    const float b = d - ShoreRadius(angle); // signed distance beyond the waterline

    if (b <= 0.0f) return WaterLevel - 8.0f * SmoothRange(0.0f, 20.0f, -b);

    // Banks: steep at the water, easing off, then rolling hills that grow
    // with the distance from the lake. The near (south) shore stays low so
    // the view from it is open.
    float rise = 4.5f * (1.0f - Exp(-b / 7.0f)) + 0.16f * b;
    float open = 0.35f + 0.65f * SmoothRange(150.0f, 230.0f, y);
    float hillAmp = 24.0f * SmoothRange(6.0f, 120.0f, b) * open;
    float hills = hillAmp * (0.5f + 0.5f * Fbm(x / 170.0f, y / 170.0f, seeds::Hills, 5));
    float bumps = 1.6f * Fbm(x / 14.0f, y / 14.0f, seeds::Bumps, 4) * SmoothRange(0.0f, 8.0f, b);
    // A range of higher ground far to the north closes the valley.
    float range = 60.0f * SmoothRange(330.0f, 640.0f, y) *
                  (0.55f + 0.45f * Ridged(x / 260.0f, y / 260.0f, seeds::FarRange, 5));
    float h = WaterLevel + rise + hills + bumps + range;

    // The rock face: within a narrow arc of the shore the lake reaches in to
    // the foot of a cliff (a mesh of its own stands there) and the land stays
    // up as a shelf behind it; the ground rises only behind the face.
    // Its width wanders, so the face's ends meet the hillside unevenly.
    const float arcWidth = 0.26f * (1.0f + 0.2f * ValueNoise(angle * 9.0f, 0.5f, seeds::RockFaceWidth));
    float arc = Exp(-Pow(AngleDelta(angle, FallsAngle) / arcWidth, 2.0f));
    if (arc > 0.01f) {
        float ragged = b + 0.8f * Fbm(x / 5.0f, y / 5.0f, seeds::RockFaceEdge, 3);
        float shelf = CliffHeight + 3.0f * Fbm(x / 9.0f, y / 9.0f, seeds::RockShelf, 3) - 0.04f * b;
        float cliff = WaterLevel - 1.0f + (shelf + 1.0f) * SmoothRange(3.2f, CliffDepth + 2.0f, ragged);
        // The stream's notch at the lip, along the line from the lake centre.
        float lateral = d * Sin(AngleDelta(angle, FallsAngle));
        cliff -= 2.5f * Exp(-lateral * lateral / 5.0f) * SmoothRange(CliffDepth - 2.0f, CliffDepth + 3.0f, b);
        // At the foot the ground goes down under the water; behind the face
        // it only ever rises, so the hills beyond keep their height.
        float shaped = h + (cliff - h) * SmoothRange(0.05f, 0.6f, arc);
        h = shaped + (std::max(h, shaped) - shaped) * SmoothRange(3.2f, 4.5f, ragged);
    }

    // The stream's bed and the shallow valley it has worn.
    float along = 0.0f, side = 0.0f;
    StreamCoordinates(x, y, along, side);
    if (along > -4.0f && along < StreamLength + 20.0f) {
        const float reach =
            SmoothRange(-4.0f, 2.0f, along) * SmoothRange(StreamLength + 20.0f, StreamLength - 60.0f, along);
        h -= reach * (1.2f * Exp(-side * side / 2.5f) + 2.5f * Exp(-side * side / 60.0f));
    }
    return h;
}

float WoodsDensity(float x, float y, float height) {
    const float dx = x - LakeCentreX, dy = y - LakeCentreY;
    const float beyond = std::sqrt(dx * dx + dy * dy) - ShoreRadius(Atan2(dy, dx));
    const float above = height - WaterLevel;
    float woods =
        Fbm(x / 70.0f, y / 70.0f, seeds::Woods, 4) + 0.3f * SmoothRange(15.0f, 80.0f, beyond) - 0.08f;
    woods *= SmoothRange(3.0f, 6.0f, above);
    // A clearing along the stream near the lip keeps it in sight.
    float along = 0.0f, side = 0.0f;
    StreamCoordinates(x, y, along, side);
    if (along > -4.0f && along < StreamLength)
        woods -= 0.3f * Exp(-side * side / 50.0f) * SmoothRange(StreamLength, 60.0f, along);
    return SmoothRange(0.12f, 0.22f, woods);
}

TVec3 TerrainNormal(float x, float y, float step) {
    float hx = TerrainHeight(x + step, y) - TerrainHeight(x - step, y);
    float hy = TerrainHeight(x, y + step) - TerrainHeight(x, y - step);
    return Normalised(V3(-hx, -hy, 2.0f * step));
}

TVec3 CameraEye() {
    return V3(24.0f, 128.0f, 4.5f);
}

TVec3 CameraTarget() {
    const float yaw = 4.0f * Pi / 180.0f, pitch = -3.0f * Pi / 180.0f;
    TVec3 dir = V3(Sin(yaw) * Cos(pitch), Cos(yaw) * Cos(pitch), Sin(pitch));
    return CameraEye() + dir * 100.0f;
}

TVec3 CameraView(TVec3 p) {
    const TVec3 eye = CameraEye(), forward = Normalised(CameraTarget() - eye);
    const TVec3 right = Normalised(Cross(forward, V3(0, 0, 1))), up = Cross(right, forward);
    const TVec3 d = p - eye;
    const float z = Dot(d, forward);
    if (z <= 1e-3f) return V3(0, 0, z);
    return V3(Dot(d, right) / z, Dot(d, up) / z, z);
}

bool TriangleMayShow(TVec3 a, TVec3 b, TVec3 c) {
    // Half the view's height as a tangent, and its half width at the widest
    // screen, each with a margin of a few pixels.
    const float halfUp = ViewHalfUp * 1.02f;
    const float halfAcross = halfUp * WidestAspect;
    const TVec3 v[3] = {CameraView(a), CameraView(b), CameraView(c)};
    int behind = 0, left = 0, right = 0, below = 0, above = 0;
    for (const TVec3& p : v) {
        if (p.z < CameraNear) {
            ++behind;
            continue; // its tangents mean nothing: only the near plane judges it
        }
        left += p.x<-halfAcross, right += p.x> halfAcross;
        below += p.y<-halfUp, above += p.y> halfUp;
    }
    if (behind == 3) return false;
    if (behind > 0) return true; // crosses the near plane: kept
    return left < 3 && right < 3 && below < 3 && above < 3;
}

} // namespace scenegen
