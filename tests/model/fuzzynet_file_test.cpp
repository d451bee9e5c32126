#include <gtest/gtest.h>

#include <limits>

#include "fuzzynet_test_util.h"

namespace {

const std::string kSmall = ReadTextFile(std::string(KORVALIN_TEST_DATA) + "/small.net");

// The small network's text with one line replaced.
std::string SmallWith(const std::string& from, const std::string& to) {
  std::string text = kSmall;
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

TEST(NetFile, HugeDeclarationsFailWithoutAllocating) {
  // Classes are refused outright; a huge rule count runs out of MATRIX data.
  TNetLoad classes = LoadNet(SmallWith("2\t3\t2\t5", "2 3 2000000000 5"));
  EXPECT_EQ(classes.Status, LoadError);
  EXPECT_FALSE(classes.StreamOk);

  TNetLoad rules = LoadNet(SmallWith("2\t3\t2\t5", "2 2000000000 2 5"));
  EXPECT_FALSE(rules.StreamOk);
  EXPECT_EQ(rules.Net->NumberOfRules, 0);

  TNetLoad inputs = LoadNet(SmallWith("2\t3\t2\t5", "2000000000 3 2 5"));
  EXPECT_EQ(inputs.Status, LoadError);

  // The largest allowed dimensions in a file that ends there: no names made.
  TNetLoad cut = LoadNet("PARAMETERS\n1000000 1 1000000 1\n");
  EXPECT_FALSE(cut.StreamOk);
  EXPECT_TRUE(cut.Net->InputNames.empty());
  EXPECT_TRUE(cut.Net->ClassNames.empty());
}

TEST(NetFile, NetworksThatWouldNotReadBackAreNeverWritten) {
  auto unwritten = [](TFuzzyPerceptron& net) {
    std::ostringstream out;
    out << net;
    return out.fail() && out.str().empty();
  };
  TNetLoad noRules = LoadNet(kSmall);
  noRules.Net->Rules.resize(1);
  noRules.Net->NumberOfRules = 0;
  EXPECT_TRUE(unwritten(*noRules.Net));
  TNetLoad weight = LoadNet(kSmall);
  weight.Net->Rules[3]->Weight = std::numeric_limits<float>::infinity();
  EXPECT_TRUE(unwritten(*weight.Net));
  TNetLoad set = LoadNet(kSmall);
  set.Net->Partitions[2].Sets[3].c = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(unwritten(*set.Net));
}

TEST(NetFile, CreateVariableNames) {
  TNetLoad load = LoadNet(kSmall);
  load.Net->CreateVariableNames(3, 1);
  ASSERT_EQ(load.Net->InputNames.size(), 4u);
  EXPECT_EQ(load.Net->InputNames[3], "Input_3");
  ASSERT_EQ(load.Net->ClassNames.size(), 2u);
  EXPECT_EQ(load.Net->ClassNames[1], "Class_1");
}

}  // namespace
