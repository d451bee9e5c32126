// The network's indexed creation, selection, propagation, learning, testing
// and pruning against the rule-by-rule model, bit for bit, on clustered
// random data with missing values and on rule bases of more than a thousand
// rules; on hand-made sets, NaN degrees in the minimum and subnormal outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <tuple>

#include "fuzzynet_test_util.h"
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
      const TFuzzySet &a = TNetAccess::Partition(net, i).Sets[s], &b = ref.Parts[i].Sets[s];
      ASSERT_TRUE(Bits(a.a) == Bits(b.a) && Bits(a.b) == Bits(b.b) && Bits(a.c) == Bits(b.c)) << i << " " << s;
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
    ASSERT_TRUE(o.Best == best && o.Decision == decision && o.Correct == correct) << "pattern " << p;
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
    ASSERT_TRUE(alone.Rule == o.Rule && Bits(alone.Activation) == Bits(o.Activation)) << "pattern " << p;
    // Every firing rule, its activation the least of the memberships Explain gives. A NaN marker
    // when the task has none: no value of the row may then count as missing.
    const float marker = task.MissingValue != 0.0f ? task.MissingValue : std::numeric_limits<float>::quiet_NaN();
    int fired = 0;
    for (int r = 0; r < ref.Rules(); r++) fired += ref.Act[r] > 0.0f ? 1 : 0;
    const std::vector<TFiring> why = Explain(net, pattern.Input.data(), task.NumberOfInputs, marker);
    ASSERT_EQ(static_cast<int>(why.size()), fired) << "pattern " << p;
    for (const TFiring& f : why)
      ASSERT_TRUE(Bits(f.Activation) == Bits(ref.Act[f.Rule - 1]) &&
                  Bits(*std::min_element(f.Memberships.begin(), f.Memberships.end())) == Bits(f.Activation))
          << "pattern " << p << " rule " << f.Rule;
  });
  EXPECT_EQ(std::make_tuple(totals.Patterns, totals.Misclassified, totals.Undecided, Bits(totals.Error)),
            std::make_tuple(task.NumberOfPatterns, wrong, undecided, Bits(error)));
}

// The connection check's lines as the model takes its sums over `task`.
std::string CheckLines(TRefNet ref, const TLearningTask& task) {
  const std::vector<std::vector<float>> sums = ref.ClassSums(task);
  std::string lines;
  char text[64];
  for (int r = 0; r < ref.Rules(); r++) {
    std::snprintf(text, sizeof text, " Rule %3i: ", r + 1);
    lines += text;
    for (int k = 1; k <= ref.Classes; k++) {
      std::snprintf(text, sizeof text, "%8.2f", static_cast<double>(sums[r][k]));
      lines += text;
    }
    lines += '\n';
  }
  return lines;
}

// The evaluation's table as the model computes it over `task`.
std::string EvaluationLines(TRefNet ref, const TLearningTask& task, const TFuzzyPerceptron& net) {
  std::string lines;
  char text[128];
  int i = 0;
  for (const auto& [performance, rule] : ref.Ranking(task)) {
    std::snprintf(text, sizeof text, " %4i  %4i \t %8.3f \t (class '%s')\n", ++i, rule,
                  static_cast<double>(performance), net.ClassName(ref.Class[rule - 1]).c_str());
    lines += text;
  }
  return lines;
}

// The same lines from the network's log, the reconnection notes left out.
std::string LogLines(const std::string& log, int classes) {
  std::istringstream in(log);
  std::string line, lines;
  while (std::getline(in, line)) {
    if (line.compare(0, 6, " Rule ") == 0) lines += line.substr(0, line.find(": ") + 2 + 8 * classes) + '\n';
    if (line.find("\t (class '") != std::string::npos) lines += line + '\n';
  }
  return lines;
}

struct TCreated {
  std::unique_ptr<TFuzzyPerceptron> Net;
  TRefNet Ref;
  std::string Log;
  TCreateReport Report;
};

TCreated CreateBoth(const TLearningTask& task, int maxRules, TRuleMode mode, TAggregationFunc agg, int sets = 5) {
  TCreated c;
  std::ostringstream log;
  c.Net = CreateNet(task, Settings(mode, maxRules, sets, agg), log, c.Report);
  c.Log = log.str();
  int refNotCreated = -1;
  c.Ref.Aggregation = agg;
  c.Ref.Create(task, maxRules, mode, sets, refNotCreated);
  EXPECT_EQ(std::make_tuple(c.Report.Created, c.Report.NotCreated), std::make_tuple(c.Ref.Rules(), refNotCreated));
  EXPECT_EQ(LogLines(c.Log, c.Ref.Classes), CheckLines(c.Ref, task) + EvaluationLines(c.Ref, task, *c.Net));
  c.Ref.Evaluate(task, mode);
  EXPECT_EQ(c.Report.Selected, c.Net->NumberOfRules());
  return c;
}

