// The waterfall: the stream coming over the notch in the rock face's lip,
// falling in a curtain of a few uneven strands just in front of the face,
// and the white water and mist rising where it meets the lake.
#pragma once

#include <cstdint>

#include "tools/scenegen/picture.h"

namespace scenegen {

TGenObject Waterfall(std::uint16_t material);
TPicture WaterfallTexture(); // 256 x 256 RGBA: the curtain left, the mist right

} // namespace scenegen
