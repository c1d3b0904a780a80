// Layout and drawing of the constructs with child rows: scripts, inverse
// functions, fractions and columns, nCr and nPr, radicals, long division,
// and the drawn constructs (integral, sum, product, limit, box, "@").
// Each construct's measure and draw stand side by side.
#include <algorithm>

#include "engine/Layout.h"

namespace {

// Exponents start this part of their raise above the baseline.
constexpr double kExponentLift = 0.7;
// The "-1" of an inverse function: its height over the name's, and how far
// up it starts, in units of the raise of a power.
constexpr double kInverseExtraHeight = 0.3;
constexpr double kInverseLift = 1.1;
// A fraction's baseline stands at this part of the denominator's height.
constexpr double kFractionBaseline = 0.8;
constexpr double kColumnBaseline = 0.5;
// A small fraction keeps this part of the fraction gap.
constexpr double kSmallFractionGap = 0.3;
// The root index stands on a third of the radicand's height and leans over
// the hook by three quarters of the stroke's run.
constexpr double kRootIndexOverlap = 0.75;
// The long-division curve bulges a quarter of its height; the dividend
// starts a third of that height right of the curve's start.
constexpr double kLongDivisionBulge = 0.25;
constexpr double kLongDivisionIndent = 0.33;
// Integral (IntegralStyle 0): stretch, width and bound positions.
constexpr double kIntegralStretch = 1.2;
constexpr double kIntegralWidth = 1.22;
constexpr double kIntegralLowerBound = 0.7;
constexpr double kIntegralUpperBound = 0.95;
constexpr double kIntegralBaseline = 0.3333;
// "@": the bar is 1.6 digit heights tall, the baseline 0.6 up, the bound a
// quarter digit right of the bar.
constexpr double kEvaluationHeight = 1.6;
constexpr double kEvaluationBaseline = 0.6;
constexpr double kEvaluationIndent = 0.25;

double PowerRaise(const QVMOptions& o) { return o.PowerRaise.Clamped(); }

// The ink of a row drawn with its baseline `rise` above the token's.
InkSides RaisedInk(const TokenRow& row, CDC& dc, int32_t rise) {
  InkSides ink = row.Ink();
  ink.left.Rise(PixelRows(dc, rise));
  ink.right.Rise(PixelRows(dc, rise));
  return ink;
}

int32_t ExponentLift(const QVMToken& t, const QVMOptions& o) {
  return Truncate(kExponentLift * PowerRaise(o) * MetricsOf(t).a);
}

// How far below the layout rule's box bottom a subscript's ink reaches: the box is
// lowered by this much so that it holds the subscript.
int32_t SubscriptDrop(const QVMToken& t, const QVMOptions& o) {
  return Truncate(PowerRaise(o) * MetricsOf(t).d);
}

}  // namespace

// ------------------------------------------------------------------ scripts

ExtentRecord MeasurePower(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord row = MeasureRow(t.row1, a);
  const double raise = PowerRaise(a.options) * MetricsOf(t).a;
  ExtentRecord r = MakeBox(row.width, Truncate(raise + row.height), row.align);
  r.raise = Truncate(raise);
  r.raised = true;
  // The box stands on the baseline; the exponent's row is drawn lifted.
  t.Ink() = RaisedInk(t.row1, a.dc, ExponentLift(t, a.options) + row.align);
  t.Ink().reach = RowReachAt(t.row1, ExponentLift(t, a.options));
  return r;
}

void DrawPower(QVMToken& t, const DrawArgs& a) {
  DrawRow(t.row1, a, a.x, a.y + ExponentLift(t, a.options));
}

// The subscript's baseline is PowerRaise descents below the line's; its
// box reaches down that far too.
ExtentRecord MeasureSubscript(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord row = MeasureRow(t.row1, a);
  const int32_t drop = SubscriptDrop(t, a.options);
  t.Ink() = RaisedInk(t.row1, a.dc, -drop);
  t.Ink().reach = RowReachAt(t.row1, 0);
  return MakeBox(row.width, row.height + drop, row.align + drop);
}

void DrawSubscript(QVMToken& t, const DrawArgs& a) { DrawRow(t.row1, a, a.x, a.y); }

