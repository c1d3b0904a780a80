// The text forms of the preference pages: sizes, pen widths, millimetres
// and the unit and shortcut lists.
#include <gtest/gtest.h>

#include "app/preferences/PreferenceText.h"

namespace {

CString WithRoom(const char* text) {
  CString result(text);
  for (int i = 0; i < kListRoomLines; ++i) result += "\r\n";
  return result;
}

TEST(PreferenceText, FontSizesInPoints) {
  EXPECT_EQ(FontSizeText(388), "11");
  int32_t size = 0;
  ASSERT_TRUE(ReadFontSize("10.5", size));
  EXPECT_EQ(size, 370);
  EXPECT_EQ(FontSizeText(size), "10");
  ASSERT_TRUE(ReadFontSize("12", size));
  EXPECT_EQ(size, 423);
  EXPECT_EQ(FontSizeText(size), "12");
  // Trailing letters are a unit, not "p" for pi.
  size = 0;
  ASSERT_TRUE(ReadFontSize("12pt", size));
  EXPECT_EQ(size, 423);
  ASSERT_TRUE(ReadFontSize(" 14 pt", size));
  EXPECT_EQ(size, 493);
  for (const char* unreadable : {"", "  ", "pt", "0", "-3", "0pt"}) {
    size = 999;
    EXPECT_FALSE(ReadFontSize(unreadable, size)) << unreadable;
    EXPECT_EQ(size, 999) << unreadable;
  }
}

TEST(PreferenceText, PenWidthsInQuarterPoints) {
  EXPECT_NEAR(PenWidthFromText("2pt"), 70.555551, 1e-9);
  EXPECT_NEAR(PenWidthFromText("1.5 pt"), 1.5 * 35.2777755, 1e-9);
  EXPECT_EQ(PenWidthText(17.63888775), "0.5pt");
  EXPECT_EQ(PenWidthText(30), "0.75pt");
  EXPECT_EQ(PenWidthText(PenWidthFromText("2pt")), "2pt");
}

TEST(PreferenceText, MillimetresAndHundredths) {
  EXPECT_DOUBLE_EQ(MillimetresOf(1050), 10.5);
  EXPECT_EQ(HundredthsOf(10.5), 1050);
  EXPECT_DOUBLE_EQ(MillimetresOf(650), 6.5);
  EXPECT_EQ(HundredthsOf(6.5), 650);
  // 0.29 x 100 is 28.999...: truncated.
  EXPECT_EQ(HundredthsOf(0.29), 28);
}

TEST(PreferenceText, UnitListRoundTrip) {
  EXPECT_EQ(UnitsToText("cm,km"), WithRoom("cm\r\nkm"));
  EXPECT_EQ(TextToUnits(UnitsToText("cm,km,mm,L")), "cm,km,mm,L");
  EXPECT_EQ(UnitsToText(""), WithRoom(""));
  EXPECT_EQ(TextToUnits(UnitsToText("")), "");
  EXPECT_EQ(TextToUnits(WithRoom("cm\r\n\r\nkm")), "cm,,km");
}

TEST(PreferenceText, ShortcutListRoundTrip) {
  const char* stored = "qf%x=(-b+-sr(b2-4ac))/2a%pv7%3.1415927%";
  const CString shown = WithRoom("qf\xBBx=(-b+-sr(b2-4ac))/2a\r\npv7\xBB" "3.1415927\r\n");
  EXPECT_EQ(MacrosToText(stored), shown);
  EXPECT_EQ(MacrosToText("qf%x=(-b+-sr(b2-4ac))/2a%pv7%3.1415927"), shown.Left(shown.GetLength() - 2));
  EXPECT_EQ(TextToMacros(shown), "qf%x=(-b+-sr(b2-4ac))/2a%pv7%3.1415927");
  EXPECT_EQ(TextToMacros(MacrosToText("")), "");
  // An empty line between pairs keeps every later name a name.
  EXPECT_EQ(TextToMacros(WithRoom("a\xBB" "b\r\n\r\nc\xBB" "d\r\n\r\n\r\ne\xBB" "f")),
            "a%b%c%d%e%f");
}

}  // namespace
