#include "app.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

const char* const VersionString = "KORVALIN 1.0";
const char* const VersionNumber = "1.0";
const char* const NoticeString =
    "\nA neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns."
    "\nType 'help' for an overview of the commands.";

const char* const appDefaultConfigFile = "korvalin.cfg";
const char* const appDefaultNetExt = ".net";
const char* const appDefaultResultExt = ".res";
const char* const appDefaultRuleExt = ".rul";
const char* const appDefaultLogExt = ".log";
const char* const appDefaultErrorExt = ".err";
const char* const appDefaultPredictionExt = ".csv";

const TCmdDef ValidCommands[15] = {
    {"load", cmdLoad, 2, 2},
    {"save", cmdSave, 1, 2},
    {"set", cmdSet, 3, 3},
    {"show", cmdShow, 1, 1},
    {"create", cmdCreate, 2, 3},
    {"run", cmdRun, 1, 1},
    {"stop", cmdStop, 0, 0},
    {"abort", cmdAbort, 0, 0},
    {"explain", cmdExplain, 1, 1},
    {"help", 1, 0, 1},
    {"cd", 3, 1, 1},
    {"!", 2, 0, 10},
    {"exit", -1, 0, 0},
    {"quit", -1, 0, 0},
    {"", 0, 0, 0},
};

TApplication* Application = nullptr;

namespace {

const char* const UsageText =
    "Usage: korvalin [options] [command file ...]\n"
    "\n"
    "Builds, trains, tests and saves neuro-fuzzy classifiers. Every command file\n"
    "is run line by line; without one, commands are read from standard input.\n"
    "Type 'help' at the prompt for the commands, 'man korvalin' for the manual.\n"
    "\n"
    "Options (before the first command file):\n"
    "  -p, --pipe     pipe mode, for a program that drives korvalin: learning in\n"
    "                 the background and bracketed status blocks (first argument only)\n"
    "  -h, --help     show this text and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "Environment: KVLPATH names the directory of korvalin.cfg and korvalin.hlp\n"
    "(default: the program's own directory); PAGER the pager for long texts.\n";

}  // namespace

bool PrintInfoOption(int argc, const char* const* argv, std::ostream& out) {
  for (int i = 1; i < argc && argv[i] != nullptr && argv[i][0] == '-'; i++) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      out << UsageText;
      return true;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      out << "korvalin " << VersionNumber << '\n';
      return true;
    }
  }
  return false;
}

std::string FullPath(const std::string& name) {
  std::string dir, base, ext;
  SplitPath(name, dir, base, ext);
  std::string cwd = CurrentDirectory();
  if (!cwd.empty() && cwd.back() != '/') cwd += '/';
  struct stat info;
  if (!dir.empty() && dir[0] == '.' && stat(dir.c_str(), &info) != 0) return cwd + name;
  std::string full = AbsPath(name);
  if (full.empty() || full[0] != '/') full = cwd + full;
  return full;
}

