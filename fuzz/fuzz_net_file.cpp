// The network file reader. A network it accepts must survive what the
// program does with it: propagation of arbitrary inputs, the listings, and
// a save that reads back to the same text.
#include <cstring>
#include <sstream>

#include "fuzz_util.h"
#include "fuzzynet.h"

namespace {

std::string Written(const TFuzzyPerceptron& net) {
  std::ostringstream out;
  out << net;
  fuzz::Require(!out.fail());
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);
  std::istringstream in(text);
  TLoadStatus status;
  std::ostringstream messages;
  TFuzzyPerceptron net(in, status, messages);
  if (in.fail() || status == LoadError) {
    std::ostringstream where;
    in.clear();
    const long position = static_cast<long>(in.tellg());
    PrintErrorLine(where, in, position < 0 ? 0 : position);
    return 0;
  }
  fuzz::Require(net.NumberOfRules >= 1 && net.NumberOfInputs() >= 1 && net.NumberOfClasses() >= 1);
  // A few bytes may declare up to a million inputs or classes, which the
  // reader accepts; using such a network is slow and no more revealing.
  if (net.NumberOfInputs() > 4096 || net.NumberOfClasses() > 4096) return 0;

  // Inputs drawn from the file's own bytes, the missing-value marker among them.
  const int inputs = net.NumberOfInputs();
  {
    TVector<float> pattern(inputs, 0.0f);
    const float missing = 1.4e-45f;
    for (int round = 0; round < 3; round++) {
      for (int i = 1; i <= inputs; i++) {
        float x = 0.0f;
        const size_t at = (static_cast<size_t>(i) * 7 + round * 13) % (size >= 4 ? size - 3 : 1);
        if (size >= 4) std::memcpy(&x, data + at, sizeof x);
        if (round == 1) x = static_cast<float>(data[at % size]) / 16.0f;
        if (round == 2 && i % 2 == 0) x = missing;
        pattern[i] = x;
      }
      net.Propagate(pattern, missing);
      int computed = 0;
      net.CheckOutput(1, computed);
      net.ComputePatternError(net.NumberOfClasses());
    }
  }
  std::ostringstream listing;
  net.PrintRules(listing, "[Rules]");
  net.PrintPartitions(listing, "[Partitions]");

  // Saving and loading again must give back the same text.
  const std::string first = Written(net);
  std::istringstream again(first);
  TLoadStatus status2;
  std::ostringstream messages2;
  TFuzzyPerceptron reread(again, status2, messages2);
  fuzz::Require(!again.fail() && status2 == LoadOk);
  fuzz::Require(Written(reread) == first);
  return 0;
}
