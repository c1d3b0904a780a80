// The controls of the preference pages on a window of their own: the
// colour button with its palette popup, and the face list that draws each
// face in its own font.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "controls/ColorButton.h"
#include "controls/ColorPalettePopup.h"
#include "controls/FontFaceCombo.h"
#include "framework/Dc.h"
#include "tests/window/WinTestSupport.h"

namespace {

constexpr UINT kButtonId = 100;

// A parent window that records the colour messages it gets.
class ColourParent : public CWnd {
 public:
  ColourParent() {
    CreateEx(0, AfxRegisterWndClass(0), "colours", WS_POPUP, 100, 100, 300, 200,
             nullptr, nullptr);
  }
  ~ColourParent() override { DestroyWindow(); }
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (message >= WM_COLOUR_CHANGED && message <= WM_COLOUR_CANCELLED)
      heard.push_back({message, static_cast<COLORREF>(wParam)});
    return CWnd::OnWndMsg(message, wParam, lParam, result);
  }
  struct Heard {
    UINT message;
    COLORREF colour;
    bool operator==(const Heard&) const = default;
  };
  std::vector<Heard> heard;
};

class ColourPicker : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 60, 30),
                              &parent, kButtonId));
    button.SetColour(RGB(0, 0, 255));
  }
  void TearDown() override { DrainMessages(); }
  HWND Open() {
    button.SendMessage(BM_CLICK);
    return ::GetCapture();
  }
  ColourParent parent;
  CColorButton button;
};

TEST_F(ColourPicker, KeysMoveThroughTheGridAndAcceptTellsTheParent) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(button.IsPopupOpen());
  auto* palette = static_cast<CColorPalettePopup*>(CWnd::FromHandlePermanent(popup));
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->GetOpeningChoice(), 13);  // Blue
  ::SendMessageA(popup, WM_KEYDOWN, VK_RIGHT, 0);  // from nothing: the first cell
  EXPECT_EQ(palette->GetHighlight(), 0);
  ::SendMessageA(popup, WM_KEYDOWN, VK_LEFT, 0);  // before the first: Automatic
  EXPECT_EQ(palette->GetHighlight(), CColorPalettePopup::kDefaultBox);
  ::SendMessageA(popup, WM_KEYDOWN, VK_UP, 0);  // above Automatic: More Colors
  EXPECT_EQ(palette->GetHighlight(), CColorPalettePopup::kCustomBox);
  ::SendMessageA(popup, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(palette->GetHighlight(), 39);
  ::SendMessageA(popup, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(palette->GetHighlight(), 31);
  EXPECT_EQ(button.GetColour(), RGB(0, 0, 255));  // no tracking: the swatch waits
  ::SendMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(::IsWindow(popup));
  EXPECT_FALSE(button.IsPopupOpen());
  EXPECT_EQ(button.GetColour(), RGB(192, 192, 192));  // Light grey
  using H = ColourParent::Heard;
  const std::vector<H> expected = {
      {WM_COLOUR_DROPDOWN, RGB(0, 0, 255)},     {WM_COLOUR_CHANGED, RGB(0, 0, 0)},
      {WM_COLOUR_CHANGED, kAutomaticColour},    {WM_COLOUR_CHANGED, RGB(0, 0, 255)},
      {WM_COLOUR_CHANGED, RGB(255, 255, 255)},  {WM_COLOUR_CHANGED, RGB(192, 192, 192)},
      {WM_COLOUR_CLOSEUP, RGB(192, 192, 192)},  {WM_COLOUR_ACCEPTED, RGB(192, 192, 192)},
      {WM_COLOUR_CHANGED, RGB(192, 192, 192)}};
  EXPECT_EQ(parent.heard, expected);
}

TEST_F(ColourPicker, EscapeRestoresAndAutomaticReadsAsTheDefaultColour) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  ::SendMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
  ::SendMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(button.GetColour(), RGB(0, 0, 255));
  EXPECT_EQ(parent.heard.back(), (ColourParent::Heard{WM_COLOUR_CANCELLED, RGB(0, 0, 255)}));
  button.SetDefaultColour(RGB(1, 2, 3));
  button.SetColour(kAutomaticColour);
  EXPECT_EQ(button.GetEffectiveColour(), RGB(1, 2, 3));
}

