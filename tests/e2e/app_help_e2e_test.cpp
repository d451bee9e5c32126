// What ships with the program: the help file answers the topics beyond the
// commands and parameters, whose sections a unit test finds from the tables
// (its wording is free to change, so this is no transcript), the default
// configuration is found at a first start, and --help and --version answer
// without starting a session.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "e2e_util.h"

using namespace e2e;

TEST(AppHelp, ShippedFileAnswersItsTopics) {
  TScratchDir home;
  std::filesystem::copy_file(std::string(KORVALIN_SOURCE_DIR) + "/help/korvalin.hlp", home / "korvalin.hlp");
  const char* topics[] = {"create",     "exit",       "maxepoch",       "learning_rules", "patternfile",
                          "netfile",    "configfile", "resultfile",     "predictionfile", "logfile",
                          "rulefile",   "errorfile",  "pipe"};
  std::string input;
  for (const char* t : topics) input += std::string("help ") + t + "\n";
  RunSpec spec;
  spec.env["KVLPATH"] = home.Path();
  spec.cwd = home.Path();
  spec.input = input + "help\nhelp contents\n";
  RunResult r = RunProgram(spec);
  EXPECT_EQ(r.out.find("No help for"), std::string::npos) << r.out;
  // One section per topic, the general text and the contents.
  std::size_t sections = 0;
  for (std::size_t at = r.out.find("[Help]\n"); at != std::string::npos; at = r.out.find("[Help]\n", at + 1)) sections++;
  EXPECT_EQ(sections, sizeof topics / sizeof topics[0] + 1);
  EXPECT_NE(r.out.find("[Help]\n create net -r<max> [<file>]\n"), std::string::npos);
  EXPECT_NE(r.out.find(" The following help topics are available:\n\n\tload\n\tsave\n"), std::string::npos);
  EXPECT_NE(r.out.find("[Help contents]\n\tload\n"), std::string::npos);
  // Adjacent topic lines share their section.
  EXPECT_NE(r.out.find("[Help]\n exit\n quit\n"), std::string::npos);
}

TEST(AppStart, ShippedConfigurationHoldsTheDefaultsAndIsFoundBesideTheProgram) {
  TScratchDir empty, work;
  RunSpec spec;
  spec.env["KVLPATH"] = empty.Path();
  spec.cwd = work.Path();
  spec.input = "save config defaults.cfg\n";
  ASSERT_EQ(RunProgram(spec).exitCode, 0);
  EXPECT_EQ(ReadText(work / "defaults.cfg"), ReadText(std::string(KORVALIN_SOURCE_DIR) + "/etc/korvalin.cfg"));

  spec.env["KVLPATH"] = std::nullopt;
  spec.input = "";
  const RunResult first = RunProgram(spec);
  EXPECT_EQ(first.out.find("[Warning]"), std::string::npos) << first.out;
  EXPECT_NE(first.out.find(" Loading configuration from "), std::string::npos) << first.out;
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
