// A conversation with the running program over pipes: send lines, wait for
// texts to appear on its standard output, look at its processes. Waits are
// bounded; nothing depends on fixed sleeps.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e_util.h"

namespace e2e {

class Session {
 public:
  // Starts the program; spec.input is ignored (use Send). `onTerminal` gives
  // it a pseudo-terminal (80 x 24, the usual modes: echo, line editing keys)
  // as standard input and output instead of pipes; standard error stays a
  // pipe. A program on a terminal sees no end of input when Finish closes
  // it: send it exit first.
  explicit Session(const RunSpec& spec, bool onTerminal = false);
  // Ends the program's process group if it still runs.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  pid_t Pid() const { return Pid_; }

  // Writes `line` and a newline to the program's standard input.
  void Send(const std::string& line);
  // Writes `keys` as they are (no newline added).
  void Type(const std::string& keys);
  // Waits until `done` holds for the standard output collected so far.
  // False at the timeout, or when the program has closed its output first.
  bool Until(const std::function<bool(const std::string&)>& done, double timeoutSeconds = 30);
  // Waits until `text` appears on standard output at or after `from`.
  bool WaitFor(const std::string& text, std::size_t from = 0, double timeoutSeconds = 30);

  const std::string& AllOut() const { return Out; }
  const std::string& AllErr() const { return Err; }

  // Closes standard input and waits for the program to end; its exit
  // status, or -1 when it had to be killed or ended by a signal.
  int Finish(double timeoutSeconds = 30);

 private:
  pid_t Pid_ = -1;
  int InFd = -1, OutFd = -1, ErrFd = -1;
  std::string Out, Err;
  bool Reaped = false;
  int Status = 0;

  bool Pump(int waitMs);
};

// Processes whose parent is `pid` (zombies included), from /proc.
std::vector<pid_t> ChildrenOf(pid_t pid);
// Number of open descriptors of `pid`, from /proc; -1 when unknown.
int OpenDescriptors(pid_t pid);
// True while `pid` exists and is not a zombie.
bool Alive(pid_t pid);

}  // namespace e2e
