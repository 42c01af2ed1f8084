// The waterfall: the stream's white water sliding over the notch in the rock
// face's lip, the falls coming down in front of the face in streaks that
// break up as they fall, and the foam spreading on the lake at their foot.
//
// The water moves by texture frames: each texture holds FlowFrames frames,
// and in every part of them the water flows toward texture coordinate t = 0
// (down the curtain, toward the lip along the stream, outward over the
// foam). Frame k + 1 is frame k moved a step toward row 0 (FlowStepRows rows
// in the falls' texture, FoamStepRows in the foam's, which spreads more
// slowly), and the pattern repeats every FlowFrames steps, so the last frame
// leads back into the first without a jump. The scene steps through them
// with the clock.
#pragma once

#include <cstdint>

#include "tools/scenegen/picture.h"

namespace scenegen {

constexpr int FlowFrames = 16;  // frames in one loop of the flow
constexpr int FlowStepRows = 8; // rows the water moves from one frame to the next
constexpr int FoamStepRows = 1;

// The curtain and the white water above the lip (material `falls`, drawn
// blended), and the foam on the lake at the foot (material `foam`: opaque,
// writing depth, so that the water drawn after it covers it wherever a
// ripple rises above it).
TGenObject Waterfall(std::uint16_t material);
TGenObject FallsFoam(std::uint16_t material);

// 128 x 256 RGBA, FlowFrames frames: the curtain in columns 0..63 (t = 0 at
// the foot, 1 at the lip), the stream's white water in columns 64..127 of
// rows 0..127 (t = 0 at the lip).
TPicture WaterfallTexture();
// 128 x 64 RGB, FlowFrames frames: s round the foot, t = 1 at the foot and
// 0 at the foam's outer edge.
TPicture FoamTexture();
// 64 x 64 RGBA, one frame: a soft puff of mist for the scene's sprites,
// clear well inside the square's edges.
TPicture MistTexture();

} // namespace scenegen
