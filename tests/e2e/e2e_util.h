// Running the built program for end-to-end tests: arguments, standard input,
// environment and working directory in; standard output, standard error and
// the exit status out, under a timeout. RunOnTerminal gives the program a
// pseudo-terminal as standard input and output.
#pragma once

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

// Standard input, output and error are pipes.
RunResult RunProgram(const RunSpec& spec);

// Starts the program (arguments, environment and directory from `spec`) in
// a process group of its own, with `in`, `out` and `err` as its standard
// input, output and error, and returns its process id.
int Spawn(const RunSpec& spec, int in, int out, int err);

// Standard input and output are a pseudo-terminal (24 x 80, no echo, no
// newline translation, TERM=dumb unless spec.env says otherwise); standard
// error stays a pipe, so the two remain apart. The input is typed as given;
// an end-of-file character follows it (two when it does not end in a newline).
RunResult RunOnTerminal(const RunSpec& spec);

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
std::string Reading(const std::string& file);  // "**** Reading commands from <file>... ****\n"
std::string Framed(const std::string& label, const std::string& text);  // "[label]\ntext\n[end]\n"
// Terminal form of a Warning or Error on standard error.
std::string OnTerminal(const std::string& label, const std::string& text, const std::string& program = "korvalin");

}  // namespace e2e
