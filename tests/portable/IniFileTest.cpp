#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "options/IniFile.h"
#include "tests/portable/MessageBoxGuard.h"
#include "tests/portable/TempFolder.h"

namespace {

std::string Text(const CIniFile& ini) { return ini.ToText().str(); }

void Merge(CIniFile& ini, const std::string& text) { ini.MergeText(text.data(), text.size()); }

}  // namespace

TEST(CIniFile, WritesSectionsEntriesAndBlankLinesWithCrLf) {
  CIniFile ini;
  EXPECT_TRUE(ini.WriteValue("S", "A", "1", true));
  EXPECT_TRUE(ini.WriteValue("S", "B", "", true));
  EXPECT_TRUE(ini.WriteInt("T", "n", -7, true));
  EXPECT_EQ(Text(ini), "[S]\r\nA=1\r\nB=\r\n\r\n[T]\r\nn=-7\r\n\r\n");
}

TEST(CIniFile, ReadRulesForSingleLines) {
  CIniFile ini;
  Merge(ini, "top=1\n[General]\nLanguage=DEU\n[a]b]\na=b=c\n=x\nSize=\n;note=1\n[a] x\n[]\nmore=2\n");
  EXPECT_EQ(ini.ReadValue("", "top"), "1");
  EXPECT_EQ(ini.ReadValue("", "more"), "2");
  EXPECT_EQ(ini.ReadValue("General", "Language"), "DEU");
  EXPECT_EQ(ini.ReadValue("a", "a"), "b=c");
  EXPECT_EQ(ini.ReadValue("a", ""), "x");
  EXPECT_EQ(ini.ReadValue("a", ";note"), "1");
  EXPECT_GE(ini.FindEntry(ini.FindSection("a"), "Size"), 0);
  EXPECT_EQ(ini.ReadValue("a", "Size"), "");
  // "[a] x" is neither a section nor an entry: ignored.
  EXPECT_EQ(ini.GetSection(ini.FindSection("a")).names.GetSize(), 4);
  EXPECT_EQ(Text(ini).substr(0, 19), "[]\r\ntop=1\r\nmore=2\r\n");
}

TEST(CIniFile, NamesAreCaseSensitiveAndMissingOnesSetErrorTexts) {
  CIniFile ini;
  Merge(ini, "[General]\r\nLanguage=DEU\r\n");
  EXPECT_EQ(ini.ReadValue("General", "language"), "");
  EXPECT_EQ(ini.m_lastError, "Unable to locate specified value.");
  EXPECT_EQ(ini.ReadValue("general", "Language"), "");
  EXPECT_EQ(ini.m_lastError, "Unable to locate specified key.");
  EXPECT_EQ(ini.ReadValue("General", "Language"), "DEU");
  EXPECT_EQ(ini.m_lastError, "Unable to locate specified key.");  // never cleared
}

TEST(CIniFile, ReadIntForms) {
  CIniFile ini;
  Merge(ini, "[S]\nempty=\npt=12pt\nabc=abc\nneg=-3\nhuge=99999999999\ntiny=-99999999999\n");
  EXPECT_EQ(ini.ReadInt("S", "missing"), -1);
  EXPECT_EQ(ini.ReadInt("S", "empty"), -1);
  EXPECT_EQ(ini.ReadInt("S", "pt"), 12);
  EXPECT_EQ(ini.ReadInt("S", "abc"), 0);
  EXPECT_EQ(ini.ReadInt("S", "neg"), -3);
  EXPECT_EQ(ini.ReadInt("S", "huge"), 2147483647);
  EXPECT_EQ(ini.ReadInt("S", "tiny"), -2147483647 - 1);
}

TEST(CIniFile, RepeatsMergeInPlaceAndEmptySectionsAreNotWritten) {
  CIniFile ini;
  Merge(ini, "[A]\nx=1\ny=2\n[Empty]\n[B]\nz=3\n[A]\nx=9\nw=4\n");
  EXPECT_EQ(Text(ini), "[A]\r\nx=9\r\ny=2\r\nw=4\r\n\r\n[B]\r\nz=3\r\n\r\n");
  EXPECT_EQ(ini.FindSection("Empty"), 1);
}

