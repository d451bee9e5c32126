// Path names, where a name could silently come to mean another file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "../scratch_dir.h"
#include "stdutils.h"

TEST(Paths, SplitPathAndReplaceExt) {
  struct Case {
    const char *path, *dir, *name, *ext;
  } cases[] = {
      {"/a/b/c.d.e", "/a/b/", "c.d", ".e"}, {"data.pat", "", "data", ".pat"}, {".profile", "", "", ".profile"},
      {"..", "", ".", "."},                 {"~", "~", "", ""},              {"~x.pat", "~", "x", ".pat"},
      {"", "", "", ""},                     {"a.b/c", "a.b/", "c", ""},      {"/", "/", "", ""},
  };
  for (const Case& k : cases) {
    std::string dir = "?", name = "?", ext = "?";
    SplitPath(k.path, dir, name, ext);
    EXPECT_EQ(dir + "|" + name + "|" + ext, std::string(k.dir) + "|" + k.name + "|" + k.ext) << k.path;
  }
  EXPECT_EQ(ReplaceExt("run.1/iris", ".err"), "run.1/iris.err");
  EXPECT_EQ(ReplaceExt("a.b.c", ".d"), "a.b.d");
}

TEST(Paths, AbsPathAndRelPathAroundHomeAndTheWorkingDirectory) {
  TScratchDir scratch;
  const std::string dir = scratch.Path(), cwd = CurrentDirectory();
  const char* home = std::getenv("HOME");
  const std::string oldHome = home != nullptr ? home : "";
  std::filesystem::create_directories(dir + "/home/u");
  std::filesystem::create_directories(dir + "/work");
  ASSERT_EQ(chdir((dir + "/work").c_str()), 0);
  setenv("HOME", (dir + "/home/u").c_str(), 1);
  EXPECT_EQ(AbsPath("./x"), dir + "/work/x");
  EXPECT_EQ(AbsPath("../x"), dir + "/x");
  EXPECT_EQ(AbsPath("data/x"), "data/x");  // relative without a leading dot: unchanged
  EXPECT_EQ(AbsPath("~/x"), dir + "/home/u/x");
  EXPECT_EQ(AbsPath("./missing/x"), dir + "/work/x");  // the working directory stands in
  EXPECT_EQ(CurrentDirectory(), dir + "/work");       // and it is where it was
  EXPECT_EQ(RelPath(dir + "/home/u/a.net"), "~/a.net");
  EXPECT_EQ(RelPath(dir + "/work/a.net"), "./a.net");
  EXPECT_EQ(RelPath(dir + "/workshop/x"), dir + "/workshop/x");  // whole directories only
  EXPECT_EQ(RelPath(dir + "/abcd/x"), dir + "/abcd/x");          // outside it, however long
  EXPECT_EQ(AbsPath(RelPath(dir + "/home/user2/x")), dir + "/home/user2/x");
  unsetenv("HOME");
  EXPECT_EQ(AbsPath("~/x"), "~/x");
  if (home != nullptr) setenv("HOME", oldHome.c_str(), 1);
  ASSERT_EQ(chdir(cwd.c_str()), 0);
}
