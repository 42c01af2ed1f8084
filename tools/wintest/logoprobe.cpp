// logoprobe: paints a logo bitmap file through the screensaver's own
// DrawPreviewLogo into a window of this process, then reads back pixels of
// the window (Wine does not show what one process paints into another's
// window, so the preview's painting is checked here).
//
//   logoprobe BMP X Y [X Y ...]
//       Prints "logo: W H" and, for each point of the window's client area,
//       "pixel X Y RRGGBB". Exit code 0, or 2 when the file cannot be taken
//       (its error's text is printed).
#include "shell/win32/window_win32.h"

#include <cstdio>
#include <cstdlib>

namespace {
LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: logoprobe BMP X Y [X Y ...]\n");
        return 64;
    }
    TLogo logo;
    try {
        logo = LoadLogo(argv[1]);
    } catch (const std::exception& e) {
        std::printf("error: %s\n", e.what());
        return 2;
    }
    std::printf("logo: %d %d\n", logo.Width, logo.Height);
    HBITMAP bitmap = win32::CreateLogoBitmap(logo);

    WNDCLASSA wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)); // 0x808080 around the logo
    wc.lpszClassName = "LogoProbe";
    RegisterClassA(&wc);
    // Larger than the logo, so the pixels beyond it show it was not stretched.
    HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Logo probe", WS_POPUP | WS_VISIBLE, 0, 0,
                                  logo.Width + 40, logo.Height + 40, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(window);
    win32::ProcessMessages();

    win32::DrawPreviewLogo(window, bitmap);
    GdiFlush();
    HDC dc = GetDC(window);
    for (int i = 2; i + 1 < argc; i += 2) {
        int x = std::atoi(argv[i]), y = std::atoi(argv[i + 1]);
        COLORREF c = GetPixel(dc, x, y);
        std::printf("pixel %d %d %02X%02X%02X\n", x, y, GetRValue(c), GetGValue(c), GetBValue(c));
    }
    ReleaseDC(window, dc);
    DestroyWindow(window);
    DeleteObject(bitmap);
    return 0;
}
