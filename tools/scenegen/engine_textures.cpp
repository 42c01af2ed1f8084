// The surface overlay and flare textures (see engine_textures.h).
#include "tools/scenegen/engine_textures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/textures/umt_writer.h"
#include "tools/scenegen/maths.h"

namespace scenegen {

namespace {

std::uint8_t Byte(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0l, 255l));
}

TUmtImage RgbaImage(int side) {
    TUmtImage image;
    image.Width = static_cast<std::uint16_t>(side);
    image.Height = static_cast<std::uint16_t>(side);
    image.BitsPerPixel = 32;
    image.LastFrame = 0;
    image.Pixels.resize(std::size_t(side) * side * 4);
    return image;
}

void Put(TUmtImage& image, int x, int y, double r, double g, double b, double a) {
    std::uint8_t* p = image.Pixels.data() + (std::size_t(y) * image.Width + x) * 4;
    p[0] = Byte(r);
    p[1] = Byte(g);
    p[2] = Byte(b);
    p[3] = Byte(a);
}

} // namespace

TUmtImage SurfaceOverlayImage() {
    TUmtImage image = RgbaImage(SurfaceOverlaySide);
    // Interfering waves whose periods divide the side, so the sheen tiles.
    const double k = 2 * PiD / SurfaceOverlaySide;
    for (int y = 0; y < SurfaceOverlaySide; ++y)
        for (int x = 0; x < SurfaceOverlaySide; ++x) {
            const double waves = Sin(k * (3 * x + 1 * y)) + Sin(k * (-2 * x + 5 * y) + 1.3) +
                                 0.6 * Sin(k * (7 * x - 4 * y) + 0.4);
            // Bright crests only: -2.6..2.6 folded into 0..1, sharpened.
            const double crest = Pow(std::clamp((waves + 2.6) / 5.2, 0.0, 1.0), 3.0);
            Put(image, x, y, 170 + 85 * crest, 200 + 55 * crest, 255, 20 + 90 * crest);
        }
    return image;
}

TUmtImage FlareImage() {
    TUmtImage image = RgbaImage(FlareSide);
    const double centre = (FlareSide - 1) / 2.0;
    for (int y = 0; y < FlareSide; ++y)
        for (int x = 0; x < FlareSide; ++x) {
            const double dx = (x - centre) / centre, dy = (y - centre) / centre;
            const double d = std::sqrt(dx * dx + dy * dy); // 0 at the centre, 1 at the edge midpoints
            const double core = Exp(-d * d * 40.0);
            const double halo = std::max(0.0, 1.0 - d) * std::max(0.0, 1.0 - d);
            // Four soft rays along the diagonals of the drawn square.
            const double angle = Atan2(dy, dx);
            const double rays = Pow(std::fabs(Cos(2 * angle)), 24.0) * std::max(0.0, 1.0 - d) * 0.5;
            const double glow = std::min(1.0, core + 0.55 * halo + rays);
            const double warmth = std::min(1.0, core * 1.5); // white core, amber halo
            Put(image, x, y, 255, 190 + 65 * warmth, 110 + 145 * warmth, 255 * glow);
        }
    return image;
}

void SaveEngineTextures(const std::string& models) {
    SaveUmt(models + "sfs.umt", SurfaceOverlayImage(), false);
    SaveUmt(models + "flare.umt", FlareImage(), false);
}

} // namespace scenegen
