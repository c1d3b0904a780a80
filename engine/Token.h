// The token model of the equation engine: TokenKind, AttachMark, TokenRow
// (a row of non-owning token pointers with the tree operations every pass
// shares), QVMToken (one node of a line's tree) and QVMTokenFactory (which
// owns every token of one line).
// Choices of ours: the factory owns its tokens in blocks it frees whatever
// way a parse ends, so nothing leaks when it ends in an exception; kinds outside 0..53 stay
// representable (a kind is a plain 32-bit number) and dump as "TK_CONFUSED";
// the font, pen and brush realisers and the text metrics exist only in the
// Windows build, where tokens are measured and drawn.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/Alignment.h"
#include "engine/BracketPairs.h"
#include "engine/Extent.h"
#include "engine/LayoutRules.h"
#include "engine/TokenArray.h"
#include "framework/Collections.h"
#include "framework/Platform.h"
#include "framework/String.h"

#ifdef _WIN32
#include "engine/TextMemory.h"
#include "options/Realisers.h"
#endif

class CDC;
class QVMOptions;
class QVMToken;
class QVMTokenFactory;

// clang-format off
enum TokenKind : int32_t {
  TK_ERROR = 0,        TK_NUMBER = 1,        TK_POWER = 2,          TK_FUNCTION = 3,
  TK_ARCSINCOSTAN = 4, TK_SQRT = 5,          TK_ROOT = 6,           TK_ROOTBASE = 7,
  TK_CODEDRAW2 = 8,    TK_SEPARATOR = 9,     TK_UNIT = 10,          TK_SYMBOL = 11,
  TK_SPACEDSYMBOL = 12, TK_GREEK = 13,       TK_MODIFIER = 14,      TK_ADD = 15,
  TK_SUBTRACT = 16,    TK_DIVIDE = 17,       TK_MULTIPLY = 18,      TK_RAW = 19,
  TK_QUOTED = 20,      TK_SPACE = 21,        TK_NOSPACE = 22,       TK_OPEN = 23,
  TK_CLOSE = 24,       TK_OPENLOGICAL = 25,  TK_CLOSELOGICAL = 26,  TK_VARIABLE = 27,
  TK_SUBSCRIPT = 28,   TK_ABVECTOR = 29,     TK_EQUAL = 30,         TK_LCVECTOR = 31,
  TK_BRACKETS = 32,    TK_FRACTION = 33,     TK_COLUMN = 34,        TK_PARAMETER = 35,
  TK_IVRIGHT = 36,     TK_IVLEFT = 37,       TK_IVBOTH = 38,        TK_GREATER = 39,
  TK_LESS = 40,        TK_DEGREE = 41,       TK_TAB = 42,           TK_MATRIX = 43,
  TK_ABS = 44,         TK_ARC = 45,          TK_LONGDIV = 46,       TK_PERMUTATION = 47,
  TK_COMBINATION = 48, TK_WHOLENUMBER = 49,  TK_WDSYMBOL = 50,      TK_DELTA = 51,
  TK_SMALLFRACTION = 52, TK_UNBOLDSYMBOL = 53,
};
// clang-format on
constexpr int kTokenKindCount = 54;

// The name the dump prints for a kind; "TK_CONFUSED" outside the list.
const char* TokenKindName(TokenKind kind);

// What a token is attached to; only bracket groups carrying a bar get one.
enum AttachMark : int32_t {
  kMarkNone = 0,
  kMarkDot = 1,
  kMarkColon = 2,
  kMarkCaret = 3,
  kMarkUnderscore = 4,
};

// A horizontal run of tokens; index 0 is the leftmost. The row points to
// its tokens without owning them (the line's factory does).
// Most tokens of a line are leaves whose two rows stay empty, and most
// rows that hold anything hold one token: a row keeps its tokens and its
// layout state in a part made when it holds a second token, is edited
// through its array or is measured. An empty row is one null pointer, a
// row of one token that pointer (the tree's walks reach the token without
// a part between).
class TokenRow {
 public:
  TokenRow() = default;
  ~TokenRow() { delete PartIfMade(); }
  TokenRow(TokenRow&& other) noexcept : slot_(std::exchange(other.slot_, nullptr)) {}
  TokenRow& operator=(TokenRow&& other) noexcept {
    if (this != &other) {
      delete PartIfMade();
      slot_ = std::exchange(other.slot_, nullptr);
    }
    return *this;
  }

