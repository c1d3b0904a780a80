// Pixel checks of drawings whose faults only show once rasterised: the gap
// between a matrix and its brackets, the room between a root's index and
// its sign, the ink of stretched brackets against the measured box and
// between their pieces, a tab in pasted text; neighbours that touched,
// signs over a fraction's bar, a fraction's rows that came too near its
// bar, brackets short of their contents' ink, the width of a root and a
// bound centred over its sign.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
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
  explicit ParsedLine(const std::string& equation, const std::string& settings = "") {
    std::string error;
    ok = PrepareRenderCase({"", settings, equation}, options, line, &error);
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

// Runs of columns that hold ink, left to right (with `rows`, runs of rows,
// top to bottom).
std::vector<InkRun> InkColumnRuns(const LineCanvas& canvas, bool rows = false) {
  std::vector<InkRun> runs;
  const int lines = rows ? canvas.Height() : canvas.Width();
  const int along = rows ? canvas.Width() : canvas.Height();
  for (int i = 0; i < lines; ++i) {
    bool ink = false;
    for (int j = 0; j < along && !ink; ++j) ink = rows ? IsInk(canvas, j, i) : IsInk(canvas, i, j);
    if (!ink) continue;
    if (!runs.empty() && runs.back().last == i - 1) runs.back().last = i;
    else runs.push_back({i, i});
  }
  return runs;
}

// The number of separate shapes of ink (pixels touching at a side or a
// corner make one shape).
int InkShapes(const LineCanvas& canvas) {
  const int w = canvas.Width(), h = canvas.Height();
  std::vector<char> seen(static_cast<size_t>(w) * h, 0);
  int shapes = 0;
  for (int start = 0; start < w * h; ++start) {
    if (seen[static_cast<size_t>(start)] || !IsInk(canvas, start % w, start / w)) continue;
    ++shapes;
    std::vector<int> stack{start};
    seen[static_cast<size_t>(start)] = 1;
    while (!stack.empty()) {
      const int at = stack.back();
      stack.pop_back();
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int x = at % w + dx, y = at / w + dy;
          const bool outside = x < 0 || y < 0 || x >= w || y >= h;
          if (outside || seen[static_cast<size_t>(y * w + x)] || !IsInk(canvas, x, y)) continue;
          seen[static_cast<size_t>(y * w + x)] = 1;
          stack.push_back(y * w + x);
        }
    }
  }
  return shapes;
}

// The rows [first, last] holding ink in columns [left, right].
InkRun InkRows(const LineCanvas& canvas, int left, int right) {
  InkRun rows{canvas.Height(), -1};
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = left; x <= right; ++x)
      if (IsInk(canvas, x, y)) rows = {std::min(rows.first, y), std::max(rows.last, y)};
  return rows;
}

// The main font at 14 and at 40 points.
const char* const kFontSizes[] = {"", "Font=-14,0,0,0,400,0,0,0,0,7,48,2,2,0,494,Arial",
                                  "Font=-14,0,0,0,400,0,0,0,0,7,48,2,2,0,1411,Arial"};

