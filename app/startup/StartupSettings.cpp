#include "app/startup/StartupSettings.h"

#include <ctime>

#include "app/startup/StartupRules.h"
#include "options/OptionHolders.h"

namespace {

constexpr const char* kSection = "QVCallHome";

// The holders of the six settings, set up with their keys and defaults.
struct StartupHolders {
  QVOptionBool firstRun, checkForUpdates, showTips;
  QVOptionInt lastTip;
  QVOptionString lastUpdateCheck, lastTipDate;

  StartupHolders() {
    firstRun.Init(kSection, "FirstRun", 0, true);
    checkForUpdates.Init(kSection, "CheckForUpdates", 0, false);
    lastUpdateCheck.Init(kSection, "LastUpdateCheck", 0, "", -1);
    showTips.Init(kSection, "ShowTips", 0, false);
    lastTip.Init(kSection, "LastTip", 0, -1, -32768, 32767);
    lastTipDate.Init(kSection, "LastTipDate", 0, "", -1);
  }
};

}  // namespace

int64_t StartupSettings::Now() { return static_cast<int64_t>(std::time(nullptr)); }

void StartupSettings::BindIniFile(QVIniFile* store) {
  if (store) SettingsIni = store;
}

void StartupSettings::LoadSettings() {
  if (!SettingsIni) return;
  StartupHolders holders;
  holders.firstRun.ReadIni(*SettingsIni);
  holders.checkForUpdates.ReadIni(*SettingsIni);
  holders.lastUpdateCheck.ReadIni(*SettingsIni);
  holders.showTips.ReadIni(*SettingsIni);
  holders.lastTip.ReadIni(*SettingsIni);
  holders.lastTipDate.ReadIni(*SettingsIni);
  FirstRun = holders.firstRun.Value;
  CheckForUpdates = holders.checkForUpdates.Value;
  LastUpdateCheck = holders.lastUpdateCheck.GetValue();
  ShowTips = holders.showTips.Value;
  LastTip = holders.lastTip.GetValue();
  LastTipDate = holders.lastTipDate.GetValue();
  SettingsLoaded = 1;
}

void StartupSettings::SaveSettings() {
  if (!SettingsIni) return;
  StartupHolders holders;
  holders.firstRun.Value = FirstRun != 0;
  holders.checkForUpdates.Value = CheckForUpdates != 0;
  holders.lastUpdateCheck.SetValue(LastUpdateCheck);
  holders.showTips.Value = ShowTips != 0;
  holders.lastTip.SetValue(LastTip);
  holders.lastTipDate.SetValue(LastTipDate);
  holders.firstRun.WriteIni(*SettingsIni, false);
  holders.checkForUpdates.WriteIni(*SettingsIni, false);
  holders.lastUpdateCheck.WriteIni(*SettingsIni, false);
  holders.showTips.WriteIni(*SettingsIni, false);
  holders.lastTip.WriteIni(*SettingsIni, false);
  holders.lastTipDate.WriteIni(*SettingsIni, false);
  SettingsIni->Save();
}

// The caller has loaded the settings, so `enabled` is the stored value.
bool StartupSettings::IsDueAt(int64_t now, BYTE enabled, CString& stamp, int64_t interval) {
  if (!enabled || !startup::IsStampDue(now, stamp, interval)) return false;
  stamp = startup::FormatStamp(now);
  SaveSettings();
  return true;
}

bool StartupSettings::IsTipDueAt(int64_t now) {
  if (!SettingsLoaded) LoadSettings();
  return IsDueAt(now, ShowTips, LastTipDate, startup::kTipInterval);
}

bool StartupSettings::IsUpdateCheckDueAt(int64_t now) {
  if (!SettingsLoaded) LoadSettings();
  return IsDueAt(now, CheckForUpdates, LastUpdateCheck, startup::kUpdateCheckInterval);
}
