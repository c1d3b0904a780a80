// Option holders: one setting each, with its value, default, INI section and
// key, and for numbers the accepted range. A number out of range reads as
// the middle of the range; a missing INI entry reads as the default.
// QVOptionInt, QVOptionBool, QVOptionDouble, QVOptionColorRef, QVOptionChar,
// QVOptionString; QVOptionQVLogPen, QVOptionQVLogBrush, QVOptionQVLogFont.
// Choices of ours: a value that is not a finite number is out of any range;
// an archived boolean byte other than 0 loads as true (1); the numeric
// fields start at 0 before Init.
#pragma once

#include <cstdint>

#include "framework/Archive.h"
#include "framework/Object.h"
#include "options/IniFile.h"
#include "options/LogObjects.h"

// Where a holder lives in the INI file, and its flag.
struct QVOptionPlace {
  void Place(const char* section, const char* key, BYTE flag);

  BYTE Flag = 0;
  CString Key;
  CString Section;
};

// What the plain holders keep: the value, its default and the value last
// read from or written to the INI file, all three the same after Init.
template <typename T>
struct QVOptionValues : QVOptionPlace {
  void InitValues(const char* section, const char* key, BYTE flag, const T& value) {
    Place(section, key, flag);
    Value = Default = Saved = value;
  }

  T Value{}, Default{}, Saved{};
};

class QVOptionInt : public QVOptionValues<int32_t> {
 public:
  virtual void Serialize(CArchive& archive);
  void Init(const char* section, const char* key, BYTE flag, int32_t value, int32_t min,
            int32_t max);
  int32_t GetValue();
  // The value as GetValue reads it, without storing the clamp.
  int32_t Clamped() const;
  void SetValue(int32_t value);
  void Clamp();
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  int32_t Min = 0, Max = 0;
};

class QVOptionBool : public QVOptionValues<bool> {
 public:
  virtual void Serialize(CArchive& archive);
  void Init(const char* section, const char* key, BYTE flag, bool value);
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);
};

class QVOptionColorRef : public QVOptionValues<COLORREF> {
 public:
  virtual void Serialize(CArchive& archive);
  void Init(const char* section, const char* key, BYTE flag, COLORREF value);
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);
};

class QVOptionDouble : public QVOptionValues<double> {
 public:
  virtual void Serialize(CArchive& archive);
  void Init(const char* section, const char* key, BYTE flag, double value, double min,
            double max);
  double GetValue();
  double Clamped() const;
  void Clamp();
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  double Min = 0.0, Max = 0.0;
};

class QVOptionString : public QVOptionValues<CString> {
 public:
  virtual void Serialize(CArchive& archive);
  void Init(const char* section, const char* key, BYTE flag, const char* value, int32_t maxLength);
  CString GetValue();
  void SetValue(const char* value);
  void TruncateToMaxLength();
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  int32_t MaxLength = -1;
};

class QVOptionChar : public QVOptionValues<CString> {
 public:
  virtual void Serialize(CArchive& archive);
  // The character 0 gives empty texts.
  void Init(const char* section, const char* key, BYTE flag, char value);
};

// What the pen, brush and font holders share: a description as value and
// default, kept by CObject-derived serialisable classes.
template <typename Description>
class QVObjectOption : public CObject, public QVOptionPlace {
 public:
  QVObjectOption() = default;
  QVObjectOption(const QVObjectOption& other) : CObject(), QVOptionPlace() { *this = other; }
  QVObjectOption& operator=(const QVObjectOption& other);
  void Serialize(CArchive& archive) override { Value.Serialize(archive); }
  void Init(const char* section, const char* key, BYTE flag, const Description& value);
  Description GetValue() const { return Value; }
  // Changes the value only (the default stays), held in range as a value
  // read from a file is.
  void SetValue(const Description& value) {
    Value.Assign(value);
    Value.HoldInRange();
  }
  // The INI text form (pens and fonts).
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  Description Value, Default;
};

class QVOptionQVLogPen : public QVObjectOption<QVLogPen> {
  DECLARE_SERIAL(QVOptionQVLogPen)
};

class QVOptionQVLogBrush : public QVObjectOption<QVLogBrush> {
  DECLARE_SERIAL(QVOptionQVLogBrush)
};

class QVOptionQVLogFont : public QVObjectOption<QVLogFont> {
  DECLARE_SERIAL(QVOptionQVLogFont)
};

template <typename Description>
QVObjectOption<Description>& QVObjectOption<Description>::operator=(const QVObjectOption& other) {
  Value.Assign(other.Value);
  QVOptionPlace::operator=(other);
  Default.Assign(other.Default);
  return *this;
}

template <typename Description>
void QVObjectOption<Description>::Init(const char* section, const char* key, BYTE flag,
                                       const Description& value) {
  Place(section, key, flag);
  Value.Assign(value);
  Default.Assign(value);
}

template <typename Description>
bool QVObjectOption<Description>::ReadIni(CIniFile& store) {
  const CString text = store.ReadValue(Section, Key);
  if (text.IsEmpty()) Value.Assign(Default);
  else Value.ParseText(text);
  return true;
}

template <typename Description>
bool QVObjectOption<Description>::WriteIni(CIniFile& store, bool writeDefault) {
  store.WriteValue(Section, Key, (writeDefault ? Default : Value).ToText(), true);
  return true;
}
