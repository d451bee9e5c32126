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

}  // namespace

std::string TApplication::DefaultConfigFile() const {
  return StartConfigFileName.empty() ? std::string(appDefaultConfigFile) : StartConfigFileName;
}

bool TApplication::WriteNetFile(const std::string& name) {
  TOutputFile file;
  if (!file.Open(name)) {
    ShowMsg(file.ErrorMsg(CreateError), Error);
    return false;
  }
  WriteHeader(file.Stream(), NetFile);
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

void TApplication::SaveNetRulesOrConfig(const TCommand& cmd) {
  std::string kind = cmd.Arg(1);
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
    name = DefaultName(RuleFile);
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
    WriteHeader(file.Stream(), RuleFile);
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
