// CBitmapDC: a memory device context over a bitmap it owns.
#include "app/document/BitmapDC.h"

#include <algorithm>

CBitmapDC::CBitmapDC(int width, int height, CDC* reference, COLORREF background) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  CWindowDC screen(nullptr);
  CDC* like = reference ? reference : &screen;
  auto bitmap = std::make_unique<CBitmap>();
  if (!bitmap->CreateCompatibleBitmap(like, width, height) || !CreateCompatibleDC(like)) return;
  bitmap_ = std::move(bitmap);
  previous_ = SelectObject(bitmap_.get());
  // Filled in pixels, before the reference's mapping applies.
  const CRect all(0, 0, width, height);
  FillSolidRect(&all, background);
  SetMapMode(like->GetMapMode());
}

CBitmapDC::~CBitmapDC() {
  if (bitmap_ && m_hDC) SelectObject(previous_);
}

std::unique_ptr<CBitmap> CBitmapDC::DetachBitmap() {
  if (bitmap_ && m_hDC) SelectObject(previous_);
  previous_ = nullptr;
  return std::move(bitmap_);
}
