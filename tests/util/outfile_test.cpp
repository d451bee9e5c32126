// Output files are written aside and take the place of the old file only
// when complete: a failed write leaves the old file as it was.
#include "outfile.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "../scratch_dir.h"

namespace {

bool Write(const std::string& name, const std::string& text) {
  TOutputFile out;
  if (!out.Open(name)) return false;
  out.Stream() << text;
  return out.Commit();
}

unsigned Mode(const std::string& name) {
  struct stat info {};
  lstat(name.c_str(), &info);
  return info.st_mode & 07777;
}

}  // namespace

TEST(OutputFile, ReplacesOnCommitKeepingRightsAndLinks) {
  TScratchDir scratch;
  const std::string dir = scratch.Path(), name = dir + "/a.net";
  TOutputFile out;
  ASSERT_TRUE(out.Open(name));
  out.Stream() << "new\n";
  EXPECT_FALSE(std::filesystem::exists(name));  // nothing shows before the commit
  ASSERT_TRUE(out.Commit());
  EXPECT_EQ(ReadText(name), "new\n");
  const mode_t mask = umask(022);
  umask(mask);
  EXPECT_EQ(Mode(name), 0664u & ~mask);
  chmod(name.c_str(), 0600);  // a replaced file keeps its rights
  ASSERT_TRUE(Write(name, "again"));
  EXPECT_EQ(Mode(name), 0600u);
  // A link is followed, and the file it names replaced; a device is written in place.
  const std::string link = dir + "/link.net";
  ASSERT_EQ(symlink(name.c_str(), link.c_str()), 0);
  ASSERT_TRUE(Write(link, "through the link"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadText(name), "through the link");
  EXPECT_TRUE(Write("/dev/null", "discarded"));
  ASSERT_TRUE(Write(dir + "/" + std::string(255, 'n'), "longest name"));  // the temporary name fits too
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 3);
}

TEST(OutputFile, AFailedWriteKeepsTheOldFile) {
  TScratchDir scratch;
  const std::string name = scratch.Path() + "/d.net";
  std::ofstream(name) << "kept\n";
  // A file size limit makes the write fail even where permissions do not.
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &old);
  struct rlimit saved, limit;
  getrlimit(RLIMIT_FSIZE, &saved);
  limit = saved;
  limit.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &limit);
  TOutputFile out;
  const bool opened = out.Open(name);
  if (opened) out.Stream() << std::string(10000, 'x');
  const bool committed = opened && out.Commit();
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &old, nullptr);
  ASSERT_TRUE(opened);
  EXPECT_FALSE(committed);
  EXPECT_EQ(std::string(out.ErrorMsg(WriteError)), "Error writing '" + name + "' (File too large).");
  EXPECT_EQ(ReadText(name), "kept\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.Path()), std::filesystem::directory_iterator()),
            1);
}
