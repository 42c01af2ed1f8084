// The UMT texture file and the staging table of decoded images.
//
// A UMT file is a 10-byte header followed by LastFrame + 1 frames of pixels,
// raw or block-coded in YCbCr. No magic, version or checksum.
//
// ** header (little-endian)
//   0   2   uint16  Width, pixels
//   2   2   uint16  Height, pixels
//   4   1   uint8   BitsPerPixel: 24 (R G B) or 32 (R G B A)
//   5   1   uint8   Encoding: 1 = block-coded YCbCr, anything else = raw
//   6   4   uint32  LastFrame: frames - 1 (0 for a still image)
//   10  ... frames, frame 0 first
//
// ** raw frame (Encoding != 1): Height rows, row 0 first, each Width pixels
//    of R, G, B [, A]. Frame 0 holds plain bytes; every later frame holds
//    byte-wise differences: each stored byte is added, modulo 256, to the
//    byte at the same place of the decoded frame before it.
//
// ** block-coded frame (Encoding == 1): 8 x 8 pixel blocks stored by block
//    column: block column 0 from block row 0 to Height/8 - 1, then block
//    column 1, ... up to Width/8 - 1. Each block:
//      64  Y samples, sample c * 8 + r is block column c, block row r
//       1  Cb, shared by the block
//       1  Cr, shared by the block
//      64  A samples in the same order (32 bits per pixel only)
//    i.e. 66 or 130 bytes. Block (bc, br) covers columns bc*8..bc*8+7 and
//    rows br*8..br*8+7. R, G, B come from YCbCrToRgb; A is copied. Frames
//    are independent (no differences).
//
// Row order: row 0 is the first row handed to glTexImage2D, which OpenGL
// puts at texture coordinate t = 0, the bottom of the picture. UMT rows are
// therefore stored bottom-up, as in a BMP file.
//
// What the reader refuses, with a message naming the file (TIoError code
// 13, e.g. "/home/ann/lake/models/water.umt: image too large"): bits per pixel
// other than 24 or 32; a width or height of 0; a block-coded image with a
// side below 8; and images whose decoded pixels (all frames) exceed
// MaxUmtPixelBytes. A file shorter than its frames raises "Read beyond end of
// file: <path>" before anything is allocated for them. Block-coded images whose
// sides are not multiples of 8 keep the pixels no block covers at zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::size_t UmtHeaderSize = 10;
// Largest decoded image, all frames together (bytes of pixels).
constexpr std::uint64_t MaxUmtPixelBytes = 64u * 1024u * 1024u;
constexpr std::uint8_t UmtBlockCoded = 1; // Encoding value; anything else is raw
constexpr int UmtBlockSide = 8;

// One decoded image. The first five fields are the file's header as stored.
struct TUmtImage {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::uint8_t BitsPerPixel = 0; // 24 or 32
    std::uint8_t Encoding = 0;
    std::uint32_t LastFrame = 0; // frames - 1
    // All frames one after another, frame f at f * FrameSize(); each frame
    // Height rows (row 0 first, the bottom row) of Width pixels R G B [A].
    std::vector<std::uint8_t> Pixels;

    std::size_t BytesPerPixel() const { return BitsPerPixel / 8u; }
    std::size_t FrameSize() const { return std::size_t(Width) * Height * BytesPerPixel(); }
    std::uint64_t FrameTotal() const { return std::uint64_t(LastFrame) + 1; }
    const std::uint8_t* Frame(std::uint32_t f) const { return Pixels.data() + std::size_t(f) * FrameSize(); }
};

// The staging table: images loaded since it was last emptied, index 0 the
// first. Its size is the image count. Owns every Pixels block.
extern std::vector<TUmtImage> UmtImages;

// Decodes the UMT file at path and appends it to UmtImages (relative to the
// current directory unless absolute; backslashes are separators). Raises
// TIoError; a failed load leaves UmtImages as it was.
void LoadUmt(const std::string& path);

// Empties UmtImages and releases every image's pixels.
void FreeUmtImages();

// Decodes UMT bytes; `name` is the file name errors mention.
TUmtImage DecodeUmt(const std::uint8_t* data, std::size_t size, const std::string& name);
