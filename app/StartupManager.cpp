#include "app/StartupManager.h"

#include <urlmon.h>

#include <cstdlib>

#include "app/MakerAddresses.h"
#include "app/StartupDialogs.h"
#include "controls/FileFolderHelper.h"
#include "framework/App.h"
#include "framework/CmdTarget.h"
#include "resources/resource.h"

StartupManager::~StartupManager() {
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
  if (folder.IsEmpty() || !main || !main->GetSafeHwnd()) return false;
  auto* job = new UpdateCheckJob;
  job->productId = ProductId;
  job->url = VersionsScriptUrl;
  if (const char* testUrl = std::getenv(kTestVersionsUrlVariable)) job->url = testUrl;
  job->versionsFile = folder + "QVVersions.txt";
  job->notify = main->GetSafeHwnd();
  ReadOwnProductVersion(job->currentMajor, job->currentMinor);
  if (AfxBeginThread(UpdateCheckThreadProc, job, THREAD_PRIORITY_NORMAL, 0, 0)) return true;
  delete job;
  return false;
}

// UpdateDialog is set only while the dialog is up: the idle handler leaves
// the focus alone meanwhile and gives it back once the dialog has closed.
void StartupManager::ShowUpdateDialogs(UpdateNotice* notice) {
  if (!notice) return;
  for (const UpdateNotice::Entry& entry : notice->entries) {
    auto* dialog = new QVUpdateAvailableDlg(entry.templateId);
    dialog->Record = entry.record;
    dialog->CurrentMajor = notice->currentMajor;
    dialog->CurrentMinor = notice->currentMinor;
    UpdateDialog = dialog;
    dialog->DoModal();
    UpdateDialog = nullptr;
    delete dialog;
  }
  delete notice;
}

// ------------------------------------------------------------------ worker

bool KeepDownloadedVersions(const CString& fresh, const CString& kept) {
  if (ReadVersionsFile(fresh).empty()) {
    ::DeleteFileA(fresh);
    return false;
  }
  if (::MoveFileExA(fresh, kept, MOVEFILE_REPLACE_EXISTING)) return true;
  ::DeleteFileA(fresh);
  return false;
}

UpdateNotice* MakeUpdateNotice(const std::vector<VersionRecord>& records, int32_t productId,
                               int32_t currentMajor, int32_t currentMinor) {
  auto* notice = new UpdateNotice;
  notice->currentMajor = currentMajor;
  notice->currentMinor = currentMinor;
  for (const VersionRecord& record : records) {
    if (record.ProductId != productId) continue;
    if (record.Major == currentMajor && record.Minor > currentMinor)
      notice->entries.push_back({IDD_UPDATE_MINOR, record});
    else if (record.Major > currentMajor)
      notice->entries.push_back({IDD_UPDATE_MAJOR, record});
  }
  if (!notice->entries.empty()) return notice;
  delete notice;
  return nullptr;
}

UINT UpdateCheckThreadProc(void* param) {
  auto* job = static_cast<UpdateCheckJob*>(param);
  const CString fresh = job->versionsFile + ".download";
  if (SUCCEEDED(::URLDownloadToFileA(nullptr, job->url, fresh, 0, nullptr)))
    KeepDownloadedVersions(fresh, job->versionsFile);
  else
    ::DeleteFileA(fresh);
  UpdateNotice* notice = MakeUpdateNotice(ReadVersionsFile(job->versionsFile), job->productId,
                                          job->currentMajor, job->currentMinor);
  // A main window that is gone takes no notice; the notice is freed here.
  if (notice && !::PostMessageA(job->notify, StartupManager::kUpdateAvailableMessage, 0,
                                reinterpret_cast<LPARAM>(notice)))
    delete notice;
  delete job;
  return 0;
}

bool ReadOwnProductVersion(int32_t& major, int32_t& minor) {
  const CString path = ProgramPath();
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return false;
  std::vector<BYTE> block(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::GetFileVersionInfoA(path, 0, size, block.data()) ||
      !::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) ||
      !info || length < sizeof(VS_FIXEDFILEINFO))
    return false;
  major = HIWORD(info->dwProductVersionMS);
  minor = LOWORD(info->dwProductVersionMS);
  return true;
}
