// Word tables: list reading, value conversion, order and longest match, and
// the tables a line builds from its options.
#include <gtest/gtest.h>

#include "engine/EquationLine.h"
#include "engine/Lexicon.h"
#include "options/QVMOptions.h"

namespace {

// The replacement a table stores for one key/value pair.
CString ReplacementOf(const char* value) {
  LexiconTable table;
  table.AddList(CString("k,") + value, TK_SYMBOL, true, ',');
  EXPECT_EQ(table.GetCount(), 1);
  return table.GetCount() == 1 ? table.EntryAt(0).replacement : CString("<none>");
}

struct ValueCase {
  const char* value;
  std::string replacement;
};

// Only finite whole numbers 1..255 become one character.
TEST(LexiconTable, PairValueConversion) {
  const ValueCase cases[] = {
      {"1", "\x01"},       {"179", "\xB3"},      {"255", "\xFF"},  {"4/2", "\x02"},
      {"12.0", "\x0C"},    {"0", "0"},           {"2.5", "2.5"},   {"256", "256"},
      {"-5", "-5"},        {"-1", "-1"},         {"-1e300", "-1e300"}, {"-inf", "-inf"},
      {"1/0", "1/0"},      {"nan", "nan"},       {"D", "D"},       {"^", "^"},
      {"x2", "x2"},        {"3.1415927", "3.1415927"}, {"1e999", "1e999"},
  };
  for (const ValueCase& c : cases) EXPECT_EQ(ReplacementOf(c.value).str(), c.replacement) << c.value;
}

// An empty value is text that is no number: the key stays as typed.
TEST(LexiconTable, EmptyValueKeepsEmptyReplacement) {
  EXPECT_EQ(ReplacementOf("").str(), "");
}

TEST(LexiconTable, PlainListItems) {
  LexiconTable table;
  table.AddList("a,b", TK_FUNCTION, false, ',');
  table.AddList("c,", TK_FUNCTION, false, ',');
  table.AddList("", TK_FUNCTION, false, ',');
  ASSERT_EQ(table.GetCount(), 5);
  EXPECT_EQ(table.EntryAt(0).key, "a");
  EXPECT_EQ(table.EntryAt(1).key, "b");
  EXPECT_EQ(table.EntryAt(2).key, "c");
  EXPECT_EQ(table.EntryAt(3).key, "");
  EXPECT_EQ(table.EntryAt(4).key, "");
  EXPECT_EQ(table.EntryAt(0).kind, TK_FUNCTION);
}

TEST(LexiconTable, PairListDropsLoneLastKey) {
  LexiconTable table;
  table.AddList("a,1,b", TK_GREEK, true, ',');
  ASSERT_EQ(table.GetCount(), 1);
  EXPECT_EQ(table.EntryAt(0).key, "a");
  table.Assign("m%x=1%n%", TK_RAW, true, '%');
  ASSERT_EQ(table.GetCount(), 2);
  EXPECT_EQ(table.EntryAt(1).key, "n");
  EXPECT_EQ(table.EntryAt(1).replacement, "");
}

// An empty key never matches, so a zero-length match cannot happen.
TEST(LexiconTable, EmptyKeyNeverMatches) {
  LexiconTable table;
  table.Assign("", TK_UNIT, false, ',');
  table.Sort();
  EXPECT_EQ(table.Find("abc"), nullptr);
  EXPECT_EQ(table.Find(""), nullptr);
}

TEST(LexiconTable, LongestKeyWins) {
  LexiconTable table;
  table.AddList("ab,abc,a", TK_FUNCTION, false, ',');
  table.Sort();
  ASSERT_NE(table.Find("abcd"), nullptr);
  EXPECT_EQ(table.Find("abcd")->key, "abc");
  ASSERT_NE(table.Find("abd"), nullptr);
  EXPECT_EQ(table.Find("abd")->key, "ab");
  EXPECT_EQ(table.Find("Abc"), nullptr);  // case counts
  EXPECT_EQ(table.Find("x"), nullptr);
}

// Among keys of equal length the one added later is found.
TEST(LexiconTable, LaterEqualKeyWins) {
  LexiconTable table;
  table.AddList("pi,1", TK_SYMBOL, true, ',');
  table.AddList("pi,2,xy,3", TK_GREEK, true, ',');
  table.Sort();
  const LexiconEntry* entry = table.Find("pi");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->kind, TK_GREEK);
  EXPECT_EQ(entry->replacement, "\x02");
}

// Tables grow: entries past the 160th are found like any other.
TEST(LexiconTable, GrowsBeyondOldCap) {
  LexiconTable table;
  CString list;
  for (int i = 0; i < 400; ++i) list.AppendFormat("%sw%03d", i == 0 ? "" : ",", i);
  table.AddList(list, TK_UNIT, false, ',');
  table.Sort();
  ASSERT_EQ(table.GetCount(), 400);
  for (int i = 0; i < 400; ++i) {
    CString word;
    word.Format("w%03d", i);
    const LexiconEntry* entry = table.Find(word.str());
    EXPECT_TRUE(entry != nullptr && entry->key == word) << word.GetString();
  }
}

// Many user units leave every built-in keyword findable.
TEST(LineLexicon, UserUnitsKeepBuiltInWords) {
  QVMOptions options(0);
  CString units;
  for (int i = 0; i < 300; ++i) units.AppendFormat("%su%03d", i == 0 ? "" : ",", i);
  options.UnitsList.Value = units;
  EquationLine line;
  line.BuildLexicon(options);
  const LexiconTable& keywords = line.Table(EquationLine::kKeywordTable);
  for (const char* word : {"sqrt", "sr", "root", "div", "arc", "|[", "]|", " :", "+-", "int", "::",
                           "u299", "pi", "sin-1"}) {
    EXPECT_NE(keywords.Find(word), nullptr) << word;
  }
}

