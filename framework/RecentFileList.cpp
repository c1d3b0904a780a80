// CRecentFileList: list order, shortening for the menu, storage by callback.
#include "framework/RecentFileList.h"

#include <algorithm>
#include <cstdio>

CRecentFileList::CRecentFileList(UINT start, const char* section, const char* entryFormat,
                                 int size, int maxDisplayLength)
    : m_nStart(start),
      section_(section),
      entryFormat_(entryFormat),
      size_(std::max(size, 0)),
      maxDisplayLength_(maxDisplayLength) {}

CString CRecentFileList::operator[](int index) const {
  if (index < 0 || index >= GetCount()) return CString();
  return names_[static_cast<size_t>(index)];
}

void CRecentFileList::Add(const char* pathName) {
  const CString path(pathName);
  if (path.IsEmpty() || size_ == 0) return;
  names_.erase(std::remove_if(names_.begin(), names_.end(),
                              [&](const CString& n) { return n.CompareNoCase(path) == 0; }),
               names_.end());
  names_.insert(names_.begin(), path);
  if (GetCount() > size_) names_.resize(static_cast<size_t>(size_));
}

void CRecentFileList::Remove(int index) {
  if (index >= 0 && index < GetCount()) names_.erase(names_.begin() + index);
}

CString CRecentFileList::EntryName(int index) const {
  char entry[64];
  std::snprintf(entry, sizeof entry, entryFormat_.GetString(), index + 1);
  return entry;
}

void CRecentFileList::ReadList(const Reader& read) {
  names_.clear();
  for (int i = 0; i < size_; ++i) {
    const CString path = read(section_, EntryName(i));
    const bool listed = std::any_of(names_.begin(), names_.end(),
                                    [&](const CString& n) { return n.CompareNoCase(path) == 0; });
    if (!path.IsEmpty() && !listed) names_.push_back(path);
  }
}

void CRecentFileList::WriteList(const Writer& write) const {
  for (int i = 0; i < size_; ++i) write(section_, EntryName(i), operator[](i));
}

CString CRecentFileList::AbbreviateName(const CString& path, int maxLength,
                                        const char* currentDir) {
  const int slash = path.ReverseFind('\\');
  const CString folder = slash >= 0 ? path.Left(slash) : CString();
  const CString name = slash >= 0 ? path.Mid(slash + 1) : path;
  CString dir(currentDir ? currentDir : "");
  dir.TrimRight('\\');
  if (!dir.IsEmpty() && folder.CompareNoCase(dir) == 0) return name;
  if (path.GetLength() <= maxLength) return path;
  // Keep the root ("C:\" or "\\server\share\") and as many trailing folders
  // as fit, replacing the middle with "...".
  int rootEnd = path.Find('\\', path.Left(2) == "\\\\" ? path.Find('\\', 2) + 1 : 0);
  if (rootEnd < 0 || rootEnd >= slash) return name;
  const CString root = path.Left(rootEnd + 1);
  CString tail = CString("\\") + name;
  for (int cut = slash; cut > rootEnd;) {
    const int previous = path.Left(cut).ReverseFind('\\');
    if (previous <= rootEnd) break;
    const CString longer = path.Mid(previous, cut - previous) + tail;
    if (root.GetLength() + 3 + longer.GetLength() > maxLength) break;
    tail = longer;
    cut = previous;
  }
  const CString shortened = root + "..." + tail;
  return shortened.GetLength() <= maxLength ? shortened : name;
}

CString CRecentFileList::GetMenuText(int index, const char* currentDir) const {
  CString shown = AbbreviateName(operator[](index), maxDisplayLength_, currentDir);
  shown.Replace("&", "&&");
  CString text;
  text.Format("&%d %s", index + 1, shown.GetString());
  return text;
}
