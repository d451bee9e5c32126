#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

#include "fuzzy.h"

namespace {

TPartition Default(float lower, float upper, int count) { return TPartition(TBound{lower, upper}, count); }

}  // namespace

TEST(FuzzySetNames, TableLookupAndOutOfRange) {
  EXPECT_STREQ(DefaultFuzzySetName(1, 1), "dont_care");
  EXPECT_STREQ(DefaultFuzzySetName(2, 6), "medium_small");
  EXPECT_STREQ(DefaultFuzzySetName(5, 6), "medium_large");
  EXPECT_STREQ(DefaultFuzzySetName(7, 7), "very_large");
  EXPECT_STREQ(DefaultFuzzySetName(3, 2), "");
  EXPECT_STREQ(DefaultFuzzySetName(0, 5), "");
  EXPECT_STREQ(DefaultFuzzySetName(1, 8), "");
  EXPECT_STREQ(DefaultFuzzySetName(1, 0), "");
}

TEST(DefaultPartition, ThreeSetsOverZeroToFour) {
  TPartition p = Default(0, 4, 3);
  ASSERT_EQ(p.NumberOfSets, 3);
  const float expect[3][3] = {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}};
  const char* names[3] = {"small", "medium", "large"};
  for (int i = 1; i <= 3; i++) {
    EXPECT_EQ(p.Sets[i].a, expect[i - 1][0]);
    EXPECT_EQ(p.Sets[i].b, expect[i - 1][1]);
    EXPECT_EQ(p.Sets[i].c, expect[i - 1][2]);
    EXPECT_STREQ(p.Sets[i].Name, names[i - 1]);
    EXPECT_EQ(p.Sets[i].LeftShouldered, i == 1 ? True : False);
    EXPECT_EQ(p.Sets[i].RightShouldered, i == 3 ? True : False);
  }
  TVector<float> m = p.GetMembershipVector(0.5f);
  EXPECT_EQ(m[1], 1.0f);
  EXPECT_EQ(m[2], 0.0f);
  EXPECT_EQ(m[3], 0.0f);
  m = p.GetMembershipVector(1.5f);
  EXPECT_EQ(m[1], 0.5f);
  EXPECT_EQ(m[2], 0.5f);
  EXPECT_EQ(m[3], 0.0f);
  m = p.GetMembershipVector(4.5f);
  EXPECT_EQ(m[1] + m[2] + m[3], 0.0f);
  // The shoulder is flat up to the foot, then nothing beyond the range.
  EXPECT_EQ(p.Sets[3].Membership(4.0f), 1.0f);
  EXPECT_EQ(p.Sets[1].Membership(-0.5f), 0.0f);

  int index = 0;
  EXPECT_EQ(p.MaxMembership(1.5f, index), 0.5f);
  EXPECT_EQ(index, 1);  // tie at the crossing goes to the lower set
  EXPECT_EQ(p.MaxMembership(2.75f, index), 0.75f);
  EXPECT_EQ(index, 3);
  EXPECT_EQ(p.MaxMembership(9.0f, index), 0.0f);
  EXPECT_EQ(index, 1);
}

TEST(DefaultPartition, CountIsClampedToOneToSeven) {
  for (int count : {0, -4}) {
    TPartition p = Default(-1, 3, count);
    ASSERT_EQ(p.NumberOfSets, 1);
    EXPECT_STREQ(p.Sets[1].Name, "dont_care");
    EXPECT_TRUE(p.Sets[1].LeftShouldered && p.Sets[1].RightShouldered);
    EXPECT_EQ(p.Sets[1].a, -1.0f);
    EXPECT_EQ(p.Sets[1].c, 3.0f);
    EXPECT_EQ(p.Sets[1].Membership(-1.0f), 1.0f);
    EXPECT_EQ(p.Sets[1].Membership(3.0f), 1.0f);
  }
  TPartition p = Default(0, 1, 12);
  ASSERT_EQ(p.NumberOfSets, 7);
  for (int i = 1; i <= 7; i++) EXPECT_STREQ(p.Sets[i].Name, FuzzySetNames[6][i - 1]);
}

TEST(DefaultPartition, PeaksAccumulateInFloatAndLastFootIsUpper) {
  // 0.7/6 is inexact, so accumulated peaks differ from lower + i * step.
  TPartition p = Default(0.1f, 0.8f, 5);
  const float step = (0.8f - 0.1f) / 6.0f;
  float peak = 0.1f;
  for (int i = 1; i <= 5; i++) {
    peak = peak + step;
    EXPECT_EQ(p.Sets[i].b, peak) << "set " << i;
    if (i > 1) {
      EXPECT_EQ(p.Sets[i].a, p.Sets[i - 1].b);
    }
  }
  EXPECT_EQ(p.Sets[5].c, 0.8f);
}

