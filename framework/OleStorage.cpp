// Compound-file document storage.
#include "framework/OleStorage.h"

#include <string>

#include "framework/CompoundFileCheck.h"

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

int MoveErrorCause(long error) {
  switch (error) {
    case ERROR_ACCESS_DENIED: return CFileException::accessDenied;
    case ERROR_SHARING_VIOLATION: return CFileException::sharingViolation;
    case ERROR_LOCK_VIOLATION: return CFileException::lockViolation;
    case ERROR_PATH_NOT_FOUND: return CFileException::badPath;
    case ERROR_DISK_FULL: return CFileException::diskFull;
    default: return CFileException::genericException;
  }
}

// A name beside `path` that no other file has yet.
std::string TemporaryBeside(const char* path) {
  std::string base(path);
  for (unsigned n = GetCurrentProcessId() & 0xFFFF;; ++n) {
    const std::string candidate = base + "." + std::to_string(n) + ".tmp";
    if (GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
  }
}

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

void WriteDocumentFile(const char* path, const ArchiveAction& store) {
  const std::string temporary = TemporaryBeside(path);
  const std::wstring wideTemporary = Widen(temporary.c_str());
  try {
    Released<IStorage> storage;
    HRESULT result = StgCreateDocfile(
        wideTemporary.c_str(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, &storage.p);
    if (FAILED(result)) ThrowStorageError(result, path);
    WriteToStorage(storage.p, store, path);
    result = storage.p->Commit(STGC_DEFAULT);
    if (FAILED(result)) ThrowStorageError(result, path);
  } catch (...) {
    DeleteFileA(temporary.c_str());
    throw;
  }
  if (!MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const long error = static_cast<long>(GetLastError());
    DeleteFileA(temporary.c_str());
    AfxThrowFileException(MoveErrorCause(error), error, path);
  }
}
