// Layout and drawing of brackets, bars and integral signs stretched from
// Symbol-font pieces, of bracket groups (with limits and bars) and of
// matrices; each measure beside its draw.
#include <algorithm>

#include "engine/Layout.h"

namespace {

// A stretched bracket is this much wider than its bottom piece, whose ink
// is centred in that room (a quarter of its width in when the font gives
// no ink width).
constexpr double kStretchWidth = 1.5;
constexpr double kPieceIndent = 0.25;
// Each piece is this part of the bracket's height over the piece count.
constexpr double kPieceSize = 0.75;
// Limits beside an evaluation bracket: room and overlap.
constexpr double kLimitsSpread = 1.2;
constexpr double kUpperLimitDrop = 0.7;
// The ink of a tall bracket stands this many pixels inside its group's box,
// and at least this many further from the contents' box, top and bottom.
constexpr int32_t kBracketInset = 1;
constexpr int32_t kBracketClearance = 2;
// A bracket's pieces are sized for a height this many pen widths short of
// its group's.
constexpr double kBracketPenTrim = 1.5;

bool IsLineBracket(const CString& text) { return text == "[|" || text == "|]"; }

// Bars written as part of "|[" and "]|" are a plain bar when short.
CString ShortBracketText(const CString& text) {
  return text == "]|" || text == "|[" ? CString("|") : text;
}

// The Symbol font of the stretched pieces, selected for a scope; with
// `later`, only when a text is not remembered (the scope asks nothing else
// of the context).
class SymbolPieceFont {
 public:
  SymbolPieceFont(CDC& dc, int32_t size, COLORREF color, bool later = false) : dc_(dc) {
    font_.Description.SetFaceName("Symbol");
    font_.Description.Size = std::max(size, 1);
    font_.Description.Color = color;
    font_.Scale = 1.0;
    TextMemory::PieceFont& named = Named();
    const bool taken = SelectSizedFont(dc_, font_, named.key, later, &named.link);
    inUse_.emplace(named.key, nullptr, named.link);
    inUse_->Hold(font_.Selected(), color, !taken);
  }
  ~SymbolPieceFont() {
    inUse_.reset();
    font_.Deselect(dc_);
  }
  SymbolPieceFont(const SymbolPieceFont&) = delete;
  SymbolPieceFont& operator=(const SymbolPieceFont&) = delete;

 private:
  // The font's name and link: the memory in use's, else made for the scope.
  TextMemory::PieceFont& Named() {
    TextMemory* memory = MemoryScope::Current();
    const int32_t size = font_.Description.Size;
    if (memory == nullptr) {
      own_ = {size, FontKey(font_.Description, font_.Scale), {}};
      return own_;
    }
    if (TextMemory::PieceFont* known = memory->FindPieceFont(size)) return *known;
    return memory->KeepPieceFont(size, FontKey(font_.Description, font_.Scale));
  }

  CDC& dc_;
  QVFont font_;
  std::optional<FontInUse> inUse_;
  TextMemory::PieceFont own_{};
};

int32_t PieceFontSize(int32_t height, int32_t steps) {
  return Truncate(height / (kPieceSize * (steps + 1)));
}

// The left and right bracket strings of a group ("#" is no bracket).
void SplitBracketText(const CString& text, CString& left, CString& right) {
  const int comma = text.Find(',');
  left = comma < 0 ? text : text.Left(comma);
  right = comma < 0 ? CString() : text.Mid(comma + 1);
  if (left == "#") left.Empty();
  if (right == "#") right.Empty();
}

bool HasLimits(const QVMToken& t) { return t.row2.GetSize() == 2; }

// The height the brackets of a group are stretched to: the contents, or
// the limits stacked beside them when those are taller.
int32_t LimitsHeight(const QVMToken& t) {
  if (!HasLimits(t)) return 0;
  return Truncate(kLimitsSpread * (t.row2.GetAt(0)->extent.height + t.row2.GetAt(1)->extent.height));
}

// What the brackets of a group stand beside: the contents or the limits.
int32_t InnerHeight(const QVMToken& t) { return std::max(t.row1.Extent().height, LimitsHeight(t)); }

// Where the pieces start in a stretched bracket's room: the bottom piece's
// ink (its left bearing to its right edge) centred, so that the gap to the
// contents is the same inside a left and a right bracket.
int32_t PieceIndent(CDC& dc, int code) {
  const int32_t advance = TextSize(dc, CString(static_cast<char>(code))).cx;
  const int32_t room = Truncate(kStretchWidth * advance);
  ABC abc{};
  if (!CharWidthsOf(dc, static_cast<unsigned char>(code), abc) || abc.abcB == 0)
    return Truncate(kPieceIndent * advance);
  return (room - static_cast<int32_t>(abc.abcB)) / 2 - abc.abcA;
}

// "[|" and "|]": a bracket and a bar drawn as lines (over `span` when one
// is given).
void DrawLineBracket(CDC& dc, int32_t x, int32_t y, const CString& text, int32_t t, int32_t span) {
  TEXTMETRICA tm{};
  dc.GetTextMetrics(&tm);
  const int32_t yb = span > 0 ? y : y + tm.tmDescent;
  const int32_t yt = span > 0 ? y + span : y + 2 * tm.tmDescent / 3 + t;
  const int32_t wd = tm.tmAveCharWidth;
  if (text == "[|") {
    const POINT bracket[] = {{x + wd, yb}, {x, yb}, {x, yt}, {x + wd, yt}};
    dc.Polyline(bracket, 4);
  } else {
    const POINT bracket[] = {{x, yb}, {x + wd, yb}, {x + wd, yt}, {x, yt}};
    dc.Polyline(bracket, 4);
  }
  RuleFromTo(dc, x + wd / 2, yt, x + wd / 2, yb);
}

}  // namespace

