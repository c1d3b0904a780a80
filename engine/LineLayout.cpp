// Layout of a line: the measure of every token kind (the one switch over
// kinds for measuring), the row measure that strings tokens into a line,
// the vertical adjustment before drawing, and the measure of a line.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "engine/Layout.h"

namespace {

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
  t.Ink() = TextInk(a.dc, t, t.text, 0, size.cx);
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
  t.Ink() = TextInk(a.dc, t, shown, 0, size.cx);
  return MakeBox(size.cx, size.cy, size.cy - MetricsOf(t).a);
}

// A sign drawn as its first character `offset` into a box `width` wide.
ExtentRecord SignBox(QVMToken& t, const MeasureArgs& a, const CString& sign, CSize size,
                     int32_t width, int32_t offset) {
  t.Ink() = TextInk(a.dc, t, sign.Left(1), offset, width);
  return MakeBox(width, size.cy, size.cy - MetricsOf(t).a);
}

// Relation and addition signs get room on both sides (less at a row start,
// where the sign is drawn at the box's left edge).
ExtentRecord MeasureSpacedOperator(QVMToken& t, const MeasureArgs& a) {
  const CSize size = TextSize(a.dc, t.text);
  if (!a.options.ParseSwitches[2]) return SignBox(t, a, t.text, size, size.cx, 0);
  const int32_t width = Truncate(size.cx * (a.x == 0 ? 1.5 : 2.0));
  return SignBox(t, a, t.text, size, width, a.x == 0 ? 0 : width / 4);
}

ExtentRecord MeasureSubtract(QVMToken& t, const MeasureArgs& a) {
  const CString shown = a.options.ExpandSubtract.Value ? CString(kEnDash) : t.text;
  const CSize size = TextSize(a.dc, shown);
  return SignBox(t, a, shown, size, 2 * size.cx, 2 * size.cx / 4);
}

// The sign of MultiplyStyle: Symbol cross, Symbol dot, or an asterisk.
ExtentRecord MeasureMultiply(QVMToken& t, const MeasureArgs& a) {
  static const char* const kSigns[] = {"\xB4", "\xD7", "*"};
  t.text = kSigns[a.options.MultiplyStyle.Clamped()];
  const CSize size = TextSize(a.dc, t.text);
  const bool spaced = a.options.ParseSwitches[2] && a.x != 0;
  return SignBox(t, a, t.text, size, 2 * size.cx, spaced ? 2 * size.cx / 4 : 0);
}

ExtentRecord MeasureQuoted(QVMToken& t, const MeasureArgs& a) {
  t.text.Remove('"');
  const CSize size = TextSize(a.dc, t.text);
  const int32_t byCharacters = t.text.GetLength() * MetricsOf(t).w;
  const int32_t width = std::max<int32_t>(size.cx, byCharacters);
  t.Ink() = TextInk(a.dc, t, t.text, 0, width);
  return MakeBox(width, size.cy, size.cy - MetricsOf(t).a);
}

// The degree sign stands on the baseline's height, a descent up.
ExtentRecord MeasureDegree(QVMToken& t, const MeasureArgs& a) {
  t.text = CString(kDegreeSign);
  const CSize size = TextSize(a.dc, t.text);
  const FontMetrics m = MetricsOf(t);
  t.Ink() = TextInk(a.dc, t, t.text, 0, size.cx);
  return MakeBox(size.cx, size.cy, size.cy - m.d - m.a);
}

ExtentRecord MeasureTab(QVMToken& t, const MeasureArgs& a) {
  t.Ink() = NoInk();
  return MakeBox(TabWidthAt(a.x, a.options.TabWidth.Clamped()), 0, 0);
}

// An alignment spacer: as wide as its shift, as tall as a digit.
ExtentRecord MeasureSpacer(QVMToken& t, const MeasureArgs& a) {
  const CSize size = TextSize(a.dc, "1");
  t.Ink() = NoInk();
  return MakeBox(t.stretch, size.cy, size.cy - MetricsOf(t).a);
}

