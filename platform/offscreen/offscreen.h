// An offscreen drawing surface on OSMesa (Mesa's software renderer), standing
// in for a window in tests and tools. Its WindowHandle goes to the render
// device like an HWND would.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gl_binding.h"

namespace platform {

// A surface of width x height RGBA pixels, row 0 at the bottom (OpenGL's order).
WindowHandle CreateOffscreenSurface(int width, int height);
void DestroyOffscreenSurface(WindowHandle surface);
// Changes the size; the next GlAcquire draws into the new size.
void ResizeOffscreenSurface(WindowHandle surface, int width, int height);
int OffscreenWidth(WindowHandle surface);
int OffscreenHeight(WindowHandle surface);
// The surface's pixels as last presented or drawn, RGBA, row 0 at the bottom.
const std::vector<std::uint8_t>& OffscreenPixels(WindowHandle surface);

} // namespace platform
