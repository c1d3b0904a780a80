// The equation list measured and drawn: the relation signs of its lines at
// one x (read from the text records of enhanced metafiles), the stacked
// heights and offsets, the empty list, underlines and the text alignment.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/EquationList.h"
#include "engine/LineRender.h"
#include "tests/win/EmfRecords.h"
#include "tests/win/GdiTestSupport.h"

namespace {

// A list of `text` in style 0 with `style` as VerticalAlignStyle.
struct DrawnList {
  explicit DrawnList(const char* text, int style = 0) {
    options.VerticalAlignStyle.Value = style;
    list.SetText(text, options);
  }
  ExtentRecord Measure() { return MeasureListOnScreen(list, options); }
  EmfDrawing Draw(int x = 0, int y = 0, UINT alignment = TA_BOTTOM | TA_LEFT) {
    return RecordEmf([&](CDC& dc) {
      dc.SetTextAlign(alignment);
      list.Draw(dc, x, y, options);
    });
  }
  int32_t Height(int line) const { return list.Engines[line - 1]->extent.height; }
  QVMOptions options{0};
  QVEquationList list;
};

// A Symbol code as recorded (U+F0xx with the Symbol font, the plain code
// when a stand-in font answers) made plain.
std::wstring Plain(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= 0xF000 && c <= 0xF0FF) c = static_cast<wchar_t>(c - 0xF000);
  return text;
}

// The x of every text record that is `text`, in drawing order.
std::vector<LONG> XsOf(const EmfDrawing& drawing, const wchar_t* text) {
  std::vector<LONG> xs;
  for (const EmfText& t : drawing.texts)
    if (Plain(t.text) == text) xs.push_back(t.at.x);
  return xs;
}

struct AlignedCase {
  const char* text;
  const wchar_t* sign;  // Symbol codes as their byte values
  size_t lines;
};

TEST(EquationListDraw, RelationSignsStandAtOneXInBothStyles) {
  const AlignedCase cases[] = {
      {"a=b\r\n=c", L"=", 2},
      {"x+1=2\r\ny=10", L"=", 2},
      {"a = b\r\n= c\r\n= d", L"=", 3},
      {"x+1=2\r\ny=10\r\nz-12=3", L"=", 3},
      {"2x+3y-4z<=10\r\nx<=1", L"\xA3", 2},
      {"a->b+c\r\nb->c", L"\xAE", 2},
  };
  for (const AlignedCase& c : cases)
    for (int style = 0; style < 2; ++style) {
      SCOPED_TRACE(std::string(c.text) + " style " + std::to_string(style));
      DrawnList d(c.text, style);
      const std::vector<LONG> xs = XsOf(d.Draw(), c.sign);
      ASSERT_EQ(xs.size(), c.lines);
      for (LONG x : xs) EXPECT_EQ(x, xs[0]);
    }
}

// Style 0 puts the spacer before "y" (left-hand sides end flush), style 1
// between "y" and "=" (they start flush).
TEST(EquationListDraw, StyleChoosesWhereTheLeftHandSidesMeet) {
  for (int style = 0; style < 2; ++style) {
    DrawnList d("x+1=2\r\ny=10", style);
    const EmfDrawing drawing = d.Draw();
    const LONG x = XsOf(drawing, L"x").at(0), y = XsOf(drawing, L"y").at(0);
    if (style == 0) EXPECT_GT(y, x);
    else EXPECT_EQ(y, x);
    EXPECT_EQ(d.list.Engines[1]->Root().KindAt(style), TK_DELTA);
  }
}

