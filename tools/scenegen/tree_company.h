// Which trees keep their places: those standing in company, none seeming
// to grow out of another one's crown.
#pragma once

#include <vector>

#include "tools/scenegen/vegetation.h"

namespace scenegen {

// Where a plant's cut-out lies on screen: tangents across and up from camera 1.
struct TScreenBox {
    float X0, Y0, X1, Y1;
};

// Leaves out the trees without company; true if it left out any. Bushes,
// reeds and grass may stand alone.
bool DropLoneTrees(std::vector<TPlant>& plants);

// Leaves out the bushes that stand alone, touching no tree or bush: the
// undergrowth grows in thickets and at the trees' feet, and bushes dotted
// singly over the grass read as polka dots.
void DropLoneBushes(std::vector<TPlant>& plants);

// Leaves out each tree that camera 1 sees with its foot hidden behind a
// nearer tree's crown and its top rising over that crown, so that it would
// seem to grow out of it; `boxes` are the plants' cut-outs on screen.
// Deep in the far woods, where no tree reads on its own, trees stand so.
void KeepCrownsApart(std::vector<TPlant>& plants, const std::vector<TScreenBox>& boxes);

} // namespace scenegen
