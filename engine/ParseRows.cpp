// Row operations shared by the parse passes.
#include "engine/ParseRows.h"

#include <algorithm>
#include <string_view>
#include <vector>

bool NestsOperands(TokenKind kind) {
  switch (kind) {
    case TK_POWER:
    case TK_SUBSCRIPT:
    case TK_SQRT:
    case TK_ROOT:
    case TK_ARC:
    case TK_LONGDIV:
    case TK_COMBINATION:
    case TK_PERMUTATION:
    case TK_SEPARATOR:
    case TK_DIVIDE: return true;
    default: return false;
  }
}

void KeepAsText(QVMToken& token) {
  if (!token.SecondText().IsEmpty()) token.text = token.SecondText();
  token.Set(TK_RAW, token.text, kMarkNone, CString());
}

int DepthAfter(int depth, TokenKind kind) {
  if (kind == TK_OPEN) return depth + 1;
  if (kind == TK_CLOSE && depth > 0) return depth - 1;
  return depth;
}

bool IsCapitalLetter(const QVMToken& token) {
  if (token.kind != TK_VARIABLE || token.text.GetLength() != 1) return false;
  const char c = token.text.GetAt(0);
  return c >= 'A' && c <= 'Z';
}

bool IsUnitVectorLetter(const QVMToken& token) {
  return token.kind == TK_VARIABLE && (token.text == "i" || token.text == "j" || token.text == "k");
}

namespace {

uint64_t LetterFacts(const QVMToken& token) {
  if (token.kind != TK_VARIABLE || token.text.GetLength() != 1) return 0;
  switch (token.text.GetAt(0)) {
    case 'C':
    case 'P': return kCombinationLetter;
    case 'i':
    case 'j':
    case 'k': return kUnitLetter;
    default: return 0;
  }
}

// The kind of one token and the facts about its letter, without its rows.
uint64_t OwnKinds(const QVMToken& token) { return KindBit(token.kind) | LetterFacts(token); }

uint64_t KindsBelow(const QVMToken& token) {
  uint64_t kinds = 0;
  if (!token.row1.IsEmpty()) kinds |= KindsInTree(token.row1);
  if (!token.row2.IsEmpty()) kinds |= KindsInTree(token.row2);
  return kinds;
}

}  // namespace

// One walk with a stack of the opening brackets still open: a closing
// bracket goes the way its opening one went. The same walk finds the
// kinds of what stays, for the later passes, and the tokens that stay
// from the first one dropped on (on a long line the flat row is far larger
// than the processor's caches: one walk of its tokens, not three).
uint64_t CapNestingDepth(TokenRow& row, QVMTokenFactory& factory) {
  std::vector<bool> open;  // whether each bracket still open was kept
  int depth = 0;           // kept brackets open here
  uint64_t kinds = 0;
  bool capitalBefore = false;  // the last token that stays is a capital letter
  std::vector<QVMToken*> stay;  // from the first dropped token on
  std::vector<QVMToken*> dropped;
  QVMToken* const* const first = row.begin();
  for (QVMToken* const* at = first; at != row.end(); ++at) {
    QVMToken* token = *at;
    if (token->kind == TK_OPEN) {
      open.push_back(depth < kMaxNestingDepth);
      if (open.back()) ++depth;
      else KeepAsText(*token);
    } else if (token->kind == TK_CLOSE) {
      if (!open.empty()) {
        if (open.back()) --depth;
        else KeepAsText(*token);
        open.pop_back();
      }
    } else if (depth >= kMaxNestingDepth && NestsOperands(token->kind)) {
      KeepAsText(*token);
    }
    if (token->kind == TK_RAW && token->text.IsEmpty()) {
      if (dropped.empty()) stay.assign(first, at);
      dropped.push_back(token);
      continue;
    }
    if (!dropped.empty()) stay.push_back(token);
    kinds |= OwnKinds(*token) | KindsBelow(*token);
    const bool capital = IsCapitalLetter(*token);
    if (capital && capitalBefore) kinds |= kCapitalPair;
    capitalBefore = capital;
  }
  if (dropped.empty()) return kinds;
  // One rebuild rather than a removal per bracket: chains drop thousands.
  row.Assign(stay);
  for (QVMToken* token : dropped) factory.Recycle(token);
  return kinds;
}

