// Control bars in a hidden frame: toolbar loading, tooltips and prompts,
// the status bar's panes, a dialog bar's notifications, docking layout, and
// the flyout bar with its palettes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/Flyout.h"
#include "framework/AfxRes.h"
#include "framework/ControlBars.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"
#include "tests/window/TestIds.h"
#include "tests/window/WinTestSupport.h"

namespace {

// A hidden frame that logs the commands and edit changes it receives.
class BarFrame : public CFrameWnd {
 public:
  void OnAnyCommand(UINT id) { commands.push_back(id); }
  void OnEditChange() { ++editChanges; }
  std::vector<UINT> commands;
  int editChanges = 0;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BarFrame, CFrameWnd)
  ON_COMMAND_RANGE(ID_CMD_CHAIN, ID_PALETTE_C, OnAnyCommand)
  ON_EN_CHANGE(IDC_BAR_EDIT, OnEditChange)
END_MESSAGE_MAP()

class BarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new BarFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW, CRect(40, 40, 640, 440)));
  }
  void TearDown() override {
    if (frame && frame->GetSafeHwnd()) frame->DestroyWindow();  // deletes itself
    DrainMessages();
  }
  // The centre of button `index` of a toolbar, in its client coordinates.
  static CPoint ButtonCentre(const CToolBar& bar, int index) {
    CRect rect;
    bar.GetItemRect(index, &rect);
    return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }
  static LPARAM At(CPoint point) { return MAKELPARAM(point.x, point.y); }

  BarFrame* frame = nullptr;
};

// --- toolbar -------------------------------------------------------------------------

TEST_F(BarsTest, ToolBarLoadsButtonsAndMaskedStrip) {
  CToolBar bar;
  ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS));
  ASSERT_TRUE(bar.LoadToolBar(IDR_TEST_BAR));
  ASSERT_EQ(bar.GetCount(), 4);
  const UINT expected[] = {ID_CMD_MAIN, ID_SEPARATOR, ID_CMD_DOC, ID_CMD_NOBODY};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bar.GetItemID(i), expected[i]) << i;
  EXPECT_EQ(bar.CommandToIndex(ID_CMD_DOC), 2);
  auto images = reinterpret_cast<HIMAGELIST>(bar.SendMessage(TB_GETIMAGELIST));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 288 / 16);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
}

TEST_F(BarsTest, ToolBarRejectsMissingAndShortResources) {
  CToolBar bar;
  ASSERT_TRUE(bar.CreateEx(frame));
  EXPECT_FALSE(bar.LoadToolBar(9999));
  EXPECT_FALSE(bar.LoadToolBar(IDR_TEST_BAD_BAR));
  EXPECT_EQ(bar.GetCount(), 0);
}

TEST_F(BarsTest, TooltipsComeFromTheStringTable) {
  CToolBar bar;
  ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS));
  ASSERT_TRUE(bar.LoadToolBar(IDR_TEST_BAR));
  HWND tips = reinterpret_cast<HWND>(bar.SendMessage(TB_GETTOOLTIPS));
  ASSERT_NE(tips, nullptr);
  // Through the tooltip control itself: it asks the toolbar, which asks us.
  char buffer[80] = "";
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = bar.GetSafeHwnd();
  tool.uId = ID_CMD_MAIN;
  tool.lpszText = buffer;
  ::SendMessageA(tips, TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(buffer, "Main tip");
  // Both notification forms, as the frame receives them.
  struct Case {
    UINT id;
    const char* tip;
  } cases[] = {{ID_CMD_MAIN, "Main tip"}, {ID_CMD_DOC, ""}, {ID_CMD_NOBODY, ""}};
  for (const Case& c : cases) {
    NMTTDISPINFOA a{};
    a.hdr = {tips, c.id, TTN_GETDISPINFOA};
    frame->SendMessage(WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&a));
    EXPECT_STREQ(a.lpszText ? a.lpszText : "", c.tip) << c.id;
    NMTTDISPINFOW w{};
    w.hdr = {tips, c.id, TTN_GETDISPINFOW};
    frame->SendMessage(WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&w));
    char narrow[80] = "";
    if (w.lpszText) WideCharToMultiByte(CP_ACP, 0, w.lpszText, -1, narrow, 80, nullptr, nullptr);
    EXPECT_STREQ(narrow, c.tip) << c.id;
  }
}

// --- status bar --------------------------------------------------------------------------

