// The settings dialog on GTK 3: the main window in the Configure run mode,
// with the controls of the window definition in its order and texts, laid
// out as GTK lays out (a grid whose rows and columns take the size their
// texts need at any font size): the "Options" group with the picture and
// "About..." beside it, the "Products" group under them, and the row of
// buttons at the bottom. What the buttons do is the shell's; this file turns
// GTK signals into its handlers.
#include <gdk/gdkx.h>

#include <cstdlib>
#include <initializer_list>

#include "platform/platform.h"
#include "shell/logo.h"
#include "shell/x11/gtk_x11.h"
#include "shell/x11/window_x11.h"

namespace x11 {

namespace {
constexpr int PictureWidth = 105, PictureHeight = 81;
// Space around and between the groups, and the indent of the clock format
// under "Show Time", in pixels.
constexpr int Spacing = 8;
constexpr int Indent = 16;

GdkPixbuf* PictureFromLogo(const TLogo& logo, int width, int height) {
    GdkPixbuf* full = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, logo.Width, logo.Height);
    if (!full) return nullptr;
    guchar* pixels = gdk_pixbuf_get_pixels(full);
    int stride = gdk_pixbuf_get_rowstride(full);
    for (int y = 0; y < logo.Height; ++y) {
        for (int x = 0; x < logo.Width; ++x) {
            std::uint32_t p = logo.Pixels[static_cast<std::size_t>(y) * logo.Width + x];
            guchar* out = pixels + static_cast<std::size_t>(y) * stride + x * 3;
            out[0] = static_cast<guchar>(p >> 16);
            out[1] = static_cast<guchar>(p >> 8);
            out[2] = static_cast<guchar>(p);
        }
    }
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(full, width, height, GDK_INTERP_BILINEAR);
    g_object_unref(full);
    return scaled;
}

class TGtkDialog : public TDialogHost {
  public:
    GtkWidget* Window = nullptr;
    GtkWidget* Content = nullptr;            // every control; insensitive while the about box is up
    GtkWidget* FocusBeforeDisable = nullptr; // the control that had the focus when the about box opened
    GtkWidget* GroupBox1 = nullptr;
    GtkWidget *MouseExit = nullptr, *FPSShow = nullptr, *TimeShow = nullptr, *Time12 = nullptr,
              *Time24 = nullptr, *SoundOn = nullptr, *EveryMonitor = nullptr;
    GtkWidget *Image1 = nullptr, *About = nullptr, *GroupBox2 = nullptr;
    GtkWidget *VisitWebsite = nullptr, *VisitWebsiteLabel = nullptr;
    GtkWidget *RestoreDefaults = nullptr, *Apply = nullptr, *Cancel = nullptr;
    GtkWidget* AboutBox = nullptr;
    bool Updating = false; // the program, not the user, is setting the controls
    bool Destroyed = false;

    // The handlers that branch on the run mode take the dialog as the host of its mode.
    operator TMainWindowHosts() { return TMainWindowHosts{nullptr, nullptr, this}; }

