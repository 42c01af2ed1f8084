// libFuzzer target: the preview logo's bitmap decoder on arbitrary bytes.
//
// Besides surviving every input under the sanitizers, a decoded logo must
// have a size within the limits, exactly its pixels, each 0x00RRGGBB, no
// more pixels than the file holds bits (every pixel takes at least one), and
// must decode to the same pixels again once written as a plain 24-bit bitmap.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/logo.h"

namespace {

void Put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

// A bottom-up 24-bit bitmap with a 40-byte header.
std::string Write24(const TLogo& logo) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(logo.Width) * 3 + 3) / 4 * 4;
    std::string out = "BM";
    Put(out, 54 + rowBytes * static_cast<std::uint32_t>(logo.Height), 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    Put(out, 40, 4);
    Put(out, static_cast<std::uint32_t>(logo.Width), 4);
    Put(out, static_cast<std::uint32_t>(logo.Height), 4);
    Put(out, 1, 2);
    Put(out, 24, 2);
    for (int i = 0; i < 6; ++i)
        Put(out, 0, 4);
    for (int y = logo.Height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < logo.Width; ++x)
            Put(out, logo.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(logo.Width) + x], 3);
        out.resize(start + rowBytes, '\0');
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TLogo logo;
    try {
        logo = DecodeBitmap(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const TGraphicError&) {
        return 0;
    }
    if (logo.Width <= 0 || logo.Height <= 0 || logo.Width > MaxLogoSide || logo.Height > MaxLogoSide)
        __builtin_trap();
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(logo.Width) * static_cast<std::uint64_t>(logo.Height);
    if (logo.Pixels.size() != pixels || pixels > static_cast<std::uint64_t>(size) * 8) __builtin_trap();
    for (std::uint32_t p : logo.Pixels)
        if (p >> 24) __builtin_trap();
    if (DecodeBitmap(Write24(logo)).Pixels != logo.Pixels) __builtin_trap();
    return 0;
}
