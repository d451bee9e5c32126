// Hand-made networks through the API: learning steps worked out by hand,
// an empty pattern set, what a network without a readable text form does,
// errors reported and stop requests. (Decisions are compared with the model in the exactness tests.)
#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

#include "fuzzynet_test_util.h"

namespace {

const char* const kThreeSets = "3\n0 4\n0 1 2 1 0  small\n1 2 3 0 0  medium\n2 3 4 0 1  large\n";

// A network whose inputs all carry the partition above: small (0 1 2, left
// shoulder), medium (1 2 3), large (2 3 4, right shoulder); each rule is
// (antecedent, class, weight).
std::string NetText(int inputs, int classes, const std::vector<std::tuple<std::vector<int>, int, float>>& rules,
                    const char* aggregation = "USESUM") {
  std::ostringstream t;
  t << "PARAMETERS\n" << inputs << " " << rules.size() << " " << classes << " 10\n" << aggregation << "\nFUZZY\n";
  for (int i = 0; i < inputs; i++) t << kThreeSets;
  t << "MATRIX\n";
  for (int i = 0; i < inputs; i++) {
    for (auto& r : rules) t << std::get<0>(r)[i] << " ";
    t << "\n";
  }
  t << "WEIGHTS\n";
  for (auto& r : rules) t << std::get<1>(r) << " " << std::get<2>(r) << "\n";
  t << "END\n";
  return t.str();
}

TEST(NetLearn, OneStepWorkedOutByHand) {
  // One rule "IS <set> THEN class 1" and one pattern x = 1.5. In medium:
  // o = 0.5, output 0.5, error 0.25, delta = o*e*w*(1-o); width 2, x < b.
  struct Set {
    float a, b, c;
  };
  const struct {
    int set;
    float weight, sigma, sigmaA, sigmaB, sigmaC;
    TWeightMode mode;
    bool intersect;
    int target;
    float error, newWeight;
    Set sets[3];
  } cases[] = {
      // delta 0.125: db = -0.025, da = -0.05, dc = 0; the neighbours stay.
      {2, 1.0f, 0.1f, 0.1f, 0.1f, 0.1f, Free, false, 1, 0.25f, 1.025f, {{0, 1, 2}, {0.95f, 1.975f, 3}, {2, 3, 4}}},
      // Weight steps of 0.8*0.5*0.5 = 0.2 from 0.95, after the error signal
      // took the old weight: delta 0.11875, db = -0.02375, da = -0.0475.
      {2, 0.95f, 0.8f, 0.1f, 0.1f, 0.1f, Fixed, false, 1, 0.25f, 0.95f, {{0, 1, 2}, {0.9525f, 1.97625f, 3}, {2, 3, 4}}},
      {2, 0.95f, 0.8f, 0.1f, 0.1f, 0.1f, Normalized, false, 1, 0.25f, 1.0f, {{0, 1, 2}, {0.9525f, 1.97625f, 3}, {2, 3, 4}}},
      // Wrong class, x > b in small: da = 0.025 is refused by the left shoulder.
      {1, 1.0f, 0.0f, 0.2f, 0.1f, 0.1f, Fixed, false, 2, 1.25f, 1.0f, {{0, 0.975f, 1.95f}, {1, 2, 3}, {2, 3, 4}}},
      // A huge db would bring b within 0.1 of a, and c within 0.1 of b: both stay.
      {2, 1.0f, 0.0f, 0.1f, 4.0f, 0.1f, Fixed, false, 1, 0.25f, 1.0f, {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}}},
      // The 0.5-intersection moves the neighbours along.
      {2, 1.0f, 0.1f, 0.1f, 0.1f, 0.1f, Fixed, true, 1, 0.25f, 1.0f, {{0, 0.95f, 1.975f}, {0.95f, 1.975f, 3}, {1.975f, 3, 4}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "set " << c.set << " weight " << c.weight << " mode " << c.mode);
    auto net = NetFromText(NetText(1, 2, {{{c.set}, 1, c.weight}}));
    auto task = LoadTask(std::string("DIMENSIONS\n1 2\nPATTERNS\n1\n1.5 ") + (c.target == 1 ? "1 0" : "0 1") + "\nEND\n");
    TNetSettings s;
    std::tie(s.Sigma, s.SigmaA, s.SigmaB, s.SigmaC, s.Weights, s.FsIntersect) =
        std::make_tuple(c.sigma, c.sigmaA, c.sigmaB, c.sigmaC, c.mode, c.intersect);
    float error = 0.0f;
    EXPECT_EQ(LearnEpoch(*net, *task, s, error), c.target == 1 ? 0 : 1);
    EXPECT_FLOAT_EQ(error, c.error);
    EXPECT_FLOAT_EQ(TNetAccess::Weight(*net, 1), c.newWeight);
    for (int i = 1; i <= 3; i++) {
      const TFuzzySet& set = TNetAccess::Partition(*net, 1).Sets[i];
      EXPECT_FLOAT_EQ(set.a, c.sets[i - 1].a) << i;
      EXPECT_FLOAT_EQ(set.b, c.sets[i - 1].b) << i;
      EXPECT_FLOAT_EQ(set.c, c.sets[i - 1].c) << i;
    }
  }
}

TEST(NetCreate, AnEmptyPatternSet) {
  auto empty = LoadTask("DIMENSIONS\n2 2\nINRANGES\n0 4\n0 4\nPATTERNS\n0\nEND\n");
  std::string log;
  auto net = Create(*empty, Settings(Best, 10, 3), &log);
  EXPECT_EQ(net->NumberOfRules(), 0);
  EXPECT_NE(log.find("# Rules created : 0\n# Rules wanted  : 0\n# Selected rules: all\n"), std::string::npos);
  EXPECT_EQ(TestNet(*net, *empty).Misclassified, 0);
  std::ostringstream out;
  EXPECT_FALSE(WriteNet(out, *net));
  EXPECT_EQ(out.str(), "");
}

const std::string kSmall = ReadText(std::string(KORVALIN_TEST_DATA) + "/small.net");

TEST(NetFile, NetworksThatWouldNotReadBackAreNeverWritten) {
  auto unwritten = [](const TFuzzyPerceptron& net) {
    std::ostringstream out;
    return !WriteNet(out, net) && out.fail() && out.str().empty();
  };
  auto weight = NetFromText(kSmall);
  TNetAccess::SetWeight(*weight, 3, std::numeric_limits<float>::infinity());
  EXPECT_TRUE(unwritten(*weight));
  auto set = NetFromText(kSmall);
  TFuzzySet nan = TNetAccess::Partition(*set, 2).Sets[3];
  nan.c = std::numeric_limits<float>::quiet_NaN();
  TNetAccess::SetFuzzySet(*set, 2, 3, nan);
  EXPECT_TRUE(unwritten(*set));
}

// Learning over a range a few float steps wide crosses sets, and a
// partition may hold a single set; the reader takes them, as it takes every
// network the program writes.
TEST(NetFile, LearntCrossedSetsAndSingleSetsReadBack) {
  const float rows[] = {1e6f, 1e6f + 0.0625f, 1e6f + 0.125f, 1e6f, 1e6f + 0.0625f, 1e6f + 0.125f};
  const int classes[] = {1, 1, 1, 2, 2, 2};
  auto task = MakeTask(rows, 6, 1, classes, 2, {}, {});
  TNetSettings settings;
  settings.FsIntersect = true;
  auto net = Create(*task, settings);
  float error;
  LearnEpoch(*net, *task, settings, error);
  const TFuzzySet& medium = TNetAccess::Partition(*net, 1).Sets[2];
  EXPECT_GT(medium.b, medium.c);
  EXPECT_EQ(TextOf(*NetFromText(TextOf(*net))), TextOf(*net));
  // No sets asked for: every input gets one set, don't care.
  settings.FSetsPerVariable = 0;
  auto single = Create(*task, settings);
  EXPECT_EQ(TextOf(*NetFromText(TextOf(*single))), TextOf(*single));
}

// small.net with its first `from` replaced by `to` disagrees with its
// dimensions or holds a value the model cannot use: refused with `message`.
TEST(NetFile, TextsThatDisagreeWithTheirDimensionsAreRefused) {
  const char* const cases[][3] = {
      {"2\t3\t2\t5", "2\t4\t2\t5", "Connection matrix row 1 holds 3 values, 4 expected (one per rule)!"},
      {"2\t3\t2\t5", "1\t3\t2\t5", "Variable name section goes on after its 3 names (one per input and class)!"},
      {"2\n0.000000", "2 9\n0.000000", "input 1: the set count line holds 2 values, 1 expected (the number of sets)!"},
      {"0.000000\t10.000000\n", "0.000000\n", "input 1: the range line holds 1 value, 2 expected (lower and upper bound)!"},
      {"2\n0.000000", "3\n0.000000", "input 1: set 3 holds 1 value, 5 expected (a, b, c and two shoulder flags)!"},
      {"3\n0.000000", "2\n0.000000", "Fuzzy set section goes on after its 2 partitions (one per input)!"},
      {"3\n0.000000", "4\n0.000000", "Fuzzy partition of input 2 holds 3 sets, 4 expected (its set count)!"},
      {"3\n0.000000", "MATRIX\n0.000000", "Fuzzy set section holds 1 partition, 2 expected (one per input)!"},
      {"0 0  medium", "0 2  medium", "input 2: set 2 has the shoulder flag 2, 0 or 1 expected!"},
      {"1\t3\t2\t\n", "", "Connection matrix holds 1 row, 2 expected (one per input)!"},
      {"1\t2\t0\t", "1\t2\t-1", "Rule 3 uses fuzzy set -1 of input 1, which does not exist!"},
      {"2   0.750000", "2", "Conclusion weight line 2 holds 1 value, 2 expected (class and weight)!"},
      {"1.000000\n\nEND", "1.0\n2 1.0\nEND", "Conclusion weight section goes on after its 3 lines (one per rule)!"},
  };
  for (const auto& [from, to, message] : cases) {
    std::string text = kSmall;
    std::istringstream in(text.replace(text.find(from), std::strlen(from), to));
    TLoadStatus status;
    std::ostringstream messages;
    EXPECT_TRUE(ReadNet(in, status, messages) == nullptr && status == LoadError) << to;
    EXPECT_NE(messages.str().find(message), std::string::npos) << messages.str();
  }
}

}  // namespace