TEST(CIniFile, WriteWithoutCreateChangesNothing) {
  CIniFile ini;
  EXPECT_FALSE(ini.WriteValue("S", "A", "1", false));
  EXPECT_EQ(ini.FindSection("S"), -1);
  ini.WriteValue("S", "A", "1", true);
  EXPECT_FALSE(ini.WriteValue("S", "B", "2", false));
  EXPECT_TRUE(ini.WriteValue("S", "A", "5", false));
  EXPECT_EQ(Text(ini), "[S]\r\nA=5\r\n\r\n");
}

TEST(CIniFile, LoadsLongLinesAndLastLineWithoutLineEnd) {
  TempFolder folder;
  const std::string path = folder.File("long.ini");
  const std::string longValue(3000, 'v');
  TempFolder::Write(path, "[S]\r\nbefore=1\r\nlong=" + longValue + "\r\nafter=2\r\nlast=3");
  CIniFile ini;
  ini.AssignPath(path.c_str());
  ASSERT_TRUE(ini.LoadFromDisk());
  EXPECT_EQ(ini.ReadValue("S", "before"), "1");
  EXPECT_EQ(ini.ReadValue("S", "long").str(), longValue);
  EXPECT_EQ(ini.ReadValue("S", "after"), "2");
  EXPECT_EQ(ini.ReadValue("S", "last"), "3");
}

TEST(CIniFile, SaveAndLoadRoundTripAndMerge) {
  TempFolder folder;
  CIniFile ini;
  ini.AssignPath(folder.File("a.ini").c_str());
  ini.WriteValue("General", "Language", "DEU", true);
  ini.WriteValue("", "orphan", "x", true);
  ini.SaveToDisk();
  EXPECT_EQ(TempFolder::Read(folder.File("a.ini")), "[General]\r\nLanguage=DEU\r\n\r\n[]\r\norphan=x\r\n\r\n");
  EXPECT_TRUE(TakeMessageBoxes().empty());

  CIniFile again;
  again.AssignPath(folder.File("a.ini").c_str());
  ASSERT_TRUE(again.LoadFromDisk());
  ASSERT_TRUE(again.LoadFromDisk());
  EXPECT_EQ(Text(again), Text(ini));

  TempFolder::Write(folder.File("b.ini"), "[Other]\nk=v\n[General]\nLanguage=FRA\n");
  again.AssignPath(folder.File("b.ini").c_str());
  ASSERT_TRUE(again.LoadFromDisk());
  EXPECT_EQ(Text(again), "[General]\r\nLanguage=FRA\r\n\r\n[]\r\norphan=x\r\n\r\n[Other]\r\nk=v\r\n\r\n");
}

TEST(CIniFile, MissingFileLoadsNothing) {
  TempFolder folder;
  CIniFile ini;
  ini.AssignPath(folder.File("none.ini").c_str());
  EXPECT_FALSE(ini.LoadFromDisk());
  EXPECT_EQ(ini.m_lastError, "");
  ini.AssignPath("");
  EXPECT_FALSE(ini.LoadFromDisk());
  ini.AssignPath(folder.Path().string().c_str());  // a folder is no file
  EXPECT_FALSE(ini.LoadFromDisk());
  EXPECT_EQ(ini.m_lastError, "Unable to open ini file.");
}

