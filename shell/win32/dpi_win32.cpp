#include "shell/win32/dpi_win32.h"

#include <map>
#include <utility>

namespace win32 {

namespace {
// The calls of newer systems, looked up once; null where the system lacks them.
struct TDpiCalls {
    UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;
    HRESULT(WINAPI* GetDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
    BOOL(WINAPI* SystemParametersInfoForDpi)(UINT, UINT, PVOID, UINT, UINT) = nullptr;
    BOOL(WINAPI* AdjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
    int(WINAPI* GetSystemMetricsForDpi)(int, UINT) = nullptr;
};

template <typename T> void Find(T& call, HMODULE module, const char* name) {
    if (module) call = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const TDpiCalls& DpiCalls() {
    static const TDpiCalls calls = [] {
        TDpiCalls c;
        HMODULE user = GetModuleHandleA("user32.dll");
        Find(c.GetDpiForWindow, user, "GetDpiForWindow");
        Find(c.SystemParametersInfoForDpi, user, "SystemParametersInfoForDpi");
        Find(c.AdjustWindowRectExForDpi, user, "AdjustWindowRectExForDpi");
        Find(c.GetSystemMetricsForDpi, user, "GetSystemMetricsForDpi");
        Find(c.GetDpiForMonitor, LoadLibraryA("shcore.dll"), "GetDpiForMonitor");
        return c;
    }();
    return calls;
}

// The one DPI of the whole desktop (what older systems scale by).
UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : DesignDpi;
}

constexpr int MonitorEffectiveDpi = 0; // MDT_EFFECTIVE_DPI
} // namespace

UINT WindowDpi(HWND window) {
    const TDpiCalls& c = DpiCalls();
    if (c.GetDpiForWindow && window)
        if (UINT dpi = c.GetDpiForWindow(window)) return dpi;
    return window ? MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)) : SystemDpi();
}

UINT MonitorDpi(HMONITOR monitor) {
    const TDpiCalls& c = DpiCalls();
    UINT x = 0, y = 0;
    if (c.GetDpiForMonitor && monitor &&
        SUCCEEDED(c.GetDpiForMonitor(monitor, MonitorEffectiveDpi, &x, &y)) && y)
        return y;
    return SystemDpi();
}

UINT PrimaryMonitorDpi() {
    return MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

NONCLIENTMETRICSW NonClientMetrics(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const TDpiCalls& c = DpiCalls();
    if (c.SystemParametersInfoForDpi &&
        c.SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return metrics;
    const int from = static_cast<int>(SystemDpi()), to = static_cast<int>(dpi);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        // Older systems give the metrics at the desktop's DPI.
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, to, from);
        metrics.lfCaptionFont.lfHeight = MulDiv(metrics.lfCaptionFont.lfHeight, to, from);
        metrics.iCaptionWidth = MulDiv(metrics.iCaptionWidth, to, from);
        return metrics;
    }
    LOGFONTW font{};
    font.lfHeight = -MulDiv(9, to, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font.lfFaceName, L"Segoe UI");
    metrics.lfMessageFont = font;
    metrics.lfCaptionFont = font;
    metrics.iCaptionWidth = MulDiv(GetSystemMetrics(SM_CXSIZE), to, from);
    return metrics;
}

HFONT MessageFont(UINT dpi, bool underlined) {
    static std::map<std::pair<UINT, bool>, HFONT> fonts;
    HFONT& font = fonts[{dpi, underlined}];
    if (font) return font;
    LOGFONTW lf = NonClientMetrics(dpi).lfMessageFont;
    lf.lfUnderline = underlined ? TRUE : FALSE;
    font = CreateFontIndirectW(&lf);
    return font;
}

int SystemMetric(int index, UINT dpi) {
    const TDpiCalls& c = DpiCalls();
    if (c.GetSystemMetricsForDpi) return c.GetSystemMetricsForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi) {
    RECT r{0, 0, clientWidth, clientHeight};
    const TDpiCalls& c = DpiCalls();
    if (!(c.AdjustWindowRectExForDpi && c.AdjustWindowRectExForDpi(&r, style, FALSE, exStyle, dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace win32
