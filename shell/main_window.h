// The main window `TTarnwickScreensaverMainWindow`: its creation in each run
// mode, the full-screen set-up, the frame, the input that ends the run, the
// settings dialog's buttons, the about box and the tear-down.
//
// This is the part of the window that does not depend on the window system.
// The window system (shell/win32/, shell/x11/) owns the real windows, their
// controls, timer and idle loop; it implements the host of each run mode it
// offers (TPreviewHost, TFullScreenHost, TDialogHost) and calls the handlers
// below from its events, on the main thread. A handler may raise (TIoError, TConvertError, ...): the window
// system shows the error's text in the application's error box and skips
// the rest of the handler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gl_binding.h"
#include "shell/engine_calls.h"
#include "shell/run_mode.h"
#include "shell/settings.h"

// The dialog's controls, by their names in the window definition.
enum class TControl {
    GroupBox1,
    MouseExit,
    FPSShow,
    TimeShow,
    Time12,
    Time24,
    SoundOn,
    EveryMonitor,
    Image1,
    About,
    GroupBox2,
    VisitWebsite,
    RestoreDefaults,
    Apply,
    Cancel,
};

// A window's outer frame in screen pixels.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// What the window system does for the preview: the main window never shows;
// the logo is painted into the control panel's window.
class TPreviewHost {
  public:
    virtual ~TPreviewHost() = default;
    // Window state normal, not stay-on-top.
    virtual void MakeNormal() = 0;
    // The logo bitmap (raises TIoError or TGraphicError), the child style
    // alone, and reparenting into the control panel's window.
    virtual void LoadPreviewLogo(const std::string& path) = 0;
    virtual void FreePreviewLogo() = 0;
    virtual void MakeChild() = 0;
    virtual void SetParentWindow(platform::WindowHandle parent) = 0;
    // Copies the logo unscaled to (0, 0) of the window; nothing without a logo.
    virtual void DrawPreviewLogo(platform::WindowHandle target) = 0;
    virtual bool WindowExists(platform::WindowHandle window) = 0;
    virtual bool IsVisible() = 0;
    virtual void Hide() = 0;
    // Closes the main window: its destruction handler runs, then the
    // application ends with exit code 0.
    virtual void Close() = 0;
};

// What the window system does for the full-screen run.
class TFullScreenHost {
  public:
    virtual ~TFullScreenHost() = default;
    // The main window, for the sound and the render device.
    virtual platform::WindowHandle Handle() = 0;
    // Hides one of the dialog's controls (a window without them has nothing to hide).
    virtual void HideControl(TControl control) = 0;
    // Shows the window maximised, borderless and on top.
    virtual void ShowMaximized() = 0;
    // For the run on every monitor: the monitors' rectangles in screen
    // pixels (origins may be negative), the primary one first; empty when
    // the window is not the program's to place (xscreensaver's own).
    virtual std::vector<TRect> ListMonitors() = 0;
    // Before the device is made on the window: the window is to cover this
    // rectangle of the screen (every monitor) instead of the primary one alone.
    virtual void SpanWindow(const TRect& screen) = 0;
    // The cursor's position in screen pixels, and hiding it for the run.
    virtual void GetCursorPos(int& x, int& y) = 0;
    virtual void HideCursor() = 0;
    // Closes the main window: its destruction handler runs, then the
    // application ends with exit code 0.
    virtual void Close() = 0;
    // Destroys the main window at once (its destruction handler runs) and
    // ends the process with exit code 0.
    virtual void DestroyAndExit() = 0;
};

// What the window system does for the settings dialog and its about box.
class TDialogHost {
  public:
    virtual ~TDialogHost() = default;
    // The dialog's own window, which the about box disables.
    virtual platform::WindowHandle Handle() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetControlText(TControl control, const std::string& text) = 0;
    // Puts the choices into the check boxes and radio buttons (and enables
    // or disables the radio buttons), and reads them back.
    virtual void ShowSettings(const TSettings& settings) = 0;
    virtual TSettings ReadSettings() = 0;

    // Window state normal, not stay-on-top.
    virtual void MakeNormal() = 0;
    // The owner of the window passed on the command line, the disabling
    // and enabling of a window, and the dialog frame of the given outer
    // size, centred on the screen, in the button-face colour.
    virtual platform::WindowHandle ParentOf(platform::WindowHandle window) = 0;
    virtual void EnableWindow(platform::WindowHandle window, bool enable) = 0;
    virtual void MakeDialog(int width, int height) = 0;
    // Shows the window in its normal state.
    virtual void ShowNormal() = 0;

