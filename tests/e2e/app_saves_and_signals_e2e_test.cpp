// What saves do with files that are not plain targets, what a signal or
// memory running out in the middle of a save leaves behind, and Ctrl-C at a
// terminal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "e2e_util.h"

using namespace e2e;


TEST(Saves, SpecialTargetsAreWrittenInPlace) {
  TScratchDir dir;
  std::filesystem::copy_file(std::string(KORVALIN_TEST_DATA) + "/iris_rules.net", dir / "iris_rules.net");
  ASSERT_EQ(mkfifo((dir / "fifo.net").c_str(), 0600), 0);
  dir.Write("commands", "load net iris_rules.net\nsave net /dev/stdout\nsave net fifo.net\nsave net /dev/full\ncd .\n");
  // Standard output redirected to a file: saved to /dev/stdout, the network
  // goes into that file after what the program wrote before.
  RunSpec spec = In(dir, {"-c", std::string("exec ") + KORVALIN_BIN + " commands > out.txt"});
  spec.program = "/bin/sh";
  spec.timeoutSeconds = 20;
  const RunResult r = RunProgram(spec);
  ASSERT_FALSE(r.timedOut) << "a FIFO without reader held the save";
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string out = ReadText(dir / "out.txt");
  EXPECT_EQ(out.rfind("KORVALIN 1.0, ", 0), 0u) << out;
  EXPECT_NE(out.find("korvalin> save net /dev/stdout\n#\n# KORVALIN 1.0 network definition file\n"), std::string::npos);
  EXPECT_NE(out.find("END\n" + Framed("Information", " Network has been saved to /dev/stdout.")), std::string::npos);
  EXPECT_NE(out.find(Framed("Error", "Can't create '" + dir / "fifo.net" + "' (no process reads from it).")),
            std::string::npos)
      << out;
  // A target that fails to take the network is no success.
  EXPECT_NE(out.find(Framed("Error", "Error writing '/dev/full' (No space left on device).") + "korvalin> cd .\n"),
            std::string::npos);
  EXPECT_EQ(TemporaryFiles(dir), 0);
}

TEST(Saves, ASignalDuringASaveLeavesNoTemporaryFile) {
  // Creating the net of this set takes a while, all the time writing its log.
  TScratchDir dir;
  std::ostringstream patterns;
  const int count = 20000;
  patterns << "DIMENSIONS\n10 2\nPATTERNS\n" << count << "\n";
  for (int p = 0; p < count; p++) {
    for (int i = 0; i < 10; i++) patterns << (p * 7919 + i * 104729) % 997 / 997.0 << ' ';
    patterns << (p % 2 == 0 ? "1 0\n" : "0 1\n");
  }
  dir.Write("big.pat", patterns.str() + "END\n");
  dir.Write("commands", "load pattern big.pat\ncreate net -r0\n");

  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
    Session s(In(dir, {"commands"}));
    ASSERT_TRUE(s.WaitFor(" Creating initial rule base...")) << s.AllOut();
    ASSERT_EQ(TemporaryFiles(dir), 1) << "the log is not being written";
    kill(s.Pid(), sig);
    s.Finish();
    EXPECT_EQ(s.Outcome().signal, sig);
    // Only a process killed outright leaves its file, at most one per target.
    EXPECT_EQ(TemporaryFiles(dir), sig == SIGKILL ? 1 : 0) << "signal " << sig;
  }
  // The next save to that target removes what the killed one left.
  EXPECT_EQ(RunProgram(In(dir, {"commands"})).exitCode, 0);
  EXPECT_EQ(TemporaryFiles(dir), 0);
}

TEST(Saves, MemoryRunningOutFailsOnlyThatCommand) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address space limit";
#endif
  // A million inputs: the patterns take a few megabytes, a network for them
  // hundreds; creation has begun its log by then.
  TScratchDir dir;
  std::string row;
  for (int i = 0; i < 1000000; i++) row += "0 ";
  dir.Write("wide.pat", "DIMENSIONS\n1000000 1\nPATTERNS\n1\n" + row + "1\nEND\n");
  dir.Write("commands", "load pattern wide.pat\ncreate net -r1\ncd .\n");
  RunSpec spec = In(dir, {"-c", std::string("ulimit -v 120000 && exec ") + KORVALIN_BIN + " commands"});
  spec.program = "/bin/sh";
  const RunResult r = RunProgram(spec);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "\nkorvalin: Out of memory!\n");
  EXPECT_NE(r.out.find("korvalin> cd .\n[Information]\n Working directory set to"), std::string::npos) << r.out;
  EXPECT_EQ(TemporaryFiles(dir), 0);
}

TEST(CtrlC, DropsTheLineAtThePromptStopsLearningAndTwiceEndsTheProgram) {
  TScratchDir dir;
  PrepareEndlessLearning(dir);
  // In the foreground, Ctrl-C stops learning after an epoch and the command
  // file goes on with the network learnt so far.
  dir.Write("commands", "load pattern iris.pat\nload net iris_rules.net\nrun learning\nsave net learnt.net\n");
  {
    Session s(In(dir, {"commands"}), Io::RawTerminal);
    ASSERT_TRUE(s.WaitFor(" Starting the learning process."));
    s.Type("\x03");
    EXPECT_EQ(s.Finish(), 0) << s.AllOut() << s.AllErr();
    EXPECT_NE(s.AllOut().find("Learning process stopped after "), std::string::npos) << s.AllOut();
    EXPECT_NE(ReadText(dir / "learnt.net"), "");
  }

  // At the prompt the line typed so far is dropped; the learning child is
  // left alone; a second Ctrl-C within a second ends the program, child and all.
  Session s(In(dir, {}), Io::RawTerminal);
  auto nextPrompt = [&] { return s.Take(Prompt()).has_value(); };
  ASSERT_TRUE(nextPrompt());
  s.Type("cd s\x03");
  ASSERT_TRUE(nextPrompt());
  s.Type("ub\n");
  ASSERT_TRUE(nextPrompt());
  EXPECT_EQ(s.AllErr(), "korvalin: Error: Invalid command 'ub'. Type 'help' for more information.\n");
  s.Type("load pattern iris.pat\nload net iris_rules.net\nrun learning\n");
  for (int i = 0; i < 3; i++) ASSERT_TRUE(nextPrompt());
  const std::vector<pid_t> child = ChildrenOf(s.Pid());
  ASSERT_EQ(child.size(), 1u);
  sleep(1);  // past the second that would make the next Ctrl-C end the program
  s.Type("\x03");
  ASSERT_TRUE(nextPrompt());
  EXPECT_TRUE(Alive(child[0]));
  s.Type("\x03");
  s.Finish(10);
  EXPECT_EQ(s.Outcome().signal, SIGINT);
  for (int i = 0; i < 500 && Alive(child[0]); i++) usleep(10000);
  EXPECT_FALSE(Alive(child[0]));
}
