// The command shell frame end to end: command files, the interactive loop
// over pipes and on a terminal, the standard commands and help.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e_util.h"

using namespace e2e;

namespace {

RunSpec Shell() {
  RunSpec spec;
  spec.program = KORVALIN_SHELL_BIN;
  spec.timeoutSeconds = 20;
  return spec;
}

std::string Canonical(const std::string& path) { return std::filesystem::canonical(path).string(); }

const std::string kUnknownFoo = "Invalid command 'foo'. Type 'help' for more information.";

}  // namespace

TEST(ShellBatch, RunsCommandFilesWithEchoSkippingCommentsAndBlanks) {
  TempDir tmp;
  std::string sub = Canonical(tmp.MakeDir("sub"));
  tmp.Write("cmds",
            "# a comment line\n"
            "\n"
            "   \t\n"
            "% another comment\n"
            "  cd sub  \n"
            "foo bar\n"
            "cd\n"
            "help a b\n"
            "cd no/such/dir\n"
            "!\n"
            "! echo from the shell\n"
            "cd ..");  // last line without newline still runs
  RunSpec spec = Shell();
  spec.cwd = tmp.Path();
  spec.args = {"cmds"};
  RunResult r = RunProgram(spec);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  std::string top = Canonical(tmp.Path());
  EXPECT_EQ(r.out, Reading("cmds") + Echo("cd sub") +
                       Framed("Information", " Working directory set to '" + sub + "'.") + Echo("foo bar") +
                       Framed("Error", kUnknownFoo) + Echo("cd") +
                       Framed("Error", "Too less arguments for 'cd'. ") + Echo("help a b") +
                       Framed("Error", "Too many arguments for 'help'. ") + Echo("cd no/such/dir") +
                       Framed("Error", "Can't change to directory 'no/such/dir': (No such file or directory).") +
                       Echo("!") + Framed("Error", "OS shell only in interactive mode.") +
                       Echo("! echo from the shell") + "from the shell\n" + Echo("cd ..") +
                       Framed("Information", " Working directory set to '" + top + "'."));
}

TEST(ShellBatch, OptionsAreSkippedAndExitEndsLaterFiles) {
  TempDir tmp;
  tmp.Write("one", "cd .\nexit\ncd /tmp\n");
  tmp.Write("two", "cd /tmp\n");
  RunSpec spec = Shell();
  spec.cwd = tmp.Path();
  spec.args = {"-p", "--other", "missing", "one", "two"};
  spec.input = "cd /tmp\n";  // batch mode never reads standard input
  RunResult r = RunProgram(spec);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, Framed("Error", "Can't open 'missing' (No such file or directory).") + Reading("one") +
                       Echo("cd .") +
                       Framed("Information", " Working directory set to '" + Canonical(tmp.Path()) + "'.") +
                       Echo("exit") + Reading("two"));
}

TEST(ShellBatch, OverlongLinesAreReportedAndSkippedWhole) {
  TempDir tmp;
  std::string longest(254, 'x');
  tmp.Write("cmds", "exit " + std::string(250, 'y') + "\n" + longest + "\n" + std::string(100000, 'z') + "\ncd /\n");
  RunSpec spec = Shell();
  spec.cwd = tmp.Path();
  spec.args = {"cmds"};
  RunResult r = RunProgram(spec);
  const std::string tooLong = Framed("Error", "Command line too long (more than 254 characters), ignored.");
  EXPECT_EQ(r.out, Reading("cmds") + tooLong + Echo(longest) +
                       Framed("Error", "Invalid command '" + longest + "'. Type 'help' for more information.") +
                       tooLong + Echo("cd /") + Framed("Information", " Working directory set to '/'."));
}

TEST(ShellBatch, DirectoryAsCommandFileIsAReadError) {
  TempDir tmp;
  RunSpec spec = Shell();
  spec.args = {tmp.Path()};
  RunResult r = RunProgram(spec);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, Reading(tmp.Path()) + Framed("Error", "Error reading '" + tmp.Path() + "' (Is a directory)."));
}

