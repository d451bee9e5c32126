// Creation, selection, learning and testing on a fixed pattern file must
// give the same bytes from every build (any optimisation level, sanitizers
// or not): the expected output was recorded once and is compared whole.
// KORVALIN_WRITE_GOLDEN=1 records it anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "fuzzynet_test_util.h"
#include "korvalin.h"

namespace {

std::string RunEverything() {
  auto task = LoadTask(ReadTextFile(std::string(KORVALIN_TEST_DATA) + "/golden.pat"));
  if (!task) return "pattern file not loaded";
  std::ostringstream out;
  int notCreated = 0;
  TFuzzyPerceptron net(*task, 30, BestPerClass, TVector<int>(4, 5), WeightedSum, notCreated, out);
  net.EvaluateRules(*task, BestPerClass, out);
  TNetSettings params;
  params.Weights = Free;
  params.FsIntersect = true;
  params.Sigma = 0.1f;
  params.SigmaA = params.SigmaB = params.SigmaC = 0.05f;
  for (int epoch = 1; epoch <= 4; epoch++) {
    if (epoch == 3) params.FsIntersect = false;
    float error;
    const int wrong = net.Learn(*task, params, error);
    std::uint32_t bits;
    std::memcpy(&bits, &error, sizeof bits);
    out << "epoch " << epoch << ": " << wrong << " " << std::hex << bits << std::dec << '\n';
  }
  TestNet(net, *task, out);
  out << net;
  net.PrintRules(out, "[Rules]");
  return out.str();
}

TEST(NetGolden, SameBytesFromEveryBuild) {
  const std::string path = std::string(KORVALIN_TEST_DATA) + "/golden.out";
  const std::string actual = RunEverything();
  const char* write = std::getenv("KORVALIN_WRITE_GOLDEN");
  if (write != nullptr && std::strcmp(write, "1") == 0) {
    std::ofstream(path) << actual;
    GTEST_SKIP() << "recorded " << path;
  }
  EXPECT_TRUE(actual == ReadTextFile(path)) << "output differs from " << path;
}

}  // namespace
