// QVEdit bound to a multi-line edit box by subclassing, as the program binds
// the equation text box: Tab, Enter and Ctrl+Space, driven by the messages
// the keyboard produces and, once, by real key events.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "controls/QVEdit.h"
#include "tests/window/WinTestSupport.h"

namespace {

class QVEditTest : public ::testing::Test {
 protected:
  void SetUp() override { Make(WS_POPUP); }
  void TearDown() override {
    if (host) DestroyWindow(host);
    DrainMessages();
    SetKeyboardState(savedKeys);
  }
  void Make(DWORD hostStyle) {
    GetKeyboardState(savedKeys);
    host = CreateWindowExA(0, "STATIC", "", hostStyle, 50, 50, 300, 200, nullptr, nullptr,
                           nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    HWND box = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN |
                                                  ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_BORDER,
                               0, 0, 300, 200, host, reinterpret_cast<HMENU>(1005), nullptr,
                               nullptr);
    ASSERT_TRUE(edit.SubclassWindow(box));
  }
  // A key as the keyboard sends it: key down (translated into its
  // character by the pump), key up.
  void Key(UINT vk) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    edit.PostMessage(WM_KEYDOWN, vk, scan | 1);
    edit.PostMessage(WM_KEYUP, vk, scan | 1 | (3u << 30));
    DrainMessages();
  }
  void Char(UINT ch) {
    edit.PostMessage(WM_CHAR, ch, 1);
    DrainMessages();
  }
  void HoldControl(bool down) {
    BYTE keys[256];
    memcpy(keys, savedKeys, sizeof keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    keys[VK_LCONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  std::string Text() const { return edit.GetWindowText().GetString(); }
  int CaretLine() const { return static_cast<int>(edit.SendMessage(EM_LINEFROMCHAR, -1)); }

  HWND host = nullptr;
  QVEdit edit;
  BYTE savedKeys[256]{};
};

TEST_F(QVEditTest, TabTypesTheAlignmentMark) {
  Char('a');
  Key(VK_TAB);
  Char(VK_TAB);  // Shift+Tab arrives as the same character
  EXPECT_EQ(Text(), "a\xBB\xBB");
}

TEST_F(QVEditTest, EnterMovesDownWithoutBreakingTheLine) {
  edit.SetWindowText("ab\r\ncd\r\nef");
  edit.SetSel(1, 1);
  Key(VK_RETURN);
  EXPECT_EQ(Text(), "ab\r\ncd\r\nef");
  EXPECT_EQ(CaretLine(), 1);
  Key(VK_RETURN);
  EXPECT_EQ(CaretLine(), 2);
  Key(VK_RETURN);  // the last line: nothing to see
  Char('\r');
  EXPECT_EQ(CaretLine(), 2);
  EXPECT_EQ(Text(), "ab\r\ncd\r\nef");
}

TEST_F(QVEditTest, ControlSpaceTypesTheNoSpaceCharacter) {
  struct Case {
    bool control;
    const char* typed;
  } cases[] = {{true, "\xA0"}, {false, " "}};
  for (const Case& c : cases) {
    edit.SetWindowText("");
    HoldControl(c.control);
    Char(' ');
    HoldControl(false);
    EXPECT_EQ(Text(), c.typed) << c.control;
  }
}

// Real key events into the focused box of a shown window.
TEST_F(QVEditTest, RealKeysTypeIntoTheFocusedBox) {
  DestroyWindow(host);
  host = nullptr;
  DrainMessages();
  Make(WS_POPUP | WS_VISIBLE);
  SetForegroundWindow(host);
  edit.SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit.GetSafeHwnd(); }, 2000));
  edit.SetWindowText("\r\n");
  edit.SetSel(0, 0);
  auto press = [](BYTE vk) {
    keybd_event(vk, static_cast<BYTE>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)), 0, 0);
    keybd_event(vk, static_cast<BYTE>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP, 0);
  };
  for (BYTE vk : {BYTE('X'), BYTE(VK_TAB), BYTE(VK_RETURN), BYTE('Y')}) press(vk);
  EXPECT_TRUE(PumpUntil([&] { return Text().size() >= 5; }, 3000)) << Text();
  EXPECT_EQ(Text(), "x\xBB\r\ny");
}

}  // namespace
