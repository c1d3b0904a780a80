// Tokens, rows and the token factory.
#include "engine/Token.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <memory>
#include <type_traits>

#include "engine/OptionAccess.h"
#include "engine/ParseRows.h"

namespace {

// clang-format off
const char* const kKindNames[kTokenKindCount] = {
  "TK_ERROR",        "TK_NUMBER",       "TK_POWER",        "TK_FUNCTION",
  "TK_ARCSINCOSTAN", "TK_SQRT",         "TK_ROOT",         "TK_ROOTBASE",
  "TK_CODEDRAW2",    "TK_SEPARATOR",    "TK_UNIT",         "TK_SYMBOL",
  "TK_SPACEDSYMBOL", "TK_GREEK",        "TK_MODIFIER",     "TK_ADD",
  "TK_SUBTRACT",     "TK_DIVIDE",       "TK_MULTIPLY",     "TK_RAW",
  "TK_QUOTED",       "TK_SPACE",        "TK_NOSPACE",      "TK_OPEN",
  "TK_CLOSE",        "TK_OPENLOGICAL",  "TK_CLOSELOGICAL", "TK_VARIABLE",
  "TK_SUBSCRIPT",    "TK_ABVECTOR",     "TK_EQUAL",        "TK_LCVECTOR",
  "TK_BRACKETS",     "TK_FRACTION",     "TK_COLUMN",       "TK_PARAMETER",
  "TK_IVRIGHT",      "TK_IVLEFT",       "TK_IVBOTH",       "TK_GREATER",
  "TK_LESS",         "TK_DEGREE",       "TK_TAB",          "TK_MATRIX",
  "TK_ABS",          "TK_ARC",          "TK_LONGDIV",      "TK_PERMUTATION",
  "TK_COMBINATION",  "TK_WHOLENUMBER",  "TK_WDSYMBOL",     "TK_DELTA",
  "TK_SMALLFRACTION", "TK_UNBOLDSYMBOL",
};
// clang-format on

// A script level grows at most 1.5 a row (and a step more for the row a
// construct's layout adds): the deepest tree's fit in a ScriptLevel.
static_assert((kMaxTreeDepth + 1) * 1.5 * 4 <= INT16_MAX);

// Row 1 and row 2 script levels of a token at level L.
double ChildScriptLevel(const QVMToken& token, double level, bool secondRow,
                        const QVMOptions& options) {
  switch (token.kind) {
    case TK_POWER:
      return level + 1.0;
    case TK_SUBSCRIPT:
      return level + 1.5;
    case TK_ROOT:
    case TK_BRACKETS:
      return secondRow ? level + 1.0 : level;
    case TK_PERMUTATION:
    case TK_COMBINATION:
      return PermCombStyleOf(options) == 0 ? level + 1.5 : level + 1.0;
    case TK_CODEDRAW2:
      if (secondRow) return level + 1.0;
      if (token.text == "@") return level + 1.25;
      if (token.text == "box") return level + 1.0;
      return level;
    default:
      return level;
  }
}

}  // namespace

const char* TokenKindName(TokenKind kind) {
  if (kind < 0 || kind >= kTokenKindCount) return "TK_CONFUSED";
  return kKindNames[kind];
}

// ---------------------------------------------------------------- TokenRow

const TokenRow::RowPart TokenRow::kEmptyPart;

TokenRow::RowPart& TokenRow::MakePart() {
  auto part = std::make_unique<RowPart>();
  if (slot_ != nullptr) {
    part->tokens.Add(slot_);
    // The box and state of a row of one measured without a part.
    part->extent = RowBoxOfOne(slot_->extent);
    part->needsLayout = slot_->needsLayout;
  }
  slot_ = reinterpret_cast<QVMToken*>(reinterpret_cast<uintptr_t>(part.get()) | kPartBit);
  return *part.release();
}

const ExtentRecord& TokenRow::LoneExtent() const { return slot_->extent; }
bool TokenRow::LoneNeedsLayout() const { return slot_->needsLayout; }

int TokenRow::Append(QVMToken* token) {
  if (slot_ == nullptr) {
    slot_ = token;
    return 0;
  }
  return Tokens().Add(token);
}

// A laid-out row of one keeps its box while its token is replaced or
// taken out, as a row with a part does, until it is measured again.
void TokenRow::KeepLoneBox() {
  if (!HasPart() && slot_ != nullptr && !slot_->needsLayout) MakePart();
}

