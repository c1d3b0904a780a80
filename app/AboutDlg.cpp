// CAboutDlg: the version line and the copyright line of the about box.
#include "app/AboutDlg.h"

#include <cstdio>
#include <cstring>

#include "app/FileVersionInfo.h"
#include "controls/TextHelpers.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

namespace {

constexpr const char* kVersionFormat = "Ovelin V%d.%03d.%d";

// A translated format is used only when it prints exactly three numbers
// with "%d" or "%03d" (any other conversion would read what is not there).
bool IsVersionFormat(const char* format) {
  int numbers = 0;
  for (const char* p = format; (p = std::strchr(p, '%')) != nullptr;) {
    if (p[1] == '%') {
      p += 2;
    } else if (p[1] == 'd') {
      p += 2, ++numbers;
    } else if (std::strncmp(p + 1, "03d", 3) == 0) {
      p += 4, ++numbers;
    } else {
      return false;
    }
  }
  return numbers == 3;
}

}  // namespace

CString AboutVersionText(HMODULE module) {
  CFileVersionInfo info;
  info.CreateFromModule(module);
  CString format = LoadResourceString(IDS_ABOUT_VERSION_FORMAT);
  if (!IsVersionFormat(format)) format = kVersionFormat;
  char text[128] = {};
  std::snprintf(text, sizeof text, format.GetString(), info.ProductMajor(), info.ProductMinor(),
                info.FileBuild());
  return text;
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
