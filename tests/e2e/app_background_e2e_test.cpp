// Background learning at the interactive prompt, driven over pipes: the
// learning gate, stop, abort, exit, learning that ends by itself, pipe
// mode's status blocks, a child that dies, large reports, and the fallback
// to the foreground.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_util.h"

using namespace e2e;

namespace {

// Learning that goes on until it is stopped.
const std::vector<std::string> Endless = {"set MaxEpoch = 2000000000", "set Stop_At_Misclassified = -1",
                                          "set Stop_At_Percent = -1"};

std::string Saved(const TempDir& dir, const std::string& name) { return ReadFile(dir / name); }

class Background : public ::testing::Test {
 protected:
  TempDir Dir;
  std::unique_ptr<Session> S;
  std::size_t Prompts = 0;  // prompts taken so far

  void SetUp() override {
    for (const char* name : {"iris.pat", "iris_rules.net"})
      std::filesystem::copy_file(std::string(KORVALIN_TEST_DATA) + "/" + name, Dir / name);
    Dir.Write("korvalin.cfg", "Update_Cycle = 0\n");
  }

  // Over pipes only pipe mode learns in the background.
  void Start(std::vector<std::string> options = {"-p"}) {
    RunSpec spec;
    spec.args = options;
    spec.cwd = Dir.Path();
    spec.env["KVLPATH"] = Dir.Path();
    S = std::make_unique<Session>(spec);
    Prompts = 0;
    NextPrompt();
  }

  // Runs one command and returns what came between its prompt and the next.
  // Every command is answered by exactly one prompt, and the learning child
  // never writes one, so counting prompts pairs answers with commands
  // however the child's output interleaves.
  std::string Do(const std::string& line) {
    S->Send(line);
    return NextPrompt();
  }
  std::string NextPrompt() {
    const std::string prompt = Prompt();
    std::size_t begin = 0, end = std::string::npos;
    bool found = S->Until([&](const std::string& out) {
      std::size_t at = 0, seen = 0;
      begin = 0;
      while ((at = out.find(prompt, at)) != std::string::npos) {
        if (seen++ == Prompts) {
          end = at;
          return true;
        }
        at += prompt.size();
        begin = at;
      }
      return false;
    }, 60);
    EXPECT_TRUE(found) << "no prompt " << Prompts + 1 << ":\n" << S->AllOut() << S->AllErr();
    Prompts++;
    return found ? S->AllOut().substr(begin, end - begin) : std::string();
  }
  // Starts learning without waiting for the prompt, whose place among the
  // child's output is not fixed; returns where to look for that output.
  std::size_t StartLearning() {
    const std::size_t from = S->AllOut().size();
    S->Send("run learning");
    Prompts++;
    return from;
  }

  void Load(const std::string& net = "iris_rules.net", const std::string& pattern = "iris.pat") {
    Do("load pattern " + pattern);
    Do("load net " + net);
  }
  void Settings(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) Do(line);
  }

  std::vector<pid_t> Children() { return ChildrenOf(S->Pid()); }
};

std::string GateError(const std::string& name) {
  return Framed("Error", " Invalid command '" + name +
                             "' during the learning process.\n"
                             " Use 'stop', 'abort' or 'exit' to terminate the learning process.");
}

const std::string NoStop = Framed("Information", " Can't 'stop'. No learning process is being run.");

TEST_F(Background, GateThenStopThenStopAgain) {
  Start();
  Load();
  Settings(Endless);
  const int descriptors = OpenDescriptors(S->Pid());
  // The prompt comes back while the child learns.
  Do("run learning");
  ASSERT_EQ(Children().size(), 1u);
  EXPECT_NE(Do("show config").find(GateError("show")), std::string::npos);
  EXPECT_NE(Do("").find(GateError("")), std::string::npos);
  EXPECT_NE(Do("help").find(GateError("help")), std::string::npos);

  std::string stopped = Do("stop");
  const std::string stoppedAfter = "[Information]\nLearning process stopped after ";
  std::size_t at = stopped.find(stoppedAfter);
  ASSERT_NE(at, std::string::npos) << stopped;
  const int epochs = std::stoi(stopped.substr(at + stoppedAfter.size()));
  EXPECT_GE(epochs, 1);
  EXPECT_NE(stopped.find(" epochs.\n[end]\n", at), std::string::npos);
  EXPECT_NE(Do("stop").find(NoStop), std::string::npos);

  // The report describes the network between two epochs: the error curve,
  // written by the child epoch by epoch, ends at the epoch reported.
  std::string curve = ReadFile(Dir / "iris_rules.err");
  std::size_t lines = 0;
  for (std::size_t p = curve.find("\n "); p != std::string::npos; p = curve.find("\n ", p + 1)) lines++;
  EXPECT_EQ(lines, static_cast<std::size_t>(epochs));

  EXPECT_TRUE(Children().empty());
  EXPECT_EQ(OpenDescriptors(S->Pid()), descriptors);
  EXPECT_NE(Do("save net after.net").find("Network has been saved"), std::string::npos);
  EXPECT_EQ(S->Finish(), 0);
}

