// The run command in batch mode: learning in the foreground with its stop
// criteria, status lines and error curve, and testing with its result file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_nets.h"
#include "e2e_util.h"

using namespace e2e;

namespace {

struct CurveLine {
  int epoch;
  double error;
  int misclassified;
  double percent;
};

// Data lines of an error curve file. Each must have exactly the widths of
// "%5i \t %8.3f \t %5i \t %5.2f \n", which a plotting program may rely on.
std::vector<CurveLine> ReadCurve(const std::string& text, int patterns) {
  std::vector<CurveLine> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    CurveLine c{};
    EXPECT_EQ(std::sscanf(line.c_str(), "%d \t %lf \t %d \t %lf", &c.epoch, &c.error, &c.misclassified, &c.percent),
              4)
        << line;
    char again[200];
    std::snprintf(again, sizeof again, "%5i \t %8.3f \t %5i \t %5.2f ", c.epoch, c.error, c.misclassified,
                  c.misclassified * 100.0 / patterns);
    EXPECT_EQ(line, again);
    lines.push_back(c);
  }
  return lines;
}

// What each " Starting the learning process." began, up to the next one.
std::vector<std::string> LearningRuns(const std::string& out) {
  std::vector<std::string> runs;
  const std::string start = " Starting the learning process.";
  for (std::size_t at = out.find(start); at != std::string::npos;) {
    std::size_t next = out.find(start, at + 1);
    runs.push_back(out.substr(at, next == std::string::npos ? std::string::npos : next - at));
    at = next;
  }
  return runs;
}

// Short status lines of a learning run, in order.
std::vector<std::string> StatusLines(const std::string& run) {
  std::vector<std::string> lines;
  std::istringstream in(run);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(" Epoch: ", 0) == 0) lines.push_back(line);
  return lines;
}

class RunBatch : public ::testing::Test {
 protected:
  TempDir Dir;

  void SetUp() override {
    Dir.Write("iris.pat", IrisPatterns());
    Dir.Write("iris.net", NetworkText(IrisNet()));
  }

  RunResult Batch(const std::string& commands, std::vector<std::string> options = {}, bool terminal = false) {
    RunSpec spec;
    spec.args = options;
    spec.args.push_back(Dir.Write("commands", commands));
    spec.cwd = Dir.Path();
    spec.env["KVLPATH"] = Dir.Path();
    Dir.Write("korvalin.cfg", "Update_Cycle = 0\n");
    return terminal ? RunOnTerminal(spec) : RunProgram(spec);
  }
};

// Learning without stop criteria but the epoch limit, from the same network.
const char* const Unbounded =
    "load pattern iris.pat\n"
    "set Stop_At_Misclassified = -1\n"
    "set Stop_At_Percent = -1\n";

TEST_F(RunBatch, UpdateCyclesAndTheErrorCurve) {
  RunResult r = Batch(std::string(Unbounded) +
                      "load net iris.net\nset MaxEpoch = 30\nset Update_Cycle = 5\nrun learning\n"
                      "! cp iris.err curve30\n"
                      "load net iris.net\nset MaxEpoch = 3\nset Update_Cycle = 1\nrun learning\n"
                      "load net iris.net\nset MaxEpoch = 1\nset Update_Cycle = 0\nrun learning\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::vector<CurveLine> curve = ReadCurve(ReadFile(Dir / "curve30"), 150);
  ASSERT_EQ(curve.size(), 30u);
  for (int e = 1; e <= 30; e++) EXPECT_EQ(curve[static_cast<std::size_t>(e - 1)].epoch, e);

  std::vector<std::string> runs = LearningRuns(r.out);
  ASSERT_EQ(runs.size(), 3u) << r.out;
  // Cycle 5: epochs 1, 5, 10, ... with the figures of those epochs.
  std::vector<std::string> status = StatusLines(runs[0]);
  std::vector<int> expected = {1, 5, 10, 15, 20, 25, 30};
  ASSERT_EQ(status.size(), expected.size() + 1) << runs[0];
  for (std::size_t i = 0; i < expected.size(); i++) {
    const CurveLine& c = curve[static_cast<std::size_t>(expected[i] - 1)];
    int epoch = 0, misclassified = 0;
    double error = 0, percent = 0;
    ASSERT_EQ(std::sscanf(status[i].c_str(), " Epoch: %d, total error: %lf, %d(%lf%%) misclassifications.", &epoch,
                          &error, &misclassified, &percent),
              4)
        << status[i];
    EXPECT_EQ(epoch, c.epoch);
    EXPECT_EQ(misclassified, c.misclassified);
    EXPECT_NEAR(error, c.error, 0.0051);
    char line[200];
    std::snprintf(line, sizeof line, " Epoch: %4i, total error: %6.2f, %4i(%4.2f%%) misclassifications.", epoch,
                  error, misclassified, c.misclassified * 100.0 / 150);
    EXPECT_EQ(status[i], line);
  }
  // The final block repeats the last epoch's figures.
  EXPECT_NE(runs[0].find("[Learning results]\n" + status[expected.size() - 1] + "\n"), std::string::npos) << runs[0];
  EXPECT_EQ(StatusLines(runs[1]).size(), 4u);  // epochs 1, 2, 3 and the results
  EXPECT_EQ(StatusLines(runs[2]).size(), 1u);  // the results only
  EXPECT_NE(runs[2].find("[Learning results]\n Epoch:    1,"), std::string::npos) << runs[2];

  // The last run rewrote the curve: one epoch, the same as the first run's first.
  std::vector<CurveLine> last = ReadCurve(ReadFile(Dir / "iris.err"), 150);
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0].misclassified, curve[0].misclassified);
  EXPECT_EQ(ReadFile(Dir / "iris.err").rfind("#\n# KORVALIN 1.0 error file\n", 0), 0u);
  // Output redirected: no "Net was trained" message.
  EXPECT_EQ(r.out.find("Net was trained"), std::string::npos);
}

