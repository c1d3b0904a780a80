// Helpers that make engine tests read like the behaviour: parse a text as
// one line and compare its token tree dump.
#pragma once

#include <gtest/gtest.h>

#include <string>
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
