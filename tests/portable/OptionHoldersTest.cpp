#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "options/OptionHolders.h"
#include "options/OptionText.h"
#include "tests/portable/SerializeBytes.h"

namespace {

// A store holding `value` under S/K (nothing when `value` is null).
CIniFile StoreWith(const char* value) {
  CIniFile store;
  if (value) store.WriteValue("S", "K", value, true);
  return store;
}

}  // namespace

TEST(QVOptionInt, ReadIniClampsToTheMidpointAndMissingGivesDefault) {
  struct Case {
    int min, max, def;
    const char* stored;
    int expected;
  };
  const Case cases[] = {
      {0, 2, 1, "7", 1},         {0, 500, 9, "-3", 250},      {-32768, 32767, 5, "-1", 5},
      {0, 500, 9, nullptr, 9},   {0, 500, 9, "", 9},          {0, 500, 9, "abc", 0},
      {0, 500, 9, "12pt", 12},   {0, 0, 0, "42", 0},          {0, 1, 1, "5", 0},
      {0, 500, 9, "500", 500},   {0, 500, 9, "0", 0},
      {-32768, 32767, 0, "99999999999", 0},  // saturates, then out of range
      {INT32_MIN, INT32_MAX, 0, "99999999999", INT32_MAX},
      {INT32_MIN, INT32_MAX, 0, "7", 7},
  };
  for (const Case& c : cases) {
    QVOptionInt holder;
    holder.Init("S", "K", 0, c.def, c.min, c.max);
    CIniFile store = StoreWith(c.stored);
    EXPECT_TRUE(holder.ReadIni(store));
    EXPECT_EQ(holder.Value, c.expected) << (c.stored ? c.stored : "(missing)");
    EXPECT_EQ(holder.Saved, c.expected);
  }
}

TEST(QVOptionInt, GetAndSetValueClamp) {
  QVOptionInt holder;
  holder.Init("S", "K", 0, 99, 0, 10);  // Init does not clamp
  EXPECT_EQ(holder.Value, 99);
  EXPECT_EQ(holder.GetValue(), 5);
  EXPECT_EQ(holder.Value, 5);
  holder.SetValue(11);
  EXPECT_EQ(holder.Value, 5);
  holder.SetValue(10);
  EXPECT_EQ(holder.Value, 10);
  // The midpoint of the widest range must not overflow.
  holder.Init("S", "K", 0, 0, INT32_MIN + 1, INT32_MAX);
  holder.Min = INT32_MIN;
  holder.Max = INT32_MAX;
  EXPECT_EQ(holder.GetValue(), 0);
  holder.Init("S", "K", 0, -5, 1, 2);
  EXPECT_EQ(holder.GetValue(), 1);
}

TEST(QVOptionInt, WriteIniWritesValueOrDefaultAndKeepsValue) {
  QVOptionInt holder;
  holder.Init("S", "K", 0, 3, 0, 10);
  holder.Value = 7;
  CIniFile store;
  holder.WriteIni(store, true);
  EXPECT_EQ(store.ReadValue("S", "K"), "3");
  EXPECT_EQ(holder.Value, 7);
  EXPECT_EQ(holder.Saved, 7);
  holder.Value = 20;  // clamped before writing
  holder.WriteIni(store, false);
  EXPECT_EQ(store.ReadValue("S", "K"), "5");
  EXPECT_EQ(holder.Value, 5);
}

TEST(QVOptionBool, ReadIniOnlyOneIsTrue) {
  const struct {
    const char* stored;
    bool def, expected;
  } cases[] = {{"1", false, true}, {"2", true, false}, {"0", true, false}, {nullptr, true, true},
               {"-1", true, true}, {"x", true, false}, {"", false, false}, {"1abc", false, true}};
  for (const auto& c : cases) {
    QVOptionBool holder;
    holder.Init("S", "K", 0, c.def);
    CIniFile store = StoreWith(c.stored);
    holder.ReadIni(store);
    EXPECT_EQ(holder.Value, c.expected) << (c.stored ? c.stored : "(missing)");
    EXPECT_EQ(holder.Saved, c.expected);
  }
}