TEST_F(ColourPicker, AcceptingTheSameColourTellsNoChange) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  for (UINT key : {VK_RIGHT, VK_DOWN, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT})
    ::SendMessageA(popup, WM_KEYDOWN, key, 0);
  parent.heard.clear();
  ::SendMessageA(popup, WM_KEYDOWN, VK_SPACE, 0);
  using H = ColourParent::Heard;
  const std::vector<H> expected = {{WM_COLOUR_CLOSEUP, RGB(0, 0, 255)},
                                   {WM_COLOUR_ACCEPTED, RGB(0, 0, 255)}};
  EXPECT_EQ(parent.heard, expected);
}

TEST_F(ColourPicker, NearTheBottomOfTheScreenThePopupOpensAboveTheButton) {
  parent.SetWindowPos(nullptr, 100, ::GetSystemMetrics(SM_CYSCREEN) - 60, 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  CRect popupRect, buttonRect;
  ::GetWindowRect(popup, &popupRect);
  button.GetWindowRect(&buttonRect);
  EXPECT_LE(popupRect.bottom, buttonRect.top);
  EXPECT_GT(popupRect.Height(), 100);
  ::SendMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(ColourPicker, CancellingMoreColorsCancelsTheChoice) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  ::SendMessageA(popup, WM_KEYDOWN, VK_UP, 0);  // Automatic
  ::SendMessageA(popup, WM_KEYDOWN, VK_UP, 0);  // More Colors...
  bool dialogSeen = false;
  std::function<void()> cancelDialog;
  cancelDialog = [&] {
    HWND dialog = ::GetLastActivePopup(popup);
    if (!dialog || dialog == popup) {
      RunLater(50, cancelDialog);
      return;
    }
    dialogSeen = true;
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  };
  RunLater(50, cancelDialog);
  ::SendMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);  // the colour dialog runs here
  EXPECT_TRUE(dialogSeen);
  EXPECT_FALSE(::IsWindow(popup));
  EXPECT_FALSE(button.IsPopupOpen());
  EXPECT_EQ(button.GetColour(), RGB(0, 0, 255));
  EXPECT_EQ(parent.heard.back(), (ColourParent::Heard{WM_COLOUR_CANCELLED, RGB(0, 0, 255)}));
}

TEST_F(ColourPicker, TheMouseChoosesACellAndAClickOutsideCancels) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  auto* palette = static_cast<CColorPalettePopup*>(CWnd::FromHandlePermanent(popup));
  const CRect red = palette->ChoiceRect(16);
  const LPARAM inRed = MAKELPARAM(red.left + 5, red.top + 5);
  ::SendMessageA(popup, WM_MOUSEMOVE, 0, inRed);
  EXPECT_EQ(palette->GetHighlight(), 16);
  const CRect automatic = palette->ChoiceRect(CColorPalettePopup::kDefaultBox);
  ::SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(automatic.left + 5, automatic.top + 5));
  EXPECT_EQ(palette->GetHighlight(), CColorPalettePopup::kDefaultBox);
  ::SendMessageA(popup, WM_MOUSEMOVE, 0, inRed);
  ::SendMessageA(popup, WM_LBUTTONUP, 0, inRed);
  EXPECT_EQ(button.GetColour(), RGB(255, 0, 0));

  popup = Open();
  ASSERT_NE(popup, nullptr);
  ::SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(5, 40));
  ::SendMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(-20, -20));
  EXPECT_FALSE(::IsWindow(popup));
  EXPECT_EQ(button.GetColour(), RGB(255, 0, 0));
  EXPECT_EQ(parent.heard.back(), (ColourParent::Heard{WM_COLOUR_CANCELLED, RGB(255, 0, 0)}));
}