void TokenRow::SetAt(int index, QVMToken* token) {
  KeepLoneBox();
  if (HasPart()) {
    PartIfMade()->tokens.SetAt(index, token);
    return;
  }
  assert(index == 0 && slot_ != nullptr);
  slot_ = token;
}

void TokenRow::InsertAt(int index, QVMToken* token) {
  if (slot_ == nullptr) Append(token);
  else Tokens().InsertAt(index, token);
}

void TokenRow::Assign(const std::vector<QVMToken*>& tokens) {
  if (tokens.size() > 1 || (HasPart() && !PartIsSpare())) {
    Tokens().Assign(tokens);
    return;
  }
  delete PartIfMade();
  slot_ = tokens.empty() ? nullptr : tokens.front();
}

// A part never measured nor keeping bracket pairs says no more than its
// tokens do.
bool TokenRow::PartIsSpare() const {
  const RowPart& part = *PartIfMade();
  return part.needsLayout && part.extent == ExtentRecord{} && !part.tokens.KeepsBrackets();
}

void TokenRow::RemoveAt(int index, int count) {
  KeepLoneBox();
  if (HasPart()) PartIfMade()->tokens.RemoveAt(index, count);
  else if (index == 0 && count > 0) slot_ = nullptr;
}

void TokenRow::RemoveAll() {
  KeepLoneBox();
  if (HasPart()) PartIfMade()->tokens.RemoveAll();
  else slot_ = nullptr;
}

// Appends a new operator token; only the three arithmetic kinds have text.
int TokenRow::AppendOperator(TokenKind kind, QVMTokenFactory& factory) {
  QVMToken* token = factory.NewToken(kind);
  switch (kind) {
    case TK_POWER: token->SetText("^"); break;
    case TK_ADD: token->SetText("+"); break;
    case TK_SUBTRACT: token->SetText("-"); break;
    default: break;
  }
  token->needsLayout = true;
  return Append(token);
}

CString TokenRow::TextAt(int index) const {
  if (index < 0 || index >= GetSize()) return CString();
  return GetAt(index)->text;
}

// Bracket matching counts kinds, never bracket characters. While a pass
// keeps the row's pairs (BracketPairs), the row's tokens answer.
int TokenRow::FindMatchingClose(int index) const {
  if (index < 0 || index >= GetSize()) return -1;
  if (KindAt(index) != TK_OPEN) return index;
  if (HasPart() && PartIfMade()->tokens.KeepsBrackets()) return PartIfMade()->tokens.MatchingClose(index);
  int depth = 1;
  for (int i = index + 1; i < GetSize(); ++i) {
    const TokenKind kind = KindAt(i);
    if (kind == TK_OPEN) ++depth;
    else if (kind == TK_CLOSE && --depth == 0) return i;
  }
  return -1;
}

int TokenRow::FindMatchingOpen(int index) const {
  if (index < 0 || index >= GetSize() || KindAt(index) != TK_CLOSE) return -1;
  if (HasPart() && PartIfMade()->tokens.KeepsBrackets()) return PartIfMade()->tokens.MatchingOpen(index);
  int depth = 1;
  for (int i = index - 1; i >= 0; --i) {
    const TokenKind kind = KindAt(i);
    if (kind == TK_CLOSE) ++depth;
    else if (kind == TK_OPEN && --depth == 0) return i;
  }
  return -1;
}

// Entries of a column chain: 2, plus one per nested column in row 2.
int TokenRow::ColumnDepth(const QVMToken* token) {
  if (token == nullptr || token->kind != TK_COLUMN) return 0;
  int depth = 2;
  const QVMToken* next = token->row2.IsEmpty() ? nullptr : token->row2.GetAt(0);
  while (next != nullptr && next->kind == TK_COLUMN) {
    ++depth;
    next = next->row2.IsEmpty() ? nullptr : next->row2.GetAt(0);
  }
  return depth;
}

// Entry n of a column chain; past the end the last entry answers.
QVMToken* TokenRow::ColumnEntry(const QVMToken* token, int n) {
  if (token == nullptr || token->kind != TK_COLUMN) return nullptr;
  const QVMToken* column = token;
  for (int i = 0;; ++i) {
    if (i >= n) return column->row1.IsEmpty() ? nullptr : column->row1.GetAt(0);
    QVMToken* next = column->row2.IsEmpty() ? nullptr : column->row2.GetAt(0);
    if (next == nullptr || next->kind != TK_COLUMN) return next;
    column = next;
  }
}

