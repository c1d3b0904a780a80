// Layout of a line: the measure of every token kind (the one switch over
// kinds for measuring), the row measure that strings tokens into a line,
// the vertical adjustment before drawing, and the measure of a line.
#include <algorithm>

#include "engine/Layout.h"

namespace {

// A power's box top stands this part of its raise below its measured top.
constexpr double kPowerTopTrim = 0.3;
// A power after a taller bracket group stands out above it by the rest of
// this part of its height.
constexpr double kPowerOverBrackets = 0.8;
// Accents sit lower over these letters, which have no ascender.
constexpr const char* kLowLetters = "acegijmnoqrsuvwxyz";
constexpr double kLowLetterHeight = 0.7;
constexpr char kDegreeSign = '\xB0';

// Text extent of the token's text; align is the descent below the baseline.
ExtentRecord MeasureText(QVMToken& t, const MeasureArgs& a) {
  const CSize size = TextSize(a.dc, t.text);
  return MakeBox(size.cx, size.cy, size.cy - MetricsOf(t).a);
}

// "-3" with an en dash as its minus in style 1; a raised decimal point is
// measured as the middle dot it is drawn with.
ExtentRecord MeasureNumber(QVMToken& t, const MeasureArgs& a) {
  if (a.options.RaiseDecimal.Value) {
    const int dot = t.text.Find('.');
    if (dot >= 0) t.text.SetAt(dot, kMiddleDot);
  }
  CString shown = t.text;
  if (!shown.IsEmpty() && shown.GetAt(0) == '-' && a.options.NegativeNumberStyle.Clamped() == 1)
    shown.SetAt(0, kEnDash);
  const CSize size = TextSize(a.dc, shown);
  return MakeBox(size.cx, size.cy, size.cy - MetricsOf(t).a);
}

// Relation and addition signs get room on both sides (less at a row start).
ExtentRecord MeasureSpacedOperator(QVMToken& t, const MeasureArgs& a) {
  ExtentRecord r = MeasureText(t, a);
  if (a.options.ParseSwitches[2]) r.width = Truncate(r.width * (a.x == 0 ? 1.5 : 2.0));
  return r;
}

ExtentRecord MeasureSubtract(QVMToken& t, const MeasureArgs& a) {
  const CString shown = a.options.ExpandSubtract.Value ? CString(kEnDash) : t.text;
  const CSize size = TextSize(a.dc, shown);
  return MakeBox(2 * size.cx, size.cy, size.cy - MetricsOf(t).a);
}

// The sign of MultiplyStyle: Symbol cross, Symbol dot, or an asterisk.
ExtentRecord MeasureMultiply(QVMToken& t, const MeasureArgs& a) {
  static const char* const kSigns[] = {"\xB4", "\xD7", "*"};
  t.text = kSigns[a.options.MultiplyStyle.Clamped()];
  const CSize size = TextSize(a.dc, t.text);
  return MakeBox(2 * size.cx, size.cy, size.cy - MetricsOf(t).a);
}

ExtentRecord MeasureQuoted(QVMToken& t, const MeasureArgs& a) {
  t.text.Remove('"');
  const CSize size = TextSize(a.dc, t.text);
  const int32_t byCharacters = t.text.GetLength() * MetricsOf(t).w;
  return MakeBox(std::max<int32_t>(size.cx, byCharacters), size.cy, size.cy - MetricsOf(t).a);
}

// The degree sign stands on the baseline's height, a descent up.
ExtentRecord MeasureDegree(QVMToken& t, const MeasureArgs& a) {
  t.text = CString(kDegreeSign);
  const CSize size = TextSize(a.dc, t.text);
  const FontMetrics m = MetricsOf(t);
  return MakeBox(size.cx, size.cy, size.cy - m.d - m.a);
}

ExtentRecord MeasureTab(QVMToken&, const MeasureArgs& a) {
  return MakeBox(TabWidthAt(a.x, a.options.TabWidth.Clamped()), 0, 0);
}

// An alignment spacer: as wide as its shift, as tall as a digit.
ExtentRecord MeasureSpacer(QVMToken& t, const MeasureArgs& a) {
  const CSize size = TextSize(a.dc, "1");
  return MakeBox(t.stretch, size.cy, size.cy - MetricsOf(t).a);
}

// The one switch over token kinds for measuring.
ExtentRecord MeasureByKind(QVMToken& t, const MeasureArgs& a) {
  switch (t.kind) {
    case TK_FUNCTION: case TK_SEPARATOR: case TK_UNIT: case TK_SYMBOL: case TK_GREEK:
    case TK_RAW: case TK_SPACE: case TK_OPEN: case TK_CLOSE: case TK_VARIABLE:
    case TK_WHOLENUMBER: case TK_WDSYMBOL: case TK_UNBOLDSYMBOL:
      return MeasureText(t, a);
    case TK_NUMBER: return MeasureNumber(t, a);
    case TK_ADD: case TK_EQUAL: case TK_GREATER: case TK_LESS: case TK_SPACEDSYMBOL:
      return MeasureSpacedOperator(t, a);
    case TK_SUBTRACT: return MeasureSubtract(t, a);
    case TK_MULTIPLY: return MeasureMultiply(t, a);
    case TK_QUOTED: return MeasureQuoted(t, a);
    case TK_DEGREE: return MeasureDegree(t, a);
    case TK_TAB: return MeasureTab(t, a);
    case TK_DELTA: return MeasureSpacer(t, a);
    case TK_POWER: return MeasurePower(t, a);
    case TK_SUBSCRIPT: return MeasureSubscript(t, a);
    case TK_ARCSINCOSTAN: return MeasureInverseFunction(t, a);
    case TK_SQRT: return MeasureSquareRoot(t, a);
    case TK_ROOT: return MeasureRoot(t, a);
    case TK_LONGDIV: return MeasureLongDivision(t, a);
    case TK_BRACKETS: return MeasureBrackets(t, a);
    case TK_MATRIX: return MeasureMatrix(t, a);
    case TK_MODIFIER: return MeasureModifier(t, a);
    case TK_ABVECTOR: return MeasureCapitalVector(t, a);
    case TK_LCVECTOR: return MeasureLetterVector(t, a);
    case TK_IVRIGHT: case TK_IVLEFT: case TK_IVBOTH: return MeasureOverArrow(t, a);
    case TK_ARC: return MeasureArc(t, a);
    case TK_FRACTION: case TK_COLUMN: case TK_SMALLFRACTION: return MeasureFraction(t, a);
    case TK_PERMUTATION: case TK_COMBINATION: return MeasurePermutation(t, a);
    case TK_CODEDRAW2: return MeasureCodeDrawn(t, a);
    default: return ExtentRecord{};  // takes no room, draws nothing
  }
}

// Adds one token's box to the row's: widths add up; a power reaches up
// from the baseline without lowering it.
void AccumulateToken(ExtentRecord& row, const ExtentRecord& token) {
  row.width += token.width;
  if (token.raised) {
    const int32_t top = Truncate(token.height - kPowerTopTrim * token.raise);
    row.height = row.align + std::max(row.height - row.align, top);
    return;
  }
  const int32_t above = std::max(row.height - row.align, token.height - token.align);
  row.align = std::max(row.align, token.align);
  row.height = above + row.align;
}

// All integrals of a row take the box of the tallest; true when any changed.
bool EqualizeIntegrals(TokenRow& row) {
  QVMToken* tallest = nullptr;
  for (QVMToken* t : row)
    if (IsIntegral(*t) && (tallest == nullptr || t->stretch > tallest->stretch)) tallest = t;
  if (tallest == nullptr) return false;
  bool changed = false;
  for (QVMToken* t : row) {
    if (!IsIntegral(*t) || t == tallest) continue;
    changed = changed || t->extent.width != tallest->extent.width ||
              t->extent.height != tallest->extent.height || t->stretch != tallest->stretch;
    t->stretch = tallest->stretch;
    t->extent = tallest->extent;
  }
  return changed;
}

}  // namespace

