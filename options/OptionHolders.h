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

class QVOptionQVLogPen : public CObject {
  DECLARE_SERIAL(QVOptionQVLogPen)

 public:
  QVOptionQVLogPen() = default;
  QVOptionQVLogPen(const QVOptionQVLogPen& other) : CObject() { *this = other; }
  QVOptionQVLogPen& operator=(const QVOptionQVLogPen& other);
  void Serialize(CArchive& archive) override;
  void Init(const char* section, const char* key, BYTE flag, const QVLogPen& value);
  QVLogPen GetValue() const { return Value; }
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  QVLogPen Value, Default;
  BYTE Flag = 0;
  CString Key;
  CString Section;
};

class QVOptionQVLogBrush : public CObject {
  DECLARE_SERIAL(QVOptionQVLogBrush)

 public:
  QVOptionQVLogBrush() = default;
  QVOptionQVLogBrush(const QVOptionQVLogBrush& other) : CObject() { *this = other; }
  QVOptionQVLogBrush& operator=(const QVOptionQVLogBrush& other);
  void Serialize(CArchive& archive) override;

  QVLogBrush Value, Default;
  BYTE Flag = 0;
  CString Key;
  CString Section;
};

class QVOptionQVLogFont : public CObject {
  DECLARE_SERIAL(QVOptionQVLogFont)

 public:
  QVOptionQVLogFont() = default;
  QVOptionQVLogFont(const QVOptionQVLogFont& other) : CObject() { *this = other; }
  QVOptionQVLogFont& operator=(const QVOptionQVLogFont& other);
  void Serialize(CArchive& archive) override;
  void Init(const char* section, const char* key, BYTE flag, const QVLogFont& value);
  QVLogFont GetValue() const;
  // Changes the value only; the default stays.
  void SetValue(const QVLogFont& value) { Value.Assign(value); }
  bool ReadIni(CIniFile& store);
  bool WriteIni(CIniFile& store, bool writeDefault);

  QVLogFont Value, Default;
  BYTE Flag = 0;
  CString Key;
  CString Section;
};
