#include "tools/scenegen/lighting.h"

#include <algorithm>

#include "tools/scenegen/maths.h"
#include "tools/scenegen/world.h"

namespace scenegen {

TVec3 SunDirection() {
    return Normalised(V3(-0.77f, -0.28f, 0.57f));
}

TVec3 SunInView() {
    const TVec3 eye = CameraEye(), forward = Normalised(CameraTarget() - eye);
    const TVec3 right = Normalised(Cross(forward, V3(0, 0, 1)));
    const TVec3 toward = Normalised(V3(-forward.x, -forward.y, 0.0f));
    const TVec3 sun = SunDirection();
    return Normalised(V3(Dot(sun, right), sun.z, Dot(sun, toward)));
}

TColour SunLight() {
    return Rgb(1.18f, 1.05f, 0.84f);
}

TColour SkyLight() {
    return Rgb(0.37f, 0.45f, 0.58f);
}

TColour IlluminationAt(float sunLit, float up, float openness) {
    // The sky's light falls mostly on what faces up, a little on what faces
    // sideways; the sun's on what faces it.
    const float sky = (0.65f + 0.35f * up) * openness;
    const TColour sun = SunLight(), fill = SkyLight();
    const float direct = std::max(0.0f, sunLit);
    return Rgb(sun.r * direct + fill.r * sky, sun.g * direct + fill.g * sky, sun.b * direct + fill.b * sky);
}

TColour Illumination(TVec3 normal, float sunShare, float openness) {
    return IlluminationAt(Dot(normal, SunDirection()) * sunShare, normal.z, openness);
}

TColour Lit(const TColour& colour, const TColour& light) {
    return Rgb(colour.r * light.r, colour.g * light.g, colour.b * light.b, colour.a);
}

TColour LightTint(float sunLit) {
    const TColour light = IlluminationAt(sunLit, 0.5f, 1.0f);
    return Scaled(light, 3.0f / (light.r + light.g + light.b));
}

TColour ZenithColour() {
    return Rgb(0.27f, 0.47f, 0.79f);
}

TColour SunGlowColour() {
    return Rgb(1.0f, 0.97f, 0.9f);
}

TColour HazeColour() {
    return Rgb(0.74f, 0.81f, 0.88f);
}

float HazeAmount(float distance) {
    // Little over the lake, more and more over the far hills.
    return 1.0f - Exp(-Pow(distance / 520.0f, 1.3f));
}

} // namespace scenegen
