// CIniFile and QVIniFile.
#include "options/IniFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/File.h"
#include "framework/MessageBox.h"
#include "framework/ReplacingFile.h"
#include "options/OptionText.h"
#include "resources/resource.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr const char* kNoSection = "Unable to locate specified key.";
constexpr const char* kNoValue = "Unable to locate specified value.";
constexpr const char* kCannotOpen = "Unable to open ini file.";

enum class FileRead { read, missing, failed };

// Reads a whole file. Only a file or folder that is not there counts as
// missing; every other failure (a sharing violation, a folder in the file's
// place, a read error) is a failure.
FileRead ReadWholeFile(const char* path, std::vector<char>& bytes) {
  CFile file;
  CFileException error;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone, &error)) {
    const bool missing = error.m_cause == CFileException::fileNotFound ||
                         error.m_cause == CFileException::badPath;
    return missing ? FileRead::missing : FileRead::failed;
  }
  try {
    char chunk[65536];
    for (UINT n; (n = file.Read(chunk, sizeof chunk)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  } catch (const CFileException&) {
    return FileRead::failed;
  }
  return FileRead::read;
}

bool CreateOneFolder(const char* path) {
#ifdef _WIN32
  // Another thread or program may have made it meanwhile: that is success.
  return CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
#else
  return ::mkdir(path, 0755) == 0 || errno == EEXIST;
#endif
}

bool IsNtAtLeast351() {
#ifdef _WIN32
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
  return info.dwMajorVersion > 3 || (info.dwMajorVersion == 3 && info.dwMinorVersion >= 51);
#else
  return true;
#endif
}

// The text before the last backslash, or empty.
CString BeforeLastBackslash(const CString& path) {
  const int at = path.ReverseFind('\\');
  return at < 0 ? CString() : path.Left(at);
}

}  // namespace

// ---- CIniFile ----

int CIniFile::FindSection(const char* section) const {
  const auto found = sectionIndex_.find(section);
  return found == sectionIndex_.end() ? -1 : found->second;
}

int CIniFile::FindEntry(int sectionIndex, const char* name) const {
  if (sectionIndex < 0 || sectionIndex >= sections_.GetSize()) return -1;
  const auto& index = sections_[sectionIndex].indexOf;
  const auto found = index.find(name);
  return found == index.end() ? -1 : found->second;
}

CString CIniFile::ReadValue(const char* section, const char* name) {
  const int s = FindSection(section);
  if (s < 0) {
    m_lastError = kNoSection;
    return CString();
  }
  const int e = FindEntry(s, name);
  if (e < 0) {
    m_lastError = kNoValue;
    return CString();
  }
  return sections_[s].values[e];
}

int CIniFile::ReadInt(const char* section, const char* name) {
  const CString text = ReadValue(section, name);
  if (text.IsEmpty()) return -1;
  // Not atoi: an overlong number saturates instead of being undefined.
  return ParseInt32Saturating(text);
}

bool CIniFile::WriteValue(const char* section, const char* name, const char* value, bool create) {
  int s = FindSection(section);
  if (s < 0) {
    if (!create) return false;
    s = AddSection(section);
  }
  key& entries = sections_[s];
  const int e = FindEntry(s, name);
  if (e >= 0) {
    entries.values[e] = value;
    return true;
  }
  if (!create) return false;
  entries.indexOf.emplace(name, entries.names.Add(name));
  entries.values.Add(value);
  return true;
}

int CIniFile::AddSection(const char* section) {
  sectionNames_.Add(section);
  const int index = sections_.Add(key());
  sectionIndex_.emplace(section, index);
  return index;
}

bool CIniFile::WriteInt(const char* section, const char* name, int value, bool create) {
  CString text;
  text.Format("%d", value);
  return WriteValue(section, name, text, create);
}

CString CIniFile::ToText() const {
  CString text;
  for (int s = 0; s < sections_.GetSize(); ++s) {
    const key& entries = sections_[s];
    if (entries.names.IsEmpty()) continue;
    text += "[" + sectionNames_[s] + "]\r\n";
    for (int e = 0; e < entries.names.GetSize(); ++e)
      text += entries.names[e] + "=" + entries.values[e] + "\r\n";
    text += "\r\n";
  }
  return text;
}

