// The window layer: messages reach objects through their maps, base-class
// handlers are found, handler exceptions are reported and stopped,
// notifications are reflected to the control, existing controls subclassed.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Controls.h"

#include <commctrl.h>
#include "tests/window/WinTestSupport.h"

namespace {

constexpr UINT kAsk = WM_APP + 1;
constexpr UINT kAskBase = WM_APP + 2;
constexpr UINT kThrow = WM_APP + 3;

std::vector<std::string> g_log;

class BaseWnd : public CWnd {
 public:
  LRESULT OnAskBase(WPARAM, LPARAM) {
    g_log.push_back("base:askbase");
    return 7;
  }
  LRESULT OnAsk(WPARAM, LPARAM) {
    g_log.push_back("base:ask");
    return 1;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
  ON_MESSAGE(kAskBase, OnAskBase)
  ON_MESSAGE(kAsk, OnAsk)
END_MESSAGE_MAP()

class ThrowingWnd : public BaseWnd {
 public:
  int throwKind = 0;
  bool failCreate = false;
  int OnCreate(LPCREATESTRUCTA cs) {
    g_log.push_back("derived:create");
    if (failCreate) throw CFileException(CFileException::accessDenied, -1, "create.qvm");
    return CWnd::OnCreate(cs);
  }
  LRESULT OnAsk(WPARAM wParam, LPARAM) {
    g_log.push_back("derived:ask");
    return 40 + static_cast<LRESULT>(wParam);
  }
  LRESULT OnThrow(WPARAM, LPARAM) {
    switch (throwKind) {
      case 0: throw CFileException(CFileException::fileNotFound, -1, "x.qvm");
      case 1: throw std::runtime_error("boom");
      default: throw CUserException();
    }
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ThrowingWnd, BaseWnd)
  ON_WM_CREATE()
  ON_MESSAGE(kAsk, OnAsk)
  ON_MESSAGE(kThrow, OnThrow)
END_MESSAGE_MAP()

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    TakeShownBoxes();
  }
  void TearDown() override {
    if (wnd.GetSafeHwnd()) wnd.DestroyWindow();
    DrainMessages();
  }
  bool Create() {
    return wnd.CreateEx(0, nullptr, "test", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr);
  }
  ThrowingWnd wnd;
};

TEST_F(WindowTest, CreatedWindowGetsItsMessagesThroughTheMap) {
  ASSERT_TRUE(Create());
  EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
  EXPECT_EQ(wnd.SendMessage(kAsk, 2), 42);
  wnd.PostMessage(kAsk, 3);
  ASSERT_TRUE(PumpUntil([] { return g_log.size() >= 3; }));
  EXPECT_EQ(g_log, (std::vector<std::string>{"derived:create", "derived:ask", "derived:ask"}));
}

TEST_F(WindowTest, HandlerOfTheBaseClassIsFoundAndDerivedEntriesWin) {
  ASSERT_TRUE(Create());
  EXPECT_EQ(wnd.SendMessage(kAskBase), 7);
  EXPECT_EQ(wnd.SendMessage(kAsk), 40);
  EXPECT_EQ(g_log, (std::vector<std::string>{"derived:create", "base:askbase", "derived:ask"}));
}

TEST_F(WindowTest, UnhandledMessagesGoToTheDefaultProcedure) {
  ASSERT_TRUE(Create());
  wnd.SetWindowText("title text");
  EXPECT_STREQ(wnd.GetWindowText(), "title text");
}

TEST_F(WindowTest, ExceptionOfASentMessageIsReportedAndStopped) {
  ASSERT_TRUE(Create());
  wnd.throwKind = 0;
  EXPECT_EQ(wnd.SendMessage(kThrow), 0);
  wnd.throwKind = 1;
  EXPECT_EQ(wnd.SendMessage(kThrow), 0);
  wnd.throwKind = 2;  // the user was told already: nothing more
  EXPECT_EQ(wnd.SendMessage(kThrow), 0);
  const auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "x.qvm was not found.");
  EXPECT_NE(boxes[1].text.find("boom"), std::string::npos);
  // The window still works afterwards.
  EXPECT_EQ(wnd.SendMessage(kAsk, 1), 41);
}

TEST_F(WindowTest, ExceptionOfAPostedMessageDoesNotUnwindThroughDispatch) {
  ASSERT_TRUE(Create());
  wnd.throwKind = 0;
  wnd.PostMessage(kThrow);
  wnd.PostMessage(kAsk, 5);
  bool unwound = false;
  try {
    ASSERT_TRUE(PumpUntil([] { return g_log.size() >= 2; }));
  } catch (...) {
    unwound = true;
  }
  EXPECT_FALSE(unwound);
  EXPECT_EQ(g_log.back(), "derived:ask");
  EXPECT_EQ(TakeShownBoxes().size(), 1u);
}

TEST_F(WindowTest, ExceptionInCreateFailsTheCreation) {
  wnd.failCreate = true;
  EXPECT_FALSE(Create());
  EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
  const auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Access to create.qvm was denied.");
}

// --- reflection ---------------------------------------------------------------

constexpr UINT kButtonId = 100;

class Parent : public CWnd {
 public:
  void OnClicked() { g_log.push_back("parent:clicked"); }
  HBRUSH OnCtlColor(HDC, CWnd*, UINT) {
    g_log.push_back("parent:ctlcolor");
    return static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  }
  void OnNotifyTest(NMHDR* header, LRESULT* result) {
    g_log.push_back("parent:notify");
    *result = static_cast<LRESULT>(header->code) + 1000;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Parent, CWnd)
  ON_BN_CLICKED(kButtonId, OnClicked)
  ON_BN_CLICKED(kButtonId + 1, OnClicked)
  ON_BN_CLICKED(kButtonId + 2, OnClicked)
  ON_WM_CTLCOLOR()
  ON_NOTIFY(NM_CLICK, kButtonId + 2, OnNotifyTest)
END_MESSAGE_MAP()

class OwnButton : public CButton {
 public:
  BOOL declineClick = FALSE;
  void OnClicked() { g_log.push_back("button:clicked"); }
  BOOL OnClickedEx() {
    g_log.push_back("button:clicked-ex");
    return !declineClick;
  }
  HBRUSH CtlColor(HDC, UINT kind) {
    g_log.push_back(kind == CTLCOLOR_STATIC ? "button:ctlcolor-static" : "button:ctlcolor");
    return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  }
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    g_log.push_back("button:draw " + std::to_string(item->itemID));
  }
  void OnNotifyReflect(NMHDR*, LRESULT* result) {
    g_log.push_back("button:notify");
    *result = 5;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OwnButton, CButton)
  ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

class ExButton : public OwnButton {
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ExButton, OwnButton)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClickedEx)
END_MESSAGE_MAP()

class ReflectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr));
    const CRect r(0, 0, 50, 20);
    ASSERT_TRUE(own.Create("own", WS_CHILD | BS_OWNERDRAW, r, &parent, kButtonId));
    ASSERT_TRUE(ex.Create("ex", WS_CHILD, r, &parent, kButtonId + 1));
    ASSERT_TRUE(plain.Create("plain", WS_CHILD, r, &parent, kButtonId + 2));
  }
  void TearDown() override {
    parent.DestroyWindow();
    DrainMessages();
  }
  void Click(const CWnd& button) {
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(button.GetDlgCtrlID(), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button.m_hWnd));
  }
  Parent parent;
  OwnButton own;
  ExButton ex;
  CButton plain;
};

