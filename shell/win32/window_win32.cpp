// The main window `TTarnwickScreensaverMainWindow` on Win32: the window
// itself, its events, the 50 ms timer and the idle loop. What the window does
// in each run mode is the shell's (shell/main_window.cpp); this file turns
// Win32 messages into the shell's handlers and the shell's requests into
// Win32 calls.
#include "shell/win32/window_win32.h"

#include <vector>

#include "platform/platform.h"
#include "shell/win32/dpi_win32.h"
#include "shell/win32/resources.h"

namespace win32 {

// The application window, the owner of the about box.
HWND ApplicationWindow = nullptr;

HICON ProgramIcon(HINSTANCE instance) {
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(TARNWICK_ICON_ID));
    return icon ? icon : LoadIcon(nullptr, IDI_APPLICATION);
}

HWND CreateApplicationWindow(HINSTANCE instance, const char* title) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = ProgramIcon(instance);
    wc.lpszClassName = "TApplication";
    RegisterClassA(&wc);
    // Hidden for the whole run; it only carries the title.
    ApplicationWindow = CreateWindowExA(0, wc.lpszClassName, title, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0,
                                        0, 0, nullptr, nullptr, instance, nullptr);
    return ApplicationWindow;
}

namespace {
constexpr UINT_PTR Timer1 = 1;
constexpr UINT Timer1Interval = 50; // ms
// The class of the black windows over the monitors other than the primary
// one during the full-screen run.
const char* const CoverClassName = "TTarnwickScreensaverCover";

// One window for every run mode: the dialog's controls are created in each
// and hidden by the full-screen set-up.
class TWin32MainWindow : public TPreviewHost, public TFullScreenHost, public TDialogHost {
  public:
    HWND Window = nullptr;
    HWND AboutBox = nullptr;
    UINT DialogDpi = DesignDpi; // the DPI of the settings dialog's monitor
    SIZE DialogForm{0, 0};      // the dialog's outer size on the form, at 96 DPI