  // The row's box as the last measure left it (all zero before). A row of
  // one token measured without a part has its token's box as a row's.
  ExtentRecord Extent() const {
    if (HasPart() || slot_ == nullptr) return Part().extent;
    return RowBoxOfOne(LoneExtent());
  }
  // The box kept in the row's part, for a measure that changes it.
  ExtentRecord& MadeExtent() { return MadePart().extent; }
  // An empty row never measured needs layout as a new row does; a row of
  // one token without a part, as its token does.
  bool NeedsLayout() const {
    if (HasPart() || slot_ == nullptr) return Part().needsLayout;
    return LoneNeedsLayout();
  }
  void SetNeedsLayout(bool needs) {
    if (HasPart() || !needs) MadePart().needsLayout = needs;
  }
  TokenArray& Tokens() { return MadePart().tokens; }

  int GetSize() const {
    if (HasPart()) return PartIfMade()->tokens.GetSize();
    return slot_ == nullptr ? 0 : 1;
  }
  bool IsEmpty() const { return GetSize() == 0; }
  QVMToken* GetAt(int index) const {
    if (HasPart()) return PartIfMade()->tokens.GetAt(index);
    assert(index == 0 && slot_ != nullptr);
    return slot_;
  }
  void SetAt(int index, QVMToken* token);
  void InsertAt(int index, QVMToken* token);
  void RemoveAt(int index, int count = 1);
  void RemoveAll();
  QVMToken* const* begin() const {
    if (HasPart()) return PartIfMade()->tokens.begin();
    return slot_ == nullptr ? nullptr : &slot_;
  }
  QVMToken* const* end() const { return begin() + GetSize(); }

  int Append(QVMToken* token);
  // Room for `count` more tokens, for a row about to get them one by one
  // (a row of one needs no part for it).
  void Reserve(int count) {
    if (count > 0 && GetSize() + count > 1) Tokens().Reserve(static_cast<size_t>(count));
  }
  // The tokens become `tokens`, for a row rebuilt in a vector (whose
  // storage is left for the next rebuild). A row rebuilt into one token
  // or none gives back a part that holds nothing else.
  void Assign(const std::vector<QVMToken*>& tokens);
  int AppendOperator(TokenKind kind, QVMTokenFactory& factory);
  TokenKind KindAt(int index) const;
  CString TextAt(int index) const;
  int FindMatchingClose(int index) const;
  int FindMatchingOpen(int index) const;
  static int ColumnDepth(const QVMToken* token);
  static QVMToken* ColumnEntry(const QVMToken* token, int n);
  bool IsAllNumeric() const;
  void ReplaceKind(TokenKind from, TokenKind to);
  void MarkDirty();
  void SetNestingLevel(int level, const QVMOptions& options);
  void SetScriptLevel(double level, const QVMOptions& options);
  // SetNestingLevel, SetScriptLevel and MarkDirty in one walk, as a parse
  // leaves the tree for layout.
  void PrepareLayout(int nestingLevel, double scriptLevel, const QVMOptions& options);
  // Sets each token's adjust so that its baseline sits on the row's (the
  // whole tree below this row too); run after measuring, before drawing.
  void AdjustVertical();
  // The same for the token at `index` and the tree below it alone.
  void AdjustVerticalAt(int index);
#ifdef _WIN32
  // The row's box; measures only while the row is marked for layout.
  ExtentRecord Measure(CDC& dc, const QVMOptions& options, QVMTokenFactory& factory);
  // The same for a row whose tokens are not drawn side by side (a matrix's
  // cells): no paper between neighbours.
  ExtentRecord MeasureCells(CDC& dc, const QVMOptions& options, QVMTokenFactory& factory);
  // Where the ink of the row stands at its sides, from its tokens' last
  // measure (its reach is left unknown: Reach() walks every token).
  InkSides Ink() const;
  // How far the row's ink reaches above its bottom, from the same measure.
  InkReach Reach() const;
  // An accent's operand: a lone low letter counts 0.7 of its height.
  ExtentRecord MeasureOperand(CDC& dc, const QVMOptions& options, QVMTokenFactory& factory);
  // Draws the tokens left to right; (x, y) is the row's left and bottom.
  void Draw(CDC& dc, int32_t x, int32_t y, QVMOptions& options, QVMTokenFactory& factory);
#endif
  void SplitRawToken(int index, int start, int end, TokenKind kind, QVMTokenFactory& factory,
                     const CString& text, const CString& secondText);
  // Makes `token` the piece of a split: the given text and second text, or
  // the typed characters (and no second text) when the text is empty.
  static void SetPiece(QVMToken& token, TokenKind kind, const CString& typed, const CString& text,
                       const CString& secondText);

