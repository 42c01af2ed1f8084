// The settings dialog's controls on Win32: the main window in the Configure
// run mode shows them; the full-screen run hides them. Positions and sizes
// are given in pixels at 96 DPI relative to the parent's client area, and
// laid out again at the DPI of the window's monitor; controls inside a
// group box are children of it, so hiding the box hides them too.
#include "shell/win32/window_win32.h"

#include <map>
#include <vector>

#include "shell/win32/dpi_win32.h"

namespace win32 {

namespace {
WNDPROC ButtonProc = nullptr; // the system's procedure of the BUTTON class

// Where a control sits on its form at 96 DPI, relative to its parent's
// client area; every layout at another DPI is scaled from it.
struct TControlLayout {
    RECT Rect96;
    bool Label; // a text of its own: at least one line of its font tall
    bool Link;  // underlined, and as large as its text around its centre
};
std::map<HWND, TControlLayout> Layouts;

// Makes a label as tall as its text wrapped at its width, if it is shorter.
void GrowToTextHeight(HWND label) {
    char text[512] = {};
    GetWindowTextA(label, text, sizeof text);
    RECT r{};
    GetClientRect(label, &r);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, r.right, 0};
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    if (needed.bottom > r.bottom)
        SetWindowPos(label, nullptr, 0, 0, r.right, needed.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CALLBACK AddControl(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

HINSTANCE Instance(HWND hwnd) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE));
}

// A group box passes its children's notifications and colour requests on to
// the window it sits in, as if the children sat there themselves.
LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
        return SendMessageA(GetParent(hwnd), message, wParam, lParam);
    case WM_ERASEBKGND: {
        // The box itself paints only its frame; its inside is the dialog's face.
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_SETCURSOR:
        // The website link shows the hand.
        if (GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) == IdVisitWebsite) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    return CallWindowProcA(ButtonProc, hwnd, message, wParam, lParam);
}
} // namespace

HWND CreateControl(HWND parent, const char* cls, const char* text, DWORD style, int left, int top, int width,
                   int height, int id, DWORD exStyle) {
    // A label taller than the form's place for it reaches into the next
    // one's; the one created first (higher up, and above in the Z order)
    // keeps the shared strip, where the lower one has only its font's
    // leading.
    const bool label = lstrcmpiA(cls, "STATIC") == 0 && (style & SS_TYPEMASK) != SS_OWNERDRAW;
    if (label) style |= WS_CLIPSIBLINGS;
    HWND hwnd =
        CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, left, top, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(parent), nullptr);
    if (!hwnd) return nullptr;
    Layouts[hwnd] = TControlLayout{RECT{left, top, left + width, top + height}, label, false};
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont(DesignDpi)), FALSE);
    return hwnd;
}

HWND CreateGroupBox(HWND parent, const char* caption, int left, int top, int width, int height, int id) {
    HWND box = CreateControl(parent, "BUTTON", caption, BS_GROUPBOX | WS_GROUP | WS_CLIPCHILDREN, left, top,
                             width, height, id, WS_EX_CONTROLPARENT);
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupBoxProc)));
    if (!ButtonProc) ButtonProc = previous;
    return box;
}

void MakeLinkLabel(HWND label) {
    auto found = Layouts.find(label);
    if (found == Layouts.end()) return;
    found->second.Link = true;
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont(DesignDpi, true)), FALSE);
}

