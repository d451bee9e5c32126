// What ships with the program: the default configuration is found at a
// first start (a relative KVLPATH is taken below the working directory;
// without KVLPATH the configuration and help files are looked up beside the
// program, or the link that started it), --help and --version answer
// without starting a session, and closed standard descriptors count as
// /dev/null.
// (A unit test finds the help file's sections from the command and
// parameter tables.)
#include <gtest/gtest.h>

#include <utility>

#include "e2e_util.h"

using namespace e2e;

TEST(AppStart, ShippedConfigurationHoldsTheDefaultsAndIsFoundBesideTheProgram) {
  TScratchDir work;
  std::filesystem::create_directory(work / "cfg");
  RunSpec spec = In(work);
  spec.env["KVLPATH"] = "cfg";  // relative and without a final slash: below the working directory
  spec.input = "save config defaults.cfg\n";
  const RunResult missing = RunProgram(spec);
  ASSERT_EQ(missing.exitCode, 0);
  EXPECT_NE(missing.out.find("[Warning]\nCan't open '" + work / "cfg/korvalin.cfg" + "' (No such file"),
            std::string::npos);
  EXPECT_EQ(ReadText(work / "defaults.cfg"), ReadText(std::string(KORVALIN_SOURCE_DIR) + "/etc/korvalin.cfg"));

  spec.env["KVLPATH"] = std::nullopt;
  spec.input = "";
  const RunResult first = RunProgram(spec);
  EXPECT_EQ(first.out.find("[Warning]"), std::string::npos) << first.out;
  EXPECT_NE(first.out.find(" Loading configuration from "), std::string::npos) << first.out;

  // Started through a link, the program looks for its files in the link's directory.
  std::filesystem::create_directory(work / "bin");
  std::filesystem::create_symlink(KORVALIN_BIN, spec.program = spec.argv0 = work / "bin/korvalin");
  work.Write("bin/korvalin.cfg", "MaxEpoch = 3\n");
  spec.input = "help\n";
  const RunResult linked = RunProgram(spec);
  EXPECT_NE(linked.out.find(" Loading configuration from ./bin/korvalin.cfg..."), std::string::npos);
  EXPECT_NE(linked.out.find("Can't open '" + work / "bin/korvalin.hlp" + "' (No such file"), std::string::npos);
}

TEST(AppStart, HelpAndVersionOptionsAnswerAndExit) {
  for (const auto& [option, begins] : {std::pair<std::string, std::string>{"--help", "Usage: korvalin [options]"},
                                       {"--version", "korvalin 1.0\n"}}) {
    RunSpec spec;
    spec.args = {"-p", option, "never-read.cmd"};
    const RunResult r = RunProgram(spec);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.compare(0, begins.size(), begins), 0) << r.out;
    EXPECT_EQ(r.out.find("korvalin> "), std::string::npos) << r.out;
  }
}

TEST(AppStart, ClosedStandardDescriptorsCountAsDevNull) {
  for (const std::vector<int>& closed : {std::vector<int>{0}, {0, 1}, {0, 1, 2}}) {
    RunSpec spec;
    spec.closed = closed;
    spec.timeoutSeconds = 10;
    const RunResult r = RunProgram(spec);
    EXPECT_EQ(r.exitCode, 0) << closed.size();
    // Closed input is the end of input at the first prompt.
    EXPECT_EQ(r.out.find(Prompt()), closed.size() == 1 ? r.out.size() - Prompt().size() : std::string::npos);
  }
}
