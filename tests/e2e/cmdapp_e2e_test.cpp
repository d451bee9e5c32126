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

TEST(ShellTerminal, OnlyTextLongerThanTheScreenGoesThroughThePager) {
  TempDir tmp, scratch;
  std::string longText;
  for (int i = 1; i <= 24; i++) longText += " line " + std::to_string(i) + "\n";
  tmp.Write("korvalin.hlp", "\\topic short\n Loading and saving.\n\\topic long\n" + longText);
  RunSpec spec = Shell("help short\nhelp long\n");
  spec.program = spec.argv0 = tmp.LinkProgram("korvalin", KORVALIN_SHELL_BIN);
  spec.env["TMPDIR"] = scratch.Path();
  spec.env["PAGER"] = "sed s/^/paged:/";
  RunResult r = RunOnTerminal(spec);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.find("[Help]"), std::string::npos);
  // 80 x 24: two lines and the prompt fit, 24 lines and an empty one do not.
  EXPECT_NE(r.out.find(Prompt() + " Loading and saving.\n\n" + Prompt()), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("paged: line 1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("paged: line 24\npaged:\n"), std::string::npos) << r.out;
  EXPECT_TRUE(std::filesystem::is_empty(scratch.Path())) << "paged text file left behind";
}
