// The on-screen keyboard over the real main frame, on the X display and
// driven by real mouse input: its keys type into the equation text box,
// which keeps the focus; held modifiers, change keys, scaling, dragging,
// hiding with a modifier held, and GDI objects over many repaints.
// With OVELIN_SHOT_HOLD_MS set, one case shows each layout beside the main
// window that long (for screenshots).
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "app/keyboard/ScreenKeyboard.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/RealInput.h"
#include "tests/app/RunningProgram.h"

namespace {

// Pumps messages for a moment (a drain could spin on another window's paints).
void Settle(DWORD ms = 100) { PumpUntil([] { return false; }, ms); }

bool Down(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

bool IsShift(DWORD vk) { return vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT; }
bool IsControl(DWORD vk) { return vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL; }
bool IsAlt(DWORD vk) { return vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU; }

// Every key event that reaches the system while it lives (a low-level hook).
class KeyRecorder {
 public:
  struct Event {
    DWORD vk;
    bool up;
  };
  KeyRecorder() {
    current_ = this;
    hook_ = ::SetWindowsHookExA(WH_KEYBOARD_LL, Record, ::GetModuleHandleA(nullptr), 0);
  }
  ~KeyRecorder() {
    if (hook_) ::UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  bool Hooked() const { return hook_ != nullptr; }
  int Count(bool (*which)(DWORD), bool up) const {
    int count = 0;
    for (const Event& event : events_) count += which(event.vk) && event.up == up;
    return count;
  }

 private:
  static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && current_) {
      const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
      current_->events_.push_back(Event{key->vkCode, (key->flags & LLKHF_UP) != 0});
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline KeyRecorder* current_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<Event> events_;
};

class ScreenKeyboardLive : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    if (HasFatalFailure()) return;
    doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    frame->MoveWindow(10, 10, 640, 480);
    frame->ShowWindow(SW_SHOWNORMAL);
    frame->UpdateWindow();
    ::SetForegroundWindow(frame->m_hWnd);
    edit = app->EquationEditWindow();
    ASSERT_TRUE(PumpUntil([&] { return Idle() && ::GetFocus() == edit; }));
    frame->SendMessage(WM_COMMAND, ID_SCREEN_KEYBOARD, 0);
    ASSERT_TRUE(keyboard.IsWindowVisible());
    keyboard.MoveWindow(660, 10, 400, 230);
    Settle();
  }
  void TearDown() override {
    if (CMainFrame::ScreenKeyboardVisible) frame->SendMessage(WM_COMMAND, ID_SCREEN_KEYBOARD, 0);
    CMainFrame::ScreenKeyboardPage = CMainFrame::kDefaultKeyboardPage;
    AppTest::TearDown();
  }
  bool Idle() {
    app->OnIdle(0);
    app->OnIdle(1);
    return true;
  }

  // The `occurrence`-th key (from 0) that types `text`, or whose special
  // name or caption is `text`.
  QVKeyDef* FindKey(const char* text, int occurrence = 0) const {
    POSITION position = keyboard.Keys().GetHeadPosition();
    while (position) {
      QVKeyDef* key = keyboard.Keys().GetNext(position);
      const bool match = key->outputText.IsEmpty() ? (key->legend == text || key->caption == text)
                                                   : key->outputText == text;
      if (match && occurrence-- == 0) return key;
    }
    return nullptr;
  }
  CPoint ScreenPoint(CPoint client) const {
    keyboard.ClientToScreen(&client);
    return client;
  }
  // A real click on the key's centre; the box keeps the focus throughout.
  void Click(const char* text, int occurrence = 0, const std::function<void()>& beforePress = {}) {
    SCOPED_TRACE(text);
    QVKeyDef* key = FindKey(text, occurrence);
    ASSERT_NE(key, nullptr);
    const CPoint at = ScreenPoint(keyboard.KeyPixelRect(*key).CenterPoint());
    SendMouse(at);
    PumpUntil([&] { return keyboard.DragState() == 0; }, 1000);
    if (beforePress) beforePress();
    SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    SendMouse(at, MOUSEEVENTF_LEFTUP);
    PumpUntil([] { return HIWORD(::GetQueueStatus(QS_MOUSEBUTTON)) == 0; }, 1000);
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == edit; }, 1000));
  }
  bool BoxBecomes(const CString& text) {
    return PumpUntil([&] { return BoxText() == text; }, 3000);
  }
  void ExpectKeysInside() const {
    CRect client;
    keyboard.GetClientRect(&client);
    POSITION position = keyboard.Keys().GetHeadPosition();
    while (position) {
      const CRect key = keyboard.KeyPixelRect(*keyboard.Keys().GetNext(position));
      EXPECT_TRUE(key.left >= 0 && key.top >= 0 && key.right <= client.right && key.bottom <= client.bottom);
    }
  }

  QVScreenKeyboard& keyboard = theScreenKeyboard;
  QVM400Doc* doc = nullptr;
  HWND edit = nullptr;
};

