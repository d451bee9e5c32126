// The command shell frame on a terminal, where messages are not framed and
// paged text goes through the pager. Everything over pipes is covered by the
// shell_*.t transcripts.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e_util.h"

using namespace e2e;

namespace {

RunSpec Shell(const std::string& input) {
  RunSpec spec;
  spec.program = KORVALIN_SHELL_BIN;
  spec.input = input;
  spec.timeoutSeconds = 20;
  return spec;
}

const std::string kUnknownFoo = "Invalid command 'foo'. Type 'help' for more information.";

}  // namespace

TEST(ShellTerminal, WarningsAndErrorsGoToStandardErrorUnframed) {
  RunResult r = RunOnTerminal(Shell("foo\ncd /\ncd\nexit\n"));
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, Prompt() + Prompt() + " Working directory set to '/'.\n" + Prompt() + Prompt());
  EXPECT_EQ(r.err, OnTerminal("Error", kUnknownFoo) + OnTerminal("Error", "Too less arguments for 'cd'. "));
}

TEST(ShellTerminal, EndOfInputLeavesAFreshLineAndLongNamesShowWhole) {
  TempDir tmp;
  const std::string name = "a-rather-long-program-name";
  RunSpec spec = Shell("foo\n");
  spec.program = spec.argv0 = tmp.LinkProgram(name + ".bin", KORVALIN_SHELL_BIN);
  RunResult r = RunOnTerminal(spec);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.out, Prompt(name) + Prompt(name) + "\n");
  EXPECT_EQ(r.err, OnTerminal("Error", kUnknownFoo, name));
}

TEST(ShellTerminal, PagedTextGoesThroughThePager) {
  TempDir tmp, scratch;
  tmp.Write("korvalin.hlp", "\\topic load\n Loading and saving.\n");
  RunSpec spec = Shell("help load\n");
  spec.program = spec.argv0 = tmp.LinkProgram("korvalin", KORVALIN_SHELL_BIN);
  spec.env["TMPDIR"] = scratch.Path();
  RunResult r = RunOnTerminal(spec);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.find("[Help]"), std::string::npos);
  EXPECT_NE(r.out.find(" Loading and saving.\n"), std::string::npos) << r.out;
  EXPECT_TRUE(std::filesystem::is_empty(scratch.Path())) << "paged text file left behind";
}
