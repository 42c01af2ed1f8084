// <windows.h> without the A/W macros that would rename the platform
// boundary's own functions (platform::MessageBox, platform::DeleteFile, ...).
// Win32 files include this instead of <windows.h>, and name the A or W form
// they call (paths and user texts go through the W forms, text_win32.h).
#pragma once

#include <windows.h>

#undef MessageBox
#undef GetSystemDirectory
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef CopyFile
#undef DeleteFile
#undef RemoveDirectory
#undef CreateDirectory
