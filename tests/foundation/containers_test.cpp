#include <gtest/gtest.h>

#include "containers.h"

TEST(TVector, SizedConstructorFills) {
  TVector<int> v(3, 7);
  ASSERT_EQ(v.Dimension(), 3);
  EXPECT_EQ(v[1], 7);
  EXPECT_EQ(v[3], 7);
}
