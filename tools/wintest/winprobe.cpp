// winprobe: a small Win32 test harness for the end-to-end tests under Wine.
// It plays the parts of the screensaver control panel and of a user who
// reads message boxes and clicks dialog controls.
//
//   winprobe msgbox CAPTION TIMEOUT_MS [BUTTON_ID]
//       Waits for a dialog box (class #32770) with the caption, prints the
//       text of each of its child windows as "text: ...", then presses the
//       button (default 1, IDOK). Exit code 0 when found, 2 on time-out.
//   winprobe window CLASS TIMEOUT_MS
//       Waits for a visible top-level window of the class and prints it
//       ("window: caption=... rect=L T W H client=W H style=0x... exstyle=0x...
//       topmost=0|1 enabled=0|1") and every control below it, in tab order,
//       as "control: CLASS "TEXT" rect=L T W H visible= enabled= checked= parent=..."
//       with the rect relative to the control's parent's client area.
//   winprobe click CLASS TEXT
//       Clicks the control with the text in the visible window of the class.
//   winprobe close CLASS
//       Closes the visible window of the class as its close box does.
//   winprobe host preview|owner HOLD_MS TIMEOUT_MS EXE [ARG...]
//       Plays the control panel: a window with a child (the preview window,
//       or the window whose owner the settings dialog disables), whose
//       decimal handle replaces "{HWND}" in the arguments; starts EXE.
//       preview: after HOLD_MS prints "alive=1|0 own-visible=N child=0|1",
//       destroys its window and prints "ended-ms=N exit=CODE" (or
//       "ended-ms=-1" when the program outlives TIMEOUT_MS).
//       owner: prints "dialog-open owner-enabled=0|1" once the program's
//       window shows, then waits for the program to end (up to TIMEOUT_MS)
//       and prints "exit=CODE owner-enabled=0|1".
//   winprobe gone CLASS TIMEOUT_MS
//       Waits until no visible top-level window of the class is left.
//   winprobe monitors
//       Prints each display monitor ("monitor: rect=L T W H primary=0|1")
//       and the virtual screen ("virtual: rect=L T W H").
//   winprobe windows CLASS COUNT TIMEOUT_MS
//       Waits until COUNT visible top-level windows of the class show, then
//       prints each ("window: caption=... rect=L T W H style=0x... exstyle=0x...
//       topmost=0|1"). Exit code 2 when fewer than COUNT show in time.
//   winprobe firstframe TIMEOUT_MS EXE ARG...
//       Starts EXE and watches the screen until the program's window shows
//       a rendered frame (more than 1% of a grid of sample points in colours
//       other than black and white); prints "first-frame-ms=N" counted from
//       the start of the process (-1 on time-out), then closes the window
//       and waits for the program to end.
//   winprobe fit CLASS TIMEOUT_MS
//       Waits for a visible top-level window of the class and prints its
//       DPI ("dpi=N") and, for every visible control below it with a text,
//       whether the text fits: "fit: CLASS "TEXT" font="FACE" HEIGHT text=W H
//       room=W H inside=0|1 ok=0|1"; then each pair of visible controls of
//       one parent, not both labels, whose rectangles overlap ("overlap:
//       "TEXT" "TEXT" by W x H") and
//       whether the window's caption fits between its left edge and its
//       close box, in the system's caption font ("caption: text=W room=W
//       ok=0|1"). The text is measured in the system's
//       message font at the window's DPI (a font handle does not cross
//       processes under Wine); the room is the control's size less what the control draws
//       besides its text (the box of a check box or radio button, the frame
//       of a push button, the corners of a group box's caption); inside says
//       whether the control lies wholly within its parent's client area.
//       Exit code 0 when every text fits and nothing overlaps, 1 otherwise.
//   winprobe dpichanged CLASS DPI
//       Tells the visible top-level window of the class that it is now on a
//       monitor of DPI dots an inch, as the system does (WM_DPICHANGED with
//       its frame scaled about the top left corner), and prints that frame
//       ("suggested: rect=L T W H"). Exit code 2 when it does not answer.
//   winprobe resources EXE
//       Lists what a program file carries: "resource: TYPE NAME" for each
//       resource, the manifest line by line ("manifest: ..."), the version
//       ("version: FileVersion=a.b.c.d ProductVersion=..." and
//       "version: NAME=VALUE" for each string), "string 1: ...",
//       "description: ..." (the DESCRIPTION resource), and per image of the
//       first icon group "icon: WxH bpp=N" and, drawn over white by the
//       system at that size, "icon-drawn: W corner=RRGGBB centre=RRGGBB".
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
const char* const ProgramClass = "TTarnwickScreensaverMainWindow";

