// Print preview of a view of three pages: paging one page at a time, two
// pages side by side, zoom, and which buttons can be pressed at each step.
#include <gtest/gtest.h>

#include "framework/Preview.h"
#include "tests/window/MdiFixture.h"

namespace {

using PreviewTest = MdiTest;

bool Enabled(CFrameWnd* frame, UINT command) {
  CTestCmdUI state;
  state.m_nID = command;
  frame->OnCmdMsg(command, CN_UPDATE_COMMAND_UI, &state, nullptr);
  return state.m_bEnabled;
}

TEST_F(PreviewTest, PagesThroughThreePagesOneOrTwoAtATime) {
  ASSERT_NE(NewDocument(), nullptr);
  auto* view = static_cast<TestView*>(main->MDIGetActive()->GetActiveView());
  view->pages = 3;
  CPreviewView* preview = view->OpenPrintPreview();
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->GetPageCount(), 3u);
  EXPECT_EQ(main->GetPreview(), preview);
  struct Step {
    UINT command;  // sent as the button sends it (0: none)
    UINT firstPage;
    int shown;
    bool next, prev, twoPages;
  };
  const Step steps[] = {
      {0, 1, 1, true, false, true},
      {ID_PREVIEW_NEXT, 2, 1, true, true, true},
      {ID_PREVIEW_NUMPAGE, 2, 2, false, true, true},  // pages 2 and 3: the last shows
      {ID_PREVIEW_NEXT, 2, 2, false, true, true},     // refused
      {ID_PREVIEW_PREV, 1, 2, true, false, true},
      {ID_PREVIEW_ZOOMIN, 1, 1, true, false, false},  // zoomed in: one page
      {ID_PREVIEW_ZOOMOUT, 1, 2, true, false, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.command);
    if (step.command) main->SendMessage(WM_COMMAND, step.command);
    EXPECT_EQ(preview->GetCurrentPage(), step.firstPage);
    EXPECT_EQ(preview->GetShownPages(), step.shown);
    EXPECT_EQ(Enabled(main, ID_PREVIEW_NEXT), step.next);
    EXPECT_EQ(Enabled(main, ID_PREVIEW_PREV), step.prev);
    EXPECT_EQ(Enabled(main, ID_PREVIEW_NUMPAGE), step.twoPages);
  }
  main->SendMessage(WM_COMMAND, ID_PREVIEW_CLOSE);  // ends at the next message
  DrainMessages();
  EXPECT_EQ(main->GetPreview(), nullptr);
  EXPECT_NE(main->GetMenu(), nullptr);
}

}  // namespace