// Refuses every window creation on this thread while it lives.
class NoNewWindows {
 public:
  NoNewWindows()
      : hook_(::SetWindowsHookExA(WH_CBT, Refuse, nullptr, ::GetCurrentThreadId())) {}
  ~NoNewWindows() { ::UnhookWindowsHookEx(hook_); }

 private:
  static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) return 1;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_;
};

TEST_F(ColourPicker, APopupThatCannotOpenLeavesTheButtonClosed) {
  {
    NoNewWindows refuse;
    EXPECT_EQ(Open(), nullptr);
  }
  EXPECT_FALSE(button.IsPopupOpen());
  EXPECT_TRUE(parent.heard.empty());
  HWND popup = Open();  // and it opens again afterwards
  ASSERT_NE(popup, nullptr);
  ::SendMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
}

// --- face list ---------------------------------------------------------------------

class FaceList : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE |
                                 CBS_HASSTRINGS | CBS_SORT | WS_VSCROLL,
                             CRect(0, 0, 200, 300), &parent, 101));
    combo.FillFontList();
  }
  ColourParent parent;
  CFontFaceCombo combo;
};

// The pixels an item draws, on a white 200 x 24 bitmap.
std::vector<COLORREF> DrawnItem(CFontFaceCombo& combo, int index) {
  CWindowDC screen(nullptr);
  CDC dc;
  dc.CreateCompatibleDC(&screen);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&screen, 200, 24);
  CBitmap* old = dc.SelectObject(&bitmap);
  const CRect rect(0, 0, 200, 24);
  dc.FillSolidRect(&rect, RGB(255, 255, 255));
  dc.SetBkColor(RGB(255, 255, 255));
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_COMBOBOX;
  item.itemID = static_cast<UINT>(index);
  item.itemAction = ODA_DRAWENTIRE;
  item.hDC = dc.GetSafeHdc();
  item.rcItem = rect;
  item.itemData = combo.GetItemData(index);
  combo.DrawItem(&item);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 200; ++x) pixels.push_back(::GetPixel(dc, x, y));
  dc.SelectObject(old);
  return pixels;
}

TEST_F(FaceList, EachFaceIsDrawnInItsOwnFont) {
  const int mono = combo.FindStringExact(-1, "Liberation Mono");
  const int serif = combo.FindStringExact(-1, "Liberation Serif");
  ASSERT_GE(mono, 0);
  ASSERT_GE(serif, 0);
  ASSERT_NE(combo.FontOf("Liberation Mono"), nullptr);
  const auto monoInk = DrawnItem(combo, mono);
  // The same item with the serif face's font standing in for its own.
  CFont* own = combo.FontOf("Liberation Mono");
  LOGFONTA serifFont{};
  combo.FontOf("Liberation Serif")->GetLogFont(&serifFont);
  LOGFONTA monoFont{};
  own->GetLogFont(&monoFont);
  own->DeleteObject();
  own->CreateFontIndirect(&serifFont);
  const auto monoInSerif = DrawnItem(combo, mono);
  own->DeleteObject();
  own->CreateFontIndirect(&monoFont);
  EXPECT_NE(monoInk, monoInSerif);
  EXPECT_EQ(DrawnItem(combo, mono), monoInk);
  EXPECT_NE(std::count(monoInk.begin(), monoInk.end(), RGB(255, 255, 255)),
            static_cast<long>(monoInk.size()));
}

TEST_F(FaceList, AFaceNotInstalledStaysTheFace) {
  const int count = combo.GetCount();
  ASSERT_GT(count, 0);
  combo.SelectFace("No Such Face");
  EXPECT_EQ(combo.GetSelectedFace(), "No Such Face");
  EXPECT_EQ(combo.GetCount(), count + 1);
  combo.SelectFace("liberation serif");  // an exact match, in any case
  EXPECT_EQ(combo.GetSelectedFace(), "Liberation Serif");
  // No prefix match: "Liberation" is not "Liberation Mono".
  combo.SelectFace("Liberation");
  EXPECT_EQ(combo.GetSelectedFace(), "Liberation");
}

}  // namespace
