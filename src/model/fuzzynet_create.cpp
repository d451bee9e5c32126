#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "fuzzynet.h"
#include "fuzzynet_index.h"
#include "stop.h"

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

// The rules by their antecedents, for creation's check for duplicates: an
// open-addressing table of rule numbers (0: empty), the antecedents
// compared where they are stored, in the rules.
class TAntecedents {
 public:
  // The entry of the rule with this antecedent, or the empty entry where
  // it would go (then valid until the next call).
  int& Find(const int* antecedent, int inputs, const std::vector<std::unique_ptr<TRule>>& rules) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    for (int j = 0; j < inputs; j++) h = (h ^ static_cast<std::uint32_t>(antecedent[j])) * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 29;
    const std::size_t mask = table_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      const int r = table_[i];
      if (r == 0 || std::equal(antecedent, antecedent + inputs, rules[r]->Antecedent.Data)) return table_[i];
    }
  }
  // After an empty entry was filled: keeps the table at most half full.
  void Added(const std::vector<std::unique_ptr<TRule>>& rules) {
    if (2 * ++count_ <= table_.size()) return;
    std::vector<int> old(2 * table_.size(), 0);
    old.swap(table_);
    for (int r : old)
      if (r != 0) {
        const TVector<int>& a = rules[r]->Antecedent;
        Find(a.Data, a.Dimension(), rules) = r;
      }
  }

 private:
  std::vector<int> table_ = std::vector<int>(64, 0);
  std::size_t count_ = 0;
};

// Whether a pattern is classified correctly (CheckOutput) by weighted-sum
// outputs fl(s_k / den_k) (0 where den_k is 0), knowing of each class's sum
// in rule order, s_k, only bounds: lo[k] <= s_k <= hi[k], with hi[k] == 0
// meaning s_k is 0 exactly. 1 or 0 when that is certain, -1 when only the
// sums themselves can tell. The weight sums den_k are >= 0 and finite.
// A quotient rounds to a float within 2^-24 of it, or 2^-150 below the
// normal range: the bounds on the outputs are wider than that by a margin
// that covers their own double rounding.
// `only` (may be null), the classes that have rules, leaves the others out:
// their sums are 0, and so are their outputs.
template <typename TF>
void EachClass(const std::vector<int>* only, int classes, TF f) {
  if (only != nullptr)
    for (int k : *only) f(k);
  else
    for (int k = 1; k <= classes; k++) f(k);
}

int JudgeBounds(const double* lo, const double* hi, const float* den, int classes, int target,
                const std::vector<int>* only = nullptr) {
  if (target < 1 || target > classes) return 0;
  if (only != nullptr && !std::binary_search(only->begin(), only->end(), target)) return 0;
  auto bounds = [&](int k, double& low, double& high) {
    const double d = den[k - 1];
    if (hi[k - 1] == 0.0 || d == 0.0) {
      low = high = 0.0;
      return true;
    }
    low = lo[k - 1] / d * (1.0 - 0x1p-22) - 0x1p-149;
    if (low < 0.0) low = 0.0;
    high = hi[k - 1] / d * (1.0 + 0x1p-22) + 0x1p-149;
    return high < 1.0e38;  // far from rounding up to infinity
  };
  double tlo, thi;
  if (!bounds(target, tlo, thi)) return -1;
  if (thi == 0.0) return 0;  // the output is 0: not above 0
  bool above = tlo > 0.0;
  int verdict = 1;
  EachClass(only, classes, [&](int k) {
    double low, high;
    if (k == target || verdict <= 0) return;
    if (!bounds(k, low, high)) verdict = -1;
    else if (low >= thi) verdict = 0;  // another output at least as high
    else if (!(tlo > high)) above = false;
  });
  return verdict <= 0 ? verdict : above ? 1 : -1;
}

