// Dialogs: modal loops ended by posted messages, data exchange both ways,
// validation that keeps the dialog open, property sheets.
#include <gtest/gtest.h>

#include <thread>

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/PropertySheet.h"
#include "tests/window/TestIds.h"
#include "tests/window/WinTestSupport.h"

namespace {

constexpr UINT kEnd = WM_APP + 7;
constexpr UINT kStep = WM_APP + 8;
constexpr int kTimedOut = -2;

// Ends any modal loop still running after five seconds, so that a broken
// dialog fails the test instead of hanging it.
class Watchdog {
 public:
  explicit Watchdog(CWnd& dialog)
      : id_(RunLater(5000, [&dialog] {
          if (dialog.GetSafeHwnd()) dialog.EndModalLoop(kTimedOut);
        })) {}
  ~Watchdog() { CancelRunLater(id_); }

 private:
  UINT_PTR id_;
};

class SelfEndingDialog : public CDialog {
 public:
  BOOL ownerEnabledAtInit = TRUE;
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    ownerEnabledAtInit = ::IsWindowEnabled(::GetWindow(m_hWnd, GW_OWNER));
    PostMessage(kEnd, 42);
    return TRUE;
  }
  LRESULT OnEnd(WPARAM code, LPARAM) {
    EndDialog(static_cast<int>(code));
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfEndingDialog, CDialog)
  ON_MESSAGE(kEnd, OnEnd)
END_MESSAGE_MAP()

TEST(Dialog, ModalDialogFromMemoryEndsWithThePostedResult) {
  EmptyDialogTemplate dialogTemplate;
  SelfEndingDialog dialog;
  dialog.InitModalIndirect(dialogTemplate.get());
  Watchdog watchdog(dialog);
  EXPECT_EQ(dialog.DoModal(), 42);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(Dialog, OwnerIsDisabledWhileTheDialogRunsAndEnabledAfter) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  EmptyDialogTemplate dialogTemplate;
  SelfEndingDialog dialog;
  dialog.InitModalIndirect(dialogTemplate.get(), &owner);
  Watchdog watchdog(dialog);
  EXPECT_EQ(dialog.DoModal(), 42);
  EXPECT_FALSE(dialog.ownerEnabledAtInit);
  EXPECT_TRUE(owner.IsWindowEnabled());
  owner.DestroyWindow();
  DrainMessages();
}

// A window that invalidates itself while it paints, so its WM_PAINT never
// stops and the queue never runs empty.
LRESULT CALLBACK RepaintForever(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  PAINTSTRUCT paint;
  ::BeginPaint(hWnd, &paint);
  ::EndPaint(hWnd, &paint);
  ::InvalidateRect(hWnd, nullptr, TRUE);
  return 0;
}

TEST(Dialog, ShowsWhileAnotherWindowKeepsRepainting) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RepaintForever;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "OvelinRepaintForever";
  ::RegisterClassA(&wc);
  HWND busy = ::CreateWindowA(wc.lpszClassName, "busy", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                              nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(busy, nullptr);
  EmptyDialogTemplate dialogTemplate;
  CDialog dialog;
  dialog.InitModalIndirect(dialogTemplate.get());
  // Timers wait behind the paints: another thread looks and ends the dialog.
  BOOL shown = FALSE;
  std::thread observer([&dialog, &shown] {
    for (int i = 0; i < 50 && !dialog.GetSafeHwnd(); ++i) ::Sleep(20);
    ::Sleep(500);
    shown = ::IsWindowVisible(dialog.GetSafeHwnd());
    ::PostMessageA(dialog.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  observer.join();
  EXPECT_TRUE(shown);
  ::DestroyWindow(busy);
  DrainMessages();
}

TEST(Dialog, MissingTemplateGivesMinusOne) {
  CDialog dialog(9999);
  EXPECT_EQ(dialog.DoModal(), -1);
}

// --- data exchange ------------------------------------------------------------------

class ExchangeDialog : public CDialog {
 public:
  ExchangeDialog() : CDialog(IDD_DDX) {}
  CString name = "first";
  int count = 12;
  double width = 10.5;
  int bold = 1;
  int style = 2;
  CString size = "1";
  // What the controls showed after OnInitDialog.
  CString shownName, shownCount, shownWidth, shownSize;
  int shownBold = -1, shownStyle = -1;
  // Texts typed in before pressing OK, one set per attempt.
  std::vector<std::vector<std::pair<int, const char*>>> attempts;
  int attempt = 0;
  bool flipChoices = false;  // untick Bold and choose the middle radio too

  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, IDC_NAME, name);
    DDV_MaxChars(dx, name, 10);
    DDX_Text(dx, IDC_COUNT, count);
    DDX_Text(dx, IDC_WIDTH, width);
    DDV_MinMaxDouble(dx, width, 0, 100);
    DDX_Check(dx, IDC_BOLD, bold);
    DDX_Radio(dx, IDC_STYLE0, style);
    DDX_CBString(dx, IDC_FONTSIZE, size);
  }
  BOOL OnInitDialog() override {
    SendDlgItemMessage(IDC_FONTSIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("10"));
    SendDlgItemMessage(IDC_FONTSIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("12"));
    CDialog::OnInitDialog();
    shownName = GetDlgItemText(IDC_NAME);
    shownCount = GetDlgItemText(IDC_COUNT);
    shownWidth = GetDlgItemText(IDC_WIDTH);
    shownSize = GetDlgItemText(IDC_FONTSIZE);
    shownBold = IsDlgButtonChecked(IDC_BOLD);
    shownStyle = GetCheckedRadioButton(IDC_STYLE0, IDC_STYLE2);
    PostMessage(kStep);
    return TRUE;
  }
  // Types one attempt's texts and presses OK; a failed attempt leaves the
  // dialog open for the next one.
  LRESULT OnStep(WPARAM, LPARAM) {
    if (attempt >= static_cast<int>(attempts.size())) {
      EndDialog(IDCANCEL);
      return 0;
    }
    for (const auto& [id, text] : attempts[static_cast<size_t>(attempt)]) SetDlgItemText(id, text);
    if (flipChoices) {
      CheckDlgButton(IDC_BOLD, 0);
      CheckRadioButton(IDC_STYLE0, IDC_STYLE2, IDC_STYLE1);
    }
    ++attempt;
    SendMessage(WM_COMMAND, IDOK);
    if (GetSafeHwnd() && (m_nFlags & WF_CONTINUEMODAL)) PostMessage(kStep);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ExchangeDialog, CDialog)
  ON_MESSAGE(kStep, OnStep)
END_MESSAGE_MAP()

class DataExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override { TakeShownBoxes(); }
  void TearDown() override { DrainMessages(); }
};

TEST_F(DataExchangeTest, MembersGoIntoTheControlsAndComeBack) {
  ExchangeDialog dialog;
  dialog.attempts = {{{IDC_NAME, "second"}, {IDC_COUNT, " -7 "}, {IDC_WIDTH, "6.25"}}};
  dialog.flipChoices = true;
  Watchdog watchdog(dialog);
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_STREQ(dialog.shownName, "first");
  EXPECT_STREQ(dialog.shownCount, "12");
  EXPECT_STREQ(dialog.shownWidth, "10.5");
  EXPECT_STREQ(dialog.shownSize, "1");  // not the list's "10"
  EXPECT_EQ(dialog.shownBold, 1);
  EXPECT_EQ(dialog.shownStyle, IDC_STYLE2);
  EXPECT_STREQ(dialog.name, "second");
  EXPECT_EQ(dialog.count, -7);
  EXPECT_DOUBLE_EQ(dialog.width, 6.25);
  EXPECT_STREQ(dialog.size, "1");
  EXPECT_EQ(dialog.bold, 0);
  EXPECT_EQ(dialog.style, 1);
  EXPECT_TRUE(TakeShownBoxes().empty());
}

TEST_F(DataExchangeTest, InvalidFieldsKeepTheDialogOpenWithAMessage) {
  struct Case {
    int id;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {IDC_WIDTH, "150", "Enter a number between 0 and 100."},
      {IDC_WIDTH, "abc", "Enter a number."},
      {IDC_COUNT, "99999999999", "Enter an integer between -2147483648 and 2147483647."},
      {IDC_COUNT, "0x10", "Enter an integer between -2147483648 and 2147483647."},
      {IDC_COUNT, "3.5", "Enter an integer between -2147483648 and 2147483647."},
      {IDC_NAME, "eleven char", "Enter no more than 10 characters."},
  };
  for (const Case& c : cases) {
    ExchangeDialog dialog;
    dialog.attempts = {{{c.id, c.text}}, {{IDC_NAME, "ok"}, {IDC_COUNT, "1"}, {IDC_WIDTH, "50"}}};
    Watchdog watchdog(dialog);
    EXPECT_EQ(dialog.DoModal(), IDOK) << c.text;
    EXPECT_EQ(dialog.attempt, 2) << c.text;
    const auto boxes = TakeShownBoxes();
    ASSERT_EQ(boxes.size(), 1u) << c.text;
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_DOUBLE_EQ(dialog.width, 50);
  }
}

TEST(DataExchangeParse, NumbersAreReadStrictly) {
  long long i = 0;
  EXPECT_TRUE(AfxParseInteger(" 42 ", INT_MIN, INT_MAX, i));
  EXPECT_EQ(i, 42);
  EXPECT_FALSE(AfxParseInteger("", INT_MIN, INT_MAX, i));
  EXPECT_FALSE(AfxParseInteger("-1", 0, UINT_MAX, i));
  EXPECT_FALSE(AfxParseInteger("4294967296", 0, UINT_MAX, i));
  EXPECT_FALSE(AfxParseInteger("12abc", INT_MIN, INT_MAX, i));
  double d = 0;
  EXPECT_TRUE(AfxParseDouble("1e3", d));
  EXPECT_DOUBLE_EQ(d, 1000);
  EXPECT_FALSE(AfxParseDouble("1e999", d));
  EXPECT_FALSE(AfxParseDouble("nan", d));
  EXPECT_FALSE(AfxParseDouble("1.5 mm", d));
}

// --- property sheets ------------------------------------------------------------------

class ValuePage : public CPropertyPage {
 public:
  explicit ValuePage(UINT id, int initial) : CPropertyPage(id), value(initial) {}
  int value;
  int inits = 0;
  int oks = 0;
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, IDC_PAGE_VALUE, value); }
  BOOL OnInitDialog() override {
    ++inits;
    return CPropertyPage::OnInitDialog();
  }
  void OnOK() override { ++oks; }
};

class PropertySheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.AddPage(&third);
  }
  void TearDown() override { DrainMessages(); }
  CPropertySheet sheet{"Sheet"};
  ValuePage first{IDD_PAGE1, 1};
  ValuePage second{IDD_PAGE2, 2};
  ValuePage third{IDD_PAGE3, 3};
};

TEST_F(PropertySheetTest, OkAppliesTheShownPagesOnly) {
  sheet.SetActivePage(1);
  RunLater(50, [&] {
    second.SetDlgItemText(IDC_PAGE_VALUE, "20");
    sheet.SetActivePage(0);  // leaving the page moves its value out
    first.SetDlgItemText(IDC_PAGE_VALUE, "10");
    sheet.PressButton(PSBTN_OK);
  });
  Watchdog watchdog(sheet);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(first.value, 10);
  EXPECT_EQ(second.value, 20);
  EXPECT_EQ(third.value, 3);
  EXPECT_EQ(first.oks, 1);
  EXPECT_EQ(second.oks, 1);
  EXPECT_EQ(third.inits, 0);
  EXPECT_EQ(third.oks, 0);
  EXPECT_EQ(sheet.GetSafeHwnd(), nullptr);
}

TEST_F(PropertySheetTest, CancelLeavesTheValuesAndAnswersCancel) {
  RunLater(50, [&] {
    first.SetDlgItemText(IDC_PAGE_VALUE, "77");
    sheet.PressButton(PSBTN_CANCEL);
  });
  Watchdog watchdog(sheet);
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(first.value, 1);
  EXPECT_EQ(first.oks, 0);
}

TEST_F(PropertySheetTest, InvalidPageValueStopsOkUntilCorrected) {
  TakeShownBoxes();
  RunLater(50, [&] {
    first.SetDlgItemText(IDC_PAGE_VALUE, "many");
    sheet.PressButton(PSBTN_OK);  // refused: the page keeps the focus
    RunLater(50, [&] {
      first.SetDlgItemText(IDC_PAGE_VALUE, "5");
      sheet.PressButton(PSBTN_OK);
    });
  });
  Watchdog watchdog(sheet);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(first.value, 5);
  EXPECT_EQ(TakeShownBoxes().size(), 1u);
}

}  // namespace
