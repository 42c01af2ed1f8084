// The about box `TForm2` ("About Tarnwick 3D") on GTK 3: created hidden with
// the settings dialog, shown by its "About..." button, hidden again (never
// destroyed) by its OK button or its close box.
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
} // namespace

GtkWidget* CreateAboutBox(GtkWindow* owner, TDialogHost& host) {
    Host = &host;
    GtkWidget* about = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(about), AboutCaption);
    gtk_window_set_resizable(GTK_WINDOW(about), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(about), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_transient_for(GTK_WINDOW(about), owner);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, AboutClientWidth, AboutClientHeight);
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
    gtk_widget_show_all(fixed);
    return about;
}

TRect AboutBoxFrame(GtkWidget* about) {
    gtk_widget_realize(about);
    TRect r = FrameOf(about);
    if (r.Width < AboutClientWidth) r.Width = AboutClientWidth;
    if (r.Height < AboutClientHeight) r.Height = AboutClientHeight;
    return r;
}

} // namespace x11
