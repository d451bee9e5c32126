// The network's indexed creation, selection, propagation, learning and
// testing against the rule-by-rule model, bit for bit, on clustered random
// data with missing values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fuzzynet_test_util.h"
#include "korvalin.h"
#include "reference_net.h"

namespace {

void ExpectSameNet(const TFuzzyPerceptron& net, const TRefNet& ref) {
  ASSERT_EQ(net.NumberOfRules(), ref.Rules());
  for (int r = 1; r <= ref.Rules(); r++) {
    const TRule& rule = TNetAccess::Rule(net, r);
    for (int j = 1; j <= ref.Inputs; j++) ASSERT_EQ(rule.Antecedent[j], ref.Ante[r - 1][j]) << r;
    ASSERT_EQ(rule.Class, ref.Class[r - 1]) << r;
    ASSERT_EQ(Bits(TNetAccess::Weight(net, r)), Bits(ref.Weight[r - 1])) << r;
  }
  for (int i = 1; i <= ref.Inputs; i++)
    for (int s = 1; s <= ref.Parts[i].NumberOfSets; s++) {
      const TFuzzySet& a = TNetAccess::Partition(net, i).Sets[s];
      const TFuzzySet& b = ref.Parts[i].Sets[s];
      ASSERT_EQ(Bits(a.a), Bits(b.a));
      ASSERT_EQ(Bits(a.b), Bits(b.b));
      ASSERT_EQ(Bits(a.c), Bits(b.c));
    }
}

// Every pattern's outcome from TestNet, and from Classify, against the
// model's; the totals against the model's sums in pattern order.
void ExpectSameTest(TFuzzyPerceptron& net, TRefNet& ref, const TLearningTask& task) {
  float error = 0.0f;
  int wrong = 0, undecided = 0;
  const TTestTotals totals = TestNet(net, task, [&](int p, const TOutcome& o) {
    const TPattern pattern = task.Patterns[p];
    ref.Propagate(pattern.Input.data(), task.MissingValue);
    int best = 0;
    const bool correct = ref.CheckOutput(pattern.Class, best);
    bool tie = false;
    for (int k = 1; k <= ref.Classes; k++) {
      ASSERT_EQ(Bits(o.Outputs[k - 1]), Bits(ref.Out[k])) << "pattern " << p;
      tie = tie || (k != best && ref.Out[k] == ref.Out[best]);
    }
    const TDecision decision =
        !(ref.Out[best] > 0.0f) ? TDecision::NoRuleFired : tie ? TDecision::Tie : TDecision::Decided;
    ASSERT_EQ(o.Best, best);
    ASSERT_EQ(o.Decision, decision) << "pattern " << p;
    ASSERT_EQ(o.Correct, correct);
    ASSERT_EQ(Bits(o.Error), Bits(ref.Error(pattern.Class)));
    // The deciding rule: the first of its class with the largest share.
    int rule = 0;
    float most = 0.0f;
    for (int r = 0; r < ref.Rules() && decision == TDecision::Decided; r++) {
      const float share = ref.Aggregation == Maximum ? ref.Act[r] : ref.Act[r] * ref.Weight[r];
      if (ref.Act[r] > 0.0f && ref.Class[r] == best && (rule == 0 || share > most)) {
        rule = r + 1;
        most = share;
      }
    }
    ASSERT_EQ(o.Rule, rule) << "pattern " << p;
    error += ref.Error(pattern.Class);
    wrong += correct ? 0 : 1;
    undecided += decision == TDecision::Decided ? 0 : 1;
    const TOutcome alone = Classify(net, pattern.Input.data(), task.NumberOfInputs, task.MissingValue);
    ASSERT_EQ(alone.Rule, o.Rule);
    ASSERT_EQ(Bits(alone.Activation), Bits(o.Activation));
  });
  EXPECT_EQ(totals.Patterns, task.NumberOfPatterns);
  EXPECT_EQ(totals.Misclassified, wrong);
  EXPECT_EQ(totals.Undecided, undecided);
  EXPECT_EQ(Bits(totals.Error), Bits(error));
}

struct TCreated {
  std::unique_ptr<TFuzzyPerceptron> Net;
  TRefNet Ref;
  std::string Log;
};

TCreated CreateBoth(const TLearningTask& task, int maxRules, TRuleMode mode, TAggregationFunc agg) {
  TCreated c;
  std::ostringstream log;
  TCreateReport report;
  c.Net = CreateNet(task, Settings(mode, maxRules, 5, agg), log, report);
  c.Log = log.str();
  int refNotCreated = -1;
  c.Ref.Aggregation = agg;
  c.Ref.Create(task, maxRules, mode, 5, refNotCreated);
  c.Ref.Evaluate(task, mode);
  EXPECT_EQ(report.NotCreated, refNotCreated);
  EXPECT_EQ(report.Selected, c.Net->NumberOfRules());
  return c;
}

class NetExact : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Task = LoadTask(MakePatternText(700, 4, 3, 11, 0.04)).release(); }
  static void TearDownTestSuite() { delete Task; }
  static TLearningTask* Task;
};
TLearningTask* NetExact::Task = nullptr;