void LayoutControls(HWND window, UINT dpi) {
    // Parents before their children (the order EnumChildWindows gives), so
    // that a label fitted to its text is placed in its scaled group box.
    std::vector<HWND> controls;
    EnumChildWindows(window, AddControl, reinterpret_cast<LPARAM>(&controls));
    for (HWND control : controls) {
        auto found = Layouts.find(control);
        if (found == Layouts.end()) continue;
        const RECT& r = found->second.Rect96;
        // Edges scaled, not widths: neighbours that touch at 96 DPI touch at every DPI.
        const int left = Scaled(r.left, dpi), top = Scaled(r.top, dpi);
        SetWindowPos(control, nullptr, left, top, Scaled(r.right, dpi) - left, Scaled(r.bottom, dpi) - top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont(dpi, found->second.Link)),
                     FALSE);
        if (found->second.Link)
            FitLabelToText(control);
        else if (found->second.Label)
            GrowToTextHeight(control);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CreateDialogControls(HWND main, TDialogControls& c) {
    // Created in tab order: the group boxes with what they hold, OK, Cancel,
    // Restore Defaults, About...; the picture takes no focus.
    c.GroupBox1 = CreateGroupBox(main, "Options", 8, 8, 185, 169, IdGroupBox1);
    c.MouseExit = CreateControl(c.GroupBox1, "BUTTON", "Exit On Mouse Move",
                                BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 8, 16, 129, 17, IdMouseExit);
    c.FPSShow = CreateControl(c.GroupBox1, "BUTTON", "Show FPS", BS_AUTOCHECKBOX | WS_TABSTOP, 8, 40, 97, 17,
                              IdFPSShow);
    c.TimeShow = CreateControl(c.GroupBox1, "BUTTON", "Show Time", BS_AUTOCHECKBOX | WS_TABSTOP, 8, 64, 97,
                               17, IdTimeShow);
    c.Time12 = CreateControl(c.GroupBox1, "BUTTON", "12 hrs", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 24,
                             88, 65, 17, IdTime12);
    c.Time24 = CreateControl(c.GroupBox1, "BUTTON", "24 hrs", BS_AUTORADIOBUTTON, 80, 88, 57, 17, IdTime24);
    // A group of their own: the radio buttons' group ends here.
    c.SoundOn = CreateControl(c.GroupBox1, "BUTTON", "Play Sound", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 8,
                              112, 97, 17, IdSoundOn);
    c.EveryMonitor = CreateControl(c.GroupBox1, "BUTTON", "Show On Every Monitor",
                                   BS_AUTOCHECKBOX | WS_TABSTOP, 8, 136, 145, 17, IdEveryMonitor);
    c.GroupBox2 = CreateGroupBox(main, "Products", 8, 176, 297, 49, IdGroupBox2);
    c.VisitWebsite =
        CreateControl(c.GroupBox2, "STATIC", "", SS_CENTER | SS_NOTIFY, 48, 14, 203, 13, IdVisitWebsite);
    MakeLinkLabel(c.VisitWebsite);
    c.Apply = CreateControl(main, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 168, 270, 67, 20,
                            IdApply);
    c.Cancel =
        CreateControl(main, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 240, 270, 67, 20, IdCancel);
    c.RestoreDefaults = CreateControl(main, "BUTTON", "Restore Defaults", BS_PUSHBUTTON | WS_TABSTOP, 8, 270,
                                      97, 20, IdRestoreDefaults);
    c.About =
        CreateControl(main, "BUTTON", "About...", BS_PUSHBUTTON | WS_TABSTOP, 200, 102, 105, 20, IdAbout);
    c.Image1 = CreateControl(main, "STATIC", "", SS_OWNERDRAW, 200, 13, 105, 81, IdImage1);
}

HWND ControlWindow(const TDialogControls& c, TControl control) {
    switch (control) {
    case TControl::GroupBox1:
        return c.GroupBox1;
    case TControl::MouseExit:
        return c.MouseExit;
    case TControl::FPSShow:
        return c.FPSShow;
    case TControl::TimeShow:
        return c.TimeShow;
    case TControl::Time12:
        return c.Time12;
    case TControl::Time24:
        return c.Time24;
    case TControl::SoundOn:
        return c.SoundOn;
    case TControl::EveryMonitor:
        return c.EveryMonitor;
    case TControl::Image1:
        return c.Image1;
    case TControl::About:
        return c.About;
    case TControl::GroupBox2:
        return c.GroupBox2;
    case TControl::VisitWebsite:
        return c.VisitWebsite;
    case TControl::RestoreDefaults:
        return c.RestoreDefaults;
    case TControl::Apply:
        return c.Apply;
    case TControl::Cancel:
        return c.Cancel;
    }
    return nullptr;
}

void FitLabelToText(HWND label) {
    char text[512] = {};
    GetWindowTextA(label, text, sizeof text);
    RECT r{};
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&r), 2);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_NOPREFIX); // widest line, every line's height
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    // Like an auto-sized label: as wide and as tall as its text, around the same centre.
    int width = r.right - r.left, height = r.bottom - r.top;
    int left = r.left;
    if (needed.right > width) {
        left -= (needed.right - width + 1) / 2;
        width = needed.right;
    }
    if (needed.bottom > height) height = needed.bottom;
    SetWindowPos(label, nullptr, left, r.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace win32