CSize TextSize(CDC& dc, const CString& text) {
  TextMemory* memory = MemoryScope::Current();
  FontInUse* font = FontInUse::Current();
  if (memory == nullptr || font == nullptr) {
    SelectCurrentFont(dc);
    return dc.GetTextExtent(text);
  }
  // A remembered text needs no font selected.
  if (const CSize* known = memory->FindExtent(font->Key(), text)) return *known;
  font->Realise();
  SelectCurrentFont(dc);
  const CSize size = dc.GetTextExtent(text);
  memory->KeepExtent(font->Key(), text, size);
  return size;
}

ExtentRecord MakeBox(int32_t width, int32_t height, int32_t align) {
  ExtentRecord r;
  r.width = width;
  r.height = height;
  r.align = align;
  return r;
}

CSize RowBoxOrFont(const ExtentRecord& row, const FontMetrics& m) {
  if (row.width == 0 && row.height == 0) return CSize(m.w, m.h);
  return CSize(row.width, row.height);
}

ExtentRecord MeasureRow(TokenRow& row, const MeasureArgs& a) {
  return row.Measure(a.dc, a.options, a.factory);
}

int32_t StretchFontSize(const QVMToken& token, const QVMOptions& options) {
  return Truncate(MetricsOf(token).h * options.DrawScale);
}

int32_t PenWidthOf(const QVMOptions& options) { return Truncate(options.GeneralPen.Value.Width); }

// Measuring turns the text "int" into the Symbol integral's code.
bool IsIntegral(const QVMToken& token) {
  return token.kind == TK_CODEDRAW2 && (token.text == "int" || token.text == "\xF2");
}

