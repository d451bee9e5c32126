#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "numread.h"

TEST(ReadFloat, CorrectlyRoundedDenormalsAndRejectedForms) {
  const std::pair<const char*, unsigned> good[] = {
      {"1.4e-45", 0x00000001u}, {"7.1e-46", 0x00000001u}, {"7e-46", 0x00000000u},
      {"+.5", 0x3f000000u},     {"0.1", 0x3dcccccdu},     {"16777217", 0x4b800000u},
  };
  for (const auto& c : good) {
    std::istringstream in(std::string(" \n") + c.first + " ");
    float v;
    unsigned bits;
    EXPECT_TRUE(ReadFloat(in, v) && in.good()) << c.first;
    std::memcpy(&bits, &v, sizeof bits);
    EXPECT_EQ(bits, c.second) << c.first;
  }
  for (const char* bad : {"1e", "1e+x", "-", ".", "inf", "nan", "-3.5e38", ""}) {
    std::istringstream in(bad);
    float v;
    EXPECT_FALSE(ReadFloat(in, v) || !in.fail()) << bad;
  }
}

TEST(ReadInt, StopsAtTheFirstNonDigit) {
  std::istringstream in("+7 -2147483648 12.5");
  int v;
  EXPECT_TRUE(ReadInt(in, v) && v == 7);
  EXPECT_TRUE(ReadInt(in, v) && v == -2147483647 - 1);
  EXPECT_TRUE(ReadInt(in, v) && v == 12);
  EXPECT_FALSE(ReadInt(in, v));  // ".5"
}
