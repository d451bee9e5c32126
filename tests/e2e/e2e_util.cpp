#include "e2e_util.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

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

// Feeds `input` to inFd (then closes it, unless keepOpen), collects outFd and
// errFd until both end, the child has been reaped, or the deadline passes.
void Pump(pid_t pid, int inFd, const std::string& input, bool closeInputWhenDone, int outFd, int errFd,
          double timeoutSeconds, RunResult& result) {
  auto deadline = Clock::now() + std::chrono::milliseconds(static_cast<long>(timeoutSeconds * 1000));
  std::size_t written = 0;
  bool outOpen = outFd >= 0, errOpen = errFd >= 0, inOpen = inFd >= 0;
  if (inOpen) SetNonBlocking(inFd);
  int status = 0;
  bool reaped = false;
  Clock::time_point reapedAt{};
  for (;;) {
    if (!reaped) {
      pid_t w = waitpid(pid, &status, WNOHANG);
      if (w == pid) {
        reaped = true;
        reapedAt = Clock::now();
      }
    }
    // Output left open by a grandchild must not hold the test forever.
    if (reaped && (!outOpen && !errOpen)) break;
    if (reaped && Clock::now() - reapedAt > std::chrono::seconds(2)) break;
    if (Clock::now() > deadline) {
      result.timedOut = true;
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      break;
    }
    if (inOpen && written == input.size() && closeInputWhenDone) {
      close(inFd);
      inOpen = false;
    }
    struct pollfd fds[3];
    int n = 0;
    int outIdx = -1, errIdx = -1, inIdx = -1;
    if (outOpen) {
      fds[n] = {outFd, POLLIN, 0};
      outIdx = n++;
    }
    if (errOpen) {
      fds[n] = {errFd, POLLIN, 0};
      errIdx = n++;
    }
    if (inOpen && written < input.size()) {
      fds[n] = {inFd, POLLOUT, 0};
      inIdx = n++;
    }
    int rc = poll(fds, static_cast<nfds_t>(n), 50);
    if (rc < 0 && errno != EINTR) Fail("poll");
    if (rc <= 0) continue;
    char buf[65536];
    auto drain = [&](int idx, int fd, bool& open, std::string& into) {
      if (idx < 0 || fds[idx].revents == 0) return;
      ssize_t got = read(fd, buf, sizeof buf);
      if (got > 0)
        into.append(buf, static_cast<std::size_t>(got));
      else if (got == 0 || (errno != EINTR && errno != EAGAIN))
        open = false;  // a pseudo-terminal reports its end as EIO
    };
    drain(outIdx, outFd, outOpen, result.out);
    drain(errIdx, errFd, errOpen, result.err);
    if (inIdx >= 0 && fds[inIdx].revents != 0) {
      ssize_t put = write(inFd, input.data() + written, input.size() - written);
      if (put > 0)
        written += static_cast<std::size_t>(put);
      else if (put < 0 && errno != EINTR && errno != EAGAIN) {
        written = input.size();  // the program closed its input; the rest is dropped
        if (closeInputWhenDone) {
          close(inFd);
          inOpen = false;
        }
      }
    }
  }
  if (inOpen && closeInputWhenDone) close(inFd);
  if (!reaped) {
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
}

}  // namespace

RunResult RunProgram(const RunSpec& spec) {
  ExecPlan plan(spec, {});
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) Fail("pipe");
  pid_t pid = fork();
  if (pid < 0) Fail("fork");
  if (pid == 0) {
    setpgid(0, 0);
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    plan.Exec();
  }
  setpgid(pid, pid);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  RunResult result;
  // Writing to a program that has stopped reading must not kill the test.
  struct sigaction ignore {}, old{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &old);
  Pump(pid, in[1], spec.input, true, out[0], err[0], spec.timeoutSeconds, result);
  sigaction(SIGPIPE, &old, nullptr);
  close(out[0]);
  close(err[0]);
  return result;
}

int Spawn(const RunSpec& spec, int in, int out, int err) {
  ExecPlan plan(spec, {});
  pid_t pid = fork();
  if (pid < 0) Fail("fork");
  if (pid == 0) {
    setpgid(0, 0);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    plan.Exec();
  }
  setpgid(pid, pid);
  return pid;
}

RunResult RunOnTerminal(const RunSpec& spec) {
  ExecPlan plan(spec, {{"TERM", std::string("dumb")}});
  int master = -1, slave = -1;
  struct winsize size {};
  size.ws_row = 24;
  size.ws_col = 80;
  if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) Fail("openpty");
  // Set before the child starts, so nothing typed is ever echoed.
  struct termios tio {};
  if (tcgetattr(slave, &tio) != 0) Fail("tcgetattr");
  tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL);
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  if (tcsetattr(slave, TCSANOW, &tio) != 0) Fail("tcsetattr");
  fcntl(master, F_SETFD, FD_CLOEXEC);
  int err[2];
  if (pipe2(err, O_CLOEXEC) != 0) Fail("pipe");
  pid_t pid = fork();
  if (pid < 0) Fail("fork");
  if (pid == 0) {
    close(master);
    if (login_tty(slave) != 0) _exit(125);
    dup2(err[1], 2);
    plan.Exec();
  }
  close(slave);
  close(err[1]);
  std::string typed = spec.input;
  if (!typed.empty() && typed.back() != '\n') typed += '\x04';
  typed += '\x04';
  RunResult result;
  // The terminal stays open for output after the input is typed.
  Pump(pid, master, typed, false, master, err[0], spec.timeoutSeconds, result);
  close(master);
  close(err[0]);
  return result;
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

std::string Reading(const std::string& file) { return "**** Reading commands from " + file + "... ****\n"; }

std::string Framed(const std::string& label, const std::string& text) {
  return "[" + label + "]\n" + text + "\n[end]\n";
}

std::string OnTerminal(const std::string& label, const std::string& text, const std::string& program) {
  return program + ": " + label + ": " + text + "\n";
}

}  // namespace e2e
