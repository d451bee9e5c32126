// The prune command: shorter and fewer rules for the current network.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "app.h"
#include "korvalin.h"

namespace {

const char* const StageNames[] = {"inputs", "entries", "rules", "limit"};

// A whole number of at most six digits.
bool IsCount(const char* text) {
  const std::size_t length = std::strlen(text);
  return length >= 1 && length <= 6 && std::strspn(text, "0123456789") == length;
}

// Reads the words of a prune command into `options`; 0 when all are
// known, else the number of the first word that is not.
int ParsePruneWords(const TCommand& cmd, TPruneOptions& options) {
  bool stageNamed = false;
  bool inputs = false, entries = false, rules = false;
  for (int i = 1; i <= cmd.ArgCount(); i++) {
    const char* word = cmd.Arg(i);
    if (std::strcmp(word, "inputs") == 0) {
      inputs = stageNamed = true;
    } else if (std::strcmp(word, "entries") == 0) {
      entries = stageNamed = true;
    } else if (std::strcmp(word, "rules") == 0) {
      rules = stageNamed = true;
    } else if (std::strcmp(word, "sequential") == 0) {
      options.Order = TPruneOrder::Sequential;
    } else if (std::strcmp(word, "lax") == 0) {
      options.Lax = true;
    } else if (std::strncmp(word, "-r", 2) == 0 && IsCount(word + 2)) {
      options.MaxRules = std::atoi(word + 2);
    } else {
      return i;
    }
  }
  if (stageNamed) {
    options.Inputs = inputs;
    options.Entries = entries;
    options.Rules = rules;
  }
  return 0;
}

std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* format, ...) {
  char text[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

double PerRule(int entries, int rules) { return rules > 0 ? static_cast<double>(entries) / rules : 0.0; }
double PercentOf(int count, int patterns) { return patterns > 0 ? count * 100.0 / patterns : 0.0; }

}  // namespace

int CheckPruneArgs(const TCommand& cmd) {
  TPruneOptions options;
  return ParsePruneWords(cmd, options);
}

void TApplication::Prune(const TCommand& cmd) {
  if (!NetFitsPatterns("prune")) return;
  if (const char* why = CheckPrune(*Net, *Task)) {
    ShowMsg(std::string("Can't execute 'prune': ") + why + ".\n", Error);
    return;
  }
  TPruneOptions options;
  ParsePruneWords(cmd, options);

  std::cout << " Pruning the rules on " << Task->NumberOfPatterns << " patterns...\n";
  std::cout.flush();
  const TPruneReport report = ::Prune(*Net, *Task, options, [](const TPruneProgress& p) {
    std::cout << Line(" %-8s: %5i tried, %5i removed; %i rules, %i misclassified.", StageNames[static_cast<int>(p.Stage)],
                      p.Tried, p.Removed, p.Rules, p.Misclassified)
              << '\n';
    std::cout.flush();
  });
  if (!report.Error.empty()) {
    ShowMsg("Can't execute 'prune': " + report.Error + ".\n", Error);
    return;
  }

  const int patterns = Task->NumberOfPatterns;
  std::cout << "[Pruning results]\n"
            << Line(" Inputs used           : %i -> %i", report.InputsBefore, report.InputsAfter) << '\n'
            << Line(" Rules                 : %i -> %i", report.RulesBefore, report.RulesAfter) << '\n'
            << Line(" Antecedents per rule  : %.2f -> %.2f", PerRule(report.EntriesBefore, report.RulesBefore),
                    PerRule(report.EntriesAfter, report.RulesAfter))
            << '\n'
            << Line(" Misclassified patterns: %i(%.2f%%) -> %i(%.2f%%)", report.Before.Misclassified,
                    PercentOf(report.Before.Misclassified, patterns), report.After.Misclassified,
                    PercentOf(report.After.Misclassified, patterns))
            << '\n';
  if (PipeMode) PrintNetInfo(std::cout, "[Netinfo]");
  std::cout.flush();
  if (!PipeMode) ShowMsg(" \n Use 'save net' to keep the pruned network.\n", Information);
}
