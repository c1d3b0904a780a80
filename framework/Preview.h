// CPreviewView (print preview in the frame) and CPreviewBar (its buttons).
// Print preview takes over the frame's client area: the menu and every
// visible control bar but the status bar go, a bar of buttons (Print, Next
// Page, Prev Page, Two Page / One Page, Zoom In, Zoom Out, Close) comes in
// along the top, and the preview view stands in for the frame's pane. The
// status bar tells the page shown ("Page 1", "Pages 1-2"). Escape or Close
// puts the frame back as it was; Print closes the preview and prints.
// While it runs every key of the frame's windows goes to the preview view,
// and its buttons' commands are routed to it before anything else.
// Choices of ours: the pages are recorded once, through the view's printing,
// into enhanced metafiles, so the preview never touches the view again; a
// preview without a printer shows A4 pages. Zoomed out the page (or the two
// pages, side by side) fits the window; zoomed in one page shows at the
// middle step and then at its real size (at least twice the fitted size),
// from its top-left corner, with scroll bars. Two Page with a one-page
// document leaves the second place empty.
#pragma once

#include <vector>

#include "framework/ControlBars.h"
#include "framework/Frame.h"

class CPrintInfo;
class CView;

// The window id of the button bar.
constexpr UINT AFX_IDW_PREVIEW_BAR = 0xE805;

// The preview's buttons, in a row along the top of the frame.
class CPreviewBar : public CControlBar {
  DECLARE_DYNAMIC(CPreviewBar)
 public:
  BOOL Create(CFrameWnd* frame);
  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

 protected:
  // Places the buttons in rows of at most `width` pixels; the bar's height.
  int Arrange(int width);

  int buttonHeight_ = 0;
};

class CPreviewView : public CWnd {
  DECLARE_DYNAMIC(CPreviewView)
 public:
  // Zoom steps: the whole page(s) fitted, a middle step, the real size.
  static constexpr int kZoomSteps = 3;

  // Records the pages of `view`; Create shows them.
  CPreviewView(CView* view, CPrintInfo* info);
  ~CPreviewView() override;

  // Puts the frame into preview: its menu and bars go, this view and the
  // button bar come in. FALSE (and the frame untouched) on failure.
  BOOL Create(CFrameWnd* frame);
  // Puts the frame back as it was and destroys this view.
  void Close();

  UINT GetPageCount() const { return static_cast<UINT>(pages_.size()); }
  // The number of the first page shown (1 for the first page recorded).
  UINT GetCurrentPage() const { return current_ + 1; }
  int GetShownPages() const { return zoom_ == 0 && twoPages_ ? 2 : 1; }
  int GetZoom() const { return zoom_; }
  // The first recorded page and its size in 0.01 mm.
  HENHMETAFILE GetPage() const { return pages_.empty() ? nullptr : pages_[0]; }
  CSize GetPageSize() const { return pageSize_; }
  // Where one page goes zoomed out in a client area of `client`.
  CRect PageRect(const CRect& client) const;
  // The status text for the pages shown ("Page 1", "Pages 1-2").
  CString PageText() const;

  // Keys the frame hands over while the preview runs.
  void OnKeyDown(UINT key, UINT repeat, UINT flags);

 protected:
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  void OnSize(UINT type, int cx, int cy);
  void OnHScroll(UINT code, UINT pos, CWnd* bar);
  void OnVScroll(UINT code, UINT pos, CWnd* bar);
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  void PostNcDestroy() override { delete this; }

  void OnDestroy();
  LRESULT OnEndPreview(WPARAM print, LPARAM);
  void OnPreviewPrint();
  void OnPreviewClose();
  void OnNextPage();
  void OnPrevPage();
  void OnNumPages();
  void OnZoomIn() { SetZoom(zoom_ + 1); }
  void OnZoomOut() { SetZoom(zoom_ - 1); }
  void OnUpdateNextPage(CCmdUI* cmdUI);
  void OnUpdatePrevPage(CCmdUI* cmdUI);
  void OnUpdateNumPages(CCmdUI* cmdUI);
  void OnUpdateZoomIn(CCmdUI* cmdUI) { cmdUI->Enable(zoom_ < kZoomSteps - 1); }
  void OnUpdateZoomOut(CCmdUI* cmdUI) { cmdUI->Enable(zoom_ > 0); }

 private:
  void RecordPages(CView* view, CPrintInfo* info);
  void HideFrameParts();
  void RestoreFrameParts();
  void SetZoom(int zoom);
  // After a change of what is shown: scroll bars, status text, repaint.
  void Changed();
  // Pixels per 0.01 mm of a page at the current zoom in `client`.
  double Scale(const CRect& client) const;
  // The places of the pages shown, in client coordinates (scrolled).
  std::vector<CRect> PagePlaces(const CRect& client) const;
  void UpdateScrollBars();
  void SetScrollAxis(int bar, int total, int shown, LONG& position);
  int ScrollRequest(int bar, UINT code);
  void ScrollTo(int bar, int position);

  std::vector<HENHMETAFILE> pages_;
  CSize pageSize_;
  HWND viewWnd_ = nullptr;  // the view previewed (it may go meanwhile)
  CFrameWnd* frame_ = nullptr;
  CPreviewBar bar_;
  UINT current_ = 0;  // index of the first page shown
  bool twoPages_ = false;
  int zoom_ = 0;
  CPoint scroll_;  // scroll position in pixels while zoomed in
  // What the frame showed before: its menu, bars and pane.
  HMENU savedMenu_ = nullptr;
  std::vector<HWND> hiddenBars_;
  HWND savedPane_ = nullptr;
  HWND savedFocus_ = nullptr;

  DECLARE_MESSAGE_MAP()
};
