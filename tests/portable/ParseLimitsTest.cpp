// Lines that would nest the tree without bound: typed brackets and chained
// operators beyond the nesting cap stay text, so the parse (and every walk
// of its tree) stays within a bounded depth.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "engine/ParseRows.h"
#include "tests/portable/EngineTestSupport.h"

namespace {

int CountKind(const TokenRow& row, TokenKind kind) {
  int count = 0;
  for (const QVMToken* token : row)
    count += (token->kind == kind) + CountKind(token->row1, kind) + CountKind(token->row2, kind);
  return count;
}

TEST(ParseLimits, ThirtyThousandOpeningBrackets) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText(CString(std::string(30000, '(')), options);
  EXPECT_EQ(CountKind(line.Root(), TK_BRACKETS), kMaxBracketDepth);
  EXPECT_LE(TreeDepth(line.Root()), kMaxBracketDepth + 1);
  EXPECT_EQ(CountKind(line.Root(), TK_OPEN), 0);
}

TEST(ParseLimits, DeepBalancedBrackets) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText(CString(std::string(20000, '(') + "x" + std::string(20000, ')')), options);
  EXPECT_EQ(CountKind(line.Root(), TK_BRACKETS), kMaxBracketDepth);
  EXPECT_LE(TreeDepth(line.Root()), kMaxBracketDepth + 2);
}

// The cap counts typed brackets of every shape; the one past it is text,
// and so is its partner.
TEST(ParseLimits, BracketPastTheCapStaysText) {
  const QVMOptions options(0);
  const int depth = kMaxBracketDepth + 1;
  EquationLine line;
  line.SetText(CString(std::string(depth, '[') + "x" + std::string(depth, ']')), options);
  EXPECT_EQ(CountKind(line.Root(), TK_BRACKETS), kMaxBracketDepth);
  const QVMToken* inner = line.Root().GetAt(0);
  while (inner->row1.KindAt(0) == TK_BRACKETS) inner = inner->row1.GetAt(0);
  ASSERT_EQ(inner->row1.GetSize(), 3);
  EXPECT_EQ(inner->row1.KindAt(0), TK_RAW);
  EXPECT_EQ(inner->row1.TextAt(0), "[");
  EXPECT_EQ(inner->row1.KindAt(2), TK_RAW);
  EXPECT_EQ(inner->row1.TextAt(2), "]");
}

std::string Repeat(const std::string& piece, size_t bytes) {
  std::string text;
  while (text.size() + piece.size() <= bytes) text += piece;
  return text;
}

// Tokens of `kind` anywhere in the tree that hold `text`.
int CountText(const TokenRow& row, TokenKind kind, const CString& text) {
  int count = 0;
  for (const QVMToken* token : row)
    count += (token->kind == kind && token->text == text) + CountText(token->row1, kind, text) +
             CountText(token->row2, kind, text);
  return count;
}

struct Chain {
  const char* piece;  // repeated to 30,000 bytes
  const char* tail;   // ends the line, so that the last operator has an operand
  int style;
  TokenKind made;      // the node each operator becomes while it may nest
  const char* typed;   // the operator as typed, which it keeps past the cap
};

void PrintTo(const Chain& chain, std::ostream* out) {
  *out << '"' << chain.piece << "\" in style " << chain.style;
}

class ParseChain : public testing::TestWithParam<Chain> {};

// Every operator of the chain is either a node or, past the cap, its own
// text in a row: none is lost, and the tree stays within kMaxTreeDepth.
TEST_P(ParseChain, StaysWithinTheDepthCap) {
  const Chain& chain = GetParam();
  const std::string text = Repeat(chain.piece, 30000) + chain.tail;
  EquationLine line;
  line.SetText(CString(text), QVMOptions(chain.style));
  EXPECT_EQ(CheckTree(line), "");
  EXPECT_LE(TreeDepth(line.Root()), kMaxTreeDepth);
  if (chain.typed == nullptr) return;
  const int operators = static_cast<int>(30000 / std::string(chain.piece).size());
  const int nodes = CountKind(line.Root(), chain.made);
  const int kept = CountText(line.Root(), TK_RAW, chain.typed);
  EXPECT_EQ(nodes + kept, operators);
  EXPECT_GT(nodes, kMaxNestingDepth / 4) << "the chain nests up to the cap";
}

// clang-format off
const Chain kChains[] = {
  {"x^",     "",  0, TK_POWER,       "^"},
  {"x^",     "",  4, TK_POWER,       nullptr},  // reduced mode: no powers at all
  {"a/",     "",  0, TK_FRACTION,    "/"},
  {"a/",     "",  4, TK_FRACTION,    "/"},
  {"x\\",    "",  0, TK_SUBSCRIPT,   "\\"},
  {"x_",     "",  0, TK_MODIFIER,    nullptr},
  {"a,",     "",  0, TK_COLUMN,      ","},
  {"3root",  "",  0, TK_ROOT,        "root"},
  {"aC",     "a", 0, TK_COMBINATION, "C"},
  {"adiv",   "",  0, TK_LONGDIV,     "div"},
  {"sqrt",   "",  0, TK_SQRT,        nullptr},
  {"sqrt(",  "",  0, TK_SQRT,        nullptr},
  {"sin(",   "",  0, TK_BRACKETS,    nullptr},
  {"|",      "",  0, TK_BRACKETS,    nullptr},
  {"x^a/",   "",  0, TK_FRACTION,    nullptr},
  {"a/x^",   "",  0, TK_FRACTION,    nullptr},
  {"x^a,b/", "",  0, TK_COLUMN,      nullptr},
  {"|x|/",   "",  0, TK_FRACTION,    "/"},
  {"(a)/",   "",  0, TK_FRACTION,    "/"},
  {"x2^",    "",  0, TK_POWER,       nullptr},
  {"sin x^", "",  0, TK_POWER,       nullptr},
  {"-->x^",  "",  0, TK_POWER,       nullptr},
  {"int(x^", "",  0, TK_POWER,       nullptr},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(ThirtyThousandBytes, ParseChain, testing::ValuesIn(kChains));

// The cap counts typed brackets and the operators' own brackets together:
// powers inside the deepest typed brackets stay text, and the brackets
// themselves stay groups.
TEST(ParseLimits, PowersInsideDeepBrackets) {
  const QVMOptions options(0);
  EquationLine line;
  const std::string open(kMaxBracketDepth, '(');
  const std::string close(kMaxBracketDepth, ')');
  line.SetText(CString(open + Repeat("x^", 4000) + close), options);
  EXPECT_EQ(CheckTree(line), "");
  EXPECT_EQ(CountKind(line.Root(), TK_BRACKETS) - CountKind(line.Root(), TK_POWER),
            kMaxBracketDepth);
  EXPECT_EQ(CountText(line.Root(), TK_RAW, "^") + CountKind(line.Root(), TK_POWER), 2000);
}

// Lines short of the cap nest as before.
TEST(ParseLimits, ShortChainsNestFully) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText(CString(Repeat("a/", 2 * 20)), options);
  EXPECT_EQ(CountKind(line.Root(), TK_FRACTION), 20);
  line.SetText(CString(Repeat("x^", 2 * 90)), options);
  EXPECT_EQ(CountKind(line.Root(), TK_POWER), 90);
  EXPECT_EQ(CountKind(line.Root(), TK_RAW), 0);
}

}  // namespace
