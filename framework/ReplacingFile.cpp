// CReplacingFile over the system's file handles (Win32, or POSIX for the
// native build, where an advisory lock stands in for the sharing rules).
#include "framework/ReplacingFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
const long kReadOnlyFileError = ERROR_FILE_READ_ONLY;
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
const long kReadOnlyFileError = EROFS;
#endif

namespace {

// Numbers tried for a temporary name before giving up; they start from the
// process id, so two programs saving one file seldom try the same names.
constexpr unsigned kNameTries = 10000;
constexpr char kSuffix[] = ".tmp";

size_t FileNameStart(const CString& path) {
  const int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
  return static_cast<size_t>(slash + 1);
}

bool SameName(const std::string& a, const std::string& b) {
#ifdef _WIN32
  return CString(a.c_str()).CompareNoCase(b.c_str()) == 0;  // names ignore case here
#else
  return a == b;
#endif
}

// Whether `name` is `file` + "." + digits + ".tmp", the naming of our saves.
bool IsTemporaryNameOf(const std::string& name, const std::string& file) {
  const size_t suffix = sizeof kSuffix - 1;
  if (name.size() < file.size() + 2 + suffix) return false;
  if (!SameName(name.substr(0, file.size()), file) || name[file.size()] != '.') return false;
  if (!SameName(name.substr(name.size() - suffix), kSuffix)) return false;
  const size_t digits = name.size() - suffix - file.size() - 1;
  if (digits > 10) return false;
  for (size_t i = file.size() + 1; i < name.size() - suffix; ++i)
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

CString TemporaryName(const CString& target, unsigned number) {
  CString name;
  name.Format("%s.%u%s", target.GetString(), number, kSuffix);
  return name;
}

}  // namespace

CReplacingFile::CReplacingFile(const char* target) : target_(target) {}

CReplacingFile::~CReplacingFile() { Discard(); }

#ifdef _WIN32

namespace {
// How often, and how far apart, a busy target is tried again.
constexpr int kBusyTries = 50;
constexpr DWORD kBusyWaitMs = 10;
}  // namespace

bool CReplacingFile::IsReadOnly(const char* path) {
  const DWORD attributes = ::GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes & FILE_ATTRIBUTE_READONLY);
}

