// QVM400View: measuring and drawing the equation on screen.
#include "app/document/View.h"

#include "app/App.h"
#include "app/document/Document.h"
#include "app/document/MemDC.h"
#include "framework/Print.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(QVM400View, CScrollView)

namespace {

constexpr int kStartSize = 10000;  // 10 cm square until the first measure
constexpr double kScrollGrowth = 1.1;
// Where a new document's window puts the main window.
constexpr int kMainLeft = 50;
constexpr int kMainTop = 50;
constexpr int kMainWidth = 550;
constexpr int kMainHeight = 400;

}  // namespace

BEGIN_MESSAGE_MAP(QVM400View, CScrollView)
  ON_WM_ERASEBKGND()
  ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrintDirect)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
  ON_COMMAND(ID_CANCEL_EDIT_SRVR, OnCancelEditSrvr)
END_MESSAGE_MAP()

QVM400View::QVM400View() { SetScrollSizes(MM_HIMETRIC, CSize(kStartSize, kStartSize)); }

// Escape while another program's equation is edited here.
void QVM400View::OnCancelEditSrvr() {
  if (QVM400Doc* doc = GetDocument()) doc->OnDeactivateUI(FALSE);
}

QVM400Doc* QVM400View::GetDocument() const { return static_cast<QVM400Doc*>(m_pDocument); }

void QVM400View::OnInitialUpdate() {
  CScrollView::OnInitialUpdate();
  if (CWnd* main = AfxGetMainWnd()) {
    main->MoveWindow(kMainLeft, kMainTop, kMainWidth, kMainHeight, TRUE);
    main->CenterWindow();
  }
  SetScrollSizes(MM_HIMETRIC, CSize(kStartSize, kStartSize));
}

void QVM400View::OnActivateView(BOOL activate, CView* activateView, CView* deactivateView) {
  CScrollView::OnActivateView(activate, activateView, deactivateView);
  if (activate && activateView == this && GetDocument())
    GetQVMApp()->ShowInEquationEdit(GetDocument()->GetEquationText());
}

// Each product truncated toward zero.
void QVM400View::SizeToExtent(const ExtentRecord& extent) {
  const CSize total(static_cast<int>(extent.width * kScrollGrowth),
                    static_cast<int>(extent.height * kScrollGrowth));
  SetScrollSizes(MM_HIMETRIC, total);
}

// The document found the bands once for all its views; each view places
// them on its own terms (OnPrepareDC, 0.01 mm) across its whole width. The
// scroll sizes follow at once, from the box the bands were found in: an
// edit out of sight repaints nothing here, and the bars must still reach
// the line it changed.
void QVM400View::OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) {
  QVM400Doc* doc = GetDocument();
  if (hint != QVM400Doc::kHintTextEdited || !doc || !m_hWnd)
    return CScrollView::OnUpdate(sender, hint, hintObject);
  CClientDC dc(m_hWnd);
  OnPrepareDC(&dc);
  dc.SetMapMode(MM_HIMETRIC);
  CRect client;
  GetClientRect(&client);
  for (const ListBand& band : doc->EditedBands) {
    RECT rect{kMarginX, kMarginY - band.top, kMarginX, kMarginY - band.bottom};
    dc.LPtoDP(&rect);
    rect.left = client.left;
    rect.right = client.right;
    InvalidateRect(&rect, FALSE);
  }
  SizeToExtent(doc->Equation.PicturedExtent());
}

void QVM400View::OnDraw(CDC* dc) {
  QVM400Doc* doc = GetDocument();
  if (!doc) return;
  QVM400App* app = GetQVMApp();
  if (doc->ApplyWordFont(app->FontIni)) doc->UpdateAllViews(this);
  dc->SetMapMode(MM_HIMETRIC);
  dc->SetTextAlign(0);
  QVMemDC memory(dc);
  ExtentRecord extent;
  doc->MeasureEquation(extent, &memory);
  app->EquationExtent = extent;
  if (!dc->IsPrinting()) SizeToExtent(extent);
  doc->DrawEquation(&memory, kMarginX, kMarginY);
}
