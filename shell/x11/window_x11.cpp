// The main window `TTarnwickScreensaverMainWindow` on X11: the full-screen
// window (or xscreensaver's window), its events, the 50 ms timer, the idle
// loop and the preview's logo painted into a foreign window. What the window
// does in each run mode is the shell's (shell/main_window.cpp); this file
// turns X events into the shell's handlers and the shell's requests into
// Xlib calls.
#include "shell/x11/window_x11.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xinerama.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/stat.h>
#include <vector>

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "platform/x11/x11_display.h"
#include "shell/logo.h"

namespace x11 {

namespace {
constexpr std::uint32_t Timer1Interval = 50; // ms
// The window definition's client size; the full-screen run covers the screen.
constexpr int DesignWidth = 310;
constexpr int DesignHeight = 246;

volatile std::sig_atomic_t StopSignal = 0;
void OnStopSignal(int) {
    StopSignal = 1;
}

// A window that vanished under us (the preview's, xscreensaver's) makes
// requests fail; the failure is noted, never fatal. The loop then finds the
// window gone and ends.
int LastXError = 0;
int OnXError(Display*, XErrorEvent* event) {
    LastXError = event->error_code;
    return 0;
}

// Bit position and width of a colour mask (0x00ff0000 gives 16 and 8).
void MaskShape(unsigned long mask, int& shift, int& bits) {
    shift = bits = 0;
    if (!mask) return;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++bits;
    }
}

unsigned long ScaleChannel(std::uint32_t value8, int shift, int bits) {
    unsigned long v = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
    return v << shift;
}

// A monitor's rectangle on the root window, in pixels.
struct THead {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool operator==(const THead& o) const {
        return X == o.X && Y == o.Y && Width == o.Width && Height == o.Height;
    }
};

// The monitors of the screen, the primary one first. Xinerama lists them;
// a server driven by RandR answers it from its monitors with the primary
// output first, and a server with real Xinerama screens lists screen 0
// first. A head that repeats one listed before (a mirrored output) is
// dropped. Without Xinerama the whole screen is one head.
std::vector<THead> ScreenHeads(Display* dpy) {
    std::vector<THead> heads;
    int eventBase = 0, errorBase = 0, count = 0;
    if (XineramaQueryExtension(dpy, &eventBase, &errorBase) && XineramaIsActive(dpy)) {
        if (XineramaScreenInfo* info = XineramaQueryScreens(dpy, &count)) {
            for (int i = 0; i < count; ++i) {
                THead head{info[i].x_org, info[i].y_org, info[i].width, info[i].height};
                bool repeated = false;
                for (const THead& h : heads)
                    repeated = repeated || h == head;
                if (head.Width > 0 && head.Height > 0 && !repeated) heads.push_back(head);
            }
            XFree(info);
        }
    }
    if (heads.empty())
        heads.push_back(
            THead{0, 0, DisplayWidth(dpy, DefaultScreen(dpy)), DisplayHeight(dpy, DefaultScreen(dpy))});
    return heads;
}

// The class of the black windows that cover the other monitors during the run.
const char* const CoverClassName = "TTarnwickScreensaverCover";

// The full-screen window and the preview; the settings dialog is GTK's
// (dialog_gtk_x11.cpp).
class TX11MainWindow : public TPreviewHost, public TFullScreenHost {
  public:
    Display* Dpy = nullptr;
    Window Own = 0;     // our full-screen window, created on first use
    Window Foreign = 0; // xscreensaver's window, when drawing into one
    // Black windows over the monitors other than the primary one, for the
    // full-screen run only; their input ends the run as the main window's does.
    std::vector<Window> Covers;
    // The run on every monitor: the main window spans them all, no covers.
    bool Spanning = false;
    THead Spanned;
    bool CursorHidden = false;
    Atom WmProtocols = 0, WmDelete = 0;
    TLogo Logo;
    bool HasLogo = false;
    Window PreviewTarget = 0;
    Window ImageTarget = 0; // what LogoImage was built for
    XImage* LogoImage = nullptr;
    GC LogoGc = nullptr;
    bool Closing = false;
    bool Destroyed = false;
    bool ButtonDown = false;
    int Width = 0, Height = 0; // last size given to FormResize

