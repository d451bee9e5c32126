#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "fuzzynet_test_util.h"
#include "korvalin.h"

namespace {

const char* const kThreeSets =
    "3\n0 4\n0 1 2 1 0  small\n1 2 3 0 0  medium\n2 3 4 0 1  large\n";

// A network whose inputs all carry the partition above; each rule is
// (antecedent, class, weight).
std::string NetText(int inputs, int classes, const std::vector<std::tuple<std::vector<int>, int, float>>& rules,
                    const char* aggregation = "USESUM") {
  std::ostringstream t;
  t << "PARAMETERS\n" << inputs << " " << rules.size() << " " << classes << " 10\n" << aggregation << "\nFUZZY\n";
  for (int i = 0; i < inputs; i++) t << kThreeSets;
  t << "MATRIX\n";
  for (int i = 0; i < inputs; i++) {
    for (auto& r : rules) t << std::get<0>(r)[i] << " ";
    t << "\n";
  }
  t << "WEIGHTS\n";
  for (auto& r : rules) t << std::get<1>(r) << " " << std::get<2>(r) << "\n";
  t << "END\n";
  return t.str();
}

std::unique_ptr<TFuzzyPerceptron> Net(const std::string& text) {
  TNetLoad load = LoadNet(text);
  EXPECT_EQ(load.Status, LoadOk) << load.Messages;
  EXPECT_TRUE(load.StreamOk);
  return std::move(load.Net);
}

const float kMissing = 1.4e-45f;

TEST(NetPropagate, EqualOutputsAreUndecidedAndNoRuleGivesZeros) {
  auto net = Net(NetText(1, 2, {{{1}, 1, 1.0f}, {{2}, 2, 1.0f}}));
  int computed = 0;
  const TVector<float>& out = net->Propagate(TVector<float>(1, 1.5f), kMissing);
  EXPECT_EQ(out[1], 0.5f);
  EXPECT_EQ(out[2], 0.5f);
  EXPECT_FALSE(net->CheckOutput(1, computed));
  EXPECT_EQ(computed, 1);
  EXPECT_EQ(net->ComputePatternError(1), 0.5f);

  net->Propagate(TVector<float>(1, 3.5f), kMissing);
  EXPECT_EQ(net->OutputActivation[1], 0.0f);
  EXPECT_EQ(net->OutputActivation[2], 0.0f);
  EXPECT_FALSE(net->CheckOutput(1, computed));
  EXPECT_EQ(computed, 1);

  net->Propagate(TVector<float>(1, 1.25f), kMissing);
  EXPECT_TRUE(net->CheckOutput(1, computed));
  EXPECT_FALSE(net->CheckOutput(2, computed));
}

TEST(NetPropagate, WeightedSumAgainstMaximum) {
  // Activations 0.5 (weight 2) and 1.0 (weight 0, a rule that cares about nothing).
  const std::vector<std::tuple<std::vector<int>, int, float>> rules = {{{1, 0}, 1, 2.0f}, {{0, 0}, 1, 0.0f},
                                                                        {{3, 3}, 2, 1.0f}};
  TVector<float> x(2, 1.5f);
  auto sum = Net(NetText(2, 2, rules));
  sum->Propagate(x, kMissing);
  EXPECT_EQ(sum->RuleActivation[1], 0.5f);
  EXPECT_EQ(sum->RuleActivation[2], 1.0f);
  EXPECT_EQ(sum->OutputActivation[1], 0.5f);
  EXPECT_EQ(sum->OutputActivation[2], 0.0f);
  auto max = Net(NetText(2, 2, rules, "USEMAXIMUM"));
  max->Propagate(x, kMissing);
  EXPECT_EQ(max->OutputActivation[1], 1.0f);
}

TEST(NetPropagate, MissingValuesSatisfyEverySet) {
  auto net = Net(NetText(2, 2, {{{3, 1}, 1, 1.0f}, {{2, 2}, 2, 1.0f}}));
  float x[2] = {kMissing, 1.25f};
  net->Propagate(x, 2, kMissing);
  EXPECT_EQ(net->RuleActivation[1], 0.75f);
  EXPECT_EQ(net->MinInput[1], 2);
  EXPECT_EQ(net->RuleActivation[2], 0.25f);
  // With the marker 0 nothing is missing: 1.4e-45 lies in "small" only.
  net->Propagate(x, 2, 0.0f);
  EXPECT_EQ(net->RuleActivation[1], 0.0f);
  EXPECT_EQ(net->OutputActivation[1], 0.0f);
  // Of two equal degrees the first input decides.
  float tie[2] = {3.0f, 1.0f};
  net->Propagate(tie, 2, kMissing);
  EXPECT_EQ(net->RuleActivation[1], 1.0f);
  EXPECT_EQ(net->MinInput[1], 1);
}


TEST(NetTest, VerdictsInTheReportAddUpToTheMisclassifiedCount) {
  auto net = Net(NetText(1, 2, {{{1}, 1, 1.0f}, {{2}, 2, 1.0f}}));
  // All of class 1: decided for it, decided against it, a tie, no rule fired.
  auto task = LoadTask("DIMENSIONS\n1 2\nPATTERNS\n4\n0.5 1 0\n2.5 1 0\n1.5 1 0\n3.5 1 0\nEND\n");
  std::ostringstream report;
  EXPECT_EQ(TestNet(*net, *task, report).Misclassified, 3);
  const std::string r = report.str();
  for (const char* line : {"Classification: correct\n\n# Pattern 2:", "Classification: false\n\n# Pattern 3:",
                           "Computed class: undecided (tie between Class_1 and Class_2)\n\tClassification: undecided",
                           "Computed class: undecided (no rule fired)\n\tClassification: undecided\n\n"})
    EXPECT_NE(r.find(line), std::string::npos) << line << "\n" << r;
}

TEST(NetListing, RulesWithOneToFourInputs) {
  std::ostringstream one, three, four;
  Net(NetText(1, 2, {{{2}, 2, 1.0f}}))->PrintRules(one, nullptr);
  EXPECT_EQ(one.str(), "#Rule 1:\nIF   Input_1 IS medium\nTHEN Class_2\n\n");
  Net(NetText(3, 1, {{{1, 3, 0}, 1, 1.0f}}))->PrintRules(three, nullptr);
  EXPECT_EQ(three.str(), "#Rule 1:\nIF   Input_1 IS small AND Input_2 IS large AND \n     Input_3 IS don't_care\nTHEN Class_1\n\n");
  Net(NetText(4, 1, {{{1, 1, 2, 3}, 1, 1.0f}}))->PrintRules(four, nullptr);
  EXPECT_EQ(four.str(),
            "#Rule 1:\nIF   Input_1 IS small AND Input_2 IS small AND \n     Input_3 IS medium AND Input_4 IS large\n"
            "THEN Class_1\n\n");
}

}  // namespace