TEST(EquationListMeasure, EmptyMiddleLineAddsOneSpacing) {
  DrawnList d("a+b\r\n\r\n(x)/(y)");
  const ExtentRecord r = d.Measure();
  const int32_t spacing = d.options.VerticalSpacing.Value;
  const int32_t h1 = d.Height(1), h3 = d.Height(3);
  EXPECT_EQ(r.height, h1 + h3 + 2 * spacing);
  EXPECT_EQ(d.list.Offsets[0], h3 + 2 * spacing);
  EXPECT_EQ(d.list.Offsets[1], h3 + spacing);
  EXPECT_EQ(d.list.Offsets[2], 0);
  EXPECT_EQ(r.align, r.height - h1 + d.list.Engines[0]->extent.align);
  EXPECT_EQ(r.margin, 0);

  // Drawn from the bottom: line 1's baseline lies its offset above line 3's.
  const EmfDrawing drawing = d.Draw(0, 0);
  const LONG a = drawing.texts.at(0).at.y;
  EXPECT_EQ(a, d.list.Offsets[0] + d.list.Engines[0]->Root().GetAt(0)->extent.adjust);
}

TEST(EquationListMeasure, EmptyListMeasuresLikeThreeAndDrawsNothing) {
  DrawnList empty("");
  DrawnList three("3");
  const ExtentRecord e = empty.Measure(), t = three.Measure();
  EXPECT_EQ(e.width, t.width);
  EXPECT_EQ(e.height, t.height);
  EXPECT_EQ(e.align, t.align);
  EXPECT_EQ(e.margin, t.margin);
  EXPECT_EQ(empty.list.Lines[0], "");
  EXPECT_TRUE(empty.Draw().texts.empty());
  // Text typed later replaces the stand-in.
  empty.list.SetText("x", empty.options);
  EXPECT_EQ(XsOf(empty.Draw(), L"x").size(), 1u);
  EXPECT_TRUE(XsOf(empty.Draw(), L"3").empty());
}

TEST(EquationListMeasure, OneLineListIsItsLine) {
  DrawnList d("x^2+1=y");
  const ExtentRecord r = d.Measure();
  EquationLine line;
  line.SetText("x^2+1=y", d.options);
  const ExtentRecord l = MeasureLineOnScreen(line, d.options);
  EXPECT_EQ(r.width, l.width);
  EXPECT_EQ(r.height, l.height);
  EXPECT_EQ(r.align, l.align);
  EXPECT_EQ(r.margin, l.margin);
  // The list passes the margin on: its row starts a margin in.
  const EmfDrawing drawing = d.Draw(1000, 0);
  EXPECT_EQ(drawing.texts.at(0).at.x, 1000 + r.margin);
}

TEST(EquationListMeasure, OnlyLineTwoHasAlignEqualToHeight) {
  DrawnList d("\r\nx+1");
  const ExtentRecord r = d.Measure();
  EXPECT_EQ(r.align, r.height);
  EXPECT_EQ(r.height, d.Height(2) + d.options.VerticalSpacing.Value);
}

TEST(EquationListDraw, AlignEqualsClearLeavesTheSignsWhereTheyFall) {
  DrawnList d("x+1=2\r\ny=10");
  ASSERT_EQ(d.list.Engines[1]->Root().KindAt(0), TK_VARIABLE);
  d.Measure();
  ASSERT_EQ(d.list.Engines[1]->Root().KindAt(0), TK_DELTA);
  d.options.AlignEquals.Value = false;
  const std::vector<LONG> xs = XsOf(d.Draw(), L"=");
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_LT(xs[1], xs[0]);
  for (auto& engine : d.list.Engines)
    for (QVMToken* t : engine->Root()) EXPECT_NE(t->kind, TK_DELTA);
}

// One rule for the underlined line, none for the others.
TEST(EquationListDraw, UnderlineDrawsOneRulePerUnderlinedLine) {
  DrawnList d("x+1=2\r\ny=10\r\nz");
  EXPECT_EQ(FirstRecord(d.Draw(), EMR_LINETO), -1);
  d.list.Formats[1].Underline = true;
  const EmfDrawing drawing = d.Draw(100, 0);
  const int lineTo = FirstRecord(drawing, EMR_LINETO);
  ASSERT_GE(lineTo, 0);
  EXPECT_EQ(drawing.types.at(lineTo - 1), static_cast<DWORD>(EMR_MOVETOEX));
  EXPECT_EQ(std::count(drawing.types.begin(), drawing.types.end(), static_cast<DWORD>(EMR_LINETO)), 1);
}

