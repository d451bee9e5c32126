// Protocol. The child sends SIGUSR2 as soon as its learning loop has ended
// (before its final results), then writes the report and closes its end of
// the pipe; the end of the pipe is the end of the report. The report is a
// status line, the names of the file it carries (target, final file and
// temporary file, each ended by a NUL, which no name holds; all empty for
// none), and the network. The parent reads
// the pipe whenever it has data, also while the command loop waits for a
// line, so a report of any size flows while it is written. A child that
// dies without reporting closes the pipe too and is recognised by a report
// that does not end with the network's end line. The signal lets a command
// typed right after the child's final results wait for the report instead
// of meeting the learning gate. SIGTERM ends the child at once.
//
// A report is asked for through the shared request word: the parent sets
// it, and may take it back (a 'stop' cancelled) until the child has taken
// it up.
//
// The signal handlers only record; all stream work happens in the loops.
#include "background.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <sstream>

#include "signals.h"

static_assert(std::atomic<int>::is_always_lock_free, "the request is used across processes and in handlers");
std::atomic<int>* TBackgroundLearning::Request = nullptr;
volatile sig_atomic_t TBackgroundLearning::AnnouncementSeen = 0;
pid_t TBackgroundLearning::Parent = -1;
const char* volatile TBackgroundLearning::CarriedTemp = nullptr;

void TBackgroundLearning::OnReportRequest(int) {
  int none = NoRequest;
  Request->compare_exchange_strong(none, ReportWanted);
}

void TBackgroundLearning::OnAnnouncement(int) { AnnouncementSeen = 1; }

// The child flushes what it writes at the end of every epoch, so there is
// nothing to do but remove its unfinished error curve and leave: with
// status 0 when the parent ends it (or it ends itself, without `info`),
// _exit being safe in a handler and skipping the parent's clean-up, which
// the child has copies of but no business running. A curve handed over
// goes too: the parent has put it in place (it is gone then) or dropped the
// report. Ended by anyone else, the child ends by that signal, which the
// parent then reports, and the parent sees to a curve handed over.
void TBackgroundLearning::OnEnd(int sig, siginfo_t* info, void*) {
  if (info != nullptr && (info->si_code != SI_USER || info->si_pid != Parent)) EndBySignal(sig);
  RemoveHeldTempFiles();
  if (const char* temp = CarriedTemp) unlink(temp);
  _exit(0);
}

namespace {

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

// The status line: epoch, misclassified patterns and error. strtof, unlike
// stream input, reads back the "inf" and "nan" that a diverging run may
// have written.
bool ReadStatus(const std::string& line, TLearningStatus& status) {
  const char* p = line.c_str();
  char* end = nullptr;
  long e = std::strtol(p, &end, 10);
  if (end == p || e < 0 || e > std::numeric_limits<int>::max()) return false;
  p = end;
  long m = std::strtol(p, &end, 10);
  if (end == p || m < 0 || m > std::numeric_limits<int>::max()) return false;
  p = end;
  const float error = std::strtof(p, &end);
  if (end == p) return false;
  status.Epoch = static_cast<int>(e);
  status.Misclassified = static_cast<int>(m);
  status.TotalError = error;
  return true;
}

// The status line and the names of the file carried after it; false when
// either is unreadable or cut short.
bool ReadHead(std::istream& in, TLearningStatus& status, TFinishedFile& carried) {
  std::string line;
  if (!GetLineCut(in, line, 200) || !ReadStatus(line, status)) return false;
  for (std::string* name : {&carried.Target, &carried.Final, &carried.Temp})
    if (!std::getline(in, *name, '\0') || in.eof()) return false;
  return true;
}

}  // namespace

TBackgroundLearning::TBackgroundLearning(TCmdApplication& shell, std::function<void(TChildReport&)> take)
    : Shell(shell), TakeReport(std::move(take)) {}

// Inside the child Child is 0: only the parent has a child to end.
TBackgroundLearning::~TBackgroundLearning() { Abort(); }

