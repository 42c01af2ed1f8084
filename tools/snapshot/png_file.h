// Writing RGBA pictures as PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height RGBA pixels whose rows run bottom-up (OpenGL's order)
// as an 8-bit RGB PNG, top row first. False when the file cannot be written.
bool WritePngFromBottomUp(const std::string& path, int width, int height,
                          const std::vector<std::uint8_t>& rgba);
