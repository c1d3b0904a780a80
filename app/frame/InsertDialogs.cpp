// The seven insert dialogs with live previews, and the preview they share.
#include "app/frame/InsertDialogs.h"

#include <algorithm>
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
// A picture keeps this far (0.01 mm, about two pixels) inside the client
// area; a preview that would reach further is drawn smaller until it fits.
constexpr int32_t kClientMargin = 50;
constexpr int kShrinkTries = 4;
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

// Distances from a picture's anchor (0.01 mm).
struct Reach {
  int32_t left, up, right, down;
};

// How far a picture of box `box` reaches from its anchor by the text
// alignment.
Reach ReachOf(const ExtentRecord& box, UINT align) {
  const UINT across = align & (TA_CENTER | TA_RIGHT), upright = align & (TA_BASELINE | TA_BOTTOM);
  const int32_t left = across == TA_CENTER ? box.width / 2 : across == TA_RIGHT ? box.width : 0;
  const int32_t down = upright == TA_TOP ? box.height : upright == TA_BASELINE ? box.align : 0;
  return {left, box.height - down, box.width - left, down};
}

// The share of the picture's reach that stays within `room` (1 when it
// all does).
double FitShare(const Reach& reach, const Reach& room) {
  double share = 1.0;
  const int32_t needs[] = {reach.left, reach.up, reach.right, reach.down};
  const int32_t has[] = {room.left, room.up, room.right, room.down};
  for (int side = 0; side < 4; ++side)
    if (needs[side] > has[side])
      share = std::min(share, std::max(has[side], 0) / static_cast<double>(needs[side]));
  return share;
}

// Shrinks the font until the line's picture at `corner` (0.01 mm from the
// client's top left) stays inside the client area: a preview drawn at a
// fixed size in a dialog of another language's size, or at a large screen
// font, would lose its edges.
void FitInClient(CDialog& dialog, CDC& dc, QVMOptions& options, EquationLine& line,
                 const char* text, CSize corner, UINT align) {
  CRect client;
  dialog.GetClientRect(&client);
  CSize area(client.Width(), client.Height());
  dc.DPtoHIMETRIC(&area);
  const Reach room{corner.cx - kClientMargin, corner.cy - kClientMargin,
                   area.cx - corner.cx - kClientMargin, area.cy - corner.cy - kClientMargin};
  for (int attempt = 0; attempt < kShrinkTries; ++attempt) {
    const double share = FitShare(ReachOf(line.Measure(dc, options), align), room);
    if (share >= 1.0) return;
    const int32_t size = std::max(TruncateGdiLength(options.Font.GetValue().Size * share), 1);
    if (size == options.Font.GetValue().Size) return;
    SetFontSize(options, size);
    line.SetText("", options);
    line.SetText(text, options);
  }
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
    FitInClient(dialog, dc, options, line, piece.text, corner, style.textAlign);
    line.Draw(dc, corner.cx, -corner.cy, options);
  }
}

// --- the dialogs ------------------------------------------------------------------------

namespace {
constexpr UINT kTopLeft = TA_LEFT | TA_TOP;
constexpr UINT kCentreBottom = TA_CENTER | TA_BOTTOM;
// A sum or product sign without limits stands on its baseline with a
// letter's depth below: its baseline goes on the anchor, where the sign's
// foot belongs between the boxes.
constexpr UINT kCentreBaseline = TA_CENTER | TA_BASELINE;
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
  PaintPreview(*this, {0, 500, kCentreBaseline, false}, {{Kind, IDC_INSERT_ANCHOR}});
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