TEST(ShellInteractive, PromptsWithNulAndFramesMessagesOverPipes) {
  TempDir tmp;
  RunSpec spec = Shell();
  spec.cwd = tmp.Path();
  spec.args = {"-p", "-x"};  // options alone keep the interactive loop
  spec.input = "\n   \n# not a comment here\nfoo\n  cd   /  \nexit 1\ncd /tmp\n";
  RunResult r = RunProgram(spec);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, Prompt() + Prompt() + Prompt() +
                       Framed("Error", "Invalid command '#'. Type 'help' for more information.") + Prompt() +
                       Framed("Error", kUnknownFoo) + Prompt() +
                       Framed("Information", " Working directory set to '/'.") + Prompt() +
                       Framed("Error", "Too many arguments for 'exit'. "));
}

TEST(ShellInteractive, EndOfInputEndsTheLoopAndAFinalLineRuns) {
  RunSpec spec = Shell();
  spec.timeoutSeconds = 10;
  spec.input = "cd /";
  RunResult r = RunProgram(spec);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, Prompt() + Framed("Information", " Working directory set to '/'.") + Prompt());

  spec.input = "";
  r = RunProgram(spec);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.out, Prompt());
}

TEST(ShellInteractive, OverlongLineIsSkippedWhole) {
  RunSpec spec = Shell();
  spec.input = "exit" + std::string(300, ' ') + "x\n" + std::string(200000, 'q') + "\nexit\n";
  RunResult r = RunProgram(spec);
  const std::string tooLong = Framed("Error", "Command line too long (more than 254 characters), ignored.");
  EXPECT_EQ(r.out, Prompt() + tooLong + Prompt() + tooLong + Prompt());
}

TEST(ShellInteractive, ShellEscapeOutputKeepsItsPlace) {
  RunSpec spec = Shell();
  spec.env["SHELL"] = "echo started the shell";
  spec.input = "!echo  one   two\n!\nfoo\nexit\n";
  RunResult r = RunProgram(spec);
  EXPECT_EQ(r.out, Prompt() + "one two\n" + Prompt() + " Type exit to return to korvalin...\n" +
                       "started the shell\n" + Prompt() + Framed("Error", kUnknownFoo) + Prompt());

  spec.env["SHELL"] = std::nullopt;  // no shell to run: nothing happens
  spec.input = "!\nexit\n";
  r = RunProgram(spec);
  EXPECT_EQ(r.out, Prompt() + Prompt());
}

TEST(ShellTerminal, WarningsAndErrorsGoToStandardErrorUnframed) {
  RunSpec spec = Shell();
  spec.input = "foo\ncd /\ncd\nexit\n";
  RunResult r = RunOnTerminal(spec);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, Prompt() + Prompt() + " Working directory set to '/'.\n" + Prompt() + Prompt());
  EXPECT_EQ(r.err, OnTerminal("Error", kUnknownFoo) + OnTerminal("Error", "Too less arguments for 'cd'. "));
}

TEST(ShellTerminal, EndOfInputLeavesAFreshLine) {
  RunSpec spec = Shell();
  RunResult r = RunOnTerminal(spec);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.out, Prompt() + "\n");
}

TEST(ShellProgram, LongProgramNameIsShownWholeInThePrompt) {
  TempDir tmp;
  const std::string name = "a-rather-long-program-name";
  RunSpec spec = Shell();
  spec.argv0 = tmp.LinkProgram(name + ".bin", KORVALIN_SHELL_BIN);
  spec.program = spec.argv0;
  spec.input = "foo\n";
  RunResult r = RunOnTerminal(spec);
  EXPECT_EQ(r.out, Prompt(name) + Prompt(name) + "\n");
  EXPECT_EQ(r.err, OnTerminal("Error", kUnknownFoo, name));
}

// Help files are generated beside a link to the program, which looks for
// <its directory>/<its name>.hlp.
class ShellHelp : public ::testing::Test {
 protected:
  TempDir tmp;
  TempDir scratch;  // TMPDIR of the program, for its paged texts
  RunSpec spec = Shell();

  void SetUp() override {
    spec.program = spec.argv0 = tmp.LinkProgram("korvalin", KORVALIN_SHELL_BIN);
    spec.env["TMPDIR"] = scratch.Path();
  }
  void WriteHelp(const std::string& text) { tmp.Write("korvalin.hlp", text); }
  RunResult Ask(const std::string& lines) {
    spec.input = lines;
    return RunProgram(spec);
  }
  void ExpectNoTemporaryFilesLeft() {
    EXPECT_TRUE(std::filesystem::is_empty(scratch.Path())) << "paged text file left behind";
  }
};