bool TokenRow::IsAllNumeric() const {
  for (const QVMToken* token : *this) {
    if (token->kind != TK_NUMBER && token->kind != TK_BRACKETS) return false;
    if (!token->row1.IsAllNumeric() || !token->row2.IsAllNumeric()) return false;
  }
  return true;
}

// With from = 0 every token of this row (not its children) is retyped.
void TokenRow::ReplaceKind(TokenKind from, TokenKind to) {
  for (QVMToken* token : *this) {
    if (from == TK_ERROR) {
      token->kind = to;
      token->needsLayout = true;
      continue;
    }
    if (token->kind == from) {
      token->kind = to;
      token->needsLayout = true;
    }
    token->row1.ReplaceKind(from, to);
    token->row2.ReplaceKind(from, to);
  }
}

void TokenRow::MarkDirty() {
  SetNeedsLayout(true);
  for (QVMToken* token : *this) {
    token->needsLayout = true;
    token->row1.MarkDirty();
    token->row2.MarkDirty();
  }
}

// Only the rows of a small fraction go one level deeper.
void TokenRow::SetNestingLevel(int level, const QVMOptions& options) {
  for (QVMToken* token : *this) {
    token->nestingLevel = static_cast<int16_t>(level);
    const int inner = token->kind == TK_SMALLFRACTION ? level + 1 : level;
    token->row1.SetNestingLevel(inner, options);
    token->row2.SetNestingLevel(inner, options);
  }
}

void TokenRow::SetScriptLevel(double level, const QVMOptions& options) {
  for (QVMToken* token : *this) token->SetScriptLevel(level, options);
}

// An empty row only needs its mark: most tokens are leaves.
void TokenRow::PrepareLayout(int nestingLevel, double scriptLevel, const QVMOptions& options) {
  SetNeedsLayout(true);
  for (QVMToken* token : *this) {
    token->nestingLevel = static_cast<int16_t>(nestingLevel);
    token->scriptLevel = scriptLevel;
    token->needsLayout = true;
    const int inner = token->kind == TK_SMALLFRACTION ? nestingLevel + 1 : nestingLevel;
    if (token->row1.IsEmpty()) token->row1.SetNeedsLayout(true);
    else token->row1.PrepareLayout(inner, ChildScriptLevel(*token, scriptLevel, false, options), options);
    if (token->row2.IsEmpty()) token->row2.SetNeedsLayout(true);
    else token->row2.PrepareLayout(inner, ChildScriptLevel(*token, scriptLevel, true, options), options);
  }
}

// Cuts the raw token at index into before, piece (start..end) and after.
void TokenRow::SplitRawToken(int index, int start, int end, TokenKind kind,
                             QVMTokenFactory& factory, const CString& text,
                             const CString& secondText) {
  assert(index >= 0 && index < GetSize());
  QVMToken* token = GetAt(index);
  const CString old = token->text;
  assert(start >= 0 && start <= end && end < old.GetLength());
  QVMToken* before = factory.NewToken(token->kind);
  before->Set(token->kind, old.Left(start), kMarkNone, CString());
  QVMToken* after = factory.NewToken(token->kind);
  after->Set(token->kind, old.Mid(end + 1), kMarkNone, CString());
  SetPiece(*token, kind, old.Mid(start, end - start + 1), text, secondText);
  InsertAt(index, before);
  InsertAt(index + 2, after);
}

void TokenRow::SetPiece(QVMToken& token, TokenKind kind, const CString& typed,
                        const CString& text, const CString& secondText) {
  if (!text.IsEmpty())
    token.Set(kind, text, kMarkNone, secondText);
  else
    token.Set(kind, typed, kMarkNone, CString());
}

// ---------------------------------------------------------------- QVMToken

QVMToken::QVMToken() = default;
QVMToken::~QVMToken() { delete Rare(); }

void QVMToken::Set(TokenKind newKind, const CString& newText, int32_t newMark,
                   const CString& newSecondText) {
  kind = newKind;
  text = newText;
  mark = static_cast<int8_t>(newMark);
  SetSecondText(newSecondText);
  needsLayout = true;
}

