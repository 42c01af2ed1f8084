// The about box `TForm2` ("About Tarnwick 3D"): created hidden at start,
// shown by the dialog's "About..." button, hidden again (never destroyed)
// by its OK button or its close box.
#include "shell/win32/window_win32.h"

#include <string>

#include "shell/win32/dpi_win32.h"
#include "shell/win32/resources.h"
#include "tarnwick_version.h"

namespace win32 {

namespace {
const char* const AboutClassName = "TForm2";
const char* const AboutCaption = "About Tarnwick 3D";
// The client area of the window definition.
constexpr int AboutClientWidth = 218;
constexpr int AboutClientHeight = 138;

const DWORD AboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
const DWORD AboutExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;

const char* const ProductLine = TARNWICK_PRODUCT_NAME;
const char* const CreditLine = "Programming by " TARNWICK_COMPANY_NAME;
const char* const NoticeLine = TARNWICK_COPYRIGHT;
const char* const RightsLine = "All rights reserved.";
// Between the credit and the notice, in the gap the window definition leaves.
const std::string VersionLine = std::string("Version ") + TarnwickVersion;

TDialogHost* Host = nullptr;
// The DPI the box is laid out for; 0 before the first layout.
UINT FittedDpi = 0;

LRESULT CALLBACK AboutProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) Guard([] { AboutButton1Click(*Host); });
        return 0;
    case WM_CLOSE:
        Guard([] { AboutFormClose(*Host); });
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DPICHANGED: {
        // Moved onto a monitor of another scale. The box opens already
        // fitted to the dialog's monitor, and the system, which saw it
        // elsewhere, would scale it a second time: its size comes from the
        // form at the new DPI, never from the frame suggested.
        const RECT* r = reinterpret_cast<const RECT*>(lParam);
        if (HIWORD(wParam) != FittedDpi) {
            FitAboutBox(hwnd, HIWORD(wParam));
            SetWindowPos(hwnd, nullptr, r->left, r->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
} // namespace

HWND CreateAboutBox(HINSTANCE instance, TDialogHost& host) {
    Host = &host;
    WNDCLASSA wc{};
    wc.lpfnWndProc = AboutProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = AboutClassName;
    RegisterClassA(&wc);

    HWND about =
        CreateWindowExA(AboutExStyle, AboutClassName, AboutCaption, AboutStyle, 0, 0, AboutClientWidth,
                        AboutClientHeight, ApplicationWindow, nullptr, instance, nullptr);
    if (!about) return nullptr;

    HWND box = CreateGroupBox(about, "", 8, 8, 201, 97, 1001);
    CreateControl(box, "STATIC", ProductLine, SS_CENTER, 12, 15, 185, 18, 1002);
    CreateControl(box, "STATIC", CreditLine, SS_CENTER, 15, 32, 179, 13, 1003);
    CreateControl(box, "STATIC", VersionLine.c_str(), SS_CENTER, 15, 45, 179, 13, 1006);
    CreateControl(box, "STATIC", NoticeLine, SS_CENTER, 8, 58, 177, 13, 1004);
    CreateControl(box, "STATIC", RightsLine, SS_CENTER, 5, 72, 185, 13, 1005);
    CreateControl(about, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 71, 109, 75, 20, IDOK);
    FitAboutBox(about, WindowDpi(reinterpret_cast<HWND>(host.Handle())));
    return about;
}

void FitAboutBox(HWND about, UINT dpi) {
    if (!about || dpi == FittedDpi) return;
    FittedDpi = dpi;
    const SIZE frame = FrameSize(Scaled(AboutClientWidth, dpi), Scaled(AboutClientHeight, dpi), AboutStyle,
                                 AboutExStyle, dpi);
    SetWindowPos(about, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutControls(about, dpi);
}

} // namespace win32
