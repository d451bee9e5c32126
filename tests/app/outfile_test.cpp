#include "outfile.h"

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "../scratch_dir.h"

namespace {

class OutputFileTest : public ::testing::Test {
 protected:
  TScratchDir Scratch;
  const std::string Dir = Scratch.Path();

  static std::string Read(const std::string& name) { return ReadText(name); }
  static bool FileExists(const std::string& name) {
    struct stat info;
    return stat(name.c_str(), &info) == 0;
  }
  int Entries() const {
    int n = 0;
    DIR* d = opendir(Dir.c_str());
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.' || (e->d_name[1] != '\0' && e->d_name[1] != '.')) n++;
    closedir(d);
    return n;
  }
};

}  // namespace

TEST_F(OutputFileTest, NewFileAppearsOnCommitWithCreationRights) {
  std::string name = Dir + "/a.net";
  TOutputFile out;
  ASSERT_TRUE(out.Open(name));
  out.Stream() << "new\n";
  EXPECT_FALSE(FileExists(name));
  ASSERT_TRUE(out.Commit());
  EXPECT_EQ(Read(name), "new\n");
  mode_t mask = umask(022);
  umask(mask);
  struct stat info;
  ASSERT_EQ(stat(name.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0664u & ~mask);
  EXPECT_EQ(Entries(), 1);  // no temporary file left behind
}

TEST_F(OutputFileTest, ReplacedFileKeepsItsRights) {
  std::string name = Dir + "/private.cfg";
  std::ofstream(name) << "old";
  chmod(name.c_str(), 0600);
  TOutputFile out;
  ASSERT_TRUE(out.Open(name));
  out.Stream() << "new";
  EXPECT_EQ(Read(name), "old");
  ASSERT_TRUE(out.Commit());
  EXPECT_EQ(Read(name), "new");
  struct stat info;
  ASSERT_EQ(stat(name.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(OutputFileTest, WriteCutShortKeepsOldFile) {
  // A file size limit makes the write fail even where permissions do not.
  std::string name = Dir + "/d.net";
  std::ofstream(name) << "kept\n";
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &old);
  struct rlimit limit, saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  limit = saved;
  limit.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &limit);
  TOutputFile out;
  bool opened = out.Open(name);
  if (opened) out.Stream() << std::string(10000, 'x');
  bool committed = opened && out.Commit();
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &old, nullptr);
  ASSERT_TRUE(opened);
  EXPECT_FALSE(committed);
  EXPECT_EQ(std::string(out.ErrorMsg(WriteError)), "Error writing '" + name + "' (File too large).");
  EXPECT_EQ(Read(name), "kept\n");
  EXPECT_EQ(Entries(), 1);
}

TEST_F(OutputFileTest, LongestNamesCanBeReplaced) {
  std::string name = Dir + "/" + std::string(255, 'n');
  std::ofstream(name) << "old";
  TOutputFile out;
  ASSERT_TRUE(out.Open(name));
  out.Stream() << "new";
  ASSERT_TRUE(out.Commit());
  EXPECT_EQ(Read(name), "new");
}

TEST_F(OutputFileTest, DevicesAndLinkedFilesAreWrittenInPlace) {
  TOutputFile null;
  ASSERT_TRUE(null.Open("/dev/null"));
  null.Stream() << "discarded";
  EXPECT_TRUE(null.Commit());

  std::string real = Dir + "/real.net", link = Dir + "/link.net";
  std::ofstream(real) << "old";
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  TOutputFile out;
  ASSERT_TRUE(out.Open(link));
  out.Stream() << "new";
  ASSERT_TRUE(out.Commit());
  struct stat info;
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(Read(real), "new");
}