// "sin-1": the name's first three letters and a raised "-1", made once.
ExtentRecord MeasureInverseFunction(QVMToken& t, const MeasureArgs& a) {
  const CSize name = TextSize(a.dc, t.text.Left(3));
  const bool made = t.row1.GetSize() == 1 && t.row1.GetAt(0)->kind == TK_NUMBER &&
                    t.row1.GetAt(0)->text == "-1";
  if (!made) {
    t.row1.RemoveAll();
    QVMToken* minusOne = a.factory.NewToken(TK_NUMBER);
    minusOne->SetText("-1");
    t.row1.Append(minusOne);
    t.row1.SetNeedsLayout(true);
  }
  t.row1.SetScriptLevel(t.scriptLevel + 1, a.options);
  const ExtentRecord row = MeasureRow(t.row1, a);
  const int32_t width = name.cx + row.width;
  const FontMetrics m = MetricsOf(t);
  // The "-1" stands lifted over the name's cell, whose baseline is the token's.
  const int32_t lift = Truncate(kInverseLift * PowerRaise(a.options) * m.a);
  const int32_t rise = lift + row.align - (name.cy - m.a);
  t.Ink() = {TextInk(a.dc, t, t.text.Left(3), 0, width).left, RaisedInk(t.row1, a.dc, rise).right,
             TextReach(a.dc, t.text.Left(3), m.d)};
  t.Ink().reach.Add(t.row1.Reach(), lift);
  return MakeBox(width, Truncate(name.cy + kInverseExtraHeight * name.cy), name.cy - m.a);
}

void DrawInverseFunction(QVMToken& t, const DrawArgs& a) {
  const CString name = t.text.Left(3);
  TextAt(a.dc, a.x, a.y, name);
  const int32_t lift = Truncate(kInverseLift * PowerRaise(a.options) * MetricsOf(t).a);
  DrawRow(t.row1, a, a.x + TextSize(a.dc, name).cx, a.y + lift);
}

// ---------------------------------------------------------------- fractions

namespace {

// Room a fraction adds to keep the ink of its rows off its bar, so that it
// stands as far from the bar as a letter's of the rows' font: the
// numerator's lowest ink at least the font's descent above it (the paper
// under a letter on the baseline), the denominator's highest at least the
// paper over an ascender under it. A column draws no bar and adds none.
struct BarRoom {
  int32_t lift = 0;  // under the numerator's box
  int32_t drop = 0;  // over the denominator's box
};

// The size of a fraction's rows over its own: a small fraction's rows stand
// a nesting level deeper.
double RowsScale(const QVMToken& t, const QVMOptions& o) {
  if (t.kind != TK_SMALLFRACTION) return 1.0;
  const int32_t own = LevelFontSize(o.Font.Value.Size, t.nestingLevel, t.scriptLevel, o);
  const int32_t rows = LevelFontSize(o.Font.Value.Size, t.nestingLevel + 1, t.scriptLevel, o);
  return rows / static_cast<double>(own);
}

BarRoom RoomAtBar(const QVMToken& t, const MeasureArgs& a, int32_t denominatorHeight) {
  BarRoom room;
  if (t.kind == TK_COLUMN) return room;
  const FontMetrics m = MetricsOf(t);
  const double scale = RowsScale(t, a.options);
  const InkReach above = t.row1.Reach(), below = t.row2.Reach();
  if (!above.IsEmpty()) room.lift = std::max(0, Truncate(scale * m.d) - above.bottom);
  const InkReach ascender = TextReach(a.dc, "h", m.d);
  if (below.IsEmpty() || ascender.IsEmpty()) return room;
  const int32_t overAscender = Truncate(scale * (m.h - ascender.top));
  room.drop = std::max(0, overAscender - (denominatorHeight - below.top));
  return room;
}

int32_t BarGap(const QVMToken& t, const QVMOptions& o) {
  const int32_t gap = o.FractionGap.Clamped();
  return t.kind == TK_SMALLFRACTION ? Truncate(kSmallFractionGap * gap) : gap;
}

}  // namespace

// Fractions, small fractions and columns: numerator (or upper entry) over
// denominator (lower entry); an empty denominator counts as one character.
// The numerator's box stands at the top of the fraction's, the
// denominator's at its bottom, the bar (the stretch) between them.
ExtentRecord MeasureFraction(QVMToken& t, const MeasureArgs& a) {
  const FontMetrics m = MetricsOf(t);
  const ExtentRecord top = MeasureRow(t.row1, a);
  const CSize bottom = RowBoxOrFont(MeasureRow(t.row2, a), m);
  const int32_t barGap = BarGap(t, a.options);
  const BarRoom room = RoomAtBar(t, a, bottom.cy);
  t.stretch = bottom.cy + room.drop + barGap;
  const int32_t width = std::max<int32_t>(top.width, bottom.cx);
  const int32_t height = top.height + room.lift + t.stretch + barGap;
  t.Ink().reach = RowReachAt(t.row2, 0);
  t.Ink().reach.Add(t.row1.Reach(), height - top.height);
  if (t.kind == TK_COLUMN) return MakeBox(width, height, Truncate(kColumnBaseline * bottom.cy + m.d));
  const int32_t bar = t.stretch + barGap, pen = RuleReach(a.dc, a.options);
  t.Ink().reach.Add(ReachFromTo(bar - pen, bar + pen));
  return MakeBox(width, height, Truncate(kFractionBaseline * bottom.cy));
}

