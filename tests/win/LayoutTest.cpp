// Font choice, measuring and drawing of lines, read back from the records
// of enhanced metafiles (characters, reference points, fonts, polygons), so
// that the checks do not depend on font rasterisation.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/Layout.h"
#include "engine/TreeText.h"
#include "tests/win/EmfRecords.h"
#include "tests/win/GdiTestSupport.h"

namespace {

// A memory DC of the screen in the view's units.
struct HimetricDc {
  HimetricDc() {
    CWindowDC screen(nullptr);
    dc.CreateCompatibleDC(&screen);
    dc.SetMapMode(MM_HIMETRIC);
    dc.SetTextAlign(TA_BOTTOM | TA_LEFT);
  }
  CDC dc;
};

// A line of parsed text, or of a tree written in tree notation after
// "tree:", with options changed by settings.
struct HandLine {
  explicit HandLine(const std::string& equation, const std::string& settings = "") {
    std::string error;
    EXPECT_TRUE(PrepareRenderCase({"", settings, equation}, options, line, &error)) << error;
  }
  QVMToken& Token(int index) { return *line.Root().GetAt(index); }
  // The first token of `kind`, depth first; fails the test when none.
  QVMToken& Find(TokenKind kind) {
    QVMToken* found = FindIn(line.Root(), kind);
    if (!found) ADD_FAILURE() << "no " << TokenKindName(kind);
    return found ? *found : Token(0);
  }
  static QVMToken* FindIn(TokenRow& row, TokenKind kind) {
    for (QVMToken* token : row) {
      if (token->kind == kind) return token;
      if (QVMToken* inner = FindIn(token->row1, kind)) return inner;
      if (QVMToken* inner = FindIn(token->row2, kind)) return inner;
    }
    return nullptr;
  }
  ExtentRecord Measure() {
    HimetricDc m;
    return line.Measure(m.dc, options);
  }
  // Draws with the line's bottom-left corner at (x, y) into a metafile.
  EmfDrawing Draw(int x = 0, int y = 0, UINT alignment = TA_BOTTOM | TA_LEFT) {
    return RecordEmf([&](CDC& dc) {
      dc.SetTextAlign(alignment);
      line.Draw(dc, x, y, options);
    });
  }
  QVMOptions options{0};
  EquationLine line;
};

LOGFONTA SelectedFont(CDC& dc) {
  LOGFONTA font{};
  ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
  return font;
}

struct FontCase {
  const char* tree;  // one token at the root; the case reads its first token
  int nesting;
  double script;
  const char* settings;
  LONG height;
  const char* face;
  LONG weight;
};

TEST(SelectFont, SizeFaceAndWeightByKindAndLevel) {
  const FontCase cases[] = {
      {"VARIABLE\"x\"", 0, 0.0, "", -388, "Arial", 400},
      {"VARIABLE\"x\"", 0, 1.0, "", -271, "Arial", 400},
      {"VARIABLE\"x\"", 0, 2.0, "", -155, "Arial", 400},
      {"VARIABLE\"x\"", 0, 1.25, "", -242, "Arial", 400},
      {"VARIABLE\"x\"", 1, 1.0, "", -189, "Arial", 400},
      {"VARIABLE\"x\"", 4, 0.0, "", -1, "Arial", 400},  // pushed below zero: 1
      {"WHOLENUMBER\"2\"", 0, 0.0, "", -562, "Arial", 400},
      {"CODEDRAW2\"sigma\"", 0, 0.0, "", -1164, "Symbol", 400},
      {"CODEDRAW2\"product\"", 0, 0.0, "", -1164, "Symbol", 400},
      {"CODEDRAW2\"lim\"", 0, 0.0, "", -388, "Arial", 400},
      {"CODEDRAW2\"int\"", 0, 0.0, "", -388, "Symbol", 400},
      {"GREEK\"p\"", 0, 0.0, "", -388, "Symbol", 400},
      {"SYMBOL\"\\xA5\"", 0, 0.0, "", -388, "Symbol", 700},
      {"UNBOLDSYMBOL\"\\xA2\"", 0, 0.0, "", -388, "Symbol", 400},
      {"UNBOLDSYMBOL\"\\xA2\"", 0, 0.0, "Bold=1", -388, "Symbol", 700},
      {"WDSYMBOL\"\\x81\"", 0, 0.0, "", -388, "Wingdings", 400},
      {"LCVECTOR\"a\"", 0, 0.0, "", -388, "Arial", 900},
      {"MULTIPLY\"*\"", 0, 0.0, "MultiplyStyle=1", -388, "Symbol", 700},
      {"MULTIPLY\"*\"", 0, 0.0, "MultiplyStyle=2", -388, "Arial", 400},
      {"FUNCTION\"sin\"", 0, 0.0, "UseOneFont=0 FunctionFont=Courier", -388, "Courier", 400},
      {"FUNCTION\"sin\"", 0, 0.0, "UseOneFont=1 FunctionFont=Courier FunctionsBold=1", -388, "Arial", 700},
      {"FUNCTION\"sin\"", 0, 0.0, "UseOneFont=0 FunctionFont=", -388, "Arial", 400},
  };
  for (const FontCase& c : cases) {
    SCOPED_TRACE(std::string(c.tree) + " " + c.settings);
    HandLine hand(std::string("tree:") + c.tree, c.settings);
    QVMToken& token = hand.Token(0);
    token.nestingLevel = c.nesting;
    token.scriptLevel = c.script;
    HimetricDc m;
    GdiBalance balance;
    token.SelectFont(m.dc, hand.options, hand.line.Factory());
    const LOGFONTA font = SelectedFont(m.dc);
    EXPECT_EQ(font.lfHeight, c.height);
    EXPECT_STREQ(font.lfFaceName, c.face);
    EXPECT_EQ(font.lfWeight, c.weight);
    EXPECT_GT(token.Metrics().tmHeight, 0);
    token.DeselectFont(m.dc, hand.line.Factory());
  }
}

// A measure selects only the font; a later draw with shapes must put back
// the pen and brush it selected as well as the font.
TEST(SelectFont, ShapesOnlyWhenAskedAndPutBack) {
  HandLine hand("tree:VARIABLE\"x\"", "");
  QVMToken& token = hand.Token(0);
  HimetricDc m;
  GdiBalance balance;
  const HDC dc = m.dc.m_hDC;
  const HGDIOBJ pen = ::GetCurrentObject(dc, OBJ_PEN), brush = ::GetCurrentObject(dc, OBJ_BRUSH);
  const HGDIOBJ font = ::GetCurrentObject(dc, OBJ_FONT);
  token.SelectFont(m.dc, hand.options, hand.line.Factory(), false);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), pen);
  token.DeselectFont(m.dc, hand.line.Factory());
  token.SelectFont(m.dc, hand.options, hand.line.Factory(), true);
  EXPECT_NE(::GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_NE(::GetCurrentObject(dc, OBJ_BRUSH), brush);
  token.DeselectFont(m.dc, hand.line.Factory());
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_FONT), font);
}

