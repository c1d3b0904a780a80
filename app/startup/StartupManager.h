// StartupManager: the start-up services once the main window is shown — the
// welcome dialog on the first run, else the tip of the day when it is due,
// then the update check when it is due — the Check for Updates command, and
// the update dialogs.
// Choices of ours: the update check's worker only downloads and reads the
// versions file (see UpdateCheck.h); it leaves what it found for the
// user-interface thread, which shows the update dialogs one after another,
// never one inside another. When the main frame goes, running checks are
// told to stop and given a moment to end, and notices not shown are freed.
// Without an application-data folder there is no check.
#pragma once

#include <vector>

#include "app/startup/StartupSettings.h"
#include "app/startup/UpdateCheck.h"
#include "framework/Collections.h"

class CCmdUI;
class QVUpdateAvailableDlg;

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
  // On the user-interface thread: shows the notices the workers left, one
  // after another (a notice that comes while a dialog is up waits its turn).
  void ShowUpdateNotices();
  // Tells running checks to stop, waits a moment for them and frees the
  // notices not shown; later notices are dropped.
  void StopUpdateChecks();
  // What this manager's checks share with it.
  const std::shared_ptr<UpdateCheckLink>& Link() const { return link_; }

  QVUpdateAvailableDlg* UpdateDialog = nullptr;
  CString ProgramFolder;
  CStringArray TipFiles;

 private:
  void ShowUpdateDialog(const UpdateNotice& notice);
  void ForgetEndedWorkers();

  std::shared_ptr<UpdateCheckLink> link_ = std::make_shared<UpdateCheckLink>();
  std::vector<HANDLE> workers_;  // threads of checks not known to have ended
  bool showingNotices_ = false;
};
