// Large network and pattern files written by the tests themselves, too big
// to keep as test data.
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

// A pattern file of `patterns` patterns with `inputs` inputs in 0..1 and
// `classes` classes, the same for the same arguments.
std::string SyntheticPatterns(int patterns, int inputs, int classes);

}  // namespace e2e
