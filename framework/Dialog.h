// CDialog: modal dialogs with a message loop of their own, and modeless ones.
// The template comes from a resource id or name, or from a DLGTEMPLATE in
// memory. DoModal disables the owner (the parent, else the main window),
// runs the loop until EndDialog, then enables the owner again and destroys
// the dialog. OnInitDialog moves the members into the controls with
// UpdateData(FALSE); OnOK moves them back (and validates) before ending.
// Choices of ours: a dialog whose template cannot be found or created makes
// DoModal return -1 without any message; a WM_QUIT inside the loop ends the
// dialog with -1 and is posted again for the outer loop.
#pragma once

#include "framework/Wnd.h"

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  CDialog() = default;
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  explicit CDialog(const char* templateName, CWnd* parent = nullptr);
  ~CDialog() override;

  // A modal dialog from a template in memory (kept by the caller).
  BOOL InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);

  virtual INT_PTR DoModal();
  // Modeless creation.
  BOOL Create(UINT templateId, CWnd* parent = nullptr);
  BOOL Create(const char* templateName, CWnd* parent = nullptr);
  BOOL CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);

  void EndDialog(int result);
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
  void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
  void GotoDlgCtrl(CWnd* control);
  void SetDefID(UINT id) { ::SendMessageA(m_hWnd, DM_SETDEFID, id, 0); }

  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleInitDialog(WPARAM, LPARAM);
  // The template to create: from memory or from the resource.
  const DLGTEMPLATE* LoadDialogTemplate() const;
  BOOL CreateFromTemplate(const DLGTEMPLATE* dialogTemplate, HWND owner);
  // The window the dialog is modal to (parent, else the main window).
  HWND PreModal();

  const char* m_lpszTemplateName = nullptr;  // resource name or MAKEINTRESOURCE id
  const DLGTEMPLATE* m_lpDialogTemplate = nullptr;
  CWnd* m_pParentWnd = nullptr;
  UINT m_nIDHelp = 0;

  DECLARE_MESSAGE_MAP()
};

// The dialog class some of our dialogs derive from; it adds nothing to
// CDialog.
class CDialogEx : public CDialog {
 public:
  using CDialog::CDialog;
};

// A dialog template from the resource module (the program's own when the
// language module lacks it); null when there is none.
const DLGTEMPLATE* AfxLoadDialogTemplate(const char* name);

// The text of control `itemId` in the program's own template `name` (not a
// language module's), "" when there is none; extended templates only.
CString AfxProgramDialogItemText(const char* name, int itemId);

// The dialog procedure of our dialogs: all work happens in the window
// procedure, so it declines everything.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
