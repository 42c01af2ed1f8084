// Writing RGBA pictures as JPEG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height RGBA pixels whose rows run bottom-up (OpenGL's order)
// as a baseline JPEG of `quality` (1..100), top row first, optimised Huffman
// tables. False when the file cannot be written (no partial file is left).
bool WriteJpegFromBottomUp(const std::string& path, int width, int height,
                           const std::vector<std::uint8_t>& rgba, int quality);
