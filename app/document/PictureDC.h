// Setting up a metafile picture's context in 0.01 mm with y upwards.
#pragma once

#include "framework/Dc.h"

// Guard: a viewport extent recorded into a picture's metafile would replace
// the scaling of whoever plays it (a container, a program pasting from the
// clipboard), and the equation would come out at one pixel per 0.01 mm;
// only the measuring context of a metafile gets it.
inline void SetMeasuringViewportExt(CDC* dc, int cx, int cy) {
  if (dc->m_hAttribDC && dc->m_hAttribDC != dc->m_hDC)
    ::SetViewportExtEx(dc->m_hAttribDC, cx, cy, nullptr);
  else
    dc->SetViewportExt(cx, cy);
}
