#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "options/QVMOptions.h"
#include "tests/portable/SerializeBytes.h"

namespace {

int CountNames(const CString& list) {
  if (list.IsEmpty()) return 0;
  int names = 1;
  for (int i = 0; i < list.GetLength(); ++i) names += list[i] == ',';
  return names;
}

// The style's INI text with defaults; every holder must appear with its key.
std::string DefaultsText(QVMOptions& options) {
  CIniFile store;
  options.WriteHolders(store, true);
  return store.ToText().str();
}

}  // namespace

TEST(OptionStyles, HoldersSetPerStyle) {
  struct Row {
    bool indicated, automatic;
    int lowerCase, doubleCaps;
    bool columns, oneFont, wingdings, wipe;
    const char* units;
    int fontSize;
    bool shrink;
  };
  const Row rows[6] = {
      {true, true, 1, 1, true, true, true, false, "cm,km,mm,L,mL,cL,kL,ML,mg,kg", 388, true},
      {true, true, 0, 1, true, false, true, false, "m,cm,km,mm,L,mL,cL,kL,ML,s,h,g,mg,kg", 388, true},
      {false, false, 0, 0, false, false, false, true, "", 388, true},
      {false, false, 0, 0, false, true, false, false, "", 300, false},
      {false, false, 0, 0, false, true, false, false, "", 300, false},
      {false, false, 0, 0, false, true, false, false, "", 300, false},
  };
  for (int style = 0; style < 6; ++style) {
    SCOPED_TRACE(style);
    QVMOptions o(style);
    const Row& r = rows[style];
    EXPECT_EQ(o.Style, style);
    EXPECT_EQ(o.UseIndicatedVectors.Value, r.indicated);
    EXPECT_EQ(o.UseAutomaticVectors.Value, r.automatic);
    EXPECT_EQ(o.LowerCase.Value, r.lowerCase);
    EXPECT_EQ(o.DisplayVect.Value, 0);
    EXPECT_EQ(o.DoubleCaps.Value, r.doubleCaps);
    EXPECT_EQ(o.DetectColumnVectors.Value, r.columns);
    EXPECT_EQ(o.UseOneFont.Value, r.oneFont);
    EXPECT_EQ(o.UseWingdings.Value, r.wingdings);
    if (style != 1) {
      EXPECT_EQ(o.WipeBackground.Value, r.wipe);
    }
    EXPECT_TRUE(o.UseAutographEntry.Value);
    EXPECT_EQ(o.VerticalAlignStyle.Value, 0);
    EXPECT_EQ(o.VerticalAlignStyle.Max, 1);
    EXPECT_EQ(o.LowerCase.Min, -32768);
    EXPECT_EQ(o.DoubleCaps.Max, 32767);
    EXPECT_TRUE(o.AlignEquals.Value);
    EXPECT_EQ(o.UnitsList.Value, r.units);
    EXPECT_EQ(o.MacroList.Value.IsEmpty(), style >= 2);
    EXPECT_EQ(o.Font.Value.Size, r.fontSize);
    EXPECT_EQ(o.Font.Default.Size, 388);
    EXPECT_EQ(o.ShrinkNonAlgebraicFractions.Value, r.shrink);
    EXPECT_TRUE(o.ShrinkNonAlgebraicFractions.Default);
  }
  EXPECT_EQ(QVMOptions(1).MacroList.Value,
            "#G%6.67E-11%#h%6.63E-34%#mp%1.67E-27%#mn%1.67E-27%#me%9.11E-31%#Avo%6.02E23");
}

