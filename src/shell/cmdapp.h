// The frame of a line-oriented command program: identity, command table,
// the command loop, the standard commands and the one message channel.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cmdapp_edit.h"
#include "command.h"
#include "stdutils.h"

enum TMessageType { PagedText = 0, Information = 1, Warning = 2, Error = 3 };

// Longest command line the loops accept; longer lines are reported and skipped.
constexpr std::size_t MaxCommandLine = 254;

class TCmdApplication {
 public:
  std::string ProgramName;     // program file name without directory and extension
  std::string ProgramPath;     // absolute directory of the program, ending in '/'
  std::string Prompt;          // ProgramName + "> "
  std::string StartDirectory;  // working directory at construction, restored at the end
  int NumberOfArgs;
  std::vector<std::string> Args;  // 1..NumberOfArgs: the program arguments; slot 0 unused
  const TCmdDef* Commands;        // table input lines are parsed against
  Boolean OutputRedirected;       // standard output is not a terminal
  Boolean BatchMode;              // commands come from files named on the command line
  Boolean Bail;                   // "--bail" among the leading options: the first failing command ends the run

  // argv[0] names the program.
  TCmdApplication(int argc, const char* const* argv);
  TCmdApplication(const TCmdApplication&) = delete;
  TCmdApplication& operator=(const TCmdApplication&) = delete;

  int ArgCount() const { return NumberOfArgs; }
  // Never null: "" outside 1..ArgCount().
  const char* Arg(int i) const;

  // Index (1-based) of the first unacceptable argument, or <= 0 if all are fine.
  virtual int CheckCmdArgs(const TCommand& cmd);
  // False, after reporting why as an Error, when the command must not run.
  virtual Boolean CheckCommand(const TCommand& cmd);
  // Runs help, !, cd; exit, quit and unknown identifiers do nothing here.
  virtual void ExecuteCommand(const TCommand& cmd);
  // Shows a help section ("" the general text with the topic list,
  // "contents" the topic list) from ProgramPath + ProgramName + ".hlp".
  virtual void PrintHelp(const char* topic);
  // Candidates for the word that `before` (the line up to it) is followed
  // by, for Tab at an editing terminal: here the command words of
  // Commands for the first word, else file names.
  virtual TCompletion Complete(const std::string& before) const;
  virtual void WriteShellMsg();
  // Shows the text of `msg`, a NUL as "\0", and empties the stream.
  // Information at a terminal goes to standard output, Warning and Error to
  // standard error as "<program>: <label>: <text>"; when standard output is
  // not a terminal all three are framed on standard output by "[<label>]"
  // and "[end]". PagedText, when standard output is not a terminal, goes
  // through "cat <file>" plus a final "[end]"; at a terminal a text that
  // fits on the screen is written directly and a longer one goes through
  // "cat <file> | $PAGER" ("more" when PAGER is unset or empty).
  virtual void PrintMsg(std::ostringstream& msg, TMessageType type);
  virtual ~TCmdApplication();
  // Batch mode when an argument not beginning with '-' names a command file,
  // otherwise the interactive loop on standard input. Returns after exit or
  // quit, after the last command file, or at the end of standard input; with
  // Bail also after the first command that reported an Error.
  //
  // Ctrl-C at the prompt drops the line being typed and prompts afresh;
  // elsewhere, and twice within a second, it ends the program as its default
  // action would (signals.h).
  virtual void Run();
  // The status for the end of the program: 0; 1 when Bail ended the run; 2
  // when a command file could not be read (and Bail did not end the run first).
  int ExitStatus() const { return Status; }

  // Hook for work that must be served while the interactive loop waits for
  // a line (background learning). Contract:
  //  - BackgroundFd() is asked before every wait for input; it returns an
  //    open descriptor to watch for readability, or -1 for none.
  //  - BackgroundReady() is called whenever that descriptor is readable (or
  //    hung up) while a line is awaited, as often as it stays so: it must
  //    read what is pending, or make BackgroundFd() return another value or
  //    -1, else the wait turns into a busy loop. A descriptor that poll()
  //    finds invalid is ignored for the rest of that wait.
  //  - It runs between reads, never inside a signal handler; it may print
  //    and call PrintMsg, and what it writes is flushed when it returns (the
  //    prompt is not repeated). Input already read, a partly typed line
  //    included, stays buffered and is not disturbed.
  //  - Reads and waits interrupted by signals are resumed, so handlers need
  //    only record the event and make the descriptor readable (a self-pipe).
  virtual int BackgroundFd() const { return -1; }
  virtual void BackgroundReady() {}

  // Builds the message stream for PrintMsg from a ready text.
  void ShowMsg(const std::string& text, TMessageType type);

  // Flushes everything written to standard output and error, for use before
  // another process or another stream writes to the same terminal or pipe.
  static void FlushOutput();

 protected:
  // Runs the commands of one file; false when the run is to end here (Bail).
  bool RunCommandFile(const std::string& name, TCommand& current);
  void RunInteractive(TCommand& current);
  // Parses, checks and executes one line.
  void DoLine(const std::string& line, TCommand& current);
  // Runs `command` through the system's command interpreter; false (with
  // errno set) when it cannot be run at all.
  static bool RunSystem(const std::string& command);

 private:
  int Status = 0;
  bool ErrorShown = false;  // an Error has been shown since the current line began
  // True, after setting Status, when Bail and the line just run showed an Error.
  bool Bailing();
};

// What a command that ran out of memory shows: "korvalin: Out of memory!"
// on a line of its own on standard error, written without allocating.
void OutOfMemory();

// Quotes a word for the system's command interpreter when it needs it.
std::string ShellQuote(const std::string& word);
