// CAboutDlg: the program's about box, with its version read from the
// program's own version resource and its copyright line.
#pragma once

#include "framework/Dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
  BOOL OnInitDialog() override;

  CString Version;    // static 1030
  CString Copyright;  // static 1031

 protected:
  void DoDataExchange(CDataExchange* dx) override;
};

// "Ovelin V4.004.0" from the product version's major and minor and the
// file version's build of `module`'s version resource (0.000.0 without one).
CString AboutVersionText(HMODULE module);
