#include "app/startup/VersionRecord.h"

#include <cmath>

#include "app/startup/TextFileReader.h"
#include "controls/NumberText.h"

namespace {

// The fields of `line` between ";" separators; empty fields are skipped, so
// ";;" separates like ";".
std::vector<CString> Fields(const CString& line) {
  std::vector<CString> fields;
  const int length = line.GetLength();
  int start = 0;
  while (start <= length) {
    int end = line.Find(';', start);
    if (end < 0) end = length;
    if (end > start) fields.push_back(line.Mid(start, end - start));
    start = end + 1;
  }
  return fields;
}

}  // namespace

int32_t VersionNumber(const CString& text) {
  // The defaults are the settings of the versions file and the stamps.
  const double value = NumberTextFormat().ParseNumber(text);
  // Guards the conversion: out-of-range and NaN values are undefined in C++.
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(std::trunc(value));
}

bool VersionRecord::Parse(const CString& line) {
  *this = VersionRecord();
  const std::vector<CString> fields = Fields(line);
  FieldCount = static_cast<int32_t>(fields.size());
  if (fields.empty() || fields[0] != "VER") return false;
  Tag = fields[0];
  CString* texts[] = {nullptr, nullptr, &ProductName, nullptr, nullptr, &DownloadUrl, &NotesUrl};
  for (size_t i = 1; i < fields.size() && i < 7; ++i) {
    if (texts[i]) *texts[i] = fields[i];
  }
  if (fields.size() > 1) ProductId = VersionNumber(fields[1]);
  if (fields.size() > 3) Major = VersionNumber(fields[3]);
  if (fields.size() > 4) Minor = VersionNumber(fields[4]);
  return true;
}

// The file's size in bytes; 0 when it cannot be opened.
uint64_t FileSize(const char* path) {
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return 0;
  const uint64_t size = file.GetLength();
  file.Close();
  return size;
}

std::vector<VersionRecord> ReadVersionsFile(const char* path) {
  std::vector<VersionRecord> records;
  // A single line of the reader may be of any length: a file far beyond the
  // cap (UTF-16 doubles the bytes) is not a versions file, and is not read.
  if (FileSize(path) > VersionsFileLimits::kMaxFileBytes) return records;
  CTextFileReader reader(path);
  CString line;
  int bytes = 0;
  for (int lines = 0; lines < VersionsFileLimits::kMaxLines && reader.ReadLine(line); ++lines) {
    bytes += line.GetLength() + 1;
    if (bytes > VersionsFileLimits::kMaxBytes) break;
    if (line.GetLength() > VersionsFileLimits::kMaxLineLength) continue;
    VersionRecord record;
    if (record.Parse(line) && record.IsComplete()) records.push_back(record);
  }
  reader.Close();
  return records;
}
