// Document windows of the main frame shown on the X display, driven with the
// real mouse and keys: the frame's title names the active document, the
// "Window" popup lists every document window and switches between them, a
// maximised document window has its icon and buttons on the menu bar, and
// print preview takes over the frame with its bar of buttons and gives it
// back as it was; a document window switched back to shows its picture as
// a fresh paint would, out to the view's edges.
#include <string>
#include <vector>

#include "framework/FileDialog.h"
#include "framework/Preview.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/RealInput.h"

namespace {

void Click(POINT point) {
  SendMouse(point);
  SendMouse(point, MOUSEEVENTF_LEFTDOWN);
  SendMouse(point, MOUSEEVENTF_LEFTUP);
}

CPoint Centre(const RECT& rect) {
  return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// The position of the item with `id` in `menu` (in a popup when `popup`).
int PositionOf(HMENU menu, UINT id, bool popup = false) {
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    HMENU sub = ::GetSubMenu(menu, i);
    if (popup ? sub && ::GetMenuState(sub, id, MF_BYCOMMAND) != static_cast<UINT>(-1)
              : ::GetMenuItemID(menu, i) == id)
      return i;
  }
  return -1;
}

// The columns (or, `byRow`, the rows) of a `width`-wide picture in which
// `shown` and `repainted` differ: the strips left as they were.
int DifferingLines(const std::vector<COLORREF>& shown, const std::vector<COLORREF>& repainted,
                   int width, bool byRow) {
  if (shown.size() != repainted.size() || width <= 0) return -1;
  const int height = static_cast<int>(shown.size()) / width;
  int count = 0;
  for (int line = 0; line < (byRow ? height : width); ++line) {
    for (int i = 0; i < (byRow ? width : height); ++i) {
      const size_t at = static_cast<size_t>(byRow ? line * width + i : i * width + line);
      if (shown[at] == repainted[at]) continue;
      ++count;
      break;
    }
  }
  return count;
}

class DocumentWindows : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    if (HasFatalFailure()) return;
    first = SaveEquationFile("walk1.qvm", "x=1");
    second = SaveEquationFile("walk2.qvm", "y=2");
    frame->ShowWindow(SW_SHOWNORMAL);
    frame->UpdateWindow();
    ::SetForegroundWindow(frame->m_hWnd);
  }
  std::string Title() const { return AfxGetWindowText(frame->m_hWnd).GetString(); }
  // The frame's title once idle time has brought it up to date.
  std::string TitleAtIdle() {
    PumpUntil([&] { return app->OnIdle(0), ::GetQueueStatus(QS_ALLINPUT) == 0; }, 2000);
    app->OnIdle(0);
    return Title();
  }
  HMENU Bar() const { return ::GetMenu(frame->m_hWnd); }
  // The document entries of the "Window" popup, "*" after the checked one.
  std::string WindowList() const {
    HMENU popup = frame->GetWindowMenuPopup(Bar());
    std::string list;
    for (int i = 0; popup && i < ::GetMenuItemCount(popup); ++i) {
      if (::GetMenuItemID(popup, i) < AFX_IDM_FIRST_MDICHILD) continue;
      char text[128] = {};
      ::GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
      list += std::string(list.empty() ? "" : "|") + text;
      if (::GetMenuState(popup, i, MF_BYPOSITION) & MF_CHECKED) list += "*";
    }
    return list;
  }
  // The child's system menu first, its minimise, restore and close last.
  bool ChildControlsOnTheBar() const {
    MENUITEMINFOA icon{sizeof icon, MIIM_FTYPE | MIIM_SUBMENU};
    return ::GetMenuItemInfoA(Bar(), 0, TRUE, &icon) && icon.hSubMenu &&
           (icon.fType & MFT_BITMAP) && PositionOf(Bar(), SC_MINIMIZE) > 0 &&
           PositionOf(Bar(), SC_RESTORE) > 0 && PositionOf(Bar(), SC_CLOSE) > 0;
  }
  // Opens popup `barIndex` of the menu bar and clicks its item `command`.
  bool ChooseFromMenu(UINT command, const std::function<bool()>& done) {
    const int barIndex = PositionOf(Bar(), command, true);
    HMENU popup = ::GetSubMenu(Bar(), barIndex);
    RunLater(500, [popup, command] {
      RECT item{};
      ::GetMenuItemRect(::FindWindowA("#32768", nullptr), popup,
                        static_cast<UINT>(PositionOf(popup, command)), &item);
      Click(Centre(item));
    });
    RECT title{};
    ::GetMenuItemRect(frame->m_hWnd, Bar(), static_cast<UINT>(barIndex), &title);
    Click(Centre(title));
    return PumpUntil(done);
  }

  CWnd* PreviewBar() const { return frame->GetDlgItem(AFX_IDW_PREVIEW_BAR); }
  CRect ButtonRect(UINT id) const {
    CRect rect;
    if (CWnd* bar = PreviewBar()) bar->GetDlgItem(static_cast<int>(id))->GetWindowRect(&rect);
    return rect;
  }

  std::string first, second;
};