// Learning epochs of the network and of the model from the same state.
void ExpectSameEpochs(TFuzzyPerceptron& net, TRefNet& ref, const TLearningTask& task, const TNetSettings& prm,
                      int epochs) {
  for (int epoch = 1; epoch <= epochs; epoch++) {
    float error = -1.0f, refError = -2.0f;
    ASSERT_EQ(LearnEpoch(net, task, prm, error), ref.Learn(task, prm, refError)) << "epoch " << epoch;
    ASSERT_EQ(Bits(error), Bits(refError));
    ExpectSameNet(net, ref);
  }
}

// Four inputs over [0, 7.3], six sets each: a pattern on every peak of the
// grid, its class the parity of its place, and two between peaks where
// rules of both classes fire with the same degrees in another order: class
// 1's sum in rule order is one unit in the last place above class 2's,
// while the same terms taken in block order come out equal.
std::string NearTies() {
  const char* peak[] = {"1.04285717", "2.08571434", "3.12857151", "4.17142868", "5.21428585", "6.25714302"};
  std::ostringstream text;
  text << "DIMENSIONS\n4 2\nINRANGES\n0 7.3\n0 7.3\n0 7.3\n0 7.3\nPATTERNS\n1298\n";
  for (int at = 0; at < 1296; at++) {
    const int a = at % 6, b = at / 6 % 6, c = at / 36 % 6, d = at / 216;
    text << peak[a] << " " << peak[b] << " " << peak[c] << " " << peak[d];
    text << ((a + b + c + d) % 2 ? " 0 1\n" : " 1 0\n");
  }
  text << "3.761379 5.82039881 3.6500001 2.08571434 1 0\n2.33195734 5.23916626 5.73571444 2.08571434 1 0\nEND\n";
  return text.str();
}

// Task, with six classes, more than testing sums in registers; and two where
// creation finds more than a thousand rules, which the passes over whole
// pattern sets take by blocks: Large (with seven sets per input) and the
// grid of NearTies (six sets), whose rules mostly fire for their own
// pattern alone, so that selection meets many of equal performance, which
// must keep their order.
const TLearningTask* Task() { static const auto t = LoadTask(MakePatternText(700, 4, 6, 11, 0.04)); return t.get(); }
const TLearningTask* Large() { static const auto t = LoadTask(MakePatternText(1700, 6, 3, 4, 0.05)); return t.get(); }
const TLearningTask* Grid() { static const auto t = LoadTask(NearTies()); return t.get(); }

TEST(NetExact, CreationSelectionAndTestInEveryMode) {
  struct Case {
    int maxRules;
    TRuleMode mode;
    TAggregationFunc agg;
    const TLearningTask* task;
    int sets;
  } cases[] = {{12, Simple, WeightedSum, Task(), 5},    {12, Best, WeightedSum, Task(), 5},
               {10, BestPerClass, WeightedSum, Task(), 5}, {2, BestPerClass, Maximum, Task(), 5},
               {1000, Best, Maximum, Task(), 5},        {7, Best, Maximum, Task(), 5},
               {1100, Best, WeightedSum, Grid(), 6},    {1200, Best, WeightedSum, Large(), 7},
               {300, BestPerClass, Maximum, Large(), 7}};
  int reconnected = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.maxRules << " " << c.mode);
    const TLearningTask& task = *c.task;
    TCreated both = CreateBoth(task, c.maxRules, c.mode, c.agg, c.sets);
    ExpectSameNet(*both.Net, both.Ref);
    EXPECT_GE(both.Report.Created, c.task == Task() ? 1 : 1025);
    // The test pass runs on the index that creation left: the classes the
    // connection check changed must have reached it.
    ExpectSameTest(*both.Net, both.Ref, task);
    for (std::size_t at = 0; (at = both.Log.find("reconnected from", at)) != std::string::npos; at++) reconnected++;
  }
  EXPECT_GT(reconnected, 0);
}

