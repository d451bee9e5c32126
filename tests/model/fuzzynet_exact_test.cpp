// The network's indexed propagation, creation, selection and learning
// against the rule-by-rule model, bit for bit, on clustered random data
// with missing values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "fuzzynet_test_util.h"
#include "korvalin.h"
#include "reference_net.h"

namespace {

std::uint32_t Bits(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

void ExpectSameNet(const TFuzzyPerceptron& net, const TRefNet& ref) {
  ASSERT_EQ(net.NumberOfRules, ref.Rules());
  for (int r = 1; r <= net.NumberOfRules; r++) {
    for (int j = 1; j <= ref.Inputs; j++) ASSERT_EQ(net.Rules[r]->Antecedent[j], ref.Ante[r - 1][j]) << r;
    ASSERT_EQ(net.Rules[r]->Class, ref.Class[r - 1]) << r;
    ASSERT_EQ(Bits(net.Rules[r]->Weight), Bits(ref.Weight[r - 1])) << r;
  }
  for (int i = 1; i <= ref.Inputs; i++)
    for (int s = 1; s <= ref.Parts[i].NumberOfSets; s++) {
      const TFuzzySet& a = net.Partitions[i].Sets[s];
      const TFuzzySet& b = ref.Parts[i].Sets[s];
      ASSERT_EQ(Bits(a.a), Bits(b.a));
      ASSERT_EQ(Bits(a.b), Bits(b.b));
      ASSERT_EQ(Bits(a.c), Bits(b.c));
    }
}

struct TCreated {
  std::unique_ptr<TFuzzyPerceptron> Net;
  TRefNet Ref;
};

TCreated CreateBoth(const TLearningTask& task, int maxRules, TRuleMode mode, TAggregationFunc agg) {
  TCreated c;
  std::ostringstream log;  // its text is checked by the hand-made cases
  int notCreated = -1, refNotCreated = -2;
  c.Net = std::make_unique<TFuzzyPerceptron>(task, maxRules, mode, TVector<int>(task.NumberOfInputs, 5), agg,
                                             notCreated, log);
  c.Net->EvaluateRules(task, mode, log);
  c.Ref.Aggregation = agg;
  c.Ref.Create(task, maxRules, mode, 5, refNotCreated);
  c.Ref.Evaluate(task, mode);
  EXPECT_EQ(notCreated, refNotCreated);
  return c;
}

class NetExact : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Task = LoadTask(MakePatternText(700, 4, 3, 11, 0.04)).release(); }
  static void TearDownTestSuite() { delete Task; }
  static TLearningTask* Task;
};
TLearningTask* NetExact::Task = nullptr;

TEST_F(NetExact, CreationAndSelectionInEveryMode) {
  ASSERT_NE(Task, nullptr);
  struct Case {
    int maxRules;
    TRuleMode mode;
    TAggregationFunc agg;
  } cases[] = {{12, Simple, WeightedSum}, {12, Best, WeightedSum},   {10, BestPerClass, WeightedSum},
               {2, BestPerClass, Maximum}, {1000, Best, Maximum},    {7, Best, Maximum}};
  for (const Case& c : cases) {
    TCreated both = CreateBoth(*Task, c.maxRules, c.mode, c.agg);
    ExpectSameNet(*both.Net, both.Ref);
    EXPECT_LE(both.Net->NumberOfRules, both.Net->MaxRules);
    EXPECT_GE(both.Net->NumberOfRules, 1);
  }
}