// A short bracket is one Symbol glyph at size T; a tall one is stacked from
// K + 1 pieces and measured by its bottom piece.
CSize MeasureStretchedDelimiter(CDC& dc, const CString& text, int32_t height, int32_t size) {
  if (IsShortForMeasure(height, size) && !IsLineBracket(text)) {
    SymbolPieceFont font(dc, size, 0, true);
    return CSize(TextSize(dc, ShortBracketText(text)).cx, height);
  }
  const int32_t steps = StretchSteps(height, size);
  SymbolPieceFont font(dc, PieceFontSize(height, steps), 0, !IsLineBracket(text));
  const int32_t tall = WithOvershoot(height);
  if (IsLineBracket(text)) {
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    return CSize(tm.tmAveCharWidth, tall);
  }
  const int bottom = BottomPieceForMeasure(text);
  if (bottom == 0) return CSize(0, tall);
  const int32_t width = TextSize(dc, CString(static_cast<char>(bottom))).cx;
  return CSize(Truncate(kStretchWidth * width), tall);
}

bool DrawStretchedDelimiter(CDC& dc, int32_t x, int32_t y, CString text, int32_t height,
                            int32_t size, COLORREF color, int32_t inkSpan) {
  const int32_t t = inkSpan > 0 ? height : WithoutOvershoot(height);
  if (inkSpan <= 0 && IsShortForDraw(height, size) && !IsLineBracket(text)) return false;
  DelimiterPieces pieces{};
  if (!PiecesOf(text, pieces)) return true;  // an invisible bracket
  const int32_t steps = StretchSteps(t, size);
  const int32_t pieceSize = PieceFontSize(t, steps);
  SymbolPieceFont font(dc, pieceSize, color);
  if (IsLineBracket(text)) {
    DrawLineBracket(dc, x, y, text, t, inkSpan);
    return true;
  }
  // The stack fills the height it was given from the bottom piece's cell
  // to the top piece's, and no ink reaches past it; given an ink span, the
  // cells reach past that so far that the pieces' ink fills it.
  TEXTMETRICA tm{};
  dc.GetTextMetrics(&tm);
  const std::vector<int> codes = StackedPieceCodes(pieces, steps);
  const int32_t cell = std::max<int32_t>(tm.tmHeight, pieceSize);
  int32_t bottom = y, top = y + (inkSpan > 0 ? inkSpan : height);
  if (inkSpan > 0) {
    bottom -= tm.tmDescent + GlyphInkOf(dc, static_cast<unsigned char>(codes.front())).bottom;
    top += tm.tmAscent - GlyphInkOf(dc, static_cast<unsigned char>(codes.back())).top;
  }
  const int32_t step = std::max<int32_t>(top - bottom - cell, 0) / steps;
  const int32_t xs = x + PieceIndent(dc, pieces.bottom);
  for (size_t k = 0; k < codes.size(); ++k)
    TextAt(dc, xs, bottom + static_cast<int32_t>(k) * step, CString(static_cast<char>(codes[k])));
  return true;
}