bool TBackgroundLearning::Start(const std::function<void()>& learn) {
  if (Request == nullptr) {
    void* page = mmap(nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page != MAP_FAILED) Request = new (page) std::atomic<int>(NoRequest);
  }
  int fds[2];
  if (Request == nullptr || pipe2(fds, O_CLOEXEC) != 0) {
    Shell.ShowMsg("Can't open pipe for background execution.\n Starting learning process in foreground...", Error);
    return false;
  }
  // Whatever waits in a buffer now would be written by both processes.
  TCmdApplication::FlushOutput();
  // Neither side may meet a signal before its handler is in place.
  const sigset_t held = Signals({SIGUSR1, SIGUSR2, SIGTERM});
  sigset_t formerMask;
  sigprocmask(SIG_BLOCK, &held, &formerMask);
  InstallHandler(SIGUSR2, OnAnnouncement);
  AnnouncementSeen = 0;
  Request->store(NoRequest);
  Parent = getpid();

  const pid_t pid = fork();
  if (pid == 0) {
    Child = 0;
    Announced = false;
    CarriedTemp = nullptr;
    Carried = TFinishedFile();
    ForgetParentSignalState();
    close(fds[0]);
    WriteFd = fds[1];
    InstallHandler(SIGUSR1, OnReportRequest);
    InstallHandler(SIGTERM, OnEnd);
    InstallHandler(SIGHUP, OnEnd);
    // A mask inherited from whoever started the program must not hold back
    // the parent's requests.
    sigset_t mask = formerMask;
    sigdelset(&mask, SIGUSR1);
    sigdelset(&mask, SIGTERM);
    sigprocmask(SIG_SETMASK, &mask, nullptr);
    RunChild(learn);
  }
  if (pid < 0) {
    const int err = errno;
    close(fds[0]);
    close(fds[1]);
    sigprocmask(SIG_SETMASK, &formerMask, nullptr);
    Shell.ShowMsg(std::string("Can't create the learning process (") + std::strerror(err) +
                      ").\n Starting learning process in foreground...",
                  Error);
    return false;
  }
  Child = pid;
  SetChildToEnd(pid);
  ReadFd = fds[0];
  close(fds[1]);
  fcntl(ReadFd, F_SETFL, fcntl(ReadFd, F_GETFL) | O_NONBLOCK);
  Arrived.clear();
  sigset_t mask = formerMask;
  sigdelset(&mask, SIGUSR2);
  sigprocmask(SIG_SETMASK, &mask, nullptr);
  return true;
}

void TBackgroundLearning::RunChild(const std::function<void()>& learn) {
  // A failure must not unwind into the command loop the child was forked
  // from: the child ends without a report, which the parent tells.
  try {
    learn();
  } catch (const std::bad_alloc&) {
    OutOfMemory();
    _exit(1);
  } catch (const std::exception& failure) {
    Shell.ShowMsg(failure.what(), Error);
    TCmdApplication::FlushOutput();
    _exit(1);
  }
  TCmdApplication::FlushOutput();
  // The parent answers with SIGTERM; should it be gone, nobody will.
  while (getppid() == Parent) {
    struct timespec pause = {0, 200000000L};
    nanosleep(&pause, nullptr);
  }
  OnEnd(SIGTERM, nullptr, nullptr);
}

void TBackgroundLearning::HoldReports() {
  sigset_t set = Signals({SIGUSR1});
  sigprocmask(SIG_BLOCK, &set, nullptr);
}

bool TBackgroundLearning::ReportRequested() {
  // An orphan ends as if told to: nobody will take its report or its curve.
  if (getppid() != Parent) OnEnd(SIGTERM, nullptr, nullptr);
  // A request held back during the epoch is served as the mask opens.
  sigset_t set = Signals({SIGUSR1});
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  // Taken up, the request can no longer be taken back.
  int wanted = ReportWanted;
  return Request->compare_exchange_strong(wanted, Reporting) || wanted == Reporting;
}

void TBackgroundLearning::Announce() {
  if (Announced) return;
  Announced = true;
  kill(Parent, SIGUSR2);
}

void TBackgroundLearning::HandOver(const TFinishedFile& file) {
  CarriedTemp = nullptr;
  Carried = file;
  // The name is complete before a handler may see it.
  std::atomic_signal_fence(std::memory_order_seq_cst);
  if (!Carried.Temp.empty()) CarriedTemp = Carried.Temp.c_str();
}

void TBackgroundLearning::Report(const TLearningStatus& status, const TFuzzyPerceptron& net) {
  Announce();
  if (WriteFd < 0) return;
  TPipeOut out(WriteFd);
  WriteFd = -1;
  out << status.Epoch << '\t' << status.Misclassified << '\t' << static_cast<double>(status.TotalError) << '\n';
  for (const std::string* name : {&Carried.Target, &Carried.Final, &Carried.Temp}) out << *name << '\0';
  WriteNet(out, net);
}

TBackgroundLearning::TArrival TBackgroundLearning::Drain() {
  char chunk[1 << 16];
  for (;;) {
    ssize_t got = read(ReadFd, chunk, sizeof chunk);
    if (got > 0) {
      Arrived.append(chunk, static_cast<std::size_t>(got));
      continue;
    }
    if (got == 0) return ReportClosed;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return ReportOpen;
    return ReportClosed;
  }
}

