#include "tools/scenegen/logo.h"

#include "tools/scenegen/glyphs.h"
#include "tools/scenegen/raster.h"

namespace scenegen {

TPicture MakeLogo(const TLakeData& lake) {
    TPicture logo = RenderLakeView(lake, LogoWidth, LogoHeight, 4, true);
    // "TARNWICK" across the sky: 208 design pixels wide at scale 1.
    const float scale = 0.62f;
    const float width = 208.0f * scale;
    DrawText(logo, "TARNWICK", (float(LogoWidth) - width) * 0.5f, 7.0f, scale, Rgb(1.0f, 0.96f, 0.84f));
    return logo;
}

std::vector<std::uint8_t> BmpBytes(const TPicture& picture) {
    const std::uint32_t rowSize = (std::uint32_t(picture.Width) * 3u + 3u) & ~3u;
    const std::uint32_t dataSize = rowSize * std::uint32_t(picture.Height);
    const std::uint32_t headers = 14 + 40;
    std::vector<std::uint8_t> out;
    out.reserve(headers + dataSize);
    auto put16 = [&](std::uint32_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFFu);
        put16(v >> 16);
    };
    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    put32(headers + dataSize); // file size
    put32(0);                  // reserved
    put32(headers);            // offset of the pixels
    // BITMAPINFOHEADER
    put32(40);
    put32(std::uint32_t(picture.Width));
    put32(std::uint32_t(picture.Height)); // positive: rows bottom-up
    put16(1);                             // planes
    put16(24);                            // bits per pixel
    put32(0);                             // BI_RGB, no compression
    put32(dataSize);
    put32(2835); // 72 dpi, in pixels per metre
    put32(2835);
    put32(0); // colours used
    put32(0); // important colours
    for (int y = picture.Height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.Width; ++x) {
            const std::uint8_t* p =
                &picture.Bytes[(std::size_t(y) * std::size_t(picture.Width) + std::size_t(x)) *
                               std::size_t(picture.Channels)];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (std::uint32_t pad = std::uint32_t(picture.Width) * 3u; pad < rowSize; ++pad)
            out.push_back(0);
    }
    return out;
}

} // namespace scenegen