TEST(OptionStyles, CommonHoldersDefaultsAndRanges) {
  for (int style = 0; style < 6; ++style) {
    SCOPED_TRACE(style);
    QVMOptions o(style);
    const struct {
      QVOptionInt& holder;
      int value, min, max;
    } ints[] = {{o.FractionGap, 0, 0, 0},        {o.SqrtGap, 100, 0, 500},
                {o.BoxGap, 100, 0, 500},         {o.SqrtThickness1, 30, 0, 200},
                {o.SqrtThickness2, 90, 0, 400},  {o.MultiplyStyle, 0, 0, 2},
                {o.FracLevelMax, 4, 0, 10},      {o.PowerLevelMax, 2, 0, 10},
                {o.VectorArrowSize, 150, 0, 500}, {o.IntegralStyle, 0, 0, 1},
                {o.PermCombStyle, 2, 0, 2},      {o.NegativeNumberStyle, 0, 0, 2},
                {o.MatrixVerticalSpacing, 400, 0, 10000}, {o.MatrixHorizontalSpacing, 600, 0, 10000},
                {o.MatrixAlign, 1, 0, 2},        {o.TabWidth, 1000, -32768, 32767},
                {o.VerticalSpacing, 1000, -32768, 32767}, {o.ArrowHeadStyle, 0, 0, 1}};
    for (const auto& e : ints) {
      EXPECT_EQ(e.holder.Value, e.value) << e.holder.Key;
      EXPECT_EQ(e.holder.Default, e.value) << e.holder.Key;
      EXPECT_EQ(e.holder.Min, e.min) << e.holder.Key;
      EXPECT_EQ(e.holder.Max, e.max) << e.holder.Key;
      EXPECT_EQ(e.holder.Section, "Options");
    }
    EXPECT_EQ(o.PowerRaise.Value, 0.7);
    EXPECT_EQ(o.FracLevelRatio.Value, 0.3);
    EXPECT_EQ(o.PowerLevelRatio.Max, 1.0);
    EXPECT_EQ(o.GeneralPen.Value.ToText(), "0,0,0,65542,2,30.000000");
    EXPECT_TRUE(o.UnitsBold.Value && o.UnitsItalic.Value && o.QuoteItalic.Value);
    EXPECT_FALSE(o.QuoteBold.Value || o.UseWordFont.Value || o.RaiseDecimal.Value);
    EXPECT_TRUE(o.ExpandSubtract.Value && o.VariablesItalic.Value);
    EXPECT_EQ(o.VectorFont.Value, "Arial");
    EXPECT_EQ(o.VectorFont.MaxLength, -1);
    EXPECT_EQ(o.QuoteColor.Value, 0u);
    for (int i = 0; i < 26; ++i) {
      const char letter = static_cast<char>('A' + i);
      EXPECT_EQ(o.Letters[i].Key, CString("Letters") + letter);
      EXPECT_EQ(o.Letters[i].Value, letter == 'I' || letter == 'J' || letter == 'K' || letter == 'R');
    }
    EXPECT_EQ(o.LastPropertyPage, 0);
    EXPECT_EQ(o.DrawScale, 1.0);
    EXPECT_FALSE(o.CurrentLineFormat.Bold || o.CurrentLineFormat.UseColour);
    EXPECT_EQ(o.CurrentLineFormat.Colour, 0xff0000u);
  }
}

TEST(OptionStyles, ListsPerStyle) {
  const int functionCounts[6] = {23, 16, 78, 20, 0, 21};
  const char* const constructs[6] = {"int,sigma,product,lim,box,@", "int,sigma,product,lim,box", "",
                                     "int", "", "int,@"};
  const int relationCounts[6] = {28, 26, 24, 10, 0, 10};
  const int symbolCounts[6] = {34, 32, 28, 2, 0, 2};
  const int greekCounts[6] = {68, 68, 68, 4, 2, 4};
  const int replaceCounts[6] = {22, 22, 20, 20, 0, 20};
  for (int style = 0; style < 6; ++style) {
    SCOPED_TRACE(style);
    QVMOptions o(style);
    EXPECT_EQ(CountNames(o.FunctionList), functionCounts[style]);
    EXPECT_EQ(o.DrawnConstructList, constructs[style]);
    EXPECT_EQ(CountNames(o.RelationList), relationCounts[style]);
    EXPECT_EQ(CountNames(o.SymbolList), symbolCounts[style]);
    EXPECT_EQ(CountNames(o.GreekList), greekCounts[style]);
    EXPECT_EQ(CountNames(o.AutoReplaceList), replaceCounts[style]);
    EXPECT_EQ(o.PrimeList, style == 4 ? "" : "',162");
    EXPECT_EQ(o.InverseFunctionList, style == 4 ? "" : "sin-1,cos-1,tan-1");
    EXPECT_EQ(o.MarkList, style <= 2 ? "::,:,^^,_" : "");
    EXPECT_EQ(o.CircledDigitList.IsEmpty(), style != 0);
  }
  EXPECT_EQ(QVMOptions(3).FunctionList.Right(5), ",gint");
  EXPECT_EQ(QVMOptions(0).AutoReplaceList.Right(7), ",au,197");
  EXPECT_EQ(QVMOptions(1).AutoReplaceList.Right(8), ",ang,197");
  EXPECT_NE(QVMOptions(2).RelationList.Find(",=>,174,equ,222,"), -1);
}

