// What lines up the relation signs of an equation's lines: a candidate sign
// of a line (its leading sign or its main sign) and the room the line's
// spacers add.
#pragma once

#include <cstdint>

// A candidate relation sign for lining up the lines of an equation. Fields
// that do not apply stay -1 (kind, width and isRelation 0); an entry is
// there when it has an index in the root row.
struct AlignmentEntry {
  int32_t kind = 0;
  int32_t width = 0;
  int32_t isRelation = 0;  // 1 for a relation, 0 for an arrow or "therefore"
  int32_t index = -1;
  int32_t spacerIndex = -1;
  int32_t x = -1;
  int32_t nextIndex = -1;
  int32_t nextX = -1;
  int32_t prevIndex = -1;
  int32_t prevEnd = -1;
  int32_t gapBefore = -1;
  int32_t gapAfter = -1;
  int32_t leftWidth = -1;

  bool Exists() const { return index >= 0; }
};

// How much room the spacers of one line add: before the line (the width
// and the gap of a leading sign), before the left-hand side, and on either
// side of the main sign.
struct AlignmentShifts {
  int32_t leadWidthShift = 0;
  int32_t leadGapShift = 0;
  int32_t leftShift = 0;
  int32_t gapBeforeShift = 0;
  int32_t gapAfterShift = 0;
};
