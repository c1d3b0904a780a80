// Word tables of the tokenizer and the line's lexicon build.
#include "engine/Lexicon.h"

#include <algorithm>
#include <cmath>

#include "controls/NumberText.h"
#include "engine/EquationLine.h"
#include "engine/OptionAccess.h"

// Guarded: only finite whole numbers 1..255 become a character, so that
// "-5", "1/0" or "-1e300" never wrap into some other code.
CString ConvertPairValue(const CString& value) {
  const double number = EngineNumberFormat(true).ParseNumber(value);
  if (!std::isfinite(number) || number != std::floor(number)) return value;
  if (number < 1.0 || number > 255.0) return value;
  return CString(static_cast<char>(static_cast<unsigned char>(number)));
}

void LexiconTable::Add(const CString& key, const CString& replacement, TokenKind kind) {
  entries_.push_back(LexiconEntry{key, replacement, kind});
  lookup_.reset();
}

void LexiconTable::RemoveAll() {
  entries_.clear();
  lookup_.reset();
}

// Plain lists give one key per item (a trailing separator adds an empty
// key); pair lists alternate key and value and drop a lone last key.
void LexiconTable::AddList(const CString& list, TokenKind kind, bool pairs, char separator) {
  CString rest = list;
  if (!pairs) {
    for (int at = rest.Find(separator); !rest.IsEmpty() && at >= 0; at = rest.Find(separator)) {
      Add(rest.Left(at), CString(), kind);
      rest = rest.Mid(at + 1);
    }
    Add(rest, CString(), kind);
    return;
  }
  while (!rest.IsEmpty()) {
    const int first = rest.Find(separator);
    if (first < 0) break;
    const int second = rest.Find(separator, first + 1);
    const CString key = rest.Left(first);
    const CString value = second >= 0 ? rest.Mid(first + 1, second - first - 1) : rest.Mid(first + 1);
    rest = second >= 0 ? rest.Mid(second + 1) : CString();
    Add(key, ConvertPairValue(value), kind);
  }
}

void LexiconTable::Assign(const CString& list, TokenKind kind, bool pairs, char separator) {
  RemoveAll();
  AddList(list, kind, pairs, separator);
}

// Longest key first; among keys of equal length the later one wins.
void LexiconTable::Sort() {
  std::reverse(entries_.begin(), entries_.end());
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const LexiconEntry& a, const LexiconEntry& b) {
                     return a.key.GetLength() > b.key.GetLength();
                   });
  lookup_.reset();
}

void LexiconTable::Build() const {
  auto lookup = std::make_unique<Lookup>();
  for (size_t i = 0; i < entries_.size(); ++i) {
    const std::string& key = entries_[i].key.str();
    if (key.empty()) continue;
    const unsigned first = static_cast<unsigned char>(key[0]);
    const char second = key.size() > 1 ? key[1] : '\0';
    lookup->byFirstByte[first].push_back({static_cast<int>(i), static_cast<int>(key.size()), second});
    if (key.size() == 1) lookup->oneByteKeys.set(first);
    else lookup->pairs.set(first * 256 + static_cast<unsigned char>(second));
  }
  lookup_ = std::move(lookup);
}

int LexiconTable::FindEntry(std::string_view text) const {
  if (text.empty()) return -1;
  const size_t size = text.size();
  for (const Candidate& c : Looked().byFirstByte[static_cast<unsigned char>(text[0])]) {
    const size_t length = static_cast<size_t>(c.length);
    if (length > size || (length > 1 && text[1] != c.second)) continue;
    const std::string& key = entries_[static_cast<size_t>(c.index)].key.str();
    if (text.compare(0, length, key) == 0) return c.index;
  }
  return -1;
}

const LexiconEntry* LexiconTable::Find(std::string_view text) const {
  const int index = FindEntry(text);
  return index < 0 ? nullptr : &entries_[static_cast<size_t>(index)];
}