TEST(NetExact, LearningEpochsInEveryWeightMode) {
  for (TWeightMode weights : {Fixed, Normalized, Free})
    for (bool intersect : {false, true})
      for (TAggregationFunc agg : {WeightedSum, Maximum}) {
        const bool large = weights == Free && !intersect;
        const TLearningTask& task = large ? *Large() : *Task();
        TCreated both = large ? CreateBoth(task, 1200, Best, agg, 7) : CreateBoth(task, 30, BestPerClass, agg);
        TNetSettings prm;
        prm.Weights = weights;
        prm.FsIntersect = intersect;
        prm.Sigma = 0.2f;
        prm.SigmaA = prm.SigmaB = prm.SigmaC = 0.05f;
        SCOPED_TRACE(testing::Message() << weights << intersect << agg);
        ExpectSameEpochs(*both.Net, both.Ref, task, prm, large ? 2 : 3);
        ExpectSameTest(*both.Net, both.Ref, task);
        // A learnt network's text reads back to a network that writes the same text.
        const std::string text = TextOf(*both.Net);
        EXPECT_EQ(TextOf(*NetFromText(text)), text);
      }
}

TEST(NetExact, EditedRulesPropagateAndLearnLikeTheModel) {
  // Edits of a network whose index is built: don't-care entries, a class,
  // and odd weights, where -0 turns +0 and weights outside [0, 1] get
  // clamped even on rules that do not fire; skipping those rules must not
  // lose that. Three classes: testing sums them in registers.
  const auto task = LoadTask(MakePatternText(400, 4, 3, 11, 0.04));
  for (TWeightMode weights : {Normalized, Free}) {
    TCreated both = CreateBoth(*task, 25, Best, WeightedSum);
    ExpectSameTest(*both.Net, both.Ref, *task);
    TNetAccess::SetAntecedent(*both.Net, 1, 2, 0);
    TNetAccess::SetAntecedent(*both.Net, 3, 1, -1);
    TNetAccess::SetAntecedent(*both.Net, 3, 4, 0);
    TRefNet edited(*both.Net);
    ExpectSameTest(*both.Net, edited, *task);
    const float odd[] = {-0.0f, 1.5f, -0.25f, 0.0f, 2.0f};
    for (int r = 1; r <= both.Net->NumberOfRules(); r++) TNetAccess::SetWeight(*both.Net, r, odd[r % 5]);
    TNetAccess::SetClass(*both.Net, 2, TNetAccess::Rule(*both.Net, 2).Class % 3 + 1);
    TRefNet ref(*both.Net);
    ExpectSameTest(*both.Net, ref, *task);
    TNetSettings prm;
    prm.Weights = weights;
    prm.Sigma = 0.3f;
    ExpectSameEpochs(*both.Net, ref, *task, prm, 2);
  }
}

// Pruning against the model's search, over 400 patterns with missing values
// (seven words in each of the pruner's sets of patterns), in both orders,
// lax, with maxima, and down to a rule limit without single entries, where
// inputs go once rules have gone.
TEST(NetExactPrune, LikeTheModel) {
  auto task = LoadTask(MakePatternText(400, 4, 3, 7, 0.05));
  const struct {
    TRuleMode mode;
    int rules;
    TWeightMode weights;
    TAggregationFunc agg;
    TPruneOptions options;  // inputs, entries, rules; order, lax, rule limit
  } cases[] = {{BestPerClass, 30, Normalized, WeightedSum, {true, true, true, TPruneOrder::Ranked, false, 0}},
               {Best, 20, Free, WeightedSum, {true, true, true, TPruneOrder::Sequential, true, 0}},
               {Simple, 0, Fixed, Maximum, {true, false, true, TPruneOrder::Ranked, false, 4}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rules);
    TNetSettings s = Settings(c.mode, c.rules, 3, c.agg);
    s.Weights = c.weights;
    s.Sigma = 0.3f;
    s.MaxEpoch = 5;
    auto net = Create(*task, s);
    TLearnObserver quiet;
    Learn(*net, *task, s, quiet);
    TRefPruner ref(TRefNet(*net), *task, c.options);
    const int before = ref.Now.Wrong;
    const TPruneReport report = Prune(*net, *task, c.options);
    ref.Run();
    ExpectSameNet(*net, ref.Kept(ref.Now));
    EXPECT_EQ(std::make_tuple(report.Before.Misclassified, report.After.Misclassified, report.Merged),
              std::make_tuple(before, ref.Now.Wrong, ref.Merged));
    const std::string text = TextOf(*net);
    EXPECT_EQ(TextOf(*NetFromText(text)), text);
  }
}

bool SameFloat(float a, float b) { return Bits(a) == Bits(b) || (std::isnan(a) && std::isnan(b)); }

