// QVMFontsPropPage.
#include "app/preferences/FontsPage.h"

#include "app/preferences/PreferenceText.h"
#include "resources/PreferenceIds.h"
#include "resources/resource.h"

IMPLEMENT_DYNAMIC(QVMFontsPropPage, QVMPreferencePage)

BEGIN_MESSAGE_MAP(QVMFontsPropPage, QVMPreferencePage)
  ON_BN_CLICKED(IDC_FONTS_USE_ONE_FONT, OnUseOneFont)
END_MESSAGE_MAP()

namespace {

constexpr const char* kSizeList[] = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                     "20", "22", "24", "26", "28", "36", "48", "72"};
// A LOGFONT face name holds 31 characters and the terminator.
constexpr int kMaxFaceName = 31;

}  // namespace

QVMFontsPropPage::QVMFontsPropPage() : QVMPreferencePage(IDD_PAGE_FONTS, 0, IDC_PREF_SET_AS_DEFAULT) {}

void QVMFontsPropPage::PrepareControls() {
  const struct {
    CFontFaceCombo* list;
    int id;
  } faces[] = {{&MainFaceList, IDC_FONTS_MAIN_FACE},
               {&FunctionFaceList, IDC_FONTS_FUNCTIONS_FACE},
               {&UnitsFaceList, IDC_FONTS_UNITS_FACE},
               {&QuoteFaceList, IDC_FONTS_QUOTE_FACE},
               {&VectorFaceList, IDC_FONTS_VECTOR_FACE}};
  for (const auto& face : faces) {
    face.list->SubclassDlgItem(face.id, this);
    face.list->FillFontList();
  }
  for (const char* size : kSizeList)
    SendDlgItemMessage(IDC_FONTS_MAIN_SIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
}

void QVMFontsPropPage::LoadFields(QVMOptions& o) {
  FunctionsBold = o.FunctionsBold.Value;
  FunctionsItalic = o.FunctionsItalic.Value;
  GreekBold = o.GreekBold.Value;
  GreekItalic = o.GreekItalic.Value;
  VariablesBold = o.VariablesBold.Value;
  VariablesItalic = o.VariablesItalic.Value;
  UnitsBold = o.UnitsBold.Value;
  UnitsItalic = o.UnitsItalic.Value;
  QuoteBold = o.QuoteBold.Value;
  QuoteItalic = o.QuoteItalic.Value;
  UseOneFont = o.UseOneFont.Value;
  UseWordFont = o.UseWordFont.Value;
  const QVLogFont& font = o.Font.Value;
  MainFace = font.LogFont.lfFaceName;
  shownSize_ = font.Size;
  SizeText = FontSizeText(font.Size);
  MainColour = font.Color;
  GreekColour = o.GreekColor.Value;
  VariableColour = o.VariableColor.Value;
  FunctionColour = o.FunctionColor.Value;
  UnitColour = o.UnitColor.Value;
  QuoteColour = o.QuoteColor.Value;
  VectorColour = o.VectorColor.Value;
  FunctionFace = o.FunctionFont.Value;
  UnitsFace = o.UnitsFont.Value;
  QuoteFace = o.QuoteFont.Value;
  VectorFace = o.VectorFont.Value;
  // "Automatic" on a button stands for the option's own default.
  MainColourButton.SetDefaultColour(o.Font.Default.Color);
  GreekColourButton.SetDefaultColour(o.GreekColor.Default);
  VariableColourButton.SetDefaultColour(o.VariableColor.Default);
  FunctionColourButton.SetDefaultColour(o.FunctionColor.Default);
  UnitColourButton.SetDefaultColour(o.UnitColor.Default);
  QuoteColourButton.SetDefaultColour(o.QuoteColor.Default);
  VectorColourButton.SetDefaultColour(o.VectorColor.Default);
}

void QVMFontsPropPage::DoDataExchange(CDataExchange* dx) {
  DDX_Check(dx, IDC_FONTS_FUNCTIONS_BOLD, FunctionsBold);
  DDX_Check(dx, IDC_FONTS_FUNCTIONS_ITALIC, FunctionsItalic);
  DDX_Check(dx, IDC_FONTS_GREEK_BOLD, GreekBold);
  DDX_Check(dx, IDC_FONTS_GREEK_ITALIC, GreekItalic);
  DDX_Check(dx, IDC_FONTS_VARIABLES_BOLD, VariablesBold);
  DDX_Check(dx, IDC_FONTS_VARIABLES_ITALIC, VariablesItalic);
  DDX_Check(dx, IDC_FONTS_UNITS_BOLD, UnitsBold);
  DDX_Check(dx, IDC_FONTS_UNITS_ITALIC, UnitsItalic);
  DDX_Check(dx, IDC_FONTS_QUOTE_BOLD, QuoteBold);
  DDX_Check(dx, IDC_FONTS_QUOTE_ITALIC, QuoteItalic);
  DDX_Check(dx, IDC_FONTS_USE_ONE_FONT, UseOneFont);
  DDX_Check(dx, IDC_FONTS_WORD_FONT, UseWordFont);
  DDX_FontPreviewComboValue(dx, IDC_FONTS_MAIN_FACE, MainFace);
  DDX_CBString(dx, IDC_FONTS_MAIN_SIZE, SizeText);
  const struct {
    CColorButton* button;
    int id;
    COLORREF* colour;
  } colours[] = {{&MainColourButton, IDC_FONTS_MAIN_COLOUR, &MainColour},
                 {&GreekColourButton, IDC_FONTS_GREEK_COLOUR, &GreekColour},
                 {&VariableColourButton, IDC_FONTS_VARIABLES_COLOUR, &VariableColour},
                 {&FunctionColourButton, IDC_FONTS_FUNCTIONS_COLOUR, &FunctionColour},
                 {&UnitColourButton, IDC_FONTS_UNITS_COLOUR, &UnitColour},
                 {&QuoteColourButton, IDC_FONTS_QUOTE_COLOUR, &QuoteColour},
                 {&VectorColourButton, IDC_FONTS_VECTOR_COLOUR, &VectorColour}};
  for (const auto& c : colours) {
    DDX_Control(dx, c.id, *c.button);
    DDX_ColorButtonValue(dx, c.id, *c.colour);
  }
  DDX_FontPreviewComboValue(dx, IDC_FONTS_FUNCTIONS_FACE, FunctionFace);
  DDX_FontPreviewComboValue(dx, IDC_FONTS_UNITS_FACE, UnitsFace);
  DDX_FontPreviewComboValue(dx, IDC_FONTS_QUOTE_FACE, QuoteFace);
  DDX_FontPreviewComboValue(dx, IDC_FONTS_VECTOR_FACE, VectorFace);
}

void QVMFontsPropPage::AfterInit() {
  EnableOtherFonts();
  UpdateData(FALSE);
}

void QVMFontsPropPage::EnableOtherFonts() {
  const BOOL enable = !UseOneFont;
  for (int id : {IDC_FONTS_GREEK_COLOUR, IDC_FONTS_VARIABLES_COLOUR, IDC_FONTS_FUNCTIONS_FACE,
                 IDC_FONTS_FUNCTIONS_COLOUR, IDC_FONTS_UNITS_FACE, IDC_FONTS_UNITS_COLOUR,
                 IDC_FONTS_QUOTE_FACE, IDC_FONTS_QUOTE_COLOUR, IDC_FONTS_VECTOR_FACE,
                 IDC_FONTS_VECTOR_COLOUR})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable);
}

