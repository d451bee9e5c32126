#include "app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

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
  const auto has = [&app](const std::string& before, const std::string& word) {
    const std::vector<std::string> words = app.Complete(before).Words;
    return std::find(words.begin(), words.end(), word) != words.end();
  };
  EXPECT_TRUE(has("", "explain"));
  EXPECT_TRUE(has("  ", "load"));
  EXPECT_TRUE(has("save ", "predictions"));
  EXPECT_TRUE(has("show ", "confusion"));
  EXPECT_TRUE(has("show ", "Learning_Rules"));
  EXPECT_TRUE(has("set ", "sigma_a"));
  EXPECT_TRUE(has("set sigma_a ", "="));
  EXPECT_TRUE(has("help ", "create"));
  EXPECT_FALSE(has("load ", "learning"));
  EXPECT_FALSE(has("explain ", "net"));
  for (const char* files : {"load pattern ", "save net ", "create net -r5 ", "cd ", "! ls "})
    EXPECT_TRUE(app.Complete(files).FileNames) << files;
  for (const char* words : {"", "load ", "set ", "explain ", "run test "})
    EXPECT_FALSE(app.Complete(words).FileNames) << words;
}