void CReplacingFile::RemoveLeftovers(const char* target) {
  const CString path(target);
  const CString folder = path.Left(static_cast<int>(FileNameStart(path)));
  const std::string file(path.Mid(static_cast<int>(FileNameStart(path))).GetString());
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA(path + ".*" + kSuffix, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  constexpr DWORD kNotOurs =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT;
  do {
    if ((found.dwFileAttributes & kNotOurs) || !IsTemporaryNameOf(found.cFileName, file)) continue;
    // Only a file no one has open can be opened without sharing: a save in
    // progress keeps its file open, so it is never taken from under it.
    HANDLE leftover = ::CreateFileA(folder + found.cFileName, DELETE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (leftover != INVALID_HANDLE_VALUE) ::CloseHandle(leftover);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
}

bool CReplacingFile::Begin(CFileException* error) {
  DWORD osError = kReadOnlyFileError;
  if (!IsReadOnly(target_)) {
    RemoveLeftovers(target_);
    unsigned number = ::GetCurrentProcessId() & 0xFFFF;
    for (unsigned tries = 0; tries < kNameTries; ++tries, ++number) {
      const CString candidate = TemporaryName(target_, number);
      // Kept open, not shared for writing, until it replaced the target;
      // shared for deletion, so that once it is the target it does not stop
      // the next save from replacing it.
      HANDLE file = ::CreateFileA(candidate, GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        Adopt(file, target_);
        temporary_ = candidate;
        return true;
      }
      osError = ::GetLastError();
      if (osError != ERROR_FILE_EXISTS && osError != ERROR_ALREADY_EXISTS) break;
    }
  }
  if (error) *error = CFileException(FileExceptionCause(static_cast<long>(osError)),
                                     static_cast<long>(osError), target_);
  return false;
}

// Renamed through its own handle: the file never stands closed, where
// another save could take it for a leftover.
void CReplacingFile::MoveOverTarget() {
  char full[MAX_PATH * 4];
  const DWORD length = ::GetFullPathNameA(target_, sizeof full, full, nullptr);
  const CString path = length > 0 && length < sizeof full ? CString(full) : target_;
  const int wide = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (wide <= 1) ThrowOsError(ERROR_INVALID_NAME);
  const DWORD nameBytes = static_cast<DWORD>((wide - 1) * sizeof(wchar_t));
  std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->FileNameLength = nameBytes;
  ::MultiByteToWideChar(CP_ACP, 0, path, -1, info->FileName, wide);
  // The target is busy for a moment while another program's save puts its
  // file there (until it closes that file): try again for a while.
  for (int tries = 1;; ++tries) {
    if (::SetFileInformationByHandle(GetNativeHandle(), FileRenameInfo, info,
                                     static_cast<DWORD>(buffer.size())))
      return;
    const DWORD error = ::GetLastError();
    if (tries == kBusyTries || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
      ThrowOsError(static_cast<long>(error));
    ::Sleep(kBusyWaitMs);
  }
}

void CReplacingFile::Discard() {
  if (temporary_.IsEmpty()) return;
  FILE_DISPOSITION_INFO dispose{TRUE};
  const bool marked = IsOpen() && ::SetFileInformationByHandle(GetNativeHandle(), FileDispositionInfo,
                                                               &dispose, sizeof dispose);
  Abort();
  if (!marked) ::DeleteFileA(temporary_);
  temporary_.Empty();
}

#else  // POSIX

bool CReplacingFile::IsReadOnly(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0;
}

void CReplacingFile::RemoveLeftovers(const char* target) {
  const CString path(target);
  const size_t start = FileNameStart(path);
  const CString folder = start ? path.Left(static_cast<int>(start)) : CString("./");
  const std::string file(path.Mid(static_cast<int>(start)).GetString());
  DIR* dir = ::opendir(folder);
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryNameOf(entry->d_name, file)) continue;
    const CString leftover = folder + entry->d_name;
    const int fd = ::open(leftover, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    // A save in progress holds the lock on its file.
    struct stat info;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
      ::unlink(leftover);
    ::close(fd);
  }
  ::closedir(dir);
}

bool CReplacingFile::Begin(CFileException* error) {
  int osError = static_cast<int>(kReadOnlyFileError);
  if (!IsReadOnly(target_)) {
    RemoveLeftovers(target_);
    unsigned number = static_cast<unsigned>(::getpid()) & 0xFFFF;
    for (unsigned tries = 0; tries < kNameTries; ++tries, ++number) {
      const CString candidate = TemporaryName(target_, number);
      const int fd = ::open(candidate, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      if (fd >= 0) {
        ::flock(fd, LOCK_EX);
        Adopt(fd, target_);
        temporary_ = candidate;
        return true;
      }
      osError = errno;
      if (osError != EEXIST) break;
    }
  }
  if (error) *error = CFileException(FileExceptionCause(osError), osError, target_);
  return false;
}

void CReplacingFile::MoveOverTarget() {
  if (::rename(temporary_, target_) != 0) ThrowOsError(errno);
}

void CReplacingFile::Discard() {
  if (temporary_.IsEmpty()) return;
  ::unlink(temporary_);  // while still locked
  Abort();
  temporary_.Empty();
}

#endif

void CReplacingFile::Commit() {
  try {
    Flush();
    MoveOverTarget();
  } catch (...) {
    Discard();
    throw;
  }
  temporary_.Empty();
  Abort();  // the data are on the disk and in place; closing cannot lose them
}

void ReplaceFileContents(const char* target, const void* data, UINT count) {
  CReplacingFile file(target);
  CFileException error;
  if (!file.Begin(&error)) throw error;
  file.Write(data, count);
  file.Commit();
}
