// CFileVersionInfo: reads a file's version block through the version API.
#include "app/help/FileVersionInfo.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD kFixedSignature = 0xFEEF04BD;

}  // namespace

CFileVersionInfo::CFileVersionInfo() { std::memset(&FixedInfo, 0, sizeof FixedInfo); }

CFileVersionInfo::~CFileVersionInfo() { Reset(); }

void CFileVersionInfo::Reset() {
  std::memset(&FixedInfo, 0, sizeof FixedInfo);
  Translations = nullptr;
  CurrentTranslation = 0;
  TranslationCount = 0;
  Valid = FALSE;
  std::free(VersionData);
  VersionData = nullptr;
}

BOOL CFileVersionInfo::CreateFromModule(HMODULE module) {
  if (!module) return FALSE;
  char path[MAX_PATH] = {};
  if (!::GetModuleFileNameA(module, path, MAX_PATH)) return FALSE;
  return Create(path);
}

// Valid only with a whole fixed part of the right signature and a
// translation table; anything less resets every field.
BOOL CFileVersionInfo::Create(const char* path) {
  if (!path) return FALSE;
  Reset();
  if (!ReadBlock(path)) {
    Reset();
    return FALSE;
  }
  void* fixed = nullptr;
  UINT length = 0;
  // A shorter fixed part would be read past its end.
  if (::VerQueryValueA(VersionData, "\\", &fixed, &length) && fixed &&
      length >= sizeof FixedInfo) {
    std::memcpy(&FixedInfo, fixed, sizeof FixedInfo);
    Valid = FixedInfo.dwSignature == kFixedSignature;
  }
  void* table = nullptr;
  if (Valid && ::VerQueryValueA(VersionData, "\\VarFileInfo\\Translation", &table, &length) &&
      table && length >= sizeof(DWORD)) {
    Translations = static_cast<const DWORD*>(table);
    TranslationCount = length / sizeof(DWORD);
    return TRUE;
  }
  Reset();
  return FALSE;
}

BOOL CFileVersionInfo::ReadBlock(const char* path) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return FALSE;
  VersionData = std::calloc(size, 1);
  return VersionData && ::GetFileVersionInfoA(path, 0, size, VersionData);
}