struct TFind {
    std::string cls;
    std::string caption; // empty: any
    DWORD process = 0;   // 0: any
    HWND found = nullptr;
    int count = 0;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
    auto* find = reinterpret_cast<TFind*>(param);
    char cls[128] = {}, text[512] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, text, sizeof text);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (lstrcmpiA(cls, find->cls.c_str()) == 0 && IsWindowVisible(hwnd) &&
        (find->caption.empty() || find->caption == text) && (!find->process || find->process == process)) {
        if (!find->found) find->found = hwnd;
        ++find->count;
    }
    return TRUE;
}

HWND FindVisible(const std::string& cls, const std::string& caption = "") {
    TFind find{cls, caption};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// Lets the harness's own windows answer while it waits.
void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

HWND WaitVisible(const std::string& cls, DWORD timeout, const std::string& caption = "") {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND hwnd = FindVisible(cls, caption)) return hwnd;
        if (GetTickCount() - start > timeout) return nullptr;
        Pump(50);
    }
}

BOOL CALLBACK PrintChild(HWND hwnd, LPARAM) {
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (text[0]) std::printf("text: %s\n", text);
    return TRUE;
}

int MessageBoxCommand(int argc, char** argv) {
    if (argc < 4) return 64;
    DWORD timeout = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    int button = argc > 4 ? std::atoi(argv[4]) : IDOK;
    HWND box = WaitVisible("#32770", timeout, argv[2]);
    if (!box) {
        std::printf("no dialog \"%s\"\n", argv[2]);
        return 2;
    }
    RECT r;
    GetWindowRect(box, &r);
    std::printf("dialog: %ld %ld %ld %ld topmost=%d\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
    EnumChildWindows(box, PrintChild, 0);
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return 0;
}

std::string Escaped(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\r')
            out += "\\r";
        else if (*p == '\n')
            out += "\\n";
        else
            out += *p;
    }
    return out;
}

void PrintControls(HWND parent) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = {}, text[512] = {};
        GetClassNameA(child, cls, sizeof cls);
        GetWindowTextA(child, text, sizeof text);
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        int checked =
            lstrcmpiA(cls, "Button") == 0 ? static_cast<int>(SendMessageA(child, BM_GETCHECK, 0, 0)) : -1;
        char parentText[256] = {};
        GetWindowTextA(parent, parentText, sizeof parentText);
        std::printf("control: %s \"%s\" rect=%ld %ld %ld %ld visible=%d enabled=%d checked=%d tabstop=%d "
                    "parent=\"%s\"\n",
                    cls, Escaped(text).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                    IsWindowVisible(child) ? 1 : 0, IsWindowEnabled(child) ? 1 : 0, checked,
                    (style & WS_TABSTOP) ? 1 : 0, Escaped(parentText).c_str());
        PrintControls(child);
    }
}

