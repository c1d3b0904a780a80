// CBitmapDC: a memory device context that owns a bitmap of a given pixel
// size, filled with a background colour when made, and hands the bitmap to
// its caller once the picture is drawn.
// Choices of ours: a size below one pixel becomes one pixel, so an empty
// picture is still a valid bitmap of the background colour.
#pragma once

#include <memory>

#include "framework/Dc.h"

class CBitmapDC : public CDC {
 public:
  // Without a reference the screen serves as reference.
  CBitmapDC(int width, int height, CDC* reference = nullptr,
            COLORREF background = RGB(255, 255, 255));
  ~CBitmapDC() override;

  // False when the bitmap or the device context could not be made.
  bool IsReady() const { return bitmap_ && m_hDC; }
  // Selects the previous bitmap back; the caller owns the bitmap from then on.
  std::unique_ptr<CBitmap> DetachBitmap();

 private:
  std::unique_ptr<CBitmap> bitmap_;
  CBitmap* previous_ = nullptr;
};