TEST_F(ReflectionTest, ControlNotificationGoesToTheControlFirst) {
  struct Case {
    CWnd* button;
    BOOL decline;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {&own, FALSE, {"button:clicked"}},
      {&ex, FALSE, {"button:clicked-ex"}},
      {&ex, TRUE, {"button:clicked-ex", "parent:clicked"}},
      {&plain, FALSE, {"parent:clicked"}},
  };
  for (const Case& c : cases) {
    g_log.clear();
    ex.declineClick = c.decline;
    Click(*c.button);
    EXPECT_EQ(g_log, c.log);
  }
}

TEST_F(ReflectionTest, CtlColorAndDrawItemReachTheControlsObject) {
  HDC dc = ::GetDC(parent.m_hWnd);
  const LRESULT own_brush = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                               reinterpret_cast<LPARAM>(own.m_hWnd));
  const LRESULT plain_brush = parent.SendMessage(
      WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(plain.m_hWnd));
  ::ReleaseDC(parent.m_hWnd, dc);
  EXPECT_EQ(own_brush, reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(plain_brush, reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH)));

  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.CtlID = kButtonId;
  item.itemID = 9;
  item.hwndItem = own.m_hWnd;
  EXPECT_EQ(parent.SendMessage(WM_DRAWITEM, kButtonId, reinterpret_cast<LPARAM>(&item)), TRUE);
  EXPECT_EQ(g_log, (std::vector<std::string>{"button:ctlcolor-static", "parent:ctlcolor",
                                             "button:draw 9"}));
}

TEST_F(ReflectionTest, NotifyReachesTheParentsMapWithItsResult) {
  NMHDR header{plain.m_hWnd, kButtonId + 2, static_cast<UINT>(NM_CLICK)};
  const LRESULT result =
      parent.SendMessage(WM_NOTIFY, kButtonId + 2, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(result, static_cast<LRESULT>(static_cast<UINT>(NM_CLICK)) + 1000);
  EXPECT_EQ(g_log, (std::vector<std::string>{"parent:notify"}));
}

// --- subclassing ------------------------------------------------------------------

class Tagged : public CEdit {
 public:
  LRESULT OnAsk(WPARAM, LPARAM) { return 99; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Tagged, CEdit)
  ON_MESSAGE(kAsk, OnAsk)
END_MESSAGE_MAP()

TEST(Subclassing, ExistingControlIsBoundAndReleasedAgain) {
  HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  const LONG_PTR original = ::GetWindowLongPtrA(edit, GWLP_WNDPROC);
  Tagged tagged;
  ASSERT_TRUE(tagged.SubclassWindow(edit));
  EXPECT_FALSE(Tagged().SubclassWindow(edit));  // one object per window
  EXPECT_EQ(::SendMessageA(edit, kAsk, 0, 0), 99);
  ::SetWindowTextA(edit, "still an edit");  // the control's own procedure runs
  EXPECT_STREQ(tagged.GetWindowText(), "still an edit");
  EXPECT_EQ(tagged.UnsubclassWindow(), edit);
  EXPECT_EQ(::GetWindowLongPtrA(edit, GWLP_WNDPROC), original);
  EXPECT_EQ(::SendMessageA(edit, kAsk, 0, 0), 0);
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
  ::DestroyWindow(edit);
}

TEST(Subclassing, ForeignWindowGetsATemporaryObjectUntilIdle) {
  HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  CWnd* temp = CWnd::FromHandle(edit);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(temp->m_hWnd, edit);
  EXPECT_EQ(CWnd::FromHandle(edit), temp);
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
  CWnd::DeleteTempMap();
  ::DestroyWindow(edit);
}

}  // namespace
