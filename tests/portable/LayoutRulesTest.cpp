// The layout numbers that need no device context: font sizes by level, tab
// stops, radical and long-division boxes, the radical's polygon, stretched
// bracket plans, arcs and the matrix grid.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/LayoutRules.h"
#include "options/QVMOptions.h"

namespace {

struct SizeCase {
  int32_t nesting;
  double script;
  int32_t expected;
};

TEST(LevelFontSize, ShrinksByNestingAndScriptLevel) {
  const QVMOptions options(0);  // ratios 0.3, maxima 4 and 2, Font 388
  const SizeCase cases[] = {
      {0, 0.0, 388},  {0, 1.0, 271}, {0, 2.0, 155}, {0, 1.25, 242},
      {1, 1.0, 189},  {0, 1.5, 213},  // factor 1 - 1.5 * 0.3 = 0.55
      {0, 3.0, 155},                 // script levels stop at PowerLevelMax
      {1, 0.0, 271},  {2, 0.0, 155},
  };
  for (const SizeCase& c : cases)
    EXPECT_EQ(LevelFontSize(388, c.nesting, c.script, options), c.expected)
        << "nesting " << c.nesting << ", script " << c.script;
}

TEST(LevelFontSize, NestingBeyondTheMaximumCountsAsTheMaximum) {
  QVMOptions options(0);
  options.FracLevelRatio.Value = 0.1;
  EXPECT_EQ(LevelFontSize(1000, 5, 0.0, options), LevelFontSize(1000, 4, 0.0, options));
  EXPECT_EQ(LevelFontSize(1000, 4, 0.0, options), 600);
}

TEST(LevelFontSize, NeverDropsBelowOne) {
  QVMOptions options(0);
  // Four nesting levels at 0.3 ask for -0.2 of the size.
  EXPECT_EQ(LevelFontSize(388, 4, 0.0, options), 1);
  options.PowerLevelRatio.Value = 1.0;
  EXPECT_EQ(LevelFontSize(388, 0, 1.0, options), 1);
  EXPECT_EQ(LevelFontSize(0, 0, 0.0, options), 1);
}

TEST(TabWidthAt, RunsToTheNextStop) {
  EXPECT_EQ(TabWidthAt(2500, 1000), 500);
  EXPECT_EQ(TabWidthAt(3000, 1000), 1000);
  EXPECT_EQ(TabWidthAt(0, 1000), 1000);
  EXPECT_EQ(TabWidthAt(-200, 1000), 200);
}

TEST(TabWidthAt, ATabWidthOfZeroOrLessMakesTabsZeroWide) {
  EXPECT_EQ(TabWidthAt(2500, 0), 0);
  EXPECT_EQ(TabWidthAt(2500, -1000), 0);
}

TEST(RadicalSize, AddsTheSlopeAndTheGap) {
  const CSize size = RadicalSize(1000, 2400, 100);
  EXPECT_EQ(size.cx, 2223);
  EXPECT_EQ(size.cy, 2500);
}

TEST(RadicalSign, HookAndStrokeForAContentOf2400) {
  const RadicalShape shape = RadicalSign(0, 0, 1000, 2400, 100);
  const CPoint hook[] = {{0, 650}, {100, 750}, {700, 150}, {729, 320}, {200, 850}};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(shape.hook[i], hook[i]) << "point " << i;
  EXPECT_EQ(shape.stroke[0], CPoint(729, 320));
  EXPECT_EQ(shape.stroke[1], CPoint(1123, 2450));
  EXPECT_EQ(shape.stroke[2], CPoint(2123, 2450));
  EXPECT_EQ(shape.contentOffset, 1123);
}

TEST(RadicalSign, TruncatesEachCoordinateAfterTheOffset) {
  const RadicalShape shape = RadicalSign(-10, -10, 0, 2400, 100);
  EXPECT_EQ(shape.hook[3], CPoint(719, 310));
}

TEST(LongDivisionSize, FallsBackToTheFontHeightForAnEmptyDividend) {
  EXPECT_EQ(LongDivisionSize(500, 0, 423, 100), CSize(642, 523));
  EXPECT_EQ(LongDivisionSize(500, 1000, 423, 100), CSize(700, 1100));
}

std::vector<int> Codes(const char* text, int32_t steps) {
  DelimiterPieces pieces{};
  EXPECT_TRUE(PiecesOf(text, pieces)) << text;
  return StackedPieceCodes(pieces, steps);
}

TEST(StretchedDelimiter, ParenthesisOfHeight2100AtSize400) {
  const int32_t t = WithoutOvershoot(2100);
  EXPECT_EQ(t, 2000);
  EXPECT_EQ(WithOvershoot(2000), 2100);
  const int32_t steps = StretchSteps(t, 400);
  EXPECT_EQ(steps, 6);
  EXPECT_EQ(Codes("(", steps), (std::vector<int>{232, 231, 231, 231, 231, 231, 230}));
  EXPECT_EQ(Codes("{", steps), (std::vector<int>{238, 239, 239, 237, 239, 239, 236}));
  EXPECT_EQ(Codes("\xF2", steps), (std::vector<int>{245, 244, 244, 244, 244, 244, 243}));
}

TEST(StretchedDelimiter, PieceCountsGrowInPairs) {
  struct Case {
    int32_t ratio;
    size_t pieces;
  };
  const Case cases[] = {{1, 3}, {2, 3}, {3, 5}, {4, 5}, {5, 7}, {6, 7}, {7, 9}};
  for (const Case& c : cases)
    EXPECT_EQ(Codes(")", StretchSteps(c.ratio * 400, 400)).size(), c.pieces) << c.ratio;
}

TEST(StretchedDelimiter, ZeroSizeOrHugeHeightStaysBounded) {
  EXPECT_EQ(StretchSteps(2000, 0), 2);  // no division by a zero font height
  EXPECT_EQ(StretchSteps(2000, -5), 2);
  EXPECT_LE(StretchSteps(1000000, 1), 512);
}

TEST(StretchedDelimiter, ShortTestsOfMeasureAndDraw) {
  EXPECT_TRUE(IsShortForMeasure(520, 400));
  EXPECT_FALSE(IsShortForMeasure(521, 400));
  EXPECT_TRUE(IsShortForDraw(504, 400));  // t = 480 = 1.2 T
  EXPECT_FALSE(IsShortForDraw(506, 400));
}

TEST(StretchedDelimiter, PiecesOfEveryBracketText) {
  DelimiterPieces pieces{};
  for (const char* text : {"(", ")", "[", "]", "{", "}", "|", "|[", "]|", "[|", "|]", "\xF2"})
    EXPECT_TRUE(PiecesOf(text, pieces)) << text;
  EXPECT_FALSE(PiecesOf("", pieces));
  EXPECT_FALSE(PiecesOf("<", pieces));
  EXPECT_EQ(BottomPieceForMeasure("]|"), 239);
  EXPECT_EQ(BottomPieceForMeasure("}"), 254);
  EXPECT_EQ(BottomPieceForMeasure("[|"), 0);
  EXPECT_EQ(BottomPieceForMeasure(""), 0);
}

TEST(EllipticArc, RunsFromStartToEndAngle) {
  const std::vector<CPoint> points = EllipticArcPoints(0, 0, 1000, 400, 0, 3.14159);
  ASSERT_GE(points.size(), 3u);
  EXPECT_EQ(points.front(), CPoint(1000, 200));
  EXPECT_EQ(points.back().x, 0);  // cos(3.14159) * 500 + 500, truncated
  EXPECT_NEAR(points.back().y, 200, 1);
  // One point per 1/n radian with n = rx / 5 = 100, and the end point.
  EXPECT_EQ(points.size(), 316u);
}

TEST(EllipticArc, WithoutSegmentsJoinsJustTheEnds) {
  // A zero or negative radius gives no segments at all.
  const std::vector<CPoint> points = EllipticArcPoints(0, 0, 0, 8, 0, 3.14159);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0], CPoint(0, 4));
  EXPECT_EQ(EllipticArcPoints(10, 0, 0, 8, 0, 3.14159).size(), 2u);
  // A radius under 5 units gives less than one segment per radian.
  EXPECT_EQ(EllipticArcPoints(0, 0, 8, 8, 0, 3.14159).size(), 4u);
  const std::vector<CPoint> reversed = EllipticArcPoints(0, 0, 1000, 1000, 2.0, 1.0);
  EXPECT_EQ(reversed.size(), 2u);  // an end before the start is the start
  EXPECT_EQ(reversed[0], reversed[1]);
}

