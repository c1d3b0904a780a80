// Helpers that make engine tests read like the behaviour: parse a text as
// one line and compare its token tree dump.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/EquationLine.h"
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