// Rounding bound for summing `terms` terms >= 0 in any order and grouping:
// the result lies within Gamma(n) * S of the exact sum S (sums of floats
// lose nothing when subnormal), Gamma(n) = n u / (1 - n u), u = 2^-24.
// Returns -1 where that stops being useful.
double Gamma(int terms) {
  if (terms >= (1 << 20)) return -1.0;
  const double nu = static_cast<double>(terms) * 0x1p-24;
  return nu / (1.0 - nu);
}

// Bounds on the sums in rule order from sums `sum` of the same terms taken
// in another order: both lie within g S of the exact sum S, so the one in
// rule order within [sum (1 - g) / (1 + g), sum (1 + g) / (1 - g)]. A sum of
// 0 means every term was 0 (terms >= 0 only add up to 0 that way): then the
// sum in rule order is 0 too. False for a sum that is not finite.
bool SumBounds(const float* sum, int classes, int terms, double* lo, double* hi,
               const std::vector<int>* only = nullptr) {
  const double g = Gamma(terms);
  if (g < 0.0) return false;
  bool finite = true;
  EachClass(only, classes, [&](int c) {
    const int k = c - 1;
    finite = finite && sum[k] >= 0.0f && sum[k] <= 3.0e38f;
    lo[k] = sum[k] * ((1.0 - g) / (1.0 + g)) * (1.0 - 0x1p-50);
    hi[k] = sum[k] * ((1.0 + g) / (1.0 - g)) * (1.0 + 0x1p-50);
  });
  return finite;
}

