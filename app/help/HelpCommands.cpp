// QVM400App: the about boxes, the help file and the manuals beside the
// program, and the choice of the interface language.
#include <windows.h>
#include <shellapi.h>

#include "app/App.h"
#include "app/help/AboutDlg.h"
#include "app/help/AboutMarvolk.h"
#include "app/help/LanguageSelectDlg.h"
#include "controls/TextHelpers.h"
#include "framework/MessageBox.h"
#include "resources/resource.h"

namespace {

constexpr const char* kHelpFile = "Ovelin4.chm";
constexpr const char* kManual = "ov4_manl.pdf";
constexpr const char* kQuickrefCard = "ov4_card.pdf";
constexpr const char* kWhatsNewCard = "ov4_whatsnew.pdf";
constexpr const char* kMessageCaption = "Ovelin 4";
// ShellExecuteA's answers that have a message of their own.
constexpr INT_PTR kFileNotFound = 2;
constexpr INT_PTR kNoAssociation = 31;

bool CanOpenForReading(const CString& path) {
  HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(file);
  return true;
}

void EnableWhenReadable(CCmdUI* cmdUI, const char* name) {
  cmdUI->Enable(CanOpenForReading(QVM400App::ProgramDirectory() + name));
}

}  // namespace

CString QVM400App::ProgramDirectory() {
  const CString path = ProgramPath();
  return path.Left(path.ReverseFind('\\') + 1);
}

void QVM400App::OnAppAbout() {
  CAboutDlg dialog;
  dialog.DoModal();
  RefocusEdit = 1;
}

void QVM400App::OnAboutMarvolk() {
  QVAboutMarvolk dialog;
  dialog.DoModal();
  RefocusEdit = 1;
}

// A missing reader and a missing file have messages; other failures none.
void QVM400App::OpenProgramFile(const char* name) {
  const CString path = ProgramDirectory() + name;
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteA(nullptr, nullptr, path, nullptr, nullptr, SW_SHOW));
  if (result == kNoAssociation)
    ShowMessageBox(nullptr, LoadResourceString(IDS_PDF_READER_NEEDED),
                   LoadResourceString(IDS_PDF_READER_CAPTION), MB_OK);
  else if (result == kFileNotFound)
    ShowMessageBox(nullptr, LoadResourceString(IDS_FILE_NOT_FOUND),
                   LoadResourceString(IDS_FILE_ERROR_CAPTION), MB_OK);
  RefocusEdit = 1;
}

void QVM400App::OnReadHelpFile() { OpenProgramFile(kHelpFile); }
void QVM400App::OnReadManual() { OpenProgramFile(kManual); }
void QVM400App::OnReadQuickrefCard() {
  OpenProgramFile(LoadResourceString(IDS_QUICKREF_CARD_FILE));
}
void QVM400App::OnReadWhatsNewCard() { OpenProgramFile(kWhatsNewCard); }

void QVM400App::OnUpdateReadHelpFile(CCmdUI* cmdUI) { EnableWhenReadable(cmdUI, kHelpFile); }
void QVM400App::OnUpdateReadManual(CCmdUI* cmdUI) { EnableWhenReadable(cmdUI, kManual); }
void QVM400App::OnUpdateReadQuickrefCard(CCmdUI* cmdUI) {
  EnableWhenReadable(cmdUI, kQuickrefCard);
}
void QVM400App::OnUpdateReadWhatsNewCard(CCmdUI* cmdUI) {
  EnableWhenReadable(cmdUI, kWhatsNewCard);
}

// The choice is stored for the next start; the running program keeps the
// language it started with.
void QVM400App::OnLanguage() {
  const CString restart = LoadResourceString(IDS_RESTART_FOR_LANGUAGE);
  QVLanguageSelectDlg dialog;
  dialog.Manager = &LanguageManager;
  if (dialog.DoModal() == IDOK && LanguageManager.CurrentCode != LanguageOption.GetValue()) {
    LanguageOption.SetValue(LanguageManager.CurrentCode);
    LanguageOption.WriteIni(PreferenceIni, false);
    if (PreferenceIni.Save(WriteReport::everyFailure))
      ShowMessageBox(nullptr, restart, kMessageCaption, MB_OK);
  }
  RefocusEdit = 1;
}

void QVM400App::OnUpdateLanguage(CCmdUI* cmdUI) {
  cmdUI->Enable(LanguageManager.FoundCodes.GetSize() > 0);
}
