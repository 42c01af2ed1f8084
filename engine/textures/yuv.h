// YCbCr to RGB with the JFIF coefficients, as block-coded UMT frames need it.
//
// The defining computation, in extended (80-bit) floating point throughout:
//   Cb' = Cb - 128, Cr' = Cr - 128
//   R = Y + 1.402 Cr'
//   G = Y - 0.34414 Cb' - 0.71414 Cr'   (the Cb' term subtracted first)
//   B = Y + 1.772 Cb'
// each clamped (above 255 -> 255, then below 0 -> 0) and rounded to the
// nearest integer, ties to even. YCbCrToRgb and the row tables give exactly
// these bytes for all 2^24 inputs, from tables built once on first use.
#pragma once

#include <cstdint>

void YCbCrToRgb(std::uint8_t y, std::uint8_t cb, std::uint8_t cr, std::uint8_t& r, std::uint8_t& g,
                std::uint8_t& b);

// The conversion for one block's chroma: row[Y] is the channel for luma Y.
// The rows live as long as the process.
struct TChromaRows {
    const std::uint8_t* R; // depends on Cr only
    const std::uint8_t* G;
    const std::uint8_t* B; // depends on Cb only
};
TChromaRows ChromaRows(std::uint8_t cb, std::uint8_t cr);

// The defining computation itself, one pixel at a time in long double: what
// the tables are built from and measured against.
void YCbCrToRgbExtended(std::uint8_t y, std::uint8_t cb, std::uint8_t cr, std::uint8_t& r, std::uint8_t& g,
                        std::uint8_t& b);
