// CPrintInfo (one print or preview job) and CPreviewWnd (the print
// preview window), used by CView's printing (DocView.h).
// Choices of ours: a job prints pages GetMinPage() to GetMaxPage(), one
// page unless the view says otherwise; the preview records the page once,
// through the view's printing, into an enhanced metafile and plays it
// scaled into a page drawn in the window, so it never touches the view
// again; without a printer it shows an A4 page as the screen would print
// it. Printer settings chosen in Print Setup stay with the application.
#pragma once

#include "framework/Dc.h"
#include "framework/Wnd.h"

class CView;

class CPrintInfo {
 public:
  CPrintInfo();
  ~CPrintInfo();
  CPrintInfo(const CPrintInfo&) = delete;
  CPrintInfo& operator=(const CPrintInfo&) = delete;

  void SetMinPage(UINT page) { m_pd.nMinPage = static_cast<WORD>(page); }
  void SetMaxPage(UINT page) { m_pd.nMaxPage = static_cast<WORD>(page); }
  UINT GetMinPage() const { return m_pd.nMinPage; }
  UINT GetMaxPage() const { return m_pd.nMaxPage; }
  // The printer's DC the job got (null for a preview without a printer).
  HDC GetPrinterDC() const { return m_pd.hDC; }

  PRINTDLGA m_pd{};
  BOOL m_bDirect = FALSE;  // no dialog: the current printer
  BOOL m_bPreview = FALSE;
  BOOL m_bContinuePrinting = TRUE;
  UINT m_nCurPage = 1;
  CRect m_rectDraw;  // the printable area in logical units
};

// The page of `view` as it would print, in a top-level window of its own
// owned by the main window; Escape or closing ends it.
class CPreviewWnd : public CWnd {
 public:
  // Records the page; Create shows it.
  CPreviewWnd(CView* view, CPrintInfo* info);
  ~CPreviewWnd() override;

  BOOL Create(CWnd* owner);
  // The recorded page and its size in 0.01 mm (for tests).
  HENHMETAFILE GetPage() const { return page_; }
  CSize GetPageSize() const { return pageSize_; }
  // Where the page goes in a client area of `client`: fitted, centred.
  CRect PageRect(const CRect& client) const;

 protected:
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void PostNcDestroy() override { delete this; }

 private:
  HENHMETAFILE page_ = nullptr;
  CSize pageSize_;

  DECLARE_MESSAGE_MAP()
};

// A DC for the printer named by DEVNAMES and DEVMODE blocks (null on failure).
HDC CreatePrinterDC(HGLOBAL devNames, HGLOBAL devMode);
// The printable area of a printer DC in 0.01 mm.
CSize PrintableSize(HDC printer);
