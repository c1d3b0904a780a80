// CDialog.
#include "framework/Dialog.h"

#include "framework/App.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCEA(templateId)), m_pParentWnd(parent), m_nIDHelp(templateId) {}

CDialog::CDialog(const char* templateName, CWnd* parent)
    : m_lpszTemplateName(templateName), m_pParentWnd(parent) {}

CDialog::~CDialog() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

BOOL CDialog::InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent) {
  m_lpDialogTemplate = dialogTemplate;
  m_pParentWnd = parent;
  return dialogTemplate != nullptr;
}

const DLGTEMPLATE* AfxLoadDialogTemplate(const char* name) {
  if (!name) return nullptr;
  // A language module may lack a dialog: the program's own serves then.
  HINSTANCE instance = AfxGetResourceInstance();
  if (!::FindResourceA(instance, name, MAKEINTRESOURCEA(5))) instance = AfxGetInstanceHandle();
  HRSRC resource = ::FindResourceA(instance, name, MAKEINTRESOURCEA(5));  // RT_DIALOG
  HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
  return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

namespace {

// Moves past a text field of a template (a string, an ordinal, or empty),
// handing the string to `text` when asked.
const WORD* SkipTemplateText(const WORD* p, CString* text = nullptr) {
  if (*p == 0xFFFF) return p + 2;
  const WORD* start = p;
  while (*p) ++p;
  if (text) {
    char narrow[1024] = {};
    ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(start),
                          static_cast<int>(p - start), narrow, sizeof narrow - 1, nullptr, nullptr);
    *text = narrow;
  }
  return p + 1;
}

const BYTE* AlignToDword(const WORD* p) {
  return reinterpret_cast<const BYTE*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR{3});
}

}  // namespace

// Walks the DLGTEMPLATEEX header (menu, class, caption, font), then the
// DWORD-aligned items: their id at byte 20, class and text from byte 24.
CString AfxProgramDialogItemText(const char* name, int itemId) {
  HINSTANCE program = AfxGetInstanceHandle();
  HRSRC resource = ::FindResourceA(program, name, MAKEINTRESOURCEA(5));  // RT_DIALOG
  HGLOBAL loaded = resource ? ::LoadResource(program, resource) : nullptr;
  const auto* bytes = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
  const auto* words = reinterpret_cast<const WORD*>(bytes);
  if (!bytes || words[0] != 1 || words[1] != 0xFFFF) return CString();
  const DWORD style = *reinterpret_cast<const DWORD*>(bytes + 12);
  const WORD items = words[8];
  const WORD* p = SkipTemplateText(SkipTemplateText(SkipTemplateText(words + 13)));
  if (style & DS_SETFONT) p = SkipTemplateText(p + 3);
  for (WORD i = 0; i < items; ++i) {
    const BYTE* item = AlignToDword(p);
    CString text;
    p = SkipTemplateText(SkipTemplateText(reinterpret_cast<const WORD*>(item + 24)), &text);
    p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p + 1) + *p);  // extra data
    if (*reinterpret_cast<const int*>(item + 20) == itemId) return text;
  }
  return CString();
}

const DLGTEMPLATE* CDialog::LoadDialogTemplate() const {
  if (m_lpDialogTemplate) return m_lpDialogTemplate;
  return AfxLoadDialogTemplate(m_lpszTemplateName);
}

BOOL CDialog::CreateFromTemplate(const DLGTEMPLATE* dialogTemplate, HWND owner) {
  if (!dialogTemplate) return FALSE;
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), dialogTemplate, owner,
                                           AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  if (!hWnd) return FALSE;
  if (!m_hWnd) {  // the window exists but was not bound: do not leave it behind
    ::DestroyWindow(hWnd);
    return FALSE;
  }
  return TRUE;
}

HWND CDialog::PreModal() {
  HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
  if (!owner) {
    CWnd* main = AfxGetMainWnd();
    owner = main ? main->GetSafeHwnd() : nullptr;
  }
  // A dialog is modal to a top-level window, never to a child.
  while (owner && (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  return owner;
}

// Runs the dialog in a loop of its own; the owner stays disabled meanwhile.
INT_PTR CDialog::DoModal() {
  const DLGTEMPLATE* dialogTemplate = LoadDialogTemplate();
  if (!dialogTemplate) return -1;
  HWND owner = PreModal();
  const bool disableOwner = owner && ::IsWindowEnabled(owner);
  if (disableOwner) ::EnableWindow(owner, FALSE);
  m_nModalResult = -1;
  m_nFlags |= WF_CONTINUEMODAL;
  INT_PTR result = -1;
  // Guard: the owner must come back enabled whatever happens in between.
  try {
    if (CreateFromTemplate(dialogTemplate, owner)) {
      if (m_nFlags & WF_CONTINUEMODAL) RunModalLoop();
      result = m_nModalResult;
      if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
  } catch (...) {
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) DestroyWindow();
    throw;
  }
  if (disableOwner) ::EnableWindow(owner, TRUE);
  if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
  if (m_hWnd) DestroyWindow();
  m_nFlags &= ~WF_CONTINUEMODAL;
  return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  return Create(MAKEINTRESOURCEA(templateId), parent);
}

BOOL CDialog::Create(const char* templateName, CWnd* parent) {
  m_lpszTemplateName = templateName;
  m_pParentWnd = parent;
  if (IS_INTRESOURCE(templateName)) m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(templateName));
  return CreateFromTemplate(LoadDialogTemplate(), parent ? parent->GetSafeHwnd() : nullptr);
}

BOOL CDialog::CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent) {
  m_lpDialogTemplate = dialogTemplate;
  m_pParentWnd = parent;
  return CreateFromTemplate(dialogTemplate, parent ? parent->GetSafeHwnd() : nullptr);
}

void CDialog::EndDialog(int result) {
  if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
    EndModalLoop(result);
  else if (m_hWnd)
    ::EndDialog(m_hWnd, result);
  m_nModalResult = result;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (control) ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->GetSafeHwnd()), TRUE);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CWnd::DefWindowProc(message, wParam, lParam);
}

// Dialog keys (Tab, Enter, Esc, mnemonics) for this dialog's controls.
BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
  if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
  return ::IsDialogMessageA(m_hWnd, msg);
}