namespace {
const CString kNoText;
const MatrixGrid kNoGrid;
}  // namespace

const CString& QVMToken::SecondText() const { return Rare() != nullptr ? Rare()->secondText : kNoText; }

void QVMToken::SetSecondText(const CString& newSecondText) {
  if (Rare() != nullptr || !newSecondText.IsEmpty()) MadeRarePart().secondText = newSecondText;
}

MatrixGrid& QVMToken::Matrix() { return MadeRarePart().matrix; }

const MatrixGrid& QVMToken::Matrix() const { return Rare() != nullptr ? Rare()->matrix : kNoGrid; }

// The rare part takes the side word over, and the paint part with it.
QVMToken::RarePart& QVMToken::MadeRarePart() {
  if (RarePart* rare = Rare()) return *rare;
  auto made = std::make_unique<RarePart>();
#ifdef _WIN32
  made->paint = Paint();
  if ((side_ & kFactoryBit) != 0) made->factory = reinterpret_cast<QVMTokenFactory*>(side_ & ~kFactoryBit);
#endif
  side_ = reinterpret_cast<uintptr_t>(made.release()) | kRareBit;
  return *Rare();
}

#ifdef _WIN32
QVMToken::PaintPart& QVMToken::MadePainting() {
  RarePart* rare = Rare();
  QVMTokenFactory& factory = rare != nullptr ? *rare->factory
                                             : *reinterpret_cast<QVMTokenFactory*>(side_ & ~kFactoryBit);
  PaintPart* paint = factory.NewPaintPart();
  factory.painted_ = true;
  if (rare != nullptr) rare->paint = paint;
  else side_ = reinterpret_cast<uintptr_t>(paint);
  return *paint;
}

namespace {
using PaintPart = QVMToken::PaintPart;
// Paint parts live where recycled tokens were: the pool destroys every
// token slot with the token destructor, so a lent slot is given a token
// back before, and what it held needs no destructor.
static_assert(std::is_trivially_destructible_v<PaintPart>);
static_assert(alignof(PaintPart) <= alignof(QVMToken));
static_assert(alignof(PaintPart) >= 4);  // the side word's low bits tell the other parts
constexpr int kPaintsPerToken = static_cast<int>(sizeof(QVMToken) / sizeof(PaintPart));
}  // namespace

QVMToken::PaintPart* QVMTokenFactory::NewPaintPart() {
  if (paintsLeftInLent_ == 0 && lentToPaints_ < recycled_.size()) {
    QVMToken* lent = recycled_[lentToPaints_++];
    std::destroy_at(lent);
    lentPaints_ = reinterpret_cast<PaintPart*>(lent);
    paintsLeftInLent_ = kPaintsPerToken;
  }
  if (paintsLeftInLent_ == 0) return paints_.New();
  --paintsLeftInLent_;
  return std::construct_at(lentPaints_ + paintsLeftInLent_);
}

void QVMTokenFactory::TakeBackLentTokens() {
  for (size_t i = 0; i < lentToPaints_; ++i) std::construct_at(recycled_[i]);
  lentToPaints_ = 0;
  lentPaints_ = nullptr;
  paintsLeftInLent_ = 0;
}

QVMToken::ShapePart& QVMToken::Shapes(QVMTokenFactory& factory) {
  ShapePart*& shapes = factory.shapesOf_[this];
  if (shapes == nullptr) shapes = factory.shapes_.New();
  return *shapes;
}

const TEXTMETRICA& QVMToken::Metrics() const {
  static const TEXTMETRICA kNoMetrics{};
  const FontLook* look = Paint() != nullptr ? Paint()->look : nullptr;
  return look != nullptr && look->metrics != nullptr ? *look->metrics : kNoMetrics;
}

// Tokens in one font mostly read the same metrics: the font's last copy is
// tried first.
void QVMToken::SetMetrics(const TEXTMETRICA& metrics, QVMTokenFactory& factory) {
  PaintPart& paint = Painting();
  const FontChoice* font = paint.look != nullptr ? paint.look->font : nullptr;
  const TEXTMETRICA* none = nullptr;
  const TEXTMETRICA*& last = font != nullptr ? font->metrics : none;
  paint.look = factory.fonts_.Look(font, factory.fonts_.Intern(metrics, last));
}

