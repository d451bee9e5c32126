// Pruning never classifies its pattern set worse, is repeatable, and leaves
// an ordinary network. (Checking builds also compare the pruner's own model
// with one built afresh after every step.)
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "fuzzynet_test_util.h"

namespace {

struct TPruneCase {
  const char* Name;
  TRuleMode Mode;
  int Rules;
  TWeightMode Weights;
  int Epochs;
  TPruneOrder Order;
  bool Lax;
  int MaxRules;
};

std::unique_ptr<TFuzzyPerceptron> Trained(const TLearningTask& task, const TPruneCase& c) {
  TNetSettings s = Settings(c.Mode, c.Rules, 3);
  s.Weights = c.Weights;
  s.Sigma = 0.3f;
  s.MaxEpoch = c.Epochs;
  auto net = Create(task, s);
  TLearnObserver quiet;
  if (c.Epochs > 0) Learn(*net, task, s, quiet);
  return net;
}

}  // namespace

TEST(Prune, NeverWorseRepeatableAndAnOrdinaryNetwork) {
  auto task = LoadTask(ReadText(std::string(KORVALIN_TEST_DATA) + "/iris.pat"));
  const TPruneCase cases[] = {
      {"learnt weights", BestPerClass, 30, Normalized, 20, TPruneOrder::Ranked, false, 0},
      {"free weights, in order", Best, 12, Free, 10, TPruneOrder::Sequential, true, 0},
      {"at most four rules", Simple, 0, Fixed, 0, TPruneOrder::Ranked, false, 4},
  };
  for (const TPruneCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto net = Trained(*task, c);
    auto twin = Trained(*task, c);
    const TTestTotals before = TestNet(*net, *task);
    TPruneOptions options;
    options.Order = c.Order;
    options.Lax = c.Lax;
    options.MaxRules = c.MaxRules;
    const TPruneReport report = Prune(*net, *task, options);

    EXPECT_EQ(report.Before.Misclassified, before.Misclassified);
    // A rule limit may cost misclassifications; nothing else may.
    if (c.MaxRules > 0) {
      EXPECT_GT(report.RulesBefore, c.MaxRules);
      EXPECT_LE(report.RulesAfter, c.MaxRules);
    } else {
      EXPECT_LE(report.After.Misclassified, report.Before.Misclassified);
    }
    if (!c.Lax && c.MaxRules == 0 && report.After.Misclassified == report.Before.Misclassified) {
      EXPECT_LE(report.After.Error, report.Before.Error * 1.0001f);
    }
    EXPECT_LT(report.EntriesAfter, report.EntriesBefore);
    EXPECT_LE(report.RulesAfter, report.RulesBefore);
    EXPECT_EQ(report.RulesAfter, net->NumberOfRules());
    const TTestTotals after = TestNet(*net, *task);
    EXPECT_EQ(after.Misclassified, report.After.Misclassified);

    // Every class keeps a rule, and no two rules of a class are equal.
    std::set<int> classes;
    std::set<std::pair<int, std::vector<int>>> rules;
    for (int r = 1; r <= net->NumberOfRules(); r++) {
      const TRule& rule = TNetAccess::Rule(*net, r);
      classes.insert(rule.Class);
      std::vector<int> ant(rule.Antecedent.Data, rule.Antecedent.Data + rule.Antecedent.Dimension());
      EXPECT_TRUE(rules.emplace(rule.Class, ant).second) << "rule " << r;
    }
    EXPECT_EQ(classes, (std::set<int>{1, 2, 3}));

    // The same network and patterns give the same network, and it reads
    // back from its text.
    Prune(*twin, *task, options);
    const std::string text = TextOf(*net);
    EXPECT_EQ(TextOf(*twin), text);
    TLoadStatus status = LoadError;
    auto loaded = NetFromText(text, &status);
    EXPECT_EQ(status, LoadOk);
    EXPECT_EQ(TextOf(*loaded), text);
  }
}