// Fills the five tables from the option lists and the built-in words.
// Every build starts from empty tables, so a rebuild in reduced mode
// replaces the keywords instead of adding the Greek list once more.
void EquationLine::BuildLexicon(const QVMOptions& options) {
  if (lexiconBuilt_ && !ParseSwitch(options, 16)) return;
  // Rebuilt only when what it reads changed: the same lists give the same
  // tables, and the build costs more than the rest of a parse.
  std::vector<CString> inputs = LexiconInputs(options);
  if (lexiconBuilt_ && inputs == lexiconInputs_) return;
  lexiconInputs_.clear();  // a build cut short is done again
  lexiconBuilt_ = true;
  for (LexiconTable& table : tables_) table.RemoveAll();
  const bool reduced = ParseSwitch(options, 0);
  LexiconTable& keywords = tables_[kKeywordTable];
  if (!reduced) {
    tables_[kMacroTable].Assign(StringOption(options.MacroList), TK_RAW, true, '%');
    tables_[kMacroTable].Sort();
    tables_[kAutoReplaceTable].Assign(options.AutoReplaceList, TK_RAW, true, ',');
    tables_[kAutoReplaceTable].Sort();
    LexiconTable& arrows = tables_[kArrowTable];
    arrows.Assign("-->", TK_IVRIGHT, false, ',');
    arrows.AddList("<--", TK_IVLEFT, false, ',');
    arrows.AddList("<->", TK_IVBOTH, false, ',');
    arrows.Sort();
    keywords.Assign(options.RelationList, TK_SPACEDSYMBOL, true, ',');
    keywords.AddList(options.SymbolList, TK_SYMBOL, true, ',');
    keywords.AddList(options.PrimeList, TK_UNBOLDSYMBOL, true, ',');
    tables_[kCircledDigitTable].Assign(options.CircledDigitList, TK_WDSYMBOL, true, ',');
  }
  keywords.AddList(options.GreekList, TK_GREEK, true, ',');
  if (!reduced) AddBuiltInKeywords(options);
  keywords.Sort();
  tables_[kCircledDigitTable].Sort();
  lexiconInputs_ = std::move(inputs);
}

// Every option the build below reads: the switches it tests and the lists.
std::vector<CString> EquationLine::LexiconInputs(const QVMOptions& o) {
  CString switches;
  for (const int n : {0, 8, 12, 13}) switches += ParseSwitch(o, n) ? '1' : '0';
  return {switches,          StringOption(o.MacroList), o.AutoReplaceList,   o.RelationList,
          o.SymbolList,      o.PrimeList,               o.CircledDigitList,  o.GreekList,
          StringOption(o.UnitsList), o.FunctionList,    o.InverseFunctionList,
          o.DrawnConstructList, o.MarkList};
}

// The keyword lists after the Greek letters, in their order of precedence
// among keys of equal length.
void EquationLine::AddBuiltInKeywords(const QVMOptions& options) {
  LexiconTable& keywords = tables_[kKeywordTable];
  keywords.AddList(StringOption(options.UnitsList), TK_UNIT, false, ',');
  keywords.AddList(options.FunctionList, TK_FUNCTION, false, ',');
  keywords.AddList(options.InverseFunctionList, TK_ARCSINCOSTAN, false, ',');
  keywords.AddList("sqrt,sr", TK_SQRT, false, ',');
  keywords.AddList("root", TK_ROOT, false, ',');
  if (ParseSwitch(options, 13)) keywords.AddList("arc", TK_ARC, false, ',');
  if (ParseSwitch(options, 12)) keywords.AddList("div", TK_LONGDIV, false, ',');
  keywords.AddList(options.DrawnConstructList, TK_CODEDRAW2, false, ',');
  keywords.AddList(options.MarkList, TK_MODIFIER, false, ',');
  if (ParseSwitch(options, 8)) keywords.AddList("+-,177", TK_RAW, true, ',');
  keywords.AddList("|[,[|", TK_OPEN, false, ',');
  keywords.AddList("]|,|]", TK_CLOSE, false, ',');
  keywords.AddList(" :, :", TK_NUMBER, true, ',');
}
