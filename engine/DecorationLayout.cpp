// Layout and drawing of decorations: accents and bars typed after a letter
// or number, vectors of capitals and lower-case letters, over-arrows and
// arcs. Each measure beside its draw.
#include <algorithm>

#include "engine/Layout.h"

namespace {

// The "^^" accent: room of half an ascent above the content, and how far
// below the content's top its cell starts, in descents.
constexpr double kHatLift = 2.5;
constexpr double kArcEnd = 3.14159;

enum class Mode { kBar, kDot, kTwoDots, kHat, kArc, kRight, kLeft, kBoth, kCapitals, kLetter, kNone };

// The decoration a modifier's text names.
Mode ModifierMode(const CString& text) {
  if (text == "_") return Mode::kBar;
  if (text == ":") return Mode::kDot;
  if (text == "::") return Mode::kTwoDots;
  if (text == "^^") return Mode::kHat;
  return Mode::kNone;
}

// Room above the content for the mark.
int32_t DecorationRoom(Mode mode, const FontMetrics& m, const QVMOptions& o, bool descender) {
  const int32_t arrow = o.VectorArrowSize.Clamped();
  switch (mode) {
    case Mode::kHat: return m.d + m.a / 2;
    case Mode::kArc: case Mode::kRight: case Mode::kLeft: case Mode::kBoth:
      return std::max(m.d, arrow);
    case Mode::kCapitals: return o.DoubleCaps.Clamped() != 0 ? std::max(m.d, arrow) : 0;
    case Mode::kLetter:
      switch (o.DisplayVect.Clamped()) {
        case 2: return descender ? m.d : 0;
        case 3: return std::max(m.d, arrow);
        default: return 0;
      }
    default: return m.d;
  }
}

// Box of a decorated content w x h.
CSize DecorationSize(Mode mode, CSize content, const FontMetrics& m, const QVMOptions& o,
                     bool descender) {
  return CSize(std::max<int32_t>(content.cx, m.w),
               content.cy + DecorationRoom(mode, m, o, descender));
}

ExtentRecord Decorated(Mode mode, CSize content, int32_t align, const FontMetrics& m,
                       const QVMOptions& o, bool descender) {
  const CSize size = DecorationSize(mode, content, m, o, descender);
  return MakeBox(size.cx, size.cy, align);
}

// An arrow head with its tip at (px, py); filled or open.
void ArrowHead(CDC& dc, int32_t px, int32_t py, bool right, const QVMOptions& o, bool filled) {
  const int32_t size = o.VectorArrowSize.Clamped();
  const int32_t half = size / 2;
  const int32_t bx = right ? px - size : px + size;
  const POINT corners[] = {{bx, py + half}, {px, py}, {bx, py - half}};
  if (filled) dc.Polygon(corners, 3);
  else dc.Polyline(corners, 3);
}

// The arrow line over content w x h, with heads at the chosen ends.
void OverArrow(CDC& dc, int32_t x, int32_t y, CSize content, bool left, bool right,
               const QVMOptions& o, bool filled) {
  const int32_t m = y + content.cy + o.VectorArrowSize.Clamped() / 2;
  RuleFromTo(dc, x, m, x + content.cx, m);
  if (right) ArrowHead(dc, x + content.cx, m, true, o, filled);
  if (left) ArrowHead(dc, x, m, false, o, filled);
}

// A character centred over x + w / 2 with its cell's bottom at y.
void CentredMark(CDC& dc, int32_t x, int32_t y, int32_t w, const CString& mark, int32_t shift = 0) {
  TextAt(dc, x + w / 2 - TextSize(dc, mark).cx / 2 + shift, y, mark);
}

void DrawDecorations(const QVMToken& t, const DrawArgs& a, Mode mode, CSize content,
                     bool descender) {
  const FontMetrics m = MetricsOf(t);
  const QVMOptions& o = a.options;
  const bool filled = o.ArrowHeadStyle.Clamped() == 0;
  const int32_t x = a.x, y = a.y, w = content.cx, h = content.cy;
  switch (mode) {
    case Mode::kBar: {
      const int32_t e = descender ? m.d : m.d / 3;
      return RuleFromTo(a.dc, x, y + h + e, x + w, y + h + e);
    }
    case Mode::kDot: return CentredMark(a.dc, x, y + h - m.d, w, ".");
    case Mode::kTwoDots:
      CentredMark(a.dc, x, y + h - m.d, w, ".", -m.w / 3);
      return CentredMark(a.dc, x, y + h - m.d, w, ".", m.w / 3);
    case Mode::kHat: return CentredMark(a.dc, x, Truncate(y + h - kHatLift * m.d), w, "^");
    case Mode::kArc: {
      const int32_t size = o.VectorArrowSize.Clamped();
      return DrawEllipticArc(a.dc, x, y + h - size, x + w, y + h + size, 0, kArcEnd);
    }
    case Mode::kRight: return OverArrow(a.dc, x, y, content, false, true, o, filled);
    case Mode::kLeft: return OverArrow(a.dc, x, y, content, true, false, o, filled);
    case Mode::kBoth: return OverArrow(a.dc, x, y, content, true, true, o, filled);
    case Mode::kCapitals:
      switch (o.DoubleCaps.Clamped()) {
        case 1: return OverArrow(a.dc, x, y, content, false, true, o, filled);
        case 2: return OverArrow(a.dc, x, y, content, false, false, o, filled);
        case 3: return OverArrow(a.dc, x, y, content, true, true, o, filled);
        default: return;
      }
    case Mode::kLetter:
      switch (o.DisplayVect.Clamped()) {
        case 1: {
          const int32_t under = y + (descender ? 4 * m.d : 2 * m.d) / 3;
          return RuleFromTo(a.dc, x, under, x + m.w, under);
        }
        case 2: return CentredMark(a.dc, x, descender ? y - 3 * m.d : y - m.a / 2, w, "~");
        case 3: return OverArrow(a.dc, x, y, content, false, true, o, true);
        default: return;
      }
    case Mode::kNone: return;
  }
}

// The text's box, or a character's when the text is empty.
CSize TextBoxOrFont(CDC& dc, const QVMToken& t) {
  if (t.text.IsEmpty()) return CSize(MetricsOf(t).w, MetricsOf(t).h);
  return TextSize(dc, t.text);
}

Mode ArrowMode(TokenKind kind) {
  if (kind == TK_IVLEFT) return Mode::kLeft;
  if (kind == TK_IVBOTH) return Mode::kBoth;
  return Mode::kRight;
}

// A mark over a row drawn on the box's bottom: the row's ink and a bar or
// a mark's glyph where the draw puts it; other marks reach the box's top.
// The box where there is no row.
void DecoratedReach(QVMToken& t, CDC& dc, Mode mode, CSize content, const QVMOptions& o,
                    const ExtentRecord& box) {
  if (t.row1.IsEmpty()) return;
  const FontMetrics m = MetricsOf(t);
  const int32_t h = content.cy, cap = RuleReach(dc, o);
  InkReach& reach = t.Ink().reach;
  reach = RowReachAt(t.row1, 0);
  switch (mode) {
    case Mode::kBar: {
      const int32_t bar = h + (HasDescender(t.text) ? m.d : m.d / 3);
      return reach.Add(ReachFromTo(bar - cap, bar + cap));
    }
    case Mode::kDot: case Mode::kTwoDots: return reach.Add(TextReach(dc, ".", m.d), h - m.d);
    case Mode::kHat: return reach.Add(TextReach(dc, "^", m.d), Truncate(h - kHatLift * m.d));
    default: reach.top = std::max(reach.top, box.height);
  }
}

}  // namespace

