// The parts of the platform boundary that are the same everywhere: the test
// hooks for the clocks and message boxes, and the floating-point set-up.
#include "platform/platform.h"
#include "platform/platform_internal.h"

#include <xmmintrin.h>

namespace platform {
namespace {
TickSource tickSource = nullptr;
LocalTimeSource localTimeSource = nullptr;
MessageBoxHandler messageBoxHandler = nullptr;
} // namespace

std::uint32_t GetTickCount() { return tickSource ? tickSource() : SystemTickCount(); }
TLocalTime GetLocalTime() { return localTimeSource ? localTimeSource() : SystemLocalTime(); }
void SetTickSource(TickSource source) { tickSource = source; }
void SetLocalTimeSource(LocalTimeSource source) { localTimeSource = source; }

TMessageBoxAnswer MessageBox(const std::string& text, const std::string& caption, TMessageBoxKind kind) {
    return messageBoxHandler ? messageBoxHandler(text, caption, kind) : SystemMessageBox(text, caption, kind);
}
void SetMessageBoxHandler(MessageBoxHandler handler) { messageBoxHandler = handler; }

void MaskFloatingPointExceptions() {
    // x87: all six exceptions masked, 64-bit precision, round to nearest.
    // Pending status flags are cleared first: loading a control word that
    // unmasks nothing is harmless, but one left unmasked by a caller with a
    // flag already raised would trap on the load itself.
    const unsigned short controlWord = 0x133F;
    __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(controlWord));
    // SSE: the six mask bits of MXCSR (7..12); the rounding mode stays nearest.
    _mm_setcsr((_mm_getcsr() | 0x1F80u) & ~0x6000u);
}

} // namespace platform