// Rule bases up to this size are checked and evaluated by propagating
// every pattern, in rule order: the blocks pay off only for more rules.
constexpr int kBlockRules = 1024;

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
  const bool selects = RuleModes[mode].Select != nullptr;
  const int limit = selects ? task.NumberOfPatterns : MaxRules;
  const float threshold = selects ? 0.5f : 0.0f;
  notCreated = 0;
  Rules.clear();
  Rules.resize(1);
  Weights.clear();
  // Room for the rules grows with them (the limit is only a bound: for a
  // mode that selects it is the number of patterns); trimmed at the end of
  // the pass.
  int room = std::min(limit, 1024);
  RuleActivation = room >= 1 ? TVector<float>(room, 0.0f) : TVector<float>();
  MinInput = room >= 1 ? TVector<int>(room, 0) : TVector<int>();
  Index = std::make_unique<TRuleIndex>();
  Index->Build(*this, room > 0 ? room : 0);

  log << "[Rule creation] " << '\n';
  TAntecedents antecedents;
  std::vector<int> candidate(inputs > 0 ? inputs : 0);
  char text[160];
  // A pattern is covered when it is classified correctly with an output
  // above the threshold. With weighted sums that output is the class's sum
  // of activations over the sum of its weights: every weight is 1 here, so
  // it is a mean over all the class's rules, the rules that do not fire
  // counting 0. The activations are at most 1, and a float sum of n values
  // <= 1 is at most n (rounding is monotonic and n is a float), so with at
  // most F of the class's rules firing the output is at most
  // fl(F / count) <= threshold whenever F <= threshold * count (or NaN,
  // never above it): then the pattern is not covered, and the propagation
  // can be skipped. F is bounded
  // first by the product over the inputs of the sets each value touches
  // (the rules' antecedents are distinct and name a set for every input),
  // then counted. The rule counts are the weight sums while they stay below
  // 2^24, where a float sum of ones is exact.
  // With the threshold of 0 the bounds would only find the patterns
  // where no rule of their class fires, which the propagation finds as fast.
  const bool bounded = AggregationFunc == WeightedSum && threshold > 0.0f;
  const int classes = NumberOfClasses();
  std::vector<int> perClass(classes >= 1 ? classes + 1 : 1, 0);
  auto covered = [&](const TPattern& pattern) {
    const int target = pattern.Class;
    // A target outside the classes is never classified correctly.
    if (target < 1 || target > classes) return false;
    Index->Touch(*this, pattern.Input.data(), pattern.Input.Dimension(), task.MissingValue);
    const bool count = bounded && perClass[target] <= (1 << 24);
    const double most = threshold * static_cast<double>(perClass[target]);
    if (count && Index->TouchedProduct() <= most) return false;
    const int live = Index->Intersect();
    if (count && Index->CountFiring(live, target) <= most) return false;
    // The propagation, from where the count left it.
    Index->Propagate(*this, live, false);
    int computed;
    return CheckOutput(target, computed) && OutputActivation[computed] > threshold;
  };
  for (int p = 1; p <= task.NumberOfPatterns && inputs >= 1; p++) {
    StopPoint();
    const TPattern pattern = task.Patterns[p];
    if (NumberOfRules() > 0 && covered(pattern)) continue;
    for (int j = 1; j <= inputs; j++) {
      const float x = j <= pattern.Input.Dimension() ? pattern.Input[j] : 0.0f;
      Partitions[j].MaxMembership(x, candidate[j - 1]);
    }
    int& known = antecedents.Find(candidate.data(), inputs, Rules);
    if (known != 0) continue;
    if (NumberOfRules() >= limit) {
      notCreated++;
      continue;
    }
    if (NumberOfRules() == room) {
      room = std::min(limit, 2 * room);
      RuleActivation.ChangeDimension(room);
      MinInput.ChangeDimension(room);
      Index->Reserve(room);
    }
    auto rule = std::make_unique<TRule>();
    rule->Antecedent = TVector<int>(inputs, 0);
    for (int j = 0; j < inputs; j++) rule->Antecedent.Data[j] = candidate[j];
    rule->Class = pattern.Class;
    Rules.push_back(std::move(rule));
    Weights.push_back(1.0f);
    known = NumberOfRules();
    antecedents.Added(Rules);
    Index->Add(*this, NumberOfRules());
    if (pattern.Class >= 1 && pattern.Class <= classes) perClass[pattern.Class]++;
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
  antecedents = TAntecedents();
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
    // Per rule, per class; rules that do not fire add 0. Each sum runs over
    // the patterns in their order, whatever order the rules of one pattern
    // come in.
    std::vector<float> sums(static_cast<std::size_t>(rules) * classes, 0.0f);
    // The pass over the blocks prepares the rule evaluation with the
    // classes as they are (see EvaluateRules), where its per-pattern store
    // takes no more than about the patterns themselves, and where the rules
    // are many enough that finding the ones that fire costs more than the
    // passes that finishing the evaluation takes (which prepare every
    // pattern). It joins the index once the reconnections below are made,
    // which it records; any later change of the rule base drops it.
    std::unique_ptr<TRuleIndex::TPrepared> prepared;
    if (rules <= kBlockRules) {
      for (int p = 1; p <= task.NumberOfPatterns; p++) {
        StopPoint();
        const TPattern pattern = task.Patterns[p];
        PropagateValues(pattern.Input.data(), pattern.Input.Dimension(), task.MissingValue, false);
        if (pattern.Class < 1 || pattern.Class > classes) continue;
        for (int r : ix.Fired)
          sums[static_cast<std::size_t>(r - 1) * classes + (pattern.Class - 1)] += RuleActivation.Data[r - 1];
      }
    } else {
      ix.Blocks = std::make_unique<TRuleIndex::TBlocks>();
      TRuleIndex::TBlocks& blocks = *ix.Blocks;
      blocks.Build(*this, ix);
      const int count = blocks.Count;
      // Per class, per position of the rule in `blocks`.
      std::vector<float> byPosition(static_cast<std::size_t>(count) * classes, 0.0f);
      if (blocks.Blocks > 16 && classes <= std::max(NumberOfInputs(), 4)) {
        prepared = std::make_unique<TRuleIndex::TPrepared>();
        prepared->Classes = classes;
        prepared->Performance.assign(count, 0.0f);
        prepared->Sums.assign(static_cast<std::size_t>(task.NumberOfPatterns) * classes, 0.0f);
        prepared->Correct.assign(task.NumberOfPatterns, 0);
      }
      ix.Pass(*this, task, byPosition.data(), prepared.get());
      for (int r = 1; r <= rules; r++) {
        const int pos = blocks.Position[r - 1];
        for (int k = 0; pos >= 0 && k < classes; k++)
          sums[static_cast<std::size_t>(r - 1) * classes + k] = byPosition[static_cast<std::size_t>(k) * count + pos];
      }
    }
    char text[64];
    for (int r = 1; r <= rules; r++) {
      StopPoint();
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
        if (prepared) prepared->Reconnected.push_back({r, ix.Class[r - 1]});
        SetClass(r, best);
        reconnected++;
      }
      log << '\n';
    }
    if (prepared) {
      prepared->Task = &task;
      ix.Prepared = std::move(prepared);
    }
  }
  log << '\n' << " " << reconnected << " rule(s) reconnected.\n" << '\n';
}