TEST(SelectFont, ColoursOfKindAndLine) {
  HandLine hand("tree:FUNCTION\"sin\" VARIABLE\"x\"", "UseOneFont=0 FunctionColor=255");
  HimetricDc m;
  hand.Token(0).SelectFont(m.dc, hand.options, hand.line.Factory());
  EXPECT_EQ(m.dc.GetTextColor(), RGB(255, 0, 0));
  hand.Token(0).DeselectFont(m.dc, hand.line.Factory());
  hand.options.CurrentLineFormat.UseColour = true;
  hand.options.CurrentLineFormat.Colour = RGB(0, 0, 200);
  hand.Token(1).SelectFont(m.dc, hand.options, hand.line.Factory());
  EXPECT_EQ(m.dc.GetTextColor(), RGB(0, 0, 200));
  EXPECT_EQ(hand.Token(1).Brush(hand.line.Factory()).Description.Color, RGB(0, 0, 200));
  hand.Token(1).DeselectFont(m.dc, hand.line.Factory());
}

TEST(LineDraw, PlainRowTextRecordsAtTheirBoxes) {
  HandLine hand("x+1");
  const ExtentRecord line = hand.Measure();
  const EmfDrawing drawing = hand.Draw(1000, 2000);
  ASSERT_EQ(drawing.texts.size(), 3u);
  EXPECT_EQ(drawing.Codes(), (std::vector<unsigned>{'x', '+', '1'}));
  const ExtentRecord x = hand.Token(0).extent, plus = hand.Token(1).extent;
  EXPECT_EQ(drawing.texts[0].at.x, 1000);
  EXPECT_EQ(drawing.texts[1].at.x, 1000 + x.width + plus.width / 4);
  EXPECT_EQ(drawing.texts[2].at.x, 1000 + x.width + plus.width);
  for (const EmfText& t : drawing.texts) EXPECT_EQ(t.at.y, 2000);
  EXPECT_EQ(line.width, x.width + plus.width + hand.Token(2).extent.width + 2 * line.margin);
  EXPECT_EQ(drawing.texts[0].fontHeight, -388);
}