TEST_F(NetExact, CreationSelectionAndTestInEveryMode) {
  ASSERT_NE(Task, nullptr);
  struct Case {
    int maxRules;
    TRuleMode mode;
    TAggregationFunc agg;
  } cases[] = {{12, Simple, WeightedSum}, {12, Best, WeightedSum},   {10, BestPerClass, WeightedSum},
               {2, BestPerClass, Maximum}, {1000, Best, Maximum},    {7, Best, Maximum}};
  int reconnected = 0;
  for (const Case& c : cases) {
    TCreated both = CreateBoth(*Task, c.maxRules, c.mode, c.agg);
    ExpectSameNet(*both.Net, both.Ref);
    EXPECT_GE(both.Net->NumberOfRules(), 1);
    // The test pass runs on the index that creation left: the classes the
    // connection check changed must have reached it.
    ExpectSameTest(*both.Net, both.Ref, *Task);
    for (std::size_t at = 0; (at = both.Log.find("reconnected from", at)) != std::string::npos; at++) reconnected++;
  }
  EXPECT_GT(reconnected, 0);
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
          const int wrong = LearnEpoch(*both.Net, *Task, prm, error);
          ASSERT_EQ(wrong, both.Ref.Learn(*Task, prm, refError)) << weights << intersect << agg << epoch;
          ASSERT_EQ(Bits(error), Bits(refError));
          ExpectSameNet(*both.Net, both.Ref);
        }
        ExpectSameTest(*both.Net, both.Ref, *Task);
        // A learnt network's text reads back to a network that writes the same text.
        const std::string text = TextOf(*both.Net);
        auto again = NetFromText(text);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(TextOf(*again), text);
      }
}

// Propagation with and without the record of minimum inputs, per pattern.
void ExpectSamePropagation(TFuzzyPerceptron& net, TRefNet& ref, const TLearningTask& task) {
  for (bool learning : {false, true})
    for (int p = 1; p <= task.NumberOfPatterns; p++) {
      const float* x = task.Patterns[p].Input.data();
      TNetAccess::Propagate(net, x, task.NumberOfInputs, task.MissingValue, learning);
      ref.Propagate(x, task.MissingValue);
      for (int k = 1; k <= ref.Classes; k++) ASSERT_EQ(Bits(TNetAccess::Outputs(net)[k - 1]), Bits(ref.Out[k])) << p;
      for (int r = 1; r <= ref.Rules(); r++) {
        ASSERT_EQ(Bits(TNetAccess::RuleActivations(net)[r - 1]), Bits(ref.Act[r - 1])) << learning << " " << p;
        if (learning && ref.Act[r - 1] != 0.0f) {
          ASSERT_EQ(TNetAccess::MinInputs(net)[r - 1], ref.MinIn[r - 1]) << p;
        }
      }
    }
}

