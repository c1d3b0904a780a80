// The seven insert dialogs with live previews, and the preview they share.
#include "app/InsertDialogs.h"

#include <cmath>

#include "engine/EquationLine.h"
#include "framework/DataExchange.h"
#include "framework/Dc.h"
#include "resources/resource.h"

namespace {

// The size the fitted pictures are measured at before scaling.
constexpr int32_t kTrialFontSize = 20000;
// A fitted sign fills nine tenths of its placeholder.
constexpr double kFitShare = 0.9;
// The sign a fitted picture is scaled by, whatever it draws.
constexpr const char* kFittingSign = "int";

void SetFontSize(QVMOptions& options, int32_t size) {
  QVLogFont font = options.Font.GetValue();
  font.Size = size;
  options.Font.SetValue(font);
}

// The placeholder's corner and size in 0.01 mm from the client's top left.
void PlaceholderHimetric(CDialog& dialog, CDC& dc, int id, CSize& corner, CSize& size) {
  CRect rect;
  if (CWnd* placeholder = dialog.GetDlgItem(id)) {
    placeholder->GetWindowRect(&rect);
    dialog.ScreenToClient(&rect);
  }
  corner = CSize(rect.left, rect.top);
  size = CSize(rect.Width(), rect.Height());
  dc.DPtoHIMETRIC(&corner);
  dc.DPtoHIMETRIC(&size);
}

}  // namespace

int32_t FittedPreviewSize(CDC& dc, const QVMOptions& options, int32_t trialSize, CSize space) {
  QVMOptions trial = options;
  SetFontSize(trial, trialSize);
  EquationLine line;
  line.SetText(kFittingSign, trial);
  const ExtentRecord extent = line.Measure(dc, trial);
  // A sign that measures nothing cannot be scaled: keep the trial size.
  if (extent.width <= 0 || extent.height <= 0) return trialSize;
  const double factor = std::min(static_cast<double>(space.cy) / extent.height,
                                 static_cast<double>(space.cx) / extent.width) *
                        kFitShare;
  return TruncateGdiLength(trialSize * factor);
}

void PaintPreview(CDialog& dialog, const PreviewStyle& style,
                  std::initializer_list<PreviewPiece> pieces) {
  CPaintDC dc(dialog.m_hWnd);
  QVMOptions options(style.optionStyle);
  SetFontSize(options, style.fontSize);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(style.textAlign);
  dc.SetMapMode(MM_HIMETRIC);
  dialog.UpdateData(TRUE);

  EquationLine line;
  for (const PreviewPiece& piece : pieces) {
    CSize corner, space;
    PlaceholderHimetric(dialog, dc, piece.anchorId, corner, space);
    if (style.fitted) {
      const int32_t size = FittedPreviewSize(dc, options, style.fontSize, space);
      if (size < 1) continue;  // nothing left to draw in
      SetFontSize(options, size);
      line.SetText("", options);
    }
    line.SetText(piece.text, options);
    line.Draw(dc, corner.cx, -corner.cy, options);
  }
}

// --- the dialogs ------------------------------------------------------------------------

namespace {
constexpr UINT kTopLeft = TA_LEFT | TA_TOP;
constexpr UINT kCentreBottom = TA_CENTER | TA_BOTTOM;
}  // namespace

BEGIN_MESSAGE_MAP(QVMIntegralDlg, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

QVMIntegralDlg::QVMIntegralDlg() : CDialog(IDD_INSERT_INTEGRAL) {}

void QVMIntegralDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_INSERT_FIRST, UpperBound);
  DDX_Text(dx, IDC_INSERT_SECOND, LowerBound);
}

void QVMIntegralDlg::OnPaint() {
  PaintPreview(*this, {3, kTrialFontSize, kTopLeft, true}, {{"int", IDC_INSERT_ANCHOR}});
}

BEGIN_MESSAGE_MAP(QVMLimitDlg, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

QVMLimitDlg::QVMLimitDlg() : CDialog(IDD_INSERT_LIMIT) {}

void QVMLimitDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_INSERT_FIRST, Target);
  DDX_Text(dx, IDC_INSERT_SECOND, Variable);
}

void QVMLimitDlg::OnPaint() {
  PaintPreview(*this, {0, 1000, kCentreBottom, false}, {{"lim(->)", IDC_INSERT_ANCHOR}});
}

BEGIN_MESSAGE_MAP(QVMSumProductDlg, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

QVMSumProductDlg::QVMSumProductDlg() : CDialog(IDD_INSERT_SUM_PRODUCT) {}

void QVMSumProductDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_INSERT_FIRST, UpperBound);
  DDX_Text(dx, IDC_INSERT_SECOND, LowerBound);
}

void QVMSumProductDlg::OnPaint() {
  PaintPreview(*this, {0, 500, kCentreBottom, false}, {{Kind, IDC_INSERT_ANCHOR}});
}

BEGIN_MESSAGE_MAP(QVMnthRootDlg, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

QVMnthRootDlg::QVMnthRootDlg() : CDialog(IDD_INSERT_NTH_ROOT) {}

void QVMnthRootDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_INSERT_FIRST, Radicand);
  DDX_Text(dx, IDC_INSERT_SECOND, Index);
}

void QVMnthRootDlg::OnPaint() {
  PaintPreview(*this, {3, 3000, kTopLeft, false}, {{"sr(   )", IDC_INSERT_ANCHOR}});
}

BEGIN_MESSAGE_MAP(QVMBoundsDlg, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

QVMBoundsDlg::QVMBoundsDlg() : CDialog(IDD_INSERT_BOUNDS) {}

void QVMBoundsDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_INSERT_FIRST, UpperBound);
  DDX_Text(dx, IDC_INSERT_SECOND, LowerBound);
  DDX_Text(dx, IDC_INSERT_THIRD, Expression);
}

void QVMBoundsDlg::OnPaint() {
  PaintPreview(*this, {3, 3000, kTopLeft, false},
               {{"[", IDC_INSERT_ANCHOR}, {"]", IDC_INSERT_ANCHOR_RIGHT}});
}

BEGIN_MESSAGE_MAP(QVMScientificDlg, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

QVMScientificDlg::QVMScientificDlg() : CDialog(IDD_INSERT_SCIENTIFIC) {}

void QVMScientificDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_INSERT_FIRST, Mantissa);
  DDX_Text(dx, IDC_INSERT_SECOND, Exponent);
  DDX_Text(dx, IDC_INSERT_THIRD, Decimal);
}

// Drawn at the size at which an integral sign would fill the placeholder.
void QVMScientificDlg::OnPaint() {
  PaintPreview(*this, {3, kTrialFontSize, kTopLeft, true}, {{"* 10", IDC_INSERT_ANCHOR}});
}

BEGIN_MESSAGE_MAP(QVMDerivativeAtPointDlg, CDialogEx)
  ON_WM_PAINT()
END_MESSAGE_MAP()

QVMDerivativeAtPointDlg::QVMDerivativeAtPointDlg() : CDialogEx(IDD_INSERT_DERIVATIVE_AT_POINT) {}

void QVMDerivativeAtPointDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_INSERT_SECOND, Point);
  DDX_Text(dx, IDC_INSERT_FIRST, Function);
}

// "d/dx", thirteen blanks for the function's box, "@".
void QVMDerivativeAtPointDlg::OnPaint() {
  PaintPreview(*this, {0, 1500, kTopLeft, false},
               {{"d/dx             @", IDC_INSERT_ANCHOR}});
}
