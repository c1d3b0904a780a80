// Archive forms of the constant-range and substitution records.
#include "engine/DormantData.h"

#include "framework/Archive.h"

IMPLEMENT_SERIAL(QVConstantRange, CObject, 0)
IMPLEMENT_SERIAL(QVConstantRanges, CObject, 0)
IMPLEMENT_SERIAL(QVVariableSubstitutions, CObject, 1)

// The four values only; the flag is not part of the stored form.
void QVConstantRange::Serialize(CArchive& archive) {
  for (double& value : Values) {
    if (archive.IsStoring()) {
      archive << value;
    } else {
      archive >> value;
    }
  }
}

void QVConstantRange::CopyFrom(const QVConstantRange& other) {
  for (int i = 0; i < 4; ++i) Values[i] = other.Values[i];
  Enabled = other.Enabled;
}

void QVConstantRanges::Serialize(CArchive& archive) {
  for (QVConstantRange& range : Ranges) range.Serialize(archive);
}

void QVConstantRanges::CopyFrom(const QVConstantRanges& other) {
  for (int i = 0; i < kCount; ++i) Ranges[i].CopyFrom(other.Ranges[i]);
}

// A version word, the count, two flags and five rows; a version of 0 or
// below ends the record.
void QVVariableSubstitutions::Serialize(CArchive& archive) {
  if (archive.IsStoring()) {
    archive << kVersion << Count << Flags[0] << Flags[1];
    for (const Row& row : Rows) archive << row.Name << row.Value << row.Active;
    return;
  }
  int16_t version;
  archive >> version;
  if (version <= 0) return;
  archive >> Count >> Flags[0] >> Flags[1];
  for (Row& row : Rows) archive >> row.Name >> row.Value >> row.Active;
}
