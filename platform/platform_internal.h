// What each platform's system file supplies to platform_common.cpp.
#pragma once

#include "platform/platform.h"

namespace platform {
std::uint32_t SystemTickCount();
TLocalTime SystemLocalTime();
TMessageBoxAnswer SystemMessageBox(const std::string& text, const std::string& caption, TMessageBoxKind kind);
} // namespace platform