    platform::WindowHandle Handle() override {
        gtk_widget_realize(Window);
        return gdk_x11_window_get_xid(gtk_widget_get_window(Window));
    }
    void SetCaption(const std::string& caption) override {
        gtk_window_set_title(GTK_WINDOW(Window), caption.c_str());
    }
    void SetControlText(TControl control, const std::string& text) override {
        if (control == TControl::VisitWebsite) {
            gchar* escaped = g_markup_escape_text(GtkText(text).c_str(), -1);
            std::string markup =
                std::string("<span foreground=\"navy\" underline=\"single\">") + escaped + "</span>";
            g_free(escaped);
            gtk_label_set_markup(GTK_LABEL(VisitWebsiteLabel), markup.c_str());
        } else if (GtkWidget* w = Control(control); w && GTK_IS_BUTTON(w)) {
            gtk_button_set_label(GTK_BUTTON(w), text.c_str());
        }
    }
    void ShowSettings(const TSettings& s) override {
        Updating = true;
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(MouseExit), s.MouseExit);
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(FPSShow), s.FPSShow);
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(TimeShow), s.TimeShow);
        if (s.Time12) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Time12), TRUE);
        if (s.Time24) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Time24), TRUE);
        gtk_widget_set_sensitive(Time12, s.TimeFormatEnabled);
        gtk_widget_set_sensitive(Time24, s.TimeFormatEnabled);
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(SoundOn), s.SoundOn);
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(EveryMonitor), s.EveryMonitor);
        Updating = false;
    }
    TSettings ReadSettings() override {
        auto on = [](GtkWidget* w) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w)) != FALSE; };
        TSettings s;
        s.MouseExit = on(MouseExit);
        s.FPSShow = on(FPSShow);
        s.TimeShow = on(TimeShow);
        s.Time12 = on(Time12);
        s.Time24 = on(Time24);
        s.TimeFormatEnabled = gtk_widget_get_sensitive(Time12) != FALSE;
        s.SoundOn = on(SoundOn);
        s.EveryMonitor = on(EveryMonitor);
        return s;
    }

    void MakeNormal() override { gtk_window_set_keep_above(GTK_WINDOW(Window), FALSE); }
    // X has no disabled windows: the window named on the command line
    // stands for its owner, and the dialog is kept modal above it.
    platform::WindowHandle ParentOf(platform::WindowHandle window) override {
        return X11WindowExists(window) ? window : 0;
    }
    void EnableWindow(platform::WindowHandle window, bool enable) override {
        if (window == Handle()) {
            // Disabling drops the focused control (GTK moves the focus off
            // an insensitive widget); it gets the focus back on enabling,
            // as a Windows dialog's control does.
            if (!enable && !FocusBeforeDisable) {
                FocusBeforeDisable = gtk_window_get_focus(GTK_WINDOW(Window));
                if (FocusBeforeDisable)
                    g_object_add_weak_pointer(G_OBJECT(FocusBeforeDisable),
                                              reinterpret_cast<gpointer*>(&FocusBeforeDisable));
            }
            gtk_widget_set_sensitive(Content, enable);
            if (enable) {
                gtk_window_present(GTK_WINDOW(Window));
                if (FocusBeforeDisable) {
                    gtk_widget_grab_focus(FocusBeforeDisable);
                    g_object_remove_weak_pointer(G_OBJECT(FocusBeforeDisable),
                                                 reinterpret_cast<gpointer*>(&FocusBeforeDisable));
                    FocusBeforeDisable = nullptr;
                }
            }
            return;
        }
        if (enable) return;
        GdkWindow* owner = gdk_x11_window_foreign_new_for_display(gdk_display_get_default(), window);
        if (!owner) return;
        gtk_window_set_modal(GTK_WINDOW(Window), TRUE);
        gdk_window_set_transient_for(gtk_widget_get_window(Window), owner);
    }
    void MakeDialog(int, int) override {
        gtk_window_set_resizable(GTK_WINDOW(Window), FALSE);
        gtk_window_set_type_hint(GTK_WINDOW(Window), GDK_WINDOW_TYPE_HINT_DIALOG);
        gtk_window_set_position(GTK_WINDOW(Window), GTK_WIN_POS_CENTER);
        // The product picture: the logo, when the home directory has one.
        try {
            if (GdkPixbuf* picture =
                    PictureFromLogo(LoadLogo(PreviewLogoFile), PictureWidth, PictureHeight)) {
                gtk_image_set_from_pixbuf(GTK_IMAGE(Image1), picture);
                g_object_unref(picture);
            }
        } catch (const std::exception&) {
        }
    }
    void ShowNormal() override {
        gtk_widget_show_all(Window);
        gtk_window_present(GTK_WINDOW(Window));
        gtk_widget_grab_focus(MouseExit);
    }

    void Close() override { gtk_main_quit(); }
    void DestroyAndExit() override {
        Destroy();
        std::exit(0);
    }
    void OpenWebsite(const std::string& address) override { platform::OpenUrl(address); }

    TRect MainWindowRect() override { return FrameOf(Window); }
    TRect AboutRect() override { return AboutBoxFrame(AboutBox); }
    void ShowAbout(int left, int top) override {
        gtk_window_move(GTK_WINDOW(AboutBox), left, top);
        gtk_widget_show_all(AboutBox);
        gtk_window_present(GTK_WINDOW(AboutBox));
    }
    void HideAbout() override { gtk_widget_hide(AboutBox); }

    GtkWidget* Control(TControl control) {
        switch (control) {
        case TControl::GroupBox1:
            return GroupBox1;
        case TControl::MouseExit:
            return MouseExit;
        case TControl::FPSShow:
            return FPSShow;
        case TControl::TimeShow:
            return TimeShow;
        case TControl::Time12:
            return Time12;
        case TControl::Time24:
            return Time24;
        case TControl::SoundOn:
            return SoundOn;
        case TControl::EveryMonitor:
            return EveryMonitor;
        case TControl::Image1:
            return Image1;
        case TControl::About:
            return About;
        case TControl::GroupBox2:
            return GroupBox2;
        case TControl::VisitWebsite:
            return VisitWebsite;
        case TControl::RestoreDefaults:
            return RestoreDefaults;
        case TControl::Apply:
            return Apply;
        case TControl::Cancel:
            return Cancel;
        }
        return nullptr;
    }

    // False while the about box has disabled the dialog.
    bool Enabled() const { return gtk_widget_get_sensitive(Content) != FALSE; }

    void Build();
    void Destroy() {
        if (Destroyed) return;
        Destroyed = true;
        Guard([&] { FormDestroy(*this); });
        if (AboutBox) gtk_widget_destroy(AboutBox);
        gtk_widget_destroy(Window);
        FlushGtk();
    }
};

