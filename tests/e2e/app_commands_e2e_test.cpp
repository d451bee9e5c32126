// The commands set, show, load, save and create end to end, through command
// files and pipe mode, with the files they read and write.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "e2e_util.h"

using namespace e2e;

namespace {

const std::string kBanner =
    "KORVALIN 1.0, \nA neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.\n"
    "Type 'help' for an overview of the commands.\n";

// Two inputs, two classes, six patterns.
const char* const kSmallPatterns =
    "% two features\n"
    "DIMENSIONS\n2 2\n"
    "VARNAMES\nwidth\nheight\nnarrow\nwide\n"
    "PATTERNS\n6\n"
    "1.0 0.5  1 0\n1.5 1.0  1 0\n2.0 0.5  1 0\n"
    "8.0 4.5  0 1\n9.0 4.0  0 1\n8.5 5.0  0 1\n"
    "END\n";

std::string Canonical(const std::string& path) { return std::filesystem::canonical(path).string(); }

// A working directory with the program's own files (none) and command files.
class AppCommands : public ::testing::Test {
 protected:
  TempDir tmp;
  std::string dir;  // canonical form of tmp

  void SetUp() override {
    dir = Canonical(tmp.Path());
    tmp.Write("small.pat", kSmallPatterns);
  }

  RunResult Batch(const std::string& commands, bool pipeMode = false) {
    tmp.Write("cmds", commands);
    RunSpec spec;
    spec.env["KVLPATH"] = tmp.Path();
    spec.cwd = tmp.Path();
    spec.args = pipeMode ? std::vector<std::string>{"-p", "cmds"} : std::vector<std::string>{"cmds"};
    spec.timeoutSeconds = 30;
    return RunProgram(spec);
  }

  // The transcript after the banner, the configuration remark and the
  // "Reading commands" line.
  std::string Body(const RunResult& r) {
    std::string head = kBanner;
    if (r.out.compare(0, head.size(), head) != 0) return "<no banner>" + r.out;
    std::size_t at = r.out.find(Reading("cmds"));
    if (at == std::string::npos) return "<no reading line>" + r.out;
    return r.out.substr(at + Reading("cmds").size());
  }
};

std::string NullText(const std::string& text) { return text + std::string(1, '\0'); }

}  // namespace

TEST_F(AppCommands, SetAndShowEveryForm) {
  RunResult r = Batch(
      "set NumberOfFSets[1] = 4\n"
      "load pattern small.pat\n"
      "set NumberOfFSets[2] = 5\n"
      "show NumberOfFSets\n"
      "set numberoffsets[0] = 3\n"
      "set NumberOfFSets[3] = 3\n"
      "set NumberOfFSets[2] = 8\n"
      "set NumberOfFSets[1] = 0\n"
      "set NumberOfFSets2] = 3\n"
      "set NumberOfFSets[2 = 3\n"
      "set FSetsPerVariable = 3\n"
      "show NumberOfFSets\n"
      "set sigma = 0.5\n"
      "show SIGMA\n"
      "set Epochs = 5\n"
      "set MaxEpoch to 00\n"
      "show Learning_rules\n"
      "show epochs\n"
      "set FSetsPerVariable = 6\n"
      "show numberoffsets\n"
      "show fuzzy\n"
      "show Rules\n"
      "show ranges\n"
      "show inputnames\n"
      "show classnames\n");
  EXPECT_EQ(r.err, "");
  const std::string noNet = " No net loaded or defined.";
  EXPECT_EQ(Body(r),
            Echo("set NumberOfFSets[1] = 4") + Framed("Error", "Invalid Index 1.") +
                Echo("load pattern small.pat") + " Loading pattern from ./small.pat...\n" +
                Echo("set NumberOfFSets[2] = 5") + Echo("show NumberOfFSets") + " NumberOfFSets = <3, 5>" +
                Echo("set numberoffsets[0] = 3") + Framed("Error", "Invalid Index 0.") +
                Echo("set NumberOfFSets[3] = 3") + Framed("Error", "Invalid Index 3.") +
                Echo("set NumberOfFSets[2] = 8") + Framed("Error", "Invalid Value 8.") +
                Echo("set NumberOfFSets[1] = 0") + Framed("Error", "Invalid Value 0.") +
                Echo("set NumberOfFSets2] = 3") + Framed("Error", "Missing open brace ('[').") +
                Echo("set NumberOfFSets[2 = 3") + Framed("Error", "Missing close brace (']').") +
                Echo("set FSetsPerVariable = 3") + Echo("show NumberOfFSets") + " NumberOfFSets = <3, 5>" +
                Echo("set sigma = 0.5") + Echo("show SIGMA") + NullText(" sigma = 0.5") +
                Echo("set Epochs = 5") +
                Framed("Warning", "Setting Parameter Epochs to 5 failed.Unkwown parameter name 'Epochs'.") +
                Echo("set MaxEpoch to 00") +
                Framed("Warning", "Setting Parameter MaxEpoch to 00 failed.Invalid value format.") +
                Echo("show Learning_rules") + NullText(" Learning_Rules = Simple") + Echo("show epochs") +
                Framed("Error", "Unkwown parameter name 'epochs'.") + Echo("set FSetsPerVariable = 6") +
                Echo("show numberoffsets") + " NumberOfFSets = <6, 6>" + Echo("show fuzzy") +
                Framed("Error", " Can't show 'fuzzy'." + noNet) + Echo("show Rules") +
                Framed("Error", " Can't show 'Rules'." + noNet) + Echo("show ranges") +
                Framed("Error", " Can't show 'ranges'." + noNet) + Echo("show inputnames") +
                Framed("Error", " Can't show 'inputnames'." + noNet) + Echo("show classnames") +
                Framed("Error", " Can't show 'classnames'." + noNet));
}

