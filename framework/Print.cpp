// CPrintInfo and CView's printing.
#include "framework/Print.h"

#include <cderr.h>

#include <algorithm>

#include "framework/App.h"
#include "framework/CommonDialogs.h"
#include "framework/DocView.h"
#include "framework/Preview.h"

namespace {

// An A4 page (0.01 mm), for a preview without a printer.
constexpr int kA4Width = 21000;
constexpr int kA4Height = 29700;
constexpr int kHimetricPerInch = 2540;

// The text at `offset` characters into a DEVNAMES block.
const char* DevNamesText(const DEVNAMES* names, WORD offset) {
  return reinterpret_cast<const char*>(names) + offset;
}

}  // namespace

HDC CreatePrinterDC(HGLOBAL devNames, HGLOBAL devMode) {
  if (!devNames) return nullptr;
  const auto* names = static_cast<const DEVNAMES*>(::GlobalLock(devNames));
  if (!names) return nullptr;
  const auto* mode = devMode ? static_cast<const DEVMODEA*>(::GlobalLock(devMode)) : nullptr;
  HDC dc = ::CreateDCA(DevNamesText(names, names->wDriverOffset),
                       DevNamesText(names, names->wDeviceOffset),
                       DevNamesText(names, names->wOutputOffset), mode);
  if (mode) ::GlobalUnlock(devMode);
  ::GlobalUnlock(devNames);
  return dc;
}

CSize PreviewPageSize(HDC printer) {
  return printer ? PrintableSize(printer) : CSize(kA4Width, kA4Height);
}

CSize PrintableSize(HDC printer) {
  const int dpiX = ::GetDeviceCaps(printer, LOGPIXELSX);
  const int dpiY = ::GetDeviceCaps(printer, LOGPIXELSY);
  if (dpiX <= 0 || dpiY <= 0) return CSize(kA4Width, kA4Height);
  return CSize(::MulDiv(::GetDeviceCaps(printer, HORZRES), kHimetricPerInch, dpiX),
               ::MulDiv(::GetDeviceCaps(printer, VERTRES), kHimetricPerInch, dpiY));
}

// ------------------------------------------------------------- CPrintInfo

CPrintInfo::CPrintInfo() {
  m_pd.lStructSize = sizeof m_pd;
  m_pd.nMinPage = m_pd.nMaxPage = 1;
  m_pd.nFromPage = m_pd.nToPage = 1;
  m_pd.nCopies = 1;
}

CPrintInfo::~CPrintInfo() {
  if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
  if (m_pd.hDevMode) ::GlobalFree(m_pd.hDevMode);
  if (m_pd.hDevNames) ::GlobalFree(m_pd.hDevNames);
}

// ------------------------------------------------------- CView's printing

// A direct job and a preview take the printer of Print Setup, else the
// default one; a preview goes on without any printer.
BOOL CView::DoPreparePrinting(CPrintInfo* info) {
  CWinApp* app = AfxGetApp();
  CWnd* main = AfxGetMainWnd();
  PRINTDLGA& pd = info->m_pd;
  pd.hwndOwner = main ? main->GetSafeHwnd() : nullptr;
  if (info->m_bDirect || info->m_bPreview) {
    if (app && app->m_hDevNames) {
      pd.hDC = CreatePrinterDC(app->m_hDevNames, app->m_hDevMode);
    } else {
      pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
      AfxPrintDlg(&pd);
    }
    if (pd.hDC || info->m_bPreview) return TRUE;
    AfxMessageBox(AFX_IDP_NO_PRINTER, MB_ICONEXCLAMATION);
    return FALSE;
  }
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
  pd.hDevMode = app ? app->m_hDevMode : nullptr;
  pd.hDevNames = app ? app->m_hDevNames : nullptr;
  const BOOL chosen = AfxPrintDlg(&pd);
  if (app) {  // the dialog may have replaced the blocks; the application keeps them
    app->m_hDevMode = pd.hDevMode;
    app->m_hDevNames = pd.hDevNames;
  }
  pd.hDevMode = pd.hDevNames = nullptr;
  if (!chosen && AfxCommDlgExtendedError() == PDERR_NODEFAULTPRN)
    AfxMessageBox(AFX_IDP_NO_PRINTER, MB_ICONEXCLAMATION);
  return chosen && pd.hDC;
}

void CView::PrintPage(CDC* dc, CPrintInfo* info) {
  OnPrepareDC(dc, info);
  CRect area(0, 0, dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES));
  dc->DPtoLP(&area);
  area.NormalizeRect();
  info->m_rectDraw = area;
  OnPrint(dc, info);
}

// The pages between StartDoc and EndDoc; a failed page aborts the job.
BOOL CView::RunPrintJob(CDC* dc, CPrintInfo* info) {
  const CString title = m_pDocument ? m_pDocument->GetTitle() : AfxLoadString(AFX_IDS_UNTITLED);
  DOCINFOA document{};
  document.cbSize = sizeof document;
  document.lpszDocName = title;
  if (::StartDocA(dc->GetSafeHdc(), &document) <= 0) return FALSE;
  OnBeginPrinting(dc, info);
  bool ok = true;
  for (UINT page = info->GetMinPage();
       ok && info->m_bContinuePrinting && page <= info->GetMaxPage(); ++page) {
    info->m_nCurPage = page;
    ok = ::StartPage(dc->GetSafeHdc()) > 0;
    if (!ok) break;
    PrintPage(dc, info);
    ok = ::EndPage(dc->GetSafeHdc()) > 0;
  }
  OnEndPrinting(dc, info);
  if (ok) return ::EndDoc(dc->GetSafeHdc()) > 0;
  ::AbortDoc(dc->GetSafeHdc());
  return FALSE;
}

void CView::PrintJob(BOOL direct) {
  CPrintInfo info;
  info.m_bDirect = direct;
  if (!OnPreparePrinting(&info) || !info.GetPrinterDC()) return;
  CDC dc;
  dc.Attach(info.GetPrinterDC());  // the job's info deletes it
  dc.m_bPrinting = true;
  const BOOL printed = RunPrintJob(&dc, &info);
  dc.Detach();
  if (!printed) AfxMessageBox(AFX_IDP_PRINT_FAILED, MB_ICONEXCLAMATION);
}

void CView::OnFilePrint() { PrintJob(FALSE); }
void CView::OnFilePrintDirect() { PrintJob(TRUE); }
void CView::OnFilePrintPreview() { OpenPrintPreview(); }

// One preview at a time, in the frame that holds the view.
CPreviewView* CView::OpenPrintPreview() {
  CFrameWnd* frame = GetTopLevelFrame();
  if (!frame) frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
  if (!frame || frame->GetPreview()) return nullptr;
  CPrintInfo info;
  info.m_bPreview = TRUE;
  if (!OnPreparePrinting(&info)) return nullptr;
  auto* preview = new CPreviewView(this, &info);
  if (!preview->Create(frame)) {
    if (!preview->GetSafeHwnd()) delete preview;  // a window deletes itself
    return nullptr;
  }
  return preview;
}
