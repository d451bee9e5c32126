// The classifier network: a three-layer fuzzy perceptron (input units with
// fuzzy partitions, rule units, one output unit per class), its text form,
// rule base creation and selection, propagation, learning and listings.
// Callers work with it through korvalin.h; its public members are what they
// may ask of a network, and its state is the model's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "containers.h"
#include "fuzzy.h"
#include "lrntask.h"
#include "modes.h"
#include "stdutils.h"

extern const char* const kwParameters;  // "PARAMETERS"
extern const char* const kwVarNames;    // "VARNAMES"
extern const char* const kwNames;       // "NAMES"
extern const char* const kwFuzzy;       // "FUZZY"
extern const char* const kwMatrix;      // "MATRIX"
extern const char* const kwWeights;     // "WEIGHTS"
extern const char* const kwEndNet;      // "END"

// Longest input or class name a network keeps.
constexpr std::size_t MaxNetNameLength = 29;

// Largest numbers of inputs and classes a network file may declare (the
// pattern file's own limit). Rules need no such bound: they are stored only
// as the MATRIX section's data arrives.
constexpr int MaxNetInputs = 1000000;
constexpr int MaxNetClasses = 1000000;

// One rule unit: IF input j IS set Antecedent[j] (j = 1..inputs; an entry
// below 1 means "don't care") THEN Class. Its conclusion weight is kept by
// the network, beside the other rules' weights.
class TRule {
 public:
  TVector<int> Antecedent;
  int Class;

  TRule() : Class(0) {}
};

// Performance record of one rule during rule evaluation.
struct TValidator {
  int RuleNo;
  float Performance;
};

// 0 when both performances are equal, 1 when the second one is greater,
// -1 otherwise: sorts the best rule first.
int SortValidators(const void* first, const void* second);

class TFuzzyPerceptron {
 public:
  TFuzzyPerceptron(const TFuzzyPerceptron&) = delete;
  TFuzzyPerceptron& operator=(const TFuzzyPerceptron&) = delete;
  ~TFuzzyPerceptron();

  int NumberOfInputs() const { return InputActivation.Dimension(); }
  int NumberOfClasses() const { return OutputActivation.Dimension(); }
  int NumberOfRules() const { return static_cast<int>(Rules.size()) - 1; }
  // Names are 1-based, at most 29 characters; "" out of range.
  const std::string& InputName(int input) const;
  const std::string& ClassName(int cls) const;
  // The range of input `input`'s partition.
  TBound InputRange(int input) const;

  // Listings; `header` may be null. `exact` as for WritePartition.
  void PrintPartitions(std::ostream& out, const char* header, bool exact = false) const;
  void PrintRules(std::ostream& out, const char* header) const;

 private:
  friend struct TNetAccess;  // the model's functions that are not members (fuzzynet_internal.h)
  friend struct TModeFunctions;

  std::vector<std::string> InputNames;  // 1-based (slot 0 unused)
  std::vector<std::string> ClassNames;  // 1-based (slot 0 unused)
  TVector<float> InputActivation;       // the last propagated pattern; dimension = inputs
  TVector<float> RuleActivation;        // dimension = NumberOfRules() (empty without rules)
  TVector<float> OutputActivation;      // dimension = classes
  int MaxRules;
  std::vector<std::unique_ptr<TRule>> Rules;  // 1-based: Rules[1..NumberOfRules()]
  std::vector<float> Weights;                 // per rule (0-based): its conclusion weight
  std::vector<TPartition> Partitions;         // 1-based: Partitions[i] belongs to input i
  // Per rule, the first input whose degree was the rule's minimum in the
  // last propagation. Only entries of rules with a non-zero activation are
  // kept current (learning reads no others).
  TVector<int> MinInput;
  TAggregationFunc AggregationFunc;

  // Fast propagation state, derived from the rule base (see
  // fuzzynet_propagate.cpp): a cache that every change of the rule base
  // below keeps current, built on first use.
  struct TRuleIndex;
  std::unique_ptr<TRuleIndex> Index;

  // Reads the text form of a network. On LoadError, or when the stream is
  // left failed, the object holds no rules and is only fit for destruction.
  TFuzzyPerceptron(std::istream& in, TLoadStatus& status, std::ostringstream& messages);
  // Builds the partitions from the task's bounds and creates the initial
  // rule base (the task must carry class information).
  TFuzzyPerceptron(const TLearningTask& task, int maxRules, TRuleMode mode, TVector<int> setsPerInput,
                   TAggregationFunc aggregation, int& notCreated, std::ostream& log);

  // Replaces both name tables by Input_1.. and Class_1...
  void CreateVariableNames(int inputs, int classes);

  // Rule base creation and selection.
  void CreateRuleBase(const TLearningTask& task, TRuleMode mode, int& notCreated, std::ostream& log);
  void CheckRuleConnections(const TLearningTask& task, std::ostream& log);
  void EvaluateRules(const TLearningTask& task, TRuleMode mode, std::ostream& log);
  void SelectRules(const std::vector<TValidator>& sorted, TRuleMode mode, std::ostream& log);

  // Changes of the rule base and the sets, the index kept current.
  // ReplaceRules makes `rules` with their `weights` rules 1, 2, ..., each
  // with one antecedent entry per input; the partitions and names stay.
  void ReplaceRules(std::vector<TRule> rules, std::vector<float> weights);
  void SetClass(int rule, int cls);
  void SetWeight(int rule, float weight);
  void SetAntecedent(int rule, int input, int set);
  void SetFuzzySet(int input, int set, const TFuzzySet& value);

  // Propagation. A pattern shorter than the network's input dimension has
  // its absent values treated as missing. `keepMinInput` false leaves
  // MinInput alone, for passes that never learn.
  void PropagateValues(const float* pattern, int dimension, float missing, bool keepMinInput = true);
  // The rules with a non-zero activation in the last propagation, in rule order.
  const std::vector<int>& FiredRules() const;
  Boolean CheckOutput(int target, int& computedClass) const;
  float ComputePatternError(int target) const;

  // Learning by fuzzy error backpropagation: one pattern, one epoch, with
  // conclusion weights as in TModeFunctions::Learn; Learn runs the epoch of
  // the settings' weight mode.
  template <float (*Step)(float, float), bool Unit>
  float FuzzyErrorBP(int target, const TNetSettings& settings, Boolean& correct);
  template <float (*Step)(float, float), bool Unit>
  int LearnWith(const TLearningTask& task, const TNetSettings& settings, float& error);
  int Learn(const TLearningTask& task, const TNetSettings& settings, float& error);

  // The text form (switches the stream to fixed notation); with `exact`
  // every number as ExactText gives it, so that reading it back restores
  // the network exactly. A network without rules, or with a weight or set
  // parameter that is not finite, has no text form that reads back: nothing
  // is written and the stream is set failed, so that no caller reports such
  // a save as success.
  void Write(std::ostream& out, bool exact) const;
  bool Writable() const;

  TRuleIndex& CurrentIndex();
  void RebuildIndex();
  void WeightsChanged();
};