  // Parse passes that work on a row and, as each says, its child rows.
  void AttachModifiers(QVMTokenFactory& factory);
  void ExpandENotation(QVMTokenFactory& factory);
  void DetectCombinations();
  void BracketOperatorOperands(TokenKind op, QVMTokenFactory& factory);
  void MergeNegativeNumbers();
  void DetectLowerCaseVectors(const QVMOptions& options);
  void AttachArrowOperands();
  void GroupPowers(QVMTokenFactory& factory);
  void GroupSubscripts(QVMTokenFactory& factory);
  void GroupSquareRoots(QVMTokenFactory& factory);
  void GroupRoots(QVMTokenFactory& factory);
  void SplitCodeDrawnArguments(QVMTokenFactory& factory);
  void GroupPrefixConstruct(TokenKind kind, QVMTokenFactory& factory);
  void GroupInfixConstruct(TokenKind kind, QVMTokenFactory& factory);
  void GroupBinaryOperator(TokenKind op, TokenKind made, QVMTokenFactory& factory);
  void GroupBrackets(QVMTokenFactory& factory);
  // The same for this row alone, for a row whose child rows hold no
  // opening bracket (GroupBrackets leaves none anywhere).
  void GroupOwnBrackets(QVMTokenFactory& factory);
  void AttachBarModifiers();
  // Whether any bracket group was given limits.
  bool GroupColumns(bool limits, bool matrices, QVMTokenFactory& factory);
  // The same for this row's own columns alone, without limits.
  void GroupOwnMatrices(QVMTokenFactory& factory);
  void FormatMixedNumbers(bool wholeNumbers);

  // The tree dump: one line per token, indented by the path of child rows.
  void Dump(CString& out, const CString& prefix) const;
  CString DumpTree() const;

 private:
  struct RowPart {
    ExtentRecord extent;
    bool needsLayout = true;
    TokenArray tokens;
  };
#ifdef _WIN32
  ExtentRecord MeasureTokens(CDC& dc, const QVMOptions& options, QVMTokenFactory& factory,
                             bool neighbours);
#endif
  // A part is at least 4-aligned, a token too: the low bit of the slot
  // tells the part from the lone token.
  static constexpr uintptr_t kPartBit = 1;
  bool HasPart() const { return (reinterpret_cast<uintptr_t>(slot_) & kPartBit) != 0; }
  RowPart* PartIfMade() const {
    if (!HasPart()) return nullptr;
    return reinterpret_cast<RowPart*>(reinterpret_cast<uintptr_t>(slot_) & ~kPartBit);
  }
  const RowPart& Part() const { return HasPart() ? *PartIfMade() : kEmptyPart; }
  // Makes the part, holding the lone token if there is one.
  RowPart& MadePart() { return HasPart() ? *PartIfMade() : MakePart(); }
  RowPart& MakePart();
  bool PartIsSpare() const;
  const ExtentRecord& LoneExtent() const;
  void KeepLoneBox();
  bool LoneNeedsLayout() const;
  static const RowPart kEmptyPart;

  // Null for an empty row without a part, the token of a row of one
  // without a part, or the part's address with kPartBit set.
  QVMToken* slot_ = nullptr;
};

// The matrix pass groups at most this many rows and columns into a matrix;
// the layout sizes its grid by the matrix, whatever it holds.
constexpr int kMatrixTableSize = 20;

// A token's script level. Every level a tree gets is a sum of steps of 1,
// 1.25 and 1.5, one per row down a tree of bounded depth, so it is held
// exactly in quarters in 16 bits; it reads and is assigned as the double it
// stands for.
class ScriptLevel {
 public:
  ScriptLevel() = default;
  ScriptLevel& operator=(double level) {
    quarters_ = static_cast<int16_t>(level * 4.0);
    assert(quarters_ * 0.25 == level);
    return *this;
  }
  operator double() const { return quarters_ * 0.25; }

