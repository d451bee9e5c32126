// Hostile input end to end: every bad file, name or count gives a clear
// message, the pattern set, network and parameters stay as they were, and
// the program goes on taking commands.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e_util.h"

using namespace e2e;

namespace {

const char* const kGoodPatterns =
    "DIMENSIONS\n2 2\n"
    "VARNAMES\nwidth\nheight\nnarrow\nwide\n"
    "PATTERNS\n4\n"
    "1.0 0.5  1 0\n2.0 1.0  1 0\n8.0 4.5  0 1\n9.0 4.0  0 1\n"
    "END\n";

// Two inputs (two and three sets), three rules, two classes.
const char* const kGoodNetHead =
    "PARAMETERS\n2\t3\t2\t5\n"
    "VARNAMES\nwidth\nheight\nnarrow\nwide\n"
    "USESUM\n"
    "FUZZY\n"
    "2\n0.0\t10.0\n0.0\t3.333333\t6.666667\t1 0  small\n3.333333\t6.666667\t10.0\t0 1  large\n"
    "3\n0.0\t4.0\n0.0\t1.0\t2.0\t1 0  small\n1.0\t2.0\t3.0\t0 0  medium\n2.0\t3.0\t4.0\t0 1  large\n";
const char* const kGoodNetTail =
    "WEIGHTS\n1 1.0\n2 0.75\n2 1.0\n"
    "END\n";
std::string Net(const std::string& matrix, const std::string& tail = kGoodNetTail) {
  return kGoodNetHead + ("MATRIX\n" + matrix) + tail;
}
const std::string kGoodMatrix = "1\t2\t0\n1\t3\t2\n";

// Deterministic bytes of every value, NULs and line ends included.
std::string Garbage(std::size_t size) {
  std::string bytes(size, '\0');
  unsigned state = 12345u;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return bytes;
}

// Everything the program shows about its state, and a save of the network.
std::string Probe(int n) {
  return "show patterninfo\nshow NumberOfFSets\nshow rules\nshow fuzzy\nshow config\nsave net probe" +
         std::to_string(n) + ".net\n";
}

class HostileInput : public ::testing::Test {
 protected:
  TempDir tmp;

  void SetUp() override {
    tmp.Write("good.pat", kGoodPatterns);
    tmp.Write("good.net", Net(kGoodMatrix));
  }

  RunResult Batch(const std::string& commands, double timeout = 60) {
    tmp.Write("cmds", commands);
    RunSpec spec;
    spec.env["KVLPATH"] = tmp.Path();
    spec.cwd = tmp.Path();
    spec.args = {"cmds"};
    spec.timeoutSeconds = timeout;
    return RunProgram(spec);
  }

