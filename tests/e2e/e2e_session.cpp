#include "e2e_session.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point After(double seconds) {
  return Clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
}

// Fields of /proc/<pid>/stat after the command name: state, then ppid.
bool ReadStat(pid_t pid, char& state, pid_t& parent) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t close = text.rfind(')');
  if (close == std::string::npos) return false;
  std::istringstream rest(text.substr(close + 1));
  return static_cast<bool>(rest >> state >> parent);
}

}  // namespace

Session::Session(const RunSpec& spec, bool onTerminal) {
  int in[2], out[2], err[2];
  if (pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  // A program that stops reading must not take the test down with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  if (onTerminal) {
    struct winsize size {};
    size.ws_row = 24;
    size.ws_col = 80;
    if (openpty(&in[1], &in[0], nullptr, nullptr, &size) != 0) throw std::runtime_error("openpty failed");
    fcntl(in[0], F_SETFD, FD_CLOEXEC);
    fcntl(in[1], F_SETFD, FD_CLOEXEC);
    out[0] = fcntl(in[1], F_DUPFD_CLOEXEC, 0);
    out[1] = fcntl(in[0], F_DUPFD_CLOEXEC, 0);
  } else if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  Pid_ = Spawn(spec, in[0], out[1], err[1]);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  InFd = in[1];
  OutFd = out[0];
  ErrFd = err[0];
  fcntl(OutFd, F_SETFL, fcntl(OutFd, F_GETFL) | O_NONBLOCK);
  fcntl(ErrFd, F_SETFL, fcntl(ErrFd, F_GETFL) | O_NONBLOCK);
}

Session::~Session() {
  if (!Reaped && Pid_ > 0) {
    kill(-Pid_, SIGKILL);
    kill(Pid_, SIGKILL);
    while (waitpid(Pid_, &Status, 0) < 0 && errno == EINTR) {
    }
  }
  for (int fd : {InFd, OutFd, ErrFd})
    if (fd >= 0) close(fd);
}

void Session::Send(const std::string& line) { Type(line + "\n"); }

void Session::Type(const std::string& text) {
  std::size_t done = 0;
  while (done < text.size() && InFd >= 0) {
    ssize_t n = write(InFd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        Pump(10);
        continue;
      }
      return;  // the program has closed its input
    }
    done += static_cast<std::size_t>(n);
  }
}

bool Session::Pump(int waitMs) {
  struct pollfd fds[2];
  nfds_t n = 0;
  if (OutFd >= 0) fds[n++] = {OutFd, POLLIN, 0};
  if (ErrFd >= 0) fds[n++] = {ErrFd, POLLIN, 0};
  if (n == 0) return false;
  if (poll(fds, n, waitMs) <= 0) return true;
  char buf[65536];
  for (nfds_t i = 0; i < n; i++) {
    if (fds[i].revents == 0) continue;
    int& fd = fds[i].fd == OutFd ? OutFd : ErrFd;
    std::string& into = fds[i].fd == OutFd ? Out : Err;
    for (;;) {
      ssize_t got = read(fd, buf, sizeof buf);
      if (got > 0) {
        into.append(buf, static_cast<std::size_t>(got));
        continue;
      }
      if (got < 0 && (errno == EINTR)) continue;
      if (got == 0 || errno != EAGAIN) {
        close(fd);
        fd = -1;
      }
      break;
    }
  }
  return true;
}

bool Session::Until(const std::function<bool(const std::string&)>& done, double timeoutSeconds) {
  auto deadline = After(timeoutSeconds);
  for (;;) {
    if (done(Out)) return true;
    if (Clock::now() > deadline) return false;
    if (!Pump(50) && OutFd < 0) return done(Out);
  }
}

bool Session::WaitFor(const std::string& text, std::size_t from, double timeoutSeconds) {
  return Until([&](const std::string& out) { return out.find(text, from) != std::string::npos; }, timeoutSeconds);
}

int Session::Finish(double timeoutSeconds) {
  if (InFd >= 0) {
    close(InFd);
    InFd = -1;
  }
  auto deadline = After(timeoutSeconds);
  while (!Reaped) {
    pid_t got = waitpid(Pid_, &Status, WNOHANG);
    if (got == Pid_) {
      Reaped = true;
      break;
    }
    if (Clock::now() > deadline) {
      kill(-Pid_, SIGKILL);
      kill(Pid_, SIGKILL);
      while (waitpid(Pid_, &Status, 0) < 0 && errno == EINTR) {
      }
      Reaped = true;
      Pump(0);
      return -1;
    }
    Pump(20);
  }
  while (OutFd >= 0 || ErrFd >= 0)
    if (!Pump(200)) break;
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

std::vector<pid_t> ChildrenOf(pid_t pid) {
  std::vector<pid_t> found;
  DIR* dir = opendir("/proc");
  if (dir == nullptr) return found;
  while (struct dirent* entry = readdir(dir)) {
    char* end = nullptr;
    long candidate = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0') continue;
    char state = 0;
    pid_t parent = 0;
    if (ReadStat(static_cast<pid_t>(candidate), state, parent) && parent == pid)
      found.push_back(static_cast<pid_t>(candidate));
  }
  closedir(dir);
  return found;
}

int OpenDescriptors(pid_t pid) {
  DIR* dir = opendir(("/proc/" + std::to_string(pid) + "/fd").c_str());
  if (dir == nullptr) return -1;
  int count = 0;
  while (struct dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') count++;
  closedir(dir);
  return count;
}

bool Alive(pid_t pid) {
  char state = 0;
  pid_t parent = 0;
  return ReadStat(pid, state, parent) && state != 'Z' && state != 'X';
}

}  // namespace e2e
