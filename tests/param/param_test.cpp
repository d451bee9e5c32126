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

// Values as the set command and the configuration file give them, applied in
// turn: each line's parameter must then print as shown (a refused value
// leaves the one before).
TEST(LearningParameters, ValuesAreReadByTheirParametersType) {
  struct Case {
    const char* name;
    const char* value;
    int code;
    const char* printed;
  } cases[] = {
      {"maxepoch", "0", 0, "MaxEpoch = 0"},
      {"MaxEpoch", "12abc", 0, "MaxEpoch = 12"},
      {"MaxEpoch", "-5", 0, "MaxEpoch = -5"},
      {"MaxEpoch", "00", -2, "MaxEpoch = -5"},
      {"MaxEpoch", "-0", -2, "MaxEpoch = -5"},
      {"MaxEpoch", "", -2, "MaxEpoch = -5"},
      {"MaxEpoch", "99999999999", -2, "MaxEpoch = -5"},
      {"MaxEpoch", "-3000000000", -2, "MaxEpoch = -5"},
      {"SIGMA", "0", 0, "sigma = 0"},
      {"sigma", "2e-2", 0, "sigma = 0.02"},
      {"sigma", "0.0", 0, "sigma = 0"},
      {"sigma_a", ".5", 0, "sigma_a = 0.5"},
      // Not finite once rounded to single precision, or a zero not written as one.
      {"sigma_a", "0.00", -2, "sigma_a = 0.5"},
      {"sigma_a", "x", -2, "sigma_a = 0.5"},
      {"sigma_a", "nan", -2, "sigma_a = 0.5"},
      {"sigma_a", "inf", -2, "sigma_a = 0.5"},
      {"sigma_a", "1e40", -2, "sigma_a = 0.5"},
      {"sigma_a", "-1e39", -2, "sigma_a = 0.5"},
      {"CreateLogFile", "n", 0, "CreateLogFile = No"},
      {"createlogfile", "YES", 0, "CreateLogFile = Yes"},
      {"CreateLogFile", "true", -2, "CreateLogFile = Yes"},
      {"FsIntersect_0.5", "y", 0, "FsIntersect_0.5 = Yes"},
      {"Learning_Rules", "BESTperCLASS", 0, "Learning_Rules = BestPerClass"},
      {"AggregationFunc", "maximum", 0, "AggregationFunc = Maximum"},
      {"Learning_Weights", "Normalized", 0, "Learning_Weights = Normalized"},
      {"Learning_Weights", "best", -2, "Learning_Weights = Normalized"},
      {"Epochs", "5", -1, nullptr},
  };
  TLearningParameters p;
  for (const Case& k : cases) {
    EXPECT_EQ(p.ChangeParameter(k.name, k.value), k.code) << k.name << " " << k.value;
    std::ostringstream out;
    if (k.printed == nullptr) {
      EXPECT_EQ(p.PrintParameter(out, k.name), -1);
      EXPECT_EQ(out.str(), "");
    } else {
      EXPECT_EQ(Printed(p, k.name), " " + std::string(k.printed) + '\0') << k.name << " " << k.value;
    }
  }
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
