// The start-up services without windows: version lines and the versions
// file, web addresses, time stamps, the tip order and the settings.
#include <gtest/gtest.h>

#include <string>

#include "app/startup/StartupRules.h"
#include "app/startup/StartupSettings.h"
#include "app/startup/VersionRecord.h"
#include "tests/portable/TempFolder.h"

using namespace startup;

namespace {

VersionRecord Parsed(const char* line) {
  VersionRecord record;
  record.Parse(line);
  return record;
}

}  // namespace

TEST(VersionRecord, ParsesTheFieldsOfAVersionLine) {
  VersionRecord record;
  ASSERT_TRUE(record.Parse("VER;1;Ovelin;4;5;http://d.example/get;https://d.example/new"));
  EXPECT_EQ(record.ProductId, 1);
  EXPECT_EQ(record.ProductName, "Ovelin");
  EXPECT_EQ(record.Major, 4);
  EXPECT_EQ(record.Minor, 5);
  EXPECT_EQ(record.DownloadUrl, "http://d.example/get");
  EXPECT_EQ(record.NotesUrl, "https://d.example/new");
  EXPECT_TRUE(record.IsComplete());

  // Empty fields are skipped; a product id written 1.9 reads as 1.
  record = Parsed("VER;;1.9;;Ovelin;4;5");
  EXPECT_EQ(record.ProductId, 1);
  EXPECT_EQ(record.Minor, 5);
  EXPECT_TRUE(record.IsComplete());

  EXPECT_FALSE(record.Parse("REM;1;Ovelin;4;5"));
  EXPECT_EQ(record.ProductId, VersionRecord::kNoProduct);
  EXPECT_TRUE(record.Tag.IsEmpty());
  EXPECT_FALSE(Parsed("VER;1;Ovelin;4").IsComplete());
  EXPECT_FALSE(Parsed("").IsComplete());
}

// One record serves many lines: nothing of an earlier line may remain.
TEST(VersionRecord, EveryFieldIsResetForEachLine) {
  VersionRecord record;
  record.Parse("VER;2;Feldric;9;9;http://f.example/get;http://f.example/new");
  record.Parse("VER;1;Ovelin;4;5");
  EXPECT_EQ(record.ProductName, "Ovelin");
  EXPECT_TRUE(record.DownloadUrl.IsEmpty());
  EXPECT_TRUE(record.NotesUrl.IsEmpty());
  record.Parse("VER;1");
  EXPECT_TRUE(record.ProductName.IsEmpty());
  EXPECT_EQ(record.Major, 0);
}

TEST(VersionRecord, HugeAndNonNumbersAreBounded) {
  const std::string huge(300, '9');
  EXPECT_EQ(VersionNumber(huge.c_str()), INT32_MAX);
  EXPECT_EQ(VersionNumber(("-" + huge).c_str()), INT32_MIN);
  EXPECT_EQ(VersionNumber("99999999999"), INT32_MAX);
  EXPECT_EQ(VersionNumber("inf"), 0);
  EXPECT_EQ(VersionNumber("nan"), 0);
  EXPECT_EQ(VersionNumber("1/0"), 0);
  EXPECT_EQ(VersionNumber("-2.7"), -2);
  EXPECT_EQ(VersionNumber("abc"), 0);
}

TEST(VersionsFile, ReadsAnyEncodingAndSkipsWhatIsNoVersionLine) {
  TempFolder folder;
  const std::string path = folder.File("QVVersions.txt");
  TempFolder::Write(path, "\xEF\xBB\xBFVER;1;Ovelin;4;5;http://a/\r\n<html>\r\nVER;2;Feldric;1;0\r\n"
                          "VER;1;Ovelin\r\nVER;1;Ovelin;5;0\r\n");
  const auto records = ReadVersionsFile(path.c_str());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].DownloadUrl, "http://a/");
  EXPECT_EQ(records[1].ProductId, 2);
  EXPECT_EQ(records[2].Major, 5);
  EXPECT_TRUE(ReadVersionsFile(folder.File("missing.txt").c_str()).empty());
}

TEST(VersionsFile, ReadingIsCapped) {
  TempFolder folder;
  const std::string path = folder.File("QVVersions.txt");
  const std::string line = "VER;1;Ovelin;4;5\n";
  // A line over 1024 characters is skipped, the lines around it are read.
  TempFolder::Write(path, line + "VER;1;" + std::string(1100, 'x') + ";4;6\n" + line);
  EXPECT_EQ(ReadVersionsFile(path.c_str()).size(), 2u);
  // No more than 1000 lines.
  std::string many;
  for (int i = 0; i < 1500; ++i) many += line;
  TempFolder::Write(path, many);
  EXPECT_EQ(ReadVersionsFile(path.c_str()).size(), 1000u);
  // No more than 64 KiB of text: a version line after 70 KB is not read.
  many = line;
  for (int i = 0; i < 70; ++i) many += std::string(999, '-') + "\n";
  TempFolder::Write(path, many + line);
  EXPECT_EQ(ReadVersionsFile(path.c_str()).size(), 1u);
  // A file far over the cap, all one line, is not read at all.
  TempFolder::Write(path, "VER;1;Ovelin;4;5;" + std::string(1 << 20, 'y'));
  EXPECT_TRUE(ReadVersionsFile(path.c_str()).empty());
}

