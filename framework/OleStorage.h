// Compound-file documents: a document file is an OLE structured-storage file
// whose stream "Contents" holds the document's archive.
// COleStreamFile is a CFile over an IStream. ReadDocumentFile reads the
// "Contents" stream, or a file that is no compound file from its first byte
// (older flat documents). WriteDocumentFile writes a new compound file beside
// the target and moves it over the target only when everything was written,
// so a failed save leaves the old file as it was.
#pragma once

#include <objidl.h>

#include <functional>

#include "framework/Archive.h"
#include "framework/File.h"

class COleStreamFile : public CFile {
 public:
  // Takes a reference to the stream; releases it on Close.
  explicit COleStreamFile(IStream* stream = nullptr, const char* name = "Contents");
  ~COleStreamFile() override;

  bool Open(const char*, UINT, CFileException* = nullptr) override { return false; }
  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  uint64_t Seek(int64_t offset, UINT from) override;
  uint64_t GetLength() const override;
  void SetLength(uint64_t newLength) override;
  uint64_t GetPosition() const override;
  void Flush() override;
  void Close() override;
  void Abort() override;
  bool IsOpen() const override { return stream_ != nullptr; }

  IStream* GetStream() const { return stream_; }

 private:
  [[noreturn]] void ThrowHresult(HRESULT result) const;
  IStream* stream_ = nullptr;
};

using ArchiveAction = std::function<void(CArchive&)>;

extern const wchar_t kContentsStream[];  // L"Contents"

// Loads `path` through `load`; CFileException or CArchiveException on failure.
void ReadDocumentFile(const char* path, const ArchiveAction& load);
// Stores through `store` into a compound file at `path`; throws on failure,
// leaving any existing file at `path` untouched.
void WriteDocumentFile(const char* path, const ArchiveAction& store);

// The same archive forms inside a storage a container gives (embedding);
// `name` is the file name the archive's errors report.
void ReadFromStorage(IStorage* storage, const ArchiveAction& load, const char* name = "Contents");
void WriteToStorage(IStorage* storage, const ArchiveAction& store, const char* name = "Contents");
