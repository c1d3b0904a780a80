#include "app/startup/StartupDialogs.h"

#include <initializer_list>
#include <utility>

#include "app/MakerAddresses.h"
#include "app/startup/StartupRules.h"
#include "controls/TextHelpers.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The control's template text used as a format for `args`. A language
// module's text that takes other arguments than the program's own template
// text gives way to it: a "%s" too many would read past the arguments.
template <typename... Args>
CString FilledText(const CWnd& control, const char* templateName, Args... args) {
  CString format = control.GetWindowText();
  const CString own = AfxProgramDialogItemText(templateName, control.GetDlgCtrlID());
  if (!AfxSameFormatArguments(format, own)) format = own;
  CString text;
  text.Format(format, args...);
  return text;
}

void OpenVersionAddress(const CString& address) {
  if (IsWebAddress(address)) ShellOpenMaximized(address);
}

// Attaches each control object to its item of `dialog`.
void SubclassItems(CWnd* dialog, std::initializer_list<std::pair<CWnd*, UINT>> items) {
  for (const auto& [control, id] : items) control->SubclassDlgItem(id, dialog);
}

void RunBrowserDialog(const CString& url, CWnd* parent) {
  QVBrowserDlg dialog(parent);
  dialog.Url = url;
  dialog.DoModal();
}

}  // namespace

// ------------------------------------------------------------- QVFirstRunDlg

BEGIN_MESSAGE_MAP(QVFirstRunDlg, QVDialogEx)
  ON_BN_CLICKED(IDC_NEWSLETTER_BUTTON, OnNewsletter)
  ON_BN_CLICKED(IDC_TUTORIALS_BUTTON, OnTutorials)
END_MESSAGE_MAP()

QVFirstRunDlg::QVFirstRunDlg(CWnd* parent) : QVDialogEx(IDD_FIRST_RUN, parent) {
  DialogName = "QVFirstRunDlg";
}

BOOL QVFirstRunDlg::OnInitDialog() {
  const BOOL result = QVDialogEx::OnInitDialog();
  SubclassItems(this, {{&NewsletterButton, IDC_NEWSLETTER_BUTTON},
                       {&TutorialsButton, IDC_TUTORIALS_BUTTON},
                       {&InternetLabel, IDC_INTERNET_REQUIRED},
                       {&CheckLabel, IDC_UPDATE_CHECK_LABEL},
                       {&CheckBox, IDC_UPDATE_CHECK_BOX},
                       {&TitleLabel, IDC_WELCOME_TITLE},
                       {&HelpMenuLabel, IDC_HELP_MENU_NOTE}});

  NewsletterButton.SetIconResources(IDI_NEWSLETTER);
  TutorialsButton.SetIconResources(IDI_TUTORIALS);
  for (CDrawnButton* button : {&NewsletterButton, &TutorialsButton})
    button->ShiftColor(CDrawnButton::kBackgroundIn, 30, TRUE);
  CheckLabel.SetPointSize(14).SetTextColour(kRed);
  InternetLabel.SetPointSize(14).SetTextColour(kRed);
  CheckBox.SetCheck(CheckForUpdates ? BST_CHECKED : BST_UNCHECKED);
  CheckBox.EnableWindow(TRUE);
  TitleLabel.SetPointSize(16).SetBold(TRUE).SetTextColour(kBlue);
  TitleLabel.SetLabelText(AfxFormatResource(IDS_WELCOME_TITLE, ProductName.GetString()));
  HelpMenuLabel.SetPointSize(9).SetTextColour(kBlue).SetBold(TRUE);
  return result;
}

void QVFirstRunDlg::ReadCheckBox() {
  CheckForUpdates = CheckBox.GetSafeHwnd() && CheckBox.GetCheck() != 0;
}

void QVFirstRunDlg::OnOK() {
  ReadCheckBox();
  QVDialogEx::OnOK();
}

// Escape and the close box keep the user's choice as OK does.
void QVFirstRunDlg::OnCancel() {
  ReadCheckBox();
  QVDialogEx::OnCancel();
}

void QVFirstRunDlg::OnNewsletter() { RunBrowserDialog(NewsletterMiniPageUrl, this); }
void QVFirstRunDlg::OnTutorials() { RunBrowserDialog(TutorialsMiniPageUrl, this); }

// ------------------------------------------------------ QVUpdateAvailableDlg

BEGIN_MESSAGE_MAP(QVUpdateAvailableDlg, QVDialogEx)
  ON_BN_CLICKED(IDC_UPDATE_DOWNLOAD, OnDownload)
  ON_BN_CLICKED(IDC_UPDATE_WHATS_NEW, OnWhatsNew)
END_MESSAGE_MAP()

QVUpdateAvailableDlg::QVUpdateAvailableDlg(UINT templateId, CWnd* parent)
    : QVDialogEx(templateId, parent) {
  DialogName = "QVUpdateAvailableDlg";
}

