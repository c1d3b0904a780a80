// Row operations the parse passes share: invisible brackets, moving tokens
// between rows, the groups before and after a token and the operand runs.
// Choices of ours: a run that takes a power also takes the power's bracketed
// exponent, and a run that takes opening brackets takes each group whole, so
// that no run ever ends inside a bracket group; bars never vanish around an
// operand ("|x|/2" is no x/2); operators nested past kMaxNestingDepth stay
// text.
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
// The same bound for the flat row once the operand passes have added their
// invisible brackets: operators ("x^x^x^...", "a/a/a/...", "3root3root...")
// and brackets nested deeper stay text.
constexpr int kMaxNestingDepth = kMaxBracketDepth;
// The grouping passes turn each bracket level into at most two levels of
// child rows, so no tree is deeper than this (the root row is level 1).
constexpr int kMaxTreeDepth = 2 * kMaxNestingDepth + 8;

// Kinds whose operands the grouping passes move into child rows.
bool NestsOperands(TokenKind kind);
// An operator or bracket nested too deep stays what was typed, as text; an
// invisible bracket becomes an empty raw token, which CapNestingDepth drops.
void KeepAsText(QVMToken& token);
// The brackets open after a token of `kind`, given `depth` open before it;
// a stray closing bracket changes nothing.
int DepthAfter(int depth, TokenKind kind);
// A set of token kinds as bits; a kind outside the list stands for every
// kind, so a set that holds it answers yes to any question.
constexpr uint64_t KindBit(TokenKind kind) {
  return kind >= 0 && kind < kTokenKindCount ? uint64_t{1} << kind : ~uint64_t{0};
}
// Beside the kinds, a set notes facts about letters and limits, in bits above every
// kind's: the passes that turn letters into combinations or vectors change
// nothing without them, and the walks that find them touch every token
// anyway.
// A bracket group given limits (its second row raises their script level).
constexpr uint64_t kBracketLimits = uint64_t{1} << 60;
// A letter C or P somewhere in the tree.
constexpr uint64_t kCombinationLetter = uint64_t{1} << 61;
// Two capital letters side by side in the root row.
constexpr uint64_t kCapitalPair = uint64_t{1} << 62;
// A letter i, j or k somewhere in the tree.
constexpr uint64_t kUnitLetter = uint64_t{1} << 63;
static_assert(kTokenKindCount <= 60);
bool IsCapitalLetter(const QVMToken& token);
bool IsUnitVectorLetter(const QVMToken& token);
// The kinds of every token in the row and below it, with kCombinationLetter
// and kUnitLetter.
uint64_t KindsInTree(const TokenRow& row);
// The same, and how deep the row's own brackets nest, in one walk.
struct RowSurvey {
  uint64_t kinds = 0;
  int deepest = 0;
};
RowSurvey SurveyRow(const TokenRow& row);

// Every operator and bracket of the flat row deeper than kMaxNestingDepth
// stays text, so that the grouping passes and every later walk of the tree
// recurse a bounded number of levels. Returns the kinds of the tree it
// leaves, with the facts about letters.
uint64_t CapNestingDepth(TokenRow& row, QVMTokenFactory& factory);
// What CapNestingDepth will make of the contents of each closed bracket
// group of the flat row nested kMaxNestingDepth deep, done before the
// operand passes bracket them. Right as long as the passes left to run
// before the cap act on those contents only through brackets they add
// there (which the cap drops) and operators they leave (which the cap
// keeps as text): the passes that work around operands see such a group
// as a whole, and none brings its contents to a lesser depth. Signs merged
// into numbers and implicit powers depend on the brackets beside them:
// `signs` and `powers` tell that those passes will run, and then nothing
// is done when some group holds what they could act on.
void KeepDeepGroupsAsText(TokenRow& row, QVMTokenFactory& factory, bool signs, bool powers);
// "x^a/x^a/...": each "/" takes the exponent before it as its numerator
// and the next power as its denominator, whose exponent group then holds
// the next fraction, so every piece nests two levels deeper than the one
// before. What CapNestingDepth will make of the pieces so deep, done before
// the script and divide passes bracket them: their marks stay text inside
// one invisible pair, which the divide pass takes as the last kept
// fraction's denominator group, as it would take the powers' nested groups.
// Done only for a chain of pieces of letters, numbers and units ("x^a/",
// "^/") that ends the row, perhaps with such a power or operand after the
// last "/", after balanced brackets: the other operand passes then act
// there alike either way, and nothing before the chain nests it less deep.
void KeepDeepPowerFractionsAsText(TokenRow& row, QVMTokenFactory& factory);
// "/root/root/...": each root takes the next fraction as its argument, and
// the divide pass brackets the root with it as the denominator, so every
// piece nests at least two levels deeper than the one before. As for the
// power fractions, the pieces past the cap's depth are made text inside one
// invisible pair where the divide pass would open the next fraction's
// group; done only for such a chain that ends the row after balanced
// brackets.
void KeepDeepRootFractionsAsText(TokenRow& row, QVMTokenFactory& factory);

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
// Round, square and curly brackets delimit an operand and vanish around it;
// bars are part of what they enclose (an absolute value) and stay drawn.
// Brackets the passes made (empty text) and the typed invisible "#" count
// as delimiters.
bool IsDelimiterOpen(const QVMToken& token);
bool IsDelimiterClose(const QVMToken& token);
// The group opened at `open` is delimited by such brackets (its closing one
// may be missing).
bool IsDelimiterGroup(const TokenRow& row, int open);
// The same for a group whose closing bracket is known (`match`, -1 when it
// has none): in long rows finding it is the dear part.
bool IsDelimiterPair(const TokenRow& row, int open, int match);
// The same for a bracket group token's text ("(,)", ",", "(,#").
bool IsDelimiterText(const CString& text);
// Empties the text of a group's opening bracket and its match, when they
// are delimiters; a lone closing delimiter is emptied too.
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
