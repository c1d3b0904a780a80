// The main frame shown on the X display and driven by real input: key and
// mouse events go through the X server into the focused window, as a
// person's would. The box gets the focus at the first idle moment, typed
// keys reach the document, a palette of the "Shortcuts" bar inserts its
// symbol at the caret and the box's undo takes it back.
// With OVELIN_SHOT_HOLD_MS set, one case holds a multi-line equation and
// then an open palette on screen that long each (for screenshots).
#include <cstdlib>
#include <string>

#include "app/frame/ChildFrame.h"
#include "framework/DocManager.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/RealInput.h"
#include "tests/window/WinTestSupport.h"

namespace {

// True when `top` and every visible window inside it have been painted:
// none holds an update region that still waits for WM_PAINT.
bool NothingLeftToPaint(HWND top) {
  if (::IsWindowVisible(top) && ::GetUpdateRect(top, nullptr, FALSE)) return false;
  bool clean = true;
  ::EnumChildWindows(
      top,
      [](HWND child, LPARAM flag) -> BOOL {
        if (!::IsWindowVisible(child) || !::GetUpdateRect(child, nullptr, FALSE)) return TRUE;
        *reinterpret_cast<bool*>(flag) = false;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&clean));
  return clean;
}

// A view that counts the times it draws its document.
class CountingView : public QVM400View {
  DECLARE_DYNCREATE(CountingView)
 public:
  void OnDraw(CDC* dc) override {
    ++draws;
    QVM400View::OnDraw(dc);
  }
  int draws = 0;
};
IMPLEMENT_DYNCREATE(CountingView, QVM400View)

class LiveFrame : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    if (HasFatalFailure()) return;
    doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    frame->ShowWindow(SW_SHOWNORMAL);
    frame->UpdateWindow();
    ::SetForegroundWindow(frame->m_hWnd);
    edit = app->EquationEditWindow();
    ASSERT_TRUE(PumpUntil([&] { return Idle() && ::GetFocus() == edit; }));
  }
  // Two idle calls, as the message loop makes them when the queue is empty.
  bool Idle() {
    app->OnIdle(0);
    app->OnIdle(1);
    return true;
  }
  bool BoxBecomes(const CString& text) {
    return PumpUntil([&] { return BoxText() == text; }, 3000);
  }

  QVM400Doc* doc = nullptr;
  HWND edit = nullptr;
};

TEST_F(LiveFrame, TypedKeysReachTheDocumentAndUndoTakesThemBack) {
  EXPECT_EQ(BoxText(), EmptyEquationText());
  TypeKeys("x=1");
  ASSERT_TRUE(BoxBecomes(TwentyLines({"x=1"})));
  EXPECT_EQ(doc->EquationText, TwentyLines({"x=1"}));
  EXPECT_EQ(doc->Equation.Engines[0]->GetText(), "x=1");
  // Enter moves down a line instead of breaking it; Tab types the mark.
  Stroke(VK_RETURN);
  TypeKeys("y");
  Stroke(VK_TAB);
  ASSERT_TRUE(BoxBecomes(TwentyLines({"x=1", "y\xBB"})));
  EXPECT_EQ(doc->Equation.Engines[1]->GetText(), "y\xBB");
  Stroke('Z', false, true);
  ASSERT_TRUE(BoxBecomes(TwentyLines({"x=1"})));
  EXPECT_EQ(doc->EquationText, TwentyLines({"x=1"}));
}

// After typing, and with a palette open, every window gets its paint and
// then stays valid: a window that keeps asking for paints would keep the
// system from painting the others (the box's text, the palette's symbols).
TEST_F(LiveFrame, TypedTextAndAnOpenPaletteGetPaintedAndStayValid) {
  TypeKeys("x=1/2");
  ASSERT_TRUE(BoxBecomes(TwentyLines({"x=1/2"})));
  EXPECT_TRUE(PumpUntil([&] { return NothingLeftToPaint(frame->m_hWnd); }, 2000));

  QVFlyoutTrueColor& shortcuts = frame->ShortcutsBar();
  SendMouse(ScreenCentre(shortcuts, 1));
  SendMouse(ScreenCentre(shortcuts, 1), MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return shortcuts.GetOpenFlyout() != nullptr; }));
  const HWND popup = shortcuts.GetOpenFlyout()->GetFloatingFrame();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(PumpUntil(
      [&] { return NothingLeftToPaint(popup) && NothingLeftToPaint(frame->m_hWnd); }, 2000));
  SendMouse(CPoint(5, 5), MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(PumpUntil([&] { return shortcuts.GetOpenFlyout() == nullptr; }));
}