TEST_F(BarsTest, StatusBarShowsIdleTextPromptsAndKeyIndicators) {
  CStatusBar status;
  ASSERT_TRUE(status.Create(frame));
  const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
  ASSERT_TRUE(status.SetIndicators(indicators, 4));
  EXPECT_EQ(status.GetPaneText(0), "Ready");
  EXPECT_EQ(status.CommandToIndex(ID_INDICATOR_NUM), 2);

  frame->SetMessageText(ID_CMD_MAIN);
  EXPECT_EQ(status.GetPaneText(0), "Main prompt");
  frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
  EXPECT_EQ(status.GetPaneText(0), "Ready");

  BYTE saved[256];
  ASSERT_TRUE(GetKeyboardState(saved));
  for (bool on : {true, false}) {
    BYTE keys[256];
    memcpy(keys, saved, sizeof keys);
    keys[VK_CAPITAL] = on ? 1 : 0;
    keys[VK_NUMLOCK] = 0;
    keys[VK_SCROLL] = on ? 1 : 0;
    ASSERT_TRUE(SetKeyboardState(keys));
    status.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(status.GetPaneText(1), on ? "CAP" : "");
    EXPECT_EQ(status.GetPaneText(2), "");
    EXPECT_EQ(status.GetPaneText(3), on ? "SCRL" : "");
  }
  SetKeyboardState(saved);

  const UINT missing[] = {ID_SEPARATOR, 9999};
  EXPECT_FALSE(status.SetIndicators(missing, 2));
}

TEST_F(BarsTest, FlyByShowsTheHotButtonsPrompt) {
  CStatusBar status;
  ASSERT_TRUE(status.Create(frame));
  const UINT indicators[] = {ID_SEPARATOR};
  ASSERT_TRUE(status.SetIndicators(indicators, 1));
  CToolBar bar;
  ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_FLYBY));
  ASSERT_TRUE(bar.LoadToolBar(IDR_TEST_BAR));
  NMTBHOTITEM hot{};
  hot.hdr = {bar.GetSafeHwnd(), AFX_IDW_TOOLBAR, static_cast<UINT>(TBN_HOTITEMCHANGE)};
  hot.idNew = ID_CMD_DOC;
  hot.dwFlags = HICF_MOUSE | HICF_ENTERING;
  frame->SendMessage(WM_NOTIFY, AFX_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&hot));
  EXPECT_EQ(status.GetPaneText(0), "Document prompt");
  hot.dwFlags = HICF_MOUSE | HICF_LEAVING;
  frame->SendMessage(WM_NOTIFY, AFX_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&hot));
  EXPECT_EQ(status.GetPaneText(0), "Ready");
}

// --- dialog bar and docking ---------------------------------------------------------------

TEST_F(BarsTest, DialogBarForwardsItsControlsNotificationsToTheFrame) {
  CDialogBar bar;
  ASSERT_TRUE(bar.Create(frame, IDD_TEST_DIALOG_BAR, CBRS_TOP, 0xE810));
  EXPECT_EQ(bar.GetDlgCtrlID(), 0xE810);
  EXPECT_TRUE(bar.GetStyle() & WS_VISIBLE);
  HWND edit = ::GetDlgItem(bar.GetSafeHwnd(), IDC_BAR_EDIT);
  ASSERT_NE(edit, nullptr);
  ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(frame->editChanges, 1);
  // A command posted to a bar reaches the frame too.
  bar.PostMessage(WM_COMMAND, ID_CMD_MAIN, 0);
  DrainMessages();
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_CMD_MAIN});
  EXPECT_FALSE(bar.Create(frame, 9999, CBRS_TOP, 0xE811));
}

TEST_F(BarsTest, DockedBarsTakeTheirSpaceInCreationOrder) {
  CToolBar top;
  ASSERT_TRUE(top.CreateEx(frame));
  ASSERT_TRUE(top.LoadToolBar(IDR_TEST_BAR));
  CStatusBar status;
  ASSERT_TRUE(status.Create(frame));
  const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS};
  ASSERT_TRUE(status.SetIndicators(indicators, 2));
  CDialogBar dialogBar;
  ASSERT_TRUE(dialogBar.Create(frame, IDD_TEST_DIALOG_BAR, CBRS_TOP, 0xE810));
  frame->EnableDocking(CBRS_ALIGN_ANY);
  CToolBar left;
  ASSERT_TRUE(left.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_LEFT, CRect(),
                            AFX_IDW_TOOLBAR + 1));
  ASSERT_TRUE(left.LoadToolBar(IDR_TEST_BAR));
  left.EnableDocking(CBRS_ALIGN_LEFT);
  frame->DockControlBar(&left, AFX_IDW_DOCKBAR_LEFT);
  HWND pane = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                frame->GetSafeHwnd(),
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
                                nullptr, nullptr);
  frame->RecalcLayout();

  auto placeOf = [&](HWND h) {
    CRect r;
    ::GetWindowRect(h, &r);
    frame->ScreenToClient(&r);
    return r;
  };
  CRect client;
  frame->GetClientRect(&client);
  const CRect t = placeOf(top), d = placeOf(dialogBar), s = placeOf(status), l = placeOf(left),
              p = placeOf(pane);
  EXPECT_EQ(t.top, 0);
  EXPECT_EQ(t.Width(), client.Width());
  EXPECT_GT(t.Height(), 16);
  EXPECT_EQ(d.top, t.bottom);
  EXPECT_EQ(s.bottom, client.bottom);
  EXPECT_EQ(l.left, 0);
  EXPECT_EQ(l.top, d.bottom);
  EXPECT_GT(l.Height(), 3 * 16);  // the buttons stand in a column
  EXPECT_LT(l.Width(), 2 * 23);
  EXPECT_EQ(p, CRect(l.right, d.bottom, client.right, s.top));
  EXPECT_TRUE(left.GetBarStyle() & CBRS_ALIGN_LEFT);
}

