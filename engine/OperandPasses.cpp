// Operands of the binary and prefix constructs, decided while the row is
// flat: invisible brackets around each operand and around the whole
// construct, negative numbers, implicit powers and function arguments.
#include <algorithm>
#include <unordered_map>

#include "engine/EquationLine.h"
#include "engine/ParseRows.h"

namespace {

bool IsBaseOperand(const QVMToken& token) {
  switch (token.kind) {
    case TK_NUMBER: return IsNumeral(token);
    case TK_POWER:
    case TK_VARIABLE:
    case TK_UNIT:
    case TK_GREEK: return true;
    default: return false;
  }
}

// "n!": a factorial belongs to the operand it follows.
bool IsFactorial(const QVMToken& token) { return token.kind == TK_RAW && token.text == "!"; }

bool IsFactorialAt(const TokenRow& row, int i) {
  return i >= 0 && i < row.GetSize() && IsFactorial(*row.GetAt(i));
}

bool IsDivideRight(const QVMToken& token, bool first) {
  return IsBaseOperand(token) || (first ? token.kind == TK_SUBTRACT : IsFactorial(token));
}

// The same after the run's first token.
bool IsDivideRest(const QVMToken& token, bool) { return IsDivideRight(token, false); }

bool IsSeparatorRight(const QVMToken& token, bool first) {
  return IsDivideRight(token, first) || token.kind == TK_FRACTION;
}

bool IsDivideLeft(const QVMToken& token, bool) { return IsBaseOperand(token) || IsFactorial(token); }

bool IsSeparatorLeft(const QVMToken& token, bool) {
  return IsBaseOperand(token) || token.kind == TK_SUBTRACT || token.kind == TK_FRACTION;
}

bool TakesArgument(TokenKind kind) {
  return kind == TK_FUNCTION || kind == TK_ARCSINCOSTAN || kind == TK_SQRT || kind == TK_ARC;
}

bool IsArgumentToken(const QVMToken& token, bool) {
  switch (token.kind) {
    case TK_NUMBER: return IsNumeral(token);
    case TK_POWER:
    case TK_UNIT:
    case TK_GREEK:
    case TK_OPEN:
    case TK_VARIABLE: return true;
    default: return false;
  }
}

bool IsConstructOperand(const QVMToken& token, bool) {
  return token.kind == TK_UNIT || token.kind == TK_GREEK || token.kind == TK_VARIABLE ||
         (token.kind == TK_NUMBER && IsNumeral(token));
}

// Beside "/" a function, a square root or a root is taken with its
// argument: "a/sin A", "1/sqrt(x)", "1/3root(8)". One past the argument
// of the word at c, as the argument passes will find it.
int ArgumentEnd(const TokenRow& row, int c) {
  if (row.KindAt(c) == TK_ROOT) {
    if (row.KindAt(c + 1) == TK_OPEN) return GroupEnd(row, c + 1) + 1;
    return RunEndRight(row, c + 1, IsConstructOperand);
  }
  int i = SkipSpaces(row, c + 1);
  if (row.KindAt(i) == TK_POWER || row.KindAt(i) == TK_SUBSCRIPT) {  // "sin^2 x"
    if (row.KindAt(i + 1) != TK_OPEN || row.FindMatchingClose(i + 1) < 0) return c + 1;
    i = SkipSpaces(row, row.FindMatchingClose(i + 1) + 1);
  }
  if (row.KindAt(i) == TK_OPEN) return GroupEnd(row, i) + 1;
  const int end = RunEndRight(row, i, IsArgumentToken);
  return end > i ? end : c + 1;
}

bool IsArgumentWord(TokenKind kind) { return TakesArgument(kind) || kind == TK_ROOT; }

// One past the right operand of "/" that starts at h: the operand run,
// through words with their arguments and factorials.
int DivideRightEnd(const TokenRow& row, int h) {
  int k = h;
  for (;;) {
    if (IsArgumentWord(row.KindAt(k))) {
      k = ArgumentEnd(row, k);
      continue;
    }
    const int end = RunEndRight(row, k, k == h ? IsDivideRight : IsDivideRest);
    if (end == k) return k;
    k = end;
  }
}

// The word whose typed bracket group opens at `open` ("sqrt(a)", "sin (x)",
// "3root(8)"), or -1.
int WordBefore(const TokenRow& row, int open) {
  if (row.KindAt(open - 1) == TK_ROOT) return open - 1;
  int k = open - 1;
  while (IsSpaceKind(row.KindAt(k))) --k;
  return TakesArgument(row.KindAt(k)) ? k : -1;
}

// The group at `open` was typed right after a power or subscript mark
// ("e^(x)", "x\(a)", "x^|a|"); the script pass kept the typed text of the
// brackets it hid.
bool IsTypedScriptGroup(const TokenRow& row, int open) {
  const TokenKind mark = row.KindAt(open - 1);
  if (mark != TK_POWER && mark != TK_SUBSCRIPT) return false;
  const QVMToken& bracket = *row.GetAt(open);
  return !bracket.text.IsEmpty() || !bracket.SecondText().IsEmpty();
}

// The group closed at `close` belongs to the construct before it (a word
// or a script mark with brackets the user typed): where that construct
// starts, or -1.
int ConstructBefore(const TokenRow& row, int close) {
  const int open = row.FindMatchingOpen(close);
  if (open < 0) return -1;
  if (IsTypedScriptGroup(row, open)) return open - 1;
  return WordBefore(row, open);
}

// Where the left operand of "/" that ends at `last` starts: the operand
// run, through constructs with their typed groups ("sqrt(a)/2",
// "e^(x)/2") and bracket groups with a factorial ("(n-r)!/2").
int DivideLeftStart(const TokenRow& row, int last) {
  int start = RunStartLeft(row, last, IsDivideLeft);
  for (;;) {
    const int close = start - 1;
    if (row.KindAt(close) != TK_CLOSE) return start;
    int from = ConstructBefore(row, close);
    if (from < 0 && IsFactorialAt(row, start) && start <= last) from = row.FindMatchingOpen(close);
    if (from < 0) return start;
    // The run goes on left of it; a base group before a power comes along
    // ("(a+b)^(2)/2").
    start = RunStartLeft(row, from - 1, IsDivideLeft);
  }
}

// The right operand of the operator at d gets its brackets, then the
// construct's closing bracket follows.
void BracketRightOperand(TokenRow& row, int d, TokenKind op, QVMTokenFactory& factory) {
  const int h = d + 1;
  if (row.KindAt(h) == TK_OPEN) {
    const int match = row.FindMatchingClose(h);
    if (match < 0) {
      row.Append(NewBracket(factory, TK_CLOSE));
      row.Append(NewBracket(factory, TK_CLOSE));
      return;
    }
    // "1/(n-r)!": the factorial stays with its group.
    const bool factorial = op == TK_DIVIDE && IsFactorialAt(row, match + 1);
    if (row.KindAt(match + 1) != TK_POWER && !factorial && IsDelimiterPair(row, h, match)) {
      row.GetAt(h)->SetText(CString());
      row.GetAt(match)->SetText(CString());
      InsertBracket(row, match + 1, TK_CLOSE, factory);
      return;
    }
    // A powered group, or one of bars, keeps its brackets inside an
    // invisible pair of its own; the group with its
    // powers and their exponents is the operand.
    int end = match + 1;
    while (row.KindAt(end) == TK_POWER || (op == TK_DIVIDE && IsFactorialAt(row, end))) {
      ++end;
      if (row.KindAt(end - 1) == TK_POWER && row.KindAt(end) == TK_OPEN) end = GroupEnd(row, end) + 1;
    }
    InsertBracket(row, end, TK_CLOSE, factory);
    InsertBracket(row, end, TK_CLOSE, factory);
    InsertBracket(row, h, TK_OPEN, factory);
    return;
  }
  const int end = op == TK_SEPARATOR ? RunEndRight(row, h, IsSeparatorRight) : DivideRightEnd(row, h);
  InsertBracket(row, end, TK_CLOSE, factory);
  InsertBracket(row, end, TK_CLOSE, factory);
  InsertBracket(row, h, TK_OPEN, factory);
}

// The left operand and the construct's opening bracket; returns the
// operator's new index and sets `construct` to the construct's opening
// bracket (-1 when it has none).
int BracketLeftOperand(TokenRow& row, int d, TokenKind op, int& construct, QVMTokenFactory& factory) {
  construct = -1;
  if (d == 0) {
    InsertBracket(row, 0, TK_CLOSE, factory);
    InsertBracket(row, 0, TK_OPEN, factory);
    InsertBracket(row, 0, TK_OPEN, factory);
    construct = 0;
    return d + 3;
  }
  const int u = d - 1;
  int start = 0;
  // Left of "/" an exponent's group is the numerator ("x^2/3" is x to the
  // power 2/3), unless its brackets were typed ("e^(x)/2") or belong to a
  // word ("sqrt(a)/2"): then the whole construct is. Left of a separator
  // the power is taken whole ("x^2,y^2").
  const bool whole = row.KindAt(u) == TK_CLOSE &&
                     (op == TK_SEPARATOR ? ClosesExponent(row, u) : ConstructBefore(row, u) >= 0);
  if (row.KindAt(u) == TK_CLOSE && !whole) {
    const int open = row.FindMatchingOpen(u);
    const bool delimiter = open < 0 ? IsDelimiterClose(*row.GetAt(u)) : IsDelimiterPair(row, open, u);
    if (delimiter) {
      row.GetAt(u)->SetText(CString());
      if (open < 0) return d;
      row.GetAt(open)->SetText(CString());
      InsertBracket(row, open, TK_OPEN, factory);
      construct = open;
      return d + 1;
    }
    // "|x|/2": the bars stay, inside an invisible pair of their own.
    if (open < 0) return d;
    start = open;
  } else {
    start = op == TK_SEPARATOR ? RunStartLeft(row, u, IsSeparatorLeft) : DivideLeftStart(row, u);
  }
  InsertBracket(row, d, TK_CLOSE, factory);
  InsertBracket(row, start, TK_OPEN, factory);
  InsertBracket(row, start, TK_OPEN, factory);
  construct = start;
  return d + 3;
}

// Bracket levels of the constructs a right-to-left pass has made, by their
// opening bracket. "a/a/a/..." and "3root3root..." wrap each construct in
// the next one to the left; the height stops such a chain at
// kMaxNestingDepth without a walk over the ever larger group.
using ConstructHeights = std::unordered_map<const QVMToken*, int>;

// The height a construct gets around the group at i (a construct made
// before, or anything else, counted as flat).
int HeightAround(const TokenRow& row, int i, const ConstructHeights& heights) {
  const auto found = i < row.GetSize() ? heights.find(row.GetAt(i)) : heights.end();
  return (found == heights.end() ? 0 : found->second) + 2;
}

void NoteHeight(const TokenRow& row, int construct, int height, ConstructHeights& heights) {
  if (construct >= 0) heights[row.GetAt(construct)] = height;
}

void MergeMinus(TokenRow& row, int minus) {
  QVMToken* number = row.GetAt(minus + 1);
  number->SetText("-" + number->text);
  row.RemoveAt(minus);
}

// A minus after one of these (spaces skipped) is a sign.
bool AllowsSign(TokenKind kind) {
  switch (kind) {
    case TK_ADD:
    case TK_SUBTRACT:
    case TK_DIVIDE:
    case TK_MULTIPLY:
    case TK_OPEN:
    case TK_EQUAL: return true;
    default: return false;
  }
}

TokenKind NearestKindLeft(const TokenRow& row, int e) {
  for (int k = e - 1; k >= 0; --k) {
    const TokenKind kind = row.KindAt(k);
    if (kind != TK_SPACE && kind != TK_NOSPACE) return kind;
  }
  return TK_ERROR;
}

// "sin2x", "log2 8": the argument after the script group at `after`.
void BracketScriptedArgument(TokenRow& row, int c, int after, QVMTokenFactory& factory) {
  const int a = SkipSpaces(row, after);
  int end = 0;  // one past the argument
  if (row.KindAt(a) == TK_OPEN) {
    end = GroupEnd(row, a) + 1;
  } else {
    end = RunEndRight(row, a, IsArgumentToken);
    InsertBracket(row, end, TK_CLOSE, factory);
    InsertBracket(row, a, TK_OPEN, factory);
    end += 2;
  }
  InsertBracket(row, end, TK_CLOSE, factory);
  InsertBracket(row, c, TK_OPEN, factory);
}

// Brackets the argument of the function at c; false when it has none.
bool BracketArgumentAt(TokenRow& row, int c, QVMTokenFactory& factory) {
  const int i = SkipSpaces(row, c + 1);
  const TokenKind next = row.KindAt(i);
  if (next == TK_OPEN) {
    const int match = row.FindMatchingClose(i);
    if (match >= 0) InsertBracket(row, match + 1, TK_CLOSE, factory);
    InsertBracket(row, c, TK_OPEN, factory);
    return true;
  }
  if (next != TK_POWER && next != TK_SUBSCRIPT) {
    const int end = RunEndRight(row, i, IsArgumentToken);
    InsertBracket(row, end, TK_CLOSE, factory);
    InsertBracket(row, end, TK_CLOSE, factory);
    InsertBracket(row, i, TK_OPEN, factory);
    InsertBracket(row, c, TK_OPEN, factory);
    return true;
  }
  const int script = row.FindMatchingClose(i + 1);
  if (row.KindAt(c) != TK_FUNCTION || row.KindAt(i + 1) != TK_OPEN || script < 0) return false;
  BracketScriptedArgument(row, c, script + 1, factory);
  return true;
}

bool IsInfixKeyword(TokenKind kind) {
  return kind == TK_ROOT || kind == TK_LONGDIV || kind == TK_COMBINATION || kind == TK_PERMUTATION;
}

// The left operand of the construct at i; moves i to the construct's new
// index and returns where the construct's own opening bracket goes.
int BracketConstructLeft(TokenRow& row, int& i, QVMTokenFactory& factory) {
  if (i == 0 || row.KindAt(i - 1) == TK_DIVIDE) {
    InsertBracket(row, i, TK_CLOSE, factory);
    InsertBracket(row, i, TK_OPEN, factory);
    i += 2;
    return i - 2;
  }
  if (IsConstructOperand(*row.GetAt(i - 1), false)) {
    InsertBracket(row, i, TK_CLOSE, factory);
    InsertBracket(row, i - 1, TK_OPEN, factory);
    i += 2;
    return i - 3;
  }
  if (row.KindAt(i - 1) == TK_CLOSE) {
    const int open = row.FindMatchingOpen(i - 1);
    return open >= 0 ? open : 0;
  }
  return i;
}

// The right operand; the construct's brackets close after it. False when
// the construct gets no brackets of its own.
bool BracketConstructRight(TokenRow& row, int& i, int start, QVMTokenFactory& factory) {
  if (row.KindAt(i + 1) == TK_OPEN) {
    const int match = row.FindMatchingClose(i + 1);
    if (match >= 0) InsertBracket(row, match + 1, TK_CLOSE, factory);
  } else if (row.KindAt(i + 1) == TK_POWER) {
    return false;
  } else {
    const int end = RunEndRight(row, i + 1, IsConstructOperand);
    InsertBracket(row, end, TK_CLOSE, factory);
    InsertBracket(row, end + 1, TK_CLOSE, factory);
    InsertBracket(row, i + 1, TK_OPEN, factory);
  }
  InsertBracket(row, start, TK_OPEN, factory);
  ++i;
  return true;
}

}  // namespace

