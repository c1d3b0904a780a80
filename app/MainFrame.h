// CMainFrame: the program's main window, an MDI frame around the document
// windows. It hands every change of the equation text box to the active
// document and writes the document's normalised text back, and whenever it
// gets the focus it re-reads the font settings and tells other programs
// that it runs.
// The text box's window is made by the frame's bars; until it exists the
// frame hands nothing on.
#pragma once

#include "framework/Frame.h"

class QVM400Doc;

class CMainFrame : public CMDIFrameWnd {
  DECLARE_DYNCREATE(CMainFrame)
 public:
  CMainFrame() = default;
  ~CMainFrame() override = default;

  // The document of the active document window, or null.
  QVM400Doc* GetActiveEquationDocument() const;

  // The road of an edit: the box's text to the active document and back.
  void OnEquationEditChange();

 protected:
  int OnCreate(LPCREATESTRUCTA cs);
  void OnSetFocus(CWnd* old);
  void OnWindowNew() {}

  DECLARE_MESSAGE_MAP()
};
