#include "app/startup/StartupManager.h"

#include <cstdlib>

#include "app/MakerAddresses.h"
#include "app/help/FileVersionInfo.h"
#include "app/startup/StartupDialogs.h"
#include "controls/FileFolderHelper.h"
#include "framework/App.h"
#include "framework/CmdTarget.h"
#include "resources/resource.h"

namespace {

// How long the end of the program waits for running checks: they stop
// within a few tens of milliseconds unless the system holds them.
constexpr DWORD kStopWaitMs = 1000;

}  // namespace

StartupManager::~StartupManager() {
  StopUpdateChecks();
  if (!UpdateDialog) return;
  if (UpdateDialog->GetSafeHwnd()) UpdateDialog->DestroyWindow();
  delete UpdateDialog;
  UpdateDialog = nullptr;
}

void StartupManager::FindProgramFolder() {
  const CString path = ProgramPath();
  const int slash = path.ReverseFind('\\');
  ProgramFolder = slash >= 0 ? path.Left(slash + 1) : path;
}

void StartupManager::ListTips() {
  TipFiles.RemoveAll();
  CFileFolderHelper helper;
  helper.ListFilesMatching("tip*.html", ProgramFolder + "TipOfTheDay\\", TipFiles, false);
}

void StartupManager::RunStartupSequence() {
  ShowFirstRunOrTip();
  if (IsUpdateCheckDue()) StartUpdateCheck();
}

void StartupManager::ShowFirstRunOrTip() {
  FindProgramFolder();
  ListTips();
  if (!SettingsLoaded) LoadSettings();
  if (FirstRun) {
    QVFirstRunDlg dialog;
    dialog.ProductName = ProductNames[kThisProductId];
    dialog.CheckForUpdates = 1;
    dialog.DoModal();
    CheckForUpdates = dialog.CheckForUpdates;
    FirstRun = 0;
    SaveSettings();
  } else if (IsTipDue()) {
    ShowTipOfTheDay();
  }
}

void StartupManager::ShowTipOfTheDay() {
  QVTipOfTheDayDlg dialog;
  dialog.ShowTips = ShowTips;
  dialog.LastTip = LastTip;
  dialog.TipFiles = &TipFiles;
  dialog.ProgramFolder = ProgramFolder;
  dialog.DoModal();
  ShowTips = dialog.ShowTips != 0;
  LastTip = dialog.LastTip;
  SaveSettings();
}

void StartupManager::ToggleCheckForUpdates() {
  if (!SettingsIni) return;
  if (!SettingsLoaded) LoadSettings();
  CheckForUpdates = !CheckForUpdates;
  SaveSettings();
  if (IsUpdateCheckDue()) StartUpdateCheck();
}

void StartupManager::SetUpdateCheckMark(CCmdUI* cmdUI) {
  if (!SettingsIni) return;
  if (!SettingsLoaded) LoadSettings();
  cmdUI->SetCheck(CheckForUpdates ? 1 : 0);
}

bool StartupManager::StartUpdateCheck() {
  const CString folder = SettingsIni ? QVIniFile::AppDataFolder("Marvolk", false) : CString();
  CWnd* main = AfxGetMainWnd();
  if (folder.IsEmpty() || !main || !main->GetSafeHwnd() || link_->StopRequested()) return false;
  auto job = std::make_unique<UpdateCheckJob>();
  job->productId = ProductId;
  job->url = VersionsScriptUrl;
  if (const char* testUrl = std::getenv(kTestVersionsUrlVariable)) job->url = testUrl;
  job->versionsFile = folder + "QVVersions.txt";
  job->notify = main->GetSafeHwnd();
  job->notifyMessage = kUpdateAvailableMessage;
  CFileVersionInfo version;
  version.CreateFromModule(AfxGetInstanceHandle());
  job->currentMajor = version.ProductMajor();
  job->currentMinor = version.ProductMinor();
  job->link = link_;
  // Started suspended, so that its handle is ours before it can end.
  CWinThread* thread =
      AfxBeginThread(UpdateCheckThreadProc, job.get(), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  if (!thread) return false;
  job.release();  // the worker's now
  ForgetEndedWorkers();
  HANDLE handle = nullptr;
  if (::DuplicateHandle(::GetCurrentProcess(), thread->m_hThread, ::GetCurrentProcess(), &handle,
                        SYNCHRONIZE, FALSE, 0))
    workers_.push_back(handle);
  ::ResumeThread(thread->m_hThread);
  return true;
}

void StartupManager::ForgetEndedWorkers() {
  std::erase_if(workers_, [](HANDLE handle) {
    if (::WaitForSingleObject(handle, 0) != WAIT_OBJECT_0) return false;
    ::CloseHandle(handle);
    return true;
  });
}

void StartupManager::ShowUpdateNotices() {
  if (showingNotices_) return;
  showingNotices_ = true;
  while (std::unique_ptr<UpdateNotice> notice = link_->Take()) ShowUpdateDialog(*notice);
  showingNotices_ = false;
}

// UpdateDialog is set only while the dialog is up: the idle handler leaves
// the focus alone meanwhile and gives it back once the dialog has closed.
void StartupManager::ShowUpdateDialog(const UpdateNotice& notice) {
  auto* dialog = new QVUpdateAvailableDlg(notice.templateId);
  dialog->Record = notice.record;
  dialog->CurrentMajor = notice.currentMajor;
  dialog->CurrentMinor = notice.currentMinor;
  UpdateDialog = dialog;
  dialog->DoModal();
  UpdateDialog = nullptr;
  delete dialog;
}

void StartupManager::StopUpdateChecks() {
  link_->RequestStop();
  if (!workers_.empty())
    ::WaitForMultipleObjects(static_cast<DWORD>(workers_.size()), workers_.data(), TRUE,
                             kStopWaitMs);
  for (HANDLE handle : workers_) ::CloseHandle(handle);
  workers_.clear();
}