int WindowCommand(int argc, char** argv) {
    if (argc < 4) return 64;
    HWND hwnd = WaitVisible(argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    if (!hwnd) {
        std::printf("no window of class %s\n", argv[2]);
        return 2;
    }
    Pump(200); // let it finish showing
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    RECT r, c;
    GetWindowRect(hwnd, &r);
    GetClientRect(hwnd, &c);
    LONG style = GetWindowLongA(hwnd, GWL_STYLE), exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
    std::printf("window: caption=\"%s\" rect=%ld %ld %ld %ld client=%ld %ld style=0x%08lx exstyle=0x%08lx "
                "topmost=%d enabled=%d screen=%d %d\n",
                text, r.left, r.top, r.right - r.left, r.bottom - r.top, c.right, c.bottom,
                static_cast<unsigned long>(style), static_cast<unsigned long>(exStyle),
                (exStyle & WS_EX_TOPMOST) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    PrintControls(hwnd);
    return 0;
}

struct TFindChild {
    std::string text;
    HWND found = nullptr;
};

BOOL CALLBACK FindChildByText(HWND hwnd, LPARAM param) {
    auto* find = reinterpret_cast<TFindChild*>(param);
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (find->text == text) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

int ClickCommand(int argc, char** argv) {
    if (argc < 4) return 64;
    HWND hwnd = WaitVisible(argv[2], 5000);
    if (!hwnd) {
        std::printf("no window of class %s\n", argv[2]);
        return 2;
    }
    TFindChild find{argv[3]};
    EnumChildWindows(hwnd, FindChildByText, reinterpret_cast<LPARAM>(&find));
    if (!find.found) {
        std::printf("no control \"%s\"\n", argv[3]);
        return 2;
    }
    // Posted: the click may open a box that waits for an answer.
    PostMessageA(find.found, BM_CLICK, 0, 0);
    return 0;
}

int CloseCommand(int argc, char** argv) {
    if (argc < 3) return 64;
    HWND hwnd = WaitVisible(argv[2], 5000);
    if (!hwnd) return 2;
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

int GoneCommand(int argc, char** argv) {
    if (argc < 4) return 64;
    DWORD timeout = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)), start = GetTickCount();
    while (FindVisible(argv[2])) {
        if (GetTickCount() - start > timeout) return 2;
        Pump(50);
    }
    return 0;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    std::printf("monitor: rect=%ld %ld %ld %ld primary=%d\n", r.left, r.top, r.right - r.left,
                r.bottom - r.top, (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
    return TRUE;
}

int MonitorsCommand() {
    EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
    std::printf("virtual: rect=%d %d %d %d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
                GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                GetSystemMetrics(SM_CYVIRTUALSCREEN));
    return 0;
}

struct TFindAll {
    std::string cls;
    std::vector<HWND> found;
};

BOOL CALLBACK FindAllTopLevel(HWND hwnd, LPARAM param) {
    auto* find = reinterpret_cast<TFindAll*>(param);
    char cls[128] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, find->cls.c_str()) == 0 && IsWindowVisible(hwnd)) find->found.push_back(hwnd);
    return TRUE;
}

int WindowsCommand(int argc, char** argv) {
    if (argc < 5) return 64;
    std::size_t count = std::strtoul(argv[3], nullptr, 10);
    DWORD timeout = static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10)), start = GetTickCount();
    TFindAll find{argv[2], {}};
    for (;;) {
        find.found.clear();
        EnumWindows(FindAllTopLevel, reinterpret_cast<LPARAM>(&find));
        if (find.found.size() >= count || GetTickCount() - start > timeout) break;
        Pump(50);
    }
    for (HWND hwnd : find.found) {
        char text[512] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        RECT r;
        GetWindowRect(hwnd, &r);
        LONG style = GetWindowLongA(hwnd, GWL_STYLE), exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
        std::printf("window: caption=\"%s\" rect=%ld %ld %ld %ld style=0x%08lx exstyle=0x%08lx topmost=%d\n",
                    text, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    static_cast<unsigned long>(style), static_cast<unsigned long>(exStyle),
                    (exStyle & WS_EX_TOPMOST) ? 1 : 0);
    }
    return find.found.size() >= count ? 0 : 2;
}

// The share (in thousandths) of sample points of the screen that are neither
// black nor white: the black window and the bare X root show none.
int ColouredShare(HDC screen, HDC memory, HBITMAP bitmap, const std::uint32_t* pixels, int width,
                  int height) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    int coloured = 0, samples = 0;
    for (int y = 0; y < height; y += 8) {
        for (int x = 0; x < width; x += 8) {
            std::uint32_t p = pixels[y * width + x] & 0xFFFFFF;
            ++samples;
            if (p != 0 && p != 0xFFFFFF) ++coloured;
        }
    }
    return samples ? coloured * 1000 / samples : 0;
}