TEST(Membership, DegenerateRangeHasNoNaN) {
  // Every set of a partition over [2, 2] has a = b = c.
  TPartition p = Default(2, 2, 3);
  for (int i = 1; i <= 3; i++) {
    float m = p.Sets[i].Membership(2.0f);
    EXPECT_FALSE(std::isnan(m));
    EXPECT_EQ(m, 1.0f);
  }
  TFuzzySet peak("peak", 0, 1, 1, False, False);
  EXPECT_EQ(peak.Membership(1.0f), 1.0f);
  EXPECT_EQ(peak.Membership(0.5f), 0.5f);
}

TEST(AdaptSet, ShouldersPinFeetAndMarginHoldsPeak) {
  TFuzzySet s("s", 0, 1, 2, True, False);
  s.Adapt(-0.5f, 0.0f, 0.5f);
  EXPECT_EQ(s.a, 0.0f);
  EXPECT_EQ(s.c, 2.5f);

  TFuzzySet r("r", 0, 1, 2, False, True);
  r.Adapt(-0.5f, 0.0f, 0.5f);
  EXPECT_EQ(r.a, -0.5f);
  EXPECT_EQ(r.c, 2.0f);

  // A peak move that comes within the margin of a foot is dropped while
  // the feet still move.
  TFuzzySet t("t", 0, 1, 2, False, False);
  t.Adapt(0.2f, -0.75f, 0.1f);
  EXPECT_EQ(t.a, 0.2f);
  EXPECT_EQ(t.b, 1.0f);
  EXPECT_EQ(t.c, 2.1f);
  // A foot move that would come within the margin of the peak is dropped.
  t.Adapt(0.75f, 0.0f, -1.05f);
  EXPECT_EQ(t.a, 0.2f);
  EXPECT_EQ(t.c, 2.1f);
}

TEST(AdaptSet, MarginComparisonIsSinglePrecision) {
  // 0.1f + 0.05f is not above 0.25f - 0.1f in float, but is above 0.25 - 0.1 in double.
  TFuzzySet s("s", 0.1f, 0.25f, 1.0f, False, False);
  s.Adapt(0.05f, 0.0f, 0.0f);
  EXPECT_EQ(s.a, 0.1f + 0.05f);
}

TEST(AdaptPartition, FeetStayInsideTheRange) {
  TPartition p = Default(0, 4, 3);
  p.Sets[2].a = 0.5f;
  p.Adapt(2, -0.75f, 0.0f, 1.5f);
  EXPECT_EQ(p.Sets[2].a, 0.5f);
  EXPECT_EQ(p.Sets[2].c, 3.0f);
  p.Adapt(2, -0.25f, 0.25f, 0.5f);
  EXPECT_EQ(p.Sets[2].a, 0.25f);
  EXPECT_EQ(p.Sets[2].b, 2.25f);
  EXPECT_EQ(p.Sets[2].c, 3.5f);
}

TEST(AdaptConstrained, MovesOnlyTheSideOfTheInputAndDragsNeighbours) {
  TPartition p = Default(0, 5, 4);  // peaks 1, 2, 3, 4
  // x right of the peak of set 2: only c may move, and only up to the
  // middle of set 3's falling slope (3.5).
  p.AdaptConstrained(2, 2.5f, -0.5f, 0.0f, 2.0f);
  EXPECT_EQ(p.Sets[2].a, 1.0f);
  EXPECT_EQ(p.Sets[2].c, 3.5f);
  EXPECT_EQ(p.Sets[3].a, 2.0f);
  EXPECT_EQ(p.Sets[3].b, 3.5f);
  EXPECT_EQ(p.Sets[4].a, 3.5f);
  EXPECT_EQ(p.Sets[1].c, 2.0f);
  EXPECT_EQ(p.Sets[1].b, 1.0f);

  // x left of the peak of set 3: only a may move, down to the middle of
  // set 2's rising slope (1.5); set 2 and set 1 follow.
  p.AdaptConstrained(3, 3.0f, -1.0f, 0.0f, 1.0f);
  EXPECT_EQ(p.Sets[3].a, 1.5f);
  EXPECT_EQ(p.Sets[3].c, p.Sets[4].b);
  EXPECT_EQ(p.Sets[2].b, 1.5f);
  EXPECT_EQ(p.Sets[2].c, 3.5f);
  EXPECT_EQ(p.Sets[1].c, 1.5f);
}

