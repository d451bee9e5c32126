#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "decision.h"
#include "fuzzynet_internal.h"
#include "korvalin.h"
#include "stop.h"

namespace {

// Propagates one row without learning. A NaN value counts as missing, like
// `missing` itself: a row holding one is copied into `buffer` with the
// marker in its place (denorm_min when `missing` is 0, which marks nothing),
// and `row` and `missing` are left as propagated.
void PropagateRow(TFuzzyPerceptron& net, const float*& row, int inputs, float& missing, std::vector<float>& buffer) {
  if (std::any_of(row, row + inputs, [](float x) { return std::isnan(x); })) {
    if (missing == 0.0f) missing = std::numeric_limits<float>::denorm_min();
    buffer.assign(row, row + inputs);
    std::replace_if(buffer.begin(), buffer.end(), [](float x) { return std::isnan(x); }, missing);
    row = buffer.data();
  }
  TNetAccess::Propagate(net, row, inputs, missing, false);
}

// What learning changes (the points of the fuzzy sets and the conclusion
// weights), kept so that a diverging run can hand back the network of its
// last finite epoch.
class TLearntState {
 public:
  // Copies the parameters; false, keeping the earlier copy, when one of
  // them is not finite.
  bool Take(const TFuzzyPerceptron& net);
  // Puts the copy back; nothing when no finite copy was ever taken.
  void Restore(TFuzzyPerceptron& net) const;

 private:
  std::vector<float> Values, Scratch;
};

bool TLearntState::Take(const TFuzzyPerceptron& net) {
  Scratch.clear();
  bool finite = true;
  auto keep = [this, &finite](float value) {
    finite = finite && std::isfinite(value);
    Scratch.push_back(value);
  };
  for (int i = 1; i <= net.NumberOfInputs(); i++) {
    const TPartition& partition = TNetAccess::Partition(net, i);
    for (int s = 1; s <= partition.NumberOfSets; s++) {
      keep(partition.Sets[s].a);
      keep(partition.Sets[s].b);
      keep(partition.Sets[s].c);
    }
  }
  for (int r = 1; r <= net.NumberOfRules(); r++) keep(TNetAccess::Weight(net, r));
  if (finite) Values.swap(Scratch);
  return finite;
}

void TLearntState::Restore(TFuzzyPerceptron& net) const {
  if (Values.empty()) return;
  std::size_t k = 0;
  for (int i = 1; i <= net.NumberOfInputs(); i++) {
    const TPartition& partition = TNetAccess::Partition(net, i);
    for (int s = 1; s <= partition.NumberOfSets; s++) {
      TFuzzySet set = partition.Sets[s];
      set.a = Values[k++];
      set.b = Values[k++];
      set.c = Values[k++];
      TNetAccess::SetFuzzySet(net, i, s, set);
    }
  }
  for (int r = 1; r <= net.NumberOfRules(); r++) TNetAccess::SetWeight(net, r, Values[k++]);
}

}  // namespace

std::unique_ptr<TLearningTask> MakeTask(const float* rows, int patterns, int inputs, const int* classes,
                                        int numberOfClasses, const std::vector<std::string>& inputNames,
                                        const std::vector<std::string>& classNames) {
  auto task = std::make_unique<TLearningTask>();
  task->NumberOfInputs = inputs;
  task->NumberOfClasses = numberOfClasses;
  task->NumberOfPatterns = patterns;
  task->ClassInfo = (classes != nullptr && numberOfClasses >= 1) ? True : False;
  task->Patterns.Inputs = inputs;
  const std::size_t values = static_cast<std::size_t>(patterns) * static_cast<std::size_t>(inputs);
  task->Patterns.Values.assign(rows, rows + values);
  for (float& x : task->Patterns.Values)
    if (std::isnan(x)) x = task->MissingValue;
  task->Patterns.Classes.assign(static_cast<std::size_t>(patterns), -1);
  task->ClassCount = numberOfClasses > 0 ? TVector<int>(numberOfClasses, 0) : TVector<int>();
  if (task->ClassInfo) {
    for (int p = 0; p < patterns; p++) {
      const int k = classes[p];
      task->Patterns.Classes[p] = k;
      if (k >= 1 && k <= numberOfClasses) task->ClassCount[k]++;
    }
  }
  if (static_cast<int>(inputNames.size()) == inputs && static_cast<int>(classNames.size()) == numberOfClasses &&
      inputs >= 1) {
    task->InputNames.assign(1, std::string());
    for (const std::string& n : inputNames) task->InputNames.push_back(n.substr(0, MaxNetNameLength));
    task->ClassNames.assign(1, std::string());
    for (const std::string& n : classNames) task->ClassNames.push_back(n.substr(0, MaxNetNameLength));
  }
  task->ComputeBounds(nullptr);
  return task;
}

