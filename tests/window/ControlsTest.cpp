// Labels, drawn buttons and the browser host in a real dialog on the X
// display, driven by real mouse input (SendInput) and checked by the pixels
// the screen shows.
// With OVELIN_SHOT_HOLD_MS set, one case holds the dialog on screen that
// long (for screenshots).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <vector>

#include "controls/DrawnButton.h"
#include "controls/Label.h"
#include "controls/SimpleBrowser.h"
#include "framework/ComPtr.h"
#include "framework/Dc.h"
#include "framework/AfxRes.h"
#include "framework/Dialog.h"
#include "tests/portable/TempFolder.h"
#include "tests/window/TestIds.h"
#include "tests/window/WinTestSupport.h"

namespace {

class ControlsDialog : public CDialog {
 public:
  CLabel graded, bold, rotated, link, flash;
  CDrawnButton flat, classic, check, icon, disabled;
  SimpleBrowser browser;
  std::vector<UINT> browserCodes;
  std::vector<CString> browserUrls;
  std::vector<std::string> browserPostData;
  std::vector<CString> browserTexts;
  std::vector<std::pair<int32_t, int32_t>> browserProgress;
  LRESULT beforeNavigateAnswer = 0;
  int labelClicks = 0;
  int buttonClicks = 0;
  UINT menuCommand = 0;

  void PrintBrowserLog(const char* title) const {
    std::printf("%s:", title);
    for (size_t i = 0; i < browserCodes.size(); ++i)
      std::printf(" %u[%s|%s]", browserCodes[i], browserUrls[i].GetString(), browserTexts[i].GetString());
    std::printf("\n");
  }

  void ClearBrowserLog() {
    browserCodes.clear();
    browserUrls.clear();
    browserPostData.clear();
    browserTexts.clear();
    browserProgress.clear();
  }

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    const std::pair<CLabel*, UINT> labels[] = {{&graded, IDC_LABEL_GRADED}, {&bold, IDC_LABEL_BOLD},
                                               {&rotated, IDC_LABEL_ROTATED}, {&link, IDC_LABEL_LINK},
                                               {&flash, IDC_LABEL_FLASH}};
    for (auto& [label, id] : labels) label->SubclassDlgItem(id, this);
    const std::pair<CDrawnButton*, UINT> buttons[] = {{&flat, IDC_BUTTON_FLAT}, {&classic, IDC_BUTTON_CLASSIC},
                                                      {&check, IDC_BUTTON_CHECK}, {&icon, IDC_BUTTON_ICON},
                                                      {&disabled, IDC_BUTTON_DISABLED}};
    for (auto& [button, id] : buttons) button->SubclassDlgItem(id, this);
    graded.SetBackgroundColour(RGB(0, 0, 0), RGB(255, 255, 255), CLabel::kGradedFill)
        .SetTextColour(RGB(255, 255, 0));
    bold.SetBold(TRUE).SetPointSize(12).SetTextColour(RGB(0, 0, 160));
    rotated.SetFaceName("Arial").SetRotation(90).SetBackgroundColour(RGB(230, 240, 255));
    link.SetUnderline(TRUE).SetTextColour(RGB(0, 0, 255)).SetUrlLink(TRUE, TRUE);
    flash.SetBackgroundColour(RGB(255, 255, 255)).SetTextColour(RGB(255, 0, 0));
    classic.SetFlat(FALSE);
    icon.SetIcons(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TEST_BUTTON),
                                                  IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)),
                  CDrawnButton::kGreyIcon);
    icon.SetTooltipText("An icon button");
    return TRUE;
  }

  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == CLabel::kLabelClicked) {
      ++labelClicks;
      return TRUE;
    }
    if (header->hwndFrom == browser.GetSafeHwnd()) {
      const auto* record = reinterpret_cast<const BrowserNotifyRecord*>(lParam);
      browserCodes.push_back(record->hdr.code);
      browserUrls.push_back(record->url);
      browserTexts.push_back(record->text);
      browserProgress.emplace_back(record->progress, record->progress_max);
      browserPostData.emplace_back(reinterpret_cast<const char*>(record->post_data),
                                   record->post_data ? record->post_data_size : 0);
      *result = record->hdr.code == BROWSER_BEFORE_NAVIGATE ? beforeNavigateAnswer : 0;
      return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, result);
  }

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (lParam == 0) {  // a menu command
      menuCommand = LOWORD(wParam);
      return TRUE;
    }
    if (HIWORD(wParam) == BN_CLICKED) ++buttonClicks;
    return CDialog::OnCommand(wParam, lParam);
  }
};

void Wait(DWORD ms) { PumpUntil([] { return false; }, ms); }


void Click(CPoint screen) {
  SendMouse(screen);
  SendMouse(screen, MOUSEEVENTF_LEFTDOWN);
  SendMouse(screen, MOUSEEVENTF_LEFTUP);
}