// --- flyout bar ---------------------------------------------------------------------------

class FlyoutTest : public BarsTest {
 protected:
  void SetUp() override {
    BarsTest::SetUp();
    listsBefore = AfxLiveImageLists();
    gdiBefore = GdiObjectCounter::Alive();
    bar = new QVFlyoutTrueColor;
    ASSERT_TRUE(bar->CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_LEFT | CBRS_TOOLTIPS));
    ASSERT_TRUE(bar->LoadToolBar(IDR_TEST_FLYOUT_BAR));
    frame->RecalcLayout();
    ASSERT_TRUE(bar->SetFlyout(1, IDR_TEST_PALETTE, IDB_TEST_PALETTE, IDB_TEST_PALETTE, 0, 13));
  }
  void TearDown() override {
    delete bar;
    DrainMessages();
    EXPECT_EQ(AfxLiveImageLists(), listsBefore) << "image lists left behind";
    EXPECT_EQ(GdiObjectCounter::Alive(), gdiBefore) << "bitmaps left behind";
    BarsTest::TearDown();
  }
  void Press(int index) { bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(ButtonCentre(*bar, index))); }
  // Moves the held pointer onto palette button `index` (bar coordinates).
  void MoveOntoPalette(int index) {
    CFlyout* palette = bar->GetOpenFlyout();
    CPoint point = ButtonCentre(*palette, index);
    palette->ClientToScreen(&point);
    bar->ScreenToClient(&point);
    bar->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(point));
  }
  void ReleaseAt(CPoint point) { bar->SendMessage(WM_LBUTTONUP, 0, At(point)); }
  CRect ButtonOnScreen(int index) {
    CRect rect;
    bar->GetItemRect(index, &rect);
    bar->ClientToScreen(&rect);
    return rect;
  }

  QVFlyoutTrueColor* bar = nullptr;
  long listsBefore = 0;
  long gdiBefore = 0;
};

TEST_F(FlyoutTest, SetFlyoutTakesOnlyTheTwentySlotsOfExistingButtons) {
  EXPECT_EQ(bar->flyoutDescriptions.GetSize(), 20);
  EXPECT_EQ(bar->flyoutDescriptions[1].toolbarId, IDR_TEST_PALETTE);
  for (int index : {-1, 20, 21, 1000})
    EXPECT_FALSE(bar->SetFlyout(index, IDR_TEST_PALETTE, IDB_TEST_PALETTE, 0, 0, 13)) << index;
  EXPECT_EQ(bar->flyoutDescriptions.GetSize(), 20);
  EXPECT_EQ(bar->holdDelay, 500);
}

TEST_F(FlyoutTest, PressOnAButtonPastTheSlotsOpensNothing) {
  bar->holdDelay = 0;
  for (int index : {20, 21}) {
    Press(index);
    EXPECT_EQ(bar->pressedIndex, index);
    EXPECT_EQ(bar->GetOpenFlyout(), nullptr);
    ReleaseAt(ButtonCentre(*bar, index));
  }
  DrainMessages();
  EXPECT_EQ(frame->commands, (std::vector<UINT>{ID_FLY_FIRST + 20, ID_FLY_FIRST + 21}));
}

