// CFile (a binary file on disk), CMemFile (a file in memory) and CFileStatus.
// Read returns fewer bytes than asked at the end of the file; Write, Seek and
// the other operations throw CFileException on failure.
// CMemFile never reallocates a buffer it was given with Attach and no grow
// size; writing past such a buffer throws. Seeking past the end of a memory
// file and writing there fills the gap with zeros.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/String.h"

struct CFileStatus {
  int64_t m_ctime = 0;  // seconds since 1970
  int64_t m_mtime = 0;
  int64_t m_atime = 0;
  uint64_t m_size = 0;
  BYTE m_attribute = 0;  // 0x10 for a folder
  CString m_szFullName;
};

// The CFileException cause of an operating-system error code (a Win32
// error, or errno natively).
int FileExceptionCause(long osError);

class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };
  enum Attribute : BYTE { normal = 0, readOnly = 1, hidden = 2, system = 4, directory = 0x10 };

  CFile() = default;
  // Opens the file or throws CFileException.
  CFile(const char* fileName, UINT openFlags);
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  virtual bool Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
  virtual UINT Read(void* buffer, UINT count);
  virtual void Write(const void* buffer, UINT count);
  virtual uint64_t Seek(int64_t offset, UINT from);
  virtual uint64_t GetLength() const;
  virtual void SetLength(uint64_t newLength);
  virtual uint64_t GetPosition() const;
  virtual void Flush();
  virtual void Close();
  // Closes without throwing.
  virtual void Abort();
  virtual bool IsOpen() const;

  void SeekToBegin() { Seek(0, begin); }
  uint64_t SeekToEnd() { return Seek(0, end); }
  const CString& GetFilePath() const { return m_strFileName; }
  CString GetFileName() const;

  static bool GetStatus(const char* fileName, CFileStatus& status);
  static void Remove(const char* fileName);
  static void Rename(const char* oldName, const char* newName);

 protected:
  [[noreturn]] void ThrowOsError(long osError) const;
#ifdef _WIN32
  using NativeHandle = HANDLE;
#else
  using NativeHandle = int;
#endif
  // Takes over an open handle; `name` is the name its errors report.
  void Adopt(NativeHandle handle, const char* name);
  NativeHandle GetNativeHandle() const;

  CString m_strFileName;

 private:
#ifdef _WIN32
  HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
  int fd_ = -1;
#endif
};

class CMemFile : public CFile {
 public:
  // An empty file that grows in steps of `growBytes`.
  explicit CMemFile(UINT growBytes = 1024);
  // A file over the caller's buffer; with growBytes 0 it never grows.
  CMemFile(BYTE* buffer, UINT size, UINT growBytes = 0);
  ~CMemFile() override = default;

  void Attach(BYTE* buffer, UINT size, UINT growBytes = 0);
  // Lets go of an attached buffer and returns it (null for owned storage);
  // the file is empty afterwards.
  BYTE* Detach();

  bool Open(const char*, UINT, CFileException* = nullptr) override { return false; }
  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  uint64_t Seek(int64_t offset, UINT from) override;
  uint64_t GetLength() const override { return size_; }
  void SetLength(uint64_t newLength) override;
  uint64_t GetPosition() const override { return position_; }
  void Flush() override {}
  void Close() override;
  void Abort() override { Close(); }
  bool IsOpen() const override { return true; }

  // The bytes written so far (owned or attached storage).
  const BYTE* GetData() const { return data(); }

 private:
  BYTE* data() { return external_ ? external_ : owned_.data(); }
  const BYTE* data() const { return external_ ? external_ : owned_.data(); }
  void EnsureCapacity(uint64_t needed);

  std::vector<BYTE> owned_;
  BYTE* external_ = nullptr;
  uint64_t capacity_ = 0;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
  UINT growBytes_ = 1024;
};
