// The parse driver of one line: tokenizer steps, then the parse passes in
// their fixed order, then the levels that font choice reads.
#include "engine/EquationLine.h"

#include "engine/OptionAccess.h"

namespace {

using PassGate = bool (*)(const QVMOptions&);
using PassRun = void (*)(EquationLine&, const QVMOptions&);

// One parse pass. `reducedSkips`: skipped in reduced mode (switch 0).
// `gate`: a further condition, none when null. `run`: null while the pass
// is not built yet; the driver keeps its place in the order.
struct ParsePass {
  const char* name;
  bool reducedSkips;
  PassGate gate;
  PassRun run;
};

template <int kSwitch>
bool Switch(const QVMOptions& o) {
  return ParseSwitch(o, kSwitch);
}
bool ColumnVectors(const QVMOptions& o) { return o.DetectColumnVectors.Value != 0; }
bool AutomaticVectors(const QVMOptions& o) { return o.UseAutomaticVectors.Value != 0; }
bool Subscripts(const QVMOptions& o) { return ParseSwitch(o, 4) || ParseSwitch(o, 5); }
bool MixedNumbers(const QVMOptions& o) { return o.ShrinkNonAlgebraicFractions.Value != 0; }

// clang-format off
const ParsePass kPasses[] = {
  {"AttachModifiers",                   true,  nullptr,          nullptr},
  {"ExpandENotation",                   true,  Switch<3>,        nullptr},
  {"DetectCombinations",                true,  Switch<14>,       nullptr},
  {"BracketScriptOperands",             true,  nullptr,          nullptr},
  {"BracketOperatorOperands divide",    false, nullptr,          nullptr},
  {"BracketOperatorOperands separator", false, ColumnVectors,    nullptr},
  {"MergeNegativeNumbers",              false, nullptr,          nullptr},
  {"InsertImplicitPowers",              true,  nullptr,          nullptr},
  {"BracketFunctionArguments",          true,  nullptr,          nullptr},
  {"BracketConstructOperands",          true,  nullptr,          nullptr},
  {"DetectCapitalVectors",              true,  AutomaticVectors, nullptr},
  {"DetectLowerCaseVectors",            true,  AutomaticVectors, nullptr},
  {"GroupPowers",                       true,  nullptr,          nullptr},
  {"AttachArrowOperands",               true,  nullptr,          nullptr},
  {"GroupSubscripts",                   true,  Subscripts,       nullptr},
  {"GroupSquareRoots",                  true,  nullptr,          nullptr},
  {"GroupRoots",                        true,  nullptr,          nullptr},
  {"SplitCodeDrawnArguments",           true,  nullptr,          nullptr},
  {"GroupPrefixConstruct arc",          true,  Switch<13>,       nullptr},
  {"GroupInfixConstruct longdiv",       true,  Switch<12>,       nullptr},
  {"GroupInfixConstruct combination",   true,  Switch<14>,       nullptr},
  {"GroupInfixConstruct permutation",   true,  Switch<14>,       nullptr},
  {"GroupBinaryOperator column",        false, ColumnVectors,    nullptr},
  {"GroupBinaryOperator fraction",      false, nullptr,          nullptr},
  {"GroupBrackets",                     false, nullptr,          nullptr},
  {"BracketPoweredGroups",              false, nullptr,          nullptr},
  {"GroupBrackets again",               false, nullptr,          nullptr},
  {"AttachBarModifiers",                false, nullptr,          nullptr},
  {"MergeBracketColumns",               false, Switch<17>,       nullptr},
  {"GroupMatrices",                     false, Switch<6>,        nullptr},
  {"FormatMixedNumbers",                false, MixedNumbers,     nullptr},
};
// clang-format on
static_assert(sizeof(kPasses) / sizeof(kPasses[0]) == 31);

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
  QVMToken* raw = factory_.NewToken(TK_RAW);
  raw->Set(TK_RAW, text, kMarkNone, CString());
  root_.Append(raw);
  Tokenize(options);
  RunParsePasses(options);
  root_.SetNestingLevel(0, options);
  for (QVMToken* token : root_.tokens) token->SetScriptLevel(0.0, options);
  reparse_ = false;
  remeasure_ = true;
  root_.MarkDirty();
}

void EquationLine::RunParsePasses(const QVMOptions& options) {
  const bool reduced = ParseSwitch(options, 0);
  for (const ParsePass& pass : kPasses) {
    if (pass.run == nullptr) continue;
    if (pass.reducedSkips && reduced) continue;
    if (pass.gate != nullptr && !pass.gate(options)) continue;
    pass.run(*this, options);
  }
}
