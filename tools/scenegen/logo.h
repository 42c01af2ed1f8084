// The preview logo ("pictures\logo.bmp"): the control panel's preview window
// shows it unscaled, so it is exactly the preview's 152 x 112 pixels: the
// lake as camera 1 sees it, with the product name over the sky.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/scenegen/lake_model.h"

namespace scenegen {

constexpr int LogoWidth = 152;
constexpr int LogoHeight = 112;

TPicture MakeLogo(const TLakeData& lake); // RGB, row 0 at the top

// A picture (row 0 at the top, RGB) as a 24-bit uncompressed BMP file:
// BITMAPFILEHEADER (14 bytes) and BITMAPINFOHEADER (40 bytes), then the rows
// bottom-up in B G R order, each padded to a multiple of 4 bytes.
std::vector<std::uint8_t> BmpBytes(const TPicture& picture);

} // namespace scenegen