// Line formats reach the fonts of their own line only, and the options'
// own format is back after the list is done.
TEST(EquationListDraw, LineFormatsApplyPerLineAndAreRestored) {
  DrawnList d("x\r\ny");
  d.list.Formats[0].UseColour = true;
  d.list.Formats[0].Colour = RGB(0, 128, 0);
  const ExtentRecord plain = d.Measure();
  d.list.Formats[1].Bold = true;
  d.options.CurrentLineFormat.Italic = true;
  d.Draw();
  EXPECT_TRUE(d.options.CurrentLineFormat.Italic);
  EXPECT_FALSE(d.options.CurrentLineFormat.Bold);
  EXPECT_EQ(d.list.Engines[0]->Root().GetAt(0)->Font().Description.Color, RGB(0, 128, 0));
  EXPECT_EQ(d.list.Engines[1]->Root().GetAt(0)->Font().Description.LogFont.lfWeight, 700);
  EXPECT_NE(d.list.Engines[0]->Root().GetAt(0)->Font().Description.LogFont.lfWeight, 700);
  EXPECT_GT(plain.height, 0);
}

// A measure lays out again only what changed, but a changed line format or
// drawing scale reaches the kept layout of the other lines too.
TEST(EquationListMeasure, FormatAndScaleChangesReachKeptLayout) {
  DrawnList d("xxxx=1\r\nyy=2");
  const ExtentRecord plain = d.Measure();
  d.list.Formats[0].Bold = true;
  const ExtentRecord bold = d.Measure();
  EXPECT_GT(bold.width, plain.width);
  d.options.DrawScale = 2.0;
  const ExtentRecord scaled = d.Measure();
  EXPECT_GT(scaled.height, bold.height * 3 / 2);
  d.options.DrawScale = 1.0;
  d.list.Formats[0].Bold = false;
  const ExtentRecord back = d.Measure();
  EXPECT_EQ(back.width, plain.width);
  EXPECT_EQ(back.height, plain.height);
}

// Editing a left-hand side moves every line's spacers; the signs stay in
// one column after each keystroke.
TEST(EquationListDraw, SignsFollowAnEditedLeftHandSide) {
  DrawnList d("x+1=2\r\ny=10\r\nz-12=3");
  d.Draw();
  for (const char* text : {"x+1+z=2\r\ny=10\r\nz-12=3", "x=2\r\ny=10\r\nz-12=3",
                           "x=2\r\nyyyyyy=10\r\nz-12=3", "x=2\r\ny=10\r\nz=3"}) {
    SCOPED_TRACE(text);
    d.list.SetText(text, d.options);
    const std::vector<LONG> xs = XsOf(d.Draw(), L"=");
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_EQ(xs[1], xs[0]);
    EXPECT_EQ(xs[2], xs[0]);
  }
}

// TA_TOP puts the top at y, TA_BOTTOM the bottom; TA_RIGHT ends at x.
TEST(EquationListDraw, TextAlignmentPlacesTheBox) {
  DrawnList d("a=b\r\nc=d");
  const ExtentRecord r = d.Measure();
  const EmfText bottom = d.Draw(0, 0, TA_BOTTOM | TA_LEFT).texts.at(0);
  const EmfText top = d.Draw(0, 0, TA_TOP | TA_LEFT).texts.at(0);
  const EmfText right = d.Draw(0, 0, TA_BOTTOM | TA_RIGHT).texts.at(0);
  EXPECT_EQ(top.at.y, bottom.at.y - r.height);
  EXPECT_EQ(right.at.x, bottom.at.x - r.width);
}

