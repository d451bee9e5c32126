// Hostile and mistaken input end to end: every bad command, file, name or
// count draws a message that says why, the pattern set, network and
// parameters stay as they were, and the program goes on taking commands.
#include <gtest/gtest.h>
#include <unistd.h>

#include "e2e_util.h"

using namespace e2e;
using namespace std::string_literals;

namespace {

const std::string kData = std::string(KORVALIN_TEST_DATA) + "/";
// A pattern set and a network, with a fuzzy set count of its own.
const std::string kLoaded =
    "load pattern " + kData + "two_features.pat\nset NumberOfFSets[2] = 5\nload net " + kData + "small.net\n";

// Deterministic bytes of every value, NULs and line ends included.
std::string Garbage(std::size_t size) {
  std::string bytes(size, '\0');
  unsigned state = 12345u;
  for (char& c : bytes) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
  return bytes;
}

// A command and a part of the program's answer, label included.
struct Refusal {
  std::string command, answer;
};
// A file made from a good one by replacing the first `from` by `to` (the
// whole file when `from` is empty), and a part of the answer to its load.
struct Variant {
  std::string from, to, answer;
};

class Refused : public ::testing::Test {
 protected:
  TScratchDir Dir;

  RunResult Batch(const std::string& commands) {
    RunSpec spec = In(Dir, {Dir.Write("cmds", commands)});
    spec.timeoutSeconds = 60;
    return RunProgram(spec);
  }

  // tests/data/`good` with its first `from` replaced by `to`.
  static std::string Changed(const std::string& good, const std::string& from, const std::string& to) {
    std::string text = ReadText(kData + good);
    return text.replace(text.find(from), from.size(), to);
  }

  // Writes the variants of tests/data/`good` and the commands that load them.
  std::vector<Refusal> Loads(const std::string& kind, const std::string& good, const std::vector<Variant>& variants) {
    std::vector<Refusal> loads;
    for (std::size_t i = 0; i < variants.size(); i++) {
      const Variant& v = variants[i];
      const std::string name = kind + std::to_string(i);
      Dir.Write(name, v.from.empty() ? v.to : Changed(good, v.from, v.to));
      loads.push_back({"load " + kind + " " + name, v.answer});
    }
    return loads;
  }

