#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "../scratch_dir.h"
#include "csv_convert.h"
#include "folds_split.h"
#include "lrntask.h"

TEST(AssignFolds, StratifiedBalancedAndDeterministic) {
  // 3 classes of 10, 7 and 4 patterns, interleaved.
  std::vector<int> classes;
  for (int p = 0; p < 21; p++) classes.push_back(p < 12 ? 1 + p % 2 : (p < 16 ? 3 : (p < 18 ? 2 : 1)));
  const int folds = 4;
  std::vector<int> fold = AssignFolds(classes, folds, 7);
  ASSERT_EQ(fold.size(), classes.size());
  int size[folds] = {}, perClass[folds][4] = {};
  for (std::size_t p = 0; p < fold.size(); p++) {
    ASSERT_GE(fold[p], 0);
    ASSERT_LT(fold[p], folds);
    size[fold[p]]++;
    perClass[fold[p]][classes[p]]++;
  }
  for (int f = 0; f < folds; f++) {
    EXPECT_GE(size[f], 5);
    EXPECT_LE(size[f], 6);
  }
  for (int k = 1; k <= 3; k++) {
    int low = 1000, high = 0;
    for (int f = 0; f < folds; f++) {
      low = std::min(low, perClass[f][k]);
      high = std::max(high, perClass[f][k]);
    }
    EXPECT_LE(high - low, 1) << "class " << k;
  }
  EXPECT_EQ(AssignFolds(classes, folds, 7), fold);
  EXPECT_NE(AssignFolds(classes, folds, 8), fold);
}

namespace {

std::unique_ptr<TLearningTask> Load(const std::string& fileName) {
  std::ifstream in(fileName);
  TLoadStatus status = LoadOk;
  std::ostringstream messages;
  auto task = std::make_unique<TLearningTask>(in, status, messages);
  if (!in.good() || status != LoadOk) return nullptr;
  return task;
}

std::string Row(const TLearningTask& task, int p) {
  std::ostringstream row;
  for (int i = 1; i <= task.NumberOfInputs; i++) row << task.Patterns[p].Input[i] << ' ';
  row << task.Patterns[p].Class;
  return row.str();
}

}  // namespace

TEST(SplitIntoFolds, ConvertedTableSplitsIntoFoldsThatReadBack) {
  TScratchDir scratch;
  const std::string dir = scratch.Path();
  std::string csv = "a;b;kind\n";
  for (int p = 0; p < 23; p++)
    csv += std::to_string(p) + ";" + (p % 5 == 0 ? "NA" : std::to_string(p * 0.25).substr(0, 5)) + ";" +
           (p % 3 == 0 ? "odd one" : "even one") + "\n";
  std::istringstream in(csv);
  TPatternTable table;
  std::vector<std::string> errors, notes;
  ASSERT_TRUE(ConvertCsv(in, TCsvOptions(), table, errors, notes));
  table.Name = "numbers";
  std::string error;
  ASSERT_TRUE(SavePatternFile(dir + "/all.pat", table, {"test"}, error)) << error;

  auto all = Load(dir + "/all.pat");
  ASSERT_TRUE(all);
  ASSERT_EQ(all->NumberOfPatterns, 23);
  EXPECT_EQ(all->ClassNames[1], "odd one");
  EXPECT_EQ(all->Patterns[1].Input[2], all->MissingValue);
  EXPECT_EQ(all->Patterns[2].Input[2], 0.25f);

  ASSERT_EQ(SplitIntoFolds(dir + "/all.pat", 3, 1, dir + "/cv"), 0);
  std::multiset<std::string> tested;
  for (int f = 1; f <= 3; f++) {
    auto train = Load(dir + "/cv-train-" + std::to_string(f) + ".pat");
    auto test = Load(dir + "/cv-test-" + std::to_string(f) + ".pat");
    ASSERT_TRUE(train && test) << "fold " << f;
    EXPECT_EQ(train->NumberOfPatterns + test->NumberOfPatterns, 23);
    EXPECT_EQ(test->InputNames[2], "b");
    EXPECT_EQ(test->Name, "numbers (test " + std::to_string(f) + " of 3)");
    std::multiset<std::string> rows;
    for (int p = 1; p <= train->NumberOfPatterns; p++) rows.insert(Row(*train, p));
    for (int p = 1; p <= test->NumberOfPatterns; p++) {
      rows.insert(Row(*test, p));
      tested.insert(Row(*test, p));
    }
    std::multiset<std::string> expected;
    for (int p = 1; p <= 23; p++) expected.insert(Row(*all, p));
    EXPECT_EQ(rows, expected);
  }
  EXPECT_EQ(tested.size(), 23u);

  // More folds than patterns, and a set without classes, are refused.
  testing::internal::CaptureStderr();
  EXPECT_EQ(SplitIntoFolds(dir + "/all.pat", 24, 1, dir + "/cv"), 1);
  EXPECT_EQ(SplitIntoFolds(dir + "/missing.pat", 2, 1, dir + "/cv"), 1);
  std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_NE(messages.find("23 patterns cannot make 24 folds"), std::string::npos);
  EXPECT_NE(messages.find("Can't open"), std::string::npos);
}
