// The preview logo "pictures\logo.bmp": a Windows bitmap file read into
// plain pixels, which each window system turns into its own bitmap.
//
// Bitmap file layout (all numbers little-endian):
//   offset size  field
//   0      2     "BM"
//   2      4     file size (not relied on)
//   10     4     offset of the pixel rows from the start of the file
//   14     4     header size: 12 (OS/2 core header) or 40, 52, 56, 108, 124
//   core header (12):  18 width (16 bits), 20 height (16 bits), 22 planes,
//                      24 bits per pixel; colour table of 3-byte entries
//   info header (40+): 18 width, 22 height (negative: top row first),
//                      26 planes, 28 bits per pixel, 30 compression
//                      (0 plain, 3 bit fields), 46 colours used; then, for
//                      bit fields with a 40-byte header, three 4-byte masks;
//                      colour table of 4-byte entries (blue, green, red, 0)
// Rows are padded to 4 bytes and stored bottom row first unless the height
// is negative. Taken: 1, 4 and 8 bits with a colour table, 16 (5-5-5 or bit
// fields), 24, and 32 bits (plain or bit fields). Compressed files are not.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The runtime's error for a picture it cannot take ("Bitmap image is not
// valid"), followed by ": " and the file's path when it names the file.
class TGraphicError : public std::runtime_error {
  public:
    TGraphicError();
    explicit TGraphicError(const std::string& path);
};

struct TLogo {
    int Width = 0;
    int Height = 0;
    // Width × Height pixels, top row first, each 0x00RRGGBB.
    std::vector<std::uint32_t> Pixels;
};

// Limits far above any logo, far below what would strain memory.
constexpr int MaxLogoSide = 8192;
constexpr std::size_t MaxLogoFileSize = 64u * 1024u * 1024u;

extern const char* const PreviewLogoFile; // "pictures\\logo.bmp"

// Decodes the bytes of a bitmap file; raises TGraphicError.
TLogo DecodeBitmap(const std::string& bytes);
// Reads and decodes a bitmap file; raises TIoError ("File not found: PATH",
// ...) or TGraphicError naming the file.
TLogo LoadLogo(const std::string& path);
