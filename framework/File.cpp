// CFile over the operating system's file handles, and CMemFile.
#include "framework/File.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
int CauseFromOsError(long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return CFileException::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return CFileException::badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return CFileException::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_FILE_READ_ONLY:
    case ERROR_WRITE_PROTECT: return CFileException::accessDenied;
    case ERROR_INVALID_HANDLE: return CFileException::invalidFile;
    case ERROR_CURRENT_DIRECTORY: return CFileException::removeCurrentDir;
    case ERROR_CANNOT_MAKE: return CFileException::directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return CFileException::badSeek;
    case ERROR_SHARING_VIOLATION: return CFileException::sharingViolation;
    case ERROR_LOCK_VIOLATION: return CFileException::lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return CFileException::diskFull;
    case ERROR_HANDLE_EOF: return CFileException::endOfFile;
    default: return CFileException::genericException;
  }
}
#else
int CauseFromOsError(long error) {
  switch (error) {
    case ENOENT: return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return CFileException::badPath;
    case EMFILE:
    case ENFILE: return CFileException::tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS: return CFileException::accessDenied;
    case EBADF: return CFileException::invalidFile;
    case ESPIPE:
    case EINVAL: return CFileException::badSeek;
    case ENOSPC: return CFileException::diskFull;
    case EIO: return CFileException::hardIO;
    default: return CFileException::genericException;
  }
}
#endif

}  // namespace

int FileExceptionCause(long osError) { return CauseFromOsError(osError); }

CFile::CFile(const char* fileName, UINT openFlags) {
  CFileException error;
  if (!Open(fileName, openFlags, &error)) throw error;
}

CFile::~CFile() { Abort(); }

CString CFile::GetFileName() const {
  const int slash = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
  return m_strFileName.Mid(slash + 1);
}

void CFile::ThrowOsError(long osError) const {
  AfxThrowFileException(CauseFromOsError(osError), osError, m_strFileName);
}

void CFile::Adopt(NativeHandle handle, const char* name) {
  Abort();
#ifdef _WIN32
  handle_ = handle;
#else
  fd_ = handle;
#endif
  m_strFileName = name;
}

CFile::NativeHandle CFile::GetNativeHandle() const {
#ifdef _WIN32
  return handle_;
#else
  return fd_;
#endif
}

#ifdef _WIN32

bool CFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
  Abort();
  m_strFileName = fileName ? fileName : "";
  DWORD access = GENERIC_READ;
  if ((openFlags & 3) == modeWrite) access = GENERIC_WRITE;
  if ((openFlags & 3) == modeReadWrite) access = GENERIC_READ | GENERIC_WRITE;
  DWORD share = 0;
  switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    // Denying nothing includes deletion: a reader must not stop a save from
    // putting a new file in this one's place.
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE; break;
    default: share = 0; break;
  }
  DWORD disposition = OPEN_EXISTING;
  if (openFlags & modeCreate) disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
  handle_ = CreateFileA(m_strFileName, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    const long osError = static_cast<long>(GetLastError());
    if (error) *error = CFileException(CauseFromOsError(osError), osError, m_strFileName);
    return false;
  }
  return true;
}

UINT CFile::Read(void* buffer, UINT count) {
  if (count == 0) return 0;
  DWORD read = 0;
  if (!ReadFile(handle_, buffer, count, &read, nullptr)) ThrowOsError(GetLastError());
  return read;
}

void CFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  DWORD written = 0;
  if (!WriteFile(handle_, buffer, count, &written, nullptr)) ThrowOsError(GetLastError());
  if (written != count) AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

uint64_t CFile::Seek(int64_t offset, UINT from) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER result;
  if (!SetFilePointerEx(handle_, distance, &result, from)) ThrowOsError(GetLastError());
  return static_cast<uint64_t>(result.QuadPart);
}

uint64_t CFile::GetLength() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle_, &size)) ThrowOsError(GetLastError());
  return static_cast<uint64_t>(size.QuadPart);
}

void CFile::SetLength(uint64_t newLength) {
  Seek(static_cast<int64_t>(newLength), begin);
  if (!SetEndOfFile(handle_)) ThrowOsError(GetLastError());
}