TEST(CIniFile, FailedSaveKeepsTheOldFileAndReportsOncePerStore) {
  TempFolder folder;
  const std::string path = folder.File("keep.ini");
  TempFolder::Write(path, "[Old]\r\nv=1\r\n\r\n");
  // A read-only file is not replaced, whoever runs the program.
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);

  CIniFile ini;
  ini.AssignPath(path.c_str());
  ini.WriteValue("New", "v", "2", true);
  EXPECT_FALSE(ini.SaveToDisk());
  EXPECT_FALSE(ini.SaveToDisk());
  EXPECT_EQ(TempFolder::Read(path), "[Old]\r\nv=1\r\n\r\n");
  auto boxes = TakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "File Save Error");
  EXPECT_EQ(boxes[0].text,
            "Unable to write file " + path +
                ".\r\n\r\nAdministrator privileges are probably needed to save this file.  "
                "Please contact your IT staff.");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
  // A save the user asked for is answered every time.
  EXPECT_FALSE(ini.SaveToDisk(WriteReport::everyFailure));
  EXPECT_FALSE(ini.SaveToDisk(WriteReport::everyFailure));
  boxes = TakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text.rfind("Unable to write file " + path + ".", 0), 0u);

  CIniFile other;
  other.AssignPath(folder.File("no-such-folder/x.ini").c_str());
  other.WriteValue("S", "k", "v", true);
  other.SaveToDisk();
  EXPECT_EQ(TakeMessageBoxes().size(), 1u);
  // Nothing of the failed saves is left beside the file.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
}

TEST(QVIniFile, SaveNeedsBothNames) {
  TempFolder folder;
  QVIniFile ini;
  ini.Location = ExplicitPath;
  ini.AssignPath(folder.File("x.ini").c_str());
  ini.WriteValue("S", "k", "v", true);
  ini.FileName = "x";
  ini.Save();  // folder name empty: nothing written
  EXPECT_FALSE(std::filesystem::exists(folder.File("x.ini")));
  ini.FolderName = "Marvolk";
  ini.Save();  // explicit location: the path already held
  EXPECT_EQ(TempFolder::Read(folder.File("x.ini")), "[S]\r\nk=v\r\n\r\n");
  EXPECT_EQ(ini.ResolvePath(ExplicitPath, true), "");
  EXPECT_EQ(ini.ResolvePath(99, true), "");
}

#ifdef _WIN32
namespace {
// Points an environment variable elsewhere for one test.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    char buffer[32768];
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    had_ = n > 0 && n < sizeof buffer;
    if (had_) old_ = buffer;
    SetEnvironmentVariableA(name, value.c_str());
  }
  ~ScopedEnvironment() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};
}  // namespace

TEST(QVIniFile, LocationsResolveToTheirFolders) {
  TempFolder folder;
  ScopedEnvironment appData("APPDATA", folder.Path().string());
  QVIniFile ini;
  ini.FolderName = "Marvolk";
  ini.FileName = "QVM400";
  const std::string base = folder.Path().string() + "\\Marvolk";
  EXPECT_EQ(ini.ResolvePath(UserAppData, true).str(), base + "\\QVM400.ini");
  EXPECT_EQ(ini.ResolvePath(UserAppData, false).str(), base);
  EXPECT_TRUE(std::filesystem::is_directory(base));
  // A second resolution finds the folder already there.
  EXPECT_EQ(QVIniFile::AppDataFolder("Marvolk", false).str(), base + "\\");

  const CString program = ProgramPath();
  const CString programFolder = program.Left(program.ReverseFind('\\'));
  EXPECT_EQ(ini.ResolvePath(ProgramFolder, true), programFolder + "\\QVM400.ini");
  EXPECT_EQ(ini.ResolvePath(LanguageFolder, true), programFolder + "\\lang\\QVM400.ini");
  EXPECT_EQ(ini.ResolvePath(ProgramParentFolder, true),
            programFolder.Left(programFolder.ReverseFind('\\')) + "\\QVM400.ini");
  EXPECT_EQ(ini.ResolvePath(WindowsFolder, true), ExpandEnvironment("%WINDIR%") + "\\QVM400.ini");

  ini.WriteInt("Control", "Running", 1, true);
  ini.Save();
  EXPECT_EQ(TempFolder::Read(base + "\\QVM400.ini"), "[Control]\r\nRunning=1\r\n\r\n");
  QVIniFile reread;
  reread.FolderName = "Marvolk";
  reread.FileName = "QVM400";
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.ReadInt("Control", "Running"), 1);
}