    // As for the full-screen run.
    virtual void Close() = 0;
    virtual void DestroyAndExit() = 0;
    // Opens a web address in the user's browser.
    virtual void OpenWebsite(const std::string& address) = 0;

    // The about box `Form2`.
    virtual TRect MainWindowRect() = 0;
    virtual TRect AboutRect() = 0;
    virtual void ShowAbout(int left, int top) = 0; // not modal
    virtual void HideAbout() = 0;
};

// The run modes a window system offers, each through its host; null where
// it offers none (the X11 program runs the dialog apart from the others).
struct TMainWindowHosts {
    TPreviewHost* Preview = nullptr;
    TFullScreenHost* FullScreen = nullptr;
    TDialogHost* Dialog = nullptr;
};

// Globals of the main window.
extern TRunMode RunMode;                    // Preview until a mode is set up
extern platform::WindowHandle ParentHandle; // the preview's window, or the dialog's owner
extern std::int32_t StartCursorX;           // cursor position at the start of the run
extern std::int32_t StartCursorY;
// The choices as loaded; the running screensaver reads them each frame.
extern TSettings Settings;

// Choices given for one run on the command line (the xscreensaver hack's
// options): each one that is not -1 replaces the settings file's, for the
// full-screen run and the preview, right after the file is read.
struct TRunChoices {
    int FPSShow = -1;  // 1 shows the counter
    int TimeShow = -1; // 1 shows the clock, 0 hides it
    int Time24 = -1;   // 1 the 24-hour clock, 0 the 12-hour one
    int SoundOn = -1;  // 1 plays the waterfall, 0 keeps silent
};
extern TRunChoices RunChoices;
// The run's views while the run covers every monitor: one a monitor, or one
// for monitors that overlap (the largest one's); empty while it shows on the
// primary one alone, or one picture fills the window.
extern std::vector<TLakeView> MonitorViews;

// Puts the globals above back to their state at program start (for tests).
void ResetMainWindowState();

extern const char* const WebsiteAddress;      // the maker's website
extern const char* const VisitWebsiteCaption; // the label's two lines
extern const char* const WaterfallSound;      // "sounds\\smallwaterfall.wav"

// The settings dialog's outer size (at 96 DPI).
constexpr int DialogWidth = 320;
constexpr int DialogHeight = 328;
// The cursor must move this far on either axis to end the run.
constexpr int MouseExitDistance = 2;

// The creation handler: the settings, then the set-up of the mode the
// arguments choose, on that mode's host. Raises what a step raises; whatever
// a failed set-up had started (sound, device, logo) is released again.
void FormCreate(const TMainWindowHosts& hosts, const TArguments& args);
// Shows the window as its mode wants it (the preview stays hidden).
void ShowMainWindow(const TMainWindowHosts& hosts);

void PreviewSetUp(TPreviewHost& host, const TArguments& args);
void ConfigureSetUp(TDialogHost& host, const TArguments& args);
void FullScreenSetUp(TFullScreenHost& host);

// One pass of the idle loop (in the run it draws a frame; only the preview
// has the window do something); true when the work is done (wait for the
// next message), false when the loop should call again at once.
bool ApplicationEvents1Idle(TPreviewHost& host);
// Every 50 ms: the preview's logo, or its end once the control panel's
// window is gone.
void Timer1Timer(TPreviewHost& host);
// The window's outer size changed; it reaches the device once the run has started.
void FormResize(TFullScreenHost& host, int width, int height);
void FormKeyDown(TFullScreenHost& host);
void FormMouseMove(TFullScreenHost& host);
void FormClick(TFullScreenHost& host);
void FormDestroy(const TMainWindowHosts& hosts);

// The settings dialog.
void ApplyClick(TDialogHost& host);
void CancelClick(TDialogHost& host);
void RestoreDefaultsClick(TDialogHost& host);
void TimeShowClick(TDialogHost& host);
void VisitWebsiteClick(TDialogHost& host);
void AboutClick(TDialogHost& host);

// The about box.
void AboutButton1Click(TDialogHost& host);
void AboutFormClose(TDialogHost& host);

// Where `inner` goes to be centred over `outer` (divisions truncating).
void CentreOver(const TRect& outer, const TRect& inner, int& left, int& top);

// -1000 × ((10 - level) / 10)^10 hundredths of a decibel, rounded to nearest
// (ties to even): level 0 gives -1000, level 10 gives 0.
std::int32_t VolumeForLevel(int level);
// Sets every loaded sound to the effects level and the music to its level.
void SetVolumes(int effectsLevel, int musicLevel);
