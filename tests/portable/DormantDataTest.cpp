#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/DormantData.h"
#include "framework/Archive.h"

namespace {

std::string Store(CObject& object) {
  CMemFile file;
  {
    CArchive archive(&file, CArchive::store);
    object.Serialize(archive);
  }
  return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

void Load(CObject& object, std::string bytes) {
  CMemFile file(reinterpret_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  CArchive archive(&file, CArchive::load);
  object.Serialize(archive);
}

}  // namespace

TEST(QVConstantRange, StoresFourValuesAndKeepsItsFlag) {
  QVConstantRange range;
  range.Values[2] = -4.5;
  range.Enabled = false;
  const std::string bytes = Store(range);
  ASSERT_EQ(bytes.size(), 32u);
  QVConstantRange loaded;
  Load(loaded, bytes);
  EXPECT_EQ(loaded.Values[0], 1.0);
  EXPECT_EQ(loaded.Values[2], -4.5);
  EXPECT_TRUE(loaded.Enabled);  // the flag does not travel

  QVConstantRanges ranges;
  EXPECT_EQ(Store(ranges).size(), 160u);
  QVConstantRanges copy;
  ranges.Ranges[4].Values[3] = 7;
  copy.CopyFrom(ranges);
  EXPECT_EQ(copy.Ranges[4].Values[3], 7);
}

TEST(QVVariableSubstitutions, ArchiveFormAndVersionZero) {
  QVVariableSubstitutions table;
  EXPECT_EQ(Store(table).size(), 58u);
  table.Count = 3;
  table.Flags[1] = true;
  table.Rows[0] = {"x", 2.5, true};
  table.Texts[0] = "not stored";
  const std::string bytes = Store(table);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x01\x00\x03\x00\x00\x00\x00\x01", 8));
  EXPECT_EQ(bytes.size(), 59u);

  std::unique_ptr<CObject> made(CRuntimeClass::CreateObject("QVVariableSubstitutions"));
  auto* loaded = dynamic_cast<QVVariableSubstitutions*>(made.get());
  ASSERT_NE(loaded, nullptr);
  Load(*loaded, bytes);
  EXPECT_EQ(loaded->Count, 3);
  EXPECT_EQ(loaded->Rows[0].Name, "x");
  EXPECT_EQ(loaded->Rows[0].Value, 2.5);
  EXPECT_TRUE(loaded->Rows[0].Active);
  EXPECT_EQ(loaded->Texts[0], "");

  QVVariableSubstitutions versionZero;
  Load(versionZero, std::string("\x00\x00\x07", 3));  // nothing read past the version
  EXPECT_EQ(versionZero.Count, 0);
  EXPECT_THROW(Load(versionZero, std::string("\x01\x00\x07", 3)), CArchiveException);

  std::string flagTwo = Store(table);
  flagTwo[6] = 2;  // a bool byte of 2 loads as true
  QVVariableSubstitutions fromTwo;
  Load(fromTwo, flagTwo);
  EXPECT_TRUE(fromTwo.Flags[0]);
}
