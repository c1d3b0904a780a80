// The texts of the structure insert commands: wrap and append tables,
// array constructs from the dialogs' entries and counts, the integral and
// scientific notation (also run in a German locale).
#include "app/frame/StructureTexts.h"

#include <gtest/gtest.h>

#include <string>

#include "controls/NumberText.h"
#include "tests/portable/LocaleText.h"

namespace {

TEST(StructureTexts, WrapFormsWithAndWithoutASelection) {
  // Written out by number, independently of resources/resource.h.
  const struct {
    UINT id;
    const char* wrapped;  // around "X"
    const char* empty;
    bool caretBack;
  } cases[] = {{32880, "sqrt(X)", "sqrt()", true}, {32907, "arc(X)", "arc()", true},
               {32969, "<->(X)", "<->()", true},   {32967, "<--(X)", "<--()", true},
               {32968, "-->(X)", "-->()", true},   {32902, "\\(X)", "\\()", true},
               {32901, "^(X)", "^()", true},       {32913, "box(X)", "box", false},
               {32903, "(X)_", "_", false}};
  ASSERT_EQ(WrapForms().size(), std::size(cases));
  for (const auto& c : cases) {
    const WrapForm* form = FindWrapForm(c.id);
    ASSERT_NE(form, nullptr) << c.id;
    EXPECT_EQ(WrapText(*form, "X"), c.wrapped);
    EXPECT_EQ(WrapText(*form, ""), c.empty);
    EXPECT_EQ(form->caretBack, c.caretBack) << c.id;
  }
  const struct {
    UINT id;
    const char* mark;
  } marks[] = {{32828, "\x60"}, {32904, "^^"}, {32905, ":"}, {32906, "::"}};
  ASSERT_EQ(AppendMarks().size(), std::size(marks));
  for (const auto& m : marks) {
    const AppendMark* mark = FindAppendMark(m.id);
    ASSERT_NE(mark, nullptr) << m.id;
    EXPECT_STREQ(mark->mark, m.mark);
  }
  EXPECT_EQ(FindWrapForm(32828), nullptr);
  EXPECT_EQ(FindAppendMark(32880), nullptr);
}

TEST(StructureTexts, CountsAreTheLastEntryInUse) {
  CString entries[9];
  EXPECT_EQ(LastEntryInUse(entries, 8), 0);
  entries[1] = "a";
  entries[3] = " ";  // blanks are text
  EXPECT_EQ(LastEntryInUse(entries, 8), 3);
  entries[0] = "never read";
  entries[1] = entries[3] = "";
  EXPECT_EQ(LastEntryInUse(entries, 8), 0);
}

TEST(StructureTexts, MatrixIsWrittenColumnByColumn) {
  CString cells[9][9];
  EXPECT_EQ(MatrixText(cells, 0, 0), "[( ) ]");
  cells[1][1] = "a";
  cells[1][2] = "b";
  cells[2][1] = "c";
  cells[2][2] = "d";
  EXPECT_EQ(MatrixText(cells, 2, 2), "[(a),(c)  (b),(d) ]");
  CString column[9][9];
  column[1][1] = "a";
  column[2][1] = "b";
  column[3][1] = "c";
  EXPECT_EQ(MatrixText(column, 3, 1), "[(a),(b),(c) ]");
  // Empty cells inside the used rectangle are blanks.
  CString corner[9][9];
  corner[1][3] = "p";
  corner[2][1] = "q";
  EXPECT_EQ(MatrixText(corner, 2, 3), "[( ),(q)  ( ),( )  (p),( ) ]");
}

TEST(StructureTexts, VectorAndPiecewiseNeverReadAnUnboundEntry) {
  CString components[9] = {"unbound", "1", "2", "3"};
  EXPECT_EQ(VectorText(components, 3), "( (1),(2),(3) )");
  EXPECT_EQ(VectorText(components, 0), "( ( ) )");
  components[2] = "";
  EXPECT_EQ(VectorText(components, 3), "( (1),( ),(3) )");

  CString functions[6] = {"unbound", "x", "-x"};
  CString domains[6] = {"unbound", "x>0", "x<0"};
  EXPECT_EQ(PiecewiseText(functions, domains, 2), "= {  (x),(-x)    (x>0),(x<0)#");
  EXPECT_EQ(PiecewiseText(functions, domains, 0), "= {  ( )    ( )#");
}

TEST(StructureTexts, IntegralTakesItsBoundsOnlyWhenGiven) {
  EXPECT_EQ(IntegralText("", "", ","), "int");
  EXPECT_EQ(IntegralText("0", "1", ","), "int(0,1)");
  EXPECT_EQ(IntegralText("", "b", ";"), "int(;b)");
}


TEST(StructureTextsLocale, ScientificNotationFromTheDecimal) {
  EXPECT_EQ(ScientificText("", "", Localised("12345")).value_or("-"), Localised("1.2345E4"));
  EXPECT_EQ(ScientificText("", "", Localised("0.005")).value_or("-"), "5E-3");
  EXPECT_EQ(ScientificText("", "", "-12345").value_or("-"), Localised("-1.2345E4"));
  EXPECT_EQ(ScientificText("", "", Localised("-0.25")).value_or("-"), Localised("-2.5E-1"));
  EXPECT_EQ(ScientificText("", "", "1000").value_or("-"), "1E3");
  // Six decimals round 9.9999999 up: the mantissa stays below ten.
  EXPECT_EQ(ScientificText("", "", "99999999").value_or("-"), "1E8");
  // Zero leaves the selection as it is.
  EXPECT_FALSE(ScientificText("", "", "0").has_value());
  EXPECT_FALSE(ScientificText("", "", Localised("0.000")).has_value());
  // The ends of the double range.
  const std::string tiny = "0." + std::string(299, '0') + "1";
  EXPECT_EQ(ScientificText("", "", Localised(tiny.c_str())).value_or("-"), "1E-300");
  // The smallest double: 10 to its power alone underflows to zero.
  const std::string smallest = "0." + std::string(323, '0') + "5";
  EXPECT_EQ(ScientificText("", "", Localised(smallest.c_str())).value_or("-"),
            Localised("4.940656E-324"));
  const std::string huge = "1" + std::string(300, '0');
  EXPECT_EQ(ScientificText("", "", huge.c_str()).value_or("-"), "1E300");
}

TEST(StructureTextsLocale, ScientificNotationFromItsParts) {
  EXPECT_EQ(ScientificText("1.5", "", "99").value_or("-"), "1.5E");
  EXPECT_EQ(ScientificText("", "7", "").value_or("-"), "E7");
  EXPECT_EQ(ScientificText("", "", "").value_or("-"), "1.2E5");
}

}  // namespace
