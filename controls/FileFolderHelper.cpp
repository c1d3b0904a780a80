#include "controls/FileFolderHelper.h"

#include <cstring>

#ifdef _WIN32
#include <mbstring.h>
#else
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>
#endif

namespace {

#ifdef _WIN32
constexpr DWORD kNoMatch = ERROR_FILE_NOT_FOUND;
constexpr DWORD kPathNotFound = ERROR_PATH_NOT_FOUND;
#else
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
// Native error codes are errno values; a missing folder is ENOTDIR so that
// ENOENT alone means "nothing matched", as ERROR_FILE_NOT_FOUND does.
constexpr DWORD kNoMatch = ENOENT;
constexpr DWORD kPathNotFound = ENOTDIR;
#endif

struct FoundEntry {
  CString name;
  DWORD attributes = 0;
};

#ifndef _WIN32
std::string ToPosix(const CString& path) {
  std::string posix = path.str();
  std::replace(posix.begin(), posix.end(), '\\', '/');
  return posix;
}

// Stand-in for GetFileAttributes: directory, symbolic link (as a reparse
// point) or plain file.
DWORD NativeAttributes(const std::string& path, bool ownLink) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return INVALID_FILE_ATTRIBUTES;
  DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  struct stat link;
  if (ownLink && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  }
  return attributes;
}
#endif

// A wildcard search of one folder (FindFirstFile/FindNextFile), closed on
// destruction.
class FileSearch {
 public:
  FileSearch() = default;
  FileSearch(const FileSearch&) = delete;
  FileSearch& operator=(const FileSearch&) = delete;
#ifdef _WIN32
  ~FileSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  // False with `error` set when the search cannot start.
  bool Start(const CString& pattern, FoundEntry& entry, DWORD& error) {
    handle_ = FindFirstFileA(pattern, &data_);
    if (handle_ == INVALID_HANDLE_VALUE) {
      error = GetLastError();
      return false;
    }
    Fill(entry);
    return true;
  }
  bool Next(FoundEntry& entry) {
    if (!FindNextFileA(handle_, &data_)) return false;
    Fill(entry);
    return true;
  }

 private:
  void Fill(FoundEntry& entry) const {
    entry.name = data_.cFileName;
    entry.attributes = data_.dwFileAttributes;
  }
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA data_ = {};
#else
  // Reads the whole folder at once, in name order.
  bool Start(const CString& pattern, FoundEntry& entry, DWORD& error) {
    const int slash = pattern.ReverseFind('\\');
    const std::string folder = ToPosix(pattern.Left(slash + 1));
    std::string mask = pattern.Mid(slash + 1).str();
    if (mask == "*.*") mask = "*";
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
      error = errno == ENOENT ? kPathNotFound : static_cast<DWORD>(errno);
      return false;
    }
    while (const dirent* item = readdir(dir)) {
      if (fnmatch(mask.c_str(), item->d_name, FNM_CASEFOLD) != 0) continue;
      entries_.push_back({item->d_name, NativeAttributes(folder + item->d_name, true)});
    }
    closedir(dir);
    std::sort(entries_.begin(), entries_.end(), [](const FoundEntry& a, const FoundEntry& b) {
      return std::strcmp(a.name, b.name) < 0;
    });
    error = kNoMatch;
    return Next(entry);
  }
  bool Next(FoundEntry& entry) {
    if (next_ >= entries_.size()) return false;
    entry = entries_[next_++];
    return true;
  }

 private:
  std::vector<FoundEntry> entries_;
  size_t next_ = 0;
#endif
};

DWORD FileAttributes(const CString& path) {
#ifdef _WIN32
  return GetFileAttributesA(path);
#else
  return NativeAttributes(ToPosix(path), false);
#endif
}

