// QVLanguageManager: the language modules found beside the program
// ("QVM400" + a three-letter code + ".dll"), the one loaded as the class
// library's resource module, and the language in effect.
// Choices of ours: only files directly in the folder are modules (a file in
// a subfolder is not); a module is loaded by its full path in that folder,
// never through the library search path, and as a resource-only image, so
// no code of it runs; the resource module is put back to the program's own
// before the module is freed.
#pragma once

#include "framework/Collections.h"
#include "framework/String.h"

class QVLanguageManager {
 public:
  QVLanguageManager() = default;
  ~QVLanguageManager();
  QVLanguageManager(const QVLanguageManager&) = delete;
  QVLanguageManager& operator=(const QVLanguageManager&) = delete;

  // Appends the code of every module prefix + "???.dll" in `folder` (given
  // with its trailing "\"), in the folder's order.
  void FindModules(const char* prefix, const char* folder);
  // Loads the module of `wanted` when it was found; the code then in
  // effect: the loaded code, or "ENG".
  CString LoadModule(const CString& wanted);

  static CString CodeToName(const CString& code);
  static CString NameToCode(const CString& name);
  CString GetCurrentName() const { return CodeToName(CurrentCode); }
  // The display name of found code `index`; empty outside the list.
  CString GetNameAt(int index) const;

  CStringArray FoundCodes;
  HMODULE Module = nullptr;
  CString Prefix;
  CString Folder;
  CString CurrentCode;

 private:
  void UnloadModule();
};