// The one switch over token kinds for measuring.
ExtentRecord MeasureByKind(QVMToken& t, const MeasureArgs& a) {
  switch (t.kind) {
    case TK_FUNCTION: case TK_SEPARATOR: case TK_UNIT: case TK_SYMBOL: case TK_GREEK:
    case TK_SPACE: case TK_OPEN: case TK_CLOSE: case TK_VARIABLE:
    case TK_WHOLENUMBER: case TK_WDSYMBOL: case TK_UNBOLDSYMBOL:
      return MeasureText(t, a);
    case TK_RAW: return IsPlusMinus(t) ? MeasureSpacedOperator(t, a) : MeasureText(t, a);
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
    default:  // takes no room, draws nothing
      t.Ink() = NoInk();
      return ExtentRecord{};
  }
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
    t->Ink() = tallest->Ink();
  }
  return changed;
}

// Puts the paper `previous` needs after it to keep its ink `minimum` from
// that of `next`, with `between` of blanks between them; returns it.
int32_t PutPaperAfter(QVMToken& previous, int32_t between, QVMToken& next, int32_t minimum) {
  const int32_t extra = PaperBetween(previous.Ink().right, between, next.Ink().left, minimum);
  previous.Paper() += extra;
  previous.extent.width += extra;
  previous.Ink().right.Widen(extra);
  return extra;
}

// Puts paper after a token whose ink would otherwise come closer than
// `minimum` to the ink of the next token that draws any (blanks between
// count as paper; a tab starts afresh, its width depends on where it
// starts). True when any was put.
bool KeepInksApart(TokenRow& row, int32_t minimum) {
  QVMToken* previous = nullptr;
  int32_t between = 0;
  bool any = false;
  for (QVMToken* token : row) {
    if (token->kind == TK_TAB) {
      previous = nullptr;
      continue;
    }
    if (token->Ink().left.edge == InkEdge::kNone) {
      between += token->extent.width;
      continue;
    }
    if (previous != nullptr && PutPaperAfter(*previous, between, *token, minimum) > 0) any = true;
    previous = token;
    between = 0;
  }
  return any;
}


// Grey levels (of 64) from which a smoothed pixel counts as ink.
constexpr int kVisibleCoverage = 16;

// The ink of a glyph's renderings in device pixels from its origin: per
// row (its top above the baseline) the first column with ink and the one
// after the last.
struct PixelInk {
  std::map<LONG, std::pair<LONG, LONG>> rows;
  LONG advance = 0;
};

// Adds the pixels of one rendering that hold ink. Text is drawn smoothed
// or not as the font and size decide: both renderings count.
void AddBitmapInk(CDC& dc, unsigned char code, UINT format, PixelInk& ink) {
  GLYPHMETRICS glyph{};
  const DWORD size = dc.GetGlyphOutline(code, format, &glyph, 0, nullptr);
  if (size == GDI_ERROR || size == 0) return;
  std::vector<uint8_t> bits(size);
  if (dc.GetGlyphOutline(code, format, &glyph, size, bits.data()) == GDI_ERROR) return;
  const bool grey = format == GGO_GRAY8_BITMAP;
  const size_t stride = grey ? (glyph.gmBlackBoxX + 3) / 4 * 4 : (glyph.gmBlackBoxX + 31) / 32 * 4;
  ink.advance = glyph.gmCellIncX;
  for (UINT y = 0; y < glyph.gmBlackBoxY && (y + 1) * stride <= bits.size(); ++y) {
    const uint8_t* row = bits.data() + y * stride;
    for (UINT x = 0; x < glyph.gmBlackBoxX; ++x) {
      if (grey ? row[x] < kVisibleCoverage : (row[x / 8] & (0x80 >> (x % 8))) == 0) continue;
      const LONG left = glyph.gmptGlyphOrigin.x + static_cast<LONG>(x);
      const LONG top = glyph.gmptGlyphOrigin.y - static_cast<LONG>(y);
      auto [at, made] = ink.rows.try_emplace(top, left, left + 1);
      if (!made) at->second = {std::min(at->second.first, left), std::max(at->second.second, left + 1)};
    }
  }
}