TEST(LineMeasure, SpacedSignsAndTheirGlyphs) {
  HandLine hand("+b+c");
  hand.Measure();
  HimetricDc m;
  hand.Token(0).SelectFont(m.dc, hand.options, hand.line.Factory());
  const int glyph = m.dc.GetTextExtent("+").cx;
  hand.Token(0).DeselectFont(m.dc, hand.line.Factory());
  EXPECT_EQ(hand.Token(0).extent.width, glyph * 3 / 2);  // first in its row
  EXPECT_EQ(hand.Token(2).extent.width, glyph * 2);
  HandLine plain("a+b", "switch2=0");
  plain.Measure();
  EXPECT_EQ(plain.Token(1).extent.width, glyph);
}

TEST(LineDraw, NegativeNumberStyles) {
  struct Case {
    const char* settings;
    std::vector<unsigned> codes;
  };
  const Case cases[] = {{"NegativeNumberStyle=0", {'-', '3'}},
                        {"NegativeNumberStyle=1", {0x2013, '3'}},
                        {"NegativeNumberStyle=2", {'-', '3'}}};
  for (const Case& c : cases) {
    HandLine hand("-3", c.settings);
    const EmfDrawing drawing = hand.Draw();
    EXPECT_EQ(drawing.Codes(), c.codes) << c.settings;
  }
  HandLine raised("-3", "NegativeNumberStyle=2");
  const EmfDrawing drawing = raised.Draw();
  ASSERT_EQ(drawing.texts.size(), 2u);
  EXPECT_EQ(drawing.texts[0].at.y - drawing.texts[1].at.y, raised.Token(0).Metrics().tmDescent);
}

TEST(LineMeasure, TabsRunToTheNextStop) {
  HandLine hand("tree:TAB");
  HimetricDc m;
  EXPECT_EQ(hand.Token(0).Measure(m.dc, 2500, hand.options, hand.line.Factory()).width, 500);
  hand.Token(0).needsLayout = true;
  EXPECT_EQ(hand.Token(0).Measure(m.dc, 3000, hand.options, hand.line.Factory()).width, 1000);
  for (const char* width : {"TabWidth=0", "TabWidth=-1000"}) {
    HandLine zero("a\xBB" "b", width);
    zero.Measure();
    EXPECT_EQ(zero.Token(1).extent.width, 0) << width;
  }
}