bool TFuzzyPerceptron::TRuleIndex::Judgeable(const TFuzzyPerceptron& net) {
  if (net.AggregationFunc == Maximum) return true;
  if (!WeightsValid) UpdateWeightSums(net.Weights.data());
  for (int k = 0; k < Classes; k++)
    if (!WeightsFinite[k]) return false;
  for (int r : Blocks->RuleAt)
    if (!(net.Weights[r] >= 0.0f && net.Weights[r] <= 3.0e38f)) return false;
  return true;
}

int TFuzzyPerceptron::TRuleIndex::FireAll(TFuzzyPerceptron& net, const TPattern& pattern, float missing, bool kernel,
                                          bool& propagated) {
  TBlocks& blocks = *Blocks;
  const float* x = pattern.Input.data();
  const int dimension = pattern.Input.Dimension();
  if (kernel && blocks.Prepare(net, x, dimension, missing)) {
    propagated = false;
    return blocks.Fire();
  }
  net.PropagateValues(x, dimension, missing, false);
  propagated = true;
  int fired = 0;
  for (int r : Fired) {
    const int pos = blocks.Position[r - 1];
    blocks.FiredPos[fired] = pos;
    blocks.FiredCls[fired] = blocks.Class[pos];
    blocks.FiredAct[fired++] = net.RuleActivation.Data[r - 1];
  }
  return fired;
}

// The weighted sums of up to four classes from a pattern's fired rules,
// side by side, each term masked to its class's lane (+0 elsewhere), in
// two chains for the odd and even terms: what judges the outputs holds for
// any order and grouping of the additions.
template <bool unit, typename TFired>
void SumsBySide(const TFired& blocks, const float* weights, int fired, int classes, float* out) {
  typedef float TFloat4 __attribute__((vector_size(16)));
  typedef int TInt4 __attribute__((vector_size(16)));
  const TInt4 lanes = {1, 2, 3, 4};
  const int* pos = blocks.FiredPos.data();
  const float* act = blocks.FiredAct.data();
  const int* cls = blocks.FiredCls.data();
  const int* rule = blocks.RuleAt.data();
  auto term = [&](int f) {
    const float t = unit ? act[f] : weights[rule[pos[f]]] * act[f];
    const TFloat4 v = {t, t, t, t};
    return reinterpret_cast<TFloat4>(reinterpret_cast<TInt4>(v) & (lanes == cls[f]));
  };
  TFloat4 even = {0.0f, 0.0f, 0.0f, 0.0f};
  TFloat4 odd = even;
  int f = 0;
  for (; f + 1 < fired; f += 2) {
    even += term(f);
    odd += term(f + 1);
  }
  if (f < fired) even += term(f);
  const TFloat4 both = even + odd;
  for (int k = 0; k < classes; k++) out[k] = both[k];
}