TEST(EllipticArc, LargeArcsStayWithinTheSegmentBound) {
  const std::vector<CPoint> points = EllipticArcPoints(0, 0, 100000, 100000, -1.5708, 1.5708);
  EXPECT_LE(points.size(), static_cast<size_t>(kMaxArcSegments) + 2);
  EXPECT_EQ(points.back(), CPoint(49999, 99999));
}

MatrixItem Cell(int32_t w, int32_t h, int32_t align) { return {false, w, h, align}; }
MatrixItem Space() { return {true, 100, 400, 80}; }

TEST(MatrixGrid, TwoByTwo) {
  const std::vector<MatrixItem> items = {Cell(300, 400, 80), Cell(200, 500, 100), Space(),
                                         Cell(100, 400, 80), Cell(400, 400, 80)};
  const MatrixGrid grid = ComputeMatrixGrid(items, 600, 400);
  EXPECT_EQ(grid.columnWidths, (std::vector<int32_t>{300, 400}));
  EXPECT_EQ(grid.columnOffsets, (std::vector<int32_t>{0, 900}));
  EXPECT_EQ(grid.width, 1300);
  EXPECT_EQ(grid.height, 400 + 400 + 500);
  // Row 0 (the top) stands on row 1 and its spacing; row 1 on the bottom.
  EXPECT_EQ(grid.rowOffsets, (std::vector<int32_t>{900, 0}));
  EXPECT_EQ(grid.rowDepths, (std::vector<int32_t>{80, 100}));
  EXPECT_EQ(grid.depth, 100);
}