int FirstFrameCommand(int argc, char** argv) {
    if (argc < 4) return 64;
    DWORD timeout = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    std::string commandLine = std::string("\"") + argv[3] + "\"";
    for (int i = 4; i < argc; ++i)
        commandLine += std::string(" ") + argv[i];
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    DWORD start = GetTickCount();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("cannot start %s\n", commandLine.c_str());
        return 3;
    }
    long firstFrame = -1;
    while (GetTickCount() - start < timeout && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        if (FindVisible(ProgramClass) && ColouredShare(screen, memory, bitmap, pixels, width, height) > 10) {
            firstFrame = static_cast<long>(GetTickCount() - start);
            break;
        }
        Sleep(2);
    }
    std::printf("first-frame-ms=%ld\n", firstFrame);
    std::fflush(stdout);
    if (HWND window = FindVisible(ProgramClass)) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 9);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return firstFrame < 0 ? 2 : 0;
}

// What a control draws besides its text, in pixels across and down.
SIZE ControlDecoration(HWND control, const char* cls, UINT dpi) {
    auto scaled = [dpi](int n) { return MulDiv(n, static_cast<int>(dpi), 96); };
    if (lstrcmpiA(cls, "Button") != 0) return SIZE{0, 0};
    switch (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        // The box, the gap after it and the focus rectangle round the text.
        return SIZE{GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + scaled(4), scaled(2)};
    case BS_GROUPBOX:
        // The caption sits in the top edge between two short stretches of it.
        return SIZE{scaled(16), 0};
    default:
        // A push button's frame: the margins its text is drawn within.
        return SIZE{scaled(6), scaled(4)};
    }
}

// The size of the text's lines in the font (lines split at CR LF).
SIZE TextSize(HDC dc, const std::string& text) {
    SIZE total{0, 0};
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find("\r\n", start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        SIZE s{0, 0};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &s);
        if (line.empty()) {
            TEXTMETRICA tm{};
            GetTextMetricsA(dc, &tm);
            s.cy = tm.tmHeight;
        }
        total.cx = std::max(total.cx, s.cx);
        total.cy += s.cy;
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return total;
}

int CheckFits(HWND parent, UINT dpi, HDC dc) {
    int failures = 0;
    RECT area;
    GetClientRect(parent, &area);
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        failures += CheckFits(child, dpi, dc);
        char cls[64] = {}, text[512] = {};
        GetClassNameA(child, cls, sizeof cls);
        GetWindowTextA(child, text, sizeof text);
        if (!text[0] || !IsWindowVisible(child)) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        bool inside = r.left >= 0 && r.top >= 0 && r.right <= area.right && r.bottom <= area.bottom;
        // Another process's font handle means nothing here: the text is
        // measured in the font the dialog is to use, the system's message
        // font at the window's DPI.
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
        const LOGFONTW& lf = metrics.lfMessageFont;
        char face[LF_FACESIZE * 2] = {};
        WideCharToMultiByte(CP_UTF8, 0, lf.lfFaceName, -1, face, sizeof face, nullptr, nullptr);
        HFONT own = CreateFontIndirectW(&lf);
        HGDIOBJ old = SelectObject(dc, own);
        SIZE need = TextSize(dc, text);
        SelectObject(dc, old);
        DeleteObject(own);
        SIZE extra = ControlDecoration(child, cls, dpi);
        long roomX = (r.right - r.left) - extra.cx, roomY = (r.bottom - r.top) - extra.cy;
        bool ok = inside && need.cx <= roomX && need.cy <= roomY;
        std::printf("fit: %s \"%s\" font=\"%s\" %ld text=%ld %ld room=%ld %ld inside=%d ok=%d\n", cls,
                    Escaped(text).c_str(), face, lf.lfHeight, need.cx, need.cy, roomX, roomY, inside ? 1 : 0,
                    ok ? 1 : 0);
        if (!ok) ++failures;
    }
    return failures;
}

bool IsLabel(HWND control) {
    char cls[64] = {};
    GetClassNameA(control, cls, sizeof cls);
    return lstrcmpiA(cls, "Static") == 0;
}

