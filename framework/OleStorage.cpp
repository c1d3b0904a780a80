// Compound-file document storage.
#include "framework/OleStorage.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "framework/CompoundFileCheck.h"
#include "framework/ReplacingFile.h"

const wchar_t kContentsStream[] = L"Contents";

namespace {

std::wstring Widen(const char* text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

[[noreturn]] void ThrowStorageError(HRESULT result, const char* path) {
  int cause = CFileException::genericException;
  switch (result) {
    case STG_E_FILENOTFOUND: cause = CFileException::fileNotFound; break;
    case STG_E_PATHNOTFOUND: cause = CFileException::badPath; break;
    case STG_E_ACCESSDENIED: cause = CFileException::accessDenied; break;
    case STG_E_SHAREVIOLATION: cause = CFileException::sharingViolation; break;
    case STG_E_LOCKVIOLATION: cause = CFileException::lockViolation; break;
    case STG_E_MEDIUMFULL: cause = CFileException::diskFull; break;
    case STG_E_TOOMANYOPENFILES: cause = CFileException::tooManyOpenFiles; break;
    default: break;
  }
  AfxThrowFileException(cause, static_cast<long>(result), path);
}

// Releases a COM pointer when leaving the scope.
template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

void RunOnStream(IStream* stream, UINT mode, const ArchiveAction& action, const char* name) {
  COleStreamFile file(stream, name);
  CArchive archive(&file, mode);
  action(archive);
  archive.Close();
  if (mode == CArchive::store) file.Flush();
}

// The bytes of a compound file built in memory, zero wherever nothing was
// written: the storage code reads sectors it has not written yet, and grown
// memory of the system's global heap would hand it (and the file) whatever
// was there before. It lives on the stack, longer than the storage on it,
// so it does not count references.
class MemoryLockBytes final : public ILockBytes {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_ILockBytes) return E_NOINTERFACE;
    *out = static_cast<ILockBytes*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE ReadAt(ULARGE_INTEGER offset, void* buffer, ULONG count,
                                   ULONG* read) override {
    const uint64_t at = offset.QuadPart;
    const ULONG n = at >= bytes_.size() ? 0 : static_cast<ULONG>(std::min<uint64_t>(count, bytes_.size() - at));
    if (n) std::memcpy(buffer, bytes_.data() + at, n);
    if (read) *read = n;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE WriteAt(ULARGE_INTEGER offset, const void* buffer, ULONG count,
                                    ULONG* written) override {
    if (written) *written = 0;
    const uint64_t end = offset.QuadPart + count;
    if (!Resize(std::max<uint64_t>(end, bytes_.size()))) return STG_E_MEDIUMFULL;
    if (count) std::memcpy(bytes_.data() + offset.QuadPart, buffer, count);
    if (written) *written = count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Flush() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
    return Resize(size.QuadPart) ? S_OK : STG_E_MEDIUMFULL;
  }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stat) return E_POINTER;
    *stat = STATSTG{};
    stat->type = STGTY_LOCKBYTES;
    stat->cbSize.QuadPart = bytes_.size();
    return S_OK;
  }

  const BYTE* Data() const { return bytes_.data(); }
  size_t Size() const { return bytes_.size(); }

