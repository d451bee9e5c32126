#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../scratch_dir.h"
#include "stdutils.h"

namespace {

// Runs a test in a fresh directory with HOME set as asked; restores both.
class PathEnv : public ::testing::Test {
 protected:
  std::string OldCwd, OldHome;
  TScratchDir Scratch;
  const std::string Dir = Scratch.Path();
  bool HadHome = false;

  void SetUp() override {
    OldCwd = CurrentDirectory();
    const char* home = std::getenv("HOME");
    HadHome = home != nullptr;
    if (HadHome) OldHome = home;
    std::filesystem::create_directories(Dir + "/home/u");
    std::filesystem::create_directories(Dir + "/work/sub");
    ASSERT_EQ(chdir((Dir + "/work").c_str()), 0);
    setenv("HOME", (Dir + "/home/u").c_str(), 1);
  }
  void TearDown() override {
    if (chdir(OldCwd.c_str()) != 0) ADD_FAILURE() << "cannot return to " << OldCwd;
    if (HadHome)
      setenv("HOME", OldHome.c_str(), 1);
    else
      unsetenv("HOME");
  }
};

std::string ErrorLine(const std::string& text, long position) {
  std::istringstream in(text);
  in.setstate(std::ios::failbit);  // as a failed reader leaves it
  std::ostringstream out;
  PrintErrorLine(out, in, position);
  std::string s = out.str();
  EXPECT_FALSE(s.empty());
  EXPECT_EQ(s.back(), '\0');
  return s.substr(0, s.size() - 1);
}

}  // namespace

TEST(StdUtils, CompareAndSearchIgnoringCase) {
  EXPECT_EQ(stricmp("YES", "yes"), 0);
  EXPECT_EQ(stricmp("yes", "ye"), 1);
  EXPECT_EQ(stricmp("ye", "yes"), 1);
  const char* text = "NumberOfFSets[3]";
  EXPECT_EQ(IsSubString(text, "numberoffsets[3]", IgnoreCase), text);
  EXPECT_EQ(IsSubString(text, "numberoffsets[3]", CaseSensitive), nullptr);
  EXPECT_EQ(IsSubString(text, "FSETS", IgnoreCase), text + 8);
  EXPECT_EQ(IsSubString(text, "", IgnoreCase), text);
}

TEST(StdUtils, FileErrorMsgCutsLongNames) {
  std::string longName(1000, 'n');
  const char* cut = FileErrorMsg(longName.c_str(), OpenError);
  EXPECT_EQ(cut, FileErrorMsgText);
  EXPECT_EQ(std::strlen(cut), sizeof FileErrorMsgText - 1);
  EXPECT_EQ(std::string(cut).rfind("Can't open 'nnn", 0), 0u);
  // The reason survives a long name; the name keeps its start and end.
  errno = ENOENT;
  const std::string text = FileErrorMsg(("/dir/" + longName + "/file.pat").c_str(), OpenError);
  EXPECT_EQ(text.size(), sizeof FileErrorMsgText - 1);
  EXPECT_EQ(text.rfind("Can't open '/dir/nnn", 0), 0u);
  EXPECT_NE(text.find("nnn...nnn"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 42), "nnn/file.pat' (No such file or directory).");
}

TEST(StdUtils, IgnoreCommentsStopsAtTheNextToken) {
  std::istringstream in("  # comment\n% more\n\t 42 # after\n");
  IgnoreComments(in);
  int n = 0;
  in >> n;
  EXPECT_EQ(n, 42);
  IgnoreComments(in);
  EXPECT_TRUE(in.fail());
  EXPECT_TRUE(in.eof());

  std::istringstream inside("x%y");
  std::string word;
  inside >> word;  // comments are recognised where a token would begin only
  EXPECT_EQ(word, "x%y");
}

TEST(StdUtils, LineReadersBoundLinesAndSurviveReadErrors) {
  std::istringstream in("12345\n123456\nlast");
  std::string line;
  EXPECT_TRUE(GetLine(in, line, 5));
  EXPECT_EQ(line, "12345");
  EXPECT_FALSE(GetLine(in, line, 5));
  EXPECT_TRUE(in.fail() && !in.eof());

  std::istringstream cut("abcdefgh\nxy\nlast");
  EXPECT_TRUE(GetLineCut(cut, line, 3));
  EXPECT_EQ(line, "abc");
  EXPECT_TRUE(GetLineCut(cut, line, 3));
  EXPECT_EQ(line, "xy");
  EXPECT_TRUE(GetLineCut(cut, line, 3));
  EXPECT_EQ(line, "las");
  EXPECT_FALSE(GetLineCut(cut, line, 3));

  // Reading a directory makes file buffers throw; the readers report it as badbit.
  std::ifstream dir("/");
  ASSERT_TRUE(dir.is_open());
  EXPECT_FALSE(GetLine(dir, line, 10));
  EXPECT_TRUE(dir.bad());
  std::ifstream dir2("/");
  IgnoreComments(dir2);
  EXPECT_TRUE(dir2.bad());
}

