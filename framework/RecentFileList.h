// CRecentFileList: the most-recently-used file list of the File menu.
// Newest first, at most GetSize() entries; adding a path already listed
// (compared without regard to ASCII case, as Windows compares paths) moves
// it to the front. Storage goes through callbacks, so this builds and is
// tested without Windows; the application binds them to its profile.
// Choices of ours: menu texts double every "&" of a path so that it shows
// instead of marking a mnemonic; an empty path is never added.
#pragma once

#include <functional>
#include <vector>

#include "framework/String.h"

class CRecentFileList {
 public:
  // `entryFormat` names the stored values, for example "File%d" (1-based).
  CRecentFileList(UINT start, const char* section, const char* entryFormat, int size,
                  int maxDisplayLength = 30);

  int GetSize() const { return size_; }
  int GetCount() const { return static_cast<int>(names_.size()); }
  // The path at `index` (0 is the newest); empty past the end.
  CString operator[](int index) const;

  void Add(const char* pathName);
  void Remove(int index);
  // Drops every entry.
  void RemoveAll() { names_.clear(); }

  // The menu text of entry `index`: "&1 name", the path shortened to the
  // display length and to its file name when it lies in `currentDir`.
  CString GetMenuText(int index, const char* currentDir) const;
  // The path shortened for display ("C:\...\folder\name.ext").
  static CString AbbreviateName(const CString& path, int maxLength, const char* currentDir);

  using Reader = std::function<CString(const char* section, const char* entry)>;
  using Writer = std::function<void(const char* section, const char* entry, const char* value)>;
  void ReadList(const Reader& read);
  // Writes every slot; slots past the last entry get an empty value.
  void WriteList(const Writer& write) const;

  const CString& GetSection() const { return section_; }
  UINT m_nStart;  // command id of the first entry

 private:
  CString EntryName(int index) const;

  CString section_;
  CString entryFormat_;
  int size_;
  int maxDisplayLength_;
  std::vector<CString> names_;
};
