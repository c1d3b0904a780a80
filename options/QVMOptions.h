// QVMOptions: the equation option set. One holder per option (section
// "Options", key = member name), the keyword lists and parse switches of the
// chosen default style, and the archive and INI forms.
// The defaults per style, the INI order and the archive order are tables in
// OptionTable.cpp.
// Choices of ours: every holder gets its section and key whatever the style
// (a holder a style leaves unset keeps its value); LineFormat lives here
// until the equation list needs more of it.
#pragma once

#include <cstdint>

#include "framework/Archive.h"
#include "framework/Object.h"
#include "options/IniFile.h"
#include "options/OptionHolders.h"

// The default profile, 0 to 5 (the program asks for 0 and 3).
using OptionStyle = int32_t;

// Format of one equation line, copied in before the line is measured or drawn.
struct LineFormat {
  bool Bold = false;
  bool Underline = false;
  bool Italic = false;
  bool UseColour = false;
  COLORREF Colour = 0xff0000;
};

class QVMOptions : public CObject {
 public:
  static constexpr int kParseSwitchCount = 19;
  static constexpr int kArchiveVersion = 4;

  QVMOptions();
  explicit QVMOptions(OptionStyle style);
  QVMOptions(const QVMOptions& other) = default;
  ~QVMOptions() override = default;

  // Copies every holder, parse switches 1 to 8 and the lists other than
  // CircledDigitList; the rest of the set stays as it was.
  QVMOptions& operator=(const QVMOptions& other);

  void SetDefaults(OptionStyle style);
  void Serialize(CArchive& archive) override;
  bool ReadIni(QVIniFile& store);
  // Writes every holder into the store and saves it; only the user's own
  // commands write an option set, so every failure is reported. False when
  // the file could not be written.
  bool WriteIni(QVIniFile& store, bool writeDefaults);
  // The holder reads and writes without loading or saving the file.
  void ReadHolders(CIniFile& store);
  void WriteHolders(CIniFile& store, bool writeDefaults);

  QVOptionChar DecimalPoint, Separator;
  QVOptionInt LowerCase, DisplayVect, DoubleCaps, TabWidth, VerticalSpacing;
  QVOptionBool RaiseDecimal, DetectColumnVectors, FunctionsItalic, FunctionsBold, VariablesItalic,
      VariablesBold, GreekItalic, GreekBold;
  QVOptionBool Letters[26];  // LettersA to LettersZ
  QVOptionQVLogFont Font;
  QVOptionBool UsePhiVariant, UseSigmaVariant, UseThetaVariant, UseUpsilonVariant;
  QVOptionDouble PowerRaise;
  QVOptionInt FractionGap, SqrtGap, BoxGap, SqrtThickness1, SqrtThickness2, MultiplyStyle,
      FracLevelMax, PowerLevelMax;
  QVOptionDouble FracLevelRatio, PowerLevelRatio;
  QVOptionInt VectorArrowSize;
  QVOptionQVLogPen GeneralPen;
  QVOptionInt IntegralStyle, PermCombStyle;
  QVOptionBool UseAutographEntry, UseIndicatedVectors, UseAutomaticVectors, UseOneFont, UnitsBold,
      UnitsItalic, QuoteBold, QuoteItalic;
  QVOptionString UnitsFont, QuoteFont, FunctionFont, VectorFont;
  QVOptionColorRef GreekColor, VariableColor, FunctionColor, UnitColor, QuoteColor, VectorColor;
  QVOptionString UnitsList, MacroList;
  QVOptionBool ShrinkNonAlgebraicFractions, ExpandSubtract;
  QVOptionInt NegativeNumberStyle, MatrixVerticalSpacing, MatrixHorizontalSpacing, MatrixAlign;
  QVOptionBool UseWordFont, UseWingdings, WipeBackground;
  QVOptionInt VerticalAlignStyle;
  QVOptionBool AlignEquals;
  QVOptionInt ArrowHeadStyle;

  bool ParseSwitches[kParseSwitchCount] = {};
  CString RelationList, SymbolList, PrimeList, CircledDigitList, GreekList, FunctionList,
      InverseFunctionList, AutoReplaceList, DrawnConstructList, MarkList;
  int32_t LastPropertyPage = 0;
  OptionStyle Style = 0;
  double DrawScale = 1.0;
  LineFormat CurrentLineFormat;

 private:
  void LoadFromArchive(CArchive& archive);
};