TEST_F(ScreenKeyboardLive, KeysTypeIntoTheBoxAndModifiersHold) {
  EXPECT_EQ(CMainFrame::ScreenKeyboardPage, kLayoutExtended);
  EXPECT_EQ(keyboard.Keys().GetCount(), 95);
  Click("x");
  Click("7");
  Click("sin");
  Click("sr");
  ASSERT_TRUE(BoxBecomes(TwentyLines({"x7sinsr"})));
  EXPECT_EQ(doc->EquationText, TwentyLines({"x7sinsr"}));

  // Shift from the screen makes the next letter a capital, then lets go.
  Click("$SHIFT");
  EXPECT_TRUE(keyboard.IsShiftLatched());
  Click("a");
  Click("b");
  ASSERT_TRUE(BoxBecomes(TwentyLines({"x7sinsrAb"})));
  EXPECT_FALSE(keyboard.IsShiftLatched());
  EXPECT_FALSE(Down(VK_SHIFT));

  // Ctrl stays down until its key is pressed again: Ctrl+Z undoes, no "z".
  Click("$CTRL");
  EXPECT_TRUE(Down(VK_CONTROL));
  Click("z");
  EXPECT_TRUE(keyboard.IsCtrlLatched());
  Click("$CTRL");
  EXPECT_FALSE(Down(VK_CONTROL));
  EXPECT_TRUE(PumpUntil([&] { return BoxText() != TwentyLines({"x7sinsrAb"}); }, 3000));
  EXPECT_EQ(BoxText().Find('z'), -1);
  EXPECT_TRUE(TwentyLines({"x7sinsrAb"}).Find(BoxText().Left(BoxText().Find('\r'))) == 0);
  EXPECT_EQ(::GetFocus(), edit);
}

// A Shift the user holds on the real keyboard is the user's to let go: the
// keyboard neither lets it go after a letter nor latches it again.
TEST_F(ScreenKeyboardLive, KeepsTheUsersOwnShift) {
  KeyRecorder recorder;
  ASSERT_TRUE(recorder.Hooked());
  Click("q", 0, [] { SendKey(VK_SHIFT, false); });
  EXPECT_FALSE(keyboard.IsShiftLatched());
  EXPECT_EQ(recorder.Count(IsShift, true), 0);
  SendKey(VK_SHIFT, true);
  Settle();
  EXPECT_EQ(recorder.Count(IsShift, true), 1);
}

TEST_F(ScreenKeyboardLive, ChangeKeysLeadToTheirLayouts) {
  struct Change {
    int from;
    const char* caption;
    int to;
  };
  const Change changes[] = {{0, "Mini", 1}, {0, "Num", 2}, {0, "Eqn", 3},  {1, "Full", 0},
                            {1, "Num", 2},  {1, "Eqn", 3}, {2, "Mini", 1}, {2, "Full", 0},
                            {2, "Eqn", 3},  {3, "Mini", 1}, {3, "Full", 0}, {3, "Num", 2}};
  const int keyCounts[] = {71, 7, 27, 60};
  for (const Change& change : changes) {
    SCOPED_TRACE(change.caption);
    keyboard.BuildLayout(change.from);
    Settle();
    CRect before;
    keyboard.GetWindowRect(&before);
    Click(change.caption);
    EXPECT_EQ(CMainFrame::ScreenKeyboardPage, change.to);
    EXPECT_EQ(keyboard.Keys().GetCount(), keyCounts[change.to]);
    CRect after;
    keyboard.GetWindowRect(&after);
    const KeyboardPixelSize size = KeyboardLayoutPixelSize(change.to);
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
    EXPECT_EQ(after.Width(), size.width);
    EXPECT_EQ(after.Height(), size.height);
    ExpectKeysInside();
  }
  EXPECT_EQ(BoxText(), EmptyEquationText());  // nothing was typed
  keyboard.BuildLayout(kLayoutEmpty);
  EXPECT_EQ(CMainFrame::ScreenKeyboardPage, 2);
  EXPECT_EQ(keyboard.Keys().GetCount(), 0);
}

