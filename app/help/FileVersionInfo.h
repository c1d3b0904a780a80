// CFileVersionInfo: the version resource of a file (normally the program's
// own module): its fixed part and its translation table.
// Choices of ours: a fixed part shorter than VS_FIXEDFILEINFO counts as no
// version information (it is never read past its end); a resource without
// a translation table counts as none too, and every failure leaves all
// fields zero, so callers then see version 0.0.
#pragma once

#include <windows.h>

class CFileVersionInfo {
 public:
  CFileVersionInfo();
  virtual ~CFileVersionInfo();
  CFileVersionInfo(const CFileVersionInfo&) = delete;
  CFileVersionInfo& operator=(const CFileVersionInfo&) = delete;

  // Reads the version resource of the file at `path`; returns Valid.
  BOOL Create(const char* path);
  BOOL CreateFromModule(HMODULE module);
  void Reset();

  WORD ProductMajor() const { return HIWORD(FixedInfo.dwProductVersionMS); }
  WORD ProductMinor() const { return LOWORD(FixedInfo.dwProductVersionMS); }
  WORD FileBuild() const { return HIWORD(FixedInfo.dwFileVersionLS); }

  VS_FIXEDFILEINFO FixedInfo;
  void* VersionData = nullptr;        // the whole block, owned (malloc)
  const DWORD* Translations = nullptr;  // language and code-page pairs in VersionData
  DWORD CurrentTranslation = 0;
  DWORD TranslationCount = 0;
  BOOL Valid = FALSE;

 private:
  BOOL ReadBlock(const char* path);
};
