// VersionRecord: one line of the maker's versions file, "VER;id;name;major;
// minor;download address;notes address". ReadVersionsFile reads such a file
// with the text file reader.
// Choices of ours: every field is reset before a line is parsed, so no field
// of one product's line shows with another's; numbers are truncated towards
// zero and saturated to the 32-bit range (NaN and infinities cannot reach the
// conversion); a file is read up to 64 KiB of text or 1000 lines, and lines
// over 1024 characters are skipped.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/String.h"

struct VersionRecord {
  // What a line that is not a version line leaves in ProductId: no program.
  static constexpr int32_t kNoProduct = 10;

  CString Tag;
  int32_t ProductId = kNoProduct;
  CString ProductName;
  int32_t Major = 0, Minor = 0;
  CString DownloadUrl, NotesUrl;
  // How many of the seven fields the last line held.
  int32_t FieldCount = 0;

  // Fills the record from `line`; false when its first field is not "VER".
  bool Parse(const CString& line);
  // A version line with every field up to the minor version.
  bool IsComplete() const { return Tag == "VER" && FieldCount >= 5; }
};

struct VersionsFileLimits {
  static constexpr int kMaxBytes = 64 * 1024;
  // The largest file read at all: UTF-16 doubles the text.
  static constexpr int kMaxFileBytes = 2 * kMaxBytes + 2;
  static constexpr int kMaxLines = 1000;
  static constexpr int kMaxLineLength = 1024;
};

// The complete version lines of the file at `path`, in file order.
std::vector<VersionRecord> ReadVersionsFile(const char* path);

// A number field: ParseNumber's value truncated towards zero, within int32.
int32_t VersionNumber(const CString& text);
