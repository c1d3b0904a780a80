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

class QVOptionInt {
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

  int32_t Value = 0, Default = 0, Saved = 0;
  int32_t Min = 0, Max = 0;
  BYTE Flag = 0;
  CString Key;
  CString Section;
};

class QVOptionBool {
 public:
  virtual void Serialize(CArchive& archive);
  void Init(const char* section, const char* key, BYTE flag, bool value);
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  bool Value = false, Default = false, Saved = false;
  BYTE Flag = 0;
  CString Key;
  CString Section;
};

class QVOptionColorRef {
 public:
  virtual void Serialize(CArchive& archive);
  void Init(const char* section, const char* key, BYTE flag, COLORREF value);
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  COLORREF Value = 0, Default = 0, Saved = 0;
  BYTE Flag = 0;
  CString Key;
  CString Section;
};

class QVOptionDouble {
 public:
  virtual void Serialize(CArchive& archive);
  void Init(const char* section, const char* key, BYTE flag, double value, double min,
            double max);
  double GetValue();
  double Clamped() const;
  void Clamp();
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  double Value = 0.0, Default = 0.0, Saved = 0.0;
  BYTE Flag = 0;
  CString Key;
  CString Section;
  double Min = 0.0, Max = 0.0;
};

class QVOptionString {
 public:
  virtual void Serialize(CArchive& archive);
  void Init(const char* section, const char* key, BYTE flag, const char* value, int32_t maxLength);
  CString GetValue();
  void SetValue(const char* value);
  void TruncateToMaxLength();
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  CString Value, Default, Saved;
  BYTE Flag = 0;
  CString Key;
  CString Section;
  int32_t MaxLength = -1;
};

class QVOptionChar {
 public:
  virtual void Serialize(CArchive& archive);
  // The character 0 gives empty texts.
  void Init(const char* section, const char* key, BYTE flag, char value);

  CString Value, Default, Saved;
  BYTE Flag = 0;
  CString Key;
  CString Section;
};

// What the pen, brush and font holders share: a description as value and
// default, kept by CObject-derived serialisable classes.
template <typename Description>
class QVObjectOption : public CObject {
 public:
  QVObjectOption() = default;
  QVObjectOption(const QVObjectOption& other) : CObject() { *this = other; }
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
  BYTE Flag = 0;
  CString Key;
  CString Section;
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
  Flag = other.Flag;
  Key = other.Key;
  Section = other.Section;
  Default.Assign(other.Default);
  return *this;
}

template <typename Description>
void QVObjectOption<Description>::Init(const char* section, const char* key, BYTE flag,
                                       const Description& value) {
  Section = section;
  Key = key;
  Flag = flag;
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
