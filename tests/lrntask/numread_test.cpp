#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <sstream>

#include "numread.h"

namespace {

unsigned Bits(float x) {
  unsigned u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

}  // namespace

TEST(ReadFloat, CorrectlyRoundedIncludingDenormals) {
  struct {
    const char* Text;
    unsigned Bits;
  } cases[] = {
      {"1.4e-45", 0x00000001u}, {"7.1e-46", 0x00000001u}, {"7e-46", 0x00000000u},  {"2.8e-45", 0x00000002u},
      {"-1e-50", 0x80000000u},  {"1e-38", 0x006ce3eeu},   {"+.5", 0x3f000000u},    {"5.", 0x40a00000u},
      {"0.1", 0x3dcccccdu},     {"3.4028235e38", 0x7f7fffffu}, {"16777217", 0x4b800000u},
  };
  for (const auto& c : cases) {
    std::istringstream in(std::string(" \n\t") + c.Text + " ");
    float v = -1;
    EXPECT_TRUE(ReadFloat(in, v)) << c.Text;
    EXPECT_TRUE(in.good()) << c.Text;
    EXPECT_EQ(Bits(v), c.Bits) << c.Text;
  }
}

TEST(ReadFloat, StreamStatesMatchExtraction) {
  std::istringstream last("2.5");
  float v;
  EXPECT_TRUE(ReadFloat(last, v));
  EXPECT_TRUE(last.eof() && !last.fail());

  std::istringstream stop("1.5.25x");
  EXPECT_TRUE(ReadFloat(stop, v));
  EXPECT_EQ(v, 1.5f);
  EXPECT_TRUE(ReadFloat(stop, v));
  EXPECT_EQ(v, 0.25f);
  EXPECT_FALSE(ReadFloat(stop, v));
  stop.clear();
  EXPECT_EQ(stop.tellg(), 6);  // at the 'x'

  for (const char* bad : {"1e", "1e+x", "-", ".", "inf", "nan", "1e39", "-3.5e38", "x1", ""}) {
    std::istringstream in(bad);
    EXPECT_FALSE(ReadFloat(in, v)) << bad;
    EXPECT_TRUE(in.fail()) << bad;
  }
  std::istringstream hex("0x10");
  EXPECT_TRUE(ReadFloat(hex, v));
  EXPECT_EQ(v, 0.0f);
}

TEST(ReadInt, RangeAndGrammar) {
  std::istringstream in("+7 -2147483648 2147483647 12.5");
  int v;
  EXPECT_TRUE(ReadInt(in, v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ReadInt(in, v));
  EXPECT_EQ(v, INT_MIN);
  EXPECT_TRUE(ReadInt(in, v));
  EXPECT_EQ(v, INT_MAX);
  EXPECT_TRUE(ReadInt(in, v));
  EXPECT_EQ(v, 12);
  EXPECT_FALSE(ReadInt(in, v));  // ".5" is not an integer

  std::istringstream big("2147483648");
  EXPECT_FALSE(ReadInt(big, v));
  EXPECT_EQ(v, INT_MAX);
  std::istringstream small("-99999999999999999999999");
  EXPECT_FALSE(ReadInt(small, v));
  EXPECT_EQ(v, INT_MIN);
}
