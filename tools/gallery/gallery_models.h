// The extra models the gallery lays into the lake scene: a water plane that
// shows the reflection and a row of lamps whose lights carry flares.
#pragma once

#include <string>

#include "engine/models/umf.h"

namespace gallery {

// The lake's water area (world units): x -50..98, y 116..264.
constexpr float WaterLeft = -50, WaterRight = 98, WaterNear = 116, WaterFar = 264;
// Height of the reflecting plane: the lake's water level.
constexpr float MirrorHeight = -11;

// A textured square over the water at MirrorHeight; its material names `texture`.
TModel WaterPlaneModel(const std::string& texture);
// Lights (and nothing to draw) at a few places above the lake.
TModel LampModel();
// Writes a small texture of one colour as a UMT file.
void SaveSolidTexture(const std::string& path, unsigned char r, unsigned char g, unsigned char b);
// Writes a model with the engine's UMF writer.
void SaveModelFile(const std::string& path, const TModel& model);

} // namespace gallery
