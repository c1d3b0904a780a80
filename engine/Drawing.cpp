// Drawing of a line: the one switch over token kinds for drawing, the
// drawing of text tokens and signs, rows, and a whole line with its
// alignment and background.
#include <algorithm>

#include "engine/Layout.h"

namespace {

// The line's background frame pen: a quarter point.
constexpr double kWipePenWidth = 8.819443875;

// Text tokens: the whole text on the box's bottom.
void DrawText(QVMToken& t, const DrawArgs& a) { TextAt(a.dc, a.x, a.y, t.text); }

// Signs with room on both sides stand a quarter of their box in.
void DrawSpacedOperator(QVMToken& t, const DrawArgs& a) {
  const bool spaced = a.options.ParseSwitches[2] && !a.isFirst;
  TextAt(a.dc, spaced ? a.x + OwnWidth(t) / 4 : a.x, a.y, t.text.Left(1));
}

void DrawSubtract(QVMToken& t, const DrawArgs& a) {
  const CString sign = a.options.ExpandSubtract.Value ? CString(kEnDash) : t.text.Left(1);
  TextAt(a.dc, a.x + OwnWidth(t) / 4, a.y, sign);
}

// Negative numbers: as typed, with an en dash, or with a raised minus.
void DrawNumber(QVMToken& t, const DrawArgs& a) {
  if (a.options.RaiseDecimal.Value) {
    const int dot = t.text.Find('.');
    if (dot >= 0) t.text.SetAt(dot, kMiddleDot);
  }
  if (t.text.IsEmpty() || t.text.GetAt(0) != '-') return TextAt(a.dc, a.x, a.y, t.text);
  switch (a.options.NegativeNumberStyle.Clamped()) {
    case 1: return TextAt(a.dc, a.x, a.y, CString(kEnDash) + t.text.Mid(1));
    case 2:
      TextAt(a.dc, a.x, a.y + MetricsOf(t).d, "-");
      return TextAt(a.dc, a.x + TextSize(a.dc, "-").cx, a.y, t.text.Mid(1));
    default: return TextAt(a.dc, a.x, a.y, t.text);
  }
}

// Kinds that draw only text: their pen and brush are never realised.
bool DrawsTextOnly(TokenKind kind) {
  switch (kind) {
    case TK_FUNCTION: case TK_SEPARATOR: case TK_UNIT: case TK_SYMBOL: case TK_GREEK:
    case TK_RAW: case TK_SPACE: case TK_OPEN: case TK_CLOSE: case TK_VARIABLE: case TK_DEGREE:
    case TK_WDSYMBOL: case TK_UNBOLDSYMBOL: case TK_QUOTED: case TK_WHOLENUMBER:
    case TK_ADD: case TK_EQUAL: case TK_GREATER: case TK_LESS: case TK_SPACEDSYMBOL:
    case TK_MULTIPLY: case TK_SUBTRACT: case TK_NUMBER:
      return true;
    default: return false;
  }
}

// The one switch over token kinds for drawing.
void DrawByKind(QVMToken& t, const DrawArgs& a) {
  switch (t.kind) {
    case TK_FUNCTION: case TK_SEPARATOR: case TK_UNIT: case TK_SYMBOL: case TK_GREEK:
    case TK_SPACE: case TK_OPEN: case TK_CLOSE: case TK_VARIABLE: case TK_DEGREE:
    case TK_WDSYMBOL: case TK_UNBOLDSYMBOL: case TK_QUOTED: case TK_WHOLENUMBER:
      return DrawText(t, a);
    case TK_RAW: return IsPlusMinus(t) ? DrawSpacedOperator(t, a) : DrawText(t, a);
    case TK_ADD: case TK_EQUAL: case TK_GREATER: case TK_LESS: case TK_SPACEDSYMBOL:
    case TK_MULTIPLY:
      return DrawSpacedOperator(t, a);
    case TK_SUBTRACT: return DrawSubtract(t, a);
    case TK_NUMBER: return DrawNumber(t, a);
    case TK_ARCSINCOSTAN: return DrawInverseFunction(t, a);
    case TK_POWER: return DrawPower(t, a);
    case TK_SUBSCRIPT: return DrawSubscript(t, a);
    case TK_FRACTION: case TK_SMALLFRACTION: case TK_COLUMN: return DrawFraction(t, a);
    case TK_PERMUTATION: case TK_COMBINATION: return DrawPermutation(t, a);
    case TK_SQRT: return DrawSquareRoot(t, a);
    case TK_ROOT: return DrawRoot(t, a);
    case TK_LONGDIV: return DrawLongDivision(t, a);
    case TK_BRACKETS: return DrawBrackets(t, a);
    case TK_MATRIX: return DrawMatrix(t, a);
    case TK_CODEDRAW2: return DrawCodeDrawn(t, a);
    case TK_MODIFIER: return DrawModifier(t, a);
    case TK_ARC: return DrawArc(t, a);
    case TK_IVRIGHT: case TK_IVLEFT: case TK_IVBOTH: return DrawOverArrow(t, a);
    case TK_ABVECTOR: return DrawCapitalVector(t, a);
    case TK_LCVECTOR: return DrawLetterVector(t, a);
    default: return;  // takes no room, draws nothing
  }
}

// The line's box in the context's background colour.
void WipeBackground(CDC& dc, const CRect& box, COLORREF color) {
  QVBrush brush;
  brush.Description.Mode = 0;
  brush.Description.Style = 1;
  brush.Description.Color = color;
  QVPen pen;
  pen.Description.Mode = 1;
  pen.Description.Style = 0x10006;
  pen.Description.Width = kWipePenWidth;
  pen.Description.Color = color;
  brush.Select(dc);
  pen.Select(dc);
  dc.Rectangle(box.left, box.top, box.right, box.bottom);
  pen.Deselect(dc);
  brush.Deselect(dc);
}

}  // namespace