uint64_t CFile::GetPosition() const {
  LARGE_INTEGER zero{};
  LARGE_INTEGER result;
  if (!SetFilePointerEx(handle_, zero, &result, FILE_CURRENT)) ThrowOsError(GetLastError());
  return static_cast<uint64_t>(result.QuadPart);
}

void CFile::Flush() {
  if (handle_ != INVALID_HANDLE_VALUE && !FlushFileBuffers(handle_)) ThrowOsError(GetLastError());
}

void CFile::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  const BOOL ok = CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  if (!ok) ThrowOsError(GetLastError());
}

void CFile::Abort() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

bool CFile::IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

namespace {
int64_t FileTimeToUnix(const FILETIME& time) {
  const uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}
}  // namespace

bool CFile::GetStatus(const char* fileName, CFileStatus& status) {
  if (!fileName || !*fileName) return false;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(fileName, GetFileExInfoStandard, &data)) return false;
  status.m_ctime = FileTimeToUnix(data.ftCreationTime);
  status.m_mtime = FileTimeToUnix(data.ftLastWriteTime);
  status.m_atime = FileTimeToUnix(data.ftLastAccessTime);
  status.m_size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  status.m_attribute = static_cast<BYTE>(data.dwFileAttributes & 0xFF);
  char full[MAX_PATH];
  const DWORD n = GetFullPathNameA(fileName, MAX_PATH, full, nullptr);
  status.m_szFullName = (n > 0 && n < MAX_PATH) ? CString(full) : CString(fileName);
  return true;
}

void CFile::Remove(const char* fileName) {
  if (!DeleteFileA(fileName)) {
    const long osError = static_cast<long>(GetLastError());
    AfxThrowFileException(CauseFromOsError(osError), osError, fileName);
  }
}

void CFile::Rename(const char* oldName, const char* newName) {
  if (!MoveFileA(oldName, newName)) {
    const long osError = static_cast<long>(GetLastError());
    AfxThrowFileException(CauseFromOsError(osError), osError, oldName);
  }
}

#else  // POSIX

bool CFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
  Abort();
  m_strFileName = fileName ? fileName : "";
  int flags = O_RDONLY;
  if ((openFlags & 3) == modeWrite) flags = O_WRONLY;
  if ((openFlags & 3) == modeReadWrite) flags = O_RDWR;
  if (openFlags & modeCreate) flags |= O_CREAT | ((openFlags & modeNoTruncate) ? 0 : O_TRUNC);
  fd_ = ::open(m_strFileName, flags | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    if (error) *error = CFileException(CauseFromOsError(errno), errno, m_strFileName);
    return false;
  }
  struct stat info;
  if (fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
    Abort();
    if (error) *error = CFileException(CFileException::accessDenied, EISDIR, m_strFileName);
    return false;
  }
  return true;
}