TEST(EquationListDraw, RepaintsMakeNoTokensAndLeakNoGdiObjects) {
  GdiBalance balance;
  DrawnList d("x+1=2\r\ny=10\r\n= 3");
  d.list.Formats[2].Underline = true;
  d.Draw();
  int made = 0;
  for (auto& engine : d.list.Engines) made += engine->Factory().GetCount();
  ExtentRecord first = d.Measure();
  for (int repaint = 0; repaint < 5; ++repaint) {
    d.Draw();
    const ExtentRecord again = d.Measure();
    EXPECT_EQ(again.width, first.width);
    EXPECT_EQ(again.height, first.height);
  }
  int now = 0;
  for (auto& engine : d.list.Engines) now += engine->Factory().GetCount();
  EXPECT_EQ(now, made);
}

// Lines kept from before an edit elsewhere, and lines the edit changed,
// repainted in the bands the list reports, look exactly as the same text
// drawn from scratch: the third line grows (nothing else moves), then a
// left-hand side widens (the column moves every line), then the second line
// grows taller (the lines below it move).
TEST(EquationListDraw, RepaintAfterAnEditMatchesADrawFromScratch) {
  const char* const edits[] = {
      "x+1=2\r\ny=int(0,1)x dx\r\nsqrt(z)=3\r\nw=4",
      "x+1=2\r\ny=int(0,1)x dx\r\nsqrt(z)=345\r\nw=4",
      "x+1=2\r\ny=int(0,1)x dx\r\nsqrt(z)+qq=345\r\nw=4",
      "x+1=2\r\ny=int(0,1)x dx+1/(1/(1/(1/x)))\r\nsqrt(z)+qq=345\r\nw=4",
  };
  const CSize size(12000, 9000);
  GdiBalance balance;
  QVMOptions options(0);
  QVEquationList edited;
  LineCanvas repainted(size);
  for (const char* text : edits) {
    edited.SetText(text, options);
    RepaintChangedBands(repainted, edited, options, kViewMargin, -kViewMargin);
    QVMOptions freshOptions(0);
    QVEquationList fresh;
    fresh.SetText(text, freshOptions);
    LineCanvas scratch(size);
    scratch.Dc().SetTextAlign(TA_TOP | TA_LEFT);
    fresh.Draw(scratch.Dc(), kViewMargin, -kViewMargin, freshOptions);
    ::GdiFlush();
    ASSERT_FALSE(scratch.InkBounds().IsRectEmpty()) << text;
    int differing = 0;
    for (int y = 0; y < scratch.Height(); ++y)
      for (int x = 0; x < scratch.Width(); ++x) differing += repainted.Pixel(x, y) != scratch.Pixel(x, y);
    EXPECT_EQ(differing, 0) << text;
  }
}

// Pixels that differ between two canvases of one size.
int DifferingPixels(const LineCanvas& a, const LineCanvas& b) {
  ::GdiFlush();
  int differing = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) differing += a.Pixel(x, y) != b.Pixel(x, y);
  return differing;
}

// Pixels that differ between two enhanced metafiles (deleted after), each
// played into its own frame on a canvas of `size`.
int DifferingPlayback(HENHMETAFILE a, HENHMETAFILE b, CSize size) {
  LineCanvas first(size), second(size);
  for (auto [emf, canvas] : {std::pair{a, &first}, std::pair{b, &second}}) {
    ENHMETAHEADER header{};
    ::GetEnhMetaFileHeader(emf, sizeof header, &header);
    const RECTL& frame = header.rclFrame;  // 0.01 mm, y downwards
    const RECT place{frame.left, -frame.top, frame.right, -frame.bottom};
    ::PlayEnhMetaFile(canvas->Dc().GetSafeHdc(), emf, &place);
    ::DeleteEnhMetaFile(emf);
  }
  EXPECT_FALSE(second.InkBounds().IsRectEmpty());
  return DifferingPixels(first, second);
}

