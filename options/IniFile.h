// CIniFile: an INI file held in memory as ordered sections of name/value
// strings, read and written as a whole. QVIniFile adds where the file lives
// (a location kind, a folder name and a file name).
//
// Choices of ours: lines of any length are read; a line that is neither a
// section line nor holds "=" is ignored; the file is written through a
// temporary file of its own beside it (CReplacingFile), so a failed save
// leaves the old file as it was and two programs saving at once never mix
// their files; a read-only file is not replaced. A write failure is reported
// with what stopped it; saves the program makes by itself report a store's
// first failure only, saves the user asked for every one. A file that exists
// but cannot be read (locked by another program, say) is never written back
// by this store: it would be written with only what the program set.
// Sections and names are found through hash indexes beside the ordered
// arrays, so reading a file is linear in its size.
#pragma once

#include <string>
#include <unordered_map>

#include "framework/Collections.h"
#include "framework/String.h"

class CFileException;

// Which write failures a save shows: only a store's first one (saves the
// program makes by itself, which may repeat often), or every one (saves
// the user asked for).
enum class WriteReport { firstFailure, everyFailure };

class CIniFile {
 public:
  // One section: entry i is (names[i], values[i]).
  struct key {
    CStringArray values;
    CStringArray names;
    std::unordered_map<std::string, int> indexOf;  // name -> entry
  };

  CIniFile() = default;
  virtual ~CIniFile() = default;

  void AssignPath(const char* path) { path_ = path; }
  const CString& GetPath() const { return path_; }

  int FindSection(const char* section) const;
  int FindEntry(int sectionIndex, const char* name) const;

  // Empty text (and an error text) when the section or the name is missing.
  CString ReadValue(const char* section, const char* name);
  // -1 for a missing or empty value, else the leading decimal number (0 when
  // there is none), saturated to the int range.
  int ReadInt(const char* section, const char* name);
  // Missing sections and names are appended only with `create` set.
  bool WriteValue(const char* section, const char* name, const char* value, bool create);
  bool WriteInt(const char* section, const char* name, int value, bool create);

  // False when the file could not be written (and the failure was reported).
  bool SaveToDisk(WriteReport report = WriteReport::firstFailure);
  // False when the file is missing or cannot be read; the latter marks the
  // file unreadable, and SaveToDisk then leaves it alone.
  bool LoadFromDisk();
  bool IsUnreadable() const { return !unreadablePath_.IsEmpty() && unreadablePath_ == path_; }

  // The file's text as SaveToDisk writes it, and the reading of such text
  // (merged into what the store holds).
  CString ToText() const;
  void MergeText(const char* text, size_t length);

  int GetSectionCount() const { return sectionNames_.GetSize(); }
  const CString& GetSectionName(int index) const { return sectionNames_[index]; }
  const key& GetSection(int index) const { return sections_[index]; }

  CString m_lastError;

 private:
  int AddSection(const char* section);
  bool WriteFileText(const CString& text, CFileException& failure);
  void ReportWriteFailure(const CFileException& failure, WriteReport report);
  void Report(const CString& message, WriteReport report);

  CString path_;
  CArray<key> sections_;
  CStringArray sectionNames_;
  std::unordered_map<std::string, int> sectionIndex_;
  CString unreadablePath_;
  bool writeFailureReported_ = false;
};

enum IniLocation : int {
  UserAppData = 0,
  ProgramFolder = 1,
  WindowsFolder = 2,
  CommonAppData = 3,
  ExplicitPath = 4,
  ProgramParentFolder = 5,
  LanguageFolder = 6,
};

class QVIniFile : public CIniFile {
 public:
  QVIniFile() = default;
  ~QVIniFile() override = default;

  // Writes the file at its location; nothing when either name is empty.
  // False when the file could not be written.
  bool Save(WriteReport report = WriteReport::firstFailure);
  bool Load();
  // The full path under `location` (empty for ExplicitPath and unknown
  // kinds); without `withFile`, the folder without its trailing "\".
  CString ResolvePath(int location, bool withFile) const;

  // The application-data folder + folderName + "\", created when missing;
  // empty when it cannot be had. Safe to call from any thread.
  static CString AppDataFolder(const char* folderName, bool allUsers);
  static bool EnsureFolder(CString& basePath, const char* folderName);
  static bool DirectoryExists(const char* path);

  CString UserAppDataPath(const char* folder, const char* file) const;
  CString ProgramFolderPath(const char* file) const;
  CString WindowsFolderPath(const char* file) const;
  CString CommonAppDataPath(const char* folder, const char* file) const;
  CString ProgramParentPath(const char* file) const;
  CString LanguageFolderPath(const char* file) const;

  CString FolderName;
  CString FileName;
  int Location = UserAppData;
};

// %NAME% references expanded from the environment.
CString ExpandEnvironment(const char* text);
// The full path of the running program.
CString ProgramPath();
