// The platform boundary on Windows: kernel, shell and user calls.
#include "platform/win32/windows_clean.h"
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "platform/win32/text_win32.h"

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

// What a call that fills a wide buffer gives, as UTF-8: `fill(buffer, size)`
// returns the length written, or the size needed when the buffer was too
// small (the system's calls differ in which; either grows the buffer).
// Empty when the call fails.
template <typename F> std::string FilledBuffer(F fill) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (int tries = 0; tries < 8; ++tries) {
        DWORD n = fill(&buffer[0], static_cast<DWORD>(buffer.size()));
        if (n == 0) return "";
        if (n < buffer.size()) return Utf8(buffer.data(), n);
        buffer.assign(std::max<std::size_t>(n + 1, buffer.size() * 2), L'\0');
    }
    return "";
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

// The shortest form CreateDirectoryW refuses without the "\\?\" prefix.
constexpr std::size_t LongPath = MAX_PATH - 12;
} // namespace

std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    UINT codePage = CP_UTF8;
    DWORD flags = MB_ERR_INVALID_CHARS;
    int n = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (n <= 0) {
        codePage = CP_ACP;
        flags = 0;
        n = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    }
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), size, &wide[0], n);
    return wide;
}

std::string Utf8(const wchar_t* text, std::size_t length) {
    if (length == 0) return std::string();
    const int size = static_cast<int>(length);
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, size, &utf8[0], n, nullptr, nullptr);
    return utf8;
}

std::wstring WidePath(const std::string& path) {
    std::wstring wide = Wide(path);
    if (wide.size() < LongPath || StartsWith(wide, L"\\\\?\\")) return wide;
    DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return wide;
    std::wstring full(n, L'\0');
    n = ::GetFullPathNameW(wide.c_str(), n, &full[0], nullptr);
    if (n == 0 || n >= full.size()) return wide;
    full.resize(n);
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string GetSystemDirectory() {
    std::string dir = FilledBuffer([](wchar_t* b, DWORD n) { return ::GetSystemDirectoryW(b, n); });
    if (dir.empty()) return "C:\\Windows\\System32";
    return StripTrailingBackslash(dir);
}

std::string SystemDirectoryPath() {
    return GetSystemDirectory();
}

std::string GetCurrentDirectory() {
    std::string dir = FilledBuffer([](wchar_t* b, DWORD n) { return ::GetCurrentDirectoryW(n, b); });
    if (dir.empty()) return ".";
    return StripTrailingBackslash(dir);
}

bool SetCurrentDirectory(const std::string& path) {
    if (path.empty()) return false;
    const std::wstring wide = Wide(path);
    if (::SetCurrentDirectoryW(wide.c_str())) return true;
    // A folder too deep for the current directory's MAX_PATH: its short
    // (8.3) name may fit.
    const std::wstring full = WidePath(path);
    if (wide.size() < LongPath) return false;
    DWORD n = ::GetShortPathNameW(full.c_str(), nullptr, 0);
    if (n == 0) return false;
    std::wstring shortPath(n, L'\0');
    n = ::GetShortPathNameW(full.c_str(), &shortPath[0], n);
    if (n == 0 || n >= shortPath.size()) return false;
    shortPath.resize(n);
    if (StartsWith(shortPath, L"\\\\?\\") && !StartsWith(shortPath, L"\\\\?\\UNC\\")) shortPath.erase(0, 4);
    return ::SetCurrentDirectoryW(shortPath.c_str()) || ::SetCurrentDirectoryW(full.c_str());
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
    DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return ::_wfopen(WidePath(path).c_str(), Wide(mode).c_str());
}

bool CopyFile(const std::string& src, const std::string& dst) {
    return ::CopyFileW(WidePath(src).c_str(), WidePath(dst).c_str(), FALSE);
}

bool DeleteFile(const std::string& path) {
    return ::DeleteFileW(WidePath(path).c_str());
}

bool RenameFile(const std::string& src, const std::string& dst) {
    return ::MoveFileExW(WidePath(src).c_str(), WidePath(dst).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool RemoveDirectory(const std::string& path) {
    return ::RemoveDirectoryW(WidePath(path).c_str());
}

bool CreateDirectory(const std::string& path) {
    return ::CreateDirectoryW(WidePath(path).c_str(), nullptr) || DirectoryExists(path);
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
    int answer = ::MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), flags);
    return answer == IDOK ? IdOk : IdCancel;
}

bool OpenUrl(const std::string& url) {
    HINSTANCE result =
        ::ShellExecuteW(::GetDesktopWindow(), L"open", Wide(url).c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool ShowScreensaverSettings(const std::string& path) {
    std::wstring parameters = L"desk.cpl,InstallScreenSaver " + Wide(path);
    HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", L"rundll32.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool GetSpecialFolder(TSpecialFolder folder, std::string& path) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, static_cast<int>(folder), FALSE) || buffer[0] == 0)
        return false;
    std::string result = Utf8(buffer, std::wcslen(buffer));
    if (result.size() > 256)
        result.resize(256);
    else if (result.back() != '\\')
        result += '\\';
    path = result;
    return true;
}

std::string GetProgramFile() {
    // A buffer that is too small is filled to its end; the size then grows.
    return FilledBuffer([](wchar_t* b, DWORD n) {
        DWORD written = ::GetModuleFileNameW(nullptr, b, n);
        return written >= n ? n : written;
    });
}

void GetCursorPos(int& x, int& y) {
    POINT p{0, 0};
    ::GetCursorPos(&p);
    x = p.x;
    y = p.y;
}

} // namespace platform
