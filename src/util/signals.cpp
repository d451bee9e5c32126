#include "signals.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

constexpr int TempSlots = 8;
char TempNames[TempSlots][PATH_MAX];
volatile sig_atomic_t TempUsed[TempSlots];
volatile sig_atomic_t Child = -1;

int InterruptPipe[2] = {-1, -1};
volatile sig_atomic_t Interruptible = 0;
volatile sig_atomic_t InterruptPending = 0;
// Only the Ctrl-C handler reads and writes these.
struct timespec LastInterrupt;
bool InterruptSeen = false;

const int EndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,   SIGPIPE, SIGALRM,
                             SIGUSR1, SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF};

extern "C" void OnEndingSignal(int sig) { EndBySignal(sig); }

extern "C" void OnInterrupt(int sig) {
  const int savedErrno = errno;
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  const bool again = InterruptSeen && (now.tv_sec - LastInterrupt.tv_sec) * 1000000000L +
                                              (now.tv_nsec - LastInterrupt.tv_nsec) < 1000000000L;
  LastInterrupt = now;
  InterruptSeen = true;
  if (again || Interruptible == 0) EndBySignal(sig);
  InterruptPending = 1;
  if (InterruptPipe[1] >= 0) {
    const char byte = 0;
    ssize_t ignored = write(InterruptPipe[1], &byte, 1);
    (void)ignored;
  }
  errno = savedErrno;
}

// A caught signal, unlike an ignored one, is not inherited by the programs
// that the shell escape and the pager run.
extern "C" void Ignore(int) {}

}  // namespace

void InstallHandler(int sig, void (*handler)(int)) {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(sig, &action, nullptr);
}

void InstallHandler(int sig, void (*handler)(int, siginfo_t*, void*)) {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_sigaction = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_SIGINFO;
  sigaction(sig, &action, nullptr);
}

void EndBySignal(int sig) {
  RemoveHeldTempFiles();
  const pid_t child = Child;
  if (child > 0) {
    kill(child, SIGTERM);
    kill(child, SIGCONT);
  }
  InstallHandler(sig, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  kill(getpid(), sig);
  _exit(128 + sig);
}

int HoldTempFile(const char* name) {
  if (std::strlen(name) >= PATH_MAX) return -1;
  for (int i = 0; i < TempSlots; i++) {
    if (TempUsed[i] != 0) continue;
    std::strcpy(TempNames[i], name);
    // The name is complete before a handler may see the slot in use.
    std::atomic_signal_fence(std::memory_order_seq_cst);
    TempUsed[i] = 1;
    return i;
  }
  return -1;
}

void ReleaseTempFile(int slot) {
  if (slot >= 0 && slot < TempSlots) TempUsed[slot] = 0;
}

void RemoveHeldTempFiles() {
  for (int i = 0; i < TempSlots; i++)
    if (TempUsed[i] != 0) unlink(TempNames[i]);
}

void SetChildToEnd(pid_t pid) { Child = pid > 0 ? pid : -1; }

void InstallSignalCleanup() {
  if (InterruptPipe[0] < 0 && pipe2(InterruptPipe, O_CLOEXEC | O_NONBLOCK) != 0) InterruptPipe[0] = InterruptPipe[1] = -1;
  for (int sig : EndingSignals) {
    // A signal ignored by whoever started the program stays ignored.
    struct sigaction current;
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    InstallHandler(sig, sig == SIGINT ? OnInterrupt : OnEndingSignal);
  }
  InstallHandler(SIGXFSZ, Ignore);
}

void ForgetParentSignalState() {
  for (int i = 0; i < TempSlots; i++) TempUsed[i] = 0;
  Child = -1;
  Interruptible = 0;
  InterruptPending = 0;
  InstallHandler(SIGINT, SIG_IGN);
}

TInterruptible::TInterruptible() : Outer(Interruptible == 0) {
  TakeInterrupt();
  Interruptible = 1;
}

TInterruptible::~TInterruptible() {
  if (Outer) Interruptible = 0;
}

int InterruptFd() { return InterruptPipe[0]; }

bool TakeInterrupt() {
  // Emptied first: a Ctrl-C that comes meanwhile leaves its byte, so that no
  // wait misses it.
  char bytes[64];
  if (InterruptPipe[0] >= 0)
    while (read(InterruptPipe[0], bytes, sizeof bytes) > 0) {
    }
  const bool pending = InterruptPending != 0;
  InterruptPending = 0;
  return pending;
}