InkReach StretchedReach(CDC& dc, const CString& text, int32_t height, int32_t size) {
  DelimiterPieces pieces{};
  const int32_t t = WithoutOvershoot(height);
  const int32_t steps = StretchSteps(t, size);
  if (!PiecesOf(text, pieces) || IsLineBracket(text) || steps <= 0) return ReachFromTo(0, height);
  const int32_t pieceSize = PieceFontSize(t, steps);
  SymbolPieceFont font(dc, pieceSize, 0, true);
  TEXTMETRICA tm{};
  CurrentFontMetrics(dc, tm);
  const std::vector<int> codes = StackedPieceCodes(pieces, steps);
  const int32_t cell = std::max<int32_t>(tm.tmHeight, pieceSize);
  const int32_t step = std::max<int32_t>(height - cell, 0) / steps;
  const GlyphInk first = GlyphInkOf(dc, static_cast<unsigned char>(codes.front()));
  const GlyphInk last = GlyphInkOf(dc, static_cast<unsigned char>(codes.back()));
  if (first.a == kNoInkRoom || last.a == kNoInkRoom) return ReachFromTo(0, height);
  const int32_t lastBaseline = static_cast<int32_t>(codes.size() - 1) * step + tm.tmDescent;
  return ReachFromTo(tm.tmDescent + first.bottom, lastBaseline + last.top);
}

InkSides DelimiterInk(CDC& dc, const CString& text, int32_t height, int32_t size, int32_t width,
                      bool stretched) {
  InkSides ink{ShapeSide(0), ShapeSide(0)};
  DelimiterPieces pieces{};
  if (text.IsEmpty() || !PiecesOf(text, pieces)) return NoInk();
  if (IsLineBracket(text)) return ink;  // lines from edge to edge
  if (!stretched && IsShortForDraw(height, size)) {
    // Drawn as a glyph of the selected font, row by row as text is.
    const CString shown = ShortBracketText(text);
    const GlyphInk glyph = GlyphInkOf(dc, static_cast<unsigned char>(shown.GetAt(0)));
    if (glyph.a == kNoInkRoom) return InkSides{};
    ink.left.room = glyph.a;
    ink.left.profile = glyph.left;
    ink.right.room = glyph.c;
    ink.right.profile = glyph.right;
    ink.right.Widen(width - TextSize(dc, shown).cx);
    return ink;
  }
  const int32_t t = stretched ? height : WithoutOvershoot(height);
  SymbolPieceFont font(dc, PieceFontSize(t, StretchSteps(t, size)), 0, true);
  const CString bottom(static_cast<char>(pieces.bottom));
  const GlyphInk glyph = GlyphInkOf(dc, static_cast<unsigned char>(pieces.bottom));
  const int32_t indent = PieceIndent(dc, pieces.bottom);
  ink.left = ShapeSide(indent + glyph.a);
  ink.right = ShapeSide(width - indent - TextSize(dc, bottom).cx + glyph.c);
  return ink;
}

// ----------------------------------------------------------- bracket groups

