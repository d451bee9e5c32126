#include <cerrno>
#include <cmath>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

#include "app.h"
#include "korvalin.h"
#include "outfile.h"

namespace {

// A stream that swallows everything, for a log that could not be created.
class TNullBuf : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

// The first input whose range, cut into its number of fuzzy sets as the
// network will cut it, gives a set with a point beyond the float range; 0
// when there is none.
int InputWithoutFiniteSets(const TLearningTask& task, const TVector<int>& setsPerInput) {
  for (int i = 1; i <= task.NumberOfInputs && i < static_cast<int>(task.Bounds.size()); i++) {
    const TPartition partition(task.Bounds[i], i <= setsPerInput.Dimension() ? setsPerInput[i] : 1);
    for (int s = 1; s <= partition.NumberOfSets; s++) {
      const TFuzzySet& set = partition.Sets[s];
      if (!std::isfinite(set.a) || !std::isfinite(set.b) || !std::isfinite(set.c)) return i;
    }
  }
  return 0;
}

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

  if (const int input = InputWithoutFiniteSets(*Task, NumberOfFSets)) {
    msg << "Can't create net: " << "The range of input " << input;
    if (Task->NamesAvail() && input < static_cast<int>(Task->InputNames.size()))
      msg << " (" << Task->InputNames[static_cast<std::size_t>(input)] << ")";
    msg << " is too wide for fuzzy sets of finite numbers.\n";
    PrintMsg(msg, Error);
    return;
  }

  Net.reset();
  NetFileName.clear();

  const char* option = cmd.GetOption("-r");
  std::string name;
  const bool named = cmd.ArgCount() == 3;
  if (named) {
    // The file name is whichever of the two arguments is not the option.
    name = (std::strncmp(cmd.Arg(2), "-r", 2) == 0) ? cmd.Arg(3) : cmd.Arg(2);
  } else {
    std::string dir, base, ext;
    SplitPath(PatternFileName, dir, base, ext);
    name = base + OutputKind(NetFile).Ext;
  }
  NetFileName = FullPath(name);

  int maxRules = LeadingDecimal(option != nullptr ? option : "");
  if (maxRules < 1) maxRules = Task->NumberOfPatterns;

  std::string logName = Parameters.CreateLogFile ? DefaultName(LogFile) : "/dev/null";
  TOutputFile logFile;
  TNullBuf nothing;
  std::ostream lost(&nothing);
  bool logOpen = MayReplace(logName, LogFile, false);
  if (logOpen && !logFile.Open(logName)) {
    logOpen = false;
    ShowMsg(logFile.ErrorMsg(CreateError), Error);
  }
  std::ostream& log = logOpen ? logFile.Stream() : lost;

  WriteLogHeader(log, maxRules);
  std::cout << " Creating initial rule base..." << '\0';
  std::cout.flush();
  TNetSettings settings = Parameters.Settings();
  settings.MaxRules = maxRules;
  settings.SetsPerInput.assign(NumberOfFSets.Data, NumberOfFSets.Data + NumberOfFSets.Dimension());
  TCreateReport report;
  Net = CreateNet(*Task, settings, log, report, [](TCreateStage stage, int rules) {
    if (stage == TCreateStage::RulesCreated)
      std::cout << "done (" << rules << " rules created).\n" << " Now evaluating the rules..." << '\0';
    else
      std::cout << "done." << '\n';
    std::cout.flush();
  });
  if (!Net) {
    std::cout << '\n';
    NetFileName.clear();
    msg << "Can't create net: " << report.Error << ".\n";
    PrintMsg(msg, Error);
    return;
  }

  if (RuleModes[settings.RuleMode].Select != nullptr) {
    msg << " " << report.Selected << " rules (out of " << report.Created << " created rules) have been selected." << '\n';
  } else if (report.NotCreated > 0) {
    msg << " The system tried to create " << report.NotCreated << " more rules. " << '\n'
        << " Some of these were possibly identical." << '\n';
  }

  const bool logWritten = logOpen && logFile.Commit();
  if (logOpen && !logWritten) ShowMsg(logFile.ErrorMsg(WriteError), Error);

  if (PipeMode) {
    PrintNetInfo(std::cout, "[Netinfo]");
    std::cout.flush();
  }
  if (logWritten) msg << " \n See " << RelPath(logName) << " for details about net creation.\n";
  if (!msg.str().empty()) PrintMsg(msg, Information);

  if (named || MayReplace(NetFileName, NetFile, true)) WriteNetFile(NetFileName);
}