TGtkDialog Dialog;

template <void (*Handler)(TDialogHost&)> void OnClicked(GtkWidget*, gpointer) {
    Guard([] { Handler(Dialog); });
}

void OnTimeShowToggled(GtkToggleButton*, gpointer) {
    if (!Dialog.Updating) Guard([] { TimeShowClick(Dialog); });
}

gboolean OnWebsitePressed(GtkWidget*, GdkEventButton* event, gpointer) {
    if (event->button == 1) Guard([] { VisitWebsiteClick(Dialog); });
    return TRUE;
}

void OnWebsiteRealized(GtkWidget* widget, gpointer) {
    GdkCursor* hand = gdk_cursor_new_from_name(gtk_widget_get_display(widget), "pointer");
    if (hand) {
        gdk_window_set_cursor(gtk_widget_get_window(widget), hand);
        g_object_unref(hand);
    }
}

// While the about box is up the dialog takes no input, as a disabled window:
// neither keys nor its close box.
gboolean OnDialogDelete(GtkWidget*, GdkEvent*, gpointer) {
    // The close box ends the program as Cancel does, saving nothing.
    if (Dialog.Enabled()) Guard([] { CancelClick(Dialog); });
    return TRUE;
}

gboolean OnDialogKey(GtkWidget*, GdkEventKey* event, gpointer) {
    if (event->keyval != GDK_KEY_Escape || !Dialog.Enabled()) return FALSE;
    Guard([] { CancelClick(Dialog); }); // Escape answers Cancel, Enter the default OK
    return TRUE;
}

// The window definition's tab order inside a container: the options, then
// OK, Cancel, Restore Defaults and About... (GTK's own order would follow the
// positions).
void SetTabOrder(GtkWidget* container, std::initializer_list<GtkWidget*> widgets) {
    GList* chain = nullptr;
    for (GtkWidget* w : widgets)
        chain = g_list_append(chain, w);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    gtk_container_set_focus_chain(GTK_CONTAINER(container), chain);
#pragma GCC diagnostic pop
    g_list_free(chain);
}