// A symbol and a Greek letter with the same key: the Greek one, added later.
TEST(LineLexicon, GreekWinsOverSymbol) {
  QVMOptions options(0);
  options.SymbolList = "pi,182";
  EquationLine line;
  line.BuildLexicon(options);
  const LexiconEntry* entry = line.Table(EquationLine::kKeywordTable).Find("pi");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->kind, TK_GREEK);
  EXPECT_EQ(entry->replacement, "p");
}

TEST(LineLexicon, SwitchesGateBuiltInWords) {
  QVMOptions options(3);  // switches 8 on, 12 and 13 off
  EquationLine line;
  line.BuildLexicon(options);
  const LexiconTable& keywords = line.Table(EquationLine::kKeywordTable);
  EXPECT_EQ(keywords.Find("arc"), nullptr);
  EXPECT_EQ(keywords.Find("div"), nullptr);
  ASSERT_NE(keywords.Find("+-"), nullptr);
  EXPECT_EQ(keywords.Find("+-")->kind, TK_RAW);
}

// "zz" parsed, then parsed again after it became a function name.
TokenKind KindAfterListChange(int style) {
  QVMOptions options(style);
  EquationLine line;
  line.SetText("zz", options);
  options.FunctionList = "zz";
  line.SetReparse();
  line.SetText("zz", options);
  // A function stands inside the bracket group of its argument.
  const QVMToken* token = line.Root().GetAt(0);
  while (token->kind == TK_BRACKETS) token = token->row1.GetAt(0);
  return token->kind;
}

// With switch 16 on (style 0) every parse rebuilds the tables from the
// options; with it off (style 3) the tables of the first build stay.
TEST(LineLexicon, RebuildFollowsSwitch16) {
  EXPECT_EQ(KindAfterListChange(0), TK_FUNCTION);
  EXPECT_EQ(KindAfterListChange(3), TK_VARIABLE);
}

// Every table of `line` entry for entry as a fresh line builds it.
void ExpectTablesAsFresh(const EquationLine& line, const QVMOptions& options) {
  EquationLine fresh;
  fresh.BuildLexicon(options);
  for (int t = 0; t < EquationLine::kTableCount; ++t) {
    const auto index = static_cast<EquationLine::TableIndex>(t);
    const LexiconTable& kept = line.Table(index);
    const LexiconTable& built = fresh.Table(index);
    ASSERT_EQ(kept.GetCount(), built.GetCount()) << "table " << t;
    for (int i = 0; i < kept.GetCount(); ++i) {
      EXPECT_EQ(kept.EntryAt(i).key, built.EntryAt(i).key) << "table " << t;
      EXPECT_EQ(kept.EntryAt(i).replacement, built.EntryAt(i).replacement) << "table " << t;
      EXPECT_EQ(kept.EntryAt(i).kind, built.EntryAt(i).kind) << "table " << t;
    }
  }
}

// A line that parses again with one option changed (each list, each switch
// the build reads) has the tables a fresh line builds from the new options,
// and again after the change is undone.
TEST(LineLexicon, RebuildSeesEveryOptionItReads) {
  using Change = void (*)(QVMOptions&);
  const Change changes[] = {
      [](QVMOptions& o) { o.MacroList.Value += "zq%zz%"; },
      [](QVMOptions& o) { o.AutoReplaceList += ",zq,zz"; },
      [](QVMOptions& o) { o.RelationList += ",zq,65"; },
      [](QVMOptions& o) { o.SymbolList += ",zq,66"; },
      [](QVMOptions& o) { o.PrimeList += ",zq,67"; },
      [](QVMOptions& o) { o.CircledDigitList += ",zq,68"; },
      [](QVMOptions& o) { o.GreekList += ",zq,69"; },
      [](QVMOptions& o) { o.UnitsList.Value += ",zq"; },
      [](QVMOptions& o) { o.FunctionList += ",zq"; },
      [](QVMOptions& o) { o.InverseFunctionList += ",zq"; },
      [](QVMOptions& o) { o.DrawnConstructList += ",zq"; },
      [](QVMOptions& o) { o.MarkList += ",zq"; },
      [](QVMOptions& o) { o.ParseSwitches[0] = !o.ParseSwitches[0]; },
      [](QVMOptions& o) { o.ParseSwitches[8] = !o.ParseSwitches[8]; },
      [](QVMOptions& o) { o.ParseSwitches[12] = !o.ParseSwitches[12]; },
      [](QVMOptions& o) { o.ParseSwitches[13] = !o.ParseSwitches[13]; },
  };
  int n = 0;
  for (const Change change : changes) {
    SCOPED_TRACE("change " + std::to_string(n++));
    QVMOptions options(0);
    EquationLine line;
    line.SetText("x", options);
    change(options);
    line.SetText("y", options);
    ExpectTablesAsFresh(line, options);
    options = QVMOptions(0);
    line.SetText("x", options);
    ExpectTablesAsFresh(line, options);
  }
}

// A rebuild in reduced mode replaces the keyword table instead of adding
// the Greek list to it again.
TEST(LineLexicon, ReducedRebuildReplacesKeywords) {
  QVMOptions options(4);
  options.ParseSwitches[16] = true;
  EquationLine line;
  line.BuildLexicon(options);
  const int first = line.Table(EquationLine::kKeywordTable).GetCount();
  EXPECT_EQ(first, 1);  // "pi" alone
  line.BuildLexicon(options);
  line.BuildLexicon(options);
  EXPECT_EQ(line.Table(EquationLine::kKeywordTable).GetCount(), first);
  EXPECT_EQ(line.Table(EquationLine::kMacroTable).GetCount(), 0);
}

}  // namespace
