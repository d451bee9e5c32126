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
    "      --bail     end at the first command that reports an error, with exit\n"
    "                 status 1 (without it: 0, or 2 when a command file cannot be read)\n"
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

bool OpenInputFile(TInputFile& file, const std::string& name) {
  struct stat info;
  if (stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return file.Open(name);
}

TApplication::TApplication(int argc, const char* const* argv)
    : TCmdApplication(argc, argv),
      Epoch(0),
      Misclassified(0),
      TotalError(0.0f),
      PipeMode(False),
      Background(*this, [this](TChildReport& report) { TakeReport(report); }) {
  std::cout << VersionString << ", " << NoticeString << '\n';
  Commands = ValidCommands();
  PipeMode = (std::strcmp(Arg(1), "-p") == 0 || std::strcmp(Arg(1), "--pipe") == 0) ? True : False;

  const char* home = std::getenv("KVLPATH");
  if (home != nullptr && *home != '\0') {
    ProgramPath = FullPath(home);
    if (ProgramPath.empty() || ProgramPath.back() != '/') ProgramPath += '/';
  }

  std::string name = ProgramPath + appDefaultConfigFile;
  TInputFile file;
  const bool opened = OpenInputFile(file, name);
  if (opened) std::cout << " Loading configuration from " << RelPath(name) << "..." << '\n';
  if (!opened || LoadParameters(file) < 0) {
    std::ostringstream msg;
    msg << (opened ? file.ReadErrorMsg() : FileErrorMsg(name, OpenError)) << '\n' << "Using default configuration.";
    PrintMsg(msg, Warning);
    return;
  }
  ConfigFileName = StartConfigFileName = name;
  NoteFile(name, ConfigFile);
}

TApplication::~TApplication() {
  Background.Abort();
  Net.reset();
  Task.reset();
}

namespace {

// The words a command takes as its first argument, where it takes a fixed
// set: offered by Tab, and checked before the command runs where the row
// says so.
const std::vector<const char*> LoadWords = {"pattern", "net", "config"};
const std::vector<const char*> SavedKinds = SaveWords();
const std::vector<const char*> CreateWords = {"net"};
const std::vector<const char*> RunWords = {"test", "learning"};
const std::vector<const char*> PruneWords = {"inputs", "entries", "rules", "sequential", "lax"};
// Show also takes any parameter name.
const std::vector<const char*> ShowWords = {"config",     "fuzzy",       "rules",         "ranges",   "inputnames",
                                            "classnames", "patterninfo", "NumberOfFSets", "confusion"};

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

// One command of the program: its word, how many arguments it takes, the
// words its first argument takes (null: none in particular), the check of
// its arguments (null: any), its handler, and whether it may run while a
// learning child exists. Adding a command is a row here, its handler and
// its section in the help file.
struct TAppCommand {
  char Name[12];
  int MinArgs;
  int MaxArgs;
  const std::vector<const char*>* Words;
  // The index of the first unacceptable argument, or 0.
  int (*CheckArgs)(const TAppCommand& row, const TCommand& cmd);
  void (TApplication::*Run)(const TCommand& cmd);
  bool WhileLearning;
};

// The check of a command whose first argument must be one of its words,
// compared exactly.
int FirstArgumentIsAWord(const TAppCommand& row, const TCommand& cmd) {
  for (const char* word : *row.Words)
    if (std::strcmp(cmd.Arg(1), word) == 0) return 0;
  return 1;
}

const TAppCommand AppCommands[] = {
    {"load", 2, 2, &LoadWords, FirstArgumentIsAWord, &TApplication::Load, false},
    {"save", 1, 2, &SavedKinds, FirstArgumentIsAWord, &TApplication::Save, false},
    {"set", 3, 3, nullptr, nullptr, &TApplication::Set, false},
    {"show", 1, 1, &ShowWords, nullptr, &TApplication::Show, false},
    {"create", 2, 3, &CreateWords,
     [](const TAppCommand& row, const TCommand& c) {
       if (FirstArgumentIsAWord(row, c) != 0) return 1;
       const char* option = c.GetOption("-r");
       return (option != nullptr && BeginsWithInteger(option)) ? 0 : 2;
     },
     &TApplication::Create, false},
    {"run", 1, 1, &RunWords, FirstArgumentIsAWord, &TApplication::Start, false},
    {"stop", 0, 0, nullptr, nullptr, &TApplication::Stop, true},
    {"abort", 0, 0, nullptr, nullptr, &TApplication::Abort, true},
    {"explain", 1, 1, nullptr, [](const TAppCommand&, const TCommand& c) { return IsNumber(c.Arg(1)) ? 0 : 1; },
     &TApplication::Explain, false},
    {"prune", 0, 5, &PruneWords, [](const TAppCommand&, const TCommand& c) { return CheckPruneArgs(c); },
     &TApplication::Prune, false},
};

constexpr int FirstAppCommandID = 10;
constexpr int NumberOfAppCommands = static_cast<int>(sizeof AppCommands / sizeof AppCommands[0]);

// The row of a command parsed against ValidCommands(); null for the
// standard commands and for no command.
const TAppCommand* AppCommandOf(const TCommand& cmd) {
  const int i = cmd.ID() - FirstAppCommandID;
  return i >= 0 && i < NumberOfAppCommands ? &AppCommands[i] : nullptr;
}

const TAppCommand* AppCommandNamed(const std::string& name) {
  for (const TAppCommand& row : AppCommands)
    if (name == row.Name) return &row;
  return nullptr;
}

}  // namespace

const TCmdDef* ValidCommands() {
  static const std::vector<TCmdDef> table = [] {
    std::vector<TCmdDef> rows;
    for (int i = 0; i < NumberOfAppCommands; i++) {
      const TAppCommand& command = AppCommands[i];
      TCmdDef row = {"", FirstAppCommandID + i, command.MinArgs, command.MaxArgs};
      std::memcpy(row.Name, command.Name, sizeof row.Name);
      rows.push_back(row);
    }
    const TCmdDef* standard = StdCommands;
    do rows.push_back(*standard);
    while ((standard++)->Name[0] != '\0');
    return rows;
  }();
  return table.data();
}

int TApplication::CheckCmdArgs(const TCommand& cmd) {
  const TAppCommand* row = AppCommandOf(cmd);
  return row != nullptr && row->CheckArgs != nullptr ? row->CheckArgs(*row, cmd) : 0;
}

void TApplication::ExecuteCommand(const TCommand& cmd) {
  Background.Collect();
  const TAppCommand* row = AppCommandOf(cmd);
  // Ending the program is always allowed: the child ends with it.
  const bool allowed = row != nullptr ? row->WhileLearning : cmd.ID() == CmdEndLoop;
  if (Background.Running() && !allowed) {
    std::ostringstream msg;
    msg << " Invalid command '" << cmd.Name() << "' during the learning process.\n"
        << " Use 'stop', 'abort' or 'exit' to terminate the learning process.";
    PrintMsg(msg, Error);
    return;
  }
  if (row != nullptr)
    (this->*row->Run)(cmd);
  else
    TCmdApplication::ExecuteCommand(cmd);
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
    for (const TParamDef& row : korvalin::AllSettings()) completion.Words.push_back(row.Name);
  };
  if (words.size() == 1) {
    const TAppCommand* row = AppCommandNamed(command);
    if (row != nullptr && row->Words != nullptr) offer(*row->Words);
    if (command == "show") offerParameters();
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

void TApplication::Stop(const TCommand&) {
  std::ostringstream msg;
  if (Background.Running()) {
    if (!Background.Stop()) return;
    msg << "Learning process stopped after " << Epoch << " epochs.\n";
  } else {
    msg << " Can't 'stop'. No learning process is being run.";
  }
  PrintMsg(msg, Information);
}

void TApplication::Abort(const TCommand&) {
  std::ostringstream msg;
  if (Background.Running()) {
    Background.Abort();
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
