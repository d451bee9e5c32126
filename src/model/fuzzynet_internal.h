// The model library's own access to a network: for its functions that are
// not members of TFuzzyPerceptron (the API in classifier.cpp, and model
// functions that edit rules) and for the tests that compare a network with
// an independent model of it. Callers of the API never include it.
//
// Every change goes through the network, which keeps its rule index current.
#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <sstream>
#include <utility>
#include <vector>

#include "fuzzynet.h"

struct TNetAccess {
  // A network read from its text form; see the reading constructor.
  static std::unique_ptr<TFuzzyPerceptron> Read(std::istream& in, TLoadStatus& status, std::ostringstream& messages) {
    return std::unique_ptr<TFuzzyPerceptron>(new TFuzzyPerceptron(in, status, messages));
  }
  // A network with its initial rule base; EvaluateRules then selects.
  // Called next, on the same pattern set left unchanged, EvaluateRules
  // finishes what the connection check prepared for it.
  static std::unique_ptr<TFuzzyPerceptron> Create(const TLearningTask& task, int maxRules, TRuleMode mode,
                                                  const TVector<int>& setsPerInput, TAggregationFunc aggregation,
                                                  int& notCreated, std::ostream& log) {
    return std::unique_ptr<TFuzzyPerceptron>(
        new TFuzzyPerceptron(task, maxRules, mode, setsPerInput, aggregation, notCreated, log));
  }
  static void EvaluateRules(TFuzzyPerceptron& net, const TLearningTask& task, TRuleMode mode, std::ostream& log) {
    net.EvaluateRules(task, mode, log);
  }
  static int LearnEpoch(TFuzzyPerceptron& net, const TLearningTask& task, const TNetSettings& settings,
                        float& error) {
    return net.Learn(task, settings, error);
  }
  static void Write(std::ostream& out, const TFuzzyPerceptron& net, bool exact) { net.Write(out, exact); }

  // Propagation: `learning` also records each firing rule's minimum input,
  // which learning needs and nothing else does.
  static void Propagate(TFuzzyPerceptron& net, const float* row, int inputs, float missing, bool learning) {
    net.PropagateValues(row, inputs, missing, learning);
  }
  // State after a propagation: 0-based per class, per rule.
  static const float* Outputs(const TFuzzyPerceptron& net) { return net.OutputActivation.Data; }
  static const float* RuleActivations(const TFuzzyPerceptron& net) { return net.RuleActivation.Data; }
  static const int* MinInputs(const TFuzzyPerceptron& net) { return net.MinInput.Data; }
  static const std::vector<int>& FiredRules(const TFuzzyPerceptron& net) { return net.FiredRules(); }

  // The rule base and the partitions (1-based).
  static const TRule& Rule(const TFuzzyPerceptron& net, int r) { return *net.Rules[r]; }
  static float Weight(const TFuzzyPerceptron& net, int r) { return net.Weights[r - 1]; }
  static const TPartition& Partition(const TFuzzyPerceptron& net, int input) { return net.Partitions[input]; }
  static TAggregationFunc Aggregation(const TFuzzyPerceptron& net) { return net.AggregationFunc; }
  static int MaxRules(const TFuzzyPerceptron& net) { return net.MaxRules; }

  static void ReplaceRules(TFuzzyPerceptron& net, std::vector<TRule> rules, std::vector<float> weights) {
    net.ReplaceRules(std::move(rules), std::move(weights));
  }
  static void SetClass(TFuzzyPerceptron& net, int r, int cls) { net.SetClass(r, cls); }
  static void SetWeight(TFuzzyPerceptron& net, int r, float weight) { net.SetWeight(r, weight); }
  static void SetAntecedent(TFuzzyPerceptron& net, int r, int input, int set) { net.SetAntecedent(r, input, set); }
  static void SetFuzzySet(TFuzzyPerceptron& net, int input, int set, const TFuzzySet& value) {
    net.SetFuzzySet(input, set, value);
  }
};