TEST_F(Background, AbortKeepsTheNetworkAndZeroesTheStatus) {
  Start();
  Load();
  Settings(Endless);
  Do("save net before.net");
  Do("run learning");
  std::string aborted = Do("abort");
  EXPECT_NE(aborted.find("[Learning status]\nEpoch                 : 0\n Misclassified patterns: 0(0.00%)\n"
                         " Total error           : 0.000\n"),
            std::string::npos)
      << aborted;
  EXPECT_NE(aborted.find(Framed("Information", "Learning process terminated by user.")), std::string::npos);
  EXPECT_LT(aborted.find("[Learning status]"), aborted.find("[Information]"));
  EXPECT_TRUE(Children().empty());
  EXPECT_NE(Do("abort").find(Framed("Information", " Can't 'abort'. No learning process is being run.")),
            std::string::npos);
  Do("save net after.net");
  EXPECT_EQ(Saved(Dir, "after.net"), Saved(Dir, "before.net"));
  EXPECT_EQ(S->Finish(), 0);
}

TEST_F(Background, LearningThatEndsByItselfReplacesTheNetwork) {
  const std::vector<std::string> settings = {"set MaxEpoch = 3", "set Stop_At_Misclassified = -1",
                                             "set Stop_At_Percent = -1", "set Update_Cycle = 1"};
  Start();
  Load();
  Settings(settings);
  const std::size_t from = StartLearning();
  const std::string results = "[Learning results]\nEpoch                 : 3\n";
  ASSERT_TRUE(S->WaitFor(results, from)) << S->AllOut();
  // The child's status at every epoch, then the parent's once the report is in.
  const std::string child = S->AllOut().substr(from);
  for (const char* epoch : {"1", "2", "3"})
    EXPECT_NE(child.find(std::string("[Learning status]\nEpoch                 : ") + epoch + "\n"), std::string::npos)
        << child;
  ASSERT_TRUE(S->WaitFor("[Learning status]\nEpoch                 : 3\n", S->AllOut().find(results, from)))
      << S->AllOut();
  // Typed right after the report, stop finds the learning over.
  EXPECT_NE(Do("stop").find(NoStop), std::string::npos);
  Do("save net background.net");
  EXPECT_EQ(S->Finish(), 0);

  // The same learning in the foreground gives the same network.
  RunSpec batch;
  std::string commands = "load pattern iris.pat\nload net iris_rules.net\n";
  for (const std::string& line : settings) commands += line + "\n";
  batch.args = {Dir.Write("commands", commands + "run learning\nsave net foreground.net\n")};
  batch.cwd = Dir.Path();
  batch.env["KVLPATH"] = Dir.Path();
  ASSERT_EQ(RunProgram(batch).exitCode, 0);
  std::string background = Saved(Dir, "background.net");
  EXPECT_NE(background.find("END"), std::string::npos);
  EXPECT_EQ(background, Saved(Dir, "foreground.net"));
  EXPECT_NE(background, Saved(Dir, "iris_rules.net"));
}

TEST_F(Background, ExitOrEndOfInputWhileLearningEndsTheChild) {
  for (bool typed : {true, false}) {
    Start();
    Load();
    Settings(Endless);
    Do("run learning");
    std::vector<pid_t> children = Children();
    ASSERT_EQ(children.size(), 1u);
    if (typed) S->Send("exit");
    EXPECT_EQ(S->Finish(10), 0);
    EXPECT_FALSE(Alive(children[0]));
    // The learning gate lets exit pass without a word.
    EXPECT_EQ((S->AllOut() + S->AllErr()).find("Invalid command"), std::string::npos);
  }
}