TEST_F(ScreenKeyboardLive, ScalesWithItsFrameAndDragsByItsBackground) {
  keyboard.BuildLayout(kLayoutFull);
  keyboard.MoveWindow(660, 300, 500, 200);
  Settle();
  ExpectKeysInside();
  CRect client;
  keyboard.GetClientRect(&client);
  const CRect space = keyboard.KeyPixelRect(*FindKey(" "));
  EXPECT_EQ(space.left, static_cast<int>(31 * (client.Width() / 191.0)));
  EXPECT_EQ(space.bottom, static_cast<int>(51 * (client.Height() / 52.0)));

  // The gap between the main block and the arrows (x 150 to 153) is background.
  CRect before;
  keyboard.GetWindowRect(&before);
  const CPoint gap = ScreenPoint(CPoint(static_cast<int>(152.5 * client.Width() / 191.0), client.Height() / 2));
  SendMouse(gap);
  ASSERT_TRUE(PumpUntil([&] { return keyboard.DragState() == 1; }, 2000));
  SendMouse(gap, MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return keyboard.DragState() == 2; }, 2000));
  SendMouse(CPoint(gap.x - 40, gap.y + 30));
  SendMouse(CPoint(gap.x - 40, gap.y + 30), MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return keyboard.DragState() == 0; }, 2000));
  CRect after;
  keyboard.GetWindowRect(&after);
  EXPECT_EQ(after.left, before.left - 40);
  EXPECT_EQ(after.top, before.top + 30);
  EXPECT_EQ(after.Size(), before.Size());
  ExpectKeysInside();
  EXPECT_EQ(BoxText(), EmptyEquationText());

  // A press on a key never moves the window.
  Click("q");
  CRect still;
  keyboard.GetWindowRect(&still);
  EXPECT_EQ(still, after);

  // Another window takes the mouse in mid-drag: the drag ends where it began.
  const CPoint gap2 = ScreenPoint(CPoint(static_cast<int>(152.5 * client.Width() / 191.0), client.Height() / 2));
  SendMouse(gap2);
  ASSERT_TRUE(PumpUntil([&] { return keyboard.DragState() == 1; }, 2000));
  SendMouse(gap2, MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return keyboard.DragState() == 2; }, 2000));
  SendMouse(CPoint(gap2.x + 25, gap2.y + 25));
  Settle();
  frame->SetCapture();
  EXPECT_EQ(keyboard.DragState(), 0);
  ::ReleaseCapture();
  SendMouse(CPoint(gap2.x + 25, gap2.y + 25), MOUSEEVENTF_LEFTUP);
  Settle();
  keyboard.GetWindowRect(&still);
  EXPECT_EQ(still, after);
}

TEST_F(ScreenKeyboardLive, HidingLetsGoOfHeldModifiers) {
  Click("$CTRL");
  Click("$ALT");
  ASSERT_TRUE(keyboard.IsCtrlLatched());
  ASSERT_TRUE(keyboard.IsAltLatched());
  KeyRecorder recorder;
  frame->SendMessage(WM_COMMAND, ID_SCREEN_KEYBOARD, 0);
  Settle();
  EXPECT_EQ(recorder.Count(IsControl, true), 1);
  EXPECT_EQ(recorder.Count(IsAlt, true), 1);
  EXPECT_FALSE(keyboard.IsWindowVisible());
  EXPECT_FALSE(Down(VK_CONTROL));
  EXPECT_FALSE(Down(VK_MENU));
  EXPECT_FALSE(keyboard.IsCtrlLatched());
  EXPECT_FALSE(keyboard.IsAltLatched());
}

TEST_F(ScreenKeyboardLive, RepaintsAndLayoutsLeaveNoGdiObjects) {
  keyboard.BuildLayout(kLayoutFull);
  Settle();
  const long start = GdiObjectCounter::Alive();
  for (int i = 0; i < 100; ++i) keyboard.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(GdiObjectCounter::Alive(), start);
  const int layouts[] = {kLayoutFull, kLayoutMini, kLayoutNum, kLayoutEqn, kLayoutExtended};
  for (int i = 0; i < 100; ++i) {
    keyboard.BuildLayout(layouts[i % 5]);
    keyboard.UpdateWindow();
  }
  Settle();
  EXPECT_EQ(GdiObjectCounter::Alive(), start);
}

