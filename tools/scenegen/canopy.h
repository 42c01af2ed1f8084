// The woods' canopy as the ground's textures show it from above.
#pragma once

#include "tools/scenegen/picture.h"

namespace scenegen {

// Tree crowns seen from above: a jittered lattice of round crowns. Returns
// the crown's height over the ground (0 in a gap) and its surface normal.
float Crown(float x, float y, TVec3& normal);

} // namespace scenegen
