// Writing an image as a UMT file (see umt.h for the format).
//
// Raw: frame 0 plain, each later frame as byte-wise differences (modulo
// 256) from the frame before. Block-coded: per 8 x 8 block the 64 Y samples,
// the block's Cb and Cr (the rounded mean over its pixels) and, at 32 bits,
// the 64 A bytes; RGB -> YCbCr with the JFIF coefficients
//   Y  =       0.299 R    + 0.587 G    + 0.114 B
//   Cb = 128 - 0.168736 R - 0.331264 G + 0.5 B
//   Cr = 128 + 0.5 R      - 0.418688 G - 0.081312 B
// rounded to nearest (ties to even) and clamped to 0..255.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/textures/umt.h"

// The header's Encoding byte is 1 when blockCoded, else 0 (the image's own
// Encoding field is ignored). std::invalid_argument when the image cannot be
// written as one the reader takes: bits per pixel other than 24 or 32, a
// side of 0, more than MaxUmtPixelBytes of pixels, Pixels not holding
// (LastFrame + 1) frames, or block coding with a side that is not a multiple
// of 8.
std::vector<std::uint8_t> WriteUmt(const TUmtImage& image, bool blockCoded);
// WriteUmt to a file; TIoError when the file cannot be written.
void SaveUmt(const std::string& path, const TUmtImage& image, bool blockCoded);
