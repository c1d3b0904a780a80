// QVMemDC: off-screen painting.
#include "app/document/MemDC.h"

QVMemDC::QVMemDC(CDC* target, const CRect* rect) : target_(target) {
  isMemoryDC_ = !target->IsPrinting();
  if (rect)
    rect_ = *rect;
  else
    ::GetClipBox(target->GetSafeHdc(), &rect_);
  if (isMemoryDC_) {
    CreateBuffer();
  } else {
    m_bPrinting = target->m_bPrinting;
    m_hDC = target->m_hDC;
    m_hAttribDC = target->m_hAttribDC;
  }
  FillSolidRect(&rect_, target->GetBkColor());
}

// A bitmap of the area's device size, under the target's mapping, with the
// window origin at the area's top-left corner.
void QVMemDC::CreateBuffer() {
  CreateCompatibleDC(target_);
  CRect device = rect_;
  target_->LPtoDP(&device);
  device.NormalizeRect();
  bitmap_.CreateCompatibleBitmap(target_, device.Width(), device.Height());
  previous_ = SelectObject(&bitmap_);
  SetMapMode(target_->GetMapMode());
  SetWindowExt(target_->GetWindowExt().cx, target_->GetWindowExt().cy);
  SetViewportExt(target_->GetViewportExt().cx, target_->GetViewportExt().cy);
  target_->DPtoLP(&device);
  SetWindowOrg(rect_.left, rect_.top);
}

QVMemDC::~QVMemDC() {
  if (isMemoryDC_) {
    target_->BitBlt(rect_.left, rect_.top, rect_.Width(), rect_.Height(), this, rect_.left,
                    rect_.top, SRCCOPY);
    SelectObject(previous_);
  } else {
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
  }
}
