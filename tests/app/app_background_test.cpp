// Taking in a learning child's report: the status line and the network.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../scratch_dir.h"
#include "app.h"
#include "korvalin.h"

namespace {

class TReportApp : public TApplication {
 public:
  std::vector<std::string> Errors;

  TReportApp() : TApplication(1, Argv) {}
  void PrintMsg(std::ostringstream& msg, TMessageType type) override {
    if (type == Error) Errors.push_back(msg.str());
    msg.str("");
  }
  Boolean Take(const std::string& report) {
    std::istringstream in(report);
    return Background.Take(in);
  }

 private:
  static constexpr const char* Argv[2] = {"korvalin", nullptr};
};

std::string SmallNet() { return ReadText(std::string(KORVALIN_TEST_DATA) + "/small.net"); }

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("KVLPATH", "/nonexistent-korvalin-dir", 1); }
  void TearDown() override { unsetenv("KVLPATH"); }
};

TEST_F(ReportTest, StatusAndNetworkReplaceTheOldOnes) {
  TReportApp app;
  ASSERT_TRUE(app.Take("12\t3\t4.5\n" + SmallNet()));
  EXPECT_EQ(app.Epoch, 12);
  EXPECT_EQ(app.Misclassified, 3);
  EXPECT_EQ(app.TotalError, 4.5f);
  ASSERT_TRUE(app.Net);
  EXPECT_EQ(app.Net->NumberOfRules(), 3);
  EXPECT_TRUE(app.Errors.empty());

  // A diverged run's error still comes back.
  ASSERT_TRUE(app.Take("13\t0\tinf\n" + SmallNet()));
  EXPECT_EQ(app.Epoch, 13);
  EXPECT_TRUE(std::isinf(app.TotalError));
}

TEST_F(ReportTest, UnreadableReportsChangeNothing) {
  TReportApp app;
  ASSERT_TRUE(app.Take("7\t2\t1.25\n" + SmallNet()));
  const TFuzzyPerceptron* kept = app.Net.get();
  std::string net = SmallNet();
  const std::vector<std::string> broken = {
      "seven\t2\t1.0\n" + net,                          // status line
      "8\t1\n" + net,                                   // status line without error
      "8\t1\t0.5\n",                                    // no network at all
      "8\t1\t0.5\n" + net.substr(0, net.find("MATRIX") + 12),  // cut inside the matrix
      "8\t1\t0.5\nVARNAMES\nx\n",                       // no parameters
      "8\t1\t0.5\n" + net.substr(0, net.rfind("END")),  // no end line
  };
  for (const std::string& report : broken) {
    app.Errors.clear();
    EXPECT_FALSE(app.Take(report)) << report;
    EXPECT_EQ(app.Net.get(), kept);
    EXPECT_EQ(app.Epoch, 7);
    EXPECT_EQ(app.Misclassified, 2);
    EXPECT_EQ(app.TotalError, 1.25f);
    EXPECT_EQ(app.Errors.size(), 1u) << report;
  }
}

}  // namespace