TEST(StartupStamps, TextFormAndDueTests) {
  EXPECT_EQ(FormatStamp(1765000000), "1765000000");
  EXPECT_EQ(ParseStamp("1765000000"), 1765000000);
  // After 2038 the stamp neither wraps nor turns negative.
  const int64_t late = 4102444800;  // 2100-01-01
  EXPECT_EQ(FormatStamp(late), "4102444800");
  EXPECT_EQ(ParseStamp(FormatStamp(late)), late);
  EXPECT_FALSE(IsStampDue(late + 100, FormatStamp(late), kTipInterval));

  const int64_t now = 1765000000;
  EXPECT_FALSE(IsStampDue(now, FormatStamp(now - 43200), kTipInterval));
  EXPECT_TRUE(IsStampDue(now, FormatStamp(now - 43201), kTipInterval));
  EXPECT_TRUE(IsStampDue(now, "", kUpdateCheckInterval));
  EXPECT_FALSE(IsStampDue(now, FormatStamp(now + 10), kTipInterval));  // clock set back
  const std::string huge(300, '9');
  EXPECT_EQ(ParseStamp(huge.c_str()), 0);
  EXPECT_EQ(ParseStamp(("-" + huge).c_str()), 0);
  EXPECT_EQ(ParseStamp("inf"), 0);
}

TEST(TipList, NamesAndOrder) {
  EXPECT_EQ(TipNumber("tip001.html"), 1);
  EXPECT_EQ(TipNumber("TIP042.HTML"), 42);
  EXPECT_EQ(TipNumber("tipabc.html"), -1);
  EXPECT_EQ(TipNumber("tip1.html"), -1);
  EXPECT_EQ(TipNumber("tip0001.html"), -1);
  EXPECT_EQ(TipNumber("tip001.htm"), -1);
  EXPECT_EQ(TipNumber("sub\\tip01.html"), -1);

  CStringArray files;
  for (const char* name : {"tip001.html", "tip002.html", "tipx.html", "tip005.html"}) files.Add(name);
  const TipList tips(files);
  ASSERT_EQ(tips.numbers, (std::vector<int>{1, 2, 5}));
  int last = -1;
  std::vector<int> shown;
  for (int i = 0; i < 4; ++i) shown.push_back(tips.numbers[tips.Next(last)]);
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 5, 1}));
  last = 1;
  EXPECT_EQ(tips.numbers[tips.Previous(last)], 5);
  EXPECT_EQ(tips.numbers[tips.Previous(last)], 2);
  last = 5;
  EXPECT_EQ(tips.numbers[tips.Next(last)], 1);

  // Tip 000 only first; the lone 000 is shown by Previous, not by Next.
  CStringArray zero;
  zero.Add("tip000.html");
  const TipList only(zero);
  last = -1;
  EXPECT_EQ(only.Next(last), 0);
  EXPECT_EQ(only.Next(last), -1);
  EXPECT_EQ(only.Previous(last), 0);
  last = 7;
  EXPECT_EQ(TipList(CStringArray()).Next(last), -1);
  EXPECT_EQ(last, 7);
}

TEST(StartupSettings, ReadWriteAndDueStamps) {
  TempFolder folder;
  const std::string path = folder.File("QVM400.ini");
  QVIniFile store;
  store.FolderName = "Marvolk";
  store.FileName = "QVM400";
  store.Location = ExplicitPath;
  store.AssignPath(path.c_str());

  StartupSettings unbound;
  EXPECT_FALSE(unbound.IsUpdateCheckDue());
  EXPECT_EQ(unbound.FirstRun, 0);

  StartupSettings settings;
  settings.BindIniFile(&store);
  settings.BindIniFile(nullptr);
  EXPECT_EQ(settings.SettingsIni, &store);
  settings.LoadSettings();
  EXPECT_EQ(settings.FirstRun, 1);
  EXPECT_EQ(settings.CheckForUpdates, 0);
  EXPECT_EQ(settings.LastTip, -1);

  const int64_t now = 1765000000;
  settings.ShowTips = 1;
  settings.LastTipDate = FormatStamp(now - 43200);
  EXPECT_FALSE(settings.IsTipDueAt(now));
  EXPECT_TRUE(settings.IsTipDueAt(now + 1));
  EXPECT_EQ(settings.LastTipDate, FormatStamp(now + 1));
  const std::string saved = TempFolder::Read(path);
  EXPECT_NE(saved.find("[QVCallHome]"), std::string::npos);
  EXPECT_NE(saved.find("LastTipDate=1765000001"), std::string::npos);

  settings.CheckForUpdates = 1;
  EXPECT_TRUE(settings.IsUpdateCheckDueAt(now));  // empty stamp: due at once
  EXPECT_FALSE(settings.IsUpdateCheckDueAt(now + 6 * 86400));

  TempFolder::Write(path, "[QVCallHome]\nFirstRun=0\nShowTips=0\nLastTip=40000\nLastTipDate=1\n");
  QVIniFile again;
  again.Location = ExplicitPath;
  again.AssignPath(path.c_str());
  again.LoadFromDisk();
  StartupSettings second;
  second.BindIniFile(&again);
  EXPECT_FALSE(second.IsTipDueAt(now));  // tips off, whatever the stamp
  EXPECT_EQ(second.FirstRun, 0);
  EXPECT_EQ(second.LastTip, 0);  // out of range: the midpoint
}
