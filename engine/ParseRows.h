// Row operations the parse passes share: invisible brackets, moving tokens
// between rows, the groups before and after a token and the operand runs.
// Choices of ours: a run that takes a power also takes the power's bracketed
// exponent, and a run that takes opening brackets takes each group whole, so
// that no run ever ends inside a bracket group.
#pragma once

#include "engine/Token.h"

// An inclusive range of token indices; empty when last < first.
struct TokenSpan {
  int first = 0;
  int last = -1;
  bool Empty() const { return last < first; }
  int Count() const { return Empty() ? 0 : last - first + 1; }
};

// Typed brackets beyond this depth stay text, so that no line can nest the
// tree (and the recursion over it) without bound.
constexpr int kMaxBracketDepth = 100;

QVMToken* NewBracket(QVMTokenFactory& factory, TokenKind kind);
void InsertBracket(TokenRow& row, int index, TokenKind kind, QVMTokenFactory& factory);
QVMToken* NewSpace(QVMTokenFactory& factory);
bool IsInvisible(const TokenRow& row, int index, TokenKind kind);

// TK_NUMBER other than the ratio word " :", which is a number only by kind.
bool IsNumeral(const QVMToken& token);
bool IsNumeralAt(const TokenRow& row, int index);

bool IsSpaceKind(TokenKind kind);
// The first index from i on that holds no space or no-break space.
int SkipSpaces(const TokenRow& row, int i);

// Moves the tokens of `span` to the end of `to`.
void MoveTokens(TokenRow& from, TokenSpan span, TokenRow& to);
// The match of an opening bracket, or the row's last index when it has none.
int GroupEnd(const TokenRow& row, int open);
// The token after i up to its match (to the end of the row when unmatched).
TokenSpan GroupAfter(const TokenRow& row, int i);
// From the match of the closing bracket before i to i - 1; empty otherwise.
TokenSpan GroupBefore(const TokenRow& row, int i);
// Round parentheses only delimit an operand and vanish around it; bars,
// square and curly brackets are part of what they enclose and stay drawn.
// Brackets the passes made (empty text) and the typed invisible "#" count
// as parentheses.
bool IsDelimiterOpen(const QVMToken& token);
bool IsDelimiterClose(const QVMToken& token);
// The group opened at `open` is delimited by parentheses (its closing one
// may be missing).
bool IsDelimiterGroup(const TokenRow& row, int open);
// The same for a bracket group token's text ("(,)", ",", "(,#").
bool IsDelimiterText(const CString& text);
// Empties the text of a group's opening bracket and its match, when they
// are parentheses; a lone closing parenthesis is emptied too.
void HideGroupBrackets(TokenRow& row);

using TokenTest = bool (*)(const QVMToken& token, bool first);
// One past the end of the operand run starting at `start`.
int RunEndRight(const TokenRow& row, int start, TokenTest accepts);
// The first index of the operand run ending at `last` (last + 1 when empty);
// an exponent group is taken with its power and its base.
int RunStartLeft(const TokenRow& row, int last, TokenTest accepts);
// True when the closing bracket at i ends a power's exponent group.
bool ClosesExponent(const TokenRow& row, int i);

// Turns every TK_FRACTION of the token and below into TK_SMALLFRACTION.
void ShrinkFractions(QVMToken& token);
