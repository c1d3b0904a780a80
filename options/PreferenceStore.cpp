// QVPreferenceStore and QVPreferenceObject.
#include "options/PreferenceStore.h"

#include <cmath>

#include "options/GeometryValues.h"
#include "options/GlobalOrder.h"

QVPreferenceStore thePreferenceStore OVELIN_BUILT_IN_STEP(kPreferenceStoreStep);

namespace {

// How close to zero a range bound may be and still count as no bound.
constexpr double kNoBound = 1e-8;

// The value within the entry's range: outside it, the middle; a range with
// a bound at zero is not enforced.
int32_t InRange(const QVPreferenceObject& entry, int32_t value) {
  if (NearlyEqual(entry.RangeMin, 0, kNoBound) || NearlyEqual(entry.RangeMax, 0, kNoBound))
    return value;
  if (value >= entry.RangeMin && value <= entry.RangeMax) return value;
  return static_cast<int32_t>(std::trunc((entry.RangeMin + entry.RangeMax) * 0.5));
}

}  // namespace

QVPreferenceObject::QVPreferenceObject() {
  for (QVLogPen* pen : {&Pen1, &Pen2}) {
    pen->Mode = 0;
    pen->Style = 0x10006;
    pen->Color = 0;
    pen->Width = 17.63888775;
  }
}

bool QVPreferenceObject::ToText(CString& text) const {
  switch (Type) {
    case PrefInt: text.Format("%d", Int2); return true;
    case PrefString: text = String2; return true;
    case PrefBool: text.Format("%d", Bool2 ? 1 : 0); return true;
    case PrefDouble: text.Format("%f", Double2); return true;
    case PrefColor: text.Format("%d", static_cast<int>(Color2)); return true;
    case PrefFont: text = Font2.ToText(); return true;
    case PrefPen: text = Pen2.ToText(); return true;
    case PrefBrush: text = Brush2.ToText(); return true;
    default: return false;
  }
}

QVPreferenceStore::~QVPreferenceStore() = default;

bool QVPreferenceStore::Find(const char* section, const char* key, int32_t type,
                             QVPreferenceObject& entry) const {
  if (!Enabled) return false;
  return Entries.Lookup(CString(section) + key, entry) && entry.Type == type;
}

void QVPreferenceStore::Put(const QVPreferenceObject& entry) {
  QVPreferenceObject copy = entry;
  Entries.SetAt(entry.Section + entry.Key, copy);
}

int32_t QVPreferenceStore::GetInt(const char* section, const char* key) {
  QVPreferenceObject entry;
  return Find(section, key, PrefInt, entry) ? InRange(entry, entry.Int2) : 0;
}

bool QVPreferenceStore::GetBool(const char* section, const char* key) {
  QVPreferenceObject entry;
  return Find(section, key, PrefBool, entry) && entry.Bool2;
}

CString QVPreferenceStore::GetString(const char* section, const char* key) {
  QVPreferenceObject entry;
  return Find(section, key, PrefString, entry) ? entry.String2 : CString();
}

void QVPreferenceStore::SetInt(const char* section, const char* key, int32_t value) {
  QVPreferenceObject entry;
  if (!Find(section, key, PrefInt, entry)) return;
  entry.Int2 = InRange(entry, value);
  Put(entry);
}

void QVPreferenceStore::SetString(const char* section, const char* key, const char* value) {
  QVPreferenceObject entry;
  if (!Find(section, key, PrefString, entry)) return;
  entry.String2 = value;
  Put(entry);
}

void QVPreferenceStore::SetBool(const char* section, const char* key, bool value) {
  QVPreferenceObject entry;
  if (!Find(section, key, PrefBool, entry)) return;
  entry.Bool2 = value;
  Put(entry);
}

void QVPreferenceStore::Save() {
  if (!Enabled) return;
  POSITION position = Entries.GetStartPosition();
  while (position) {
    CString mapKey;
    QVPreferenceObject entry;
    Entries.GetNextAssoc(position, mapKey, entry);
    CString text;
    if (entry.ToText(text)) WriteValue(entry.Section, entry.Key, text, true);
  }
  Flush();
}

void QVPreferenceStore::Flush() {
  if (PreferenceFolder.IsEmpty() || PreferenceFile.IsEmpty()) return;
  CString path;
  switch (LocationMode) {
    case UserAppData: path = UserAppDataPath(PreferenceFolder, PreferenceFile); break;
    case ProgramFolder: path = ProgramFolderPath(PreferenceFile); break;
    case WindowsFolder: path = WindowsFolderPath(PreferenceFile); break;
    case CommonAppData: path = CommonAppDataPath(PreferenceFolder, PreferenceFile); break;
    default: path = GetPath(); break;
  }
  AssignPath(path);
  SaveToDisk();
}
