// The equation option set: construction, partial copy, archive and INI.
#include "options/QVMOptions.h"

#include "options/OptionTable.h"

namespace {

const char kMarker[] = "QVMOptions";
const char kClosingMarker[] = "/QVMOptions/";

}  // namespace

QVMOptions::QVMOptions() : QVMOptions(0) {}

QVMOptions::QVMOptions(OptionStyle style) { SetDefaults(style); }

QVMOptions& QVMOptions::operator=(const QVMOptions& other) {
  if (this == &other) return *this;
  DecimalPoint = other.DecimalPoint;
  Separator = other.Separator;
  for (const HolderRef& ref : IniOrder())
    ForEachHolder(ref, [](auto& to, const auto& from) { to = from; }, *this, other);
  for (int i = 1; i <= 8; ++i) ParseSwitches[i] = other.ParseSwitches[i];
  RelationList = other.RelationList;
  SymbolList = other.SymbolList;
  PrimeList = other.PrimeList;
  GreekList = other.GreekList;
  FunctionList = other.FunctionList;
  InverseFunctionList = other.InverseFunctionList;
  AutoReplaceList = other.AutoReplaceList;
  DrawnConstructList = other.DrawnConstructList;
  MarkList = other.MarkList;
  return *this;
}

void QVMOptions::Serialize(CArchive& archive) {
  if (archive.IsLoading()) {
    LoadFromArchive(archive);
    return;
  }
  archive << CString(kMarker) << static_cast<int16_t>(kArchiveVersion);
  for (const ArchiveRow& row : ArchiveOrder())
    ForEachHolder(row.holder, [&](auto& holder) { holder.Serialize(archive); }, *this);
  archive << CString(kClosingMarker);
}

// A foreign marker or a version of 0 or less ends the read quietly; members
// that an older version does not carry keep their values; a later version
// is read as far as this one knows it.
void QVMOptions::LoadFromArchive(CArchive& archive) {
  CString marker;
  archive >> marker;
  if (marker != kMarker) return;
  int16_t version = 0;
  archive >> version;
  if (version <= 0) return;
  for (const ArchiveRow& row : ArchiveOrder()) {
    if (row.sinceVersion > version) continue;
    ForEachHolder(row.holder, [&](auto& holder) { holder.Serialize(archive); }, *this);
  }
  CString closing;
  archive >> closing;
}

void QVMOptions::ReadHolders(CIniFile& store) {
  for (const HolderRef& ref : IniOrder())
    ForEachHolder(ref, [&](auto& holder) { holder.ReadIni(store); }, *this);
}

void QVMOptions::WriteHolders(CIniFile& store, bool writeDefaults) {
  for (const HolderRef& ref : IniOrder())
    ForEachHolder(ref, [&](auto& holder) { holder.WriteIni(store, writeDefaults); }, *this);
}

// Whether the file could be read or not, every holder reads what the store
// holds and takes its default for whatever is missing.
bool QVMOptions::ReadIni(QVIniFile& store) {
  store.Load();
  ReadHolders(store);
  return true;
}

bool QVMOptions::WriteIni(QVIniFile& store, bool writeDefaults) {
  WriteHolders(store, writeDefaults);
  return store.Save(WriteReport::everyFailure);
}