// Testing takes the minimum of a rule's degrees in four chains (from five
// degrees on), and sums up to four classes in registers; learning scans.
// A NaN degree in first place is the activation, a later one is passed
// over, as in the model's scan; six inputs put NaNs at the start of a chain
// and inside one, and every class has a rule.
TEST(NetMinimum, NaNDegreesLikeTheModel) {
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
      const double u = (seed >> 16 & 0xff) / 255.0;
      row += std::to_string(i == 0 ? 0.5 + 3 * u : 1.05 + 1.9 * u) + " ";
    }
    const char* targets[] = {"1 0 0 0\n", "0 1 0 0\n", "0 0 1 0\n", "0 0 0 1\n"};
    auto task = LoadTask(row + targets[p % 4] + "END\n");
    const TPattern pattern = task->Patterns[1];
    const TTestTotals totals = TestNet(*loaded, *task);
    const int wrong = totals.Misclassified;
    const float error = totals.Error;
    ref.Propagate(pattern.Input.data(), task->MissingValue);
    int computed;
    EXPECT_EQ(wrong, ref.CheckOutput(pattern.Class, computed) ? 0 : 1) << row;
    EXPECT_TRUE(SameFloat(error, ref.Error(pattern.Class))) << row << error;
    // The learning pass's plain scan: the same activations, and the input
    // that holds the minimum.
    TNetAccess::Propagate(*loaded, pattern.Input.data(), 6, task->MissingValue, true);
    for (int r = 0; r < 5; r++) {
      if (ref.Act[r] == 0.0f) continue;
      EXPECT_TRUE(SameFloat(TNetAccess::RuleActivations(*loaded)[r], ref.Act[r])) << row << r;
      EXPECT_EQ(TNetAccess::MinInputs(*loaded)[r], ref.MinIn[r]) << row << r;
    }
    if (std::isnan(error))
      firstNaN++;
    else if (ref.Act[1] > 0.0f || ref.Act[3] > 0.0f || ref.Act[4] > 0.0f)
      laterNaN++;  // a rule fired with a NaN degree passed over
  }
  EXPECT_GT(firstNaN, 10);
  EXPECT_GT(laterNaN, 10);
}

TEST(NetExactCreation, PatternsCoveredAtTheBoundOfFiringRules) {
  // Sets small, medium, large peak at 1, 2 and 3. Rules (2,1), (3,1) and
  // (2,3) of class 1 come first; (missing, 1) fires the first two fully:
  // 2 of 3 rules, an output of 2/3, so it is covered and its own cell (1,1)
  // gets no rule. Creation skips the propagation only where at most half of
  // the class's rules can fire, counting every set of a missing input.
  auto task = LoadTask("DIMENSIONS\n2 2\nINRANGES\n0 4\n0 4\nPATTERNS\n5\n2 1 1 0\n3 1 1 0\n2 3 1 0\n"
                       "1.4e-45 1 1 0\n0.5 3.5 0 1\nEND\n");
  auto net = Create(*task, Settings(Best, 10, 3));
  ASSERT_EQ(net->NumberOfRules(), 4);
  EXPECT_EQ(TNetAccess::Rule(*net, 4).Antecedent[1], 1);
  EXPECT_EQ(TNetAccess::Rule(*net, 4).Antecedent[2], 3);
}

// Outputs in the subnormal range, where a quotient rounds by as much as
// itself: class 2's 3u / 2 rounds up to class 1's 2u (u = 2^-149), a tie
// that the evaluation's bounds on the outputs must allow for. Rules 1 and
// 2 fire with degrees 2u and 3u; the other thousand do not.
TEST(NetExactCreation, SubnormalOutputsRoundingToATie) {
  std::ostringstream net, matrix[2];
  net << "PARAMETERS\n2 1100 2 1100\nUSESUM\nFUZZY\n";
  for (int i = 0; i < 2; i++) net << "3\n0 4\n0 1 2 0 0  small\n1 2 3 0 0  medium\n2 3 4 0 0  large\n";
  for (int r = 0; r < 1100; r++)
    for (int j = 0; j < 2; j++) matrix[j] << (r == j ? 1 : r < 2 ? 0 : 3) << ' ';
  net << "MATRIX\n" << matrix[0].str() << '\n' << matrix[1].str() << "\nWEIGHTS\n";
  for (int r = 0; r < 1100; r++) net << (r == 0 ? 1 : r <= 2 ? 2 : 1 + r % 2) << (r <= 2 ? " 1\n" : " 0\n");
  auto loaded = NetFromText(net.str() + "END\n");
  auto task = LoadTask("DIMENSIONS\n2 2\nPATTERNS\n1\n2.8e-45 4.2e-45 1 0\nEND\n");
  std::ostringstream log;
  TNetAccess::EvaluateRules(*loaded, *task, Best, log);
  EXPECT_EQ(LogLines(log.str(), 2), EvaluationLines(TRefNet(*loaded), *task, *loaded));
}

