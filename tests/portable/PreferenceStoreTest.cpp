// QVPreferenceStore: the disabled store does nothing; an enabled one reads,
// writes and saves the second slot of its typed entries.
#include <gtest/gtest.h>

#include <filesystem>

#include "options/PreferenceStore.h"
#include "tests/portable/TempFolder.h"

namespace {

QVPreferenceObject Entry(const char* section, const char* key, int32_t type) {
  QVPreferenceObject entry;
  entry.Section = section;
  entry.Key = key;
  entry.Type = type;
  return entry;
}

void Add(QVPreferenceStore& store, const QVPreferenceObject& entry) {
  QVPreferenceObject copy = entry;
  store.Entries.SetAt(entry.Section + entry.Key, copy);
}

TEST(PreferenceStore, DisabledStoreDoesNothing) {
  TempFolder folder;
  QVPreferenceStore store;
  QVPreferenceObject number = Entry("QVCallHome", "FirstRun", PrefInt);
  number.Int2 = 7;
  Add(store, number);
  store.AssignPath(folder.File("prefs.ini").c_str());
  store.LocationMode = ExplicitPath;
  store.PreferenceFolder = "Marvolk";
  store.PreferenceFile = "prefs";
  EXPECT_EQ(store.GetInt("QVCallHome", "FirstRun"), 0);
  EXPECT_FALSE(store.GetBool("QVCallHome", "FirstRun"));
  EXPECT_EQ(store.GetString("QVCallHome", "FirstRun"), "");
  store.SetInt("QVCallHome", "FirstRun", 9);
  store.Save();
  store.Enabled = true;
  EXPECT_EQ(store.GetInt("QVCallHome", "FirstRun"), 7);
  EXPECT_FALSE(std::filesystem::exists(folder.File("prefs.ini")));
  EXPECT_EQ(thePreferenceStore.Enabled, false);
  EXPECT_EQ(thePreferenceStore.Entries.GetCount(), 0);
}

TEST(PreferenceStore, SettersChangeOnlyEntriesOfTheirType) {
  QVPreferenceStore store;
  store.Enabled = true;
  Add(store, Entry("S", "Count", PrefInt));
  Add(store, Entry("S", "Name", PrefString));
  Add(store, Entry("S", "On", PrefBool));
  store.SetString("S", "Count", "text");
  store.SetInt("S", "Name", 4);
  store.SetInt("S", "Missing", 4);
  store.SetInt("S", "Count", 12);
  store.SetString("S", "Name", "Ovelin");
  store.SetBool("S", "On", true);
  EXPECT_EQ(store.GetInt("S", "Count"), 12);
  EXPECT_EQ(store.GetString("S", "Name"), "Ovelin");
  EXPECT_TRUE(store.GetBool("S", "On"));
  EXPECT_EQ(store.GetInt("S", "Name"), 0);
  EXPECT_EQ(store.Entries.GetCount(), 3);
}

TEST(PreferenceStore, IntegerRangeNeedsTwoNonZeroBounds) {
  QVPreferenceStore store;
  store.Enabled = true;
  QVPreferenceObject ranged = Entry("S", "Ranged", PrefInt);
  ranged.RangeMin = 1;
  ranged.RangeMax = 10;
  Add(store, ranged);
  QVPreferenceObject open = Entry("S", "Open", PrefInt);
  open.RangeMax = 10;
  Add(store, open);
  store.SetInt("S", "Ranged", 20);
  EXPECT_EQ(store.GetInt("S", "Ranged"), 5);
  store.SetInt("S", "Open", 20);
  EXPECT_EQ(store.GetInt("S", "Open"), 20);
}

TEST(PreferenceStore, SaveWritesTheTextFormsAndFlushNeedsBothNames) {
  TempFolder folder;
  QVPreferenceStore store;
  store.Enabled = true;
  QVPreferenceObject number = Entry("S", "Double", PrefDouble);
  number.Double2 = 2.5;
  Add(store, number);
  QVPreferenceObject flag = Entry("S", "Bool", PrefBool);
  flag.Bool2 = true;
  Add(store, flag);
  QVPreferenceObject colour = Entry("S", "Colour", PrefColor);
  colour.Color2 = RGB(1, 2, 3);
  Add(store, colour);
  Add(store, Entry("S", "Pen", PrefPen));
  Add(store, Entry("S", "Unwritten", 5));
  const std::string path = folder.File("prefs.ini");
  store.AssignPath(path.c_str());
  store.LocationMode = ExplicitPath;
  store.PreferenceFile = "prefs";
  store.Save();  // no folder name: the image only
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(store.ReadValue("S", "Double"), "2.500000");
  EXPECT_EQ(store.ReadValue("S", "Bool"), "1");
  EXPECT_EQ(store.ReadValue("S", "Colour"), "197121");
  EXPECT_EQ(store.ReadValue("S", "Pen"), "0,0,0,65542,0,17.638888");
  EXPECT_EQ(store.FindEntry(store.FindSection("S"), "Unwritten"), -1);
  store.PreferenceFolder = "Marvolk";
  store.Save();
  EXPECT_NE(TempFolder::Read(path).find("Double=2.500000"), std::string::npos);
}

}  // namespace
