// Point rounding of the embedded picture's depth and the lowering hint.
#include "app/document/LoweringHint.h"

#include <cmath>
#include <limits>

int32_t PointRoundingPad(int32_t depth) {
  const double points = depth / kHimetricPerPicturePoint;
  return static_cast<int32_t>((std::ceil(points) - points) * kHimetricPerPicturePoint);
}

// Guard: an empty measure gives a padded height of 0, which must not be
// divided by; products are widened so no depth overflows them.
int32_t LoweringAmount(int32_t depth, int32_t pad, int32_t height) {
  const int64_t paddedHeight = static_cast<int64_t>(height) + pad;
  if (paddedHeight <= 0) return 0;
  const int64_t below = (static_cast<int64_t>(depth) + pad) * 1000;
  const double amount = std::trunc(static_cast<double>(below) / static_cast<double>(paddedHeight));
  constexpr double kLow = std::numeric_limits<int32_t>::min();
  constexpr double kHigh = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(amount < kLow ? kLow : amount > kHigh ? kHigh : amount);
}
