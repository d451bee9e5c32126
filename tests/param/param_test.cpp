#include "param.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Printed(const TLearningParameters& p, const char* name) {
  std::ostringstream out;
  EXPECT_EQ(p.PrintParameter(out, name), 0);
  return out.str();
}

std::vector<std::string> Load(const std::string& text, TLearningParameters& p) {
  std::istringstream in(text);
  std::vector<std::string> errors;
  ReadParameterLines(in, p, [&errors](const std::string& msg) { errors.push_back(msg); });
  return errors;
}

}  // namespace

TEST(LearningParameters, DefaultsPrintInTableOrder) {
  TLearningParameters p;
  std::ostringstream out;
  p.PrintAll(out);
  std::string expected = std::string(" MaxEpoch = 100") + '\0' + "\n" +
                         " Stop_At_Percent = 0" + '\0' + "\n" +
                         " Stop_At_Misclassified = 0" + '\0' + "\n" +
                         " Update_Cycle = 5" + '\0' + "\n" +
                         " CreateLogFile = Yes" + '\0' + "\n" +
                         " sigma = 0.01" + '\0' + "\n" +
                         " sigma_a = 0.01" + '\0' + "\n" +
                         " sigma_b = 0.01" + '\0' + "\n" +
                         " sigma_c = 0.01" + '\0' + "\n" +
                         " FSetsPerVariable = 3" + '\0' + "\n" +
                         " FsIntersect_0.5 = No" + '\0' + "\n" +
                         " Learning_Weights = Fixed" + '\0' + "\n" +
                         " Learning_Rules = Simple" + '\0' + "\n" +
                         " AggregationFunc = WeightedSum" + '\0' + "\n";
  EXPECT_EQ(out.str(), expected);
  EXPECT_EQ(p.Sigma, 0.01f);
}

TEST(LearningParameters, IntValues) {
  TLearningParameters p;
  EXPECT_EQ(p.ChangeParameter("maxepoch", "0"), 0);
  EXPECT_EQ(p.MaxEpoch, 0);
  EXPECT_EQ(p.ChangeParameter("MaxEpoch", "12abc"), 0);
  EXPECT_EQ(p.MaxEpoch, 12);
  EXPECT_EQ(p.ChangeParameter("MaxEpoch", "-5"), 0);
  EXPECT_EQ(p.MaxEpoch, -5);
  for (const char* bad : {"00", "-0", "abc", "", "99999999999", "-3000000000"}) {
    EXPECT_EQ(p.ChangeParameter("MaxEpoch", bad), -2) << bad;
    EXPECT_EQ(p.MaxEpoch, -5) << bad;
  }
}

TEST(LearningParameters, FloatValues) {
  TLearningParameters p;
  EXPECT_EQ(p.ChangeParameter("SIGMA", "0"), 0);
  EXPECT_EQ(p.Sigma, 0.0f);
  EXPECT_EQ(p.ChangeParameter("sigma", "0.0"), 0);
  EXPECT_EQ(p.ChangeParameter("sigma", "2e-2"), 0);
  EXPECT_EQ(p.Sigma, 0.02f);
  EXPECT_EQ(p.ChangeParameter("sigma_a", ".5"), 0);
  EXPECT_EQ(Printed(p, "sigma_a"), std::string(" sigma_a = 0.5") + '\0');
  // Not finite once rounded to single precision, or a zero not written as one.
  for (const char* bad : {"0.00", "x", "nan", "inf", "1e40", "-1e39"}) {
    EXPECT_EQ(p.ChangeParameter("sigma", bad), -2) << bad;
    EXPECT_EQ(p.Sigma, 0.02f) << bad;
  }
}

TEST(LearningParameters, BooleanAndChoiceValues) {
  TLearningParameters p;
  EXPECT_EQ(p.ChangeParameter("CreateLogFile", "n"), 0);
  EXPECT_EQ(p.CreateLogFile, False);
  EXPECT_EQ(p.ChangeParameter("createlogfile", "YES"), 0);
  EXPECT_EQ(p.CreateLogFile, True);
  EXPECT_EQ(p.ChangeParameter("CreateLogFile", "No"), 0);
  EXPECT_EQ(p.ChangeParameter("FsIntersect_0.5", "y"), 0);
  EXPECT_EQ(p.FsIntersect, True);
  EXPECT_EQ(p.ChangeParameter("CreateLogFile", "true"), -2);
  EXPECT_EQ(p.CreateLogFile, False);

  EXPECT_EQ(p.ChangeParameter("Learning_Rules", "BESTperCLASS"), 0);
  EXPECT_EQ(p.LearningRules, BestPerClass);
  EXPECT_EQ(p.ChangeParameter("AggregationFunc", "maximum"), 0);
  EXPECT_EQ(p.AggregationFunc, Maximum);
  EXPECT_EQ(p.ChangeParameter("Learning_Weights", "Normalized"), 0);
  EXPECT_EQ(p.LearningWeights, Normalized);
  EXPECT_EQ(p.ChangeParameter("Learning_Weights", "none"), -2);
  EXPECT_EQ(p.ChangeParameter("Learning_Weights", "best"), -2);
  EXPECT_EQ(p.LearningWeights, Normalized);
  EXPECT_EQ(Printed(p, "learning_rules"), std::string(" Learning_Rules = BestPerClass") + '\0');
}

