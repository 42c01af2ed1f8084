// The about box `TForm2` ("About Tarnwick 3D") on GTK 3: created hidden with
// the settings dialog, shown by its "About..." button, hidden again (never
// destroyed) by its OK button, its close box or Escape. It is at least as
// wide as the title bar needs for its caption.
#include "shell/x11/gtk_x11.h"

#include <string>

#include "tarnwick_version.h"

namespace x11 {

namespace {
const char* const AboutCaption = "About Tarnwick 3D";
const char* const ProductLine = "Tarnwick 3D Screensaver";
const char* const CreditLine = "Programming by Moonquill";
const char* const NoticeLine = "Copyright (C) 2026 Moonquill";
const char* const RightsLine = "All rights reserved.";
// Between the credit and the notice, in the gap the window definition leaves.
const std::string VersionLine = std::string("Version ") + TarnwickVersion;
// The client area of the window definition.
constexpr int AboutClientWidth = 218;
constexpr int AboutClientHeight = 138;

TDialogHost* Host = nullptr;

void OnOkClicked(GtkWidget*, gpointer) {
    Guard([] { AboutButton1Click(*Host); });
}

gboolean OnAboutDelete(GtkWidget*, GdkEvent*, gpointer) {
    Guard([] { AboutFormClose(*Host); });
    return TRUE; // hidden, never destroyed
}

// Escape closes the box as its close box does.
gboolean OnAboutKey(GtkWidget*, GdkEventKey* event, gpointer) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    Guard([] { AboutFormClose(*Host); });
    return TRUE;
}
} // namespace

void FitTitle(GtkWindow* window) {
    const gchar* title = gtk_window_get_title(window);
    if (!title || !*title) return;
    // Title bars show the caption in the desktop's font, bold, and not
    // smaller than 11 points, whatever the dialog's own font is.
    gchar* fontName = nullptr;
    g_object_get(gtk_settings_get_default(), "gtk-font-name", &fontName, nullptr);
    PangoFontDescription* font = pango_font_description_from_string(fontName ? fontName : "Sans 11");
    g_free(fontName);
    if (pango_font_description_get_size(font) < 11 * PANGO_SCALE)
        pango_font_description_set_size(font, 11 * PANGO_SCALE);
    pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
    PangoLayout* layout = gtk_widget_create_pango_layout(GTK_WIDGET(window), title);
    pango_layout_set_font_description(layout, font);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    pango_font_description_free(font);
    // The window's icon and its three buttons, each about a line high and
    // padded, and the title's margins.
    const int needed = width + 4 * (height + 10) + 24;
    int w = -1, h = -1;
    gtk_widget_get_size_request(GTK_WIDGET(window), &w, &h);
    if (needed > w) gtk_widget_set_size_request(GTK_WIDGET(window), needed, h);
}

GtkWidget* CreateAboutBox(GtkWindow* owner, TDialogHost& host) {
    Host = &host;
    GtkWidget* about = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(about), AboutCaption);
    gtk_window_set_resizable(GTK_WINDOW(about), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(about), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_transient_for(GTK_WINDOW(about), owner);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, AboutClientWidth, AboutClientHeight);
    // Widened for its title, the box keeps the window definition's layout in its middle.
    gtk_widget_set_halign(fixed, GTK_ALIGN_CENTER);
    gtk_container_add(GTK_CONTAINER(about), fixed);
    // GroupBox1 without a caption, its labels placed relative to it, and Button1.
    Place(fixed, gtk_frame_new(nullptr), 8, 8, 201, 97);
    Place(fixed, gtk_label_new(ProductLine), 8 + 12, 8 + 15, 185, 18);
    Place(fixed, gtk_label_new(CreditLine), 8 + 15, 8 + 32, 179, 13);
    Place(fixed, gtk_label_new(VersionLine.c_str()), 8 + 15, 8 + 45, 179, 13);
    Place(fixed, gtk_label_new(NoticeLine), 8 + 8, 8 + 58, 177, 13);
    Place(fixed, gtk_label_new(RightsLine), 8 + 5, 8 + 72, 185, 13);
    GtkWidget* ok = Place(fixed, gtk_button_new_with_label("OK"), 71, 109, 75, 20);
    g_signal_connect(ok, "clicked", G_CALLBACK(OnOkClicked), nullptr);
    g_signal_connect(about, "delete-event", G_CALLBACK(OnAboutDelete), nullptr);
    g_signal_connect(about, "key-press-event", G_CALLBACK(OnAboutKey), nullptr);
    FitTitle(GTK_WINDOW(about));
    gtk_widget_show_all(fixed);
    return about;
}

TRect AboutBoxFrame(GtkWidget* about) {
    gtk_widget_realize(about);
    TRect r = FrameOf(about);
    int width = -1;
    gtk_widget_get_size_request(about, &width, nullptr);
    if (r.Width < width) r.Width = width;
    if (r.Width < AboutClientWidth) r.Width = AboutClientWidth;
    if (r.Height < AboutClientHeight) r.Height = AboutClientHeight;
    return r;
}

} // namespace x11