void CIniFile::MergeText(const char* text, size_t length) {
  CString section;
  size_t start = 0;
  while (start < length) {
    const char* lineFeed = static_cast<const char*>(std::memchr(text + start, '\n', length - start));
    const size_t end = lineFeed ? static_cast<size_t>(lineFeed - text) : length;
    size_t lineLength = end - start;
    if (lineLength > 0 && text[start + lineLength - 1] == '\r') --lineLength;
    const CString line(std::string_view(text + start, lineLength));
    start = end + 1;

    if (line.IsEmpty()) continue;
    if (line[0] == '[' && line[line.GetLength() - 1] == ']') {
      section = line.Mid(1, line.Find(']', 1) - 1);
      if (FindSection(section) < 0) AddSection(section);
      continue;
    }
    const int equals = line.Find('=');
    if (equals < 0) continue;  // not something this store ever writes
    WriteValue(section, line.Left(equals), line.Mid(equals + 1), true);
  }
}

bool CIniFile::LoadFromDisk() {
  std::vector<char> bytes;
  switch (ReadWholeFile(path_, bytes)) {
    case FileRead::missing:
      return false;
    case FileRead::failed:
      m_lastError = kCannotOpen;
      unreadablePath_ = path_;
      return false;
    case FileRead::read:
      break;
  }
  MergeText(bytes.data(), bytes.size());
  return true;
}

// Writes the text through a temporary file that replaces the file only
// once it is complete and on the disk.
bool CIniFile::WriteFileText(const CString& text, CFileException& failure) {
  if (path_.IsEmpty()) {
    failure = CFileException(CFileException::badPath, -1, path_);
    return false;
  }
  CReplacingFile file(path_);
  if (!file.Begin(&failure)) return false;
  try {
    file.Write(text.GetString(), static_cast<UINT>(text.GetLength()));
    file.Commit();
  } catch (const CFileException& e) {
    failure = e;
    return false;
  }
  return true;
}

namespace {

constexpr const char* kNeedsAdministrator =
    "Administrator privileges are probably needed to save this file.  Please contact your IT staff.";

// What stopped a write, in the user's words; the string table may lack the
// texts (a program built without our resources), then the general one.
CString WriteFailureReason(const CFileException& failure) {
  UINT id = 0;
  if (failure.m_cause == CFileException::diskFull) id = IDS_WRITE_DISK_FULL;
  if (failure.m_cause == CFileException::accessDenied && failure.m_lOsError == kReadOnlyFileError)
    id = IDS_WRITE_READ_ONLY;
  if (failure.m_cause == CFileException::sharingViolation ||
      failure.m_cause == CFileException::lockViolation)
    id = IDS_WRITE_IN_USE;
  CString reason;
  if (!id || !reason.LoadString(id)) reason = kNeedsAdministrator;
  return reason;
}

}  // namespace

void CIniFile::ReportWriteFailure(const CFileException& failure, WriteReport report) {
  Report("Unable to write file " + path_ + ".\r\n\r\n" + WriteFailureReason(failure), report);
}

void CIniFile::Report(const CString& message, WriteReport report) {
  m_lastError = message;
  // The program's own saves repeat (at every focus change, say): one box per
  // store is enough for them. A save the user asked for is always answered.
  if (report == WriteReport::firstFailure && writeFailureReported_) return;
  writeFailureReported_ = true;
  ShowMessageBox(nullptr, message, "File Save Error", MB_OK);
}

bool CIniFile::SaveToDisk(WriteReport report) {
  // Writing what little was read would lose the rest of the file.
  if (IsUnreadable()) {
    Report("Unable to read file " + path_ +
               ".\r\n\r\nSettings changed while the program runs will not be saved to it.",
           report);
    return false;
  }
  CFileException failure;
  if (WriteFileText(ToText(), failure)) return true;
  ReportWriteFailure(failure, report);
  return false;
}

// ---- QVIniFile ----