// What the library cannot do it reports instead of ending the process, and
// a stop request ends creation, learning and pruning early (here at their
// first look at it); stopped pruning leaves the network as it was.
TEST(NetErrors, ReportedAndStopRequestsHonoured) {
  const float row = 1.0f;
  const int cls = 1;
  TCreateReport report;
  std::ostringstream log;
  EXPECT_EQ(CreateNet(*MakeTask(&row, 1, 0, &cls, 1, {}, {}), TNetSettings(), log, report), nullptr);
  EXPECT_EQ(report.Error, "the pattern set has no inputs");
  TNetSettings bad;
  bad.Sigma = std::numeric_limits<float>::quiet_NaN();
  EXPECT_STREQ(CheckSettings(bad), "invalid value of sigma");
  EXPECT_EQ(CheckSettings(TNetSettings()), nullptr);
  EXPECT_THROW(TVector<float>(0, 0.0f), TMathError);

  auto task = LoadTask(ReadText(std::string(KORVALIN_TEST_DATA) + "/iris.pat"));
  const TStopRequest stop = [] { return true; };
  EXPECT_EQ(CreateNet(*task, Settings(Simple, 0, 3), log, report, {}, stop), nullptr);
  EXPECT_TRUE(report.Stopped);
  auto net = Create(*task, Settings(Simple, 0, 3));
  const std::string text = TextOf(*net);
  TPruneReport pruned = Prune(*net, *task, TPruneOptions(), {}, stop);
  EXPECT_TRUE(pruned.Stopped && !pruned.Error.empty());
  EXPECT_EQ(TextOf(*net), text);
  struct : TLearnObserver {
    bool StopRequested() override { return true; }
  } stopping;
  const TEpochStatus status = Learn(*net, *task, TNetSettings(), stopping);
  EXPECT_TRUE(status.Stopped);
  EXPECT_EQ(status.Epoch, 0);
}
