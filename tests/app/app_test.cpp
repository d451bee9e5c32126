#include "app.h"

#include <gtest/gtest.h>

#include <string>

TEST(FullPath, NamesAreAlwaysAbsoluteAndKeepMissingDirectories) {
  std::string cwd = CurrentDirectory();
  EXPECT_EQ(FullPath("/a/b.net"), "/a/b.net");
  EXPECT_EQ(FullPath("x.net"), cwd + "/x.net");
  EXPECT_EQ(FullPath("no/such/x.net"), cwd + "/no/such/x.net");
  EXPECT_EQ(FullPath("./no/such/x.net"), cwd + "/./no/such/x.net");
  EXPECT_EQ(FullPath("./x.net"), cwd + "/x.net");
}
