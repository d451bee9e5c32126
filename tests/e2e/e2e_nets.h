// Network and pattern files written by the tests themselves, so that the
// learning and testing commands can be driven without creating networks.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct NetRule {
  std::vector<int> sets;  // per input: fuzzy set number, 0 for "don't care"
  int cls;
  float weight = 1.0f;
};

struct NetSpec {
  std::vector<std::pair<float, float>> ranges;  // per input
  int setsPerInput = 3;  // evenly laid out over each range
  int classes = 3;
  std::vector<NetRule> rules;
};

// The network file text of `spec`.
std::string NetworkText(const NetSpec& spec);

// A small network for the iris patterns (4 inputs, 3 classes) that
// classifies most patterns by the petal measures and leaves learning
// something to do.
NetSpec IrisNet();

// The iris pattern file of the test data.
std::string IrisPatterns();
// Iris inputs without class information.
std::string IrisPatternsWithoutClasses();

// A pattern file of `patterns` patterns with `inputs` inputs in 0..1 and
// `classes` classes, the same for the same arguments.
std::string SyntheticPatterns(int patterns, int inputs, int classes);

}  // namespace e2e
