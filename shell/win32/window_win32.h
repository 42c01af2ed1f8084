// The Win32 front end of the screensaver: the hidden application window,
// the main window `TTarnwickScreensaverMainWindow` with the settings
// dialog's controls, the about box `TForm2` and the preview logo. Shared by
// the files of shell/win32/ and the test harnesses; the shell sees only the
// hosts of its run modes (TPreviewHost, TFullScreenHost, TDialogHost).
#pragma once

#include "platform/win32/windows_clean.h"

#include <string>

#include "shell/logo.h"
#include "shell/main_window.h"

namespace win32 {

// The hidden window that carries the application title (the process's name
// in the task list) and owns what the program opens through the shell.
// Null until CreateApplicationWindow.
extern HWND ApplicationWindow;
// The program's own icon (the system's generic one when it has none).
HICON ProgramIcon(HINSTANCE instance);
HWND CreateApplicationWindow(HINSTANCE instance, const char* title);

// A child control at its place on the form at 96 DPI, in the system's
// message font; a group box that hands its children's notifications on to
// its own parent. LayoutControls places them for another DPI.
HWND CreateControl(HWND parent, const char* cls, const char* text, DWORD style, int left, int top, int width,
                   int height, int id, DWORD exStyle = 0);
HWND CreateGroupBox(HWND parent, const char* caption, int left, int top, int width, int height, int id);
// A label in the underlined font that grows around its centre to fit its text.
void MakeLinkLabel(HWND label);
// Every control below the window, at its 96-DPI place scaled to `dpi`, in
// the message font at `dpi`.
void LayoutControls(HWND window, UINT dpi);

// The logo as a 32-bit bitmap of its own size; null when the system has no
// memory for it.
HBITMAP CreateLogoBitmap(const TLogo& logo);
// Copies the logo unscaled onto (0, 0) of the target window (BitBlt,
// SRCCOPY), letting pending messages through before the device context is
// released.
void DrawPreviewLogo(HWND target, HBITMAP logo);
// Dispatches the messages waiting in the queue; a quit request stays queued.
void ProcessMessages();

// The settings dialog's controls: created in every run mode (hidden by the
// full-screen set-up), as children of the main window and of its two group
// boxes, in tab order.
struct TDialogControls {
    HWND GroupBox1, MouseExit, FPSShow, TimeShow, Time12, Time24, SoundOn, EveryMonitor;
    HWND GroupBox2, VisitWebsite;
    HWND Apply, Cancel, RestoreDefaults, About, Image1;
};
// Command identifiers of the controls (Apply answers Enter, Cancel Escape).
enum TControlId {
    IdApply = IDOK,
    IdCancel = IDCANCEL,
    IdMouseExit = 101,
    IdFPSShow,
    IdTimeShow,
    IdTime12,
    IdTime24,
    IdImage1,
    IdAbout,
    IdVisitWebsite,
    IdRestoreDefaults,
    IdGroupBox1,
    IdGroupBox2,
    IdSoundOn,
    IdEveryMonitor,
};
void CreateDialogControls(HWND main, TDialogControls& controls);
HWND ControlWindow(const TDialogControls& controls, TControl control);
// Lays the settings dialog out at `dpi`: every control at least at its
// form's place and as large as its text in its font, none over another.
// Returns the client size that holds them all and lets the title bar show
// the caption whole; `formClient`, the form's own, when that is enough.
SIZE LayoutDialog(HWND main, const TDialogControls& controls, UINT dpi, SIZE formClient);
// Grows the website label around its centre to fit its (two-line) caption.
void FitLabelToText(HWND label);

// The about box, hidden until asked for, laid out for the DPI of the
// dialog's window; FitAboutBox lays it out for another DPI (once: nothing
// happens when it already is).
HWND CreateAboutBox(HINSTANCE instance, TDialogHost& host);
void FitAboutBox(HWND about, UINT dpi);

// Creates the main window (hidden, borderless, topmost, of the design size),
// runs the creation handler and shows the window as its mode wants. The
// full-screen run also covers every monitor but the primary one with a
// black, borderless, topmost window whose input ends the run; those go
// with the main window. With "Show On Every Monitor" the main window spans
// every monitor instead, with no covers. Returns false after showing the
// creation handler's error.
bool CreateMainWindow(HINSTANCE instance, const TArguments& args);
// The message loop with the idle handler, until the main window is gone;
// returns the exit code.
int RunApplication();

} // namespace win32
