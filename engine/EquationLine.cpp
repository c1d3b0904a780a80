// The parse driver of one line: tokenizer steps, then the parse passes in
// their fixed order, then the levels that font choice reads.
#include "engine/EquationLine.h"

#include <iterator>

#include "engine/OptionAccess.h"
#include "engine/ParseRows.h"

namespace {

using PassGate = bool (*)(const QVMOptions&);
using PassRun = void (*)(EquationLine&, const QVMOptions&);

// One parse pass. `reducedSkips`: skipped in reduced mode (switch 0).
// `gate`: a further condition, none when null. `subjects`: the kinds the
// pass works on, or that the tokens it works on are made from (columns
// come from separators, fractions from "/"); 0 when it may act on any
// tree. A pass with subjects is skipped when the tree holds none of them.
struct ParsePass {
  const char* name;
  bool reducedSkips;
  PassGate gate;
  uint64_t subjects;
  PassRun run;
};

constexpr uint64_t K(TokenKind kind) { return KindBit(kind); }

template <int kSwitch>
bool Switch(const QVMOptions& o) {
  return ParseSwitch(o, kSwitch);
}
bool ColumnVectors(const QVMOptions& o) { return o.DetectColumnVectors.Value != 0; }
bool AutomaticVectors(const QVMOptions& o) { return o.UseAutomaticVectors.Value != 0; }
bool Subscripts(const QVMOptions& o) { return ParseSwitch(o, 4) || ParseSwitch(o, 5); }
bool MixedNumbers(const QVMOptions& o) { return o.ShrinkNonAlgebraicFractions.Value != 0; }

using L = EquationLine;
using O = const QVMOptions&;

// clang-format off
const ParsePass kPasses[] = {
  {"AttachModifiers",                   true,  nullptr,          0,                                           [](L& l, O) { l.Root().AttachModifiers(l.Factory()); }},
  {"ExpandENotation",                   true,  Switch<3>,        0,                                           [](L& l, O) { l.Root().ExpandENotation(l.Factory()); }},
  {"DetectCombinations",                true,  Switch<14>,       0,                                           [](L& l, O) { l.Root().DetectCombinations(); }},
  {"BracketScriptOperands",             true,  nullptr,          0,                                           [](L& l, O) { l.BracketScriptOperands(); }},
  {"BracketOperatorOperands divide",    false, nullptr,          0,                                           [](L& l, O) { l.Root().BracketOperatorOperands(TK_DIVIDE, l.Factory()); }},
  {"BracketOperatorOperands separator", false, ColumnVectors,    0,                                           [](L& l, O) { l.Root().BracketOperatorOperands(TK_SEPARATOR, l.Factory()); }},
  {"MergeNegativeNumbers",              false, nullptr,          0,                                           [](L& l, O) { l.Root().MergeNegativeNumbers(); }},
  {"InsertImplicitPowers",              true,  nullptr,          0,                                           [](L& l, O) { l.InsertImplicitPowers(); }},
  {"BracketFunctionArguments",          true,  nullptr,          0,                                           [](L& l, O) { l.BracketFunctionArguments(); }},
  {"BracketConstructOperands",          true,  nullptr,          0,                                           [](L& l, O) { l.BracketConstructOperands(); }},
  {"DetectCapitalVectors",              true,  AutomaticVectors, 0,                                           [](L& l, O) { l.DetectCapitalVectors(); }},
  {"DetectLowerCaseVectors",            true,  AutomaticVectors, 0,                                           [](L& l, O o) { l.Root().DetectLowerCaseVectors(o); }},
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
  {"MergeBracketColumns",               false, Switch<17>,       K(TK_SEPARATOR),                             [](L& l, O) { l.Root().MergeBracketColumns(); }},
  {"GroupMatrices",                     false, Switch<6>,        K(TK_SEPARATOR),                             [](L& l, O) { l.Root().GroupMatrices(1, l.Factory()); }},
  {"FormatMixedNumbers",                false, MixedNumbers,     K(TK_DIVIDE),                                [](L& l, O o) { l.Root().FormatMixedNumbers(ParseSwitch(o, 18)); }},
};
// clang-format on
static_assert(sizeof(kPasses) / sizeof(kPasses[0]) == 31);
// The first pass after the operand passes: by then every bracket the parse
// will nest is in the flat row.
constexpr size_t kFirstPassAfterOperands = 10;

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
  RunParsePasses(options);
  root_.PrepareLayout(0, 0.0, options);
  reparse_ = false;
  remeasure_ = true;
}

// After the operand passes no pass makes a token of a kind that some pass
// has as its subject, other than in place of one of that kind: the kinds
// found then tell which of the later passes would find nothing to do, and
// those are not run (each would walk the whole tree for nothing).
void EquationLine::RunParsePasses(const QVMOptions& options) {
  const bool reduced = ParseSwitch(options, 0);
  uint64_t present = ~uint64_t{0};
  for (size_t n = 0; n < std::size(kPasses); ++n) {
    const ParsePass& pass = kPasses[n];
    // Bounds the tree before the grouping passes turn brackets into rows.
    if (n == kFirstPassAfterOperands) {
      CapNestingDepth(root_, factory_);
      present = KindsInTree(root_);
    }
    if (pass.reducedSkips && reduced) continue;
    if (pass.gate != nullptr && !pass.gate(options)) continue;
    if (pass.subjects != 0 && (pass.subjects & present) == 0) continue;
    pass.run(*this, options);
  }
}
