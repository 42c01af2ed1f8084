// The platform boundary on Windows: kernel, shell and user calls.
#include "platform/win32/windows_clean.h"
#include <shellapi.h>
#include <shlobj.h>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace platform {

std::uint32_t SystemTickCount() {
    return ::GetTickCount();
}

TLocalTime SystemLocalTime() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return TLocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

namespace {
std::string StripTrailingBackslash(std::string path) {
    // "C:\" keeps its backslash: it is the root, not a trailing separator.
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}
} // namespace

std::string GetSystemDirectory() {
    char buffer[255];
    UINT n = ::GetSystemDirectoryA(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return "C:\\Windows\\System32";
    return StripTrailingBackslash(std::string(buffer, n));
}

std::string SystemDirectoryPath() {
    return GetSystemDirectory();
}

std::string GetCurrentDirectory() {
    char buffer[MAX_PATH];
    DWORD n = ::GetCurrentDirectoryA(sizeof buffer, buffer);
    if (n == 0 || n >= sizeof buffer) return ".";
    return StripTrailingBackslash(std::string(buffer, n));
}

bool SetCurrentDirectory(const std::string& path) {
    return !path.empty() && ::SetCurrentDirectoryA(path.c_str());
}

char PathSeparator() {
    return '\\';
}

std::string NativePath(const std::string& path) {
    return path;
}

std::string PrintableText(const std::string& text) {
    std::string shown = text;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return shown;
}

bool FileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CopyFile(const std::string& src, const std::string& dst) {
    return ::CopyFileA(src.c_str(), dst.c_str(), FALSE);
}

bool DeleteFile(const std::string& path) {
    return ::DeleteFileA(path.c_str());
}

bool RenameFile(const std::string& src, const std::string& dst) {
    return ::MoveFileExA(src.c_str(), dst.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool RemoveDirectory(const std::string& path) {
    return ::RemoveDirectoryA(path.c_str());
}

TMessageBoxAnswer SystemMessageBox(const std::string& text, const std::string& caption,
                                   TMessageBoxKind kind) {
    UINT flags = MB_SETFOREGROUND;
    switch (kind) {
    case MbOk:
        flags |= MB_OK;
        break;
    case MbOkCancel:
        flags |= MB_OKCANCEL;
        break;
    case MbError:
        // Above every topmost window, the black full-screen one included.
        flags |= MB_OK | MB_ICONERROR | MB_TOPMOST | MB_TASKMODAL;
        break;
    }
    HWND owner = kind == MbError ? nullptr : ::GetDesktopWindow();
    int answer = ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    return answer == IDOK ? IdOk : IdCancel;
}

bool OpenUrl(const std::string& url) {
    HINSTANCE result = ::ShellExecuteA(::GetDesktopWindow(), "open", url.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool ShowScreensaverSettings(const std::string& path) {
    std::string parameters = "desk.cpl,InstallScreenSaver " + path;
    HINSTANCE result =
        ::ShellExecuteA(nullptr, "open", "rundll32.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool GetSpecialFolder(TSpecialFolder folder, std::string& path) {
    char buffer[MAX_PATH + 1] = {};
    if (!::SHGetSpecialFolderPathA(nullptr, buffer, static_cast<int>(folder), FALSE) || buffer[0] == 0)
        return false;
    std::string result(buffer);
    if (result.size() > 256)
        result.resize(256);
    else if (result.back() != '\\')
        result += '\\';
    path = result;
    return true;
}

std::string GetProgramFile() {
    char buffer[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return "";
    return std::string(buffer, n);
}

void GetCursorPos(int& x, int& y) {
    POINT p{0, 0};
    ::GetCursorPos(&p);
    x = p.x;
    y = p.y;
}

} // namespace platform
