// The programs at a terminal, where messages go unframed to standard error,
// long paged text goes through the pager, and (with libedit) lines are
// edited, completed and kept in a history. Everything over pipes is covered
// by the transcripts.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <memory>

#include "e2e_util.h"

using namespace e2e;
namespace fs = std::filesystem;

TEST(Terminal, ShellMessagesPagerAndEndOfInput) {
  TScratchDir dir, scratch;
  const std::string name = "a-rather-long-program-name";
  std::string longText;
  for (int i = 1; i <= 24; i++) longText += " line " + std::to_string(i) + "\n";
  dir.Write(name + ".hlp", "\\topic short\n Loading and saving.\n\\topic long\n" + longText);
  RunSpec spec;
  spec.program = spec.argv0 = dir / (name + ".bin");
  fs::create_symlink(KORVALIN_SHELL_BIN, spec.program);
  spec.env["TMPDIR"] = scratch.Path();
  spec.env["PAGER"] = "sed s/^/paged:/";
  Session s(spec, Io::RawTerminal);
  s.Type("foo\ncd /\ncd\nhelp short\nhelp long\n\x04");
  s.Finish();
  const RunResult& r = s.Outcome();
  const std::string prompt = Prompt(name);
  // Text that fits the screen (80 x 24) is shown directly, longer text through the pager.
  const std::string head = prompt + prompt + " Working directory set to '/'.\n" + prompt + prompt +
                           " Loading and saving.\n\n" + prompt;
  EXPECT_EQ(r.out.substr(0, head.size()), head);
  EXPECT_NE(r.out.find("paged: line 1\n", head.size()), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("paged: line 24\npaged:\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("[Help]"), std::string::npos);
  EXPECT_EQ(r.out.substr(r.out.size() - prompt.size() - 1), prompt + "\n");  // the end leaves a fresh line
  EXPECT_EQ(r.err, name + ": Error: Invalid command 'foo'. Type 'help' for more information.\n" + name +
                       ": Error: Too less arguments for 'cd'. \n");
  EXPECT_TRUE(fs::is_empty(scratch.Path())) << "paged text file left behind";
}

#ifdef KORVALIN_LINE_EDITING
// Typed key by key: editing keys, completion, history within a session and
// through its file, and a background report that arrives while a line is
// half typed.
TEST(Terminal, LineEditingHistoryAndReportsWhileTyping) {
  TScratchDir dir;
  const std::string home = fs::canonical(dir.Path()).string(), prompt = "korvalin> ";
  fs::create_directory(home + "/sub");
  PrepareEndlessLearning(dir);
  std::unique_ptr<Session> s;
  auto enter = [&](const std::string& keys, const std::string& answer) {
    s->Type(keys + "\r");
    return s->Take(answer) && s->Take(prompt);
  };
  auto start = [&](bool withHome) {
    RunSpec spec;
    spec.env = {
        {"KVLPATH", home}, {"TERM", "xterm"}, {"HOME", withHome ? std::optional<std::string>(home) : std::nullopt}};
    spec.cwd = home;
    s = std::make_unique<Session>(spec, Io::Terminal);
    return s->Take(prompt);
  };
  auto cwd = [](const std::string& d) { return " Working directory set to '" + d + "'."; };

  ASSERT_TRUE(start(true));
  // "d sb", to the start for the "c", to the end and one left for the "u".
  ASSERT_TRUE(enter("d sb\x01" "c\x05\x1b[Du", cwd(home + "/sub"))) << s->AllOut();
  ASSERT_TRUE(enter("cd ..", cwd(home))) << s->AllOut();
  ASSERT_TRUE(enter("\x1b[A\x1b[A", cwd(home + "/sub"))) << s->AllOut();
  // The limit of the plain input holds, and such a line is not kept.
  ASSERT_TRUE(enter(std::string(255, 'x'), ""));
  s->Type("quit\r");
  EXPECT_EQ(s->Finish(), 0);
  EXPECT_EQ(s->AllErr(), "korvalin: Error: Command line too long (more than 254 characters), ignored.\n");
  struct stat about {};
  ASSERT_EQ(stat((home + "/.korvalin_history").c_str(), &about), 0);
  EXPECT_EQ(about.st_mode & 0777, 0600u);
  // History: cd sub, cd .., cd sub, quit.
  ASSERT_TRUE(start(true));
  ASSERT_TRUE(enter("\x1b[A\x1b[A\x1b[A", cwd(fs::path(home).parent_path().string()))) << s->AllOut();
  s->Type("quit\r");
  EXPECT_EQ(s->Finish(), 0);

  ASSERT_TRUE(start(false));  // without HOME: no history file, and no complaint
  // Completion of a command word, a parameter name typed in another case, a file name.
  ASSERT_TRUE(enter("sh\tlearning_r\t", "Learning_Rules = Simple")) << s->AllOut();
  ASSERT_TRUE(enter("cd s\t", cwd(home + "/sub"))) << s->AllOut();
  ASSERT_TRUE(enter("cd ..", cwd(home)));
  ASSERT_TRUE(enter("load pattern iris.pat", ""));
  ASSERT_TRUE(enter("load net iris_rules.net", ""));
  s->Type("run learning\r");
  // The child's message and the parent's prompt come in either order; the
  // line is typed once both are out, so only the editor echoes it.
  const auto beforeStart = s->Take(" Starting the learning process.\r\n\r\n");
  ASSERT_TRUE(beforeStart) << s->AllOut();
  if (beforeStart->find(prompt) == std::string::npos) {
    ASSERT_TRUE(s->Take(prompt)) << s->AllOut();
  }
  const std::vector<pid_t> learner = ChildrenOf(s->Pid());
  ASSERT_EQ(learner.size(), 1u);
  s->Type("cd s");
  ASSERT_TRUE(s->Take("cd s")) << s->AllOut();
  // The signal with which stop asks for the report; the report comes in
  // while the line waits half typed, and the prompt and the line follow.
  kill(learner[0], SIGUSR1);
  ASSERT_TRUE(s->Take(prompt + "cd s")) << s->AllOut();
  // A command the learning gate would refuse: the report has been taken in.
  ASSERT_TRUE(enter("ub", cwd(home + "/sub"))) << s->AllOut();
  s->Type("quit\r");
  EXPECT_EQ(s->Finish(), 0);
  EXPECT_EQ(s->AllErr(), "");
}
#endif