const char* const kHelpFile =
    "lines before any topic are never shown\n"
    "\\topic\n"
    " General help.\n"
    "\\topic load\n"
    "\\topic save\n"
    " Loading and saving.\n"
    "\\topic\n"
    " still the save section\n"
    "\\topic cd  \n"
    " Changing directory.\n";

TEST_F(ShellHelp, SectionsTopicListsAndContents) {
  WriteHelp(kHelpFile);
  RunResult r = Ask("help save\nhelp load\nhelp\nhelp CONTENTS\n");
  EXPECT_EQ(r.out, Prompt() + "[Help]\n Loading and saving.\n\\topic\n still the save section\n\n[end]\n" +
                       Prompt() + "[Help]\n Loading and saving.\n\\topic\n still the save section\n\n[end]\n" +
                       Prompt() + "[Help]\n General help.\n The following help topics are available:\n\n" +
                       "\tload\n\tsave\n\tcd  \n\n[end]\n" + Prompt() +
                       "[Help contents]\n\tload\n\tsave\n\tcd  \n\n[end]\n" + Prompt());
  ExpectNoTemporaryFilesLeft();
}

TEST_F(ShellHelp, TopicsAreMatchedExactly) {
  WriteHelp(kHelpFile);
  RunResult r = Ask("help Load\nhelp cd\nhelp nothing\n");
  EXPECT_EQ(r.out, Prompt() + Framed("Information", " No help for 'Load' available.") + Prompt() +
                       Framed("Information", " No help for 'cd' available.") + Prompt() +
                       Framed("Information", " No help for 'nothing' available.") + Prompt());
}

TEST_F(ShellHelp, MissingGeneralTextAndMissingFile) {
  WriteHelp("\\topic load\n text\n");
  RunResult r = Ask("help\n");
  EXPECT_EQ(r.out, Prompt() + Framed("Information", " No help for '' available.") + Prompt());

  std::filesystem::remove(tmp / "korvalin.hlp");
  r = Ask("help load\n");
  EXPECT_EQ(r.out, Prompt() + Framed("Error", "Can't open '" + tmp.Path() + "/korvalin.hlp' " +
                                                  "(No such file or directory).") +
                       Prompt());
}

TEST_F(ShellHelp, LongLinesDoNotStopSearchOrListing) {
  std::string longLine(5000, 'w');
  WriteHelp(longLine + "\n\\topic\n" + longLine + "\n\\topic first\n" + longLine + "\n\\topic second\n end\n");
  RunResult r = Ask("help second\nhelp contents\n");
  EXPECT_EQ(r.out, Prompt() + "[Help]\n end\n\n[end]\n" + Prompt() +
                       "[Help contents]\n\tfirst\n\tsecond\n\n[end]\n" + Prompt());
}

TEST_F(ShellHelp, FindsItsFileAfterCdWhenStartedByRelativePath) {
  tmp.Write("bin/korvalin.hlp", kHelpFile);
  tmp.MakeDir("elsewhere");
  spec.program = tmp.LinkProgram("bin/korvalin", KORVALIN_SHELL_BIN);
  spec.cwd = tmp.Path();
  spec.argv0 = "bin/korvalin";
  RunResult r = Ask("cd elsewhere\nhelp save\n");
  EXPECT_NE(r.out.find("[Help]\n Loading and saving.\n"), std::string::npos) << r.out;
}

TEST_F(ShellHelp, PagedTextThatCannotBeStoredIsAnError) {
  WriteHelp(kHelpFile);
  spec.env["TMPDIR"] = tmp.Path() + "/none";
  RunResult r = Ask("help load\n");
  EXPECT_EQ(r.out, Prompt() + Framed("Error", "Can't create '" + tmp.Path() + "/none/korvalin.XXXXXX' " +
                                                  "(No such file or directory).") +
                       Prompt());
}

TEST_F(ShellHelp, PagedTextAtATerminalGoesThroughThePager) {
  WriteHelp(kHelpFile);
  RunResult r = RunOnTerminal([&] {
    RunSpec s = spec;
    s.input = "help cd  \nhelp load\n";
    return s;
  }());
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.find("[Help]"), std::string::npos);
  EXPECT_NE(r.out.find(" Loading and saving.\n"), std::string::npos) << r.out;
  ExpectNoTemporaryFilesLeft();
}
