// Processor feature detection with made-up processors (a fake CPUID and a
// fake trial runner), the real trial guard on this machine's faults, and the
// detection as the program runs it.
#include "engine/support/cpuid.h"

#include "platform/cpu_trial.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cfenv>
#include <chrono>
#include <csetjmp>
#include <csignal>
#include <cstdint>
#include <thread>
#include <vector>
#include <xmmintrin.h>

namespace {

// Leaf 1 EDX bits.
constexpr std::uint32_t Mmx = 1u << 23, Fxsr = 1u << 24, Sse = 1u << 25, Sse2 = 1u << 26;
// Leaf 0x80000001 EDX bits.
constexpr std::uint32_t MmxExt = 1u << 22, Amd3DNowExt = 1u << 30, Amd3DNow = 1u << 31;

// The processor the fake CPUID describes.
struct TFakeProcessor {
    std::uint32_t Features = 0;         // leaf 1 EDX
    std::uint32_t HighestExtended = 0;  // leaf 0x80000000 EAX
    std::uint32_t ExtendedFeatures = 0; // leaf 0x80000001 EDX
    std::vector<std::uint32_t> LeavesAsked;
};
TFakeProcessor fake;

TCpuidResult FakeCpuid(std::uint32_t leaf) {
    fake.LeavesAsked.push_back(leaf);
    TCpuidResult r = {0, 0, 0, 0};
    if (leaf == 1) r.Edx = fake.Features;
    if (leaf == 0x80000000u) r.Eax = fake.HighestExtended;
    if (leaf == 0x80000001u) r.Edx = fake.ExtendedFeatures;
    return r;
}

// A fake trial runner: records the trials in order and fails the one named.
std::vector<void (*)()> trialsRun;
void (*failingTrial)() = nullptr;
bool FakeTrial(void (*trial)()) {
    trialsRun.push_back(trial);
    return trial != failingTrial;
}

class DetectCpuFeaturesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake = TFakeProcessor{};
        trialsRun.clear();
        failingTrial = nullptr;
        // The flags as at program start.
        HasMMX = HasMMXExt = Has3DNow = Has3DNowExt = HasSSE = HasSSE2 = 0;
        SetCpuidSource(FakeCpuid);
        SetTrialRunner(FakeTrial);
    }
    void TearDown() override {
        SetCpuidSource(nullptr);
        SetTrialRunner(nullptr);
    }
};

std::vector<int> Flags() {
    return {HasMMX, HasMMXExt, Has3DNow, Has3DNowExt, HasSSE, HasSSE2};
}

} // namespace

