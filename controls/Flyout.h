// QVFlyoutTrueColor: a true-colour toolbar whose buttons can each open a
// palette (a small floating toolbar) when pressed and held; CFlyout: that
// palette, which highlights (checks) the button under the pointer. The
// user presses a bar button, moves onto the palette and releases over a
// symbol; its command goes to the frame through the bar.
// Choices of ours: a palette is never destroyed inside one of its own
// handlers: the bar hides it and destroys it from a message it posts to
// itself. A press on a button beyond the twenty description slots opens
// nothing, and SetFlyout ignores such an index. A palette never takes the
// keyboard focus (it would pull the activation off the main window), and a
// release on the palette itself goes to the bar only, so it fires once.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/ColorToolBar.h"

// One palette: its toolbar and image strips. Toolbar id 0: no palette.
struct QVFlyoutDescription {
  int32_t toolbarId = 0;  // only the low 16 bits are used
  int32_t normalBitmapId = 0;
  int32_t hotBitmapId = 0;       // 0: none
  int32_t disabledBitmapId = 0;  // 0: none
  int32_t buttonWidth = 0;       // of one image in the strips
};

class CFlyout;

class QVFlyoutTrueColor : public CColorToolBar {
  DECLARE_DYNAMIC(QVFlyoutTrueColor)
 public:
  // Buttons 0 to 19 (separators count) can carry a palette.
  static constexpr int kFlyoutSlots = 20;
  // The window timer that opens a palette after the hold delay.
  static constexpr UINT_PTR kHoldTimer = 1;

  QVFlyoutTrueColor();
  ~QVFlyoutTrueColor() override;

  // Gives button `index` a palette; false (and nothing stored) when the
  // index has no slot or the bar has no such button.
  BOOL SetFlyout(int index, int toolbarId, int normalBitmapId, int hotBitmapId,
                 int disabledBitmapId, int buttonWidth);
  CFlyout* GetOpenFlyout() const { return openFlyout; }

  CArray<QVFlyoutDescription> flyoutDescriptions;
  int32_t pressedIndex = -1;
  QVFlyoutDescription currentFlyout;
  // Milliseconds a button must be held; 0 or less opens at the press.
  int32_t holdDelay = 500;

 protected:
  void OnLButtonDown(UINT flags, CPoint point);
  void OnTimer(UINT_PTR id);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  LRESULT OnDestroyClosedFlyouts(WPARAM, LPARAM);
  void OpenFlyout();
  // Hides the open palette and posts its destruction.
  void CloseFlyout();
  void DeleteClosedFlyouts();

  CFlyout* openFlyout = nullptr;
  std::vector<CFlyout*> m_closedFlyouts;  // hidden, waiting for the posted message

  DECLARE_MESSAGE_MAP()
  friend class CFlyout;
};

class CFlyout : public CColorToolBar {
  DECLARE_DYNAMIC(CFlyout)
 public:
  explicit CFlyout(QVFlyoutTrueColor* owner) : owner(owner) {}
  ~CFlyout() override;

  // Drops the caption of the popup it floats in, then lays out as usual.
  CSize CalcDynamicLayout(int length, DWORD mode) override;

  QVFlyoutTrueColor* owner;  // not owned; null once the palette is closed
  int32_t hotIndex = -1;

 protected:
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnHotItemChange(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()
};