TEST_F(AppCommands, ShowConfigAndPatternInfo) {
  RunResult r = Batch("show patterninfo\nset CreateLogFile = n\nshow config\nload pattern small.pat\nshow patterninfo\n");
  std::string body = Body(r);
  std::string expectedStart = Echo("show patterninfo") +
                              Framed("Error", " Can't show pattern info. No pattern file loaded.") +
                              Echo("set CreateLogFile = n") + Echo("show config") + "[Configuration]\n" +
                              NullText(" MaxEpoch = 100") + "\n";
  EXPECT_EQ(body.substr(0, expectedStart.size()), expectedStart);
  std::string configEnd = NullText(" AggregationFunc = WeightedSum") + "\n\n" + Echo("load pattern small.pat");
  EXPECT_NE(body.find(NullText(" CreateLogFile = No") + "\n"), std::string::npos);
  EXPECT_NE(body.find(configEnd), std::string::npos);
  EXPECT_NE(body.find(Echo("show patterninfo") + "[Patterninfo]\nPattern loaded from     : " + dir + "/small.pat\n"),
            std::string::npos);
  EXPECT_NE(body.find("\t Label: 'height'\n\t Range: [0.5,5]\n"), std::string::npos);
  EXPECT_EQ(body.substr(body.size() - 6), "[end]\n");
}

TEST_F(AppCommands, FailedLoadsKeepThePreviousState) {
  tmp.Write("bad.pat", "DIMENSIONS\n2 2\nPATTERNS\n3\n1.0 0.5 1 0\n9.0 x 0 1\n2.0 1.0 1 0\nEND\n");
  tmp.Write("warn.pat", "DIMENSIONS\n2 2\nFOO\nPATTERNS\n2\n1.0 0.5 1 0\n9.0 4.5 0 1\nEND\n");
  tmp.Write("three.pat", "DIMENSIONS\n3 2\nPATTERNS\n1\n1 2 3 1 0\nEND");
  tmp.Write("nodims.pat", "PATTERNS\n1\n1 2 3 1 0\nEND\n");
  RunResult r = Batch(
      "load pattern warn.pat\n"
      "set NumberOfFSets[2] = 5\n"
      "load pattern bad.pat\n"
      "load pattern three.pat\n"
      "load pattern nodims.pat\n"
      "load pattern missing.pat\n"
      "load net " + dir + "\n"
      "load net small.pat\n"
      "show NumberOfFSets\n");
  EXPECT_EQ(Body(r),
            Echo("load pattern warn.pat") + " Loading pattern from ./warn.pat...\n" +
                Framed("Warning", "Unkwown keyword \"FOO\" ignored.") + Echo("set NumberOfFSets[2] = 5") +
                Echo("load pattern bad.pat") + " Loading pattern from ./bad.pat...\n" +
                Framed("Error", " Loading pattern from " + dir + "/bad.pat failed.\nLine 6: \"9.0 x 0 1\"") +
                Echo("load pattern three.pat") + " Loading pattern from ./three.pat...\n" +
                Framed("Error", " Loading pattern from " + dir + "/three.pat failed.\nUnexpected end of file.") +
                Echo("load pattern nodims.pat") + " Loading pattern from ./nodims.pat...\n" +
                Framed("Error", "No or invalid pattern dimensions specified!\n Loading pattern from " + dir +
                                    "/nodims.pat failed.") +
                Echo("load pattern missing.pat") +
                Framed("Error", "Can't open '" + dir + "/missing.pat' (No such file or directory).") +
                Echo("load net " + dir) + Framed("Error", "Can't open '" + dir + "' (Is a directory).") +
                Echo("load net small.pat") + " Loading network from ./small.pat...\n" +
                Framed("Error", "Net parameter section missing!\n Loading net from " + dir + "/small.pat failed.") +
                Echo("show NumberOfFSets") + " NumberOfFSets = <3, 5>");
}

