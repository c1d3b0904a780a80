// QVLanguageSelectDlg: the Language Selection dialog. Lists "English" and
// the display name of every module found; OK stores the chosen code in the
// attached manager (the new language shows at the next start).
// Choice of ours: OK with no entry selected (text typed into the combo
// box's edit field) keeps the manager's current code.
#pragma once

#include "app/help/LanguageManager.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

class QVLanguageSelectDlg : public CDialog {
 public:
  explicit QVLanguageSelectDlg(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;

  CComboBox Languages;  // combo box 1025, sorted
  QVLanguageManager* Manager = nullptr;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
};
