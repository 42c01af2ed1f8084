// Which SIMD instruction sets the processor offers and the operating system
// supports, published as six one-byte flags (0 = absent, 1 = present).
//
// DetectCpuFeatures asks CPUID (leaf 1, then the extended leaves 0x80000000
// and 0x80000001) and confirms each main set by executing one of its
// instructions on trial. The render device runs it every time it is
// initialised; nothing in the program branches on the flags.
//
// HasMMX is written on every run. Every other flag is written only when its
// CPUID gate is open (SSE reported for HasSSE; SSE and FXSR for HasSSE2; the
// extended leaves present for HasMMXExt and Has3DNow; 3DNow! reported for
// Has3DNowExt) and otherwise keeps the value of the previous run.
#pragma once

#include <cstdint>

// The flags, 0 at program start, in this order.
extern std::uint8_t HasMMX;      // MMX
extern std::uint8_t HasMMXExt;   // AMD extensions to MMX
extern std::uint8_t Has3DNow;    // 3DNow!
extern std::uint8_t Has3DNowExt; // extensions to 3DNow!
extern std::uint8_t HasSSE;      // SSE (also requires FXSR, see DetectCpuFeatures)
extern std::uint8_t HasSSE2;     // SSE2

// Sets the flags from the processor.
//
// Leaf 1, EDX: HasMMX = bit 23. If bit 25 (SSE) is set, HasSSE = bit 24
// (FXSR: without it the system cannot save SSE state), and if bit 24 is set,
// HasSSE2 = bit 26.
// Leaf 0x80000000: if EAX >= 0x80000000, leaf 0x80000001, EDX: HasMMXExt =
// bit 22, Has3DNow = bit 31, and if bit 31 is set, Has3DNowExt = bit 30.
// Then, in this order, a flag that is set is cleared if its trial faults:
// HasMMX (EMMS), HasSSE (XORPS xmm0, xmm0), HasSSE2 (XORPD xmm0, xmm0),
// Has3DNow (FEMMS twice). HasMMXExt and Has3DNowExt are not tried.
// No fault ever reaches the caller.
void DetectCpuFeatures();

// The registers one CPUID leaf returns.
struct TCpuidResult {
    std::uint32_t Eax;
    std::uint32_t Ebx;
    std::uint32_t Ecx;
    std::uint32_t Edx;
};

// Where DetectCpuFeatures gets CPUID answers and how it runs trials. Tests
// replace them to stand for other processors; null restores the processor's
// own CPUID instruction and platform::TryInstruction.
using CpuidSource = TCpuidResult (*)(std::uint32_t leaf);
using TrialRunner = bool (*)(void (*trial)());
void SetCpuidSource(CpuidSource source);
void SetTrialRunner(TrialRunner runner);

// The trial instructions, each a leaf routine that executes only that.
// They fault (#UD) on a processor without the instruction set.
void TrialEmms();  // EMMS
void TrialXorps(); // XORPS xmm0, xmm0
void TrialXorpd(); // XORPD xmm0, xmm0
void TrialFemms(); // FEMMS, twice
