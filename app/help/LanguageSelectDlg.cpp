// QVLanguageSelectDlg: fills the list from the manager and reads the choice.
#include "app/help/LanguageSelectDlg.h"

#include "framework/DataExchange.h"
#include "resources/resource.h"

QVLanguageSelectDlg::QVLanguageSelectDlg(CWnd* parent) : CDialog(IDD_LANGUAGE_SELECT, parent) {}

void QVLanguageSelectDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_LANGUAGE_LIST, Languages);
}

BOOL QVLanguageSelectDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!Manager) return TRUE;
  Languages.AddString(QVLanguageManager::CodeToName("ENG"));
  for (int i = 0; i < Manager->FoundCodes.GetSize(); ++i)
    Languages.AddString(Manager->GetNameAt(i));
  Languages.SelectString(0, Manager->GetCurrentName());
  return TRUE;
}

void QVLanguageSelectDlg::OnOK() {
  const int selected = Languages.GetCurSel();
  if (Manager && selected >= 0)
    Manager->CurrentCode = QVLanguageManager::NameToCode(Languages.GetLBText(selected));
  CDialog::OnOK();
}
