// The operating system as the engine, the scene and the shell see it.
//
// Everything the program takes from the system goes through here: the tick
// count, the local time, directories, file copy and delete, message boxes,
// the web browser, the user's special folders and the cursor. Windows
// implements it in platform/win32/, Linux in platform/x11/. Engine, scene and
// shell code include this header and never an operating-system header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

// Milliseconds since the system started, 32 bits, wrapping after 49.7 days
// (GetTickCount semantics). Intervals are unsigned 32-bit differences.
std::uint32_t GetTickCount();

struct TLocalTime {
    int Year;   // e.g. 2026
    int Month;  // 1..12
    int Day;    // 1..31
    int Hour;   // 0..23
    int Minute; // 0..59
    int Second; // 0..59
    int Milliseconds;
};
TLocalTime GetLocalTime();

// Tests replace the clocks with their own; null restores the system's.
using TickSource = std::uint32_t (*)();
using LocalTimeSource = TLocalTime (*)();
void SetTickSource(TickSource source);
void SetLocalTimeSource(LocalTimeSource source);

// The directory that holds the settings file and the installed program
// ("system directory"), without a trailing separator. On Windows it is the
// Windows system directory, on Linux $XDG_CONFIG_HOME/tarnwick; the latter is
// created on first use.
std::string GetSystemDirectory();
// The same path, without creating anything: for reading, and for saying
// where the settings live.
std::string SystemDirectoryPath();
std::string GetCurrentDirectory(); // without a trailing separator
bool SetCurrentDirectory(const std::string& path);

// The path separator of the platform, '\\' or '/'.
char PathSeparator();
// A path as written in the program ("models\\tarnwick.umf") in the platform's form.
std::string NativePath(const std::string& path);

// The text with each byte the system's messages cannot show replaced by '?':
// control characters everywhere; on Linux, whose texts are UTF-8, also every
// byte that is not part of a well-formed UTF-8 character (Windows shows
// bytes from 0x80 up as characters of its code page).
std::string PrintableText(const std::string& text);

// Opens a file as std::fopen does, whatever characters its path holds (UTF-8).
std::FILE* OpenFile(const std::string& path, const char* mode);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Copies src over dst (replacing dst). False on any failure.
bool CopyFile(const std::string& src, const std::string& dst);
bool DeleteFile(const std::string& path);
// Renames src to dst, replacing dst if it exists. False on failure.
bool RenameFile(const std::string& src, const std::string& dst);
bool RemoveDirectory(const std::string& path); // only an empty one
// Makes one folder (its parent must be there). True when it is there afterwards.
bool CreateDirectory(const std::string& path);

// Message boxes. The answer is IdOk or IdCancel.
enum TMessageBoxKind { MbOk, MbOkCancel, MbError };
enum TMessageBoxAnswer { IdOk = 1, IdCancel = 2 };
TMessageBoxAnswer MessageBox(const std::string& text, const std::string& caption, TMessageBoxKind kind);
using MessageBoxHandler = TMessageBoxAnswer (*)(const std::string& text, const std::string& caption,
                                                TMessageBoxKind kind);
// Replaces how message boxes are shown (a GUI toolkit, or a test); null restores the default.
void SetMessageBoxHandler(MessageBoxHandler handler);

// Opens a web address in the user's browser. False if nothing could be started.
bool OpenUrl(const std::string& url);

// Opens the system's screensaver settings with the screensaver at `path`
// selected, without waiting. False if nothing could be started (always on
// systems without such settings).
bool ShowScreensaverSettings(const std::string& path);

// Special folders, by their Windows CSIDL numbers.
// FolderAppData, the user's roaming application data, is Windows' alone.
enum TSpecialFolder { FolderPrograms = 2, FolderDesktop = 16, FolderAppData = 26 };
// The folder's path with a trailing separator, or false when the system cannot name it.
bool GetSpecialFolder(TSpecialFolder folder, std::string& path);

// The running program's own file as an absolute path, links resolved
// (/proc/self/exe on Linux); empty when the system cannot say.
std::string GetProgramFile();

// The mouse cursor's position in screen pixels; (0, 0) when there is no screen.
void GetCursorPos(int& x, int& y);

// Keeps every floating-point exception untrapped for the rest of the run
// (x87 and SSE alike): a division by zero gives an infinity, 0/0 a NaN.
void MaskFloatingPointExceptions();

} // namespace platform
