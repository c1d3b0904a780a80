// QVLanguageManager: finding, loading and naming language modules.
#include "app/help/LanguageManager.h"

#include "controls/FileFolderHelper.h"

namespace {

constexpr const char* kEnglish = "ENG";
constexpr int kCodeLength = 3;

// The languages with a display name; any other code has the empty name.
struct Language {
  const char* code;
  const char* name;
};
constexpr Language kLanguages[] = {
    {"FRA", "French"}, {"SVE", "Svenska"}, {"NLD", "Dutch"},   {"FIN", "Finnish"},
    {"DEU", "German"}, {"ESP", "Spanish"}, {"ITA", "Italian"}, {"ENG", "English"},
};

}  // namespace

QVLanguageManager::~QVLanguageManager() { UnloadModule(); }

void QVLanguageManager::FindModules(const char* prefix, const char* folder) {
  Prefix = prefix ? prefix : "";
  Folder = folder ? folder : "";
  CFileFolderHelper helper;
  CStringArray names;
  if (!helper.ListFilesInFolder(Prefix + "*.dll", Folder, names, false)) return;
  for (const CString& name : names) {
    if (name.GetLength() < 4 || name.Right(4).CompareNoCase(".dll") != 0) continue;
    const CString code = name.Left(name.GetLength() - 4).Mid(Prefix.GetLength());
    if (code.GetLength() == kCodeLength) FoundCodes.Add(code);
  }
}

// Resource-only image: Windows maps it for its resources without running
// any of its code.
CString QVLanguageManager::LoadModule(const CString& wanted) {
  UnloadModule();
  CurrentCode = kEnglish;
  for (const CString& code : FoundCodes) {
    if (code != wanted) continue;
    const CString path = Folder + Prefix + code + ".dll";
    Module = ::LoadLibraryExA(path, nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!Module) continue;
    AfxSetResourceHandle(Module);
    CurrentCode = code;
    break;
  }
  return CurrentCode;
}

void QVLanguageManager::UnloadModule() {
  if (!Module) return;
  if (AfxGetResourceHandle() == Module) AfxSetResourceHandle(nullptr);
  ::FreeLibrary(Module);
  Module = nullptr;
}

CString QVLanguageManager::CodeToName(const CString& code) {
  for (const Language& language : kLanguages)
    if (code == language.code) return language.name;
  return CString();
}

CString QVLanguageManager::NameToCode(const CString& name) {
  for (const Language& language : kLanguages)
    if (name == language.name) return language.code;
  return CString();
}

CString QVLanguageManager::GetNameAt(int index) const {
  if (index < 0 || index >= FoundCodes.GetSize()) return CString();
  return CodeToName(FoundCodes[index]);
}