namespace {

// Kinds whose measure asks only for text extents and the font's metrics:
// with both remembered, their font need not be realised at all.
bool MeasuresTextOnly(TokenKind kind) {
  switch (kind) {
    case TK_FUNCTION: case TK_SEPARATOR: case TK_UNIT: case TK_SYMBOL: case TK_GREEK:
    case TK_RAW: case TK_SPACE: case TK_OPEN: case TK_CLOSE: case TK_VARIABLE:
    case TK_WHOLENUMBER: case TK_WDSYMBOL: case TK_UNBOLDSYMBOL: case TK_NUMBER:
    case TK_ADD: case TK_EQUAL: case TK_GREATER: case TK_LESS: case TK_SPACEDSYMBOL:
    case TK_SUBTRACT: case TK_MULTIPLY: case TK_QUOTED: case TK_DEGREE: case TK_TAB:
    case TK_DELTA:
      return true;
    default: return false;
  }
}

// A text token's measure from remembered answers; the font is selected
// only when a text is not remembered. False when the font's metrics are
// not remembered.
bool MeasureFromMemory(QVMToken& t, const MeasureArgs& a, ExtentRecord& out) {
  const TextMemory* memory = MemoryScope::Current();
  if (memory == nullptr || !MeasuresTextOnly(t.kind)) return false;
  t.DescribeFont(a.options);
  const FontName key = FontKey(t.Font().Description, t.Font().Scale);
  const TEXTMETRICA* metrics = memory->FindMetrics(key);
  if (metrics == nullptr) return false;
  t.Metrics() = *metrics;
  std::optional<SelectedToken> selected;
  {
    // One reference captured: the function keeps it without allocating.
    struct Realising {
      std::optional<SelectedToken>& selected;
      QVMToken& t;
      const MeasureArgs& a;
    } realising{selected, t, a};
    FontInUse font(key, [&realising] {
      realising.selected.emplace(realising.t, realising.a.dc, realising.a.options, false);
    });
    out = MeasureByKind(t, a);
    selected.reset();
  }
  return true;
}

}  // namespace

ExtentRecord QVMToken::Measure(CDC& dc, int32_t x, const QVMOptions& options,
                               QVMTokenFactory& factory) {
  if (!needsLayout) return extent;
  ExtentRecord working;
  const MeasureArgs args{dc, x, options, factory};
  if (!MeasureFromMemory(*this, args, working)) {
    SelectedToken selected(*this, dc, options, false);
    working = MeasureByKind(*this, args);
  }
  working.margin = Metrics().tmAveCharWidth / 3;
  extent = working;
  needsLayout = false;
  return extent;
}

ExtentRecord TokenRow::Measure(CDC& dc, const QVMOptions& options, QVMTokenFactory& factory) {
  // An empty row measures all zero; it needs no part for that.
  if (part_ == nullptr) return ExtentRecord{};
  if (!part_->needsLayout) return part_->extent;
  ExtentRecord row;
  for (QVMToken* token : *this) AccumulateToken(row, token->Measure(dc, row.width, options, factory));
  // Integrals that took a taller one's box change the row's sums: add the
  // boxes up again, so that the row's box holds what the draw places.
  if (EqualizeIntegrals(*this)) {
    row = ExtentRecord{};
    for (QVMToken* token : *this) AccumulateToken(row, token->extent);
  }
  if (!IsEmpty()) row.margin = GetAt(GetSize() - 1)->extent.margin;
  row.raise = 0;
  row.raised = false;
  row.adjust = 0;
  part_->extent = row;
  part_->needsLayout = false;
  return row;
}

// A lone letter without an ascender lets an accent sit lower.
ExtentRecord TokenRow::MeasureOperand(CDC& dc, const QVMOptions& options,
                                      QVMTokenFactory& factory) {
  if (IsEmpty()) return ExtentRecord{};
  QVMToken* only = GetAt(0);
  if (GetSize() > 1 || only->kind != TK_VARIABLE) return Measure(dc, options, factory);
  // The row's own record still places the letter on the baseline when the
  // row is drawn; only the accent's room counts the lower height.
  Measure(dc, options, factory);
  ExtentRecord r = only->Measure(dc, 0, options, factory);
  if (!only->text.IsEmpty() && CString(kLowLetters).Find(only->text.GetAt(0)) >= 0)
    r.height = Truncate(r.height * kLowLetterHeight);
  return r;
}

// Baselines on the row's baseline; a power starts on it, or just below the
// top of a taller bracket group before it.
void TokenRow::AdjustVertical() {
  for (QVMToken* token : *this) {
    token->row1.AdjustVertical();
    token->row2.AdjustVertical();
  }
  for (int i = 0; i < GetSize(); ++i) {
    QVMToken* q = GetAt(i);
    const QVMToken* p = i > 0 ? GetAt(i - 1) : nullptr;
    ExtentRecord& box = q->extent;
    if (p != nullptr && p->kind == TK_BRACKETS && q->kind == TK_POWER &&
        box.height < p->extent.height) {
      box.adjust = Truncate(p->extent.height - kPowerOverBrackets * box.height - p->extent.align +
                            Extent().align);
    } else {
      box.adjust = Extent().align;
    }
    if (!box.raised) box.adjust -= box.align;
  }
}

// The root row's box with room of a margin on either side.
ExtentRecord EquationLine::Measure(CDC& dc, const QVMOptions& options) {
  if (!remeasure_ && !root_.NeedsLayout()) return extent;
  ExtentRecord row = root_.Measure(dc, options, factory_);
  extent = row;
  extent.width += 2 * row.margin;
  remeasure_ = false;
  return extent;
}
