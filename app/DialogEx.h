// QVDialogEx: the base of the start-up dialogs. It carries the dialog's own
// class name and, when the dialog opens, hands it to theLocalization.
// QVLocalization1: replacement texts for a dialog's caption and controls,
// looked up by "dialog name:control text" keys. Nothing fills its tables,
// so every lookup finds nothing and no text changes; the pass still runs.
#pragma once

#include <cstdint>

#include "framework/Collections.h"
#include "framework/Dialog.h"
#include "options/IniFile.h"

class QVDialogEx : public CDialogEx {
  DECLARE_DYNAMIC(QVDialogEx)
 public:
  using CDialogEx::CDialogEx;

  // The base dialog's initialisation, then the localisation pass.
  BOOL OnInitDialog() override;

  CString DialogName;
};

struct LocalisedText {
  CString Key;
  CString Text;
  int32_t Value = 0;
};

class QVLocalization1 : public QVIniFile {
 public:
  QVLocalization1();
  ~QVLocalization1() override;

  BOOL LocaliseDialog(QVDialogEx* dialog);
  // The text stored under the normalised key in `table` (0 to 3); empty,
  // with `value` untouched, when there is none.
  CString LookupText(int table, const CString& key, int32_t& value) const;
  CString LookupControlText(const CString& controlText) const;
  static BOOL CALLBACK LocaliseChild(HWND hWnd, LPARAM object);

  CString LanguageName = "English";
  CString CurrentDialogName;
  CArray<LocalisedText> Tables[4];
};

extern QVLocalization1 theLocalization;
