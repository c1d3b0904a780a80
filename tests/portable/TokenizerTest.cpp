// Golden flat rows of the tokenizer: the words, numbers, brackets and
// characters of one line, for the default styles and a few changed options.
#include <gtest/gtest.h>

#include "tests/portable/EngineTestSupport.h"

namespace {

using Row = std::vector<FlatToken>;

struct TokenizerCase {
  const char* name;
  int style;
  void (*tweak)(QVMOptions&);
  std::string text;
  Row expected;
};

void NoDegreeSwitch(QVMOptions& o) { o.ParseSwitches[9] = false; }
void SelfMacro(QVMOptions& o) { o.MacroList.Value = "ab%xab%"; }
void NoWingdings(QVMOptions& o) { o.UseWingdings.Value = false; }

// The tokens of one expansion of the style-0 macro "qf".
Row QuadraticFormula() {
  return {{"TK_VARIABLE", "x"}, {"TK_EQUAL", "="},   {"TK_OPEN", "("},      {"TK_SUBTRACT", "-"},
          {"TK_VARIABLE", "b"}, {"TK_RAW", "\xB1"},  {"TK_SQRT", "sr"},     {"TK_OPEN", "("},
          {"TK_VARIABLE", "b"}, {"TK_NUMBER", "2"},  {"TK_SUBTRACT", "-"},  {"TK_NUMBER", "4"},
          {"TK_VARIABLE", "a"}, {"TK_VARIABLE", "c"}, {"TK_CLOSE", ")"},    {"TK_CLOSE", ")"},
          {"TK_DIVIDE", "/"},   {"TK_NUMBER", "2"},  {"TK_VARIABLE", "a"}};
}

Row Twice(const Row& row) {
  Row out = row;
  out.insert(out.end(), row.begin(), row.end());
  return out;
}

const TokenizerCase kCases[] = {
    // Words come before single characters.
    {"SpacedSlash", 0, nullptr, "1/ 2",
     {{"TK_NUMBER", "1"}, {"TK_SPACEDSYMBOL", "\xB8"}, {"TK_NUMBER", "2"}}},
    {"InverseFunction", 0, nullptr, "sin-1x", {{"TK_ARCSINCOSTAN", "sin-1"}, {"TK_VARIABLE", "x"}}},
    {"Function", 0, nullptr, "sinx", {{"TK_FUNCTION", "sin"}, {"TK_VARIABLE", "x"}}},
    {"Mark", 0, nullptr, "a:b", {{"TK_VARIABLE", "a"}, {"TK_MODIFIER", ":"}, {"TK_VARIABLE", "b"}}},
    {"Ratio", 0, nullptr, "a :b", {{"TK_VARIABLE", "a"}, {"TK_NUMBER", " :"}, {"TK_VARIABLE", "b"}}},
    {"Relation", 0, nullptr, "a>=b",
     {{"TK_VARIABLE", "a"}, {"TK_SPACEDSYMBOL", "\xB3"}, {"TK_VARIABLE", "b"}}},
    {"OverArrowBeforeRelation", 0, nullptr, "a-->b",
     {{"TK_VARIABLE", "a"}, {"TK_IVRIGHT", "-->"}, {"TK_VARIABLE", "b"}}},
    {"ArrowRelation", 0, nullptr, "a->b",
     {{"TK_VARIABLE", "a"}, {"TK_SPACEDSYMBOL", "\xAE"}, {"TK_VARIABLE", "b"}}},
    {"Greek", 0, nullptr, "2pi", {{"TK_NUMBER", "2"}, {"TK_GREEK", "p"}}},
    {"Unit", 0, nullptr, "5cm", {{"TK_NUMBER", "5"}, {"TK_UNIT", "cm"}}},
    {"Prime", 0, nullptr, "f'", {{"TK_VARIABLE", "f"}, {"TK_UNBOLDSYMBOL", "\xA2"}}},
    {"Constructs", 0, nullptr, "sqrt(x)int",
     {{"TK_SQRT", "sqrt"}, {"TK_OPEN", "("}, {"TK_VARIABLE", "x"}, {"TK_CLOSE", ")"},
      {"TK_CODEDRAW2", "int"}}},
    {"ArcAndDiv", 0, nullptr, "arc div", {{"TK_ARC", "arc"}, {"TK_SPACE", " "}, {"TK_LONGDIV", "div"}}},
    {"KeywordBrackets", 0, nullptr, "|[a]|",
     {{"TK_OPEN", "|["}, {"TK_VARIABLE", "a"}, {"TK_CLOSE", "]|"}}},
    {"PlusMinusStaysOneCharacter", 0, nullptr, "a+-b",
     {{"TK_VARIABLE", "a"}, {"TK_RAW", "\xB1"}, {"TK_VARIABLE", "b"}}},
    {"AutoReplaceIsLexedAfterwards", 0, nullptr, "xx+1",
     {{"TK_VARIABLE", "x"}, {"TK_NUMBER", "2"}, {"TK_ADD", "+"}, {"TK_NUMBER", "1"}}},
    // Macros are expanded once and the expansion is never expanded again.
    {"MacroTwice", 0, nullptr, "qfqf", Twice(QuadraticFormula())},
    {"SelfReferencingMacro", 0, SelfMacro, "abab",
     {{"TK_VARIABLE", "x"}, {"TK_VARIABLE", "a"}, {"TK_VARIABLE", "b"}, {"TK_VARIABLE", "x"},
      {"TK_VARIABLE", "a"}, {"TK_VARIABLE", "b"}}},
    // Quotes.
    {"Quotes", 0, nullptr, "a\"b\"c\"d\"e",
     {{"TK_VARIABLE", "a"}, {"TK_QUOTED", "\"b\""}, {"TK_VARIABLE", "c"}, {"TK_QUOTED", "\"d\""},
      {"TK_VARIABLE", "e"}}},
    {"UnclosedQuote", 0, nullptr, "a\"b+c", {{"TK_VARIABLE", "a"}, {"TK_QUOTED", "\"b+c"}}},
    {"QuotedWordsStayText", 0, nullptr, "\"sin pi\"", {{"TK_QUOTED", "\"sin pi\""}}},
    // Numbers.
    {"TwoPoints", 0, nullptr, "1.2.3", {{"TK_NUMBER", "1.2"}, {"TK_NUMBER", ".3"}}},
    {"TrailingPoint", 0, nullptr, "5.x",
     {{"TK_NUMBER", "5"}, {"TK_QUOTED", "."}, {"TK_VARIABLE", "x"}}},
    {"LeadingPoint", 0, nullptr, ".5", {{"TK_NUMBER", ".5"}}},
    {"LonePoint", 0, nullptr, "x.y", {{"TK_VARIABLE", "x"}, {"TK_QUOTED", "."}, {"TK_VARIABLE", "y"}}},
    {"HighBytesAreNoDigits", 0, nullptr, "x\xB2\xB3\xB9", {{"TK_VARIABLE", "x"}, {"TK_RAW", "\xB2\xB3\xB9"}}},
    // The degree sign.
    {"Degree", 0, nullptr, "30o", {{"TK_NUMBER", "30"}, {"TK_DEGREE", "o"}}},
    {"DegreeSwitchOff", 0, NoDegreeSwitch, "30o", {{"TK_NUMBER", "30"}, {"TK_VARIABLE", "o"}}},
    {"GraveDegree", 0, nullptr, "30`", {{"TK_NUMBER", "30"}, {"TK_DEGREE", "`"}}},
    // Circled digits only as words of their own.
    {"CircledDigitBetweenSpaces", 0, nullptr, " (3) ",
     {{"TK_SPACE", " "}, {"TK_WDSYMBOL", "\x83"}, {"TK_SPACE", " "}}},
    {"CircledDigitAlone", 0, nullptr, "(3)", {{"TK_WDSYMBOL", "\x83"}}},
    {"CircledDigitAfterTab", 0, nullptr, "a\xBB(3)",
     {{"TK_VARIABLE", "a"}, {"TK_TAB", "\xBB"}, {"TK_WDSYMBOL", "\x83"}}},
    {"BracketsAfterLetter", 0, nullptr, "x(3)",
     {{"TK_VARIABLE", "x"}, {"TK_OPEN", "("}, {"TK_NUMBER", "3"}, {"TK_CLOSE", ")"}}},
    {"BracketsBeforeLetter", 0, nullptr, "(3)x",
     {{"TK_OPEN", "("}, {"TK_NUMBER", "3"}, {"TK_CLOSE", ")"}, {"TK_VARIABLE", "x"}}},
    {"NoWingdings", 0, NoWingdings, "(3)", {{"TK_OPEN", "("}, {"TK_NUMBER", "3"}, {"TK_CLOSE", ")"}}},
    // Bars.
    {"ThreeBars", 0, nullptr, "|a|b|c|",
     {{"TK_OPEN", "|"}, {"TK_VARIABLE", "a"}, {"TK_CLOSE", "|"}, {"TK_VARIABLE", "b"},
      {"TK_OPEN", "|"}, {"TK_VARIABLE", "c"}, {"TK_CLOSE", "|"}}},
    {"TwoBars", 0, nullptr, "||", {{"TK_OPEN", "|"}, {"TK_OPEN", "|"}}},
    {"NestedBars", 0, nullptr, "||x||",
     {{"TK_OPEN", "|"}, {"TK_OPEN", "|"}, {"TK_VARIABLE", "x"}, {"TK_CLOSE", "|"}, {"TK_CLOSE", "|"}}},
    // Single characters.
    {"Operators", 0, nullptr, "a*b^2=c<d>e",
     {{"TK_VARIABLE", "a"}, {"TK_MULTIPLY", "*"}, {"TK_VARIABLE", "b"}, {"TK_POWER", "^"},
      {"TK_NUMBER", "2"}, {"TK_EQUAL", "="}, {"TK_VARIABLE", "c"}, {"TK_LESS", "<"},
      {"TK_VARIABLE", "d"}, {"TK_GREATER", ">"}, {"TK_VARIABLE", "e"}}},
    {"Brackets", 0, nullptr, "[{}]#",
     {{"TK_OPEN", "["}, {"TK_OPEN", "{"}, {"TK_CLOSE", "}"}, {"TK_CLOSE", "]"}, {"TK_CLOSE", "#"}}},
    {"Subscripts", 0, nullptr, "x\\1y\xA7",
     {{"TK_VARIABLE", "x"}, {"TK_SUBSCRIPT", "\\"}, {"TK_NUMBER", "1"}, {"TK_VARIABLE", "y"},
      {"TK_SUBSCRIPT", "\xA7"}}},
    {"NoBreakSpace", 0, nullptr, "a\xA0 b",
     {{"TK_VARIABLE", "a"}, {"TK_NOSPACE", "\xA0"}, {"TK_SPACE", " "}, {"TK_VARIABLE", "b"}}},
    {"UnknownCharactersStayTogether", 0, nullptr, "a!?&\xE9",
     {{"TK_VARIABLE", "a"}, {"TK_RAW", "!?&\xE9"}}},
    {"Empty", 0, nullptr, "", {}},
    // Style 3: no macros, quotes, matrices or "o" degree sign.
    {"Style3Macro", 3, nullptr, "qf", {{"TK_VARIABLE", "q"}, {"TK_VARIABLE", "f"}}},
    {"Style3Quotes", 3, nullptr, "\"b\"",
     {{"TK_RAW", "\""}, {"TK_VARIABLE", "b"}, {"TK_RAW", "\""}}},
    {"Style3Degree", 3, nullptr, "30o", {{"TK_NUMBER", "30"}, {"TK_VARIABLE", "o"}}},
    {"Style3EmptyUnits", 3, nullptr, "5cm", {{"TK_NUMBER", "5"}, {"TK_VARIABLE", "c"}, {"TK_VARIABLE", "m"}}},
    // Style 4: the reduced mode knows only Greek, numbers, spaces and "/".
    {"ReducedMode", 4, nullptr, "pi+x/2 a`",
     {{"TK_GREEK", "p"}, {"TK_RAW", "+x"}, {"TK_DIVIDE", "/"}, {"TK_NUMBER", "2"},
      {"TK_SPACE", " "}, {"TK_RAW", "a"}, {"TK_DEGREE", "`"}}},
};

void PrintTo(const TokenizerCase& c, std::ostream* out) { *out << c.name; }

class TokenizerGolden : public testing::TestWithParam<TokenizerCase> {};

TEST_P(TokenizerGolden, FlatRow) {
  const TokenizerCase& c = GetParam();
  QVMOptions options(c.style);
  if (c.tweak != nullptr) c.tweak(options);
  EXPECT_EQ(TokensOf(c.text, options), FlatDump(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, TokenizerGolden, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TokenizerCase>& param) {
                           return std::string(param.param.name);
                         });

// Keywords keep the word as typed beside their code.
TEST(Tokenizer, KeywordKeepsTypedWord) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText("1/ 2", options);
  ASSERT_EQ(line.Root().GetSize(), 3);
  EXPECT_EQ(line.Root().GetAt(1)->SecondText(), "/ ");
  EXPECT_EQ(line.Root().GetAt(0)->SecondText(), "");
}

// The separator follows the locale's decimal point ("," or ";").
TEST(Tokenizer, SeparatorFromOptions) {
  const QVMOptions options(0);
  ASSERT_FALSE(options.Separator.Value.IsEmpty());
  const std::string separator = options.Separator.Value.str();
  EXPECT_EQ(TokensOf("a" + separator + "b", options),
            FlatDump({{"TK_VARIABLE", "a"}, {"TK_SEPARATOR", separator}, {"TK_VARIABLE", "b"}}));
}

TEST(Tokenizer, EmptySeparatorSplitsNothing) {
  QVMOptions options(0);
  options.Separator.Value = "";
  EXPECT_EQ(TokensOf("a,b", options),
            FlatDump({{"TK_VARIABLE", "a"}, {"TK_RAW", ","}, {"TK_VARIABLE", "b"}}));
}

// Every byte value, alone and in runs, goes through without a fault.
TEST(Tokenizer, AllByteValues) {
  const QVMOptions options(0);
  std::string all;
  for (int c = 1; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_FALSE(DumpOf(one, options).empty()) << "byte " << c;
    all += one;
  }
  EXPECT_FALSE(DumpOf(all + all, options).empty());
}

}  // namespace
