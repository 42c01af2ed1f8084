// The rock face behind the waterfall: a wall of layered rock standing in the
// bank where the land jumps up to its shelf. The ground's textures are draped
// from above and smear down anything steep, and its grid is too coarse for a
// face, so the face is a mesh of its own: leaning back a little, stepped by
// its beds of rock into ledges, ribbed by buttresses and cut back where the
// stream has worn a groove, with a texture laid across it that carries the
// beds, the joints and the light of the sun on its ribs and ledges.
#pragma once

#include <cstdint>

#include "tools/scenegen/picture.h"

namespace scenegen {

// The point of the face at `angle` (radians round the lake centre, as
// FallsAngle) and `rise` units above the still water.
TVec3 RockFacePoint(float angle, float rise);
// How high the face stands at `angle` above the still water (0 outside it).
float RockFaceTop(float angle);

TGenObject RockFace(std::uint16_t material);
TPicture RockTexture(); // 512 x 256 RGB, laid once across the whole face

} // namespace scenegen
