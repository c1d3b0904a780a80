// The option table: defaults and ranges of every holder per default style,
// the keyword lists and parse switches per style, and the INI and archive
// orders of the holders.
#include "options/OptionTable.h"

#include <cstring>

#include "options/OptionText.h"

namespace {

constexpr const char* kSection = "Options";
constexpr int kStyleCount = 6;

// A default: a number (ints, bools, doubles, colours), a text (strings, and
// the INI text form of pens and fonts), or nothing for "the style leaves
// this holder as it is".
struct Preset {
  double number;
  const char* text;
  bool set;
};
constexpr Preset Num(double value) { return {value, nullptr, true}; }
constexpr Preset Txt(const char* text) { return {0.0, text, true}; }
constexpr Preset On = Num(1), Off = Num(0), Unset{0.0, nullptr, false};

struct DefaultRow {
  HolderRef holder;
  const char* key;
  Preset value;
  double min, max;
};

struct StyleRow {
  HolderRef holder;
  const char* key;
  double min, max;
  Preset styles[kStyleCount];
};

struct ListRow {
  CString QVMOptions::*list;
  const char* styles[kStyleCount];  // null: the style leaves the list as it is
};

#define OPTION(name) &QVMOptions::name, #name
constexpr double kShort = 32767, kShortMin = -32768;

// clang-format off
// Holders set alike in every style.
const DefaultRow kCommonRows[] = {
  {OPTION(PowerRaise),                  Num(0.7),   0, 1},
  {OPTION(FractionGap),                 Num(0),     0, 0},
  {OPTION(SqrtGap),                     Num(100),   0, 500},
  {OPTION(BoxGap),                      Num(100),   0, 500},
  {OPTION(SqrtThickness1),              Num(30),    0, 200},
  {OPTION(SqrtThickness2),              Num(90),    0, 400},
  {OPTION(MultiplyStyle),               Num(0),     0, 2},
  {OPTION(FracLevelMax),                Num(4),     0, 10},
  {OPTION(PowerLevelMax),               Num(2),     0, 10},
  {OPTION(FracLevelRatio),              Num(0.3),   0, 1},
  {OPTION(PowerLevelRatio),             Num(0.3),   0, 1},
  {OPTION(VectorArrowSize),             Num(150),   0, 500},
  {OPTION(GeneralPen),                  Txt("0,0,0,65542,2,30.000000"), 0, 0},
  {OPTION(IntegralStyle),               Num(0),     0, 1},
  {OPTION(PermCombStyle),               Num(2),     0, 2},
  {OPTION(UnitsBold),                   On,         0, 0},
  {OPTION(UnitsItalic),                 On,         0, 0},
  {OPTION(QuoteBold),                   Off,        0, 0},
  {OPTION(QuoteItalic),                 On,         0, 0},
  {OPTION(QuoteFont),                   Txt("Arial"), 0, 0},
  {OPTION(FunctionFont),                Txt("Arial"), 0, 0},
  {OPTION(UnitsFont),                   Txt("Arial"), 0, 0},
  {OPTION(VectorFont),                  Txt("Arial"), 0, 0},
  {OPTION(GreekColor),                  Num(0),     0, 0},
  {OPTION(VariableColor),               Num(0),     0, 0},
  {OPTION(FunctionColor),               Num(0),     0, 0},
  {OPTION(UnitColor),                   Num(0),     0, 0},
  {OPTION(QuoteColor),                  Num(0),     0, 0},
  {OPTION(VectorColor),                 Num(0),     0, 0},
  {OPTION(ShrinkNonAlgebraicFractions), On,         0, 0},
  {OPTION(ExpandSubtract),              On,         0, 0},
  {OPTION(NegativeNumberStyle),         Num(0),     0, 2},
  {OPTION(MatrixVerticalSpacing),       Num(400),   0, 10000},
  {OPTION(MatrixHorizontalSpacing),     Num(600),   0, 10000},
  {OPTION(MatrixAlign),                 Num(1),     0, 2},
  {OPTION(UseWordFont),                 Off,        0, 0},
  {OPTION(Font),                        Txt("-14,0,0,0,400,0,0,0,0,7,48,2,2,0,388,Arial"), 0, 0},
};

constexpr const char* kUnits0 = "cm,km,mm,L,mL,cL,kL,ML,mg,kg";
constexpr const char* kUnits1 = "m,cm,km,mm,L,mL,cL,kL,ML,s,h,g,mg,kg";
constexpr const char* kMacros0 = "qf%x=(-b+-sr(b2-4ac))/2a%pv7%3.1415927%pv20%3.14159265358979323846%";
constexpr const char* kMacros1 = "#G%6.67E-11%#h%6.63E-34%#mp%1.67E-27%#mn%1.67E-27%#me%9.11E-31%#Avo%6.02E23";

// Holders set per style: style 0, 1, 2, 3, 4, 5.
const StyleRow kStyleRows[] = {
  {OPTION(UseIndicatedVectors), 0, 0,                {On,           On,           Off,      Off,      Off,      Off}},
  {OPTION(UseAutomaticVectors), 0, 0,                {On,           On,           Off,      Off,      Off,      Off}},
  {OPTION(LowerCase),           kShortMin, kShort,   {Num(1),       Num(0),       Num(0),   Num(0),   Num(0),   Num(0)}},
  {OPTION(DisplayVect),         kShortMin, kShort,   {Num(0),       Num(0),       Num(0),   Num(0),   Num(0),   Num(0)}},
  {OPTION(DoubleCaps),          kShortMin, kShort,   {Num(1),       Num(1),       Num(0),   Num(0),   Num(0),   Num(0)}},
  {OPTION(DetectColumnVectors), 0, 0,                {On,           On,           Off,      Off,      Off,      Off}},
  {OPTION(UnitsList),           0, 0,                {Txt(kUnits0), Txt(kUnits1), Txt(""),  Txt(""),  Txt(""),  Txt("")}},
  {OPTION(UseOneFont),          0, 0,                {On,           Off,          Off,      On,       On,       On}},
  {OPTION(UseWingdings),        0, 0,                {On,           On,           Off,      Off,      Off,      Off}},
  {OPTION(WipeBackground),      0, 0,                {Off,          Unset,        On,       Off,      Off,      Off}},
  {OPTION(UseAutographEntry),   0, 0,                {On,           On,           On,       On,       On,       On}},
  {OPTION(VerticalAlignStyle),  0, 1,                {Num(0),       Num(0),       Num(0),   Num(0),   Num(0),   Num(0)}},
  {OPTION(AlignEquals),         0, 0,                {On,           On,           On,       On,       On,       On}},
  {OPTION(MacroList),           0, 0,                {Txt(kMacros0), Txt(kMacros1), Txt(""), Txt(""), Txt(""),  Txt("")}},
};

// Holders set alike in every style after the style block (the letters and
// the locale's characters are set in SetTail).
const DefaultRow kTailRows[] = {
  {OPTION(TabWidth),          Num(1000), kShortMin, kShort},
  {OPTION(VerticalSpacing),   Num(1000), kShortMin, kShort},
  {OPTION(RaiseDecimal),      Off,       0, 0},
  {OPTION(FunctionsItalic),   Off,       0, 0},
  {OPTION(FunctionsBold),     Off,       0, 0},
  {OPTION(VariablesItalic),   On,        0, 0},
  {OPTION(VariablesBold),     Off,       0, 0},
  {OPTION(GreekItalic),       Off,       0, 0},
  {OPTION(GreekBold),         Off,       0, 0},
  {OPTION(ArrowHeadStyle),    Num(0),    0, 1},
  {OPTION(UsePhiVariant),     Off,       0, 0},
  {OPTION(UseSigmaVariant),   Off,       0, 0},
  {OPTION(UseThetaVariant),   Off,       0, 0},
  {OPTION(UseUpsilonVariant), Off,       0, 0},
};
// Lower-case letters that become vectors when LowerCase is 2.
constexpr const char* kVectorLetters = "IJKR";

constexpr const char* kRelations0 = ">=,179,<=,163,<>,185,!=,185,=/,185,=~,64,->,174,=>,222,<=>,219,/ ,184,~=,64,~~,187,-=,186,prop,181";
constexpr const char* kRelations1 = ">=,179,<=,163,!=,185,=/,185,=~,64,->,174,=>,222,<=>,219,/ ,184,~=,64,~~,187,-=,186,prop,181";
constexpr const char* kRelations2 = ">=,179,<=,163,!=,185,=/,185,=~,64,=>,174,equ,222,/ ,184,~=,64,~~,187,-=,186,prop,181";
constexpr const char* kRelations3 = ">=,179,<=,163,<>,185,!=,185,=/,185";
constexpr const char* kSymbols0 = "tri,D,ang,208,inf,165,perp,^,and,199,or,200,element,206,notelement,207,notsubset,203,propersubset,205,subset,204,tf,92,pd,182,nabla,209,te,36,fa,34,dp,215";
constexpr const char* kSymbols1 = "+-,177,tri,D,inf,165,perp,^,para,2,and,199,or,200,element,206,notelement,207,notsubset,203,propersubset,205,subset,204,tf,92,^^,173,nabla,209,pd,182";
constexpr const char* kSymbols2 = "+-,177,tri,D,ang,208,inf,165,perp,^,para,2,and,199,or,200,element,206,subset,204,tf,92,^^,173,nabla,209,pd,182";
constexpr const char* kSymbols3 = "+-,177";
constexpr const char* kPrimes = "',162";
constexpr const char* kCircled = "(0),128,(1),129,(2),130,(3),131,(4),132,(5),133,(6),134,(7),135,(8),136,(9),137";
constexpr const char* kGreek0 = "pi,112,th,113,al,97,be,98,ch,99,de,100,ph,102,ga,103,la,108,mu,109,rh,114,SI,S,om,119,OM,87,si,115,ep,101,ze,122,et,104,io,105,ka,107,nu,110,xi,120,ta,116,up,117,ps,121,GA,71,DE,68,TH,81,LA,76,XI,88,PI,80,UP,85,PH,70,PS,89";
constexpr const char* kGreek3 = "pi,112,th,113";
constexpr const char* kGreek4 = "pi,112";
constexpr const char* kFunctions0 = "sin,cos,tan,asin,acos,atan,sec,cosec,cot,cosh,sinh,tanh,ln,log,abs,arg,cis,mod,csc,sech,coth,csch,sgn";
constexpr const char* kFunctions1 = "sin,cos,tan,asin,acos,atan,sec,cosec,cot,cosh,sinh,tanh,ln,log,abs,arg";
constexpr const char* kFunctions2 = "sin,cos,tan,asin,acos,atan,sec,cosec,cot,cosh,sinh,tanh,ln,log,exp,abs,arg,csc,sech,coth,csch,sgn,normal,fisher,rank,standardize,zscore,inc,rand,normp,normq,normpdf,randbetween,standardise,mpa,sort,sorta,sortd,deviation,freqtable,randnormal,round,sortcol,sortcola,sortcold,rank,ranka,rankd,percentile,stanine,decile,cumfreqtable,group,groupn,groupw,groupe,randbinomial,randbernoulli,randhypergeometric,randgeometric,randnegbinomial,predictx,predicty,residualx,residualy,residual,predict,seasonalise,row,fibonacci,tribonacci,triangular,randpoisson,randstudent,randchisquared,randlognormal,randexponential,diceroll";
constexpr const char* kFunctions3 = "sin,cos,tan,asin,acos,atan,sec,cosec,cot,cosh,sinh,tanh,ln,log,abs,arg,normal,exp,sgn,gint";
constexpr const char* kFunctions5 = "sin,cos,tan,asin,acos,atan,sec,cosec,cot,cosh,sinh,tanh,ln,log,abs,arg,normal,exp,sgn,gint,cis";
constexpr const char* kInverses = "sin-1,cos-1,tan-1";
constexpr const char* kReplace0 = "xx,x2,xxx,x3,xxxx,x4,xxxxx,x5,xxxxxx,x6,yy,y2,yyy,y3,yyyy,y4,yyyyy,y5,yyyyyy,y6,au,197";
constexpr const char* kReplace1 = "xx,x2,xxx,x3,xxxx,x4,xxxxx,x5,xxxxxx,x6,yy,y2,yyy,y3,yyyy,y4,yyyyy,y5,yyyyyy,y6,ang,197";
constexpr const char* kReplace2 = "xx,x2,xxx,x3,xxxx,x4,xxxxx,x5,xxxxxx,x6,yy,y2,yyy,y3,yyyy,y4,yyyyy,y5,yyyyyy,y6";
constexpr const char* kMarks = "::,:,^^,_";

// The keyword lists: style 0, 1, 2, 3, 4, 5.
const ListRow kListRows[] = {
  {&QVMOptions::RelationList,        {kRelations0, kRelations1, kRelations2, kRelations3, "",          kRelations3}},
  {&QVMOptions::SymbolList,          {kSymbols0,   kSymbols1,   kSymbols2,   kSymbols3,   "",          kSymbols3}},
  {&QVMOptions::PrimeList,           {kPrimes,     kPrimes,     kPrimes,     kPrimes,     "",          kPrimes}},
  {&QVMOptions::CircledDigitList,    {kCircled,    nullptr,     nullptr,     nullptr,     nullptr,     nullptr}},
  {&QVMOptions::GreekList,           {kGreek0,     kGreek0,     kGreek0,     kGreek3,     kGreek4,     kGreek3}},
  {&QVMOptions::FunctionList,        {kFunctions0, kFunctions1, kFunctions2, kFunctions3, "",          kFunctions5}},
  {&QVMOptions::InverseFunctionList, {kInverses,   kInverses,   kInverses,   kInverses,   "",          kInverses}},
  {&QVMOptions::AutoReplaceList,     {kReplace0,   kReplace1,   kReplace2,   kReplace2,   "",          kReplace2}},
  {&QVMOptions::DrawnConstructList,  {"int,sigma,product,lim,box,@", "int,sigma,product,lim,box", "", "int", "", "int,@"}},
  {&QVMOptions::MarkList,            {kMarks,      kMarks,      kMarks,      "",          "",          ""}},
};

// Parse switches 0 to 18 per style: 1 on, 0 off, -1 left as it is.
const signed char kParseSwitchRows[kStyleCount][QVMOptions::kParseSwitchCount] = {
  /* 0 */ {0, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, 1,  1, 0},
  /* 1 */ {0, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, -1, 1, -1, 0},
  /* 2 */ {0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, -1, 0, -1, 0},
  /* 3 */ {0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, -1, 0, -1, 0},
  /* 4 */ {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, -1, 0},
  /* 5 */ {0, 0, 1, 1, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, -1, 0, -1, 0},
};

// The 91 stored holders in INI order.
const HolderRef kIniOrder[] = {
  &QVMOptions::LowerCase,        &QVMOptions::DisplayVect,         &QVMOptions::DoubleCaps,
  &QVMOptions::TabWidth,         &QVMOptions::VerticalSpacing,     &QVMOptions::RaiseDecimal,
  &QVMOptions::DetectColumnVectors, &QVMOptions::FunctionsItalic,  &QVMOptions::FunctionsBold,
  &QVMOptions::VariablesItalic,  &QVMOptions::VariablesBold,       &QVMOptions::GreekItalic,
  &QVMOptions::GreekBold,        LetterRun{0, 25},                 &QVMOptions::Font,
  &QVMOptions::UsePhiVariant,    &QVMOptions::UseSigmaVariant,     &QVMOptions::UseThetaVariant,
  &QVMOptions::UseUpsilonVariant, &QVMOptions::PowerRaise,         &QVMOptions::FractionGap,
  &QVMOptions::SqrtGap,          &QVMOptions::BoxGap,              &QVMOptions::SqrtThickness1,
  &QVMOptions::SqrtThickness2,   &QVMOptions::MultiplyStyle,       &QVMOptions::FracLevelMax,
  &QVMOptions::PowerLevelMax,    &QVMOptions::FracLevelRatio,      &QVMOptions::PowerLevelRatio,
  &QVMOptions::VectorArrowSize,  &QVMOptions::GeneralPen,          &QVMOptions::IntegralStyle,
  &QVMOptions::PermCombStyle,    &QVMOptions::UseAutographEntry,   &QVMOptions::UseIndicatedVectors,
  &QVMOptions::UseAutomaticVectors, &QVMOptions::UseWingdings,     &QVMOptions::WipeBackground,
  &QVMOptions::VerticalAlignStyle, &QVMOptions::AlignEquals,       &QVMOptions::UseOneFont,
  &QVMOptions::UnitsBold,        &QVMOptions::UnitsItalic,         &QVMOptions::QuoteBold,
  &QVMOptions::QuoteItalic,      &QVMOptions::UnitsFont,           &QVMOptions::QuoteFont,
  &QVMOptions::FunctionFont,     &QVMOptions::VectorFont,          &QVMOptions::GreekColor,
  &QVMOptions::VariableColor,    &QVMOptions::FunctionColor,       &QVMOptions::UnitColor,
  &QVMOptions::QuoteColor,       &QVMOptions::VectorColor,         &QVMOptions::UnitsList,
  &QVMOptions::MacroList,        &QVMOptions::ShrinkNonAlgebraicFractions, &QVMOptions::ExpandSubtract,
  &QVMOptions::NegativeNumberStyle, &QVMOptions::MatrixVerticalSpacing, &QVMOptions::MatrixHorizontalSpacing,
  &QVMOptions::MatrixAlign,      &QVMOptions::UseWordFont,         &QVMOptions::ArrowHeadStyle,
};

// The archive form: holder and the first version that carries it.
const ArchiveRow kArchiveOrder[] = {
  // group 1
  {&QVMOptions::LowerCase, 1},        {&QVMOptions::DisplayVect, 1},      {&QVMOptions::DoubleCaps, 1},
  {&QVMOptions::TabWidth, 1},         {&QVMOptions::VerticalSpacing, 1},  {&QVMOptions::RaiseDecimal, 1},
  {&QVMOptions::DetectColumnVectors, 1}, {&QVMOptions::FunctionsItalic, 1}, {&QVMOptions::FunctionsBold, 1},
  {&QVMOptions::VariablesItalic, 1},  {&QVMOptions::VariablesBold, 1},    {&QVMOptions::GreekItalic, 1},
  {&QVMOptions::GreekBold, 1},        {LetterRun{0, 19}, 1},
  // group 2
  {LetterRun{20, 25}, 1},             {&QVMOptions::Font, 1},             {&QVMOptions::UsePhiVariant, 1},
  {&QVMOptions::UseSigmaVariant, 1},  {&QVMOptions::UseThetaVariant, 1},  {&QVMOptions::UseUpsilonVariant, 1},
  {&QVMOptions::PowerRaise, 1},
  // group 3
  {&QVMOptions::FractionGap, 1},      {&QVMOptions::SqrtGap, 1},          {&QVMOptions::SqrtThickness1, 1},
  {&QVMOptions::SqrtThickness2, 1},   {&QVMOptions::MultiplyStyle, 1},    {&QVMOptions::FracLevelMax, 1},
  {&QVMOptions::PowerLevelMax, 1},    {&QVMOptions::FracLevelRatio, 1},   {&QVMOptions::PowerLevelRatio, 1},
  {&QVMOptions::VectorArrowSize, 1},  {&QVMOptions::GeneralPen, 1},       {&QVMOptions::IntegralStyle, 1},
  {&QVMOptions::UseAutographEntry, 1}, {&QVMOptions::UseIndicatedVectors, 1}, {&QVMOptions::UseAutomaticVectors, 1},
  {&QVMOptions::UseOneFont, 1},       {&QVMOptions::UnitsBold, 1},        {&QVMOptions::UnitsItalic, 1},
  {&QVMOptions::QuoteBold, 1},        {&QVMOptions::QuoteItalic, 1},      {&QVMOptions::UnitsFont, 1},
  {&QVMOptions::QuoteFont, 1},        {&QVMOptions::FunctionFont, 1},     {&QVMOptions::VectorFont, 1},
  {&QVMOptions::GreekColor, 1},       {&QVMOptions::VariableColor, 1},    {&QVMOptions::FunctionColor, 1},
  {&QVMOptions::UnitColor, 1},        {&QVMOptions::QuoteColor, 1},       {&QVMOptions::VectorColor, 1},
  {&QVMOptions::UnitsList, 1},        {&QVMOptions::MacroList, 1},
  // group 4
  {&QVMOptions::ShrinkNonAlgebraicFractions, 1}, {&QVMOptions::ExpandSubtract, 1},
  {&QVMOptions::NegativeNumberStyle, 1}, {&QVMOptions::MatrixVerticalSpacing, 1},
  {&QVMOptions::MatrixHorizontalSpacing, 1}, {&QVMOptions::MatrixAlign, 1}, {&QVMOptions::UseWordFont, 1},
  // later versions
  {&QVMOptions::BoxGap, 2},           {&QVMOptions::PermCombStyle, 2},    {&QVMOptions::UseWingdings, 2},
  {&QVMOptions::VerticalAlignStyle, 2}, {&QVMOptions::WipeBackground, 2},
  {&QVMOptions::AlignEquals, 3},
  {&QVMOptions::ArrowHeadStyle, 4},
};
// clang-format on

#undef OPTION

// Gives one holder its identity and, when the preset is set, its default.
struct ApplyPreset {
  const char* key;
  const Preset& preset;
  double min, max;