void DrawFraction(QVMToken& t, const DrawArgs& a) {
  const int32_t width = OwnWidth(t);
  const int32_t bar = a.y + t.stretch + BarGap(t, a.options);
  const int32_t numerator = a.y + t.extent.height - t.row1.Extent().height;
  DrawRow(t.row1, a, a.x + (width - t.row1.Extent().width) / 2, numerator);
  DrawRow(t.row2, a, a.x + (width - t.row2.Extent().width) / 2, a.y);
  if (t.kind != TK_COLUMN) RuleFromTo(a.dc, a.x, bar, a.x + width, bar);
}

// ---------------------------------------------------------------- nCr, nPr

namespace {

// How far the letter and its scripts reach, each where the draw puts it.
InkReach PermutationReach(QVMToken& t, const MeasureArgs& a) {
  const FontMetrics m = MetricsOf(t);
  const double raise = PowerRaise(a.options);
  const int32_t y = SubscriptDrop(t, a.options);  // the letter's cell bottom
  const int32_t upper = a.options.PermCombStyle.Clamped() == 0 ? y + Truncate(raise * m.a)
                        : a.options.PermCombStyle.Clamped() == 1
                            ? y - Truncate(raise * m.d)
                            : y + Truncate(kExponentLift * raise * m.a);
  InkReach reach = NoInk().reach;
  reach.Add(TextReach(a.dc, t.kind == TK_COMBINATION ? "C" : "P", m.d), y);
  reach.Add(t.row1.Reach(), y - Truncate(raise * m.d));
  reach.Add(t.row2.Reach(), upper);
  return reach;
}

}  // namespace

// The letter with n (row 2) and r (row 1) as scripts; row 1 hangs below
// the baseline, so the box reaches down that far.
ExtentRecord MeasurePermutation(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord r1 = MeasureRow(t.row1, a);
  const ExtentRecord r2 = MeasureRow(t.row2, a);
  const CSize letter = TextSize(a.dc, "P");
  const FontMetrics m = MetricsOf(t);
  const int32_t scripts = a.options.PermCombStyle.Clamped() == 0 ? std::max(r1.width, r2.width)
                                                                 : r1.width + r2.width;
  const int32_t drop = SubscriptDrop(t, a.options);
  t.Ink().reach = PermutationReach(t, a);
  return MakeBox(letter.cx + scripts, letter.cy + m.d + drop, letter.cy - m.a + drop);
}

void DrawPermutation(QVMToken& t, const DrawArgs& a) {
  const CString letter = t.kind == TK_COMBINATION ? "C" : "P";
  const int32_t c = TextSize(a.dc, letter).cx;
  const FontMetrics m = MetricsOf(t);
  const double raise = PowerRaise(a.options);
  const int32_t y = a.y + SubscriptDrop(t, a.options);  // the letter's cell bottom
  const int32_t below = y - Truncate(raise * m.d);
  const int32_t w2 = t.row2.Extent().width;
  switch (a.options.PermCombStyle.Clamped()) {
    case 0:
      TextAt(a.dc, a.x, y, letter);
      DrawRow(t.row2, a, a.x + c, y + Truncate(raise * m.a));
      DrawRow(t.row1, a, a.x + c, below);
      break;
    case 1:
      DrawRow(t.row2, a, a.x, below);
      TextAt(a.dc, a.x + w2, y, letter);
      DrawRow(t.row1, a, a.x + w2 + c, below);
      break;
    default:
      DrawRow(t.row2, a, a.x, y + Truncate(kExponentLift * raise * m.a));
      TextAt(a.dc, a.x + w2, y, letter);
      DrawRow(t.row1, a, a.x + w2 + c, below);
      break;
  }
}

// ----------------------------------------------------------------- radicals