// Right to left, so that "a/b/c" is a/(b/c); the scan goes on through the
// left operand, which may hold further operators.
void TokenRow::BracketOperatorOperands(TokenKind op, QVMTokenFactory& factory) {
  const BracketPairs pairs(*this);
  ConstructHeights heights;
  for (int d = GetSize() - 1; d >= 0; --d) {
    QVMToken* token = GetAt(d);
    if (token->kind != op) {
      ForEachChildRow(*token, [&](TokenRow& child) { child.BracketOperatorOperands(op, factory); });
      continue;
    }
    const int height = HeightAround(*this, d + 1, heights);
    if (height > kMaxNestingDepth) {
      KeepAsText(*token);
      continue;
    }
    BracketRightOperand(*this, d, op, factory);
    int construct = -1;
    d = BracketLeftOperand(*this, d, op, construct, factory);
    NoteHeight(*this, construct, height, heights);
  }
}

// "2*-3", "(-3", "x = -3" get the number -3; "2-3" keeps its subtraction.
void TokenRow::MergeNegativeNumbers() {
  if (KindAt(0) == TK_SUBTRACT && IsNumeralAt(*this, 1)) MergeMinus(*this, 0);
  for (int e = GetSize() - 1; e >= 0; --e) {
    QVMToken* token = GetAt(e);
    ForEachChildRow(*token, [&](TokenRow& child) { child.MergeNegativeNumbers(); });
    if (e < 1 || e > GetSize() - 2 || token->kind != TK_SUBTRACT) continue;
    if (!IsNumeralAt(*this, e + 1) || TextAt(e + 1).Left(1) == "-") continue;
    if (AllowsSign(NearestKindLeft(*this, e))) MergeMinus(*this, e);
  }
}