namespace {

// A token nested at least kMaxNestingDepth deep, as CapNestingDepth leaves
// it: brackets and operators stay text.
void KeepDeepAsText(QVMToken& token) {
  if (token.kind == TK_OPEN || token.kind == TK_CLOSE || NestsOperands(token.kind)) KeepAsText(token);
}

// A number the implicit powers pass would raise after a token of this kind.
bool RaisesNumberAfter(TokenKind kind) {
  return kind == TK_VARIABLE || kind == TK_CLOSE || kind == TK_GREEK || kind == TK_UNIT ||
         kind == TK_FUNCTION;
}

// A minus the pass merging signs could merge, or a number it could raise,
// at `token` after `before`.
bool MayBeMergedOrRaised(TokenKind before, const QVMToken& token, bool signs, bool powers) {
  if (token.kind != TK_NUMBER) return false;
  return (signs && before == TK_SUBTRACT) || (powers && RaisesNumberAfter(before));
}

// The contents of the closed groups whose opening bracket stands at depth
// kMaxNestingDepth - 1 (a typed bracket any deeper is text already); none
// when one holds a token the sign or power pass could act on.
std::vector<TokenSpan> DeepGroups(const TokenRow& row, bool signs, bool powers) {
  std::vector<TokenSpan> groups;
  int depth = 0;
  int i = 0;
  int first = 0;
  TokenKind before = TK_ERROR;
  for (const QVMToken* token : row) {
    if (token->kind == TK_OPEN && depth == kMaxNestingDepth - 1) first = i + 1;
    if (token->kind == TK_CLOSE && depth == kMaxNestingDepth && first < i) groups.push_back({first, i - 1});
    if (depth >= kMaxNestingDepth && MayBeMergedOrRaised(before, *token, signs, powers)) return {};
    depth = DepthAfter(depth, token->kind);
    before = token->kind;
    ++i;
  }
  return groups;
}

}  // namespace

// One rebuild: a line nested that deep ("1/(1/(1/(...") would otherwise
// add brackets to every operand inside, all dropped again.
void KeepDeepGroupsAsText(TokenRow& row, QVMTokenFactory& factory, bool signs, bool powers) {
  const std::vector<TokenSpan> groups = DeepGroups(row, signs, powers);
  if (groups.empty()) return;
  std::vector<QVMToken*> out;
  out.reserve(static_cast<size_t>(row.GetSize()));
  size_t g = 0;
  int i = 0;
  for (QVMToken* token : row) {
    while (g < groups.size() && groups[g].last < i) ++g;
    if (g < groups.size() && groups[g].first <= i) {
      KeepDeepAsText(*token);
      if (token->kind == TK_RAW && token->text.IsEmpty()) {
        factory.Recycle(token);
        ++i;
        continue;
      }
    }
    out.push_back(token);
    ++i;
  }
  row.Assign(out);
}

namespace {

// What the runs of both a script and a denominator take: letters, numbers
// and units.
bool IsPlainOperand(const QVMToken& token) {
  switch (token.kind) {
    case TK_NUMBER: return IsNumeral(token);
    case TK_VARIABLE:
    case TK_GREEK:
    case TK_UNIT: return true;
    default: return false;
  }
}

// The first index of the plain operands ending at `last` (last + 1 when none).
int PlainRunStart(const TokenRow& row, int last) {
  int k = last;
  while (k >= 0 && IsPlainOperand(*row.GetAt(k))) --k;
  return k + 1;
}

// Where the piece "x^a/" whose last "/" stands at `divide` starts, or -1;
// its base and exponent may be empty ("^/"), and more "/" may follow the
// first ("^//": each nests the rest a level deeper still).
int PowerFractionStart(const TokenRow& row, int divide) {
  if (row.KindAt(divide) != TK_DIVIDE) return -1;
  while (row.KindAt(divide - 1) == TK_DIVIDE) --divide;
  const int power = PlainRunStart(row, divide - 1) - 1;
  if (row.KindAt(power) != TK_POWER) return -1;
  return PlainRunStart(row, power - 1);
}

// Where what follows the chain's last "/" at the row's end starts: letters,
// numbers and units, perhaps raised to a power of them ("/x", "/x^a", "/^").
int TailStart(const TokenRow& row) {
  const int last = PlainRunStart(row, row.GetSize() - 1);
  return row.KindAt(last - 1) == TK_POWER ? PlainRunStart(row, last - 2) : last;
}

// The pieces of "/root/root/..." at the row's end.
int RootFractionPieces(const TokenRow& row) {
  int pieces = 0;
  for (int at = row.GetSize() - 2; row.KindAt(at) == TK_DIVIDE && row.KindAt(at + 1) == TK_ROOT; at -= 2) ++pieces;
  return pieces;
}

// Piece n of the chain (from 0) starts at least 2n levels deep.
constexpr size_t kFirstDeepPiece = (kMaxNestingDepth + 1) / 2;

// The chain's `marks` from `first` to the row's end made text inside one
// invisible pair, when the brackets before the chain (at `chain`) are
// balanced: nothing before it then nests it less deep.
void KeepChainTailAsText(TokenRow& row, int chain, int first, uint64_t marks, QVMTokenFactory& factory) {
  int depth = 0;
  for (int i = 0; i < chain; ++i) depth = DepthAfter(depth, row.KindAt(i));
  if (depth != 0) return;
  for (int i = first; i < row.GetSize(); ++i) {
    QVMToken& token = *row.GetAt(i);
    if ((KindBit(token.kind) & marks) != 0) KeepAsText(token);
  }
  row.Append(NewBracket(factory, TK_CLOSE));
  InsertBracket(row, first, TK_OPEN, factory);
}

}  // namespace

