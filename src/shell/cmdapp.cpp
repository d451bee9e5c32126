#include "cmdapp.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "cmdapp_edit.h"
#include "cmdapp_input.h"
#include "infile.h"
#include "signals.h"

namespace {

const char* const LineTooLongText = "Command line too long (more than 254 characters), ignored.";

const char* Label(TMessageType type) {
  switch (type) {
    case Information: return "Information";
    case Warning: return "Warning";
    default: return "Error";
  }
}

std::string CantExecute(const std::string& what, const char* why) {
  return "Can't execute '" + what + "': (" + why + ").\n";
}

// Writes all of `text` to `fd`; false (errno set) on failure.
bool WriteAll(int fd, const std::string& text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// True when `text` takes fewer lines than the terminal on `fd` has rows, so
// that it is seen whole with the prompt below it; false when the size is
// unknown. Long lines count as wrapped; a tab advances to the next multiple
// of eight columns, and a UTF-8 character takes one column.
bool FitsOnScreen(int fd, const std::string& text) {
  struct winsize size {};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0) return false;
  std::size_t lines = 0, column = 0;
  for (char c : text) {
    if (c == '\n') {
      lines++;
      column = 0;
      continue;
    }
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
    const std::size_t next = c == '\t' ? (column / 8 + 1) * 8 : column + 1;
    if (next > size.ws_col) {
      lines++;
      column = c == '\t' ? 0 : 1;
    } else {
      column = next;
    }
  }
  if (column > 0) lines++;
  return lines < size.ws_row;
}

}  // namespace

void OutOfMemory() {
  std::cout.flush();
  std::fflush(stdout);
  static const char text[] = "\nkorvalin: Out of memory!\n";
  ssize_t ignored = write(STDERR_FILENO, text, sizeof text - 1);
  (void)ignored;
}

std::string ShellQuote(const std::string& word) {
  bool plain = !word.empty();
  for (char c : word)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_./+-,:@%=", c) != nullptr)) plain = false;
  if (plain) return word;
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

TCmdApplication::TCmdApplication(int argc, const char* const* argv)
    : NumberOfArgs(0), Commands(StdCommands), OutputRedirected(False), BatchMode(False), Bail(False) {
  std::string self = (argc > 0 && argv != nullptr && argv[0] != nullptr) ? argv[0] : "";
  std::string dir, name, ext;
  SplitPath(self, dir, name, ext);
  ProgramName = name;
  StartDirectory = CurrentDirectory();
  // The help and configuration files are found through ProgramPath after any
  // cd, so a relative directory (bin/korvalin) is anchored to the start directory.
  ProgramPath = AbsPath(dir);
  if (ProgramPath.empty() || ProgramPath[0] != '/') {
    std::string base = StartDirectory;
    if (base.empty() || base.back() != '/') base += '/';
    ProgramPath = base + ProgramPath;
  }
  if (ProgramPath.back() != '/') ProgramPath += '/';
  Prompt = ProgramName + "> ";

  NumberOfArgs = argc > 1 ? argc - 1 : 0;
  Args.assign(static_cast<std::size_t>(NumberOfArgs) + 1, std::string());
  for (int i = 1; i <= NumberOfArgs; i++)
    if (argv[i] != nullptr) Args[static_cast<std::size_t>(i)] = argv[i];

  OutputRedirected = isatty(STDOUT_FILENO) ? False : True;
  BatchMode = False;
}

TCmdApplication::~TCmdApplication() {
  if (!StartDirectory.empty() && chdir(StartDirectory.c_str()) != 0) {
    // The start directory is gone; there is nowhere better to go.
  }
}

const char* TCmdApplication::Arg(int i) const {
  if (i < 1 || i > NumberOfArgs) return "";
  return Args[static_cast<std::size_t>(i)].c_str();
}

int TCmdApplication::CheckCmdArgs(const TCommand&) { return 0; }

Boolean TCmdApplication::CheckCommand(const TCommand& cmd) {
  const std::string& name = cmd.Words[0];
  switch (cmd.ParseStatus) {
    case ParseUnknownCommand:
      ShowMsg("Invalid command '" + name + "'. Type 'help' for more information.", Error);
      return False;
    case ParseArgCountWrong:
      ShowMsg(std::string("Too ") + (cmd.ArgCount() < cmd.MinArgs ? "less " : "many ") + "arguments for '" +
                  name + "'. ",
              Error);
      return False;
    default:
      break;
  }
  // A name cannot hold a NUL: the system would take the name up to it.
  int k = 0;
  for (int i = 1; i <= cmd.ArgCount() && k == 0; i++)
    if (cmd.Words[i].find('\0') != std::string::npos) k = i;
  if (k == 0) k = CheckCmdArgs(cmd);
  if (k <= 0) return True;
  ShowMsg("Invalid argument '" + cmd.Words[k] + "'. Type 'help " + name + "' for more information.", Error);
  return False;
}

void TCmdApplication::ExecuteCommand(const TCommand& cmd) {
  switch (cmd.ID()) {
    case 1:
      PrintHelp(cmd.Arg(1));
      break;
    case 2:
      if (cmd.ArgCount() > 0) {
        std::string line = cmd.Arg(1);
        if (!RunSystem(line)) ShowMsg(CantExecute(line, std::strerror(errno)), Error);
      } else if (BatchMode) {
        ShowMsg("OS shell only in interactive mode.", Error);
      } else {
        const char* shell = std::getenv("SHELL");
        if (shell == nullptr) break;
        std::string program = shell;
        WriteShellMsg();
        if (!RunSystem(program)) ShowMsg(CantExecute("SHELL", std::strerror(errno)), Error);
      }
      break;
    case 3: {
      std::string path = AbsPath(cmd.Arg(1));
      if (chdir(path.c_str()) == 0) {
        ShowMsg(" Working directory set to '" + CurrentDirectory() + "'.", Information);
      } else {
        int err = errno;
        ShowMsg("Can't change to directory '" + path + "': (" + std::strerror(err) + ").\n", Error);
      }
      break;
    }
    default:
      break;
  }
}

TCompletion TCmdApplication::Complete(const std::string& before) const {
  TCompletion completion;
  if (before.find_first_not_of(" \t") != std::string::npos) {
    completion.FileNames = true;
    return completion;
  }
  for (const TCmdDef* def = Commands; def != nullptr && def->Name[0] != '\0'; def++)
    completion.Words.push_back(def->Name);
  return completion;
}

void TCmdApplication::WriteShellMsg() {
  std::cout << " Type exit to return to " << ProgramName << "...\n";
}

void TCmdApplication::FlushOutput() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(stdout);
  std::fflush(stderr);
}

