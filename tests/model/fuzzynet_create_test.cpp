#include <gtest/gtest.h>

#include "fuzzynet_test_util.h"
#include "reference_net.h"

namespace {

struct TBuilt {
  std::unique_ptr<TLearningTask> Task;
  std::unique_ptr<TFuzzyPerceptron> Net;
  int NotCreated = -1;
  std::string Log;
};

// Every input's range is [0, 4] with 3 sets: (0 1 2) small, (1 2 3) medium, (2 3 4) large.
TBuilt Build(const std::string& patterns, int inputs, int classes, int maxRules, TRuleMode mode) {
  std::ostringstream text;
  text << "DIMENSIONS\n" << inputs << " " << classes << "\nINRANGES\n";
  for (int i = 0; i < inputs; i++) text << "0 4\n";
  text << "PATTERNS\n" << patterns << "END\n";
  TBuilt b;
  b.Task = LoadTask(text.str());
  EXPECT_NE(b.Task, nullptr);
  std::ostringstream log;
  b.Net = std::make_unique<TFuzzyPerceptron>(*b.Task, maxRules, mode, TVector<int>(inputs, 3), WeightedSum,
                                             b.NotCreated, log);
  b.Log = log.str();
  return b;
}

TEST(NetCreate, SimpleModeStopsAtTheLimitAndCountsTheRest) {
  TBuilt b = Build("5\n0.5 0.5 1 0\n3.5 3.5 0 1\n0.5 3.5 1 0\n3.5 0.5 0 1\n2 0.5 1 0\n", 2, 2, 2, Simple);
  EXPECT_EQ(b.Net->NumberOfRules, 2);
  EXPECT_EQ(b.NotCreated, 3);
  EXPECT_EQ(b.Net->Rules[2]->Antecedent[1], 3);
  EXPECT_EQ(b.Net->RuleActivation.Dimension(), 2);
  EXPECT_EQ(b.Net->MinInput.Dimension(), 2);
}

TEST(NetCreate, RuleLimitIsClampedToOneAndToThePatterns) {
  EXPECT_EQ(Build("2\n0.5 1 0\n3.5 0 1\n", 1, 2, 0, Simple).Net->MaxRules, 1);
  EXPECT_EQ(Build("2\n0.5 1 0\n3.5 0 1\n", 1, 2, -4, Simple).Net->NumberOfRules, 1);
  EXPECT_EQ(Build("2\n0.5 1 0\n3.5 0 1\n", 1, 2, 50, Simple).Net->MaxRules, 2);
}

TEST(NetCreate, PatternSetWithoutPatternsStaysSafe) {
  TBuilt b = Build("0\n", 2, 2, 10, Best);
  EXPECT_EQ(b.Net->MaxRules, 0);
  EXPECT_EQ(b.Net->NumberOfRules, 0);
  std::ostringstream log;
  b.Net->EvaluateRules(*b.Task, Best, log);
  EXPECT_NE(log.str().find("# Rules created : 0\n# Rules wanted  : 0\n# Selected rules: all\n"), std::string::npos);
  float error = 1.0f;
  EXPECT_EQ(b.Net->Test(*b.Task, error), 0);
  EXPECT_EQ(WriteNet(*b.Net), "");
}

class NetSelect : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Task = LoadTask(MakePatternText(400, 3, 3, 5, 0.0)).release(); }
  static void TearDownTestSuite() { delete Task; }
  static TLearningTask* Task;

  static std::unique_ptr<TFuzzyPerceptron> Select(int maxRules, TRuleMode mode, std::string& log) {
    int notCreated;
    std::ostringstream out;
    auto net = std::make_unique<TFuzzyPerceptron>(*Task, maxRules, mode, TVector<int>(3, 4), WeightedSum, notCreated,
                                                  out);
    EXPECT_GT(net->NumberOfRules, 12);
    out.str("");
    net->EvaluateRules(*Task, mode, out);
    log = out.str();
    return net;
  }
};
TLearningTask* NetSelect::Task = nullptr;

TEST_F(NetSelect, BestPerClassQuotas) {
  std::string log;
  auto seven = Select(7, BestPerClass, log);
  EXPECT_LE(seven->NumberOfRules, 6);
  std::vector<int> perClass(4, 0);
  for (int r = 1; r <= seven->NumberOfRules; r++) perClass[seven->Rules[r]->Class]++;
  for (int k = 1; k <= 3; k++) EXPECT_LE(perClass[k], 2);
  // Classes stand grouped in class order.
  for (int r = 2; r <= seven->NumberOfRules; r++) EXPECT_LE(seven->Rules[r - 1]->Class, seven->Rules[r]->Class);

  // Fewer rules wanted than classes: each class in turn gets its best rule.
  auto two = Select(2, BestPerClass, log);
  ASSERT_EQ(two->NumberOfRules, 2);
  EXPECT_EQ(two->Rules[1]->Class, 1);
  EXPECT_EQ(two->Rules[2]->Class, 2);
}

}  // namespace
