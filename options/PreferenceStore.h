// QVPreferenceStore: a typed settings store over the INI store. Each
// setting (QVPreferenceObject) knows its section, key, type and value, and
// Save writes them all into the INI image and to disk at once. The program
// keeps one global store, disabled and empty: every operation then does
// nothing.
// Choices of ours: an integer entry's range is enforced only when neither
// bound is (nearly) zero; no operation creates entries.
#pragma once

#include <cstdint>

#include "framework/Collections.h"
#include "options/IniFile.h"
#include "options/LogObjects.h"

enum PreferenceType : int32_t {
  PrefInt = 0,
  PrefString = 1,
  PrefBool = 2,
  PrefDouble = 3,
  PrefColor = 4,
  PrefFont = 6,
  PrefPen = 7,
  PrefBrush = 9,
};

// One setting. The store reads, writes and saves only the second slot of
// each kind.
class QVPreferenceObject {
 public:
  QVPreferenceObject();

  // The setting's INI text; false for a type that is not written.
  bool ToText(CString& text) const;

  CString Section, Key;
  int32_t Type = PrefInt;
  int32_t Int1 = 0, Int2 = 0;
  CString String1, String2;
  bool Bool1 = false, Bool2 = false;
  double Double1 = 0, Double2 = 0;
  COLORREF Color1 = 0, Color2 = 0;
  QVLogPen Pen1, Pen2;
  QVLogBrush Brush1, Brush2;
  QVLogFont Font1, Font2;
  double RangeMin = 0, RangeMax = 0;
};

class QVPreferenceStore : public QVIniFile {
 public:
  QVPreferenceStore() = default;
  ~QVPreferenceStore() override;

  int32_t GetInt(const char* section, const char* key);
  bool GetBool(const char* section, const char* key);
  CString GetString(const char* section, const char* key);
  void SetInt(const char* section, const char* key, int32_t value);
  void SetString(const char* section, const char* key, const char* value);
  void SetBool(const char* section, const char* key, bool value);
  // Every entry into the INI image, then to disk.
  void Save();
  // The file at the store's own location; nothing without both names.
  void Flush();

  CString PreferenceFolder, PreferenceFile;
  CMap<CString, const char*, QVPreferenceObject, QVPreferenceObject&> Entries;
  int32_t LocationMode = UserAppData;
  bool Enabled = false;

 private:
  // A copy of the entry of that type; false when the store is disabled or
  // has no such entry.
  bool Find(const char* section, const char* key, int32_t type, QVPreferenceObject& entry) const;
  void Put(const QVPreferenceObject& entry);
};

// The program's one store, never enabled.
extern QVPreferenceStore thePreferenceStore;
