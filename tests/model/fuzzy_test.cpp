// Fuzzy sets and partitions: the default partition, membership, and the
// limits that adaptation keeps. (The network tests compare learning with a
// model that adapts through these same functions, so they cannot see them.)
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "fuzzy.h"

namespace {

std::array<float, 3> Abc(const TFuzzySet& s) { return {s.a, s.b, s.c}; }

std::vector<float> Degrees(const TPartition& p, float x) {
  TVector<float> m = p.GetMembershipVector(x);
  return std::vector<float>(m.Data, m.Data + m.Dimension());
}

}  // namespace

TEST(Partition, DefaultSetsAndTheirDegrees) {
  TPartition p(TBound{0, 4}, 3);
  ASSERT_EQ(p.NumberOfSets, 3);
  EXPECT_EQ(Abc(p.Sets[2]), (std::array<float, 3>{1, 2, 3}));
  EXPECT_STREQ(p.Sets[2].Name, "medium");
  EXPECT_TRUE(p.Sets[1].LeftShouldered && !p.Sets[1].RightShouldered && p.Sets[3].RightShouldered);
  EXPECT_EQ(Degrees(p, 0.5f), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(Degrees(p, 1.5f), (std::vector<float>{0.5f, 0.5f, 0}));
  EXPECT_EQ(Degrees(p, 4.5f), (std::vector<float>{0, 0, 0}));
  int index = 0;
  EXPECT_EQ(p.MaxMembership(1.5f, index), 0.5f);
  EXPECT_EQ(index, 1);  // a tie goes to the lower set
  EXPECT_EQ(TPartition(TBound{-1, 3}, 0).NumberOfSets, 1);
  EXPECT_STREQ(TPartition(TBound{0, 1}, 12).Sets[6].Name, "medium_large");
  // Over [2, 2] every set has a = b = c; 0/0 must not leak out as NaN.
  EXPECT_EQ(Degrees(TPartition(TBound{2, 2}, 3), 2.0f), (std::vector<float>{1, 1, 1}));
  // 0.7 / 6 is inexact: peaks are running float sums, not lower + i * step.
  TPartition five(TBound{0.1f, 0.8f}, 5);
  float peak = 0.1f;
  for (int i = 1; i <= 5; i++) EXPECT_EQ(five.Sets[i].b, peak = peak + (0.8f - 0.1f) / 6.0f) << i;
}

TEST(Adapt, ShouldersMarginsAndRange) {
  struct Case {
    std::array<float, 3> abc;
    bool left;
    std::array<float, 3> d, expected;
  } cases[] = {
      {{0, 1, 2}, true, {-0.5f, 0, 0.5f}, {0, 1, 2.5f}},    // the shoulder pins a
      {{0, 1, 2}, false, {0.95f, 0, 0}, {0, 1, 2}},         // a stays 0.1 below b
      {{0, 1, 2}, false, {0.2f, -0.75f, 0.1f}, {0.2f, 1, 2.1f}},  // b stays 0.1 above a
      {{0, 1, 2}, false, {0, 0.95f, 0}, {0, 1, 2}},         // and 0.1 below c
      {{0.1f, 0.25f, 1}, false, {0.05f, 0, 0}, {0.1f + 0.05f, 0.25f, 1}},  // compared in float
  };
  for (const Case& k : cases) {
    TFuzzySet s("s", k.abc[0], k.abc[1], k.abc[2], k.left ? True : False, False);
    s.Adapt(k.d[0], k.d[1], k.d[2]);
    EXPECT_EQ(Abc(s), k.expected) << k.d[0] << " " << k.d[1] << " " << k.d[2];
  }
  TPartition p(TBound{0, 4}, 3);
  p.Sets[2].a = 0.5f;
  p.Adapt(2, -0.75f, 0.0f, 1.5f);  // both feet would leave [0, 4]
  EXPECT_EQ(Abc(p.Sets[2]), (std::array<float, 3>{0.5f, 2, 3}));
}

TEST(Adapt, ConstrainedByTheSideOfTheInputAndTheNeighbours) {
  TPartition p(TBound{0, 5}, 4);  // peaks 1, 2, 3, 4
  // Right of set 2's peak only c moves, at most to 3.5, the middle of set
  // 3's falling slope; set 3 follows.
  p.AdaptConstrained(2, 2.5f, -0.5f, 0.0f, 2.0f);
  EXPECT_EQ(Abc(p.Sets[2]), (std::array<float, 3>{1, 2, 3.5f}));
  EXPECT_EQ(Abc(p.Sets[3]), (std::array<float, 3>{2, 3.5f, 4}));
  // Left of set 3's peak only a moves, at most to 1.5; set 2 follows.
  p.AdaptConstrained(3, 3.0f, -1.0f, 0.0f, 1.0f);
  EXPECT_EQ(Abc(p.Sets[3]), (std::array<float, 3>{1.5f, 3.5f, 4}));
  EXPECT_EQ(Abc(p.Sets[2]), (std::array<float, 3>{1, 1.5f, 3.5f}));
  // The middle is halved in double and stored as a float.
  TPartition q;
  q.NumberOfSets = 2;
  q.Upper = 20.0f;
  q.Sets = {TFuzzySet(), TFuzzySet("s", 0.0f, 0.2f, 0.443690866f, True, False),
            TFuzzySet("n", 0.2f, 3.02332592f, 13.013731f, False, True)};
  q.AdaptConstrained(1, 0.3f, 0.0f, 0.0f, 10.0f);
  EXPECT_EQ(q.Sets[1].c, 8.01852894f);  // all in float it would be 8.01852798
}
