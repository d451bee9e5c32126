#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "fuzzynet_test_util.h"

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

const char* const kClassified = "DIMENSIONS\n2 2\nPATTERNS\n2\n2 1 1 0\n8 2.5 1 0\nEND\n";
const char* const kUnclassified = "DIMENSIONS\n2 2\nNOCLASS\nPATTERNS\n2\n2 1\n8 2.5\nEND\n";

TEST(NetTest, ReportWithClassInformation) {
  auto net = Net(ReadTextFile(std::string(KORVALIN_TEST_DATA) + "/small.net"));
  auto task = LoadTask(kClassified);
  ASSERT_NE(task, nullptr);
  std::ostringstream report;
  float error = -1.0f;
  EXPECT_EQ(net->Test(*task, error, report), 1);
  EXPECT_EQ(error, 1.25f);
  EXPECT_EQ(report.str(),
            "# Pattern 1:\n\tOutput: 1\t0\t\n\tTarget: 1\t0\t\n\tPattern error : 0\n"
            "\tComputed class: narrow (Class 1)\n\tClassification: correct\n\n"
            "# Pattern 2:\n\tOutput: 0\t0.5\t\n\tTarget: 1\t0\t\n\tPattern error : 1.25\n"
            "\tComputed class: wide (Class 2)\n\tClassification: false\n\n");
}

TEST(NetTest, ReportWithoutClassInformation) {
  auto net = Net(ReadTextFile(std::string(KORVALIN_TEST_DATA) + "/small.net"));
  auto task = LoadTask(kUnclassified);
  ASSERT_NE(task, nullptr);
  std::ostringstream report;
  float error = -1.0f;
  EXPECT_EQ(net->Test(*task, error, report), 0);
  EXPECT_EQ(error, 0.0f);
  EXPECT_EQ(report.str(),
            "# Pattern 1:\n\tOutput: 1\t0\t\n\tComputed class: narrow (Class 1)\n\n"
            "# Pattern 2:\n\tOutput: 0\t0.5\t\n\tComputed class: wide (Class 2)\n\n");
}

TEST(NetTest, UndecidedPatternIsReportedCorrectButCounted) {
  auto net = Net(NetText(1, 2, {{{1}, 1, 1.0f}, {{2}, 2, 1.0f}}));
  auto task = LoadTask("DIMENSIONS\n1 2\nPATTERNS\n1\n1.5 1 0\nEND\n");
  std::ostringstream report;
  float error;
  EXPECT_EQ(net->Test(*task, error, report), 1);
  EXPECT_NE(report.str().find("\tClassification: correct\n"), std::string::npos);
}

TEST(NetListing, RulesWithOneToFourInputs) {
  std::ostringstream one, two, three, four;
  Net(NetText(1, 2, {{{2}, 2, 1.0f}}))->PrintRules(one, nullptr);
  EXPECT_EQ(one.str(), "#Rule 1:\nIF   Input_1 IS medium\nTHEN Class_2\n\n");
  Net(ReadTextFile(std::string(KORVALIN_TEST_DATA) + "/small.net"))->PrintRules(two, "[Rules]");
  EXPECT_EQ(two.str(),
            "[Rules]\n#Rule 1:\nIF   width IS small AND height IS small\nTHEN narrow\n\n"
            "#Rule 2:\nIF   width IS large AND height IS large\nTHEN wide\n\n"
            "#Rule 3:\nIF   width IS don't_care AND height IS medium\nTHEN wide\n\n");
  Net(NetText(3, 1, {{{1, 3, 0}, 1, 1.0f}}))->PrintRules(three, nullptr);
  EXPECT_EQ(three.str(), "#Rule 1:\nIF   Input_1 IS small AND Input_2 IS large AND \n     Input_3 IS don't_care\nTHEN Class_1\n\n");
  Net(NetText(4, 1, {{{1, 1, 2, 3}, 1, 1.0f}}))->PrintRules(four, nullptr);
  EXPECT_EQ(four.str(),
            "#Rule 1:\nIF   Input_1 IS small AND Input_2 IS small AND \n     Input_3 IS medium AND Input_4 IS large\n"
            "THEN Class_1\n\n");
}

TEST(NetListing, PartitionsInTheStreamsFormat) {
  std::ostringstream out;
  Net(NetText(1, 1, {{{1}, 1, 1.0f}}))->PrintPartitions(out, "[Fuzzy]");
  EXPECT_EQ(out.str(),
            "[Fuzzy]\n3\n0\t4\n0.000000\t1.000000\t2.000000\t1 0  small\n1.000000\t2.000000\t3.000000\t0 0  medium\n"
            "2.000000\t3.000000\t4.000000\t0 1  large\n\n");
}

}  // namespace
