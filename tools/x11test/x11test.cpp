// x11test: other X clients for the end-to-end tests of `tarnwick`, the
// awkward neighbours a screensaver meets on a real desktop.
//
//   x11test churn NAME   keeps creating and destroying top-level windows (as
//                        tooltips and menus come and go), 200 at a time, until
//                        a window titled NAME is mapped; then prints "seen"
//                        and ends. Whenever another client lists a window's
//                        children (QueryTree, seen through the RECORD
//                        extension) every window of the pool is destroyed at
//                        once, so that the windows it was just told of vanish
//                        before it can ask about them
//   x11test maps         prints "ready", then "mapped" for every window that
//                        maps on the screen; runs until killed
//   x11test grab         maps a small window titled "Tarnwick Test Grab" and
//                        holds the keyboard grab ("grabbed"); on SIGUSR1 lets
//                        it go and takes the input focus ("released"), then
//                        prints "taken" when another client grabs the
//                        keyboard from under that focus, and "key" for every
//                        key that reaches it; runs until killed
//
// Each line goes to standard output at once.
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/record.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

namespace {

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// Windows vanish under this client on purpose: their errors are expected.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

bool IsNamed(Display* dpy, Window window, const std::string& name) {
    char* title = nullptr;
    if (!XFetchName(dpy, window, &title) || !title) return false;
    bool same = name == title;
    XFree(title);
    return same;
}

// Set by the RECORD callback when another client asked for a window's children.
bool TreeQueried = false;

void OnRecorded(XPointer, XRecordInterceptData* data) {
    if (data->category == XRecordFromClient && data->data_len > 0 && data->data[0] == X_QueryTree)
        TreeQueried = true;
    XRecordFreeData(data);
}

// Reports the QueryTree requests of every client through a second
// connection; null when the server has no RECORD extension.
Display* WatchTreeQueries(Display* dpy) {
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(dpy, &major, &minor)) return nullptr;
    Display* data = XOpenDisplay(nullptr);
    if (!data) return nullptr;
    XRecordRange* range = XRecordAllocRange();
    range->core_requests.first = X_QueryTree;
    range->core_requests.last = X_QueryTree;
    XRecordClientSpec clients = XRecordAllClients;
    XRecordContext context = XRecordCreateContext(dpy, 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(dpy, False);
    if (!context || !XRecordEnableContextAsync(data, context, OnRecorded, nullptr)) return nullptr;
    return data;
}

int Churn(Display* dpy, const std::string& name) {
    Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    Display* watch = WatchTreeQueries(dpy);
    if (!watch) {
        std::fprintf(stderr, "x11test: the server has no RECORD extension\n");
        return 1;
    }
    constexpr std::size_t PoolSize = 200;
    std::deque<Window> pool;
    bool announced = false;
    for (unsigned long round = 0;; ++round) {
        XSetWindowAttributes a{};
        a.override_redirect = True; // as a tooltip's or a menu's
        pool.push_back(XCreateWindow(dpy, root, static_cast<int>(round % 50), 0, 10, 10, 0, CopyFromParent,
                                     InputOutput, CopyFromParent, CWOverrideRedirect, &a));
        XRecordProcessReplies(watch);
        if (TreeQueried) {
            // Another client has the list of windows: take them all away.
            TreeQueried = false;
            for (Window w : pool)
                XDestroyWindow(dpy, w);
            pool.clear();
            XSync(dpy, False);
            continue;
        }
        if (pool.size() > PoolSize) {
            XDestroyWindow(dpy, pool.front());
            pool.pop_front();
        }
        if (round % 16 != 0) continue;
        XSync(dpy, False);
        if (!announced && pool.size() == PoolSize) {
            Say("churning");
            announced = true;
        }
        while (XPending(dpy)) {
            XEvent event;
            XNextEvent(dpy, &event);
            if (event.type == MapNotify && IsNamed(dpy, event.xmap.window, name)) {
                Say("seen");
                return 0;
            }
        }
    }
}

int Maps(Display* dpy) {
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);
    Say("ready");
    for (;;) {
        XEvent event;
        XNextEvent(dpy, &event);
        if (event.type == MapNotify) Say("mapped");
    }
}

int Grab(Display* dpy) {
    sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    sigprocmask(SIG_BLOCK, &usr1, nullptr);

    XSetWindowAttributes a{};
    a.event_mask = StructureNotifyMask | FocusChangeMask | KeyPressMask;
    Window own = XCreateWindow(dpy, DefaultRootWindow(dpy), 0, 0, 100, 100, 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWEventMask, &a);
    XStoreName(dpy, own, "Tarnwick Test Grab");
    XMapWindow(dpy, own);
    XEvent event;
    do
        XNextEvent(dpy, &event);
    while (event.type != MapNotify);
    while (XGrabKeyboard(dpy, own, True, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess) {
    }
    XSync(dpy, False);
    Say("grabbed");

    int signal = 0;
    sigwait(&usr1, &signal);
    XSync(dpy, True); // what came before the release is of no interest
    // The focus first, while the grab is still ours: a grab another client
    // takes between the two requests then fails and is tried again, rather
    // than landing before the focus is here, where its FocusOut would never
    // come.
    XSetInputFocus(dpy, own, RevertToParent, CurrentTime);
    XUngrabKeyboard(dpy, CurrentTime);
    XSync(dpy, False);
    Say("released");
    for (;;) {
        XNextEvent(dpy, &event);
        if (event.type == FocusOut && event.xfocus.window == own && event.xfocus.mode == NotifyGrab)
            Say("taken");
        if (event.type == KeyPress) Say("key");
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (!(command == "churn" && argc == 3) && !((command == "grab" || command == "maps") && argc == 2)) {
        std::fprintf(stderr, "usage: x11test churn NAME | x11test grab | x11test maps\n");
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "x11test: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreXError);
    if (command == "maps") return Maps(dpy);
    return command == "churn" ? Churn(dpy, argv[2]) : Grab(dpy);
}
