// Background learning: a forked child learns while the parent keeps the
// command loop; the child's report (status line, then the network in its
// text form) comes back through a pipe.
//
// Protocol. The child sends SIGUSR2 as soon as its learning loop has ended
// (before its final results), then writes the report and closes its end of
// the pipe; the end of the pipe is the end of the report. The parent reads
// the pipe whenever it has data, also while the command loop waits for a
// line, so a report of any size flows while it is written. A child that
// dies without reporting closes the pipe too and is recognised by a report
// that does not end with the network's end line. The signal lets a command
// typed right after the child's final results wait for the report instead
// of meeting the learning gate. SIGTERM ends the child at once.
//
// A report is asked for through a word of memory shared by the two
// processes, which the child looks at between epochs only: the parent sets
// it, and may take it back (a 'stop' cancelled) until the child has taken
// it up. SIGUSR1 sets it too, for whoever else wants a report.
//
// The signal handlers only record; all stream work happens in the loops.
#include "app_background.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <iostream>
#include <sstream>

#include "app.h"
#include "korvalin.h"
#include "outfile.h"
#include "signals.h"

namespace {

// The report request, in memory shared with the child.
enum : int { NoRequest, ReportWanted, Reporting };
static_assert(std::atomic<int>::is_always_lock_free, "the request is used across processes and in handlers");
std::atomic<int>* Request = nullptr;

// The shared word, made once; null when it cannot be made.
std::atomic<int>* SharedRequest() {
  if (Request == nullptr) {
    void* page = mmap(nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page != MAP_FAILED) Request = new (page) std::atomic<int>(NoRequest);
  }
  return Request;
}

// Parent: the child's learning loop has ended and its report follows.
volatile sig_atomic_t ReportAnnouncedSeen = 0;

// Child: the process that forked it, told from whoever adopts an orphan.
pid_t ParentPid = -1;
bool ReportAnnounced = false;

extern "C" void RequestReport(int) {
  int none = NoRequest;
  Request->compare_exchange_strong(none, ReportWanted);
}
extern "C" void NoteReportAnnounced(int) { ReportAnnouncedSeen = 1; }
// The child flushes what it writes at the end of every epoch, so there is
// nothing to do but remove its unfinished error curve and leave; _exit is
// safe in a handler and skips the parent's clean-up, which the child has
// copies of but no business running.
extern "C" void CleanUpChild(int) {
  RemoveHeldTempFiles();
  _exit(0);
}

sigset_t Signals(std::initializer_list<int> sigs) {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : sigs) sigaddset(&set, sig);
  return set;
}

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// The child's stream on its end of the pipe; owns the descriptor.
struct TPipeBufHolder {
  TFdOutBuf Buf;
};
class TPipeOut : private TPipeBufHolder, public std::ostream {
 public:
  explicit TPipeOut(int fd) : std::ostream(&Buf), Fd(fd) { Buf.Attach(fd); }
  ~TPipeOut() override {
    flush();
    close(Fd);
  }

 private:
  int Fd;
};

// Waits for `pid` to end, asking firmly when a polite SIGTERM does not help
// within a few seconds (a stopped child, for one). Returns the wait status,
// or -1 when the child cannot be waited for.
int ReapChild(pid_t pid) {
  int status = 0;
  for (int tries = 0; tries < 4000; tries++) {
    pid_t got = waitpid(pid, &status, WNOHANG);
    if (got == pid) return status;
    if (got < 0 && errno != EINTR) return -1;
    struct timespec pause = {0, tries < 100 ? 100000L : 1000000L};
    nanosleep(&pause, nullptr);
  }
  kill(pid, SIGKILL);
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return status;
}

std::string DescribeEnd(int status) {
  std::ostringstream text;
  if (status == -1)
    text << "its end is unknown";
  else if (WIFSIGNALED(status))
    text << "killed by signal " << WTERMSIG(status) << " (" << strsignal(WTERMSIG(status)) << ")";
  else if (WIFEXITED(status))
    text << "exit status " << WEXITSTATUS(status);
  else
    text << "wait status " << status;
  return text.str();
}

// True when the text ends with the network's end line: the writer's last
// line, so a report cut short anywhere lacks it.
bool EndsWithNetEnd(const std::string& text) {
  std::size_t end = text.find_last_not_of(" \t\r\n");
  if (end == std::string::npos) return false;
  std::size_t begin = text.find_last_of('\n', end);
  begin = begin == std::string::npos ? 0 : begin + 1;
  std::string last = text.substr(begin, end + 1 - begin);
  StrTrim(last);
  return last == kwEndNet;
}

enum TDrain { ReportOpen, ReportClosed };

// Appends whatever the pipe holds now to `report` without waiting.
TDrain Drain(int fd, std::string& report) {
  char chunk[1 << 16];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got > 0) {
      report.append(chunk, static_cast<std::size_t>(got));
      continue;
    }
    if (got == 0) return ReportClosed;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return ReportOpen;
    return ReportClosed;
  }
}