TEST_F(FlyoutTest, PaletteOpensAtThePressBesideALeftDockedBarAndSendsItsCommand) {
  bar->holdDelay = 0;
  Press(1);
  CFlyout* palette = bar->GetOpenFlyout();
  ASSERT_NE(palette, nullptr);
  HWND popup = palette->GetFloatingFrame();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(IsWindowVisible(popup));
  EXPECT_FALSE(GetWindowLongPtrA(popup, GWL_STYLE) & WS_CAPTION);
  EXPECT_EQ(palette->GetCount(), 3);
  CRect placed;
  GetWindowRect(popup, &placed);
  const CRect button = ButtonOnScreen(1);
  EXPECT_EQ(placed.left, button.right);
  EXPECT_EQ(placed.top, button.top);

  MoveOntoPalette(1);
  EXPECT_EQ(palette->hotIndex, 1);
  EXPECT_TRUE(palette->SendMessage(TB_ISBUTTONCHECKED, ID_PALETTE_B));
  MoveOntoPalette(2);
  EXPECT_EQ(palette->hotIndex, 2);
  EXPECT_FALSE(palette->SendMessage(TB_ISBUTTONCHECKED, ID_PALETTE_B));
  MoveOntoPalette(1);
  ReleaseAt(CPoint(-200, -200));
  EXPECT_EQ(bar->GetOpenFlyout(), nullptr);
  EXPECT_FALSE(IsWindowVisible(popup));
  EXPECT_TRUE(IsWindow(popup));  // destroyed only from the posted message
  DrainMessages();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_PALETTE_B});
}

TEST_F(FlyoutTest, ReleaseWithoutMovingOntoThePaletteSendsNoPaletteCommand) {
  bar->holdDelay = 0;
  Press(1);
  ASSERT_NE(bar->GetOpenFlyout(), nullptr);
  // Moving off the palette's buttons clears the highlight.
  bar->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(CPoint(-300, -300)));
  EXPECT_EQ(bar->GetOpenFlyout()->hotIndex, -1);
  ReleaseAt(CPoint(-200, -200));
  DrainMessages();
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(FlyoutTest, HoldOpensThePaletteWithTimerOneAndAQuickClickOnlyFiresTheButton) {
  ASSERT_EQ(bar->holdDelay, 500);
  Press(1);
  EXPECT_EQ(bar->GetOpenFlyout(), nullptr);
  ReleaseAt(ButtonCentre(*bar, 1));
  DrainMessages();
  EXPECT_EQ(bar->GetOpenFlyout(), nullptr);
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_FLY_FIRST + 1});

  const DWORD start = GetTickCount();
  Press(1);
  ASSERT_TRUE(PumpUntil([&] { return bar->GetOpenFlyout() != nullptr; }, 3000));
  EXPECT_GE(GetTickCount() - start, 400u);
  ReleaseAt(CPoint(-200, -200));
  DrainMessages();
}

// The palette passes its release to the bar, which closes the palette; the
// palette's window must outlive its own handler.
TEST_F(FlyoutTest, ReleaseOnThePaletteIsForwardedAndThePaletteDiesByPosting) {
  bar->holdDelay = 0;
  Press(1);
  CFlyout* palette = bar->GetOpenFlyout();
  ASSERT_NE(palette, nullptr);
  MoveOntoPalette(0);
  HWND hPalette = palette->GetSafeHwnd();
  palette->SendMessage(WM_LBUTTONUP, 0, At(ButtonCentre(*palette, 0)));
  EXPECT_TRUE(IsWindow(hPalette));
  EXPECT_EQ(bar->GetOpenFlyout(), nullptr);
  DrainMessages();
  EXPECT_FALSE(IsWindow(hPalette));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_PALETTE_A});
}

TEST_F(FlyoutTest, PaletteOfATopBarOpensBelowTheButton) {
  frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
  bar->holdDelay = 0;
  Press(1);
  ASSERT_NE(bar->GetOpenFlyout(), nullptr);
  CRect placed;
  GetWindowRect(bar->GetOpenFlyout()->GetFloatingFrame(), &placed);
  const CRect button = ButtonOnScreen(1);
  EXPECT_EQ(placed.left, button.left);
  EXPECT_EQ(placed.top, button.bottom);
  ReleaseAt(CPoint(-200, -200));
  DrainMessages();
}

TEST_F(FlyoutTest, ImageListsOfPalettesAndBarsAreFreed) {
  bar->holdDelay = 0;
  for (int i = 0; i < 3; ++i) {
    Press(1);
    ASSERT_NE(bar->GetOpenFlyout(), nullptr);
    EXPECT_EQ(AfxLiveImageLists(), listsBefore + 1 + 2);  // bar: normal; palette: normal, hot
    ReleaseAt(CPoint(-200, -200));
    DrainMessages();
    EXPECT_EQ(AfxLiveImageLists(), listsBefore + 1);
  }
  // Replacing a list frees the one it replaces.
  ASSERT_TRUE(bar->LoadImageLists(13, IDR_TEST_FLYOUT_BAR, IDR_TEST_FLYOUT_BAR, 0));
  EXPECT_EQ(AfxLiveImageLists(), listsBefore + 2);
  EXPECT_FALSE(bar->LoadImageLists(13, 9999, 0, 0));
  EXPECT_EQ(AfxLiveImageLists(), listsBefore + 2);
  // A palette still open when the bar goes is freed with it (TearDown).
  Press(1);
  ASSERT_NE(bar->GetOpenFlyout(), nullptr);
}

}  // namespace