TEST(QVIniFile, AppDataFallsBackAndThenGivesUp) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path() / "Application Data");
  ScopedEnvironment appData("APPDATA", folder.File("missing"));
  ScopedEnvironment profile("USERPROFILE", folder.Path().string());
  EXPECT_EQ(QVIniFile::AppDataFolder("Marvolk", false).str(),
            folder.Path().string() + "\\Application Data\\Marvolk\\");
  ScopedEnvironment noProfile("USERPROFILE", folder.File("missing"));
  EXPECT_EQ(QVIniFile::AppDataFolder("Marvolk", false), "");
  // With no folder, a store's path is just its file name.
  QVIniFile ini;
  ini.FolderName = "Marvolk";
  ini.FileName = "QVM4ADJ";
  EXPECT_EQ(ini.ResolvePath(UserAppData, true), "QVM4ADJ.ini");
}

TEST(QVIniFile, ExpandsLongEnvironmentValues) {
  const std::string longValue(1000, 'x');
  ScopedEnvironment value("OVELIN_LONG", longValue);
  EXPECT_EQ(ExpandEnvironment("a%OVELIN_LONG%b").str(), "a" + longValue + "b");
}
#endif

// A file that is there but cannot be read (here a folder in its place; a
// locked file under Windows) is never written over with the little this
// store holds, and the user hears of it once.
TEST(CIniFile, UnreadableFileIsNeverWrittenBack) {
  TempFolder folder;
  const std::string path = folder.File("locked.ini");
  std::filesystem::create_directory(path);
  CIniFile ini;
  ini.AssignPath(path.c_str());
  EXPECT_FALSE(ini.LoadFromDisk());
  EXPECT_TRUE(ini.IsUnreadable());
  // The obstacle goes away and the file is back with sections of its own.
  std::filesystem::remove(path);
  TempFolder::Write(path, "[Other]\r\nkept=1\r\n\r\n");
  ini.WriteValue("Options", "v", "2", true);
  ini.SaveToDisk();
  ini.SaveToDisk();
  EXPECT_EQ(TempFolder::Read(path), "[Other]\r\nkept=1\r\n\r\n");
  const auto boxes = TakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Unable to read file " + path +
                               ".\r\n\r\nSettings changed while the program runs will not be saved to it.");
  // Another file for the same store is written as usual.
  const std::string elsewhere = folder.File("elsewhere.ini");
  ini.AssignPath(elsewhere.c_str());
  EXPECT_FALSE(ini.IsUnreadable());
  ini.SaveToDisk();
  EXPECT_EQ(TempFolder::Read(elsewhere), "[Options]\r\nv=2\r\n\r\n");
}

// Large files keep their order of sections and names, and later repeats of
// a name replace its value in place.
TEST(CIniFile, LargeFilesKeepTheirOrder) {
  std::string text;
  for (int s = 0; s < 2000; ++s) text += "[S" + std::to_string(s) + "]\r\nk=" + std::to_string(s) + "\r\n";
  text += "[Big]\r\n";
  for (int k = 0; k < 50000; ++k) text += "k" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
  text += "[S7]\r\nk=seven\r\nnew=1\r\n";
  CIniFile ini;
  Merge(ini, text);
  ASSERT_EQ(ini.GetSectionCount(), 2001);
  EXPECT_EQ(ini.GetSectionName(1999), "S1999");
  EXPECT_EQ(ini.ReadValue("S7", "k"), "seven");
  EXPECT_EQ(ini.ReadValue("S7", "new"), "1");
  EXPECT_EQ(ini.ReadInt("Big", "k49999"), 49999);
  const CIniFile::key& big = ini.GetSection(ini.FindSection("Big"));
  ASSERT_EQ(big.names.GetSize(), 50000);
  EXPECT_EQ(big.names[12345], "k12345");
  CIniFile again;
  Merge(again, Text(ini));
  EXPECT_EQ(Text(again), Text(ini));
}