int TFuzzyPerceptron::TRuleIndex::Classify(TFuzzyPerceptron& net, const TPattern& pattern, float missing, int fired,
                                           bool propagated, float* sums) {
  const TBlocks& blocks = *Blocks;
  const bool weighted = net.AggregationFunc != Maximum;
  const int target = pattern.Class;
  int computed;
  if (!propagated) {
    ClearEmptied(net);
    float* out = Out.data();
    if (weighted && Classes <= 4) {
      if (blocks.UnitWeights)
        SumsBySide<true>(blocks, net.Weights.data(), fired, Classes, out);
      else
        SumsBySide<false>(blocks, net.Weights.data(), fired, Classes, out);
    } else {
      const int* pos = blocks.FiredPos.data();
      const float* act = blocks.FiredAct.data();
      const int* cls = blocks.FiredCls.data();
      ForClasses([out](int k) { out[k] = 0.0f; });
      for (int f = 0; f < fired; f++) {
        const int k = cls[f];
        if (k == 0) continue;
        if (weighted)
          out[k - 1] += net.Weights[blocks.RuleAt[pos[f]]] * act[f];
        else if (act[f] > out[k - 1])
          out[k - 1] = act[f];  // the largest: the same in any order
      }
    }
    if (sums != nullptr)
      for (int k = 0; k < Classes; k++) sums[k] = out[k];
    if (!weighted) {
      ForClasses([&net, out](int k) { net.OutputActivation.Data[k] = out[k]; });
      return net.CheckOutput(target, computed) ? 1 : 0;
    }
    const int judged = Judge(out, fired, target);
    if (judged >= 0) return judged;
    net.PropagateValues(pattern.Input.data(), pattern.Input.Dimension(), missing, false);
  }
  if (sums != nullptr)
    for (int k = 0; k < Classes; k++) sums[k] = weighted ? Num[k] : net.OutputActivation.Data[k];
  return net.CheckOutput(target, computed) ? 1 : 0;
}

void TFuzzyPerceptron::TRuleIndex::Pass(TFuzzyPerceptron& net, const TLearningTask& task, float* byPosition,
                                        TPrepared* prepared) {
  TBlocks& blocks = *Blocks;
  const int count = blocks.Count;
  const bool kernel = prepared == nullptr || Judgeable(net);
  for (int p = 1; p <= task.NumberOfPatterns; p++) {
    StopPoint();
    const TPattern pattern = task.Patterns[p];
    const int target = pattern.Class;
    bool propagated;
    const int fired = FireAll(net, pattern, task.MissingValue, kernel, propagated);
    float* column =
        target >= 1 && target <= Classes ? byPosition + static_cast<std::size_t>(target - 1) * count : nullptr;
    const int* pos = blocks.FiredPos.data();
    const float* act = blocks.FiredAct.data();
    if (prepared == nullptr) {
      if (column != nullptr)
        for (int f = 0; f < fired; f++) column[pos[f]] += act[f];
      continue;
    }
    const int correct = Classify(net, pattern, task.MissingValue, fired, propagated,
                                 prepared->Sums.data() + static_cast<std::size_t>(p - 1) * Classes);
    prepared->Terms = std::max(prepared->Terms, fired);
    prepared->Correct[p - 1] = static_cast<char>(correct);
    if (column != nullptr) {
      // The evaluation's terms as in Account, beside the check's.
      float* performance = prepared->Performance.data();
      const int* cls = blocks.FiredCls.data();
      for (int f = 0; f < fired; f++) {
        column[pos[f]] += act[f];
        const float sum = performance[pos[f]];
        performance[pos[f]] = correct && cls[f] == target ? sum + act[f] : sum - act[f];
      }
    } else {
      Account(correct, target, fired, prepared->Performance.data());
    }
  }
  LeaveLast(net, task);
}

void TFuzzyPerceptron::TRuleIndex::Account(int correct, int target, int fired, float* performance) const {
  // A rule that does not fire would add or take away 0. When the pattern is
  // classified correctly, the class computed is its target.
  const TBlocks& blocks = *Blocks;
  for (int f = 0; f < fired; f++) {
    const float act = blocks.FiredAct[f];
    // Taken away, not added negated, so that a NaN keeps its sign.
    const float sum = performance[blocks.FiredPos[f]];
    performance[blocks.FiredPos[f]] = correct && blocks.FiredCls[f] == target ? sum + act : sum - act;
  }
}

