#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "app.h"
#include "fuzzynet.h"

namespace {

// `count` patterns of two inputs and two classes, alternating classes.
std::unique_ptr<TLearningTask> MakeTask(int count) {
  std::ostringstream text;
  text << "DIMENSIONS\n2 2\n";
  if (count > 0) {
    text << "PATTERNS\n" << count << "\n";
    for (int p = 0; p < count; p++) text << (p % 2 ? "8 9 0 1\n" : "1 2 1 0\n");
  }
  text << "END\n";
  std::istringstream in(text.str());
  TLoadStatus status = LoadOk;
  std::ostringstream messages;
  auto task = std::make_unique<TLearningTask>(in, status, messages);
  EXPECT_EQ(status, LoadOk);
  return task;
}

class StatusListing : public ::testing::Test {
 protected:
  std::unique_ptr<TApplication> App;

  void SetUp() override {
    setenv("KVLPATH", "/nonexistent-korvalin-dir", 1);
    const char* args[] = {"korvalin"};
    App = std::make_unique<TApplication>(1, args);
    unsetenv("KVLPATH");
    App->Task = MakeTask(150);
    int notCreated = 0;
    std::ostringstream log;
    App->Net.reset(new TFuzzyPerceptron(*App->Task, 10, Simple, TVector<int>(2, 3), WeightedSum, notCreated, log));
    App->NetFileName = "/x/a.net";
    App->Epoch = 10;
    App->Misclassified = 3;
    App->TotalError = 12.5f;
  }
};

}  // namespace

TEST_F(StatusListing, ShortAndLongLearningStatus) {
  std::ostringstream shortForm, longForm;
  App->PrintLearningStatus(shortForm, nullptr, False);
  App->PrintLearningStatus(longForm, "[Learning status]", True);
  EXPECT_EQ(shortForm.str(), " Epoch:   10, total error:  12.50,    3(2.00%) misclassifications.\n");
  EXPECT_EQ(longForm.str(),
            "[Learning status]\nEpoch                 : 10\n Misclassified patterns: 3(2.00%)\n"
            " Total error           : 12.500\n Mean error            : 0.083\n\n");
}

TEST_F(StatusListing, LongStatusInPipeModeAddsThePartitions) {
  App->PipeMode = True;
  std::ostringstream out, fuzzy;
  App->PrintLearningStatus(out, nullptr, True);
  App->Net->PrintPartitions(fuzzy, "[Fuzzy]");
  ASSERT_GT(out.str().size(), fuzzy.str().size());
  EXPECT_EQ(out.str().substr(out.str().size() - fuzzy.str().size()), fuzzy.str());
}

TEST_F(StatusListing, TestResultsAndNetInfo) {
  std::ostringstream results, info;
  App->PrintTestResults(results, "[Test results]", "./a.res");
  App->PrintNetInfo(info, "[Netinfo]");
  EXPECT_EQ(results.str(),
            "[Test results]\n Misclassified patterns: 3(2.00%)\n Total error           : 12.500\n"
            " Mean error            : 0.083\n Result file           : ./a.res\n");
  EXPECT_EQ(info.str(), "[Netinfo]\nNet loaded from       : /x/a.net\nNumber of input units : 2\n"
                        "Number of rule units  : " + std::to_string(App->Net->NumberOfRules) +
                        "\nNumber of output units: 2\n");
}

TEST_F(StatusListing, NoPatternsGiveNoDivisionByZero) {
  App->Task = MakeTask(0);
  App->Misclassified = 0;
  App->TotalError = 0.0f;
  std::ostringstream status, results;
  App->PrintLearningStatus(status, "[Learning status]", True);
  App->PrintTestResults(results, nullptr, nullptr);
  EXPECT_EQ(status.str(), "");
  EXPECT_EQ(results.str(), " Misclassified patterns: 0(0.00%)\n Total error           : 0.000\n"
                           " Mean error            : 0.000\n");
  App->Net.reset();
  App->PrintNetInfo(status, "[Netinfo]");
  App->PrintTestResults(status, "[Test results]", nullptr);
  EXPECT_EQ(status.str(), "");
}

TEST_F(StatusListing, ResultAndErrorFileHeaders) {
  App->PatternFileName = "/d/iris.pat";
  std::ostringstream result, error;
  App->WriteResultHeader(result);
  App->WriteErrorHeader(error);
  EXPECT_EQ(result.str(), "#\n# KORVALIN 1.0 test result file\n#\n# Pattern tested: /d/iris.pat\n"
                          "# Network used  : /x/a.net\n#\n");
  EXPECT_EQ(error.str(),
            "#\n# KORVALIN 1.0 error file\n#\n# Network trained : /x/a.net\n# Pattern used    : /d/iris.pat\n#\n"
            "# This file contains the error values and number of misclassifications \n"
            "# the network above made while be trained with the specified pattern.\n"
            "# To draw the error curve, use GNUPLOT for example.\n#\n# Format of each line: \n"
            "#   <number of epoch> <total error> <number of misclass.> <misclass. in percent>\n#\n");
}
