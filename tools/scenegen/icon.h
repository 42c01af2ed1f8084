// The program's icon ("tarnwick.ico", compiled into Tarnwick.exe): the lake
// as camera 1 sees it, cut to a square with rounded corners that fade into
// transparency, at each size Windows asks for from the small icons of
// Explorer's lists (16 pixels at 100 %, 20, 24 and 32 at 125 % to 200 %)
// to its extra-large tiles (256).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/scenegen/lake_model.h"

namespace scenegen {

inline constexpr int IconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};

// One square RGBA picture per size of IconSizes, row 0 at the top, all
// scaled down from one rendering of the lake.
std::vector<TPicture> MakeIconPictures(const TLakeData& lake);

// Square RGBA pictures (row 0 at the top, sides 1 to 256) as an ICO file:
//
//   offset  size        field
//   0       2           reserved, 0
//   2       2           type, 1 = icon
//   4       2           number of images n
//   6       16 * n      one entry per image:
//                         +0  1  width in pixels (0 means 256)
//                         +1  1  height in pixels (0 means 256)
//                         +2  1  colours in a palette, 0 = none
//                         +3  1  reserved, 0
//                         +4  2  colour planes, 1
//                         +6  2  bits per pixel, 32
//                         +8  4  bytes of the image
//                         +12 4  offset of the image from the start of the file
//   then each image: a BITMAPINFOHEADER (40 bytes) whose height counts both
//   masks (2 x side), the colour mask bottom-up in B G R A order, then the
//   1-bit AND mask bottom-up, each row padded to 4 bytes, its bit set where
//   the pixel is wholly transparent.
std::vector<std::uint8_t> IcoBytes(const std::vector<TPicture>& pictures);

// MakeIconPictures written as an ICO file.
void SaveIcon(const std::string& path, const TLakeData& lake);

} // namespace scenegen
