// The embedded picture's depth in whole points. The OLE item pads the
// picture's height so that the part below the baseline is a whole number of
// points, and leaves a "lowering hint" (the share of the padded height that
// lies below the baseline, in thousandths) for a program on the container's
// side that lowers the picture to its text's baseline.
#pragma once

#include <cstdint>

// 0.01 mm per point, as the item and the exports convert it.
inline constexpr double kHimetricPerPicturePoint = 35.2777755;

// The padding (0.01 mm) that brings `depth`, the part below the baseline,
// up to the next whole point; truncated, so it may fall short by under one.
int32_t PointRoundingPad(int32_t depth);

// Thousandths of the padded height (height + pad) below the baseline
// (depth + pad), truncated toward zero; 0 for a picture without height.
int32_t LoweringAmount(int32_t depth, int32_t pad, int32_t height);