TEST(LearningParameters, UnknownNamesAndErrorTexts) {
  TLearningParameters p;
  std::ostringstream out;
  EXPECT_EQ(p.ChangeParameter("Epochs", "5"), -1);
  EXPECT_EQ(p.PrintParameter(out, "Epochs"), -1);
  TLearningParameters::PrintErrorMsg(out, -1, "Epochs");
  TLearningParameters::PrintErrorMsg(out, -2, "x");
  TLearningParameters::PrintErrorMsg(out, -3, "x");
  TLearningParameters::PrintErrorMsg(out, 7, "x");
  EXPECT_EQ(out.str(), "Unkwown parameter name 'Epochs'.\nInvalid value format.\nAssignment missing.\n\n");
}

TEST(SplitParamLine, SplitsAtFirstEquals) {
  std::string name, value;
  EXPECT_EQ(SplitParamLine("  x = a = b ", name, value), 0);
  EXPECT_EQ(name + "|" + value, "x|a = b");
  EXPECT_EQ(SplitParamLine("MaxEpoch 5", name, value), -3);
  EXPECT_EQ(name + "|" + value, "|");
}

TEST(SplitParamLine, RefusesOverlongParts) {
  std::string name, value;
  EXPECT_EQ(SplitParamLine((std::string(127, 'n') + "=" + std::string(125, 'v')).c_str(), name, value), 0);
  EXPECT_EQ(SplitParamLine((std::string(128, 'n') + "=1").c_str(), name, value), -5);
  EXPECT_EQ(name, "");
  EXPECT_EQ(SplitParamLine(("a=" + std::string(126, 'v')).c_str(), name, value), -6);
  EXPECT_EQ(value, "");
}

TEST(ConfigurationFile, SavedDefaultsReadBackUnchanged) {
  TLearningParameters saved;
  saved.MaxEpoch = 250;
  saved.StopAtPercent = 1.25f;
  saved.SigmaB = 0.123457f;
  saved.FSetsPerVariable = 5;
  saved.FsIntersect = True;
  saved.LearningWeights = Free;
  saved.LearningRules = Best;
  saved.AggregationFunc = Maximum;
  std::ostringstream file;
  saved.SaveToFile(file);
  EXPECT_NE(file.str().find("\n# Fuzzy sets per input variable (2 <= x <= 7)\nFSetsPerVariable = 5\n"),
            std::string::npos);
  EXPECT_EQ(file.str().find('\0'), std::string::npos);

  TLearningParameters loaded;
  EXPECT_TRUE(Load(file.str(), loaded).empty());
  std::ostringstream a, b;
  saved.PrintAll(a);
  loaded.PrintAll(b);
  EXPECT_EQ(a.str(), b.str());
  EXPECT_EQ(loaded.SigmaB, saved.SigmaB);
}

TEST(ConfigurationFile, FaultyLinesAreReportedWithTheirNumbers) {
  TLearningParameters p;
  auto errors = Load("# comment\n\n   \n  % also a comment\n  MaxEpoch = 7\nsigma 3\nFoo = 1\n"
                     "Update_Cycle = 9\nsigma = bad\nMaxEpoch = 8",
                     p);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0], "Syntax error in configuration file (line 6): \nAssignment missing.\n");
  EXPECT_EQ(errors[1], "Syntax error in configuration file (line 7): \nUnkwown parameter name 'Foo'.\n");
  EXPECT_EQ(errors[2], "Syntax error in configuration file (line 9): \nInvalid value format.\n");
  EXPECT_EQ(p.UpdateCycle, 9);
  EXPECT_EQ(p.Sigma, 0.01f);
  EXPECT_EQ(p.MaxEpoch, 8);  // the last line, without a line end, still counts
}

TEST(ConfigurationFile, OverlongLinesAreErrorsAndReadingGoesOn) {
  TLearningParameters p;
  std::string text = "MaxEpoch = " + std::string(300, '1') + "\n" +   // line too long
                     std::string(200, 'n') + " = 1\n" +              // name part too long
                     "sigma = " + std::string(130, '0') + "1\n" +    // value part too long
                     "MaxEpoch = 42\n";
  auto errors = Load(text, p);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0], "Syntax error in configuration file (line 1): \nLine too long (more than 254 characters).\n");
  EXPECT_NE(errors[1].find("(line 2)"), std::string::npos);
  EXPECT_NE(errors[1].find("name too long"), std::string::npos);
  EXPECT_NE(errors[2].find("(line 3)"), std::string::npos);
  EXPECT_NE(errors[2].find("Value too long"), std::string::npos);
  EXPECT_EQ(p.MaxEpoch, 42);
  EXPECT_EQ(p.Sigma, 0.01f);
}
