// Learning in the foreground at a terminal, the one form of the run command
// that a transcript over pipes cannot show.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "e2e_util.h"

using namespace e2e;

TEST(RunBatch, TrainedMessageOnlyAtATerminal) {
  TempDir dir;
  for (const char* name : {"iris.pat", "iris_rules.net"})
    std::filesystem::copy_file(std::string(KORVALIN_TEST_DATA) + "/" + name, dir / name);
  RunSpec spec;
  spec.args = {dir.Write("commands",
                         "load pattern iris.pat\nload net iris_rules.net\nset MaxEpoch = 2\n"
                         "set Stop_At_Misclassified = -1\nset Stop_At_Percent = -1\nrun learning\n")};
  spec.cwd = dir.Path();
  spec.env["KVLPATH"] = dir.Path();
  dir.Write("korvalin.cfg", "Update_Cycle = 0\n");
  RunResult r = RunOnTerminal(spec);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(
      std::regex_search(r.out, std::regex("\n\n Net was trained for 2 epochs.\r?\n Execution time: \\d+ s \r?\n\r?\n"
                                          "\\[Learning results\\]\r?\n Epoch:    2,")))
      << r.out;
}
