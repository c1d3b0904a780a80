// Lining up relation signs without a device context: every token of a line
// is given a width by hand, as a measure would leave it, and the spacers the
// alignment puts in are read back from the root rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/EquationList.h"

namespace {

constexpr int32_t kWidth = 100;  // every token's width unless a case says

// A list with `text`, each top-level token kWidth wide (spaces 30).
struct MeasuredList {
  explicit MeasuredList(const char* text, int style = 0) {
    options.VerticalAlignStyle.Value = style;
    list.SetText(text, options);
    GiveWidths();
  }
  void GiveWidths() {
    for (auto& engine : list.Engines)
      for (QVMToken* t : engine->Root())
        if (t->kind != TK_DELTA) t->extent.width = t->kind == TK_SPACE ? 30 : kWidth;
  }
  // The root row of line `n` (1-based) as kinds and spacer widths:
  // "D100 V = V" for a spacer of 100, a variable, a sign and a variable.
  std::string Row(int n) {
    std::string out;
    for (QVMToken* t : list.Engines[n - 1]->Root()) {
      if (!out.empty()) out += ' ';
      if (t->kind == TK_DELTA) out += "D" + std::to_string(t->stretch);
      else if (t->kind == TK_VARIABLE || t->kind == TK_NUMBER) out += "V";
      else if (t->kind == TK_SPACE) out += "_";
      else out += t->text.str();
    }
    return out;
  }
  // Where the first "=" of line `n` stands once its spacers take their room.
  int32_t EqualsX(int n) {
    int32_t x = 0;
    for (QVMToken* t : list.Engines[n - 1]->Root()) {
      if (t->kind == TK_EQUAL) return x;
      x += t->kind == TK_DELTA ? t->stretch : t->extent.width;
    }
    return -1;
  }
  QVMOptions options{0};
  QVEquationList list;
};

struct AlignCase {
  const char* text;
  int style;
  std::vector<std::string> rows;  // lines 1, 2, ... after alignment
};

TEST(AlignRelations, PutsSpacersThatLineUpTheSigns) {
  const AlignCase cases[] = {
      // A continuation line takes the first line's sign as its own.
      {"a=b\r\n=c", 0, {"V = V", "D100 = V"}},
      {"a=b\r\n=c", 1, {"V = V", "D100 = V"}},
      {"a = b\r\n= c\r\n= d", 0, {"V _ = _ V", "D130 = _ V", "D130 = _ V"}},
      // Style 0: left-hand sides end flush; style 1: they start flush.
      {"x+1=2\r\ny=10", 0, {"V + V = V", "D200 V = V"}},
      {"x+1=2\r\ny=10", 1, {"V + V = V", "V D200 = V"}},
      // A gap after one sign widens the gap after the others.
      {"a= b\r\nc=d", 0, {"V = _ V", "V = D30 V"}},
      // Leading signs: lines without one move over by the widest.
      {"=a\r\nb=c", 0, {"= V", "D100 V = V"}},
      // No sign: nothing to line up; an empty line gets nothing.
      {"a+b\r\n\r\nc", 0, {"V + V", "", "V"}},
  };
  for (const AlignCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " style " + std::to_string(c.style));
    MeasuredList m(c.text, c.style);
    m.list.AlignRelations(m.options);
    for (size_t n = 0; n < c.rows.size(); ++n) EXPECT_EQ(m.Row(static_cast<int>(n) + 1), c.rows[n]);
  }
}

TEST(AlignRelations, SignsEndUpInOneColumn) {
  const char* const texts[] = {"a=b\r\n=c", "x+1=2\r\ny=10", "x+1=2\r\ny=10\r\nz-12=3",
                               "a = b\r\n= c\r\n= d"};
  for (const char* text : texts)
    for (int style = 0; style < 2; ++style) {
      SCOPED_TRACE(std::string(text) + " style " + std::to_string(style));
      MeasuredList m(text, style);
      m.list.AlignRelations(m.options);
      for (int n = 2; m.list.Lines[n - 1] != ""; ++n) EXPECT_EQ(m.EqualsX(n), m.EqualsX(1));
    }
}

