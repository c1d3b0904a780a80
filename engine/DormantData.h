// Serialisable value records kept for archives that name them: ranges for
// five constants and a table of five variable substitutions. Nothing in the
// program builds, reads or draws them beyond creating and loading them.
#pragma once

#include "framework/Object.h"
#include "framework/String.h"

class QVConstantRange : public CObject {
  DECLARE_SERIAL(QVConstantRange)

 public:
  void Serialize(CArchive& archive) override;
  virtual void CopyFrom(const QVConstantRange& other);

  double Values[4] = {1.0, 1.0, 0.0, 1.0};
  bool Enabled = true;  // not stored
};

class QVConstantRanges : public CObject {
  DECLARE_SERIAL(QVConstantRanges)

 public:
  static constexpr int kCount = 5;
  void Serialize(CArchive& archive) override;
  virtual void CopyFrom(const QVConstantRanges& other);

  QVConstantRange Ranges[kCount];
};

class QVVariableSubstitutions : public CObject {
  DECLARE_SERIAL(QVVariableSubstitutions)

 public:
  static constexpr int kRows = 5;
  static constexpr WORD kVersion = 1;
  struct Row {
    CString Name;
    double Value = 0.0;
    bool Active = false;
  };
  void Serialize(CArchive& archive) override;

  CString Texts[4];  // not stored
  int32_t Count = 0;
  bool Flags[2] = {false, false};
  Row Rows[kRows];
};
