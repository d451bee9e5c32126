// The application's own parts: the shipped help file against the command
// and parameter tables, and taking in a learning child's report.
#include "app.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <vector>

#include "../quiet_app.h"
#include "../scratch_dir.h"
#include "korvalin.h"

namespace {

// Takes the report a learning child sends: status line, the names of the
// file it carries, then the network.
struct TQuietApp : TQuietApplication {
  Boolean Take(const std::string& report) {
    std::istringstream in(report);
    return Background.Take(in);
  }
};

}  // namespace

// The shipped help file has a section for every command and parameter, and
// a parameter's section opens with the row's help line and its default.
TEST(Tables, EveryCommandAndParameterHasItsHelpSection) {
  std::istringstream help(ReadText(std::string(KORVALIN_SOURCE_DIR) + "/help/korvalin.hlp"));
  std::map<std::string, std::string> firstLine;  // topic: the first line of its section
  std::vector<std::string> pending;
  for (std::string line; std::getline(help, line);) {
    if (line.compare(0, 7, "\\topic ") == 0) {
      pending.push_back(line.substr(7));
      continue;
    }
    for (const std::string& topic : pending) firstLine[topic] = line;
    pending.clear();
  }
  for (const TCmdDef* row = ValidCommands(); row->Name[0] != '\0'; row++)
    EXPECT_EQ(firstLine.count(row->Name), 1u) << row->Name;

  for (const TParamDef& row : ValidParameters) {
    ASSERT_EQ(firstLine.count(row.Name), 1u) << row.Name;
    std::smatch m;
    const std::string& line = firstLine[row.Name];
    ASSERT_TRUE(std::regex_match(line, m, std::regex(" (.*[^ ]) +default: (.*)"))) << line;
    EXPECT_EQ(m[1], row.Help);
    EXPECT_EQ(stricmp(m[2].str().c_str(), row.Default), 0) << line;
  }
}

// A report that is not taken leaves the network and removes the error
// curve that it carries, which takes its place only with the network.
TEST(LearningReport, TakenInWholeOrNotAtAll) {
  TQuietApp app;
  const std::string net = ReadText(std::string(KORVALIN_TEST_DATA) + "/small.net"), none(3, '\0');
  ASSERT_TRUE(app.Take("12\t3\tinf\n" + none + net));  // a diverged run's error comes back too
  EXPECT_EQ(app.Epoch, 12);
  EXPECT_EQ(app.Misclassified, 3);
  EXPECT_TRUE(std::isinf(app.TotalError));
  TScratchDir dir;
  const std::string curve = dir / "x.err", temp = dir / ".korvalin.x.err.1.abcdef";
  auto carrying = [&](const std::string& text) {
    dir.Write(".korvalin.x.err.1.abcdef", text);
    return curve + '\0' + curve + '\0' + temp + '\0';
  };
  ASSERT_TRUE(app.Take("7\t2\t1.25\n" + carrying("taken") + net));
  EXPECT_EQ(ReadText(curve), "taken");
  const TFuzzyPerceptron* kept = app.Net.get();
  ASSERT_NE(kept, nullptr);
  for (const std::string& broken : {"seven\t2\t1.0\n" + none + net, "8\t1\n" + none + net, std::string("8\t1\t0.5\n"),
                                    "8\t1\t0.5\n" + curve + '\0' + net,
                                    "8\t1\t0.5\n" + carrying("dropped") + net.substr(0, net.find("MATRIX") + 12),
                                    "8\t1\t0.5\n" + carrying("dropped") + net.substr(0, net.rfind("END"))}) {
    app.Messages.clear();
    EXPECT_FALSE(app.Take(broken)) << broken;
    EXPECT_EQ(app.Net.get(), kept);
    EXPECT_EQ(app.Epoch * 100 + app.Misclassified, 702);
    EXPECT_EQ(app.TotalError, 1.25f);
    ASSERT_EQ(app.Messages.size(), 1u) << broken;
    EXPECT_EQ(app.Messages[0].first, Error);
  }
  EXPECT_EQ(ReadText(curve), "taken");
  EXPECT_FALSE(std::filesystem::exists(temp));
}