namespace {

// A group written "," (or "#,#") draws no bracket.
bool DrawsBrackets(const QVMToken& t) {
  CString left, right;
  SplitBracketText(t.text, left, right);
  return !left.IsEmpty() || !right.IsEmpty();
}

// How far the contents stand above the group's bottom: a group with tall
// brackets is taller than what it holds by their overshoot, or by enough
// that their ink clears the contents' box, and holds it in the middle.
int32_t ContentsLift(const QVMToken& t, int32_t groupHeight) {
  if (!DrawsBrackets(t)) return 0;
  return (groupHeight - InnerHeight(t)) / 2;
}

int32_t TallGroupHeight(CDC& dc, int32_t inner, int32_t measured) {
  if (measured <= inner) return measured;  // short brackets: glyphs of their own height
  return std::max(measured, inner + 2 * (kBracketInset + kBracketClearance) * OnePixel(dc));
}

// A group taller than what it holds has stretched brackets.
bool HasTallBrackets(const QVMToken& t, int32_t groupHeight) {
  return groupHeight > InnerHeight(t);
}

// The height a group's brackets are sized for: a stretched one's pieces as
// measured for what it holds; a short one's test a little short of that.
int32_t BracketHeight(const QVMToken& t, const QVMOptions& options, int32_t groupHeight) {
  if (HasTallBrackets(t, groupHeight)) return InnerHeight(t);
  return InnerHeight(t) - Truncate(kBracketPenTrim * PenWidthOf(options));
}

// The ink of a group's brackets, sized and placed as the draw does.
struct BracketInks {
  InkSides left, right;
};
// A short bracket is a glyph standing on the group's bottom, its baseline a
// descent up; the group's baseline stands `align` up.
BracketInks InksOfBrackets(const QVMToken& t, CDC& dc, const QVMOptions& options,
                           const CString& left, const CString& right, int32_t height,
                           int32_t align) {
  const int32_t size = StretchFontSize(t, options);
  const int32_t inner = InnerHeight(t), sized = BracketHeight(t, options, height);
  const bool tall = HasTallBrackets(t, height);
  auto ink = [&](const CString& text) {
    const int32_t width = MeasureStretchedDelimiter(dc, text, inner, size).cx;
    return DelimiterInk(dc, text, sized, size, width, tall);
  };
  BracketInks inks{ink(left), ink(right)};
  const int rise = PixelRows(dc, MetricsOf(t).d - align);
  for (InkSides* bracket : {&inks.left, &inks.right}) {
    bracket->left.Rise(rise);
    bracket->right.Rise(rise);
  }
  return inks;
}

// The paper a group puts between its brackets and what they hold (an
// italic tail meets a bracket's curl), and between the right bracket and
// limits beside it, so that their inks stay a pixel apart.
struct GroupPaper {
  int32_t left = 0, right = 0, limits = 0;
};
GroupPaper PaperInGroup(const QVMToken& t, CDC& dc, const QVMOptions& options, const CString& left,
                        const CString& right, const ExtentRecord& box) {
  const BracketInks brackets = InksOfBrackets(t, dc, options, left, right, box.height, box.align);
  const InkSides contents = t.row1.Ink();
  const int32_t pixel = OnePixel(dc);
  GroupPaper paper;
  paper.left = PaperBetween(brackets.left.right, 0, contents.left, pixel);
  paper.right = PaperBetween(contents.right, 0, brackets.right.left, pixel);
  if (HasLimits(t))
    for (const QVMToken* limit : t.row2)
      paper.limits =
          std::max(paper.limits, PaperBetween(brackets.right.right, 0, limit->Ink().left, pixel));
  return paper;
}

// A bracket's ink, or the contents' where there is no bracket on that side.
InkSides GroupInk(const QVMToken& t, CDC& dc, const QVMOptions& options, const CString& left,
                  const CString& right, const ExtentRecord& box) {
  const BracketInks brackets = InksOfBrackets(t, dc, options, left, right, box.height, box.align);
  const InkSides contents = t.row1.Ink();
  InkSides ink;
  ink.left = left.IsEmpty() ? contents.left : brackets.left.left;
  ink.right = HasLimits(t) ? InkSide{} : right.IsEmpty() ? contents.right : brackets.right.right;
  return ink;
}

// How far a group's ink reaches: what it holds where the draw puts it, its
// brackets (glyphs on the group's bottom, or pieces filling the box but a
// pixel at either end) and the bar over it; the box where limits stand.
InkReach GroupReach(const QVMToken& t, CDC& dc, const QVMOptions& options, const CString& left,
                    const CString& right, const ExtentRecord& box) {
  if (HasLimits(t)) return ReachFromTo(0, box.height);
  InkReach reach = RowReachAt(t.row1, ContentsLift(t, box.height));
  const int32_t inset = kBracketInset * OnePixel(dc);
  const bool shortGlyphs =
      IsShortForDraw(BracketHeight(t, options, box.height), StretchFontSize(t, options));
  for (const CString& text : {left, right}) {
    if (text.IsEmpty()) continue;
    if (HasTallBrackets(t, box.height)) reach.Add(ReachFromTo(inset, box.height - inset));
    else if (shortGlyphs) reach.Add(TextReach(dc, ShortBracketText(text), MetricsOf(t).d));
    else reach.Add(ReachFromTo(0, box.height));
  }
  if (t.mark == kMarkUnderscore) reach.top = std::max(reach.top, box.height);
  return reach;
}

}  // namespace

