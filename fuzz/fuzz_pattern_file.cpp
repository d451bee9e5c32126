// The pattern file reader, then what a loaded set is used for: its summary,
// a copy, and (for small sets with classes) building a network from it and
// testing the network on it.

#include <algorithm>

#include "fuzz_util.h"
#include "korvalin.h"
#include "result_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(fuzz::Text(data, size));
  TLoadStatus status;
  std::ostringstream messages;
  TLearningTask task(in, status, messages);
  std::ostringstream out;
  if (!in.good() || status == LoadError) {  // what the load command shows for a failed read
    in.clear();
    PrintErrorLine(out, in, std::max(0L, static_cast<long>(in.tellg())));
    return 0;
  }
  fuzz::Require(task.NumberOfInputs >= 1 && task.NumberOfClasses >= 0);
  fuzz::Require(static_cast<int>(task.Bounds.size()) == task.NumberOfInputs + 1);
  fuzz::Require(task.Patterns.Count() == task.NumberOfPatterns);
  for (int p = 1; p <= task.NumberOfPatterns; p++) {
    const int cls = task.Patterns[p].Class;
    // NOCLASS after PATTERNS leaves the classes already read.
    fuzz::Require(cls == -1 || (cls >= 1 && cls <= task.NumberOfClasses));
  }
  task.PrintInfo(out, "[Patterninfo]", "fuzz.pat", True);
  TLearningTask copy(task);

  const long long work = static_cast<long long>(task.NumberOfInputs) * task.NumberOfPatterns;
  if (task.ClassInfo && task.NumberOfClasses >= 1 && task.NumberOfPatterns >= 1 && work <= 2000 &&
      task.NumberOfClasses <= 50) {
    const int sets = 2 + static_cast<int>(size % 6);
    for (TRuleMode mode : {Simple, BestPerClass}) {
      TNetSettings settings;
      settings.RuleMode = mode;
      settings.Aggregation = mode == Simple ? WeightedSum : Maximum;
      settings.FSetsPerVariable = sets;
      settings.MaxRules = 20;
      std::ostringstream log;
      TCreateReport report;
      std::unique_ptr<TFuzzyPerceptron> net = CreateNet(copy, settings, log, report);
      if (net->NumberOfRules() >= 1) {
        TestNet(*net, copy, [&](int p, const TOutcome& o) { WriteTestRecord(out, copy, *net, p, o); });
        net->PrintRules(out, "[Rules]");
        WriteNet(out, *net);
      }
    }
  }
  return 0;
}
