// Font choice: which face, weight, slant, size and colour each kind of
// token is painted with, and the pen and brush of its shapes.
#include <algorithm>
#include <cstring>

#include "engine/Layout.h"

namespace {

constexpr int32_t kBold = 700;
constexpr int32_t kHeavy = 900;
// Sums and products are drawn with a Symbol capital this many times the size.
constexpr int32_t kBigOperatorScale = 3;
// A mixed number's whole part stands this much larger than its fraction.
constexpr double kWholeNumberScale = 1.45;

// A copy of `base` with another weight.
QVLogFont Weighted(const QVLogFont& base, int32_t weight) {
  QVLogFont font(base);
  font.LogFont.lfWeight = weight;
  return font;
}

// A copy of `base` at `factor` times its size (at least 1).
QVLogFont Scaled(const QVLogFont& base, double factor) {
  QVLogFont font(base);
  font.Size = std::max(Truncate(font.Size * factor), 1);
  return font;
}

// A copy of `base` with the kind's bold and italic flags, and unless one
// font serves all: its own face (when one is named) and its own colour.
QVLogFont Styled(const QVLogFont& base, const QVOptionBool& bold, const QVOptionBool& italic,
                 const QVMOptions& o, const QVOptionString* face, const QVOptionColorRef& color) {
  QVLogFont font(base);
  if (bold.Value) font.LogFont.lfWeight = kBold;
  if (italic.Value) font.LogFont.lfItalic = 1;
  if (o.UseOneFont.Value) return font;
  if (face != nullptr && !face->Value.IsEmpty()) font.SetFaceName(face->Value);
  font.Color = color.Value;
  return font;
}

bool IsBigOperator(const CString& text) {
  return text == "sigma" || text == "sum" || text == "product";
}

bool UsesMainFont(const CString& text) { return text == "lim" || text == "box" || text == "@"; }

// Which font a code-drawn sign uses.
enum CodeDrawnFontKind : int32_t { kCodeDrawnSymbol, kCodeDrawnMain, kCodeDrawnBig };

int32_t CodeDrawnVariant(const QVMToken& t) {
  if (t.kind != TK_CODEDRAW2) return kCodeDrawnSymbol;
  if (UsesMainFont(t.text)) return kCodeDrawnMain;
  return IsBigOperator(t.text) ? kCodeDrawnBig : kCodeDrawnSymbol;
}

QVLogFont CodeDrawnFont(int32_t variant, const QVLogFont& main, const QVLogFont& symbol) {
  if (variant == kCodeDrawnMain) return main;
  return variant == kCodeDrawnBig ? Scaled(symbol, kBigOperatorScale) : symbol;
}

// The working description of a token's kind, from the three base fonts.
QVLogFont ChooseDescription(const FontChoiceKey& k, const QVMOptions& o, const QVLogFont& main,
                            const QVLogFont& symbol, const QVLogFont& wingdings) {
  switch (k.kind) {
    case TK_FUNCTION:
      return Styled(main, o.FunctionsBold, o.FunctionsItalic, o, &o.FunctionFont, o.FunctionColor);
    case TK_UNIT: return Styled(main, o.UnitsBold, o.UnitsItalic, o, &o.UnitsFont, o.UnitColor);
    case TK_QUOTED: return Styled(main, o.QuoteBold, o.QuoteItalic, o, &o.QuoteFont, o.QuoteColor);
    case TK_VARIABLE:
      return Styled(main, o.VariablesBold, o.VariablesItalic, o, nullptr, o.VariableColor);
    case TK_GREEK: return Styled(symbol, o.GreekBold, o.GreekItalic, o, nullptr, o.GreekColor);
    case TK_SYMBOL: case TK_SPACEDSYMBOL: return Weighted(symbol, kBold);
    case TK_UNBOLDSYMBOL: return symbol;
    case TK_WDSYMBOL: return wingdings;
    case TK_MODIFIER: case TK_SUBSCRIPT: case TK_PERMUTATION: case TK_COMBINATION:
      return Weighted(main, kBold);
    case TK_LCVECTOR: return Weighted(main, kHeavy);
    case TK_WHOLENUMBER: return Scaled(main, kWholeNumberScale);
    case TK_MULTIPLY:
      switch (o.MultiplyStyle.Clamped()) {
        case 1: return Weighted(symbol, kBold);
        case 2: return main;
        default: return symbol;
      }
    case TK_CODEDRAW2: return CodeDrawnFont(k.variant, main, symbol);
    default: return main;
  }
}

void ApplyLineFormat(QVLogFont& font, const LineFormat& format) {
  if (format.Bold) font.LogFont.lfWeight = kBold;
  if (format.Italic) font.LogFont.lfItalic = 1;
  if (format.UseColour) font.Color = format.Colour;
}

// Size by level, description by kind, then the line's format.
QVLogFont DescribeKind(const FontChoiceKey& k, const QVMOptions& o) {
  QVLogFont main;
  main.Assign(o.Font.Value);
  main.Size = LevelFontSize(main.Size, k.nesting, k.script, o);
  QVLogFont symbol;
  symbol.Assign(main);
  symbol.SetFaceName("Symbol");
  QVLogFont wingdings;
  wingdings.Assign(main);
  wingdings.SetFaceName("Wingdings");
  wingdings.LogFont.lfCharSet = SYMBOL_CHARSET;

  QVLogFont chosen = ChooseDescription(k, o, main, symbol, wingdings);
  ApplyLineFormat(chosen, o.CurrentLineFormat);
  return chosen;
}

}  // namespace

