// winprobe: a small Win32 test harness for the end-to-end tests under Wine.
// It plays the parts of the screensaver control panel and of a user who reads
// a message box.
//
//   winprobe msgbox CAPTION TIMEOUT_MS [BUTTON_ID]
//       Waits for a dialog box (class #32770) with the caption, prints the
//       text of each of its child windows as "text: ...", then presses the
//       button (default 1, IDOK). Exit code 0 when found, 2 on time-out.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
struct TFind {
    std::string caption;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
    auto* find = reinterpret_cast<TFind*>(param);
    char cls[64] = {}, text[512] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, text, sizeof text);
    if (std::string(cls) == "#32770" && find->caption == text && IsWindowVisible(hwnd)) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintChild(HWND hwnd, LPARAM) {
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (text[0]) std::printf("text: %s\n", text);
    return TRUE;
}

int MessageBoxCommand(int argc, char** argv) {
    if (argc < 4) return 64;
    TFind find{argv[2], nullptr};
    DWORD timeout = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    int button = argc > 4 ? std::atoi(argv[4]) : IDOK;
    DWORD start = GetTickCount();
    while (!find.found) {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
        if (find.found) break;
        if (GetTickCount() - start > timeout) {
            std::printf("no dialog \"%s\"\n", find.caption.c_str());
            return 2;
        }
        Sleep(50);
    }
    RECT r;
    GetWindowRect(find.found, &r);
    std::printf("dialog: %ld %ld %ld %ld topmost=%d\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                (GetWindowLongA(find.found, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
    EnumChildWindows(find.found, PrintChild, 0);
    std::fflush(stdout);
    PostMessageA(find.found, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "msgbox") return MessageBoxCommand(argc, argv);
    std::fprintf(stderr, "usage: winprobe msgbox CAPTION TIMEOUT_MS [BUTTON_ID]\n");
    return 64;
}
