// Helpers shared by the network tests.
#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "korvalin.h"

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct TNetLoad {
  std::unique_ptr<TFuzzyPerceptron> Net;
  TLoadStatus Status = LoadOk;
  std::string Messages;
  bool StreamOk = false;  // neither failed nor at its end
};

inline TNetLoad LoadNet(const std::string& text) {
  std::istringstream in(text);
  TNetLoad result;
  std::ostringstream messages;
  result.Net = std::make_unique<TFuzzyPerceptron>(in, result.Status, messages);
  result.Messages = messages.str();
  result.StreamOk = in.good();
  return result;
}

inline std::string WriteNet(const TFuzzyPerceptron& net) {
  std::ostringstream out;
  out << net;
  return out.str();
}

inline std::unique_ptr<TLearningTask> LoadTask(const std::string& text) {
  std::istringstream in(text);
  TLoadStatus status;
  std::ostringstream messages;
  auto task = std::make_unique<TLearningTask>(in, status, messages);
  if (status == LoadError || !in.good()) return nullptr;
  return task;
}
