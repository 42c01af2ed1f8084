// The settings dialog's controls on Win32: the main window in the Configure
// run mode shows them; the full-screen run hides them. Positions and sizes
// are given in pixels at 96 DPI relative to the parent's client area, and
// laid out again at the DPI of the window's monitor; controls inside a
// group box are children of it, so hiding the box hides them too. The form
// is the least each control gets: in a font wider than the one it was
// drawn for (Segoe UI, or a fallback), a control grows to hold its text and
// pushes what lies to its right or below it along, so that no two overlap.
#include "shell/win32/window_win32.h"

#include <algorithm>
#include <map>
#include <string>
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

namespace {
// A control's place in its parent's client area, in pixels.
struct TBox {
    int Left, Top, Width, Height;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
};

// Where the form puts the control, at `dpi`.
TBox FormBox(HWND control, UINT dpi) {
    const RECT& r = Layouts[control].Rect96;
    const int left = Scaled(r.left, dpi), top = Scaled(r.top, dpi);
    return TBox{left, top, Scaled(r.right, dpi) - left, Scaled(r.bottom, dpi) - top};
}

void Place(HWND control, const TBox& b) {
    SetWindowPos(control, nullptr, b.Left, b.Top, b.Width, b.Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The text's widest line and all its lines' height, in `font`.
SIZE TextExtent(HWND window, const std::wstring& text, HFONT font) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return SIZE{r.right, r.bottom};
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// The size the control needs for its text in its font: the text and what
// the control draws besides it (the box of a check box or radio button and
// the gap after it, a push button's frame, the corners of a group box's caption).
SIZE Needed(HWND control, UINT dpi) {
    SIZE text = TextExtent(control, WindowText(control),
                           reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    wchar_t cls[32] = {};
    GetClassNameW(control, cls, 32);
    if (lstrcmpiW(cls, L"Button") != 0) return text;
    switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
    case BS_AUTORADIOBUTTON:
        return SIZE{text.cx + SystemMetric(SM_CXMENUCHECK, dpi) + Scaled(8, dpi), text.cy + Scaled(2, dpi)};
    case BS_GROUPBOX:
        return SIZE{text.cx + Scaled(20, dpi), 0};
    default:
        // A push button: its frame and the focus rectangle inside it.
        return SIZE{text.cx + Scaled(6, dpi) + 2, text.cy + Scaled(6, dpi)};
    }
}

// The box made at least as large as the control needs.
TBox Grown(HWND control, TBox b, UINT dpi) {
    const SIZE need = Needed(control, dpi);
    if (need.cx > b.Width) b.Width = need.cx;
    if (need.cy > b.Height) b.Height = need.cy;
    return b;
}
} // namespace

SIZE LayoutDialog(HWND main, const TDialogControls& c, UINT dpi, SIZE formClient) {
    LayoutControls(main, dpi); // every control at its form's place, in the font at `dpi`
    auto S = [dpi](int n) { return Scaled(n, dpi); };

    // "Options": its rows one under the other, each moved down by as much as
    // the rows above it grew; "24 hrs" right of "12 hrs", never under it.
    int down = 0, right = 0;
    for (HWND row : {c.MouseExit, c.FPSShow, c.TimeShow, c.Time12, c.SoundOn, c.EveryMonitor}) {
        TBox form = FormBox(row, dpi);
        form.Top += down;
        TBox b = Grown(row, form, dpi);
        if (row == c.Time12) {
            TBox b24 = FormBox(c.Time24, dpi);
            b24.Top = b.Top;
            b24.Left = std::max(b24.Left, b.Right());
            b24 = Grown(c.Time24, b24, dpi);
            b.Height = b24.Height = std::max(b.Height, b24.Height);
            Place(c.Time24, b24);
            right = std::max(right, b24.Right());
        }
        Place(row, b);
        down += b.Height - form.Height;
        right = std::max(right, b.Right());
    }
    TBox options = Grown(c.GroupBox1, FormBox(c.GroupBox1, dpi), dpi);
    options.Width = std::max(options.Width, right + S(8));
    options.Height += down;
    Place(c.GroupBox1, options);

    // The picture and "About..." right of it, moved as far as it grew.
    const int across = std::max(0, options.Right() - FormBox(c.GroupBox1, dpi).Right());
    const TBox imageForm = FormBox(c.Image1, dpi), aboutForm = FormBox(c.About, dpi);
    TBox image = imageForm, about = aboutForm;
    image.Left += across;
    about.Left += across;
    about = Grown(c.About, about, dpi);
    Place(c.Image1, image);
    Place(c.About, about);

    // "Products" under both, as wide as all above it; the link centred in it.
    const TBox productsForm = FormBox(c.GroupBox2, dpi);
    TBox products = Grown(c.GroupBox2, productsForm, dpi);
    products.Top = std::max({products.Top, options.Bottom(), about.Bottom() + S(4)});
    products.Width +=
        std::max(0, std::max(image.Right(), about.Right()) - std::max(imageForm.Right(), aboutForm.Right()));
    const TBox linkForm = FormBox(c.VisitWebsite, dpi);
    TBox link = linkForm;
    const SIZE text = TextExtent(c.VisitWebsite, WindowText(c.VisitWebsite),
                                 reinterpret_cast<HFONT>(SendMessageW(c.VisitWebsite, WM_GETFONT, 0, 0)));
    link.Width = std::max(link.Width, static_cast<int>(text.cx));
    link.Height = std::max(link.Height, static_cast<int>(text.cy));
    products.Width = std::max(products.Width, link.Width + S(16));
    products.Height = std::max(products.Height, link.Bottom() + S(6));
    link.Left =
        linkForm.Left + linkForm.Width / 2 + (products.Width - productsForm.Width) / 2 - link.Width / 2;
    Place(c.GroupBox2, products);
    Place(c.VisitWebsite, link);

    // The buttons' row under "Products", each pushing the next to the right.
    const int lower = products.Bottom() - productsForm.Bottom();
    TBox restore = FormBox(c.RestoreDefaults, dpi), ok = FormBox(c.Apply, dpi),
         cancel = FormBox(c.Cancel, dpi);
    for (TBox* b : {&restore, &ok, &cancel})
        b->Top += lower;
    restore = Grown(c.RestoreDefaults, restore, dpi);
    ok = Grown(c.Apply, ok, dpi);
    cancel = Grown(c.Cancel, cancel, dpi);
    ok.Left = std::max(ok.Left, restore.Right() + S(8));
    cancel.Left = std::max(cancel.Left, ok.Right() + S(5));
    // OK and Cancel keep to the right edge of a "Products" grown wider.
    const int edge = products.Right() + FormBox(c.Cancel, dpi).Right() - productsForm.Right();
    if (edge > cancel.Right()) {
        ok.Left += edge - cancel.Right();
        cancel.Left = edge - cancel.Width;
    }
    restore.Height = ok.Height = cancel.Height = std::max({restore.Height, ok.Height, cancel.Height});
    Place(c.RestoreDefaults, restore);
    Place(c.Apply, ok);
    Place(c.Cancel, cancel);

    // The client area holds all of it, and the title bar the caption
    // beside the close box.
    const NONCLIENTMETRICSW metrics = NonClientMetrics(dpi);
    HFONT captionFont = CreateFontIndirectW(&metrics.lfCaptionFont);
    const SIZE caption = TextExtent(main, WindowText(main), captionFont);
    DeleteObject(captionFont);
    SIZE client = formClient;
    const int rightmost = std::max({cancel.Right(), products.Right(), about.Right(), image.Right()});
    if (rightmost > FormBox(c.Cancel, dpi).Right()) client.cx = std::max<LONG>(client.cx, rightmost + S(7));
    client.cx = std::max<LONG>(client.cx, caption.cx + metrics.iCaptionWidth + S(12));
    if (lower > 0 || cancel.Height > FormBox(c.Cancel, dpi).Height)
        client.cy = std::max<LONG>(client.cy, cancel.Bottom() + S(8));
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return client;
}

void CreateDialogControls(HWND main, TDialogControls& c) {
    // Created in tab order: the group boxes with what they hold, OK, Cancel,
    // Restore Defaults, About...; the picture takes no focus.
    c.GroupBox1 = CreateGroupBox(main, "Options", 8, 8, 185, 168, IdGroupBox1);
    c.MouseExit = CreateControl(c.GroupBox1, "BUTTON", "Exit On Mouse Move",
                                BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 8, 16, 129, 17, IdMouseExit);
    c.FPSShow = CreateControl(c.GroupBox1, "BUTTON", "Show FPS", BS_AUTOCHECKBOX | WS_TABSTOP, 8, 40, 97, 17,
                              IdFPSShow);
    c.TimeShow = CreateControl(c.GroupBox1, "BUTTON", "Show Time", BS_AUTOCHECKBOX | WS_TABSTOP, 8, 64, 97,
                               17, IdTimeShow);
    c.Time12 = CreateControl(c.GroupBox1, "BUTTON", "12 hrs", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 24,
                             88, 56, 17, IdTime12);
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
