// The companion tools and the example, run as a user runs them from the
// build directory, and the installation.
#include <gtest/gtest.h>

#include "e2e_util.h"

using namespace e2e;

namespace {

const std::string kBin = std::string(KORVALIN_BIN).substr(0, std::string(KORVALIN_BIN).rfind('/') + 1);

RunResult Execute(const std::string& program, std::vector<std::string> args, const std::string& input = "") {
  RunSpec spec;
  spec.program = program;
  spec.args = std::move(args);
  spec.input = input;
  spec.timeoutSeconds = 120;
  return RunProgram(spec);
}

bool HaveGnuplot() { return Execute("/bin/sh", {"-c", "command -v gnuplot"}).exitCode == 0; }

bool IsPng(const std::string& path) { return ReadText(path).compare(0, 8, "\x89PNG\r\n\x1a\n") == 0; }

}  // namespace

TEST(Tools, CsvConvertsOrExplainsAndLeavesNoFile) {
  TScratchDir dir;
  // Quoted fields with doubled quotes, a decimal comma where ';' delimits, a missing value.
  const std::string csv = dir.Write("plants.csv", "\"size \"\"cm\"\"\";colour\n1,5;red\n?;blue\n\"2\";red\n");
  RunResult r = Execute(kBin + "korvalin-csv", {csv, dir / "plants.pat"});
  EXPECT_EQ(r.err, "korvalin-csv: note: 1 missing values written as 1.4e-45\n"
                   "korvalin-csv: 3 patterns, 1 inputs, 2 classes (red, blue)\n");
  EXPECT_EQ(
      ReadText(dir / "plants.pat"),
      "% converted by korvalin-csv from plants.csv\nDIMENSIONS\n1 2\nNAME\nplants\nVARNAMES\nsize \"cm\"\nred\nblue\n"
      "PATTERNS\n3\n1.5   1 0\n1.4e-45   0 1\n2   1 0\nEND\n");
  r = Execute(kBin + "korvalin-csv", {"-", "--noclass", "--classes=red,blue", "--class", "colour", "-N", "unknown"},
              "size,colour\n3,?\n");
  EXPECT_NE(r.out.find("NAME\nunknown\nVARNAMES\nsize\nred\nblue\nNOCLASS\nPATTERNS\n1\n3\nEND\n"), std::string::npos)
      << r.err;
  // Every bad row is named; no file is left.
  const std::string bad = dir.Write("bad.csv", "a,b,c\n1,two,x\n1,2\n");
  r = Execute(kBin + "korvalin-csv", {bad, dir / "bad.pat"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "korvalin-csv: " + bad + ": line 2: 'two' in column 2 ('b') is not a number\nkorvalin-csv: " + bad +
                       ": line 3: 2 fields, but the header has 3\n");
  EXPECT_FALSE(FileExists(dir / "bad.pat"));
  EXPECT_EQ(Execute(kBin + "korvalin-csv", {"--delimiter", "|", bad}).exitCode, 2);
  EXPECT_EQ(Execute(kBin + "korvalin-csv", {"--folds", "1", bad}).exitCode, 2);
}

TEST(Tools, CrossValidationReportsEveryFoldAndTheMean) {
  TScratchDir dir;
  std::vector<std::string> args = {"-k", "3", "-r", "6", "-s", "FSetsPerVariable=3", "-s", "MaxEpoch=5",
                                   "--keep", dir / "cv", std::string(KORVALIN_SOURCE_DIR) + "/examples/iris.pat"};
  const RunResult first = Execute(kBin + "korvalin-cv", args);
  ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
  EXPECT_EQ(first.out.rfind("3-fold cross-validation of iris.pat (seed 1)\n", 0), 0u) << first.out;
  // Stratified: each fold holds 50 of the 150 patterns.
  for (const char* fold : {"\n    1     100     50 ", "\n    2     100     50 ", "\n    3     100     50 "})
    EXPECT_NE(first.out.find(fold), std::string::npos) << first.out;
  EXPECT_NE(first.out.find("\nTest misclassification rate: "), std::string::npos);
  EXPECT_TRUE(FileExists(dir / "cv/fold-2.rul"));
  // The same seed gives the same figures; without --keep nothing is left behind.
  args.erase(args.begin() + 8, args.begin() + 10);
  EXPECT_EQ(Execute(kBin + "korvalin-cv", args).out,
            first.out.substr(0, first.out.rfind("The folds and their files are in")));
  const RunResult r =
      Execute(kBin + "korvalin-cv", {dir.Write("x.pat", "DIMENSIONS\n1 2\nNOCLASS\nPATTERNS\n1\n1\nEND\n")});
  EXPECT_NE(r.err.find("the patterns have no classes to split by"), std::string::npos) << r.err;
}

TEST(Tools, DemoTrainsTestsAndDraws) {
  TScratchDir dir;
  RunSpec spec;
  spec.program = "/bin/sh";
  spec.args = {std::string(KORVALIN_SOURCE_DIR) + "/examples/demo.sh", dir / "run"};
  spec.env["KORVALIN"] = std::string(KORVALIN_BIN);
  spec.timeoutSeconds = 120;
  const RunResult r = RunProgram(spec);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("[Test results]\n Misclassified patterns: "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("#Rule 1:\nIF   sepal_length IS "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[Confusion]\n"), std::string::npos) << r.out;
  for (const char* file : {"iris.net", "iris-created.net", "iris.rul", "iris.res", "iris.err", "iris.log", "iris.csv"})
    EXPECT_TRUE(FileExists(dir / "run/" + file)) << file;
  if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed (package gnuplot-nox): nothing was drawn";
  EXPECT_TRUE(IsPng(dir / "run/iris-error.png"));
  EXPECT_TRUE(IsPng(dir / "run/iris-fuzzy.png"));
  const std::string empty = dir.Write("empty.err", "# no epochs yet\n");
  EXPECT_EQ(Execute(kBin + "korvalin-plot", {empty}).err, "korvalin-plot: " + empty + ": no epochs in the file\n");
  const std::string noSets = dir.Write("nosets.net", "PARAMETERS\n1 1 1 1\nEND\n");
  EXPECT_EQ(Execute(kBin + "korvalin-plot", {noSets}).err, "korvalin-plot: " + noSets + ": no fuzzy sets found\n");
  EXPECT_EQ(Execute(kBin + "korvalin-plot", {dir / "run/iris.net", dir / "run/iris.err"}).exitCode, 1);
}

TEST(Tools, InstallPutsProgramsHelpAndManualInPlace) {
  TScratchDir dir;
  const RunResult r = Execute("/bin/sh", {"-c", "cmake --install \"$0\" --prefix \"$1\"", kBin, dir.Path()});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  for (const char* file : {"bin/korvalin", "bin/korvalin.hlp", "bin/korvalin.cfg", "bin/korvalin-csv",
                           "bin/korvalin-plot", "bin/korvalin-cv", "share/man/man1/korvalin.1"})
    EXPECT_TRUE(FileExists(dir / file)) << file;
}
