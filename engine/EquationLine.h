// EquationLine: the engine of one line of equation text. It owns the line's
// lexicon, its token factory and the root row of its token tree, remembers
// the text it last parsed and carries the results of measuring and
// aligning. SetText is the parse driver: tokenizer steps, then the parse
// passes in their fixed order.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/Extent.h"
#include "engine/Lexicon.h"
#include "engine/Token.h"
#include "framework/String.h"

class CDC;
class QVMOptions;

class EquationLine {
 public:
  // The five word tables, by their use in the tokenizer.
  enum TableIndex {
    kMacroTable = 0,
    kAutoReplaceTable = 1,
    kArrowTable = 2,
    kKeywordTable = 3,
    kCircledDigitTable = 4,
    kTableCount = 5,
  };

  EquationLine() = default;
  ~EquationLine();
  EquationLine(const EquationLine&) = delete;
  EquationLine& operator=(const EquationLine&) = delete;

  // Parses the text unless it is the one parsed last and no re-parse is due.
  void SetText(const CString& text, const QVMOptions& options);
  void BuildLexicon(const QVMOptions& options);
  // Takes `text` as the text of the tree built by hand now in the root row,
  // so that SetText with that text keeps the tree.
  void AdoptTree(const CString& text) {
    text_ = text;
    reparse_ = false;
  }

  const CString& GetText() const { return text_; }
  TokenRow& Root() { return root_; }
  const TokenRow& Root() const { return root_; }
  QVMTokenFactory& Factory() { return factory_; }
  const LexiconTable& Table(TableIndex index) const { return tables_[index]; }

  void SetReparse() { reparse_ = true; }
  bool NeedsReparse() const { return reparse_; }
  bool NeedsRemeasure() const { return remeasure_; }
  void SetNeedsRemeasure(bool value) { remeasure_ = value; }

#ifdef _WIN32
  // The line's box: the root row's with twice its margin added to the
  // width; measured again only after a parse or a remeasure request.
  ExtentRecord Measure(CDC& dc, const QVMOptions& options);
  // Draws the line at (x, y) by the context's text alignment.
  void Draw(CDC& dc, int32_t x, int32_t y, QVMOptions& options);
#endif

  // Finds the line's leading and main relation signs from the widths of
  // the last measure, and resets the shifts.
  void FindRelation(const QVMOptions& options);
  // Puts spacers as wide as the shifts into the root row.
  void InsertAlignmentSpacers();

  // The dump of the root row (see TokenRow::Dump).
  CString DumpTree() const { return root_.DumpTree(); }

  // The tokenizer: its steps cut the raw tokens of the root row.
  void Tokenize(const QVMOptions& options);

  // Parse passes that work on the root row only.
  void BracketScriptOperands();
  void InsertImplicitPowers();
  void BracketFunctionArguments();
  void BracketConstructOperands();
  void DetectCapitalVectors();
  void BracketPoweredGroups();
  void GroupColumns(const QVMOptions& options);

  AlignmentEntry leadingEntry;
  AlignmentEntry mainEntry;
  AlignmentShifts shifts;
  ExtentRecord extent;

 private:
  void AddBuiltInKeywords(const QVMOptions& options);
  static std::vector<CString> LexiconInputs(const QVMOptions& options);
  // Returns the kinds the tree may hold.
  uint64_t RunParsePasses(const QVMOptions& options);

  bool lexiconBuilt_ = false;
  std::vector<CString> lexiconInputs_;  // what the tables were built from
  TokenRow root_;
  CString text_;
  LexiconTable tables_[kTableCount];
  bool reparse_ = false;
  // Kinds the pass just run found it made, beside those its table entry
  // names (limits are given only where a column follows a bracket group).
  uint64_t madeKinds_ = 0;
  bool remeasure_ = false;
  QVMTokenFactory factory_;
};

// Pairs the "|" tokens of a row into opening and closing bars.
void PairAbsBars(TokenRow& row);
// Turns brackets nested too deep back into text.
void CapBracketNesting(TokenRow& row);
