#include "platform/base/addr32.h"

#include <gtest/gtest.h>

TEST(Addr32, TokensRoundTripAndStaleTokensAnswerNull) {
  int a = 0, b = 0;
  EXPECT_EQ(ToAddr32(nullptr), 0u);
  EXPECT_EQ(FromAddr32(0), nullptr);
  DWORD ta = ToAddr32(&a);
  DWORD tb = ToAddr32(&b);
  EXPECT_NE(ta, 0u);
  EXPECT_NE(ta, tb);
  EXPECT_EQ(ToAddr32(&a), ta);
  EXPECT_EQ(FromAddr32(ta), &a);
  ReleaseAddr32(ta);
  EXPECT_EQ(FromAddr32(ta), nullptr);
  EXPECT_EQ(FromAddr32(tb), &b);
  EXPECT_EQ(FromAddr32(0xFFFFFFF0u), nullptr);
  ReleaseAddr32(tb);
}
