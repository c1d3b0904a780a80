// The main frame in this process, hidden: its bars and palettes, the empty
// equation it starts with, undo across the road of an edit, the symbol
// insert commands routed through the frame, the keyboard command, and DDE
// execute requests.
#include <dde.h>

#include <cstring>
#include <string>
#include <utility>

#include "app/frame/SymbolCommands.h"
#include "framework/DocManager.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"

namespace {

using MainFrame = AppTest;

int CaretOf(QVEdit* edit) {
  int start = -1;
  int end = -1;
  edit->GetSel(start, end);
  return start == end ? start : -1;
}

TEST_F(MainFrame, BuildsItsBarsAroundTheEquationBox) {
  EXPECT_EQ(frame->ToolBar().GetCount(), 25);
  EXPECT_EQ(frame->ToolBar().GetItemID(0), static_cast<UINT>(ID_FILE_NEW));
  CStatusBar& status = frame->StatusBar();
  ASSERT_EQ(status.GetCount(), 4);
  EXPECT_EQ(status.GetItemID(0), static_cast<UINT>(ID_SEPARATOR));
  EXPECT_EQ(status.GetItemID(1), static_cast<UINT>(ID_INDICATOR_CAPS));
  EXPECT_EQ(status.GetItemID(3), static_cast<UINT>(ID_INDICATOR_SCRL));
  EXPECT_EQ(frame->EquationBar().GetDlgItem(IDC_EQUATION_EDIT), app->EquationEdit);
  EXPECT_TRUE(app->EquationEdit->GetStyle() & ES_MULTILINE);

  QVFlyoutTrueColor& shortcuts = frame->ShortcutsBar();
  EXPECT_EQ(shortcuts.GetWindowText(), "Shortcuts");
  EXPECT_EQ(shortcuts.GetCount(), 8);
  EXPECT_EQ(shortcuts.holdDelay, 0);
  EXPECT_FALSE(shortcuts.IsFloating());
  EXPECT_TRUE(shortcuts.GetBarStyle() & CBRS_ALIGN_LEFT);
  EXPECT_EQ(shortcuts.GetDockStyle(), CBRS_ALIGN_LEFT);
  // The degree sign's button opens nothing; the next seven open a palette.
  const struct {
    int button;
    int toolbar;
    int width;
  } palettes[] = {{0, 0, 0},     {1, 144, 13}, {2, 199, 13}, {3, 146, 13},
                  {4, 176, 24},  {5, 162, 24}, {6, 148, 24}, {7, 190, 24}};
  for (const auto& p : palettes) {
    const QVFlyoutDescription& d = shortcuts.flyoutDescriptions[p.button];
    EXPECT_EQ(d.toolbarId, p.toolbar) << p.button;
    EXPECT_EQ(d.buttonWidth, p.width) << p.button;
    EXPECT_EQ(d.normalBitmapId, d.hotBitmapId) << p.button;
  }
}

TEST_F(MainFrame, StartsWithTwentyEmptyLinesAndAsksForTheFocus) {
  EXPECT_EQ(BoxText(), EmptyEquationText());
  EXPECT_EQ(app->RefocusEdit, 1);
}

// Writing the window text would empty the box's undo buffer.
TEST_F(MainFrame, TypingAndInsertingKeepUndo) {
  ASSERT_NE(NewDocument(), nullptr);
  SetCaret(0);
  Type("x");
  ASSERT_EQ(BoxText(), TwentyLines({"x"}));
  EXPECT_TRUE(app->EquationEdit->SendMessage(EM_CANUNDO));

  // Away from the typing, so the box keeps the insert as an undo step of its own.
  SetCaret(3);
  frame->SendMessage(WM_COMMAND, ID_GREEK_PI);
  ASSERT_EQ(BoxText(), TwentyLines({"x", "pi"}));
  ASSERT_TRUE(app->EquationEdit->SendMessage(EM_CANUNDO));
  app->EquationEdit->SendMessage(EM_UNDO);
  EXPECT_EQ(BoxText(), TwentyLines({"x"}));
  EXPECT_EQ(ActiveDocument()->EquationText, TwentyLines({"x"}));
}

// Text that needs normalising is still written back, caret kept.
TEST_F(MainFrame, RemovedLineBreaksAreWrittenBack) {
  ASSERT_NE(NewDocument(), nullptr);
  app->EquationEdit->SetSel(0, -1);
  Type("a=b");
  EXPECT_EQ(BoxText(), TwentyLines({"a=b"}));
  EXPECT_EQ(CaretOf(app->EquationEdit), 3);
}

// Every symbol command, sent to the frame as its button would send it,
// replaces the box's selection; the caret ends after the inserted text and
// the document gets the new text.
TEST_F(MainFrame, EverySymbolCommandInsertsItsTextAtTheCaret) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(SymbolCommands().size(), 72u);
  for (const SymbolCommand& command : SymbolCommands()) {
    SCOPED_TRACE(command.text);
    for (const auto& [start, end] : {std::pair{1, 1}, std::pair{4, 6}}) {
      app->EquationEdit->SetSel(0, -1);
      Type(TwentyLines({"ab", "cd"}));
      app->EquationEdit->SetSel(start, end);
      const EditState before{BoxText(), start, end};
      const EditState expected = ApplySymbolCommand(before, command);
      frame->SendMessage(WM_COMMAND, command.id);
      EXPECT_EQ(BoxText(), expected.text);
      EXPECT_EQ(CaretOf(app->EquationEdit), expected.selStart);
      EXPECT_EQ(doc->EquationText, expected.text);
      app->EquationEdit->SendMessage(EM_UNDO);
      EXPECT_EQ(BoxText(), before.text);
    }
  }
}