// Visible controls of one parent whose rectangles share a pixel: one covers
// the other, and takes its clicks or hides its edge. (Two labels may share
// a strip: they take no clicks, and each clips the other.)
int CheckOverlaps(HWND parent) {
    int failures = 0;
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        failures += CheckOverlaps(child);
        if (IsWindowVisible(child)) children.push_back(child);
    }
    for (std::size_t i = 0; i < children.size(); ++i)
        for (std::size_t k = i + 1; k < children.size(); ++k) {
            RECT a, b, common;
            GetWindowRect(children[i], &a);
            GetWindowRect(children[k], &b);
            if (!IntersectRect(&common, &a, &b) || (IsLabel(children[i]) && IsLabel(children[k]))) continue;
            char first[512] = {}, second[512] = {};
            GetWindowTextA(children[i], first, sizeof first);
            GetWindowTextA(children[k], second, sizeof second);
            std::printf("overlap: \"%s\" \"%s\" by %ld x %ld\n", Escaped(first).c_str(),
                        Escaped(second).c_str(), common.right - common.left, common.bottom - common.top);
            ++failures;
        }
    return failures;
}

// The caption's text against the room the title bar leaves it: the client
// area's width less the close box and a margin on either side.
int CheckCaption(HWND hwnd, UINT dpi, HDC dc) {
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE need = TextSize(dc, text);
    SelectObject(dc, old);
    DeleteObject(font);
    RECT client;
    GetClientRect(hwnd, &client);
    long room = client.right - metrics.iCaptionWidth - MulDiv(8, static_cast<int>(dpi), 96);
    bool ok = need.cx <= room;
    std::printf("caption: \"%s\" text=%ld room=%ld ok=%d\n", Escaped(text).c_str(), need.cx, room,
                ok ? 1 : 0);
    return ok ? 0 : 1;
}

int FitCommand(int argc, char** argv) {
    if (argc < 4) return 64;
    HWND hwnd = WaitVisible(argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    if (!hwnd) {
        std::printf("no window of class %s\n", argv[2]);
        return 2;
    }
    Pump(200);
    UINT dpi = GetDpiForWindow(hwnd);
    std::printf("dpi=%u\n", dpi);
    HDC dc = CreateCompatibleDC(nullptr);
    int failures = CheckFits(hwnd, dpi, dc);
    failures += CheckOverlaps(hwnd);
    failures += CheckCaption(hwnd, dpi, dc);
    DeleteDC(dc);
    return failures ? 1 : 0;
}

std::string ResourceName(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return std::to_string(reinterpret_cast<UINT_PTR>(name));
    return name;
}

BOOL CALLBACK PrintResourceName(HMODULE, LPCSTR type, LPSTR name, LONG_PTR) {
    std::printf("resource: %s %s\n", ResourceName(type).c_str(), ResourceName(name).c_str());
    return TRUE;
}

BOOL CALLBACK PrintResourceType(HMODULE module, LPSTR type, LONG_PTR) {
    EnumResourceNamesA(module, type, PrintResourceName, 0);
    return TRUE;
}

// The bytes of a resource, empty when there is none.
std::string ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return {};
    HGLOBAL data = LoadResource(module, found);
    const char* bytes = static_cast<const char*>(LockResource(data));
    return bytes ? std::string(bytes, SizeofResource(module, found)) : std::string();
}

void PrintVersion(const char* path) {
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(path, &ignored);
    if (!size) {
        std::printf("version: none\n");
        return;
    }
    std::vector<char> info(size);
    GetFileVersionInfoA(path, 0, size, info.data());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        std::printf("version: FileVersion=%d.%d.%d.%d ProductVersion=%d.%d.%d.%d\n",
                    HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                    HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS),
                    HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                    HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
    struct TTranslation {
        WORD language, codePage;
    }* translations = nullptr;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &length) ||
        length < sizeof *translations)
        return;
    for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName",
                             "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"}) {
        char query[128];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translations->language,
                      translations->codePage, name);
        char* value = nullptr;
        if (VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&value), &length) && value)
            std::printf("version: %s=%s\n", name, value);
    }
}

#pragma pack(push, 2)
struct TGroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* first = reinterpret_cast<std::string*>(param);
    *first =
        IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<UINT_PTR>(name)) : std::string(name);
    return FALSE;
}