TEST_F(DocumentWindows, TitleAndWindowMenuFollowOpeningSwitchingClosingAndSaveAs) {
  ASSERT_NE(app->OpenDocumentFile(first.c_str()), nullptr);
  EXPECT_EQ(WindowList(), "&1 walk1.qvm*");
  ASSERT_NE(app->OpenDocumentFile(second.c_str()), nullptr);
  EXPECT_EQ(BoxText(), ActiveDocument()->EquationText);  // put in after the picture
  EXPECT_EQ(TitleAtIdle(), "Ovelin 4 - [walk2.qvm]");
  EXPECT_EQ(WindowList(), "&1 walk1.qvm|&2 walk2.qvm*");
  EXPECT_TRUE(ChildControlsOnTheBar());

  EXPECT_TRUE(ChooseFromMenu(AFX_IDM_FIRST_MDICHILD,
                             [&] { return Title() == "Ovelin 4 - [walk1.qvm]"; }));
  EXPECT_EQ(WindowList(), "&1 walk1.qvm*|&2 walk2.qvm");
  EXPECT_STREQ(ActiveDocument()->GetPathName(), first.c_str());

  RECT close{};  // the document window's own close button, on the menu bar
  ASSERT_TRUE(::GetMenuItemRect(frame->m_hWnd, Bar(), PositionOf(Bar(), SC_CLOSE), &close));
  Click(Centre(close));
  EXPECT_TRUE(PumpUntil([&] { return app->GetOpenDocumentCount() == 1; }));
  EXPECT_EQ(TitleAtIdle(), "Ovelin 4 - [walk2.qvm]");
  EXPECT_EQ(WindowList(), "&1 walk2.qvm*");

  static std::string renamed;
  renamed = appData.File("walk3.qvm");
  auto previous = CFileDialog::SetFileDialogHook([](CFileDialog& dialog) -> INT_PTR {
    dialog.SetPathName(renamed.c_str());
    return IDOK;
  });
  frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
  CFileDialog::SetFileDialogHook(previous);
  EXPECT_EQ(TitleAtIdle(), "Ovelin 4 - [walk3.qvm]");
  EXPECT_EQ(WindowList(), "&1 walk3.qvm*");

  frame->SendMessage(WM_COMMAND, ID_WINDOW_CASCADE);
  EXPECT_FALSE(::IsZoomed(frame->MDIGetActive()->m_hWnd));
  EXPECT_FALSE(ChildControlsOnTheBar());
  EXPECT_EQ(TitleAtIdle(), "Ovelin 4 - walk3.qvm");
  EXPECT_TRUE(TakeShownBoxes().empty());
}

// Ctrl+N maximises the new window over the first, which the MDI client
// restores behind it; Ctrl+F6 maximises the first again. Its view must then
// show what a repaint of the whole view draws: the wide, tall equation out
// to the right and bottom edges, with no strip left blank.
TEST_F(DocumentWindows, WindowSwitchedBackToShowsItsWholePicture) {
  const std::string wide = SaveEquationFile("wide.qvm", WideLines("x+1/2+"));
  ASSERT_FALSE(wide.empty());
  QVM400Doc* doc = static_cast<QVM400Doc*>(app->OpenDocumentFile(wide.c_str()));
  ASSERT_NE(doc, nullptr);
  QVM400View* view = ViewOf(doc);
  ASSERT_TRUE(PumpUntil([&] { return app->OnIdle(0), ::GetQueueStatus(QS_ALLINPUT) == 0; }));
  ASSERT_TRUE(view->GetStyle() & WS_HSCROLL);

  Stroke('N', false, true);
  ASSERT_TRUE(PumpUntil([&] { return app->GetOpenDocumentCount() == 2; }));
  ASSERT_TRUE(PumpUntil([&] { return app->OnIdle(0), ::GetQueueStatus(QS_ALLINPUT) == 0; }));
  Stroke(VK_F6, false, true);
  ASSERT_TRUE(PumpUntil([&] { return ActiveDocument() == doc; }));
  ASSERT_TRUE(PumpUntil([&] { return app->OnIdle(0), ::GetQueueStatus(QS_ALLINPUT) == 0; }));
  ASSERT_TRUE(::IsZoomed(frame->MDIGetActive()->m_hWnd));

  CRect client;
  view->GetClientRect(&client);
  const std::vector<COLORREF> shown = ShownPixels(view->m_hWnd, false);
  const std::vector<COLORREF> repainted = ShownPixels(view->m_hWnd);
  EXPECT_EQ(DifferingLines(shown, repainted, client.Width(), false), 0) << "columns";
  EXPECT_EQ(DifferingLines(shown, repainted, client.Width(), true), 0) << "rows";
}

