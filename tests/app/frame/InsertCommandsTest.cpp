// The structure insert commands through the main frame, with their real
// dialogs shown on the X display: fields typed with real keys or set in the
// edit boxes, the dialogs closed with OK, Escape or the close box, and the
// text, caret, document and undo of the equation text box checked after.
// The previews: they stay inside their dialogs, the sum and product
// pictures differ in ink, and a fitted integral grows with its placeholder.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/frame/InsertDialogs.h"
#include "controls/NumberText.h"
#include "framework/Dc.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/RealInput.h"

namespace {

// How a dialog is ended.
enum class Close { Ok, EscapeKey, CloseBox };

// A top-level window of this thread with the caption, visible.
HWND FindOwnDialog(const char* caption) {
  struct Search {
    const char* caption;
    HWND found;
  } search{caption, nullptr};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        char text[128] = {};
        ::GetWindowTextA(window, text, sizeof text);
        if (::IsWindowVisible(window) && std::string(text) == s->caption) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void EndDialog(HWND dialog, Close how) {
  switch (how) {
    case Close::Ok:
      ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      break;
    case Close::EscapeKey:
      ::SetForegroundWindow(dialog);
      Stroke(VK_ESCAPE);
      break;
    case Close::CloseBox:
      ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

using Fields = std::map<int, const char*>;

class InsertCommands : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    if (HasFatalFailure()) return;
    doc = NewDocument();
    ASSERT_NE(doc, nullptr);
  }

  // The box holds `line` as its first line with [start, end) selected.
  void Select(const char* line, int start, int end) {
    app->EquationEdit->SetSel(0, -1);
    Type(TwentyLines({line}));
    // The set-up is no step of its own to undo.
    app->EquationEdit->SendMessage(EM_EMPTYUNDOBUFFER);
    app->EquationEdit->SetSel(start, end);
  }

  // Runs the command through the frame; once its dialog shows, `act` runs
  // on it (while the dialog's own loop runs), then the dialog is ended.
  // False when no dialog with the caption came up, or it had to be ended
  // by the watchdog.
  bool RunDialog(UINT command, const char* caption, const std::function<void(HWND)>& act,
                 Close how) {
    bool shown = false;
    std::function<void()> poll = [&] {
      HWND dialog = FindOwnDialog(caption);
      if (!dialog) {
        RunLater(20, poll);
        return;
      }
      shown = true;
      act(dialog);
      EndDialog(dialog, how);
    };
    const UINT_PTR first = RunLater(20, poll);
    // Guard: a dialog that never ends would hold the test forever.
    bool forced = false;
    const UINT_PTR watchdog = RunLater(10000, [caption, &forced] {
      forced = true;
      if (HWND dialog = FindOwnDialog(caption)) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    frame->SendMessage(WM_COMMAND, command);
    if (!forced) CancelRunLater(watchdog);
    if (!shown) CancelRunLater(first);
    return shown && !forced;
  }

  // Sets the edit boxes' texts, then ends the dialog.
  bool RunDialog(UINT command, const char* caption, const Fields& fields, Close how) {
    return RunDialog(
        command, caption,
        [&](HWND dialog) {
          for (const auto& [id, text] : fields) ::SetDlgItemTextA(dialog, id, text);
        },
        how);
  }

  int Caret() const {
    int start = -1, end = -1;
    app->EquationEdit->GetSel(start, end);
    return start == end ? start : -1;
  }

  // After an insert: the box and the document hold `line`, the caret stands
  // at `caret`, and one undo brings back `before`.
  void ExpectInserted(const char* line, int caret, const char* before) {
    EXPECT_EQ(BoxText(), TwentyLines({line}));
    EXPECT_EQ(doc->EquationText, TwentyLines({line}));
    EXPECT_EQ(Caret(), caret);
    EXPECT_EQ(app->RefocusEdit, 1);
    app->EquationEdit->SendMessage(EM_UNDO);
    EXPECT_EQ(BoxText(), TwentyLines({before}));
    EXPECT_EQ(doc->EquationText, TwentyLines({before}));
  }

  QVM400Doc* doc = nullptr;
};

// Menus and palettes grey what nobody handles: with a document, every
// structure insert has its handler.
TEST_F(InsertCommands, EveryInsertCommandHasAHandler) {
  const UINT ids[] = {ID_INSERT_DEGREE,      ID_INSERT_SQRT,        ID_INSERT_NTH_ROOT,
                      ID_INSERT_LIMIT,       ID_INSERT_INTEGRAL,    ID_INSERT_BOUNDS,
                      ID_INSERT_PRODUCT,     ID_INSERT_SCIENTIFIC,  ID_INSERT_SUM,
                      ID_INSERT_SUPERSCRIPT, ID_INSERT_SUBSCRIPT,   ID_INSERT_UNDERBAR,
                      ID_INSERT_HAT,         ID_INSERT_DOT,         ID_INSERT_DOUBLE_DOT,
                      ID_INSERT_ARC,         ID_INSERT_BOX,         ID_INSERT_DIV,
                      ID_INSERT_MATRIX,      ID_INSERT_VECTOR,      ID_INSERT_PIECEWISE,
                      ID_INSERT_ARROW_LEFT,  ID_INSERT_ARROW_RIGHT, ID_INSERT_ARROW_BOTH,
                      ID_INSERT_DERIVATIVE_AT_POINT};
  for (UINT id : ids) {
    AFX_CMDHANDLERINFO info{};
    EXPECT_TRUE(frame->OnCmdMsg(id, CN_COMMAND, nullptr, &info)) << id;
  }
}

TEST_F(InsertCommands, WrapsAndAppendsAroundTheSelection) {
  const struct {
    UINT id;
    const char* line;  // before: "x+1"
    int selStart, selEnd;
    const char* after;
    int caret;
  } cases[] = {
      {ID_INSERT_SQRT, "", 0, 0, "sqrt()", 5},
      {ID_INSERT_SQRT, "x+1", 0, 3, "sqrt(x+1)", 9},
      {ID_INSERT_ARROW_BOTH, "a", 1, 1, "a<->()", 5},
      {ID_INSERT_SUBSCRIPT, "v", 1, 1, "v\\()", 3},
      {ID_INSERT_SUPERSCRIPT, "e", 1, 1, "e^()", 3},
      {ID_INSERT_ARC, "AB", 0, 2, "arc(AB)", 7},
      {ID_INSERT_BOX, "", 0, 0, "box", 3},
      {ID_INSERT_BOX, "E=mc^2", 0, 6, "box(E=mc^2)", 11},
      {ID_INSERT_UNDERBAR, "", 0, 0, "_", 1},
      {ID_INSERT_UNDERBAR, "ab", 0, 2, "(ab)_", 5},
      {ID_INSERT_DEGREE, "30", 0, 2, "30\x60", 3},
      {ID_INSERT_DEGREE, "cos", 3, 3, "cos\x60", 4},
      {ID_INSERT_HAT, "x", 0, 1, "x^^", 3},
      {ID_INSERT_DOT, "y", 0, 1, "y:", 2},
      {ID_INSERT_DOUBLE_DOT, "y", 0, 1, "y::", 3},
      {ID_INSERT_DIV, "a", 0, 1, "div", 3},
      {ID_INSERT_DIV, "6/2", 1, 2, "6div2", 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.after);
    Select(c.line, c.selStart, c.selEnd);
    app->RefocusEdit = 0;
    frame->SendMessage(WM_COMMAND, c.id);
    ExpectInserted(c.after, c.caret, c.line);
  }
}

TEST_F(InsertCommands, DialogsBuildTheirTextsFromTheFields) {
  const struct {
    UINT id;
    const char* caption;
    const char* selected;
    Fields fields;
    const char* after;
  } cases[] = {
      {ID_INSERT_LIMIT, "Limit", "", {{IDC_INSERT_SECOND, "t"}, {IDC_INSERT_FIRST, "0"}},
       "lim(t->0)"},
      {ID_INSERT_NTH_ROOT, "nth Root", "x", {{IDC_INSERT_SECOND, "3"}}, "(3)root(x)"},
      {ID_INSERT_BOUNDS, "Bounds of Integration", "F(x)", {}, "[F(x)]a,b"},
      {ID_INSERT_DERIVATIVE_AT_POINT, "Derivative at Point", "f(x)",
       {{IDC_INSERT_SECOND, "x=2"}}, "d/dx  f(x)  @(x=2)"},
      {ID_INSERT_PRODUCT, "Sum / Product", "", {{IDC_INSERT_SECOND, "k=0"}}, "product(k=0,10)"},
      {ID_INSERT_INTEGRAL, "Integral", "", {}, "int"},
      {ID_INSERT_INTEGRAL, "Integral", "", {{IDC_INSERT_SECOND, "0"}, {IDC_INSERT_FIRST, "1"}},
       "int(0,1)"},
      {ID_INSERT_SCIENTIFIC, "Scientific Notation", "",
       {{IDC_INSERT_FIRST, "6.02"}, {IDC_INSERT_SECOND, "23"}}, "6.02E23"},
      {ID_INSERT_SCIENTIFIC, "Scientific Notation", "12345", {}, "1.2345E4"},
      {ID_INSERT_SCIENTIFIC, "Scientific Notation", "-12345", {}, "-1.2345E4"},
      {ID_INSERT_SCIENTIFIC, "Scientific Notation", "0.005", {}, "5E-3"},
      {ID_INSERT_SCIENTIFIC, "Scientific Notation", "", {}, "1.2E5"},
      {ID_INSERT_MATRIX, "Maxtrix", "", {{1033, "a"}, {1041, "b"}, {1034, "c"}},
       "[(a),(b),(c) ]"},
      {ID_INSERT_MATRIX, "Maxtrix", "", {}, "[( ) ]"},
      {ID_INSERT_MATRIX, "Maxtrix", "", {{1023, "p"}, {1041, "q"}}, "[( ),(q)  ( ),(p) ]"},
      {ID_INSERT_VECTOR, "Vector", "", {{1033, "1"}, {1034, "3"}}, "( (1),( ),(3) )"},
      {ID_INSERT_VECTOR, "Vector", "", {}, "( ( ) )"},
      {ID_INSERT_PIECEWISE, "Piecewise Defined Function", "",
       {{1033, "x"}, {1021, "x>0"}, {1022, "-x"}, {1036, "x<0"}, {1040, "dropped"}},
       "= {  (x),(-x)    (x>0),(x<0)#"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.after);
    const int length = static_cast<int>(std::string(c.selected).size());
    Select(c.selected, 0, length);
    app->RefocusEdit = 0;
    ASSERT_TRUE(RunDialog(c.id, c.caption, c.fields, Close::Ok));
    ExpectInserted(c.after, static_cast<int>(std::string(c.after).size()), c.selected);
  }
}

// Real keys into the focused edit box, then Escape: the fields the command
// reads are those of the last repaint, so the defaults go in.
TEST_F(InsertCommands, LimitClosedWithEscapeStillInserts) {
  Select("", 0, 0);
  ASSERT_TRUE(RunDialog(ID_INSERT_LIMIT, "Limit", [](HWND) {}, Close::EscapeKey));
  ExpectInserted("lim(x->inf)", 11, "");
  // Typed keys reach the box that has the focus; OK takes them.
  Select("", 0, 0);
  ASSERT_TRUE(RunDialog(
      ID_INSERT_LIMIT, "Limit",
      [](HWND dialog) {
        ::SetForegroundWindow(dialog);
        ::SetFocus(::GetDlgItem(dialog, IDC_INSERT_FIRST));
        ::SendDlgItemMessageA(dialog, IDC_INSERT_FIRST, EM_SETSEL, 0, -1);
        TypeKeys("pi");
        PumpUntil([&] {
          char text[16] = {};
          ::GetDlgItemTextA(dialog, IDC_INSERT_FIRST, text, sizeof text);
          return std::string(text) == "pi";
        });
      },
      Close::Ok));
  ExpectInserted("lim(x->pi)", 10, "");
}

// The integral, matrix, vector and piecewise commands insert only after OK.
TEST_F(InsertCommands, CancelledArrayAndIntegralDialogsInsertNothing) {
  const struct {
    UINT id;
    const char* caption;
  } cases[] = {{ID_INSERT_INTEGRAL, "Integral"},
               {ID_INSERT_MATRIX, "Maxtrix"},
               {ID_INSERT_VECTOR, "Vector"},
               {ID_INSERT_PIECEWISE, "Piecewise Defined Function"}};
  for (const auto& c : cases) {
    for (Close how : {Close::EscapeKey, Close::CloseBox}) {
      SCOPED_TRACE(c.caption);
      Select("keep", 1, 3);
      doc->SetModifiedFlag(FALSE);
      ASSERT_TRUE(RunDialog(c.id, c.caption, Fields{{IDC_INSERT_FIRST, "1"}}, how));
      EXPECT_EQ(BoxText(), TwentyLines({"keep"}));
      EXPECT_FALSE(doc->IsModified());
    }
  }
  // The others insert whatever way they end.
  Select("", 0, 0);
  ASSERT_TRUE(RunDialog(ID_INSERT_SUM, "Sum / Product", Fields{}, Close::CloseBox));
  EXPECT_EQ(BoxText(), TwentyLines({"sigma(i=1,10)"}));
}

// A selection reading as zero stays as it was.
TEST_F(InsertCommands, ScientificNotationOfZeroChangesNothing) {
  Select("0", 0, 1);
  ASSERT_TRUE(RunDialog(ID_INSERT_SCIENTIFIC, "Scientific Notation", Fields{}, Close::Ok));
  EXPECT_EQ(BoxText(), TwentyLines({"0"}));
  EXPECT_EQ(Caret(), 1);
}

// Run again under LC_ALL=de_DE.UTF-8, where the separator is ";".
TEST_F(InsertCommands, LocaleSeparatorInTheSum) {
  LocaleSeparators separators;
  separators.ReadDecimalSeparator();
  const std::string sum = std::string("sigma(i=1") + (separators.decimalSeparator == '.' ? "," : ";") + "10)";
  Select("", 0, 0);
  ASSERT_TRUE(RunDialog(ID_INSERT_SUM, "Sum / Product", Fields{}, Close::Ok));
  EXPECT_EQ(BoxText(), TwentyLines({sum.c_str()}));
}

// --- the previews ----------------------------------------------------------------------

// The dialog's client area as it shows now: dark pixels, row by row.
std::vector<bool> Ink(HWND dialog) {
  std::vector<bool> ink;
  for (const COLORREF c : ShownPixels(dialog)) ink.push_back(GetRValue(c) + GetGValue(c) + GetBValue(c) < 200);
  return ink;
}

size_t Count(const std::vector<bool>& ink) { return static_cast<size_t>(std::count(ink.begin(), ink.end(), true)); }

TEST_F(InsertCommands, SumAndProductDrawDifferentSigns) {
  std::vector<bool> sum, product;
  Select("", 0, 0);
  ASSERT_TRUE(RunDialog(ID_INSERT_SUM, "Sum / Product", [&](HWND d) { sum = Ink(d); }, Close::Ok));
  Select("", 0, 0);
  ASSERT_TRUE(
      RunDialog(ID_INSERT_PRODUCT, "Sum / Product", [&](HWND d) { product = Ink(d); }, Close::Ok));
  ASSERT_EQ(sum.size(), product.size());
  // Both show a sign beside the boxes' frames and the button's text.
  std::vector<bool> differ(sum.size());
  for (size_t i = 0; i < sum.size(); ++i) differ[i] = sum[i] != product[i];
  EXPECT_GT(Count(differ), 50u);
  EXPECT_GT(Count(sum), 0u);
  EXPECT_GT(Count(product), 0u);
}

// Every preview stays inside its dialog: no ink in the two pixels along the
// client area's edges (the limit's "lim" was cut at the top, the nth root's
// stroke ran out at the right).
TEST_F(InsertCommands, PreviewsStayInsideTheirDialogs) {
  const struct {
    UINT command;
    const char* caption;
  } dialogs[] = {{ID_INSERT_LIMIT, "Limit"},
                 {ID_INSERT_NTH_ROOT, "nth Root"},
                 {ID_INSERT_INTEGRAL, "Integral"},
                 {ID_INSERT_SUM, "Sum / Product"},
                 {ID_INSERT_PRODUCT, "Sum / Product"},
                 {ID_INSERT_BOUNDS, "Bounds of Integration"},
                 {ID_INSERT_DERIVATIVE_AT_POINT, "Derivative at Point"},
                 {ID_INSERT_SCIENTIFIC, "Scientific Notation"}};
  for (const auto& dialog : dialogs) {
    std::vector<bool> ink;
    CRect client;
    Select("", 0, 0);
    ASSERT_TRUE(RunDialog(dialog.command, dialog.caption,
                          [&](HWND d) {
                            ink = Ink(d);
                            ::GetClientRect(d, &client);
                          },
                          Close::CloseBox));
    const int w = client.Width(), h = client.Height();
    ASSERT_EQ(ink.size(), static_cast<size_t>(w) * h);
    int edge = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (x < 2 || y < 2 || x >= w - 2 || y >= h - 2) edge += ink[static_cast<size_t>(y) * w + x];
    EXPECT_EQ(edge, 0) << dialog.caption;
  }
}

// A screen context in 0.01 mm, as the dialogs paint.
class HimetricScreen {
 public:
  HimetricScreen() : dc(nullptr) { dc.SetMapMode(MM_HIMETRIC); }
  CWindowDC dc;
};

TEST_F(InsertCommands, FittedIntegralGrowsWithItsPlaceholder) {
  HimetricScreen screen;
  const QVMOptions options(3);
  const int32_t small = FittedPreviewSize(screen.dc, options, 20000, CSize(1500, 3000));
  const int32_t large = FittedPreviewSize(screen.dc, options, 20000, CSize(3000, 6000));
  EXPECT_GT(small, 0);
  EXPECT_GT(large, small);
  // Twice the space, about twice the size (both truncated to whole 0.01 mm).
  EXPECT_NEAR(large, 2 * small, 2);
  // No space: nothing to draw in.
  EXPECT_EQ(FittedPreviewSize(screen.dc, options, 20000, CSize(0, 0)), 0);
}

// A context that answers no text queries measures the sign as nothing:
// the trial size stays instead of a division by zero.
TEST_F(InsertCommands, FittingASignThatMeasuresNothingKeepsTheTrialSize) {
  CDC wmf;
  wmf.Attach(::CreateMetaFileA(nullptr));
  wmf.SetMapMode(MM_ANISOTROPIC);
  const QVMOptions options(3);
  EXPECT_EQ(FittedPreviewSize(wmf, options, 20000, CSize(1500, 3000)), 20000);
  ::DeleteMetaFile(::CloseMetaFile(wmf.Detach()));
}

}  // namespace
