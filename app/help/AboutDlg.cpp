// CAboutDlg: the version line and the copyright line of the about box.
#include "app/help/AboutDlg.h"

#include "app/help/FileVersionInfo.h"
#include "controls/TextHelpers.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

CString AboutVersionText(HMODULE module) {
  CFileVersionInfo info;
  info.CreateFromModule(module);
  // WORDs are promoted to int, as the three "%d" of the format take them.
  return AfxFormatResource(IDS_ABOUT_VERSION_FORMAT, int{info.ProductMajor()},
                           int{info.ProductMinor()}, int{info.FileBuild()});
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

// The program's module, not the language module: the version is the program's.
BOOL CAboutDlg::OnInitDialog() {
  Version = AboutVersionText(AfxGetInstanceHandle());
  Copyright = LoadResourceString(IDS_COPYRIGHT);
  return CDialog::OnInitDialog();
}

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_ABOUT_VERSION, Version);
  DDX_Text(dx, IDC_ABOUT_COPYRIGHT, Copyright);
}
