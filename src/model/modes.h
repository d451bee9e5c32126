// The model's names for the settings' modes, and one row per mode: its word
// and what implements it. Adding a mode is its value in korvalin/settings.h,
// its row (modes.cpp; weight modes: fuzzynet_learn.cpp) and its function; the
// configuration's words, 'show', the logs and the Python module's words
// follow the row.
#pragma once

#include <cstddef>
#include <ostream>
#include <vector>

#include "korvalin/settings.h"

using TNetSettings = korvalin::NetSettings;
using TRuleMode = korvalin::RuleMode;
using TAggregationFunc = korvalin::Aggregation;
using TWeightMode = korvalin::WeightMode;
inline constexpr TRuleMode Simple = TRuleMode::Simple, Best = TRuleMode::Best, BestPerClass = TRuleMode::BestPerClass;
inline constexpr TAggregationFunc WeightedSum = TAggregationFunc::WeightedSum, Maximum = TAggregationFunc::Maximum;
inline constexpr TWeightMode Fixed = TWeightMode::Fixed, Normalized = TWeightMode::Normalized, Free = TWeightMode::Free;

class TFuzzyPerceptron;
class TLearningTask;

// A rule as the evaluation ranks it.
struct TRankedRule {
  int Rule;
  int Class;
};

// How creation chooses rules. Without Select, creation makes rules up to the
// network's limit from the patterns that the rules made so far do not
// classify correctly, and keeps them all. With it, every pattern not
// classified correctly with an output above 0.5 makes a rule; after their
// evaluation, when there are more than `maxRules`, Select lists in `chosen`
// the rules to keep, in their new order, from `ranked` (best first).
struct TRuleModeKind {
  TRuleMode Mode;
  const char* Name;
  void (*Select)(const std::vector<TRankedRule>& ranked, int maxRules, int classes, std::vector<int>& chosen);
};

// How a class output combines the rules of the class: the outputs of a
// propagation from the activations of the rules that fired (`learning` as
// for PropagateValues). The passes over whole pattern sets (creation's
// blocks, pruning) have their own forms of the two aggregations.
struct TAggregationKind {
  TAggregationFunc Mode;
  const char* Name;
  const char* Keyword;  // its line in the network file
  void (*Outputs)(TFuzzyPerceptron& net, bool learning);
};
// How conclusion weights learn: one learning epoch, TModeFunctions::Learn
// with the mode's step.
struct TWeightModeKind {
  TWeightMode Mode;
  const char* Name;
  int (*Learn)(TFuzzyPerceptron& net, const TLearningTask& task, const TNetSettings& settings, float& error);
};

// The modes' functions that the network lets reach its state.
struct TModeFunctions {
  // The aggregations (fuzzynet_propagate.cpp).
  static void WeightedSumOutputs(TFuzzyPerceptron& net, bool learning);
  static void MaximumOutputs(TFuzzyPerceptron& net, bool learning);
  // A learning epoch in which a conclusion weight becomes Step(weight,
  // change) (fuzzynet_learn.cpp); without Step weights stay as they are.
  // Unit: Step keeps weights within [0, 1], so that one outside moves even
  // by a zero change. A template, so that the pass calls its step directly.
  template <float (*Step)(float weight, float change), bool Unit>
  static int Learn(TFuzzyPerceptron& net, const TLearningTask& task, const TNetSettings& settings, float& error);
};

// A mode's value is the number of its row.
template <typename TKind, std::size_t N>
constexpr bool InValueOrder(const TKind (&rows)[N]) {
  for (std::size_t i = 0; i < N; i++)
    if (static_cast<std::size_t>(rows[i].Mode) != i) return false;
  return true;
}

template <typename TKind>
struct TKindTable {
  const TKind* First;
  std::size_t Size;
  const TKind* begin() const { return First; }
  const TKind* end() const { return First + Size; }
  // The row of `mode`; a value outside the table gives the first row
  // (CheckSettings refuses such values).
  const TKind& operator[](decltype(TKind::Mode) mode) const {
    const std::size_t i = static_cast<std::size_t>(mode);
    return First[i < Size ? i : 0];
  }
};

template <typename TKind, std::size_t N>
constexpr TKindTable<TKind> KindTable(const TKind (&rows)[N]) {
  return {rows, N};
}

// In the order of their values.
extern const TKindTable<TRuleModeKind> RuleModes;
extern const TKindTable<TAggregationKind> Aggregations;
extern const TKindTable<TWeightModeKind> WeightModes;

// The settings table's words of the modes (Setting::Word).
const char* RuleModeWord(int i);
const char* AggregationWord(int i);
const char* WeightModeWord(int i);

namespace korvalin {
std::ostream& operator<<(std::ostream& out, RuleMode mode);
std::ostream& operator<<(std::ostream& out, Aggregation func);
std::ostream& operator<<(std::ostream& out, WeightMode mode);
}  // namespace korvalin