TEST(AdaptConstrained, RejectedMovesAndMissingNeighbours) {
  TPartition p = Default(0, 4, 3);
  // Past the upper end, or a shouldered side: nothing moves.
  p.AdaptConstrained(2, 2.5f, 0.0f, 0.0f, 5.0f);
  EXPECT_EQ(p.Sets[2].c, 3.0f);
  p.AdaptConstrained(3, 3.5f, 0.0f, 0.0f, -0.5f);
  EXPECT_EQ(p.Sets[3].c, 4.0f);

  // A last set without a right shoulder has no neighbour to limit it.
  p.Sets[3].RightShouldered = False;
  p.Sets[3].c = 3.5f;
  p.AdaptConstrained(3, 3.2f, 0.0f, 0.0f, 0.4f);
  EXPECT_EQ(p.Sets[3].c, 3.9f);
  // Likewise the first set without a left shoulder.
  p.Sets[1].LeftShouldered = False;
  p.Sets[1].a = 0.5f;
  p.AdaptConstrained(1, 0.75f, -0.4f, 0.0f, 0.0f);
  EXPECT_FLOAT_EQ(p.Sets[1].a, 0.1f);
}

TEST(AdaptConstrained, MiddleIsComputedInDoubleAndStoredAsFloat) {
  TPartition p;
  p.NumberOfSets = 2;
  p.Lower = 0.0f;
  p.Upper = 20.0f;
  p.Sets = {TFuzzySet(), TFuzzySet("s", 0.0f, 0.2f, 0.443690866f, True, False),
            TFuzzySet("n", 0.2f, 3.02332592f, 13.013731f, False, True)};
  p.AdaptConstrained(1, 0.3f, 0.0f, 0.0f, 10.0f);
  // A float middle would give 8.01852798.
  EXPECT_EQ(p.Sets[1].c, 8.01852894f);
  EXPECT_EQ(p.Sets[2].b, 8.01852894f);
}

TEST(PartitionText, WriterLayoutAndRoundTrip) {
  TPartition p = Default(0, 10, 2);
  std::ostringstream out;
  out << p.Sets[1];
  EXPECT_EQ(out.str(), "0.000000\t3.333333\t6.666667\t1 0  small\n");

  p.Sets[2].a = -1.25e-3f;
  std::strcpy(p.Sets[2].Name, "nineteen_characters");
  std::ostringstream text;
  text << std::fixed << p << "next";
  std::istringstream in(text.str());
  TPartition q(in);
  ASSERT_FALSE(in.fail());
  ASSERT_EQ(q.NumberOfSets, 2);
  EXPECT_EQ(q.Lower, 0.0f);
  EXPECT_EQ(q.Upper, 10.0f);
  for (int i = 1; i <= 2; i++) {
    EXPECT_NEAR(q.Sets[i].a, p.Sets[i].a, 5e-7);
    EXPECT_NEAR(q.Sets[i].b, p.Sets[i].b, 5e-7);
    EXPECT_NEAR(q.Sets[i].c, p.Sets[i].c, 5e-7);
    EXPECT_EQ(q.Sets[i].LeftShouldered, p.Sets[i].LeftShouldered);
    EXPECT_EQ(q.Sets[i].RightShouldered, p.Sets[i].RightShouldered);
    EXPECT_STREQ(q.Sets[i].Name, p.Sets[i].Name);
  }
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "next");
}

TEST(PartitionText, ReaderTakesLooseSetLines) {
  std::istringstream in("-2 0 2 7 0\n0.5 1 1.5 0 0    a label longer than nineteen   \n");
  TFuzzySet s(in);
  EXPECT_TRUE(in.good());
  EXPECT_EQ(s.LeftShouldered, True);  // any non-zero flag
  EXPECT_STREQ(s.Name, "");           // no label on the line
  TFuzzySet t(in);
  EXPECT_STREQ(t.Name, "a label longer than");
}

TEST(PartitionText, ReaderRejectsBadCounts) {
  for (const char* text : {"0\n0 1\n", "-3\n0 1\n", "x\n",
                           // far more sets than the text holds
                           "2000000000\n0 1\n0 0 1 1 0  a\n0 1 1 0 1  b\nMATRIX\n"}) {
    std::istringstream in(text);
    TPartition p(in);
    EXPECT_TRUE(in.fail()) << text;
    EXPECT_EQ(p.NumberOfSets + 1, static_cast<int>(p.Sets.size())) << text;
  }
}
