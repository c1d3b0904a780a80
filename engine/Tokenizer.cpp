// The tokenizer: a fixed sequence of steps that cut recognised pieces out of
// the raw tokens of the root row. The order of the steps is the input
// language: words before single characters, "o" before the letters.
#include <array>
#include <cassert>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/EquationLine.h"
#include "engine/OptionAccess.h"
#include "engine/ParseRows.h"

namespace {

constexpr char kTabMark = '\xBB';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWordBoundary(char c) { return c == ' ' || c == kTabMark; }

bool Full(const QVMOptions& o) { return !ParseSwitch(o, 0); }

// A piece found in raw text: inclusive positions, kind, and the word
// table's entry it stands for, if any: a pair's entry gives its text and
// keeps the word typed as the second text; otherwise the piece gets the
// typed characters.
struct RawCut {
  size_t start = 0;
  size_t end = 0;
  TokenKind kind = TK_RAW;
  const LexiconEntry* entry = nullptr;

  const CString& Text() const { return entry != nullptr ? entry->replacement : kNoText; }
  const CString& SecondText() const { return entry != nullptr ? entry->key : kNoText; }
  static const CString kNoText;
};

const CString RawCut::kNoText;

// What a step looks for: the first piece in a raw text, false when none.
using RawFinder = std::function<bool(std::string_view, RawCut&)>;

// Each quoted stretch, quotes included, becomes one token; an unclosed
// quote runs to the end of its token.
RawFinder QuotedText() {
  return [](std::string_view text, RawCut& cut) {
    const size_t open = text.find('"');
    if (open == std::string_view::npos) return false;
    const size_t close = text.find('"', open + 1);
    cut = RawCut{open, close != std::string_view::npos ? close : text.size() - 1, TK_QUOTED};
    return true;
  };
}

// The first word of the table in the text. Circled digits
// (`wholeWordsOnly`) count only as words of their own: between spaces, tab
// marks or the ends of their token. A table without words finds nothing.
RawFinder Words(const LexiconTable& table, bool wholeWordsOnly) {
  if (table.GetCount() == 0) return nullptr;
  return [&table, wholeWordsOnly](std::string_view text, RawCut& cut) {
    for (size_t at = 0; at < text.size(); ++at) {
      const std::string_view rest = text.substr(at);
      if (!table.MayBegin(rest)) continue;
      const LexiconEntry* entry = table.Find(rest);
      if (entry == nullptr) continue;
      const size_t after = at + static_cast<size_t>(entry->key.GetLength());
      if (wholeWordsOnly && at > 0 && !IsWordBoundary(text[at - 1])) continue;
      if (wholeWordsOnly && after < text.size() && !IsWordBoundary(text[after])) continue;
      cut = RawCut{at, after - 1, entry->kind, entry};
      return true;
    }
    return false;
  };
}

// Runs of digits with at most one "."; a trailing "." stays out of a longer
// run, and a lone "." is quoted text. The decimal character is always ".".
RawFinder Numbers() {
  return [](std::string_view text, RawCut& cut) {
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
  };
}

// Steps in a row that each make every character of a set a token of their
// kind act as one: a character becomes a token of the first of them whose
// set holds it, and the text between such characters goes on to the later
// steps as raw text, as it would after each of them in turn. One look at
// each character instead of one search per step.
class CharacterSteps {
 public:
  void Add(std::string_view set, TokenKind kind) {
    for (char c : set) {
      TokenKind& taken = kinds_[static_cast<unsigned char>(c)];
      if (taken != TK_ERROR) continue;
      taken = kind;
      ++count_;
    }
  }
  // The steps as one, null when they take no character; starts anew.
  RawFinder Take() {
    if (count_ == 0) return nullptr;
    count_ = 0;
    return [kinds = std::exchange(kinds_, {})](std::string_view text, RawCut& cut) {
      for (size_t at = 0; at < text.size(); ++at) {
        const TokenKind kind = kinds[static_cast<unsigned char>(text[at])];
        if (kind == TK_ERROR) continue;
        cut = RawCut{at, at, kind};
        return true;
      }
      return false;
    };
  }

