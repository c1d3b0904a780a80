// Lines that would nest the tree without bound: typed brackets and chained
// operators beyond the nesting cap stay text, so the parse (and every walk
// of its tree) stays within a bounded depth.
#include <gtest/gtest.h>

#include <cstdint>
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

// Families of lines whose parse once grew faster than linearly keep their
// trees, at a few hundred characters: `piece` repeated, then `closers` as
// often. The dump is long; its FNV-1a hash stands for it.
struct FamilyTree {
  const char* piece;
  const char* closers;
  uint64_t dumpHash;
};

uint64_t Fnv1a(const CString& text) {
  uint64_t hash = 14695981039346656037ull;
  for (int i = 0; i < text.GetLength(); ++i) {
    hash ^= static_cast<unsigned char>(text.GetAt(i));
    hash *= 1099511628211ull;
  }
  return hash;
}

// clang-format off
const FamilyTree kFamilyTrees[] = {
  {"x^a/",  "",  0xa5ded5248243cd8full}, {"/^",     "",  0x91ebbb9ef0ae70aaull},
  {"^/",    "",  0xcf6180dd7468da53ull}, {"/)",     "",  0xd31cc1dd12f388a5ull},
  {",)",    "",  0x177ff9e5b48903c5ull}, {"),",     "",  0x058ec37a56b54eecull},
  {"/]",    "",  0x508bc5617159c9f9ull}, {")root",  "",  0x8eaa52322e752b9dull},
  {")div",  "",  0xacfee18634afad0aull}, {"/root",  "",  0xc0dab705d0af632eull},
  {"/|",    "",  0x6f44ab18db2bfedbull}, {"/x",     "",  0x0b00327f6d299c73ull},
  {"/sqrt(", "", 0xe1a93dcc6e15b7e8ull}, {"^a",     "",  0xa8bb4a0be7bf3785ull},
  {"\\_",   "",  0x0a3f3ddf4a79e141ull}, {"1/(",    ")", 0x0e81bfc94299807dull},
  {"/(",    ")", 0x80881b5fb5941cb8ull}, {",(",     ")", 0x4ab629a70e3db8fcull},
  {",[",    "]", 0x4ab629a70e3db8fcull}, {"^(",     ")", 0xf547b2ad4f75c565ull},
  {"(root", ")", 0x6a1ba714d01ee2ebull}, {"^//",    "",  0xbe43504f53c4897full},
  {"/|^",   "|", 0x300705a724c0b157ull}, {"sqrt(rootroot", "", 0x34b200103deece6dull},
  {"rootroot(", "", 0x0933b325c1e2bc67ull}, {"(divdiv", "", 0x913721ad5ef646d3ull},
  {", /",   "",  0x8a4271bb270289b4ull}, {",^/",    "",  0x8f7f1d2bfd4b74d8ull},
};
// clang-format on

TEST(ParseLimits, FamiliesKeepTheirTrees) {
  const QVMOptions options(0);
  for (const FamilyTree& family : kFamilyTrees) {
    const std::string piece = family.piece, closers = family.closers;
    const size_t count = 300 / (piece.size() + closers.size());
    std::string text;
    for (size_t i = 0; i < count; ++i) text += piece;
    for (size_t i = 0; i < count; ++i) text += closers;
    EquationLine line;
    line.SetText(CString(text), options);
    EXPECT_EQ(Fnv1a(line.DumpTree()), family.dumpHash) << text;
  }
}

}  // namespace
