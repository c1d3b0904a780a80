// The recent-file list: order, duplicates, size, storage and menu texts.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "framework/RecentFileList.h"

namespace {

TEST(RecentFileList, NewestFirstWithoutDuplicatesAndBounded) {
  CRecentFileList list(0xE110, "Recent File List", "File%d", 3);
  list.Add("C:\\a.qvm");
  list.Add("C:\\b.qvm");
  list.Add("c:\\A.QVM");  // the same file: moves to the front
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_STREQ(list[0], "c:\\A.QVM");
  EXPECT_STREQ(list[1], "C:\\b.qvm");
  list.Add("C:\\c.qvm");
  list.Add("C:\\d.qvm");
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_STREQ(list[0], "C:\\d.qvm");
  EXPECT_STREQ(list[2], "c:\\A.QVM");
  list.Add("");
  EXPECT_EQ(list.GetCount(), 3);
  list.Remove(1);
  EXPECT_STREQ(list[1], "c:\\A.QVM");
  EXPECT_STREQ(list[5], "");
}

TEST(RecentFileList, WritesEverySlotAndReadsBackSkippingGapsAndDuplicates) {
  CRecentFileList list(0xE110, "Recent File List", "File%d", 4);
  list.Add("C:\\x.qvm");
  list.Add("C:\\y.qvm");
  std::map<std::string, std::string> stored;
  list.WriteList([&](const char* section, const char* entry, const char* value) {
    stored[std::string(section) + "/" + entry] = value;
  });
  EXPECT_EQ(stored.size(), 4u);
  EXPECT_EQ(stored["Recent File List/File1"], "C:\\y.qvm");
  EXPECT_EQ(stored["Recent File List/File2"], "C:\\x.qvm");
  EXPECT_EQ(stored["Recent File List/File4"], "");

  stored["Recent File List/File2"] = "";
  stored["Recent File List/File3"] = "C:\\x.qvm";
  stored["Recent File List/File4"] = "C:\\Y.QVM";
  CRecentFileList read(0xE110, "Recent File List", "File%d", 4);
  read.ReadList([&](const char* section, const char* entry) {
    return CString(stored[std::string(section) + "/" + entry].c_str());
  });
  ASSERT_EQ(read.GetCount(), 2);
  EXPECT_STREQ(read[0], "C:\\y.qvm");
  EXPECT_STREQ(read[1], "C:\\x.qvm");
}

TEST(RecentFileList, MenuTextsAreNumberedShortenedAndEscaped) {
  struct Case {
    const char* path;
    const char* folder;
    const char* text;
  };
  const Case cases[] = {
      {"C:\\docs\\eq.qvm", "C:\\other", "&1 C:\\docs\\eq.qvm"},
      {"C:\\docs\\eq.qvm", "C:\\docs", "&1 eq.qvm"},
      {"C:\\docs\\eq.qvm", "C:\\docs\\", "&1 eq.qvm"},
      {"C:\\a & b\\x.qvm", "", "&1 C:\\a && b\\x.qvm"},
      {"C:\\very long folder name\\another long folder\\eq.qvm", "",
       "&1 C:\\...\\another long folder\\eq.qvm"},
      {"C:\\f\\a file name that is much longer than thirty characters.qvm", "",
       "&1 a file name that is much longer than thirty characters.qvm"},
  };
  for (const Case& c : cases) {
    CRecentFileList list(0xE110, "Recent File List", "File%d", 4, 40);
    list.Add(c.path);
    EXPECT_STREQ(list.GetMenuText(0, c.folder), c.text) << c.path;
  }
}

}  // namespace
