// The application's message boxes on GTK 3: the error box and the
// installer's questions and reports. Every error's text also goes to
// standard error; without a display that is all there is.
#include <cstdio>

#include "platform/platform.h"
#include "shell/x11/gtk_x11.h"
#include "shell/x11/window_x11.h"

namespace x11 {

namespace {
platform::TMessageBoxAnswer GtkMessageBox(const std::string& text, const std::string& caption,
                                          platform::TMessageBoxKind kind) {
    if (kind == platform::MbError) std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    // Without a display, or once the program is asked to stop, no box shows.
    if (!EnsureGtk() || StopRequested()) {
        if (kind != platform::MbError) std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        // Nothing is done unasked: a question no one can answer is answered Cancel.
        return kind == platform::MbOkCancel ? platform::IdCancel : platform::IdOk;
    }
    GtkMessageType type = kind == platform::MbError      ? GTK_MESSAGE_ERROR
                          : kind == platform::MbOkCancel ? GTK_MESSAGE_QUESTION
                                                         : GTK_MESSAGE_INFO;
    GtkWidget* box = gtk_message_dialog_new(
        nullptr, GTK_DIALOG_MODAL, type,
        kind == platform::MbOkCancel ? GTK_BUTTONS_OK_CANCEL : GTK_BUTTONS_OK, "%s", GtkText(text).c_str());
    gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
    FitTitle(GTK_WINDOW(box));
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    // A stop signal answers as the close box does: Cancel to a question.
    gint response = RunModal(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    FlushGtk();
    if (kind == platform::MbOkCancel)
        return response == GTK_RESPONSE_OK ? platform::IdOk : platform::IdCancel;
    return platform::IdOk;
}
} // namespace

void UseGtkMessageBoxes() {
    platform::SetMessageBoxHandler(GtkMessageBox);
}

} // namespace x11
