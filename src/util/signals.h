// What happens when a signal would end the program, and Ctrl-C as a request
// that the waits and the learning loop take up at a safe point.
//
// The handlers use only async-signal-safe calls on data prepared beforehand:
// they remove the temporary files held at that moment, end the learning
// child (waking it first, should it be stopped), and then let the signal take
// its default course, so that the program still ends by that signal as it
// would have without them.
#pragma once

#include <signal.h>
#include <sys/types.h>

// Installs `handler` with an empty mask. Interrupted writes are restarted:
// a signal must not make a write to a shared standard output fail.
void InstallHandler(int sig, void (*handler)(int));
// The same for a handler that is told who sent the signal.
void InstallHandler(int sig, void (*handler)(int, siginfo_t*, void*));

// Temporary files to remove should the process end by a signal. Returns a
// slot for ReleaseTempFile, or -1 when all slots are taken (the file is then
// cleaned up only by its owner).
int HoldTempFile(const char* name);
void ReleaseTempFile(int slot);
// Removes every held file; async-signal-safe, for the learning child's own
// handler.
void RemoveHeldTempFiles();
// What the handlers do: removes the held files, ends the child to end, and
// ends the process by `sig` as the signal's default would. Async-signal-safe.
[[noreturn]] void EndBySignal(int sig);

// The learning child, to be ended with the program; -1 for none.
void SetChildToEnd(pid_t pid);

// Installs the handlers of the signals whose default would end the program
// (hang-up, Ctrl-C, quit, termination, broken pipe, alarms, the user signals,
// the CPU limit). Exceeding the file size limit does not end the program:
// the write fails and is reported instead. Call once, before any child is made.
void InstallSignalCleanup();

// In a child just forked: the parent's temporary files and child are not
// its own, and Ctrl-C is the parent's business.
void ForgetParentSignalState();

// Ctrl-C (SIGINT) while an object of this class exists is recorded and makes
// InterruptFd() readable; outside such a scope it ends the program as
// always. A second Ctrl-C within a second ends the program in any case. A
// Ctrl-C recorded before the scope began is dropped.
class TInterruptible {
 public:
  TInterruptible();
  ~TInterruptible();
  TInterruptible(const TInterruptible&) = delete;
  TInterruptible& operator=(const TInterruptible&) = delete;

 private:
  bool Outer;
};

// A descriptor that is readable while a Ctrl-C is recorded (it may also be
// readable without one); -1 before InstallSignalCleanup.
int InterruptFd();
// True, once, for each recorded Ctrl-C.
bool TakeInterrupt();
