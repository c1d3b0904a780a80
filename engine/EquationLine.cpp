// The parse driver of one line: tokenizer steps, then the parse passes in
// their fixed order, then the levels that font choice reads.
#include "engine/EquationLine.h"

#include <cassert>
#include <iterator>
#include <string_view>

#include "engine/OptionAccess.h"
#include "engine/ParseRows.h"

namespace {

using PassGate = bool (*)(const QVMOptions&);
using PassRun = void (*)(EquationLine&, const QVMOptions&);

// One parse pass. `reducedSkips`: skipped in reduced mode (switch 0).
// `gate`: a further condition, none when null. `subjects`: the kinds the
// pass works on, or that the tokens it works on are made from (columns
// come from separators, fractions from "/"); 0 when it may act on any
// tree; also the facts about letters (ParseRows.h). A pass with subjects
// is skipped when the tree holds none of them.
// `makes`: the kinds a pass may bring into the tree (brackets, marks, text;
// small fractions); the later passes' subjects, and the layout's levels,
// look for them among the kinds present too. `needs`: kinds the pass does
// nothing without, besides one of its subjects.
struct ParsePass {
  const char* name;
  bool reducedSkips;
  PassGate gate;
  uint64_t subjects;
  PassRun run;
  uint64_t makes = 0;
  uint64_t needs = 0;
};

constexpr uint64_t K(TokenKind kind) { return KindBit(kind); }
constexpr uint64_t kBrackets = K(TK_OPEN) | K(TK_CLOSE);
// The words that take an argument, and the infix words.
constexpr uint64_t kArgumentWords = K(TK_FUNCTION) | K(TK_ARCSINCOSTAN) | K(TK_SQRT) | K(TK_ARC);
constexpr uint64_t kInfixWords = K(TK_ROOT) | K(TK_LONGDIV) | K(TK_COMBINATION) | K(TK_PERMUTATION);

template <int kSwitch>
bool Switch(const QVMOptions& o) {
  return ParseSwitch(o, kSwitch);
}
bool ColumnVectors(const QVMOptions& o) { return o.DetectColumnVectors.Value != 0; }
bool AutomaticVectors(const QVMOptions& o) { return o.UseAutomaticVectors.Value != 0; }
// How lower-case letters become vectors: guessed (1) or selected (2).
template <int kMode>
bool LowerCaseVectors(const QVMOptions& o) {
  QVOptionInt mode = o.LowerCase;  // read through the holder's range rule
  return AutomaticVectors(o) && mode.GetValue() == kMode;
}
bool Subscripts(const QVMOptions& o) { return ParseSwitch(o, 4) || ParseSwitch(o, 5); }
// Bracket groups' limits (switch 17) or matrices (switch 6), in one walk.
bool ColumnsGrouped(const QVMOptions& o) { return ParseSwitch(o, 17) || ParseSwitch(o, 6); }
bool MixedNumbers(const QVMOptions& o) { return o.ShrinkNonAlgebraicFractions.Value != 0; }

using L = EquationLine;
using O = const QVMOptions&;

// clang-format off
constexpr ParsePass kPasses[] = {
  {"AttachModifiers",                   true,  nullptr,          K(TK_MODIFIER),                              [](L& l, O) { l.Root().AttachModifiers(l.Factory()); },                                 K(TK_NUMBER) | K(TK_SPACE)},
  {"ExpandENotation",                   true,  Switch<3>,        K(TK_NUMBER),                                [](L& l, O) { l.Root().ExpandENotation(l.Factory()); },                                 kBrackets | K(TK_NUMBER) | K(TK_POWER) | K(TK_MULTIPLY)},
  {"DetectCombinations",                true,  Switch<14>,       kCombinationLetter,                          [](L& l, O) { l.Root().DetectCombinations(); },                                         K(TK_COMBINATION) | K(TK_PERMUTATION)},
  {"BracketScriptOperands",             true,  nullptr,          K(TK_POWER) | K(TK_SUBSCRIPT),               [](L& l, O) { l.BracketScriptOperands(); },                                             kBrackets | K(TK_RAW)},
  {"BracketOperatorOperands divide",    false, nullptr,          K(TK_DIVIDE),                                [](L& l, O) { l.Root().BracketOperatorOperands(TK_DIVIDE, l.Factory()); },             kBrackets | K(TK_RAW)},
  {"BracketOperatorOperands separator", false, ColumnVectors,    K(TK_SEPARATOR),                             [](L& l, O) { l.Root().BracketOperatorOperands(TK_SEPARATOR, l.Factory()); },          kBrackets | K(TK_RAW)},
  {"MergeNegativeNumbers",              false, nullptr,          K(TK_SUBTRACT),                              [](L& l, O) { l.Root().MergeNegativeNumbers(); }},
  {"InsertImplicitPowers",              true,  nullptr,          K(TK_NUMBER),                                [](L& l, O) { l.InsertImplicitPowers(); },                                              kBrackets | K(TK_POWER) | K(TK_SUBSCRIPT)},
  {"BracketFunctionArguments",          true,  nullptr,          kArgumentWords,                              [](L& l, O) { l.BracketFunctionArguments(); },                                          kBrackets},
  {"BracketConstructOperands",          true,  nullptr,          kInfixWords,                                 [](L& l, O) { l.BracketConstructOperands(); },                                          kBrackets | K(TK_RAW)},
  {"DetectCapitalVectors",              true,  AutomaticVectors, kCapitalPair,                                [](L& l, O) { l.DetectCapitalVectors(); }},
  {"DetectLowerCaseVectors guessed",    true,  LowerCaseVectors<1>, kUnitLetter,                              [](L& l, O o) { l.Root().DetectLowerCaseVectors(o); }},
  {"DetectLowerCaseVectors selected",   true,  LowerCaseVectors<2>, K(TK_VARIABLE),                           [](L& l, O o) { l.Root().DetectLowerCaseVectors(o); }},
  {"GroupPowers",                       true,  nullptr,          K(TK_POWER),                                 [](L& l, O) { l.Root().GroupPowers(l.Factory()); }},
  {"AttachArrowOperands",               true,  nullptr,          K(TK_IVRIGHT) | K(TK_IVLEFT) | K(TK_IVBOTH), [](L& l, O) { l.Root().AttachArrowOperands(); }},
  {"GroupSubscripts",                   true,  Subscripts,       K(TK_SUBSCRIPT),                             [](L& l, O) { l.Root().GroupSubscripts(l.Factory()); }},
  {"GroupSquareRoots",                  true,  nullptr,          K(TK_SQRT),                                  [](L& l, O) { l.Root().GroupSquareRoots(l.Factory()); }},
  {"GroupRoots",                        true,  nullptr,          K(TK_ROOT),                                  [](L& l, O) { l.Root().GroupRoots(l.Factory()); }},
  {"SplitCodeDrawnArguments",           true,  nullptr,          K(TK_CODEDRAW2),                             [](L& l, O) { l.Root().SplitCodeDrawnArguments(l.Factory()); }},
  {"GroupPrefixConstruct arc",          true,  Switch<13>,       K(TK_ARC),                                   [](L& l, O) { l.Root().GroupPrefixConstruct(TK_ARC, l.Factory()); }},
  {"GroupInfixConstruct longdiv",       true,  Switch<12>,       K(TK_LONGDIV),                               [](L& l, O) { l.Root().GroupInfixConstruct(TK_LONGDIV, l.Factory()); }},
  {"GroupInfixConstruct combination",   true,  Switch<14>,       K(TK_COMBINATION),                           [](L& l, O) { l.Root().GroupInfixConstruct(TK_COMBINATION, l.Factory()); }},
  {"GroupInfixConstruct permutation",   true,  Switch<14>,       K(TK_PERMUTATION),                           [](L& l, O) { l.Root().GroupInfixConstruct(TK_PERMUTATION, l.Factory()); }},
  {"GroupBinaryOperator column",        false, ColumnVectors,    K(TK_SEPARATOR),                             [](L& l, O) { l.Root().GroupBinaryOperator(TK_SEPARATOR, TK_COLUMN, l.Factory()); }},
  {"GroupBinaryOperator fraction",      false, nullptr,          K(TK_DIVIDE),                                [](L& l, O) { l.Root().GroupBinaryOperator(TK_DIVIDE, TK_FRACTION, l.Factory()); }},
  {"GroupBrackets",                     false, nullptr,          0,                                           [](L& l, O) { l.Root().GroupBrackets(l.Factory()); }},
  {"BracketPoweredGroups",              false, nullptr,          0,                                           [](L& l, O) { l.BracketPoweredGroups(); }},
  // BracketPoweredGroups brackets the root row alone, and the first
  // grouping left no opening bracket anywhere: only the root row is grouped.
  {"GroupBrackets again",               false, nullptr,          0,                                           [](L& l, O) { l.Root().GroupOwnBrackets(l.Factory()); }},
  {"AttachBarModifiers",                false, nullptr,          K(TK_MODIFIER),                              [](L& l, O) { l.Root().AttachBarModifiers(); }},
  {"GroupColumns",                      false, ColumnsGrouped,   K(TK_SEPARATOR),                             [](L& l, O o) { l.GroupColumns(o); }},
  {"FormatMixedNumbers",                false, MixedNumbers,     K(TK_DIVIDE),                                [](L& l, O o) { l.Root().FormatMixedNumbers(ParseSwitch(o, 18)); },                     K(TK_SMALLFRACTION), K(TK_NUMBER)},
};
// clang-format on
static_assert(sizeof(kPasses) / sizeof(kPasses[0]) == 31);
// The first operand pass that adds brackets around operands.
constexpr size_t kFirstBracketingPass = 3;
constexpr size_t kDividePass = 4;
// The operand passes that merge signs into numbers and add implicit powers.
constexpr size_t kSignPass = 6;
constexpr size_t kPowerPass = 7;
// The first pass after the operand passes: by then every bracket the parse
// will nest is in the flat row.
constexpr size_t kFirstPassAfterOperands = 10;
constexpr bool Named(size_t n, std::string_view name) { return std::string_view(kPasses[n].name) == name; }
static_assert(Named(kFirstBracketingPass, "BracketScriptOperands") &&
              Named(kDividePass, "BracketOperatorOperands divide") && Named(kSignPass, "MergeNegativeNumbers") &&
              Named(kPowerPass, "InsertImplicitPowers") && Named(kFirstPassAfterOperands, "DetectCapitalVectors"));

bool Runs(const ParsePass& pass, const QVMOptions& options, uint64_t present, bool reduced) {
  if (pass.reducedSkips && reduced) return false;
  if (pass.gate != nullptr && !pass.gate(options)) return false;
  if ((pass.needs & present) != pass.needs) return false;
  return pass.subjects == 0 || (pass.subjects & present) != 0;
}

// The kinds below which a row's levels differ from its token's: scripts,
// a root's index, combinations, code-drawn constructs, small fractions (a
// nesting level more), and bracket groups' limits.
constexpr uint64_t kRaisesLevels = K(TK_POWER) | K(TK_SUBSCRIPT) | K(TK_ROOT) | K(TK_PERMUTATION) |
                                   K(TK_COMBINATION) | K(TK_CODEDRAW2) | K(TK_SMALLFRACTION) |
                                   kBracketLimits;

}  // namespace

