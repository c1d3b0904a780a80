// QVMUnitsPropPage, QVMMacrosPropPage and QVMMatrixPropPage.
#include "app/preferences/ListPages.h"

#include "app/preferences/PreferenceText.h"
#include "controls/TextHelpers.h"
#include "framework/App.h"
#include "resources/PreferenceIds.h"
#include "resources/resource.h"

IMPLEMENT_DYNAMIC(QVMUnitsPropPage, QVMPreferencePage)
IMPLEMENT_DYNAMIC(QVMMacrosPropPage, QVMPreferencePage)
IMPLEMENT_DYNAMIC(QVMMatrixPropPage, QVMPreferencePage)

namespace {

// The caret to the start of the box, scrolled into view.
void CaretToStart(CWnd* page) {
  page->SendDlgItemMessage(IDC_LIST_TEXT, EM_SETSEL, 0, 0);
  page->SendDlgItemMessage(IDC_LIST_TEXT, EM_SCROLLCARET);
}

}  // namespace

// --- Units ----------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(QVMUnitsPropPage, QVMPreferencePage)
  ON_EN_CHANGE(IDC_LIST_TEXT, OnListChange)
END_MESSAGE_MAP()

QVMUnitsPropPage::QVMUnitsPropPage() : QVMPreferencePage(IDD_PAGE_UNITS, 3, IDC_PREF_SET_AS_DEFAULT) {}

void QVMUnitsPropPage::LoadFields(QVMOptions& o) { ListText = UnitsToText(o.UnitsList.Value); }

void QVMUnitsPropPage::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_LIST_TEXT, ListText);
  DDX_Control(dx, IDC_LIST_TEXT, ListEdit);
}

void QVMUnitsPropPage::AfterInit() { CaretToStart(this); }

void QVMUnitsPropPage::PaintExtras(CDC&) { CaretToStart(this); }

void QVMUnitsPropPage::StoreFields(QVMOptions& o) { StoreString(o.UnitsList, TextToUnits(ListText)); }

// --- Shortcuts ----------------------------------------------------------------------------

QVMMacrosPropPage::QVMMacrosPropPage()
    : QVMPreferencePage(IDD_PAGE_SHORTCUTS, 5, IDC_PREF_SET_AS_DEFAULT) {}

void QVMMacrosPropPage::PrepareControls() {
  ListEdit.SubclassDlgItem(IDC_LIST_TEXT, this);
  ListEdit.LetEnterAddLines();
}

void QVMMacrosPropPage::LoadFields(QVMOptions& o) { ListText = MacrosToText(o.MacroList.Value); }

void QVMMacrosPropPage::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_LIST_TEXT, ListText);
  if (dx->m_bSaveAndValidate) RefuseUnstorableLine(dx);
}

// The stored form separates names and texts by "%" alone, so a line without
// its » or with a "%" would pair every later name with a text. The user is
// told which line and finds it selected.
void QVMMacrosPropPage::RefuseUnstorableLine(CDataExchange* dx) {
  const ShortcutFault fault = FindShortcutFault(ListText);
  if (fault.line == 0) return;
  const UINT id = fault.percent ? IDS_SHORTCUT_WITH_PERCENT : IDS_SHORTCUT_WITHOUT_MARK;
  AfxMessageBox(AfxFormatResource(id, fault.line, fault.text.GetString()), MB_ICONEXCLAMATION);
  const int start = ListEdit.LineIndex(fault.line - 1);
  ListEdit.SetSel(start, start + fault.text.GetLength());
  dx->PrepareCtrl(IDC_LIST_TEXT);  // focused with the line still selected
  dx->Fail();
}

void QVMMacrosPropPage::PaintExtras(CDC&) { CaretToStart(this); }

void QVMMacrosPropPage::StoreFields(QVMOptions& o) {
  StoreString(o.MacroList, TextToMacros(ListText));
}

// --- Matrix --------------------------------------------------------------------------------

QVMMatrixPropPage::QVMMatrixPropPage()
    : QVMPreferencePage(IDD_PAGE_MATRIX, 4, IDC_PREF_SET_AS_DEFAULT) {}

void QVMMatrixPropPage::LoadFields(QVMOptions& o) {
  ColumnGap = ShownMillimetres(o.MatrixHorizontalSpacing);
  RowGap = ShownMillimetres(o.MatrixVerticalSpacing);
  Alignment = ShownInt(o.MatrixAlign);
}

void QVMMatrixPropPage::DoDataExchange(CDataExchange* dx) {
  DDX_Millimetres(dx, IDC_MATRIX_COLUMN_GAP, ColumnGap);
  DDX_Millimetres(dx, IDC_MATRIX_ROW_GAP, RowGap);
  DDX_Radio(dx, IDC_MATRIX_ALIGN_LEFT, Alignment);
}

void QVMMatrixPropPage::StoreFields(QVMOptions& o) {
  StoreMillimetres(o.MatrixHorizontalSpacing, ColumnGap);
  StoreMillimetres(o.MatrixVerticalSpacing, RowGap);
  StoreInt(o.MatrixAlign, Alignment);
}