// A group box: a frame with a caption round a grid of its controls.
GtkWidget* GroupBox(const char* caption, GtkWidget*& grid) {
    GtkWidget* frame = gtk_frame_new(caption);
    grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), Spacing / 2);
    gtk_grid_set_column_spacing(GTK_GRID(grid), Spacing * 2);
    gtk_container_set_border_width(GTK_CONTAINER(grid), Spacing / 2 + 2);
    gtk_container_add(GTK_CONTAINER(frame), grid);
    return frame;
}

// Wide enough for the caption in the window manager's title bar, with room
// for its icon and buttons: the caption measured in the desktop's font (a
// title bar's is often bold, and larger than the dialog's), and as much
// again as five of its lines are high.
void FitCaption(GtkWidget* window, GtkWidget* content, const char* caption) {
    gchar* fontName = nullptr;
    g_object_get(gtk_settings_get_default(), "gtk-font-name", &fontName, nullptr);
    PangoFontDescription* font = pango_font_description_from_string(fontName ? fontName : "Sans 10");
    g_free(fontName);
    pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
    PangoLayout* layout = gtk_widget_create_pango_layout(window, caption);
    pango_layout_set_font_description(layout, font);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    pango_font_description_free(font);
    gtk_widget_set_size_request(content, width + 5 * height, -1);
}

