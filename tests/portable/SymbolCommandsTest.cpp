// The symbol insert table against the list of commands and texts the
// palettes must insert, and the edit each command makes in the text box.
#include "app/frame/SymbolCommands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct Expected {
  UINT id;
  const char* text;
};

// Written out by number, independently of resources/resource.h.
// clang-format off
const Expected kExpected[] = {
  {32829, "pi"}, {32830, "th"}, {32832, "al"}, {32833, "be"}, {32834, "ch"},
  {32835, "de"}, {32836, "DE"}, {32837, "ph"}, {32838, "ga"}, {32839, "la"},
  {32840, "mu"}, {32841, "rh"}, {32842, "si"}, {32843, "SI"}, {32844, "om"},
  {32946, "ep"}, {32847, "ze"}, {32849, "et"}, {32939, "io"}, {32940, "ka"},
  {32941, "nu"}, {32942, "xi"}, {32943, "ta"}, {32944, "up"}, {32845, "OM"},
  {32959, "UP"}, {32955, "TH"}, {32956, "PI"}, {32957, "LA"}, {32954, "GA"},
  {32961, "PS"}, {32960, "PH"}, {32958, "XI"},
  {32853, "<="}, {32854, ">="}, {32855, "<>"}, {32856, "=~"}, {32857, "~~"},
  {32858, "-="}, {32859, "+-"}, {32860, "/ "}, {32861, "->"}, {32862, "=>"},
  {32863, "inf"}, {32864, "tri"}, {32865, "ang"}, {32978, "dp"},
  {32866, "perp"}, {32867, "and"}, {32868, "or"}, {32869, "element"},
  {32870, "notelement"}, {32871, "subset"}, {32872, "notsubset"},
  {32873, "propersubset"}, {32878, "prop"}, {32875, "tf"}, {32876, "pd"},
  {32963, "te"}, {32964, "fa"}, {32965, "nabla"}, {32966, "au"},
  {32921, " (0) "}, {32922, " (1) "}, {32923, " (2) "}, {32924, " (3) "},
  {32925, " (4) "}, {32926, " (5) "}, {32927, " (6) "}, {32928, " (7) "},
  {32929, " (8) "}, {32930, " (9) "},
};
// clang-format on

EditState State(const char* text, int start, int end) {
  EditState s;
  s.text = text;
  s.selStart = start;
  s.selEnd = end;
  return s;
}

void ExpectEdit(const EditState& got, const std::string& text, int caret) {
  EXPECT_EQ(got.text.str(), text);
  EXPECT_EQ(got.selStart, caret);
  EXPECT_EQ(got.selEnd, caret);
}

TEST(SymbolCommands, TableHoldsExactlyTheSeventyTwoCommands) {
  ASSERT_EQ(SymbolCommands().size(), std::size(kExpected));
  std::set<UINT> ids;
  for (const SymbolCommand& c : SymbolCommands()) ids.insert(c.id);
  EXPECT_EQ(ids.size(), std::size(kExpected)) << "an id appears twice";
  for (const Expected& e : kExpected) {
    const SymbolCommand* c = FindSymbolCommand(e.id);
    ASSERT_NE(c, nullptr) << e.id;
    EXPECT_STREQ(c->text, e.text) << e.id;
  }
}

TEST(SymbolCommands, UnknownIdsAreNotSymbolCommands) {
  EXPECT_EQ(FindSymbolCommand(32945), nullptr);  // the unassigned Greek button
  EXPECT_EQ(FindSymbolCommand(32828), nullptr);  // the degree sign is a construct
  EXPECT_EQ(FindSymbolCommand(0), nullptr);
}

// Every command, at a caret and over a selection, in a two-line text.
TEST(SymbolCommands, EveryCommandInsertsItsTextAndLeavesTheCaretAfterIt) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.id);
    const SymbolCommand& c = *FindSymbolCommand(e.id);
    const int n = static_cast<int>(std::string(e.text).size());
    ExpectEdit(ApplySymbolCommand(State("ab\r\ncd", 4, 4), c),
               std::string("ab\r\n") + e.text + "cd", 4 + n);
    ExpectEdit(ApplySymbolCommand(State("x+abc=1", 2, 5), c),
               std::string("x+") + e.text + "=1", 2 + n);
    ExpectEdit(ApplySymbolCommand(State("", 0, 0), c), e.text, n);
  }
}

TEST(SymbolCommands, SelectedTextIsReplaced) {
  ExpectEdit(ApplySymbolCommand(State("abc", 0, 3), *FindSymbolCommand(32829)), "pi", 2);
  ExpectEdit(ApplySymbolCommand(State("1", 1, 1), *FindSymbolCommand(32860)), "1/ ", 3);
  ExpectEdit(ApplySymbolCommand(State("x=", 2, 2), *FindSymbolCommand(32924)), "x= (3) ", 7);
}

TEST(SymbolCommands, SelectionBackToFrontIsPutInOrder) {
  ExpectEdit(ApplySymbolCommand(State("x+abc=1", 5, 2), *FindSymbolCommand(32863)),
             "x+inf=1", 5);
}

TEST(SymbolCommands, PositionsOutsideTheTextAreClamped) {
  const SymbolCommand& pi = *FindSymbolCommand(32829);
  ExpectEdit(ApplySymbolCommand(State("ab", 7, 9), pi), "abpi", 4);
  ExpectEdit(ApplySymbolCommand(State("ab", -3, 1), pi), "pib", 2);
  ExpectEdit(ApplySymbolCommand(State("ab", -1, -1), pi), "piab", 2);
}

TEST(SymbolCommands, PalettePositionsAreDistinct) {
  std::set<std::pair<UINT, int>> places;
  for (const SymbolCommand& c : SymbolCommands()) {
    EXPECT_GE(c.button, 1) << c.id;
    EXPECT_TRUE(places.insert({c.palette, c.button}).second) << c.id;
  }
}

}  // namespace
