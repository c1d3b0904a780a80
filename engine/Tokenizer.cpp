// The tokenizer: a fixed sequence of steps that cut recognised pieces out of
// the raw tokens of the root row. The order of the steps is the input
// language: words before single characters, "o" before the letters.
#include <string_view>
#include <vector>

#include "engine/EquationLine.h"
#include "engine/OptionAccess.h"
#include "engine/ParseRows.h"

namespace {

constexpr char kTabMark = '\xBB';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWordBoundary(char c) { return c == ' ' || c == kTabMark; }

bool Full(const QVMOptions& o) { return !ParseSwitch(o, 0); }

using StepGate = bool (*)(const QVMOptions&);
using StepRun = void (*)(EquationLine&, const QVMOptions&);

struct TokenizerStep {
  StepGate enabled;
  StepRun run;
};

template <TokenKind kKind>
void LexSeparator(EquationLine& line, const QVMOptions& o) {
  const char separator = SeparatorChar(o);
  if (separator != '\0') line.LexCharacters(std::string_view(&separator, 1), kKind);
}

// Bars are paired once the brackets around them are known.
void LexClosingBrackets(EquationLine& line, const QVMOptions&) {
  line.LexCharacters(")}]#", TK_CLOSE);
  line.Root().RemoveEmptyRaw();
  PairAbsBars(line.Root());
}

#define CHARS(set, kind) [](EquationLine& l, const QVMOptions&) { l.LexCharacters(set, kind); }
#define TABLE(index) \
  [](EquationLine& l, const QVMOptions&) { l.LexKeywords(l.Table(EquationLine::index)); }

// clang-format off
const TokenizerStep kSteps[] = {
  {[](const QVMOptions& o) { return Full(o) && ParseSwitch(o, 7); },
                                                   [](EquationLine& l, const QVMOptions&) { l.LexQuotedText(); }},
  {[](const QVMOptions& o) { return Full(o) && ParseSwitch(o, 1); },            TABLE(kMacroTable)},
  {[](const QVMOptions& o) { return Full(o) && (o.UseIndicatedVectors.Value || o.Style == 0); },
                                                                                TABLE(kArrowTable)},
  {[](const QVMOptions& o) { return o.UseWingdings.Value != 0; },
        [](EquationLine& l, const QVMOptions&) { l.LexCircledDigits(l.Table(EquationLine::kCircledDigitTable)); }},
  {[](const QVMOptions&) { return true; },                                      TABLE(kKeywordTable)},
  {[](const QVMOptions& o) { return Full(o) && o.UseAutographEntry.Value; },    TABLE(kAutoReplaceTable)},
  {[](const QVMOptions&) { return true; },        [](EquationLine& l, const QVMOptions&) { l.LexNumbers(); }},
  {[](const QVMOptions&) { return true; },                                      CHARS(" ", TK_SPACE)},
  {[](const QVMOptions&) { return true; },                                      CHARS("\xA0", TK_NOSPACE)},
  {Full,                                                                        CHARS("|", TK_ABS)},
  {Full,                                                                        CHARS("[{(", TK_OPEN)},
  {Full,                                                                        LexClosingBrackets},
  {Full,                                                                        CHARS("+", TK_ADD)},
  {Full,                                                                        CHARS("-", TK_SUBTRACT)},
  {Full,                                                                        CHARS("*", TK_MULTIPLY)},
  {Full,                                                                        LexSeparator<TK_SEPARATOR>},
  {Full,                                                                        CHARS("=", TK_EQUAL)},
  {Full,                                                                        CHARS(">", TK_GREATER)},
  {Full,                                                                        CHARS("<", TK_LESS)},
  {[](const QVMOptions& o) { return Full(o) && ParseSwitch(o, 9); },            CHARS("o", TK_DEGREE)},
  {[](const QVMOptions& o) { return Full(o) && ParseSwitch(o, 11); },           CHARS("\xBB", TK_TAB)},
  {[](const QVMOptions& o) { return ParseSwitch(o, 10); },                      CHARS("`", TK_DEGREE)},
  {[](const QVMOptions&) { return true; },                                      CHARS("/", TK_DIVIDE)},
  {Full,                                                                        CHARS("^", TK_POWER)},
  {[](const QVMOptions& o) { return Full(o) && ParseSwitch(o, 4); },            CHARS("\\\xA7", TK_SUBSCRIPT)},
  {Full, CHARS("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", TK_VARIABLE)},
};
// clang-format on

#undef CHARS
#undef TABLE

}  // namespace

// Runs the steps in order; each ends by dropping the empty raw pieces.
void EquationLine::Tokenize(const QVMOptions& options) {
  for (const TokenizerStep& step : kSteps) {
    if (!step.enabled(options)) continue;
    step.run(*this, options);
    root_.RemoveEmptyRaw();
  }
  CapBracketNesting(root_);
}

// Brackets nested deeper than kMaxBracketDepth stay text: the passes and
// the layout recurse once per level, and the stack is finite.
void CapBracketNesting(TokenRow& row) {
  int depth = 0;
  for (QVMToken* token : row) {
    if (token->kind == TK_OPEN && ++depth > kMaxBracketDepth) token->kind = TK_RAW;
    if (token->kind != TK_CLOSE) continue;
    if (depth > kMaxBracketDepth) token->kind = TK_RAW;
    if (depth > 0) --depth;
  }
}