  template <typename Holder>
  void Identify(Holder& holder) const {
    holder.Section = kSection;
    holder.Key = key;
    if constexpr (requires { holder.Min; }) {
      holder.Min = static_cast<decltype(holder.Min)>(min);
      holder.Max = static_cast<decltype(holder.Max)>(max);
    }
  }

  void operator()(QVOptionInt& h) const {
    h.Init(kSection, key, 0, static_cast<int32_t>(preset.number), static_cast<int32_t>(min),
           static_cast<int32_t>(max));
  }
  void operator()(QVOptionBool& h) const { h.Init(kSection, key, 0, preset.number != 0); }
  void operator()(QVOptionDouble& h) const { h.Init(kSection, key, 0, preset.number, min, max); }
  void operator()(QVOptionColorRef& h) const {
    h.Init(kSection, key, 0, static_cast<COLORREF>(preset.number));
  }
  void operator()(QVOptionString& h) const { h.Init(kSection, key, 0, preset.text, -1); }
  void operator()(QVOptionQVLogPen& h) const {
    QVLogPen pen;
    pen.ParseText(preset.text);
    h.Init(kSection, key, 0, pen);
  }
  void operator()(QVOptionQVLogFont& h) const {
    QVLogFont font;
    font.ParseText(preset.text);
    h.Init(kSection, key, 0, font);
  }
};

void Apply(QVMOptions& options, const HolderRef& holder, const char* key, const Preset& preset,
           double min, double max) {
  const ApplyPreset apply{key, preset, min, max};
  ForEachHolder(
      holder,
      [&](auto& h) {
        if (preset.set) apply(h);
        else apply.Identify(h);
      },
      options);
}

}  // namespace