void TGtkDialog::Build() {
    Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(Window), ApplicationTitle);
    Content = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(Content), Spacing);
    gtk_grid_set_column_spacing(GTK_GRID(Content), Spacing);
    gtk_container_set_border_width(GTK_CONTAINER(Content), Spacing);
    gtk_container_add(GTK_CONTAINER(Window), Content);

    // Options, with the picture and About... beside them.
    GtkWidget* options = nullptr;
    GroupBox1 = GroupBox("Options", options);
    gtk_widget_set_hexpand(GroupBox1, TRUE);
    MouseExit = gtk_check_button_new_with_label("Exit On Mouse Move");
    FPSShow = gtk_check_button_new_with_label("Show FPS");
    TimeShow = gtk_check_button_new_with_label("Show Time");
    Time12 = gtk_radio_button_new_with_label(nullptr, "12 hrs");
    Time24 = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(Time12), "24 hrs");
    gtk_grid_attach(GTK_GRID(options), MouseExit, 0, 0, 2, 1);
    gtk_grid_attach(GTK_GRID(options), FPSShow, 0, 1, 2, 1);
    gtk_grid_attach(GTK_GRID(options), TimeShow, 0, 2, 2, 1);
    gtk_widget_set_margin_start(Time12, Indent);
    gtk_grid_attach(GTK_GRID(options), Time12, 0, 3, 1, 1);
    gtk_grid_attach(GTK_GRID(options), Time24, 1, 3, 1, 1);
    SoundOn = gtk_check_button_new_with_label("Play Sound");
    EveryMonitor = gtk_check_button_new_with_label("Show On Every Monitor");
    gtk_grid_attach(GTK_GRID(options), SoundOn, 0, 4, 2, 1);
    gtk_grid_attach(GTK_GRID(options), EveryMonitor, 0, 5, 2, 1);
    gtk_grid_attach(GTK_GRID(Content), GroupBox1, 0, 0, 1, 2);

    Image1 = gtk_image_new();
    gtk_widget_set_size_request(Image1, PictureWidth, PictureHeight);
    gtk_widget_set_valign(Image1, GTK_ALIGN_START);
    gtk_grid_attach(GTK_GRID(Content), Image1, 1, 0, 1, 1);
    About = gtk_button_new_with_label("About...");
    gtk_widget_set_valign(About, GTK_ALIGN_END);
    gtk_grid_attach(GTK_GRID(Content), About, 1, 1, 1, 1);

    // Products: the link to the website.
    GtkWidget* products = nullptr;
    GroupBox2 = GroupBox("Products", products);
    VisitWebsite = gtk_event_box_new();
    VisitWebsiteLabel = gtk_label_new("");
    gtk_label_set_justify(GTK_LABEL(VisitWebsiteLabel), GTK_JUSTIFY_CENTER);
    gtk_container_add(GTK_CONTAINER(VisitWebsite), VisitWebsiteLabel);
    gtk_widget_set_hexpand(VisitWebsite, TRUE);
    gtk_widget_set_halign(VisitWebsite, GTK_ALIGN_CENTER);
    gtk_grid_attach(GTK_GRID(products), VisitWebsite, 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(Content), GroupBox2, 0, 2, 2, 1);

    // The buttons: Restore Defaults on the left, OK and Cancel on the right.
    GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, Spacing);
    RestoreDefaults = gtk_button_new_with_label("Restore Defaults");
    Apply = gtk_button_new_with_label("OK");
    Cancel = gtk_button_new_with_label("Cancel");
    gtk_box_pack_start(GTK_BOX(buttons), RestoreDefaults, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(buttons), Cancel, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(buttons), Apply, FALSE, FALSE, 0);
    GtkSizeGroup* same = gtk_size_group_new(GTK_SIZE_GROUP_HORIZONTAL);
    gtk_size_group_add_widget(same, Apply);
    gtk_size_group_add_widget(same, Cancel);
    g_object_unref(same);
    gtk_widget_set_margin_top(buttons, Spacing);
    gtk_grid_attach(GTK_GRID(Content), buttons, 0, 3, 2, 1);
    gtk_widget_set_can_default(Apply, TRUE);
    gtk_window_set_default(GTK_WINDOW(Window), Apply);

    g_signal_connect(TimeShow, "toggled", G_CALLBACK(OnTimeShowToggled), nullptr);
    g_signal_connect(Apply, "clicked", G_CALLBACK(OnClicked<ApplyClick>), nullptr);
    g_signal_connect(Cancel, "clicked", G_CALLBACK(OnClicked<CancelClick>), nullptr);
    g_signal_connect(RestoreDefaults, "clicked", G_CALLBACK(OnClicked<RestoreDefaultsClick>), nullptr);
    g_signal_connect(About, "clicked", G_CALLBACK(OnClicked<AboutClick>), nullptr);
    g_signal_connect(VisitWebsite, "button-press-event", G_CALLBACK(OnWebsitePressed), nullptr);
    g_signal_connect(VisitWebsite, "realize", G_CALLBACK(OnWebsiteRealized), nullptr);
    g_signal_connect(Window, "delete-event", G_CALLBACK(OnDialogDelete), nullptr);
    g_signal_connect(Window, "key-press-event", G_CALLBACK(OnDialogKey), nullptr);
    SetTabOrder(options, {MouseExit, FPSShow, TimeShow, Time12, Time24, SoundOn, EveryMonitor});
    SetTabOrder(buttons, {Apply, Cancel, RestoreDefaults});
    SetTabOrder(Content, {GroupBox1, GroupBox2, buttons, About});
    FitCaption(Window, Content, ConfigurationCaption);
    gtk_widget_show_all(Content); // the window itself is shown once the set-up is done
}
} // namespace

int RunSettingsDialog(const TArguments& args) {
    if (!EnsureGtk()) {
        ShowErrorBox("Cannot open the X display: DISPLAY is not set or the display cannot be reached");
        return 1;
    }
    Dialog.Build();
    if (!Guard([&] { FormCreate(Dialog, args); })) {
        Dialog.Destroyed = true;
        gtk_widget_destroy(Dialog.Window);
        return 1;
    }
    Dialog.AboutBox = CreateAboutBox(GTK_WINDOW(Dialog.Window), Dialog);
    ShowMainWindow(Dialog);
    RunMain(); // OK, or a stop signal, which ends it as Cancel does
    Dialog.Destroy();
    return 0;
}

} // namespace x11
