// GTK 3's start-up for the settings dialog, the about box and the message
// boxes: one initialisation on the default display, and the dialog font.
#include "shell/x11/gtk_x11.h"

namespace x11 {

namespace {
// Small controls in the dialog font, so that the window definition's
// 17- and 20-pixel rows hold them.
const char* const DialogCss = "* { font-family: Sans; font-size: 8pt; }"
                              "button { padding: 0 4px; min-height: 0; min-width: 0; }"
                              "checkbutton, radiobutton { padding: 0; min-height: 0; }";

int GtkState = 0; // 0 not tried, 1 ready, -1 no display
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
        }
    }
    return GtkState == 1;
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