bool TCmdApplication::RunSystem(const std::string& command) {
  FlushOutput();
  int rc = std::system(command.c_str());
  return rc != -1;
}

void TCmdApplication::ShowMsg(const std::string& text, TMessageType type) {
  std::ostringstream msg;
  msg << text;
  PrintMsg(msg, type);
}

void TCmdApplication::PrintMsg(std::ostringstream& msg, TMessageType type) {
  std::string text = msg.str();
  msg.str(std::string());
  msg.clear();
  text = VisibleNul(text);

  if (type == Error) ErrorShown = true;
  if (type != PagedText) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (OutputRedirected) {
      std::cout << '[' << Label(type) << "]\n" << text << "\n[end]\n";
    } else if (type == Information) {
      std::cout << text << '\n';
    } else {
      std::cout.flush();
      std::cerr << ProgramName << ": " << Label(type) << ": " << text << '\n';
      std::cerr.flush();
    }
    return;
  }

  if (!OutputRedirected && FitsOnScreen(STDOUT_FILENO, text)) {
    std::cout << text;
    std::cout.flush();
    return;
  }

  const char* tmpdir = std::getenv("TMPDIR");
  std::string pattern = (tmpdir != nullptr && *tmpdir != '\0') ? tmpdir : "/tmp";
  if (pattern.back() != '/') pattern += '/';
  pattern += (ProgramName.empty() ? std::string("msg") : ProgramName) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) {
    ShowMsg(FileErrorMsg(pattern, CreateError), Error);
    return;
  }
  std::string file = name.data();
  if (OutputRedirected) text += "[end]\n";
  bool written = WriteAll(fd, text);
  int err = errno;
  if (close(fd) != 0 && written) {
    written = false;
    err = errno;
  }
  if (!written) {
    unlink(file.c_str());
    errno = err;
    ShowMsg(FileErrorMsg(file, WriteError), Error);
    return;
  }
  const char* pager = std::getenv("PAGER");
  std::string command = "cat " + ShellQuote(file);
  if (!OutputRedirected) command += std::string(" | ") + (pager != nullptr && *pager != '\0' ? pager : "more");
  bool ran = RunSystem(command);
  err = errno;
  unlink(file.c_str());
  if (!ran) ShowMsg(CantExecute(command, std::strerror(err)), Error);
}

