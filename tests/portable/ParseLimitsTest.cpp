// Lines that would nest the tree without bound: typed brackets beyond the
// nesting cap stay text, so the parse (and every walk of its tree) stays
// within a bounded depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/ParseRows.h"
#include "tests/portable/EngineTestSupport.h"

namespace {

int Depth(const TokenRow& row) {
  int depth = 0;
  for (const QVMToken* token : row.tokens)
    depth = std::max({depth, 1 + Depth(token->row1), 1 + Depth(token->row2)});
  return depth;
}

int CountKind(const TokenRow& row, TokenKind kind) {
  int count = 0;
  for (const QVMToken* token : row.tokens)
    count += (token->kind == kind) + CountKind(token->row1, kind) + CountKind(token->row2, kind);
  return count;
}

TEST(ParseLimits, ThirtyThousandOpeningBrackets) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText(CString(std::string(30000, '(')), options);
  EXPECT_EQ(CountKind(line.Root(), TK_BRACKETS), kMaxBracketDepth);
  EXPECT_LE(Depth(line.Root()), kMaxBracketDepth + 1);
  EXPECT_EQ(CountKind(line.Root(), TK_OPEN), 0);
}

TEST(ParseLimits, DeepBalancedBrackets) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText(CString(std::string(20000, '(') + "x" + std::string(20000, ')')), options);
  EXPECT_EQ(CountKind(line.Root(), TK_BRACKETS), kMaxBracketDepth);
  EXPECT_LE(Depth(line.Root()), kMaxBracketDepth + 2);
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

// A chain of fractions nests one level per operator.
TEST(ParseLimits, ThousandFractionsNest) {
  const QVMOptions options(0);
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "a/";
  EquationLine line;
  line.SetText(CString(text), options);
  EXPECT_EQ(CountKind(line.Root(), TK_FRACTION), 1000);
  EXPECT_EQ(CountKind(line.Root(), TK_OPEN), 0);
}

}  // namespace
