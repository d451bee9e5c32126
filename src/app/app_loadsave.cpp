#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app.h"
#include "korvalin.h"
#include "outfile.h"

namespace {

// Appends the reader's failure and, when the stream broke down, where.
void DescribeFailure(std::ostringstream& msg, std::istream& file, const char* what, const std::string& name) {
  msg << " Loading " << what << " from " << name << " failed." << '\n';
  if (!file.good()) {
    file.clear();
    PrintErrorLine(msg, file, static_cast<long>(file.tellg()));
  }
}

// A failed read, a reader that left the stream failed or at its end, or one
// that reports LoadError: that is shown as an Error.
bool LoadFailed(TApplication& app, TInputFile& file, const std::string& name, const char* what,
                TLoadStatus status, std::ostringstream& msg) {
  if (file.ReadFailed()) {
    // What the reader made of the text up to the failure does not count.
    msg.str(file.ReadErrorMsg());
    app.PrintMsg(msg, Error);
    return true;
  }
  if (file.good() && status != LoadError) return false;
  DescribeFailure(msg, file, what, name);
  app.PrintMsg(msg, Error);
  return true;
}

// The words that the second line of each kind's header ends with (app_headers.cpp).
const char* const HeaderEnds[] = {" network definition file", " rule definition file", " configuration file",
                                  " net creation log file", " test result file", " error file"};
const char* const KindNames[] = {"a network file", "a rule file", "a configuration file",
                                 "a net creation log", "a test result file", "an error curve file"};

// Whether `text`, the start of a file, holds the header of that kind within
// its first two lines ("# <program and version> <kind words>").
bool HasHeader(const std::string& text, const char* end) {
  std::istringstream in(text);
  std::string line;
  for (int i = 0; i < 2 && std::getline(in, line); i++) {
    const std::size_t n = std::strlen(end);
    if (line.compare(0, 2, "# ") == 0 && line.size() > n && line.compare(line.size() - n, n, end) == 0) return true;
  }
  return false;
}

}  // namespace

std::string TApplication::DefaultConfigFile() const {
  return StartConfigFileName.empty() ? std::string(appDefaultConfigFile) : StartConfigFileName;
}

void TApplication::NoteFile(const std::string& name, TFileKind kind) { KnownFiles.insert({kind, name}); }

bool TApplication::MayReplace(const std::string& name, TFileKind kind, bool nameable) {
  struct stat info;
  if (stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) return true;
  if (KnownFiles.count({kind, name}) != 0) return true;
  std::ifstream file(name, std::ios::binary);
  if (!file) return true;  // what cannot be read is left to the write to find out
  // A configuration written by hand is recognised by its lines, which are
  // few: the first 64 KB hold them.
  std::string start(kind == ConfigFile ? 1 << 16 : 512, '\0');
  file.read(&start[0], static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(file.gcount()));
  if (HasHeader(start, HeaderEnds[kind])) return true;
  if (kind == ConfigFile) {
    std::istringstream lines(start);
    TLearningParameters scratch;
    if (ReadParameterLines(lines, scratch, [](const std::string&) {}) > 0) return true;
  }
  std::ostringstream msg;
  msg << "Won't replace '" << RelPath(name) << "': it is not " << KindNames[kind] << ".";
  if (nameable) msg << "\n Name the file in the command to replace it.";
  PrintMsg(msg, Error);
  return false;
}

bool TApplication::WriteNetFile(const std::string& name) {
  TOutputFile file;
  if (!file.Open(name)) {
    ShowMsg(file.ErrorMsg(CreateError), Error);
    return false;
  }
  WriteNetHeader(file.Stream());
  if (!WriteNet(file.Stream(), *Net) && !file.Failed()) {
    // The writer refuses a network that would not read back.
    file.Discard();
    ShowMsg(FileErrorMsg(name.c_str(), WriteError,
                         Net->NumberOfRules() < 1 ? "the net has no rules"
                                                : "the net holds a number that is not finite"),
            Error);
    return false;
  }
  if (!file.Commit()) {
    ShowMsg(file.ErrorMsg(WriteError), Error);
    return false;
  }
  NoteFile(name, NetFile);
  return true;
}

