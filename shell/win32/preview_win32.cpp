// The preview's logo on Win32: the decoded bitmap file as a GDI bitmap, and
// its painting into the control panel's preview window.
#include "shell/win32/window_win32.h"

#include <cstring>

namespace win32 {

HBITMAP CreateLogoBitmap(const TLogo& logo) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = logo.Width;
    info.bmiHeader.biHeight = -logo.Height; // top row first, as TLogo holds them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return nullptr;
    // 0x00RRGGBB is the byte order B, G, R, 0 of a 32-bit DIB.
    std::memcpy(bits, logo.Pixels.data(), logo.Pixels.size() * sizeof logo.Pixels[0]);
    GdiFlush();
    return bitmap;
}

void ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void DrawPreviewLogo(HWND target, HBITMAP logo) {
    // A timer message let through below may come back here; one painting at a time.
    static bool painting = false;
    if (painting || !logo) return;
    painting = true;
    BITMAP size{};
    GetObjectA(logo, sizeof size, &size);
    HDC dc = GetDC(target);
    if (dc) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, logo);
        BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        ProcessMessages();
        ReleaseDC(target, dc);
    }
    painting = false;
}

} // namespace win32
