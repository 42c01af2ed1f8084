// PNG files for umtool, through libpng.
#pragma once

#include <string>

#include "engine/textures/umt.h"

// Writes frame `frame` of the image as an 8-bit RGB (24 bits per pixel) or
// RGBA (32) PNG. UMT rows run bottom-up, PNG rows top-down: the image's last
// row becomes the PNG's top row. Raises std::runtime_error with libpng's message.
void WritePngFrame(const std::string& path, const TUmtImage& image, std::uint32_t frame);

// Reads a PNG as a still image: 32 bits per pixel when it has an alpha
// channel (or transparency), else 24; rows turned bottom-up as UMT keeps them.
// Raises std::runtime_error with libpng's message, or for images wider or
// taller than 65535 pixels.
TUmtImage ReadPngImage(const std::string& path);