// Neighbours keep a pixel of paper between their inks at every size: an
// equation has as many separate shapes of ink as the same one with blanks
// typed between the neighbours (italic overhangs beside brackets and
// primes, signs beside their operands and bounds).
TEST(RenderPixels, NeighboursKeepPaperBetweenThem) {
  const struct {
    const char* settings;
    const char* tight;
    const char* spaced;
  } pairs[] = {
      {"", "x=(-b+-sqrt(b^2-4ac))/(2a)", "x=(-b +- sqrt(b^2-4ac))/(2a)"},
      {"", "A=P(1+r/n)^(nt)", "A=P (1+r/n)^(nt)"},
      {"", "f(x,y)=x^2+y^2", "f (x,y)=x^2+y^2"},
      {"", "u'v'", "u ' v '"},
      {"", "f''(x)", "f ' ' (x)"},
      {"", "sigma(i=1,n)i", "sigma(i=1,n) i"},
      {"IntegralStyle=1 ", "int(0,1)x^2 dx", "int(0,1) x^2 dx"},
      {"", "sigma(k=0,n)product(i=1,k)x\\i", "sigma(k=0,n) product(i=1,k) x\\i"},
      {"", "lim(x->inf)(1+1/x)^x", "lim(x->inf) (1+1/x)^x"},
      {"", "tan-1(x)", "tan-1 (x)"},
  };
  for (const char* size : kFontSizes)
    for (const auto& pair : pairs) {
      ParsedLine tight(pair.tight, pair.settings + std::string(size));
      ParsedLine spaced(pair.spaced, pair.settings + std::string(size));
      ASSERT_TRUE(tight.ok && spaced.ok);
      EXPECT_EQ(InkShapes(*tight.Draw().canvas), InkShapes(*spaced.Draw().canvas))
          << pair.tight << " " << size;
    }
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

// The first token of `kind` in the row or below it (depth first).
QVMToken* FindKind(const TokenRow& row, TokenKind kind) {
  for (QVMToken* token : row) {
    if (token->kind == kind) return token;
    if (QVMToken* inner = FindKind(token->row1, kind)) return inner;
    if (QVMToken* inner = FindKind(token->row2, kind)) return inner;
  }
  return nullptr;
}

// A part's ink is what the first construct of `kind` draws beyond the rest
// (drawn again without the part, its row `row`, from the same layout); it
// keeps a blank pixel all round from the rest.
void ExpectPartKeepsClear(const char* text, TokenKind kind, int row, const char* part) {
  ParsedLine parsed(text);
  ASSERT_TRUE(parsed.ok) << text;
  const Drawing whole = parsed.Draw();
  QVMToken* construct = FindKind(parsed.line.Root(), kind);
  ASSERT_NE(construct, nullptr) << text;
  TokenRow& removed = row == 1 ? construct->row1 : construct->row2;
  ASSERT_FALSE(removed.IsEmpty()) << text;
  removed.RemoveAll();  // the laid-out tree is drawn again as it stands
  const Drawing rest = parsed.Draw();
  const LineCanvas& a = *whole.canvas;
  const LineCanvas& b = *rest.canvas;
  ASSERT_EQ(a.Width(), b.Width());
  int partPixels = 0;
  for (int y = 1; y + 1 < a.Height(); ++y)
    for (int x = 1; x + 1 < a.Width(); ++x) {
      if (!IsInk(a, x, y) || IsInk(b, x, y)) continue;
      ++partPixels;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          EXPECT_FALSE(IsInk(b, x + dx, y + dy))
              << text << ": " << part << " pixel (" << x << ", " << y << ") touches the rest";
    }
  EXPECT_GT(partPixels, 4) << text << ": no " << part << " drawn";
}

TEST(RenderPixels, RootIndexClearsTheSign) {
  for (const char* text : {"3root(27)", "3root(a/b)", "nroot x"})
    ExpectPartKeepsClear(text, TK_ROOT, 2, "index");
}

// The blank rows between a fraction's bar (the longest run of ink along a
// row) and the nearest trace of ink above it and below it, in its columns.
struct BarGaps {
  int above = -1, below = -1;
};
BarGaps GapsAtBar(const LineCanvas& c) {
  int barRow = -1, left = 0, right = -1;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0, run = 0; x < c.Width(); ++x) {
      run = IsInk(c, x, y, 250) ? run + 1 : 0;
      if (run <= right - left + 1) continue;
      barRow = y;
      left = x - run + 1;
      right = x;
    }
  auto blank = [&](int y) {
    for (int x = left; x <= right; ++x)
      if (IsInk(c, x, y, 250)) return false;
    return true;
  };
  auto full = [&](int y) { return y >= 0 && y < c.Height() && !blank(y) && IsInk(c, left, y, 250); };
  int top = barRow, bottom = barRow;
  while (full(top - 1)) --top;
  while (full(bottom + 1)) ++bottom;
  BarGaps gaps{0, 0};
  while (top - gaps.above - 1 >= 0 && blank(top - gaps.above - 1)) ++gaps.above;
  while (bottom + gaps.below + 1 < c.Height() && blank(bottom + gaps.below + 1)) ++gaps.below;
  return gaps;
}