void TFuzzyPerceptron::TRuleIndex::LeaveLast(TFuzzyPerceptron& net, const TLearningTask& task) {
  // The state a pass leaves: that of propagating the last pattern.
  if (task.NumberOfPatterns >= 1) {
    const TPattern last = task.Patterns[task.NumberOfPatterns];
    net.PropagateValues(last.Input.data(), last.Input.Dimension(), task.MissingValue, false);
  }
}

void TFuzzyPerceptron::TRuleIndex::Evaluate(TFuzzyPerceptron& net, const TLearningTask& task, float* performance) {
  const bool kernel = Judgeable(net);
  for (int p = 1; p <= task.NumberOfPatterns; p++) {
    StopPoint();
    const TPattern pattern = task.Patterns[p];
    bool propagated;
    const int fired = FireAll(net, pattern, task.MissingValue, kernel, propagated);
    const int correct = Classify(net, pattern, task.MissingValue, fired, propagated, nullptr);
    Account(correct, pattern.Class, fired, performance);
  }
  LeaveLast(net, task);
}

int TFuzzyPerceptron::TRuleIndex::Judge(const float* sums, int terms, int target) {
  const std::vector<int>* only = Sparse() ? &Active : nullptr;
  if (!SumBounds(sums, Classes, terms, Lo.data(), Hi.data(), only)) return -1;
  return JudgeBounds(Lo.data(), Hi.data(), WeightSum.data(), Classes, target, only);
}