namespace {

// The radicand's box; an empty one is a character wide and a pen taller.
ExtentRecord RadicandBox(QVMToken& t, const MeasureArgs& a) {
  ExtentRecord row = MeasureRow(t.row1, a);
  if (t.row1.IsEmpty()) {
    const FontMetrics m = MetricsOf(t);
    const int32_t pen = PenWidthOf(a.options);
    row = MakeBox(m.w, m.h + 2 * pen, row.align + pen);
  }
  return row;
}

// Where the ink of a radical sign for `content` drawn `x` into a box
// `width` wide stands: the hook at its left, the stroke's end at its right,
// each reaching half a pen further.
InkSides RadicalInk(int32_t x, CSize content, int32_t width, const QVMOptions& o) {
  const RadicalShape shape = RadicalSign(x, 0, content.cx, content.cy, o.SqrtGap.Clamped());
  const int32_t cap = PenWidthOf(o) / 2;
  return {ShapeSide(x - cap), ShapeSide(width - shape.stroke[2].x - cap)};
}

// How far up and down a radical sign for `content` reaches, its pen's
// width included.
InkReach RadicalReach(CDC& dc, CSize content, const QVMOptions& o) {
  const RadicalShape shape = RadicalSign(0, 0, content.cx, content.cy, o.SqrtGap.Clamped());
  int32_t low = shape.stroke[1].y;
  for (const CPoint& p : shape.hook) low = std::min<int32_t>(low, p.y);
  const int32_t cap = RuleReach(dc, o);
  return ReachFromTo(low - cap, shape.stroke[1].y + cap);
}

// The hook and stroke for content w x h at (x, y); returns where the
// content starts.
int32_t DrawRadicalSign(CDC& dc, int32_t x, int32_t y, CSize content, const QVMOptions& o) {
  const RadicalShape shape = RadicalSign(x, y, content.cx, content.cy, o.SqrtGap.Clamped());
  dc.Polygon(shape.hook, 5);
  dc.Polyline(shape.stroke, 3);
  return shape.contentOffset;
}

}  // namespace

ExtentRecord MeasureSquareRoot(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord row = RadicandBox(t, a);
  const CSize size = RadicalSize(row.width, row.height, a.options.SqrtGap.Clamped());
  const CSize content(row.width, row.height);
  const int32_t offset = Truncate(kRadicalSlope * row.height);
  t.Ink() = CombineInk({{0, size.cx, RadicalInk(0, content, size.cx, a.options)},
                      {offset, row.width, t.row1.Ink()}},
                     size.cx);
  t.Ink().reach = RadicalReach(a.dc, RowBoxOrFont(t.row1.Extent(), MetricsOf(t)), a.options);
  t.Ink().reach.Add(t.row1.Reach());
  return MakeBox(size.cx, size.cy, row.align);
}

void DrawSquareRoot(QVMToken& t, const DrawArgs& a) {
  const CSize content = RowBoxOrFont(t.row1.Extent(), MetricsOf(t));
  const int32_t offset = DrawRadicalSign(a.dc, a.x, a.y, content, a.options);
  DrawRow(t.row1, a, a.x + offset, a.y);
}

namespace {

// Where the index's box starts above the root's bottom: a pen width above
// the hook's top, which stands half the gap and a third of the radicand's
// height up, so that the index never touches the sign.
int32_t RootIndexLift(const QVMToken& t, const QVMOptions& options) {
  return Truncate(options.SqrtGap.Clamped() * 0.5) + t.row1.Extent().height / 3 + PenWidthOf(options);
}

// Where the radical of a root starts: under the index's right part, but
// with the sign's stroke a pen width right of the index where the index
// stands, and never left of the token's box.
int32_t RootSignOffset(const QVMToken& t, const QVMOptions& options) {
  const int32_t h = t.row1.Extent().height;
  const int32_t k = Truncate(kRadicalSlope * h);
  const RadicalShape sign = RadicalSign(0, 0, t.row1.Extent().width, h, options.SqrtGap.Clamped());
  const CPoint foot = sign.stroke[0], top = sign.stroke[1];
  int32_t overlap = Truncate(kRootIndexOverlap * k);
  if (top.y > foot.y) {
    const int64_t rise = RootIndexLift(t, options) - foot.y;
    const int32_t strokeX = foot.x + static_cast<int32_t>(rise * (top.x - foot.x) / (top.y - foot.y));
    overlap = std::min(overlap, strokeX - PenWidthOf(options));
  }
  return std::max(t.row2.Extent().width - overlap, 0);
}

}  // namespace

