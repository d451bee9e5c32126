// The application's start: banner, configuration file, KVLPATH, pipe mode,
// the learning gate's neighbours, and the shipped help file.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e_util.h"

using namespace e2e;

namespace {

const std::string kBanner =
    "KORVALIN 1.0, \nA neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.\n"
    "Type 'help' for an overview of the commands.\n";

std::string Canonical(const std::string& path) { return std::filesystem::canonical(path).string(); }

std::string NoConfig(const std::string& dir) {
  return Framed("Warning", "Can't open '" + dir + "/korvalin.cfg' (No such file or directory).\n"
                           "Using default configuration.");
}

RunSpec App(const TempDir& home, const std::string& input) {
  RunSpec spec;
  spec.env["KVLPATH"] = home.Path();
  spec.cwd = home.Path();
  spec.input = input;
  spec.timeoutSeconds = 20;
  return spec;
}

}  // namespace

TEST(AppStart, WithoutConfigurationFileWarnsAndUsesDefaults) {
  TempDir home;
  RunResult r = RunProgram(App(home, "exit\n"));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, kBanner + NoConfig(home.Path()) + Prompt());
  EXPECT_EQ(r.err, "");
}

TEST(AppStart, ConfigurationFromKvlPathWithFaultyLinesReported) {
  TempDir home;
  home.Write("korvalin.cfg", "# settings\nMaxEpoch = 7\nFoo = 1\n\nsigma 2\nsigma = 0.5\n");
  RunResult r = RunProgram(App(home, "quit\n"));
  EXPECT_EQ(r.out, kBanner + " Loading configuration from ./korvalin.cfg...\n" +
                       Framed("Error", "Syntax error in configuration file (line 3): \n"
                                       "Unkwown parameter name 'Foo'.") +
                       Framed("Error", "Syntax error in configuration file (line 5): \nAssignment missing.") +
                       Prompt());
}

TEST(AppStart, KvlPathWithoutSlashAndOnTerminal) {
  TempDir home;
  std::string dir = home.MakeDir("cfg");
  RunSpec spec = App(home, "exit\n");
  spec.env["KVLPATH"] = "cfg";  // relative to the working directory
  RunResult r = RunOnTerminal(spec);
  EXPECT_EQ(r.err, OnTerminal("Warning", "Can't open '" + Canonical(dir) + "/korvalin.cfg' (No such file or "
                                         "directory).\nUsing default configuration."));
}

TEST(AppStart, WithoutKvlPathTheProgramsDirectoryServes) {
  TempDir home;
  std::string bin = home.MakeDir("bin");
  std::string program = home.LinkProgram("bin/korvalin");
  home.Write("bin/korvalin.cfg", "MaxEpoch = 3\n");
  RunSpec spec = App(home, "help\n");
  spec.env["KVLPATH"] = std::nullopt;
  spec.program = program;
  RunResult r = RunProgram(spec);
  EXPECT_EQ(r.out, kBanner + " Loading configuration from ./bin/korvalin.cfg...\n" + Prompt() +
                       Framed("Error", "Can't open '" + Canonical(bin) + "/korvalin.hlp' (No such file or directory).") +
                       Prompt());
}

TEST(AppStart, CommandFileInPipeMode) {
  TempDir home;
  home.Write("cmds", "load something x\ncreate net my.net\nrun fast\nstop\nabort\n");
  RunSpec spec = App(home, "");
  spec.args = {"-p", "cmds"};
  RunResult r = RunProgram(spec);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, kBanner + NoConfig(home.Path()) + Reading("cmds") + Echo("load something x") +
                       Framed("Error", "Invalid argument 'something'. Type 'help load' for more information.") +
                       Echo("create net my.net") +
                       Framed("Error", "Invalid argument 'my.net'. Type 'help create' for more information.") +
                       Echo("run fast") +
                       Framed("Error", "Invalid argument 'fast'. Type 'help run' for more information.") +
                       Echo("stop") + Framed("Information", " Can't 'stop'. No learning process is being run.") +
                       Echo("abort") + Framed("Information", " Can't 'abort'. No learning process is being run."));
}

// Every command and every learning parameter has its topic in the help file
// that ships with the program.
TEST(AppHelp, ShippedFileAnswersEveryCommandAndParameter) {
  TempDir home;
  std::filesystem::copy_file(std::string(KORVALIN_SOURCE_DIR) + "/help/korvalin.hlp", home / "korvalin.hlp");
  const char* topics[] = {"load", "save", "set", "show", "create", "run", "stop", "abort", "help", "cd", "!",
                          "exit", "quit", "MaxEpoch", "Stop_At_Percent", "Stop_At_Misclassified",
                          "Update_Cycle", "CreateLogFile", "sigma", "sigma_a", "sigma_b", "sigma_c",
                          "FSetsPerVariable", "FsIntersect_0.5", "Learning_Weights", "Learning_Rules",
                          "AggregationFunc", "maxepoch", "learning_rules", "patternfile", "netfile",
                          "configfile", "resultfile", "logfile", "rulefile", "errorfile", "pipe"};
  std::string input;
  for (const char* t : topics) input += std::string("help ") + t + "\n";
  RunResult r = RunProgram(App(home, input + "help\nhelp contents\n"));
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
