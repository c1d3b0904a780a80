// Command routing and update-UI in an MDI program.
#include <gtest/gtest.h>

#include "tests/window/MdiFixture.h"

namespace {

using RoutingTest = MdiTest;

UINT MenuState(HMENU menu, UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND); }

// The "Edit" popup of the menu now on the main frame, after it was opened.
HMENU OpenEditMenu(CFrameWnd* frame) {
  HMENU edit = ::GetSubMenu(frame->GetMenu(), 1);
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), MAKELPARAM(1, FALSE));
  return edit;
}

TEST_F(RoutingTest, CommandVisitsViewDocumentChildFrameMainFrameApplication) {
  ASSERT_NE(NewDocument(), nullptr);
  main->SendMessage(WM_COMMAND, ID_CMD_CHAIN);
  EXPECT_EQ(g_route, (std::vector<std::string>{"view", "doc", "child", "main", "app"}));
}

TEST_F(RoutingTest, FirstHandlerOnTheRouteWins) {
  ASSERT_NE(NewDocument(), nullptr);
  struct Case {
    UINT id;
    const char* handler;
  };
  const Case cases[] = {
      {ID_CMD_VIEW, "view"}, {ID_CMD_DOC, "doc"}, {ID_CMD_MAIN, "main"}, {ID_CMD_APP, "app"}};
  for (const Case& c : cases) {
    g_route.clear();
    main->SendMessage(WM_COMMAND, c.id);
    EXPECT_EQ(g_route, std::vector<std::string>{c.handler}) << c.id;
  }
}

TEST_F(RoutingTest, WithoutADocumentTheFrameAndApplicationRemain) {
  main->SendMessage(WM_COMMAND, ID_CMD_CHAIN);
  EXPECT_EQ(g_route, (std::vector<std::string>{"main", "app"}));
  g_route.clear();
  main->SendMessage(WM_COMMAND, ID_CMD_DOC);
  EXPECT_TRUE(g_route.empty());
}

TEST_F(RoutingTest, CommandSentToTheChildFrameStillReachesMainFrameAndApplication) {
  ASSERT_NE(NewDocument(), nullptr);
  main->MDIGetActive()->SendMessage(WM_COMMAND, ID_CMD_CHAIN);
  EXPECT_EQ(g_route, (std::vector<std::string>{"view", "doc", "child", "main", "app"}));
}

TEST_F(RoutingTest, MenuDisablesUnhandledCommandsAndRunsUpdateHandlers) {
  ASSERT_NE(NewDocument(), nullptr);
  HMENU edit = OpenEditMenu(main);
  EXPECT_EQ(MenuState(edit, ID_CMD_DOC) & MF_GRAYED, 0u);
  EXPECT_EQ(MenuState(edit, ID_CMD_MAIN) & MF_GRAYED, 0u);
  EXPECT_NE(MenuState(edit, ID_CMD_NOBODY) & MF_GRAYED, 0u);
  EXPECT_NE(MenuState(edit, ID_CMD_CHECKED) & MF_CHECKED, 0u);
  EXPECT_NE(MenuState(edit, ID_CMD_DISABLED) & MF_GRAYED, 0u);
}

bool Enabled(CFrameWnd* frame, UINT id) {
  CTestCmdUI state;
  state.m_nID = id;
  state.DoUpdate(frame, TRUE);
  return state.m_bEnabled;
}

TEST_F(RoutingTest, DocumentCommandIsEnabledOnlyWhileADocumentIsActive) {
  EXPECT_FALSE(Enabled(main, ID_CMD_DOC));
  TestDoc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(Enabled(main, ID_CMD_DOC));
  doc->OnCloseDocument();
  EXPECT_EQ(OpenCount(), 0);
  EXPECT_FALSE(Enabled(main, ID_CMD_DOC));
  EXPECT_FALSE(Enabled(main, ID_CMD_NOBODY));
  EXPECT_TRUE(Enabled(main, ID_CMD_MAIN));
}

TEST_F(RoutingTest, MenuItemOfTheDocumentIsDisabledOnceTheDocumentCloses) {
  TestDoc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(MenuState(OpenEditMenu(main), ID_CMD_DOC) & MF_GRAYED, 0u);
  doc->OnCloseDocument();
  // Back on the frame's own menu.
  HMENU frameEdit = OpenEditMenu(main);
  EXPECT_EQ(MenuState(frameEdit, ID_CMD_CHECKED), static_cast<UINT>(-1));
  EXPECT_NE(MenuState(frameEdit, ID_CMD_DOC) & MF_GRAYED, 0u);
  EXPECT_EQ(MenuState(frameEdit, ID_CMD_MAIN) & MF_GRAYED, 0u);
}

TEST_F(RoutingTest, DisabledCommandDoesNotRunFromAnAccelerator) {
  main->SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_DISABLED, 1), 0);
  EXPECT_TRUE(g_route.empty());
}

}  // namespace
