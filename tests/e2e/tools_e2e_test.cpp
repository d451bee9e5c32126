// The companion tools, run as a user runs them from the build directory.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "e2e_util.h"

namespace {

std::string Tool(const std::string& name) {
  std::string bin = KORVALIN_BIN;
  return bin.substr(0, bin.rfind('/') + 1) + name;
}

e2e::RunResult RunTool(const std::string& tool, std::vector<std::string> args, const std::string& input = "") {
  e2e::RunSpec spec;
  spec.program = Tool(tool);
  spec.args = std::move(args);
  spec.input = input;
  return e2e::RunProgram(spec);
}

bool HaveGnuplot() {
  e2e::RunSpec spec;
  spec.program = "/bin/sh";
  spec.args = {"-c", "command -v gnuplot"};
  return e2e::RunProgram(spec).exitCode == 0;
}

bool IsPng(const std::string& path) {
  std::string data = e2e::ReadFile(path);
  return data.size() > 1000 && data.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0;
}

const std::string Data = std::string(KORVALIN_TEST_DATA) + "/tools/";

}  // namespace

TEST(CsvTool, ConvertsFileOrStream) {
  e2e::TempDir dir;
  std::string csv = dir.Write("plants.csv", "size;colour\n1,5;red\n2;blue\n");
  e2e::RunResult r = RunTool("korvalin-csv", {csv, dir / "plants.pat"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "korvalin-csv: 2 patterns, 1 inputs, 2 classes (red, blue)\n");
  EXPECT_EQ(e2e::ReadFile(dir / "plants.pat"),
            "% converted by korvalin-csv from plants.csv\nDIMENSIONS\n1 2\nNAME\nplants\nVARNAMES\nsize\nred\nblue\n"
            "PATTERNS\n2\n1.5   1 0\n2   0 1\nEND\n");

  r = RunTool("korvalin-csv", {"-", "--noclass", "--classes=red,blue", "--class", "colour", "-N", "unknown"},
          "size,colour\n3,?\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("NAME\nunknown\nVARNAMES\nsize\nred\nblue\nNOCLASS\nPATTERNS\n1\n3\nEND\n"), std::string::npos)
      << r.out;
}

TEST(CsvTool, BadInputLeavesNoFileAndExplains) {
  e2e::TempDir dir;
  std::string csv = dir.Write("bad.csv", "a,b,c\n1,2,x\n1,two,x\n1,2\n");
  e2e::RunResult r = RunTool("korvalin-csv", {csv, dir / "bad.pat"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "korvalin-csv: " + csv + ": line 3: 'two' in column 2 ('b') is not a number\n" +
                       "korvalin-csv: " + csv + ": line 4: 2 fields, but the header has 3\n");
  EXPECT_FALSE(e2e::FileExists(dir / "bad.pat"));

  r = RunTool("korvalin-csv", {"--delimiter", "|", csv});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("delimiter '|'"), std::string::npos);
  r = RunTool("korvalin-csv", {"--folds", "1", csv});
  EXPECT_EQ(r.exitCode, 2);
}

TEST(PlotTool, DrawsErrorCurveAndPartitions) {
  if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed (package gnuplot-nox), so nothing can be drawn";
  e2e::TempDir dir;
  e2e::RunResult r = RunTool("korvalin-plot", {"-o", dir / "curve.png", Data + "iris.err"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(IsPng(dir / "curve.png"));

  // Without -o the picture goes beside the last file, named after it.
  std::string created = dir.Write("created.net", e2e::ReadFile(Data + "created.net"));
  std::string trained = dir.Write("trained.net", e2e::ReadFile(Data + "trained.net"));
  r = RunTool("korvalin-plot", {created, trained});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "korvalin-plot: wrote " + (dir / "trained-fuzzy.png") + "\n");
  EXPECT_TRUE(IsPng(dir / "trained-fuzzy.png"));
  r = RunTool("korvalin-plot", {created});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(IsPng(dir / "created-fuzzy.png"));
}

TEST(PlotTool, RefusesWhatItCannotDraw) {
  if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed (package gnuplot-nox), so nothing can be drawn";
  e2e::TempDir dir;
  std::string empty = dir.Write("empty.err", "# no epochs yet\n");
  e2e::RunResult r = RunTool("korvalin-plot", {empty});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "korvalin-plot: " + empty + ": no epochs in the file\n");
  EXPECT_FALSE(e2e::FileExists(dir / "empty-error.png"));

  std::string net = e2e::ReadFile(Data + "created.net");
  std::string noSets = dir.Write("nosets.net", net.substr(0, net.find("FUZZY")) + "END\n");
  r = RunTool("korvalin-plot", {noSets});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "korvalin-plot: " + noSets + ": no fuzzy sets found\n");

  r = RunTool("korvalin-plot", {Data + "created.net", Data + "iris.err"});
  EXPECT_EQ(r.exitCode, 1);
}

TEST(Install, PutsProgramsHelpAndManualInPlace) {
  std::string bin = KORVALIN_BIN;
  std::string buildDir = bin.substr(0, bin.rfind('/'));
  e2e::TempDir dir;
  e2e::RunSpec spec;
  spec.program = "/bin/sh";
  spec.args = {"-c", "cmake --install \"$0\" --prefix \"$1\"", buildDir, dir.Path()};
  spec.timeoutSeconds = 60;
  e2e::RunResult r = e2e::RunProgram(spec);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  for (const char* file : {"bin/korvalin", "bin/korvalin.hlp", "bin/korvalin.cfg", "bin/korvalin-csv", "bin/korvalin-plot",
                           "bin/korvalin-cv", "share/man/man1/korvalin.1"})
    EXPECT_TRUE(e2e::FileExists(dir / file)) << file;
  // The installed program finds its help and configuration files beside itself.
  spec = e2e::RunSpec();
  spec.program = dir / "bin/korvalin";
  spec.input = "help exit\n";
  spec.env["KVLPATH"] = std::nullopt;
  r = e2e::RunProgram(spec);
  EXPECT_NE(r.out.find("Ends the program."), std::string::npos) << r.out << r.err;
  EXPECT_EQ(r.out.find("[Warning]"), std::string::npos) << r.out;
}

TEST(Demo, TrainsTestsAndShowsTheIrisRules) {
  e2e::TempDir dir;
  e2e::RunSpec spec;
  spec.program = "/bin/sh";
  spec.args = {std::string(KORVALIN_SOURCE_DIR) + "/examples/demo.sh", dir / "run"};
  spec.env["KORVALIN"] = std::string(KORVALIN_BIN);
  spec.timeoutSeconds = 120;
  e2e::RunResult r = e2e::RunProgram(spec);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("[Test results]\n Misclassified patterns: "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("#Rule 1:\nIF   sepal_length IS "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[Confusion]\n"), std::string::npos) << r.out;
  for (const char* file :
       {"iris.net", "iris-created.net", "iris.rul", "iris.res", "iris.err", "iris.log", "iris.csv"})
    EXPECT_TRUE(e2e::FileExists(dir / "run/" + file)) << file;
  if (HaveGnuplot()) {
    EXPECT_TRUE(IsPng(dir / "run/iris-error.png"));
    EXPECT_TRUE(IsPng(dir / "run/iris-fuzzy.png"));
  }
}

TEST(CrossValidation, ReportsEveryFoldAndTheMean) {
  e2e::TempDir dir;
  std::vector<std::string> args = {"-k", "3", "-r", "6", "-s", "FSetsPerVariable=3", "-s",
                                   "Learning_Rules=BestPerClass", "-s", "MaxEpoch=5", "--keep", dir / "cv",
                                   std::string(KORVALIN_SOURCE_DIR) + "/examples/iris.pat"};
  e2e::RunResult first = RunTool("korvalin-cv", args);
  ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
  EXPECT_EQ(first.out.rfind("3-fold cross-validation of iris.pat (seed 1)\n", 0), 0u) << first.out;
  // Stratified: each fold holds 50 of the 150 patterns.
  for (const char* fold : {"\n    1     100     50 ", "\n    2     100     50 ", "\n    3     100     50 "})
    EXPECT_NE(first.out.find(fold), std::string::npos) << fold << "\n" << first.out;
  EXPECT_NE(first.out.find("\nTest misclassification rate: "), std::string::npos) << first.out;
  EXPECT_NE(first.out.find("\nNumber of rules            : "), std::string::npos) << first.out;
  EXPECT_TRUE(e2e::FileExists(dir / "cv/fold-2.rul"));

  // The same seed gives the same figures; without --keep nothing is left behind.
  args.erase(args.begin() + 10, args.begin() + 12);
  e2e::RunResult again = RunTool("korvalin-cv", args);
  EXPECT_EQ(again.out, first.out.substr(0, first.out.rfind("The folds and their files are in")));

  std::string unlabelled = dir.Write("x.pat", "DIMENSIONS\n1 2\nNOCLASS\nPATTERNS\n2\n1\n2\nEND\n");
  e2e::RunResult r = RunTool("korvalin-cv", {unlabelled});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("the patterns have no classes to split by"), std::string::npos) << r.err;
}

TEST(CrossValidation, GridChoosesBySettingInsideEachTrainingPart) {
  const std::string iris = std::string(KORVALIN_SOURCE_DIR) + "/examples/iris.pat";
  std::vector<std::string> args = {"-k", "3", "-i", "2", "-r", "9", "-s", "Learning_Rules=BestPerClass",
                                   "-g", "epochs=0,3", "-g", "prune=no,yes", "-j", "2", iris};
  e2e::RunResult r = RunTool("korvalin-cv", args);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.out.rfind("3-fold cross-validation of iris.pat (seed 1), 4 settings; inside each training part "
                        "2-fold cross-validation chooses one\nsetting ",
                        0),
            0u)
      << r.out;
  for (const char* row : {"\nepochs=0 prune=no ", "\nepochs=0 prune=yes ", "\nepochs=3 prune=no ",
                          "\nepochs=3 prune=yes ", "\nnested selection ", "\nChosen per fold: 1:"})
    EXPECT_NE(r.out.find(row), std::string::npos) << row << "\n" << r.out;
  // One process at a time gives the same figures; only the seconds (the
  // last 15 characters of the table's lines) differ.
  auto figures = [](const std::string& out) {
    std::istringstream in(out);
    std::string line, kept;
    for (int n = 0; std::getline(in, line); n++)
      kept += (n > 0 && line.rfind("Chosen", 0) != 0 ? line.substr(0, line.size() - 15) : line) + "\n";
    return kept;
  };
  args[args.size() - 2] = "1";
  EXPECT_EQ(figures(RunTool("korvalin-cv", args).out), figures(r.out));

  r = RunTool("korvalin-cv", {"-g", "Sets=3", iris});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("korvalin-cv: Setting Parameter Sets to 3 failed."), std::string::npos) << r.err;
}