TEST_F(AppCommands, PipeModeBlocksForPatternsAndConfiguration) {
  tmp.Write("my.cfg", "MaxEpoch = 7\nFsIntersect_0.5 = yes\n");
  RunResult r = Batch("load pattern small.pat\nload config my.cfg\n", true);
  std::string body = Body(r);
  EXPECT_EQ(body.substr(0, body.find(" MaxEpoch")),
            Echo("load pattern small.pat") + " Loading pattern from ./small.pat...\n" +
                "[Pattern dimensions]\nPattern loaded from     : " + dir + "/small.pat\n" +
                "Number of input features: 2\nNumber of classes       : 2\nNumber of patterns      : 6\n" +
                "Classified patterns     : Yes\n" + Echo("load config my.cfg") +
                " Loading configuration from ./my.cfg...\n[Configuration]\n");
  EXPECT_NE(body.find(NullText(" MaxEpoch = 7") + "\n"), std::string::npos);
  EXPECT_NE(body.find(NullText(" FsIntersect_0.5 = Yes") + "\n"), std::string::npos);
  EXPECT_EQ(body.substr(body.size() - 3), std::string(1, '\0') + "\n\n");
}

TEST_F(AppCommands, SaveConfigNamesAndFileText) {
  std::string sub = tmp.MakeDir("sub");
  RunResult r = Batch("set MaxEpoch = 250\nsave config\ncd sub\nset sigma_c = 0.125\nsave config\nsave config mine.cfg\n"
                      "save config\n");
  EXPECT_EQ(Body(r), Echo("set MaxEpoch = 250") + Echo("save config") +
                         Framed("Information", " Configuration has been saved to ./korvalin.cfg.") + Echo("cd sub") +
                         Framed("Information", " Working directory set to '" + dir + "/sub'.") +
                         Echo("set sigma_c = 0.125") + Echo("save config") +
                         Framed("Information", " Configuration has been saved to " + dir + "/korvalin.cfg.") +
                         Echo("save config mine.cfg") +
                         Framed("Information", " Configuration has been saved to ./mine.cfg.") + Echo("save config") +
                         Framed("Information", " Configuration has been saved to ./mine.cfg."));
  EXPECT_EQ(ReadFile(tmp / "korvalin.cfg"),
            "# KORVALIN 1.0 configuration file\n"
            "# Note: Blank lines and lines beginning with '#' or '%'\n"
            "#       allowed and ignored.\n\n"
            "# General learning parameters\nMaxEpoch = 250\nStop_At_Percent = 0\nStop_At_Misclassified = 0\n\n"
            "# Update cycle for screen/log update\nUpdate_Cycle = 5\n\n"
            "# Create a logfile during net creation?\nCreateLogFile = Yes\n\n"
            "# Learning rates\n"
            "# (for the conclusion weights and the parameter a, b, c of the fuzzy sets):\n"
            "sigma = 0.01\nsigma_a = 0.01\nsigma_b = 0.01\nsigma_c = 0.125\n\n"
            "# Fuzzy sets per input variable (2 <= x <= 7)\nFSetsPerVariable = 3\n\n"
            "# Fuzzy sets must intersect at 0.5 ?\nFsIntersect_0.5 = No\n\n"
            "# Learning conclusion weights\n# Possible values are: fixed, normalized or free\n"
            "Learning_Weights = Fixed\n\n"
            "# Learning rules\n# Possible values are: simple, best or bestperclass\nLearning_Rules = Simple\n\n"
            "# The aggregation function to be used (weightedsum or maximum)\nAggregationFunc = WeightedSum\n");
  EXPECT_TRUE(FileExists(sub + "/mine.cfg"));
  struct stat info;
  ASSERT_EQ(stat((tmp / "korvalin.cfg").c_str(), &info), 0);
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0664u & ~mask);
}

TEST_F(AppCommands, SaveConfigWritesBackTheFileReadAtStart) {
  tmp.Write("korvalin.cfg", "# mine\nUpdate_Cycle = 2\n");
  RunResult r = Batch("save config\n");
  EXPECT_NE(r.out.find(" Loading configuration from ./korvalin.cfg...\n"), std::string::npos);
  EXPECT_EQ(Body(r), Echo("save config") + Framed("Information", " Configuration has been saved to ./korvalin.cfg."));
  EXPECT_NE(ReadFile(tmp / "korvalin.cfg").find("\nUpdate_Cycle = 2\n"), std::string::npos);
}

