// The JSON that `umtool info` prints: one object per file, on one line.
#pragma once

#include <string>

#include "engine/models/umf.h"
#include "engine/textures/umt.h"

// {"kind": "umf", "header_word", "frame_count", "materials": [{"colour",
// "texture"}], "objects": [{"material_index", "spare", "meshes":
// [{"triangles", "tex_coords"}], "transform_track", "alpha_track",
// "drawable"}], "lights": [{"colour", "attenuation", "reach"}], "cameras":
// [{"near", "far", "field_of_view"}]}. Light and camera values are frame 0's
// as stored in the file (null when the model has no frames); reals that are
// not finite are null.
std::string UmfInfoJson(const TModel& model);

// {"kind": "umt", "width", "height", "bits_per_pixel", "encoding", "frames"}.
std::string UmtInfoJson(const TUmtImage& image);

// A JSON string: texture names are 8-bit text, taken as Latin-1.
std::string JsonString(const std::string& text);
// The shortest text that reads back as the same float; null when not finite.
std::string JsonNumber(float value);