TEST(NetExactCreation, CheckAndEvaluationLikeTheModel) {
  // Past a thousand rules the check and the evaluation go by blocks, and
  // the check prepares the evaluation, which changed weights or sets, or
  // another pattern set, must not reuse; with six classes, sums that do
  // not fit the four lanes.
  enum TChange { None, Weight, Patterns, Set, NaNDegrees };
  struct Case {
    int classes;
    unsigned seed;
    TChange change;
  } cases[] = {{6, 4, None}, {4, 8, Weight}, {4, 8, Patterns}, {4, 8, Set}, {4, 8, NaNDegrees}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.classes << " classes, change " << c.change);
    const std::string text = MakePatternText(1700, 6, c.classes, c.seed, 0.05);
    auto task = LoadTask(text), other = LoadTask(text);
    int notCreated;
    std::ostringstream log;
    auto net = TNetAccess::Create(*task, 1700, Best, TVector<int>(6, 7), WeightedSum, notCreated, log);
    ASSERT_GE(net->NumberOfRules(), 1025);
    const std::string expected = CheckLines(TRefNet(*net), *task);
    const TLearningTask* evaluated = task.get();
    if (c.change == Weight)
      for (int r = 1; r <= net->NumberOfRules(); r += 3) TNetAccess::SetWeight(*net, r, 0.25f);
    if (c.change == Patterns) {
      other->Patterns.Values[7] = other->Patterns.Values[8] + 0.5f;
      evaluated = other.get();
    }
    if (c.change == Set || c.change == NaNDegrees) {
      TFuzzySet set = TNetAccess::Partition(*net, 1).Sets[2];
      set.b = c.change == Set ? set.b + 0.3f * (set.c - set.b) : std::numeric_limits<float>::quiet_NaN();
      TNetAccess::SetFuzzySet(*net, 1, 2, set);
    }
    TNetAccess::EvaluateRules(*net, *evaluated, Best, log);
    EXPECT_EQ(LogLines(log.str(), c.classes), expected + EvaluationLines(TRefNet(*net), *evaluated, *net));
    if (c.change == NaNDegrees) continue;
    // The state left behind is that of propagating the last pattern.
    TRefNet ref(*net);
    ref.Propagate(evaluated->Patterns[evaluated->NumberOfPatterns].Input.data(), evaluated->MissingValue);
    for (int k = 1; k <= c.classes; k++) EXPECT_EQ(TNetAccess::Outputs(*net)[k - 1], ref.Out[k]);
  }
}

// Classes that no rule concludes are left out of the work per pattern: here
// every second class, and the classes selection leaves without rules, among
// them targets; past a thousand rules the passes by blocks, prepared.
TEST(NetExactSparse, ClassesWithoutRulesLikeTheModel) {
  auto dense = LoadTask(MakePatternText(2500, 7, 4, 5, 0.03));
  std::vector<int> classes;
  for (int p = 1; p <= dense->NumberOfPatterns; p++) classes.push_back(2 * dense->Patterns[p].Class - 1);
  auto task = MakeTask(dense->Patterns.Values.data(), dense->NumberOfPatterns, 7, classes.data(), 7, {}, {});
  const struct {
    int maxRules;
    TRuleMode mode;
    TAggregationFunc agg;
  } cases[] = {{0, Best, WeightedSum}, {0, Best, Maximum}, {3, Best, WeightedSum}, {2, BestPerClass, Maximum}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.maxRules << " rules, mode " << c.mode << ", " << c.agg);
    TCreated both = CreateBoth(*task, c.maxRules > 0 ? c.maxRules : 2500, c.mode, c.agg);
    ExpectSameNet(*both.Net, both.Ref);
    ASSERT_TRUE(c.maxRules > 0 || both.Net->NumberOfRules() > 1024);
    TNetSettings prm;
    prm.Weights = Free;
    prm.Sigma = 0.2f;
    ExpectSameEpochs(*both.Net, both.Ref, *task, prm, 2);
    ExpectSameTest(*both.Net, both.Ref, *task);
  }
}

}  // namespace