// A side's profile from the rows with ink: `room` gives a row's paper in
// pixels; `nearest` becomes the least paper of any row.
template <typename Room>
InkProfile ProfileOf(const PixelInk& ink, double pixel, Room room, int32_t& nearest) {
  InkProfile profile;
  const LONG top = ink.rows.rbegin()->first, bottom = ink.rows.begin()->first;
  const LONG step = (top - bottom) / InkProfile::kEntries + 1;
  std::array<int32_t, InkProfile::kEntries> rooms;
  rooms.fill(kNoInkRoom);
  for (const auto& [y, columns] : ink.rows) {
    int32_t& entry = rooms[static_cast<size_t>((top - y) / step)];
    entry = std::min(entry, static_cast<int32_t>(std::lround(room(columns) * pixel)));
  }
  nearest = *std::min_element(rooms.begin(), rooms.end());
  profile.SetRooms(static_cast<int16_t>(top), static_cast<int16_t>(step),
                   static_cast<int16_t>((top - bottom) / step + 1), rooms);
  return profile;
}

GlyphInk MeasureGlyphInk(CDC& dc, unsigned char code, double pixel) {
  PixelInk ink;
  AddBitmapInk(dc, code, GGO_BITMAP, ink);
  AddBitmapInk(dc, code, GGO_GRAY8_BITMAP, ink);
  GlyphInk result;
  if (ink.rows.empty()) return result;  // no ink: a blank, or no outline to ask
  result.left =
      ProfileOf(ink, pixel, [](const std::pair<LONG, LONG>& c) { return c.first; }, result.a);
  const LONG advance = ink.advance;
  result.right = ProfileOf(
      ink, pixel, [advance](const std::pair<LONG, LONG>& c) { return advance - c.second; }, result.c);
  result.top = static_cast<int32_t>(std::lround(ink.rows.rbegin()->first * pixel));
  result.bottom = static_cast<int32_t>(std::lround((ink.rows.begin()->first - 1) * pixel));
  return result;
}

}  // namespace

GlyphInk GlyphInkOf(CDC& dc, unsigned char code) {
  const auto [memory, font] = CurrentTextScopes();
  const bool remembers = memory != nullptr && font != nullptr;
  if (remembers) {
    if (const GlyphInk* known = font->Memory(*memory).FindInk(code)) return *known;
    font->Realise();
  }
  SelectCurrentFont(dc);
  const GlyphInk ink = MeasureGlyphInk(dc, code, remembers ? memory->Pixel() : PixelLength(dc));
  if (remembers) memory->KeepInk(font->Key(), code, ink);
  return ink;
}

bool CharWidthsOf(CDC& dc, unsigned char code, ABC& abc) {
  const auto [memory, font] = CurrentTextScopes();
  const bool remembers = memory != nullptr && font != nullptr;
  if (remembers) {
    if (const auto* known = font->Memory(*memory).FindWidths(code)) {
      abc = known->abc;
      return known->known;
    }
    font->Realise();
  }
  SelectCurrentFont(dc);
  abc = ABC{};
  const bool known = dc.GetCharABCWidths(code, &abc);
  if (remembers) memory->KeepWidths(font->Key(), {code, known, abc});
  return known;
}

void CurrentFontMetrics(CDC& dc, TEXTMETRICA& metrics) {
  const auto [memory, font] = CurrentTextScopes();
  if (memory != nullptr && font != nullptr) {
    if (const TEXTMETRICA* known = font->Memory(*memory).FindMetrics()) {
      metrics = *known;
      return;
    }
    font->Realise();
  }
  SelectCurrentFont(dc);
  if (!dc.GetTextMetrics(&metrics)) std::memset(&metrics, 0, sizeof metrics);
  else if (memory != nullptr && font != nullptr) memory->KeepMetrics(font->Key(), metrics);
}

int32_t OnePixel(CDC& dc) {
  const TextMemory* memory = MemoryScope::Current();
  return static_cast<int32_t>(std::ceil(memory != nullptr ? memory->Pixel() : PixelLength(dc)));
}

int PixelRows(CDC& dc, int32_t length) {
  const TextMemory* memory = MemoryScope::Current();
  const double pixel = memory != nullptr ? memory->Pixel() : PixelLength(dc);
  return static_cast<int>(std::lround(length / pixel));
}

