#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/Exceptions.h"
#include "options/QVMOptions.h"
#include "tests/portable/OptionArchiveBytes.h"
#include "tests/portable/SerializeBytes.h"
#include "tests/portable/TempFolder.h"

namespace {

using namespace archive_bytes;

// Gives the members a later version carries values a load must not touch.
void MarkLaterMembers(QVMOptions& o) {
  o.BoxGap.Value = 11;
  o.PermCombStyle.Value = 1;
  o.UseWingdings.Value = false;
  o.VerticalAlignStyle.Value = 1;
  o.WipeBackground.Value = true;
  o.AlignEquals.Value = false;
  o.ArrowHeadStyle.Value = 1;
}

void ExpectLaterMembersKept(const QVMOptions& o) {
  EXPECT_EQ(o.BoxGap.Value, 11);
  EXPECT_EQ(o.PermCombStyle.Value, 1);
  EXPECT_FALSE(o.UseWingdings.Value);
  EXPECT_EQ(o.VerticalAlignStyle.Value, 1);
  EXPECT_TRUE(o.WipeBackground.Value);
  EXPECT_FALSE(o.AlignEquals.Value);
  EXPECT_EQ(o.ArrowHeadStyle.Value, 1);
}

// Every holder key of the set with its section, in INI order, as text.
std::string StoredIni(QVMOptions& o, bool writeDefaults) {
  CIniFile store;
  o.WriteHolders(store, writeDefaults);
  return store.ToText().str();
}

}  // namespace

TEST(QVMOptionsArchive, DefaultStyle0HasTheLayoutBytes) {
  QVMOptions options;
  const std::string bytes = StoreBytes(options);
  EXPECT_EQ(bytes.size(), 407u);
  EXPECT_EQ(bytes, DefaultArchive());
}

TEST(QVMOptionsArchive, RoundTripReproducesEveryValue) {
  QVMOptions options;
  options.LowerCase.Value = -5;
  options.Letters[25].Value = true;
  options.Font.Value.Size = 1234;
  options.Font.Value.SetFaceName("Times New Roman");
  options.PowerRaise.Value = 0.1 + 0.2;  // not a short decimal
  options.GeneralPen.Value.Width = 1.0 / 3.0;
  options.UnitsList.Value = std::string(300, 'u');
  options.VectorColor.Value = 0xFFFFFFFF;
  options.WipeBackground.Value = true;
  options.ArrowHeadStyle.Value = 1;
  const std::string bytes = StoreBytes(options);

  QVMOptions back;
  EXPECT_EQ(LoadBytes(back, bytes), 0u);
  EXPECT_EQ(StoreBytes(back), bytes);
  EXPECT_EQ(back.PowerRaise.Value, 0.1 + 0.2);
  EXPECT_EQ(back.GeneralPen.Value.Width, 1.0 / 3.0);
  EXPECT_EQ(back.Font.Value.Size, 1234);
  EXPECT_STREQ(back.Font.Value.LogFont.lfFaceName, "Times New Roman");
  EXPECT_EQ(back.UnitsList.Value, options.UnitsList.Value);
}

TEST(QVMOptionsArchive, VersionsAndMarkers) {
  {  // version 1: groups 1 to 4, then the closing marker
    QVMOptions options;
    MarkLaterMembers(options);
    EXPECT_EQ(LoadBytes(options, Header(1) + Groups1To4() + Closing()), 0u);
    ExpectLaterMembersKept(options);
    EXPECT_EQ(options.MacroList.Value, kMacros0);
  }
  {  // version 3: everything but ArrowHeadStyle
    QVMOptions options;
    MarkLaterMembers(options);
    EXPECT_EQ(LoadBytes(options, Header(3) + Groups1To4() + Version2Group() + B(1) + Closing()), 0u);
    EXPECT_EQ(options.BoxGap.Value, 100);
    EXPECT_TRUE(options.AlignEquals.Value);
    EXPECT_EQ(options.ArrowHeadStyle.Value, 1);
  }
  {  // a later version is read as version 4
    QVMOptions options;
    MarkLaterMembers(options);
    const std::string tail = Groups1To4() + Version2Group() + B(1) + I(0) + Closing();
    EXPECT_EQ(LoadBytes(options, Header(9) + tail), 0u);
    EXPECT_EQ(StoreBytes(options), DefaultArchive());
  }
  for (int16_t version : {0, -1}) {  // nothing after the version is read
    QVMOptions options;
    MarkLaterMembers(options);
    options.LowerCase.Value = 7;
    EXPECT_EQ(LoadBytes(options, Header(version) + "junk"), 4u);
    ExpectLaterMembersKept(options);
    EXPECT_EQ(options.LowerCase.Value, 7);
  }
  for (const char* marker : {"QVMOptionz", "qvmoptions", "QVMOptions2", ""}) {
    QVMOptions options;
    options.LowerCase.Value = 7;
    EXPECT_EQ(LoadBytes(options, S(marker) + Le16(4) + I(3)), 6u) << marker;
    EXPECT_EQ(options.LowerCase.Value, 7);
  }
}

