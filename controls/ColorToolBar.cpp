// CColorToolBar.
#include "controls/ColorToolBar.h"

IMPLEMENT_DYNAMIC(CColorToolBar, CToolBar)

BEGIN_MESSAGE_MAP(CColorToolBar, CToolBar)
  ON_NOTIFY_REFLECT(TBN_DROPDOWN, OnDropDown)
END_MESSAGE_MAP()

CColorToolBar::~CColorToolBar() = default;

BOOL CColorToolBar::LoadImageLists(int buttonWidth, UINT normalId, UINT hotId, UINT disabledId) {
  if (!SetImageListFromBitmap(TB_SETIMAGELIST, normalId, buttonWidth)) return FALSE;
  if (hotId && !SetImageListFromBitmap(TB_SETHOTIMAGELIST, hotId, buttonWidth)) return FALSE;
  if (disabledId && !SetImageListFromBitmap(TB_SETDISABLEDIMAGELIST, disabledId, buttonWidth))
    return FALSE;
  return TRUE;
}

BOOL CColorToolBar::SetImageListFromBitmap(UINT message, UINT bitmapId, int buttonWidth) {
  HIMAGELIST list = AfxImageListFromBitmap(bitmapId, buttonWidth);
  if (!list) return FALSE;
  SetOwnedImageList(message, list);
  return TRUE;
}

// Shows the first sub-menu of the button's menu under the button.
void CColorToolBar::OnDropDown(NMHDR* header, LRESULT* result) {
  *result = TBDDRET_DEFAULT;
  const auto* toolbar = reinterpret_cast<const NMTOOLBARA*>(header);
  for (int i = 0; i < m_dropDownButtons.GetSize(); ++i) {
    const stDropDownInfo& info = m_dropDownButtons[i];
    if (info.uButtonID != static_cast<UINT>(toolbar->iItem)) continue;
    const char* name = MAKEINTRESOURCEA(info.uMenuID);
    HMENU menu = ::LoadMenuA(AfxFindResourceHandle(name, RT_MENU), name);
    if (!menu) return;
    CRect rect;
    SendMessage(TB_GETRECT, info.uButtonID, reinterpret_cast<LPARAM>(&rect));
    ClientToScreen(&rect);
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_VERTICAL, rect.left, rect.bottom, 0,
                     info.pParent ? info.pParent->GetSafeHwnd() : m_hWnd, nullptr);
    ::DestroyMenu(menu);
    return;
  }
}
