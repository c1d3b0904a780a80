// The start-up dialogs: QVFirstRunDlg (welcome on the first run),
// QVUpdateAvailableDlg (a newer version is published), QVTipOfTheDayDlg and
// QVBrowserDlg (one of the maker's pages in a small window); and the two
// Help menu pages opened in the user's browser.
// Choices of ours: the welcome dialog reads its check box however it is
// closed (Escape too); addresses from the versions file are opened only when
// they are http:// or https:// without control characters; tip names that
// are not "tip" + three digits + ".html" are left out.
#pragma once

#include <cstdint>

#include "app/DialogEx.h"
#include "app/startup/VersionRecord.h"
#include "controls/DrawnButton.h"
#include "controls/Label.h"
#include "controls/SimpleBrowser.h"
#include "framework/Controls.h"

class QVFirstRunDlg : public QVDialogEx {
 public:
  explicit QVFirstRunDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  CDrawnButton NewsletterButton, TutorialsButton;
  CLabel InternetLabel, CheckLabel;
  CButton CheckBox;
  CString ProductName;
  BYTE CheckForUpdates = 0;
  CLabel TitleLabel, HelpMenuLabel;

 private:
  void ReadCheckBox();
  void OnNewsletter();
  void OnTutorials();
  DECLARE_MESSAGE_MAP()
};

class QVUpdateAvailableDlg : public QVDialogEx {
 public:
  QVUpdateAvailableDlg(UINT templateId, CWnd* parent = nullptr);

  BOOL OnInitDialog() override;

  CLabel TitleLabel, NewVersionLabel, CloseFirstLabel;
  VersionRecord Record;
  int32_t CurrentMinor = 0, CurrentMajor = 0;
  CLabel VersionsLabel;
  CButton DownloadButton, WhatsNewButton;

 private:
  void OnDownload();
  void OnWhatsNew();
  DECLARE_MESSAGE_MAP()
};

// Both browser dialogs beep when the page's title becomes "Close Now".
BOOL HandleBrowserTitle(NMHDR* header, LRESULT* result);

class QVTipOfTheDayDlg : public QVDialogEx {
 public:
  explicit QVTipOfTheDayDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  void ShowNextTip();
  void ShowPreviousTip();

  CString CurrentPage;
  SimpleBrowser Browser;
  int ShowTips = 0;
  int32_t LastTip = 0;
  CStringArray* TipFiles = nullptr;
  CString ProgramFolder;

 private:
  void ShowTip(int index);
  void OnShowTipsClicked();
  DECLARE_MESSAGE_MAP()
};

class QVBrowserDlg : public QVDialogEx {
 public:
  explicit QVBrowserDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  CString Url;
  SimpleBrowser Browser;
};

void OpenNewsletterPage();
void OpenTutorialsPage();