TEST_F(AppCommands, FailedSaveKeepsTheOldFile) {
  tmp.Write("old.cfg", "MaxEpoch = 1\n");
  tmp.Write("cmds", "save config old.cfg\nsave config " + dir + "/no/such/dir/x.cfg\n");
  // A file size limit of 512 bytes makes the write fail for every user.
  RunSpec spec;
  spec.program = "/bin/sh";
  spec.args = {"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" cmds", KORVALIN_BIN};
  spec.env["KVLPATH"] = tmp.Path();
  spec.cwd = tmp.Path();
  RunResult r = RunProgram(spec);
  EXPECT_EQ(Body(r), Echo("save config old.cfg") +
                         Framed("Error", "Error writing '" + dir + "/old.cfg' (File too large).") +
                         Echo("save config " + dir + "/no/such/dir/x.cfg") +
                         Framed("Error", "Can't create '" + dir + "/no/such/dir/x.cfg' (No such file or directory)."));
  EXPECT_EQ(ReadFile(tmp / "old.cfg"), "MaxEpoch = 1\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.Path()), std::filesystem::directory_iterator()), 3);
}

TEST_F(AppCommands, CreateAndSaveNeedTheirObjects) {
  tmp.Write("noclass.pat", "DIMENSIONS\n2 2\nNOCLASS\nPATTERNS\n1\n1.0 2.0\nEND\n");
  tmp.Write("none.pat", "DIMENSIONS\n2 2\nEND\n");
  RunResult r = Batch(
      "create net -r5\nsave net\nsave rules x.rul\n"
      "load pattern noclass.pat\ncreate net -r5\nload pattern none.pat\ncreate net -r5\n");
  EXPECT_EQ(Body(r), Echo("create net -r5") + Framed("Error", "Can't create net: No pattern file loaded!") +
                         Echo("save net") + Framed("Error", "Can't save net. No net loaded or created.") +
                         Echo("save rules x.rul") + Framed("Error", "Can't save rules. No net loaded or created.") +
                         Echo("load pattern noclass.pat") + " Loading pattern from ./noclass.pat...\n" +
                         Echo("create net -r5") +
                         Framed("Error", "Can't create net: Pattern file contains no class information!") +
                         Echo("load pattern none.pat") + " Loading pattern from ./none.pat...\n" +
                         Echo("create net -r5") + Framed("Error", "Can't create net: Pattern file contains no patterns!"));
  EXPECT_FALSE(FileExists(tmp / "x.rul"));
}

namespace {

const std::string kNetHeader = "#\n# KORVALIN 1.0 network definition file\n#\n";

std::string LogHeader(const std::string& pattern, int maxRules, const std::string& mode) {
  return "#\n# KORVALIN 1.0 net creation log file\n#\n# Pattern used: " + pattern +
         "\n# Maximum number of rules to create: " + std::to_string(maxRules) +
         "\n# Rule creation/evaluation mode: " + mode + "\n#\n";
}

std::string StartOf(const std::string& text, std::size_t n) { return text.substr(0, n); }

// The two progress lines of a creation, whatever the rule counts.
const std::string kProgress =
    std::string(" Creating initial rule base\\.\\.\\.") + '\0' + "done \\([0-9]+ rules created\\)\\.\n" +
    " Now evaluating the rules\\.\\.\\." + '\0' + "done\\.\n";

}  // namespace

TEST_F(AppCommands, CreateNamesItsFilesAfterThePatternFile) {
  std::string data = tmp.MakeDir("data");
  tmp.Write("data/small.pat", kSmallPatterns);
  RunResult r = Batch("load pattern data/small.pat\ncreate net -r10\nsave rules\nsave net copy.net\nsave rules\n");
  std::string body = Body(r);
  std::regex expected(std::regex_replace(Echo("load pattern data/small.pat"), std::regex("[.]"), "\\.") +
                          " Loading pattern from \\./data/small\\.pat\\.\\.\\.\n" +
                          "korvalin> create net -r10\n" + kProgress +
                          "\\[Information\\]\n( The system tried[^\n]*\n Some of these were possibly identical\\.\n)?"
                          " \n See \\./small\\.log for details about net creation\\.\n\\[end\\]\n"
                          "korvalin> save rules\n\\[Information\\]\n Rules has been saved to \\./small\\.rul\\.\n"
                          "\\[end\\]\nkorvalin> save net copy\\.net\n\\[Information\\]\n"
                          " Network has been saved to \\./copy\\.net\\.\n\\[end\\]\n"
                          "korvalin> save rules\n\\[Information\\]\n Rules has been saved to \\./small\\.rul\\.\n"
                          "\\[end\\]\n");
  EXPECT_TRUE(std::regex_match(body, expected)) << body;
  std::string log = ReadFile(tmp / "small.log");
  std::string header = LogHeader(Canonical(data) + "/small.pat", 10, "Simple");
  EXPECT_EQ(StartOf(log, header.size()), header);
  EXPECT_EQ(StartOf(ReadFile(tmp / "small.net"), kNetHeader.size()), kNetHeader);
  std::string net = ReadFile(tmp / "small.net");
  EXPECT_EQ(ReadFile(tmp / "copy.net"), net);
  std::string rules = ReadFile(tmp / "small.rul");
  const std::string ruleHeader = "#\n# KORVALIN 1.0 rule definition file\n#\n#Rule 1:\nIF   width IS ";
  EXPECT_EQ(StartOf(rules, ruleHeader.size()), ruleHeader);
}

TEST_F(AppCommands, CreateFileNameBesideTheOptionAndWithoutLog) {
  RunResult r = Batch(
      "load pattern small.pat\n"
      "create net -r10 first.net\n"
      "create net second.net -r0\n"
      "create net my-rules.net -r5\n"
      "set CreateLogFile = no\n"
      "create net -r3 quiet.net\n");
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(FileExists(tmp / "first.net"));
  EXPECT_TRUE(FileExists(tmp / "first.log"));
  EXPECT_FALSE(FileExists(tmp / "-r10"));
  EXPECT_FALSE(FileExists(tmp / "-r10.log"));
  std::string header = LogHeader(dir + "/small.pat", 6, "Simple");  // -r0: one rule per pattern at most
  EXPECT_EQ(StartOf(ReadFile(tmp / "second.log"), header.size()), header);
  EXPECT_TRUE(FileExists(tmp / "my-rules.net"));
  EXPECT_TRUE(FileExists(tmp / "quiet.net"));
  EXPECT_FALSE(FileExists(tmp / "quiet.log"));
  EXPECT_NE(Body(r).find(" \n See /dev/null for details about net creation.\n[end]\n"), std::string::npos);
}

TEST_F(AppCommands, CreateInBestModeReportsTheSelectionAndPipeModeShowsNetinfo) {
  RunResult r = Batch("set Learning_Rules = best\nload pattern small.pat\ncreate net -r1\nload net small.net\n", true);
  std::string body = Body(r);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(body, m,
                                std::regex(std::string("done\\.\n\\[Netinfo\\]\nNet loaded from       : ") + dir +
                                           "/small\\.net\nNumber of input units : 2\nNumber of rule units  : 1\n"
                                           "Number of output units: 2\n\\[Information\\]\n 1 rules \\(out of "
                                           "([0-9]+) created rules\\) have been selected\\.\n \n"
                                           " See \\./small\\.log for details about net creation\\.\n\\[end\\]\n")))
      << body;
  std::string header = LogHeader(dir + "/small.pat", 1, "Best");
  EXPECT_EQ(StartOf(ReadFile(tmp / "small.log"), header.size()), header);
  EXPECT_NE(body.find(Echo("load net small.net") + " Loading network from ./small.net...\n[Netinfo]\n"
                      "Net loaded from       : " + dir + "/small.net\nNumber of input units : 2\n"),
            std::string::npos);
}

TEST_F(AppCommands, CreationReportInEachRuleMode) {
  RunResult r = Batch(
      "load pattern small.pat\ncreate net -r1\nset Learning_Rules = bestperclass\ncreate net -r2\n"
      "set Learning_Rules = simple\ncreate net -r2\n");
  auto creation = [](int created, const std::string& report) {
    return std::string(" Creating initial rule base...") + '\0' + "done (" + std::to_string(created) +
           " rules created).\n Now evaluating the rules..." + '\0' + "done.\n" +
           Framed("Information", report + " \n See ./small.log for details about net creation.");
  };
  EXPECT_EQ(Body(r), Echo("load pattern small.pat") + " Loading pattern from ./small.pat...\n" +
                         Echo("create net -r1") +
                         creation(1, " The system tried to create 3 more rules. \n"
                                     " Some of these were possibly identical.\n") +
                         Echo("set Learning_Rules = bestperclass") + Echo("create net -r2") +
                         creation(2, " 2 rules (out of 2 created rules) have been selected.\n") +
                         Echo("set Learning_Rules = simple") + Echo("create net -r2") + creation(2, ""));
}