// Pressed on the bar, the palette opens at once; released over pi, its
// text goes in at the caret, and Ctrl+Z takes exactly that insert back.
TEST_F(LiveFrame, PaletteInsertsAtTheCaretAndUndoRestoresTheText) {
  TypeKeys("a+b");
  Stroke(VK_LEFT);
  ASSERT_TRUE(BoxBecomes(TwentyLines({"a+b"})));
  ASSERT_TRUE(PumpUntil([&] {
    int start = 0, end = 0;
    app->EquationEdit->GetSel(start, end);
    return start == 2;
  }));

  QVFlyoutTrueColor& shortcuts = frame->ShortcutsBar();
  SendMouse(ScreenCentre(shortcuts, 1));
  SendMouse(ScreenCentre(shortcuts, 1), MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return shortcuts.GetOpenFlyout() != nullptr; }));
  CFlyout* palette = shortcuts.GetOpenFlyout();
  ASSERT_EQ(palette->GetItemID(0), static_cast<UINT>(ID_GREEK_PI));
  SendMouse(ScreenCentre(*palette, 0));
  ASSERT_TRUE(PumpUntil([&] { return palette->hotIndex == 0; }));
  SendMouse(ScreenCentre(*palette, 0), MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(BoxBecomes(TwentyLines({"a+pib"})));
  EXPECT_EQ(doc->EquationText, TwentyLines({"a+pib"}));
  EXPECT_EQ(shortcuts.GetOpenFlyout(), nullptr);

  ASSERT_TRUE(PumpUntil([&] { return Idle() && ::GetFocus() == edit; }));
  int start = 0, end = 0;
  app->EquationEdit->GetSel(start, end);
  EXPECT_EQ(start, 4);
  Stroke('Z', false, true);
  ASSERT_TRUE(BoxBecomes(TwentyLines({"a+b"})));
  EXPECT_EQ(doc->EquationText, TwentyLines({"a+b"}));
}

// Ends with OK every dialog this thread shows, until destroyed.
class DialogCloser {
 public:
  DialogCloser() { Arm(); }
  ~DialogCloser() {
    if (timer_) CancelRunLater(timer_);
  }

 private:
  void Arm() {
    timer_ = RunLater(30, [this] {
      ::EnumThreadWindows(
          ::GetCurrentThreadId(),
          [](HWND window, LPARAM) -> BOOL {
            char name[16] = {};
            ::GetClassNameA(window, name, sizeof name);
            if (::IsWindowVisible(window) && std::string(name) == "#32770")
              ::PostMessageA(window, WM_COMMAND, IDOK, 0);
            return TRUE;
          },
          0);
      Arm();
    });
  }
  UINT_PTR timer_ = 0;
};

// Presses button `index` of the bar's palette `button` with the real mouse:
// the palette opens at the press, the release over the button sends it.
// Presses button `index` of the bar's palette `button` with the real mouse:
// the palette opens at the press, the release over the button sends it.
// The palette's button count, or 0 when it did not work.
int PressPaletteButton(QVFlyoutTrueColor& shortcuts, int button, int index) {
  // Successive presses land apart, so that two are never taken for a double click.
  const CPoint press = ScreenCentre(shortcuts, button) + CSize(index % 2 ? 6 : -6, 0);
  SendMouse(press);
  SendMouse(press, MOUSEEVENTF_LEFTDOWN);
  if (!PumpUntil([&] { return shortcuts.GetOpenFlyout() != nullptr; })) return 0;
  CFlyout* palette = shortcuts.GetOpenFlyout();
  const int size = palette->GetCount();
  SendMouse(ScreenCentre(*palette, index));
  const bool hot = PumpUntil([&] { return palette->hotIndex == index; });
  SendMouse(ScreenCentre(*palette, index), MOUSEEVENTF_LEFTUP);
  const bool closed = PumpUntil([&] { return shortcuts.GetOpenFlyout() == nullptr; });
  return hot && closed ? size : 0;
}

