// Running a single instruction on trial.
//
// Whether the processor really executes an instruction set (and whether the
// operating system has enabled its state) is found out by executing one of
// its instructions and seeing whether that faults. TryInstruction runs such a
// trial under a guard: an illegal instruction, a protection fault, a bus
// error or an arithmetic fault raised inside it is caught, the trial is
// abandoned at the faulting instruction, and the caller carries on.
//
// Linux catches the fault with signal handlers (SIGILL, SIGSEGV, SIGBUS,
// SIGFPE) installed only for the trial, Windows with a vectored exception
// handler registered only for the trial. Either way the process's own
// handlers are as before once TryInstruction returns, and a fault on another
// thread while a trial runs reaches them as if there were no trial.
#pragma once

namespace platform {

// Calls `trial` on the calling thread. True if it returned normally, false if
// it raised a processor exception (and was abandoned there). A trial must be
// a small leaf routine that owns no resources and throws nothing: when it
// faults, its frame is dropped without unwinding. Not reentrant: a trial must
// not itself call TryInstruction.
bool TryInstruction(void (*trial)());

} // namespace platform