    // The handlers that branch on the run mode take the window as the host
    // of both its modes.
    operator TMainWindowHosts() { return TMainWindowHosts{this, this, nullptr}; }

    platform::WindowHandle Handle() override {
        if (Foreign) return Foreign;
        if (!Own) CreateOwnWindow();
        return Own;
    }
    void HideControl(TControl) override {} // this window has no controls

    void MakeNormal() override {} // never maximised nor on top before it is shown
    void LoadPreviewLogo(const std::string& path) override {
        Logo = LoadLogo(path);
        HasLogo = true;
    }
    void FreePreviewLogo() override {
        FreeLogoImage();
        Logo = TLogo();
        HasLogo = false;
    }
    // The preview never maps a window of its own: it paints straight into
    // the given window, and only watches it to learn when it goes.
    void MakeChild() override {}
    void SetParentWindow(platform::WindowHandle parent) override {
        PreviewTarget = static_cast<Window>(parent);
        XSelectInput(Dpy, PreviewTarget, StructureNotifyMask);
        XFlush(Dpy);
    }
    void DrawPreviewLogo(platform::WindowHandle target) override {
        if (!HasLogo) return;
        Window window = static_cast<Window>(target);
        if (window != ImageTarget && !BuildLogoImage(window)) return;
        XPutImage(Dpy, window, LogoGc, LogoImage, 0, 0, 0, 0, Logo.Width, Logo.Height);
        XFlush(Dpy);
    }
    bool WindowExists(platform::WindowHandle window) override { return X11WindowExists(window); }
    bool IsVisible() override {
        if (!Own) return false;
        XWindowAttributes a{};
        return XGetWindowAttributes(Dpy, Own, &a) && a.map_state == IsViewable;
    }
    void Hide() override {
        if (Own) XUnmapWindow(Dpy, Own);
    }

    void ShowMaximized() override {
        if (Foreign) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(Dpy, Foreign, &a)) Resized(a.width, a.height);
            return;
        }
        Handle();
        if (Spanning) {
            ShowSpanning();
            return;
        }
        // The lake on the primary monitor, black on every other one. The
        // covers map first: where two heads overlap, the lake stays on top.
        std::vector<THead> heads = ScreenHeads(Dpy);
        for (std::size_t i = 1; i < heads.size(); ++i)
            CreateCover(heads[i]);
        PlaceOnHead(Own, heads[0]);
        XMapRaised(Dpy, Own);
        XSync(Dpy, False);
    }

    std::vector<TRect> ListMonitors() override {
        // xscreensaver runs a hack a monitor in windows of its own making.
        if (Foreign) return {};
        std::vector<TRect> monitors;
        for (const THead& h : ScreenHeads(Dpy))
            monitors.push_back(TRect{h.X, h.Y, h.Width, h.Height});
        return monitors;
    }
    void SpanWindow(const TRect& screen) override {
        Spanned = THead{screen.Left, screen.Top, screen.Width, screen.Height};
        Spanning = true;
        // Sized now: the device is made on the window at this size.
        Handle();
        PlaceOnHead(Own, Spanned);
        XSync(Dpy, False);
    }
    void GetCursorPos(int& x, int& y) override {
        x = y = 0;
        Window root, child;
        int wx, wy;
        unsigned int mask;
        XQueryPointer(Dpy, DefaultRootWindow(Dpy), &root, &child, &x, &y, &wx, &wy, &mask);
    }
    void HideCursor() override {
        if (!Own) return; // xscreensaver hides the cursor over its own window
        CursorHidden = true;
        HideCursorOver(Own);
        for (Window cover : Covers)
            HideCursorOver(cover);
    }
    void Close() override { Closing = true; }
    void DestroyAndExit() override {
        Destroy();
        platform::CloseX11Display();
        std::exit(0);
    }

    void CreateOwnWindow();
    void ShowSpanning();
    void CreateCover(const THead& head);
    bool IsOurs(Window window) const;
    void SetTitle(Window window, const std::string& title);
    void MakeFullScreen(Window window, const char* className);
    void PlaceOnHead(Window window, const THead& head);
    void HideCursorOver(Window window);
    bool BuildLogoImage(Window target);
    void FreeLogoImage();
    void Resized(int width, int height);
    void Dispatch(XEvent& event);
    void Destroy();
    int Run();
};