 private:
  // A document is small; anything past what one write can take is refused.
  bool Resize(uint64_t size) {
    if (size > 0x7FFFFFFF) return false;
    try {
      bytes_.resize(static_cast<size_t>(size));  // new bytes are zero
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

  std::vector<BYTE> bytes_;
};

// The storage code loops forever on a compound file whose chains loop, so
// the file's structure is walked first; a damaged one is a bad-format file.
void RefuseDamagedStructure(const char* path) {
  CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
  const std::string fault = CheckCompoundFile(file.GetLength(), [&](uint64_t offset, void* buffer, size_t count) {
    file.Seek(static_cast<int64_t>(offset), CFile::begin);
    auto* bytes = static_cast<char*>(buffer);
    for (size_t done = 0; done < count;) {
      const UINT n = file.Read(bytes + done, static_cast<UINT>(count - done));
      if (n == 0) return false;
      done += n;
    }
    return true;
  });
  if (!fault.empty()) AfxThrowArchiveException(CArchiveException::badIndex, path);
}

}  // namespace

// ---- COleStreamFile ----

COleStreamFile::COleStreamFile(IStream* stream, const char* name) : stream_(stream) {
  if (stream_) stream_->AddRef();
  m_strFileName = name;
}

COleStreamFile::~COleStreamFile() { Abort(); }

void COleStreamFile::ThrowHresult(HRESULT result) const {
  ThrowStorageError(result, m_strFileName);
}

UINT COleStreamFile::Read(void* buffer, UINT count) {
  ULONG read = 0;
  const HRESULT result = stream_->Read(buffer, count, &read);
  if (FAILED(result)) ThrowHresult(result);
  return read;
}

void COleStreamFile::Write(const void* buffer, UINT count) {
  ULONG written = 0;
  const HRESULT result = stream_->Write(buffer, count, &written);
  if (FAILED(result)) ThrowHresult(result);
  if (written != count) AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

uint64_t COleStreamFile::Seek(int64_t offset, UINT from) {
  LARGE_INTEGER move;
  move.QuadPart = offset;
  ULARGE_INTEGER at{};
  const HRESULT result = stream_->Seek(move, from, &at);
  if (FAILED(result)) ThrowHresult(result);
  return at.QuadPart;
}

uint64_t COleStreamFile::GetLength() const {
  STATSTG stat{};
  const HRESULT result = stream_->Stat(&stat, STATFLAG_NONAME);
  if (FAILED(result)) ThrowHresult(result);
  return stat.cbSize.QuadPart;
}

void COleStreamFile::SetLength(uint64_t newLength) {
  ULARGE_INTEGER size;
  size.QuadPart = newLength;
  const HRESULT result = stream_->SetSize(size);
  if (FAILED(result)) ThrowHresult(result);
}

uint64_t COleStreamFile::GetPosition() const {
  LARGE_INTEGER zero{};
  ULARGE_INTEGER at{};
  const HRESULT result = stream_->Seek(zero, STREAM_SEEK_CUR, &at);
  if (FAILED(result)) ThrowHresult(result);
  return at.QuadPart;
}

void COleStreamFile::Flush() {
  if (!stream_) return;
  const HRESULT result = stream_->Commit(STGC_DEFAULT);
  if (FAILED(result)) ThrowHresult(result);
}

void COleStreamFile::Close() { Abort(); }

void COleStreamFile::Abort() {
  if (stream_) stream_->Release();
  stream_ = nullptr;
}

// ---- documents ----

void ReadFromStorage(IStorage* storage, const ArchiveAction& load, const char* name) {
  Released<IStream> stream;
  const HRESULT result = storage->OpenStream(kContentsStream, nullptr,
                                            STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream.p);
  if (FAILED(result)) ThrowStorageError(result, name);
  RunOnStream(stream.p, CArchive::load, load, name);
}

void WriteToStorage(IStorage* storage, const ArchiveAction& store, const char* name) {
  Released<IStream> stream;
  const HRESULT result = storage->CreateStream(
      kContentsStream, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &stream.p);
  if (FAILED(result)) ThrowStorageError(result, name);
  RunOnStream(stream.p, CArchive::store, store, name);
}

void ReadDocumentFile(const char* path, const ArchiveAction& load) {
  const std::wstring widePath = Widen(path);
  if (StgIsStorageFile(widePath.c_str()) != S_OK) {
    // An older flat document: the whole file is the archive.
    CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
    CArchive archive(&file, CArchive::load);
    load(archive);
    return;
  }
  RefuseDamagedStructure(path);
  Released<IStorage> storage;
  const HRESULT result = StgOpenStorage(widePath.c_str(), nullptr,
                                        STGM_READ | STGM_SHARE_DENY_WRITE | STGM_TRANSACTED,
                                        nullptr, 0, &storage.p);
  if (FAILED(result)) ThrowStorageError(result, path);
  ReadFromStorage(storage.p, load, path);
}

// The compound file is built in memory and written through a replacing
// file: the storage code would write the file by a handle of its own, which
// leaves it closed (and free for others to take) between its last write and
// the move over the target.
void WriteDocumentFile(const char* path, const ArchiveAction& store) {
  MemoryLockBytes bytes;
  {
    Released<IStorage> storage;
    HRESULT result = StgCreateDocfileOnILockBytes(
        &bytes, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, &storage.p);
    if (FAILED(result)) ThrowStorageError(result, path);
    WriteToStorage(storage.p, store, path);
    result = storage.p->Commit(STGC_DEFAULT);
    if (FAILED(result)) ThrowStorageError(result, path);
  }
  ReplaceFileContents(path, bytes.Data(), static_cast<UINT>(bytes.Size()));
}