void KeepDeepPowerFractionsAsText(TokenRow& row, QVMTokenFactory& factory) {
  std::vector<int> starts;  // of the pieces, right to left
  for (int start = PowerFractionStart(row, TailStart(row) - 1); start >= 0;
       start = PowerFractionStart(row, start - 1))
    starts.push_back(start);
  if (starts.size() <= kFirstDeepPiece) return;
  KeepChainTailAsText(row, starts.back(), starts[starts.size() - 1 - kFirstDeepPiece],
                      KindBit(TK_POWER) | KindBit(TK_DIVIDE), factory);
}

void KeepDeepRootFractionsAsText(TokenRow& row, QVMTokenFactory& factory) {
  const int pieces = RootFractionPieces(row);
  if (pieces <= static_cast<int>(kFirstDeepPiece)) return;
  const int start = row.GetSize() - 2 * pieces;
  KeepChainTailAsText(row, start, start + 2 * static_cast<int>(kFirstDeepPiece),
                      KindBit(TK_DIVIDE) | KindBit(TK_ROOT), factory);
}

uint64_t KindsInTree(const TokenRow& row) {
  uint64_t kinds = 0;
  for (const QVMToken* token : row) kinds |= OwnKinds(*token) | KindsBelow(*token);
  return kinds;
}

RowSurvey SurveyRow(const TokenRow& row) {
  RowSurvey survey;
  int depth = 0;
  for (const QVMToken* token : row) {
    survey.kinds |= OwnKinds(*token) | KindsBelow(*token);
    depth = DepthAfter(depth, token->kind);
    survey.deepest = std::max(survey.deepest, depth);
  }
  return survey;
}

QVMToken* NewBracket(QVMTokenFactory& factory, TokenKind kind) { return factory.NewToken(kind); }

void InsertBracket(TokenRow& row, int index, TokenKind kind, QVMTokenFactory& factory) {
  row.InsertAt(index, NewBracket(factory, kind));
}

QVMToken* NewSpace(QVMTokenFactory& factory) {
  QVMToken* space = factory.NewToken(TK_SPACE);
  space->SetText(" ");
  return space;
}

bool IsInvisible(const TokenRow& row, int index, TokenKind kind) {
  return row.KindAt(index) == kind && row.GetAt(index)->text.IsEmpty();
}

bool IsNumeral(const QVMToken& token) {
  return token.kind == TK_NUMBER && token.text.str() != std::string_view(" :");
}

bool IsNumeralAt(const TokenRow& row, int index) {
  return row.KindAt(index) == TK_NUMBER && IsNumeral(*row.GetAt(index));
}

bool IsSpaceKind(TokenKind kind) { return kind == TK_SPACE || kind == TK_NOSPACE; }

int SkipSpaces(const TokenRow& row, int i) {
  while (IsSpaceKind(row.KindAt(i))) ++i;
  return i;
}

void MoveTokens(TokenRow& from, TokenSpan span, TokenRow& to) {
  if (span.Empty()) return;
  to.Reserve(span.Count());
  for (int i = span.first; i <= span.last; ++i) to.Append(from.GetAt(i));
  from.RemoveAt(span.first, span.Count());
}