TEST_F(NetExact, TestPassMatchesRuleByRuleModel) {
  for (TAggregationFunc agg : {WeightedSum, Maximum}) {
    TCreated both = CreateBoth(*Task, 40, Best, agg);
    float error = -1.0f;
    const int wrong = both.Net->Test(*Task, error);
    float refError = 0.0f;
    int refWrong = 0;
    for (int p = 1; p <= Task->NumberOfPatterns; p++) {
      both.Ref.Propagate(Task->Patterns[p].Input.data(), Task->MissingValue);
      refError += both.Ref.Error(Task->Patterns[p].Class);
      int c;
      if (!both.Ref.CheckOutput(Task->Patterns[p].Class, c)) refWrong++;
    }
    EXPECT_EQ(wrong, refWrong);
    EXPECT_EQ(Bits(error), Bits(refError));
    // The pass with a report counts the same.
    std::ostringstream report;
    const TTestTotals totals = TestNet(*both.Net, *Task, report);
    EXPECT_EQ(totals.Misclassified, wrong);
    EXPECT_EQ(Bits(totals.Error), Bits(error));
  }
}

TEST_F(NetExact, LearningEpochsInEveryWeightMode) {
  for (TWeightMode weights : {Fixed, Normalized, Free})
    for (bool intersect : {false, true})
      for (TAggregationFunc agg : {WeightedSum, Maximum}) {
        TCreated both = CreateBoth(*Task, 30, BestPerClass, agg);
        TNetSettings prm;
        prm.Weights = weights;
        prm.FsIntersect = intersect;
        prm.Sigma = 0.2f;
        prm.SigmaA = prm.SigmaB = prm.SigmaC = 0.05f;
        for (int epoch = 1; epoch <= 3; epoch++) {
          float error = -1.0f, refError = -2.0f;
          const int wrong = both.Net->Learn(*Task, prm, error);
          const int refWrong = both.Ref.Learn(*Task, prm, refError);
          ASSERT_EQ(wrong, refWrong) << weights << intersect << agg << epoch;
          ASSERT_EQ(Bits(error), Bits(refError));
          ExpectSameNet(*both.Net, both.Ref);
        }
        // A learnt network's text reads back to a network that writes the same text.
        const std::string text = WriteNet(*both.Net);
        TNetLoad again = LoadNet(text);
        ASSERT_EQ(again.Status, LoadOk);
        EXPECT_EQ(WriteNet(*again.Net), text);
      }
}

TEST_F(NetExact, LoadedNetworkPropagatesLikeTheModel) {
  // Hand-made rule bases with don't-care entries and negative weights.
  TCreated both = CreateBoth(*Task, 20, Best, WeightedSum);
  both.Net->Rules[1]->Antecedent[2] = 0;
  both.Net->Rules[3]->Antecedent[1] = -1;
  both.Net->Rules[3]->Antecedent[4] = 0;
  both.Net->Rules[2]->Weight = -0.5f;
  both.Net->Rules[5]->Weight = 0.0f;
  both.Net->RulesChanged();
  TRefNet ref(*both.Net);
  for (int p = 1; p <= Task->NumberOfPatterns; p++) {
    both.Net->Propagate(Task->Patterns[p].Input, Task->MissingValue);
    ref.Propagate(Task->Patterns[p].Input.data(), Task->MissingValue);
    for (int k = 1; k <= ref.Classes; k++) ASSERT_EQ(Bits(both.Net->OutputActivation[k]), Bits(ref.Out[k])) << p;
    for (int r = 1; r <= ref.Rules(); r++) {
      ASSERT_EQ(Bits(both.Net->RuleActivation[r]), Bits(ref.Act[r - 1])) << p;
      if (ref.Act[r - 1] > 0.0f) {
        ASSERT_EQ(both.Net->MinInput[r], ref.MinIn[r - 1]);
      }
    }
  }
}

TEST_F(NetExact, LearningFromOddWeights) {
  // Weights of -0 turn +0 and weights outside [0, 1] get clamped even on
  // rules that do not fire; skipping those rules must not lose that.
  for (TWeightMode weights : {Normalized, Free}) {
    TCreated both = CreateBoth(*Task, 25, Best, WeightedSum);
    for (int r = 1; r <= both.Net->NumberOfRules; r++) {
      const float odd[] = {-0.0f, 1.5f, -0.25f, 0.0f, 2.0f};
      both.Net->Rules[r]->Weight = odd[r % 5];
    }
    both.Net->RulesChanged();
    TRefNet ref(*both.Net);
    TNetSettings prm;
    prm.Weights = weights;
    prm.Sigma = 0.3f;
    float error, refError;
    for (int epoch = 1; epoch <= 2; epoch++) {
      ASSERT_EQ(both.Net->Learn(*Task, prm, error), ref.Learn(*Task, prm, refError));
      ASSERT_EQ(Bits(error), Bits(refError));
      ExpectSameNet(*both.Net, ref);
    }
  }
}

}  // namespace

