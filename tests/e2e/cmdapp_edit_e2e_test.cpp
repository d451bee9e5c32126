// Line editing at a terminal, typed key by key on a pseudo-terminal: editing
// keys, completion, history within a session and through its file, and a
// background report that arrives while a line is half typed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e_util.h"

using namespace e2e;

namespace {

const std::string EditingPrompt = "korvalin> ";  // no NUL: nothing reads it but a person
const std::string Up = "\x1b[A", Left = "\x1b[D", CtrlA = "\x01", CtrlE = "\x05";

class LineEditing : public ::testing::Test {
 protected:
  TempDir Dir;
  std::string Home;  // the directory, as the program names it
  std::unique_ptr<Session> S;
  std::size_t Seen = 0;  // output up to here has been looked at

  void SetUp() override {
#ifndef KORVALIN_LINE_EDITING
    GTEST_SKIP() << "built without libedit: the prompt reads plain lines";
#endif
    Home = std::filesystem::canonical(Dir.Path()).string();
    Dir.MakeDir("sub");
    Dir.Write("korvalin.cfg", "Update_Cycle = 0\n");
  }

  void Start(bool withHome = true) {
    RunSpec spec;
    spec.cwd = Home;
    spec.env["KVLPATH"] = Home;
    spec.env["TERM"] = "xterm";
    spec.env["HOME"] = withHome ? std::optional<std::string>(Home) : std::nullopt;
    S = std::make_unique<Session>(spec, Io::Terminal);
    Seen = 0;
    ASSERT_TRUE(Expect(EditingPrompt));
  }

  // Waits for `text` after what was seen so far and moves past it.
  bool Expect(const std::string& text, double timeoutSeconds = 30) {
    if (!S->WaitFor(text, Seen, timeoutSeconds)) return false;
    Seen = S->AllOut().find(text, Seen) + text.size();
    return true;
  }

  // Types a line's keys and Enter; the command's answer, if any is given,
  // is followed by the next prompt.
  bool Enter(const std::string& keys, const std::string& answer = "") {
    S->Type(keys + "\r");
    return (answer.empty() || Expect(answer)) && Expect(EditingPrompt);
  }

  std::string WorkingDirectory(const std::string& dir) { return " Working directory set to '" + dir + "'."; }
};

TEST_F(LineEditing, KeysEditTheLineAndHistoryRecallsItAcrossSessions) {
  Start();
  // "d sb", to the start for the "c", to the end and one left for the "u".
  ASSERT_TRUE(Enter("d sb" + CtrlA + "c" + CtrlE + Left + "u", WorkingDirectory(Home + "/sub"))) << S->AllOut();
  ASSERT_TRUE(Enter("cd ..", WorkingDirectory(Home))) << S->AllOut();
  ASSERT_TRUE(Enter(Up + Up, WorkingDirectory(Home + "/sub"))) << S->AllOut();
  // The limit of the plain input holds, and such a line is not kept.
  S->Type(std::string(255, 'x') + "\r");
  ASSERT_TRUE(Expect(EditingPrompt));
  S->Type("quit\r");
  EXPECT_EQ(S->Finish(), 0);
  EXPECT_EQ(S->AllErr(), "korvalin: Error: Command line too long (more than 254 characters), ignored.\n");

  struct stat about {};
  ASSERT_EQ(stat((Home + "/.korvalin_history").c_str(), &about), 0);
  EXPECT_EQ(about.st_mode & 0777, 0600u);
  // History: cd sub, cd .., cd sub, quit.
  Start();
  ASSERT_TRUE(Enter(Up + Up + Up, WorkingDirectory(std::filesystem::path(Home).parent_path().string())))
      << S->AllOut();
  S->Type("quit\r");
  EXPECT_EQ(S->Finish(), 0);
}

TEST_F(LineEditing, TabCompletesWordsInAnyCaseAndFileNames) {
  Start();
  // Command word, then a parameter name typed in the wrong case.
  ASSERT_TRUE(Enter("sh\tlearning_r\t", "Learning_Rules = Simple")) << S->AllOut();
  ASSERT_TRUE(Enter("cd s\t", WorkingDirectory(Home + "/sub"))) << S->AllOut();
  S->Type("quit\r");
  EXPECT_EQ(S->Finish(), 0);
  EXPECT_EQ(S->AllErr(), "");
}

TEST_F(LineEditing, AReportWhileTypingIsFollowedByThePromptAndTheLineSoFar) {
  for (const char* name : {"iris.pat", "iris_rules.net"})
    std::filesystem::copy_file(std::string(KORVALIN_TEST_DATA) + "/" + name, Dir / name);
  Start(false);  // without HOME: no history file, and no complaint
  for (const char* line : {"load pattern iris.pat", "load net iris_rules.net", "set MaxEpoch = 2000000000",
                           "set Stop_At_Percent = -1", "set Stop_At_Misclassified = -1"})
    ASSERT_TRUE(Enter(line));
  S->Type("run learning\r");
  ASSERT_TRUE(Expect(" Starting the learning process."));
  std::vector<pid_t> learner = ChildrenOf(S->Pid());
  ASSERT_EQ(learner.size(), 1u);
  S->Type("cd s");
  ASSERT_TRUE(Expect("cd s"));
  // The learning process's own way to be asked for its report, as stop
  // asks; the report comes in while the line waits half typed.
  kill(learner[0], SIGUSR1);
  ASSERT_TRUE(Expect(EditingPrompt + "cd s")) << S->AllOut();
  // A command the learning gate would refuse: the report has been taken in.
  ASSERT_TRUE(Enter("ub", WorkingDirectory(Home + "/sub"))) << S->AllOut();
  S->Type("quit\r");
  EXPECT_EQ(S->Finish(), 0);
  EXPECT_EQ(S->AllErr(), "");
}

}  // namespace