 private:
  int16_t quarters_ = 0;
};

// One node of a line's token tree. The token owns its two child arrays and
// its realisers, never the tokens its rows point to.
// A line holds a token for every character or so, and the parse walks
// them again and again: the common members stay small, and what only some
// tokens use (a second text, a matrix's grid) lives in a part made on
// demand.
class QVMToken {
 public:
  // What the parse reads, first. A long line makes well over a million
  // tokens: the small members share one word with the kind's neighbour.
  TokenKind kind = TK_ERROR;
  int8_t mark = kMarkNone;  // an AttachMark
  bool needsLayout = true;
  int16_t nestingLevel = 0;  // bounded by the tree's depth
  TokenRow row1;             // main operand
  TokenRow row2;             // second operand
  CString text;
  ExtentRecord extent;
  int32_t stretch = 0;     // bar height, integral height, spacer width
  int32_t offsetX = 0;     // position in its row, set by relation finding as far as it looked
  ScriptLevel scriptLevel;
  int8_t decoration = 2;  // a small code, read by decoration layout and drawing
#ifdef _WIN32
  // What the token is painted with; only layout and drawing (Windows) use
  // them. Made when first asked for: of the tokens a long line's parse
  // makes, more than half (raw pieces, brackets the passes insert) leave
  // the tree before it is measured.
  // The font of the last DescribeFont (a default one before).
  const FontChoice& Font() const;
  // What the token's font, metrics and shapes need is held by the line's
  // factory, which those who select them pass (a token keeps no pointer to
  // it once it has a paint part).
  QVPen& Pen(QVMTokenFactory& factory) { return Shapes(factory).pen; }
  QVBrush& Brush(QVMTokenFactory& factory) { return Shapes(factory).brush; }
  // All zero before the token's font was read.
  const TEXTMETRICA& Metrics() const;
  void SetMetrics(const TEXTMETRICA& metrics, QVMTokenFactory& factory);
  // The font SelectFont selected or took; null while none is.
  HFONT SelectedFont(const QVMTokenFactory& factory) const;
  // Only tokens drawn with shapes select a pen and brush: a long line
  // measures far more tokens than a picture draws.
  struct ShapePart {
    QVPen pen;
    QVBrush brush;
  };
  // A font and its metrics are one pair shared with the line's other
  // tokens; a font is realised through one of the factory's realisers only
  // while the token has it selected, and the factory holds the pens and
  // brushes of the few tokens drawn with shapes: what every measured token
  // keeps stays small (48 bytes, made for about every token of a long line).
  struct PaintPart {
    const FontLook* look = nullptr;  // held by the factory
    InkSides ink;
    int32_t paper = 0;
  };
  // Where the ink stands in the box, from the last measure, and the paper
  // the row put after the token (counted in its width) to keep its ink
  // clear of the next token's.
  InkSides& Ink() { return Painting().ink; }
  const InkSides& Ink() const;
  int32_t& Paper() { return Painting().paper; }
  int32_t Paper() const { return Paint() != nullptr ? Paint()->paper : 0; }
#endif

  QVMToken();
  ~QVMToken();
  QVMToken(const QVMToken&) = delete;
  QVMToken& operator=(const QVMToken&) = delete;

