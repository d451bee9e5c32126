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

std::string Body(const std::string& text) { return text.substr(text.find("% This are the network parameters")); }

TEST(NetFile, HandWrittenFileLoadsAndRewritesByteIdentically) {
  TNetLoad load = LoadNet(kSmall);
  ASSERT_EQ(load.Status, LoadOk) << load.Messages;
  ASSERT_TRUE(load.StreamOk);
  const TFuzzyPerceptron& net = *load.Net;
  EXPECT_EQ(net.NumberOfInputs(), 2);
  EXPECT_EQ(net.NumberOfClasses(), 2);
  EXPECT_EQ(net.NumberOfRules, 3);
  EXPECT_EQ(net.MaxRules, 5);
  EXPECT_EQ(net.InputNames[2], "height");
  EXPECT_EQ(net.ClassNames[2], "wide");
  EXPECT_EQ(net.Partitions[2].NumberOfSets, 3);
  EXPECT_STREQ(net.Partitions[2].Sets[2].Name, "medium");
  EXPECT_EQ(net.Rules[3]->Antecedent[1], 0);
  EXPECT_EQ(net.Rules[3]->Antecedent[2], 2);
  EXPECT_EQ(net.Rules[2]->Class, 2);
  EXPECT_EQ(net.Rules[2]->Weight, 0.75f);
  EXPECT_EQ(net.RuleActivation.Dimension(), 3);
  EXPECT_EQ(WriteNet(net), Body(kSmall));
}

TEST(NetFile, RoundTripKeepsMaximumAndEveryValue) {
  TNetLoad first = LoadNet(SmallWith("USESUM", "USEMAXIMUM"));
  ASSERT_EQ(first.Status, LoadOk);
  first.Net->Rules[1]->Weight = -0.123456789f;
  first.Net->Partitions[1].Sets[1].b = 3.1415926f;
  const std::string text = WriteNet(*first.Net);
  EXPECT_NE(text.find("\nUSEMAXIMUM\n"), std::string::npos);
  EXPECT_NE(text.find("   1   -0.123457\n"), std::string::npos);
  TNetLoad second = LoadNet(text);
  ASSERT_EQ(second.Status, LoadOk);
  EXPECT_EQ(second.Net->AggregationFunc, Maximum);
  EXPECT_EQ(WriteNet(*second.Net), text);
}

TEST(NetFile, RejectsMissingOrInvalidParameters) {
  TNetLoad noParams = LoadNet("% comment\nVARNAMES\na\nb\nEND\n");
  EXPECT_EQ(noParams.Status, LoadError);
  EXPECT_EQ(noParams.Messages, "Net parameter section missing!\n");

  TNetLoad noRules = LoadNet(SmallWith("2\t3\t2\t5", "3 0 2 10"));
  EXPECT_EQ(noRules.Status, LoadError);
  EXPECT_EQ(noRules.Messages, "No or invalid net parameters specified!\n");

  TNetLoad zeroMax = LoadNet(SmallWith("2\t3\t2\t5", "2 3 2 0"));
  EXPECT_EQ(zeroMax.Status, LoadOk);
  EXPECT_EQ(zeroMax.Net->MaxRules, 0);
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

TEST(NetFile, RejectsNetworksPropagationCouldNotUse) {
  struct Case {
    std::string from, to, message;
  } cases[] = {
      {"FUZZY\n", "FUZZ\n", "Fuzzy set section missing!"},
      {"MATRIX\n", "MATRIXX\n", "Connection matrix section missing!"},
      {"WEIGHTS\n", "WEIGHT\n", "Conclusion weight section missing!"},
      {"1\t3\t2\t", "1\t4\t2\t", "Rule 2 uses fuzzy set 4 of input 2, which has only 3 sets!"},
      {"   2   0.750000", "   3   0.750000", "Rule 2 points to class 3, which does not exist!"},
      {"   2   0.750000", "   0   0.750000", "Rule 2 points to class 0, which does not exist!"},
  };
  for (const Case& c : cases) {
    TNetLoad load = LoadNet(SmallWith(c.from, c.to));
    EXPECT_EQ(load.Status, LoadError) << c.to;
    EXPECT_NE(load.Messages.find(c.message), std::string::npos) << load.Messages;
    EXPECT_EQ(load.Net->NumberOfRules, 0);
  }
  TNetLoad noSets = LoadNet(SmallWith("FUZZY\n2\n", "FUZZY\n0\n"));
  EXPECT_EQ(noSets.Status, LoadError);
  EXPECT_EQ(noSets.Messages, "Invalid fuzzy partition of input 1!\n");
}

TEST(NetFile, UnknownKeywordsWarnAndMissingNamesDefault) {
  std::string text = SmallWith("VARNAMES\nwidth\nheight\nnarrow\nwide\n", "FOO\n");
  text = text.replace(text.find("MATRIX"), 0, "NAMES\nBAR\n");
  TNetLoad load = LoadNet(text);
  EXPECT_EQ(load.Status, LoadWarning);
  EXPECT_EQ(load.Messages, "Unkwown keyword \"FOO\" ignored.\nUnkwown keyword \"BAR\" ignored.\n");
  ASSERT_EQ(load.Net->NumberOfRules, 3);
  EXPECT_EQ(load.Net->InputNames[1], "Input_1");
  EXPECT_EQ(load.Net->ClassNames[2], "Class_2");
}

TEST(NetFile, ShortOrLongInputFailsTheStream) {
  EXPECT_FALSE(LoadNet(kSmall.substr(0, kSmall.find("WEIGHTS") + 20)).StreamOk);
  EXPECT_FALSE(LoadNet(SmallWith("height", std::string(30, 'h'))).StreamOk);
  EXPECT_FALSE(LoadNet(SmallWith("0.750000", "x")).StreamOk);
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
