// Two places where the network's fast paths could part from the rule-by-rule
// model without any ordinary data noticing: rules of equal performance in
// selection, and NaN degrees in the minimum of the passes that do not learn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "fuzzynet_test_util.h"
#include "reference_net.h"

namespace {

bool SameFloat(float a, float b) {
  std::uint32_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y || (std::isnan(a) && std::isnan(b));
}

// 27 patterns on the peaks of three sets per input, one per antecedent: every
// rule fires for its own pattern only, with activation 1, and decides it
// correctly, so all rules end with the same performance. Selection must then
// keep the order of creation (more than 16 rules, where an unstable sort
// reorders equal elements).
TEST(NetSelection, RulesOfEqualPerformanceKeepTheirOrder) {
  std::string text = "DIMENSIONS\n3 2\nINRANGES\n0 4\n0 4\n0 4\nPATTERNS\n27\n";
  for (int p = 0; p < 27; p++)
    text += std::to_string(1 + p % 3) + " " + std::to_string(1 + p / 3 % 3) + " " + std::to_string(1 + p / 9) +
            (p % 2 == 0 ? " 1 0\n" : " 0 1\n");
  auto task = LoadTask(text + "END\n");
  ASSERT_NE(task, nullptr);
  for (TRuleMode mode : {Best, BestPerClass}) {
    std::ostringstream log;
    int notCreated = 0, refNotCreated = 0;
    auto net = TNetAccess::Create(*task, 10, mode, TVector<int>(3, 3), WeightedSum, notCreated, log);
    ASSERT_EQ(net->NumberOfRules(), 27);
    TNetAccess::EvaluateRules(*net, *task, mode, log);
    TRefNet ref;
    ref.Create(*task, 10, mode, 3, refNotCreated);
    ref.Evaluate(*task, mode);
    ASSERT_EQ(net->NumberOfRules(), 10);
    ASSERT_EQ(ref.Rules(), 10);
    for (int r = 1; r <= 10; r++) {
      const TRule& rule = TNetAccess::Rule(*net, r);
      for (int j = 1; j <= 3; j++) EXPECT_EQ(rule.Antecedent[j], ref.Ante[r - 1][j]) << mode << " rule " << r;
      EXPECT_EQ(rule.Class, ref.Class[r - 1]) << mode << " rule " << r;
    }
  }
}

// Testing takes the minimum of a rule's degrees in four chains, and sums up to
// four classes in registers. A NaN degree in first place is the activation,
// a later one is passed over, as in the model's scan; six inputs put NaNs at
// the start of a chain and inside one, and every class has a rule.
// (The model gives NaN also to a rule that has a zero degree after a first
// NaN, where the network does not fire it: the patterns avoid that case.)
TEST(NetMinimum, NaNDegreesInThePassesThatDoNotLearnLikeTheModel) {
  std::ostringstream net;
  net << "PARAMETERS\n6 5 4 5\nUSESUM\nFUZZY\n";
  for (int i = 0; i < 6; i++) net << "3\n0 4\n0 1 2 1 0  small\n1 2 3 0 0  medium\n2 3 4 0 1  large\n";
  const int rules[5][6] = {
      {2, 2, 2, 2, 2, 2}, {1, 2, 2, 2, 2, 2}, {2, 0, 2, 0, 2, 2}, {3, 3, 3, 2, 3, 3}, {0, 0, 0, 2, 0, 2}};
  net << "MATRIX\n";
  for (int j = 0; j < 6; j++) {
    for (const auto& r : rules) net << r[j] << ' ';
    net << '\n';
  }
  net << "WEIGHTS\n1 1\n2 1\n3 0.5\n4 1\n1 1\nEND\n";
  auto loaded = NetFromText(net.str());
  ASSERT_NE(loaded, nullptr);
  for (int i : {1, 4}) {
    TFuzzySet set = TNetAccess::Partition(*loaded, i).Sets[2];
    set.b = std::numeric_limits<float>::quiet_NaN();
    TNetAccess::SetFuzzySet(*loaded, i, 2, set);
  }
  TRefNet ref(*loaded);

  int firstNaN = 0, laterNaN = 0;
  unsigned seed = 7;
  for (int p = 0; p < 300; p++) {
    std::string row = "DIMENSIONS\n6 4\nPATTERNS\n1\n";
    for (int i = 0; i < 6; i++) {
      seed = seed * 1103515245u + 12345u;
      const double u = (seed >> 16 & 0xff) / 255.0;  // the rules reading input 1's NaN set see no zero degree
      row += std::to_string(i == 0 ? 0.5 + 3 * u : 1.05 + 1.9 * u) + " ";
    }
    const char* targets[] = {"1 0 0 0\n", "0 1 0 0\n", "0 0 1 0\n", "0 0 0 1\n"};
    auto task = LoadTask(row + targets[p % 4] + "END\n");
    ASSERT_NE(task, nullptr);
    const TPattern pattern = task->Patterns[1];
    const TTestTotals totals = TestNet(*loaded, *task);
    const int wrong = totals.Misclassified;
    const float error = totals.Error;
    ref.Propagate(pattern.Input.data(), task->MissingValue);
    int computed;
    EXPECT_EQ(wrong, ref.CheckOutput(pattern.Class, computed) ? 0 : 1) << row;
    EXPECT_TRUE(SameFloat(error, ref.Error(pattern.Class))) << row << error;
    if (std::isnan(error))
      firstNaN++;
    else if (ref.Act[1] > 0.0f || ref.Act[3] > 0.0f || ref.Act[4] > 0.0f)
      laterNaN++;  // a rule fired with a NaN degree passed over
  }
  EXPECT_GT(firstNaN, 10);
  EXPECT_GT(laterNaN, 10);
}

}  // namespace