// A coloured line's brackets and script leave their pen behind for the
// next token; the underline still takes the pen the caller gave, as where
// nothing is kept (a printing context).
TEST(EquationListDraw, UnderlineTakesTheCallersPenAfterColouredShapes) {
  const CSize size(8000, 3000);
  GdiBalance balance;
  QVMOptions options(0);
  LineCanvas kept(size), scratch(size);
  scratch.Dc().m_bPrinting = true;
  for (LineCanvas* canvas : {&kept, &scratch}) {
    QVEquationList list;
    list.SetText("(a+b)^2=c", options);
    list.Formats[0].Underline = true;
    list.Formats[0].UseColour = true;
    list.Formats[0].Colour = RGB(200, 0, 0);
    canvas->Dc().SetTextAlign(TA_TOP | TA_LEFT);
    list.Draw(canvas->Dc(), kViewMargin, -kViewMargin, options);
  }
  scratch.Dc().m_bPrinting = false;
  EXPECT_FALSE(scratch.InkBounds().IsRectEmpty());
  EXPECT_EQ(DifferingPixels(kept, scratch), 0);
}

// One list keeps its realised fonts from draw to draw; drawn again after
// the options change, on a context of another resolution, and after
// recording a metafile in between, it shows what a new list shows, pixel
// for pixel, and records the same metafile. The last line has constructs
// that draw text of their own beside their rows, and brackets measured from
// their font's metrics: a font selected late, or not at all, shows there.
TEST(EquationListDraw, KeptFontsFollowOptionsResolutionAndMetafiles) {
  const char* const text =
      "x+1=int(0,1)sqrt(alpha)dx\r\n(a,b c,d)^-1=1/(ad-bc)\r\nf(x)=sigma(n=0,inf)((x-mu)/2)^n\r\n"
      "sin-1 x+nCr+log2x+12div144+[|x|]+30o";
  const CSize size(16000, 10000);
  GdiBalance balance;
  QVMOptions options(0);
  QVEquationList kept;
  kept.SetText(text, options);
  // Draws `kept` and a new list on canvases set up by `prepare`. The new
  // list's canvas is marked as printing, where no font is kept: it makes
  // a font for each token.
  const auto drawBoth = [&](const std::function<void(CDC&)>& prepare) {
    LineCanvas again(size), scratch(size);
    scratch.Dc().m_bPrinting = true;
    QVEquationList fresh;
    fresh.SetText(text, options);
    for (auto [canvas, list] : {std::pair{&again, &kept}, std::pair{&scratch, &fresh}}) {
      prepare(canvas->Dc());
      canvas->Dc().SetTextAlign(TA_TOP | TA_LEFT);
      list->Draw(canvas->Dc(), kViewMargin, -kViewMargin, options);
    }
    scratch.Dc().m_bPrinting = false;
    EXPECT_FALSE(scratch.InkBounds().IsRectEmpty());
    return DifferingPixels(again, scratch);
  };
  const auto atScreen = [](CDC&) {};
  const auto zoomed = [](CDC& dc) {  // twice the screen's pixels per 0.01 mm
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(2540, 2540);
    dc.SetViewportExt(192, -192);
  };
  EXPECT_EQ(drawBoth(atScreen), 0);
  options.Font.Value.Size = options.Font.Value.Size * 3 / 2;
  options.Font.Value.SetFaceName("Courier New");
  options.UseOneFont.Value = false;
  options.VariableColor.Value = RGB(200, 0, 0);
  options.GreekColor.Value = RGB(0, 0, 200);
  kept.ForceReparse();
  EXPECT_EQ(drawBoth(atScreen), 0) << "after an options change";
  EXPECT_EQ(drawBoth(zoomed), 0) << "at another resolution";
  QVEquationList fresh;
  fresh.SetText(text, options);
  EXPECT_EQ(DifferingPlayback(RecordList(kept, options, nullptr), RecordList(fresh, options, nullptr),
                              size),
            0)
      << "in a metafile";
  EXPECT_EQ(drawBoth(atScreen), 0) << "after a metafile";
}

}  // namespace