TEST(QVMOptionsArchive, TruncatedArchiveThrows) {
  const std::string bytes = DefaultArchive();
  for (size_t cut : {size_t{1}, size_t{13}, size_t{100}, bytes.size() - 1}) {
    QVMOptions options;
    EXPECT_THROW(LoadBytes(options, bytes.substr(0, cut)), CArchiveException) << cut;
  }
}

TEST(QVMOptionsIni, Style0DefaultsGiveThe91KeysInOrder) {
  std::string expected = "[Options]\r\n";
  const char* const lines[] = {
      "LowerCase=1", "DisplayVect=0", "DoubleCaps=1", "TabWidth=1000", "VerticalSpacing=1000",
      "RaiseDecimal=0", "DetectColumnVectors=1", "FunctionsItalic=0", "FunctionsBold=0",
      "VariablesItalic=1", "VariablesBold=0", "GreekItalic=0", "GreekBold=0"};
  for (const char* line : lines) expected += std::string(line) + "\r\n";
  for (char letter = 'A'; letter <= 'Z'; ++letter)
    expected += std::string("Letters") + letter + (std::strchr("IJKR", letter) ? "=1\r\n" : "=0\r\n");
  const char* const rest[] = {
      "Font=-14,0,0,0,400,0,0,0,0,7,48,2,2,0,388,Arial", "UsePhiVariant=0", "UseSigmaVariant=0",
      "UseThetaVariant=0", "UseUpsilonVariant=0", "PowerRaise=0.700000", "FractionGap=0",
      "SqrtGap=100", "BoxGap=100", "SqrtThickness1=30", "SqrtThickness2=90", "MultiplyStyle=0",
      "FracLevelMax=4", "PowerLevelMax=2", "FracLevelRatio=0.300000", "PowerLevelRatio=0.300000",
      "VectorArrowSize=150", "GeneralPen=0,0,0,65542,2,30.000000", "IntegralStyle=0",
      "PermCombStyle=2", "UseAutographEntry=1", "UseIndicatedVectors=1", "UseAutomaticVectors=1",
      "UseWingdings=1", "WipeBackground=0", "VerticalAlignStyle=0", "AlignEquals=1",
      "UseOneFont=1", "UnitsBold=1", "UnitsItalic=1", "QuoteBold=0", "QuoteItalic=1",
      "UnitsFont=Arial", "QuoteFont=Arial", "FunctionFont=Arial", "VectorFont=Arial",
      "GreekColor=0", "VariableColor=0", "FunctionColor=0", "UnitColor=0", "QuoteColor=0",
      "VectorColor=0", "UnitsList=cm,km,mm,L,mL,cL,kL,ML,mg,kg",
      "MacroList=qf%x=(-b+-sr(b2-4ac))/2a%pv7%3.1415927%pv20%3.14159265358979323846%",
      "ShrinkNonAlgebraicFractions=1", "ExpandSubtract=1", "NegativeNumberStyle=0",
      "MatrixVerticalSpacing=400", "MatrixHorizontalSpacing=600", "MatrixAlign=1",
      "UseWordFont=0", "ArrowHeadStyle=0"};
  for (const char* line : rest) expected += std::string(line) + "\r\n";
  expected += "\r\n";

  QVMOptions options;
  QVIniFile store;  // no file name: Save writes nothing
  EXPECT_TRUE(options.WriteIni(store, false));
  EXPECT_EQ(store.ToText().str(), expected);
  EXPECT_EQ(store.GetSection(0).names.GetSize(), 91);
  EXPECT_EQ(StoredIni(options, true), expected);
}

