#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "fuzzynet.h"
#include "fuzzynet_index.h"

namespace {

const char* NameOf(const std::vector<std::string>& names, int i) {
  return i >= 1 && i < static_cast<int>(names.size()) ? names[i].c_str() : "";
}

// Copies a task's 1-based name table, cut to what a network keeps; false
// when the table does not have `count` names.
bool CopyNames(const std::vector<std::string>& from, int count, std::vector<std::string>& to) {
  if (static_cast<int>(from.size()) != count + 1) return false;
  to.assign(1, std::string());
  for (int i = 1; i <= count; i++) to.push_back(from[i].substr(0, MaxNetNameLength));
  return true;
}

}  // namespace

int SortValidators(const void* first, const void* second) {
  const float a = static_cast<const TValidator*>(first)->Performance;
  const float b = static_cast<const TValidator*>(second)->Performance;
  if (a == b) return 0;
  if (b > a) return 1;
  return -1;
}

TFuzzyPerceptron::TFuzzyPerceptron(const TLearningTask& task, int maxRules, TRuleMode mode,
                                   TVector<int> setsPerInput, TAggregationFunc aggregation, int& notCreated,
                                   std::ostream& log)
    : MaxRules(maxRules < 1 ? 1 : maxRules), AggregationFunc(aggregation) {
  if (MaxRules > task.NumberOfPatterns) MaxRules = task.NumberOfPatterns;
  const int inputs = task.NumberOfInputs;
  const int classes = task.NumberOfClasses;
  if (inputs >= 1) InputActivation = TVector<float>(inputs, 0.0f);
  if (classes >= 1) OutputActivation = TVector<float>(classes, 0.0f);
  Rules.resize(1);
  Partitions.resize(1);
  for (int i = 1; i <= inputs; i++) {
    const TBound range = i < static_cast<int>(task.Bounds.size()) ? task.Bounds[i] : TBound{0.0f, 0.0f};
    Partitions.emplace_back(range, i <= setsPerInput.Dimension() ? setsPerInput[i] : 1);
  }
  if (!(task.NamesAvail() && CopyNames(task.InputNames, inputs, InputNames) &&
        CopyNames(task.ClassNames, classes, ClassNames)))
    CreateVariableNames(inputs, classes);
  CreateRuleBase(task, mode, notCreated, log);
}

void TFuzzyPerceptron::CreateRuleBase(const TLearningTask& task, TRuleMode mode, int& notCreated, std::ostream& log) {
  const int inputs = NumberOfInputs();
  const int limit = mode == Simple ? MaxRules : task.NumberOfPatterns;
  const float threshold = mode == Simple ? 0.0f : 0.5f;
  notCreated = 0;
  Rules.clear();
  Rules.resize(1);
  Weights.clear();
  // Sized for every rule the pass may create; trimmed at its end.
  RuleActivation = limit >= 1 ? TVector<float>(limit, 0.0f) : TVector<float>();
  MinInput = limit >= 1 ? TVector<int>(limit, 0) : TVector<int>();
  Rules.reserve(static_cast<std::size_t>(limit > 0 ? limit : 0) + 1);
  Weights.reserve(static_cast<std::size_t>(limit > 0 ? limit : 0));
  Index = std::make_unique<TRuleIndex>();
  Index->Build(*this, limit > 0 ? limit : 0);

  log << "[Rule creation] " << '\n';
  // Antecedents of the existing rules, as raw bytes, for the duplicate check.
  std::unordered_set<std::string> antecedents;
  antecedents.reserve(static_cast<std::size_t>(limit > 0 ? limit : 0));
  std::vector<int> candidate(inputs > 0 ? inputs : 0);
  std::string key;
  char text[160];
  for (int p = 1; p <= task.NumberOfPatterns && inputs >= 1; p++) {
    const TPattern pattern = task.Patterns[p];
    if (NumberOfRules() > 0) {
      PropagateValues(pattern.Input.data(), pattern.Input.Dimension(), task.MissingValue, false);
      int computed;
      if (CheckOutput(pattern.Class, computed) && OutputActivation[computed] > threshold) continue;
    }
    for (int j = 1; j <= inputs; j++) {
      const float x = j <= pattern.Input.Dimension() ? pattern.Input[j] : 0.0f;
      Partitions[j].MaxMembership(x, candidate[j - 1]);
    }
    key.assign(reinterpret_cast<const char*>(candidate.data()), candidate.size() * sizeof(int));
    if (antecedents.count(key) != 0) continue;
    if (NumberOfRules() >= limit) {
      notCreated++;
      continue;
    }
    auto rule = std::make_unique<TRule>();
    rule->Antecedent = TVector<int>(inputs, 0);
    for (int j = 0; j < inputs; j++) rule->Antecedent.Data[j] = candidate[j];
    rule->Class = pattern.Class;
    Rules.push_back(std::move(rule));
    Weights.push_back(1.0f);
    antecedents.insert(key);
    Index->Add(*this, NumberOfRules());
    std::snprintf(text, sizeof text, " Pattern %4i (class %s) created rule %i.", p, NameOf(ClassNames, pattern.Class),
                  NumberOfRules());
    log << text << '\n';
  }
  if (NumberOfRules() >= 1) {
    RuleActivation.ChangeDimension(NumberOfRules());
    MinInput.ChangeDimension(NumberOfRules());
  } else {
    RuleActivation = TVector<float>();
    MinInput = TVector<int>();
  }
  // The index has room for every rule the pass might have created; built
  // anew for the rules it did create, it is denser for the passes that follow.
  RebuildIndex();
  log << '\n';
  CheckRuleConnections(task, log);
}