TEST(FindRelation, EntriesOfLeadingAndMainSigns) {
  MeasuredList m("= a + b = c");
  const EquationLine& line = *m.list.Engines[0];
  m.list.Engines[0]->FindRelation(m.options);
  // "=" "_" "a" "_" "+" "_" "b" "_" "=" "_" "c": spaces 30, the rest 100.
  EXPECT_EQ(line.leadingEntry.index, 0);
  EXPECT_EQ(line.leadingEntry.isRelation, 1);
  EXPECT_EQ(line.leadingEntry.nextIndex, 2);
  EXPECT_EQ(line.leadingEntry.gapAfter, 30);
  EXPECT_EQ(line.mainEntry.index, 8);
  EXPECT_EQ(line.mainEntry.x, 4 * 100 + 4 * 30);
  EXPECT_EQ(line.mainEntry.prevIndex, 7);
  EXPECT_EQ(line.mainEntry.gapBefore, 0);
  EXPECT_EQ(line.mainEntry.gapAfter, 30);
  EXPECT_EQ(line.mainEntry.leftWidth, line.mainEntry.prevEnd - 130);
  EXPECT_EQ(line.mainEntry.spacerIndex, 1);

  // Arrows and "therefore" align, but are no relations; other signs do not.
  const struct {
    const char* text;
    int isRelation;  // -1: no main sign
  } signs[] = {{"a<=b", 1}, {"a>=b", 1}, {"a<>b", 1}, {"x~=y", 1}, {"a->b", 0},
               {"a=>b", 0}, {"a<b", 1}, {"a+b", -1}, {"a*b", -1}};
  for (const auto& s : signs) {
    MeasuredList one(s.text);
    EquationLine& l = *one.list.Engines[0];
    l.FindRelation(one.options);
    EXPECT_EQ(l.mainEntry.Exists() ? l.mainEntry.isRelation : -1, s.isRelation) << s.text;
  }
}

TEST(AlignRelations, WithAlignEqualsClearOldSpacersGoAndNoneComeBack) {
  MeasuredList m("x+1=2\r\ny=10");
  m.list.AlignRelations(m.options);
  ASSERT_EQ(m.Row(2), "D200 V = V");
  m.options.AlignEquals.Value = false;
  m.list.AlignRelations(m.options);
  EXPECT_EQ(m.Row(1), "V + V = V");
  EXPECT_EQ(m.Row(2), "V = V");
}

// Every measure rebuilds the spacers; the taken-out ones are used again, so
// a painted equation does not grow.
TEST(AlignRelations, RebuildingSpacersMakesNoNewTokens) {
  MeasuredList m("x+1=2\r\ny=10\r\n= 3");
  m.list.AlignRelations(m.options);
  int made[QVEquationList::kLineCount];
  for (int i = 0; i < QVEquationList::kLineCount; ++i) made[i] = m.list.Engines[i]->Factory().GetCount();
  for (int again = 0; again < 10; ++again) {
    m.list.InvalidateLayout();
    m.list.AlignRelations(m.options);
  }
  for (int i = 0; i < QVEquationList::kLineCount; ++i)
    EXPECT_EQ(m.list.Engines[i]->Factory().GetCount(), made[i]) << "line " << i + 1;
  // Line 3's leading sign moves the others over by its width and gap.
  EXPECT_EQ(m.Row(2), "D100 D30 D200 V = V");
}

TEST(InvalidateLayout, MarksEveryTokenRowAndLine) {
  MeasuredList m("(a+b)/c=x^2\r\ny");
  for (auto& engine : m.list.Engines) engine->SetNeedsRemeasure(false);
  TokenRow& root = m.list.Engines[0]->Root();
  root.SetNeedsLayout(false);
  QVMToken* fraction = root.GetAt(0);
  fraction->needsLayout = false;
  fraction->row1.SetNeedsLayout(false);
  fraction->row1.GetAt(0)->needsLayout = false;
  m.list.InvalidateLayout();
  EXPECT_TRUE(root.NeedsLayout());
  EXPECT_TRUE(fraction->needsLayout);
  EXPECT_TRUE(fraction->row1.NeedsLayout());
  EXPECT_TRUE(fraction->row1.GetAt(0)->needsLayout);
  for (auto& engine : m.list.Engines) EXPECT_TRUE(engine->NeedsRemeasure());
}

// 25 lines in: lines 20 to 25 stay together in line 20, and the text, the
// joined text and the stored list all give the 25 lines back.
TEST(QVEquationListText, TwentyFiveLinesInNothingLost) {
  CString text;
  for (int i = 1; i <= 25; ++i) text.AppendFormat(i == 1 ? "x%d=%d" : "\r\nx%d=%d", i, i);
  QVMOptions options;
  QVEquationList list;
  list.SetText(text, options);
  EXPECT_EQ(list.Lines[19], "x20=20\r\nx21=21\r\nx22=22\r\nx23=23\r\nx24=24\r\nx25=25");
  EXPECT_EQ(list.GetText(), text);

  CMemFile file;
  {
    CArchive store(&file, CArchive::store);
    list.Serialize(store);
  }
  file.SeekToBegin();
  CArchive load(&file, CArchive::load);
  QVEquationList loaded;
  loaded.Serialize(load);
  EXPECT_EQ(loaded.GetText(), text);
}

}  // namespace