std::unique_ptr<TFuzzyPerceptron> CreateNet(const TLearningTask& task, const TNetSettings& settings,
                                            std::ostream& log, TCreateReport& report,
                                            const std::function<void(TCreateStage, int)>& progress,
                                            const TStopRequest& stop) {
  report = TCreateReport();
  if (task.NumberOfInputs < 1) {
    report.Error = "the pattern set has no inputs";
    return nullptr;
  }
  std::unique_ptr<TFuzzyPerceptron> net;
  const bool made = RunStoppable(
      stop,
      [&] {
        TVector<int> sets(task.NumberOfInputs, settings.FSetsPerVariable);
        for (int i = 1; i <= task.NumberOfInputs && i <= static_cast<int>(settings.SetsPerInput.size()); i++)
          sets[i] = settings.SetsPerInput[i - 1];
        const int maxRules = settings.MaxRules < 1 ? task.NumberOfPatterns : settings.MaxRules;
        net = TNetAccess::Create(task, maxRules, settings.RuleMode, sets, settings.Aggregation, report.NotCreated,
                                 log);
        report.Created = net->NumberOfRules();
        if (progress) progress(TCreateStage::RulesCreated, report.Created);
        TNetAccess::EvaluateRules(*net, task, settings.RuleMode, log);
        report.Selected = net->NumberOfRules();
        if (progress) progress(TCreateStage::RulesSelected, report.Selected);
      },
      report.Stopped, report.Error);
  if (!made) net.reset();
  return net;
}

int LearnEpoch(TFuzzyPerceptron& net, const TLearningTask& task, const TNetSettings& settings, float& error) {
  return TNetAccess::LearnEpoch(net, task, settings, error);
}

TLearnResult Learn(TFuzzyPerceptron& net, const TLearningTask& task, const TNetSettings& settings,
                   TLearnObserver& observer) {
  TLearnResult result;
  TLearntState finite;
  finite.Take(net);
  TEpochStatus status;
  const TStopScope scope([&observer] { return observer.StopRequested(); });
  try {
    for (;;) {
      observer.BeforeEpoch();
      status.Epoch++;
      status.Misclassified = TNetAccess::LearnEpoch(net, task, settings, status.Error);
      status.Percent = task.NumberOfPatterns > 0
                           ? static_cast<float>(status.Misclassified * 100.0 / task.NumberOfPatterns)
                           : 0.0f;
      if (!std::isfinite(status.Error) || !finite.Take(net)) {
        finite.Restore(net);
        result.Diverged = status.Epoch;
        break;
      }
      static_cast<TEpochStatus&>(result) = status;
      if (!observer.AfterEpoch(status)) break;
      if (status.Epoch >= settings.MaxEpoch) break;
      if (status.Misclassified <= settings.StopAtMisclassified) break;
      if (!(status.Percent > settings.StopAtPercent)) break;
    }
  } catch (const TStopped&) {
    // A stop in the middle of an epoch leaves the network between two of
    // its patterns: it goes back to the last complete epoch, whose status
    // the result already holds.
    finite.Restore(net);
    result.Stopped = true;
  }
  return result;
}

namespace {

// The outcome of the pattern last propagated through `net`, into `o`
// (whose storage is reused); the deciding rule only when `withRule`.
void OutcomeOf(const TFuzzyPerceptron& net, int target, TOutcome& o, bool withRule = true) {
  const int classes = net.NumberOfClasses();
  const float* out = TNetAccess::Outputs(net);
  o.Outputs.assign(out, out + classes);
  o.Rule = 0;
  o.Activation = 0.0f;
  o.Error = target >= 1 ? PatternError(out, classes, target) : 0.0f;
  o.Decision = Decide(out, classes, o.Best);
  o.Correct = o.Decision == TDecision::Decided && o.Best == target;
  if (o.Decision != TDecision::Decided) return;
  const int best = o.Best;
  if (!withRule) return;
  // The rule that gave its class the most: its activation under Maximum,
  // its weighted activation under WeightedSum; the first such rule wins.
  // Only rules that fired can have given anything.
  const float* activation = TNetAccess::RuleActivations(net);
  const bool maximum = TNetAccess::Aggregation(net) == Maximum;
  float most = 0.0f;
  for (int r : TNetAccess::FiredRules(net)) {
    const float act = activation[r - 1];
    if (!(act > 0.0f) || TNetAccess::Rule(net, r).Class != best) continue;
    const float share = maximum ? act : act * TNetAccess::Weight(net, r);
    if (o.Rule == 0 || share > most) {
      o.Rule = r;
      o.Activation = act;
      most = share;
    }
  }
}

}  // namespace

TTestTotals TestNet(TFuzzyPerceptron& net, const TLearningTask& task,
                    const std::function<void(int, const TOutcome&)>& each) {
  TTestTotals totals;
  totals.Patterns = task.NumberOfPatterns;
  TOutcome o;
  for (int p = 1; p <= task.NumberOfPatterns; p++) {
    StopPoint();
    const TPattern pattern = task.Patterns[p];
    TNetAccess::Propagate(net, pattern.Input.data(), pattern.Input.Dimension(), task.MissingValue, false);
    // Without a listener nobody asks which rule decided.
    OutcomeOf(net, task.ClassInfo ? pattern.Class : 0, o, static_cast<bool>(each));
    if (task.ClassInfo) {
      totals.Error += o.Error;
      if (!o.Correct) totals.Misclassified++;
    }
    if (o.Decision != TDecision::Decided) totals.Undecided++;
    if (each) each(p, o);
  }
  return totals;
}