InkSides NoInk() {
  InkSides none;
  none.left.edge = none.right.edge = InkEdge::kNone;
  none.reach.known = true;
  return none;
}

// The side of a glyph's ink `from` logical units further from the box's edge.
InkSide GlyphSide(int32_t room, const InkProfile& profile, int32_t from, bool italic, bool symbol) {
  InkSide side;
  side.room = room;
  side.edge = InkEdge::kText;
  side.italic = italic;
  side.symbol = symbol;
  side.profile = profile;
  side.Widen(from);
  return side;
}

namespace {

// Takes in a glyph's ink standing on a baseline `descent` up; a glyph the
// context cannot show has none known.
void AddGlyphReach(InkReach& reach, const GlyphInk& glyph, int32_t descent) {
  if (glyph.a != kNoInkRoom) reach.Add(ReachFromTo(glyph.bottom, glyph.top), descent);
}

}  // namespace

// Blanks at either end count as paper up to the next glyph. The glyphs at
// the ends are asked for once, for their sides and their reach.
InkSides TextInk(CDC& dc, QVMToken& t, const CString& shown, int32_t offset, int32_t width) {
  const int length = shown.GetLength();
  int first = 0;
  while (first < length && shown.GetAt(first) == ' ') ++first;
  if (first == length) return NoInk();
  int last = length - 1;
  while (shown.GetAt(last) == ' ') --last;
  const LOGFONTA& font = t.Font().Description.LogFont;
  const bool italic = font.lfItalic != 0;
  const bool symbol = font.lfCharSet == SYMBOL_CHARSET || std::strcmp(font.lfFaceName, "Symbol") == 0;
  const int32_t before = offset + (first > 0 ? TextSize(dc, shown.Left(first)).cx : 0);
  const int32_t inked = TextSize(dc, last + 1 == length ? shown : shown.Left(last + 1)).cx;
  const int32_t after = width - offset - inked;
  const GlyphInk head = GlyphInkOf(dc, static_cast<unsigned char>(shown.GetAt(first)));
  const GlyphInk tail = GlyphInkOf(dc, static_cast<unsigned char>(shown.GetAt(last)));
  // Glyphs the context cannot show: nothing is known of their ink.
  if (head.a == kNoInkRoom || tail.c == kNoInkRoom) return InkSides{};
  const int32_t descent = MetricsOf(t).d;
  InkReach reach;
  reach.known = true;
  AddGlyphReach(reach, head, descent);
  for (int i = first + 1; i < last; ++i)
    AddGlyphReach(reach, GlyphInkOf(dc, static_cast<unsigned char>(shown.GetAt(i))), descent);
  if (last > first) AddGlyphReach(reach, tail, descent);
  return {GlyphSide(head.a, head.left, before, italic, symbol),
          GlyphSide(tail.c, tail.right, after, italic, symbol), reach};
}

InkReach TextReach(CDC& dc, const CString& shown, int32_t descent) {
  InkReach reach;
  reach.known = true;
  for (int i = 0; i < shown.GetLength(); ++i)
    AddGlyphReach(reach, GlyphInkOf(dc, static_cast<unsigned char>(shown.GetAt(i))), descent);
  return reach;
}

InkSides TokenRow::Ink() const {
  InkSides ink = NoInk();
  ink.reach = InkReach{};  // Reach() tells, for the callers that need it
  int32_t before = 0;
  for (const QVMToken* token : *this) {
    if (token->Ink().left.edge != InkEdge::kNone) {
      ink.left = token->Ink().left;
      ink.left.Widen(before);
      break;
    }
    before += token->extent.width;
  }
  int32_t after = 0;
  for (int i = GetSize(); i-- > 0;) {
    const QVMToken* token = GetAt(i);
    if (token->Ink().right.edge != InkEdge::kNone) {
      ink.right = token->Ink().right;
      ink.right.Widen(after);
      break;
    }
    after += token->extent.width;
  }
  return ink;
}

int32_t LeadingBlank(const TokenRow& row) {
  int32_t blank = 0;
  for (const QVMToken* token : row) {
    if (token->Ink().left.edge != InkEdge::kNone) break;
    blank += token->extent.width;
  }
  return blank;
}

