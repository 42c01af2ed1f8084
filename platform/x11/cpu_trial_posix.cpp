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
//
// The handlers are the process's, not the thread's: while a trial runs, a
// fault on another thread meets them too. Such a signal is not the trial's;
// it is handed on to the handler the trial found, as if the guard were not
// there. Trials on different threads take turns, so that each puts back what
// was there before it.
#include "platform/cpu_trial.h"

#include <cfenv>
#include <csetjmp>
#include <csignal>
#include <cstddef>
#include <mutex>

namespace platform {
namespace {

const int TrialSignals[] = {SIGILL, SIGSEGV, SIGBUS, SIGFPE};
constexpr std::size_t TrialSignalCount = sizeof TrialSignals / sizeof TrialSignals[0];

// The jump target of the trial running on this thread; null when none runs.
thread_local sigjmp_buf* activeTrial = nullptr;

// One trial at a time in the process; `previous` holds, while it runs, the
// handlers it replaced (by the index of the signal in TrialSignals).
std::mutex trialTurn;
struct sigaction previous[TrialSignalCount];

// Calls the handler the trial replaced, for a signal that is not the trial's.
void HandOn(int signal, siginfo_t* info, void* context) {
    std::size_t i = 0;
    while (i < TrialSignalCount && TrialSignals[i] != signal)
        ++i;
    if (i == TrialSignalCount) return;
    const struct sigaction& before = previous[i];
    if (before.sa_flags & SA_SIGINFO) {
        before.sa_sigaction(signal, info, context);
        return;
    }
    if (before.sa_handler == SIG_IGN && info->si_code <= 0) return; // sent, not a fault: ignored as before
    if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
        before.sa_handler(signal);
        return;
    }
    // The default action ends the process (a fault cannot be ignored). The
    // disposition this sets is the one the trial found anyway, so it may well
    // land after the trial has put that back. The signal is blocked here and
    // taken again on return, now with its default action.
    std::signal(signal, SIG_DFL);
    raise(signal);
}

void OnTrialFault(int signal, siginfo_t* info, void* context) {
    if (activeTrial) siglongjmp(*activeTrial, signal);
    HandOn(signal, info, context); // another thread's, while a trial ran here
}

} // namespace

bool TryInstruction(void (*trial)()) {
    std::lock_guard<std::mutex> turn(trialTurn);
    struct sigaction guard = {};
    guard.sa_sigaction = OnTrialFault;
    guard.sa_flags = SA_SIGINFO;
    sigemptyset(&guard.sa_mask);
    for (std::size_t i = 0; i < TrialSignalCount; ++i) {
        sigaction(TrialSignals[i], nullptr, &previous[i]);
        sigaction(TrialSignals[i], &guard, nullptr);
    }

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
