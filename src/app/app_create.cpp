#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

#include "app.h"
#include "fuzzynet.h"
#include "outfile.h"

namespace {

// A stream that swallows everything, for a log that could not be created.
class TNullBuf : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

int LeadingDecimal(const char* text) {
  long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

void TApplication::Create(const TCommand& cmd) {
  std::ostringstream msg;
  if (!Task) {
    msg << "Can't create net: " << "No pattern file loaded!\n";
    PrintMsg(msg, Error);
    return;
  }
  if (!Task->ClassInfo || Task->NumberOfClasses < 1) {
    msg << "Can't create net: " << "Pattern file contains no class information!\n";
    PrintMsg(msg, Error);
    return;
  }
  if (Task->NumberOfPatterns < 1) {
    msg << "Can't create net: " << "Pattern file contains no patterns!\n";
    PrintMsg(msg, Error);
    return;
  }

  Net.reset();
  NetFileName.clear();

  const char* option = cmd.GetOption("-r");
  std::string name;
  if (cmd.ArgCount() == 3) {
    // The file name is whichever of the two arguments is not the option.
    name = (std::strncmp(cmd.Arg(2), "-r", 2) == 0) ? cmd.Arg(3) : cmd.Arg(2);
  } else {
    std::string dir, base, ext;
    SplitPath(PatternFileName, dir, base, ext);
    name = base + appDefaultNetExt;
  }
  NetFileName = FullPath(name);

  int maxRules = LeadingDecimal(option != nullptr ? option : "");
  if (maxRules < 1) maxRules = Task->NumberOfPatterns;

  std::string logName = Parameters.CreateLogFile ? ReplaceExt(NetFileName, appDefaultLogExt) : "/dev/null";
  TOutputFile logFile;
  TNullBuf nothing;
  std::ostream lost(&nothing);
  bool logOpen = logFile.Open(logName);
  if (!logOpen) {
    std::ostringstream failure;
    failure << logFile.ErrorMsg(CreateError);
    PrintMsg(failure, Error);
  }
  std::ostream& log = logOpen ? logFile.Stream() : lost;

  WriteLogHeader(log, maxRules);
  std::cout << " Creating initial rule base..." << '\0';
  std::cout.flush();
  int notCreated = 0;
  Net.reset(new TFuzzyPerceptron(*Task, maxRules, Parameters.LearningRules, NumberOfFSets, Parameters.AggregationFunc,
                                 notCreated, log));
  int created = Net->NumberOfRules;
  std::cout << "done (" << created << " rules created).\n" << " Now evaluating the rules..." << '\0';
  std::cout.flush();
  Net->EvaluateRules(*Task, Parameters.LearningRules, log);
  std::cout << "done." << '\n';
  std::cout.flush();

  if (Parameters.LearningRules == Best || Parameters.LearningRules == BestPerClass) {
    msg << " " << Net->NumberOfRules << " rules (out of " << created << " created rules) have been selected." << '\n';
  } else if (notCreated > 0) {
    msg << " The system tried to create " << notCreated << " more rules. " << '\n'
        << " Some of these were possibly identical." << '\n';
  }

  if (logOpen && !logFile.Commit()) {
    std::ostringstream failure;
    failure << logFile.ErrorMsg(WriteError);
    PrintMsg(failure, Error);
  }

  if (PipeMode) {
    PrintNetInfo(std::cout, "[Netinfo]");
    std::cout.flush();
  }
  msg << " \n See " << RelPath(logName) << " for details about net creation.\n";
  PrintMsg(msg, Information);

  TOutputFile netFile;
  std::ostringstream failure;
  if (!netFile.Open(NetFileName)) {
    failure << netFile.ErrorMsg(CreateError);
    PrintMsg(failure, Error);
    return;
  }
  WriteNetHeader(netFile.Stream());
  netFile.Stream() << *Net;
  if (!netFile.Commit()) {
    failure << netFile.ErrorMsg(WriteError);
    PrintMsg(failure, Error);
  }
}
