// The proof-number arithmetic: infinity absorbs sums, is ignored by min, and never differs from
// another infinity.
#include "engine/position/inffloat.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brenk {
namespace {

infFloat infWith(float stale) { return infFloat{true, stale}; }

TEST(InfFloat, MinSkipsInfiniteOperands) {
  EXPECT_EQ(min(infinite(), finite(3)).value, 3.0f);
  EXPECT_FALSE(min(infinite(), finite(3)).inf);
  EXPECT_EQ(min(finite(2), infinite()).value, 2.0f);
  EXPECT_FALSE(min(finite(2), infinite()).inf);
  EXPECT_TRUE(min(infinite(), infinite()).inf);
  EXPECT_EQ(min(finite(1), finite(1)).value, 1.0f);
  EXPECT_EQ(min(finite(4), finite(0.5f)).value, 0.5f);
}

TEST(InfFloat, AddAssignIsSinglePrecisionAndInfinityAbsorbs) {
  infFloat x = finite(1);
  x += infinite();
  EXPECT_TRUE(x.inf);
  EXPECT_EQ(x.value, 1.0f) << "an infinite addend must not touch the stored float";

  infFloat y = infWith(7);
  y += finite(2);
  EXPECT_TRUE(y.inf);

  infFloat z = finite(0.1f);
  z += finite(0.2f);
  EXPECT_FALSE(z.inf);
  EXPECT_EQ(z.value, 0.1f + 0.2f);  // float + float, not the double 0.3
  EXPECT_NE(static_cast<double>(z.value), 0.1 + 0.2);
}

TEST(InfFloat, ComparisonWithPlainFloat) {
  EXPECT_FALSE(infWith(0) == 0.0f);
  EXPECT_TRUE(infWith(0) != 0.0f);
  EXPECT_TRUE(finite(0) == 0.0f);
  EXPECT_FALSE(finite(0) != 0.0f);
}

TEST(InfFloat, InequalityOfTwoNumbers) {
  EXPECT_FALSE(infWith(1) != infWith(5)) << "two infinities are never unequal";
  EXPECT_TRUE(infWith(1) == infWith(5));
  EXPECT_TRUE(infWith(3) != finite(3));
  EXPECT_TRUE(finite(3) != infWith(3));
  EXPECT_FALSE(finite(2.5f) != finite(2.5f));
  EXPECT_TRUE(finite(2.5f) != finite(2.25f));
}

TEST(InfFloat, PrintsInfinityAsOO) {
  std::ostringstream a, b, c;
  a << infinite();
  b << finite(0.5f);
  c << finite(0.5f) << "," << infWith(9);
  EXPECT_EQ(a.str(), "'OO'");
  EXPECT_EQ(b.str(), "0.5");
  EXPECT_EQ(c.str(), "0.5,'OO'");
}

}  // namespace
}  // namespace brenk
