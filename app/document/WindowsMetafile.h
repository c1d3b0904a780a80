// The Windows metafile of a picture drawn in 0.01 mm. That format keeps
// every coordinate and extent in 16 bits, so a picture more than about
// 30 cm wide or tall is recorded in coarser logical units: drawn into an
// enhanced metafile first (32-bit coordinates), then copied record by
// record with every length divided by the unit.
#pragma once

#include <functional>

#include "framework/Dc.h"

// How many 0.01 mm one logical unit of the metafile of a picture of `size`
// (0.01 mm) spans: 1 while the picture fits.
int WindowsMetafileUnit(const CSize& size);

// Records `draw`, which draws the picture from (0, 0) to (width, -height)
// in 0.01 mm with y upwards on a context set up as the picture's; the
// metafile's window spans the picture in its own units. Null on failure.
HMETAFILE RecordWindowsMetafile(const CSize& size, const std::function<void(CDC&)>& draw);