// ------------------------------------------------------------------- marks

ExtentRecord MeasureModifier(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord operand = t.row1.MeasureOperand(a.dc, a.options, a.factory);
  const FontMetrics m = MetricsOf(t);
  const Mode mode = ModifierMode(t.text);
  const CSize content = RowBoxOrFont(operand, m);
  const ExtentRecord box =
      Decorated(mode, content, operand.align, m, a.options, HasDescender(t.text));
  DecoratedReach(t, a.dc, mode, content, a.options, box);
  return box;
}

void DrawModifier(QVMToken& t, const DrawArgs& a) {
  const ExtentRecord operand = t.row1.MeasureOperand(a.dc, a.options, a.factory);
  DrawDecorations(t, a, ModifierMode(t.text), RowBoxOrFont(operand, MetricsOf(t)),
                  HasDescender(t.text));
  DrawRow(t.row1, a, a.x, a.y);
}

// ----------------------------------------------------------------- vectors

ExtentRecord MeasureCapitalVector(QVMToken& t, const MeasureArgs& a) {
  const CSize text = TextBoxOrFont(a.dc, t);
  const FontMetrics m = MetricsOf(t);
  const ExtentRecord box = Decorated(Mode::kCapitals, text, text.cy - m.a, m, a.options, false);
  if (!t.text.IsEmpty()) {
    // Arrows, when drawn, stand in the room at the top.
    t.Ink().reach = TextReach(a.dc, t.text, m.d);
    if (a.options.DoubleCaps.Clamped() != 0) t.Ink().reach.top = box.height;
  }
  return box;
}