// Cuts every raw token of the root row with `find` in one pass over the
// row: the piece found becomes a token, the text before it stays raw, and
// the text after it is searched again as a raw token of its own. A piece
// is never searched again by the same step (so an expansion is not
// expanded by its own table). Rebuilding the row once per step keeps long
// lines linear; the result is that of splitting token by token.
template <class Finder>
void EquationLine::CutRawTokens(Finder find) {
  TokenRow cut;
  for (QVMToken* token : root_) {
    if (token->kind != TK_RAW) {
      cut.Append(token);
      continue;
    }
    std::string_view rest = token->text.str();
    RawCut piece;
    if (rest.empty() || !find(rest, piece)) {
      cut.Append(token);  // untouched: the token stays as it is
      continue;
    }
    do {
      AppendRaw(cut, rest.substr(0, piece.start));
      QVMToken* made = factory_.NewToken(piece.kind);
      TokenRow::SetPiece(*made, piece.kind, CString(rest.substr(piece.start, piece.end - piece.start + 1)),
                         piece.text, piece.secondText);
      cut.Append(made);
      rest = rest.substr(piece.end + 1);
      piece = RawCut{};
    } while (!rest.empty() && find(rest, piece));
    AppendRaw(cut, rest);
  }
  root_.Tokens().Copy(cut.Tokens());
}

// Raw text left between pieces; empty text makes no token.
void EquationLine::AppendRaw(TokenRow& row, std::string_view text) {
  if (text.empty()) return;
  QVMToken* raw = factory_.NewToken(TK_RAW);
  raw->SetText(CString(text));
  row.Append(raw);
}

// Each quoted stretch, quotes included, becomes one token; an unclosed
// quote runs to the end of its token.
void EquationLine::LexQuotedText() {
  CutRawTokens([](std::string_view text, RawCut& cut) {
    const size_t open = text.find('"');
    if (open == std::string_view::npos) return false;
    const size_t close = text.find('"', open + 1);
    cut = RawCut{open, close != std::string_view::npos ? close : text.size() - 1, TK_QUOTED};
    return true;
  });
}

// The first word of the table in each raw token is cut out; the text of a
// pair's entry replaces the word, which is kept as the second text.
void EquationLine::LexKeywords(const LexiconTable& table) { LexWords(table, false); }

// Circled digits count only as words of their own: between spaces, tab
// marks or the ends of their token.
void EquationLine::LexCircledDigits(const LexiconTable& table) { LexWords(table, true); }

void EquationLine::LexWords(const LexiconTable& table, bool wholeWordsOnly) {
  CutRawTokens([&table, wholeWordsOnly](std::string_view text, RawCut& cut) {
    for (size_t at = 0; at < text.size(); ++at) {
      const int last = table.FindLongestPrefix(text.substr(at));
      if (last < 0) continue;
      const size_t after = at + static_cast<size_t>(last) + 1;
      if (wholeWordsOnly && at > 0 && !IsWordBoundary(text[at - 1])) continue;
      if (wholeWordsOnly && after < text.size() && !IsWordBoundary(text[after])) continue;
      CString word(text.substr(at, static_cast<size_t>(last) + 1));
      const LexiconEntry entry = table.GetEntry(word);
      cut = RawCut{at, after - 1, entry.kind, entry.replacement, entry.key};
      return true;
    }
    return false;
  });
}

// Runs of digits with at most one "."; a trailing "." stays out of a longer
// run, and a lone "." is quoted text. The decimal character is always ".".
void EquationLine::LexNumbers() {
  CutRawTokens([](std::string_view text, RawCut& cut) {
    size_t start = 0;
    while (start < text.size() && !IsDigit(text[start]) && text[start] != '.') ++start;
    if (start == text.size()) return false;
    size_t end = start;
    bool seenPoint = false;
    while (end < text.size() && (IsDigit(text[end]) || (text[end] == '.' && !seenPoint))) {
      if (text[end] == '.') seenPoint = true;
      ++end;
    }
    if (end - start > 1 && text[end - 1] == '.') --end;
    const bool lonePoint = end - start == 1 && text[start] == '.';
    cut = RawCut{start, end - 1, lonePoint ? TK_QUOTED : TK_NUMBER};
    return true;
  });
}

// Each character of the set becomes a token of the kind.
void EquationLine::LexCharacters(std::string_view set, TokenKind kind) {
  if (set.empty()) return;
  CutRawTokens([set, kind](std::string_view text, RawCut& cut) {
    const size_t at = text.find_first_of(set);
    if (at == std::string_view::npos) return false;
    cut = RawCut{at, at, kind};
    return true;
  });
}

namespace {

// The bars typed inside one bracket group (or outside all of them).
struct BarScope {
  std::vector<QVMToken*> open;  // bars opened and not yet closed
  bool lastOpened = false;
};

}  // namespace

// A bar opens when none is open, or when it directly follows a bar that
// opened ("||x||" nests); any other bar closes the innermost one. Bars pair
// only within the bracket group they are typed in: a bar left open when its
// group closes ("P(A|B)") is a plain bar, never a bracket.
void PairAbsBars(TokenRow& row) {
  std::vector<BarScope> scopes(1);
  bool previousWasBar = false;
  for (int i = 0; i < row.GetSize(); ++i) {
    QVMToken* token = row.GetAt(i);
    const bool bar = token->kind == TK_ABS;
    if (token->kind == TK_OPEN) {
      scopes.emplace_back();
    } else if (token->kind == TK_CLOSE && scopes.size() > 1) {
      for (QVMToken* lone : scopes.back().open) lone->Set(TK_RAW, "|", kMarkNone, CString());
      scopes.pop_back();
    } else if (bar) {
      BarScope& scope = scopes.back();
      const bool opens = scope.open.empty() || (previousWasBar && scope.lastOpened);
      token->Set(opens ? TK_OPEN : TK_CLOSE, "|", kMarkNone, CString());
      if (opens) scope.open.push_back(token);
      else scope.open.pop_back();
      scope.lastOpened = opens;
    }
    previousWasBar = bar;
  }
}