// The colour of a pixel of the icon as the system draws it over white.
void PrintDrawnIcon(HMODULE module, LPCSTR name, int size) {
    HICON icon = static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, size, size, 0));
    if (!icon) {
        std::printf("icon-drawn: %d none\n", size);
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::printf("icon-drawn: %d corner=%06x centre=%06x\n", size, pixels[0] & 0xFFFFFFu,
                pixels[(size / 2) * size + size / 2] & 0xFFFFFFu);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyIcon(icon);
}

// What the system does when a window has moved onto a monitor of another
// scale: WM_DPICHANGED with the new DPI and a suggested frame, the old one
// scaled about its top left corner. The rectangle must lie in the window's
// own process, so it is written there.
int DpiChangedCommand(int argc, char** argv) {
    if (argc < 4) return 64;
    HWND hwnd = WaitVisible(argv[2], 5000);
    if (!hwnd) {
        std::printf("no window of class %s\n", argv[2]);
        return 2;
    }
    int dpi = std::atoi(argv[3]), old = static_cast<int>(GetDpiForWindow(hwnd));
    RECT r;
    GetWindowRect(hwnd, &r);
    RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, old),
                   r.top + MulDiv(r.bottom - r.top, dpi, old)};
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    void* remote =
        process ? VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                : nullptr;
    if (!remote || !WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
        std::printf("cannot write into process %lu\n", static_cast<unsigned long>(pid));
        return 3;
    }
    DWORD_PTR answer = 0;
    bool sent = SendMessageTimeoutA(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                    reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 10000, &answer) != 0;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!sent) {
        std::printf("the window did not answer\n");
        return 2;
    }
    std::printf("suggested: rect=%ld %ld %ld %ld\n", suggested.left, suggested.top,
                suggested.right - suggested.left, suggested.bottom - suggested.top);
    return 0;
}

int ResourcesCommand(int argc, char** argv) {
    if (argc < 3) return 64;
    HMODULE module = LoadLibraryExA(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        std::printf("cannot load %s\n", argv[2]);
        return 2;
    }
    EnumResourceTypesA(module, PrintResourceType, 0);
    std::string manifest = ResourceBytes(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    std::size_t start = 0;
    while (start < manifest.size()) {
        std::size_t end = manifest.find('\n', start);
        if (end == std::string::npos) end = manifest.size();
        std::string line = manifest.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::printf("manifest: %s\n", line.c_str());
        start = end + 1;
    }
    PrintVersion(argv[2]);
    char text[256] = {};
    if (LoadStringA(module, 1, text, sizeof text)) std::printf("string 1: %s\n", text);
    std::string description = ResourceBytes(module, "DESCRIPTION", MAKEINTRESOURCEA(10));
    std::string narrow;
    for (std::size_t i = 0; i + 1 < description.size(); i += 2)
        narrow += description[i + 1] ? '?' : (description[i] ? description[i] : '|');
    std::printf("description: %s\n", narrow.c_str());
    std::string group;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(14), FirstName, reinterpret_cast<LONG_PTR>(&group));
    if (!group.empty()) {
        LPCSTR name = group[0] == '#' ? MAKEINTRESOURCEA(std::atoi(group.c_str() + 1)) : group.c_str();
        std::string bytes = ResourceBytes(module, name, MAKEINTRESOURCEA(14));
        WORD count = bytes.size() >= 6 ? *reinterpret_cast<const WORD*>(bytes.data() + 4) : 0;
        for (WORD i = 0; i < count && 6 + (i + 1) * sizeof(TGroupIconEntry) <= bytes.size(); ++i) {
            TGroupIconEntry e;
            std::memcpy(&e, bytes.data() + 6 + i * sizeof e, sizeof e);
            int side = e.width ? e.width : 256;
            std::printf("icon: %dx%d bpp=%u\n", side, e.height ? e.height : 256, e.bitCount);
            PrintDrawnIcon(module, name, side);
        }
    }
    FreeLibrary(module);
    return 0;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The control panel: a top-level window with a child of the preview's size.
void CreateHostWindows(HWND& panel, HWND& child) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "WinprobeControlPanel";
    RegisterClassA(&wc);
    panel = CreateWindowExA(0, wc.lpszClassName, "Control Panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                            400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    child = CreateWindowExA(0, wc.lpszClassName, "Preview", WS_CHILD | WS_VISIBLE, 30, 30, 152, 112, panel,
                            nullptr, wc.hInstance, nullptr);
    Pump(100);
}