TEST_F(RunBatch, StopCriteriaEndAtTheFirstEpochThatMeetsThem) {
  RunResult probe =
      Batch(std::string(Unbounded) + "load net iris.net\nset MaxEpoch = 30\nrun learning\n");
  ASSERT_EQ(probe.exitCode, 0) << probe.err;
  std::vector<CurveLine> curve = ReadCurve(ReadFile(Dir / "iris.err"), 150);
  ASSERT_EQ(curve.size(), 30u);
  // The first epoch after the first that improves on all before it.
  std::size_t target = 0;
  int best = curve[0].misclassified;
  for (std::size_t i = 1; i < curve.size() && target == 0; i++) {
    if (curve[i].misclassified < best) target = i;
    best = std::min(best, curve[i].misclassified);
  }
  ASSERT_GT(target, 0u) << "learning never improves; the data of this test needs changing";
  const CurveLine& stop = curve[target];

  char percent[32];
  std::snprintf(percent, sizeof percent, "%.4f", stop.misclassified * 100.0 / 150);
  RunResult r = Batch(std::string(Unbounded) + "set MaxEpoch = 30\n" +
                      "load net iris.net\nset Stop_At_Misclassified = " + std::to_string(stop.misclassified) +
                      "\nrun learning\n! cp iris.err misclassified\n" +
                      "load net iris.net\nset Stop_At_Misclassified = -1\nset Stop_At_Percent = " + percent +
                      "\nrun learning\n! cp iris.err percent\n" +
                      "load net iris.net\nset Stop_At_Percent = -1\nset MaxEpoch = 1\nrun learning\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* file : {"misclassified", "percent"}) {
    std::vector<CurveLine> got = ReadCurve(ReadFile(Dir / file), 150);
    ASSERT_EQ(got.size(), target + 1) << file;
    for (std::size_t i = 0; i <= target; i++) EXPECT_EQ(got[i].misclassified, curve[i].misclassified) << file;
  }
  EXPECT_EQ(ReadCurve(ReadFile(Dir / "iris.err"), 150).size(), 1u);
}

TEST_F(RunBatch, TrainedMessageOnlyAtATerminal) {
  RunResult r = Batch("load pattern iris.pat\nload net iris.net\nset MaxEpoch = 2\nset Stop_At_Misclassified = -1\n"
                      "set Stop_At_Percent = -1\nrun learning\n",
                      {}, true);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::regex_search(r.out, std::regex("\n\n Net was trained for 2 epochs.\r?\n Execution time: \\d+ s \r?\n\r?\n"
                                                  "\\[Learning results\\]\r?\n Epoch:    2,")))
      << r.out;
}

