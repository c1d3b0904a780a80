// ExtentRecord: the box that every measure of the engine yields (lengths in
// the measuring context's units, 0.01 mm in every caller).
#pragma once

#include <cstdint>

struct ExtentRecord {
  int32_t width = 0;
  int32_t height = 0;
  int32_t align = 0;   // baseline above the bottom edge
  int32_t adjust = 0;  // bottom above the bottom of the holding row
  int32_t raise = 0;   // where a power's exponent starts above the baseline
  bool raised = false;
  int32_t margin = 0;  // a third of the average character width

  bool operator==(const ExtentRecord&) const = default;
};
