// StartupManager: the start-up services once the main window is shown — the
// welcome dialog on the first run, else the tip of the day when it is due,
// then the update check when it is due — the Check for Updates command, and
// the update dialog.
// Choices of ours: the update check's worker thread only downloads and
// reads the versions file; it posts what it found to the main frame, and the
// user-interface thread shows the update dialogs one after another. The
// worker holds copies of what it needs, never the manager, so a check still
// running at exit touches nothing freed. The download goes to a temporary
// file that replaces the kept versions file only when it holds a version
// line. Without an application-data folder there is no check.
#pragma once

#include <vector>

#include "app/StartupSettings.h"
#include "app/VersionRecord.h"
#include "framework/Collections.h"

class CCmdUI;
class QVUpdateAvailableDlg;

// The update dialogs the check asks for, posted to the main frame with
// kUpdateAvailableMessage (which takes ownership).
struct UpdateNotice {
  struct Entry {
    UINT templateId;
    VersionRecord record;
  };
  int32_t currentMajor = 0, currentMinor = 0;
  std::vector<Entry> entries;
};

class StartupManager : public StartupSettings {
 public:
  static constexpr UINT kUpdateAvailableMessage = WM_APP + 0x231;
  // Test hook: an environment variable that points the update check at
  // another versions address.
  static constexpr const char* kTestVersionsUrlVariable = "OVELIN_TEST_VERSIONS_URL";

  StartupManager() = default;
  ~StartupManager() override;
  StartupManager(const StartupManager&) = delete;
  StartupManager& operator=(const StartupManager&) = delete;

  void RunStartupSequence();
  void ShowFirstRunOrTip();
  void ShowTipOfTheDay();
  void ToggleCheckForUpdates();
  void SetUpdateCheckMark(CCmdUI* cmdUI);

  // The folder of the program file, ending in "\", and the tip pages in it.
  void FindProgramFolder();
  void ListTips();
  // Starts the worker; false when there is nothing to check with.
  bool StartUpdateCheck();
  // On the user-interface thread: runs the notice's dialogs one after
  // another and deletes it.
  void ShowUpdateDialogs(UpdateNotice* notice);

  QVUpdateAvailableDlg* UpdateDialog = nullptr;
  CString ProgramFolder;
  CStringArray TipFiles;
};

// The worker's own inputs, copied on the user-interface thread.
struct UpdateCheckJob {
  int32_t productId = 0;
  CString url;
  CString versionsFile;  // where the versions file is kept
  HWND notify = nullptr;  // gets kUpdateAvailableMessage
  int32_t currentMajor = 0, currentMinor = 0;
};

// The worker's body: download, read, compare; posts a notice when a newer
// version is published. Deletes the job.
UINT UpdateCheckThreadProc(void* job);
// Replaces `kept` with the download in `fresh` when that holds a version
// line; otherwise removes `fresh` and leaves `kept` as it was.
bool KeepDownloadedVersions(const CString& fresh, const CString& kept);
// The notice for the records of `productId` newer than the running version;
// null when there is none.
UpdateNotice* MakeUpdateNotice(const std::vector<VersionRecord>& records, int32_t productId,
                               int32_t currentMajor, int32_t currentMinor);
// The product version of the program's own file (major, minor).
bool ReadOwnProductVersion(int32_t& major, int32_t& minor);