FontMetrics MetricsOf(const QVMToken& token) {
  const TEXTMETRICA& tm = token.Metrics();
  return {tm.tmAscent, tm.tmDescent, tm.tmHeight, tm.tmAveCharWidth};
}

// Tokens of one kind and level share their font: while the line's scope
// lasts it is described once.
void QVMToken::DescribeFont(const QVMOptions& o, QVMTokenFactory& factory) {
  FontChoices& fonts = factory.fonts_;
  const FontChoiceKey key{kind, CodeDrawnVariant(*this), nestingLevel, scriptLevel};
  const FontChoice* choice = fonts.Recall(key);
  if (choice == nullptr) {
    choice = fonts.Intern(DescribeKind(key, o), o.DrawScale);
    fonts.Remember(key, choice);
  }
  SetFont(choice, factory);
}

bool QVMToken::SelectFont(CDC& dc, const QVMOptions& o, QVMTokenFactory& factory, bool withShapes,
                          bool later) {
  DescribeFont(o, factory);
  const FontChoice& font = *Paint()->look->font;
  const FontName& key = font.key;
  TextMemory* memory = MemoryScope::Current();
  // Metrics not yet remembered are read from the selected font.
  const bool knowsMetrics = !needsLayout || (memory && memory->Of(key, font.memory).FindMetrics());
  QVFont& realiser = Realiser(factory);
  realiser.Description.Assign(font.Description);
  realiser.Scale = font.Scale;
  const bool taken = SelectSizedFont(dc, realiser, key, later && knowsMetrics, &font.memory);
  // A context that cannot answer (or a missing font) leaves zero metrics;
  // every division by them is guarded. A laid-out token keeps the metrics
  // its layout was made with (drawing reads them; asking again is slow).
  if (needsLayout) {
    TEXTMETRICA metrics;
    ReadMetrics(dc, key, metrics, &font.memory);
    SetMetrics(metrics, factory);
  }
  if (!withShapes) return taken;

  const COLORREF ink = o.CurrentLineFormat.UseColour ? o.CurrentLineFormat.Colour : o.Font.Value.Color;
  ShapePart& shapes = Shapes(factory);
  shapes.pen.Description.Assign(o.GeneralPen.Value);
  shapes.pen.Description.Color = ink;
  shapes.pen.Scale = o.DrawScale;
  shapes.brush.Description.Mode = 0;
  shapes.brush.Description.Style = 1;
  shapes.brush.Description.Color = ink;
  const bool linger = LingeringFonts::Active(dc);
  if (HPEN kept = memory ? memory->KeptPen(shapes.pen.RealisedOn(dc)) : nullptr)
    shapes.pen.SelectKept(dc, kept, linger);
  else
    shapes.pen.Select(dc);
  if (HBRUSH kept = memory ? memory->KeptBrush(shapes.brush.Description.ToLogBrush()) : nullptr)
    shapes.brush.SelectKept(dc, kept, linger);
  else
    shapes.brush.Select(dc);
  return taken;
}

void QVMToken::DeselectFont(CDC& dc, QVMTokenFactory& factory) {
  if (Paint() == nullptr) return;  // nothing was selected
  if (!factory.shapesOf_.empty()) {
    const auto shapes = factory.shapesOf_.find(this);
    if (shapes != factory.shapesOf_.end()) {
      shapes->second->brush.Deselect(dc);
      shapes->second->pen.Deselect(dc);
    }
  }
  QVFont* const* realiser = factory.RealiserOf(this);
  if (realiser == nullptr) return;
  (*realiser)->Deselect(dc);
  ReleaseRealiser(factory);
}

bool SelectSizedFont(CDC& dc, QVFont& font, const FontName& key, bool later,
                     TextMemory::FontLink* link) {
  TextMemory* memory = MemoryScope::Current();
  HFONT kept = memory == nullptr ? nullptr
               : link != nullptr ? memory->KeptFont(dc, key, *link)
                                 : memory->KeptFont(dc, key);
  if (kept == nullptr) {
    font.Select(dc, true);
    return false;
  }
  const bool linger = LingeringFonts::Active(dc);
  if (later && linger) {
    font.TakeKept(dc, kept);
    return true;
  }
  font.SelectKept(dc, kept, linger);
  return false;
}

void ReadMetrics(CDC& dc, const FontName& font, TEXTMETRICA& metrics, TextMemory::FontLink* link) {
  TextMemory* memory = MemoryScope::Current();
  const TEXTMETRICA* known = memory == nullptr ? nullptr
                             : link != nullptr ? memory->Of(font, *link).FindMetrics()
                                               : memory->FindMetrics(font);
  if (known != nullptr) {
    metrics = *known;
    return;
  }
  if (!dc.GetTextMetrics(&metrics)) {
    std::memset(&metrics, 0, sizeof metrics);
    return;
  }
  if (memory) memory->KeepMetrics(font, metrics);
}

SelectedToken::SelectedToken(QVMToken& token, CDC& dc, const QVMOptions& options,
                             QVMTokenFactory& factory, bool withShapes)
    : token_(token), dc_(dc), factory_(factory) {
  // A construct's own font is often never drawn with (its rows have
  // theirs): it is selected only when a text call needs it.
  const bool taken = token_.SelectFont(dc_, options, factory_, withShapes, true);
  const FontChoice& font = token_.Font();
  font_.emplace(font.key, nullptr, font.memory);
  font_->Hold(token_.SelectedFont(factory_), font.Description.Color, !taken);
}

SelectedToken::~SelectedToken() {
  font_.reset();
  token_.DeselectFont(dc_, factory_);
}
