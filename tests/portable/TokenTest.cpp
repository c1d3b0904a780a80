// Token rows, the factory and the token tree dump.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/Token.h"
#include "options/QVMOptions.h"
#include "tests/portable/EngineTestSupport.h"

namespace {

// Builds rows from tokens of the test's own factory.
class TokenRowTest : public testing::Test {
 protected:
  QVMToken* Make(TokenKind kind, const char* text = "") {
    QVMToken* token = factory_.NewToken(kind);
    token->SetText(text);
    return token;
  }
  TokenRow RowOf(std::initializer_list<TokenKind> kinds) {
    TokenRow row;
    for (TokenKind kind : kinds) row.Append(Make(kind));
    return row;
  }

  QVMTokenFactory factory_;
  QVMOptions options_{0};
};

TEST_F(TokenRowTest, LookUpsOutsideTheRow) {
  TokenRow row = RowOf({TK_NUMBER});
  row.GetAt(0)->SetText("7");
  EXPECT_EQ(row.KindAt(0), TK_NUMBER);
  EXPECT_EQ(row.TextAt(0), "7");
  for (int index : {-1, 1, 100}) {
    EXPECT_EQ(row.KindAt(index), TK_ERROR);
    EXPECT_EQ(row.TextAt(index), "");
  }
}

TEST_F(TokenRowTest, MatchingBrackets) {
  // ( ( x )     and     ( [ x ] # )
  TokenRow open2 = RowOf({TK_OPEN, TK_OPEN, TK_VARIABLE, TK_CLOSE});
  EXPECT_EQ(open2.FindMatchingClose(0), -1);
  EXPECT_EQ(open2.FindMatchingClose(1), 3);
  EXPECT_EQ(open2.FindMatchingClose(2), 2);  // not an opening bracket
  EXPECT_EQ(open2.FindMatchingClose(4), -1);
  EXPECT_EQ(open2.FindMatchingOpen(3), 1);
  EXPECT_EQ(open2.FindMatchingOpen(2), -1);
  EXPECT_EQ(open2.FindMatchingOpen(-1), -1);

  TokenRow mixed = RowOf({TK_OPEN, TK_OPEN, TK_VARIABLE, TK_CLOSE, TK_CLOSE});
  mixed.GetAt(1)->SetText("");  // an invisible bracket matches like any other
  EXPECT_EQ(mixed.FindMatchingClose(0), 4);
  EXPECT_EQ(mixed.FindMatchingOpen(4), 0);
  EXPECT_EQ(mixed.FindMatchingOpen(3), 1);
}

// A row whose pairs a pass keeps answers every look-up as a row walking,
// while it is edited as the passes edit: brackets put before everything,
// in the middle and at the end, taken out and replaced, the row walked
// over now and then. Opening brackets thin out along the row and closing
// ones thicken, so that many pairs stand far apart.
TEST_F(TokenRowTest, KeptPairsAnswerAsTheWalk) {
  std::mt19937 random(7);
  auto kind = [&random](double along) {
    const double roll = static_cast<double>(random() % 1000) / 1000.0;
    return roll < 0.15 * (1 - along) ? TK_OPEN : roll > 1 - 0.15 * along ? TK_CLOSE : TK_VARIABLE;
  };
  for (int round = 0; round < 12; ++round) {
    TokenRow kept, walked;
    const int length = round % 2 == 0 ? 200 : 1500;
    for (int i = 0; i < length; ++i) {
      QVMToken* token = Make(kind(static_cast<double>(i) / length));
      kept.Append(token);
      walked.Append(token);
    }
    const BracketPairs pairs(kept);
    for (int edit = 0; edit < 150; ++edit) {
      const int size = kept.GetSize();
      const int at = edit % 4 == 0 ? 0 : static_cast<int>(random() % (size + 1));
      QVMToken* token = Make(kind(static_cast<double>(at) / (size + 1)));
      const int count = 1 + static_cast<int>(random() % 3);
      switch (random() % 5) {
        case 0: kept.RemoveAt(at, count); walked.RemoveAt(at, count); break;
        case 1: if (at < size) { kept.SetAt(at, token); walked.SetAt(at, token); } break;
        case 2: for (const QVMToken* each : kept) ASSERT_NE(each, nullptr); break;
        default: kept.InsertAt(at, token); walked.InsertAt(at, token); break;
      }
      for (int look = 0; look < 40; ++look) {
        const int i = static_cast<int>(random() % static_cast<unsigned>(kept.GetSize()));
        ASSERT_EQ(kept.FindMatchingClose(i), walked.FindMatchingClose(i)) << round << " " << edit << " " << i;
        ASSERT_EQ(kept.FindMatchingOpen(i), walked.FindMatchingOpen(i)) << round << " " << edit << " " << i;
      }
    }
  }
}

TEST_F(TokenRowTest, AppendOperatorTexts) {
  TokenRow row;
  EXPECT_EQ(row.AppendOperator(TK_POWER, factory_), 0);
  row.AppendOperator(TK_ADD, factory_);
  row.AppendOperator(TK_SUBTRACT, factory_);
  EXPECT_EQ(row.AppendOperator(TK_MULTIPLY, factory_), 3);
  EXPECT_EQ(row.TextAt(0), "^");
  EXPECT_EQ(row.TextAt(1), "+");
  EXPECT_EQ(row.TextAt(2), "-");
  EXPECT_EQ(row.TextAt(3), "");
  EXPECT_TRUE(row.GetAt(3)->needsLayout);
  EXPECT_EQ(factory_.GetCount(), 4);
}

// A column chain a ; b ; c: the second row of each column holds the next.
TEST_F(TokenRowTest, ColumnChain) {
  QVMToken* outer = Make(TK_COLUMN);
  QVMToken* inner = Make(TK_COLUMN);
  QVMToken* a = Make(TK_VARIABLE, "a");
  QVMToken* b = Make(TK_VARIABLE, "b");
  QVMToken* c = Make(TK_VARIABLE, "c");
  outer->row1.Append(a);
  outer->row2.Append(inner);
  inner->row1.Append(b);
  inner->row2.Append(c);
  EXPECT_EQ(TokenRow::ColumnDepth(outer), 3);
  EXPECT_EQ(TokenRow::ColumnDepth(inner), 2);
  EXPECT_EQ(TokenRow::ColumnDepth(a), 0);
  EXPECT_EQ(TokenRow::ColumnEntry(outer, 0), a);
  EXPECT_EQ(TokenRow::ColumnEntry(outer, 1), b);
  EXPECT_EQ(TokenRow::ColumnEntry(outer, 2), c);
  EXPECT_EQ(TokenRow::ColumnEntry(outer, 7), c);
  EXPECT_EQ(TokenRow::ColumnEntry(a, 0), nullptr);
}

TEST_F(TokenRowTest, IsAllNumericLooksIntoChildren) {
  TokenRow empty;
  EXPECT_TRUE(empty.IsAllNumeric());
  TokenRow row = RowOf({TK_NUMBER, TK_BRACKETS});
  EXPECT_TRUE(row.IsAllNumeric());
  row.GetAt(1)->row1.Append(Make(TK_VARIABLE));
  EXPECT_FALSE(row.IsAllNumeric());
}

TEST_F(TokenRowTest, ReplaceKind) {
  TokenRow row = RowOf({TK_ABS, TK_FRACTION});
  row.GetAt(1)->row1.Append(Make(TK_ABS));
  row.ReplaceKind(TK_ABS, TK_OPEN);
  EXPECT_EQ(row.KindAt(0), TK_OPEN);
  EXPECT_EQ(row.GetAt(1)->row1.KindAt(0), TK_OPEN);

  // Kind 0 retypes this row only, never the children.
  row.ReplaceKind(TK_ERROR, TK_SPACE);
  EXPECT_EQ(row.KindAt(0), TK_SPACE);
  EXPECT_EQ(row.KindAt(1), TK_SPACE);
  EXPECT_EQ(row.GetAt(1)->row1.KindAt(0), TK_OPEN);
}

// Only the rows of a small fraction are one level deeper.
TEST_F(TokenRowTest, NestingLevels) {
  QVMToken* small = Make(TK_SMALLFRACTION);
  QVMToken* fraction = Make(TK_FRACTION);
  QVMToken* numerator = Make(TK_NUMBER, "1");
  small->row1.Append(fraction);
  fraction->row1.Append(numerator);
  TokenRow row;
  row.Append(small);
  row.SetNestingLevel(0, options_);
  EXPECT_EQ(small->nestingLevel, 0);
  EXPECT_EQ(fraction->nestingLevel, 1);
  EXPECT_EQ(numerator->nestingLevel, 1);
}

TEST_F(TokenRowTest, ScriptLevels) {
  QVMToken* power = Make(TK_POWER);
  QVMToken* exponent = Make(TK_NUMBER, "2");
  QVMToken* sub = Make(TK_SUBSCRIPT);
  QVMToken* index = Make(TK_VARIABLE, "i");
  power->row1.Append(exponent);
  exponent->row1.Append(sub);  // only to reach a deeper level
  sub->row1.Append(index);
  TokenRow row;
  row.Append(power);
  row.SetScriptLevel(0.0, options_);
  EXPECT_DOUBLE_EQ(power->scriptLevel, 0.0);
  EXPECT_DOUBLE_EQ(exponent->scriptLevel, 1.0);
  EXPECT_DOUBLE_EQ(index->scriptLevel, 2.5);
}

TEST_F(TokenRowTest, MarkDirtyReachesEveryToken) {
  TokenRow row = RowOf({TK_FRACTION});
  QVMToken* child = Make(TK_NUMBER);
  row.GetAt(0)->row2.Append(child);
  row.SetNeedsLayout(false);
  row.GetAt(0)->needsLayout = false;
  row.GetAt(0)->row2.SetNeedsLayout(false);
  child->needsLayout = false;
  row.MarkDirty();
  EXPECT_TRUE(row.NeedsLayout());
  EXPECT_TRUE(row.GetAt(0)->needsLayout);
  EXPECT_TRUE(row.GetAt(0)->row2.NeedsLayout());
  EXPECT_TRUE(child->needsLayout);
}

TEST_F(TokenRowTest, SplitRawToken) {
  TokenRow row = RowOf({TK_RAW});
  row.GetAt(0)->SetText("abcde");
  row.SplitRawToken(0, 1, 2, TK_GREEK, factory_, CString(), CString("ignored"));
  ASSERT_EQ(row.GetSize(), 3);
  EXPECT_EQ(row.TextAt(0), "a");
  EXPECT_EQ(row.KindAt(1), TK_GREEK);
  EXPECT_EQ(row.TextAt(1), "bc");
  EXPECT_EQ(row.GetAt(1)->SecondText(), "");  // no text given: the typed piece
  EXPECT_EQ(row.TextAt(2), "de");
  EXPECT_EQ(row.KindAt(2), TK_RAW);

  row.SplitRawToken(2, 0, 1, TK_SYMBOL, factory_, CString("\xA5"), CString("de"));
  ASSERT_EQ(row.GetSize(), 5);
  EXPECT_EQ(row.TextAt(2), "");
  EXPECT_EQ(row.TextAt(3), "\xA5");
  EXPECT_EQ(row.GetAt(3)->SecondText(), "de");
  EXPECT_EQ(row.TextAt(4), "");
}

// Rows, second texts and matrix grids are made on demand; unmade they
// read as empty, and once made they behave as the members they replace.
TEST_F(TokenRowTest, PartsMadeOnDemandReadAsEmptyAndKeepWhatIsSet) {
  TokenRow row;
  EXPECT_TRUE(row.IsEmpty());
  EXPECT_EQ(row.begin(), row.end());
  EXPECT_TRUE(row.NeedsLayout());
  EXPECT_EQ(row.Extent().width, 0);
  row.RemoveAt(0);
  row.RemoveAll();
  row.SetNeedsLayout(false);
  EXPECT_FALSE(row.NeedsLayout());
  row.Append(Make(TK_NUMBER, "1"));
  row.RemoveAll();
  EXPECT_TRUE(row.IsEmpty());
  row.InsertAt(0, Make(TK_NUMBER, "2"));
  EXPECT_EQ(row.TextAt(0), "2");

  QVMToken* word = Make(TK_SYMBOL);
  word->Set(TK_SYMBOL, "\xA5", kMarkNone, "yen");
  EXPECT_EQ(word->SecondText(), "yen");
  word->Set(TK_RAW, "x", kMarkNone, CString());  // a new second text replaces the old one
  EXPECT_EQ(word->SecondText(), "");
  const QVMToken* plain = Make(TK_VARIABLE);
  EXPECT_TRUE(plain->Matrix().columnWidths.empty());
  word->Matrix().columnWidths = {3, 4};
  EXPECT_EQ(std::as_const(*word).Matrix().columnWidths.size(), 2u);
}

// The one walk a parse ends with leaves the levels and layout marks that
// the three walks it stands for leave.
TEST_F(TokenRowTest, PrepareLayoutSetsWhatTheSeparateWalksSet) {
  QVMOptions options(0);
  options.ShrinkNonAlgebraicFractions.Value = 1;
  EquationLine line;
  line.SetText("2 1/2+x^(a\\b/c)+sqrt(y)+(1,2)^3", options);
  auto levels = [](const TokenRow& root) {
    std::string out;
    std::vector<const TokenRow*> rows{&root};
    while (!rows.empty()) {
      const TokenRow* row = rows.back();
      rows.pop_back();
      out += row->NeedsLayout() ? "R" : "r";
      for (const QVMToken* token : *row) {
        out += std::to_string(token->nestingLevel) + "/" + std::to_string(token->scriptLevel) +
               (token->needsLayout ? "D " : "d ");
        rows.push_back(&token->row1);
        rows.push_back(&token->row2);
      }
    }
    return out;
  };
  const std::string prepared = levels(line.Root());
  EXPECT_NE(prepared.find("1/"), std::string::npos);  // a small fraction's rows go deeper
  EXPECT_NE(prepared.find("/2.5"), std::string::npos);  // a subscript in an exponent
  line.Root().PrepareLayout(3, 2.0, options);
  line.Root().SetNestingLevel(0, options);
  line.Root().SetScriptLevel(0.0, options);
  line.Root().MarkDirty();
  EXPECT_EQ(levels(line.Root()), prepared);
}

TEST(QVMTokenFactory, DeleteAllForgetsEveryToken) {
  QVMTokenFactory factory;
  for (int i = 0; i < 500; ++i) factory.NewToken(TK_NUMBER);
  EXPECT_EQ(factory.GetCount(), 500);
  factory.DeleteAll();
  EXPECT_EQ(factory.GetCount(), 0);
  QVMToken* token = factory.NewToken(TK_SPACE);
  EXPECT_EQ(token->kind, TK_SPACE);
  EXPECT_EQ(token->decoration, 2);
  EXPECT_TRUE(token->needsLayout);
  EXPECT_EQ(token->mark, kMarkNone);
#ifdef _WIN32
  EXPECT_DOUBLE_EQ(token->Pen(factory).Description.Width, 17.63888775);
  EXPECT_EQ(token->Pen(factory).Description.Style, 0x10006);
  EXPECT_EQ(token->Brush(factory).Description.Style, 1);
  EXPECT_EQ(token->Font().Description.Size, 388);
#endif
}

// ------------------------------------------------------------------ dump

TEST_F(TokenRowTest, DumpOfOneNumber) {
  TokenRow row;
  QVMToken* number = Make(TK_NUMBER, "12");
  number->extent.align = 35;
  number->extent.adjust = -4;
  row.Append(number);
  EXPECT_EQ(row.DumpTree().str(), "0 - TK_NUMBER align = 35, adjust = -4 \"12\"\r\n");
}

TEST_F(TokenRowTest, DumpOfChildRowsMarksAndStretch) {
  TokenRow row;
  row.Append(Make(TK_VARIABLE, "x"));
  QVMToken* power = Make(TK_POWER);
  power->row1.Append(Make(TK_NUMBER, "2"));
  row.Append(power);
  QVMToken* group = Make(TK_BRACKETS, "(,)");
  group->mark = kMarkUnderscore;
  group->stretch = 120;
  group->row2.Append(Make(TK_NUMBER, "0"));  // row 1 empty: row 2 still shows
  row.Append(group);
  EXPECT_EQ(row.DumpTree().str(), WithCrLf("0 - TK_VARIABLE align = 0, adjust = 0 \"x\"\n"
                                           "1 - TK_POWER align = 0, adjust = 0\n"
                                           " 1 0 - TK_NUMBER align = 0, adjust = 0 \"2\"\n"
                                           "2 - TK_BRACKETS align = 0, adjust = 0 \"(,)_\" 120 \n"
                                           " 2 0 - TK_NUMBER align = 0, adjust = 0 \"0\"\n"));
}

TEST_F(TokenRowTest, DumpMarkCharacters) {
  const char* const expected[] = {"\"a\"", "\"a.\"", "\"a:\"", "\"a^\"", "\"a_\"", "\"a\""};
  for (int mark = 0; mark <= 5; ++mark) {
    TokenRow row;
    QVMToken* token = Make(TK_VARIABLE, "a");
    token->mark = mark;
    row.Append(token);
    EXPECT_NE(row.DumpTree().str().find(expected[mark]), std::string::npos) << mark;
  }
}

TEST_F(TokenRowTest, DumpNamesKinds) {
  TokenRow row;
  row.Append(Make(TK_ERROR));
  row.Append(Make(TK_UNBOLDSYMBOL));
  row.Append(Make(static_cast<TokenKind>(54)));
  row.Append(Make(static_cast<TokenKind>(-1)));
  EXPECT_EQ(row.DumpTree().str(), WithCrLf("0 - TK_ERROR align = 0, adjust = 0\n"
                                           "1 - TK_UNBOLDSYMBOL align = 0, adjust = 0\n"
                                           "2 - TK_CONFUSED align = 0, adjust = 0\n"
                                           "3 - TK_CONFUSED align = 0, adjust = 0\n"));
  EXPECT_STREQ(TokenKindName(TK_WDSYMBOL), "TK_WDSYMBOL");
  EXPECT_STREQ(TokenKindName(TK_ABS), "TK_ABS");
}

TEST_F(TokenRowTest, DumpNestedPrefixes) {
  QVMToken* outer = Make(TK_FRACTION);
  QVMToken* inner = Make(TK_FRACTION);
  inner->row2.Append(Make(TK_NUMBER, "3"));
  outer->row1.Append(Make(TK_NUMBER, "1"));
  outer->row1.Append(inner);
  TokenRow row;
  row.Append(outer);
  EXPECT_EQ(row.DumpTree().str(), WithCrLf("0 - TK_FRACTION align = 0, adjust = 0\n"
                                           " 1 0 - TK_NUMBER align = 0, adjust = 0 \"1\"\n"
                                           " 1 1 - TK_FRACTION align = 0, adjust = 0\n"
                                           " 1  2 0 - TK_NUMBER align = 0, adjust = 0 \"3\"\n"));
  EXPECT_EQ(outer->DumpTree(), row.DumpTree());
}

}  // namespace
