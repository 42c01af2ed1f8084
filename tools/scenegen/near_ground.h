// The ground near the lake as camera 1 sees it.
//
// Ground seen from a few units above the water lies nearly edge on, and a
// texture draped over it from above gives it many texels down the screen for
// each one across: the renderer then reads a coarse mipmap level and the
// meadows and banks smear. Camera 1 never moves, so the near ground's
// textures are laid out as the camera sees it instead: a texel's place in
// its texture is the direction from the camera to the ground it shows, and
// the texels lie about as evenly on the screen as the pixels do.
//
// The view is cut into parts side by side (the middle, where the far shore
// and the falls are, and the two sides out to the widest screen), each with
// a texture of its own. A triangle whose corners all lie in one part's range
// takes its texture coordinates from their directions there; texture
// coordinates are interpolated across the triangle in space, and the
// texture is painted by the same interpolation, so the two agree exactly.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/scenegen/picture.h"
#include "tools/scenegen/terrain.h"

namespace scenegen {

// The ground the near parts texture: the fine grid and, behind it, the first
// coarser rows, up the far slopes of the hills behind the rock face and over
// their crests (seen edge on from there, a texture draped from above smears
// into streaks).
constexpr TArea NearGroundArea{NearArea.X0, NearArea.Y0, NearArea.X1, NearArea.Y1 + 42.0f};

// The part whose range holds the whole triangle a-b-c, with the triangle's
// texture coordinates in that part's texture; -1 when no part holds it
// (it lies beyond every screen's edge, or too close to the camera).
int NearGroundPart(TVec3 a, TVec3 b, TVec3 c, TVec3 (&tex)[3]);

// The texture of each near part, painted from the model's triangles of
// material `materials[part]`: each texel shows the nearest ground camera 1
// sees in its direction, lit and shadowed as the rest of the land.
std::vector<TPicture> BakeNearGround(const TGenModel& model, const std::uint16_t (&materials)[NearParts],
                                     const std::vector<TShadowCaster>& casters);

} // namespace scenegen
