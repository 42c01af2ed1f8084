// What the GTK 3 windows of the X11 front end share: GTK's start-up in the
// dialog font, the loops that a stop signal ends, and the about box that the
// settings dialog opens. The windows themselves: dialog_gtk_x11.cpp (the
// settings dialog), about_gtk_x11.cpp (the about box `TForm2`) and
// msgbox_gtk_x11.cpp (the message boxes).
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "shell/main_window.h"

namespace x11 {

// Starts GTK once, on the default display; false when there is no display.
// From then on a stop signal (SIGTERM, SIGINT, SIGHUP) also ends the GTK
// loops below, besides setting StopRequested.
bool EnsureGtk();
// gtk_dialog_run, answered GTK_RESPONSE_DELETE_EVENT by a stop signal (at
// once when one came before).
gint RunModal(GtkDialog* box);
// gtk_main, until gtk_main_quit or a stop signal (none at all after one).
void RunMain();
// Handles the events GTK has waiting, then returns.
void FlushGtk();
// Windows line ends in the shell's texts become GTK's, and bytes that are
// not UTF-8 the replacement character.
std::string GtkText(const std::string& text);

// Puts a widget at a position of the window definition (pixels of the
// client area) with its size; returns it.
GtkWidget* Place(GtkWidget* fixed, GtkWidget* widget, int left, int top, int width, int height);
// A window's outer frame in screen pixels (empty before it is realized).
TRect FrameOf(GtkWidget* window);

// Widens `window` (already titled) so that a title bar holds its whole
// title in the desktop's bold font beside its icon and buttons.
void FitTitle(GtkWindow* window);

// The about box `TForm2`: created hidden, over `owner`; its OK button and its
// close box call the shell's about box handlers on `host`.
GtkWidget* CreateAboutBox(GtkWindow* owner, TDialogHost& host);
// Its outer frame in screen pixels; before it was ever shown, its client area.
TRect AboutBoxFrame(GtkWidget* about);

} // namespace x11