void QVMFontsPropPage::OnUseOneFont() {
  UpdateData(TRUE);
  EnableOtherFonts();
  UpdateData(FALSE);
}

void QVMFontsPropPage::StoreFields(QVMOptions& o) {
  StoreBool(o.FunctionsBold, FunctionsBold);
  StoreBool(o.FunctionsItalic, FunctionsItalic);
  StoreBool(o.GreekBold, GreekBold);
  StoreBool(o.GreekItalic, GreekItalic);
  StoreBool(o.VariablesBold, VariablesBold);
  StoreBool(o.VariablesItalic, VariablesItalic);
  StoreBool(o.UnitsBold, UnitsBold);
  StoreBool(o.UnitsItalic, UnitsItalic);
  StoreBool(o.QuoteBold, QuoteBold);
  StoreBool(o.QuoteItalic, QuoteItalic);
  StoreBool(o.UseOneFont, UseOneFont);
  StoreBool(o.UseWordFont, UseWordFont);
  // A fresh description: the previous font's weight, italic and so on go.
  QVLogFont font;
  font.SetFaceName(MainFace.Left(kMaxFaceName));
  font.Color = MainColour;
  int32_t size = shownSize_;
  font.Size = ReadFontSize(SizeText, size) ? size : shownSize_;
  o.Font.SetValue(font);
  o.GreekColor.Value = GreekColour;
  o.VariableColor.Value = VariableColour;
  o.FunctionColor.Value = FunctionColour;
  o.UnitColor.Value = UnitColour;
  o.QuoteColor.Value = QuoteColour;
  o.VectorColor.Value = VectorColour;
  StoreString(o.FunctionFont, FunctionFace);
  StoreString(o.UnitsFont, UnitsFace);
  StoreString(o.QuoteFont, QuoteFace);
  StoreString(o.VectorFont, VectorFace);
}
