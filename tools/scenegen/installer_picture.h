// The side picture of the Windows setup program's welcome and finish pages
// ("tarnwick-setup.bmp", built into the setup program, not installed): the
// lake as camera 1 sees it, a strip of the view as tall as the picture and
// centred on the waterfall, at the 164 x 314 pixels those pages show
// unscaled at 100 %.
#pragma once

#include "tools/scenegen/lake_model.h"

namespace scenegen {

constexpr int InstallerPictureWidth = 164;
constexpr int InstallerPictureHeight = 314;

TPicture MakeInstallerPicture(const TLakeData& lake); // RGB, row 0 at the top

} // namespace scenegen
