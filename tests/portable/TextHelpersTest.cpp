#include <gtest/gtest.h>

#include "controls/TextHelpers.h"
#include "tests/portable/MessageBoxGuard.h"

namespace {
// No string table in the test program uses this id.
constexpr UINT kAbsentId = 61999;
}  // namespace

TEST(TextHelpers, AbsentResourceStringIsEmpty) {
  EXPECT_TRUE(LoadResourceString(kAbsentId).IsEmpty());
}

TEST(TextHelpers, ResourceMessageBoxShowsLoadedTexts) {
  TakeMessageBoxes();
  EXPECT_EQ(ResourceMessageBox(kAbsentId, kAbsentId + 1, MB_OKCANCEL), IDOK);
  const auto boxes = TakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "");
  EXPECT_EQ(boxes[0].caption, "");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OKCANCEL));
}

TEST(TextHelpers, OnlyWebAddressesCount) {
  struct Case {
    const char* text;
    bool web;
  };
  const Case cases[] = {
      {"http://example.com", true},
      {"https://example.com/a?b=1", true},
      {"HTTP://EXAMPLE.COM", true},
      {"Https://x", true},
      {"http://", false},
      {"https://", false},
      {"ftp://example.com", false},
      {"file:///c:/windows/notepad.exe", false},
      {"C:\\windows\\notepad.exe", false},
      {"notepad.exe", false},
      {"javascript:alert(1)", false},
      {" http://example.com", false},
      {"http://exa\nmple.com", false},
      {"http:/example.com", false},
      {"", false},
      {nullptr, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsWebAddress(c.text), c.web) << (c.text ? c.text : "null");
}

TEST(TextHelpers, ShellOpenIgnoresAnythingButWebAddresses) {
  EXPECT_FALSE(ShellOpenMaximized("ovelin-no-such-program.exe"));
  EXPECT_FALSE(ShellOpenMaximized("C:\\ovelin-no-such-folder\\x.txt"));
  EXPECT_FALSE(ShellOpenMaximized(""));
  EXPECT_FALSE(ShellOpenMaximized(nullptr));
}