TEST(QVOptionBool, ArchivedByteAboveOneLoadsAsTrue) {
  QVOptionBool holder;
  for (int byte : {0, 1, 2, 255}) {
    LoadBytes(holder, std::string(1, static_cast<char>(byte)));
    EXPECT_EQ(holder.Value, byte != 0);
    EXPECT_EQ(StoreBytes(holder), std::string(1, byte != 0 ? '\1' : '\0'));
  }
}

TEST(QVOptionColorRef, IniIsSignedDecimalAndMinusOneIsMissing) {
  QVOptionColorRef holder;
  holder.Init("S", "K", 0, 0x123456);
  holder.Value = 0xFF0000;
  CIniFile store;
  holder.WriteIni(store, false);
  EXPECT_EQ(store.ReadValue("S", "K"), "16711680");
  holder.Value = 0xFFFFFFFE;
  holder.WriteIni(store, false);
  EXPECT_EQ(store.ReadValue("S", "K"), "-2");
  holder.ReadIni(store);
  EXPECT_EQ(holder.Value, 0xFFFFFFFEu);
  store.WriteValue("S", "K", "-1", true);
  holder.ReadIni(store);
  EXPECT_EQ(holder.Value, 0x123456u);
  EXPECT_EQ(StoreBytes(holder), Le32(0x123456));
}

TEST(QVOptionDouble, ReadIniTable) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* stored;
    double expected;
  } cases[] = {{"1.5", 0.5},   {"0.25", 0.25}, {"abc", 0.0},  {"", 0.9},      {nullptr, 0.9},
               {"1", 1.0},     {"0.3xyz", 0.3}, {"nan", 0.5}, {"-nan", 0.5},  {"inf", 0.5},
               {"-inf", 0.5},  {"1e400", 0.5}};
  for (const auto& c : cases) {
    QVOptionDouble holder;
    holder.Init("S", "K", 0, 0.9, 0.0, 1.0);
    CIniFile store = StoreWith(c.stored);
    holder.ReadIni(store);
    EXPECT_EQ(holder.Value, c.expected) << (c.stored ? c.stored : "(missing)");
    EXPECT_EQ(holder.Saved, c.expected);
  }
  // Not-a-number from an archive is held until the next GetValue.
  QVOptionDouble holder;
  holder.Init("S", "K", 0, 0.9, 0.0, 1.0);
  LoadBytes(holder, LeDouble(nan));
  EXPECT_TRUE(std::isnan(holder.Value));
  EXPECT_EQ(holder.GetValue(), 0.5);
}

TEST(QVOptionDouble, WriteIniHasSixDecimalsWithAPoint) {
  QVOptionDouble holder;
  holder.Init("S", "K", 0, 0.7, 0.0, 1.0);
  CIniFile store;
  holder.WriteIni(store, false);
  EXPECT_EQ(store.ReadValue("S", "K"), "0.700000");
  holder.Value = 0.3;
  holder.WriteIni(store, false);
  EXPECT_EQ(store.ReadValue("S", "K"), "0.300000");
  holder.Value = std::numeric_limits<double>::quiet_NaN();
  holder.WriteIni(store, false);
  EXPECT_EQ(store.ReadValue("S", "K"), "0.500000");
  EXPECT_EQ(holder.Saved, 0.5);
  EXPECT_EQ(StoreBytes(holder), LeDouble(0.5));
}

TEST(QVOptionString, TruncatesToMaxLength) {
  QVOptionString holder;
  holder.Init("S", "K", 0, "abcdef", 3);  // Init keeps the whole text
  EXPECT_EQ(holder.Value, "abcdef");
  EXPECT_EQ(holder.GetValue(), "abc");
  holder.SetValue("xyzw");
  EXPECT_EQ(holder.Value, "xyz");
  CIniFile store = StoreWith("longer");
  holder.ReadIni(store);
  EXPECT_EQ(holder.Value, "lon");
  CIniFile empty = StoreWith("");
  holder.ReadIni(empty);
  EXPECT_EQ(holder.Value, "abc");  // the default, truncated
  holder.Init("S", "K", 0, "abcdef", -1);
  EXPECT_EQ(holder.GetValue(), "abcdef");
}

