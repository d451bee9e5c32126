#include "e2e_util.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

// Everything the child needs, prepared before fork so the child only execs.
struct ExecPlan {
  std::string program;
  std::vector<std::string> argvStore;
  std::vector<char*> argv;
  std::vector<std::string> envStore;
  std::vector<char*> envp;
  std::string cwd;

  ExecPlan(const RunSpec& spec, const std::map<std::string, std::optional<std::string>>& defaults) {
    program = spec.program;
    argvStore.push_back(spec.argv0.empty() ? spec.program : spec.argv0);
    for (const std::string& a : spec.args) argvStore.push_back(a);
    for (std::string& a : argvStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::map<std::string, std::string> env;
    for (char** e = environ; *e != nullptr; e++) {
      std::string kv = *e;
      std::size_t eq = kv.find('=');
      if (eq != std::string::npos) env[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    auto apply = [&env](const std::map<std::string, std::optional<std::string>>& changes) {
      for (const auto& [key, value] : changes) {
        if (value)
          env[key] = *value;
        else
          env.erase(key);
      }
    };
    apply(defaults);
    apply(spec.env);
    for (const auto& [key, value] : env) envStore.push_back(key + "=" + value);
    for (std::string& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);
    cwd = spec.cwd;
  }

  [[noreturn]] void Exec() {
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    // The test runner may ignore or block signals; the program must not inherit that.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int s = 1; s < NSIG; s++) signal(s, SIG_DFL);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
};

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

Session::Session(const RunSpec& spec, Io io) {
  ExecPlan plan(spec, io == Io::RawTerminal ? std::map<std::string, std::optional<std::string>>{{"TERM", "dumb"}}
                                            : std::map<std::string, std::optional<std::string>>{});
  int in[2], out[2], err[2];
  if (pipe2(err, O_CLOEXEC) != 0) Fail("pipe");
  // A program that stops reading must not take the test down with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  if (io != Io::Pipes) {
    struct winsize size {};
    size.ws_row = 24;
    size.ws_col = 80;
    if (openpty(&in[1], &in[0], nullptr, nullptr, &size) != 0) Fail("openpty");
    if (io == Io::RawTerminal) {
      // Set before the child starts, so nothing typed is ever echoed.
      struct termios tio {};
      if (tcgetattr(in[0], &tio) != 0) Fail("tcgetattr");
      tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL);
      tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
      if (tcsetattr(in[0], TCSANOW, &tio) != 0) Fail("tcsetattr");
    }
    fcntl(in[0], F_SETFD, FD_CLOEXEC);
    fcntl(in[1], F_SETFD, FD_CLOEXEC);
    out[0] = fcntl(in[1], F_DUPFD_CLOEXEC, 0);
    out[1] = fcntl(in[0], F_DUPFD_CLOEXEC, 0);
  } else if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
    Fail("pipe");
  }
  Pid_ = fork();
  if (Pid_ < 0) Fail("fork");
  if (Pid_ == 0) {
    if (io == Io::RawTerminal) {
      if (setsid() < 0 || ioctl(in[0], TIOCSCTTY, 0) != 0) _exit(125);
    } else {
      setpgid(0, 0);
    }
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    plan.Exec();
  }
  if (io != Io::RawTerminal) setpgid(Pid_, Pid_);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  InFd = in[1];
  OutFd = out[0];
  ErrFd = err[0];
  for (int fd : {InFd, OutFd, ErrFd}) SetNonBlocking(fd);
}

Session::~Session() {
  if (!Reaped && Pid_ > 0) {
    kill(-Pid_, SIGKILL);
    kill(Pid_, SIGKILL);
    while (waitpid(Pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  for (int fd : {InFd, OutFd, ErrFd})
    if (fd >= 0) close(fd);
}

void Session::Type(const std::string& keys, double timeoutSeconds) {
  auto deadline = After(timeoutSeconds);
  std::size_t done = 0;
  while (done < keys.size() && InFd >= 0 && Clock::now() < deadline) {
    ssize_t n = write(InFd, keys.data() + done, keys.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (errno == EAGAIN) {
      Pump(10);  // the program may be waiting for us to read before it reads on
    } else if (errno != EINTR) {
      return;  // the program has closed its input
    }
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
    std::string& into = fds[i].fd == OutFd ? Result.out : Result.err;
    for (;;) {
      ssize_t got = read(fd, buf, sizeof buf);
      if (got > 0) {
        into.append(buf, static_cast<std::size_t>(got));
        continue;
      }
      if (got < 0 && errno == EINTR) continue;
      if (got == 0 || errno != EAGAIN) {  // a pseudo-terminal reports its end as EIO
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
    if (done(Result.out)) return true;
    if (Clock::now() > deadline) return false;
    if (!Pump(50) && OutFd < 0) return done(Result.out);
  }
}

bool Session::WaitFor(const std::string& text, std::size_t from, double timeoutSeconds) {
  return Until([&](const std::string& out) { return out.find(text, from) != std::string::npos; }, timeoutSeconds);
}

void Session::Reap(int status) {
  Reaped = true;
  if (WIFEXITED(status)) Result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) Result.signal = WTERMSIG(status);
}

int Session::Finish(double timeoutSeconds) {
  if (InFd >= 0) {
    close(InFd);
    InFd = -1;
  }
  auto deadline = After(timeoutSeconds);
  int status = 0;
  while (!Reaped) {
    if (waitpid(Pid_, &status, WNOHANG) == Pid_) {
      Reap(status);
    } else if (Clock::now() > deadline) {
      Result.timedOut = true;
      kill(-Pid_, SIGKILL);
      kill(Pid_, SIGKILL);
      while (waitpid(Pid_, &status, 0) < 0 && errno == EINTR) {
      }
      Reap(status);
    } else {
      Pump(20);
    }
  }
  // Output left open by a grandchild must not hold the test forever.
  auto drained = After(2);
  while ((OutFd >= 0 || ErrFd >= 0) && Clock::now() < drained) Pump(50);
  return Result.timedOut ? -1 : Result.exitCode;
}

RunResult RunProgram(const RunSpec& spec) {
  Session s(spec);
  auto start = Clock::now();
  s.Type(spec.input, spec.timeoutSeconds);
  s.Finish(spec.timeoutSeconds - std::chrono::duration<double>(Clock::now() - start).count());
  return s.Outcome();
}

RunResult RunOnTerminal(const RunSpec& spec) {
  Session s(spec, Io::RawTerminal);
  std::string typed = spec.input;
  if (!typed.empty() && typed.back() != '\n') typed += '\x04';
  typed += '\x04';
  auto start = Clock::now();
  s.Type(typed, spec.timeoutSeconds);
  s.Finish(spec.timeoutSeconds - std::chrono::duration<double>(Clock::now() - start).count());
  return s.Outcome();
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

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kvl-e2e.XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) Fail("mkdtemp");
  Dir = name.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(Dir, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& text) const {
  std::string path = *this / name;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  WriteFile(path, text);
  return path;
}

std::string TempDir::MakeDir(const std::string& name) const {
  std::string path = *this / name;
  std::filesystem::create_directories(path);
  return path;
}

std::string TempDir::LinkProgram(const std::string& name, const std::string& program) const {
  std::string path = *this / name;
  std::filesystem::create_symlink(program, path);
  return path;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string Prompt(const std::string& program) { return program + "> " + std::string(1, '\0'); }

std::string Echo(const std::string& line, const std::string& program) { return program + "> " + line + "\n"; }

std::string Framed(const std::string& label, const std::string& text) {
  return "[" + label + "]\n" + text + "\n[end]\n";
}

std::string OnTerminal(const std::string& label, const std::string& text, const std::string& program) {
  return program + ": " + label + ": " + text + "\n";
}

}  // namespace e2e