TEST(StretchedDelimiter, ParenthesisAndBraceFromPieces) {
  struct Case {
    const char* text;
    std::vector<unsigned> codes;
  };
  const Case cases[] = {
      {"(", {0xF0E8, 0xF0E7, 0xF0E7, 0xF0E7, 0xF0E7, 0xF0E7, 0xF0E6}},
      {"{", {0xF0EE, 0xF0EF, 0xF0EF, 0xF0ED, 0xF0EF, 0xF0EF, 0xF0EC}},
  };
  for (const Case& c : cases) {
    GdiBalance balance;
    bool drew = false;
    const EmfDrawing drawing = RecordEmf(
        [&](CDC& dc) { drew = DrawStretchedDelimiter(dc, 100, 200, c.text, 2100, 400, 0); });
    EXPECT_TRUE(drew);
    EXPECT_EQ(drawing.Codes(), c.codes) << c.text;
    // Size t / (0.75 * 7) = 380 for t = 2000, step (2000 - 380) / 6 = 270.
    for (size_t k = 0; k < drawing.texts.size(); ++k) {
      EXPECT_EQ(drawing.texts[k].at.y, 200 + 270 * static_cast<LONG>(k));
      EXPECT_EQ(drawing.texts[k].at.x, drawing.texts[0].at.x);
      EXPECT_EQ(drawing.texts[k].fontHeight, -380);
      EXPECT_EQ(drawing.texts[k].face, "Symbol");
    }
  }
}

TEST(StretchedDelimiter, PieceCountsAndShortBrackets) {
  const struct {
    int32_t height;
    size_t pieces;
  } cases[] = {{840, 3}, {1260, 5}, {1680, 5}, {2100, 7}, {2520, 7}};
  for (const auto& c : cases) {
    const EmfDrawing drawing =
        RecordEmf([&](CDC& dc) { DrawStretchedDelimiter(dc, 0, 0, ")", c.height, 400, 0); });
    EXPECT_EQ(drawing.texts.size(), c.pieces) << c.height;
  }
  bool drew = true;
  const EmfDrawing shortOne =
      RecordEmf([&](CDC& dc) { drew = DrawStretchedDelimiter(dc, 0, 0, "(", 500, 400, 0); });
  EXPECT_FALSE(drew);
  EXPECT_TRUE(shortOne.texts.empty());
  HimetricDc m;
  EXPECT_EQ(MeasureStretchedDelimiter(m.dc, "(", 500, 400).cy, 500);
  EXPECT_EQ(MeasureStretchedDelimiter(m.dc, "(", 2100, 400).cy, 2205);
  EXPECT_EQ(MeasureStretchedDelimiter(m.dc, "", 2100, 400).cx, 0);
  EXPECT_EQ(MeasureStretchedDelimiter(m.dc, "", 300, 400).cx, 0);
  EXPECT_GT(MeasureStretchedDelimiter(m.dc, "[|", 300, 400).cx, 0);
}

TEST(BracketGroup, ShortBracketsAreTextTallOnesArePieces) {
  HandLine shortGroup("(a)");
  EXPECT_EQ(shortGroup.Draw().Codes(), (std::vector<unsigned>{'(', 'a', ')'}));
  HandLine tall("(1/2)");
  const std::vector<unsigned> codes = tall.Draw().Codes();
  EXPECT_EQ(codes.front(), 0xF0E8u);
  EXPECT_EQ(codes.back(), 0xF0F6u);  // the right parenthesis' top piece
  HandLine invisible("(a#");
  EXPECT_EQ(invisible.Draw().Codes(), (std::vector<unsigned>{'(', 'a'}));
}