TEST(QVOptionString, ArchiveLengthPrefixes) {
  QVOptionString holder;
  holder.Init("S", "K", 0, "", -1);
  holder.Value = std::string(254, 'a');
  std::string bytes = StoreBytes(holder);
  ASSERT_EQ(bytes.size(), 255u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 254);
  holder.Value = std::string(255, 'b');
  bytes = StoreBytes(holder);
  ASSERT_EQ(bytes.size(), 258u);
  EXPECT_EQ(bytes.substr(0, 3), "\xFF" + Le16(255));
  QVOptionString back;
  LoadBytes(back, bytes);
  EXPECT_EQ(back.Value, holder.Value);
}

TEST(QVOptionChar, InitWithZeroGivesEmptyTexts) {
  QVOptionChar holder;
  holder.Init("S", "K", 0, '\0');
  EXPECT_TRUE(holder.Value.IsEmpty());
  EXPECT_TRUE(holder.Default.IsEmpty());
  EXPECT_TRUE(holder.Saved.IsEmpty());
  holder.Init("S", "K", 0, ',');
  EXPECT_EQ(holder.Value, ",");
  EXPECT_EQ(StoreBytes(holder), "\x01,");
}

TEST(QVOptionQVLogPen, IniRoundTripAndMissingGivesDefault) {
  QVLogPen pen;
  pen.Mode = 2;
  pen.Width = 30;
  QVOptionQVLogPen holder;
  holder.Init("S", "K", 0, pen);
  holder.Value.Color = RGB(9, 8, 7);
  holder.Value.Width = 12.5;
  CIniFile store;
  holder.WriteIni(store, false);
  EXPECT_EQ(store.ReadValue("S", "K"), "9,8,7,65542,2,12.500000");
  holder.WriteIni(store, true);
  EXPECT_EQ(store.ReadValue("S", "K"), "0,0,0,65542,2,30.000000");
  store.WriteValue("S", "K", "1,2,3,6,0,44.25", true);
  holder.ReadIni(store);
  EXPECT_EQ(holder.Value.Color, RGB(1, 2, 3));
  EXPECT_EQ(holder.Value.Width, 44.25);
  CIniFile empty;
  holder.ReadIni(empty);
  EXPECT_EQ(holder.Value.ToText(), "0,0,0,65542,2,30.000000");
  EXPECT_EQ(StoreBytes(holder).size(), 20u);
}

TEST(QVOptionQVLogFont, SetValueKeepsDefaultAndCopyTakesEverything) {
  QVOptionQVLogFont holder;
  holder.Init("S", "Font", 0, QVLogFont());
  QVLogFont big;
  big.Size = 999;
  holder.SetValue(big);
  EXPECT_EQ(holder.GetValue().Size, 999);
  EXPECT_EQ(holder.Default.Size, 388);
  QVOptionQVLogFont copy;
  copy = holder;
  EXPECT_EQ(copy.Key, "Font");
  EXPECT_EQ(copy.Section, "S");
  EXPECT_EQ(copy.Value.Size, 999);
  EXPECT_EQ(copy.Default.Size, 388);
  CIniFile store;
  copy.WriteIni(store, true);
  EXPECT_EQ(store.ReadValue("S", "Font"), "-14,0,0,0,400,0,0,0,0,7,48,2,2,0,388,Arial");
  EXPECT_EQ(StoreBytes(copy).size(), 52u);
}

TEST(QVOptionQVLogBrush, ArchivesItsValue) {
  QVOptionQVLogBrush holder;
  holder.Value.Style = 4;
  QVOptionQVLogBrush copy(holder);
  EXPECT_EQ(StoreBytes(copy), Le32(0) + Le32(4) + Le32(0) + Le32(0));
}

TEST(OptionText, ParseInt32SaturatingAndTakeField) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {{"12", 12},           {"  -7x", -7},          {"+3", 3},
               {"", 0},              {"abc", 0},             {"2147483647", INT32_MAX},
               {"2147483648", INT32_MAX}, {"-2147483648", INT32_MIN}, {"-2147483649", INT32_MIN},
               {"000000000000000000000042", 42}, {"99999999999999999999999999", INT32_MAX}};
  for (const auto& c : cases) EXPECT_EQ(ParseInt32Saturating(c.text), c.value) << c.text;

  CString text = "a,b,,c";
  EXPECT_EQ(TakeField(text), "a");
  EXPECT_EQ(TakeField(text), "b");
  EXPECT_EQ(TakeField(text), "");
  EXPECT_EQ(text, "c");
  EXPECT_EQ(TakeField(text), "");
  EXPECT_EQ(text, "c");
}