bool OpenInputFile(std::ifstream& file, const std::string& name) {
  struct stat info;
  if (stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  file.open(name);
  return file.is_open();
}

TApplication::TApplication(int argc, const char* const* argv)
    : TCmdApplication(argc, argv),
      ChildPid(-1),
      Pipe{-1, -1},
      Epoch(0),
      Misclassified(0),
      TotalError(0.0f),
      PipeMode(False) {
  std::cout << VersionString << ", " << NoticeString << '\n';
  Commands = ValidCommands;
  Application = this;
  PipeMode = (std::strcmp(Arg(1), "-p") == 0 || std::strcmp(Arg(1), "--pipe") == 0) ? True : False;

  const char* home = std::getenv("KVLPATH");
  if (home != nullptr && *home != '\0') {
    ProgramPath = FullPath(home);
    if (ProgramPath.empty() || ProgramPath.back() != '/') ProgramPath += '/';
  }

  std::string name = ProgramPath + appDefaultConfigFile;
  std::ifstream file;
  if (!OpenInputFile(file, name)) {
    std::ostringstream msg;
    msg << FileErrorMsg(name, OpenError) << '\n' << "Using default configuration.";
    PrintMsg(msg, Warning);
    return;
  }
  ConfigFileName = name;
  std::cout << " Loading configuration from " << RelPath(name) << "..." << '\n';
  LoadParameters(file);
}

TApplication::~TApplication() {
  // Inside the child ChildPid is 0: only the parent has a child to end.
  if (ChildPid > 0) KillChild();
  Net.reset();
  Task.reset();
  if (Application == this) Application = nullptr;
}

namespace {

// The words a command takes as its first argument, where it takes a fixed
// set: checked before the command runs and offered by Tab.
const std::vector<const char*> LoadWords = {"pattern", "net", "config"};
const std::vector<const char*> SaveWords = {"net", "rules", "config", "predictions"};
const std::vector<const char*> RunWords = {"test", "learning"};
// Show also takes any parameter name.
const std::vector<const char*> ShowWords = {"config",     "fuzzy",       "rules",         "ranges",   "inputnames",
                                            "classnames", "patterninfo", "NumberOfFSets", "confusion"};

bool IsOneOf(const char* word, const std::vector<const char*>& words) {
  for (const char* w : words)
    if (std::strcmp(word, w) == 0) return true;
  return false;
}

// True when `text` is a decimal number without sign, blanks or other characters.
bool IsNumber(const char* text) {
  if (*text == '\0') return false;
  for (const char* c = text; *c != '\0'; c++)
    if (!std::isdigit(static_cast<unsigned char>(*c))) return false;
  return true;
}

// True when `text` begins with an integer in the notation of scanf's %i
// (decimal, octal with a leading 0, hexadecimal with 0x).
bool BeginsWithInteger(const char* text) {
  char* end = nullptr;
  std::strtol(text, &end, 0);
  return end != text;
}

}  // namespace

int TApplication::CheckCmdArgs(const TCommand& cmd) {
  switch (cmd.ID()) {
    case cmdLoad:
      return IsOneOf(cmd.Arg(1), LoadWords) ? 0 : 1;
    case cmdSave:
      return IsOneOf(cmd.Arg(1), SaveWords) ? 0 : 1;
    case cmdCreate: {
      if (std::strcmp(cmd.Arg(1), "net") != 0) return 1;
      const char* option = cmd.GetOption("-r");
      return (option != nullptr && BeginsWithInteger(option)) ? 0 : 2;
    }
    case cmdRun:
      return IsOneOf(cmd.Arg(1), RunWords) ? 0 : 1;
    case cmdExplain:
      return IsNumber(cmd.Arg(1)) ? 0 : 1;
    default:
      return 0;
  }
}

void TApplication::ExecuteCommand(const TCommand& cmd) {
  CollectReport();
  if (ChildPid != -1 && cmd.ID() != cmdStop && cmd.ID() != cmdAbort && cmd.ID() != -1) {
    std::ostringstream msg;
    msg << " Invalid command '" << cmd.Name() << "' during the learning process.\n"
        << " Use 'stop', 'abort' or 'exit' to terminate the learning process.";
    PrintMsg(msg, Error);
    return;
  }
  switch (cmd.ID()) {
    case 1: PrintHelp(cmd.Arg(1)); break;
    case cmdLoad: Load(cmd); break;
    case cmdSave: Save(cmd); break;
    case cmdSet: Set(cmd); break;
    case cmdShow: Show(cmd); break;
    case cmdCreate: Create(cmd); break;
    case cmdRun: Start(cmd); break;
    case cmdStop: Stop(); break;
    case cmdAbort: Abort(); break;
    case cmdExplain: Explain(cmd); break;
    default: TCmdApplication::ExecuteCommand(cmd); break;
  }
}

TCompletion TApplication::Complete(const std::string& before) const {
  std::istringstream split(before);
  std::vector<std::string> words;
  for (std::string word; split >> word;) words.push_back(word);
  TCompletion completion;
  if (words.empty()) return TCmdApplication::Complete(before);
  const std::string& command = words[0];
  const auto offer = [&completion](const std::vector<const char*>& list) {
    completion.Words.insert(completion.Words.end(), list.begin(), list.end());
  };
  const auto offerParameters = [&completion] {
    for (const TParamDef& row : ValidParameters) completion.Words.push_back(row.Name);
  };
  if (words.size() == 1) {
    if (command == "load") offer(LoadWords);
    if (command == "save") offer(SaveWords);
    if (command == "run") offer(RunWords);
    if (command == "create") offer({"net"});
    if (command == "show") {
      offer(ShowWords);
      offerParameters();
    }
    if (command == "set") {
      offerParameters();
      completion.Words.push_back("NumberOfFSets[");
    }
    if (command == "help") {
      completion = TCmdApplication::Complete("");
      offerParameters();
    }
  }
  if (command == "set" && words.size() == 2) offer({"="});
  const bool namesFile = command == "cd" || command == "!" || (command == "create" && words.size() >= 2) ||
                         ((command == "load" || command == "save") && words.size() == 2);
  completion.FileNames = namesFile;
  return completion;
}

void TApplication::Stop() {
  std::ostringstream msg;
  if (ChildPid > 0) {
    if (!StopChild()) return;
    msg << "Learning process stopped after " << Epoch << " epochs.\n";
  } else {
    msg << " Can't 'stop'. No learning process is being run.";
  }
  PrintMsg(msg, Information);
}

void TApplication::Abort() {
  std::ostringstream msg;
  if (ChildPid > 0) {
    KillChild();
    Epoch = 0;
    Misclassified = 0;
    TotalError = 0.0f;
    if (PipeMode) {
      PrintLearningStatus(std::cout, "[Learning status]", True);
      std::cout.flush();
    }
    msg << "Learning process terminated by user.\n";
  } else {
    msg << " Can't 'abort'. No learning process is being run.";
  }
  PrintMsg(msg, Information);
}