TEST(QVMOptionsIni, WriteDefaultsKeepsValuesAndReadBackClamps) {
  QVMOptions options;
  options.SqrtGap.Value = 250;
  options.Font.Value.Size = 500;
  const std::string defaults = StoredIni(options, true);
  EXPECT_NE(defaults.find("SqrtGap=100\r\n"), std::string::npos);
  EXPECT_EQ(options.SqrtGap.Value, 250);
  EXPECT_EQ(options.SqrtGap.Saved, 250);

  CIniFile store;
  store.WriteValue("Options", "FractionGap", "5", true);
  store.WriteValue("Options", "SqrtGap", "600", true);
  store.WriteValue("Options", "PowerRaise", "nan", true);
  store.WriteValue("Options", "Font", "-14,0,0,0,700,0,0,0,0,7,48,2,2,0,300,Courier New", true);
  options.ReadHolders(store);
  EXPECT_EQ(options.FractionGap.Value, 0);
  EXPECT_EQ(options.SqrtGap.Value, 250);
  EXPECT_EQ(options.PowerRaise.Value, 0.5);
  EXPECT_EQ(options.Font.Value.Size, 300);
  EXPECT_EQ(options.Font.Value.LogFont.lfWeight, 700);
  EXPECT_EQ(options.MatrixAlign.Value, 1);  // missing: the default
}

TEST(QVMOptionsIni, FileRoundTrip) {
  TempFolder folder;
  QVMOptions options;
  options.MultiplyStyle.Value = 2;
  options.QuoteFont.Value = "Courier New";
  options.Letters[0].Value = true;
  QVIniFile out;
  out.FolderName = "Marvolk";
  out.FileName = "QVM400";
  out.Location = ExplicitPath;
  out.AssignPath(folder.File("QVM400.ini").c_str());
  options.WriteIni(out, false);

  QVIniFile in;
  in.Location = ExplicitPath;
  in.AssignPath(folder.File("QVM400.ini").c_str());
  QVMOptions back;
  EXPECT_TRUE(back.ReadIni(in));
  EXPECT_EQ(back.MultiplyStyle.Value, 2);
  EXPECT_EQ(back.QuoteFont.Value, "Courier New");
  EXPECT_TRUE(back.Letters[0].Value);
  EXPECT_EQ(StoreBytes(back), StoreBytes(options));
}

TEST(QVMOptions, AssignmentCopiesHoldersSwitches1To8AndNineLists) {
  QVMOptions source(3);
  source.LastPropertyPage = 4;
  source.DrawScale = 2.0;
  source.ParseSwitches[9] = true;  // outside 1 to 8: not copied
  source.SqrtGap.Value = 321;
  QVMOptions target;
  target.LastPropertyPage = 2;
  target = source;
  EXPECT_EQ(target.SqrtGap.Value, 321);
  EXPECT_TRUE(target.UseOneFont.Value);
  EXPECT_EQ(target.Font.Value.Size, 300);
  EXPECT_EQ(target.FunctionList, source.FunctionList);
  EXPECT_EQ(target.MarkList, "");
  EXPECT_EQ(target.GreekList, "pi,112,th,113");
  // Kept from the style-0 target.
  EXPECT_EQ(target.CircledDigitList.Left(8), "(0),128,");
  EXPECT_EQ(target.LastPropertyPage, 2);
  EXPECT_EQ(target.DrawScale, 1.0);
  EXPECT_EQ(target.Style, 0);
  const bool style0[] = {0, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 0};
  const bool style3[] = {0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < QVMOptions::kParseSwitchCount; ++i)
    EXPECT_EQ(target.ParseSwitches[i], i >= 1 && i <= 8 ? style3[i] : style0[i]) << i;
  // Keys, ranges and defaults travel with the holders.
  EXPECT_EQ(StoredIni(target, true), StoredIni(source, true));
}