void TX11MainWindow::SetTitle(Window window, const std::string& title) {
    XStoreName(Dpy, window, title.c_str());
    Atom utf8 = XInternAtom(Dpy, "UTF8_STRING", False);
    XChangeProperty(Dpy, window, XInternAtom(Dpy, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
}

void TX11MainWindow::CreateOwnWindow() {
    // 32-bit colour and the deepest depth buffer the display offers, double buffered.
    int depths[] = {32, 24, 16};
    XVisualInfo* info = nullptr;
    for (int depth : depths) {
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8,   GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE,
                            8,        GLX_DEPTH_SIZE,   depth,        None};
        info = glXChooseVisual(Dpy, DefaultScreen(Dpy), attributes);
        if (info) break;
    }
    if (!info) throw std::runtime_error("The display offers no OpenGL visual with double buffering");
    Window root = RootWindow(Dpy, info->screen);
    XSetWindowAttributes a{};
    a.colormap = XCreateColormap(Dpy, root, info->visual, AllocNone);
    a.background_pixel = 0; // black under the rendering
    a.border_pixel = 0;
    a.event_mask =
        KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask;
    Own = XCreateWindow(Dpy, root, 0, 0, DesignWidth, DesignHeight, 0, info->depth, InputOutput, info->visual,
                        CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &a);
    XFree(info);
    MakeFullScreen(Own, MainWindowClassName);
    XSync(Dpy, False);
}

// Title, class, the close protocol, and no border, full screen and above
// the other windows, as the window manager should keep it; without one the
// window simply covers its head.
void TX11MainWindow::MakeFullScreen(Window window, const char* className) {
    SetTitle(window, ApplicationTitle);
    XClassHint hint{};
    std::string name = "tarnwick", cls = className;
    hint.res_name = &name[0];
    hint.res_class = &cls[0];
    XSetClassHint(Dpy, window, &hint);
    XSetWMProtocols(Dpy, window, &WmDelete, 1);
    Atom states[] = {XInternAtom(Dpy, "_NET_WM_STATE_FULLSCREEN", False),
                     XInternAtom(Dpy, "_NET_WM_STATE_ABOVE", False)};
    XChangeProperty(Dpy, window, XInternAtom(Dpy, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(states), 2);
    long motif[5] = {2, 0, 0, 0, 0}; // decorations: none
    Atom motifAtom = XInternAtom(Dpy, "_MOTIF_WM_HINTS", False);
    XChangeProperty(Dpy, window, motifAtom, motifAtom, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motif), 5);
}

// Puts the window over the head; the position is the user's, so that a
// window manager makes it full screen on that monitor and no other.
void TX11MainWindow::PlaceOnHead(Window window, const THead& head) {
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
        hints->flags = USPosition | USSize;
        hints->x = head.X;
        hints->y = head.Y;
        hints->width = head.Width;
        hints->height = head.Height;
        XSetWMNormalHints(Dpy, window, hints);
        XFree(hints);
    }
    XMoveResizeWindow(Dpy, window, head.X, head.Y, static_cast<unsigned>(head.Width),
                      static_cast<unsigned>(head.Height));
}

// The main window over every head. Window managers keep a full-screen
// window to one monitor (few follow _NET_WM_FULLSCREEN_MONITORS), so the
// spanning window is one they leave alone, as screen lockers' are: it keeps
// the place and size given, above the others, and takes the keyboard when
// it maps, as the main window always does.
void TX11MainWindow::ShowSpanning() {
    XSetWindowAttributes a{};
    a.override_redirect = True;
    XChangeWindowAttributes(Dpy, Own, CWOverrideRedirect, &a);
    PlaceOnHead(Own, Spanned);
    XMapRaised(Dpy, Own);
    XSync(Dpy, False);
}

