#include "shell/logo.h"

#include <cstring>

#include "engine/support/errors.h"
#include "shell/settings.h"

const char* const PreviewLogoFile = "pictures\\logo.bmp";

TGraphicError::TGraphicError() : std::runtime_error("Bitmap image is not valid") {}

TGraphicError::TGraphicError(const std::string& path)
    : std::runtime_error(IoErrorsNameFiles ? "Bitmap image is not valid: " + MessagePath(path)
                                           : "Bitmap image is not valid") {}

namespace {
std::uint32_t Get32(const std::string& b, std::size_t at) {
    if (at + 4 > b.size()) throw TGraphicError();
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint32_t Get16(const std::string& b, std::size_t at) {
    if (at + 2 > b.size()) throw TGraphicError();
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

// One channel picked out by a bit mask, scaled to 0..255.
struct TChannel {
    int Shift = 0;
    std::uint32_t Max = 0; // the mask shifted down; 0 for an empty mask
    explicit TChannel(std::uint32_t mask) {
        if (!mask) return;
        while (!(mask & 1u)) {
            mask >>= 1;
            ++Shift;
        }
        Max = mask;
    }
    std::uint32_t Take(std::uint32_t value) const {
        if (!Max) return 0;
        return static_cast<std::uint32_t>(
            (static_cast<std::uint64_t>((value >> Shift) & Max) * 255u + Max / 2) / Max);
    }
};

struct THeader {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
    bool TopDown = false;
    int Bits = 0;
    std::uint32_t Compression = 0;
    std::uint32_t Masks[3] = {0x7C00, 0x03E0, 0x001F};
    std::size_t PaletteAt = 0;
    std::size_t PaletteEntry = 4; // bytes per colour table entry
    std::size_t PaletteCount = 0;
};

THeader ReadHeader(const std::string& b) {
    THeader h;
    std::uint32_t size = Get32(b, 14);
    if (size == 12) {
        h.Width = Get16(b, 18);
        h.Height = Get16(b, 20);
        if (Get16(b, 22) != 1) throw TGraphicError();
        h.Bits = static_cast<int>(Get16(b, 24));
        h.PaletteEntry = 3;
    } else if (size >= 40 && size <= 124) {
        h.Width = static_cast<std::int32_t>(Get32(b, 18));
        h.Height = static_cast<std::int32_t>(Get32(b, 22));
        if (Get16(b, 26) != 1) throw TGraphicError();
        h.Bits = static_cast<int>(Get16(b, 28));
        h.Compression = Get32(b, 30);
        h.PaletteCount = Get32(b, 46);
    } else {
        throw TGraphicError();
    }
    if (h.Height < 0) {
        h.Height = -h.Height;
        h.TopDown = true;
    }
    std::size_t after = 14 + size;
    if (h.Compression == 3) {
        if (h.Bits != 16 && h.Bits != 32) throw TGraphicError();
        // Version 4 and 5 headers hold the masks; a 40-byte one is followed by them.
        std::size_t at = size >= 52 ? 54 : after;
        for (int i = 0; i < 3; ++i)
            h.Masks[i] = Get32(b, at + 4 * static_cast<std::size_t>(i));
        if (size < 52) after += 12;
    } else if (h.Compression != 0) {
        throw TGraphicError();
    } else if (h.Bits == 32) {
        h.Masks[0] = 0xFF0000;
        h.Masks[1] = 0x00FF00;
        h.Masks[2] = 0x0000FF;
    }
    if (h.Bits == 1 || h.Bits == 4 || h.Bits == 8) {
        std::size_t full = std::size_t(1) << h.Bits;
        if (h.PaletteCount == 0 || h.PaletteCount > full) h.PaletteCount = full;
        h.PaletteAt = after;
        if (h.PaletteAt + h.PaletteCount * h.PaletteEntry > b.size()) throw TGraphicError();
    } else if (h.Bits != 16 && h.Bits != 24 && h.Bits != 32) {
        throw TGraphicError();
    }
    if (h.Width <= 0 || h.Height <= 0 || h.Width > MaxLogoSide || h.Height > MaxLogoSide)
        throw TGraphicError();
    return h;
}
} // namespace

TLogo DecodeBitmap(const std::string& b) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') throw TGraphicError();
    THeader h = ReadHeader(b);
    std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(h.Width) * static_cast<std::uint64_t>(h.Bits) + 31) / 32 * 4;
    std::uint64_t offset = Get32(b, 10);
    // Every row must be in the file before anything is allocated for them.
    if (offset > b.size() || rowBytes * static_cast<std::uint64_t>(h.Height) > b.size() - offset)
        throw TGraphicError();

    TLogo logo;
    logo.Width = static_cast<int>(h.Width);
    logo.Height = static_cast<int>(h.Height);
    logo.Pixels.resize(static_cast<std::size_t>(logo.Width) * static_cast<std::size_t>(logo.Height));
    const TChannel red(h.Masks[0]), green(h.Masks[1]), blue(h.Masks[2]);
    auto paletteColour = [&](std::uint32_t index) -> std::uint32_t {
        if (index >= h.PaletteCount) return 0; // an index beyond the table: black
        std::size_t at = h.PaletteAt + index * h.PaletteEntry;
        auto byte = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i]));
        };
        return byte(2) << 16 | byte(1) << 8 | byte(0);
    };

    for (int y = 0; y < logo.Height; ++y) {
        int fileRow = h.TopDown ? y : logo.Height - 1 - y;
        const auto* row = reinterpret_cast<const unsigned char*>(b.data()) + offset +
                          static_cast<std::size_t>(fileRow) * static_cast<std::size_t>(rowBytes);
        std::uint32_t* out = &logo.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(logo.Width)];
        for (int x = 0; x < logo.Width; ++x) {
            std::uint32_t colour = 0;
            switch (h.Bits) {
            case 1:
            case 4:
            case 8: {
                int perByte = 8 / h.Bits;
                unsigned char byte = row[x / perByte];
                int shift = 8 - h.Bits * (x % perByte + 1);
                colour = paletteColour((byte >> shift) & ((1u << h.Bits) - 1));
                break;
            }
            case 16: {
                std::uint32_t v = row[2 * x] | static_cast<std::uint32_t>(row[2 * x + 1]) << 8;
                colour = red.Take(v) << 16 | green.Take(v) << 8 | blue.Take(v);
                break;
            }
            case 24:
                colour = static_cast<std::uint32_t>(row[3 * x + 2]) << 16 |
                         static_cast<std::uint32_t>(row[3 * x + 1]) << 8 | row[3 * x];
                break;
            case 32: {
                std::uint32_t v;
                std::memcpy(&v, row + 4 * x, 4);
                colour = red.Take(v) << 16 | green.Take(v) << 8 | blue.Take(v);
                break;
            }
            }
            out[x] = colour;
        }
    }
    return logo;
}

TLogo LoadLogo(const std::string& path) {
    const std::string bytes = ReadSmallFile(path, MaxLogoFileSize);
    try {
        return DecodeBitmap(bytes);
    } catch (const TGraphicError&) {
        throw TGraphicError(path);
    }
}
