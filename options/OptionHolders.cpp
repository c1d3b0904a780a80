// Option holders: range clamp, INI text and archive forms.
#include "options/OptionHolders.h"

#include <cmath>
#include <cstdlib>

#include "options/OptionText.h"

IMPLEMENT_SERIAL(QVOptionQVLogPen, CObject, 1)
IMPLEMENT_SERIAL(QVOptionQVLogBrush, CObject, 1)
IMPLEMENT_SERIAL(QVOptionQVLogFont, CObject, 1)

namespace {

// The store reads -1 for a missing or empty entry.
constexpr int kMissing = -1;

// Stores or loads one value, by the archive's direction.
template <typename T>
void SerializeValue(CArchive& archive, T& value) {
  if (archive.IsStoring()) archive << value;
  else archive >> value;
}

void SerializeBool(CArchive& archive, bool& value) {
  if (archive.IsStoring()) {
    archive << static_cast<BYTE>(value ? 1 : 0);
  } else {
    BYTE byte = 0;
    archive >> byte;
    value = byte != 0;
  }
}

}  // namespace

void QVOptionPlace::Place(const char* section, const char* key, BYTE flag) {
  Section = section;
  Key = key;
  Flag = flag;
}

// -------------------------------------------------------------- QVOptionInt

void QVOptionInt::Init(const char* section, const char* key, BYTE flag, int32_t value,
                       int32_t min, int32_t max) {
  InitValues(section, key, flag, value);
  Min = min;
  Max = max;
}

int32_t QVOptionInt::Clamped() const {
  if (Value < Min || Value > Max) return static_cast<int32_t>((int64_t{Min} + Max) / 2);
  return Value;
}

void QVOptionInt::Clamp() { Value = Clamped(); }

int32_t QVOptionInt::GetValue() {
  Clamp();
  return Value;
}

void QVOptionInt::SetValue(int32_t value) {
  Value = value;
  Clamp();
}

bool QVOptionInt::ReadIni(CIniFile& store) {
  const int n = store.ReadInt(Section, Key);
  Value = n == kMissing ? Default : n;
  Clamp();
  Saved = Value;
  return true;
}

bool QVOptionInt::WriteIni(CIniFile& store, bool writeDefault) {
  Clamp();
  store.WriteInt(Section, Key, writeDefault ? Default : Value, true);
  Saved = Value;
  return true;
}

void QVOptionInt::Serialize(CArchive& archive) {
  SerializeValue(archive, Value);
}

// ------------------------------------------------------------- QVOptionBool

void QVOptionBool::Init(const char* section, const char* key, BYTE flag, bool value) {
  InitValues(section, key, flag, value);
}

// Only 1 reads as true: 0, 2 and text without a number are false.
bool QVOptionBool::ReadIni(CIniFile& store) {
  const int n = store.ReadInt(Section, Key);
  Value = n == kMissing ? Default : n == 1;
  Saved = Value;
  return true;
}

bool QVOptionBool::WriteIni(CIniFile& store, bool writeDefault) {
  store.WriteInt(Section, Key, (writeDefault ? Default : Value) ? 1 : 0, true);
  Saved = Value;
  return true;
}

void QVOptionBool::Serialize(CArchive& archive) { SerializeBool(archive, Value); }

// --------------------------------------------------------- QVOptionColorRef

void QVOptionColorRef::Init(const char* section, const char* key, BYTE flag, COLORREF value) {
  InitValues(section, key, flag, value);
}

bool QVOptionColorRef::ReadIni(CIniFile& store) {
  const int n = store.ReadInt(Section, Key);
  Value = n == kMissing ? Default : static_cast<COLORREF>(n);
  Saved = Value;
  return true;
}

// The COLORREF goes out as a signed decimal.
bool QVOptionColorRef::WriteIni(CIniFile& store, bool writeDefault) {
  store.WriteInt(Section, Key, static_cast<int32_t>(writeDefault ? Default : Value), true);
  Saved = Value;
  return true;
}

void QVOptionColorRef::Serialize(CArchive& archive) {
  if (archive.IsStoring()) {
    archive << static_cast<uint32_t>(Value);
  } else {
    uint32_t value = 0;
    archive >> value;
    Value = value;
  }
}

// ----------------------------------------------------------- QVOptionDouble

void QVOptionDouble::Init(const char* section, const char* key, BYTE flag, double value,
                          double min, double max) {
  InitValues(section, key, flag, value);
  Min = min;
  Max = max;
}

// The negated test also catches not-a-number, which every comparison fails.
double QVOptionDouble::Clamped() const {
  if (!(Value >= Min && Value <= Max) || !std::isfinite(Value)) return (Min + Max) * 0.5;
  return Value;
}

void QVOptionDouble::Clamp() { Value = Clamped(); }

double QVOptionDouble::GetValue() {
  Clamp();
  return Value;
}

bool QVOptionDouble::ReadIni(CIniFile& store) {
  const CString text = store.ReadValue(Section, Key);
  Value = text.IsEmpty() ? Default : std::strtod(text, nullptr);
  Clamp();
  Saved = Value;
  return true;
}

bool QVOptionDouble::WriteIni(CIniFile& store, bool writeDefault) {
  Clamp();
  store.WriteValue(Section, Key, FormatFixed6(writeDefault ? Default : Value), true);
  Saved = Value;
  return true;
}

void QVOptionDouble::Serialize(CArchive& archive) {
  SerializeValue(archive, Value);
}

// ----------------------------------------------------------- QVOptionString

void QVOptionString::Init(const char* section, const char* key, BYTE flag, const char* value,
                          int32_t maxLength) {
  InitValues(section, key, flag, value);
  MaxLength = maxLength;
}

void QVOptionString::TruncateToMaxLength() {
  if (MaxLength != -1 && MaxLength >= 0 && Value.GetLength() > MaxLength)
    Value = Value.Left(MaxLength);
}

CString QVOptionString::GetValue() {
  TruncateToMaxLength();
  return Value;
}

void QVOptionString::SetValue(const char* value) {
  Value = value;
  TruncateToMaxLength();
}

bool QVOptionString::ReadIni(CIniFile& store) {
  const CString text = store.ReadValue(Section, Key);
  Value = text.IsEmpty() ? Default : text;
  TruncateToMaxLength();
  Saved = Value;
  return true;
}

bool QVOptionString::WriteIni(CIniFile& store, bool writeDefault) {
  TruncateToMaxLength();
  store.WriteValue(Section, Key, writeDefault ? Default : Value, true);
  Saved = Value;
  return true;
}

void QVOptionString::Serialize(CArchive& archive) {
  SerializeValue(archive, Value);
}

// ------------------------------------------------------------- QVOptionChar

void QVOptionChar::Init(const char* section, const char* key, BYTE flag, char value) {
  InitValues(section, key, flag, value ? CString(value) : CString());
}

void QVOptionChar::Serialize(CArchive& archive) {
  SerializeValue(archive, Value);
}
