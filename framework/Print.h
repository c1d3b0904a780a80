// CPrintInfo (one print or preview job) and CView's printing (DocView.h);
// the preview itself is CPreviewView (Preview.h).
// Choices of ours: a job prints pages GetMinPage() to GetMaxPage(), one
// page unless the view says otherwise; a preview goes on without a printer.
// Printer settings chosen in Print Setup stay with the application.
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

// A DC for the printer named by DEVNAMES and DEVMODE blocks (null on failure).
HDC CreatePrinterDC(HGLOBAL devNames, HGLOBAL devMode);
// The page a preview shows, in 0.01 mm: the printer's printable area, or an
// A4 page without a printer.
CSize PreviewPageSize(HDC printer);
// The printable area of a printer DC in 0.01 mm.
CSize PrintableSize(HDC printer);
