// Running the built program for end-to-end tests: arguments, standard input,
// environment and working directory in; standard output, standard error and
// the exit status out, under a timeout.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct RunSpec {
  std::string program = KORVALIN_BIN;
  std::string argv0;  // name the program sees as its path; "" means `program`
  std::vector<std::string> args;
  std::string input;  // written to standard input, which is then closed
  // Environment changes over the test's own: a value sets, nullopt removes.
  std::map<std::string, std::optional<std::string>> env;
  std::string cwd;  // working directory; "" keeps the test's own
  double timeoutSeconds = 30;
};

struct RunResult {
  std::string out;  // standard output, byte for byte (NULs included)
  std::string err;  // standard error
  int exitCode = -1;  // exit status, or -1 when ended by a signal
  int signal = 0;     // the ending signal, 0 if none
  bool timedOut = false;  // killed (with its process group) at the timeout
};

enum class Io {
  Pipes,     // standard input, output and error are pipes
  Terminal,  // input and output a pseudo-terminal (80 x 24, usual modes: echo, line editing keys)
  // A pseudo-terminal that is the program's controlling terminal, without
  // echo or output translation, TERM=dumb unless spec.env says otherwise.
  RawTerminal,
};

// A conversation with the running program: send input, wait for texts to
// appear on its standard output, look at its processes. Standard error is
// always a pipe, so the two remain apart. Waits are bounded; nothing depends
// on fixed sleeps. This is the one mechanism every run goes through.
class Session {
 public:
  // Starts the program (spec.input is ignored; use Type or Send) in a
  // process group of its own. A program on a terminal sees no end of input
  // when Finish closes it: type an end-of-file character or exit first.
  explicit Session(const RunSpec& spec, Io io = Io::Pipes);
  // Ends the program's process group if it still runs.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  pid_t Pid() const { return Pid_; }

  // Writes `line` and a newline to the program's standard input.
  void Send(const std::string& line) { Type(line + "\n"); }
  // Writes `keys` as they are, collecting output meanwhile; gives up on the
  // rest at the timeout or when the program has closed its input.
  void Type(const std::string& keys, double timeoutSeconds = 30);
  // Waits until `done` holds for the standard output collected so far.
  // False at the timeout, or when the program has closed its output first.
  bool Until(const std::function<bool(const std::string&)>& done, double timeoutSeconds = 30);
  // Waits until `text` appears on standard output at or after `from`.
  bool WaitFor(const std::string& text, std::size_t from = 0, double timeoutSeconds = 30);

  const std::string& AllOut() const { return Result.out; }
  const std::string& AllErr() const { return Result.err; }

  // Closes standard input and waits for the program to end (killing its
  // process group at the timeout); output left open by a grandchild is
  // collected for at most two seconds after that. Returns the exit status,
  // or -1 when it had to be killed or ended by a signal; Outcome() has all.
  int Finish(double timeoutSeconds = 30);
  const RunResult& Outcome() const { return Result; }

 private:
  pid_t Pid_ = -1;
  int InFd = -1, OutFd = -1, ErrFd = -1;
  RunResult Result;
  bool Reaped = false;

  bool Pump(int waitMs);
  void Reap(int status);
};

// Runs the program with spec.input on pipes (then closed) to the end.
RunResult RunProgram(const RunSpec& spec);
// Runs it on a raw terminal: the input is typed as given; an end-of-file
// character follows it (two when it does not end in a newline).
RunResult RunOnTerminal(const RunSpec& spec);

// Processes whose parent is `pid` (zombies included), from /proc.
std::vector<pid_t> ChildrenOf(pid_t pid);
// Number of open descriptors of `pid`, from /proc; -1 when unknown.
int OpenDescriptors(pid_t pid);
// True while `pid` exists and is not a zombie.
bool Alive(pid_t pid);

// A fresh directory below the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return Dir; }
  // Path of `name` inside the directory.
  std::string operator/(const std::string& name) const { return Dir + "/" + name; }
  // Writes `text` to `name` (parent directories made) and returns its path.
  std::string Write(const std::string& name, const std::string& text) const;
  // Makes a subdirectory (with parents) and returns its path.
  std::string MakeDir(const std::string& name) const;
  // A symbolic link `name` to the program, so it runs under that name with
  // this directory as its own (where it looks for its help file).
  std::string LinkProgram(const std::string& name, const std::string& program = KORVALIN_BIN) const;

 private:
  std::string Dir;
};

void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);  // "" when it cannot be read
bool FileExists(const std::string& path);

// Transcript pieces of the command shell.
std::string Prompt(const std::string& program = "korvalin");  // "korvalin> " and a NUL
std::string Echo(const std::string& line, const std::string& program = "korvalin");  // batch echo line
std::string Framed(const std::string& label, const std::string& text);  // "[label]\ntext\n[end]\n"
// Terminal form of a Warning or Error on standard error.
std::string OnTerminal(const std::string& label, const std::string& text, const std::string& program = "korvalin");

}  // namespace e2e