  // Runs `setup`, shows the state, runs the refused commands and shows the
  // state again: it must be the same, every answer must hold its text, and
  // the program must run to its end.
  void Expect(const std::string& setup, const std::vector<Refusal>& refusals) {
    const std::string probe =
        "show patterninfo\nshow NumberOfFSets\nshow rules\nshow fuzzy\nshow config\nsave net probe";
    std::string commands = setup + probe + "1.net\n";
    for (const Refusal& r : refusals) commands += r.command + "\n";
    const RunResult r = Batch(commands + probe + "2.net\nshow config\n");
    ASSERT_TRUE(!r.timedOut && r.exitCode == 0 && r.err.empty()) << r.err;
    const std::string& out = r.out;
    const std::size_t first = out.find("korvalin> show patterninfo\n"),
                      firstEnd = out.find("korvalin> save net probe1");
    const std::size_t second = out.find("korvalin> show patterninfo\n", firstEnd);
    ASSERT_NE(second, std::string::npos) << out;
    EXPECT_EQ(out.substr(second, out.find("korvalin> save net probe2") - second), out.substr(first, firstEnd - first));
    EXPECT_EQ(ReadText(Dir / "probe1.net"), ReadText(Dir / "probe2.net"));
    // Answers come in command order; an over-long line is refused before
    // it is echoed, and a NUL is echoed as "\0", so only its answer marks it.
    std::size_t cursor = firstEnd;
    for (const Refusal& refusal : refusals) {
      const bool echoed = refusal.command.size() <= 254 && refusal.command.find('\0') == std::string::npos;
      const std::size_t at = out.find(echoed ? "korvalin> " + refusal.command + "\n" : refusal.answer, cursor);
      ASSERT_NE(at, std::string::npos) << "no trace of: " << refusal.command.substr(0, 80) << "\n" << out;
      const std::string answer = out.substr(at, out.find("korvalin> ", at + 1) - at);
      EXPECT_NE(answer.find(refusal.answer), std::string::npos) << answer;
      cursor = at + 1;
    }
    EXPECT_GT(out.rfind("[Configuration]"), second);
  }
};

TEST_F(Refused, CommandsThatCannotRunOrAreMistyped) {
  Expect("", {
                 {"create net -r5", "[Error]\nCan't create net: No pattern file loaded!\n[end]"},
                 {"save net", "[Error]\nCan't save net. No net loaded or created.\n[end]"},
                 {"run test", "[Error]\nCan't execute 'run': No pattern file loaded and no net defined."},
                 {"show ranges", "[Error]\n Can't show 'ranges'. No net loaded or defined."},
                 {"set NumberOfFSets[1] = 4", "[Error]\nInvalid Index 1.\n[end]"},
                 {"stop", "[Information]\n Can't 'stop'. No learning process is being run.\n[end]"},
                 {"load something x", "[Error]\nInvalid argument 'something'. Type 'help load' for more information."},
                 {"save pattern", "Invalid argument 'pattern'. Type 'help save'"},
                 {"create net my.net", "Invalid argument 'my.net'. Type 'help create'"},
                 {"create net -rx", "Invalid argument '-rx'."},
                 {"create net -r", "Invalid argument '-r'."},
                 {"Load pattern x", "[Error]\nInvalid command 'Load'. Type 'help' for more information.\n[end]"},
                 {"lo\0ad pattern x"s, "[Error]\nInvalid command 'lo\\0ad'. Type 'help'"},
                 {"load pattern \0x"s, "[Error]\nInvalid argument '\\0x'. Type 'help load'"},
                 {"load pattern", "[Error]\nToo less arguments for 'load'. \n[end]"},
                 {"set sigma = 1 2", "[Error]\nToo many arguments for 'set'. \n[end]"},
                 {"set sigma = x", "[Warning]\nSetting Parameter sigma to x failed.Invalid value format.\n[end]"},
                 {"set epochs = 5", "[Warning]\nSetting Parameter epochs to 5 failed.Unkwown parameter name 'epochs'."},
                 {"show epochs", "[Error]\nUnkwown parameter name 'epochs'.\n[end]"},
             });
  // A pattern set without classes, and a network whose classes differ from it.
  Dir.Write("noclass.pat", Changed("two_features.pat", "INRANGES", "NOCLASS\nINRANGES"));
  Dir.Write("three.net", Changed("small.net", "2\t3\t2\t5", "2\t3\t3\t5"));
  Expect("load pattern noclass.pat\nload net three.net\n",
         {
             {"create net -r5", "[Error]\nCan't create net: Pattern file contains no class information!\n[end]"},
             {"run test", "[Error]\nCan't execute 'run': pattern and net have incompatible dimensions.\n[end]"},
             {"prune", "[Error]\nCan't execute 'prune': pattern and net have incompatible dimensions.\n[end]"},
             {"set numberoffsets[0] = 3", "[Error]\nInvalid Index 0.\n[end]"},
             {"set NumberOfFSets[3] = 3", "[Error]\nInvalid Index 3.\n[end]"},
             {"set NumberOfFSets[2] = 8", "[Error]\nInvalid Value 8.\n[end]"},
             {"set NumberOfFSets[1] = 0", "[Error]\nInvalid Value 0.\n[end]"},
             {"set NumberOfFSets2] = 3", "[Error]\nMissing open brace ('[').\n[end]"},
             {"set NumberOfFSets[2 = 3", "[Error]\nMissing close brace (']').\n[end]"},
         });
}

// Values are read by the parameter's type, names in any letter case:
// integers as far as they go (only "0" is zero), floats that stay finite in
// single precision (only "0" and "0.0" are zero), yes/no words and choice
// words. A refused value leaves the one before.
TEST_F(Refused, ParameterValuesByType) {
  const std::vector<std::pair<std::string, std::string>> accepted = {
      {"MaxEpoch = 12abc", "MaxEpoch = 12"}, {"SIGMA = 0", "sigma = 0"},
      {"sigma_b = 0.0", "sigma_b = 0"},     {"sigma = 2e-2", "sigma = 0.02"},
      {"createlogfile = n", "CreateLogFile = No"},
      {"Learning_Rules = BESTperCLASS", "Learning_Rules = BestPerClass"}};
  std::string commands;
  for (const auto& [setting, shown] : accepted)
    commands += "set " + setting + "\nshow " + setting.substr(0, setting.find(' ')) + "\n";
  const RunResult r = Batch(commands);
  for (const auto& [setting, shown] : accepted)
    EXPECT_NE(r.out.find("korvalin> set " + setting + "\nkorvalin> show " + setting.substr(0, setting.find(' ')) +
                         "\n " + shown + '\0'),
              std::string::npos)
        << setting;
  std::vector<Refusal> refused;
  for (const std::string setting : {"MaxEpoch = 00", "MaxEpoch = 99999999999", "sigma_a = 0.00", "sigma_a = nan",
                                    "sigma_a = 1e40", "CreateLogFile = true", "Learning_Weights = best"}) {
    const std::string name = setting.substr(0, setting.find(' ')), value = setting.substr(name.size() + 3);
    const std::string answer = "Setting Parameter " + name + " to " + value + " failed.Invalid value format.";
    refused.push_back({"set " + setting, "[Warning]\n" + answer + "\n[end]"});
  }
  Expect("", refused);
}

TEST_F(Refused, PatternAndNetworkFiles) {
  const std::string noDimensions = "[Error]\nNo or invalid pattern dimensions specified!";
  const std::string noParameters = "[Error]\nNo or invalid net parameters specified!";
  const std::vector<Variant> patterns = {
      {"", "", noDimensions + "\n Loading pattern from "},
      {"", Garbage(20000), "failed."},
      {"", std::string(4 << 20, 'A'), "failed."},
      {"", "% comment only\n", "Unexpected end of file."},
      {"2 2", "-2 2", noDimensions},
      {"2 2", "1000001 2", "Line 3: \"1000001 2\""},
      {"NAME", std::string(80, 'K'), "Line 4: \"KKKK"},
      {"0 5", "0 1e39", "Line 13: \"0 1e39\""},
      {"3\n1.0", "-1\n1.0", "Line 15: \"-1\""},
      {"3\n1.0", "2147483648\n1.0", "Line 15: \"2147483648\""},
      {"3\n1.0", "2147483647\n1.0", "Line 19: \"END\""},
      {"0.5   1 0", "nan   1 0", "Line 16: \"1.0 nan   1 0\""},
      {"0.5   1 0", "0.5   1.5 0", "Line 16:"},
      {"0.5   1 0", "0.5 \0 1 0"s, "Line 16: \"1.0 0.5 \\0 1 0\""},
      {"2.0 1.0   1 0\nEND\n", "2.0 1.0", "Unexpected end of file."},
  };
  const std::vector<Variant> nets = {
      {"", "", "[Error]\nNet parameter section missing!\n Loading net from "},
      {"", Garbage(20000), "failed."},
      {"2\t3\t2\t5", "2\t0\t2\t5", noParameters},
      {"2\t3\t2\t5", "2000000000\t3\t2\t5", noParameters + "\n Loading net from "},
      {"2\t3\t2\t5", "2\t3\t2000000000\t5", "Line 5: \"2\t3\t2000000000\t5\""},
      {"2\t3\t2\t5", "2\t2147483647\t2\t5", "Connection matrix row 1 holds 3 values, 2147483647 expected"},
      {"2\t3\t2\t5", "2\t2\t2\t5", "[Error]\nConnection matrix row 1 holds 3 values, 2 expected (one per rule)!"},
      {"FUZZY", "FU\0ZZ"s, "Unkwown keyword \"FU\\0ZZ\" ignored.\nUnkwown keyword \"2\" ignored."},
      {"FUZZY", "FUZZ", "Fuzzy set section missing!"},
      {"2\n0.000000\t10.000000", "0\n0.000000\t10.000000", "Invalid fuzzy partition of input 1!\n"},
      {"1\t3\t2", "1\t4\t2", "Rule 2 uses fuzzy set 4 of input 2, which has only 3 sets!"},
      {"   2   0.750000", "   3   0.750000", "Rule 2 points to class 3, which does not exist!"},
      {"0.750000", "x", "Line 39: \"   2   x\""},
      {"0.750000", "nan", "Line 39: \"   2   nan\""},
      {"width", std::string(30, 'h'), "Line 8: \"hhhh"},
      {"   2   1.000000\n\nEND\n", "   2   1.0", "Unexpected end of file."},
  };
  std::vector<Refusal> loads = Loads("pattern", "two_features.pat", patterns), more = Loads("net", "small.net", nets);
  loads.insert(loads.end(), more.begin(), more.end());
  Expect(kLoaded, loads);
}

TEST_F(Refused, ConfigurationFilesAndLongNames) {
  const std::string tooLong = "Command line too long (more than 254 characters), ignored.";
  const std::string missing = "./" + std::string(120, 'm') + "/" + std::string(100, 'n');
  Dir.Write("oneline.cfg", "MaxEpoch = " + std::string(1 << 20, '9'));
  Dir.Write("limits.cfg", std::string(200, 'n') + " = 3\nsigma = " + std::string(200, '1') + "\nsigma\n");
  Dir.Write("nul.cfg", "sig\0ma = 1\nsigma = 1\0\n"s);
  Dir.Write("numbers.cfg",
            "MaxEpoch = 2147483648\nUpdate_Cycle = -2147483649\nsigma = nan\nsigma_a = inf\nsigma_b = -1e39\n");
  Expect(kLoaded,
         {
             {"load config oneline.cfg", "(line 1): \nLine too long (more than 254 characters)."},
             {"load config limits.cfg",
              "(line 1): \nParameter name too long (more than 127 characters).\n[end]\n[Error]\nSyntax error in "
              "configuration file (line 2): \nValue too long (more than 125 characters).\n[end]\n[Error]\nSyntax "
              "error in configuration file (line 3): \nAssignment missing.\n[end]"},
             {"load config numbers.cfg", "(line 2): \nInvalid value format."},
             {"load config nul.cfg", "(line 1): \nUnkwown parameter name 'sig\\0ma'.\n[end]\n[Error]\nSyntax error in "
                                     "configuration file (line 2): \nInvalid value format."},
             {"load pattern " + std::string(10000, 'x'), tooLong},
             {"save net " + std::string(10000, 'x'), tooLong},
             {"load pattern " + std::string(240, 'y'), "yyy' (No such file or directory)."},
             {"load net " + Dir.Path(), "' (Is a directory)."},
             {"cd cmds", "(Not a directory)"},
             {"cd " + missing, "Can't change to directory"},
             {"save rules " + missing, "nnn' (No such file or directory)."},
         });
}

// Reading /proc/self/mem fails at once; strace fails a read part way
// through a file. Either is reported with the system's reason, and the
// session goes on as before.
TEST_F(Refused, ReadErrors) {
  const std::string mem = "/proc/self/mem", failed = "' (Input/output error).";
  std::filesystem::create_symlink(mem, Dir / "korvalin.cfg");
  std::filesystem::create_symlink(mem, Dir / "korvalin.hlp");
  const std::string error = "[Error]\nError reading '" + mem + failed + "\n[end]";
  Expect(kLoaded, {{"load pattern " + mem, error},
                   {"load net " + mem, error},
                   {"load config " + mem, error},
                   {"help", "[Error]\nError reading '" + Dir / "korvalin.hlp" + failed}});
  EXPECT_NE(Batch("").out.find("Error reading '" + Dir / "korvalin.cfg" + failed + "\nUsing default configuration."),
            std::string::npos);

  if (access("/usr/bin/strace", X_OK) != 0) GTEST_SKIP() << "no strace";
  std::string patterns = "DIMENSIONS\n2 2\nPATTERNS\n4000\n";
  for (int i = 0; i < 4000; i++) patterns += "0.25 0.75 1 0\n";
  Dir.Write("big.pat", patterns + "END\n");
  // The second read of big.pat fails.
  RunSpec spec = In(Dir, {"-o", "/dev/null", "-P", Dir / "big.pat", "-e", "trace=read", "-e",
                          "inject=read:error=EIO:when=2", KORVALIN_BIN,
                          Dir.Write("cmds", kLoaded + "load pattern big.pat\nshow NumberOfFSets\n")});
  spec.program = "/usr/bin/strace";
  spec.env["LSAN_OPTIONS"] = "detect_leaks=0";  // a leak check cannot run under a tracer
  const RunResult r = RunProgram(spec);
  if (r.out.empty()) GTEST_SKIP() << "strace cannot trace here: " << r.err;
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("Error reading '" + Dir / "big.pat" + failed + "\n[end]\nkorvalin> show NumberOfFSets\n "
                       "NumberOfFSets = <3, 5>"),
            std::string::npos)
      << r.out << r.err;
}

}  // namespace