UINT CFile::Read(void* buffer, UINT count) {
  UINT total = 0;
  while (total < count) {
    const ssize_t n = ::read(fd_, static_cast<char*>(buffer) + total, count - total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowOsError(errno);
    if (n == 0) break;
    total += static_cast<UINT>(n);
  }
  return total;
}

void CFile::Write(const void* buffer, UINT count) {
  UINT total = 0;
  while (total < count) {
    const ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + total, count - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowOsError(n < 0 ? errno : ENOSPC);
    total += static_cast<UINT>(n);
  }
}

uint64_t CFile::Seek(int64_t offset, UINT from) {
  const int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
  const off_t at = ::lseek(fd_, offset, whence);
  if (at < 0) ThrowOsError(errno);
  return static_cast<uint64_t>(at);
}

uint64_t CFile::GetLength() const {
  struct stat info;
  if (fstat(fd_, &info) != 0) ThrowOsError(errno);
  return static_cast<uint64_t>(info.st_size);
}

void CFile::SetLength(uint64_t newLength) {
  if (ftruncate(fd_, static_cast<off_t>(newLength)) != 0) ThrowOsError(errno);
}

uint64_t CFile::GetPosition() const {
  const off_t at = ::lseek(fd_, 0, SEEK_CUR);
  if (at < 0) ThrowOsError(errno);
  return static_cast<uint64_t>(at);
}

void CFile::Flush() {
  if (fd_ >= 0 && fsync(fd_) != 0 && errno != EINVAL) ThrowOsError(errno);
}

void CFile::Close() {
  if (fd_ < 0) return;
  const int result = ::close(fd_);
  fd_ = -1;
  if (result != 0) ThrowOsError(errno);
}

void CFile::Abort() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool CFile::IsOpen() const { return fd_ >= 0; }

bool CFile::GetStatus(const char* fileName, CFileStatus& status) {
  struct stat info;
  if (!fileName || !*fileName || ::stat(fileName, &info) != 0) return false;
  status.m_ctime = info.st_ctime;
  status.m_mtime = info.st_mtime;
  status.m_atime = info.st_atime;
  status.m_size = static_cast<uint64_t>(info.st_size);
  status.m_attribute = S_ISDIR(info.st_mode) ? directory : normal;
  status.m_szFullName = fileName;
  return true;
}

void CFile::Remove(const char* fileName) {
  if (::unlink(fileName) != 0) AfxThrowFileException(CauseFromOsError(errno), errno, fileName);
}

void CFile::Rename(const char* oldName, const char* newName) {
  if (::rename(oldName, newName) != 0)
    AfxThrowFileException(CauseFromOsError(errno), errno, oldName);
}

#endif

// ---- CMemFile ----

CMemFile::CMemFile(UINT growBytes) : growBytes_(growBytes ? growBytes : 1024) {}

CMemFile::CMemFile(BYTE* buffer, UINT size, UINT growBytes) { Attach(buffer, size, growBytes); }

void CMemFile::Attach(BYTE* buffer, UINT size, UINT growBytes) {
  Close();
  growBytes_ = growBytes;
  if (growBytes == 0) {
    // A fixed buffer of the caller's: read it, or write into it, in place.
    external_ = buffer;
    capacity_ = size;
    size_ = size;
  } else {
    // A growable file starting from a copy; the caller's buffer is never
    // reallocated behind its back.
    owned_.assign(buffer, buffer + size);
    capacity_ = size;
    size_ = size;
  }
  position_ = 0;
}

BYTE* CMemFile::Detach() {
  BYTE* buffer = external_;
  external_ = nullptr;
  Close();
  return buffer;
}

void CMemFile::Close() {
  owned_.clear();
  owned_.shrink_to_fit();
  external_ = nullptr;
  capacity_ = size_ = position_ = 0;
}

UINT CMemFile::Read(void* buffer, UINT count) {
  if (position_ >= size_) return 0;
  const uint64_t n = std::min<uint64_t>(count, size_ - position_);
  std::memcpy(buffer, data() + position_, static_cast<size_t>(n));
  position_ += n;
  return static_cast<UINT>(n);
}

void CMemFile::EnsureCapacity(uint64_t needed) {
  if (needed <= capacity_) return;
  if (external_ || growBytes_ == 0)
    AfxThrowFileException(CFileException::diskFull, -1, "memory file");
  uint64_t grown = std::max<uint64_t>(needed, capacity_ + capacity_ / 2);
  grown = (grown + growBytes_ - 1) / growBytes_ * growBytes_;
  if (grown > std::numeric_limits<UINT>::max()) AfxThrowMemoryException();
  owned_.resize(static_cast<size_t>(grown), 0);
  capacity_ = grown;
}

void CMemFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  const uint64_t endAt = position_ + count;
  EnsureCapacity(endAt);
  // A seek past the end left a gap; it reads back as zeros.
  if (position_ > size_) std::memset(data() + size_, 0, static_cast<size_t>(position_ - size_));
  std::memcpy(data() + position_, buffer, count);
  position_ = endAt;
  size_ = std::max(size_, endAt);
}

uint64_t CMemFile::Seek(int64_t offset, UINT from) {
  const int64_t base = from == current ? static_cast<int64_t>(position_)
                       : from == end   ? static_cast<int64_t>(size_)
                                       : 0;
  const int64_t at = base + offset;
  if (at < 0) AfxThrowFileException(CFileException::badSeek, -1, "memory file");
  position_ = static_cast<uint64_t>(at);
  return position_;
}

void CMemFile::SetLength(uint64_t newLength) {
  EnsureCapacity(newLength);
  if (newLength > size_) std::memset(data() + size_, 0, static_cast<size_t>(newLength - size_));
  size_ = newLength;
  position_ = std::min(position_, size_);
}