BOOL CALLBACK HasProgramChild(HWND hwnd, LPARAM param) {
    char cls[128] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, ProgramClass) == 0) *reinterpret_cast<int*>(param) = 1;
    return TRUE;
}

int HostCommand(int argc, char** argv) {
    if (argc < 6) return 64; // EXE alone: started with no argument at all
    std::string mode = argv[2];
    DWORD hold = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    DWORD timeout = static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10));
    HWND panel = nullptr, child = nullptr;
    CreateHostWindows(panel, child);

    std::string commandLine = std::string("\"") + argv[5] + "\"";
    std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(child));
    for (int i = 6; i < argc; ++i) {
        std::string arg = argv[i];
        std::size_t at = arg.find("{HWND}");
        if (at != std::string::npos) arg.replace(at, 6, handle);
        commandLine += " " + arg;
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("cannot start %s\n", commandLine.c_str());
        return 3;
    }
    auto running = [&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; };
    auto waitEnd = [&](DWORD limit) {
        DWORD start = GetTickCount();
        while (running() && GetTickCount() - start < limit)
            Pump(5);
        return running() ? -1L : static_cast<long>(GetTickCount() - start);
    };

    if (mode == "preview") {
        Pump(hold);
        TFind own{ProgramClass, "", pi.dwProcessId};
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&own));
        int hasChild = 0;
        EnumChildWindows(child, HasProgramChild, reinterpret_cast<LPARAM>(&hasChild));
        std::printf("alive=%d own-visible=%d child=%d\n", running() ? 1 : 0, own.count, hasChild);
        std::fflush(stdout);
        DestroyWindow(panel); // the control panel closes: the preview window goes with it
        long ended = waitEnd(timeout);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        std::printf("ended-ms=%ld exit=%lu\n", ended, static_cast<unsigned long>(code));
        if (ended < 0) TerminateProcess(pi.hProcess, 9);
    } else {
        TFind dialog{ProgramClass, "", pi.dwProcessId};
        DWORD start = GetTickCount();
        while (!dialog.found && running() && GetTickCount() - start < timeout) {
            Pump(50);
            EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&dialog));
        }
        Pump(100);
        std::printf("dialog-open=%d owner-enabled=%d\n", dialog.found ? 1 : 0,
                    IsWindowEnabled(panel) ? 1 : 0);
        std::fflush(stdout);
        long ended = waitEnd(timeout);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        Pump(50);
        std::printf("exit=%lu ended-ms=%ld owner-enabled=%d\n", static_cast<unsigned long>(code), ended,
                    IsWindowEnabled(panel) ? 1 : 0);
        if (ended < 0) TerminateProcess(pi.hProcess, 9);
    }
    std::fflush(stdout);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    // The probe sees every window in the monitors' own pixels, whatever the
    // program it looks at declares.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    std::string command = argc >= 2 ? argv[1] : "";
    if (command == "msgbox") return MessageBoxCommand(argc, argv);
    if (command == "window") return WindowCommand(argc, argv);
    if (command == "click") return ClickCommand(argc, argv);
    if (command == "close") return CloseCommand(argc, argv);
    if (command == "gone") return GoneCommand(argc, argv);
    if (command == "host") return HostCommand(argc, argv);
    if (command == "firstframe") return FirstFrameCommand(argc, argv);
    if (command == "monitors") return MonitorsCommand();
    if (command == "windows") return WindowsCommand(argc, argv);
    if (command == "fit") return FitCommand(argc, argv);
    if (command == "resources") return ResourcesCommand(argc, argv);
    if (command == "dpichanged") return DpiChangedCommand(argc, argv);
    std::fprintf(
        stderr,
        "usage: winprobe msgbox|window|click|close|gone|host|firstframe|monitors|windows|fit|resources "
        "... (see winprobe.cpp)\n");
    return 64;
}