void TCmdApplication::DoLine(const std::string& line, TCommand& current) {
  // A command that fails fails alone: what it held is released as the
  // failure unwinds (its unfinished output files removed), and the session
  // goes on.
  try {
    current = TCommand(line, Commands);
    if (CheckCommand(current)) ExecuteCommand(current);
  } catch (const std::bad_alloc&) {
    OutOfMemory();
    ErrorShown = true;
  } catch (const std::exception& failure) {
    if (current.Words[0].empty())
      ShowMsg(failure.what(), Error);
    else
      ShowMsg(CantExecute(current.Words[0], failure.what()), Error);
  }
}

bool TCmdApplication::Bailing() {
  const bool bail = Bail && ErrorShown;
  ErrorShown = false;
  if (bail) Status = 1;
  return bail;
}

bool TCmdApplication::RunCommandFile(const std::string& name, TCommand& current) {
  TInputFile in;
  if (!in.Open(name)) {
    ShowMsg(FileErrorMsg(name, OpenError), Error);
    Status = 2;
    return !Bail;
  }
  std::cout << "**** Reading commands from " << name << "... ****\n";
  std::string line;
  ErrorShown = false;
  while (current.ID() != CmdEndLoop) {
    if (!GetLine(in, line, MaxCommandLine)) {
      if (in.eof() || in.bad()) break;
      in.clear();
      in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
      ShowMsg(LineTooLongText, Error);
      if (Bailing()) return false;
      continue;
    }
    StrTrim(line);
    if (line.empty() || IsCommentChar(static_cast<unsigned char>(line[0]))) continue;
    std::cout << Prompt << VisibleNul(line) << '\n';
    DoLine(line, current);
    if (Bailing()) return false;
  }
  if (in.ReadFailed()) {
    ShowMsg(in.ReadErrorMsg(), Error);
    Status = 2;
    return !Bail;
  }
  return true;
}

void TCmdApplication::RunInteractive(TCommand& current) {
  TFdLineReader reader(STDIN_FILENO);
  // A person at a terminal gets line editing and history instead.
  std::unique_ptr<TLineEditor> editor = TLineEditor::ForTerminal();
  if (editor) editor->CompleteWith([this](const std::string& before) { return Complete(before); });
  const TFdLineReader::TExtraFd extraFd = [this] { return BackgroundFd(); };
  // Called from within the line editor, which no exception may cross.
  const TFdLineReader::TExtraReady ready = [this] {
    try {
      BackgroundReady();
    } catch (const std::bad_alloc&) {
      OutOfMemory();
    }
    FlushOutput();
  };
  std::string line;
  while (current.ID() != CmdEndLoop) {
    TFdLineReader::TResult got;
    {
      const TInterruptible waiting;
      if (editor) {
        FlushOutput();
        got = editor->ReadLine(Prompt, line, MaxCommandLine, extraFd, ready);
      } else {
        std::cout << Prompt << '\0';
        FlushOutput();
        got = reader.ReadLine(line, MaxCommandLine, extraFd, ready);
      }
    }
    if (got == TFdLineReader::EndOfInput) {
      // Leave a terminal's cursor on a fresh line; a driving program gets no extra text.
      if (!OutputRedirected) std::cout << '\n';
      break;
    }
    if (got == TFdLineReader::Interrupted) {
      // The terminal has shown the Ctrl-C after the dropped text.
      std::cout << '\n';
      continue;
    }
    ErrorShown = false;
    if (got == TFdLineReader::LineTooLong)
      ShowMsg(LineTooLongText, Error);
    else
      DoLine(line, current);
    if (Bailing()) break;
  }
  FlushOutput();
}

void TCmdApplication::Run() {
  InstallSignalCleanup();
  TCommand current("", Commands);
  int first = 1;
  while (first <= NumberOfArgs && !Args[static_cast<std::size_t>(first)].empty() &&
         Args[static_cast<std::size_t>(first)][0] == '-') {
    if (Args[static_cast<std::size_t>(first)] == "--bail") Bail = True;
    first++;
  }
  if (first <= NumberOfArgs) {
    BatchMode = True;
    for (int i = first; i <= NumberOfArgs; i++)
      if (!RunCommandFile(Args[static_cast<std::size_t>(i)], current)) break;
    FlushOutput();
    return;
  }
  BatchMode = False;
  RunInteractive(current);
}
