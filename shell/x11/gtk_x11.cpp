// GTK 3's start-up for the settings dialog, the about box and the message
// boxes: one initialisation on the default display, the dialog font, and the
// stop signals' way into GTK's loops.
#include "shell/x11/gtk_x11.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>

#include "shell/x11/window_x11.h"

namespace x11 {

namespace {
// Small controls in the dialog font, so that the window definition's
// 17- and 20-pixel rows hold them.
const char* const DialogCss = "* { font-family: Sans; font-size: 8pt; }"
                              "button { padding: 0 4px; min-height: 0; min-width: 0; }"
                              "checkbutton, radiobutton { padding: 0; min-height: 0; }";

int GtkState = 0; // 0 not tried, 1 ready, -1 no display

// A stop signal only sets a flag (InstallStopSignals), which a loop sleeping
// in GTK would not see. Once GTK runs, the signals go through OnStopSignal:
// the earlier handler sets the flag, and a byte in this pipe wakes GTK.
constexpr int StopSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr std::size_t StopSignalCount = std::size(StopSignals);
struct sigaction EarlierHandlers[StopSignalCount];
int StopPipe[2] = {-1, -1};
GtkDialog* RunningBox = nullptr; // the message box RunModal shows, if any

void OnStopSignal(int signal) {
    int savedErrno = errno;
    for (std::size_t i = 0; i < StopSignalCount; ++i) {
        const struct sigaction& earlier = EarlierHandlers[i];
        if (StopSignals[i] == signal && !(earlier.sa_flags & SA_SIGINFO) && earlier.sa_handler != SIG_DFL &&
            earlier.sa_handler != SIG_IGN)
            earlier.sa_handler(signal);
    }
    char byte = 1;
    if (write(StopPipe[1], &byte, 1) < 0) {
        // The pipe is full: GTK has been woken already.
    }
    errno = savedErrno;
}

// On GTK's main thread, from its loop.
gboolean OnStopPipe(gint fd, GIOCondition, gpointer) {
    char bytes[16];
    while (read(fd, bytes, sizeof bytes) > 0) {
    }
    if (RunningBox) gtk_dialog_response(RunningBox, GTK_RESPONSE_DELETE_EVENT);
    if (gtk_main_level() > 0) gtk_main_quit();
    return G_SOURCE_CONTINUE;
}

void WatchStopSignals() {
    if (pipe2(StopPipe, O_NONBLOCK | O_CLOEXEC) != 0) return; // the flag alone, seen between loops
    g_unix_fd_add(StopPipe[0], G_IO_IN, OnStopPipe, nullptr);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a wait in poll() ends at once
    for (std::size_t i = 0; i < StopSignalCount; ++i)
        sigaction(StopSignals[i], &action, &EarlierHandlers[i]);
}
} // namespace

bool EnsureGtk() {
    if (GtkState == 0) {
        GtkState = gtk_init_check(nullptr, nullptr) ? 1 : -1;
        if (GtkState == 1) {
            GtkCssProvider* css = gtk_css_provider_new();
            gtk_css_provider_load_from_data(css, DialogCss, -1, nullptr);
            gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                                      GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
            g_object_unref(css);
            WatchStopSignals();
        }
    }
    return GtkState == 1;
}

gint RunModal(GtkDialog* box) {
    if (StopRequested()) return GTK_RESPONSE_DELETE_EVENT;
    // A signal from here on leaves its byte in the pipe, read once the box's loop runs.
    GtkDialog* outer = RunningBox;
    RunningBox = box;
    gint response = gtk_dialog_run(box);
    RunningBox = outer;
    return response;
}

void RunMain() {
    if (StopRequested()) return;
    gtk_main();
}

void FlushGtk() {
    while (gtk_events_pending())
        gtk_main_iteration();
}

std::string GtkText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    // GTK takes UTF-8 alone: a byte that is not shows as U+FFFD, not as a warning.
    if (!g_utf8_validate(out.data(), static_cast<gssize>(out.size()), nullptr)) {
        gchar* valid = g_utf8_make_valid(out.data(), static_cast<gssize>(out.size()));
        out = valid;
        g_free(valid);
    }
    return out;
}

GtkWidget* Place(GtkWidget* fixed, GtkWidget* widget, int left, int top, int width, int height) {
    gtk_widget_set_size_request(widget, width, height);
    gtk_fixed_put(GTK_FIXED(fixed), widget, left, top);
    return widget;
}

TRect FrameOf(GtkWidget* window) {
    GdkWindow* w = gtk_widget_get_window(window);
    if (!w) return TRect{};
    GdkRectangle r{};
    gdk_window_get_frame_extents(w, &r);
    return TRect{r.x, r.y, r.width, r.height};
}

} // namespace x11