BOOL QVUpdateAvailableDlg::OnInitDialog() {
  const BOOL result = QVDialogEx::OnInitDialog();
  SubclassItems(this, {{&TitleLabel, IDC_UPDATE_TITLE},
                       {&NewVersionLabel, IDC_UPDATE_NEW_VERSION},
                       {&CloseFirstLabel, IDC_UPDATE_CLOSE_FIRST},
                       {&VersionsLabel, IDC_UPDATE_VERSIONS},
                       {&DownloadButton, IDC_UPDATE_DOWNLOAD},
                       {&WhatsNewButton, IDC_UPDATE_WHATS_NEW}});

  const char* name = Record.ProductName;
  VersionsLabel.SetPointSize(12).SetTextColour(kBlue);
  const char* own = m_lpszTemplateName;
  VersionsLabel.SetLabelText(
      FilledText(VersionsLabel, own, CurrentMajor, CurrentMinor, Record.Major, Record.Minor));
  NewVersionLabel.SetPointSize(12);
  NewVersionLabel.SetLabelText(FilledText(NewVersionLabel, own, name));
  TitleLabel.SetPointSize(16).SetBold(TRUE).SetTextColour(kBlue);
  CloseFirstLabel.SetPointSize(10).SetBold(TRUE).SetTextColour(kRed);
  CloseFirstLabel.SetLabelText(FilledText(CloseFirstLabel, own, name));
  DownloadButton.SetWindowText(FilledText(DownloadButton, own, name));
  const BOOL hasNotes = !Record.NotesUrl.IsEmpty();
  WhatsNewButton.EnableWindow(hasNotes);
  WhatsNewButton.ShowWindow(hasNotes ? SW_SHOW : SW_HIDE);
  return result;
}

void QVUpdateAvailableDlg::OnDownload() { OpenVersionAddress(Record.DownloadUrl); }
void QVUpdateAvailableDlg::OnWhatsNew() { OpenVersionAddress(Record.NotesUrl); }

// ------------------------------------------------------------ browser dialogs

BOOL HandleBrowserTitle(NMHDR* header, LRESULT* result) {
  if (header->idFrom != IDC_BROWSER_PLACEHOLDER || header->code != BROWSER_TITLE_CHANGE)
    return FALSE;
  const auto* record = reinterpret_cast<const BrowserNotifyRecord*>(header);
  if (record->text == "Close Now") ::MessageBeep(0);
  *result = 0;
  return TRUE;
}

BEGIN_MESSAGE_MAP(QVTipOfTheDayDlg, QVDialogEx)
  ON_BN_CLICKED(IDC_SHOW_TIPS, OnShowTipsClicked)
  ON_BN_CLICKED(IDC_TIP_NEXT, ShowNextTip)
  ON_BN_CLICKED(IDC_TIP_PREVIOUS, ShowPreviousTip)
END_MESSAGE_MAP()

QVTipOfTheDayDlg::QVTipOfTheDayDlg(CWnd* parent) : QVDialogEx(IDD_TIP_OF_THE_DAY, parent) {
  DialogName = "QVTipOfTheDayDlg";
}

void QVTipOfTheDayDlg::DoDataExchange(CDataExchange* dx) {
  QVDialogEx::DoDataExchange(dx);
  DDX_Check(dx, IDC_SHOW_TIPS, ShowTips);
}

BOOL QVTipOfTheDayDlg::OnInitDialog() {
  const BOOL result = QVDialogEx::OnInitDialog();
  Browser.CreateInPlaceOfControl(this, IDC_BROWSER_PLACEHOLDER);
  ShowNextTip();
  return result;
}

BOOL QVTipOfTheDayDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (HandleBrowserTitle(reinterpret_cast<NMHDR*>(lParam), result)) return TRUE;
  return QVDialogEx::OnNotify(wParam, lParam, result);
}

void QVTipOfTheDayDlg::OnShowTipsClicked() { UpdateData(TRUE); }

void QVTipOfTheDayDlg::ShowTip(int index) {
  const startup::TipList tips(*TipFiles);
  CurrentPage = ProgramFolder + "TipOfTheDay\\";
  if (index >= 0) CurrentPage += tips.names[index];
  if (Browser.GetSafeHwnd()) Browser.Navigate(CurrentPage);
}

void QVTipOfTheDayDlg::ShowNextTip() {
  if (!TipFiles) return;
  const startup::TipList tips(*TipFiles);
  if (tips.IsEmpty()) return;
  int last = LastTip;
  const int index = tips.Next(last);
  LastTip = last;
  ShowTip(index);
}

void QVTipOfTheDayDlg::ShowPreviousTip() {
  if (!TipFiles) return;
  const startup::TipList tips(*TipFiles);
  if (tips.IsEmpty()) return;
  int last = LastTip;
  const int index = tips.Previous(last);
  LastTip = last;
  if (index >= 0) ShowTip(index);
}

QVBrowserDlg::QVBrowserDlg(CWnd* parent) : QVDialogEx(IDD_BROWSER, parent) {
  DialogName = "QVBrowserDlg";
}

BOOL QVBrowserDlg::OnInitDialog() {
  const BOOL result = QVDialogEx::OnInitDialog();
  if (Browser.CreateInPlaceOfControl(this, IDC_BROWSER_PLACEHOLDER)) Browser.Navigate(Url);
  return result;
}

BOOL QVBrowserDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (HandleBrowserTitle(reinterpret_cast<NMHDR*>(lParam), result)) return TRUE;
  return QVDialogEx::OnNotify(wParam, lParam, result);
}

void OpenNewsletterPage() { ShellOpenMaximized(NewsletterPageUrl); }
void OpenTutorialsPage() { ShellOpenMaximized(TutorialsPageUrl); }