void WaitForClose(int fd, std::string& report) {
  while (Drain(fd, report) == ReportOpen) {
    struct pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, -1) < 0 && errno != EINTR) return;
  }
}

// The child's end: writes the report and closes the pipe, so that the
// parent sees where it ends.
void WriteNetToPipe(TApplication& app) {
  AnnounceReport();
  std::ostream& out = *app.PipeOut;
  out << app.Epoch << '\t' << app.Misclassified << '\t' << static_cast<double>(app.TotalError) << '\n';
  WriteNet(out, *app.Net);
  out.flush();
  app.PipeOut.reset();
  app.Pipe[1] = -1;
}

[[noreturn]] void RunChild(TApplication& app, const sigset_t& formerMask) {
  app.ChildPid = 0;
  ReportAnnounced = false;
  ForgetParentSignalState();
  CloseFd(app.Pipe[0]);
  app.PipeOut.reset(new TPipeOut(app.Pipe[1]));
  InstallHandler(SIGUSR1, RequestReport);
  InstallHandler(SIGTERM, CleanUpChild);
  InstallHandler(SIGHUP, CleanUpChild);
  // A mask inherited from whoever started the program must not hold back
  // the parent's requests.
  sigset_t mask = formerMask;
  sigdelset(&mask, SIGUSR1);
  sigdelset(&mask, SIGTERM);
  sigprocmask(SIG_SETMASK, &mask, nullptr);

  app.Learning();
  WriteNetToPipe(app);
  TCmdApplication::FlushOutput();
  // The parent answers with SIGTERM; should it be gone, nobody will.
  while (getppid() == ParentPid) {
    struct timespec pause = {0, 200000000L};
    nanosleep(&pause, nullptr);
  }
  _exit(0);
}

// Parent: ends the child and closes the parent's side.
int EndChild(TApplication& app) {
  int status = -1;
  if (app.ChildPid > 0) {
    // A stopped child must be woken to end.
    kill(app.ChildPid, SIGTERM);
    kill(app.ChildPid, SIGCONT);
    status = ReapChild(app.ChildPid);
  }
  app.ChildPid = -1;
  SetChildToEnd(-1);
  CloseFd(app.Pipe[0]);
  CloseFd(app.Pipe[1]);
  app.PipeIn.reset();
  std::string().swap(app.ReportText);
  return status;
}

// Parent, once the child has closed the pipe: takes the report in and ends
// the child. True when the network and status were replaced.
Boolean ReadNetFromPipe(TApplication& app) {
  if (!EndsWithNetEnd(app.ReportText)) {
    const bool partly = !app.ReportText.empty();
    const int status = EndChild(app);
    app.ShowMsg(std::string(" The learning process ended ") +
                    (partly ? "before its report was complete" : "without a report") + " (" + DescribeEnd(status) +
                    ").\n The net is unchanged.",
                Error);
    return False;
  }
  app.PipeIn.reset(new std::istringstream(std::move(app.ReportText)));
  app.ReportText.clear();
  Boolean taken = app.UpdateNetAndStatus();
  app.KillChild();
  return taken;
}

}  // namespace

void HoldReportRequests() {
  sigset_t set = Signals({SIGUSR1});
  sigprocmask(SIG_BLOCK, &set, nullptr);
}

bool ReportRequested() {
  if (getppid() != ParentPid) _exit(0);
  // A request held back during the epoch is served as the mask opens.
  sigset_t set = Signals({SIGUSR1});
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  // Taken up, the request can no longer be taken back.
  int wanted = ReportWanted;
  return Request->compare_exchange_strong(wanted, Reporting) || wanted == Reporting;
}

void AnnounceReport() {
  if (ReportAnnounced) return;
  ReportAnnounced = true;
  kill(ParentPid, SIGUSR2);
}

void TApplication::BackgroundLearning() {
  int fds[2];
  if (SharedRequest() == nullptr || pipe2(fds, O_CLOEXEC) != 0) {
    ShowMsg("Can't open pipe for background execution.\n Starting learning process in foreground...", Error);
    Learning();
    return;
  }
  // Whatever waits in a buffer now would be written by both processes.
  FlushOutput();
  // Neither side may meet a signal before its handler is in place.
  const sigset_t held = Signals({SIGUSR1, SIGUSR2, SIGTERM});
  sigset_t formerMask;
  sigprocmask(SIG_BLOCK, &held, &formerMask);
  InstallHandler(SIGUSR2, NoteReportAnnounced);
  ReportAnnouncedSeen = 0;
  Request->store(NoRequest);
  ParentPid = getpid();

  const pid_t pid = fork();
  if (pid == 0) {
    Pipe[0] = fds[0];
    Pipe[1] = fds[1];
    RunChild(*this, formerMask);
  }
  if (pid < 0) {
    const int err = errno;
    close(fds[0]);
    close(fds[1]);
    sigprocmask(SIG_SETMASK, &formerMask, nullptr);
    ShowMsg(std::string("Can't create the learning process (") + std::strerror(err) +
                ").\n Starting learning process in foreground...",
            Error);
    Learning();
    return;
  }
  ChildPid = pid;
  SetChildToEnd(pid);
  Pipe[0] = fds[0];
  Pipe[1] = -1;
  close(fds[1]);
  fcntl(Pipe[0], F_SETFL, fcntl(Pipe[0], F_GETFL) | O_NONBLOCK);
  ReportText.clear();
  sigset_t mask = formerMask;
  sigdelset(&mask, SIGUSR2);
  sigprocmask(SIG_SETMASK, &mask, nullptr);
}

