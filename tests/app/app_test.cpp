#include "app.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// Records messages instead of showing them (those of the constructor are
// shown before this override is in place).
class TRecordingApp : public TApplication {
 public:
  std::vector<std::pair<TMessageType, std::string>> Messages;

  explicit TRecordingApp(std::vector<const char*> args) : TApplication(static_cast<int>(args.size()), args.data()) {}

  void PrintMsg(std::ostringstream& msg, TMessageType type) override {
    Messages.emplace_back(type, msg.str());
    msg.str("");
  }
  void Do(const char* line) {
    TCommand cmd(line, Commands);
    if (CheckCommand(cmd)) ExecuteCommand(cmd);
  }
};

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // No configuration file: the defaults stay.
    setenv("KVLPATH", "/nonexistent-korvalin-dir", 1);
  }
  void TearDown() override { unsetenv("KVLPATH"); }
};

int Check(TApplication& app, const char* line) { return app.CheckCmdArgs(TCommand(line, ValidCommands)); }

}  // namespace

TEST_F(ApplicationTest, ArgumentWordsAreCheckedExactly) {
  TRecordingApp app({"korvalin"});
  for (const char* line : {"load pattern x", "load config x", "save rules", "run learning", "run test", "set a b c"})
    EXPECT_EQ(Check(app, line), 0) << line;
  for (const char* line : {"load rules x", "load Pattern x", "save pattern", "run Test"})
    EXPECT_EQ(Check(app, line), 1) << line;
}

TEST_F(ApplicationTest, CreateNeedsNetAndANumericRuleOption) {
  TRecordingApp app({"korvalin"});
  EXPECT_EQ(Check(app, "create net -r10"), 0);
  EXPECT_EQ(Check(app, "create net -r-5"), 0);
  EXPECT_EQ(Check(app, "create net -r0x1f my.net"), 0);
  EXPECT_EQ(Check(app, "create net my-rules.net -r5"), 0);
  EXPECT_EQ(Check(app, "create net -r10 my.net"), 0);
  EXPECT_EQ(Check(app, "create rules -r10"), 1);
  EXPECT_EQ(Check(app, "create net my.net"), 2);
  EXPECT_EQ(Check(app, "create net -r"), 2);
  EXPECT_EQ(Check(app, "create net -rx"), 2);

  app.Do("create net my.net");
  ASSERT_EQ(app.Messages.size(), 1u);
  EXPECT_EQ(app.Messages[0].second, "Invalid argument 'my.net'. Type 'help create' for more information.");
}

TEST_F(ApplicationTest, LearningGateAdmitsOnlyStopAbortAndExit) {
  TRecordingApp app({"korvalin"});
  app.ChildPid = 999999;  // pretend a child runs; never signalled below
  app.Do("");
  app.Do("help");
  app.Do("show config");
  app.Do("exit");
  app.ChildPid = -1;
  ASSERT_EQ(app.Messages.size(), 3u);
  EXPECT_EQ(app.Messages[0].first, Error);
  EXPECT_EQ(app.Messages[0].second,
            " Invalid command '' during the learning process.\n"
            " Use 'stop', 'abort' or 'exit' to terminate the learning process.");
  EXPECT_EQ(app.Messages[2].second.substr(0, 26), " Invalid command 'show' du");
}

TEST(FullPath, NamesAreAlwaysAbsoluteAndKeepMissingDirectories) {
  std::string cwd = CurrentDirectory();
  EXPECT_EQ(FullPath("/a/b.net"), "/a/b.net");
  EXPECT_EQ(FullPath("x.net"), cwd + "/x.net");
  EXPECT_EQ(FullPath("no/such/x.net"), cwd + "/no/such/x.net");
  EXPECT_EQ(FullPath("./no/such/x.net"), cwd + "/./no/such/x.net");
  EXPECT_EQ(FullPath("./x.net"), cwd + "/x.net");
}

TEST_F(ApplicationTest, PipeModeOnlyFromTheFirstArgument) {
  EXPECT_EQ(TRecordingApp({"korvalin", "--pipe", "cmds"}).PipeMode, True);
  EXPECT_EQ(TRecordingApp({"korvalin", "-x", "--pipe"}).PipeMode, False);
  EXPECT_EQ(TRecordingApp({"korvalin", "-pipe"}).PipeMode, False);
}