// A black window over a monitor other than the primary one, mapped at
// once; it takes the same input as the main window.
void TX11MainWindow::CreateCover(const THead& head) {
    XSetWindowAttributes a{};
    a.background_pixel = BlackPixel(Dpy, DefaultScreen(Dpy));
    a.border_pixel = 0;
    a.event_mask = KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    Window cover =
        XCreateWindow(Dpy, DefaultRootWindow(Dpy), head.X, head.Y, static_cast<unsigned>(head.Width),
                      static_cast<unsigned>(head.Height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixel | CWBorderPixel | CWEventMask, &a);
    MakeFullScreen(cover, CoverClassName);
    PlaceOnHead(cover, head);
    if (CursorHidden) HideCursorOver(cover);
    XMapRaised(Dpy, cover);
    Covers.push_back(cover);
}

bool TX11MainWindow::IsOurs(Window window) const {
    if (window && window == Own) return true;
    for (Window cover : Covers)
        if (window == cover) return true;
    return false;
}

void TX11MainWindow::HideCursorOver(Window window) {
    char empty[8] = {};
    Pixmap blank = XCreateBitmapFromData(Dpy, window, empty, 8, 8);
    XColor black{};
    Cursor cursor = XCreatePixmapCursor(Dpy, blank, blank, &black, &black, 0, 0);
    XDefineCursor(Dpy, window, cursor);
    XFreeCursor(Dpy, cursor);
    XFreePixmap(Dpy, blank);
}

bool TX11MainWindow::BuildLogoImage(Window target) {
    FreeLogoImage();
    XWindowAttributes a{};
    if (!XGetWindowAttributes(Dpy, target, &a) || !a.visual) return false;
    // Pixel values come from the visual's masks: any TrueColor depth works.
    int rs, rb, gs, gb, bs, bb;
    MaskShape(a.visual->red_mask, rs, rb);
    MaskShape(a.visual->green_mask, gs, gb);
    MaskShape(a.visual->blue_mask, bs, bb);
    if (!rb || !gb || !bb) return false;
    LogoImage = XCreateImage(Dpy, a.visual, static_cast<unsigned>(a.depth), ZPixmap, 0, nullptr,
                             static_cast<unsigned>(Logo.Width), static_cast<unsigned>(Logo.Height), 32, 0);
    if (!LogoImage) return false;
    LogoImage->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(LogoImage->bytes_per_line),
                                                     static_cast<std::size_t>(Logo.Height)));
    if (!LogoImage->data) {
        FreeLogoImage();
        return false;
    }
    for (int y = 0; y < Logo.Height; ++y) {
        for (int x = 0; x < Logo.Width; ++x) {
            std::uint32_t p = Logo.Pixels[static_cast<std::size_t>(y) * Logo.Width + x];
            XPutPixel(LogoImage, x, y,
                      ScaleChannel((p >> 16) & 0xff, rs, rb) | ScaleChannel((p >> 8) & 0xff, gs, gb) |
                          ScaleChannel(p & 0xff, bs, bb));
        }
    }
    LogoGc = XCreateGC(Dpy, target, 0, nullptr);
    ImageTarget = target;
    return true;
}

void TX11MainWindow::FreeLogoImage() {
    if (LogoImage) XDestroyImage(LogoImage); // frees its data too
    LogoImage = nullptr;
    if (LogoGc) XFreeGC(Dpy, LogoGc);
    LogoGc = nullptr;
    ImageTarget = 0;
}

void TX11MainWindow::Resized(int width, int height) {
    if (width == Width && height == Height) return;
    Width = width;
    Height = height;
    Guard([&] { FormResize(*this, width, height); });
}