void TextAt(CDC& dc, int32_t x, int32_t y, const CString& text) {
  if (text.IsEmpty()) return;
  SelectCurrentFont(dc);
  dc.ExtTextOut(x, y, 0, nullptr, text, text.GetLength(), nullptr);
}

void RuleFromTo(CDC& dc, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const POINT rule[] = {{x0, y0}, {x1, y1}};
  dc.Polyline(rule, 2);
}

void DrawRow(TokenRow& row, const DrawArgs& a, int32_t x, int32_t y) {
  row.Draw(a.dc, x, y, a.options, a.factory);
}

// The layout is brought up to date before the token's objects are selected,
// so that a measure never selects over a draw's selection.
ExtentRecord QVMToken::Draw(CDC& dc, int32_t x, int32_t y, bool isFirst, QVMOptions& options,
                            QVMTokenFactory& factory) {
  Measure(dc, x, options, factory);
  {
    SelectedToken selected(*this, dc, options, factory, !DrawsTextOnly(kind));
    DrawByKind(*this, DrawArgs{dc, x, y + extent.adjust, isFirst, options, factory});
  }
  return extent;
}

namespace {

// The horizontal extent of the context's clipping in logical units, when
// the context can tell it (a metafile records everything).
bool ClipAcross(CDC& dc, int32_t& left, int32_t& right) {
  const DWORD type = ::GetObjectType(dc.GetSafeHdc());
  RECT clip{};
  if ((type != OBJ_DC && type != OBJ_MEMDC) || ::GetClipBox(dc.GetSafeHdc(), &clip) == ERROR) return false;
  left = std::min(clip.left, clip.right);
  right = std::max(clip.left, clip.right);
  return true;
}

// A long line shows only a part in a window: the tokens of its root row
// wholly left or right of the clipping (with `slack` for ink beyond a
// box) are not drawn.
void DrawShownTokens(TokenRow& row, CDC& dc, int32_t x, int32_t y, int32_t slack, QVMOptions& options,
                     QVMTokenFactory& factory) {
  int32_t clipLeft = 0;
  int32_t clipRight = 0;
  if (!ClipAcross(dc, clipLeft, clipRight)) {
    row.AdjustVertical();
    return row.Draw(dc, x, y, options, factory);
  }
  int32_t left = x;
  for (int i = 0; i < row.GetSize() && left <= clipRight + slack; ++i) {
    QVMToken* token = row.GetAt(i);
    const int32_t width = token->Measure(dc, left - x, options, factory).width;
    if (left + width >= clipLeft - slack) {
      row.AdjustVerticalAt(i);
      token->Draw(dc, left, y, i == 0, options, factory);
    }
    left += width;
  }
}

}  // namespace

void TokenRow::Draw(CDC& dc, int32_t x, int32_t y, QVMOptions& options, QVMTokenFactory& factory) {
  int32_t left = x;
  for (int i = 0; i < GetSize(); ++i) {
    QVMToken* token = GetAt(i);
    token->Draw(dc, left, y, i == 0, options, factory);
    left += token->Measure(dc, left - x, options, factory).width;
  }
}

// Bottom-aligned drawing from the context's alignment; the background is
// wiped first when the options ask for it. The background mode is left as
// WipeBackground chose it.
void EquationLine::Draw(CDC& dc, int32_t x, int32_t y, QVMOptions& options) {
  const auto describing = factory_.DescribingScope();
  if (options.WipeBackground.Value) dc.SetBkMode(OPAQUE);
  else dc.SetBkMode(TRANSPARENT);
  const UINT alignment = dc.GetTextAlign();
  const ExtentRecord box = root_.Measure(dc, options, factory_);
  // The alignment constants share bits: test them through their masks. In
  // the y-up units of every caller the baseline lies align above the bottom.
  const int32_t vshift = (alignment & (TA_BASELINE | TA_BOTTOM)) == TA_TOP ? -box.height
                         : (alignment & (TA_BASELINE | TA_BOTTOM)) == TA_BASELINE ? -box.align
                                                                                  : 0;
  const int32_t hshift = (alignment & (TA_CENTER | TA_RIGHT)) == TA_RIGHT    ? -box.width
                         : (alignment & (TA_CENTER | TA_RIGHT)) == TA_CENTER ? -(box.width / 2)
                                                                              : 0;
  dc.SetTextAlign(TA_BOTTOM | TA_LEFT);
  const bool opaque = dc.GetBkMode() == OPAQUE;
  dc.SetBkMode(TRANSPARENT);
  if (opaque) {
    const CRect area(x + hshift, y + vshift, x + hshift + box.width, y + vshift + box.height);
    WipeBackground(dc, area, dc.GetBkColor());
  }
  DrawShownTokens(root_, dc, x + hshift, y + vshift, box.height, options, factory_);
  dc.SetTextAlign(alignment);
  if (opaque) dc.SetBkMode(OPAQUE);
}
