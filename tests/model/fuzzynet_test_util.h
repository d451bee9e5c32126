// Helpers shared by the network tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "../scratch_dir.h"
#include "fuzzynet_internal.h"
#include "korvalin.h"

inline std::uint32_t Bits(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

// A network from its text, and the reader's status; a text that the
// reader refuses fails the test.
inline std::unique_ptr<TFuzzyPerceptron> NetFromText(const std::string& text, TLoadStatus* status = nullptr) {
  std::istringstream in(text);
  TLoadStatus read = LoadOk;
  std::ostringstream messages;
  auto net = ReadNet(in, read, messages);
  if (status != nullptr) *status = read;
  if (net == nullptr) throw std::runtime_error("network text refused: " + messages.str());
  return net;
}

// The text form; "" when there is none.
inline std::string TextOf(const TFuzzyPerceptron& net) {
  std::ostringstream out;
  WriteNet(out, net);
  return out.str();
}

// A pattern set from its text; a text that the reader refuses fails the test.
inline std::unique_ptr<TLearningTask> LoadTask(const std::string& text) {
  std::istringstream in(text);
  TLoadStatus status;
  std::ostringstream messages;
  auto task = std::make_unique<TLearningTask>(in, status, messages);
  if (status == LoadError || !in.good()) throw std::runtime_error("pattern text refused: " + messages.str());
  return task;
}

inline TNetSettings Settings(TRuleMode mode, int maxRules, int sets, TAggregationFunc aggregation = WeightedSum) {
  TNetSettings s;
  s.RuleMode = mode;
  s.MaxRules = maxRules;
  s.FSetsPerVariable = sets;
  s.Aggregation = aggregation;
  return s;
}

inline std::unique_ptr<TFuzzyPerceptron> Create(const TLearningTask& task, const TNetSettings& settings,
                                                std::string* log = nullptr) {
  std::ostringstream out;
  TCreateReport report;
  auto net = CreateNet(task, settings, out, report);
  if (log != nullptr) *log = out.str();
  return net;
}
