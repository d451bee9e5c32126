#include "app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
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