TEST_F(DocumentWindows, PrintPreviewButtonsZoomAndTheWayBack) {
  ASSERT_NE(app->OpenDocumentFile(first.c_str()), nullptr);
  const HMENU menu = Bar();
  frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  CPreviewView* preview = frame->GetPreview();
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(Bar(), nullptr);
  EXPECT_FALSE(frame->ToolBar().IsWindowVisible());
  const int realWidth = ::MulDiv(21000, 96, 2540);  // A4 at the screen's size
  struct Press {
    UINT button;
    int zoom, shown;
    const char* pagesCaption;  // of the Two Page / One Page button
  };
  const Press presses[] = {
      {ID_PREVIEW_NEXT, 0, 1, "&Two Page"},  // a one-page equation: both refused
      {ID_PREVIEW_PREV, 0, 1, "&Two Page"},    {ID_PREVIEW_NUMPAGE, 0, 2, "&One Page"},
      {ID_PREVIEW_NUMPAGE, 0, 1, "&Two Page"}, {ID_PREVIEW_ZOOMIN, 1, 1, "&Two Page"},
      {ID_PREVIEW_ZOOMIN, 2, 1, "&Two Page"},  {ID_PREVIEW_ZOOMIN, 2, 1, "&Two Page"},
      {ID_PREVIEW_ZOOMOUT, 1, 1, "&Two Page"}, {ID_PREVIEW_ZOOMOUT, 0, 1, "&Two Page"},
  };
  for (const Press& press : presses) {
    SCOPED_TRACE(press.button);
    Click(Centre(ButtonRect(press.button)));
    PumpUntil([&] {
      return app->OnIdle(0), preview->GetZoom() == press.zoom &&
                                 preview->GetShownPages() == press.shown;
    });
    DrainMessages();
    app->OnIdle(0);
    EXPECT_EQ(preview->GetZoom(), press.zoom);
    EXPECT_EQ(preview->GetShownPages(), press.shown);
    EXPECT_STREQ(PreviewBar()->GetDlgItem(ID_PREVIEW_NUMPAGE)->GetWindowText(),
                 press.pagesCaption);
    EXPECT_STREQ(frame->StatusBar().GetPaneText(0), "Page 1");
    if (press.zoom == 2) {
      EXPECT_EQ(preview->PageRect(CRect(0, 0, 100, 100)).Width(), realWidth);
    }
  }

  Stroke(VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return frame->GetPreview() == nullptr; }));
  EXPECT_EQ(Bar(), menu);
  EXPECT_TRUE(frame->ToolBar().IsWindowVisible() && frame->EquationBar().IsWindowVisible());
  EXPECT_TRUE(::IsWindowVisible(frame->m_hWndMDIClient));
  // The menu works again: it opens the preview, whose Close ends it.
  ASSERT_TRUE(ChooseFromMenu(ID_FILE_PRINT_PREVIEW, [&] { return frame->GetPreview(); }));
  Click(Centre(ButtonRect(ID_PREVIEW_CLOSE)));
  EXPECT_TRUE(PumpUntil([&] { return frame->GetPreview() == nullptr && Bar() == menu; }));

  // Print closes the preview and prints (Wine has no printer: it says so).
  frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  ASSERT_NE(frame->GetPreview(), nullptr);
  DialogScript printerMissing(1000, [](HWND) {});  // the system's own word on it
  Click(Centre(ButtonRect(ID_PREVIEW_PRINT)));
  EXPECT_TRUE(PumpUntil([&] { return frame->GetPreview() == nullptr && Bar() == menu; }));
  DrainMessages();
  const std::vector<ShownBox> boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("No printer"), std::string::npos);
}

}  // namespace