CPoint CentreOf(const CWnd& wnd) {
  CRect rect;
  wnd.GetWindowRect(&rect);
  return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}


constexpr DWORD kScreenLagMs = 120;

// The pixels the screen shows in a window's client area, row by row.
class ScreenPixels {
 public:
  explicit ScreenPixels(const CWnd& wnd) {
    // Wine hands a window's painting to the X server a little later.
    ::UpdateWindow(wnd.GetSafeHwnd());
    Wait(kScreenLagMs);
    CRect client;
    wnd.GetClientRect(&client);
    CPoint origin(0, 0);
    wnd.ClientToScreen(&origin);
    width_ = client.Width();
    height_ = client.Height();
    pixels_.resize(static_cast<size_t>(width_) * height_);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, section);
    ::BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    ::GdiFlush();
    const auto* quads = static_cast<const RGBQUAD*>(bits);
    for (size_t i = 0; i < pixels_.size(); ++i) pixels_[i] = RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue);
    ::SelectObject(memory, old);
    ::DeleteObject(section);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
  }
  COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  int Count(COLORREF colour) const {
    return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), colour));
  }
  // Runs of one colour along row `y`.
  int RunsInRow(int y) const {
    int runs = 0;
    for (int x = 0; x < width_; ++x)
      if (x == 0 || At(x, y) != At(x - 1, y)) ++runs;
    return runs;
  }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<COLORREF> pixels_;
};

// One dialog for the whole suite: Wine takes about two seconds to destroy
// a shown top-level window on a display without a window manager.
class Controls : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared_ = new ControlsDialog;
    if (!shared_->Create(IDD_TEST_CONTROLS)) return;
    shared_->SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    shared_->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(shared_->GetSafeHwnd());
  }
  static void TearDownTestSuite() {
    if (shared_->GetSafeHwnd()) shared_->DestroyWindow();
    delete shared_;
    shared_ = nullptr;
    DrainMessages();
  }
  void SetUp() override {
    ASSERT_NE(dialog.GetSafeHwnd(), nullptr);
    SendMouse(CPoint(1000, 1000));
    Wait(100);
  }
  void TearDown() override {
    if (dialog.browser.GetSafeHwnd()) dialog.browser.DestroyWindow();
    DrainMessages();
  }
  // A placeholder static where the browser host goes.
  UINT MakePlaceholder() {
    static UINT next = IDC_BROWSER_PLACE + 1;
    const UINT id = next++;
    ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 12, 180, 560, 200, dialog.GetSafeHwnd(),
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    return id;
  }

  static ControlsDialog* shared_;
  ControlsDialog& dialog = *shared_;
};
ControlsDialog* Controls::shared_ = nullptr;

