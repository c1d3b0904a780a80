// CMainFrame: document windows, the road of an edit and the focus handler.
#include "app/MainFrame.h"

#include "app/App.h"
#include "app/Document.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_WM_SETFOCUS()
  ON_EN_CHANGE(IDC_EQUATION_EDIT, OnEquationEditChange)
  ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
END_MESSAGE_MAP()

int CMainFrame::OnCreate(LPCREATESTRUCTA cs) {
  if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;
  GetQVMApp()->RefocusEdit = 1;
  return 0;
}

QVM400Doc* CMainFrame::GetActiveEquationDocument() const {
  CMDIChildWnd* child = MDIGetActive();
  CDocument* doc = child ? child->GetActiveDocument() : nullptr;
  return doc && doc->IsKindOf(RUNTIME_CLASS(QVM400Doc)) ? static_cast<QVM400Doc*>(doc) : nullptr;
}

// A multi-line edit sends no EN_CHANGE for WM_SETTEXT, so writing the text
// back raises no second change.
void CMainFrame::OnEquationEditChange() {
  QVM400Doc* doc = GetActiveEquationDocument();
  QVEdit* edit = GetQVMApp()->EquationEdit;
  if (!doc || !edit || !edit->GetSafeHwnd()) return;
  int start = 0;
  int end = 0;
  edit->GetSel(start, end);
  doc->SetEquationText(edit->GetWindowText());
  edit->SetWindowText(doc->GetEquationText());
  edit->SetSel(start, end);
  edit->SendMessage(EM_SCROLLCARET);
}

void CMainFrame::OnSetFocus(CWnd* old) {
  CMDIFrameWnd::OnSetFocus(old);
  QVM400App* app = GetQVMApp();
  app->RefocusEdit = 1;
  app->FontIni.Load();
  app->ControlIni.WriteInt("Control", "Running", 1, true);
  app->ControlIni.Save();
}