// "x2", "(a+b)2", "cm3" are powers; "log2x" takes 2 as its base.
void EquationLine::InsertImplicitPowers() {
  TokenRow& row = root_;
  for (int i = 1; i < row.GetSize(); ++i) {
    if (!IsNumeralAt(row, i)) continue;
    const TokenKind before = row.KindAt(i - 1);
    TokenKind mark = TK_POWER;
    if (before == TK_FUNCTION) {
      if (row.KindAt(i + 1) == TK_DEGREE) continue;  // "cos30o" is an angle, not a power
      if (row.TextAt(i - 1) == "log") mark = TK_SUBSCRIPT;
    } else if (before != TK_VARIABLE && before != TK_CLOSE && before != TK_GREEK &&
               before != TK_UNIT) {
      continue;
    }
    InsertBracket(row, i + 1, TK_CLOSE, factory_);
    InsertBracket(row, i, TK_OPEN, factory_);
    row.InsertAt(i, factory_.NewToken(mark));
    if (mark == TK_POWER) row.GetAt(i)->SetText("^");
    i += 3;  // past the number's closing bracket
  }
}

// Each function with its argument becomes one bracket group; the scan goes
// on inside the argument, never at the same function again.
void EquationLine::BracketFunctionArguments() {
  TokenRow& row = root_;
  const BracketPairs pairs(row);
  for (int c = 0; c < row.GetSize(); ++c) {
    if (!TakesArgument(row.KindAt(c))) continue;
    if (BracketArgumentAt(row, c, factory_)) ++c;
  }
}

// "3root8" becomes ((3) root (8)) and "nCr" ((n) C (r)).
void EquationLine::BracketConstructOperands() {
  TokenRow& row = root_;
  const BracketPairs pairs(row);
  ConstructHeights heights;
  for (int i = row.GetSize() - 1; i >= 0; --i) {
    if (!IsInfixKeyword(row.KindAt(i))) continue;
    const int height = HeightAround(row, i + 1, heights);
    if (height > kMaxNestingDepth) {
      KeepAsText(*row.GetAt(i));
      continue;
    }
    const int start = BracketConstructLeft(row, i, factory_);
    if (BracketConstructRight(row, i, start, factory_)) NoteHeight(row, start, height, heights);
  }
}