    // Lays the dialog out at `dpi` and sizes its frame to hold it, keeping
    // its top left corner (or, with `centre`, centred on the screen).
    void FitDialog(UINT dpi, bool centre) {
        const DWORD style = GetWindowLongW(Window, GWL_STYLE), exStyle = GetWindowLongW(Window, GWL_EXSTYLE);
        const SIZE frame = FrameSize(0, 0, style, exStyle, dpi);
        const SIZE form{Scaled(DialogForm.cx, dpi) - frame.cx, Scaled(DialogForm.cy, dpi) - frame.cy};
        const SIZE client = LayoutDialog(Window, Controls, dpi, form);
        const SIZE outer = FrameSize(client.cx, client.cy, style, exStyle, dpi);
        RECT r{};
        GetWindowRect(Window, &r);
        if (centre) {
            r.left = (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
            r.top = (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
        }
        SetWindowPos(Window, HWND_NOTOPMOST, r.left, r.top, outer.cx, outer.cy,
                     SWP_NOACTIVATE | SWP_FRAMECHANGED | (centre ? 0 : SWP_NOZORDER));
    }
    TDialogControls Controls{};
    HBITMAP Logo = nullptr;           // the preview logo
    HBITMAP ProductPicture = nullptr; // Image1 in the dialog
    bool LeftButtonDown = false;
    // Black windows over the other monitors, owned by the main window; their
    // input ends the run as the main window's does.
    std::vector<HWND> Covers;
    // The run on every monitor: the main window spans this rectangle of the
    // virtual screen, and there are no covers.
    bool Spanning = false;
    RECT SpanRect{};

    // The handlers that branch on the run mode take the window as the host of every mode.
    operator TMainWindowHosts() { return TMainWindowHosts{this, this, this}; }

    platform::WindowHandle Handle() override { return reinterpret_cast<platform::WindowHandle>(Window); }
    void SetCaption(const std::string& caption) override {
        SetWindowTextA(Window, caption.c_str());
        // The dialog's title bar holds its caption whole.
        if (DialogForm.cx) FitDialog(DialogDpi, true);
    }
    void SetControlText(TControl control, const std::string& text) override {
        HWND hwnd = ControlWindow(Controls, control);
        SetWindowTextA(hwnd, text.c_str());
        if (control == TControl::VisitWebsite) FitLabelToText(hwnd);
    }
    void HideControl(TControl control) override { ShowWindow(ControlWindow(Controls, control), SW_HIDE); }

    void ShowSettings(const TSettings& s) override {
        auto check = [](HWND box, bool on) {
            SendMessageA(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        };
        check(Controls.MouseExit, s.MouseExit);
        check(Controls.FPSShow, s.FPSShow);
        check(Controls.TimeShow, s.TimeShow);
        check(Controls.Time12, s.Time12);
        check(Controls.Time24, s.Time24);
        check(Controls.SoundOn, s.SoundOn);
        check(Controls.EveryMonitor, s.EveryMonitor);
        ::EnableWindow(Controls.Time12, s.TimeFormatEnabled);
        ::EnableWindow(Controls.Time24, s.TimeFormatEnabled);
    }
    TSettings ReadSettings() override {
        auto checked = [](HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
        TSettings s;
        s.MouseExit = checked(Controls.MouseExit);
        s.FPSShow = checked(Controls.FPSShow);
        s.TimeShow = checked(Controls.TimeShow);
        s.Time12 = checked(Controls.Time12);
        s.Time24 = checked(Controls.Time24);
        s.SoundOn = checked(Controls.SoundOn);
        s.EveryMonitor = checked(Controls.EveryMonitor);
        s.TimeFormatEnabled = IsWindowEnabled(Controls.Time12) != FALSE;
        return s;
    }

    void MakeNormal() override {
        if (IsZoomed(Window)) ShowWindow(Window, SW_RESTORE);
        SetWindowPos(Window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void LoadPreviewLogo(const std::string& path) override {
        HBITMAP bitmap = CreateLogoBitmap(LoadLogo(path));
        if (!bitmap) throw TGraphicError();
        if (Logo) DeleteObject(Logo);
        Logo = bitmap;
    }
    void FreePreviewLogo() override {
        if (Logo) DeleteObject(Logo);
        Logo = nullptr;
    }
    void MakeChild() override { SetWindowLongA(Window, GWL_STYLE, WS_CHILD); }
    void SetParentWindow(platform::WindowHandle parent) override {
        SetParent(Window, ToHwnd(parent));
        // The child fills the control panel's preview window.
        RECT r{};
        GetClientRect(ToHwnd(parent), &r);
        SetWindowPos(Window, nullptr, 0, 0, r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void DrawPreviewLogo(platform::WindowHandle target) override {
        if (Logo) win32::DrawPreviewLogo(ToHwnd(target), Logo);
    }
    bool WindowExists(platform::WindowHandle window) override { return window && IsWindow(ToHwnd(window)); }
    bool IsVisible() override { return IsWindowVisible(Window) != FALSE; }
    void Hide() override { ShowWindow(Window, SW_HIDE); }

    platform::WindowHandle ParentOf(platform::WindowHandle window) override {
        return reinterpret_cast<platform::WindowHandle>(GetParent(ToHwnd(window)));
    }
    void EnableWindow(platform::WindowHandle window, bool enable) override {
        ::EnableWindow(ToHwnd(window), enable);
    }
    // The form's size and its controls' places are those at 96 DPI, scaled
    // to the DPI of the primary monitor, where the dialog opens, and grown
    // where the system's font needs more room.
    void MakeDialog(int width, int height) override {
        SetWindowLongA(Window, GWL_STYLE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN);
        SetWindowLongA(Window, GWL_EXSTYLE, WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT);
        DialogDpi = PrimaryMonitorDpi();
        DialogForm = SIZE{width, height};
        FitDialog(DialogDpi, true);
        // The product picture: the logo, when the home directory has one.
        try {
            ProductPicture = CreateLogoBitmap(LoadLogo(PreviewLogoFile));
        } catch (const std::exception&) {
            ProductPicture = nullptr;
        }
    }

    std::vector<TRect> ListMonitors() override;
    void SpanWindow(const TRect& screen) override;
    void ShowMaximized() override {
        if (Spanning) {
            SetWindowPos(Window, HWND_TOPMOST, SpanRect.left, SpanRect.top, SpanRect.right - SpanRect.left,
                         SpanRect.bottom - SpanRect.top, SWP_SHOWWINDOW);
            SetForegroundWindow(Window);
            SetFocus(Window);
            return;
        }
        CreateCovers();
        SetWindowPos(Window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowWindow(Window, SW_SHOWMAXIMIZED);
        SetForegroundWindow(Window);
        SetFocus(Window);
    }
    void ShowNormal() override {
        ShowWindow(Window, SW_SHOWNORMAL);
        SetForegroundWindow(Window);
        SetFocus(Controls.MouseExit);
    }

    void GetCursorPos(int& x, int& y) override { platform::GetCursorPos(x, y); }
    void HideCursor() override { ShowCursor(FALSE); }
    void Close() override { PostMessageA(Window, WM_CLOSE, 0, 0); }
    void DestroyAndExit() override {
        if (Window) DestroyWindow(Window);
        PostQuitMessage(0);
    }
    void OpenWebsite(const std::string& address) override { platform::OpenUrl(address); }

    TRect MainWindowRect() override { return RectOf(Window); }
    // The box is centred by its size where it will show: over the dialog,
    // at the dialog's DPI. It is fitted to that here, once, before it moves.
    TRect AboutRect() override {
        FitAboutBox(AboutBox, DialogDpi);
        return RectOf(AboutBox);
    }
    void ShowAbout(int left, int top) override {
        SetWindowPos(AboutBox, HWND_TOP, left, top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(AboutBox);
    }
    void HideAbout() override {
        ShowWindow(AboutBox, SW_HIDE);
        if (IsWindowEnabled(Window)) SetForegroundWindow(Window);
    }

    void CreateCovers();
    void DestroyCovers() {
        for (HWND cover : Covers)
            if (IsWindow(cover)) DestroyWindow(cover);
        Covers.clear();
    }

    static HWND ToHwnd(platform::WindowHandle window) { return reinterpret_cast<HWND>(window); }
    static TRect RectOf(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return TRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
};

TWin32MainWindow MainWindow;

// The input the main window takes in the run, from wherever it comes: true
// when the message was one of it.
bool RunInput(UINT message, LRESULT& result) {
    result = 0;
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (RunMode != Running) return false;
        Guard([&] { FormKeyDown(MainWindow); });
        return true;
    case WM_MOUSEMOVE:
        Guard([&] { FormMouseMove(MainWindow); });
        return true;
    case WM_LBUTTONDOWN:
        MainWindow.LeftButtonDown = true;
        return true;
    case WM_LBUTTONUP:
        if (MainWindow.LeftButtonDown) Guard([&] { FormClick(MainWindow); });
        MainWindow.LeftButtonDown = false;
        return true;
    }
    return false;
}

LRESULT CALLBACK CoverWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (RunInput(message, result)) return result;
    // Closing a cover closes the run.
    if (message == WM_CLOSE) {
        MainWindow.Close();
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

BOOL CALLBACK AddOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
        reinterpret_cast<std::vector<RECT>*>(param)->push_back(info.rcMonitor);
    return TRUE;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    auto* monitors = reinterpret_cast<std::vector<RECT>*>(param);
    // The primary one first.
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        monitors->insert(monitors->begin(), info.rcMonitor);
    else
        monitors->push_back(info.rcMonitor);
    return TRUE;
}

// Every monitor's rectangle on the virtual screen, the primary one first.
std::vector<TRect> TWin32MainWindow::ListMonitors() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    std::vector<TRect> rects;
    for (const RECT& r : monitors)
        rects.push_back(TRect{r.left, r.top, r.right - r.left, r.bottom - r.top});
    return rects;
}

// The window is sized now, while hidden and before the OpenGL surface is
// made on it (under Wine a hidden window's surface keeps the size it was
// made at).
void TWin32MainWindow::SpanWindow(const TRect& screen) {
    Spanning = true;
    SpanRect = RECT{screen.Left, screen.Top, screen.Left + screen.Width, screen.Top + screen.Height};
    SetWindowPos(Window, HWND_TOPMOST, screen.Left, screen.Top, screen.Width, screen.Height, SWP_NOACTIVATE);
}

// A black, borderless, topmost window over each monitor but the primary
// one, where the main window is maximised; shown without taking the focus.
void TWin32MainWindow::CreateCovers() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddOtherMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(Window, GWLP_HINSTANCE));
    WNDCLASSA wc{};
    wc.lpfnWndProc = CoverWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = CoverClassName;
    RegisterClassA(&wc);
    for (const RECT& r : monitors) {
        HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, CoverClassName, ApplicationTitle,
                                     WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, Window,
                                     nullptr, instance, nullptr);
        if (!cover) continue;
        ShowWindow(cover, SW_SHOWNOACTIVATE);
        Covers.push_back(cover);
    }
}

void PaintBackground(HWND hwnd, HDC dc) {
    RECT r;
    GetClientRect(hwnd, &r);
    // Black under the rendering; the dialog in the button-face colour.
    HBRUSH brush = RunMode == Configure ? GetSysColorBrush(COLOR_BTNFACE)
                                        : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FillRect(dc, &r, brush);
}

void DrawProductPicture(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (!MainWindow.ProductPicture) return;
    BITMAP info{};
    GetObjectA(MainWindow.ProductPicture, sizeof info, &info);
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(source, MainWindow.ProductPicture);
    SetStretchBltMode(item.hDC, HALFTONE);
    StretchBlt(item.hDC, 0, 0, item.rcItem.right, item.rcItem.bottom, source, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void Command(WORD id, WORD code) {
    TDialogHost& host = MainWindow;
    if (RunMode != Configure) return;
    switch (id) {
    case IdApply:
        Guard([&] { ApplyClick(host); });
        break;
    case IdCancel:
        Guard([&] { CancelClick(host); });
        break;
    case IdRestoreDefaults:
        Guard([&] { RestoreDefaultsClick(host); });
        break;
    case IdAbout:
        Guard([&] { AboutClick(host); });
        break;
    case IdTimeShow:
        if (code == BN_CLICKED) Guard([&] { TimeShowClick(host); });
        break;
    case IdVisitWebsite:
        if (code == STN_CLICKED) Guard([&] { VisitWebsiteClick(host); });
        break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        PaintBackground(hwnd, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_GETMINMAXINFO: {
        // Maximised, the borderless window covers the whole screen.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxPosition = POINT{0, 0};
        info->ptMaxSize = POINT{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return 0;
    }
    case WM_SIZE: {
        RECT r{};
        GetWindowRect(hwnd, &r);
        Guard([&] { FormResize(MainWindow, r.right - r.left, r.bottom - r.top); });
        return 0;
    }
    case WM_TIMER:
        if (wParam == Timer1) Guard([&] { Timer1Timer(MainWindow); });
        return 0;
    case WM_DPICHANGED:
        // The dialog moved onto a monitor of another scale: it takes the
        // frame the system suggests and lays its form out again. The about
        // box follows when it is opened over it (AboutRect). The full-screen
        // window keeps covering its monitor pixel for pixel.
        if (RunMode == Configure) {
            const RECT* r = reinterpret_cast<const RECT*>(lParam);
            MainWindow.DialogDpi = HIWORD(wParam);
            SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            MainWindow.FitDialog(MainWindow.DialogDpi, false);
        }
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
        LRESULT result = 0;
        if (RunInput(message, result)) return result;
        break;
    }
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        if (reinterpret_cast<HWND>(lParam) == MainWindow.Controls.VisitWebsite)
            SetTextColor(dc, RGB(0, 0, 128));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID == IdImage1) DrawProductPicture(*item);
        return TRUE;
    }
    case WM_DESTROY:
        KillTimer(hwnd, Timer1);
        MainWindow.DestroyCovers();
        Guard([&] { FormDestroy(MainWindow); });
        if (MainWindow.ProductPicture) DeleteObject(MainWindow.ProductPicture);
        MainWindow.ProductPicture = nullptr;
        MainWindow.Window = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC | CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = ProgramIcon(instance);
    wc.lpszClassName = MainWindowClassName;
    return RegisterClassA(&wc) != 0;
}
} // namespace

bool CreateMainWindow(HINSTANCE instance, const TArguments& args) {
    if (!RegisterMainWindowClass(instance)) {
        ShowErrorBox("The main window could not be created");
        return false;
    }
    // The window definition: no border, stay-on-top, black. It starts as
    // large as the screen it will be maximised to: the OpenGL surface made on
    // it during the set-up keeps the size the window had then (under Wine a
    // hidden window's surface does not follow a later resize).
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, MainWindowClassName, ApplicationTitle,
                                WS_POPUP | WS_CLIPCHILDREN, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        ShowErrorBox("The main window could not be created");
        return false;
    }
    MainWindow.Window = hwnd;
    CreateDialogControls(hwnd, MainWindow.Controls);
    SetTimer(hwnd, Timer1, Timer1Interval, nullptr);

    if (!Guard([&] { FormCreate(MainWindow, args); })) {
        DestroyWindow(hwnd);
        return false;
    }
    MainWindow.AboutBox = CreateAboutBox(instance, MainWindow);
    ShowMainWindow(MainWindow);
    return true;
}

int RunApplication() {
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            if (RunMode == Configure && MainWindow.Window && IsDialogMessageA(MainWindow.Window, &msg))
                continue;
            if (MainWindow.AboutBox && IsWindowVisible(MainWindow.AboutBox) &&
                IsDialogMessageA(MainWindow.AboutBox, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        bool done = true;
        Guard([&] { done = ApplicationEvents1Idle(MainWindow); });
        // Rendering asks to come back at once; otherwise sleep until a message.
        if (done) WaitMessage();
    }
}

} // namespace win32
