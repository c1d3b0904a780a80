// QVMStylesPropPage.
#include "app/preferences/StylesPage.h"

#include "app/preferences/PreferenceText.h"
#include "engine/EquationLine.h"
#include "framework/Dc.h"
#include "resources/PreferenceIds.h"
#include "resources/resource.h"

IMPLEMENT_DYNAMIC(QVMStylesPropPage, QVMPreferencePage)

BEGIN_MESSAGE_MAP(QVMStylesPropPage, QVMPreferencePage)
  ON_BN_CLICKED(IDC_STYLES_MIXED_NUMERALS, OnMixedNumerals)
END_MESSAGE_MAP()

namespace {

constexpr const char* kPenList[] = {"0.25pt", "0.50pt", "0.75pt", "1pt",    "1.25pt", "1.50pt",
                                    "1.75pt", "2pt",    "2.25pt", "2.50pt", "2.75pt", "3pt",
                                    "3.25pt", "3.50pt", "3.75pt", "4pt"};
// The pen style index that gives the plain geometric pen.
constexpr int kPlainPenStyle = 13;
// The previews' font against the default: 1.2 for integrals, then 0.85 of
// that for the combinations.
constexpr double kIntegralPreviewScale = 1.2;
constexpr double kCombPreviewScale = 0.85;

void ScaleFont(QVLogFont& font, double factor) {
  font.Size = static_cast<int32_t>(font.Size * factor);
  font.LogFont.lfHeight = static_cast<LONG>(font.LogFont.lfHeight * factor);
}

}  // namespace

QVMStylesPropPage::QVMStylesPropPage()
    : QVMPreferencePage(IDD_PAGE_STYLES, 2, IDC_PREF_SET_AS_DEFAULT) {}

void QVMStylesPropPage::PrepareControls() {
  for (const char* pen : kPenList)
    SendDlgItemMessage(IDC_STYLES_PEN, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pen));
}

void QVMStylesPropPage::LoadFields(QVMOptions& o) {
  MultiplyStyle = ShownInt(o.MultiplyStyle);
  TabWidth = ShownMillimetres(o.TabWidth);
  VerticalSpacing = ShownMillimetres(o.VerticalSpacing);
  NegativeNumberStyle = ShownInt(o.NegativeNumberStyle);
  IntegralStyle = ShownInt(o.IntegralStyle);
  PermCombStyle = ShownInt(o.PermCombStyle);
  MixedNumerals = o.ShrinkNonAlgebraicFractions.Value;
  RaiseDecimal = o.RaiseDecimal.Value;
  WipeBackground = o.WipeBackground.Value;
  UseWingdings = o.UseWingdings.Value;
  PenText = PenWidthText(o.GeneralPen.Value.Width);
}

void QVMStylesPropPage::DoDataExchange(CDataExchange* dx) {
  DDX_Radio(dx, IDC_STYLES_MULTIPLY_CROSS, MultiplyStyle);
  DDX_Millimetres(dx, IDC_STYLES_TAB, TabWidth);
  DDX_Millimetres(dx, IDC_STYLES_VERTICAL, VerticalSpacing);
  DDX_Radio(dx, IDC_STYLES_NEGATIVE_HYPHEN, NegativeNumberStyle);
  DDX_Radio(dx, IDC_STYLES_INTEGRAL_0, IntegralStyle);
  DDX_Radio(dx, IDC_STYLES_COMB_0, PermCombStyle);
  DDX_Check(dx, IDC_STYLES_WINGDINGS, UseWingdings);
  DDX_Check(dx, IDC_STYLES_WIPE_BACKGROUND, WipeBackground);
  DDX_Check(dx, IDC_STYLES_MIXED_NUMERALS, MixedNumerals);
  DDX_Control(dx, IDC_STYLES_PEN, PenList);
  DDX_CBString(dx, IDC_STYLES_PEN, PenText);
  DDX_Check(dx, IDC_STYLES_RAISE_DECIMAL, RaiseDecimal);
}

void QVMStylesPropPage::StoreFields(QVMOptions& o) {
  StoreInt(o.MultiplyStyle, MultiplyStyle);
  StoreInt(o.NegativeNumberStyle, NegativeNumberStyle);
  StoreInt(o.IntegralStyle, IntegralStyle);
  StoreInt(o.PermCombStyle, PermCombStyle);
  StoreMillimetres(o.TabWidth, TabWidth);
  StoreMillimetres(o.VerticalSpacing, VerticalSpacing);
  StoreBool(o.ShrinkNonAlgebraicFractions, MixedNumerals);
  StoreBool(o.RaiseDecimal, RaiseDecimal);
  StoreBool(o.WipeBackground, WipeBackground);
  StoreBool(o.UseWingdings, UseWingdings);
  // A fresh black pen: the previous pen's mode and colour go.
  QVLogPen pen;
  pen.Mode = 1;
  pen.SetStyleIndex(kPlainPenStyle);
  pen.Color = RGB(0, 0, 0);
  pen.Width = PenWidthFromText(PenText);
  o.GeneralPen.SetValue(pen);
}

// The previews show each style with the default options, side by side.
void QVMStylesPropPage::PaintExtras(CDC& dc) {
  dc.SetBkMode(TRANSPARENT);
  dc.SetMapMode(MM_HIMETRIC);
  dc.SetTextAlign(TA_TOP | TA_LEFT);
  QVMOptions preview(0);
  ScaleFont(preview.Font.Value, kIntegralPreviewScale);
  const int integralAnchors[] = {IDC_STYLES_INTEGRAL_PREVIEW_0, IDC_STYLES_INTEGRAL_PREVIEW_1};
  for (int style = 0; style < 2; ++style) {
    preview.IntegralStyle.SetValue(style);
    DrawPreview(dc, integralAnchors[style], "int(a,b)", preview);
  }
  ScaleFont(preview.Font.Value, kCombPreviewScale);
  const int combAnchors[] = {IDC_STYLES_COMB_PREVIEW_0, IDC_STYLES_COMB_PREVIEW_1,
                             IDC_STYLES_COMB_PREVIEW_2};
  for (int style = 0; style < 3; ++style) {
    preview.PermCombStyle.SetValue(style);
    DrawPreview(dc, combAnchors[style], "nCr", preview);
  }
}

void QVMStylesPropPage::DrawPreview(CDC& dc, int anchor, const char* text, QVMOptions& options) {
  CWnd* control = GetDlgItem(anchor);
  if (!control) return;
  CRect rect;
  control->GetWindowRect(&rect);
  ScreenToClient(&rect);
  SIZE corner{rect.left, -rect.top};
  dc.DPtoHIMETRIC(&corner);
  EquationLine line;
  line.SetText(text, options);
  line.Draw(dc, corner.cx, corner.cy, options);
}