EquationLine::~EquationLine() {
  // The root row points into the factory: forget the pointers first.
  root_.RemoveAll();
  factory_.DeleteAll();
}

// Parses only a changed text, or any text after a re-parse was asked for.
void EquationLine::SetText(const CString& text, const QVMOptions& options) {
  if (text == text_ && !reparse_) return;
  // Until this parse completes, the next call must parse again (a memory
  // exception may leave the tree half built).
  reparse_ = true;
  root_.RemoveAll();
  factory_.DeleteAll();
  BuildLexicon(options);
  text_ = text;
  // A tab in pasted text is the tab mark the text box types for Tab; the
  // stored text keeps what was typed.
  CString marked = text;
  marked.Replace('\t', '\xBB');
  QVMToken* raw = factory_.NewToken(TK_RAW);
  raw->Set(TK_RAW, marked, kMarkNone, CString());
  root_.Append(raw);
  Tokenize(options);
  const uint64_t kinds = RunParsePasses(options);
  // Every token and row below the root was made by this parse, levels 0
  // and marked for layout: without a kind that raises levels, the walk of
  // the whole tree would only write what is there (on a long line, one
  // cache miss per token).
  if ((kinds & kRaisesLevels) != 0) root_.PrepareLayout(0, 0.0, options);
  else root_.SetNeedsLayout(true);
  // A pass that makes one of those kinds must say so in what it makes.
  assert((kinds & kRaisesLevels) != 0 || (KindsInTree(root_) & kRaisesLevels) == 0);
  reparse_ = false;
  remeasure_ = true;
}