TEST(StdUtils, PrintErrorLineNamesTheLineOfAPosition) {
  const std::string text = "first\nsecond\n\nfourth\n";
  EXPECT_EQ(ErrorLine(text, 0), "Line 1: \"first\"");
  EXPECT_EQ(ErrorLine(text, 5), "Line 1: \"first\"");  // its newline
  EXPECT_EQ(ErrorLine(text, 6), "Line 2: \"second\"");
  EXPECT_EQ(ErrorLine(text, 13), "Line 3: \"\"");
  EXPECT_EQ(ErrorLine(text, 14), "Line 4: \"fourth\"");
  EXPECT_EQ(ErrorLine(text, 21), "Unexpected end of file.");
  EXPECT_EQ(ErrorLine("", 0), "Unexpected end of file.");

  // A long line is shown cut but still counted whole.
  std::string longLine(300, 'x');
  EXPECT_EQ(ErrorLine(longLine + "\nnext\n", 301), "Line 2: \"next\"");
  EXPECT_EQ(ErrorLine(longLine + "\nnext\n", 10), "Line 1: \"" + std::string(127, 'x') + "\"");
}

TEST(StdUtils, SplitPathAndReplaceExt) {
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
    EXPECT_EQ(dir, k.dir) << k.path;
    EXPECT_EQ(name, k.name) << k.path;
    EXPECT_EQ(ext, k.ext) << k.path;
  }
  EXPECT_EQ(ReplaceExt("nets/iris.net", ".err"), "nets/iris.err");
  EXPECT_EQ(ReplaceExt("run.1/iris", ".err"), "run.1/iris.err");
  EXPECT_EQ(ReplaceExt("a.b.c", ".d"), "a.b.d");
}

TEST_F(PathEnv, AbsPathExpandsHomeAndResolvesDotDirectories) {
  EXPECT_EQ(AbsPath("data.pat"), Dir + "/work/data.pat");
  EXPECT_EQ(AbsPath("./sub/x"), Dir + "/work/sub/x");
  EXPECT_EQ(AbsPath("../x"), Dir + "/x");
  EXPECT_EQ(AbsPath("/tmp/x"), "/tmp/x");
  EXPECT_EQ(AbsPath("data/x"), "data/x");  // relative without a leading dot: unchanged
  EXPECT_EQ(AbsPath("~/x"), Dir + "/home/u/x");
  EXPECT_EQ(AbsPath("~"), Dir + "/home/u");
  EXPECT_EQ(AbsPath("./missing/x"), Dir + "/work/x");  // the working directory stands in
  EXPECT_EQ(CurrentDirectory(), Dir + "/work");       // and it is where it was
  unsetenv("HOME");
  EXPECT_EQ(AbsPath("~/x"), "~/x");
}

TEST_F(PathEnv, RelPathShortensForDisplayAndRoundTrips) {
  EXPECT_EQ(RelPath(Dir + "/home/u/a.net"), "~/a.net");
  EXPECT_EQ(RelPath(Dir + "/work/sub/a.net"), "./sub/a.net");
  EXPECT_EQ(RelPath(Dir + "/work"), ".");
  EXPECT_EQ(RelPath("./x"), "./x");
  EXPECT_EQ(RelPath(""), "");
  EXPECT_EQ(RelPath("/elsewhere/x"), "/elsewhere/x");
  // The working directory counts as a whole directory only ...
  EXPECT_EQ(RelPath(Dir + "/workshop/x"), Dir + "/workshop/x");
  // ... while HOME is a plain text prefix, which still expands back.
  std::string partner = Dir + "/home/user2/x";
  EXPECT_EQ(RelPath(partner), "~ser2/x");
  EXPECT_EQ(AbsPath(RelPath(partner)), partner);
  // HOME is tested first.
  ASSERT_EQ(chdir((Dir + "/home").c_str()), 0);
  EXPECT_EQ(RelPath(Dir + "/home/u/x"), "~/x");
  ASSERT_EQ(chdir("/"), 0);
  EXPECT_EQ(RelPath("/tmp/x"), "./tmp/x");
}
