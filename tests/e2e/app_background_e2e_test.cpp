// Background learning at the interactive prompt, driven over pipes: the
// learning gate, stop, abort, exit, learning that ends by itself, a child
// that dies or is stopped.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <memory>

#include "e2e_util.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const std::string kNoStop = Framed("Information", " Can't 'stop'. No learning process is being run.");

class Background : public ::testing::Test {
 protected:
  TScratchDir Dir;
  std::unique_ptr<Session> S;

  void SetUp() override { PrepareEndlessLearning(Dir); }

  // Over pipes only pipe mode learns in the background.
  void Start(const std::vector<std::string>& options = {"-p"}) {
    S = std::make_unique<Session>(In(Dir, options));
    ASSERT_TRUE(S->Take(Prompt()));
    Do("load pattern iris.pat");
    Do("load net iris_rules.net");
  }

  // Runs one command and returns what came between its prompt and the
  // next. Every command is answered by one prompt and the learning child
  // never writes one, so prompts pair answers with commands however the
  // child's output interleaves.
  std::string Do(const std::string& line) {
    S->Send(line);
    const std::optional<std::string> answer = S->Take(Prompt(), 60);
    EXPECT_TRUE(answer) << "no answer to " << line << ":\n" << S->AllOut() << S->AllErr();
    return answer.value_or("");
  }

  std::vector<pid_t> Children() const { return ChildrenOf(S->Pid()); }
  static int Descriptors(pid_t pid) {
    const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
    return static_cast<int>(std::distance(fs::directory_iterator(fds), fs::directory_iterator()));
  }
};

// Waits up to 3 s for `done`.
bool Eventually(const std::function<bool()>& done) {
  for (int i = 0; i < 3000 && !done(); i++) usleep(1000);
  return done();
}

TEST_F(Background, StopTakesTheReportAndAbortDropsTheRun) {
  Start();
  Do("save net before.net");
  const int descriptors = Descriptors(S->Pid());
  Do("run learning");
  ASSERT_EQ(Children().size(), 1u);
  for (const std::string refused : {"show config", ""})
    EXPECT_NE(Do(refused).find(Framed("Error", " Invalid command '" + refused.substr(0, refused.find(' ')) +
                                                   "' during the learning process.\n Use 'stop', 'abort' or 'exit' "
                                                   "to terminate the learning process.")),
              std::string::npos);
  const std::string stopped = Do("stop"), after = "[Information]\nLearning process stopped after ";
  ASSERT_NE(stopped.find(after), std::string::npos) << stopped;
  const int epochs = std::stoi(stopped.substr(stopped.find(after) + after.size()));
  EXPECT_NE(stopped.find(std::to_string(epochs) + " epochs.\n[end]\n"), std::string::npos);
  EXPECT_NE(stopped.find("[Learning status]\nEpoch                 : " + std::to_string(epochs) + "\n"),
            std::string::npos);
  EXPECT_NE(Do("stop").find(kNoStop), std::string::npos);
  // The report describes the network between two epochs: the error curve,
  // written by the child epoch by epoch, ends at the epoch reported.
  const std::string curve = ReadText(Dir / "iris_rules.err");
  int lines = 0;
  for (std::size_t at = curve.find("\n "); at != std::string::npos; at = curve.find("\n ", at + 1)) lines++;
  EXPECT_EQ(lines, epochs);
  EXPECT_TRUE(Children().empty());
  EXPECT_EQ(Descriptors(S->Pid()), descriptors);
  Do("save net stopped.net");
  EXPECT_NE(ReadText(Dir / "stopped.net"), ReadText(Dir / "before.net"));

  Do("run learning");
  const std::string aborted = Do("abort");
  EXPECT_NE(aborted.find("[Learning status]\nEpoch                 : 0\n Misclassified patterns: 0(0.00%)\n"
                         " Total error           : 0.000\n"),
            std::string::npos)
      << aborted;
  EXPECT_GT(aborted.find(Framed("Information", "Learning process terminated by user.")),
            aborted.find("[Learning status]"));
  EXPECT_TRUE(Children().empty());
  EXPECT_NE(Do("abort").find(Framed("Information", " Can't 'abort'. No learning process is being run.")),
            std::string::npos);
  Do("save net aborted.net");
  EXPECT_EQ(ReadText(Dir / "aborted.net"), ReadText(Dir / "stopped.net"));
  EXPECT_EQ(S->Finish(), 0);
}

