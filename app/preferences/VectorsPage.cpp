// QVMVectorsPropPage.
#include "app/preferences/VectorsPage.h"

#include "resources/PreferenceIds.h"
#include "resources/resource.h"

IMPLEMENT_DYNAMIC(QVMVectorsPropPage, QVMPreferencePage)

BEGIN_MESSAGE_MAP(QVMVectorsPropPage, QVMPreferencePage)
  ON_BN_CLICKED(IDC_VECTORS_AUTOMATIC, OnAutoRecognition)
  ON_BN_CLICKED(IDC_VECTORS_LOWER_IGNORE, OnLowercaseNoLetters)
  ON_BN_CLICKED(IDC_VECTORS_LOWER_GUESS, OnLowercaseNoLetters)
  ON_BN_CLICKED(IDC_VECTORS_LOWER_SELECT, OnSelectLetters)
END_MESSAGE_MAP()

namespace {

// The lower-case choice that lets the user pick the letters.
constexpr int kSelectLetters = 2;

}  // namespace

QVMVectorsPropPage::QVMVectorsPropPage()
    : QVMPreferencePage(IDD_PAGE_VECTORS, 1, IDC_VECTORS_SET_AS_DEFAULT) {}

// a to t run from 1007, u to z from 1030.
int QVMVectorsPropPage::LetterId(int index) {
  return index < 20 ? IDC_VECTORS_LETTER_A + index : IDC_VECTORS_LETTER_U + index - 20;
}

void QVMVectorsPropPage::LoadFields(QVMOptions& o) {
  for (int i = 0; i < 26; ++i) Letters[i] = o.Letters[i].Value;
  DoubleCaps = ShownInt(o.DoubleCaps);
  LowerCase = ShownInt(o.LowerCase);
  DisplayVect = ShownInt(o.DisplayVect);
  DetectColumnVectors = o.DetectColumnVectors.Value;
  UseAutomaticVectors = o.UseAutomaticVectors.Value;
  ArrowHeadStyle = ShownInt(o.ArrowHeadStyle);
}

void QVMVectorsPropPage::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_VECTORS_LOWER_IGNORE, LowerIgnoreButton);
  DDX_Control(dx, IDC_VECTORS_CAPS_IGNORE, CapsIgnoreButton);
  for (int i = 0; i < 26; ++i) DDX_Check(dx, LetterId(i), Letters[i]);
  DDX_Radio(dx, IDC_VECTORS_CAPS_IGNORE, DoubleCaps);
  DDX_Check(dx, IDC_VECTORS_COLUMN, DetectColumnVectors);
  DDX_Radio(dx, IDC_VECTORS_LOWER_IGNORE, LowerCase);
  DDX_Radio(dx, IDC_VECTORS_SHOW_BOLD, DisplayVect);
  DDX_Check(dx, IDC_VECTORS_AUTOMATIC, UseAutomaticVectors);
  DDX_Radio(dx, IDC_VECTORS_ARROW_TRIANGLE, ArrowHeadStyle);
}

void QVMVectorsPropPage::UpdateControls() {
  UpdateData(TRUE);
  const bool automatic = UseAutomaticVectors != 0;
  EnableLetterBoxes(LowerCase == kSelectLetters && automatic);
  for (int id : {IDC_VECTORS_CAPS_IGNORE, IDC_VECTORS_CAPS_VECTORS, IDC_VECTORS_CAPS_SEGMENTS,
                 IDC_VECTORS_CAPS_LINES, IDC_VECTORS_LOWER_IGNORE, IDC_VECTORS_LOWER_GUESS,
                 IDC_VECTORS_LOWER_SELECT, IDC_VECTORS_SHOW_BOLD, IDC_VECTORS_SHOW_LINE,
                 IDC_VECTORS_SHOW_TILDE, IDC_VECTORS_SHOW_ARROW})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(automatic);
}

void QVMVectorsPropPage::EnableLetterBoxes(bool enable) {
  for (int i = 0; i < 26; ++i)
    if (CWnd* box = GetDlgItem(LetterId(i))) box->EnableWindow(enable);
}

void QVMVectorsPropPage::StoreFields(QVMOptions& o) {
  for (int i = 0; i < 26; ++i) StoreBool(o.Letters[i], Letters[i]);
  StoreInt(o.DoubleCaps, DoubleCaps);
  StoreInt(o.LowerCase, LowerCase);
  StoreInt(o.DisplayVect, DisplayVect);
  StoreBool(o.DetectColumnVectors, DetectColumnVectors);
  StoreBool(o.UseAutomaticVectors, UseAutomaticVectors);
  StoreInt(o.ArrowHeadStyle, ArrowHeadStyle);
}
