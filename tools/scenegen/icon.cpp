#include "tools/scenegen/icon.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/support/files.h"
#include "tools/scenegen/maths.h"
#include "tools/scenegen/raster.h"

namespace scenegen {

namespace {
// The side of the one rendering every size is scaled down from.
constexpr int RenderSide = 256;
// The frame round the picture: a dark rim that keeps the icon apart from a
// light or a blue background.
const TColour RimColour = Rgb(0.07f, 0.11f, 0.15f);

// The mean colour of the source over the square [x0, x1) x [y0, y1) (in
// source pixels, fractions counted by the share of each pixel covered).
TColour AreaMean(const TPicture& source, double x0, double y0, double x1, double y1) {
    x1 = std::min(x1, double(source.Width));
    y1 = std::min(y1, double(source.Height));
    double r = 0, g = 0, b = 0, total = 0;
    for (int y = int(std::floor(y0)); y < int(std::ceil(y1)); ++y) {
        const double wy = std::min(y1, y + 1.0) - std::max(y0, double(y));
        for (int x = int(std::floor(x0)); x < int(std::ceil(x1)); ++x) {
            const double w = wy * (std::min(x1, x + 1.0) - std::max(x0, double(x)));
            const TColour c = source.Get(x, y);
            r += c.r * w;
            g += c.g * w;
            b += c.b * w;
            total += w;
        }
    }
    return Rgb(float(r / total), float(g / total), float(b / total));
}

// How far (in pixels) the point lies inside the rounded square that fills a
// side of `side` pixels less a margin; negative outside.
double InsideDistance(double x, double y, int side) {
    const double margin = side >= 48 ? side * 0.03 : 0.0;
    const double radius = side * 0.18;
    const double half = side * 0.5 - margin;
    const double qx = std::fabs(x - side * 0.5) - (half - radius);
    const double qy = std::fabs(y - side * 0.5) - (half - radius);
    const double outside = Hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0);
    return radius - outside;
}

TPicture IconPicture(const TPicture& view, int side) {
    TPicture icon(side, side, 4);
    const double scale = double(view.Width) / side;
    const double rim = std::max(1.0, side / 40.0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double d = InsideDistance(x + 0.5, y + 0.5, side);
            const float alpha = float(std::clamp(d + 0.5, 0.0, 1.0));
            const float edge = float(std::clamp(rim - d + 0.5, 0.0, 1.0)) * 0.75f;
            TColour c =
                Mix(AreaMean(view, x * scale, y * scale, (x + 1) * scale, (y + 1) * scale), RimColour, edge);
            c.a = alpha;
            icon.Set(x, y, c);
        }
    }
    return icon;
}
} // namespace

std::vector<TPicture> MakeIconPictures(const TLakeData& lake) {
    const TPicture view = RenderLakeView(lake, RenderSide, RenderSide, 2, true);
    std::vector<TPicture> pictures;
    for (int side : IconSizes)
        pictures.push_back(IconPicture(view, side));
    return pictures;
}

std::vector<std::uint8_t> IcoBytes(const std::vector<TPicture>& pictures) {
    std::vector<std::uint8_t> out;
    auto put16 = [&](std::uint32_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFFu);
        put16(v >> 16);
    };
    auto maskRow = [](int side) { return ((std::uint32_t(side) + 31u) / 32u) * 4u; };
    auto imageSize = [&](int side) {
        return 40u + std::uint32_t(side) * std::uint32_t(side) * 4u + maskRow(side) * std::uint32_t(side);
    };

    put16(0);
    put16(1);
    put16(std::uint32_t(pictures.size()));
    std::uint32_t offset = 6u + 16u * std::uint32_t(pictures.size());
    for (const TPicture& p : pictures) {
        if (p.Width != p.Height || p.Width < 1 || p.Width > 256 || p.Channels != 4)
            throw std::invalid_argument("an icon image must be square RGBA of 1 to 256 pixels");
        out.push_back(std::uint8_t(p.Width & 0xFF)); // 256 is written as 0
        out.push_back(std::uint8_t(p.Height & 0xFF));
        out.push_back(0);
        out.push_back(0);
        put16(1);
        put16(32);
        put32(imageSize(p.Width));
        put32(offset);
        offset += imageSize(p.Width);
    }
    for (const TPicture& p : pictures) {
        const int side = p.Width;
        put32(40);
        put32(std::uint32_t(side));
        put32(std::uint32_t(side) * 2u); // the colour and the AND mask
        put16(1);
        put16(32);
        put32(0); // BI_RGB
        put32(imageSize(side) - 40u);
        put32(0);
        put32(0);
        put32(0);
        put32(0);
        for (int y = side - 1; y >= 0; --y) {
            for (int x = 0; x < side; ++x) {
                const std::uint8_t* px = &p.Bytes[(std::size_t(y) * std::size_t(side) + std::size_t(x)) * 4u];
                out.push_back(px[2]);
                out.push_back(px[1]);
                out.push_back(px[0]);
                out.push_back(px[3]);
            }
        }
        for (int y = side - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(maskRow(side), 0);
            for (int x = 0; x < side; ++x)
                if (p.Bytes[(std::size_t(y) * std::size_t(side) + std::size_t(x)) * 4u + 3u] == 0)
                    row[std::size_t(x) / 8u] |= std::uint8_t(0x80u >> (x % 8));
            out.insert(out.end(), row.begin(), row.end());
        }
    }
    return out;
}

void SaveIcon(const std::string& path, const TLakeData& lake) {
    const std::vector<std::uint8_t> bytes = IcoBytes(MakeIconPictures(lake));
    WriteWholeFile(path, bytes.data(), bytes.size());
}

} // namespace scenegen