// Contents, then limits beside them, then both brackets at the height.
ExtentRecord MeasureBrackets(QVMToken& t, const MeasureArgs& a) {
  const ExtentRecord contents = MeasureRow(t.row1, a);
  ExtentRecord r = MakeBox(contents.width, contents.height, contents.align);
  if (t.text.IsEmpty()) {
    t.Ink() = t.row1.Ink();
    t.Ink().reach = RowReachAt(t.row1, 0);
    return r;
  }
  CString left, right;
  SplitBracketText(t.text, left, right);
  if (HasLimits(t)) {
    const ExtentRecord upper = t.row2.GetAt(0)->Measure(a.dc, a.x, a.options, a.factory);
    const ExtentRecord lower = t.row2.GetAt(1)->Measure(a.dc, a.x, a.options, a.factory);
    const int32_t extra = LimitsHeight(t) - contents.height;
    if (extra >= 1) {
      r.height = contents.height + extra;
      r.align = contents.align + extra / 2;
      r.raise = extra / 2;
    }
    r.width = Truncate(kLimitsSpread * std::max(upper.width, lower.width)) + contents.width;
  }
  const int32_t size = StretchFontSize(t, a.options);
  // The draw stretches the brackets to this same inner height.
  const CSize l = MeasureStretchedDelimiter(a.dc, left, r.height, size);
  const CSize rb = MeasureStretchedDelimiter(a.dc, right, r.height, size);
  const int32_t inner = r.height;
  r.width += l.cx + rb.cx;
  r.height = rb.cy;
  if (!left.IsEmpty() || !right.IsEmpty()) {
    r.height = TallGroupHeight(a.dc, inner, rb.cy);
    r.align += (r.height - inner) / 2;
  }
  const GroupPaper paper = PaperInGroup(t, a.dc, a.options, left, right, r);
  r.width += paper.left + paper.right + paper.limits;
  t.Ink() = GroupInk(t, a.dc, a.options, left, right, r);
  t.Ink().reach = GroupReach(t, a.dc, a.options, left, right, r);
  return r;
}

namespace {

// Draws one bracket of a group at x; its width from the measure.
int32_t DrawGroupBracket(QVMToken& t, const DrawArgs& a, int32_t x, const CString& text) {
  const int32_t size = StretchFontSize(t, a.options);
  const int32_t height = t.extent.height;
  // A tall bracket's ink fills the box but a pixel at either end, so that
  // it reaches past the contents' box and a picture cut at the box keeps it.
  const int32_t inner = InnerHeight(t);
  const int32_t inset = height > inner ? kBracketInset * OnePixel(a.dc) : 0;
  const int32_t span = height > inner ? height - 2 * inset : 0;
  if (!DrawStretchedDelimiter(a.dc, x, a.y + inset, text, BracketHeight(t, a.options, height), size,
                              a.options.Font.Value.Color, span))
    TextAt(a.dc, x, a.y, ShortBracketText(text));
  // The width the measure gave it, from the height inside the brackets.
  return MeasureStretchedDelimiter(a.dc, text, inner, size).cx;
}

// Puts MatrixAlign back when a piecewise group is done.
class MatrixAlignOverride {
 public:
  MatrixAlignOverride(QVMOptions& options, bool active) : options_(options), active_(active) {
    saved_ = options_.MatrixAlign.Value;
    if (active_) options_.MatrixAlign.Value = 0;
  }
  ~MatrixAlignOverride() {
    if (active_) options_.MatrixAlign.Value = saved_;
  }
  MatrixAlignOverride(const MatrixAlignOverride&) = delete;
  MatrixAlignOverride& operator=(const MatrixAlignOverride&) = delete;

 private:
  QVMOptions& options_;
  bool active_;
  int32_t saved_ = 0;
};

}  // namespace

// A piecewise definition ("{,#") lines its columns up on the left.
void DrawBrackets(QVMToken& t, const DrawArgs& a) {
  if (t.text.IsEmpty() && t.mark != kMarkUnderscore) {
    DrawRow(t.row1, a, a.x, a.y);
    return;
  }
  MatrixAlignOverride piecewise(a.options, t.text == "{,#");
  CString left, right;
  SplitBracketText(t.text, left, right);
  const GroupPaper paper = PaperInGroup(t, a.dc, a.options, left, right, t.extent);
  const int32_t lw = DrawGroupBracket(t, a, a.x, left) + paper.left;
  const bool limits = HasLimits(t);
  const int32_t w1 = t.row1.Extent().width + paper.right;
  const int32_t lift = ContentsLift(t, t.extent.height) + (limits ? t.extent.raise : 0);
  DrawRow(t.row1, a, a.x + lw, a.y + lift);
  const int32_t rw = DrawGroupBracket(t, a, a.x + lw + w1, right);
  const int32_t end = a.x + lw + w1 + rw;
  if (limits) {
    QVMToken* upper = t.row2.GetAt(0);
    QVMToken* lower = t.row2.GetAt(1);
    const int32_t upperY = Truncate(a.y + t.extent.height - kUpperLimitDrop * upper->extent.height);
    const int32_t at = end + paper.limits;
    upper->Draw(a.dc, at, upperY, false, a.options, a.factory);
    lower->Draw(a.dc, at, a.y + lower->extent.align, false, a.options, a.factory);
  }
  if (t.mark == kMarkUnderscore) RuleFromTo(a.dc, a.x, a.y + t.extent.height, end, a.y + t.extent.height);
}

