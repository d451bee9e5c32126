// The classifier network: a three-layer fuzzy perceptron (input units with
// fuzzy partitions, rule units, one output unit per class), its text form,
// rule base creation and selection, propagation, learning and listings.
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

struct TNetSettings;

extern const char* const kwParameters;  // "PARAMETERS"
extern const char* const kwVarNames;    // "VARNAMES"
extern const char* const kwUseSum;      // "USESUM"
extern const char* const kwUseMaximum;  // "USEMAXIMUM"
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
// below 1 means "don't care") THEN Class, with conclusion weight Weight.
class TRule {
 public:
  TVector<int> Antecedent;
  int Class;
  float Weight;

  TRule() : Class(0), Weight(0.0f) {}
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
  std::vector<std::string> InputNames;  // 1-based (slot 0 unused), at most 29 characters each
  std::vector<std::string> ClassNames;  // 1-based (slot 0 unused), at most 29 characters each
  TVector<float> InputActivation;       // the last propagated pattern; dimension = inputs
  TVector<float> RuleActivation;        // dimension = NumberOfRules (empty without rules)
  TVector<float> OutputActivation;      // dimension = classes
  int MaxRules;
  int NumberOfRules;
  std::vector<std::unique_ptr<TRule>> Rules;  // 1-based: Rules[1..NumberOfRules]
  std::vector<TPartition> Partitions;         // 1-based: Partitions[i] belongs to input i
  // Per rule, the first input whose degree was the rule's minimum in the
  // last propagation. Only entries of rules with a non-zero activation are
  // kept current (learning reads no others); rule selection does not shrink it.
  TVector<int> MinInput;
  TAggregationFunc AggregationFunc;

  // Reads the text form of a network. On LoadError, or when the stream is
  // left failed, the object holds no rules and is only fit for destruction.
  TFuzzyPerceptron(std::istream& in, TLoadStatus& status, std::ostringstream& messages);

  // Builds the partitions from the task's bounds and creates the initial
  // rule base (the task must carry class information).
  TFuzzyPerceptron(const TLearningTask& task, int maxRules, TRuleMode mode, TVector<int> setsPerInput,
                   TAggregationFunc aggregation, int& notCreated, std::ostream& log);

  TFuzzyPerceptron(const TFuzzyPerceptron&) = delete;
  TFuzzyPerceptron& operator=(const TFuzzyPerceptron&) = delete;
  virtual ~TFuzzyPerceptron();

  int NumberOfInputs() const { return InputActivation.Dimension(); }
  int NumberOfClasses() const { return OutputActivation.Dimension(); }

  // Replaces both name tables by Input_1.. and Class_1...
  void CreateVariableNames(int inputs, int classes);

  // Rule base creation and selection.
  void CreateRuleBase(const TLearningTask& task, TRuleMode mode, int& notCreated, std::ostream& log);
  void CheckRuleConnections(const TLearningTask& task, std::ostream& log);
  void EvaluateRules(const TLearningTask& task, TRuleMode mode, std::ostream& log);

  // Propagation and classification. A pattern shorter than the network's
  // input dimension has its absent values treated as missing.
  const TVector<float>& Propagate(const TVector<float>& pattern, float missing);
  const TVector<float>& Propagate(const TInputView& pattern, float missing);
  const TVector<float>& Propagate(const float* pattern, int dimension, float missing);
  // The same outputs for passes that never learn: MinInput is left alone,
  // which lets propagation take a faster minimum.
  const TVector<float>& PropagateOnly(const float* pattern, int dimension, float missing);
  Boolean CheckOutput(int target, int& computedClass) const;
  float ComputePatternError(int target) const;
  // Propagates every pattern, sets `error` to the summed pattern error and
  // returns the number of misclassified patterns (both 0 without class
  // information). TestNet (korvalin.h) also writes the result file.
  int Test(const TLearningTask& task, float& error);

  // Learning by fuzzy error backpropagation.
  float FuzzyErrorBP(int target, const TNetSettings& settings, Boolean& correct);
  int Learn(const TLearningTask& task, const TNetSettings& settings, float& error);

  // Listings; `header` may be null. `exact` as for WritePartition.
  void PrintPartitions(std::ostream& out, const char* header, bool exact = false) const;
  void PrintRules(std::ostream& out, const char* header) const;

  // Must be called after changing any rule's Antecedent, Class or Weight, or
  // the partitions' set counts, from outside the network's own operations:
  // propagation works from an index of the rule base.
  void RulesChanged();

  // Replaces the rule base by `rules` (they become rules 1, 2, ...), each
  // with an antecedent of one entry per input, and rebuilds what
  // propagation derives from it. The partitions and names stay.
  void ReplaceRules(std::vector<TRule> rules);

 private:
  // Fast propagation state, derived from the rule base; see fuzzynet_propagate.cpp.
  struct TRuleIndex;
  std::unique_ptr<TRuleIndex> Index;

  TRuleIndex& CurrentIndex();
  void WeightsChanged();
  // `keepMinInput` false leaves MinInput alone, for passes that never learn.
  void PropagateValues(const float* pattern, int dimension, float missing, bool keepMinInput = true);
  void SelectRules(const std::vector<TValidator>& sorted, TRuleMode mode, std::ostream& log);
};

// Writes the text form of a network (switches the stream to fixed notation).
// A network without rules, or with a weight or set parameter that is not
// finite, has no text form that reads back: nothing is written and the
// stream is set failed, so that no caller reports such a save as success.
std::ostream& operator<<(std::ostream& out, const TFuzzyPerceptron& net);
// The same text; with `exact` every number as ExactText gives it, so that
// reading it back restores the network exactly.
std::ostream& WriteNetText(std::ostream& out, const TFuzzyPerceptron& net, bool exact);