void TBackgroundLearning::WaitForClose() {
  while (Drain() == ReportOpen) {
    struct pollfd p = {ReadFd, POLLIN, 0};
    if (poll(&p, 1, -1) < 0 && errno != EINTR) return;
  }
}

int TBackgroundLearning::Descriptor() const { return Child > 0 ? ReadFd : -1; }

void TBackgroundLearning::Serve() {
  if (Child <= 0 || ReadFd < 0) return;
  if (Drain() == ReportClosed) {
    TakeArrived();
    TCmdApplication::FlushOutput();
  }
}

void TBackgroundLearning::Collect() {
  if (Child <= 0 || ReadFd < 0) return;
  if (Drain() == ReportOpen) {
    if (!AnnouncementSeen && Arrived.empty()) return;
    WaitForClose();
  }
  TakeArrived();
}

bool TBackgroundLearning::Stop() {
  if (Child <= 0 || ReadFd < 0) return false;
  int none = NoRequest;
  Request->compare_exchange_strong(none, ReportWanted);
  // A stopped child would never come to the end of its epoch.
  kill(Child, SIGCONT);
  const TInterruptible cancellable;
  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  bool told = false;
  while (Drain() == ReportOpen) {
    int wait = -1;
    if (!told) {
      struct timespec now;
      clock_gettime(CLOCK_MONOTONIC, &now);
      const long waited = (now.tv_sec - start.tv_sec) * 1000L + (now.tv_nsec - start.tv_nsec) / 1000000L;
      wait = waited < 1000 ? static_cast<int>(1000 - waited) : 0;
    }
    struct pollfd fds[2] = {{ReadFd, POLLIN, 0}, {InterruptFd(), POLLIN, 0}};
    const int ready = poll(fds, 2, wait);
    if (ready < 0 && errno != EINTR) break;
    if (ready == 0) {
      told = true;
      Shell.ShowMsg(" Waiting for the current epoch to end...\n Ctrl-C lets the learning process go on.",
                    Information);
      TCmdApplication::FlushOutput();
    }
    if (ready > 0 && fds[1].revents != 0 && TakeInterrupt()) {
      // Taken back unless the child has taken it up already: then its report is on its way.
      int wanted = ReportWanted;
      if (Request->compare_exchange_strong(wanted, NoRequest)) {
        Shell.ShowMsg(" 'stop' cancelled. The learning process goes on.", Information);
        return false;
      }
    }
  }
  WaitForClose();
  return TakeArrived();
}

void TBackgroundLearning::Abort() {
  if (Child > 0) EndChild();
}

bool TBackgroundLearning::TakeArrived() {
  if (!EndsWithNetEnd(Arrived)) {
    // The file carried goes with the report.
    std::istringstream head(Arrived);
    TLearningStatus ignored;
    TFinishedFile carried;
    if (ReadHead(head, ignored, carried) && !carried.Temp.empty()) unlink(carried.Temp.c_str());
    const bool partly = !Arrived.empty();
    const int status = EndChild();
    Shell.ShowMsg(std::string(" The learning process ended ") +
                      (partly ? "before its report was complete" : "without a report") + " (" + DescribeEnd(status) +
                      ").\n The net is unchanged.",
                  Error);
    return false;
  }
  std::istringstream report(std::move(Arrived));
  Arrived.clear();
  const bool taken = Take(report);
  EndChild();
  return taken;
}

int TBackgroundLearning::EndChild() {
  int status = -1;
  if (Child > 0) {
    // A stopped child must be woken to end.
    kill(Child, SIGTERM);
    kill(Child, SIGCONT);
    status = ReapChild(Child);
  }
  Child = -1;
  SetChildToEnd(-1);
  CloseFd(ReadFd);
  std::string().swap(Arrived);
  return status;
}

bool TBackgroundLearning::Take(std::istream& in) {
  TChildReport report;
  TFinishedFile carried;
  TOutputFile file;  // removed unless the report is taken
  if (!ReadHead(in, report.Status, carried)) {
    Shell.ShowMsg(" The learning process sent an unreadable status line.\n The net is unchanged.", Error);
    return false;
  }
  if (!carried.Temp.empty()) file.Adopt(carried);
  TLoadStatus status = LoadOk;
  std::ostringstream messages;
  report.Net = ReadNet(in, status, messages);
  if (!report.Net) {
    std::ostringstream msg;
    msg << " The network sent by the learning process cannot be read.\n The net is unchanged.\n"
        << messages.str();
    Shell.PrintMsg(msg, Error);
    return false;
  }
  if (status != LoadOk) Shell.PrintMsg(messages, Error);
  // In place before `take` announces the network it belongs to.
  if (!carried.Temp.empty() && !file.Commit()) Shell.ShowMsg(file.ErrorMsg(WriteError), Error);
  TakeReport(report);
  return true;
}