int GroupEnd(const TokenRow& row, int open) {
  const int match = row.FindMatchingClose(open);
  return match >= 0 ? match : row.GetSize() - 1;
}

TokenSpan GroupAfter(const TokenRow& row, int i) {
  if (i + 1 >= row.GetSize()) return {};
  return {i + 1, GroupEnd(row, i + 1)};
}

TokenSpan GroupBefore(const TokenRow& row, int i) {
  const int open = row.FindMatchingOpen(i - 1);
  if (open < 0) return {};
  return {open, i - 1};
}

namespace {

bool IsDelimiterOpenText(const CString& text) {
  return text.IsEmpty() || text == "(" || text == "[" || text == "{";
}

bool IsDelimiterCloseText(const CString& text) {
  return text.IsEmpty() || text == ")" || text == "]" || text == "}" || text == "#";
}

}  // namespace

bool IsDelimiterOpen(const QVMToken& token) { return IsDelimiterOpenText(token.text); }

bool IsDelimiterClose(const QVMToken& token) { return IsDelimiterCloseText(token.text); }

bool IsDelimiterGroup(const TokenRow& row, int open) {
  if (!IsDelimiterOpen(*row.GetAt(open))) return false;
  return IsDelimiterPair(row, open, row.FindMatchingClose(open));
}

bool IsDelimiterPair(const TokenRow& row, int open, int match) {
  return IsDelimiterOpen(*row.GetAt(open)) && (match < 0 || IsDelimiterClose(*row.GetAt(match)));
}

bool IsDelimiterText(const CString& text) {
  const int comma = text.Find(',');
  if (comma < 0) return false;
  return IsDelimiterOpenText(text.Left(comma)) && IsDelimiterCloseText(text.Mid(comma + 1));
}

void HideGroupBrackets(TokenRow& row) {
  if (row.KindAt(0) == TK_OPEN) {
    if (!IsDelimiterGroup(row, 0)) return;
    row.GetAt(0)->SetText(CString());
    const int match = row.FindMatchingClose(0);
    if (match >= 0) row.GetAt(match)->SetText(CString());
    return;
  }
  const int last = row.GetSize() - 1;
  if (row.KindAt(last) == TK_CLOSE && IsDelimiterClose(*row.GetAt(last)))
    row.GetAt(last)->SetText(CString());
}

// An opening bracket the run accepts brings its whole group; a power brings
// the bracketed exponent that follows it.
int RunEndRight(const TokenRow& row, int start, TokenTest accepts) {
  int k = start;
  while (k < row.GetSize()) {
    const QVMToken& token = *row.GetAt(k);
    if (!accepts(token, k == start)) break;
    if (token.kind == TK_OPEN) {
      k = GroupEnd(row, k) + 1;
      continue;
    }
    ++k;
    if (token.kind == TK_POWER && row.KindAt(k) == TK_OPEN) k = GroupEnd(row, k) + 1;
  }
  return k;
}

bool ClosesExponent(const TokenRow& row, int i) {
  const int open = row.FindMatchingOpen(i);
  return open >= 1 && row.KindAt(open - 1) == TK_POWER;
}

// Leftwards: run tokens, exponent groups with their power, and a base group
// directly before a power already in the run.
int RunStartLeft(const TokenRow& row, int last, TokenTest accepts) {
  int start = last + 1;
  int k = last;
  while (k >= 0) {
    if (row.KindAt(k) == TK_CLOSE) {
      const int open = row.FindMatchingOpen(k);
      if (open < 0) break;
      if (ClosesExponent(row, k)) {
        start = open - 1;
        k = open - 2;
        continue;
      }
      if (start != k + 1 || row.KindAt(k + 1) != TK_POWER) break;
      start = open;
      k = open - 1;
      continue;
    }
    if (!accepts(*row.GetAt(k), false)) break;
    start = k--;
  }
  return start;
}

void ShrinkFractions(QVMToken& token) {
  if (token.kind == TK_FRACTION) {
    token.kind = TK_SMALLFRACTION;
    token.needsLayout = true;
  }
  token.row1.ReplaceKind(TK_FRACTION, TK_SMALLFRACTION);
  token.row2.ReplaceKind(TK_FRACTION, TK_SMALLFRACTION);
}
