#include "result_file.h"

#include <gtest/gtest.h>

#include "../model/fuzzynet_test_util.h"

namespace {

TEST(ResultFile, VerdictsAddUpToTheMisclassifiedCount) {
  // Rules "small -> 1" and "medium -> 2"; every pattern of class 1: decided
  // for it, decided against it, a tie, no rule fired.
  auto net = NetFromText(
      "PARAMETERS\n1 2 2 2\nFUZZY\n3\n0 4\n0 1 2 1 0  small\n1 2 3 0 0  medium\n2 3 4 0 1  large\n"
      "MATRIX\n1 2\nWEIGHTS\n1 1\n2 1\nEND\n");
  auto task = LoadTask("DIMENSIONS\n1 2\nPATTERNS\n4\n0.5 1 0\n2.5 1 0\n1.5 1 0\n3.5 1 0\nEND\n");
  std::ostringstream file;
  const TTestTotals totals =
      TestNet(*net, *task, [&](int p, const TOutcome& o) { WriteTestRecord(file, *task, *net, p, o); });
  EXPECT_EQ(totals.Misclassified, 3);
  EXPECT_EQ(totals.Undecided, 2);
  EXPECT_EQ(file.str(),
            "# Pattern 1:\n\tOutput: 1\t0\t\n\tTarget: 1\t0\t\n\tPattern error : 0\n"
            "\tComputed class: Class_1 (Class 1)\n\tClassification: correct\n\n"
            "# Pattern 2:\n\tOutput: 0\t0.5\t\n\tTarget: 1\t0\t\n\tPattern error : 1.25\n"
            "\tComputed class: Class_2 (Class 2)\n\tClassification: false\n\n"
            "# Pattern 3:\n\tOutput: 0.5\t0.5\t\n\tTarget: 1\t0\t\n\tPattern error : 0.5\n"
            "\tComputed class: undecided (tie between Class_1 and Class_2)\n\tClassification: undecided\n\n"
            "# Pattern 4:\n\tOutput: 0\t0\t\n\tTarget: 1\t0\t\n\tPattern error : 1\n"
            "\tComputed class: undecided (no rule fired)\n\tClassification: undecided\n\n");
}

}  // namespace
