// The tokenizer: a fixed sequence of steps that cut recognised pieces out of
// the raw tokens of the root row. The order of the steps is the input
// language: words before single characters, "o" before the letters.
#include <string_view>

#include "engine/EquationLine.h"
#include "engine/OptionAccess.h"

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

void LexBars(EquationLine& line, const QVMOptions&) {
  line.LexCharacters("|", TK_ABS);
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
  {Full,                                                                        LexBars},
  {Full,                                                                        CHARS("[{(", TK_OPEN)},
  {Full,                                                                        CHARS(")}]#", TK_CLOSE)},
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
}

// Each quoted stretch, quotes included, becomes one token; an unclosed
// quote runs to the end of its token.
void EquationLine::LexQuotedText() {
  for (int i = 0; i < root_.GetSize(); ++i) {
    const QVMToken* token = root_.GetAt(i);
    if (token->kind != TK_RAW) continue;
    const int open = token->text.Find('"');
    if (open < 0) continue;
    const int close = token->text.Find('"', open + 1);
    const int end = close >= 0 ? close : token->text.GetLength() - 1;
    root_.SplitRawToken(i, open, end, TK_QUOTED, factory_, CString(), CString());
    ++i;  // on to the piece; the after-part is next
  }
}

// The first word of the table in each raw token is cut out; a raw piece
// (an expansion) is stepped over, so a table never matches inside its own
// expansion.
void EquationLine::LexKeywords(const LexiconTable& table) { LexWords(table, false); }

// Circled digits count only as words of their own: between spaces, tab
// marks or the ends of their token.
void EquationLine::LexCircledDigits(const LexiconTable& table) { LexWords(table, true); }

void EquationLine::LexWords(const LexiconTable& table, bool wholeWordsOnly) {
  for (int i = 0; i < root_.GetSize(); ++i) {
    const QVMToken* token = root_.GetAt(i);
    if (token->kind != TK_RAW) continue;
    const std::string_view text = token->text.str();
    for (size_t at = 0; at < text.size(); ++at) {
      const int last = table.FindLongestPrefix(text.substr(at));
      if (last < 0) continue;
      const size_t after = at + static_cast<size_t>(last) + 1;
      if (wholeWordsOnly && at > 0 && !IsWordBoundary(text[at - 1])) continue;
      if (wholeWordsOnly && after < text.size() && !IsWordBoundary(text[after])) continue;
      CString word(text.substr(at, static_cast<size_t>(last) + 1));
      const LexiconEntry entry = table.GetEntry(word);
      root_.SplitRawToken(i, static_cast<int>(at), static_cast<int>(after) - 1, entry.kind,
                          factory_, entry.replacement, entry.key);
      ++i;  // past the piece; the after-part is next
      break;
    }
  }
}

// Runs of digits with at most one "."; a trailing "." stays out of a longer
// run, and a lone "." is quoted text. The decimal character is always ".".
void EquationLine::LexNumbers() {
  for (int i = 0; i < root_.GetSize(); ++i) {
    const QVMToken* token = root_.GetAt(i);
    if (token->kind != TK_RAW) continue;
    const std::string_view text = token->text.str();
    size_t start = 0;
    while (start < text.size() && !IsDigit(text[start]) && text[start] != '.') ++start;
    if (start == text.size()) continue;
    size_t end = start;
    bool seenPoint = false;
    while (end < text.size() && (IsDigit(text[end]) || (text[end] == '.' && !seenPoint))) {
      if (text[end] == '.') seenPoint = true;
      ++end;
    }
    if (end - start > 1 && text[end - 1] == '.') --end;
    const bool lonePoint = end - start == 1 && text[start] == '.';
    root_.SplitRawToken(i, static_cast<int>(start), static_cast<int>(end) - 1,
                        lonePoint ? TK_QUOTED : TK_NUMBER, factory_, CString(), CString());
    ++i;
  }
}

// The first character of the set in each raw token becomes a token of the
// kind; the after-part is split in its turn.
void EquationLine::LexCharacters(std::string_view set, TokenKind kind) {
  if (set.empty()) return;
  for (int i = 0; i < root_.GetSize(); ++i) {
    const QVMToken* token = root_.GetAt(i);
    if (token->kind != TK_RAW) continue;
    const size_t at = token->text.str().find_first_of(set);
    if (at == std::string::npos) continue;
    root_.SplitRawToken(i, static_cast<int>(at), static_cast<int>(at), kind, factory_, CString(),
                        CString());
    ++i;
  }
}

// A bar opens when none is open, or when it directly follows a bar that
// opened ("||x||" nests); any other bar closes the innermost one.
void PairAbsBars(TokenRow& row) {
  int open = 0;
  bool lastOpened = false;
  bool previousWasBar = false;
  for (int i = 0; i < row.GetSize(); ++i) {
    QVMToken* token = row.GetAt(i);
    if (token->kind != TK_ABS) {
      previousWasBar = false;
      continue;
    }
    const bool opens = open == 0 || (previousWasBar && lastOpened);
    token->Set(opens ? TK_OPEN : TK_CLOSE, "|", kMarkNone, CString());
    open += opens ? 1 : -1;
    lastOpened = opens;
    previousWasBar = true;
  }
}