TEST_F(MainFrame, SymbolTextsAreInsertedExactly) {
  ASSERT_NE(NewDocument(), nullptr);
  const struct {
    UINT id;
    const char* line;
  } cases[] = {{ID_SYMBOL_DIVIDE, "/ "},
               {ID_EQUATION_NUMBER_3, " (3) "},
               {ID_GREEK_DELTA, "de"},
               {ID_GREEK_UPPER_DELTA, "DE"},
               {ID_SYMBOL_PROPER_SUBSET, "propersubset"}};
  for (const auto& c : cases) {
    app->EquationEdit->SetSel(0, -1);
    Type(EmptyEquationText());
    SetCaret(0);
    frame->SendMessage(WM_COMMAND, c.id);
    EXPECT_EQ(BoxText(), TwentyLines({c.line}));
  }
  // With "abc" selected, pi takes its place.
  app->EquationEdit->SetSel(0, -1);
  Type(TwentyLines({"abc"}));
  app->EquationEdit->SetSel(0, 3);
  frame->SendMessage(WM_COMMAND, ID_GREEK_PI);
  EXPECT_EQ(BoxText(), TwentyLines({"pi"}));
  EXPECT_EQ(CaretOf(app->EquationEdit), 2);
}

TEST_F(MainFrame, SymbolCommandsHaveHandlersOnlyWithADocument) {
  AFX_CMDHANDLERINFO info;
  EXPECT_FALSE(frame->OnCmdMsg(ID_GREEK_PI, CN_COMMAND, nullptr, &info));
  ASSERT_NE(NewDocument(), nullptr);
  for (const SymbolCommand& command : SymbolCommands())
    EXPECT_TRUE(frame->OnCmdMsg(command.id, CN_COMMAND, nullptr, &info)) << command.id;
  // Button 23 of the lower-case Greek palette has no handler.
  EXPECT_FALSE(frame->OnCmdMsg(32945, CN_COMMAND, nullptr, &info));
}

TEST_F(MainFrame, KeyboardCommandTogglesItsCheckMark) {
  struct Check : CCmdUI {
    void SetCheck(int check) override { checked = check; }
    int checked = -1;
  };
  ASSERT_EQ(CMainFrame::ScreenKeyboardVisible, 0);
  EXPECT_EQ(CMainFrame::ScreenKeyboardPage, 5);
  frame->SendMessage(WM_COMMAND, ID_SCREEN_KEYBOARD);
  Check check;
  check.m_nID = ID_SCREEN_KEYBOARD;
  check.DoUpdate(frame, TRUE);
  EXPECT_EQ(check.checked, 1);
  frame->SendMessage(WM_COMMAND, ID_SCREEN_KEYBOARD);
  check.DoUpdate(frame, TRUE);
  EXPECT_EQ(check.checked, 0);
  EXPECT_EQ(CMainFrame::ScreenKeyboardVisible, 0);
}

// --- DDE -------------------------------------------------------------------------------

// A block of exactly `bytes`, with no terminator unless the bytes hold one.
HGLOBAL Block(const std::string& bytes) {
  HGLOBAL handle = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
  if (!handle) return nullptr;
  std::memcpy(::GlobalLock(handle), bytes.data(), bytes.size());
  ::GlobalUnlock(handle);
  return handle;
}

