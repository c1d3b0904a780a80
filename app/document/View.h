// QVM400View: shows the document's equation in a document window. Each
// paint measures the equation into the application's extent record, sizes
// the scroll area to 1.1 times the extent and draws the equation 5 mm in
// from the top-left corner, in 0.01 mm units, through one off-screen bitmap.
// Printing and preview draw the same way on the page, 5 mm in from the
// printable area's top-left corner, and leave the scroll area alone.
// Choice of ours: activating a view puts its document's text into the
// equation text box, so typing after a switch edits the document shown.
#pragma once

#include "engine/Extent.h"
#include "framework/DocView.h"

class QVM400Doc;

class QVM400View : public CScrollView {
  DECLARE_DYNCREATE(QVM400View)
 public:
  // Where the equation's top-left corner goes, in 0.01 mm (y upwards).
  static constexpr int kMarginX = 500;
  static constexpr int kMarginY = -500;

  QVM400View();
  ~QVM400View() override = default;

  QVM400Doc* GetDocument() const;
  void OnDraw(CDC* dc) override;
  void OnInitialUpdate() override;
  void OnActivateView(BOOL activate, CView* activateView, CView* deactivateView) override;
  // After an edit of the text only the bands of the picture the edit
  // changed are invalidated; any other update repaints the whole view.
  void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
  BOOL OnPreparePrinting(CPrintInfo* info) override { return DoPreparePrinting(info); }
  // The scroll area for an equation of `extent`: 1.1 times its size.
  void SizeToExtent(const ExtentRecord& extent);

 protected:
  BOOL OnEraseBkgnd(HDC) { return FALSE; }
  void OnCancelEditSrvr();

  DECLARE_MESSAGE_MAP()
};
