// CPropertySheet and CPropertyPage.
#include "framework/PropertySheet.h"

#include "framework/App.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

// --- CPropertyPage ------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialog(templateId) {
  m_psp.dwSize = sizeof m_psp;
  // The program's own page when the language module lacks it.
  m_psp.hInstance = AfxFindResourceHandle(MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));
  m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
  if (captionId && caption_.LoadString(captionId)) {
    m_psp.dwFlags |= PSP_USETITLE;
  }
}

CPropertyPage::CPropertyPage(const DLGTEMPLATE* dialogTemplate, const char* caption)
    : caption_(caption) {
  m_lpDialogTemplate = dialogTemplate;
  m_psp.dwSize = sizeof m_psp;
  m_psp.dwFlags = PSP_DLGINDIRECT | (caption ? PSP_USETITLE : 0);
  m_psp.hInstance = AfxGetInstanceHandle();
  m_psp.pResource = dialogTemplate;
}

// Binds the page window to its object when the sheet creates it; every
// later message reaches the object through the window procedure.
INT_PTR CALLBACK CPropertyPage::PageProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
  if (!page->SubclassWindow(hWnd)) return TRUE;
  // Guard: this runs inside the system's dialog creation.
  try {
    return page->OnInitDialog();
  } catch (...) {
    AfxReportCurrentException();
    return TRUE;
  }
}

BOOL CPropertyPage::OnSetActive() {
  if (firstSetActive_)
    firstSetActive_ = FALSE;  // OnInitDialog has filled the controls
  else
    UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }

void CPropertyPage::SetModified(BOOL changed) {
  if (!sheet_ || !sheet_->GetSafeHwnd()) return;
  ::SendMessageA(sheet_->GetSafeHwnd(), changed ? PSM_CHANGED : PSM_UNCHANGED,
                 reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CPropertyPage::CancelToClose() {
  if (sheet_ && sheet_->GetSafeHwnd()) ::SendMessageA(sheet_->GetSafeHwnd(), PSM_CANCELTOCLOSE, 0, 0);
}

// The sheet's notifications; their answers go back as the message result
// (and in DWLP_MSGRESULT, where the sheet may look for them).
BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  LRESULT answer = 0;
  switch (header->code) {
    case PSN_SETACTIVE: answer = OnSetActive() ? 0 : -1; break;
    case PSN_KILLACTIVE: answer = OnKillActive() ? FALSE : TRUE; break;
    case PSN_APPLY:
      if (reinterpret_cast<const PSHNOTIFY*>(lParam)->lParam && sheet_) sheet_->okPressed_ = TRUE;
      answer = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      if (answer != PSNRET_NOERROR && sheet_) sheet_->okPressed_ = FALSE;
      break;
    case PSN_RESET: OnReset(); break;
    case PSN_QUERYCANCEL: answer = OnQueryCancel() ? FALSE : TRUE; break;
    default: return CDialog::OnNotify(wParam, lParam, result);
  }
  ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, answer);
  *result = answer;
  return TRUE;
}

// --- CPropertySheet --------------------------------------------------------------

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : caption_(caption), parent_(parent), startPage_(selectPage) {}

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage)
    : parent_(parent), startPage_(selectPage) {
  caption_.LoadString(captionId);
}

CPropertySheet::~CPropertySheet() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  page->sheet_ = this;
  pages_.push_back(page);
  if (m_hWnd) {
    PROPSHEETPAGEA psp = page->m_psp;
    psp.pfnDlgProc = CPropertyPage::PageProc;
    psp.lParam = reinterpret_cast<LPARAM>(page);
    if (!page->caption_.IsEmpty()) psp.pszTitle = page->caption_;
    ::SendMessageA(m_hWnd, PSM_ADDPAGE, 0,
                   reinterpret_cast<LPARAM>(::CreatePropertySheetPageA(&psp)));
  }
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (pages_[static_cast<size_t>(i)] == page) return i;
  return -1;
}

BOOL CPropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= GetPageCount()) return FALSE;
  if (!m_hWnd) {
    startPage_ = static_cast<UINT>(index);
    return TRUE;
  }
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_SETCURSEL, index, 0));
}

int CPropertySheet::GetActiveIndex() const {
  if (!m_hWnd) return static_cast<int>(startPage_);
  HWND current = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
  for (int i = 0; i < GetPageCount(); ++i)
    if (pages_[static_cast<size_t>(i)]->GetSafeHwnd() == current) return i;
  return static_cast<int>(startPage_);
}

// The sheet is over once it has no current page (OK or Cancel pressed).
BOOL CPropertySheet::ContinueModal() {
  if (!CWnd::ContinueModal()) return FALSE;
  return ::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
}

BOOL CPropertySheet::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)));
}

INT_PTR CPropertySheet::DoModal() {
  if (pages_.empty()) return -1;
  std::vector<PROPSHEETPAGEA> sheets;
  for (CPropertyPage* page : pages_) {
    PROPSHEETPAGEA psp = page->m_psp;
    psp.pfnDlgProc = CPropertyPage::PageProc;
    psp.lParam = reinterpret_cast<LPARAM>(page);
    if (!page->caption_.IsEmpty()) psp.pszTitle = page->caption_;
    page->firstSetActive_ = TRUE;
    sheets.push_back(psp);
  }
  HWND owner = parent_ ? parent_->GetSafeHwnd() : nullptr;
  if (!owner) {
    CWnd* main = AfxGetMainWnd();
    owner = main ? main->GetSafeHwnd() : nullptr;
  }
  while (owner && (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  m_psh.dwSize = sizeof m_psh;
  m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS;
  m_psh.hwndParent = owner;
  m_psh.hInstance = AfxGetInstanceHandle();
  m_psh.pszCaption = caption_;
  m_psh.nPages = static_cast<UINT>(sheets.size());
  m_psh.nStartPage = startPage_ < sheets.size() ? startPage_ : 0;
  m_psh.ppsp = sheets.data();
  okPressed_ = FALSE;
  const bool disableOwner = owner && ::IsWindowEnabled(owner);
  if (disableOwner) ::EnableWindow(owner, FALSE);
  HWND sheet = reinterpret_cast<HWND>(::PropertySheetA(&m_psh));
  INT_PTR result = -1;
  if (sheet && SubclassWindow(sheet)) {
    // Guard: the owner must come back enabled whatever happens in between.
    try {
      RunModalLoop();
    } catch (...) {
      if (disableOwner) ::EnableWindow(owner, TRUE);
      DestroyWindow();
      throw;
    }
    result = okPressed_ ? IDOK : IDCANCEL;
  }
  if (disableOwner) ::EnableWindow(owner, TRUE);
  if (owner) ::SetActiveWindow(owner);
  if (m_hWnd) DestroyWindow();
  return result;
}