#ifndef _WIN32
// Stand-in for GetFullPathName: "\" is the root, ".." and "." are resolved
// and a trailing "\" is kept.
bool NativeFullPathName(const CString& path, CString& full) {
  CString joined = path;
  if (joined.IsEmpty() || joined[0] != '\\') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) return false;
    joined = CString(cwd) + "\\" + path;
    joined.Replace('/', '\\');
  }
  std::vector<CString> parts;
  int start = 0;
  for (CString part = joined.Tokenize("\\", start); start >= 0;
       part = joined.Tokenize("\\", start)) {
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (part != ".") {
      parts.push_back(part);
    }
  }
  full.Empty();
  for (const CString& part : parts) full += "\\" + part;
  if (full.IsEmpty() || joined[joined.GetLength() - 1] == '\\') full += '\\';
  return true;
}
#endif

bool FullPathName(const CString& path, CString& full) {
#ifdef _WIN32
  // The second try covers a current folder changed between the two calls.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD needed = GetFullPathNameA(path, 0, nullptr, nullptr);
    if (needed == 0) return false;
    const DWORD written = GetFullPathNameA(path, needed, full.GetBuffer(static_cast<int>(needed)),
                                           nullptr);
    full.ReleaseBuffer(written < needed ? static_cast<int>(written) : 0);
    if (written != 0 && written < needed) return true;
  }
  return false;
#else
  return NativeFullPathName(path, full);
#endif
}

// The system's text for an error code, trimmed.
CString SystemMessage(DWORD code) {
#ifdef _WIN32
  char* buffer = nullptr;
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0,
                 nullptr);
  CString text(buffer);
  if (buffer != nullptr) LocalFree(buffer);
#else
  CString text(std::strerror(static_cast<int>(code)));
#endif
  return text.Trim();
}

// Multi-byte aware ordering of names (byte order off Windows).
int CompareNames(const CString& a, const CString& b) {
#ifdef _WIN32
  return _mbscmp(reinterpret_cast<const unsigned char*>(a.GetString()),
                 reinterpret_cast<const unsigned char*>(b.GetString()));
#else
  return std::strcmp(a, b);
#endif
}

// Inserts before the first name that sorts after it.
void InsertSorted(CStringArray& names, const CString& name) {
  int index = 0;
  while (index < names.GetSize() && CompareNames(names[index], name) <= 0) ++index;
  names.InsertAt(index, name);
}

// A pattern names files of one folder only: no folder parts, no drive.
bool IsPlainPattern(const char* pattern) {
  return pattern != nullptr && *pattern != 0 && std::strpbrk(pattern, "\\/:") == nullptr;
}

bool HasDrive(const CString& path) { return path.GetLength() >= 2 && path[1] == ':'; }

void StripPrefix(CStringArray& paths, int length) {
  for (CString& path : paths) path = path.Mid(length);
}

}  // namespace

bool CFileFolderHelper::MakePathAbsolute(CString& path) {
  errorText_.Empty();
  return QualifyPath(path);
}

bool CFileFolderHelper::MakeFolderAbsolute(CString& path) {
  errorText_.Empty();
  return QualifyFolder(path);
}

bool CFileFolderHelper::FolderExists(const char* path) {
  errorText_.Empty();
  if (path == nullptr || *path == 0) return SetInternalError();
  CString folder(path);
  return QualifyFolder(folder) && FolderExistsQualified(folder);
}

bool CFileFolderHelper::ListFilesInFolder(const char* pattern, const char* folder,
                                          CStringArray& files, bool fullPath) {
  errorText_.Empty();
  if (folder == nullptr) return SetInternalError();
  CString qualified(folder);
  return QualifyFolder(qualified) && ListFiles(pattern, qualified, files, fullPath);
}

bool CFileFolderHelper::ListSubfolders(const char* folder, CStringArray& folders) {
  return ListSubfolders(folder, folders, true);
}

bool CFileFolderHelper::ListSubfolders(const char* folder, CStringArray& folders, bool fullPath) {
  errorText_.Empty();
  if (folder == nullptr) return SetInternalError();
  CString qualified(folder);
  if (!QualifyFolder(qualified)) return false;
  CStringArray found;
  const bool ok = CollectSubfolders(qualified, found, 0);
  if (!fullPath) StripPrefix(found, qualified.GetLength());
  folders.Append(found);
  return ok;
}

