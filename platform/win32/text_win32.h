// Text across the Win32 boundary. The program keeps its texts and paths in
// UTF-8 and calls the wide (W) forms of the system's calls, so that a folder
// named outside the ANSI code page ("Заставка") and a path of MAX_PATH
// characters or more work as any other.
#pragma once

#include <string>

namespace platform {

// UTF-8 to UTF-16. Bytes that are not UTF-8 are read in the ANSI code page,
// as a settings file written by an older copy of the program holds them.
std::wstring Wide(const std::string& text);
// UTF-16 to UTF-8 (`length` units; a terminating zero is not needed).
std::string Utf8(const wchar_t* text, std::size_t length);
inline std::string Utf8(const std::wstring& text) {
    return Utf8(text.data(), text.size());
}
// A path for the wide file calls: a full path too long for the plain form
// gets the "\\?\" prefix (made absolute and with backslashes first), which
// lifts the MAX_PATH limit.
std::wstring WidePath(const std::string& path);

} // namespace platform
