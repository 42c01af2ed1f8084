// Instruction trials on Linux: the fault arrives as a signal, whose handler
// jumps back into TryInstruction with siglongjmp.
//
// The handlers are installed for the length of one trial only and the
// previous ones are put back afterwards, so the program's (or a test
// framework's) own handling of these signals is untouched. sigsetjmp saves
// the signal mask, so the signal being handled is unblocked again when the
// jump lands. The floating-point environment needs the same care: the kernel
// starts a signal handler with a fresh x87 control word and MXCSR and would
// restore the caller's only on a normal return from the handler, which the
// jump bypasses; so it is saved before the trial and put back after a fault.
#include "platform/cpu_trial.h"

#include <cfenv>
#include <csetjmp>
#include <csignal>
#include <cstddef>

namespace platform {
namespace {

const int TrialSignals[] = {SIGILL, SIGSEGV, SIGBUS, SIGFPE};
constexpr std::size_t TrialSignalCount = sizeof TrialSignals / sizeof TrialSignals[0];

// The jump target of the trial running on this thread; null when none runs.
thread_local sigjmp_buf* activeTrial = nullptr;

void OnTrialFault(int signal) {
    if (activeTrial) siglongjmp(*activeTrial, signal);
    // The fault came from another thread while a trial ran here: it is not
    // ours to catch. With the default action back, returning re-executes the
    // faulting instruction and the process ends as it would have anyway.
    std::signal(signal, SIG_DFL);
}

} // namespace

bool TryInstruction(void (*trial)()) {
    struct sigaction guard = {};
    guard.sa_handler = OnTrialFault;
    sigemptyset(&guard.sa_mask);
    struct sigaction previous[TrialSignalCount];
    for (std::size_t i = 0; i < TrialSignalCount; ++i)
        sigaction(TrialSignals[i], &guard, &previous[i]);

    std::fenv_t environment;
    std::fegetenv(&environment);

    sigjmp_buf landing;
    volatile bool completed = false;
    if (sigsetjmp(landing, 1) == 0) {
        activeTrial = &landing;
        trial();
        completed = true;
    }
    activeTrial = nullptr;
    if (!completed) std::fesetenv(&environment);

    for (std::size_t i = 0; i < TrialSignalCount; ++i)
        sigaction(TrialSignals[i], &previous[i], nullptr);
    return completed;
}

} // namespace platform