TEST_F(NetExact, EditedRulesPropagateAndLearnLikeTheModel) {
  // Edits of a network whose index is built: don't-care entries, a class,
  // and odd weights, where -0 turns +0 and weights outside [0, 1] get
  // clamped even on rules that do not fire; skipping those rules must not
  // lose that.
  for (TWeightMode weights : {Normalized, Free}) {
    TCreated both = CreateBoth(*Task, 25, Best, WeightedSum);
    ExpectSamePropagation(*both.Net, both.Ref, *Task);
    TNetAccess::SetAntecedent(*both.Net, 1, 2, 0);
    TNetAccess::SetAntecedent(*both.Net, 3, 1, -1);
    TNetAccess::SetAntecedent(*both.Net, 3, 4, 0);
    TRefNet edited(*both.Net);
    ExpectSamePropagation(*both.Net, edited, *Task);
    const float odd[] = {-0.0f, 1.5f, -0.25f, 0.0f, 2.0f};
    for (int r = 1; r <= both.Net->NumberOfRules(); r++) TNetAccess::SetWeight(*both.Net, r, odd[r % 5]);
    TNetAccess::SetClass(*both.Net, 2, TNetAccess::Rule(*both.Net, 2).Class % 3 + 1);
    TRefNet ref(*both.Net);
    ExpectSamePropagation(*both.Net, ref, *Task);
    TNetSettings prm;
    prm.Weights = weights;
    prm.Sigma = 0.3f;
    float error, refError;
    for (int epoch = 1; epoch <= 2; epoch++) {
      ASSERT_EQ(LearnEpoch(*both.Net, *Task, prm, error), ref.Learn(*Task, prm, refError));
      ASSERT_EQ(Bits(error), Bits(refError));
      ExpectSameNet(*both.Net, ref);
    }
  }
}

TEST_F(NetExact, NaNDegreesOfFiringRulesLikeTheModel) {
  // Among the degrees of a rule that fires, a NaN first degree is the
  // activation and a later one is passed over, as in the rule-by-rule scan.
  // (A rule with a zero degree does not fire, whatever NaN precedes it.)
  TCreated both = CreateBoth(*Task, 40, Best, WeightedSum);
  for (int i = 1; i <= 2; i++)
    for (int s = 2; s <= TNetAccess::Partition(*both.Net, i).NumberOfSets - 1; s++) {
      TFuzzySet set = TNetAccess::Partition(*both.Net, i).Sets[s];
      set.b = std::numeric_limits<float>::quiet_NaN();
      TNetAccess::SetFuzzySet(*both.Net, i, s, set);
    }
  TRefNet ref(*both.Net);
  int firstNaN = 0, laterNaN = 0;
  for (int p = 1; p <= Task->NumberOfPatterns; p++) {
    const TInputView x = Task->Patterns[p].Input;
    ref.Propagate(x.data(), Task->MissingValue);
    for (int r = 0; r < ref.Rules(); r++) {
      const int s2 = ref.Ante[r][2];
      firstNaN += std::isnan(ref.Act[r]);
      laterNaN += s2 >= 1 && std::isnan(ref.Parts[2].GetMembershipVector(x[2])[s2]) && !std::isnan(ref.Act[r]) &&
                  ref.Act[r] != 0.0f;
    }
  }
  EXPECT_GT(firstNaN, 0);
  EXPECT_GT(laterNaN, 0);
  for (bool learning : {false, true})
    for (int p = 1; p <= Task->NumberOfPatterns; p++) {
      const float* x = Task->Patterns[p].Input.data();
      TNetAccess::Propagate(*both.Net, x, Task->NumberOfInputs, Task->MissingValue, learning);
      ref.Propagate(x, Task->MissingValue);
      for (int r = 1; r <= ref.Rules(); r++) {
        const float act = TNetAccess::RuleActivations(*both.Net)[r - 1];
        if (Bits(act) == 0) continue;
        ASSERT_EQ(Bits(act), Bits(ref.Act[r - 1])) << learning << " " << p;
        if (learning) {
          ASSERT_EQ(TNetAccess::MinInputs(*both.Net)[r - 1], ref.MinIn[r - 1]) << p;
        }
      }
    }
}

TEST(NetExactClasses, WeightedSumsForEachClassCountLikeTheModel) {
  // Outside learning, four classes and fewer sum in registers, more in
  // memory; odd weights (negative, zero, above one) make the order of the
  // terms count.
  for (int classes : {4, 6}) {
    auto task = LoadTask(MakePatternText(500, 4, classes, 5, 0.04));
    ASSERT_NE(task, nullptr);
    auto net = Create(*task, Settings(Best, 60, 5));
    const float odd[] = {-0.5f, 0.0f, 2.5f, 0.3f, -0.0f};
    for (int r = 1; r <= net->NumberOfRules(); r++) TNetAccess::SetWeight(*net, r, odd[r % 5]);
    TRefNet ref(*net);
    ExpectSameTest(*net, ref, *task);
  }
}

}  // namespace
