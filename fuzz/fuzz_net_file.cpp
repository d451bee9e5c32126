// The network file reader. A network it accepts must survive what the
// program does with it: propagation of arbitrary inputs, the listings, and
// a save that reads back to the same text.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_util.h"
#include "korvalin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto written = [](const TFuzzyPerceptron& net) {
    std::ostringstream out;
    fuzz::Require(WriteNet(out, net));
    return out.str();
  };
  const std::string text = fuzz::Text(data, size);
  std::istringstream in(text);
  TLoadStatus status;
  std::ostringstream messages;
  std::unique_ptr<TFuzzyPerceptron> read = ReadNet(in, status, messages);
  if (!read) {  // what the load command shows for a failed read
    in.clear();
    PrintErrorLine(messages, in, std::max(0L, static_cast<long>(in.tellg())));
    return 0;
  }
  TFuzzyPerceptron& net = *read;
  fuzz::Require(net.NumberOfRules() >= 1 && net.NumberOfInputs() >= 1 && net.NumberOfClasses() >= 1);
  // A few bytes may declare up to a million inputs or classes, which the
  // reader accepts; using such a network is slow and no more revealing.
  if (net.NumberOfInputs() > 4096 || net.NumberOfClasses() > 4096) return 0;

  // Inputs drawn from the file's own bytes, the missing-value marker among them.
  const int inputs = net.NumberOfInputs();
  const float missing = 1.4e-45f;
  std::vector<float> pattern(inputs, 0.0f);
  for (int round = 0; round < 3; round++) {
    for (int i = 1; i <= inputs; i++) {
      const size_t at = (static_cast<size_t>(i) * 7 + round * 13) % (size >= 4 ? size - 3 : 1);
      if (size >= 4) std::memcpy(&pattern[i - 1], data + at, sizeof(float));
      if (round == 1) pattern[i - 1] = static_cast<float>(data[at % size]) / 16.0f;
      if (round == 2 && i % 2 == 0) pattern[i - 1] = missing;
    }
    const TOutcome outcome = Classify(net, pattern.data(), inputs, missing);
    fuzz::Require(outcome.Rule >= 0 && outcome.Rule <= net.NumberOfRules());
    Explain(net, pattern.data(), inputs, missing);
  }
  std::ostringstream listing;
  net.PrintRules(listing, "[Rules]");
  net.PrintPartitions(listing, "[Partitions]");

  // Saving and loading again must give back the same text.
  const std::string first = written(net);
  std::istringstream again(first);
  std::unique_ptr<TFuzzyPerceptron> reread = ReadNet(again, status, messages);
  fuzz::Require(reread != nullptr && status == LoadOk);
  fuzz::Require(written(*reread) == first);
  return 0;
}
