// Helpers for the OLE tests: an OLE apartment per test, programs beside the
// test executable, storages in temporary files and metafile pictures.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <string>

#include "framework/ComPtr.h"

// OleInitialize for the scope.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

// Runs `exe` from the test executable's folder with `arguments` and returns
// its exit code (-1 when it could not start or did not end within 20 s).
int RunBeside(const char* exe, const char* arguments);
// The full path of `exe` in the test executable's folder.
std::string PathBeside(const char* exe);

// A compound file in the temporary folder, deleted when released.
ComPtr<IStorage> MakeMemoryStorage();
void WriteContents(IStorage* storage, const std::string& bytes);
// The bytes of stream "Contents", or "<none>" without one.
std::string ReadContents(IStorage* storage);

struct PictureInfo {
  LONG mm = 0;
  LONG xExt = 0;
  LONG yExt = 0;
  UINT metafileBytes = 0;
  bool hasRectangle = false;  // a META_RECTANGLE record
};
// What a TYMED_MFPICT medium holds.
PictureInfo ReadPicture(const STGMEDIUM& medium);

// TRUE when a key exists under HKEY_CURRENT_USER.
bool UserKeyExists(const std::string& subKey);
// "{...}" for a class id.
std::string GuidText(REFGUID id);

// Waits until no process runs `exe` (a file name); FALSE after `timeoutMs`.
bool WaitForNoProcess(const char* exe, DWORD timeoutMs);