TEST(ReadDDECommand, StopsAtTheEndOfItsBlockOrAtTheLimit) {
  // Eight bytes without a terminator, with unterminated neighbours that an
  // unbounded read would run into.
  HGLOBAL before = Block(std::string(64, 'B'));
  HGLOBAL handle = Block("[open()]");
  HGLOBAL after = Block(std::string(64, 'C'));
  ASSERT_NE(handle, nullptr);
  const SIZE_T size = ::GlobalSize(handle);
  ASSERT_GE(size, 8u);
  std::memset(static_cast<char*>(::GlobalLock(handle)) + 8, 'A', size - 8);
  ::GlobalUnlock(handle);
  CString command;
  ASSERT_TRUE(ReadDDECommand(handle, 519, command));
  EXPECT_EQ(command, CString("[open()]") + CString('A', static_cast<int>(size - 8)));
  ASSERT_TRUE(ReadDDECommand(handle, 3, command));
  EXPECT_EQ(command, "[op");
  for (HGLOBAL h : {before, handle, after}) ::GlobalFree(h);
}

TEST(ReadDDECommand, RefusesABlockThatCannotBeLocked) {
  CString command = "left";
  EXPECT_FALSE(ReadDDECommand(nullptr, 519, command));
  HGLOBAL discarded = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DISCARDABLE, 0);
  ASSERT_NE(discarded, nullptr);
  EXPECT_FALSE(ReadDDECommand(discarded, 519, command));
  ::GlobalFree(discarded);
}

// A window that records the acknowledgements it gets.
class DdeClient {
 public:
  DdeClient() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "OvelinTestDdeClient";
    ::RegisterClassA(&wc);
    hWnd = ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           wc.hInstance, nullptr);
  }
  ~DdeClient() { ::DestroyWindow(hWnd); }
  // Posts `command` to `server` in a block without a terminator, as a DDE
  // client does; the status of the acknowledgement, or -1 when none came.
  int Execute(CWnd* server, const std::string& command) {
    Status() = -1;
    HGLOBAL block = Block(command);
    server->PostMessage(WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(hWnd),
                        ::PackDDElParam(WM_DDE_EXECUTE, 0, reinterpret_cast<UINT_PTR>(block)));
    PumpUntil([] { return Status() != -1; }, 2000);
    ::GlobalFree(block);
    return Status();
  }
  HWND hWnd = nullptr;

 private:
  static int& Status() {
    static int status = -1;
    return status;
  }
  static LRESULT CALLBACK Proc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DDE_ACK) return ::DefWindowProcA(h, message, wParam, lParam);
    UINT_PTR low = 0;
    UINT_PTR high = 0;
    ::UnpackDDElParam(WM_DDE_ACK, lParam, &low, &high);
    ::FreeDDElParam(WM_DDE_ACK, lParam);
    Status() = static_cast<int>(low);
    return 0;
  }
};

// An open command whose closing bracket stands at index `bracketAt`,
// padded in front with blanks (which the command's reader skips).
std::string OpenCommandEndingAt(const std::string& path, size_t bracketAt) {
  const std::string command = "[open(\"" + path + "\")]";
  return std::string(bracketAt + 1 - command.size(), ' ') + command;
}

TEST_F(MainFrame, DdeOpenIsCutTo519Characters) {
  const std::string path = SaveEquationFile("dde.qvm", "y=2x");
  ASSERT_FALSE(path.empty());
  DdeClient client;
  ASSERT_NE(client.hWnd, nullptr);

  // 600 characters: the bracket at index 519 is cut off, so nothing opens.
  std::string command = OpenCommandEndingAt(path, 519);
  command.append(600 - command.size(), ' ');
  EXPECT_EQ(client.Execute(frame, command), 0x8000);
  EXPECT_EQ(ActiveDocument(), nullptr);
  // At index 518 it is the command's last character and the file opens.
  EXPECT_EQ(client.Execute(frame, OpenCommandEndingAt(path, 518)), 0x8000);
  ASSERT_NE(ActiveDocument(), nullptr);
  EXPECT_EQ(ActiveDocument()->GetEquationText(), TwentyLines({"y=2x"}));
}

TEST_F(MainFrame, DdeWhileDisabledIsAcknowledgedAndDropped) {
  const std::string path = SaveEquationFile("later.qvm", "");
  ASSERT_FALSE(path.empty());
  DdeClient client;
  frame->EnableWindow(FALSE);
  EXPECT_EQ(client.Execute(frame, "[open(\"" + path + "\")]"), 0x8000);
  frame->EnableWindow(TRUE);
  EXPECT_EQ(ActiveDocument(), nullptr);
}

}  // namespace