void TApplication::Load(const TCommand& cmd) {
  std::string kind = cmd.Arg(1);
  std::string name = FullPath(cmd.Arg(2));
  std::string display = RelPath(name);
  std::ostringstream msg;

  TLoadStatus status = LoadOk;
  TInputFile file;
  if (!OpenInputFile(file, name)) {
    msg << FileErrorMsg(name, OpenError);
    PrintMsg(msg, Error);
    return;
  }

  if (kind == "pattern") {
    std::cout << " Loading pattern from " << display << "..." << '\n';
    auto task = std::make_unique<TLearningTask>(file, status, msg);
    if (LoadFailed(*this, file, name, "pattern", status, msg)) return;
    Task = std::move(task);
    PatternFileName = name;
    NumberOfFSets = TVector<int>();
    if (Task->NumberOfInputs > 0) NumberOfFSets = TVector<int>(Task->NumberOfInputs, Parameters.Net.FSetsPerVariable);
    if (status == LoadWarning) PrintMsg(msg, Warning);
    if (PipeMode) {
      Task->PrintInfo(std::cout, "[Pattern dimensions]", PatternFileName.c_str(), False);
      std::cout.flush();
    }
  } else if (kind == "net") {
    std::cout << " Loading network from " << display << "..." << '\n';
    std::unique_ptr<TFuzzyPerceptron> net = ReadNet(file, status, msg);
    if (LoadFailed(*this, file, name, "net", status, msg)) return;
    Net = std::move(net);
    NetFileName = name;
    NoteFile(name, NetFile);
    if (status == LoadWarning) PrintMsg(msg, Warning);
    if (PipeMode) {
      PrintNetInfo(std::cout, "[Netinfo]");
      std::cout.flush();
    }
  } else {
    std::cout << " Loading configuration from " << display << "..." << '\n';
    const int valid = LoadParameters(file);
    if (valid < 0) {
      ShowMsg(file.ReadErrorMsg(), Error);
      return;
    }
    if (valid > 0) {
      ConfigFileName = name;
      ConfigLoadWithoutValidLine.clear();
      NoteFile(name, ConfigFile);
    } else {
      ConfigLoadWithoutValidLine = name;
    }
    if (PipeMode) {
      std::cout << "[Configuration]" << '\n';
      Parameters.PrintAll(std::cout);
      std::cout << '\n';
      std::cout.flush();
    }
  }
}

void TApplication::Save(const TCommand& cmd) {
  std::string kind = cmd.Arg(1);
  if (kind == "predictions") {
    SavePredictions(cmd);
    return;
  }
  std::ostringstream msg;
  if ((kind == "net" || kind == "rules") && !Net) {
    msg << "Can't save " << kind << ". No net loaded or created.\n";
    PrintMsg(msg, Error);
    return;
  }

  const bool named = cmd.ArgCount() >= 2;
  const TFileKind fileKind = kind == "net" ? NetFile : kind == "rules" ? RuleFile : ConfigFile;
  std::string name;
  if (named) {
    name = cmd.Arg(2);
  } else if (kind == "net") {
    name = NetFileName;
  } else if (kind == "rules") {
    name = ReplaceExt(NetFileName, appDefaultRuleExt);
  } else if (!ConfigLoadWithoutValidLine.empty()) {
    name = DefaultConfigFile();
    msg << " The last 'load config' read no valid line from " << RelPath(ConfigLoadWithoutValidLine) << ",\n"
        << " so the configuration goes to the default configuration file.";
    PrintMsg(msg, Warning);
  } else {
    name = ConfigFileName.empty() ? DefaultConfigFile() : ConfigFileName;
  }
  name = FullPath(name);
  std::string display = RelPath(name);
  if (!named && !MayReplace(name, fileKind, true)) return;

  if (kind == "net") {
    if (WriteNetFile(name)) ShowMsg(" Network has been saved to " + display + ".\n", Information);
    return;
  }
  TOutputFile file;
  if (!file.Open(name)) {
    msg << file.ErrorMsg(CreateError);
    PrintMsg(msg, Error);
    return;
  }
  if (kind == "rules") {
    WriteRuleHeader(file.Stream());
    Net->PrintRules(file.Stream(), nullptr);
    msg << " Rules has been saved to " << display << ".\n";
  } else {
    SaveParameters(file.Stream());
    msg << " Configuration has been saved to " << display << ".\n";
  }
  if (!file.Commit()) {
    std::ostringstream failure;
    failure << file.ErrorMsg(WriteError);
    PrintMsg(failure, Error);
    return;
  }
  NoteFile(name, fileKind);
  if (kind == "config") {
    ConfigFileName = name;
    ConfigLoadWithoutValidLine.clear();
  }
  PrintMsg(msg, Information);
}
