// Which trees and bushes keep their places: those standing in company.
#pragma once

#include <vector>

#include "tools/scenegen/vegetation.h"

namespace scenegen {

// Leaves out the trees without company; true if it left out any. Bushes,
// reeds and grass may stand alone.
bool DropLoneTrees(std::vector<TPlant>& plants);

// Leaves out the bushes that stand alone, touching no tree or bush: the
// undergrowth grows in thickets and at the trees' feet, and bushes dotted
// singly over the grass read as polka dots.
void DropLoneBushes(std::vector<TPlant>& plants);

} // namespace scenegen