void DrawCapitalVector(QVMToken& t, const DrawArgs& a) {
  DrawDecorations(t, a, Mode::kCapitals, TextBoxOrFont(a.dc, t), false);
  TextAt(a.dc, a.x, a.y, t.text);
}

namespace {

// How far a letter vector's ink reaches: the letter `rise` up in its box
// and the mark of DisplayVect (a rule under it, a tilde, or an arrow in the
// room at the top).
InkReach LetterVectorReach(QVMToken& t, const MeasureArgs& a, int32_t rise, int32_t height) {
  const FontMetrics m = MetricsOf(t);
  InkReach reach = NoInk().reach;
  reach.Add(TextReach(a.dc, t.text, m.d), rise);
  const bool descender = HasDescender(t.text);
  switch (a.options.DisplayVect.Clamped()) {
    case 1: {
      const int32_t under = rise + (descender ? 4 * m.d : 2 * m.d) / 3;
      const int32_t cap = RuleReach(a.dc, a.options);
      reach.Add(ReachFromTo(under - cap, under + cap));
      break;
    }
    case 2: reach.Add(TextReach(a.dc, "~", m.d), rise + (descender ? -3 * m.d : -m.a / 2)); break;
    case 3: reach.top = std::max(reach.top, height); break;
    default: break;
  }
  return reach;
}

}  // namespace

// A letter with a descender stands a descent higher in its box.
ExtentRecord MeasureLetterVector(QVMToken& t, const MeasureArgs& a) {
  const CSize text = TextBoxOrFont(a.dc, t);
  const FontMetrics m = MetricsOf(t);
  const bool descender = HasDescender(t.text);
  const ExtentRecord box = Decorated(Mode::kLetter, text, text.cy - m.a + (descender ? m.d : 0), m,
                                     a.options, descender);
  if (!t.text.IsEmpty()) t.Ink().reach = LetterVectorReach(t, a, descender ? m.d : 0, box.height);
  return box;
}

void DrawLetterVector(QVMToken& t, const DrawArgs& a) {
  const FontMetrics m = MetricsOf(t);
  const CSize text = TextBoxOrFont(a.dc, t);
  const bool descender = HasDescender(t.text);
  DrawArgs raised = a;
  if (descender) raised.y += m.d;
  DrawDecorations(t, raised, Mode::kLetter, CSize(std::max<int32_t>(m.w, text.cx), text.cy),
                  descender);
  // A letter wider than a character starts at the box's left edge.
  TextAt(a.dc, a.x + std::max<int32_t>((m.w - text.cx) / 2, 0), raised.y, t.text);
}

// ---------------------------------------------------------- arrows and arcs

ExtentRecord MeasureOverArrow(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord row = MeasureRow(t.row1, a);
  const FontMetrics m = MetricsOf(t);
  const CSize content = RowBoxOrFont(row, m);
  const ExtentRecord box = Decorated(Mode::kLeft, content, row.align, m, a.options, false);
  DecoratedReach(t, a.dc, Mode::kLeft, content, a.options, box);
  return box;
}

void DrawOverArrow(QVMToken& t, const DrawArgs& a) {
  DrawDecorations(t, a, ArrowMode(t.kind), RowBoxOrFont(t.row1.Extent(), MetricsOf(t)), false);
  DrawRow(t.row1, a, a.x, a.y);
}

ExtentRecord MeasureArc(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord row = MeasureRow(t.row1, a);
  const FontMetrics m = MetricsOf(t);
  const CSize content = RowBoxOrFont(row, m);
  const ExtentRecord box = Decorated(Mode::kArc, content, row.align, m, a.options, false);
  DecoratedReach(t, a.dc, Mode::kArc, content, a.options, box);
  return box;
}

void DrawArc(QVMToken& t, const DrawArgs& a) {
  DrawDecorations(t, a, Mode::kArc, RowBoxOrFont(t.row1.Extent(), MetricsOf(t)), false);
  DrawRow(t.row1, a, a.x, a.y);
}

void DrawEllipticArc(CDC& dc, int32_t left, int32_t bottom, int32_t right, int32_t top,
                     double a0, double a1) {
  const std::vector<CPoint> points = EllipticArcPoints(left, bottom, right, top, a0, a1);
  std::vector<POINT> plain(points.begin(), points.end());
  dc.Polyline(plain.data(), static_cast<int>(plain.size()));
}
