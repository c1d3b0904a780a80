#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/document/LoweringHint.h"

TEST(PointRoundingPad, PadsTheDepthUpToTheNextWholePoint) {
  const struct {
    int32_t depth;
    int32_t pad;
  } cases[] = {
      {0, 0},     {100, 5},  // 2.83 points: 5.83 units short, truncated
      {352, 0},              // just under 10 points: 0.78 short truncates to 0
      {353, 35},             // just over 10 points: nearly a whole point more
      {1, 34},    {35, 0},   {36, 34}, {705, 0}, {706, 34}, {1000, 23},
  };
  for (const auto& c : cases) EXPECT_EQ(c.pad, PointRoundingPad(c.depth)) << c.depth;
}

TEST(PointRoundingPad, DepthAndPadMakeWholePointsWithinOneUnit) {
  for (int32_t depth = 0; depth <= 20000; ++depth) {
    const int32_t pad = PointRoundingPad(depth);
    ASSERT_GE(pad, 0) << depth;
    ASSERT_LT(pad, 36) << depth;
    const double points = (depth + pad) / kHimetricPerPicturePoint;
    const double shortfall = (std::ceil(points) - points) * kHimetricPerPicturePoint;
    ASSERT_LT(shortfall, 1.0) << depth;
  }
}

TEST(LoweringAmount, ThousandthsOfThePaddedHeightBelowTheBaseline) {
  const struct {
    int32_t depth, pad, height, amount;
  } cases[] = {
      {0, 0, 1000, 0},      // nothing below the baseline
      {100, 5, 1000, 104},  // 105 of 1005, truncated
      {0, 35, 1000, 33},    // the padding alone lies below
      {353, 35, 1000, 374},  // 388 of 1035
      {500, 0, 500, 1000},  // all of it below
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.amount, LoweringAmount(c.depth, c.pad, c.height))
        << c.depth << " " << c.pad << " " << c.height;
}

// An empty measure must not divide by zero; absurd measures must not overflow.
TEST(LoweringAmount, EmptyAndAbsurdPicturesGiveBoundedValues) {
  EXPECT_EQ(0, LoweringAmount(0, 0, 0));
  EXPECT_EQ(0, LoweringAmount(100, 0, 0));
  EXPECT_EQ(0, LoweringAmount(100, 5, -5));
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(kMax, LoweringAmount(kMax, 35, 1));
  EXPECT_EQ(1000, LoweringAmount(kMax - 35, 35, kMax - 35));
  EXPECT_LE(PointRoundingPad(kMax), 35);
}