TEST(OptionStyles, ParseSwitchesPerStyle) {
  const char* const rows[6] = {"0111101111111110110", "0111101111110000100",
                               "0011000011110000000", "0011000010000000000",
                               "1000000000100000000", "0011010010000000000"};
  for (int style = 0; style < 6; ++style) {
    QVMOptions o(style);
    for (int i = 0; i < QVMOptions::kParseSwitchCount; ++i)
      EXPECT_EQ(o.ParseSwitches[i], rows[style][i] == '1') << style << "/" << i;
  }
}

TEST(OptionStyles, SwitchingStyleKeepsWhatTheNewStyleLeaves) {
  QVMOptions o(0);
  o.SetDefaults(3);
  EXPECT_EQ(o.CircledDigitList.Left(8), "(0),128,");
  EXPECT_TRUE(o.ParseSwitches[17]);
  EXPECT_EQ(o.Font.Value.Size, 300);
  o.LastPropertyPage = 5;
  o.DrawScale = 3.0;
  o.WipeBackground.Value = true;
  o.SetDefaults(1);
  EXPECT_TRUE(o.WipeBackground.Value);  // style 1 leaves it
  EXPECT_EQ(o.LastPropertyPage, 0);
  EXPECT_EQ(o.DrawScale, 1.0);
  EXPECT_EQ(o.Font.Value.Size, 388);
}

TEST(OptionStyles, EveryStyleGivesEveryHolderItsKey) {
  QVMOptions reference(0);
  const std::string text0 = DefaultsText(reference);
  for (int style : {1, 2, 3, 4, 5, 6, -1, 1000}) {
    SCOPED_TRACE(style);
    QVMOptions o(style);
    CIniFile store;
    o.WriteHolders(store, false);
    ASSERT_EQ(store.GetSectionCount(), 1);
    EXPECT_EQ(store.GetSectionName(0), "Options");
    const CIniFile::key& section = store.GetSection(0);
    ASSERT_EQ(section.names.GetSize(), 91);
    CIniFile names0;
    reference.WriteHolders(names0, false);
    for (int i = 0; i < 91; ++i) EXPECT_EQ(section.names[i], names0.GetSection(0).names[i]);
    EXPECT_EQ(o.WipeBackground.Key, "WipeBackground");
  }
  // An unknown style runs the common block and the tail only.
  QVMOptions unknown(7);
  EXPECT_EQ(unknown.Style, 7);
  EXPECT_TRUE(unknown.ParseSwitches[9] && unknown.ParseSwitches[10] && unknown.ParseSwitches[11]);
  EXPECT_TRUE(unknown.FunctionList.IsEmpty());
  EXPECT_EQ(unknown.LowerCase.Max, 32767);
  EXPECT_EQ(unknown.SqrtGap.Value, 100);
}

// Run again under LC_ALL=de_DE.UTF-8 by the Windows test entry locale_de_DE.
TEST(OptionStylesLocale, DecimalPointAndSeparatorFollowTheLocale) {
  const char* lcAll = std::getenv("LC_ALL");
  const bool german = lcAll && std::string(lcAll).rfind("de_DE", 0) == 0;
#ifdef _WIN32
  const char* point = german ? "," : ".";
  const char* separator = german ? ";" : ",";
#else
  (void)german;
  const char* point = ".";
  const char* separator = ",";
#endif
  QVMOptions o;
  EXPECT_EQ(o.DecimalPoint.Value, point);
  EXPECT_EQ(o.Separator.Value, separator);
  EXPECT_EQ(o.DecimalPoint.Key, "DecimalPoint");
  // INI doubles keep their point whatever the locale.
  o.PowerRaise.Value = 0.25;
  CIniFile store;
  o.WriteHolders(store, false);
  EXPECT_EQ(store.ReadValue("Options", "PowerRaise"), "0.250000");
  EXPECT_EQ(store.ReadValue("Options", "GeneralPen"), "0,0,0,65542,2,30.000000");
  store.WriteValue("Options", "FracLevelRatio", "0.75", true);
  o.ReadHolders(store);
  EXPECT_EQ(o.FracLevelRatio.Value, 0.75);
}
