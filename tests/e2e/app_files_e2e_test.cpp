// What the transcripts cannot express about written files: their access
// rights, and a write that fails part-way.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "e2e_util.h"

using namespace e2e;

TEST(AppFiles, NewFilesGetTheCreationRightsLessTheMask) {
  TempDir tmp;
  tmp.Write("cmds", "save config\n");
  RunSpec spec;
  spec.args = {"cmds"};
  spec.env["KVLPATH"] = spec.cwd = tmp.Path();
  ASSERT_EQ(RunProgram(spec).exitCode, 0);
  struct stat info;
  ASSERT_EQ(stat((tmp / "korvalin.cfg").c_str(), &info), 0);
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0664u & ~mask);
}

TEST(AppFiles, FailedSaveKeepsTheOldFile) {
  TempDir tmp;
  const std::string dir = std::filesystem::canonical(tmp.Path()).string();
  tmp.Write("old.cfg", "MaxEpoch = 1\n");
  tmp.Write("cmds", "save config old.cfg\n");
  // A file size limit of 512 bytes makes the write fail for every user.
  RunSpec spec;
  spec.program = "/bin/sh";
  spec.args = {"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" cmds", KORVALIN_BIN};
  spec.env["KVLPATH"] = spec.cwd = dir;
  RunResult r = RunProgram(spec);
  EXPECT_NE(r.out.find(Echo("save config old.cfg") +
                       Framed("Error", "Error writing '" + dir + "/old.cfg' (File too large).")),
            std::string::npos)
      << r.out;
  EXPECT_EQ(ReadFile(tmp / "old.cfg"), "MaxEpoch = 1\n");
  // Nothing is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.Path()), std::filesystem::directory_iterator()), 2);
}