TEST_F(NetExact, NaNDegreesOfFiringRulesLikeTheModel) {
  // Among the degrees of a rule that fires, a NaN first degree is the
  // activation and a later one is passed over, as in the rule-by-rule scan.
  // (A rule with a zero degree does not fire, whatever NaN precedes it.)
  TCreated both = CreateBoth(*Task, 40, Best, WeightedSum);
  for (int i = 1; i <= 2; i++)
    for (int s = 2; s <= both.Net->Partitions[i].NumberOfSets - 1; s++)
      both.Net->Partitions[i].Sets[s].b = std::numeric_limits<float>::quiet_NaN();
  both.Net->RulesChanged();
  TRefNet ref(*both.Net);
  int firstNaN = 0, laterNaN = 0;
  for (int p = 1; p <= Task->NumberOfPatterns; p++) {
    const TInputView x = Task->Patterns[p].Input;
    both.Net->Propagate(x, Task->MissingValue);
    ref.Propagate(x.data(), Task->MissingValue);
    for (int r = 1; r <= ref.Rules(); r++) {
      if (Bits(both.Net->RuleActivation[r]) == 0) continue;
      ASSERT_EQ(Bits(both.Net->RuleActivation[r]), Bits(ref.Act[r - 1])) << p;
      ASSERT_EQ(both.Net->MinInput[r], ref.MinIn[r - 1]) << p;
      const int s2 = ref.Ante[r - 1][2];
      const bool nan2 = s2 >= 1 && std::isnan(ref.Parts[2].GetMembershipVector(x[2])[s2]);
      firstNaN += std::isnan(ref.Act[r - 1]);
      laterNaN += nan2 && !std::isnan(ref.Act[r - 1]);
    }
  }
  EXPECT_GT(firstNaN, 0);
  EXPECT_GT(laterNaN, 0);
}

TEST(NetExactClasses, WeightedSumsForEachClassCountLikeTheModel) {
  // Outside learning, four classes and fewer sum in registers, more in
  // memory; odd weights (negative, zero, above one) make the order of the
  // terms count.
  for (int classes : {4, 6}) {
    auto task = LoadTask(MakePatternText(500, 4, classes, 5, 0.04));
    ASSERT_NE(task, nullptr);
    TCreated both = CreateBoth(*task, 60, Best, WeightedSum);
    const float odd[] = {-0.5f, 0.0f, 2.5f, 0.3f, -0.0f};
    for (int r = 1; r <= both.Net->NumberOfRules; r++) both.Net->Rules[r]->Weight = odd[r % 5];
    both.Net->RulesChanged();
    TRefNet ref(*both.Net);
    float refError = 0.0f;
    int refWrong = 0;
    for (int p = 1; p <= task->NumberOfPatterns; p++) {
      both.Net->Propagate(task->Patterns[p].Input, task->MissingValue);
      ref.Propagate(task->Patterns[p].Input.data(), task->MissingValue);
      for (int k = 1; k <= classes; k++)
        ASSERT_EQ(Bits(both.Net->OutputActivation[k]), Bits(ref.Out[k])) << classes << " classes, pattern " << p;
      refError += ref.Error(task->Patterns[p].Class);
      int c;
      if (!ref.CheckOutput(task->Patterns[p].Class, c)) refWrong++;
    }
    float error = -1.0f;
    EXPECT_EQ(both.Net->Test(*task, error), refWrong) << classes << " classes";
    EXPECT_EQ(Bits(error), Bits(refError)) << classes << " classes";
  }
}
