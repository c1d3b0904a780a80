// The program's bars built from its own resources the way the main frame
// builds them: toolbar 128, the status bar, dialog bar 130 with the
// equation box, and the "Shortcuts" bar with its seven palettes.
// With OVELIN_BARS_SHOW_MS set, one case shows the frame with an open
// palette for that many milliseconds (for a screenshot).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/frame/ShortcutPalettes.h"
#include "controls/Flyout.h"
#include "controls/QVEdit.h"
#include "framework/ControlBars.h"
#include "framework/Frame.h"
#include "resources/resource.h"

namespace {

void Pump(DWORD forMs = 0) {
  const DWORD start = GetTickCount();
  MSG msg;
  do {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (forMs) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < forMs);
}

class ProgramFrame : public CFrameWnd {
 public:
  void OnAny(UINT id) { commands.push_back(id); }
  void OnEquationChange() { ++changes; }
  std::vector<UINT> commands;
  int changes = 0;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProgramFrame, CFrameWnd)
  ON_COMMAND_RANGE(32768, 0xDFFF, OnAny)
  ON_EN_CHANGE(IDC_EQUATION_EDIT, OnEquationChange)
END_MESSAGE_MAP()

class ProgramBarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new ProgramFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Ovelin 4", WS_OVERLAPPEDWINDOW, CRect(20, 20, 760, 560)));
    ASSERT_TRUE(toolBar.CreateEx(frame, TBSTYLE_FLAT,
                                 WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_BORDER_BOTTOM |
                                     CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC));
    ASSERT_TRUE(toolBar.LoadToolBar(IDR_MAINFRAME));
    ASSERT_TRUE(statusBar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM | CBRS_BORDER_TOP));
    const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                               ID_INDICATOR_SCRL};
    ASSERT_TRUE(statusBar.SetIndicators(indicators, 4));
    ASSERT_TRUE(dialogBar.Create(frame, IDD_EQUATION_BAR, CBRS_TOP | CBRS_BORDER_BOTTOM,
                                 IDD_EQUATION_BAR));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(shortcuts.CreateEx(frame, TBSTYLE_FLAT,
                                   WS_CHILD | WS_VISIBLE | CBRS_LEFT | CBRS_BORDER_RIGHT |
                                       CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC));
    ASSERT_TRUE(shortcuts.LoadToolBar(IDR_SHORTCUTS));
    ASSERT_TRUE(shortcuts.LoadImageLists(24, IDB_SHORTCUTS, IDB_SHORTCUTS, IDB_SHORTCUTS));
    shortcuts.SetWindowText("Shortcuts");
    shortcuts.EnableDocking(CBRS_ALIGN_LEFT);
    frame->DockControlBar(&shortcuts, AFX_IDW_DOCKBAR_LEFT);
    ASSERT_TRUE(equationEdit.SubclassDlgItem(IDC_EQUATION_EDIT, &dialogBar));
    for (const ShortcutPalette& row : ShortcutPalettes())
      ASSERT_TRUE(shortcuts.SetFlyout(row.button, row.toolbar, row.bitmap, row.bitmap, row.bitmap,
                                      row.imageWidth));
    shortcuts.holdDelay = 0;
    frame->RecalcLayout();
  }
  void TearDown() override {
    shortcuts.DestroyWindow();
    equationEdit.UnsubclassWindow();
    frame->DestroyWindow();
    Pump();
  }
  CPoint Centre(const CToolBar& bar, int index) {
    CRect rect;
    bar.GetItemRect(index, &rect);
    return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }
  void Press(int index) {
    const CPoint p = Centre(shortcuts, index);
    shortcuts.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  }
  void MoveOntoPalette(int index) {
    CPoint p = Centre(*shortcuts.GetOpenFlyout(), index);
    shortcuts.GetOpenFlyout()->ClientToScreen(&p);
    shortcuts.ScreenToClient(&p);
    shortcuts.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  }
  void Release() { shortcuts.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(-300, -300)); }
  // The tooltip the frame gives for a command.
  std::string ToolTip(UINT id) {
    NMTTDISPINFOA info{};
    info.hdr = {nullptr, id, TTN_GETDISPINFOA};
    frame->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : "";
  }

  ProgramFrame* frame = nullptr;
  CToolBar toolBar;
  CStatusBar statusBar;
  CDialogBar dialogBar;
  QVFlyoutTrueColor shortcuts;
  QVEdit equationEdit;
};