void TFuzzyPerceptron::CheckRuleConnections(const TLearningTask& task, std::ostream& log) {
  log << "[Checking rule connections]" << '\n'
      << "# Rule performance of the considered rule for " << "each output class" << '\n';
  const int rules = NumberOfRules();
  const int classes = NumberOfClasses();
  int reconnected = 0;
  if (rules >= 1 && classes >= 1) {
    TRuleIndex& ix = CurrentIndex();
    // One row per rule, one column per class; rules that do not fire add 0.
    std::vector<float> sums(static_cast<std::size_t>(rules) * classes, 0.0f);
    for (int p = 1; p <= task.NumberOfPatterns; p++) {
      const TPattern pattern = task.Patterns[p];
      PropagateValues(pattern.Input.data(), pattern.Input.Dimension(), task.MissingValue, false);
      if (pattern.Class < 1 || pattern.Class > classes) continue;
      for (int r : ix.Fired)
        sums[static_cast<std::size_t>(r - 1) * classes + (pattern.Class - 1)] += RuleActivation.Data[r - 1];
    }
    char text[64];
    for (int r = 1; r <= rules; r++) {
      const float* row = sums.data() + static_cast<std::size_t>(r - 1) * classes;
      int best = 1;
      for (int k = 2; k <= classes; k++)
        if (row[k - 1] > row[best - 1]) best = k;
      std::snprintf(text, sizeof text, " Rule %3i: ", r);
      log << text;
      for (int k = 1; k <= classes; k++) {
        std::snprintf(text, sizeof text, "%8.2f", static_cast<double>(row[k - 1]));
        log << text;
      }
      if (best != Rules[r]->Class) {
        log << " (reconnected from class " << Rules[r]->Class << " to class " << best << ")";
        SetClass(r, best);
        reconnected++;
      }
      log << '\n';
    }
  }
  log << '\n' << " " << reconnected << " rule(s) reconnected.\n" << '\n';
}

void TFuzzyPerceptron::EvaluateRules(const TLearningTask& task, TRuleMode mode, std::ostream& log) {
  const int rules = NumberOfRules();
  std::vector<TValidator> validators(rules > 0 ? rules : 0);
  for (int r = 1; r <= rules; r++) validators[r - 1] = TValidator{r, 0.0f};
  if (rules >= 1) {
    TRuleIndex& ix = CurrentIndex();
    for (int p = 1; p <= task.NumberOfPatterns; p++) {
      const TPattern pattern = task.Patterns[p];
      PropagateValues(pattern.Input.data(), pattern.Input.Dimension(), task.MissingValue, false);
      int computed;
      const Boolean correct = CheckOutput(pattern.Class, computed);
      // A rule that does not fire would add or take away 0.
      for (int r : ix.Fired) {
        const float activation = RuleActivation.Data[r - 1];
        if (correct && ix.Class[r - 1] == computed)
          validators[r - 1].Performance += activation;
        else
          validators[r - 1].Performance -= activation;
      }
    }
  }
  // Stable, so that rules of equal performance keep their order everywhere.
  std::stable_sort(validators.begin(), validators.end(),
                   [](const TValidator& a, const TValidator& b) { return SortValidators(&a, &b) < 0; });

  log << "[Rule evaluation]" << '\n'
      << "# Rules sorted by their performance" << '\n'
      << "#  No.\t Rule No.   Overall rule performance   Points to class" << '\n';
  char text[128];
  for (int i = 1; i <= rules; i++) {
    const TValidator& v = validators[i - 1];
    std::snprintf(text, sizeof text, " %4i  %4i \t %8.3f \t (class '%s')", i, v.RuleNo,
                  static_cast<double>(v.Performance), NameOf(ClassNames, Rules[v.RuleNo]->Class));
    log << text << '\n';
  }
  log << '\n'
      << "[Rule selection]" << '\n'
      << "# Selection mode: " << mode << '\n'
      << "# Rules created : " << rules << '\n'
      << "# Rules wanted  : " << MaxRules << '\n'
      << "# Selected rules: ";
  if (rules <= MaxRules || mode == Simple) {
    log << "all" << '\n';
    return;
  }
  log << "(see below)" << '\n';
  SelectRules(validators, mode, log);
}

void TFuzzyPerceptron::SelectRules(const std::vector<TValidator>& sorted, TRuleMode mode, std::ostream& log) {
  const int rules = NumberOfRules();
  const int classes = NumberOfClasses();
  std::vector<int> chosen;
  std::vector<char> taken(static_cast<std::size_t>(rules) + 1, 0);
  if (mode == Best) {
    for (int i = 0; i < MaxRules && i < rules; i++) chosen.push_back(sorted[i].RuleNo);
  } else {
    // Below one rule per class every class in turn gets its best rule
    // until MaxRules are taken, so the network never ends up empty.
    int quota = classes >= 1 ? MaxRules / classes : 0;
    if (quota < 1) quota = 1;
    for (int k = 1; k <= classes && static_cast<int>(chosen.size()) < MaxRules; k++) {
      int count = 0;
      for (const TValidator& v : sorted) {
        if (count == quota || static_cast<int>(chosen.size()) == MaxRules) break;
        if (Rules[v.RuleNo]->Class == k && !taken[v.RuleNo]) {
          taken[v.RuleNo] = 1;
          chosen.push_back(v.RuleNo);
          count++;
        }
      }
    }
  }
  for (int r : chosen) taken[r] = 1;
  for (int r = 1; r <= rules; r++)
    if (taken[r]) log << " " << r << '\n';

  std::vector<TRule> selected;
  std::vector<float> weights;
  selected.reserve(chosen.size());
  weights.reserve(chosen.size());
  for (int r : chosen) {
    selected.push_back(std::move(*Rules[r]));
    weights.push_back(Weights[r - 1]);
  }
  ReplaceRules(std::move(selected), std::move(weights));  // the rules not taken are destroyed here
}