void QVMToken::SetFont(const FontChoice* font, QVMTokenFactory& factory) {
  PaintPart& paint = Painting();
  paint.look = factory.fonts_.Look(font, paint.look != nullptr ? paint.look->metrics : nullptr);
}

const FontChoice& QVMToken::Font() const {
  static const FontChoice kNoChoice{};
  const FontLook* look = Paint() != nullptr ? Paint()->look : nullptr;
  return look != nullptr && look->font != nullptr ? *look->font : kNoChoice;
}

QVFont* const* QVMTokenFactory::RealiserOf(const QVMToken* token) const {
  for (auto at = selected_.rbegin(); at != selected_.rend(); ++at)
    if (at->first == token) return &at->second;
  return nullptr;
}

HFONT QVMToken::SelectedFont(const QVMTokenFactory& factory) const {
  if (Paint() == nullptr) return nullptr;  // never selected
  QVFont* const* realiser = factory.RealiserOf(this);
  return realiser != nullptr ? (*realiser)->Selected() : nullptr;
}

QVFont& QVMToken::Realiser(QVMTokenFactory& factory) {
  if (QVFont* const* held = factory.RealiserOf(this)) return **held;
  std::vector<QVFont*>& spares = factory.spareRealisers_;
  QVFont* realiser = nullptr;
  if (spares.empty()) {
    realiser = factory.realisers_.New();
  } else {
    realiser = spares.back();
    spares.pop_back();
  }
  factory.selected_.emplace_back(this, realiser);
  return *realiser;
}

void QVMToken::ReleaseRealiser(QVMTokenFactory& factory) {
  std::vector<std::pair<const QVMToken*, QVFont*>>& selected = factory.selected_;
  for (auto at = selected.rbegin(); at != selected.rend(); ++at) {
    if (at->first != this) continue;
    factory.spareRealisers_.push_back(at->second);
    selected.erase(std::next(at).base());
    return;
  }
}

const InkSides& QVMToken::Ink() const {
  static const InkSides kUnmeasured{};
  return Paint() != nullptr ? Paint()->ink : kUnmeasured;
}
#endif

void QVMToken::SetText(const CString& newText) {
  text = newText;
  needsLayout = true;
}

// Scripts and bounds sit higher in the tree than their base.
void QVMToken::SetScriptLevel(double level, const QVMOptions& options) {
  scriptLevel = level;
  const double first = ChildScriptLevel(*this, level, false, options);
  const double second = ChildScriptLevel(*this, level, true, options);
  row1.SetScriptLevel(first, options);
  row2.SetScriptLevel(second, options);
}

// --------------------------------------------------------- QVMTokenFactory

QVMTokenFactory::QVMTokenFactory() = default;

QVMTokenFactory::~QVMTokenFactory() { DeleteAll(); }

QVMToken* QVMTokenFactory::NewToken(TokenKind kind) {
  QVMToken* token = nullptr;
  if (recycled_.size() == lentToPaints_) {
    token = tokens_.New();
  } else {
    token = recycled_.back();
    recycled_.pop_back();
    std::destroy_at(token);
    std::construct_at(token);
  }
  ++count_;
  token->kind = kind;  // otherwise as constructed: no text, mark or rows
#ifdef _WIN32
  token->side_ = reinterpret_cast<uintptr_t>(this) | QVMToken::kFactoryBit;
#endif
  return token;
}

QVMToken* QVMTokenFactory::NewSpacer(int32_t width) {
  QVMToken* spacer = nullptr;
  if (spareSpacers_.empty()) {
    spacer = NewToken(TK_DELTA);
  } else {
    spacer = spareSpacers_.back();
    spareSpacers_.pop_back();
  }
  spacer->stretch = width;
  spacer->needsLayout = true;
  return spacer;
}

void QVMTokenFactory::RecycleSpacer(QVMToken* spacer) { spareSpacers_.push_back(spacer); }

void QVMTokenFactory::DeleteAll() {
#ifdef _WIN32
  TakeBackLentTokens();
#endif
  recycled_.clear();
  spareSpacers_.clear();
  tokens_.Clear();
#ifdef _WIN32
  paints_.Clear();
  painted_ = false;
  shapesOf_.clear();
  shapes_.Clear();
  selected_.clear();
  fonts_.Clear();
  spareRealisers_.clear();
  realisers_.Clear();
#endif
  count_ = 0;
}