TEST_F(ProgramBarsTest, StandardToolBarHasItsButtonsTooltipsAndPrompts) {
  EXPECT_EQ(toolBar.GetCount(), 25);
  EXPECT_EQ(toolBar.GetItemID(0), static_cast<UINT>(ID_FILE_NEW));
  EXPECT_EQ(toolBar.GetItemID(3), 0u);
  EXPECT_EQ(toolBar.GetItemID(24), static_cast<UINT>(ID_APP_ABOUT));
  EXPECT_EQ(toolBar.CommandToIndex(ID_SCREEN_KEYBOARD), 18);
  for (int i = 0; i < toolBar.GetCount(); ++i) {
    const UINT id = toolBar.GetItemID(i);
    if (id == 0) continue;
    EXPECT_FALSE(ToolTip(id).empty()) << id;
    CString prompt;
    frame->GetMessageString(id, prompt);
    EXPECT_FALSE(prompt.IsEmpty()) << id;
  }
  EXPECT_EQ(ToolTip(ID_SCREEN_KEYBOARD), "Show On Screen Keyboard");
  EXPECT_EQ(statusBar.GetPaneText(0), "Ready");
}

TEST_F(ProgramBarsTest, EquationBoxSitsInTheDialogBarAndReportsToTheFrame) {
  EXPECT_EQ(dialogBar.GetDlgItem(IDC_EQUATION_EDIT), &equationEdit);
  equationEdit.SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(frame->changes, 1);
  equationEdit.SendMessage(WM_CHAR, VK_TAB, 1);
  Pump();
  EXPECT_EQ(std::string(equationEdit.GetWindowText().GetString()), "x\xBB");
  EXPECT_EQ(frame->changes, 2);
}

// Every palette opens from its button at the press, with its buttons, images
// and tooltips, and sends the command released over.
TEST_F(ProgramBarsTest, EveryShortcutsPaletteOpensAndSendsItsCommand) {
  EXPECT_EQ(shortcuts.GetCount(), 8);
  for (const ShortcutPalette& row : ShortcutPalettes()) {
    SCOPED_TRACE(row.toolbar);
    Press(row.button);
    CFlyout* palette = shortcuts.GetOpenFlyout();
    ASSERT_NE(palette, nullptr);
    const int count = palette->GetCount();
    EXPECT_GT(count, 2);
    auto images = reinterpret_cast<HIMAGELIST>(palette->SendMessage(TB_GETIMAGELIST));
    EXPECT_GE(ImageList_GetImageCount(images), count);
    for (int i = 0; i < count; ++i) EXPECT_FALSE(ToolTip(palette->GetItemID(i)).empty()) << i;
    const UINT last = palette->GetItemID(count - 1);
    MoveOntoPalette(count - 1);
    Release();
    Pump();
    EXPECT_EQ(shortcuts.GetOpenFlyout(), nullptr);
    ASSERT_FALSE(frame->commands.empty());
    EXPECT_EQ(frame->commands.back(), last);
  }
}

TEST_F(ProgramBarsTest, ShowsTheFrameWithAnOpenPalette) {
  const char* showMs = std::getenv("OVELIN_BARS_SHOW_MS");
  if (!showMs) GTEST_SKIP() << "set OVELIN_BARS_SHOW_MS to look at it";
  frame->ShowWindow(SW_SHOW);
  equationEdit.SetWindowText("x = sqrt(a^2+b^2)\r\n\r\n");
  frame->UpdateWindow();
  Press(3);
  ASSERT_NE(shortcuts.GetOpenFlyout(), nullptr);
  MoveOntoPalette(4);
  Pump(static_cast<DWORD>(std::atoi(showMs)));
  Release();
  Pump();
}

}  // namespace
