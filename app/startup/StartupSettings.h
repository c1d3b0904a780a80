// StartupSettings: the start-up services' settings in section "QVCallHome"
// of the bound INI file, and the due tests of the tip of the day and of the
// update check. The start-up manager adds the dialogs and the check.
#pragma once

#include <cstdint>

#include "framework/String.h"
#include "options/IniFile.h"

class StartupSettings {
 public:
  virtual ~StartupSettings() = default;

  // A null store is ignored.
  void BindIniFile(QVIniFile* store);
  void LoadSettings();
  // The six settings into the store, and the store to disk.
  void SaveSettings();

  // Each writes its stamp and saves when it answers true.
  bool IsTipDue() { return IsTipDueAt(Now()); }
  bool IsUpdateCheckDue() { return IsUpdateCheckDueAt(Now()); }
  bool IsTipDueAt(int64_t now);
  bool IsUpdateCheckDueAt(int64_t now);

  // Seconds since 1 January 1970 UTC.
  static int64_t Now();

  int32_t ProductId = 0;
  BYTE FirstRun = 0, CheckForUpdates = 0, ShowTips = 0;
  int32_t LastTip = 0;
  CString LastUpdateCheck, LastTipDate;
  BYTE SettingsLoaded = 0;
  QVIniFile* SettingsIni = nullptr;

 private:
  bool IsDueAt(int64_t now, BYTE enabled, CString& stamp, int64_t interval);
};
