// Pattern files: classes from class vectors, ranges of features without a
// value, and numbers read exactly.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "lrntask.h"
#include "numread.h"

namespace {

std::unique_ptr<TLearningTask> Load(const std::string& text) {
  std::istringstream in(text);
  TLoadStatus status = LoadOk;
  std::ostringstream messages;
  auto task = std::make_unique<TLearningTask>(in, status, messages);
  EXPECT_TRUE(in.good() && status == LoadOk) << messages.str();
  return task;
}

}  // namespace

TEST(PatternFile, ClassesRangesAndMissingFeatures) {
  // The first largest entry of a class vector is the class.
  auto t = Load("DIMENSIONS\n2 3\nPATTERNS\n4\n1 1  0 1 0\n2 2  1 0 1\n3 3  0 0 0\n4 4 -5 -2 -3\nEND\n");
  const int expected[] = {2, 1, 1, 2};
  for (int p = 1; p <= 4; p++) EXPECT_EQ(t->Patterns[p].Class, expected[p - 1]) << p;
  EXPECT_EQ(t->ClassCount[2], 2);
  // NOCLASS applies to the PATTERNS read after it, which replace the first.
  t = Load("DIMENSIONS\n2 3\nPATTERNS\n1\n9 9 1 0 0\nNOCLASS\nPATTERNS\n2\n1 2\n3 4\nEND\n");
  EXPECT_EQ(t->Patterns[2].Class, -1);
  EXPECT_EQ(t->ClassCount[1], 0);
  // Without classes the set counts as unclassified, so nothing indexes by class.
  EXPECT_EQ(Load("DIMENSIONS\n2 0\nPATTERNS\n1\n1 2\nEND\n")->ClassInfo, False);
  // A feature without any value gets its given range in order, or [0, 0].
  t = Load("DIMENSIONS\n2 1\nINRANGES\n5 2\n7 6\nPATTERNS\n1\n1.4e-45 1.4e-45 1\nEND\n");
  EXPECT_EQ(t->Bounds[1].Lower, 2.0f);
  EXPECT_EQ(t->Bounds[1].Upper, 5.0f);
  t = Load("DIMENSIONS\n1 1\nPATTERNS\n1\n1.4e-45 1\nEND\n");
  EXPECT_EQ(t->Bounds[1].Lower, 0.0f);
  EXPECT_EQ(t->Bounds[1].Upper, 0.0f);
}

TEST(ReadNumbers, CorrectlyRoundedAndStrict) {
  const std::pair<const char*, unsigned> good[] = {
      {"1.4e-45", 0x00000001u}, {"7.1e-46", 0x00000001u}, {"7e-46", 0x00000000u},
      {"+.5", 0x3f000000u},     {"0.1", 0x3dcccccdu},     {"16777217", 0x4b800000u},
  };
  for (const auto& [text, bits] : good) {
    std::istringstream in(std::string(" \n") + text + " ");
    float v;
    unsigned got;
    EXPECT_TRUE(ReadFloat(in, v) && in.good()) << text;
    std::memcpy(&got, &v, sizeof got);
    EXPECT_EQ(got, bits) << text;
  }
  for (const char* bad : {"1e", "1e+x", "-", ".", "inf", "nan", "-3.5e38", ""}) {
    std::istringstream in(bad);
    float v;
    EXPECT_FALSE(ReadFloat(in, v) || !in.fail()) << bad;
  }
  std::istringstream in("+7 -2147483648 12.5");
  int v;
  EXPECT_TRUE(ReadInt(in, v) && v == 7);
  EXPECT_TRUE(ReadInt(in, v) && v == -2147483647 - 1);
  EXPECT_TRUE(ReadInt(in, v) && v == 12);
  EXPECT_FALSE(ReadInt(in, v));  // ".5"
}