// The index (row 2) stands above the hook, over a third of the radicand;
// the box ends where the sign does (or the index, when that is wider).
ExtentRecord MeasureRoot(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord radicand = MeasureRow(t.row1, a);
  const ExtentRecord index = MeasureRow(t.row2, a);
  const CSize size = RadicalSize(radicand.width, radicand.height, a.options.SqrtGap.Clamped());
  const int32_t pen = PenWidthOf(a.options);
  const int32_t height = std::max<int32_t>(size.cy + pen, RootIndexLift(t, a.options) + index.height);
  const int32_t xo = RootSignOffset(t, a.options);
  const int32_t width = std::max<int32_t>(xo + size.cx, index.width);
  const CSize content(radicand.width, radicand.height);
  t.Ink() = CombineInk({{0, index.width, t.row2.Ink()},
                      {0, width, RadicalInk(xo, content, width, a.options)},
                      {xo + Truncate(kRadicalSlope * radicand.height), radicand.width, t.row1.Ink()}},
                     width);
  t.Ink().reach = RadicalReach(a.dc, content, a.options);
  t.Ink().reach.Add(t.row1.Reach());
  t.Ink().reach.Add(t.row2.Reach(), RootIndexLift(t, a.options));
  return MakeBox(width, height + pen, radicand.align);
}

void DrawRoot(QVMToken& t, const DrawArgs& a) {
  DrawRow(t.row2, a, a.x, a.y + RootIndexLift(t, a.options));
  const int32_t xo = RootSignOffset(t, a.options);
  const CSize content(t.row1.Extent().width, t.row1.Extent().height);
  const int32_t offset = DrawRadicalSign(a.dc, a.x + xo, a.y, content, a.options);
  DrawRow(t.row1, a, a.x + xo + offset, a.y);
}

// ------------------------------------------------------------ long division

namespace {

int32_t LongDivisionHeight(const QVMToken& t) {
  return t.row1.Extent().height != 0 ? t.row1.Extent().height : MetricsOf(t).h;
}

}  // namespace

// Divisor (row 2), the curve, then the dividend (row 1) under the rule;
// the box leaves room for the dividend where the draw puts it.
ExtentRecord MeasureLongDivision(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord dividend = MeasureRow(t.row1, a);
  const ExtentRecord divisor = MeasureRow(t.row2, a);
  const CSize size = LongDivisionSize(dividend.width, dividend.height, MetricsOf(t).h,
                                      a.options.SqrtGap.Clamped());
  const int32_t indent = Truncate(kLongDivisionIndent * LongDivisionHeight(t));
  const int32_t width = std::max<int32_t>(size.cx, indent + dividend.width) + divisor.width;
  return MakeBox(width, size.cy, dividend.align);
}

void DrawLongDivision(QVMToken& t, const DrawArgs& a) {
  DrawRow(t.row2, a, a.x, a.y);
  const int32_t x = a.x + t.row2.Extent().width;
  const int32_t h = LongDivisionHeight(t);
  const int32_t q = Truncate(kLongDivisionBulge * h);
  DrawEllipticArc(a.dc, x - q, a.y, x + q, a.y + h, -1.5708, 1.5708);
  const int32_t indent = Truncate(kLongDivisionIndent * h);
  RuleFromTo(a.dc, x, a.y + h, x + t.row1.Extent().width + indent, a.y + h);
  DrawRow(t.row1, a, x + indent, a.y);
}

// ---------------------------------------------------------- drawn constructs