  void Set(TokenKind newKind, const CString& newText, int32_t newMark,
           const CString& newSecondText);
  void SetText(const CString& newText);
  CString GetText() const { return text; }
  // The word as typed, for keywords with a code; empty for most tokens.
  const CString& SecondText() const;
  void SetSecondText(const CString& newSecondText);
  // Filled by the matrix measure, sized by the matrix.
  MatrixGrid& Matrix();
  const MatrixGrid& Matrix() const;
  void SetScriptLevel(double level, const QVMOptions& options);

#ifdef _WIN32
  // Gives the token the font, pen and brush of its kind and level, selects
  // them into `dc` and reads the font's metrics; without `withShapes` only
  // the font (for measuring, and for tokens that draw only text). With
  // `later`, a kept font on a lingering context whose metrics are known is
  // only taken (QVFont::TakeKept); returns true when it was.
  bool SelectFont(CDC& dc, const QVMOptions& options, QVMTokenFactory& factory,
                  bool withShapes = true, bool later = false);
  // Gives the token the font description of its kind and level, realising
  // nothing.
  void DescribeFont(const QVMOptions& options, QVMTokenFactory& factory);
  // Puts back what SelectFont replaced: brush, pen, then font.
  void DeselectFont(CDC& dc, QVMTokenFactory& factory);
  // The token's box; measures only while the token is marked for layout.
  // x is the token's offset in its row.
  ExtentRecord Measure(CDC& dc, int32_t x, const QVMOptions& options, QVMTokenFactory& factory);
  // Draws the token with its box's bottom at y + its adjust.
  ExtentRecord Draw(CDC& dc, int32_t x, int32_t y, bool isFirst, QVMOptions& options,
                    QVMTokenFactory& factory);
#endif

  // The token as a sign a line may align on, at `index` of the root row;
  // an entry without an index (-1) when it is no such sign.
  AlignmentEntry MakeAlignmentEntry(int32_t index) const;

  void Dump(CString& out, const CString& prefix) const;
  // The dump of this token and its subtree as a row of one.
  CString DumpTree() const;

 private:
  struct RarePart {
    CString secondText;
    MatrixGrid matrix;
#ifdef _WIN32
    PaintPart* paint = nullptr;  // the token's, once it has a rare part
    QVMTokenFactory* factory = nullptr;  // while the token has no paint part
#endif
  };
  RarePart& MadeRarePart();
  const RarePart* Rare() const {
    if ((side_ & kRareBit) == 0) return nullptr;
    return reinterpret_cast<const RarePart*>(side_ & ~kRareBit);
  }
  RarePart* Rare() { return const_cast<RarePart*>(std::as_const(*this).Rare()); }

  // What few tokens have, in one word: null, the paint part (Windows), or
  // the rare part with kRareBit set, which then holds the paint part. On
  // Windows a token without either holds its factory there, with
  // kFactoryBit set, until its paint part is made. All three are at least
  // 8-aligned.
  static constexpr uintptr_t kRareBit = 1;
  static constexpr uintptr_t kFactoryBit = 2;
  uintptr_t side_ = 0;
#ifdef _WIN32
  friend class QVMTokenFactory;
  PaintPart* Paint() const {
    if ((side_ & kRareBit) != 0) return Rare()->paint;
    if ((side_ & kFactoryBit) != 0) return nullptr;
    return reinterpret_cast<PaintPart*>(side_);
  }
  // Asked for several times in every token's measure: the part made is
  // found inline.
  PaintPart& Painting() {
    PaintPart* paint = Paint();
    return paint != nullptr ? *paint : MadePainting();
  }
  PaintPart& MadePainting();
  void SetFont(const FontChoice* font, QVMTokenFactory& factory);
  ShapePart& Shapes(QVMTokenFactory& factory);
  // The realiser of the token's font while it is selected.
  QVFont& Realiser(QVMTokenFactory& factory);
  void ReleaseRealiser(QVMTokenFactory& factory);
#endif
};

// A pass's walk into a token's operands: most tokens are leaves, and an
// empty row is passed over without a call.
template <class Pass>
void ForEachChildRow(QVMToken& token, Pass&& pass) {
  if (!token.row1.IsEmpty()) pass(token.row1);
  if (!token.row2.IsEmpty()) pass(token.row2);
}

// The passes ask for kinds around every token they look at: inline.
inline TokenKind TokenRow::KindAt(int index) const {
  if (index < 0 || index >= GetSize()) return TK_ERROR;
  return GetAt(index)->kind;
}

// Objects made in blocks of consecutive storage, each block twice the last
// up to a bound, and destroyed together: the passes walk a row's tokens in
// about the order they were made, and a long line costs a few allocations,
// not one per object. Blocks are filled in order; the last one may be
// partly used.
template <class T>
class BlockPool {
 public:
  BlockPool() = default;
  ~BlockPool() { Clear(); }
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;