TEST(Radical, PolygonAndStrokeFollowTheRadicand) {
  HandLine hand("tree:SQRT{VARIABLE\"x\" ADD\"+\" NUMBER\"1\"}");
  hand.Measure();
  const EmfDrawing drawing = hand.Draw(0, 0);
  ASSERT_EQ(drawing.shapes.size(), 2u);
  const QVMToken& root = hand.Token(0);
  const RadicalShape shape = RadicalSign(0, root.extent.adjust, root.row1.Extent().width,
                                         root.row1.Extent().height, 100);
  ASSERT_TRUE(drawing.shapes[0].polygon);
  ASSERT_EQ(drawing.shapes[0].points.size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(CPoint(drawing.shapes[0].points[i]), shape.hook[i]);
  ASSERT_EQ(drawing.shapes[1].points.size(), 3u);
  EXPECT_EQ(CPoint(drawing.shapes[1].points[2]), shape.stroke[2]);
  // The radicand starts where the stroke reaches the top.
  EXPECT_EQ(drawing.texts[0].at.x, shape.contentOffset);
}

TEST(Radical, RootSignNeverStartsLeftOfItsBox) {
  HandLine hand("root8");
  hand.Measure();
  const EmfDrawing drawing = hand.Draw(0, 0);
  for (const EmfShape& shape : drawing.shapes)
    for (const POINT& p : shape.points) EXPECT_GE(p.x, 0);
}

TEST(Radical, RootIndexClearsTheHook) {
  HandLine hand("tree:ROOT{BRACKETS\",\"{NUMBER\"8\"}}{BRACKETS\",\"{NUMBER\"3\"}}");
  const ExtentRecord line = hand.Measure();
  const EmfDrawing drawing = hand.Draw(0, 0);
  ASSERT_EQ(drawing.Codes(), (std::vector<unsigned>{'3', '8'}));
  const QVMToken& root = hand.Token(0);
  const int32_t y = root.extent.adjust;
  const int32_t hookTop = y + 50 + root.row1.Extent().height / 3;
  const QVMToken& index = *root.row2.GetAt(0)->row1.GetAt(0);
  // The index's baseline stands above the hook's top and its pen.
  EXPECT_GT(drawing.texts[0].at.y + index.Metrics().tmDescent, hookTop + 15);
  EXPECT_LE(drawing.texts[0].at.y + index.extent.height, y + line.height);
}

TEST(Arc, DrawnOverTheContentAsOnePolyline) {
  HandLine hand("tree:ARC{VARIABLE\"A\" VARIABLE\"B\"}");
  hand.Measure();
  const EmfDrawing drawing = hand.Draw(0, 0);
  ASSERT_EQ(drawing.shapes.size(), 1u);
  const QVMToken& arc = hand.Token(0);
  const std::vector<POINT>& points = drawing.shapes[0].points;
  EXPECT_EQ(points.front().x, arc.row1.Extent().width);
  EXPECT_EQ(points.back().x, 0);
  EXPECT_EQ(points.size(), EllipticArcPoints(0, 0, arc.row1.Extent().width, 0, 0, 3.14159).size());
}

TEST(InverseFunction, TheMinusOneIsMadeOnce) {
  HandLine hand("sin-1 x");
  hand.Measure();
  const int count = hand.line.Factory().GetCount();
  for (int repaint = 0; repaint < 3; ++repaint) {
    hand.line.Root().MarkDirty();
    hand.line.SetNeedsRemeasure(true);
    hand.Measure();
    hand.Draw();
  }
  EXPECT_EQ(hand.line.Factory().GetCount(), count);
  const QVMToken& inverse = hand.Find(TK_ARCSINCOSTAN);
  ASSERT_EQ(inverse.row1.GetSize(), 1);
  EXPECT_STREQ(inverse.row1.GetAt(0)->text, "-1");
  EXPECT_DOUBLE_EQ(inverse.row1.GetAt(0)->scriptLevel, 1.0);
}

TEST(Integrals, AllOfARowTakeTheTallestAndTheRowHoldsThem) {
  HandLine hand("int(0,1)int(1/(1/2),100000)f");
  const ExtentRecord line = hand.Measure();
  EXPECT_EQ(hand.Token(0).stretch, hand.Token(1).stretch);
  EXPECT_EQ(hand.Token(0).extent.height, hand.Token(1).extent.height);
  int32_t sum = 0;
  for (int i = 0; i < 3; ++i) sum += hand.Token(i).extent.width;
  EXPECT_EQ(hand.line.Root().Extent().width, sum);
  EXPECT_EQ(line.width, sum + 2 * line.margin);
}

TEST(Subscript, HangsBelowTheBaselineInsideItsBox) {
  HandLine hand("x\\1");
  hand.Measure();
  const ExtentRecord x = hand.Token(0).extent, sub = hand.Token(1).extent;
  EXPECT_GT(sub.align, x.align);  // reaches lower than the letter
  const EmfDrawing drawing = hand.Draw(0, 0);
  ASSERT_EQ(drawing.texts.size(), 2u);
  // The subscript's text bottom is its box bottom, which is the row's.
  EXPECT_EQ(drawing.texts[1].at.y, hand.line.Root().Extent().align - sub.align);
  EXPECT_LT(drawing.texts[1].at.y, drawing.texts[0].at.y);
}

TEST(Decorations, AnAccentedLetterKeepsItsBaseline) {
  HandLine hand("xy::b:");
  hand.Measure();
  const EmfDrawing drawing = hand.Draw(0, 0);
  ASSERT_EQ(drawing.Codes(), (std::vector<unsigned>{'x', '.', '.', 'y', '.', 'b'}));
  EXPECT_EQ(drawing.texts[3].at.y, drawing.texts[0].at.y);
  EXPECT_EQ(drawing.texts[5].at.y, drawing.texts[0].at.y);
  // The dots stand lower over the low letter y than over b.
  EXPECT_LT(drawing.texts[1].at.y, drawing.texts[4].at.y);
}

TEST(LineDraw, TextAlignmentUsesMasks) {
  struct Case {
    UINT alignment;
    bool centre, right, top, baseline;
  };
  const Case cases[] = {
      {TA_BOTTOM | TA_LEFT, false, false, false, false},
      {TA_TOP | TA_LEFT, false, false, true, false},
      {TA_BASELINE | TA_LEFT, false, false, false, true},  // 24 holds the bit of TA_BOTTOM
      {TA_BOTTOM | TA_CENTER, true, false, false, false},  // 6 holds the bit of TA_RIGHT
      {TA_BOTTOM | TA_RIGHT, false, true, false, false},
  };
  for (const Case& c : cases) {
    HandLine hand("x^2");
    const ExtentRecord row = hand.Measure();
    const int32_t width = hand.line.Root().Extent().width;
    const EmfDrawing drawing = hand.Draw(10000, 10000, c.alignment);
    ASSERT_FALSE(drawing.texts.empty());
    const LONG x = c.centre ? 10000 - width / 2 : c.right ? 10000 - width : 10000;
    const LONG bottom = c.top ? 10000 - row.height : c.baseline ? 10000 - row.align : 10000;
    EXPECT_EQ(drawing.texts[0].at.x, x) << c.alignment;
    EXPECT_EQ(drawing.texts[0].at.y, bottom + hand.Token(0).extent.adjust) << c.alignment;
  }
}

TEST(LineDraw, WipeBackgroundFillsTheBoxFirst) {
  HandLine hand("x", "WipeBackground=1");
  const EmfDrawing drawing = RecordEmf([&](CDC& dc) {
    dc.SetBkColor(RGB(1, 2, 3));
    hand.line.Draw(dc, 0, 0, hand.options);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  });
  const int rectangle = FirstRecord(drawing, EMR_RECTANGLE);
  ASSERT_GE(rectangle, 0);
  EXPECT_LT(rectangle, FirstRecord(drawing, EMR_EXTTEXTOUTW));
  HandLine clear("x", "WipeBackground=0");
  const EmfDrawing plain = RecordEmf([&](CDC& dc) {
    clear.line.Draw(dc, 0, 0, clear.options);
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
  });
  EXPECT_EQ(FirstRecord(plain, EMR_RECTANGLE), -1);
}

// Guards against divisions by measured heights: a zero draw scale makes
// every stretch size 0, and a metafile without an attribute DC answers no
// text query at all.
const char* const kStretchingEquations[] = {
    "(1/2)", "int(0,1/2)x", "[|1/2|]", "1div2 sqrt arc(x) x^^ a\xBB" "b", "sigma(1,2) sin-1 x",
    "tree:BRACKETS\"(,)\"{FRACTION}", "tree:CODEDRAW2\"int\" SQRT ARC MODIFIER\"^^\" LONGDIV",
};

TEST(LayoutFaults, ZeroDrawScaleMeasuresAndDrawsWithoutFault) {
  for (const char* equation : kStretchingEquations) {
    GdiBalance balance;
    HandLine hand(equation, "DrawScale=0");
    const ExtentRecord box = hand.Measure();
    EXPECT_GE(box.height, 0) << equation;
    hand.Draw();
  }
}

TEST(LayoutFaults, ContextsThatAnswerNoTextQueries) {
  for (const char* equation : kStretchingEquations) {
    HandLine hand(equation);
    CDC wmf;
    wmf.Attach(::CreateMetaFileA(nullptr));
    wmf.SetMapMode(MM_ANISOTROPIC);
    TEXTMETRICA tm{};
    EXPECT_FALSE(wmf.GetTextMetrics(&tm));
    const ExtentRecord box = hand.line.Measure(wmf, hand.options);
    EXPECT_GE(box.width, 0) << equation;
    hand.line.Draw(wmf, 0, 0, hand.options);
    ::DeleteMetaFile(::CloseMetaFile(wmf.Detach()));
  }
}

TEST(LayoutFaults, MatricesLargerThanTwentyRowsAndColumns) {
  std::string cells;
  for (int row = 0; row < 25; ++row) cells += "BRACKETS\",\"{NUMBER\"" + std::to_string(row) + "\"} ";
  // Larger than the matrix pass makes: a tree written by hand.
  std::string tree = "tree:MATRIX{" + cells;
  for (int column = 1; column < 25; ++column) tree += "SPACE\" \" BRACKETS\",\"{NUMBER\"7\"} ";
  tree += "}";
  HandLine hand(tree);
  const ExtentRecord box = hand.Measure();
  const MatrixGrid& grid = hand.Token(0).Matrix();
  EXPECT_EQ(grid.rowOffsets.size(), 25u);
  EXPECT_EQ(grid.columnWidths.size(), 25u);
  EXPECT_EQ(box.height, grid.height);
  const EmfDrawing drawing = hand.Draw();
  EXPECT_EQ(drawing.texts.size(), 25u + 24u);
}

TEST(Matrix, CellsOfARowShareABaseline) {
  HandLine hand("tree:MATRIX{BRACKETS\",\"{VARIABLE\"x\"} SPACE\" \" BRACKETS\",\"{VARIABLE\"y\" "
                "POWER{NUMBER\"2\"}}}");
  hand.Measure();
  const EmfDrawing drawing = hand.Draw();
  ASSERT_EQ(drawing.Codes(), (std::vector<unsigned>{'x', 'y', '2'}));
  EXPECT_EQ(drawing.texts[0].at.y, drawing.texts[1].at.y);
  EXPECT_GT(drawing.texts[2].at.y, drawing.texts[1].at.y);
}

TEST(Matrix, PiecewiseGroupsAlignLeftAndPutTheOptionBack) {
  HandLine hand("tree:BRACKETS\"{,#\"{MATRIX{BRACKETS\",\"{NUMBER\"1\"} BRACKETS\",\"{NUMBER\"100\"}}}",
                "MatrixAlign=2");
  const auto cellX = [](const EmfDrawing& drawing, const wchar_t* text) {
    for (const EmfText& t : drawing.texts)
      if (t.text == text) return t.at.x;
    ADD_FAILURE() << "no text record for a cell";
    return LONG{-1};
  };
  const EmfDrawing piecewise = hand.Draw();
  EXPECT_EQ(cellX(piecewise, L"1"), cellX(piecewise, L"100"));
  EXPECT_EQ(hand.options.MatrixAlign.Value, 2);
  HandLine plain("tree:BRACKETS\"(,)\"{MATRIX{BRACKETS\",\"{NUMBER\"1\"} BRACKETS\",\"{NUMBER\"100\"}}}",
                 "MatrixAlign=2");
  const EmfDrawing right = plain.Draw();
  EXPECT_GT(cellX(right, L"1"), cellX(right, L"100"));
}

}  // namespace