TEST_F(RunBatch, TestWritesResultsAndSummary) {
  RunResult r = Batch("load pattern iris.pat\nload net iris.net\nrun test\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::string res = ReadFile(Dir / "iris.res");
  EXPECT_EQ(res.rfind("#\n# KORVALIN 1.0 test result file\n#\n# Pattern tested: " + Dir / "iris.pat" +
                          "\n# Network used  : " + Dir / "iris.net" + "\n#\n",
                      0),
            0u)
      << res;
  const std::regex block("\n# Pattern \\d+:\n");
  std::ptrdiff_t blocks = std::distance(std::sregex_iterator(res.begin(), res.end(), block), std::sregex_iterator());
  EXPECT_EQ(blocks, 150);
  EXPECT_NE(res.find("# Pattern 150:\n\tOutput: "), std::string::npos);
  EXPECT_NE(res.find("\tTarget: 0\t0\t1\t\n\tPattern error : "), std::string::npos);

  // The same summary on the screen and at the end of the file.
  std::size_t at = r.out.find(" Propagating patterns...\n\n[Test results]\n");
  ASSERT_NE(at, std::string::npos) << r.out;
  std::string summary = r.out.substr(r.out.find("[Test results]", at));
  summary = summary.substr(0, summary.find("[Information]"));
  EXPECT_TRUE(std::regex_match(summary, std::regex("\\[Test results\\]\n Misclassified patterns: \\d+\\(\\d+\\.\\d\\d%\\)\n"
                                                   " Total error           : \\d+\\.\\d{3}\n"
                                                   " Mean error            : \\d+\\.\\d{3}\n")))
      << summary;
  EXPECT_EQ(res.substr(res.size() - summary.size() - 1), summary + "\n");
  EXPECT_NE(r.out.find(Framed("Information", " \n See ./iris.res for detailed test results.")), std::string::npos)
      << r.out;

  // Pipe mode names the file in the summary instead.
  RunResult piped = Batch("load pattern iris.pat\nload net iris.net\nrun test\n", {"-p"});
  EXPECT_NE(piped.out.find(summary + " Result file           : ./iris.res\n"), std::string::npos) << piped.out;
  EXPECT_EQ(piped.out.find(" See "), std::string::npos);
}

TEST_F(RunBatch, PatternsWithoutClassesAreTestedButNotLearnt) {
  Dir.Write("plain.pat", IrisPatternsWithoutClasses());
  RunResult r = Batch("load pattern plain.pat\nload net iris.net\nrun learning\nrun test\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find(Framed("Error", "Can't execute 'run learning': pattern set contains no class information. ")),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("Starting the learning"), std::string::npos);
  std::string res = ReadFile(Dir / "iris.res");
  EXPECT_NE(res.find("# Pattern 1:\n\tOutput: "), std::string::npos) << res;
  EXPECT_NE(res.find("\t\n\tComputed class: "), std::string::npos);
  EXPECT_EQ(res.find("Target"), std::string::npos);
  EXPECT_EQ(res.find("Classification"), std::string::npos);
  EXPECT_NE(r.out.find(" Misclassified patterns: 0(0.00%)\n Total error           : 0.000\n"), std::string::npos);
}

TEST_F(RunBatch, UnwritableResultFileStillGivesTheSummary) {
  Dir.MakeDir("iris.res");
  RunResult r = Batch("load pattern iris.pat\nload net iris.net\nrun test\n", {"-p"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::size_t error = r.out.find(Framed("Error", "Can't create '" + Dir / "iris.res" + "' (Is a directory)."));
  std::size_t summary = r.out.find("[Test results]\n Misclassified patterns: ");
  ASSERT_NE(error, std::string::npos) << r.out;
  ASSERT_NE(summary, std::string::npos) << r.out;
  EXPECT_LT(error, summary);
  // No file was written, so none is named.
  EXPECT_EQ(r.out.find("Result file"), std::string::npos) << r.out;
}

TEST_F(RunBatch, MissingPiecesAndDimensionMismatches) {
  NetSpec wrongInputs = IrisNet();
  wrongInputs.ranges.pop_back();
  for (NetRule& rule : wrongInputs.rules) rule.sets.pop_back();
  Dir.Write("three.net", NetworkText(wrongInputs));
  NetSpec wrongClasses = IrisNet();
  wrongClasses.classes = 4;
  Dir.Write("fourclasses.net", NetworkText(wrongClasses));

  auto error = [](const std::string& text) { return Framed("Error", "Can't execute 'run': " + text); };
  RunResult r = Batch("run test\nload net iris.net\nrun learning\nload pattern iris.pat\nload net three.net\n"
                      "run test\nload net fourclasses.net\nrun learning\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::size_t at = 0;
  for (const std::string& text : {error("No pattern file loaded and no net defined."), error("No pattern file loaded."),
                                  error("pattern and net have incompatible dimensions."),
                                  error("pattern and net have incompatible dimensions.")}) {
    at = r.out.find(text, at);
    ASSERT_NE(at, std::string::npos) << text << "\nin\n" << r.out;
    at += text.size();
  }
  EXPECT_FALSE(FileExists(Dir / "three.res"));
  EXPECT_FALSE(FileExists(Dir / "fourclasses.err"));

  RunResult noNet = Batch("load pattern iris.pat\nrun learning\n");
  EXPECT_NE(noNet.out.find(error("No net defined.")), std::string::npos) << noNet.out;
}

}  // namespace