  T* New() {
    if (blocks_.empty() || usedInLast_ == blocks_.back().capacity) {
      const int capacity = blocks_.empty() ? kFirst : std::min(2 * blocks_.back().capacity, kLargest);
      blocks_.reserve(blocks_.size() + 1);
      blocks_.push_back({std::allocator<T>().allocate(static_cast<size_t>(capacity)), capacity});
      usedInLast_ = 0;
    }
    T* made = std::construct_at(blocks_.back().items + usedInLast_);
    ++usedInLast_;
    return made;
  }
  void Clear() {
    for (size_t b = blocks_.size(); b-- > 0;) {
      const Block& block = blocks_[b];
      const int used = b + 1 == blocks_.size() ? usedInLast_ : block.capacity;
      std::destroy(block.items, block.items + used);
      std::allocator<T>().deallocate(block.items, static_cast<size_t>(block.capacity));
    }
    blocks_.clear();
    blocks_.shrink_to_fit();
    usedInLast_ = 0;
  }

 private:
  static constexpr int kFirst = 32;
  static constexpr int kLargest = 2048;
  struct Block {
    T* items;
    int capacity;
  };
  std::vector<Block> blocks_;
  int usedInLast_ = 0;
};

// Owns every token of one line until the next re-parse.
class QVMTokenFactory {
 public:
  QVMTokenFactory();
  virtual ~QVMTokenFactory();
  QVMTokenFactory(const QVMTokenFactory&) = delete;
  QVMTokenFactory& operator=(const QVMTokenFactory&) = delete;

  // A new token: one taken back (Recycle) and made again when there is
  // one whose storage no paint part took, so that a long line's parse,
  // whose passes drop about as many tokens as the tree keeps, needs less
  // memory.
  QVMToken* NewToken(TokenKind kind);
  // Takes back a token that left the tree for good: no row holds it and
  // no pass still looks at it.
  void Recycle(QVMToken* token) { recycled_.push_back(token); }
  void DeleteAll();
  // Tokens made, the ones made again included.
  int GetCount() const { return count_; }

  // An alignment spacer `width` wide: one given back earlier when there is
  // one, so that measuring again and again makes no new tokens.
  QVMToken* NewSpacer(int32_t width);
  // Takes back a spacer the row no longer holds (it stays owned here).
  void RecycleSpacer(QVMToken* spacer);

 private:
  BlockPool<QVMToken> tokens_;
  int count_ = 0;  // tokens made
  std::vector<QVMToken*> recycled_;
  // The first recycled tokens whose storage paint parts took (never on
  // Linux, where nothing is measured).
  size_t lentToPaints_ = 0;
  std::vector<QVMToken*> spareSpacers_;
#ifdef _WIN32
  friend class QVMToken;
  // A long line's parse leaves several hundred thousand recycled tokens
  // behind, in pages it touched already: a paint part is made in their
  // storage while any is left, then in the pool.
  QVMToken::PaintPart* NewPaintPart();
  // Puts tokens back in the storage paint parts took, for the pool to
  // destroy with the others.
  void TakeBackLentTokens();
  BlockPool<QVMToken::PaintPart> paints_;  // made for the tokens measured or drawn
  QVMToken::PaintPart* lentPaints_ = nullptr;  // the last lent token's storage
  int paintsLeftInLent_ = 0;
  bool painted_ = false;                   // any paint part made since DeleteAll
  BlockPool<QVMToken::ShapePart> shapes_;  // made for the tokens drawn with shapes
  std::unordered_map<const QVMToken*, QVMToken::ShapePart*> shapesOf_;
  FontChoices fonts_;                      // what the paint parts point to
  BlockPool<QVFont> realisers_;            // as many as tokens are selected at once
  std::vector<QVFont*> spareRealisers_;
  // The tokens with a font selected now and their realisers; selections
  // nest, so the last one is mostly the one asked for.
  std::vector<std::pair<const QVMToken*, QVFont*>> selected_;
  QVFont* const* RealiserOf(const QVMToken* token) const;

 public:
  // False until a token of the line is measured or drawn: every token and
  // row then still needs layout, as the parse left them.
  bool LaidOut() const { return painted_; }
  // Lets the line's tokens remember their fonts by kind and level while it
  // lasts (the options stand still meanwhile).
  FontChoices::Scope DescribingScope() { return FontChoices::Scope(fonts_); }
#endif
};