// A 16 x 16 bitmap: a red square on white.
HBITMAP MakeTestBitmap() {
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  RECT all = {0, 0, 16, 16};
  RECT square = {4, 4, 12, 12};
  ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
  ::FillRect(memory, &square, red);
  ::DeleteObject(red);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

// --- label -------------------------------------------------------------------------

TEST_F(Controls, GradedLabelDrawsOneStripPerPixelUpToAHundred) {
  for (auto [width, strips] : {std::pair{50, 50}, std::pair{1000, 100}, std::pair{7, 7}}) {
    dialog.SetWindowPos(nullptr, 0, 0, 1100, 400, SWP_NOMOVE | SWP_NOZORDER);
    dialog.graded.SetWindowPos(nullptr, 0, 0, width, 20, SWP_NOMOVE | SWP_NOZORDER);
    dialog.graded.SetLabelText("");
    const ScreenPixels pixels(dialog.graded);
    ASSERT_EQ(pixels.Width(), width);
    EXPECT_EQ(pixels.RunsInRow(10), strips) << width << " pixels wide";
    EXPECT_EQ(pixels.At(0, 10), RGB(0, 0, 0));
  }
  dialog.graded.SetWindowPos(nullptr, 0, 0, 270, 32, SWP_NOMOVE | SWP_NOZORDER);
  dialog.graded.SetLabelText("Graded fill");
  // A label with no width has nothing to divide among its strips.
  CDC memory;
  ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
  EXPECT_EQ(CLabel::FillGraded(memory, CRect(5, 0, 5, 10), RGB(0, 0, 0), RGB(255, 255, 255)), 0);
  EXPECT_EQ(CLabel::FillGraded(memory, CRect(5, 0, 4, 10), RGB(0, 0, 0), RGB(255, 255, 255)), 0);
  EXPECT_EQ(CLabel::FillGraded(memory, CRect(0, 0, 1, 10), RGB(0, 0, 0), RGB(255, 255, 255)), 1);
}

TEST_F(Controls, FlashingTextHidesAndShowsAndStopsWhenCleared) {
  CLabel& label = dialog.flash;
  const COLORREF red = RGB(255, 0, 0);
  label.SetFlashText(TRUE);
  ASSERT_TRUE(label.FlashTimerRunning());
  // Each phase seen on screen: the text hidden (white on white), then shown.
  // A capture counts only when no toggle fell inside it.
  std::map<BOOL, int> redByPhase;
  bool toggled = false;  // the phase before the first toggle was never painted
  const BOOL initial = label.FlashPhase();
  ASSERT_TRUE(PumpUntil([&] {
    const BOOL phase = label.FlashPhase();
    if (phase != initial) toggled = true;
    const int count = ScreenPixels(label).Count(red);
    if (toggled && phase == label.FlashPhase()) redByPhase[phase] = count;
    return redByPhase.size() == 2;
  }, 4000));
  EXPECT_EQ(redByPhase[FALSE], 0);
  EXPECT_GT(redByPhase[TRUE], 20);

  label.SetFlashText(FALSE);
  EXPECT_FALSE(label.FlashTimerRunning());
  label.SetLabelText("Flashing text");
  for (int i = 0; i < 3; ++i) {
    Wait(300);
    EXPECT_GT(ScreenPixels(label).Count(red), 20) << "the text stays after the flash is cleared";
  }

  // Without a background brush the hidden text is black.
  CLabel& plain = dialog.bold;
  plain.SetTextColour(red).SetFlashText(TRUE);
  bool hiddenInBlack = false;
  PumpUntil([&] {
    const BOOL phase = plain.FlashPhase();
    const ScreenPixels pixels(plain);
    if (phase == plain.FlashPhase() && phase == FALSE && pixels.Count(red) == 0)
      hiddenInBlack = pixels.Count(RGB(0, 0, 0)) > 20;
    return hiddenInBlack;
  }, 4000);
  EXPECT_TRUE(hiddenInBlack);
  plain.SetFlashText(FALSE);
}

TEST_F(Controls, LinkLabelShowsItsCursorAndNotifiesItsParent) {
  HCURSOR hand = ::LoadCursor(nullptr, IDC_HAND);
  dialog.link.SetLinkCursor(hand);
  SendMouse(CentreOf(dialog.link));
  EXPECT_TRUE(PumpUntil([&] { return ::GetCursor() == hand; }, 2000));
  Click(CentreOf(dialog.link));
  EXPECT_TRUE(PumpUntil([&] { return dialog.labelClicks == 1; }, 2000));
  CPoint empty(3, 3);
  dialog.ClientToScreen(&empty);
  SendMouse(empty);
  EXPECT_TRUE(PumpUntil([&] { return ::GetCursor() != hand; }, 2000));

  // What a click would open: only web and mail addresses.
  struct Case {
    int mode;
    const char* target;
    const char* text;
    const char* opens;
  };
  const Case cases[] = {
      {CLabel::kWebLink, "", "https://example.org/", "https://example.org/"},
      {CLabel::kWebLink, "http://example.org/a", "Visit us", "http://example.org/a"},
      {CLabel::kWebLink, "mailto:help@example.org", "Write", "mailto:help@example.org"},
      {CLabel::kWebLink, "", "C:\\windows\\notepad.exe", ""},
      {CLabel::kWebLink, "file:///C:/windows/notepad.exe", "x", ""},
      {CLabel::kWebLink, "", "calc", ""},
      {CLabel::kMailLink, "", "help@example.org", "mailto:help@example.org"},
      {CLabel::kMailLink, "", "", ""},
      {CLabel::kNoLink, "", "https://example.org/", ""},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(CLabel::LinkAddress(c.mode, c.target, c.text), c.opens) << c.target << " " << c.text;
}

TEST_F(Controls, LayeredWindowHelperCallsThroughToTheSystem) {
  CLayeredWindowHelper helper;
  HWND layered = ::CreateWindowExA(WS_EX_LAYERED, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
  ASSERT_NE(layered, nullptr);
  EXPECT_TRUE(helper.SetLayeredWindowAttributes(layered, 0, 128, LWA_ALPHA));
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_TRUE(::GetLayeredWindowAttributes(layered, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  ::DestroyWindow(layered);
}

// --- drawn button ------------------------------------------------------------------

TEST_F(Controls, FlatButtonLightsUpUnderTheMouseOnly) {
  CDrawnButton& button = dialog.flat;
  const COLORREF normal = RGB(210, 220, 230);
  const COLORREF hover = RGB(250, 200, 120);
  button.SetColor(CDrawnButton::kBackgroundOut, normal);
  button.SetColor(CDrawnButton::kBackgroundIn, hover);
  button.SetColor(CDrawnButton::kBackgroundFocus, normal);
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);

  ScreenPixels before(button);
  EXPECT_EQ(before.At(4, 4), normal);
  EXPECT_EQ(before.At(0, 0), normal) << "no border before the mouse comes";

  SendMouse(CentreOf(button));
  ASSERT_TRUE(PumpUntil([&] { return button.IsHovering(); }, 2000));
  ScreenPixels over(button);
  EXPECT_EQ(over.At(4, 4), hover);
  EXPECT_EQ(over.At(0, 0), light) << "raised border while hovered";

  SendMouse(CPoint(1000, 1000));
  ASSERT_TRUE(PumpUntil([&] { return !button.IsHovering(); }, 2000));
  ScreenPixels after(button);
  EXPECT_EQ(after.At(4, 4), normal);
  EXPECT_EQ(after.At(0, 0), normal);
}

TEST_F(Controls, ClassicButtonHasAThreeDimensionalFrame) {
  const ScreenPixels pixels(dialog.classic);
  const int right = pixels.Width() - 1;
  const int bottom = pixels.Height() - 1;
  EXPECT_EQ(pixels.At(0, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(pixels.At(right, bottom), ::GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(pixels.At(right - 1, bottom - 1), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(pixels.At(5, 5), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(Controls, CheckboxButtonTogglesOnEveryClickAndStaysPressed) {
  CDrawnButton& button = dialog.check;
  const COLORREF pressedColour = RGB(120, 200, 120);
  button.SetColor(CDrawnButton::kBackgroundIn, pressedColour);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  EXPECT_EQ(button.GetCheck(), 0);
  Click(CentreOf(button));
  ASSERT_TRUE(PumpUntil([&] { return button.GetCheck() == 1; }, 2000));
  SendMouse(CPoint(1000, 1000));
  ASSERT_TRUE(PumpUntil([&] { return !button.IsHovering(); }, 2000));
  ScreenPixels pressed(button);
  EXPECT_EQ(pressed.At(4, 4), pressedColour) << "drawn pressed while checked, mouse away";
  EXPECT_EQ(pressed.At(0, 0), shadow) << "sunken border";
  EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_CHECKED);

  Click(CentreOf(button));
  ASSERT_TRUE(PumpUntil([&] { return button.GetCheck() == 0; }, 2000));
  // A double click is two clicks.
  const int clicksBefore = dialog.buttonClicks;
  Click(CentreOf(button));
  Click(CentreOf(button));
  EXPECT_TRUE(PumpUntil([&] { return dialog.buttonClicks == clicksBefore + 2; }, 2000));
  EXPECT_EQ(button.GetCheck(), 0);
}

TEST_F(Controls, IconButtonShowsItsGreyCopyUntilHovered) {
  CDrawnButton& button = dialog.icon;
  auto colouredPixels = [](const ScreenPixels& pixels) {
    int count = 0;
    for (int y = 0; y < pixels.Height(); ++y)
      for (int x = 0; x < pixels.Width(); ++x) count += IsGrey(pixels.At(x, y)) ? 0 : 1;
    return count;
  };
  button.SetColor(CDrawnButton::kBackgroundOut, RGB(192, 192, 192));
  button.SetColor(CDrawnButton::kBackgroundFocus, RGB(192, 192, 192));
  button.SetColor(CDrawnButton::kBackgroundIn, RGB(192, 192, 192));
  EXPECT_EQ(colouredPixels(ScreenPixels(button)), 0) << "the grey copy";
  SendMouse(CentreOf(button));
  ASSERT_TRUE(PumpUntil([&] { return button.IsHovering(); }, 2000));
  EXPECT_GT(colouredPixels(ScreenPixels(button)), 30) << "the icon itself";
  SendMouse(CPoint(1000, 1000));
}

// A masked bitmap: its transparent white shows the button's colour, the
// grey copy stands in until the mouse comes.
TEST_F(Controls, BitmapButtonIsTransparentWhereItsMaskSaysSo) {
  CDrawnButton button;
  ASSERT_TRUE(button.SubclassWindow(::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 470, 120, 40, 30,
                                                      dialog.GetSafeHwnd(), nullptr, nullptr, nullptr)));
  const COLORREF face = RGB(120, 160, 200);
  for (int slot : {CDrawnButton::kBackgroundIn, CDrawnButton::kBackgroundOut, CDrawnButton::kBackgroundFocus})
    button.SetColor(slot, face, FALSE);
  ASSERT_EQ(button.SetBitmapImages(MakeTestBitmap(), RGB(255, 255, 255), CDrawnButton::kGreyBitmap),
            CDrawnButton::kOk);
  const int x = (40 - 16) / 2;  // centred, no caption
  const int y = (30 - 16) / 2;
  const COLORREF grey = CDrawnButton::GreyOf(RGB(255, 0, 0));
  ScreenPixels out(button);
  EXPECT_EQ(out.At(x + 1, y + 1), face) << "white is transparent";
  EXPECT_EQ(out.At(x + 8, y + 8), grey) << "the grey copy";
  EXPECT_EQ(out.Count(RGB(255, 255, 255)), 0);

  SendMouse(CentreOf(button));
  ASSERT_TRUE(PumpUntil([&] { return button.IsHovering(); }, 2000));
  ScreenPixels in(button);
  EXPECT_EQ(in.At(x + 1, y + 1), face);
  EXPECT_EQ(in.At(x + 8, y + 8), RGB(255, 0, 0)) << "the bitmap itself";
  SendMouse(CPoint(1000, 1000));
  button.DestroyWindow();
}

// A disabled button hands the focus on only when it held it.
TEST_F(Controls, DisabledButtonHandsOnTheFocusItHeld) {
  dialog.flat.SetFocus();
  ASSERT_EQ(::GetFocus(), dialog.flat.GetSafeHwnd());
  dialog.classic.EnableWindow(FALSE);
  EXPECT_EQ(::GetFocus(), dialog.flat.GetSafeHwnd()) << "focus elsewhere stays put";
  dialog.classic.EnableWindow(TRUE);

  dialog.flat.EnableWindow(FALSE);
  const HWND focus = ::GetFocus();
  EXPECT_NE(focus, dialog.flat.GetSafeHwnd());
  EXPECT_TRUE(focus == dialog.GetSafeHwnd() || ::IsChild(dialog.GetSafeHwnd(), focus));
  dialog.flat.EnableWindow(TRUE);
}

void SendKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, input, sizeof input[0]);
}

// A click opens the first sub-menu under the button; the chosen command
// reaches the menu's owner.
TEST_F(Controls, MenuButtonPostsTheChosenCommandToItsOwner) {
  CDrawnButton& button = dialog.classic;
  ASSERT_TRUE(button.SetMenu(IDR_MAINFRAME, dialog.GetSafeHwnd()));
  const UINT_PTR chooser = RunLater(400, [] {
    SendKey(VK_DOWN);
    SendKey(VK_RETURN);
  });
  dialog.menuCommand = 0;
  Click(CentreOf(button));
  EXPECT_TRUE(PumpUntil([&] { return dialog.menuCommand != 0; }, 3000));
  EXPECT_EQ(dialog.menuCommand, static_cast<UINT>(ID_FILE_NEW));
  CancelRunLater(chooser);
  button.SetMenu(0, nullptr);
}

TEST(DrawnButton, ShiftColorStaysInRangeAndRefusesBadArguments) {
  CDrawnButton button;
  button.SetColor(0, RGB(250, 100, 100), FALSE);
  EXPECT_EQ(button.ShiftColor(0, 30, FALSE), CDrawnButton::kOk);
  EXPECT_EQ(button.GetColor(0), RGB(255, 105, 105));
  button.SetColor(0, RGB(20, 100, 200), FALSE);
  EXPECT_EQ(button.ShiftColor(0, -50, FALSE), CDrawnButton::kOk);
  EXPECT_EQ(button.GetColor(0), RGB(0, 80, 180));
  EXPECT_EQ(button.ShiftColor(0, -300, FALSE), CDrawnButton::kBadParam);
  EXPECT_EQ(button.GetColor(0), RGB(0, 80, 180));
  const COLORREF before[2] = {button.GetColor(5), button.GetColor(4)};
  EXPECT_EQ(button.ShiftColor(6, 10, FALSE), CDrawnButton::kInvalidIndex);
  EXPECT_EQ(button.ShiftColor(-1, 10, FALSE), CDrawnButton::kInvalidIndex);
  EXPECT_EQ(button.GetColor(5), before[0]);
  EXPECT_EQ(button.GetColor(4), before[1]);

  EXPECT_EQ(CDrawnButton::GreyOf(RGB(100, 200, 50)), RGB(152, 152, 152));
  EXPECT_EQ(CDrawnButton::DarkerOf(RGB(100, 200, 51)), RGB(75, 150, 38));
  EXPECT_EQ(CDrawnButton::DarkerOf(RGB(100, 200, 51), 1.5), RGB(100, 200, 51));

  EXPECT_TRUE(button.SetURL(std::string(260, 'a').c_str()));
  EXPECT_FALSE(button.SetURL(std::string(261, 'a').c_str()));
  EXPECT_EQ(button.GetURL().GetLength(), 260);
  EXPECT_FALSE(button.SetSound(std::string(300, 'b').c_str()));
}

// --- leaks ---------------------------------------------------------------------------

TEST_F(Controls, CreatingAndDestroyingEachControlLeaksNoGdiObject) {
  HICON source = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TEST_BUTTON),
                                                 IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
  ASSERT_NE(source, nullptr);
  const long start = GdiObjectCounter::Alive();
  for (int i = 0; i < 100; ++i) {
    CLabel label;
    label.SubclassWindow(::CreateWindowExA(0, "STATIC", "Label", WS_CHILD | WS_VISIBLE, 0, 0, 120, 20,
                                           dialog.GetSafeHwnd(), nullptr, nullptr, nullptr));
    label.SetBackgroundColour(RGB(0, 0, 0), RGB(255, 255, 255), CLabel::kGradedFill).SetBold(TRUE).SetRotation(30);
    label.UpdateWindow();
    label.DestroyWindow();

    CDrawnButton button;
    button.SubclassWindow(::CreateWindowExA(0, "BUTTON", "Button", WS_CHILD | WS_VISIBLE, 0, 30, 80, 24,
                                            dialog.GetSafeHwnd(), nullptr, nullptr, nullptr));
    button.SetIcons(::CopyIcon(source), i % 2 ? CDrawnButton::kGreyIcon : CDrawnButton::kDarkerIcon);
    if (i % 10 == 0) button.SetBitmapImages(MakeTestBitmap(), RGB(255, 255, 255), CDrawnButton::kGreyBitmap);
    button.DrawTransparent(TRUE);
    button.UpdateWindow();
    button.DestroyWindow();
  }
  EXPECT_EQ(GdiObjectCounter::Alive(), start);
  ::DestroyIcon(source);
}

TEST_F(Controls, CreatingAndDestroyingTheBrowserHostLeavesNothingBehind) {
  auto childWindows = [&] {
    int count = 0;
    ::EnumChildWindows(dialog.GetSafeHwnd(), [](HWND, LPARAM counter) {
      ++*reinterpret_cast<int*>(counter);
      return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    return count;
  };
  const int windowsBefore = childWindows();
  const long gdiBefore = GdiObjectCounter::Alive();
  SimpleBrowser::SetDocumentWaitForTest(0);  // no document comes under Wine
  for (int i = 0; i < 100; ++i) {
    SimpleBrowser browser;
    ASSERT_TRUE(browser.Create(WS_CHILD | WS_VISIBLE, CRect(0, 60, 200, 160), &dialog, 2002));
    browser.Navigate("about:blank");
    if (i % 10 == 0) DrainMessages();
    browser.DestroyWindow();
    EXPECT_EQ(browser.GetBrowser(), nullptr);
  }
  SimpleBrowser::SetDocumentWaitForTest(SimpleBrowser::kDocumentWaitMs);
  DrainMessages();
  EXPECT_EQ(childWindows(), windowsBefore);
  EXPECT_EQ(GdiObjectCounter::Alive(), gdiBefore);
}

// --- browser host --------------------------------------------------------------------

TEST_F(Controls, BrowserHostTakesThePlaceholdersPlaceWithinTheBound) {
  const UINT id = MakePlaceholder();
  CWnd* placeholder = dialog.GetDlgItem(static_cast<int>(id));
  ASSERT_NE(placeholder, nullptr);
  CRect place;
  placeholder->GetWindowRect(&place);
  const ULONGLONG start = ::GetTickCount64();
  ASSERT_TRUE(dialog.browser.CreateInPlaceOfControl(&dialog, id));
  const ULONGLONG took = ::GetTickCount64() - start;
  EXPECT_LT(took, SimpleBrowser::kDocumentWaitMs + 1000) << "creation must not wait for a document forever";
  std::printf("browser host created in %llu ms\n", took);

  CRect host;
  dialog.browser.GetWindowRect(&host);
  EXPECT_EQ(host, place);
  EXPECT_EQ(dialog.browser.GetDlgCtrlID(), static_cast<int>(id));
  EXPECT_EQ(::GetDlgItem(dialog.GetSafeHwnd(), static_cast<int>(id)), dialog.browser.GetSafeHwnd());
  EXPECT_FALSE(dialog.browser.CreateInPlaceOfControl(&dialog, 4242)) << "no such control";
  ASSERT_NE(dialog.browser.GetBrowser(), nullptr);

  // Resized with its parent, the control fills the host.
  dialog.browser.MoveWindow(4, 200, 500, 300);
  CRect control;
  dialog.browser.GetControlWindow().GetClientRect(&control);
  EXPECT_EQ(control, CRect(0, 0, 500, 300));
  // What the control made inside the host (printed: there is no page to see).
  ::EnumChildWindows(dialog.browser.GetSafeHwnd(), [](HWND child, LPARAM) {
    char name[64] = {};
    ::GetClassNameA(child, name, sizeof name);
    RECT rect;
    ::GetClientRect(child, &rect);
    std::printf("browser host window: class \"%s\" %ld x %ld\n", name, rect.right, rect.bottom);
    return TRUE;
  }, 0);
  HWND inner = ::GetWindow(dialog.browser.GetControlWindow().GetSafeHwnd(), GW_CHILD);
  if (inner) {
    CRect innerRect;
    ::GetClientRect(inner, &innerRect);
    EXPECT_EQ(innerRect, CRect(0, 0, 500, 300)) << "the control's own window";
  }
  dialog.browser.DestroyWindow();
}

TEST_F(Controls, BrowserHostReportsNavigationAndItsParentCanCancelIt) {
  TempFolder folder;
  TempFolder::Write(folder.File("page.html"), "<html><head><title>Tip</title></head><body>Tip</body></html>");
  const CString address = folder.File("page.html").c_str();
  dialog.ClearBrowserLog();
  ASSERT_TRUE(dialog.browser.CreateInPlaceOfControl(&dialog, MakePlaceholder()));
  Wait(300);
  auto seen = [&](UINT code) {
    return std::count(dialog.browserCodes.begin(), dialog.browserCodes.end(), code);
  };
  dialog.PrintBrowserLog("notifications after creation");

  dialog.ClearBrowserLog();
  dialog.beforeNavigateAnswer = 1;
  dialog.browser.Navigate(address);
  ASSERT_TRUE(PumpUntil([&] { return seen(BROWSER_BEFORE_NAVIGATE) > 0; }, 3000));
  EXPECT_NE(std::string(dialog.browserUrls.front()).find("page.html"), std::string::npos)
      << dialog.browserUrls.front();
  Wait(500);
  EXPECT_EQ(seen(BROWSER_DOWNLOAD_BEGIN), 0) << "a cancelled navigation downloads nothing";
  dialog.PrintBrowserLog("notifications of a cancelled navigation");

  dialog.ClearBrowserLog();
  dialog.beforeNavigateAnswer = 0;
  dialog.browser.Navigate(address);
  ASSERT_TRUE(PumpUntil([&] { return seen(BROWSER_BEFORE_NAVIGATE) > 0; }, 3000));
  PumpUntil([&] { return seen(BROWSER_DOWNLOAD_COMPLETE) > 0; }, 3000);
  dialog.PrintBrowserLog("notifications of a navigation");
  EXPECT_GT(seen(BROWSER_DOWNLOAD_BEGIN), 0);
  EXPECT_GT(seen(BROWSER_DOWNLOAD_COMPLETE), 0);
  dialog.browser.DestroyWindow();
}

// The event's arguments as the event interface passes them: the strings,
// the post data and Cancel by reference; a frame's event and arguments of
// other types reach nobody.
TEST_F(Controls, BrowserHostReadsBeforeNavigateArgumentsByReference) {
  ASSERT_TRUE(dialog.browser.Create(WS_CHILD | WS_VISIBLE, CRect(12, 180, 300, 300), &dialog, 2003));
  DrainMessages();
  ComPtr<IDispatch> top;
  ASSERT_TRUE(SUCCEEDED(dialog.browser.GetBrowser()->QueryInterface(IID_IDispatch, top.OutVoid())));

  VARIANT url, flags, frame, postData, headers, postArray;
  for (VARIANT* v : {&url, &flags, &frame, &postData, &headers, &postArray}) ::VariantInit(v);
  url.vt = VT_BSTR;
  url.bstrVal = ::SysAllocString(L"http://example.org/form");
  frame.vt = VT_BSTR;
  frame.bstrVal = ::SysAllocString(L"main");
  const char body[] = "a=1&b=2";
  SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, sizeof body - 1);
  void* data = nullptr;
  ::SafeArrayAccessData(array, &data);
  std::memcpy(data, body, sizeof body - 1);
  ::SafeArrayUnaccessData(array);
  postArray.vt = VT_ARRAY | VT_UI1;
  postArray.parray = array;
  postData.vt = VT_BYREF | VT_VARIANT;
  postData.pvarVal = &postArray;
  VARIANT_BOOL cancel = VARIANT_FALSE;

  // Last argument first, as IDispatch::Invoke receives them.
  auto invoke = [&](IDispatch* source, bool byReference) {
    VARIANT args[7];
    for (VARIANT& v : args) ::VariantInit(&v);
    VARIANT* values[5] = {&url, &flags, &frame, &postData, &headers};
    args[6].vt = VT_DISPATCH;
    args[6].pdispVal = source;
    for (int i = 0; i < 5; ++i) {
      if (byReference) {
        args[5 - i].vt = VT_BYREF | VT_VARIANT;
        args[5 - i].pvarVal = values[i];
      } else {
        args[5 - i] = *values[i];
      }
    }
    args[0].vt = VT_BYREF | VT_BOOL;
    args[0].pboolVal = &cancel;
    DISPPARAMS params = {args, nullptr, 7, 0};
    return AfxDispatchControlEvent(&dialog.browser, SimpleBrowser::kControlId, 250, &params);
  };

  dialog.ClearBrowserLog();
  dialog.beforeNavigateAnswer = 1;
  EXPECT_TRUE(invoke(top.get(), true));
  ASSERT_EQ(dialog.browserCodes, std::vector<UINT>{BROWSER_BEFORE_NAVIGATE});
  EXPECT_STREQ(dialog.browserUrls.back(), "http://example.org/form");
  EXPECT_EQ(dialog.browserPostData.back(), "a=1&b=2");
  EXPECT_EQ(cancel, VARIANT_TRUE);

  dialog.beforeNavigateAnswer = 0;
  EXPECT_TRUE(invoke(top.get(), true));
  EXPECT_EQ(cancel, VARIANT_FALSE);

  cancel = VARIANT_FALSE;
  dialog.beforeNavigateAnswer = 1;
  dialog.ClearBrowserLog();
  EXPECT_TRUE(invoke(static_cast<IDispatch*>(nullptr), true)) << "not the top-level browser";
  EXPECT_FALSE(invoke(top.get(), false)) << "strings by value are not the event's types";
  EXPECT_TRUE(dialog.browserCodes.empty());
  EXPECT_EQ(cancel, VARIANT_FALSE);

  ::VariantClear(&url);
  ::VariantClear(&frame);
  ::VariantClear(&postArray);
}

// Every event of the control reaches the parent as its notification code
// with the event's values.
TEST_F(Controls, BrowserHostPassesEachEventOnWithItsValues) {
  ASSERT_TRUE(dialog.browser.Create(WS_CHILD | WS_VISIBLE, CRect(12, 180, 300, 300), &dialog, 2004));
  DrainMessages();
  ComPtr<IDispatch> top;
  ASSERT_TRUE(SUCCEEDED(dialog.browser.GetBrowser()->QueryInterface(IID_IDispatch, top.OutVoid())));
  VARIANT url;
  ::VariantInit(&url);
  url.vt = VT_BSTR;
  url.bstrVal = ::SysAllocString(L"about:tip");
  auto fire = [&](DISPID dispid, std::vector<VARIANT> args) {
    std::reverse(args.begin(), args.end());  // last argument first
    DISPPARAMS params = {args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    return AfxDispatchControlEvent(&dialog.browser, SimpleBrowser::kControlId, dispid, &params);
  };
  auto bstr = [](BSTR text) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return v;
  };
  auto i4 = [](LONG value) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
  };
  VARIANT source;
  ::VariantInit(&source);
  source.vt = VT_DISPATCH;
  source.pdispVal = top.get();
  VARIANT urlRef;
  ::VariantInit(&urlRef);
  urlRef.vt = VT_BYREF | VT_VARIANT;
  urlRef.pvarVal = &url;
  BSTR closeNow = ::SysAllocString(L"Close Now");
  BSTR status = ::SysAllocString(L"Done");

  dialog.ClearBrowserLog();
  EXPECT_TRUE(fire(259, {source, urlRef}));
  EXPECT_TRUE(fire(106, {}));
  EXPECT_TRUE(fire(108, {i4(40), i4(100)}));
  EXPECT_TRUE(fire(104, {}));
  EXPECT_TRUE(fire(252, {source, urlRef}));
  EXPECT_TRUE(fire(102, {bstr(status)}));
  EXPECT_TRUE(fire(113, {bstr(closeNow)}));
  EXPECT_FALSE(fire(113, {i4(7)})) << "a title that is no string";
  ASSERT_EQ(dialog.browserCodes, (std::vector<UINT>{BROWSER_DOCUMENT_COMPLETE, BROWSER_DOWNLOAD_BEGIN,
                                                    BROWSER_PROGRESS_CHANGE, BROWSER_DOWNLOAD_COMPLETE,
                                                    BROWSER_NAVIGATE_COMPLETE, BROWSER_STATUS_TEXT_CHANGE,
                                                    BROWSER_TITLE_CHANGE}));
  EXPECT_STREQ(dialog.browserUrls[0], "about:tip");
  EXPECT_EQ(dialog.browserProgress[2], (std::pair<int32_t, int32_t>(40, 100)));
  EXPECT_STREQ(dialog.browserUrls[4], "about:tip");
  EXPECT_STREQ(dialog.browserTexts[5], "Done");
  EXPECT_STREQ(dialog.browserTexts[6], "Close Now");
  ::SysFreeString(closeNow);
  ::SysFreeString(status);
  ::VariantClear(&url);
}

TEST_F(Controls, HoldsTheDialogForScreenshots) {
  const char* hold = std::getenv("OVELIN_SHOT_HOLD_MS");
  if (!hold) GTEST_SKIP() << "set OVELIN_SHOT_HOLD_MS to look at it";
  ASSERT_TRUE(dialog.browser.CreateInPlaceOfControl(&dialog, IDC_BROWSER_PLACE));
  dialog.check.SetCheck(BST_CHECKED);
  dialog.flash.SetFlashText(TRUE);
  // The flat button hovered, then the icon button (its own colours).
  SendMouse(CentreOf(dialog.flat));
  Wait(static_cast<DWORD>(std::atoi(hold)));
  SendMouse(CentreOf(dialog.icon));
  Wait(static_cast<DWORD>(std::atoi(hold)));
}

}  // namespace