// Once a palette shows, every button whose command exists is enabled (the
// spare last button of the lower-case Greek palette has none and is greyed);
// every button of the structure palettes, and the degree sign, pressed
// with the real mouse, puts text into the box (dialogs ended with OK).
TEST_F(LiveFrame, EveryPaletteButtonWithACommandIsEnabledAndInserts) {
  // Tall enough for every button of the bar and its palettes.
  frame->MoveWindow(40, 30, 760, 700);
  QVFlyoutTrueColor& shortcuts = frame->ShortcutsBar();
  Idle();
  EXPECT_TRUE(shortcuts.SendMessage(TB_ISBUTTONENABLED, ID_INSERT_DEGREE));
  for (int button = 1; button < shortcuts.GetCount(); ++button) {
    SendMouse(ScreenCentre(shortcuts, button));
    SendMouse(ScreenCentre(shortcuts, button), MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return shortcuts.GetOpenFlyout() != nullptr; })) << button;
    CFlyout* palette = shortcuts.GetOpenFlyout();
    Idle();
    for (int i = 0; i < palette->GetCount(); ++i) {
      const UINT id = palette->GetItemID(i);
      const bool enabled = palette->SendMessage(TB_ISBUTTONENABLED, id) != 0;
      EXPECT_EQ(enabled, id != ID_GREEK_PSI) << "palette " << button << " button " << i;
    }
    SendMouse(CPoint(5, 5), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return shortcuts.GetOpenFlyout() == nullptr; }));
  }

  DialogCloser closer;
  const int structurePalettes[] = {0, 5, 6, 7};  // degree sign, calculus, roots, arrays
  for (int button : structurePalettes) {
    int size = 1;
    for (int index = 0; index < size; ++index) {
      // The frame is active again once the last dialog is gone.
      ASSERT_TRUE(PumpUntil([&] { return Idle() && ::GetActiveWindow() == frame->m_hWnd; }));
      app->EquationEdit->SetSel(0, -1);
      Type(EmptyEquationText());
      SetCaret(0);
      if (button == 0) {
        SendMouse(ScreenCentre(shortcuts, 0));
        SendMouse(ScreenCentre(shortcuts, 0), MOUSEEVENTF_LEFTDOWN);
        SendMouse(ScreenCentre(shortcuts, 0), MOUSEEVENTF_LEFTUP);
      } else {
        size = PressPaletteButton(shortcuts, button, index);
        ASSERT_GT(size, 0) << "palette " << button << " button " << index;
      }
      EXPECT_TRUE(PumpUntil([&] { return BoxText() != EmptyEquationText(); }))
          << "palette " << button << " button " << index;
    }
  }
}

// An opened document wider and taller than its window is drawn once: its
// first paint sizes the scroll area to the equation and brings the
// horizontal scroll bar, and neither asks for a second measure and draw of
// the whole equation.
TEST_F(LiveFrame, AnOpenedDocumentIsDrawnOnce) {
  const std::string path = SaveEquationFile("large.qvm", WideLines("x+"));
  ASSERT_FALSE(path.empty());
  auto* counting = new CMultiDocTemplate(IDR_QVM400TYPE, RUNTIME_CLASS(QVM400Doc),
                                         RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CountingView));
  app->AddDocTemplate(counting);
  auto* opened = static_cast<QVM400Doc*>(counting->OpenDocumentFile(path.c_str()));
  ASSERT_NE(opened, nullptr);
  auto* view = static_cast<CountingView*>(ViewOf(opened));
  ASSERT_TRUE(PumpUntil([&] { return Idle() && NothingLeftToPaint(frame->m_hWnd); }, 3000));
  EXPECT_TRUE(view->GetStyle() & WS_HSCROLL);
  EXPECT_TRUE(view->GetStyle() & WS_VSCROLL);
  EXPECT_EQ(view->draws, 1);
}

TEST_F(LiveFrame, HoldsAnEquationAndAnOpenPaletteForScreenshots) {
  const char* hold = std::getenv("OVELIN_SHOT_HOLD_MS");
  if (!hold) GTEST_SKIP() << "set OVELIN_SHOT_HOLD_MS to look at it";
  const DWORD holdMs = static_cast<DWORD>(std::atoi(hold));
  frame->MoveWindow(40, 30, 760, 560);
  app->EquationEdit->SetSel(0, -1);
  Type(TwentyLines({"x=(-b+-sqrt(b^2-4ac))/(2a)", "y=al^2+be_1", "int_0^1 x^2 dx=1/3"}));
  SetCaret(0);
  PumpUntil([] { return false; }, holdMs);
  QVFlyoutTrueColor& shortcuts = frame->ShortcutsBar();
  SendMouse(ScreenCentre(shortcuts, 3));
  SendMouse(ScreenCentre(shortcuts, 3), MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return shortcuts.GetOpenFlyout() != nullptr; }));
  SendMouse(ScreenCentre(*shortcuts.GetOpenFlyout(), 4));
  PumpUntil([] { return false; }, holdMs);
  SendMouse(CPoint(5, 5), MOUSEEVENTF_LEFTUP);
  PumpUntil([&] { return shortcuts.GetOpenFlyout() == nullptr; });
}

}  // namespace
