// CDocument, CView and CScrollView.
// A document keeps its views, title, path and modified flag; closing its
// last frame asks "Save changes to <title>?" when it is modified (Yes saves,
// No discards, Cancel keeps it open). A view routes commands to itself and
// then to its document.
// Choices of ours: a document is saved into a temporary file beside the
// target, which replaces the target only when the whole archive was written,
// so a failed save never destroys the file that was there.
#pragma once

#include <vector>

#include "framework/Archive.h"
#include "framework/Frame.h"

class CDC;
class CDocTemplate;
class CPreviewView;
class CPrintInfo;
class CView;

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)
 public:
  CDocument() = default;
  ~CDocument() override;

  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(const char* title);
  const CString& GetPathName() const { return m_strPathName; }
  virtual void SetPathName(const char* pathName, BOOL addToMRU = TRUE);
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

  // --- views ---
  void AddView(CView* view);
  void RemoveView(CView* view);
  POSITION GetFirstViewPosition() const;
  CView* GetNextView(POSITION& pos) const;
  int GetViewCount() const { return static_cast<int>(views_.size()); }
  void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);
  // Numbers the frames of this document and refreshes their titles.
  virtual void UpdateFrameCounts();
  // TRUE when another frame than `frame` shows this document.
  BOOL HasOtherFrame(CFrameWnd* frame) const;

  // --- life cycle ---
  virtual BOOL OnNewDocument();
  virtual BOOL OnOpenDocument(const char* pathName);
  virtual BOOL OnSaveDocument(const char* pathName);
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  virtual BOOL CanCloseFrame(CFrameWnd* frame);
  // Asks to save a modified document; FALSE when the user cancelled or the
  // save failed.
  virtual BOOL SaveModified();
  virtual void OnChangedViewList();
  void Serialize(CArchive&) override {}
  // Saves to `pathName`, or asks for a name first when it is null or when
  // `replace` asks for Save As.
  virtual BOOL DoSave(const char* pathName, BOOL replace = TRUE);
  virtual BOOL DoFileSave();
  virtual void ReportSaveLoadException(const char* pathName, const CException* e, BOOL saving,
                                       UINT defaultPromptId);

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  BOOL m_bAutoDelete = TRUE;
  BOOL m_bEmbedded = FALSE;

 protected:
  void OnFileClose();
  void OnFileSave();
  void OnFileSaveAs();

  CString m_strTitle;
  CString m_strPathName;
  CDocTemplate* m_pDocTemplate = nullptr;
  BOOL m_bModified = FALSE;

 private:
  std::vector<CView*> views_;
  friend class CDocTemplate;

  DECLARE_MESSAGE_MAP()
};

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)
 public:
  CView() = default;
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }
  CFrameWnd* GetParentFrame() const { return CWnd::GetParentFrame(); }

  virtual void OnDraw(CDC* dc) = 0;
  // With `info` for a page being printed or previewed.
  virtual void OnPrepareDC(CDC*, CPrintInfo* = nullptr) {}
  virtual void OnInitialUpdate();
  virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
  virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactivateView);

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  // --- printing (Print.cpp) ---
  virtual BOOL OnPreparePrinting(CPrintInfo* info) { return DoPreparePrinting(info); }
  virtual void OnBeginPrinting(CDC*, CPrintInfo*) {}
  virtual void OnPrint(CDC* dc, CPrintInfo*) { OnDraw(dc); }
  virtual void OnEndPrinting(CDC*, CPrintInfo*) {}
  // Gets the job's printer: the print dialog, or for a direct job and a
  // preview the current printer. FALSE when cancelled or there is none
  // (said); a preview goes on without a printer.
  BOOL DoPreparePrinting(CPrintInfo* info);
  // One page on `dc`, which is flagged as printing: OnPrepareDC, the
  // printable area in m_rectDraw, OnPrint.
  void PrintPage(CDC* dc, CPrintInfo* info);
  // Print preview of this view's pages in its frame, or null.
  CPreviewView* OpenPrintPreview();
  void OnFilePrint();
  void OnFilePrintDirect();
  void OnFilePrintPreview();

 protected:
  int OnCreate(LPCREATESTRUCTA cs);
  void OnDestroy();
  void OnPaint();
  int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
  LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
  void PostNcDestroy() override { delete this; }

  CDocument* m_pDocument = nullptr;

 private:
  void PrintJob(BOOL direct);
  BOOL RunPrintJob(CDC* dc, CPrintInfo* info);
 protected:

  DECLARE_MESSAGE_MAP()
  friend class CDocument;
};

// The new position for a scroll-bar request (`code`) on `bar` of `wnd`,
// stepping `line` or `page` units.
int AfxScrollTarget(CWnd* wnd, int bar, UINT code, int line, int page);

// A view that scrolls over a drawing of a given logical size.
class CScrollView : public CView {
  DECLARE_DYNAMIC(CScrollView)
 public:
  // Page and line default to a tenth of the total and of the page.
  static const CSize sizeDefault;

  CScrollView() = default;

  // Sets the drawing's size in logical units of `mapMode` (MM_TEXT,
  // MM_HIMETRIC, ...) and updates the scroll bars.
  void SetScrollSizes(int mapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                      const SIZE& sizeLine = sizeDefault);
  CSize GetTotalSize() const { return m_totalLog; }
  int GetMapMode() const { return m_nMapMode; }
  // The sizes in device pixels, as the scroll bars use them.
  CSize GetDeviceTotalSize() const { return m_totalDev; }
  CSize GetDevicePageSize() const { return m_pageDev; }
  CSize GetDeviceLineSize() const { return m_lineDev; }
  // The scroll position in logical units.
  CPoint GetScrollPosition() const;
  CPoint GetDeviceScrollPosition() const;
  void ScrollToPosition(POINT logical);

  // A page being printed starts at the printable area's top-left corner,
  // whatever the scroll position.
  void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr) override;

 protected:
  void OnSize(UINT type, int cx, int cy);
  void OnHScroll(UINT code, UINT pos, CWnd* bar);
  void OnVScroll(UINT code, UINT pos, CWnd* bar);
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  void UpdateBars();
  void ScrollByDevice(int bar, int newPos);
  // Logical size to device size (positive) for the map mode.
  CSize LogicalToDevice(SIZE size) const;

  int m_nMapMode = 0;
  CSize m_totalLog;
  CSize m_totalDev;
  CSize m_pageDev;
  CSize m_lineDev;

  DECLARE_MESSAGE_MAP()
};
