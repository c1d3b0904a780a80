// Font choice: which face, weight, slant, size and colour each kind of
// token is painted with, and the pen and brush of its shapes.
#include <cstring>

#include "engine/Layout.h"

namespace {

constexpr int32_t kBold = 700;
constexpr int32_t kHeavy = 900;
// Sums and products are drawn with a Symbol capital this many times the size.
constexpr int32_t kBigOperatorScale = 3;
// A mixed number's whole part stands this much larger than its fraction.
constexpr double kWholeNumberScale = 1.45;

void SetWeight(QVLogFont& font, int32_t weight) { font.LogFont.lfWeight = weight; }
void SetItalic(QVLogFont& font) { font.LogFont.lfItalic = 1; }

// Bold and italic flags, and unless one font serves all: an own face (when
// named) and an own colour.
void Style(QVLogFont& font, bool bold, bool italic, const QVMOptions& o, const CString* face,
           COLORREF color) {
  if (bold) SetWeight(font, kBold);
  if (italic) SetItalic(font);
  if (o.UseOneFont.Value) return;
  if (face != nullptr && !face->IsEmpty()) font.SetFaceName(*face);
  font.Color = color;
}

bool IsBigOperator(const CString& text) {
  return text == "sigma" || text == "sum" || text == "product";
}

bool UsesMainFont(const CString& text) { return text == "lim" || text == "box" || text == "@"; }

// The working description of a token's kind, from the three base fonts.
QVLogFont ChooseDescription(const QVMToken& t, const QVMOptions& o, const QVLogFont& main,
                            const QVLogFont& symbol, const QVLogFont& wingdings) {
  QVLogFont font;
  switch (t.kind) {
    case TK_FUNCTION:
      font.Assign(main);
      Style(font, o.FunctionsBold.Value, o.FunctionsItalic.Value, o, &o.FunctionFont.Value,
            o.FunctionColor.Value);
      return font;
    case TK_UNIT:
      font.Assign(main);
      Style(font, o.UnitsBold.Value, o.UnitsItalic.Value, o, &o.UnitsFont.Value, o.UnitColor.Value);
      return font;
    case TK_QUOTED:
      font.Assign(main);
      Style(font, o.QuoteBold.Value, o.QuoteItalic.Value, o, &o.QuoteFont.Value, o.QuoteColor.Value);
      return font;
    case TK_VARIABLE:
      font.Assign(main);
      Style(font, o.VariablesBold.Value, o.VariablesItalic.Value, o, nullptr, o.VariableColor.Value);
      return font;
    case TK_GREEK:
      font.Assign(symbol);
      Style(font, o.GreekBold.Value, o.GreekItalic.Value, o, nullptr, o.GreekColor.Value);
      return font;
    case TK_SYMBOL:
    case TK_SPACEDSYMBOL:
      font.Assign(symbol);
      SetWeight(font, kBold);
      return font;
    case TK_UNBOLDSYMBOL: return font.Assign(symbol);
    case TK_WDSYMBOL: return font.Assign(wingdings);
    case TK_MODIFIER:
    case TK_SUBSCRIPT:
    case TK_PERMUTATION:
    case TK_COMBINATION:
      font.Assign(main);
      SetWeight(font, kBold);
      return font;
    case TK_LCVECTOR:
      font.Assign(main);
      SetWeight(font, kHeavy);
      return font;
    case TK_WHOLENUMBER:
      font.Assign(main);
      font.Size = std::max(Truncate(font.Size * kWholeNumberScale), 1);
      return font;
    case TK_MULTIPLY: {
      const int32_t style = o.MultiplyStyle.Clamped();
      font.Assign(style == 2 ? main : symbol);
      if (style == 1) SetWeight(font, kBold);
      return font;
    }
    case TK_CODEDRAW2:
      if (UsesMainFont(t.text)) return font.Assign(main);
      font.Assign(symbol);
      if (IsBigOperator(t.text)) font.Size = Truncate(static_cast<double>(font.Size) * kBigOperatorScale);
      return font;
    default: return font.Assign(main);
  }
}

void ApplyLineFormat(QVLogFont& font, const LineFormat& format) {
  if (format.Bold) SetWeight(font, kBold);
  if (format.Italic) SetItalic(font);
  if (format.UseColour) font.Color = format.Colour;
}

}  // namespace

FontMetrics MetricsOf(const QVMToken& token) {
  const TEXTMETRICA& tm = token.metrics;
  return {tm.tmAscent, tm.tmDescent, tm.tmHeight, tm.tmAveCharWidth};
}

// Size by level, description by kind, then the line's format.
void QVMToken::SelectFont(CDC& dc, const QVMOptions& o) {
  QVLogFont main;
  main.Assign(o.Font.Value);
  main.Size = LevelFontSize(main.Size, nestingLevel, scriptLevel, o);
  QVLogFont symbol;
  symbol.Assign(main);
  symbol.SetFaceName("Symbol");
  QVLogFont wingdings;
  wingdings.Assign(main);
  wingdings.SetFaceName("Wingdings");
  wingdings.LogFont.lfCharSet = SYMBOL_CHARSET;

  QVLogFont chosen = ChooseDescription(*this, o, main, symbol, wingdings);
  ApplyLineFormat(chosen, o.CurrentLineFormat);
  font.Description.Assign(chosen);
  font.Scale = o.DrawScale;
  font.Select(dc, true);
  // A context that cannot answer (or a missing font) leaves zero metrics;
  // every division by them is guarded.
  if (!dc.GetTextMetrics(&metrics)) std::memset(&metrics, 0, sizeof metrics);

  const COLORREF ink = o.CurrentLineFormat.UseColour ? o.CurrentLineFormat.Colour : o.Font.Value.Color;
  pen.Description.Assign(o.GeneralPen.Value);
  pen.Description.Color = ink;
  pen.Scale = o.DrawScale;
  pen.Select(dc);
  brush.Description.Mode = 0;
  brush.Description.Style = 1;
  brush.Description.Color = ink;
  brush.Select(dc);
}

void QVMToken::DeselectFont(CDC& dc) {
  brush.Deselect(dc);
  pen.Deselect(dc);
  font.Deselect(dc);
}

SelectedToken::SelectedToken(QVMToken& token, CDC& dc, const QVMOptions& options)
    : token_(token), dc_(dc) {
  token_.SelectFont(dc_, options);
}

SelectedToken::~SelectedToken() { token_.DeselectFont(dc_); }