TEST_F(Background, LearningThatEndsByItselfReplacesTheNetwork) {
  Dir.Write("korvalin.cfg", "Update_Cycle = 1\nMaxEpoch = 3\nStop_At_Misclassified = -1\nStop_At_Percent = -1\n");
  Start();
  const std::size_t from = S->AllOut().size();  // the child's output, among which the prompt has no fixed place
  Do("run learning");
  const std::string results = "[Learning results]\nEpoch                 : 3\n";
  ASSERT_TRUE(S->WaitFor(results, from)) << S->AllOut();
  // The child's status at every epoch, then the parent's once the report is in.
  for (const char* epoch : {"1", "2", "3"})
    EXPECT_NE(S->AllOut().find(std::string("[Learning status]\nEpoch                 : ") + epoch + "\n", from),
              std::string::npos);
  ASSERT_TRUE(S->WaitFor("[Learning status]\nEpoch                 : 3\n", S->AllOut().find(results, from)));
  // Typed right after the report, stop finds the learning over.
  EXPECT_NE(Do("stop").find(kNoStop), std::string::npos);
  Do("save net background.net");
  // A run that diverges in its first epoch hands back the network before learning, as epoch 0.
  Do("set Learning_Weights = free");
  Do("set sigma = 1e38");
  const std::size_t diverging = S->AllOut().size();
  Do("run learning");
  EXPECT_TRUE(S->WaitFor("[Learning status]\nEpoch                 : 0\n", diverging, 10))
      << S->AllOut().substr(diverging);
  EXPECT_EQ(S->Finish(), 0);

  // Commands piped in without pipe mode learn in the foreground, to the same
  // network, and the end of their input loses nothing.
  RunSpec piped = In(Dir);
  piped.input = "load pattern iris.pat\nload net iris_rules.net\nrun learning\nsave net foreground.net\n";
  ASSERT_EQ(RunProgram(piped).exitCode, 0);
  EXPECT_EQ(ReadText(Dir / "background.net"), ReadText(Dir / "foreground.net"));
  EXPECT_NE(ReadText(Dir / "background.net"), ReadText(Dir / "iris_rules.net"));
}

// The child hands its finished error curve over with its report: the old
// curve stays until the parent has taken the report.
TEST_F(Background, TheErrorCurveTakesItsPlaceWithTheNetwork) {
  Start();
  Do("run learning");
  Do("stop");
  const std::string old = ReadText(Dir / "iris_rules.err");
  Do("run learning");
  const pid_t child = Children().at(0);
  ASSERT_TRUE(Eventually([&] { return TemporaryFiles(Dir) == 1; }));  // the curve is open
  const int open = Descriptors(child);
  kill(S->Pid(), SIGSTOP);
  kill(child, SIGUSR1);
  // The curve and the report pipe closed: the child has reported.
  ASSERT_TRUE(Eventually([&] { return Descriptors(child) == open - 2; }));
  EXPECT_EQ(ReadText(Dir / "iris_rules.err"), old);
  const std::size_t from = S->AllOut().size();
  kill(S->Pid(), SIGCONT);
  ASSERT_TRUE(S->WaitFor("[Learning status]", from)) << S->AllOut();
  EXPECT_NE(ReadText(Dir / "iris_rules.err"), old);
  EXPECT_EQ(TemporaryFiles(Dir), 0);
  EXPECT_EQ(S->Finish(), 0);
}

TEST_F(Background, ExitOrEndOfInputEndsTheChildQuietly) {
  for (bool typed : {true, false}) {
    Start();
    Do("run learning");
    const std::vector<pid_t> children = Children();
    ASSERT_EQ(children.size(), 1u);
    const std::size_t from = S->AllOut().size();
    if (typed) S->Send("exit");
    EXPECT_EQ(S->Finish(10), 0);
    EXPECT_EQ(S->AllOut().find("[Error]", from), std::string::npos) << S->AllOut().substr(from);
    EXPECT_FALSE(Alive(children[0])) << "the learning process lives on";
  }
}

TEST_F(Background, AChildThatDiesWithoutReportingIsReported) {
  Start();
  Do("save net before.net");
  for (int signal : {SIGKILL, SIGTERM, SIGHUP}) {
    Do("run learning");
    const std::vector<pid_t> children = Children();
    ASSERT_EQ(children.size(), 1u);
    const std::size_t from = S->AllOut().size();
    kill(children[0], signal);
    ASSERT_TRUE(S->WaitFor(Framed("Error", " The learning process ended without a report (killed by signal " +
                                               std::to_string(signal) + " (" + strsignal(signal) +
                                               ")).\n The net is unchanged."),
                           from))
        << S->AllOut();
    EXPECT_NE(Do("stop").find(kNoStop), std::string::npos);
    EXPECT_TRUE(Children().empty());
    Do("save net after.net");
    EXPECT_EQ(ReadText(Dir / "after.net"), ReadText(Dir / "before.net"));
  }
  EXPECT_EQ(S->Finish(), 0);
}

// A stopped child does not hold stop, and it ends with a parent that a
// signal ends; a parent killed outright cannot end it, so it notices at its
// next epoch. No unfinished curve stays behind.
TEST_F(Background, StoppedChildrenAndEndingSignals) {
  Start();
  Do("run learning");
  ASSERT_EQ(Children().size(), 1u);
  kill(Children()[0], SIGSTOP);
  EXPECT_NE(Do("stop").find("Learning process stopped after "), std::string::npos);
  for (int signal : {SIGTERM, SIGKILL}) {
    if (signal == SIGKILL) Start();
    Do("run learning");
    const std::vector<pid_t> child = Children();
    ASSERT_EQ(child.size(), 1u);
    if (signal == SIGTERM) kill(child[0], SIGSTOP);
    kill(S->Pid(), signal);
    S->Finish(10);
    EXPECT_EQ(S->Outcome().signal, signal);
    for (int i = 0; i < 500 && Alive(child[0]); i++) usleep(10000);
    EXPECT_FALSE(Alive(child[0]));
    EXPECT_EQ(TemporaryFiles(Dir), 0);
  }
}

}  // namespace
