// Instruction trials on Windows: the fault arrives as a structured exception,
// which a vectored exception handler turns into a resumption inside
// TryInstruction.
//
// How the resumption works: just before the trial, TryInstruction records
// its own processor state with RtlCaptureContext, a snapshot that resumes
// right after that call. When the trial faults, the handler copies that
// snapshot into the exception's context record and answers
// EXCEPTION_CONTINUE_EXECUTION; the system then continues the thread from
// the snapshot, which finds the fault flag set and returns false. This is
// the documented way for a handler to redirect a thread (the system itself
// loads the new context), unlike longjmp out of a handler, which would leave
// the system's exception dispatch frames abandoned on the stack. It is
// setjmp-like in one respect: TryInstruction keeps nothing in local variables
// that it changes between the snapshot and the trial.
//
// The handler is registered for the length of one trial only, and acts only
// on error-class exceptions (illegal or privileged instruction, access
// violation, arithmetic faults) raised on the trial's own thread; everything
// else is passed on to the handlers after it.
#include "platform/cpu_trial.h"

#include "platform/win32/windows_clean.h"

namespace platform {
namespace {

// Set while a trial runs: the thread running it and where it resumes after a
// fault. The program runs its trials on the main thread only; other threads
// (the sound system's) never enter TryInstruction.
CONTEXT* resumeContext = nullptr;
DWORD trialThread = 0;
volatile LONG trialFaulted = 0;

// Error severity: both top bits of the status code set (0xC...).
constexpr DWORD ErrorSeverity = 0xC0000000u;

LONG CALLBACK OnTrialException(EXCEPTION_POINTERS* info) {
    if (resumeContext == nullptr || GetCurrentThreadId() != trialThread) return EXCEPTION_CONTINUE_SEARCH;
    if ((info->ExceptionRecord->ExceptionCode & ErrorSeverity) != ErrorSeverity)
        return EXCEPTION_CONTINUE_SEARCH;
    trialFaulted = 1;
    *info->ContextRecord = *resumeContext;
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace

bool TryInstruction(void (*trial)()) {
    // Without the guard the trial cannot be run safely: count it as failed.
    PVOID handler = AddVectoredExceptionHandler(1, OnTrialException);
    if (handler == nullptr) return false;

    CONTEXT resume; // 16-byte aligned by its declaration
    trialFaulted = 0;
    trialThread = GetCurrentThreadId();
    resumeContext = &resume;
    RtlCaptureContext(&resume);
    // A faulting trial comes back here, with the registers of the snapshot.
    if (trialFaulted == 0) trial();
    const bool completed = trialFaulted == 0;

    resumeContext = nullptr;
    RemoveVectoredExceptionHandler(handler);
    return completed;
}

} // namespace platform