int TApplication::BackgroundFd() const { return ChildPid > 0 ? Pipe[0] : -1; }

void TApplication::BackgroundReady() {
  if (ChildPid <= 0 || Pipe[0] < 0) return;
  if (Drain(Pipe[0], ReportText) == ReportClosed) {
    ReadNetFromPipe(*this);
    FlushOutput();
  }
}

void TApplication::CollectReport() {
  if (ChildPid <= 0 || Pipe[0] < 0) return;
  if (Drain(Pipe[0], ReportText) == ReportOpen) {
    if (!ReportAnnouncedSeen && ReportText.empty()) return;
    WaitForClose(Pipe[0], ReportText);
  }
  ReadNetFromPipe(*this);
}

Boolean TApplication::StopChild() {
  int none = NoRequest;
  Request->compare_exchange_strong(none, ReportWanted);
  // A stopped child would never come to the end of its epoch.
  kill(ChildPid, SIGCONT);
  const TInterruptible cancellable;
  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  bool told = false;
  while (Drain(Pipe[0], ReportText) == ReportOpen) {
    int wait = -1;
    if (!told) {
      struct timespec now;
      clock_gettime(CLOCK_MONOTONIC, &now);
      const long waited = (now.tv_sec - start.tv_sec) * 1000L + (now.tv_nsec - start.tv_nsec) / 1000000L;
      wait = waited < 1000 ? static_cast<int>(1000 - waited) : 0;
    }
    struct pollfd fds[2] = {{Pipe[0], POLLIN, 0}, {InterruptFd(), POLLIN, 0}};
    const int ready = poll(fds, 2, wait);
    if (ready < 0 && errno != EINTR) break;
    if (ready == 0) {
      told = true;
      ShowMsg(" Waiting for the current epoch to end...\n Ctrl-C lets the learning process go on.", Information);
      FlushOutput();
    }
    if (ready > 0 && fds[1].revents != 0 && TakeInterrupt()) {
      // Taken back unless the child has taken it up already: then its report is on its way.
      int wanted = ReportWanted;
      if (Request->compare_exchange_strong(wanted, NoRequest)) {
        ShowMsg(" 'stop' cancelled. The learning process goes on.", Information);
        return False;
      }
    }
  }
  WaitForClose(Pipe[0], ReportText);
  return ReadNetFromPipe(*this);
}

Boolean TApplication::UpdateNetAndStatus() {
  std::istream& in = *PipeIn;
  std::string line;
  int epoch = 0;
  int misclassified = 0;
  float error = 0.0f;
  bool statusRead = false;
  if (GetLineCut(in, line, 200)) {
    // strtof, unlike stream input, reads back the "inf" and "nan" that a
    // diverging run may have written.
    const char* p = line.c_str();
    char* end = nullptr;
    long e = std::strtol(p, &end, 10);
    if (end != p && e >= 0 && e <= std::numeric_limits<int>::max()) {
      p = end;
      long m = std::strtol(p, &end, 10);
      if (end != p && m >= 0 && m <= std::numeric_limits<int>::max()) {
        p = end;
        error = std::strtof(p, &end);
        if (end != p) {
          epoch = static_cast<int>(e);
          misclassified = static_cast<int>(m);
          statusRead = true;
        }
      }
    }
  }
  if (!statusRead) {
    ShowMsg(" The learning process sent an unreadable status line.\n The net is unchanged.", Error);
    return False;
  }

  TLoadStatus status = LoadOk;
  std::ostringstream messages;
  std::unique_ptr<TFuzzyPerceptron> net = ReadNet(in, status, messages);
  if (!net) {
    std::ostringstream msg;
    msg << " The network sent by the learning process cannot be read.\n The net is unchanged.\n"
        << messages.str();
    PrintMsg(msg, Error);
    return False;
  }
  if (status != LoadOk) PrintMsg(messages, Error);
  Net = std::move(net);
  Epoch = epoch;
  Misclassified = misclassified;
  TotalError = error;
  if (PipeMode) {
    PrintLearningStatus(std::cout, "[Learning status]", True);
    std::cout.flush();
  }
  return True;
}

void TApplication::KillChild() { EndChild(*this); }