std::span<const HolderRef> IniOrder() { return kIniOrder; }
std::span<const ArchiveRow> ArchiveOrder() { return kArchiveOrder; }

// Common block, style block (skipped for a style outside 0 to 5: its
// holders still get their section and key), then the tail.
void QVMOptions::SetDefaults(OptionStyle style) {
  ParseSwitches[0] = false;
  for (const DefaultRow& row : kCommonRows) Apply(*this, row.holder, row.key, row.value, row.min, row.max);
  ParseSwitches[9] = ParseSwitches[10] = ParseSwitches[11] = true;
  LastPropertyPage = 0;
  DrawScale = 1.0;
  Style = style;
  CurrentLineFormat = LineFormat();
  ParseSwitches[18] = false;

  const bool known = style >= 0 && style < kStyleCount;
  for (const StyleRow& row : kStyleRows)
    Apply(*this, row.holder, row.key, known ? row.styles[style] : Unset, row.min, row.max);
  if (known) {
    for (const ListRow& row : kListRows)
      if (row.styles[style]) this->*row.list = row.styles[style];
    for (int i = 0; i < kParseSwitchCount; ++i)
      if (kParseSwitchRows[style][i] >= 0) ParseSwitches[i] = kParseSwitchRows[style][i] != 0;
    // The reduced styles start with a smaller main font and no shrinking of
    // non-algebraic fractions; the defaults stay those of the full style.
    if (style >= 3) {
      Font.Value.Size = 300;
      ShrinkNonAlgebraicFractions.Value = false;
    }
  }

  const CString point = LocaleDecimalPoint();
  DecimalPoint.Init(kSection, "DecimalPoint", 0, point.IsEmpty() ? '\0' : point[0]);
  Separator.Init(kSection, "Separator", 0, DecimalPoint.Value == "." ? ',' : ';');
  for (const DefaultRow& row : kTailRows) Apply(*this, row.holder, row.key, row.value, row.min, row.max);
  for (int i = 0; i < 26; ++i) {
    const char letter = static_cast<char>('A' + i);
    Letters[i].Init(kSection, CString("Letters") + letter, 0, std::strchr(kVectorLetters, letter) != nullptr);
  }
}
