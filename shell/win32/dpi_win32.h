// Dots per inch on Win32. The program declares itself per-monitor aware in
// its manifest, so every coordinate it sees is in the monitor's own pixels
// and the dialogs scale themselves: their forms are laid out at 96 dots an
// inch (100 %), and each control's rectangle and the font are scaled to the
// DPI of the monitor the window is on. The calls that give a monitor's or a
// window's DPI came with Windows 8.1 and 10; older systems have one DPI for
// the whole desktop, and that one is used.
#pragma once

#include "platform/win32/windows_clean.h"

namespace win32 {

// The DPI the forms are laid out at.
constexpr UINT DesignDpi = 96;

// The DPI of the monitor the window is on, and of a monitor.
UINT WindowDpi(HWND window);
UINT MonitorDpi(HMONITOR monitor);
// The primary monitor's, where the settings dialog opens.
UINT PrimaryMonitorDpi();

// A length of the 96-DPI form at `dpi` (rounded to the nearest pixel).
inline int Scaled(int length, UINT dpi) {
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(DesignDpi));
}

// The system's fonts and title bar metrics (message font, caption font,
// caption button width) at `dpi`.
NONCLIENTMETRICSW NonClientMetrics(UINT dpi);
// The system's message font at `dpi`, plain or underlined; kept for the run.
HFONT MessageFont(UINT dpi, bool underlined = false);
// A system metric (SM_CXMENUCHECK, ...) at `dpi`.
int SystemMetric(int index, UINT dpi);

// The outer size of a window of the style whose client area is the given
// size, with the frame as drawn at `dpi`.
SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

} // namespace win32