bool QVIniFile::Save(WriteReport report) {
  if (FolderName.IsEmpty() || FileName.IsEmpty()) return true;  // nothing asked of the disk
  const CString path = ResolvePath(Location, true);
  if (!path.IsEmpty()) AssignPath(path);
  return SaveToDisk(report);
}

bool QVIniFile::Load() {
  const CString path = ResolvePath(Location, true);
  if (!path.IsEmpty()) AssignPath(path);
  return LoadFromDisk();
}

CString QVIniFile::ResolvePath(int location, bool withFile) const {
  CString path;
  switch (location) {
    case UserAppData: path = UserAppDataPath(FolderName, FileName); break;
    case ProgramFolder: path = ProgramFolderPath(FileName); break;
    case WindowsFolder: path = WindowsFolderPath(FileName); break;
    case CommonAppData: path = CommonAppDataPath(FolderName, FileName); break;
    case ProgramParentFolder: path = ProgramParentPath(FileName); break;
    case LanguageFolder: path = LanguageFolderPath(FileName); break;
    default: return CString();
  }
  return withFile ? path : BeforeLastBackslash(path);
}

CString QVIniFile::UserAppDataPath(const char* folder, const char* file) const {
  return AppDataFolder(folder, false) + file + ".ini";
}

CString QVIniFile::CommonAppDataPath(const char* folder, const char* file) const {
  return AppDataFolder(folder, true) + file + ".ini";
}

CString QVIniFile::ProgramFolderPath(const char* file) const {
  return BeforeLastBackslash(ProgramPath()) + "\\" + file + ".ini";
}

CString QVIniFile::ProgramParentPath(const char* file) const {
  return BeforeLastBackslash(BeforeLastBackslash(ProgramPath())) + "\\" + file + ".ini";
}

CString QVIniFile::LanguageFolderPath(const char* file) const {
  return BeforeLastBackslash(ProgramPath()) + "\\lang\\" + file + ".ini";
}

CString QVIniFile::WindowsFolderPath(const char* file) const {
  return ExpandEnvironment("%WINDIR%\\") + file + ".ini";
}

CString QVIniFile::AppDataFolder(const char* folderName, bool allUsers) {
  if (!IsNtAtLeast351()) return CString();
  CString base = allUsers ? "%ALLUSERSPROFILE%\\Application Data\\" : "%APPDATA%\\";
  if (EnsureFolder(base, folderName)) return base;
  if (allUsers) return CString();
  base = "%USERPROFILE%\\Application Data\\";
  return EnsureFolder(base, folderName) ? base : CString();
}

bool QVIniFile::EnsureFolder(CString& basePath, const char* folderName) {
  basePath = ExpandEnvironment(basePath);
  if (!DirectoryExists(basePath)) return false;
  basePath += folderName;
  basePath += "\\";
  return DirectoryExists(basePath) || CreateOneFolder(basePath);
}

bool QVIniFile::DirectoryExists(const char* path) {
  if (!path || !*path) return false;
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat info;
  return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

CString ExpandEnvironment(const char* text) {
#ifdef _WIN32
  // Ask for the size first: no fixed buffer cuts a long path short.
  const DWORD needed = ExpandEnvironmentStringsA(text, nullptr, 0);
  if (needed == 0) return CString(text);
  CString result;
  const DWORD written = ExpandEnvironmentStringsA(text, result.GetBuffer(static_cast<int>(needed)), needed);
  result.ReleaseBuffer(written > 0 && written <= needed ? -1 : 0);
  return result;
#else
  // %NAME% is replaced by the variable; an unknown name stays as written.
  CString result;
  const char* p = text;
  while (*p) {
    const char* close = (*p == '%') ? std::strchr(p + 1, '%') : nullptr;
    if (close) {
      const std::string name(p + 1, close);
      if (const char* value = std::getenv(name.c_str())) {
        result += value;
        p = close + 1;
        continue;
      }
    }
    result += *p++;
  }
  return result;
#endif
}

CString ProgramPath() {
#ifdef _WIN32
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return CString();
    if (n < buffer.size()) return CString(buffer.data(), static_cast<int>(n));
    buffer.resize(buffer.size() * 2);
  }
#else
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? CString(buffer, static_cast<int>(n)) : CString();
#endif
}