std::string UndecidedReason(const TFuzzyPerceptron& net, const TOutcome& o) {
  if (o.Decision == TDecision::Decided) return "";
  if (o.Decision == TDecision::NoRuleFired) return "no rule fired";
  std::vector<int> tied;
  const std::size_t classes = o.Outputs.size();
  for (std::size_t k = 0; k < classes; k++)
    if (o.Outputs[k] == o.Outputs[static_cast<std::size_t>(o.Best - 1)]) tied.push_back(static_cast<int>(k) + 1);
  std::string text = "tie between ";
  for (std::size_t i = 0; i < tied.size(); i++) {
    if (i > 0) text += i + 1 == tied.size() ? " and " : ", ";
    text += net.ClassName(tied[i]);
  }
  return text;
}

TOutcome Classify(TFuzzyPerceptron& net, const float* row, int inputs, float missing) {
  std::vector<float> buffer;
  PropagateRow(net, row, inputs, missing, buffer);
  TOutcome o;
  OutcomeOf(net, 0, o);
  return o;
}

void ClassOutputs(TFuzzyPerceptron& net, const float* rows, int patterns, int inputs, float missing, float* outputs) {
  const int classes = net.NumberOfClasses();
  std::vector<float> buffer;
  for (int p = 0; p < patterns; p++) {
    const float* row = rows + static_cast<std::size_t>(p) * inputs;
    float marker = missing;
    PropagateRow(net, row, inputs, marker, buffer);
    const float* out = TNetAccess::Outputs(net);
    std::copy(out, out + classes, outputs + static_cast<std::size_t>(p) * classes);
  }
}

std::vector<TFiring> Explain(TFuzzyPerceptron& net, const float* row, int inputs, float missing) {
  std::vector<float> buffer;
  PropagateRow(net, row, inputs, missing, buffer);
  std::vector<TFiring> firings;
  const int n = net.NumberOfInputs();
  const float* activation = TNetAccess::RuleActivations(net);
  for (int r = 1; r <= net.NumberOfRules(); r++) {
    const float act = activation[r - 1];
    if (act == 0.0f) continue;
    const TRule& rule = TNetAccess::Rule(net, r);
    TFiring f;
    f.Rule = r;
    f.Class = rule.Class;
    f.Activation = act;
    for (int j = 1; j <= n; j++) {
      const int s = rule.Antecedent.Data[j - 1];
      const float x = j <= inputs ? row[j - 1] : missing;
      const bool absent = j > inputs || (missing != 0.0f && x == missing);
      f.Sets.push_back(s >= 1 ? s : 0);
      f.Memberships.push_back(s < 1 || absent ? 1.0f : TNetAccess::Partition(net, j).Sets[s].Membership(x));
    }
    firings.push_back(std::move(f));
  }
  return firings;
}

TNetNames NamesOf(const TFuzzyPerceptron& net) {
  TNetNames names;
  for (int i = 1; i <= net.NumberOfInputs(); i++) {
    names.Inputs.push_back(net.InputName(i));
    names.Sets.emplace_back();
    const TPartition& partition = TNetAccess::Partition(net, i);
    for (int s = 1; s <= partition.NumberOfSets; s++) names.Sets.back().push_back(partition.Sets[s].Name);
  }
  for (int k = 1; k <= net.NumberOfClasses(); k++) names.Classes.push_back(net.ClassName(k));
  return names;
}

std::unique_ptr<TFuzzyPerceptron> ReadNet(std::istream& in, TLoadStatus& status, std::ostringstream& messages) {
  try {
    auto net = TNetAccess::Read(in, status, messages);
    if (status == LoadError || !in.good()) return nullptr;
    return net;
  } catch (const std::logic_error& error) {
    messages << error.what() << '\n';
    status = LoadError;
    return nullptr;
  }
}

bool WriteNet(std::ostream& out, const TFuzzyPerceptron& net, bool exact) {
  TNetAccess::Write(out, net, exact);
  return static_cast<bool>(out);
}

TNetInfo Describe(const TFuzzyPerceptron& net) {
  TNetInfo info;
  info.Inputs = net.NumberOfInputs();
  info.Classes = net.NumberOfClasses();
  info.Rules = net.NumberOfRules();
  info.MaxRules = TNetAccess::MaxRules(net);
  info.Aggregation = TNetAccess::Aggregation(net);
  TNetNames names = NamesOf(net);
  info.InputNames = std::move(names.Inputs);
  info.ClassNames = std::move(names.Classes);
  return info;
}