// Keys end the run wherever the focus is, so the full-screen window takes
// the keyboard when it maps. Another client may hold it at that moment (a
// menu open, a drag under way); as screen lockers do, the grab is then tried
// again every GrabRetryInterval ms for up to GrabRetryLimit ms, between two
// frames, so that the drawing goes on meanwhile.
constexpr std::uint32_t GrabRetryInterval = 100; // ms
constexpr std::uint32_t GrabRetryLimit = 30000;  // ms

struct TKeyboardGrab {
    bool Pending = false;    // not taken yet, still trying
    std::uint32_t Since = 0; // tick count of the first try
    std::uint32_t Next = 0;  // tick count of the next try
};
TKeyboardGrab KeyboardGrab;

// A hack whose sound waits for another hack to let go tries this often.
constexpr std::uint32_t SoundLockInterval = 250; // ms

// One try; a failure leaves the next one due GrabRetryInterval ms later.
void TryKeyboardGrab(Display* dpy, Window window, std::uint32_t now) {
    KeyboardGrab.Pending =
        XGrabKeyboard(dpy, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess &&
        now - KeyboardGrab.Since < GrabRetryLimit;
    KeyboardGrab.Next = now + GrabRetryInterval;
}

void TX11MainWindow::Dispatch(XEvent& event) {
    Window window = event.xany.window;
    // Input over the covers of the other monitors counts as over the main window.
    switch (event.type) {
    case KeyPress:
        if (IsOurs(window)) Guard([&] { FormKeyDown(*this); });
        break;
    case MotionNotify:
        if (IsOurs(window)) Guard([&] { FormMouseMove(*this); });
        break;
    // Only the left button clicks, as on Windows; the others and the wheel
    // (buttons 4 to 7) do nothing.
    case ButtonPress:
        if (IsOurs(window) && event.xbutton.button == Button1) ButtonDown = true;
        break;
    case ButtonRelease:
        if (IsOurs(window) && ButtonDown && event.xbutton.button == Button1) {
            ButtonDown = false;
            Guard([&] { FormClick(*this); });
        }
        break;
    case ConfigureNotify:
        if (event.xconfigure.window == Own || event.xconfigure.window == Foreign)
            Resized(event.xconfigure.width, event.xconfigure.height);
        break;
    case MapNotify:
        if (event.xmap.window == Own) {
            // Keys end the run wherever the focus was: take it, and the keyboard.
            XSetInputFocus(Dpy, Own, RevertToParent, CurrentTime);
            KeyboardGrab.Since = platform::GetTickCount();
            TryKeyboardGrab(Dpy, Own, KeyboardGrab.Since);
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == Foreign || event.xdestroywindow.window == PreviewTarget)
            Closing = true;
        break;
    case ClientMessage:
        if (IsOurs(window) && event.xclient.message_type == WmProtocols &&
            static_cast<Atom>(event.xclient.data.l[0]) == WmDelete)
            Close();
        break;
    }
}

void TX11MainWindow::Destroy() {
    if (Destroyed) return;
    Destroyed = true;
    Guard([&] { FormDestroy(*this); });
    FreeLogoImage();
    if (Own) {
        XUngrabKeyboard(Dpy, CurrentTime);
        XDestroyWindow(Dpy, Own);
        Own = 0;
    }
    for (Window cover : Covers)
        XDestroyWindow(Dpy, cover);
    Covers.clear();
    XSync(Dpy, False);
}

int TX11MainWindow::Run() {
    const int fd = ConnectionNumber(Dpy);
    std::uint32_t nextTick = platform::GetTickCount(); // the first tick at once
    std::uint32_t nextSoundLockTry = nextTick;
    while (!Closing && !StopSignal) {
        while (!Closing && XPending(Dpy)) {
            XEvent event;
            XNextEvent(Dpy, &event);
            Dispatch(event);
        }
        if (Closing || StopSignal) break;
        if (Foreign && !X11WindowExists(Foreign)) break;
        std::uint32_t now = platform::GetTickCount();
        if (KeyboardGrab.Pending && Own && static_cast<std::int32_t>(now - KeyboardGrab.Next) >= 0)
            TryKeyboardGrab(Dpy, Own, now);
        if (Foreign && static_cast<std::int32_t>(now - nextSoundLockTry) >= 0) {
            nextSoundLockTry = now + SoundLockInterval;
            PollSoundLock();
        }
        if (static_cast<std::int32_t>(now - nextTick) >= 0) {
            nextTick = now + Timer1Interval;
            Guard([&] { Timer1Timer(*this); });
            continue;
        }
        bool done = true;
        Guard([&] { done = ApplicationEvents1Idle(*this); });
        if (!done) continue; // rendering: the next frame at once
        // Nothing to draw: sleep until an event or the next tick.
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, static_cast<int>(nextTick - now));
    }
    Destroy();
    return 0;
}
} // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a wait in poll() ends at once
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool StopRequested() {
    return StopSignal != 0;
}