void TFuzzyPerceptron::TRuleIndex::Finish(TFuzzyPerceptron& net, const TLearningTask& task, float* performance) {
  // The connection check took every rule's sum with the classes before it
  // reconnected some rules. A rule's term for a pattern is + or - its
  // activation: + where the pattern is classified correctly and the rule's
  // class is the pattern's target. A rule that kept its class keeps each
  // term, and so its sum bit for bit, unless some pattern's classification
  // changed while the rule's class is that pattern's target. Those rules
  // and the reconnected ones are summed again, in pattern order.
  // A pattern's classification can change where a reconnected rule fires
  // (its output sums change) and anywhere through the weight sums: every
  // pattern is classified again, from its stored output sums with the
  // reconnected rules' terms moved between classes.
  TBlocks& blocks = *Blocks;
  TPrepared& prepared = *Prepared;
  const int count = blocks.Count;
  std::copy(prepared.Performance.begin(), prepared.Performance.end(), performance);
  if (prepared.Reconnected.empty()) {
    LeaveLast(net, task);
    return;
  }
  const bool weighted = net.AggregationFunc != Maximum;
  if (weighted) UpdateWeightSums(net.Weights.data());
  const bool kernel = Judgeable(net);
  std::vector<std::uint64_t> moved = blocks.NewSet();
  std::vector<int> was(count, 0);  // of the reconnected rules: the class before
  for (const auto& change : prepared.Reconnected) {
    const int pos = blocks.Position[change.first - 1];
    if (pos < 0) continue;  // a rule that never fires
    blocks.AddToSet(moved, pos);
    was[pos] = change.second;
    performance[pos] = 0.0f;
  }
  auto inSet = [](const std::vector<std::uint64_t>& set, int pos) { return ((set[pos / 64] >> (pos % 64)) & 1) != 0; };
  const std::uint64_t* movedBlocks = moved.data() + blocks.Blocks;
  std::vector<std::uint64_t> again = blocks.NewSet();
  bool anyAgain = false;
  const int patterns = task.NumberOfPatterns;
  std::vector<char> correct(patterns, 0);
  std::vector<double> leaving(Classes), coming(Classes);
  std::vector<int> movedPos;
  std::vector<float> movedAct;
  for (int p = 1; p <= patterns; p++) {
    StopPoint();
    const TPattern pattern = task.Patterns[p];
    const int target = pattern.Class;
    const float missing = task.MissingValue;
    int now = -1;
    movedPos.clear();
    movedAct.clear();
    if (kernel && blocks.Prepare(net, pattern.Input.data(), pattern.Input.Dimension(), missing, movedBlocks)) {
      const int fired = blocks.Fire(moved.data(), movedBlocks);
      movedPos.assign(blocks.FiredPos.begin(), blocks.FiredPos.begin() + fired);
      movedAct.assign(blocks.FiredAct.begin(), blocks.FiredAct.begin() + fired);
      const float* sums = prepared.Sums.data() + static_cast<std::size_t>(p - 1) * Classes;
      if (!weighted) {
        // Maxima stay as they were where no reconnected rule fires.
        if (fired == 0) now = prepared.Correct[p - 1];
      } else if (fired == 0) {
        now = Judge(sums, prepared.Terms, target);
      } else if (SumBounds(sums, Classes, prepared.Terms, Lo.data(), Hi.data())) {
        // Each class's exact sum of its old terms, S, lies within
        // [sum / (1 + g), sum / (1 - g)]; the exact sum of its new terms is S
        // less the terms that left plus those that came (summed in double,
        // within e of exact), and the new sum in rule order lies within g of
        // that (the pattern's rules that fire, and so their number, are the
        // same). A bound at or below 0 means no new term is above 0.
        const double g = Gamma(prepared.Terms);
        const double e = (fired + 2) * 0x1p-52;
        std::fill(leaving.begin(), leaving.end(), 0.0);
        std::fill(coming.begin(), coming.end(), 0.0);
        for (int f = 0; f < fired; f++) {
          const double term = static_cast<double>(net.Weights[blocks.RuleAt[movedPos[f]]]) * movedAct[f];
          if (was[movedPos[f]] != 0) leaving[was[movedPos[f]] - 1] += term;
          if (blocks.Class[movedPos[f]] != 0) coming[blocks.Class[movedPos[f]] - 1] += term;
        }
        for (int k = 0; k < Classes; k++) {
          const double exactLo = sums[k] / (1.0 + g) * (1.0 - e) - leaving[k] * (1.0 + e) + coming[k] * (1.0 - e);
          const double exactHi = sums[k] / (1.0 - g) * (1.0 + e) - leaving[k] * (1.0 - e) + coming[k] * (1.0 + e);
          Lo[k] = exactLo > 0.0 ? exactLo * (1.0 - g) * (1.0 - e) : 0.0;
          Hi[k] = exactHi > 0.0 ? exactHi * (1.0 + g) * (1.0 + e) : 0.0;
        }
        now = JudgeBounds(Lo.data(), Hi.data(), WeightSum.data(), Classes, target);
      }
      if (now < 0) {
        int computed;
        net.PropagateValues(pattern.Input.data(), pattern.Input.Dimension(), missing, false);
        now = net.CheckOutput(target, computed) ? 1 : 0;
      }
    } else {
      bool propagated;
      const int fired = FireAll(net, pattern, missing, false, propagated);
      for (int f = 0; f < fired; f++)
        if (inSet(moved, blocks.FiredPos[f])) {
          movedPos.push_back(blocks.FiredPos[f]);
          movedAct.push_back(blocks.FiredAct[f]);
        }
      now = Classify(net, pattern, missing, fired, propagated, nullptr);
    }
    correct[p - 1] = static_cast<char>(now);
    for (std::size_t f = 0; f < movedPos.size(); f++) {
      const float sum = performance[movedPos[f]];
      performance[movedPos[f]] = now && blocks.Class[movedPos[f]] == target ? sum + movedAct[f] : sum - movedAct[f];
    }
    if (now != prepared.Correct[p - 1]) {
      bool propagated;
      const int fired = FireAll(net, pattern, missing, kernel, propagated);
      for (int f = 0; f < fired; f++) {
        const int pos = blocks.FiredPos[f];
        if (blocks.Class[pos] == target && !inSet(moved, pos)) {
          blocks.AddToSet(again, pos);
          anyAgain = true;
        }
      }
    }
  }
  if (anyAgain) {
    // The rules to sum again, in pattern order.
    for (int pos = 0; pos < count; pos++)
      if (inSet(again, pos)) performance[pos] = 0.0f;
    for (int p = 1; p <= patterns; p++) {
      StopPoint();
      const TPattern pattern = task.Patterns[p];
      int fired;
      const std::uint64_t* againBlocks = again.data() + blocks.Blocks;
      const float missing = task.MissingValue;
      if (kernel && blocks.Prepare(net, pattern.Input.data(), pattern.Input.Dimension(), missing, againBlocks)) {
        fired = blocks.Fire(again.data(), againBlocks);
      } else {
        bool propagated;
        const int all = FireAll(net, pattern, task.MissingValue, false, propagated);
        fired = 0;
        for (int f = 0; f < all; f++) {
          const int pos = blocks.FiredPos[f];
          if (inSet(again, pos)) {
            blocks.FiredPos[fired] = pos;
            blocks.FiredCls[fired] = blocks.FiredCls[f];
            blocks.FiredAct[fired++] = blocks.FiredAct[f];
          }
        }
      }
      Account(correct[p - 1], pattern.Class, fired, performance);
    }
  }
  LeaveLast(net, task);
}