namespace {

const char* BigOperatorLetter(const CString& text) { return text == "product" ? "P" : "S"; }

bool IsBigOperator(const CString& text) {
  return text == "sigma" || text == "sum" || text == "product";
}

// A bound or argument row centred over or under a sign: a blank it starts
// with (an empty group before an "inf", say) counts for nothing, so that
// its ink stands in the middle.
struct CentredRow {
  int32_t width;  // without the leading blank
  int32_t blank;
  int32_t height;
};
CentredRow Centred(const TokenRow& row) {
  const int32_t blank = LeadingBlank(row);
  return {row.Extent().width - blank, blank, row.Extent().height};
}
// Where the row starts when centred in `span`.
int32_t CentredX(const CentredRow& row, int32_t span) { return (span - row.width) / 2 - row.blank; }

// Where the parts of a sum or product stand, from the box's left and
// bottom: the letter (its origin and its cell's bottom), the bounds (row 1
// below, row 2 above).
struct BigOperatorPlan {
  int32_t span, height, align;
  int32_t letterX, letterY, letterWidth;
  int32_t lowerX, upperX, upperY;
  InkSides letterInk;
};

// A bound wider than the letter keeps a margin of its own font at either
// side, so that the bounds of two signs side by side stay apart.
int32_t BoundSpan(const CentredRow& bound, int32_t margin, int32_t letter) {
  return bound.width > letter ? bound.width + 2 * margin : bound.width;
}

// The letter's box holds its ink. Without a lower bound the letter stands
// on the baseline as a letter of text does, the box reaching as far below
// as its ink (not its cell's descent: that paper would stand between a
// numerator and its bar); with one it stands on the bound, its descent over
// the bound's top. The upper bound stands on the top of the em square (the
// descent and the internal leading lie under it in the letter's cell), or
// on the letter's ink where that reaches higher.
BigOperatorPlan PlanBigOperator(QVMToken& t, CDC& dc) {
  const CString letter = BigOperatorLetter(t.text);
  const CSize size = TextSize(dc, letter);
  const GlyphInk ink = GlyphInkOf(dc, static_cast<unsigned char>(letter.GetAt(0)));
  const FontMetrics m = MetricsOf(t);
  const int32_t before = std::max(0, -ink.a);
  const int32_t held = size.cx + before + std::max(0, -ink.c);
  const CentredRow lower = Centred(t.row1), upper = Centred(t.row2);
  BigOperatorPlan plan{};
  plan.span = std::max({held, BoundSpan(lower, t.row1.Extent().margin, held),
                        BoundSpan(upper, t.row2.Extent().margin, held)});
  plan.letterX = (plan.span - held) / 2 + before;
  plan.letterWidth = size.cx;
  const int32_t depth = std::max(0, -ink.bottom);
  plan.letterY = lower.height > 0 ? lower.height - m.d : depth - m.d;
  plan.align = lower.height > 0 ? lower.height + m.d : depth;
  plan.lowerX = CentredX(lower, plan.span);
  plan.upperX = CentredX(upper, plan.span);
  plan.upperY = plan.letterY + std::max<int32_t>(size.cy - t.Metrics().tmInternalLeading, m.d + ink.top);
  plan.height = plan.upperY + upper.height;
  plan.letterInk = TextInk(dc, t, letter, 0, size.cx);
  return plan;
}

// The integral sign's box at the token's stretch height.
CSize IntegralSign(QVMToken& t, CDC& dc, const QVMOptions& o) {
  return MeasureStretchedDelimiter(dc, "\xF2", t.stretch, StretchFontSize(t, o));
}

InkSides IntegralSignInk(QVMToken& t, CDC& dc, const QVMOptions& o, CSize sign) {
  return DelimiterInk(dc, "\xF2", t.stretch, StretchFontSize(t, o), sign.cx);
}

// How far the integral sign drawn with its bottom `y` up reaches: a glyph
// of the token's font when short, otherwise stacked pieces.
InkReach IntegralSignReach(QVMToken& t, CDC& dc, const QVMOptions& o, int32_t y) {
  const int32_t size = StretchFontSize(t, o);
  InkReach reach = NoInk().reach;
  if (IsShortForDraw(t.stretch, size)) reach.Add(TextReach(dc, "\xF2", MetricsOf(t).d), y);
  else reach.Add(StretchedReach(dc, "\xF2", t.stretch, size), y);
  return reach;
}

ExtentRecord MeasureIntegral(QVMToken& t, const MeasureArgs& a, const ExtentRecord& r1,
                             const ExtentRecord& r2) {
  t.text = "\xF2";
  const FontMetrics m = MetricsOf(t);
  if (a.options.IntegralStyle.Clamped() == 1) {
    t.stretch = 2 * m.h;
    const CSize sign = IntegralSign(t, a.dc, a.options);
    const CentredRow lower = Centred(t.row1), upper = Centred(t.row2);
    const int32_t span = std::max<int32_t>({sign.cx, lower.width, upper.width});
    t.Ink() = CombineInk({{(span - sign.cx) / 2, sign.cx, IntegralSignInk(t, a.dc, a.options, sign)},
                        {CentredX(lower, span), r1.width, t.row1.Ink()},
                        {CentredX(upper, span), r2.width, t.row2.Ink()}},
                       span);
    t.Ink().reach = IntegralSignReach(t, a.dc, a.options, r1.height - m.d / 2);
    t.Ink().reach.Add(t.row1.Reach());
    t.Ink().reach.Add(t.row2.Reach(), r1.height + sign.cy);
    return MakeBox(span, sign.cy + r1.height + r2.height,
                   Truncate(kIntegralBaseline * sign.cy + r1.height));
  }
  t.stretch = std::max(Truncate(kIntegralStretch * (r1.height + r2.height)), 2 * m.h);
  const CSize sign = IntegralSign(t, a.dc, a.options);
  const int32_t width = Truncate(kIntegralWidth * sign.cx) + std::max(r1.width, r2.width);
  t.Ink() = CombineInk({{0, sign.cx, IntegralSignInk(t, a.dc, a.options, sign)},
                      {Truncate(kIntegralLowerBound * sign.cx), r1.width, t.row1.Ink()},
                      {Truncate(kIntegralUpperBound * sign.cx), r2.width, t.row2.Ink()}},
                     width);
  t.Ink().reach = IntegralSignReach(t, a.dc, a.options, r1.height / 2 - m.d / 2);
  t.Ink().reach.Add(t.row1.Reach());
  t.Ink().reach.Add(t.row2.Reach(), r1.height / 2 + sign.cy - 2 * r2.height / 3);
  return MakeBox(width, Truncate(sign.cy + 0.5 * r1.height + 0.33333 * r2.height),
                 Truncate(0.5 * r1.height + kIntegralBaseline * sign.cy));
}

// The sign from Symbol pieces, or as one glyph when it is short.
void DrawIntegralSign(QVMToken& t, const DrawArgs& a, int32_t x, int32_t y) {
  const int32_t size = StretchFontSize(t, a.options);
  if (!DrawStretchedDelimiter(a.dc, x, y, "\xF2", t.stretch, size, a.options.Font.Value.Color))
    TextAt(a.dc, x, y, "\xF2");
}

void DrawIntegral(QVMToken& t, const DrawArgs& a) {
  const FontMetrics m = MetricsOf(t);
  const CSize sign = IntegralSign(t, a.dc, a.options);
  const int32_t h1 = t.row1.Extent().height, h2 = t.row2.Extent().height;
  if (a.options.IntegralStyle.Clamped() == 1) {
    const CentredRow lower = Centred(t.row1), upper = Centred(t.row2);
    const int32_t span = std::max<int32_t>({sign.cx, lower.width, upper.width});
    DrawIntegralSign(t, a, a.x + (span - sign.cx) / 2, a.y + h1 - m.d / 2);
    DrawRow(t.row1, a, a.x + CentredX(lower, span), a.y);
    DrawRow(t.row2, a, a.x + CentredX(upper, span), a.y + h1 + sign.cy);
    return;
  }
  DrawIntegralSign(t, a, a.x, a.y + h1 / 2 - m.d / 2);
  DrawRow(t.row1, a, a.x + Truncate(kIntegralLowerBound * sign.cx), a.y);
  DrawRow(t.row2, a, a.x + Truncate(kIntegralUpperBound * sign.cx),
          a.y + h1 / 2 + sign.cy - 2 * h2 / 3);
}

ExtentRecord MeasureBigOperator(QVMToken& t, const MeasureArgs& a, const ExtentRecord& r1,
                                const ExtentRecord& r2) {
  const BigOperatorPlan plan = PlanBigOperator(t, a.dc);
  t.Ink() = CombineInk({{plan.letterX, plan.letterWidth, plan.letterInk},
                      {plan.lowerX, r1.width, t.row1.Ink()},
                      {plan.upperX, r2.width, t.row2.Ink()}},
                     plan.span);
  t.Ink().reach = RowReachAt(t.row1, 0);
  t.Ink().reach.Add(plan.letterInk.reach, plan.letterY);
  t.Ink().reach.Add(t.row2.Reach(), plan.upperY);
  return MakeBox(plan.span, plan.height, plan.align);
}

void DrawBigOperator(QVMToken& t, const DrawArgs& a) {
  const BigOperatorPlan plan = PlanBigOperator(t, a.dc);
  TextAt(a.dc, a.x + plan.letterX, a.y + plan.letterY, BigOperatorLetter(t.text));
  DrawRow(t.row1, a, a.x + plan.lowerX, a.y);
  DrawRow(t.row2, a, a.x + plan.upperX, a.y + plan.upperY);
}

ExtentRecord MeasureLimit(QVMToken& t, const MeasureArgs& a, const ExtentRecord& r1) {
  const CSize word = TextSize(a.dc, "lim");
  const CentredRow below = Centred(t.row1);
  const int32_t span = std::max<int32_t>(word.cx, below.width);
  t.Ink() = CombineInk({{(span - word.cx) / 2, word.cx, TextInk(a.dc, t, "lim", 0, word.cx)},
                      {CentredX(below, span), r1.width, t.row1.Ink()}},
                     span);
  t.Ink().reach = RowReachAt(t.row1, 0);
  t.Ink().reach.Add(TextReach(a.dc, "lim", MetricsOf(t).d), below.height - MetricsOf(t).d);
  return MakeBox(span, word.cy + r1.height - MetricsOf(t).d, r1.height);
}

void DrawLimit(QVMToken& t, const DrawArgs& a) {
  const CSize word = TextSize(a.dc, "lim");
  const CentredRow below = Centred(t.row1);
  const int32_t span = std::max<int32_t>(below.width, word.cx);
  TextAt(a.dc, a.x + (span - word.cx) / 2, a.y + below.height - MetricsOf(t).d, "lim");
  DrawRow(t.row1, a, a.x + CentredX(below, span), a.y);
}

// A frame around row 1, at least a digit in size.
ExtentRecord MeasureFrame(QVMToken& t, const MeasureArgs& a, const ExtentRecord& r1) {
  const int32_t gap = a.options.BoxGap.Clamped();
  const CSize digit = TextSize(a.dc, "2");
  const int32_t ch = std::max<int32_t>(digit.cy, r1.height);
  // The frame's lines, a pen wide, half a gap inside the box.
  const int32_t cap = RuleReach(a.dc, a.options);
  t.Ink().reach = ReachFromTo(Truncate(0.5 * gap) - cap, Truncate(ch + 1.5 * gap) + cap);
  return MakeBox(std::max<int32_t>(digit.cx, r1.width) + 2 * gap, ch + 2 * gap, r1.align + gap);
}

void DrawFrame(QVMToken& t, const DrawArgs& a) {
  const int32_t gap = a.options.BoxGap.Clamped();
  const CSize digit = TextSize(a.dc, "2");
  const int32_t cw = std::max<int32_t>(digit.cx, t.row1.Extent().width);
  const int32_t ch = std::max<int32_t>(digit.cy, t.row1.Extent().height);
  DrawRow(t.row1, a, a.x + gap, a.y + gap);
  const int32_t bottom = Truncate(a.y + 0.5 * gap), top = Truncate(a.y + ch + 1.5 * gap);
  const int32_t right = a.x + cw + 2 * gap;
  const POINT frame[] = {{a.x, bottom}, {right, bottom}, {right, top}, {a.x, top}, {a.x, bottom}};
  a.dc.Polyline(frame, 5);
}

// "@": an evaluation bar with row 1 at its foot.
ExtentRecord MeasureEvaluation(QVMToken& t, const MeasureArgs& a, const ExtentRecord& r1) {
  const CSize digit = TextSize(a.dc, "2");
  const int32_t top = std::max(Truncate(kEvaluationHeight * digit.cy), r1.height);
  const int32_t cap = RuleReach(a.dc, a.options);
  t.Ink().reach = ReachFromTo(-cap, top + cap);
  t.Ink().reach.Add(t.row1.Reach());
  return MakeBox(Truncate(kEvaluationIndent * digit.cx) + r1.width,
             Truncate(kEvaluationHeight * digit.cy), Truncate(kEvaluationBaseline * digit.cy));
}

void DrawEvaluation(QVMToken& t, const DrawArgs& a) {
  const CSize digit = TextSize(a.dc, "2");
  const int32_t top = std::max(Truncate(kEvaluationHeight * digit.cy), t.row1.Extent().height);
  RuleFromTo(a.dc, a.x, a.y, a.x, a.y + top);
  DrawRow(t.row1, a, a.x + Truncate(kEvaluationIndent * digit.cx), a.y);
}

}  // namespace

// Row 1 is the lower bound or argument, row 2 the upper bound.
ExtentRecord MeasureCodeDrawn(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord r1 = MeasureRow(t.row1, a);
  const ExtentRecord r2 = MeasureRow(t.row2, a);
  if (IsIntegral(t)) return MeasureIntegral(t, a, r1, r2);
  if (IsBigOperator(t.text)) return MeasureBigOperator(t, a, r1, r2);
  if (t.text == "lim") return MeasureLimit(t, a, r1);
  if (t.text == "box") return MeasureFrame(t, a, r1);
  if (t.text == "@") return MeasureEvaluation(t, a, r1);
  return ExtentRecord{};
}

void DrawCodeDrawn(QVMToken& t, const DrawArgs& a) {
  if (IsIntegral(t)) return DrawIntegral(t, a);
  if (IsBigOperator(t.text)) return DrawBigOperator(t, a);
  if (t.text == "lim") return DrawLimit(t, a);
  if (t.text == "box") return DrawFrame(t, a);
  if (t.text == "@") DrawEvaluation(t, a);
}