// A pass whose subjects the tree does not hold is not run (each would walk
// the whole tree for nothing). Until the operand passes end, the kinds the
// tokenizer left and those the passes run since may make are taken as
// present. After them no pass makes a token of a kind that some pass has
// as its subject, other than in place of one of that kind: the kinds found
// then tell which of the later passes would find nothing to do.
uint64_t EquationLine::RunParsePasses(const QVMOptions& options) {
  const bool reduced = ParseSwitch(options, 0);
  const RowSurvey survey = SurveyRow(root_);
  // Which capitals stand side by side is known only after the cap (the
  // operand passes put brackets between letters, the cap drops some).
  uint64_t present = survey.kinds | kCapitalPair;
  for (size_t n = 0; n < std::size(kPasses); ++n) {
    const ParsePass& pass = kPasses[n];
    // Bounds the tree before the grouping passes turn brackets into rows.
    if (n == kFirstPassAfterOperands) present = CapNestingDepth(root_, factory_);
    // Scientific notation may have nested the typed brackets one level more.
    if (n == kFirstBracketingPass && survey.deepest >= kMaxNestingDepth - 1)
      KeepDeepGroupsAsText(root_, factory_, Runs(kPasses[kSignPass], options, present, reduced),
                           Runs(kPasses[kPowerPass], options, present, reduced));
    if (n == kFirstBracketingPass && Runs(pass, options, present, reduced) &&
        Runs(kPasses[kDividePass], options, present, reduced))
      KeepDeepPowerFractionsAsText(root_, factory_);
    if (n == kFirstBracketingPass && Runs(kPasses[kDividePass], options, present, reduced))
      KeepDeepRootFractionsAsText(root_, factory_);
    if (!Runs(pass, options, present, reduced)) continue;
    madeKinds_ = 0;
    pass.run(*this, options);
    present |= pass.makes | madeKinds_;
  }
  return present;
}

// Limits shrink the fractions among them.
void EquationLine::GroupColumns(const QVMOptions& options) {
  if (root_.GroupColumns(ParseSwitch(options, 17), ParseSwitch(options, 6), factory_))
    madeKinds_ |= kBracketLimits | K(TK_SMALLFRACTION);
}
