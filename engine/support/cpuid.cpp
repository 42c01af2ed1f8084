// Processor feature detection: CPUID answers confirmed by trial execution.
#include "engine/support/cpuid.h"

#include <cpuid.h>

#include "platform/cpu_trial.h"

std::uint8_t HasMMX = 0;
std::uint8_t HasMMXExt = 0;
std::uint8_t Has3DNow = 0;
std::uint8_t Has3DNowExt = 0;
std::uint8_t HasSSE = 0;
std::uint8_t HasSSE2 = 0;

namespace {

// CPUID leaf 1, EDX.
constexpr std::uint32_t MmxBit = 1u << 23;
constexpr std::uint32_t FxsrBit = 1u << 24;
constexpr std::uint32_t SseBit = 1u << 25;
constexpr std::uint32_t Sse2Bit = 1u << 26;
// CPUID leaf 0x80000001, EDX.
constexpr std::uint32_t MmxExtBit = 1u << 22;
constexpr std::uint32_t Amd3DNowExtBit = 1u << 30;
constexpr std::uint32_t Amd3DNowBit = 1u << 31;

constexpr std::uint32_t ExtendedLeaves = 0x80000000u;
constexpr std::uint32_t ExtendedFeatures = 0x80000001u;

TCpuidResult ProcessorCpuid(std::uint32_t leaf) {
    TCpuidResult result;
    // Sub-leaf 0; the leaves asked here have no sub-leaves.
    __cpuid_count(leaf, 0, result.Eax, result.Ebx, result.Ecx, result.Edx);
    return result;
}

CpuidSource cpuidSource = nullptr;
TrialRunner trialRunner = nullptr;

TCpuidResult Cpuid(std::uint32_t leaf) {
    return cpuidSource ? cpuidSource(leaf) : ProcessorCpuid(leaf);
}
bool Try(void (*trial)()) {
    return trialRunner ? trialRunner(trial) : platform::TryInstruction(trial);
}

std::uint8_t Bit(std::uint32_t reg, std::uint32_t mask) {
    return (reg & mask) != 0 ? 1 : 0;
}

} // namespace

void SetCpuidSource(CpuidSource source) {
    cpuidSource = source;
}
void SetTrialRunner(TrialRunner runner) {
    trialRunner = runner;
}

// noinline: each is called through a pointer from the trial guard and must
// stay a routine of its own whose only effect is the instruction.
__attribute__((noinline)) void TrialEmms() {
    __asm__ volatile("emms");
}
__attribute__((noinline)) void TrialXorps() {
    __asm__ volatile("xorps %%xmm0, %%xmm0" ::: "xmm0");
}
__attribute__((noinline)) void TrialXorpd() {
    __asm__ volatile("xorpd %%xmm0, %%xmm0" ::: "xmm0");
}
__attribute__((noinline)) void TrialFemms() {
    __asm__ volatile("femms\n\tfemms");
}

void DetectCpuFeatures() {
    const std::uint32_t features = Cpuid(1).Edx;
    HasMMX = Bit(features, MmxBit);
    if (features & SseBit) {
        // SSE counts only where FXSR lets the system save its registers.
        HasSSE = Bit(features, FxsrBit);
        if (features & FxsrBit) HasSSE2 = Bit(features, Sse2Bit);
    }

    if (Cpuid(ExtendedLeaves).Eax >= ExtendedLeaves) {
        const std::uint32_t extended = Cpuid(ExtendedFeatures).Edx;
        HasMMXExt = Bit(extended, MmxExtBit);
        Has3DNow = Bit(extended, Amd3DNowBit);
        if (extended & Amd3DNowBit) Has3DNowExt = Bit(extended, Amd3DNowExtBit);
    }

    if (HasMMX && !Try(TrialEmms)) HasMMX = 0;
    if (HasSSE && !Try(TrialXorps)) HasSSE = 0;
    if (HasSSE2 && !Try(TrialXorpd)) HasSSE2 = 0;
    if (Has3DNow && !Try(TrialFemms)) Has3DNow = 0;
}