// Whatever a fraction holds, its rows' ink keeps clear of the bar at every
// size: as far above it as a letter on the baseline ("x/n"), give or take a
// pixel (descenders, brackets, a tall sign without limits, a radical's
// hook, a nested bar), and at least as far below it as an ascender ("x/h";
// radicals, exponents, brackets, accents).
TEST(RenderPixels, FractionRowsKeepTheirPaperFromTheBar) {
  const char* const fractions[] = {"y/n",        "g/h",         "dy/dx",    "(x+y)/2",
                                   "Q/P",        "(sigma x)/n", "((a/b))/c", "(product x\\i)/n",
                                   "1/(sqrt x)", "a/(b^2)",     "a/((b/c))", "2/(x_)"};
  auto gaps = [](const char* text, const std::string& size) {
    ParsedLine parsed(text, size);
    EXPECT_TRUE(parsed.ok) << text;
    return GapsAtBar(*parsed.Draw().canvas);
  };
  for (const char* size : kFontSizes) {
    const int letterAbove = gaps("x/n", size).above, ascenderBelow = gaps("x/h", size).below;
    ASSERT_GE(letterAbove, 2) << size;
    ASSERT_GE(ascenderBelow, 2) << size;
    for (const char* text : fractions) {
      const BarGaps g = gaps(text, size);
      EXPECT_NEAR(g.above, letterAbove, 1) << text << " " << size;
      EXPECT_GE(g.below, ascenderBelow) << text << " " << size;
    }
  }
}

// A sum without limits over a fraction's bar inside a longer line keeps
// paper from the bar (alone over a bar, the fraction rows' test has it);
// an upper bound keeps it from its sign.
TEST(RenderPixels, SignsClearTheBarAndTheirBounds) {
  for (const char* text : {"mu=(sigma f x)/(sigma f)", "s=sqrt((sigma (x\\i-x_)^2)/(n-1))"})
    ExpectPartKeepsClear(text, TK_FRACTION, 1, "numerator");
  ExpectPartKeepsClear("product(k=1,10)k", TK_CODEDRAW2, 2, "upper bound");
}

// Tall brackets of matrices, vectors and groups reach past the ink of what
// they hold, above and below, at every size.
TEST(RenderPixels, BracketsReachPastTheirContents) {
  for (const char* size : kFontSizes)
    for (const char* text : {"[a,c b,y]", "(p,q,y)", "[a/y]", "|x/2|"}) {
      ParsedLine parsed(text, size);
      ASSERT_TRUE(parsed.ok);
      const Drawing d = parsed.Draw();
      const std::vector<InkRun> runs = InkColumnRuns(*d.canvas);
      ASSERT_GE(runs.size(), 3u) << text;
      const InkRun bracket = InkRows(*d.canvas, runs.front().first, runs.front().last);
      const InkRun contents = InkRows(*d.canvas, runs.front().last + 1, runs.back().first - 1);
      EXPECT_LT(bracket.first, contents.first) << text << " " << size;
      EXPECT_GT(bracket.last, contents.last) << text << " " << size;
    }
}

// A root's box ends where its ink does: the paper between it and the next
// sign is that after a square root of the same radicand.
TEST(RenderPixels, RootIsAsWideAsItsInk) {
  for (const auto& [root, square] : {std::pair{"4root(16)=2", "sqrt(16)=2"},
                                     std::pair{"3root(x+1)=y", "sqrt(x+1)=y"}}) {
    auto gapBeforeEquals = [](const char* text) {
      ParsedLine parsed(text);
      EXPECT_TRUE(parsed.ok);
      const std::vector<InkRun> runs = InkColumnRuns(*parsed.Draw().canvas);
      return runs.size() < 3 ? -1 : runs[runs.size() - 2].first - runs[runs.size() - 3].last;
    };
    EXPECT_NEAR(gapBeforeEquals(root), gapBeforeEquals(square), 1) << root;
  }
}

// An upper bound that starts with a blank (an empty group before "inf")
// stands centred over its sign, at every size.
TEST(RenderPixels, BoundStandsCentredOverItsSign) {
  for (const char* size : kFontSizes) {
    ParsedLine parsed("sigma(n=1,inf)", size);
    ASSERT_TRUE(parsed.ok);
    const Drawing d = parsed.Draw();
    const LineCanvas& c = *d.canvas;
    // Bands of rows with ink, top to bottom: the bound, the sign, the lower bound.
    const std::vector<InkRun> bands = InkColumnRuns(c, true);
    ASSERT_EQ(bands.size(), 3u) << size;
    auto middle = [&c](const InkRun& band) {
      int left = c.Width(), right = -1;
      for (int y = band.first; y <= band.last; ++y)
        for (int x = 0; x < c.Width(); ++x)
          if (IsInk(c, x, y)) {
            left = std::min(left, x);
            right = std::max(right, x);
          }
      return (left + right) / 2.0;
    };
    EXPECT_NEAR(middle(bands[0]), middle(bands[1]), 1.0) << size;
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
