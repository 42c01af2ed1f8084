// The one connection to the X server that the Linux program uses.
#pragma once

#include <X11/Xlib.h>

namespace platform {
// Opens the display named by $DISPLAY on first use; null if there is none.
Display* X11Display();
// Closes it (at exit).
void CloseX11Display();
} // namespace platform