// Every legend fits its key and shows in the text colour at full strength:
// within a key's face (inside its two frames) the columns next to the
// frames hold none of it, and every key with a label shows pixels of that
// colour (the Symbol arrows and radical were smoothed to pale grey, the
// longest words ran over their keys' edges).
TEST_F(ScreenKeyboardLive, LegendsFitTheirKeysAtFullStrength) {
  keyboard.BuildLayout(kLayoutExtended);
  keyboard.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Settle();
  CRect client;
  keyboard.GetClientRect(&client);
  CClientDC window(keyboard.m_hWnd);
  CDC memory;
  memory.CreateCompatibleDC(&window);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&window, client.Width(), client.Height());
  memory.SelectObject(&bitmap);
  memory.BitBlt(0, 0, client.Width(), client.Height(), &window, 0, 0, SRCCOPY);
  auto legend = [&memory](int x, int y) { return ::GetPixel(memory.GetSafeHdc(), x, y) == RGB(0, 0, 0); };
  POSITION position = keyboard.Keys().GetHeadPosition();
  while (position) {
    const QVKeyDef& key = *keyboard.Keys().GetNext(position);
    CString label = key.outputText.IsEmpty() ? key.caption : key.outputText;
    if (label.Trim().IsEmpty()) continue;
    CRect face = keyboard.KeyPixelRect(key);
    face.DeflateRect(3, 3);
    int full = 0;
    for (int y = face.top; y < face.bottom; ++y) {
      EXPECT_FALSE(legend(face.left, y) || legend(face.right - 1, y)) << label << " reaches its key's edge";
      for (int x = face.left; x < face.right; ++x) full += legend(x, y);
    }
    EXPECT_GT(full, 0) << label << " is pale";
  }
}

TEST_F(ScreenKeyboardLive, ShowsEachLayoutForScreenshots) {
  const char* hold = std::getenv("OVELIN_SHOT_HOLD_MS");
  if (!hold) GTEST_SKIP() << "set OVELIN_SHOT_HOLD_MS to look at it";
  Type("x=(-b+-sqrt(b^2-4ac))/(2a)");
  const int layouts[] = {kLayoutExtended, kLayoutFull, kLayoutMini, kLayoutNum, kLayoutEqn};
  for (int layout : layouts) {
    keyboard.BuildLayout(layout);
    if (layout == kLayoutFull) Click("$SHIFT");  // a held modifier shows sunken
    PumpUntil([] { return false; }, static_cast<DWORD>(std::atoi(hold)));
  }
}

}  // namespace

