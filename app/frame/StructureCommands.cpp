// QVM400Doc's structure insert commands: constructs wrapped around the
// box's selection, marks appended to it, division, and the texts built from
// the insert dialogs. Every text replaces the selection with EM_REPLACESEL,
// so the box can undo it, and the change then takes the road of an edit.
#include "app/App.h"
#include "app/document/Document.h"
#include "app/frame/ArrayDialogs.h"
#include "app/frame/InsertDialogs.h"
#include "app/frame/StructureTexts.h"
#include "controls/TextHelpers.h"

namespace {

CString SelectedText() {
  HWND edit = GetQVMApp()->EquationEditWindow();
  return edit ? GetEditSelectedText(edit) : CString();
}

void ScrollCaretIntoView() {
  if (HWND edit = GetQVMApp()->EquationEditWindow()) ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

}  // namespace

CString QVM400Doc::SeparatorText() const { return Options.Separator.Value.Left(1); }

// Without a selection the empty form goes in; for a bracketed form the caret
// then steps back before the closing bracket.
void QVM400Doc::WrapSelection(const WrapForm& form) {
  const CString selected = SelectedText();
  ReplaceEditSelection(WrapText(form, selected));
  HWND edit = GetQVMApp()->EquationEditWindow();
  if (edit && selected.IsEmpty() && form.caretBack) {
    DWORD start = 0, end = 0;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    ::SendMessageA(edit, EM_SETSEL, start - 1, end - 1);
  }
  ScrollCaretIntoView();
}

void QVM400Doc::AppendToSelection(const AppendMark& mark) {
  ReplaceEditSelection(SelectedText() + mark.mark);
}

// The selected text gives way to the division sign.
void QVM400Doc::OnInsertDiv() {
  ReplaceEditSelection("div");
  ScrollCaretIntoView();
}

// The dialogs below have only OK; a dialog closed otherwise still inserts
// what its fields hold.
void QVM400Doc::OnInsertLimit() {
  QVMLimitDlg dialog;
  dialog.Variable = "x";
  dialog.Target = "inf";
  dialog.DoModal();
  ReplaceEditSelection("lim(" + dialog.Variable + "->" + dialog.Target + ")");
}

void QVM400Doc::OnInsertBounds() {
  QVMBoundsDlg dialog;
  dialog.Expression = SelectedText();
  dialog.LowerBound = "a";
  dialog.UpperBound = "b";
  dialog.DoModal();
  ReplaceEditSelection("[" + dialog.Expression + "]" + dialog.LowerBound + SeparatorText() +
                       dialog.UpperBound);
}

void QVM400Doc::InsertSumOrProduct(const char* kind) {
  QVMSumProductDlg dialog;
  dialog.Kind = kind;
  dialog.LowerBound = "i=1";
  dialog.UpperBound = "10";
  dialog.DoModal();
  ReplaceEditSelection(dialog.Kind + "(" + dialog.LowerBound + SeparatorText() +
                       dialog.UpperBound + ")");
}

void QVM400Doc::OnInsertNthRoot() {
  QVMnthRootDlg dialog;
  dialog.Radicand = SelectedText();
  dialog.DoModal();
  ReplaceEditSelection("(" + dialog.Index + ")root(" + dialog.Radicand + ")");
}

// A decimal that reads as 0 puts the selection back as it was.
void QVM400Doc::OnInsertScientific() {
  const CString selected = SelectedText();
  QVMScientificDlg dialog;
  dialog.Decimal = selected;
  dialog.DoModal();
  ReplaceEditSelection(
      ScientificText(dialog.Mantissa, dialog.Exponent, dialog.Decimal).value_or(selected));
}

void QVM400Doc::OnInsertDerivativeAtPoint() {
  QVMDerivativeAtPointDlg dialog;
  dialog.Function = SelectedText();
  dialog.Point = "x=";
  dialog.DoModal();
  ReplaceEditSelection("d/dx  " + dialog.Function + "  @(" + dialog.Point + ")");
}

// The dialogs below insert only after OK.
void QVM400Doc::OnInsertIntegral() {
  QVMIntegralDlg dialog;
  if (dialog.DoModal() != IDOK) return;
  ReplaceEditSelection(IntegralText(dialog.LowerBound, dialog.UpperBound, SeparatorText()));
  SetModifiedFlag(TRUE);
  UpdateAllViews(nullptr, 0, nullptr);
}

void QVM400Doc::OnInsertMatrix() {
  QVMMatrixDlg dialog;
  if (dialog.DoModal() != IDOK) return;
  ReplaceEditSelection(MatrixText(dialog.Cells, dialog.RowCount, dialog.ColumnCount));
}

void QVM400Doc::OnInsertVector() {
  QVMVectorDlg dialog;
  if (dialog.DoModal() != IDOK) return;
  ReplaceEditSelection(VectorText(dialog.Components, dialog.ComponentCount));
}

void QVM400Doc::OnInsertPiecewise() {
  QVMPiecewiseDlg dialog;
  if (dialog.DoModal() != IDOK) return;
  ReplaceEditSelection(PiecewiseText(dialog.Functions, dialog.Domains, dialog.RowCount));
}
