#include <fstream>
#include <iostream>
#include <sstream>

#include "app.h"
#include "fuzzynet.h"
#include "outfile.h"

void TNetDeleter::operator()(TFuzzyPerceptron* net) const { delete net; }

namespace {

// Appends the reader's failure and, when the stream broke down, where.
void DescribeFailure(std::ostringstream& msg, std::istream& file, const char* what, const std::string& name) {
  msg << " Loading " << what << " from " << name << " failed." << '\n';
  if (!file.good()) {
    file.clear();
    PrintErrorLine(msg, file, static_cast<long>(file.tellg()));
  }
}

// Reads an object with its stream reader. A reader that left the stream
// failed or at its end, or that reports LoadError, failed: that is shown as
// an Error and the result is null.
template <class TObject, class TPtr>
TPtr ReadObject(TApplication& app, std::ifstream& file, const std::string& name, const char* what,
                TLoadStatus& status, std::ostringstream& msg) {
  status = LoadOk;
  TPtr object(new TObject(file, status, msg));
  if (file.good() && status != LoadError) return object;
  DescribeFailure(msg, file, what, name);
  app.PrintMsg(msg, Error);
  return nullptr;
}

}  // namespace

void TApplication::Load(const TCommand& cmd) {
  std::string kind = cmd.Arg(1);
  std::string name = FullPath(cmd.Arg(2));
  std::string display = RelPath(name);
  std::ostringstream msg;

  TLoadStatus status = LoadOk;
  std::ifstream file;
  if (!OpenInputFile(file, name)) {
    msg << FileErrorMsg(name, OpenError);
    PrintMsg(msg, Error);
    return;
  }

  if (kind == "pattern") {
    std::cout << " Loading pattern from " << display << "..." << '\n';
    auto task = ReadObject<TLearningTask, std::unique_ptr<TLearningTask>>(*this, file, name, "pattern", status, msg);
    if (!task) return;
    Task = std::move(task);
    PatternFileName = name;
    NumberOfFSets = TVector<int>();
    if (Task->NumberOfInputs > 0) NumberOfFSets = TVector<int>(Task->NumberOfInputs, Parameters.FSetsPerVariable);
    if (status == LoadWarning) PrintMsg(msg, Warning);
    if (PipeMode) {
      Task->PrintInfo(std::cout, "[Pattern dimensions]", PatternFileName.c_str(), False);
      std::cout.flush();
    }
  } else if (kind == "net") {
    std::cout << " Loading network from " << display << "..." << '\n';
    TNetPtr net = ReadObject<TFuzzyPerceptron, TNetPtr>(*this, file, name, "net", status, msg);
    if (!net) return;
    Net = std::move(net);
    NetFileName = name;
    if (status == LoadWarning) PrintMsg(msg, Warning);
    if (PipeMode) {
      PrintNetInfo(std::cout, "[Netinfo]");
      std::cout.flush();
    }
  } else {
    std::cout << " Loading configuration from " << display << "..." << '\n';
    LoadParameters(file);
    ConfigFileName = name;
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

  std::string name;
  if (cmd.ArgCount() >= 2)
    name = cmd.Arg(2);
  else if (kind == "net")
    name = NetFileName;
  else if (kind == "rules")
    name = ReplaceExt(NetFileName, appDefaultRuleExt);
  else
    name = ConfigFileName.empty() ? appDefaultConfigFile : ConfigFileName;
  name = FullPath(name);
  std::string display = RelPath(name);

  TOutputFile file;
  if (!file.Open(name)) {
    msg << file.ErrorMsg(CreateError);
    PrintMsg(msg, Error);
    return;
  }
  if (kind == "net") {
    WriteNetHeader(file.Stream());
    file.Stream() << *Net;
    msg << " Network has been saved to " << display << ".\n";
  } else if (kind == "rules") {
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
  if (kind == "config") ConfigFileName = name;
  PrintMsg(msg, Information);
}