TEST(MatrixGrid, FurtherSpacesWidenTheGapByHalfTheSpacing) {
  const std::vector<MatrixItem> one = {Cell(300, 400, 80), Space(), Cell(100, 400, 80)};
  const std::vector<MatrixItem> two = {Cell(300, 400, 80), Space(), Space(), Cell(100, 400, 80)};
  const MatrixGrid a = ComputeMatrixGrid(one, 600, 400);
  const MatrixGrid b = ComputeMatrixGrid(two, 600, 400);
  EXPECT_EQ(b.width - a.width, 300);
  EXPECT_EQ(b.columnOffsets[1] - a.columnOffsets[1], 300);
}

TEST(MatrixGrid, IsSizedByTheMatrixBeyondTwentyRowsAndColumns) {
  std::vector<MatrixItem> items;
  for (int column = 0; column < 25; ++column) {
    if (column > 0) items.push_back(Space());
    for (int row = 0; row < (column == 0 ? 30 : 1); ++row) items.push_back(Cell(100, 200, 50));
  }
  const MatrixGrid grid = ComputeMatrixGrid(items, 10, 10);
  EXPECT_EQ(grid.columnWidths.size(), 25u);
  EXPECT_EQ(grid.rowOffsets.size(), 30u);
  EXPECT_EQ(grid.rowOffsets[29], 0);
  EXPECT_EQ(grid.height, 30 * 200 + 29 * 10);
  const std::vector<MatrixPlace> places = PlaceMatrixItems(items);
  EXPECT_EQ(places.back().column, 24);
}

TEST(MatrixGrid, EmptyMatrix) {
  const MatrixGrid grid = ComputeMatrixGrid({}, 600, 400);
  EXPECT_EQ(grid.width, 0);
  EXPECT_EQ(grid.height, 0);
}

TEST(LayoutText, DescendersAndSingleCharacters) {
  for (const char* text : {"g", "j", "p", "q", "y"}) EXPECT_TRUE(HasDescender(text)) << text;
  for (const char* text : {"a", "gg", "", "G"}) EXPECT_FALSE(HasDescender(text)) << text;
  EXPECT_TRUE(IsSingleCharacter("(", '('));
  EXPECT_FALSE(IsSingleCharacter("((", '('));
  EXPECT_FALSE(IsSingleCharacter("", '('));
}

}  // namespace
