// Pattern files: classes from class vectors, and ranges of features without
// a value.
#include <gtest/gtest.h>

#include "fuzzynet_test_util.h"

TEST(PatternFile, ClassesRangesAndMissingFeatures) {
  // The first largest entry of a class vector is the class.
  auto t = LoadTask("DIMENSIONS\n2 3\nPATTERNS\n4\n1 1  0 1 0\n2 2  1 0 1\n3 3  0 0 0\n4 4 -5 -2 -3\nEND\n");
  const int expected[] = {2, 1, 1, 2};
  for (int p = 1; p <= 4; p++) EXPECT_EQ(t->Patterns[p].Class, expected[p - 1]) << p;
  EXPECT_EQ(t->ClassCount[2], 2);
  // NOCLASS applies to the PATTERNS read after it, which replace the first.
  t = LoadTask("DIMENSIONS\n2 3\nPATTERNS\n1\n9 9 1 0 0\nNOCLASS\nPATTERNS\n2\n1 2\n3 4\nEND\n");
  EXPECT_EQ(t->Patterns[2].Class, -1);
  EXPECT_EQ(t->ClassCount[1], 0);
  // Without classes the set counts as unclassified, so nothing indexes by class.
  t = LoadTask("DIMENSIONS\n2 0\nPATTERNS\n1\n1 2\nEND\n");
  EXPECT_EQ(t->ClassInfo, False);
  // A feature without any value gets its given range in order, or [0, 0].
  t = LoadTask("DIMENSIONS\n2 1\nINRANGES\n5 2\n7 6\nPATTERNS\n1\n1.4e-45 1.4e-45 1\nEND\n");
  EXPECT_TRUE(t->Bounds[1].Lower == 2.0f && t->Bounds[1].Upper == 5.0f);
  t = LoadTask("DIMENSIONS\n1 1\nPATTERNS\n1\n1.4e-45 1\nEND\n");
  EXPECT_TRUE(t->Bounds[1].Lower == 0.0f && t->Bounds[1].Upper == 0.0f);
}

