// Pixel checks of drawings whose faults only show once rasterised: the gap
// between a matrix and its brackets, the room between a root's index and
// its sign, the ink of stretched brackets against the measured box and
// between their pieces, a tab in pasted text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/LineRender.h"
#include "engine/TreeText.h"
#include "tests/win/GdiTestSupport.h"

namespace {

constexpr int kScreenDpi = 96;

struct Drawing {
  std::unique_ptr<LineCanvas> canvas;
  CRect box;  // the measured box, in pixels
};

// One parsed line with its options; drawn as the view draws it, and again
// from the same tree after a test changed it.
struct ParsedLine {
  explicit ParsedLine(const std::string& equation) {
    std::string error;
    ok = PrepareRenderCase({"", "", equation}, options, line, &error);
    EXPECT_TRUE(ok) << error;
  }
  Drawing Draw() {
    Drawing d;
    ExtentRecord extent;
    d.canvas = RenderLine(line, options, &extent);
    const int margin = HimetricToPixels(kViewMargin, kScreenDpi);
    d.box = CRect(margin, margin, HimetricToPixels(kViewMargin + extent.width, kScreenDpi),
                  HimetricToPixels(kViewMargin + extent.height, kScreenDpi));
    return d;
  }
  QVMOptions options;
  EquationLine line;
  bool ok = false;
};

// Dark enough to count as a glyph's body; `level` lower for any trace of ink.
bool IsInk(const LineCanvas& canvas, int x, int y, int level = 160) {
  const COLORREF p = canvas.Pixel(x, y);
  return GetRValue(p) + GetGValue(p) + GetBValue(p) < 3 * level;
}

struct InkRun {
  int first, last;
};

// Runs of columns that hold ink, left to right.
std::vector<InkRun> InkColumnRuns(const LineCanvas& canvas) {
  std::vector<InkRun> runs;
  for (int x = 0; x < canvas.Width(); ++x) {
    bool ink = false;
    for (int y = 0; y < canvas.Height() && !ink; ++y) ink = IsInk(canvas, x, y);
    if (!ink) continue;
    if (!runs.empty() && runs.back().last == x - 1) runs.back().last = x;
    else runs.push_back({x, x});
  }
  return runs;
}

// The blank columns between a matrix and its left bracket and between its
// last column and the right bracket are about equal, within the glyphs'
// side bearings (the brackets and two columns are the last four runs of
// ink).
TEST(RenderPixels, MatrixSitsInTheMiddleOfItsBrackets) {
  for (const char* text : {"(8,8 8,8)", "A=(1,3 2,4)", "[a,b c,d]"}) {
    ParsedLine parsed(text);
    if (!parsed.ok) continue;
    const Drawing d = parsed.Draw();
    const std::vector<InkRun> runs = InkColumnRuns(*d.canvas);
    ASSERT_GE(runs.size(), 4u) << text << ": a bracket touches the matrix";
    const size_t n = runs.size();
    const int left = runs[n - 3].first - runs[n - 4].last - 1;
    const int right = runs[n - 1].first - runs[n - 2].last - 1;
    EXPECT_GE(left, 2) << text;
    EXPECT_GE(right, 2) << text;
    EXPECT_LE(std::abs(left - right), 2) << text << ": gaps " << left << " and " << right;
  }
}

// The index's ink is what the root draws beyond its sign and radicand
// (drawn again without the index, from the same layout); it keeps a blank
// pixel all round from them.
TEST(RenderPixels, RootIndexClearsTheSign) {
  for (const char* text : {"3root(27)", "3root(a/b)", "nroot x"}) {
    ParsedLine parsed(text);
    if (!parsed.ok) continue;
    const Drawing whole = parsed.Draw();
    QVMToken* root = parsed.line.Root().GetAt(0);
    while (root->kind != TK_ROOT && !root->row1.IsEmpty()) root = root->row1.GetAt(0);
    ASSERT_EQ(root->kind, TK_ROOT) << text;
    ASSERT_FALSE(root->row2.IsEmpty()) << text;
    root->row2.RemoveAll();  // the laid-out tree is drawn again as it stands
    const Drawing sign = parsed.Draw();
    const LineCanvas& a = *whole.canvas;
    const LineCanvas& b = *sign.canvas;
    ASSERT_EQ(a.Width(), b.Width());
    int indexPixels = 0;
    for (int y = 1; y + 1 < a.Height(); ++y)
      for (int x = 1; x + 1 < a.Width(); ++x) {
        if (!IsInk(a, x, y) || IsInk(b, x, y)) continue;
        ++indexPixels;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            EXPECT_FALSE(IsInk(b, x + dx, y + dy))
                << text << ": index pixel (" << x << ", " << y << ") touches the sign";
      }
    EXPECT_GT(indexPixels, 4) << text << ": no index drawn";
  }
}

// Tall brackets built of pieces keep their ink inside the measured box.
TEST(RenderPixels, StretchedBracketInkStaysInTheBox) {
  for (const char* text : {"(1,2 3,4 5,6)", "[a/b/c/d]", "{x,y z,w}", "|a/b/c|", "(a,b c,d e,f g,h)",
                           "int(0,1)(x/y/z)dx"}) {
    ParsedLine parsed(text);
    if (!parsed.ok) continue;
    const Drawing d = parsed.Draw();
    const CRect ink = d.canvas->InkBounds();
    EXPECT_GE(ink.top, d.box.top) << text;
    EXPECT_LE(ink.bottom, d.box.bottom) << text;
  }
}

// The pieces of a tall bracket meet: every row from the bracket's top to
// its bottom holds ink (smoothed curves count) in the bracket's columns,
// the first run of ink.
TEST(RenderPixels, StretchedBracketPiecesMeet) {
  for (const char* text : {"(1,2 3,4 5,6)", "[a/b/c/d]", "int(0,1)(x/y/z/w)dx"}) {
    ParsedLine parsed(text);
    if (!parsed.ok) continue;
    const Drawing d = parsed.Draw();
    const std::vector<InkRun> runs = InkColumnRuns(*d.canvas);
    ASSERT_FALSE(runs.empty()) << text;
    std::vector<bool> rows(static_cast<size_t>(d.canvas->Height()));
    for (int y = 0; y < d.canvas->Height(); ++y)
      for (int x = runs[0].first; x <= runs[0].last; ++x)
        if (IsInk(*d.canvas, x, y, 230)) rows[static_cast<size_t>(y)] = true;
    int top = 0, bottom = d.canvas->Height() - 1;
    while (top < bottom && !rows[static_cast<size_t>(top)]) ++top;
    while (bottom > top && !rows[static_cast<size_t>(bottom)]) --bottom;
    EXPECT_GT(bottom - top, 30) << text << ": no tall bracket";
    for (int y = top; y <= bottom; ++y) EXPECT_TRUE(rows[static_cast<size_t>(y)]) << text << ": gap at row " << y;
  }
}

// A tab pasted into the text is the tab mark: the same drawing, no
// missing-glyph box.
TEST(RenderPixels, TabDrawsAsTheTabMark) {
  ParsedLine tab("a\tb"), mark("a\xBB" "b");
  if (!tab.ok || !mark.ok) return;
  const Drawing a = tab.Draw();
  const Drawing b = mark.Draw();
  ASSERT_EQ(a.canvas->Width(), b.canvas->Width());
  ASSERT_EQ(a.canvas->Height(), b.canvas->Height());
  int differing = 0;
  for (int y = 0; y < a.canvas->Height(); ++y)
    for (int x = 0; x < a.canvas->Width(); ++x) differing += a.canvas->Pixel(x, y) != b.canvas->Pixel(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(tab.line.Root().KindAt(1), TK_TAB);
}

}  // namespace