void TFuzzyPerceptron::EvaluateRules(const TLearningTask& task, TRuleMode mode, std::ostream& log) {
  const int rules = NumberOfRules();
  std::vector<TValidator> validators(rules > 0 ? rules : 0);
  for (int r = 1; r <= rules; r++) validators[r - 1] = TValidator{r, 0.0f};
  if (rules >= 1) {
    // What the connection check prepared serves while the rule base is as
    // the check left it (every change drops it) and the pattern set is the
    // one it went over.
    const bool prepared = Index && Index->Prepared && Index->Blocks && Index->Prepared->Task == &task;
    if (!prepared && rules <= kBlockRules) {
      TRuleIndex& ix = CurrentIndex();
      for (int p = 1; p <= task.NumberOfPatterns; p++) {
        StopPoint();
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
    } else {
      if (!prepared) {
        TRuleIndex& ix = CurrentIndex();
        ix.Blocks = std::make_unique<TRuleIndex::TBlocks>();
        ix.Blocks->Build(*this, ix);
      }
      TRuleIndex& ix = *Index;
      std::vector<float> performance(ix.Blocks->Count, 0.0f);
      if (prepared)
        ix.Finish(*this, task, performance.data());
      else
        ix.Evaluate(*this, task, performance.data());
      for (int r = 1; r <= rules; r++)
        if (ix.Blocks->Position[r - 1] >= 0) validators[r - 1].Performance = performance[ix.Blocks->Position[r - 1]];
      ix.Prepared.reset();
      ix.Blocks.reset();
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
  if (rules <= MaxRules || RuleModes[mode].Select == nullptr) {
    log << "all" << '\n';
    return;
  }
  log << "(see below)" << '\n';
  SelectRules(validators, mode, log);
}

void TFuzzyPerceptron::SelectRules(const std::vector<TValidator>& sorted, TRuleMode mode, std::ostream& log) {
  const int rules = NumberOfRules();
  const int classes = NumberOfClasses();
  std::vector<TRankedRule> ranked;
  ranked.reserve(sorted.size());
  for (const TValidator& v : sorted) ranked.push_back({v.RuleNo, Rules[v.RuleNo]->Class});
  std::vector<int> chosen;
  RuleModes[mode].Select(ranked, MaxRules, classes, chosen);
  std::vector<char> taken(static_cast<std::size_t>(rules) + 1, 0);
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
