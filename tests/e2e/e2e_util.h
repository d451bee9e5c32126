// Running the built programs for end-to-end tests: arguments, standard
// input, environment and working directory in; standard output, standard
// error and the exit status out, under a timeout.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../scratch_dir.h"

namespace e2e {

struct RunSpec {
  std::string program = KORVALIN_BIN;
  std::string argv0;  // name the program sees as its path; "" means `program`
  std::vector<std::string> args;
  std::string input;  // written to standard input, which is then closed
  // Environment changes over the test's own: a value sets, nullopt removes.
  std::map<std::string, std::optional<std::string>> env;
  std::string cwd;  // working directory; "" keeps the test's own
  std::vector<int> closed;  // standard descriptors the program starts without
  double timeoutSeconds = 30;
};

struct RunResult {
  std::string out, err;  // standard output and error, byte for byte (NULs included)
  int exitCode = -1;  // exit status, or -1 when ended by a signal
  int signal = 0;     // the ending signal, 0 if none
  bool timedOut = false;  // killed (with its process group) at the timeout
};

// Pipes, or a pseudo-terminal (80 x 24) that is the program's controlling
// terminal for input and output: with the usual modes (echo, line editing
// keys), or raw (no echo or output translation, TERM=dumb unless the run
// sets it in its environment). Standard error is always a pipe.
enum class Io { Pipes, Terminal, RawTerminal };

// A conversation with the running program, in a process group of its own:
// send input, wait for texts on its standard output. Waits are bounded;
// nothing depends on fixed sleeps.
class Session {
 public:
  explicit Session(const RunSpec& spec, Io io = Io::Pipes);  // spec.input is not sent
  ~Session();  // ends the process group if it still runs
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  pid_t Pid() const { return Pid_; }
  void Send(const std::string& line) { Type(line + "\n"); }
  // Writes `keys` as they are, collecting output meanwhile.
  void Type(const std::string& keys, double timeoutSeconds = 30);
  // Waits until the standard output holds `text` at or after `from`; false
  // at the timeout or when the output has closed first.
  bool WaitFor(const std::string& text, std::size_t from = 0, double timeoutSeconds = 30);
  // Waits for `text` after the output taken so far, and takes the output up
  // to its end; returns what came before `text`, nothing at the timeout.
  std::optional<std::string> Take(const std::string& text, double timeoutSeconds = 30);
  const std::string& AllOut() const { return Result.out; }
  const std::string& AllErr() const { return Result.err; }
  // Closes standard input and waits for the end (killing the group at the
  // timeout); returns the exit status, -1 when killed or signalled.
  int Finish(double timeoutSeconds = 30);
  const RunResult& Outcome() const { return Result; }

 private:
  pid_t Pid_ = -1;
  int InFd = -1, OutFd = -1, ErrFd = -1;
  RunResult Result;
  bool Reaped = false;
  std::size_t Taken = 0;
  bool Pump(int waitMs);
  void Kill(int* status);
};

// Runs the program to its end with spec.input on a pipe.
RunResult RunProgram(const RunSpec& spec);
// A run with `args` in `dir`, where the configuration file is also looked for.
RunSpec In(const TScratchDir& dir, std::vector<std::string> args = {});
// Puts the iris patterns, a network for them (iris_rules.net) and a
// configuration under which learning goes on until it is stopped into `dir`.
void PrepareEndlessLearning(const TScratchDir& dir);

// Processes whose parent is `pid`, zombies included.
std::vector<pid_t> ChildrenOf(pid_t pid);

bool FileExists(const std::string& path);
int TemporaryFiles(const TScratchDir& dir);  // the program's unfinished saves (".korvalin.*") in `dir`
bool Alive(pid_t pid);  // exists and is not a zombie

// Pieces of the command shell's output.
std::string Prompt(const std::string& program = "korvalin");  // "korvalin> " and a NUL
std::string Framed(const std::string& label, const std::string& text);  // "[label]\ntext\n[end]\n"

}  // namespace e2e