TEST_F(DetectCpuFeaturesTest, EverythingReportedEverythingTried) {
    fake.Features = Mmx | Fxsr | Sse | Sse2;
    fake.HighestExtended = 0x80000008u;
    fake.ExtendedFeatures = MmxExt | Amd3DNow | Amd3DNowExt;
    DetectCpuFeatures();
    EXPECT_EQ(Flags(), (std::vector<int>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(fake.LeavesAsked, (std::vector<std::uint32_t>{1, 0x80000000u, 0x80000001u}));
    // EMMS, XORPS, XORPD, FEMMS, in that order; the two extension flags are not tried.
    EXPECT_EQ(trialsRun, (std::vector<void (*)()>{TrialEmms, TrialXorps, TrialXorpd, TrialFemms}));
}

TEST_F(DetectCpuFeaturesTest, NothingReportedNothingTried) {
    DetectCpuFeatures();
    EXPECT_EQ(Flags(), (std::vector<int>{0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(trialsRun.empty());
    // 0x80000000 itself counts as having extended leaves; below it they are not asked.
    EXPECT_EQ(fake.LeavesAsked, (std::vector<std::uint32_t>{1, 0x80000000u}));
}

TEST_F(DetectCpuFeaturesTest, SseWithoutFxsrIsNoSse) {
    fake.Features = Sse | Sse2;
    DetectCpuFeatures();
    EXPECT_EQ(HasSSE, 0);
    EXPECT_EQ(HasSSE2, 0);
    EXPECT_TRUE(trialsRun.empty());

    // HasSSE2's gate is closed: a value from an earlier run stays.
    HasSSE2 = 1;
    DetectCpuFeatures();
    EXPECT_EQ(HasSSE2, 1);
    EXPECT_EQ(HasSSE, 0);
}

TEST_F(DetectCpuFeaturesTest, SseFlagFollowsFxsrNotTheSseBit) {
    // FXSR without SSE: the SSE gate is closed, nothing written.
    fake.Features = Fxsr | Sse2;
    DetectCpuFeatures();
    EXPECT_EQ(HasSSE, 0);
    EXPECT_EQ(HasSSE2, 0);

    // SSE and FXSR without SSE2: SSE2's gate is open and writes 0.
    HasSSE2 = 1;
    fake.Features = Sse | Fxsr;
    DetectCpuFeatures();
    EXPECT_EQ(HasSSE, 1);
    EXPECT_EQ(HasSSE2, 0);
}

TEST_F(DetectCpuFeaturesTest, ClosedGatesKeepEarlierValues) {
    fake.Features = Mmx | Fxsr | Sse | Sse2;
    fake.HighestExtended = 0x80000001u;
    fake.ExtendedFeatures = MmxExt | Amd3DNow | Amd3DNowExt;
    DetectCpuFeatures();
    ASSERT_EQ(Flags(), (std::vector<int>{1, 1, 1, 1, 1, 1}));

    // Now a processor that reports nothing at all: only HasMMX is written.
    fake.Features = 0;
    fake.HighestExtended = 0x7FFFFFFFu;
    trialsRun.clear();
    DetectCpuFeatures();
    EXPECT_EQ(Flags(), (std::vector<int>{0, 1, 1, 1, 1, 1}));
    // The kept flags are tried again; MMX, now 0, is not.
    EXPECT_EQ(trialsRun, (std::vector<void (*)()>{TrialXorps, TrialXorpd, TrialFemms}));
}

TEST_F(DetectCpuFeaturesTest, ExtensionOf3DNowNeeds3DNow) {
    fake.HighestExtended = 0x80000001u;
    fake.ExtendedFeatures = Amd3DNowExt;
    Has3DNowExt = 1;
    DetectCpuFeatures();
    EXPECT_EQ(Has3DNow, 0);
    EXPECT_EQ(Has3DNowExt, 1); // gate closed: kept

    fake.ExtendedFeatures = Amd3DNow;
    DetectCpuFeatures();
    EXPECT_EQ(Has3DNow, 1);
    EXPECT_EQ(Has3DNowExt, 0); // gate open: written
    EXPECT_EQ(HasMMXExt, 0);
}

TEST_F(DetectCpuFeaturesTest, FailedTrialClearsOnlyItsFlag) {
    fake.Features = Mmx | Fxsr | Sse | Sse2;
    fake.HighestExtended = 0x80000001u;
    fake.ExtendedFeatures = MmxExt | Amd3DNow | Amd3DNowExt;

    failingTrial = TrialXorps;
    DetectCpuFeatures();
    EXPECT_EQ(Flags(), (std::vector<int>{1, 1, 1, 1, 0, 1}));

    failingTrial = TrialFemms; // the extension flag is not tried and stays
    DetectCpuFeatures();
    EXPECT_EQ(Flags(), (std::vector<int>{1, 1, 0, 1, 1, 1}));

    failingTrial = TrialEmms;
    DetectCpuFeatures();
    EXPECT_EQ(Flags(), (std::vector<int>{0, 1, 1, 1, 1, 1}));
}

// The real guard, with instructions that do and do not exist here.

namespace {
void Nothing() {}
void Ud2() {
    __asm__ volatile("ud2");
}
void ReadNull() {
    volatile int* volatile address = nullptr;
    (void)*address;
}
int faultsSeenByOwnHandler = 0;
void OwnHandler(int) {
    ++faultsSeenByOwnHandler;
}
} // namespace

TEST(TryInstruction, ReportsWhetherTheTrialFaulted) {
    EXPECT_TRUE(platform::TryInstruction(Nothing));
    EXPECT_TRUE(platform::TryInstruction(TrialXorps)); // SSE is part of x86-64
    EXPECT_FALSE(platform::TryInstruction(Ud2));
    EXPECT_FALSE(platform::TryInstruction(ReadNull));
    // The guard is as good after a fault as before it.
    EXPECT_FALSE(platform::TryInstruction(Ud2));
    EXPECT_TRUE(platform::TryInstruction(Nothing));
}

TEST(TryInstruction, PutsBackTheHandlersItFound) {
    std::signal(SIGILL, OwnHandler);
    EXPECT_FALSE(platform::TryInstruction(Ud2));
    EXPECT_EQ(faultsSeenByOwnHandler, 0);
    struct sigaction current;
    sigaction(SIGILL, nullptr, &current);
    EXPECT_EQ(current.sa_handler, OwnHandler);
    std::raise(SIGILL);
    EXPECT_EQ(faultsSeenByOwnHandler, 1);
}

// A second thread that catches its own SIGSEGV (by jumping back, as a
// runtime with guarded memory reads would) and faults while trials run here.
namespace {
std::atomic<int> faultsAsked{0}, faultsHandled{0};
std::atomic<bool> sawFaultInfo{true};
thread_local sigjmp_buf* volatile ownLanding = nullptr; // volatile: a handler reads it
void OwnSegvHandler(int, siginfo_t* info, void*) {
    if (!info || info->si_signo != SIGSEGV || info->si_code != SEGV_MAPERR) sawFaultInfo = false;
    if (ownLanding) siglongjmp(*ownLanding, 1);
}
void FaultAndLand() {
    sigjmp_buf landing;
    if (sigsetjmp(landing, 1) == 0) {
        ownLanding = &landing;
        ReadNull();
    }
    ownLanding = nullptr;
}
void FaultingNeighbour(int rounds) {
    for (int round = 1; round <= rounds; ++round) {
        while (faultsAsked.load() < round) {
        }
        FaultAndLand();
        faultsHandled.store(round);
    }
}
// A trial that lasts until the neighbour has faulted once more.
void WaitForTheNeighboursFault() {
    const int round = faultsAsked.load() + 1;
    faultsAsked.store(round);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (faultsHandled.load() < round && std::chrono::steady_clock::now() < limit) {
    }
}
} // namespace

TEST(TryInstruction, AnotherThreadsFaultGoesToItsOwnHandler) {
    struct sigaction own = {}, before = {};
    own.sa_sigaction = OwnSegvHandler;
    own.sa_flags = SA_SIGINFO;
    sigemptyset(&own.sa_mask);
    sigaction(SIGSEGV, &own, &before);

    constexpr int Rounds = 20;
    std::thread neighbour(FaultingNeighbour, Rounds);
    for (int round = 1; round <= Rounds; ++round) {
        EXPECT_TRUE(platform::TryInstruction(WaitForTheNeighboursFault));
        EXPECT_FALSE(platform::TryInstruction(ReadNull)); // the trial's own fault is still the guard's
    }
    neighbour.join();
    EXPECT_EQ(faultsHandled.load(), Rounds);
    EXPECT_TRUE(sawFaultInfo.load());
    struct sigaction after = {};
    sigaction(SIGSEGV, nullptr, &after);
    EXPECT_EQ(after.sa_sigaction, OwnSegvHandler);
    EXPECT_TRUE(after.sa_flags & SA_SIGINFO);
    sigaction(SIGSEGV, &before, nullptr);
}

TEST(TryInstruction, KeepsTheFloatingPointEnvironmentAcrossAFault) {
    // The kernel gives a signal handler fresh x87 and SSE control state; a
    // caught fault must not leave it behind.
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    const unsigned mxcsr = _mm_getcsr();
    EXPECT_FALSE(platform::TryInstruction(Ud2));
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    EXPECT_EQ(_mm_getcsr(), mxcsr);
    std::fesetround(FE_TONEAREST);
}

TEST(DetectCpuFeatures, FemmsFaultClears3DNowAndTheProcessLivesOn) {
    // This machine has no 3DNow!: tell the detection it has, and let the real
    // FEMMS trial fault.
    if (platform::TryInstruction(TrialFemms)) GTEST_SKIP() << "this processor executes FEMMS";
    SetCpuidSource([](std::uint32_t leaf) {
        TCpuidResult r = {0, 0, 0, 0};
        if (leaf == 1) r.Edx = Mmx | Fxsr | Sse | Sse2;
        if (leaf == 0x80000000u) r.Eax = 0x80000001u;
        if (leaf == 0x80000001u) r.Edx = Amd3DNow | Amd3DNowExt;
        return r;
    });
    DetectCpuFeatures();
    SetCpuidSource(nullptr);
    EXPECT_EQ(Has3DNow, 0);
    EXPECT_EQ(Has3DNowExt, 1); // reported and never tried
    // The trials that succeed keep their flags.
    EXPECT_EQ(HasMMX, 1);
    EXPECT_EQ(HasSSE, 1);
    EXPECT_EQ(HasSSE2, 1);
}

TEST(DetectCpuFeatures, AgreesWithThisProcessor) {
    DetectCpuFeatures();
    // Every x86-64 processor has MMX, SSE and SSE2, and the system enables them.
    EXPECT_EQ(HasMMX, 1);
    EXPECT_EQ(HasSSE, 1);
    EXPECT_EQ(HasSSE2, 1);
    // Whatever 3DNow! is reported survives only if FEMMS really runs.
    if (Has3DNow) {
        EXPECT_TRUE(platform::TryInstruction(TrialFemms));
    }
}