TEST_F(Background, AChildThatDiesWithoutReportingIsReported) {
  Start();
  Load();
  Settings(Endless);
  Do("save net before.net");
  Do("run learning");
  std::vector<pid_t> children = Children();
  ASSERT_EQ(children.size(), 1u);
  const std::size_t from = S->AllOut().size();
  kill(children[0], SIGKILL);
  ASSERT_TRUE(S->WaitFor("[Error]\n The learning process ended without a report (killed by signal 9", from))
      << S->AllOut();
  EXPECT_NE(Do("stop").find(NoStop), std::string::npos);
  EXPECT_TRUE(Children().empty());
  Do("save net after.net");
  EXPECT_EQ(Saved(Dir, "after.net"), Saved(Dir, "before.net"));
  EXPECT_EQ(S->Finish(), 0);
}

TEST_F(Background, LargeNetworksComeThroughThePipe) {
  // 25,000 rules over 30 inputs: a report of about two megabytes.
  std::ostringstream net, patterns;
  net << "PARAMETERS\n30 25000 2 25000\nFUZZY\n";
  for (int i = 0; i < 30; i++) net << "3\n0 1\n0 .25 .5 1 0 s\n.25 .5 .75 0 0 m\n.5 .75 1 0 1 l\n";
  net << "MATRIX\n";
  for (int i = 0; i < 30; i++) {
    for (int r = 0; r < 25000; r++) net << (r / (i + 1) + i) % 4 << ' ';
    net << '\n';
  }
  net << "WEIGHTS\n";
  for (int r = 0; r < 25000; r++) net << r % 2 + 1 << " 1\n";
  Dir.Write("big.net", net.str() + "END\n");
  patterns << "DIMENSIONS\n30 2\nPATTERNS\n20\n";
  for (int p = 0; p < 20; p++) {
    for (int i = 0; i < 30; i++) patterns << (p * 37 + i * 11) % 100 / 100.0 << ' ';
    patterns << (p % 2 == 0 ? "1 0\n" : "0 1\n");
  }
  Dir.Write("big.pat", patterns.str() + "END\n");
  Start();
  Load("big.net", "big.pat");
  Settings({"set MaxEpoch = 1", "set Stop_At_Misclassified = -1", "set Stop_At_Percent = -1"});

  auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(S->WaitFor("[Learning results]", StartLearning())) << S->AllOut();
  EXPECT_NE(Do("stop").find(NoStop), std::string::npos);
  Settings(Endless);
  Do("run learning");
  EXPECT_NE(Do("stop").find("Learning process stopped after "), std::string::npos);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_LT(seconds, 20.0);

  Do("save net out.net");
  std::string out = Saved(Dir, "out.net");
  EXPECT_NE(out.find("PARAMETERS\n30\t25000\t2\t25000\n"), std::string::npos);
  EXPECT_EQ(out.substr(out.size() - 4), "END\n");
  EXPECT_TRUE(Children().empty());
  EXPECT_EQ(S->Finish(), 0);
}

TEST_F(Background, WithoutAPipeLearningRunsInTheForeground) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the sanitizers' own checks need descriptors that this test takes away";
#endif
  Start();
  Load();
  Settings({"set MaxEpoch = 2", "set Stop_At_Misclassified = -1", "set Stop_At_Percent = -1"});
  // Leave room for one more descriptor (the error curve) but not for a pipe.
  std::set<int> open;
  for (int fd = 0; fd < 64; fd++)
    if (FileExists("/proc/" + std::to_string(S->Pid()) + "/fd/" + std::to_string(fd))) open.insert(fd);
  int free1 = 0;
  while (open.count(free1) != 0) free1++;
  int free2 = free1 + 1;
  while (open.count(free2) != 0) free2++;
  struct rlimit limit = {static_cast<rlim_t>(free2), static_cast<rlim_t>(free2)};
  ASSERT_EQ(prlimit(S->Pid(), RLIMIT_NOFILE, &limit, nullptr), 0);

  std::string out = Do("run learning");
  EXPECT_NE(out.find(Framed("Error", "Can't open pipe for background execution.\n"
                                     " Starting learning process in foreground...")),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("[Learning results]\nEpoch                 : 2\n"), std::string::npos) << out;
  EXPECT_TRUE(Children().empty());
  EXPECT_NE(ReadFile(Dir / "iris_rules.err").find("\n    2 \t "), std::string::npos);
  EXPECT_NE(Do("stop").find(NoStop), std::string::npos);
  EXPECT_EQ(S->Finish(), 0);
}