bool X11WindowExists(unsigned long window) {
    Display* dpy = platform::X11Display();
    if (!dpy || !window) return false;
    XSetErrorHandler(OnXError);
    XWindowAttributes a{};
    return XGetWindowAttributes(dpy, static_cast<Window>(window), &a) != 0;
}

int RunMainWindow(const TArguments& args, unsigned long foreign, const THackChoices& choices) {
    static TX11MainWindow host;
    host.Dpy = platform::X11Display();
    if (!host.Dpy) {
        ShowErrorBox("Cannot open the X display: DISPLAY is not set or the display cannot be reached");
        return 1;
    }
    XSetErrorHandler(OnXError);
    host.WmProtocols = XInternAtom(host.Dpy, "WM_PROTOCOLS", False);
    host.WmDelete = XInternAtom(host.Dpy, "WM_DELETE_WINDOW", False);
    if (foreign) {
        host.Foreign = static_cast<Window>(foreign);
        // Size changes and the window's end; its input is xscreensaver's.
        XSelectInput(host.Dpy, host.Foreign, StructureNotifyMask);
    }
    RunChoices = choices; // the set-up needs them: the sound starts there
    if (!Guard([&] { FormCreate(host, args); })) {
        host.Destroyed = true; // a failed set-up released what it had started
        if (host.Own) XDestroyWindow(host.Dpy, host.Own);
        platform::CloseX11Display();
        return 1;
    }
    if (StopSignal) {
        // Stopped while the scene loaded: the run ends before its window shows.
        host.Destroy();
        platform::CloseX11Display();
        return 0;
    }
    ShowMainWindow(host);
    int code = host.Run();
    platform::CloseX11Display();
    return code;
}

void CloseEarlierInstance() {
    Display* dpy = platform::X11Display();
    if (!dpy) return;
    // Windows come and go during the scan (tooltips, menus): one that closed
    // after the listing fails its query, which must not end the program.
    XSetErrorHandler(OnXError);
    Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    Atom remove = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    // Top-level windows, and one level below them for window managers that frame them.
    Window root = DefaultRootWindow(dpy), parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &count)) return;
    std::vector<Window> candidates(children, children + count);
    if (children) XFree(children);
    for (std::size_t i = 0, n = candidates.size(); i < n; ++i) {
        Window* inner = nullptr;
        unsigned int innerCount = 0;
        if (XQueryTree(dpy, candidates[i], &root, &parent, &inner, &innerCount) && inner) {
            candidates.insert(candidates.end(), inner, inner + innerCount);
            XFree(inner);
        }
    }
    for (Window w : candidates) {
        XClassHint hint{};
        char* name = nullptr;
        bool ours = false;
        if (XGetClassHint(dpy, w, &hint)) {
            ours = hint.res_class && std::strcmp(hint.res_class, MainWindowClassName) == 0;
            if (hint.res_name) XFree(hint.res_name);
            if (hint.res_class) XFree(hint.res_class);
        }
        if (ours && XFetchName(dpy, w, &name) && name) {
            ours = std::strcmp(name, ApplicationTitle) == 0;
            XFree(name);
        } else {
            ours = false;
        }
        if (!ours) continue;
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = w;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(remove);
        XSendEvent(dpy, w, False, NoEventMask, &event);
    }
    XFlush(dpy);
}

} // namespace x11
