// Helpers that make engine tests read like the behaviour: parse a text as
// one line and compare its token tree dump.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/EquationLine.h"
#include "engine/ParseRows.h"
#include "options/QVMOptions.h"

// The tree dump of `text` parsed as one line with `options`.
inline std::string DumpOf(const std::string& text, const QVMOptions& options) {
  EquationLine line;
  line.SetText(CString(text), options);
  return line.DumpTree().str();
}

// The flat row the tokenizer makes of `text`, before any parse pass.
inline std::string TokensOf(const std::string& text, const QVMOptions& options) {
  EquationLine line;
  line.BuildLexicon(options);
  QVMToken* raw = line.Factory().NewToken(TK_RAW);
  raw->Set(TK_RAW, CString(text), kMarkNone, CString());
  line.Root().Append(raw);
  line.Tokenize(options);
  return line.DumpTree().str();
}

inline std::string DumpOf(const std::string& text, int style = 0) {
  const QVMOptions options(style);
  return DumpOf(text, options);
}

// Expected dumps are written with "\n" line ends; the dump uses CR LF.
inline std::string WithCrLf(const std::string& lines) {
  std::string out;
  for (char c : lines) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// One line of a flat row dump: index, kind, text (no box, mark or stretch).
inline std::string Flat(int index, const char* kind, const std::string& text) {
  std::string line = std::to_string(index) + " - " + kind + " align = 0, adjust = 0";
  if (!text.empty()) line += " \"" + text + "\"";
  return line + "\r\n";
}

struct FlatToken {
  const char* kind;
  std::string text;
};

// The dump of a flat row (no child rows, no layout yet).
inline std::string FlatDump(const std::vector<FlatToken>& row) {
  std::string out;
  for (size_t i = 0; i < row.size(); ++i) out += Flat(static_cast<int>(i), row[i].kind, row[i].text);
  return out;
}

// A dump without the parts a fresh parse leaves constant: no box fields
// (align and adjust are 0 before layout), no "TK_" prefix, "\n" line ends.
inline std::string CompactDump(const std::string& dump) {
  std::string out;
  std::string_view rest(dump);
  const std::string_view box = " align = 0, adjust = 0";
  while (!rest.empty()) {
    if (rest.starts_with(box)) {
      rest.remove_prefix(box.size());
    } else if (rest.starts_with(std::string_view("TK_"))) {
      rest.remove_prefix(3);
    } else {
      if (rest[0] != '\r') out += rest[0];
      rest.remove_prefix(1);
    }
  }
  return out;
}

// Compares the compact dump of `text` with `tree` (a leading line break in
// `tree` is ignored, so raw strings can start on their own line).
inline void ExpectDump(const std::string& text, std::string tree, const QVMOptions& options) {
  if (!tree.empty() && tree[0] == '\n') tree.erase(0, 1);
  EXPECT_EQ(CompactDump(DumpOf(text, options)), tree) << "text: " << text;
}

inline void ExpectDump(const std::string& text, const std::string& tree, int style = 0) {
  ExpectDump(text, tree, QVMOptions(style));
}

// Levels of rows in the tree under `row` (the row itself is level 1, an
// empty row 0). Iterative, so that a tree too deep fails the test instead
// of overflowing its stack.
inline int TreeDepth(const TokenRow& row) {
  int deepest = 0;
  std::vector<std::pair<const TokenRow*, int>> pending{{&row, 1}};
  while (!pending.empty()) {
    const auto [current, level] = pending.back();
    pending.pop_back();
    if (current->IsEmpty()) continue;
    deepest = std::max(deepest, level);
    for (const QVMToken* token : *current) {
      if (token == nullptr) continue;
      pending.push_back({&token->row1, level + 1});
      pending.push_back({&token->row2, level + 1});
    }
  }
  return deepest;
}

// The grid the matrix layout sees: a space after a cell ends a column.
inline bool MatrixFits(const QVMToken& matrix) {
  int columns = 0;
  int rows = 0;
  bool inColumn = false;
  for (const QVMToken* cell : matrix.row1) {
    if (cell->kind == TK_SPACE || cell->kind == TK_NOSPACE) {
      inColumn = false;
      continue;
    }
    if (!inColumn) {
      ++columns;
      rows = 0;
      inColumn = true;
    }
    if (++rows > 20 || columns > 20) return false;
  }
  return true;
}

// Returns an empty text when the rows keep the invariants, else the fault.
inline std::string CheckRow(const TokenRow& row, std::unordered_set<const QVMToken*>& seen) {
  for (const QVMToken* token : row) {
    if (token == nullptr) return "null token in a row";
    if (!seen.insert(token).second) return "token in two rows";
    if (token->kind == TK_OPEN) return "opening bracket left";
    if (token->kind == TK_MATRIX && !MatrixFits(*token)) return "matrix beyond 20 x 20";
    std::string fault = CheckRow(token->row1, seen);
    if (fault.empty()) fault = CheckRow(token->row2, seen);
    if (!fault.empty()) return fault;
  }
  return std::string();
}

// The invariants of a parsed line's tree; the depth is checked first, so
// that the recursive check never runs on a tree deeper than the cap.
inline std::string CheckTree(const EquationLine& line) {
  const int depth = TreeDepth(line.Root());
  if (depth > kMaxTreeDepth) return "tree " + std::to_string(depth) + " levels deep";
  std::unordered_set<const QVMToken*> seen;
  return CheckRow(line.Root(), seen);
}