namespace {

struct ProcessWindow {
  DWORD processId;
  HWND found = nullptr;
  bool tool = true;
};

// A visible tool window (the keyboard) of a process, or with `tool` false a
// visible dialog that is not one (a message box).
HWND VisibleToolWindow(DWORD processId, bool tool = true) {
  ProcessWindow search{processId, nullptr, tool};
  ::EnumWindows(
      [](HWND hWnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<ProcessWindow*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hWnd, &owner);
        char name[16] = {};
        ::GetClassNameA(hWnd, name, sizeof name);
        const bool isTool = (::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
        if (owner == s->processId && ::IsWindowVisible(hWnd) && lstrcmpA(name, "#32770") == 0 &&
            isTool == s->tool) {
          s->found = hWnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The first window below `parent` that `match` accepts.
HWND FindChild(HWND parent, const std::function<bool(HWND)>& match) {
  std::pair<const std::function<bool(HWND)>*, HWND> search{&match, nullptr};
  ::EnumChildWindows(
      parent,
      [](HWND hWnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<std::pair<const std::function<bool(HWND)>*, HWND>*>(data);
        if (!(*s->first)(hWnd)) return TRUE;
        s->second = hWnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// The screen centre of the extended layout's key that types `text` (or the
// special key named `text`), in the keyboard window `keyboard` of another process.
POINT ExtendedKeyCentre(HWND keyboard, const char* text) {
  RECT client{};
  ::GetClientRect(keyboard, &client);
  const double scaleX = client.right / 123.0, scaleY = client.bottom / 86.0;  // extent + 2 units
  for (const KeySpec& key : KeyboardLayoutKeys(kLayoutExtended, ".", ",")) {
    if (key.outputText != text && key.legend != text) continue;
    const KeyRect moved{key.rect.left + 1, key.rect.top + 1, key.rect.right + 1, key.rect.bottom + 1};
    const KeyRect pixels = ScaleKeyRect(moved, scaleX, scaleY);
    POINT centre{(pixels.left + pixels.right) / 2, (pixels.top + pixels.bottom) / 2};
    ::ClientToScreen(keyboard, &centre);
    return centre;
  }
  return POINT{-1, -1};
}

// GetWindowText does not ask a window of another process for its text.
std::string EditText(HWND edit) {
  std::string text(static_cast<size_t>(::SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  text.resize(static_cast<size_t>(::SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void ClickAt(POINT at) {
  SendMouse(at);
  Settle();
  SendMouse(at, MOUSEEVENTF_LEFTDOWN);
  SendMouse(at, MOUSEEVENTF_LEFTUP);
  Settle(200);
}

// ovelin.exe itself: its toolbar button shows the keyboard in the extended
// layout, and its keys type into the program's equation text box.
TEST(ProgramScreenKeyboard, ToolbarButtonShowsTheKeyboardAndItsKeysType) {
  TempFolder appData;
  RunningProgram program(appData.Path().string(), "");
  ASSERT_TRUE(program.Started());
  WindowSearch search = program.WaitForDocumentWindow();
  ASSERT_NE(search.main, nullptr);
  HWND edit = FindChild(search.main, [](HWND h) { return ::GetDlgCtrlID(h) == IDC_EQUATION_EDIT; });
  ASSERT_NE(edit, nullptr);
  HWND toolbar = FindChild(search.main, [](HWND h) {
    char name[32] = {};
    ::GetClassNameA(h, name, sizeof name);
    return lstrcmpA(name, "ToolbarWindow32") == 0 &&
           ::SendMessageA(h, TB_COMMANDTOINDEX, ID_SCREEN_KEYBOARD, 0) >= 0;
  });
  ASSERT_NE(toolbar, nullptr);
  const int index = static_cast<int>(::SendMessageA(toolbar, TB_COMMANDTOINDEX, ID_SCREEN_KEYBOARD, 0));
  RECT button{};
  ASSERT_TRUE(RemoteToolbarButtonRect(toolbar, index, button));
  const POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  SendMouse(centre);
  SendMouse(centre, MOUSEEVENTF_LEFTDOWN);
  SendMouse(centre, MOUSEEVENTF_LEFTUP);
  HWND keyboard = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (keyboard = VisibleToolWindow(search.processId)) != nullptr; }, 5000));
  RECT rect{};
  ::GetWindowRect(keyboard, &rect);
  EXPECT_EQ(rect.right - rect.left, 400);
  EXPECT_EQ(rect.bottom - rect.top, 230);
  // Beside (touching) the main window, on the screen, over neither the toolbar nor the box.
  RECT main{}, bar{}, box{}, common{}, screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                                               ::GetSystemMetrics(SM_CYSCREEN)};
  ::GetWindowRect(search.main, &main);
  ::InflateRect(&main, 1, 1);
  ::GetWindowRect(toolbar, &bar);
  ::GetWindowRect(edit, &box);
  EXPECT_TRUE(::IntersectRect(&common, &rect, &main) && !::IntersectRect(&common, &rect, &bar) &&
              !::IntersectRect(&common, &rect, &box) && ::UnionRect(&common, &rect, &screen) &&
              ::EqualRect(&common, &screen));

  // The user puts the caret into the box, then types on the screen keyboard.
  ClickAt(POINT{box.left + 20, box.top + 8});
  for (const char* key : {"y", "=", "3", "cos"}) ClickAt(ExtendedKeyCentre(keyboard, key));
  EXPECT_TRUE(PumpUntil([&] { return EditText(edit).find("y=3cos") != std::string::npos; }, 5000))
      << EditText(edit);

  // Ctrl latched on the keyboard when the program ends is let go: no key
  // stays down after the program and its globals are gone.
  ClickAt(ExtendedKeyCentre(keyboard, "$CTRL"));
  EXPECT_TRUE(PumpUntil([] { return Down(VK_CONTROL); }, 2000));

  // The edited document asks to be saved at the close: no.
  ::PostMessageA(search.main, WM_CLOSE, 0, 0);
  HWND question = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (question = VisibleToolWindow(search.processId, false)) != nullptr; }, 5000));
  ::PostMessageA(question, WM_COMMAND, IDNO, 0);
  EXPECT_EQ(program.CloseAndWait(search.main), 0);
  EXPECT_FALSE(Down(VK_CONTROL));
}

}  // namespace