// Nothing lost around the child: a stopped child does not hold stop, abort
// keeps the curve of the last run that reported, and the child ends with a
// parent that a signal ends, stopped or not.
TEST_F(Background, StoppedChildrenAbortedCurvesAndEndingSignals) {
  Start();
  Load();
  Settings(Endless);
  Do("run learning");
  ASSERT_EQ(Children().size(), 1u);
  kill(Children()[0], SIGSTOP);
  EXPECT_NE(Do("stop").find("Learning process stopped after "), std::string::npos);
  const std::string curve = ReadFile(Dir / "iris_rules.err");
  Do("run learning");
  EXPECT_NE(Do("abort").find("Learning process terminated by user."), std::string::npos);
  EXPECT_EQ(ReadFile(Dir / "iris_rules.err"), curve);

  // A parent killed outright cannot end the child: it notices at its next
  // epoch, and its unfinished curve must not stay behind either.
  for (int signal : {SIGTERM, SIGKILL}) {
    if (signal == SIGKILL) {
      Start();
      Load();
      Settings(Endless);
    }
    Do("run learning");
    const std::vector<pid_t> child = Children();
    ASSERT_EQ(child.size(), 1u);
    if (signal == SIGTERM) kill(child[0], SIGSTOP);
    kill(S->Pid(), signal);
    S->Finish(10);
    EXPECT_EQ(S->Outcome().signal, signal);
    for (int i = 0; i < 500 && Alive(child[0]); i++) usleep(10000);
    EXPECT_FALSE(Alive(child[0]));
    for (const auto& entry : std::filesystem::directory_iterator(Dir.Path()))
      EXPECT_EQ(entry.path().filename().string().rfind(".korvalin.", 0), std::string::npos) << entry.path();
  }
}

// A stop that waits tells so after a second, and Ctrl-C takes it back. The
// child is held in its epoch by an error curve file that is a FIFO nobody
// empties; once nobody reads it, the curve is reported lost and learning
// goes on to the stop.
TEST_F(Background, AStopThatWaitsSaysSoAndCtrlCTakesItBack) {
  const std::string fifo = Dir / "iris_rules.err";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  const int size = fcntl(reader, F_SETPIPE_SZ, 4096);
  ASSERT_GT(size, 0);
  Start();
  Load();
  Settings(Endless);
  Do("run learning");
  // Without room for another line (34 bytes), the FIFO holds the child
  // asleep in its write.
  const std::string stat = "/proc/" + std::to_string(Children()[0]) + "/stat";
  auto held = [&] {
    int bytes = 0;
    ioctl(reader, FIONREAD, &bytes);
    const std::string about = ReadFile(stat);
    return bytes > size - 34 && about.compare(about.rfind(')') + 2, 1, "S") == 0;
  };
  for (int i = 0; i < 3000 && !held(); i++) usleep(10000);
  ASSERT_TRUE(held());
  const std::size_t from = S->AllOut().size();
  S->Send("stop");
  ASSERT_TRUE(S->WaitFor(Framed("Information", " Waiting for the current epoch to end...\n"
                                                " Ctrl-C lets the learning process go on."),
                         from))
      << S->AllOut();
  kill(S->Pid(), SIGINT);
  EXPECT_NE(NextPrompt().find(Framed("Information", " 'stop' cancelled. The learning process goes on.")),
            std::string::npos);
  EXPECT_EQ(Children().size(), 1u);
  close(reader);
  EXPECT_NE(Do("stop").find("Learning process stopped after "), std::string::npos);
  EXPECT_NE(S->AllOut().find(Framed("Error", "Error writing '" + fifo + "' (Broken pipe).")), std::string::npos);
  EXPECT_EQ(S->Finish(), 0);
}

// Learning that diverges in the background ends with a report, which holds
// the network of the last finite epoch.
TEST_F(Background, ADivergingRunReportsTheLastFiniteNetwork) {
  Start();
  Load();
  Settings({"set Learning_Weights = free", "set sigma = 1e37", "set MaxEpoch = 50"});
  ASSERT_TRUE(S->WaitFor("[Learning results]", StartLearning())) << S->AllOut();
  EXPECT_NE(Do("stop").find(NoStop), std::string::npos);
  EXPECT_NE(S->AllOut().find(" The net is kept as it was after epoch 1."), std::string::npos) << S->AllOut();
  EXPECT_NE(Do("save net learnt.net").find("Network has been saved"), std::string::npos);
  EXPECT_EQ(S->Finish(), 0);
}

}  // namespace
