// CCmdTarget map lookup and command dispatch; CCmdUI for menus and controls.
#include "framework/CmdTarget.h"

#include "framework/Wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
  return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                              UINT id) {
  for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
      if (e->nMessage == message && e->nCode == code && id >= e->nID && id <= e->nLastID)
        return e;
    }
  }
  return nullptr;
}

// Looks the command up in this target's map and runs its handler; update
// handlers may pass the update on with ContinueRouting.
BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  const bool update = nCode == CN_UPDATE_COMMAND_UI;
  const UINT message = !update && HIWORD(nCode) ? HIWORD(nCode) : WM_COMMAND;
  const UINT code = update ? static_cast<UINT>(CN_UPDATE_COMMAND_UI) : LOWORD(nCode);
  const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), message, code, nID);
  if (!entry) return FALSE;
  if (pHandlerInfo) {
    pHandlerInfo->pTarget = this;
    pHandlerInfo->pEntry = entry;
    return TRUE;
  }
  AFX_MSGCALL call{message, 0, 0, nID, pExtra, 0};
  if (message == WM_NOTIFY) {
    // pExtra carries the notification record and the result slot.
    auto* notify = static_cast<AFX_NOTIFY*>(pExtra);
    call.lParam = reinterpret_cast<LPARAM>(notify->pNMHDR);
    const bool handled = entry->pfn(this, call);
    *notify->pResult = call.result;
    return handled;
  }
  if (update) {
    auto* ui = static_cast<CCmdUI*>(pExtra);
    ui->m_bContinueRouting = FALSE;
    entry->pfn(this, call);
    const BOOL handled = !ui->m_bContinueRouting;
    ui->m_bContinueRouting = FALSE;
    return handled;
  }
  return entry->pfn(this, call);
}

// --- CCmdUI ------------------------------------------------------------------

void CCmdUI::Enable(BOOL on) {
  if (m_pMenu) {
    ::EnableMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
  } else if (m_pOther && m_pOther->GetSafeHwnd()) {
    // A control that loses its enabled state while focused would trap the
    // keyboard: pass the focus on first.
    if (!on && ::GetFocus() == m_pOther->GetSafeHwnd()) {
      HWND parent = ::GetParent(m_pOther->GetSafeHwnd());
      if (parent) ::SendMessageA(parent, WM_NEXTDLGCTL, 0, FALSE);
    }
    ::EnableWindow(m_pOther->GetSafeHwnd(), on);
  }
  m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int check) {
  if (m_pMenu) {
    ::CheckMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
  } else if (m_pOther && m_pOther->GetSafeHwnd()) {
    const UINT code = static_cast<UINT>(::SendMessageA(m_pOther->GetSafeHwnd(), WM_GETDLGCODE, 0, 0));
    if (code & DLGC_BUTTON) ::SendMessageA(m_pOther->GetSafeHwnd(), BM_SETCHECK, check, 0);
  }
}

void CCmdUI::SetRadio(BOOL on) {
  if (m_pMenu) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    ::GetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &info);
    info.fType = on ? (info.fType | MFT_RADIOCHECK) : (info.fType & ~MFT_RADIOCHECK);
    info.fState = on ? (info.fState | MFS_CHECKED) : (info.fState & ~MFS_CHECKED);
    ::SetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &info);
  } else {
    SetCheck(on ? 1 : 0);
  }
}

void CCmdUI::SetText(const char* text) {
  if (m_pMenu) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(text);
    ::SetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &info);
  } else if (m_pOther && m_pOther->GetSafeHwnd()) {
    // Setting an unchanged text would still repaint the control.
    if (AfxGetWindowText(m_pOther->GetSafeHwnd()) != text)
      ::SetWindowTextA(m_pOther->GetSafeHwnd(), text);
  }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
  if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE;  // separators, popups
  m_bEnableChanged = FALSE;
  const BOOL handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
  if (disableIfNoHandler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info;
    Enable(target->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
  }
  return handled;
}
