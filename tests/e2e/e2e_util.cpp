#include "e2e_util.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

Clock::time_point After(double seconds) {
  return Clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
}

}  // namespace

Session::Session(const RunSpec& spec, Io io) {
  // Everything the child needs is prepared before fork, so that it only execs.
  std::map<std::string, std::string> env;
  for (char** e = environ; *e != nullptr; e++) {
    const char* eq = std::strchr(*e, '=');
    if (eq != nullptr) env[std::string(*e, static_cast<std::size_t>(eq - *e))] = eq + 1;
  }
  if (io == Io::RawTerminal) env["TERM"] = "dumb";
  for (const auto& [key, value] : spec.env) {
    if (value)
      env[key] = *value;
    else
      env.erase(key);
  }
  std::vector<std::string> words = {spec.argv0.empty() ? spec.program : spec.argv0}, vars;
  words.insert(words.end(), spec.args.begin(), spec.args.end());
  for (const auto& [key, value] : env) vars.push_back(key + "=" + value);
  std::vector<char*> argv, envp;
  for (std::string& w : words) argv.push_back(w.data());
  for (std::string& v : vars) envp.push_back(v.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);

  int in[2], out[2], err[2];
  if (pipe2(err, O_CLOEXEC) != 0) Fail("pipe");
  signal(SIGPIPE, SIG_IGN);  // a program that stops reading must not end the test
  if (io != Io::Pipes) {
    struct winsize size = {24, 80, 0, 0};
    if (openpty(&in[1], &in[0], nullptr, nullptr, &size) != 0) Fail("openpty");
    struct termios tio {};
    tcgetattr(in[0], &tio);
    if (io == Io::RawTerminal) {  // set before the child starts, so that nothing typed is ever echoed
      tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL);
      tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    }
    tcsetattr(in[0], TCSANOW, &tio);
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
    if (io != Io::Pipes ? (setsid() < 0 || ioctl(in[0], TIOCSCTTY, 0) != 0) : setpgid(0, 0) != 0) _exit(125);
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : spec.closed) close(fd);
    if (!spec.cwd.empty() && chdir(spec.cwd.c_str()) != 0) _exit(126);
    // The test runner may ignore or block signals; the program must not inherit that.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int s = 1; s < NSIG; s++) signal(s, SIG_DFL);
    execve(spec.program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  if (io == Io::Pipes) setpgid(Pid_, Pid_);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  InFd = in[1];
  OutFd = out[0];
  ErrFd = err[0];
  for (int fd : {InFd, OutFd, ErrFd}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Ends the process group and reaps the program.
void Session::Kill(int* status) {
  kill(-Pid_, SIGKILL);
  kill(Pid_, SIGKILL);
  while (waitpid(Pid_, status, 0) < 0 && errno == EINTR) {
  }
  Reaped = true;
}

Session::~Session() {
  if (!Reaped && Pid_ > 0) Kill(nullptr);
  for (int fd : {InFd, OutFd, ErrFd})
    if (fd >= 0) close(fd);
}

void Session::Type(const std::string& keys, double timeoutSeconds) {
  const auto deadline = After(timeoutSeconds);
  for (std::size_t done = 0; done < keys.size() && InFd >= 0 && Clock::now() < deadline;) {
    const ssize_t n = write(InFd, keys.data() + done, keys.size() - done);
    if (n > 0)
      done += static_cast<std::size_t>(n);
    else if (errno == EAGAIN)
      Pump(10);  // the program may wait for its output to be read
    else if (errno != EINTR)
      return;  // the program has closed its input
  }
}

// Reads what is pending on standard output and error, waiting up to waitMs;
// false when both are closed.
bool Session::Pump(int waitMs) {
  struct pollfd fds[2];
  nfds_t n = 0;
  for (int fd : {OutFd, ErrFd})
    if (fd >= 0) fds[n++] = {fd, POLLIN, 0};
  if (n == 0) return false;
  if (poll(fds, n, waitMs) <= 0) return true;
  char buf[65536];
  for (nfds_t i = 0; i < n; i++) {
    if (fds[i].revents == 0) continue;
    const bool isOut = fds[i].fd == OutFd;
    for (;;) {
      const ssize_t got = read(fds[i].fd, buf, sizeof buf);
      if (got > 0) {
        (isOut ? Result.out : Result.err).append(buf, static_cast<std::size_t>(got));
      } else if (got < 0 && errno == EINTR) {
        continue;
      } else {
        if (got == 0 || errno != EAGAIN) {  // a pseudo-terminal reports its end as EIO
          close(fds[i].fd);
          (isOut ? OutFd : ErrFd) = -1;
        }
        break;
      }
    }
  }
  return true;
}

bool Session::WaitFor(const std::string& text, std::size_t from, double timeoutSeconds) {
  const auto deadline = After(timeoutSeconds);
  while (Result.out.find(text, from) == std::string::npos) {
    if (Clock::now() > deadline) return false;
    if (!Pump(50) && OutFd < 0) return Result.out.find(text, from) != std::string::npos;
  }
  return true;
}

std::optional<std::string> Session::Take(const std::string& text, double timeoutSeconds) {
  if (!WaitFor(text, Taken, timeoutSeconds)) return std::nullopt;
  const std::size_t at = Result.out.find(text, Taken);
  const std::string before = Result.out.substr(Taken, at - Taken);
  Taken = at + text.size();
  return before;
}

int Session::Finish(double timeoutSeconds) {
  if (InFd >= 0) close(InFd);
  InFd = -1;
  const auto deadline = After(timeoutSeconds);
  int status = 0;
  while (!Reaped) {
    if (waitpid(Pid_, &status, WNOHANG) == Pid_) {
      Reaped = true;
    } else if (Clock::now() > deadline) {
      Result.timedOut = true;
      Kill(&status);
    } else {
      Pump(20);
    }
  }
  if (WIFEXITED(status)) Result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) Result.signal = WTERMSIG(status);
  // Output left open by a grandchild must not hold the test forever.
  const auto drained = After(2);
  while ((OutFd >= 0 || ErrFd >= 0) && Clock::now() < drained) Pump(50);
  return Result.timedOut ? -1 : Result.exitCode;
}

RunResult RunProgram(const RunSpec& spec) {
  Session s(spec);
  s.Type(spec.input, spec.timeoutSeconds);
  s.Finish(spec.timeoutSeconds);
  return s.Outcome();
}

RunSpec In(const TScratchDir& dir, std::vector<std::string> args) {
  RunSpec spec;
  spec.args = std::move(args);
  spec.env["KVLPATH"] = spec.cwd = dir.Path();
  return spec;
}

void PrepareEndlessLearning(const TScratchDir& dir) {
  for (const char* name : {"iris.pat", "iris_rules.net"})
    std::filesystem::copy_file(std::string(KORVALIN_TEST_DATA) + "/" + name, dir / name);
  dir.Write("korvalin.cfg",
            "Update_Cycle = 0\nMaxEpoch = 2000000000\nStop_At_Misclassified = -1\nStop_At_Percent = -1\n");
}

std::vector<pid_t> ChildrenOf(pid_t pid) {
  std::vector<pid_t> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    // The fields after the command name, which may hold blanks: state, then parent.
    const std::string stat = ReadText("/proc/" + name + "/stat");
    std::istringstream rest(stat.substr(stat.rfind(')') + 1));
    char state = 0;
    pid_t parent = 0;
    if (rest >> state >> parent && parent == pid) found.push_back(static_cast<pid_t>(std::stoi(name)));
  }
  return found;
}

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

int TemporaryFiles(const TScratchDir& dir) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    count += entry.path().filename().string().rfind(".korvalin.", 0) == 0 ? 1 : 0;
  return count;
}

bool Alive(pid_t pid) {
  const std::string stat = ReadText("/proc/" + std::to_string(pid) + "/stat");
  return !stat.empty() && stat[stat.rfind(')') + 2] != 'Z';
}

std::string Prompt(const std::string& program) { return program + "> " + std::string(1, '\0'); }
std::string Framed(const std::string& label, const std::string& text) { return "[" + label + "]\n" + text + "\n[end]\n"; }

}  // namespace e2e