bool IsPlusMinus(const QVMToken& token) { return token.kind == TK_RAW && token.text == "\xB1"; }

CSize TextSize(CDC& dc, const CString& text) {
  const auto [memory, font] = CurrentTextScopes();
  if (memory == nullptr || font == nullptr) {
    SelectCurrentFont(dc);
    return dc.GetTextExtent(text);
  }
  // A remembered text needs no font selected.
  if (const CSize* known = font->Memory(*memory).FindExtent(text)) return *known;
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

int32_t RuleReach(CDC& dc, const QVMOptions& options) {
  return (PenWidthOf(options) + 1) / 2 + OnePixel(dc);
}

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
  TextMemory* memory = MemoryScope::Current();
  if (memory == nullptr || !MeasuresTextOnly(t.kind)) return false;
  t.DescribeFont(a.options, a.factory);
  const FontChoice& choice = t.Font();
  const TEXTMETRICA* metrics = memory->Of(choice.key, choice.memory).FindMetrics();
  if (metrics == nullptr) return false;
  t.SetMetrics(*metrics, a.factory);
  std::optional<SelectedToken> selected;
  {
    // One reference captured: the function keeps it without allocating.
    struct Realising {
      std::optional<SelectedToken>& selected;
      QVMToken& t;
      const MeasureArgs& a;
    } realising{selected, t, a};
    FontInUse font(
        choice.key,
        [&realising] {
          realising.selected.emplace(realising.t, realising.a.dc, realising.a.options,
                                     realising.a.factory, false);
        },
        choice.memory);
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
  Ink() = InkSides{};  // unknown unless the kind's measure tells
  Paper() = 0;
  const MeasureArgs args{dc, x, options, factory};
  if (!MeasureFromMemory(*this, args, working)) {
    SelectedToken selected(*this, dc, options, factory, false);
    working = MeasureByKind(*this, args);
  }
  working.margin = Metrics().tmAveCharWidth / 3;
  extent = working;
  needsLayout = false;
  return extent;
}

ExtentRecord TokenRow::Measure(CDC& dc, const QVMOptions& options, QVMTokenFactory& factory) {
  return MeasureTokens(dc, options, factory, true);
}

ExtentRecord TokenRow::MeasureCells(CDC& dc, const QVMOptions& options, QVMTokenFactory& factory) {
  return MeasureTokens(dc, options, factory, false);
}

namespace {

// Paper an earlier measure of the row put after a token is laid out afresh.
void TakePaperOff(QVMToken& token) {
  token.extent.width -= token.Paper();
  token.Ink().right.Widen(-token.Paper());
  token.Paper() = 0;
}

// The row's tokens measured, their paper laid out and their boxes added up
// in one walk: what the walks of MeasureInWalks give for a row without
// integrals and tabs (a long line's rows are walked once, not four times).
// False at the first token that is either, the tokens before it measured:
// integrals take the tallest one's box, and a tab's width follows the
// paper before it.
bool MeasureInOneWalk(TokenRow& row, CDC& dc, const QVMOptions& options,
                      QVMTokenFactory& factory, ExtentRecord& box) {
  const int32_t minimum = OnePixel(dc);
  int32_t unspaced = 0;  // the width so far without the paper put
  QVMToken* previous = nullptr;
  int32_t between = 0;
  for (QVMToken* token : row) {
    if (token->kind == TK_TAB || IsIntegral(*token)) return false;
    token->Measure(dc, unspaced, options, factory);
    TakePaperOff(*token);
    unspaced += token->extent.width;
    AccumulateToken(box, token->extent);
    if (token->Ink().left.edge == InkEdge::kNone) {
      between += token->extent.width;
      continue;
    }
    if (previous != nullptr) box.width += PutPaperAfter(*previous, between, *token, minimum);
    previous = token;
    between = 0;
  }
  return true;
}

// Measured in walks: the tokens, then integrals given the tallest one's
// box and paper put between neighbours, then (when either changed a box)
// the boxes added up again, so that the row's box holds what the draw
// places (a tab runs to its stop from where it now starts).
ExtentRecord MeasureInWalks(TokenRow& tokens, CDC& dc, const QVMOptions& options,
                            QVMTokenFactory& factory, bool neighbours) {
  ExtentRecord row;
  for (QVMToken* token : tokens) {
    token->Measure(dc, row.width, options, factory);
    TakePaperOff(*token);
    AccumulateToken(row, token->extent);
  }
  const bool equalized = EqualizeIntegrals(tokens);
  const bool spaced = neighbours && KeepInksApart(tokens, OnePixel(dc));
  if (equalized || spaced) {
    row = ExtentRecord{};
    for (QVMToken* token : tokens) {
      if (spaced && token->kind == TK_TAB) {
        token->needsLayout = true;
        token->Measure(dc, row.width, options, factory);
      }
      AccumulateToken(row, token->extent);
    }
  }
  return row;
}

}  // namespace

ExtentRecord TokenRow::MeasureTokens(CDC& dc, const QVMOptions& options, QVMTokenFactory& factory,
                                     bool neighbours) {
  // An empty row measures all zero; it needs no part for that. Nor does a
  // row of one token (most rows of a long line): its box follows from the
  // token's.
  if (!HasPart()) {
    if (slot_ == nullptr) return ExtentRecord{};
    if (neighbours) {
      slot_->Measure(dc, 0, options, factory);
      TakePaperOff(*slot_);
      return RowBoxOfOne(slot_->extent);
    }
  }
  RowPart& part = MadePart();
  if (!part.needsLayout) return part.extent;
  ExtentRecord row;
  if (!neighbours || !MeasureInOneWalk(*this, dc, options, factory, row))
    row = MeasureInWalks(*this, dc, options, factory, neighbours);
  if (!IsEmpty()) row.margin = GetAt(GetSize() - 1)->extent.margin;
  row.raise = 0;
  row.raised = false;
  row.adjust = 0;
  part.extent = row;
  part.needsLayout = false;
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

namespace {

// Where a token's box bottom stands above its row's bottom, after the token
// `before` it: its baseline on the row's; a power starts on it, or just
// below the top of a taller bracket group before it.
int32_t BottomInRow(const QVMToken* before, const QVMToken& token, int32_t rowAlign) {
  const ExtentRecord& box = token.extent;
  if (before != nullptr && before->kind == TK_BRACKETS && token.kind == TK_POWER &&
      box.height < before->extent.height)
    return Truncate(before->extent.height - kPowerOverBrackets * box.height - before->extent.align +
                    rowAlign);
  return box.raised ? rowAlign : rowAlign - box.align;
}

}  // namespace

void TokenRow::AdjustVertical() {
  for (int i = 0; i < GetSize(); ++i) AdjustVerticalAt(i);
}

// A token's adjust reads only boxes, never another adjust: each token and
// its subtree can be adjusted alone.
void TokenRow::AdjustVerticalAt(int index) {
  QVMToken* token = GetAt(index);
  token->row1.AdjustVertical();
  token->row2.AdjustVertical();
  token->extent.adjust = BottomInRow(index > 0 ? GetAt(index - 1) : nullptr, *token, Extent().align);
}

InkReach ReachOf(const QVMToken& t) {
  return t.Ink().reach.known ? t.Ink().reach : ReachFromTo(0, t.extent.height);
}

InkReach RowReachAt(const TokenRow& row, int32_t y) {
  InkReach reach = NoInk().reach;
  reach.Add(row.Reach(), y);
  return reach;
}

InkReach TokenRow::Reach() const {
  InkReach reach = NoInk().reach;
  const QVMToken* before = nullptr;
  for (const QVMToken* token : *this) {
    reach.Add(ReachOf(*token), BottomInRow(before, *token, Extent().align));
    before = token;
  }
  return reach;
}

// The root row's box with room of a margin on either side.
ExtentRecord EquationLine::Measure(CDC& dc, const QVMOptions& options) {
  if (!remeasure_ && !root_.NeedsLayout()) return extent;
  const auto describing = factory_.DescribingScope();
  ExtentRecord row = root_.Measure(dc, options, factory_);
  extent = row;
  extent.width += 2 * row.margin;
  remeasure_ = false;
  return extent;
}
