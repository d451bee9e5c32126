#include <gtest/gtest.h>

#include "fuzzynet_test_util.h"

namespace {

// One input over [0, 4] with sets small (0 1 2, left shoulder), medium
// (1 2 3) and large (2 3 4, right shoulder); one rule "IS <set> THEN class 1".
std::unique_ptr<TFuzzyPerceptron> OneRuleNet(int set, float weight) {
  std::ostringstream text;
  text << "PARAMETERS\n1 1 2 1\nFUZZY\n3\n0 4\n0 1 2 1 0  small\n1 2 3 0 0  medium\n2 3 4 0 1  large\n"
       << "MATRIX\n" << set << "\nWEIGHTS\n1 " << weight << "\nEND\n";
  TNetLoad load = LoadNet(text.str());
  EXPECT_EQ(load.Status, LoadOk) << load.Messages;
  return std::move(load.Net);
}

TNetSettings Rates(float sigma, float a, float b, float c, TWeightMode weights, bool intersect = false) {
  TNetSettings p;
  p.Sigma = sigma;
  p.SigmaA = a;
  p.SigmaB = b;
  p.SigmaC = c;
  p.Weights = weights;
  p.FsIntersect = intersect;
  return p;
}

void ExpectSet(const TFuzzySet& s, float a, float b, float c) {
  EXPECT_FLOAT_EQ(s.a, a);
  EXPECT_FLOAT_EQ(s.b, b);
  EXPECT_FLOAT_EQ(s.c, c);
}

TEST(NetLearn, OneStepByHand) {
  // x = 1.5 in medium: o = 0.5, output 0.5, e = 0.5, delta = 0.5*0.5*1*0.5 = 0.125,
  // width 2, x < b: db = -0.025, da = -0.05, dc = 0.
  auto net = OneRuleNet(2, 1.0f);
  net->Propagate(TVector<float>(1, 1.5f), 0.0f);
  Boolean correct = False;
  const float error = net->FuzzyErrorBP(1, Rates(0.1f, 0.1f, 0.1f, 0.1f, Free), correct);
  EXPECT_FLOAT_EQ(error, 0.25f);
  EXPECT_TRUE(correct);
  EXPECT_FLOAT_EQ(net->Rules[1]->Weight, 1.025f);
  ExpectSet(net->Partitions[1].Sets[2], 0.95f, 1.975f, 3.0f);
  // Neighbours stay where they were without the intersection constraint.
  ExpectSet(net->Partitions[1].Sets[1], 0.0f, 1.0f, 2.0f);
}

TEST(NetLearn, WeightModes) {
  // Increment 0.8 * 0.5 * 0.5 = 0.2 on a weight of 0.95.
  const float expected[] = {0.95f, 1.0f, 1.15f};
  for (TWeightMode mode : {Fixed, Normalized, Free}) {
    auto net = OneRuleNet(2, 0.95f);
    net->Propagate(TVector<float>(1, 1.5f), 0.0f);
    Boolean correct;
    net->FuzzyErrorBP(1, Rates(0.8f, 0.1f, 0.1f, 0.1f, mode), correct);
    EXPECT_FLOAT_EQ(net->Rules[1]->Weight, expected[mode]) << mode;
    // The error signal used the weight before the step: delta = 0.11875, db = -0.02375.
    EXPECT_FLOAT_EQ(net->Partitions[1].Sets[2].b, 2.0f - 0.02375f) << mode;
  }
}

TEST(NetLearn, ShoulderPinsTheFootAndMarginsHoldThePeak) {
  // Wrong class: e = -0.5 for the rule's class, delta = -0.125; x > b in
  // "small", so da = -0.2*(-0.125)*2 + db = 0.05 - 0.025, which the left shoulder refuses.
  auto shoulder = OneRuleNet(1, 1.0f);
  shoulder->Propagate(TVector<float>(1, 1.5f), 0.0f);
  Boolean correct = True;
  shoulder->FuzzyErrorBP(2, Rates(0.0f, 0.2f, 0.1f, 0.1f, Fixed), correct);
  EXPECT_FALSE(correct);
  ExpectSet(shoulder->Partitions[1].Sets[1], 0.0f, 0.975f, 1.95f);

  // A huge db would bring b within 0.1 of a (a is held by the range), so b stays;
  // c would come within 0.1 of b and stays too.
  auto margin = OneRuleNet(2, 1.0f);
  margin->Propagate(TVector<float>(1, 1.5f), 0.0f);
  margin->FuzzyErrorBP(1, Rates(0.0f, 0.1f, 4.0f, 0.1f, Fixed), correct);
  ExpectSet(margin->Partitions[1].Sets[2], 1.0f, 2.0f, 3.0f);
}

TEST(NetLearn, ConstrainedAdaptationMovesTheNeighbours) {
  auto net = OneRuleNet(2, 1.0f);
  net->Propagate(TVector<float>(1, 1.5f), 0.0f);
  Boolean correct;
  net->FuzzyErrorBP(1, Rates(0.1f, 0.1f, 0.1f, 0.1f, Fixed, true), correct);
  ExpectSet(net->Partitions[1].Sets[2], 0.95f, 1.975f, 3.0f);
  ExpectSet(net->Partitions[1].Sets[1], 0.0f, 0.95f, 1.975f);
  ExpectSet(net->Partitions[1].Sets[3], 1.975f, 3.0f, 4.0f);
}

TEST(NetLearn, EpochWithZeroRatesChangesNothingButCounts) {
  auto net = LoadNet(ReadTextFile(std::string(KORVALIN_TEST_DATA) + "/small.net")).Net;
  auto task = LoadTask("DIMENSIONS\n2 2\nPATTERNS\n3\n2 1 1 0\n8 2.5 1 0\n7 1.5 0 1\nEND\n");
  ASSERT_NE(task, nullptr);
  const std::string before = WriteNet(*net);
  float testError = 0.0f, learnError = 0.0f;
  const int testWrong = net->Test(*task, testError);
  EXPECT_EQ(net->Learn(*task, Rates(0.0f, 0.0f, 0.0f, 0.0f, Free), learnError), testWrong);
  EXPECT_EQ(learnError, testError);
  EXPECT_GT(learnError, 0.0f);
  EXPECT_EQ(WriteNet(*net), before);
}

TEST(NetLearn, UnclassifiedSetIsNotLearnt) {
  auto net = LoadNet(ReadTextFile(std::string(KORVALIN_TEST_DATA) + "/small.net")).Net;
  auto task = LoadTask("DIMENSIONS\n2 2\nNOCLASS\nPATTERNS\n1\n2 1\nEND\n");
  float error = 7.0f;
  EXPECT_EQ(net->Learn(*task, Rates(0.5f, 0.5f, 0.5f, 0.5f, Free), error), 0);
  EXPECT_EQ(error, 7.0f);
}

}  // namespace