 private:
  std::array<TokenKind, 256> kinds_{};  // TK_ERROR: no step takes it
  int count_ = 0;
};

using StepGate = bool (*)(const QVMOptions&);
using StepFinder = RawFinder (*)(const EquationLine&, const QVMOptions&);
using StepCharacters = std::string_view (*)(const QVMOptions&);

// A step finds its pieces itself (`finder`) or makes every character of a
// set a token of `kind`. `pairsBars`: the bars of the row are paired after
// this step, once the brackets around them are known.
struct TokenizerStep {
  StepGate enabled;
  StepFinder finder;
  StepCharacters characters;
  TokenKind kind;
  bool pairsBars = false;
};

// The first character of the option's text; none for an empty text (or a
// NUL, which ends a text).
std::string_view Separator(const QVMOptions& o) {
  const std::string_view text(o.Separator.Value.str());
  return text.empty() || text[0] == '\0' ? std::string_view() : text.substr(0, 1);
}

#define CHARS(set, kind) nullptr, [](const QVMOptions&) { return std::string_view(set); }, kind
#define FINDS(finder) [](const EquationLine&, const QVMOptions&) { return finder; }, nullptr, TK_ERROR
#define WORDS(index, whole) \
  [](const EquationLine& l, const QVMOptions&) { return Words(l.Table(EquationLine::index), whole); }, \
  nullptr, TK_ERROR

// clang-format off
const TokenizerStep kSteps[] = {
  {[](const QVMOptions& o) { return Full(o) && ParseSwitch(o, 7); },            FINDS(QuotedText())},
  {[](const QVMOptions& o) { return Full(o) && ParseSwitch(o, 1); },            WORDS(kMacroTable, false)},
  {[](const QVMOptions& o) { return Full(o) && (o.UseIndicatedVectors.Value || o.Style == 0); },
                                                                                WORDS(kArrowTable, false)},
  {[](const QVMOptions& o) { return o.UseWingdings.Value != 0; },               WORDS(kCircledDigitTable, true)},
  {[](const QVMOptions&) { return true; },                                      WORDS(kKeywordTable, false)},
  {[](const QVMOptions& o) { return Full(o) && o.UseAutographEntry.Value; },    WORDS(kAutoReplaceTable, false)},
  {[](const QVMOptions&) { return true; },                                      FINDS(Numbers())},
  {[](const QVMOptions&) { return true; },                                      CHARS(" ", TK_SPACE)},
  {[](const QVMOptions&) { return true; },                                      CHARS("\xA0", TK_NOSPACE)},
  {Full,                                                                        CHARS("|", TK_ABS)},
  {Full,                                                                        CHARS("[{(", TK_OPEN)},
  {Full,                                                                        CHARS(")}]#", TK_CLOSE), true},
  {Full,                                                                        CHARS("+", TK_ADD)},
  {Full,                                                                        CHARS("-", TK_SUBTRACT)},
  {Full,                                                                        CHARS("*", TK_MULTIPLY)},
  {Full,                                                                        nullptr, Separator, TK_SEPARATOR},
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
#undef FINDS
#undef WORDS

// Runs a sequence of steps over raw tokens, as if each step in turn cut
// every raw token of the row: the piece a step finds becomes a token, the
// text before it goes on to the later steps, and the text after it is
// searched again by the same step. A piece is never searched again by the
// step that found it (so an expansion is not expanded by its own table).
// As a step cuts each raw token by itself, each piece of raw text is
// taken through all later steps at once: text that a later step cuts
// again never becomes a token, and the row is walked once, not once a
// step.
class RawCutter {
 public:
  RawCutter(const std::vector<RawFinder>& steps, QVMTokenFactory& factory, TokenArray& out)
      : steps_(steps), factory_(factory), out_(out) {}

  // A token of the row: kept as it is unless it is raw text some step
  // cuts; empty raw text is dropped.
  void Cut(QVMToken* token);

 private:
  // Raw text on its way through the steps, and the token it becomes when
  // none cuts it: a row's token kept, or a new one for text around pieces
  // or for a piece of raw kind (`piece`, as `typed`).
  struct RawText {
    std::string_view text;
    const RawCut* piece = nullptr;
    std::string_view typed;
  };
  void Lex(const RawText& raw, size_t step);
  void CutFrom(std::string_view text, size_t step, RawCut& piece);
  // A new token; the cut token of the row is made again first.
  QVMToken* Fresh(TokenKind kind);

  const std::vector<RawFinder>& steps_;
  QVMTokenFactory& factory_;
  TokenArray& out_;
  QVMToken* spare_ = nullptr;
};

void RawCutter::Cut(QVMToken* token) {
  if (token->kind != TK_RAW) {
    out_.Add(token);
    return;
  }
  if (token->text.IsEmpty()) return;
  for (size_t step = 0; step < steps_.size(); ++step) {
    RawCut piece;
    if (!steps_[step](token->text.str(), piece)) continue;
    const CString text = std::exchange(token->text, CString());
    spare_ = token;
    CutFrom(text.str(), step, piece);
    assert(spare_ == nullptr);
    return;
  }
  out_.Add(token);
}

void RawCutter::Lex(const RawText& raw, size_t step) {
  for (; step < steps_.size(); ++step) {
    RawCut piece;
    if (!steps_[step](raw.text, piece)) continue;
    CutFrom(raw.text, step, piece);
    return;
  }
  QVMToken* made = Fresh(TK_RAW);
  if (raw.piece != nullptr)
    TokenRow::SetPiece(*made, TK_RAW, CString(raw.typed), raw.piece->Text(), raw.piece->SecondText());
  else
    made->SetText(CString(raw.text));
  out_.Add(made);
}

// `piece` is the first piece `step` found in `text`.
void RawCutter::CutFrom(std::string_view text, size_t step, RawCut& piece) {
  std::string_view rest = text;
  do {
    if (piece.start > 0) Lex(RawText{rest.substr(0, piece.start)}, step + 1);
    const std::string_view typed = rest.substr(piece.start, piece.end - piece.start + 1);
    if (piece.kind == TK_RAW) {
      const std::string_view searched = piece.Text().IsEmpty() ? typed : piece.Text().str();
      Lex(RawText{searched, &piece, typed}, step + 1);
    } else {
      QVMToken* made = Fresh(piece.kind);
      TokenRow::SetPiece(*made, piece.kind, CString(typed), piece.Text(), piece.SecondText());
      out_.Add(made);
    }
    rest = rest.substr(piece.end + 1);
    piece = RawCut{};
  } while (!rest.empty() && steps_[step](rest, piece));
  if (!rest.empty()) Lex(RawText{rest}, step + 1);
}

QVMToken* RawCutter::Fresh(TokenKind kind) {
  if (spare_ == nullptr) return factory_.NewToken(kind);
  QVMToken* token = std::exchange(spare_, nullptr);
  token->Set(kind, CString(), kMarkNone, CString());
  return token;
}

// The steps over the whole root row, rebuilt in `out` (whose storage the
// next call reuses).
void CutRawTokens(TokenRow& row, const std::vector<RawFinder>& steps, QVMTokenFactory& factory,
                  TokenArray& out) {
  if (steps.empty()) return;
  out.RemoveAll();
  RawCutter cutter(steps, factory, out);
  for (QVMToken* token : row) cutter.Cut(token);
  row.Tokens().Swap(out);
}

}  // namespace

// Runs the steps in order; bars are paired where a step asks for it.
void EquationLine::Tokenize(const QVMOptions& options) {
  std::vector<RawFinder> steps;
  CharacterSteps characters;  // the character steps since the last other one
  const auto endCharacters = [&steps, &characters] {
    if (RawFinder finder = characters.Take()) steps.push_back(std::move(finder));
  };
  TokenArray out;
  for (const TokenizerStep& step : kSteps) {
    if (!step.enabled(options)) continue;
    if (step.characters != nullptr) {
      characters.Add(step.characters(options), step.kind);
    } else if (RawFinder finder = step.finder(*this, options)) {
      endCharacters();
      steps.push_back(std::move(finder));
    }
    if (!step.pairsBars) continue;
    endCharacters();
    CutRawTokens(root_, steps, factory_, out);
    steps.clear();
    PairAbsBars(root_);
  }
  endCharacters();
  CutRawTokens(root_, steps, factory_, out);
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