// ------------------------------------------------------------------ matrices

namespace {

bool IsMatrixSpace(const QVMToken& token) {
  return token.kind == TK_SPACE || token.kind == TK_NOSPACE;
}

// Where a cell stands in its column by the alignment.
int32_t CellIndent(int32_t columnWidth, int32_t cellWidth, int32_t align) {
  const int32_t spare = columnWidth - cellWidth;
  return align == 0 ? 0 : align == 1 ? spare / 2 : spare;
}

// The ink of the first and the last column's cells.
InkSides MatrixInk(const QVMToken& t, const std::vector<MatrixPlace>& places, int32_t align) {
  const MatrixGrid& grid = t.Matrix();
  std::vector<InkPart> edges;
  for (size_t i = 0; i < places.size(); ++i) {
    const auto c = static_cast<size_t>(places[i].column);
    if (places[i].column < 0 || (c != 0 && c + 1 != grid.columnWidths.size())) continue;
    const QVMToken* cell = t.row1.GetAt(static_cast<int>(i));
    const int32_t indent = CellIndent(grid.columnWidths[c], cell->extent.width, align);
    const int32_t x = grid.columnOffsets[c] + indent;
    edges.push_back({x, cell->extent.width, cell->Ink()});
  }
  return CombineInk(edges, grid.width);
}

}  // namespace

// Cells of a row share a baseline at the row's depth; the matrix is
// centred on the line's baseline.
ExtentRecord MeasureMatrix(QVMToken& t, const MeasureArgs& a) {
  t.row1.MeasureCells(a.dc, a.options, a.factory);
  std::vector<MatrixItem> items;
  items.reserve(static_cast<size_t>(t.row1.GetSize()));
  for (QVMToken* token : t.row1) {
    const ExtentRecord box = token->Measure(a.dc, a.x, a.options, a.factory);
    items.push_back({IsMatrixSpace(*token), box.width, box.height, box.align});
  }
  t.Matrix() = ComputeMatrixGrid(items, a.options.MatrixHorizontalSpacing.Clamped(),
                               a.options.MatrixVerticalSpacing.Clamped());
  const std::vector<MatrixPlace> places = PlaceMatrixItems(items);
  for (size_t i = 0; i < places.size(); ++i) {
    if (places[i].column < 0) continue;
    t.row1.GetAt(static_cast<int>(i))->extent.align +=
        t.Matrix().depth - t.Matrix().rowDepths[static_cast<size_t>(places[i].row)];
  }
  // The vertical adjustment measures cells from this common depth.
  t.row1.MadeExtent().align = t.Matrix().depth;
  t.Ink() = MatrixInk(t, places, a.options.MatrixAlign.Clamped());
  return MakeBox(t.Matrix().width, t.Matrix().height, t.Matrix().height / 2);
}

void DrawMatrix(QVMToken& t, const DrawArgs& a) {
  std::vector<MatrixItem> items;
  for (QVMToken* token : t.row1) items.push_back({IsMatrixSpace(*token), 0, 0, 0});
  const std::vector<MatrixPlace> places = PlaceMatrixItems(items);
  const MatrixGrid& grid = t.Matrix();
  const int32_t align = a.options.MatrixAlign.Clamped();
  for (size_t i = 0; i < places.size(); ++i) {
    const MatrixPlace& p = places[i];
    const auto c = static_cast<size_t>(p.column), r = static_cast<size_t>(p.row);
    // The grid comes from the last measure; a cell it does not know is skipped.
    if (p.column < 0 || c >= grid.columnWidths.size() || r >= grid.rowOffsets.size()) continue;
    QVMToken* cell = t.row1.GetAt(static_cast<int>(i));
    const int32_t o = CellIndent(grid.columnWidths[c], cell->extent.width, align);
    cell->Draw(a.dc, a.x + grid.columnOffsets[c] + o, a.y + grid.rowOffsets[r], false, a.options,
               a.factory);
  }
}