// The folder's own matches first, then each subfolder's, depth first; names
// sorted within each folder.
bool CFileFolderHelper::ListFilesMatching(const char* pattern, const char* folder,
                                          CStringArray& files, bool fullPath) {
  errorText_.Empty();
  if (folder == nullptr) return SetInternalError();
  CString qualified(folder);
  CStringArray found;
  if (!QualifyFolder(qualified) || !ListFiles(pattern, qualified, found, true)) return false;
  CStringArray subfolders;
  bool ok = CollectSubfolders(qualified, subfolders, 0);
  for (const CString& subfolder : subfolders) {
    ok = ListFiles(pattern, subfolder + "\\", found, true) && ok;
  }
  if (!fullPath) StripPrefix(found, qualified.GetLength());
  files.Append(found);
  return ok;
}

// Drive paths and network paths stay as they are; anything else is resolved
// against the current folder without changing it.
bool CFileFolderHelper::QualifyPath(CString& path) {
  path.Replace('/', '\\');
  if (path.IsEmpty()) return SetInternalError();
  if (!HasDrive(path) && path.Left(2) != "\\\\") {
    CString full;
    if (!FullPathName(path, full)) return SetInternalError();
    path = full;
  }
  // Folder, name and extension may hold no drive colon and no wildcard.
  if (path.Mid(HasDrive(path) ? 2 : 0).FindOneOf(":*?") >= 0) return SetInternalError();
  return true;
}

bool CFileFolderHelper::QualifyFolder(CString& path) {
  path.Replace('/', '\\');
  if (path.IsEmpty()) return SetInternalError();
  if (path[path.GetLength() - 1] != '\\') path += '\\';
  if (path.Left(2) == "\\\\") return true;
  return QualifyPath(path);
}

bool CFileFolderHelper::FolderExistsQualified(const CString& folder) {
  const DWORD attributes = FileAttributes(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Appends the folder's files that match, sorted among themselves.
bool CFileFolderHelper::ListFiles(const char* pattern, const CString& folder, CStringArray& files,
                                  bool fullPath) {
  if (!IsPlainPattern(pattern)) return SetInternalError();
  if (!FolderExistsQualified(folder)) {
    SetSystemError(kPathNotFound, folder);
    return false;
  }
  const CString searchPath = folder + pattern;
  FileSearch search;
  FoundEntry entry;
  DWORD error = 0;
  if (!search.Start(searchPath, entry, error)) {
    if (error == kNoMatch) return true;
    SetSystemError(error, searchPath);
    return false;
  }
  CStringArray found;
  do {
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    const CString name = fullPath ? folder + entry.name : entry.name;
    Feedback(name);
    InsertSorted(found, name);
  } while (search.Next(entry));
  files.Append(found);
  return true;
}

// Appends every subfolder below `folder` (which ends in "\"), depth first.
bool CFileFolderHelper::CollectSubfolders(const CString& folder, CStringArray& folders,
                                          int depth) {
  // Bounds the recursion (and the open searches) however deep the tree.
  if (depth >= kMaxFolderDepth) return true;
  FileSearch search;
  FoundEntry entry;
  DWORD error = 0;
  if (!search.Start(folder + "*.*", entry, error)) {
    if (error == kNoMatch) return true;
    SetSystemError(error, folder);
    return false;
  }
  bool ok = true;
  do {
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
    // A junction or link may point back up the tree: never follow one.
    if ((entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
    if (entry.name == "." || entry.name == "..") continue;
    const CString subfolder = folder + entry.name;
    folders.Add(subfolder);
    Feedback(subfolder);
    ok = CollectSubfolders(subfolder + "\\", folders, depth + 1) && ok;
  } while (search.Next(entry));
  return ok;
}

bool CFileFolderHelper::SetInternalError() {
  errorText_ = kInternalError;
  Feedback(errorText_);
  return false;
}

void CFileFolderHelper::SetSystemError(DWORD code, const char* element) {
  errorText_ = SystemMessage(code);
  if (element != nullptr && *element != 0) errorText_ += CString(" ") + element;
  Feedback(errorText_);
}

void CFileFolderHelper::Feedback(const CString& text) {
#ifdef _WIN32
  if (feedback_ != nullptr) SetWindowTextA(feedback_, text);
#else
  (void)text;
#endif
}
