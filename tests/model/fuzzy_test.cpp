#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "fuzzy.h"

namespace {

TPartition Default(float lower, float upper, int count) { return TPartition(TBound{lower, upper}, count); }

std::array<float, 3> Abc(const TFuzzySet& s) { return {s.a, s.b, s.c}; }

std::vector<float> Degrees(const TPartition& p, float x) {
  TVector<float> m = p.GetMembershipVector(x);
  return std::vector<float>(m.Data, m.Data + m.Dimension());
}

}  // namespace

TEST(DefaultPartition, ThreeSetsOverZeroToFour) {
  TPartition p = Default(0, 4, 3);
  ASSERT_EQ(p.NumberOfSets, 3);
  EXPECT_EQ(Abc(p.Sets[1]), (std::array<float, 3>{0, 1, 2}));
  EXPECT_EQ(Abc(p.Sets[2]), (std::array<float, 3>{1, 2, 3}));
  EXPECT_EQ(Abc(p.Sets[3]), (std::array<float, 3>{2, 3, 4}));
  EXPECT_STREQ(p.Sets[2].Name, "medium");
  EXPECT_TRUE(p.Sets[1].LeftShouldered && !p.Sets[1].RightShouldered && p.Sets[3].RightShouldered);
  EXPECT_EQ(Degrees(p, 0.5f), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(Degrees(p, 1.5f), (std::vector<float>{0.5f, 0.5f, 0}));
  EXPECT_EQ(Degrees(p, 4.5f), (std::vector<float>{0, 0, 0}));
  int index = 0;
  EXPECT_EQ(p.MaxMembership(1.5f, index), 0.5f);
  EXPECT_EQ(index, 1);  // a tie at the crossing goes to the lower set
}

TEST(DefaultPartition, CountsAndFloatAccumulation) {
  TPartition one = Default(-1, 3, 0);
  ASSERT_EQ(one.NumberOfSets, 1);
  EXPECT_STREQ(one.Sets[1].Name, "dont_care");
  EXPECT_EQ(Degrees(one, 3.0f), std::vector<float>{1});
  TPartition seven = Default(0, 1, 12);
  ASSERT_EQ(seven.NumberOfSets, 7);
  EXPECT_STREQ(seven.Sets[6].Name, "medium_large");
  EXPECT_STREQ(DefaultFuzzySetName(3, 2), "");

  // 0.7 / 6 is inexact: peaks are running float sums, not lower + i * step.
  TPartition p = Default(0.1f, 0.8f, 5);
  const float step = (0.8f - 0.1f) / 6.0f;
  float peak = 0.1f;
  for (int i = 1; i <= 5; i++) EXPECT_EQ(p.Sets[i].b, peak = peak + step) << i;
  EXPECT_EQ(p.Sets[5].c, 0.8f);
}

TEST(Membership, DegenerateSlopeAtThePeakIsOne) {
  // Over [2, 2] every set has a = b = c; 0/0 must not leak out as NaN.
  EXPECT_EQ(Degrees(Default(2, 2, 3), 2.0f), (std::vector<float>{1, 1, 1}));
}

TEST(Adapt, ShouldersMarginAndRange) {
  TFuzzySet s("s", 0, 1, 2, True, False);
  s.Adapt(-0.5f, 0.0f, 0.5f);
  EXPECT_EQ(Abc(s), (std::array<float, 3>{0, 1, 2.5f}));  // the shoulder pins a

  // The peak move comes within 0.1 of a, so only the feet move.
  TFuzzySet t("t", 0, 1, 2, False, False);
  t.Adapt(0.2f, -0.75f, 0.1f);
  EXPECT_EQ(Abc(t), (std::array<float, 3>{0.2f, 1, 2.1f}));

  // 0.1f + 0.05f is not above 0.25f - 0.1f in float, but is against a double 0.1.
  TFuzzySet m("m", 0.1f, 0.25f, 1.0f, False, False);
  m.Adapt(0.05f, 0.0f, 0.0f);
  EXPECT_EQ(m.a, 0.1f + 0.05f);

  TPartition p = Default(0, 4, 3);
  p.Sets[2].a = 0.5f;
  p.Adapt(2, -0.75f, 0.0f, 1.5f);  // both feet would leave [0, 4]
  EXPECT_EQ(Abc(p.Sets[2]), (std::array<float, 3>{0.5f, 2, 3}));
}

TEST(AdaptConstrained, SideOfInputNeighbourMiddlesAndDrag) {
  TPartition p = Default(0, 5, 4);  // peaks 1, 2, 3, 4
  // Right of set 2's peak: only c moves, at most to 3.5, the middle of
  // set 3's falling slope; sets 1, 3 and 4 follow.
  p.AdaptConstrained(2, 2.5f, -0.5f, 0.0f, 2.0f);
  EXPECT_EQ(Abc(p.Sets[1]), (std::array<float, 3>{0, 1, 2}));
  EXPECT_EQ(Abc(p.Sets[2]), (std::array<float, 3>{1, 2, 3.5f}));
  EXPECT_EQ(Abc(p.Sets[3]), (std::array<float, 3>{2, 3.5f, 4}));
  EXPECT_EQ(p.Sets[4].a, 3.5f);
  // Left of set 3's peak: only a moves, at most to 1.5.
  p.AdaptConstrained(3, 3.0f, -1.0f, 0.0f, 1.0f);
  EXPECT_EQ(Abc(p.Sets[3]), (std::array<float, 3>{1.5f, 3.5f, 4}));
  EXPECT_EQ(Abc(p.Sets[2]), (std::array<float, 3>{1, 1.5f, 3.5f}));
  EXPECT_EQ(p.Sets[1].c, 1.5f);

  // A shouldered side does not move; an unshouldered end has no middle limit.
  p.AdaptConstrained(4, 4.5f, 0.0f, 0.0f, -0.2f);
  EXPECT_EQ(p.Sets[4].c, 5.0f);
  p.Sets[4].RightShouldered = False;
  p.Sets[4].c = 4.5f;
  p.AdaptConstrained(4, 4.2f, 0.0f, 0.0f, 0.4f);
  EXPECT_EQ(p.Sets[4].c, 4.9f);
}

TEST(AdaptConstrained, MiddleIsHalvedInDoubleAndStoredAsFloat) {
  TPartition p;
  p.NumberOfSets = 2;
  p.Upper = 20.0f;
  p.Sets = {TFuzzySet(), TFuzzySet("s", 0.0f, 0.2f, 0.443690866f, True, False),
            TFuzzySet("n", 0.2f, 3.02332592f, 13.013731f, False, True)};
  p.AdaptConstrained(1, 0.3f, 0.0f, 0.0f, 10.0f);
  EXPECT_EQ(p.Sets[1].c, 8.01852894f);  // all in float it would be 8.01852798
}

TEST(PartitionText, WriterLayoutAndRoundTrip) {
  TPartition p = Default(0, 10, 2);
  std::ostringstream line;
  line << p.Sets[1];
  EXPECT_EQ(line.str(), "0.000000\t3.333333\t6.666667\t1 0  small\n");

  p.Sets[2].a = -1.25e-3f;
  std::strcpy(p.Sets[2].Name, "nineteen_characters");
  std::ostringstream text;
  text << std::fixed << p;
  std::istringstream in(text.str());
  TPartition q(in);
  ASSERT_FALSE(in.fail());
  ASSERT_EQ(q.NumberOfSets, 2);
  for (int i = 1; i <= 2; i++) {
    for (int k = 0; k < 3; k++) EXPECT_NEAR(Abc(q.Sets[i])[k], Abc(p.Sets[i])[k], 5e-7);
    EXPECT_EQ(q.Sets[i].LeftShouldered + 2 * q.Sets[i].RightShouldered, i == 1 ? 1 : 2);
    EXPECT_STREQ(q.Sets[i].Name, p.Sets[i].Name);
  }
}

// A label cut at its length limit or at a NUL keeps no trailing blank, so
// that saving and reading again gives the same label.
TEST(PartitionText, CutLabelsAreTrimmed) {
  const std::string cutAtNul("0 1 2 1 0  larg\t\0xyz\n", 22);
  for (const std::string& text : {cutAtNul, std::string("0 1 2 1 0  aaaaaaaaaaaaaaaaaa bc\n")}) {
    std::istringstream in(text);
    TFuzzySet set(in);
    EXPECT_FALSE(in.fail());
    EXPECT_EQ(std::string(set.Name), text == cutAtNul ? "larg" : "aaaaaaaaaaaaaaaaaa");
  }
}

TEST(PartitionText, ReaderRejectsBadCounts) {
  for (const char* text : {"0\n0 1\n", "-3\n0 1\n", "x\n", "2000000000\n0 1\n0 0 1 1 0  a\nMATRIX\n"}) {
    std::istringstream in(text);
    TPartition p(in);
    EXPECT_TRUE(in.fail()) << text;
    EXPECT_EQ(p.NumberOfSets + 1, static_cast<int>(p.Sets.size())) << text;
  }
}
