// CColorToolBar: a toolbar whose normal, hot and disabled images come from
// 24-bit strips with a mask colour, and which can drop a menu under a
// drop-down button.
// Choices of ours: the bar owns the image lists it makes and frees them
// (and the lists they replace) with its window; the strip's bitmap is
// freed as soon as the list holds its copy.
#pragma once

#include "framework/Collections.h"
#include "framework/ControlBars.h"

// A drop-down button and the menu it shows.
struct stDropDownInfo {
  UINT uButtonID = 0;   // the toolbar button that drops the menu
  UINT uMenuID = 0;     // menu resource whose first sub-menu is shown
  CWnd* pParent = nullptr;  // receives the menu's commands
};

class CColorToolBar : public CToolBar {
  DECLARE_DYNAMIC(CColorToolBar)
 public:
  CColorToolBar() = default;
  ~CColorToolBar() override;

  // Sets the normal list, then the hot and disabled ones when their ids
  // are not 0; false at the first that fails (those before it stay).
  BOOL LoadImageLists(int buttonWidth, UINT normalId, UINT hotId, UINT disabledId);
  // One image list from a strip, handed over with `message`
  // (TB_SETIMAGELIST, TB_SETHOTIMAGELIST, TB_SETDISABLEDIMAGELIST).
  BOOL SetImageListFromBitmap(UINT message, UINT bitmapId, int buttonWidth);

  CArray<stDropDownInfo> m_dropDownButtons;

 protected:
  void OnDropDown(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()
};