  // Loads the good files, shows the state, runs `hostile` (one command per
  // entry), shows the state again and checks that nothing changed, that
  // each hostile command drew an error that contains its expected text,
  // and that the program ran on to the end.
  void ExpectRejected(const std::vector<std::pair<std::string, std::string>>& hostile) {
    std::string commands = "load pattern good.pat\nload net good.net\n" + Probe(1);
    for (const auto& entry : hostile) commands += entry.first + "\n";
    commands += Probe(2) + "show config\n";
    RunResult r = Batch(commands);
    ASSERT_FALSE(r.timedOut);
    ASSERT_EQ(r.signal, 0) << r.err;
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");

    const std::string& out = r.out;
    const std::string probeStart = Echo("show patterninfo");
    std::size_t first = out.find(probeStart);
    std::size_t firstEnd = out.find(Echo("save net probe1.net"));
    ASSERT_NE(first, std::string::npos) << out;
    ASSERT_NE(firstEnd, std::string::npos) << out;
    std::size_t second = out.find(probeStart, firstEnd);
    std::size_t secondEnd = out.find(Echo("save net probe2.net"));
    ASSERT_NE(second, std::string::npos) << out;
    ASSERT_NE(secondEnd, std::string::npos) << out;
    const std::string before = out.substr(first, firstEnd - first);
    EXPECT_NE(before.find("Number of patterns      : 4"), std::string::npos) << before;
    EXPECT_EQ(out.substr(second, secondEnd - second), before);
    EXPECT_EQ(ReadFile(tmp / "probe1.net"), ReadFile(tmp / "probe2.net"));
    EXPECT_NE(ReadFile(tmp / "probe1.net").find("END\n"), std::string::npos);

    // Answers follow in command order; over-long lines are refused before
    // they are echoed, so only their message marks them.
    std::size_t cursor = firstEnd;
    for (const auto& entry : hostile) {
      const bool echoed = entry.first.size() <= 254;
      std::size_t at = out.find(echoed ? Echo(entry.first) : "[Error]\n" + entry.second, cursor);
      ASSERT_NE(at, std::string::npos) << "no trace of: " << entry.first.substr(0, 80) << "\n" << out;
      std::size_t next = out.find("korvalin> ", at + 1);
      const std::string answer = out.substr(at, next == std::string::npos ? std::string::npos : next - at);
      EXPECT_NE(answer.find("[Error]\n"), std::string::npos) << answer;
      EXPECT_NE(answer.find(entry.second), std::string::npos) << answer;
      cursor = at + 1;
    }
    // The last command still ran.
    EXPECT_NE(out.rfind("[Configuration]"), std::string::npos);
    EXPECT_GT(out.rfind("[Configuration]"), secondEnd);
  }
};

TEST_F(HostileInput, PatternFiles) {
  tmp.Write("garbage.pat", Garbage(20000));
  tmp.Write("empty.pat", "");
  tmp.Write("oneline.pat", std::string(4 << 20, 'A'));
  tmp.Write("longnumber.pat", "DIMENSIONS\n2 2\nPATTERNS\n1\n" + std::string(1 << 20, '7') + " 1 1 0\nEND\n");
  tmp.Write("longname.pat", "DIMENSIONS\n2 2\nVARNAMES\n" + std::string(10000, 'n') + "\nb\nc\nd\nEND\n");
  tmp.Write("maxinputs.pat", "DIMENSIONS\n2147483647 2\nPATTERNS\n1\n1 2 1 0\nEND\n");
  tmp.Write("maxpatterns.pat", "DIMENSIONS\n2 2\nPATTERNS\n2147483647\n1 2 1 0\n3 4 0 1\nEND\n");
  tmp.Write("overflow.pat", "DIMENSIONS\n2 2\nPATTERNS\n2147483648\n1 2 1 0\nEND\n");
  tmp.Write("negdims.pat", "DIMENSIONS\n-2 2\nPATTERNS\n1\n1 2 1 0\nEND\n");
  tmp.Write("negpatterns.pat", "DIMENSIONS\n2 2\nPATTERNS\n-5\nEND\n");
  tmp.Write("nan.pat", "DIMENSIONS\n2 2\nPATTERNS\n2\n1 nan 1 0\n3 4 0 1\nEND\n");
  tmp.Write("inf.pat", "DIMENSIONS\n2 2\nPATTERNS\n2\n1 2 1 0\ninf 4 0 1\nEND\n");
  tmp.Write("huge.pat", "DIMENSIONS\n2 2\nINRANGES\n0 1e39\n0 1\nPATTERNS\n1\n1 2 1 0\nEND\n");
  const std::string dir = std::filesystem::canonical(tmp.Path()).string();
  auto failed = [&](const std::string& file) { return " Loading pattern from " + dir + "/" + file + " failed."; };
  ExpectRejected({
      {"load pattern garbage.pat", failed("garbage.pat")},
      {"load pattern empty.pat", "No or invalid pattern dimensions specified!"},
      {"load pattern oneline.pat", failed("oneline.pat")},
      {"load pattern longnumber.pat", failed("longnumber.pat")},
      {"load pattern longname.pat", failed("longname.pat")},
      {"load pattern maxinputs.pat", failed("maxinputs.pat")},
      {"load pattern maxpatterns.pat", failed("maxpatterns.pat")},
      {"load pattern overflow.pat", "Line 4: \"2147483648\""},
      {"load pattern negdims.pat", "No or invalid pattern dimensions specified!"},
      {"load pattern negpatterns.pat", "Line 4: \"-5\""},
      {"load pattern nan.pat", "Line 5: \"1 nan 1 0\""},
      {"load pattern inf.pat", "Line 6: \"inf 4 0 1\""},
      {"load pattern huge.pat", "Line 4: \"0 1e39\""},
  });
}

TEST_F(HostileInput, NetworkFiles) {
  tmp.Write("garbage.net", Garbage(20000));
  tmp.Write("empty.net", "");
  tmp.Write("oneline.net", std::string(4 << 20, 'P'));
  tmp.Write("longname.net",
            "PARAMETERS\n2 3 2 5\nVARNAMES\n" + std::string(10000, 'n') + "\nb\nc\nd\nEND\n");
  tmp.Write("maxinputs.net", "PARAMETERS\n2147483647 3 2 5\nEND\n");
  tmp.Write("maxrules.net", "PARAMETERS\n2 2147483647 2 5\nFUZZY\n1\n0 1\n0 0.5 1 1 1  a\n"
                            "1\n0 1\n0 0.5 1 1 1  a\nMATRIX\n1 1 1 1\nWEIGHTS\n1 1.0\nEND\n");
  tmp.Write("negrules.net", "PARAMETERS\n2 -3 2 5\nEND\n");
  tmp.Write("negsets.net", std::string("PARAMETERS\n2 3 2 5\nFUZZY\n-4\n0 1\nEND\n"));
  tmp.Write("nanweight.net", Net(kGoodMatrix, "WEIGHTS\n1 nan\n2 0.75\n2 1.0\nEND\n"));
  tmp.Write("infset.net", Net(kGoodMatrix).replace(Net(kGoodMatrix).find("0.0\t1.0\t2.0"), 3, "-inf"));
  tmp.Write("pastpartition.net", Net("1\t2\t0\n1\t4\t2\n"));
  tmp.Write("pastclasses.net", Net(kGoodMatrix, "WEIGHTS\n1 1.0\n3 0.75\n2 1.0\nEND\n"));
  const std::string dir = std::filesystem::canonical(tmp.Path()).string();
  auto failed = [&](const std::string& file) { return " Loading net from " + dir + "/" + file + " failed."; };
  ExpectRejected({
      {"load net garbage.net", failed("garbage.net")},
      {"load net empty.net", "Net parameter section missing!"},
      {"load net oneline.net", failed("oneline.net")},
      {"load net longname.net", failed("longname.net")},
      {"load net maxinputs.net", "No or invalid net parameters specified!"},
      {"load net maxrules.net", failed("maxrules.net")},
      {"load net negrules.net", "No or invalid net parameters specified!"},
      {"load net negsets.net", failed("negsets.net")},
      {"load net nanweight.net", "1 nan"},
      {"load net infset.net", "-inf"},
      {"load net pastpartition.net", "Rule 2 uses fuzzy set 4 of input 2, which has only 3 sets!"},
      {"load net pastclasses.net", "Rule 2 points to class 3, which does not exist!"},
  });
}

TEST_F(HostileInput, ConfigurationFiles) {
  tmp.Write("oneline.cfg", "MaxEpoch = " + std::string(1 << 20, '9'));
  tmp.Write("longname.cfg", std::string(10000, 'n') + " = 3\n");
  tmp.Write("counts.cfg", "MaxEpoch = 2147483648\nUpdate_Cycle = -2147483649\n");
  tmp.Write("nan.cfg", "sigma = nan\nsigma_a = inf\nsigma_b = -1e39\n");
  ExpectRejected({
      {"load config oneline.cfg", "(line 1): \nLine too long (more than 254 characters)."},
      {"load config longname.cfg", "(line 1): \nLine too long (more than 254 characters)."},
      {"load config counts.cfg", "(line 2): \nInvalid value format."},
      {"load config nan.cfg", "(line 3): \nInvalid value format."},
  });
}

TEST_F(HostileInput, LongNamesAndPaths) {
  const std::string longName(10000, 'x');
  const std::string missingDir = "./" + std::string(120, 'm') + "/" + std::string(100, 'n');
  const std::string tooLong = "Command line too long (more than 254 characters), ignored.";
  ExpectRejected({
      {"load pattern " + longName, tooLong},
      {"load net " + longName, tooLong},
      {"cd " + longName, tooLong},
      {"save net " + longName, tooLong},
      {"load pattern " + std::string(240, 'y'), "yyy' (No such file or directory)."},
      {"cd good.pat", "(Not a directory)"},
      {"cd " + missingDir, "Can't change to directory"},
      {"load net " + missingDir, "nnn' (No such file or directory)."},
      {"save rules " + missingDir, "nnn' (No such file or directory)."},
  });
}

// Garbage as commands, from a command file and from standard input: every
// line is refused or fails, and the commands after it still run.
TEST_F(HostileInput, GarbageCommands) {
  std::string garbage = Garbage(60000) + std::string(100000, 'c') + "\n";
  // No shell escapes: the garbage must not run programs.
  for (char& c : garbage)
    if (c == '!') c = '?';
  tmp.Write("garbage.cmd", garbage);
  tmp.Write("good.cmd", "load pattern good.pat\nshow patterninfo\n");
  RunSpec spec;
  spec.env["KVLPATH"] = tmp.Path();
  spec.cwd = tmp.Path();
  spec.args = {"garbage.cmd", "good.cmd"};
  for (bool interactive : {false, true}) {
    if (interactive) {
      spec.args.clear();
      spec.input = garbage + "\nload pattern good.pat\nshow patterninfo\nexit\n";
    }
    RunResult r = RunProgram(spec);
    ASSERT_FALSE(r.timedOut) << interactive;
    EXPECT_EQ(r.signal, 0) << interactive;
    EXPECT_EQ(r.exitCode, 0) << interactive;
    EXPECT_NE(r.out.find("[Error]\nCommand line too long (more than 254 characters), ignored."), std::string::npos);
    EXPECT_NE(r.out.find("Number of patterns      : 4"), std::string::npos) << interactive;
  }
}

// Makes (or opens) `depth` directories nested below `dir`, each named
// `segment`, by relative steps: their full name is longer than any path the
// system takes in one piece. Returns a descriptor of the deepest one.
int NestedDirectory(const std::string& dir, const std::string& segment, int depth) {
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  for (int i = 0; i < depth && fd >= 0; i++) {
    mkdirat(fd, segment.c_str(), 0755);
    int next = openat(fd, segment.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
  }
  return fd;
}

// Directories nested beyond 4,000 characters work like any other: the
// program goes down, loads and saves there, and comes back up. One level
// further the absolute name is longer than the system takes: a clear error.
TEST_F(HostileInput, DeeplyNestedDirectories) {
  const std::string segment(200, 'd');
  const int depth = 20;
  int deep = NestedDirectory(tmp.Path(), segment, depth);
  ASSERT_GE(deep, 0);
  ASSERT_EQ(mkdirat(deep, segment.c_str(), 0755), 0);
  int file = openat(deep, "good.pat", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(file, 0);
  const std::string text = kGoodPatterns;
  ASSERT_EQ(write(file, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(file);

  std::string commands;
  for (int i = 0; i < depth; i++) commands += "cd " + segment + "\n";
  commands += "load pattern good.pat\nload net ../" + segment + "/good.pat\nsave config deep.cfg\ncd " + segment + "\n";
  for (int i = 0; i < depth; i++) commands += "cd ..\n";
  commands += "load net good.net\nsave net back.net\nshow patterninfo\n";
  RunResult r = Batch(commands);
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(faccessat(deep, "deep.cfg", F_OK, 0), 0);
  close(deep);
  EXPECT_TRUE(FileExists(tmp / "back.net"));
  EXPECT_NE(r.out.find(" Configuration has been saved to ./deep.cfg."), std::string::npos);
  EXPECT_NE(r.out.find("[Error]\nCan't change to directory '" + std::filesystem::canonical(tmp.Path()).string() + "/" +
                       segment),
            std::string::npos);
  EXPECT_NE(r.out.find(segment + "': (File name too long)."), std::string::npos);
  EXPECT_NE(r.out.find("Number of patterns      : 4"), std::string::npos);
  // The network load in the depths read a pattern file: an error, nothing more.
  EXPECT_NE(r.out.find("Net parameter section missing!"), std::string::npos);
  // The temporary directory's own removal takes whole path names.
  EXPECT_EQ(std::system(("rm -rf " + tmp / segment).c_str()), 0);
}

}  // namespace
