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

// The report a learning child sends: status line, then the network.
struct TQuietApp : TQuietApplication {
  Boolean Take(const std::string& report) {
    std::istringstream in(report);
    return Background.Take(in);
  }
};

}  // namespace

// The shipped help file has a section for every command and parameter, and
// a parameter's section opens with the row's help line and its default; a
// choice's help line lists the words of its modes.
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

  for (const TParamDef& row : korvalin::AllSettings()) {
    ASSERT_EQ(firstLine.count(row.Name), 1u) << row.Name;
    std::smatch m;
    const std::string& line = firstLine[row.Name];
    ASSERT_TRUE(std::regex_match(line, m, std::regex(" (.*[^ ]) +default: (.*)"))) << line;
    EXPECT_EQ(m[1], row.Help);
    EXPECT_EQ(stricmp(m[2].str().c_str(), ParamText(row, row.Default).c_str()), 0) << line;
    std::string words;
    for (int i = 0; row.Type == korvalin::SettingType::Choice && row.Word(i) != nullptr; i++)
      words += (i > 0 ? " | " : std::string(row.Name) + " = ") + row.Word(i);
    if (!words.empty()) {
      EXPECT_EQ(stricmp(words.c_str(), row.Help), 0) << row.Help;
    }
  }
}

TEST(LearningReport, TakenInWholeOrNotAtAll) {
  TQuietApp app;
  const std::string net = ReadText(std::string(KORVALIN_TEST_DATA) + "/small.net");
  ASSERT_TRUE(app.Take("12\t3\tinf\n" + net));  // a diverged run's error comes back too
  EXPECT_EQ(app.Epoch, 12);
  EXPECT_EQ(app.Misclassified, 3);
  EXPECT_TRUE(std::isinf(app.TotalError));
  ASSERT_TRUE(app.Take("7\t2\t1.25\n" + net));
  const TFuzzyPerceptron* kept = app.Net.get();
  ASSERT_NE(kept, nullptr);
  for (const std::string& broken : {"seven\t2\t1.0\n" + net, "8\t1\n" + net, std::string("8\t1\t0.5\n"),
                                    "8\t1\t0.5\n" + net.substr(0, net.find("MATRIX") + 12),
                                    "8\t1\t0.5\n" + net.substr(0, net.rfind("END"))}) {
    app.Messages.clear();
    EXPECT_FALSE(app.Take(broken)) << broken;
    EXPECT_EQ(app.Net.get(), kept);
    EXPECT_EQ(app.Epoch * 100 + app.Misclassified, 702);
    EXPECT_EQ(app.TotalError, 1.25f);
    ASSERT_EQ(app.Messages.size(), 1u) << broken;
    EXPECT_EQ(app.Messages[0].first, Error);
  }
}
