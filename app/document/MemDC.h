// QVMemDC: a memory device context that collects one paint and copies it
// to the target when it goes, so a repaint never flickers. For a printing
// target it draws straight through, sharing the target's handles.
#pragma once

#include "framework/Dc.h"

class QVMemDC : public CDC {
 public:
  // Covers `rect` (logical units) or, without one, the target's clip box;
  // the area starts filled with the target's background colour.
  explicit QVMemDC(CDC* target, const CRect* rect = nullptr);
  ~QVMemDC() override;
  QVMemDC(const QVMemDC&) = delete;
  QVMemDC& operator=(const QVMemDC&) = delete;

  const CRect& Area() const { return rect_; }
  bool IsMemoryDC() const { return isMemoryDC_; }

 private:
  void CreateBuffer();

  CBitmap bitmap_;
  CBitmap* previous_ = nullptr;
  CDC* target_;
  CRect rect_;
  bool isMemoryDC_;
};
