#include "app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "../scratch_dir.h"

TEST(FullPath, NamesAreAlwaysAbsoluteAndKeepMissingDirectories) {
  std::string cwd = CurrentDirectory();
  EXPECT_EQ(FullPath("/a/b.net"), "/a/b.net");
  EXPECT_EQ(FullPath("x.net"), cwd + "/x.net");
  EXPECT_EQ(FullPath("no/such/x.net"), cwd + "/no/such/x.net");
  EXPECT_EQ(FullPath("./no/such/x.net"), cwd + "/./no/such/x.net");
  EXPECT_EQ(FullPath("./x.net"), cwd + "/x.net");
}

TEST(Completion, CommandWordsArgumentWordsParametersAndFileNames) {
  setenv("KVLPATH", "/nonexistent-korvalin-dir", 1);
  const char* argv[] = {"korvalin", nullptr};
  testing::internal::CaptureStdout();
  TApplication app(1, argv);
  testing::internal::GetCapturedStdout();
  unsetenv("KVLPATH");
  for (const auto& [before, word, offered] : std::vector<std::tuple<const char*, const char*, bool>>{
           {"  ", "explain", true}, {"save ", "predictions", true}, {"show ", "confusion", true},
           {"show ", "Learning_Rules", true}, {"set sigma_a ", "=", true}, {"help ", "create", true},
           {"load ", "learning", false}, {"explain ", "net", false}}) {
    const std::vector<std::string> words = app.Complete(before).Words;
    EXPECT_EQ(std::find(words.begin(), words.end(), word) != words.end(), offered) << before << word;
  }
  for (const char* files : {"load pattern ", "create net -r5 ", "cd "}) EXPECT_TRUE(app.Complete(files).FileNames);
  for (const char* words : {"", "set ", "run test "}) EXPECT_FALSE(app.Complete(words).FileNames);
}

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
