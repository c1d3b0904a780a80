// Tree notation, settings by name and render case files.
#include "engine/TreeText.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "options/IniFile.h"

namespace {

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

class TreeReader {
 public:
  TreeReader(const std::string& text, QVMTokenFactory& factory) : text_(text), factory_(factory) {}

  // Reads tokens into `row` until the end or a closing brace.
  bool ReadRow(TokenRow& row, int depth) {
    // Deep nesting in hand-written notation is a typing error, not a tree.
    if (depth > kMaxDepth) return Fail("nesting too deep");
    for (;;) {
      SkipSpaces();
      if (at_ >= text_.size() || text_[at_] == '}') return true;
      QVMToken* token = nullptr;
      if (!ReadToken(token, depth)) return false;
      row.Append(token);
    }
  }

  bool AtEnd() {
    SkipSpaces();
    return at_ >= text_.size();
  }
  const std::string& Error() const { return error_; }

 private:
  static constexpr int kMaxDepth = 64;

  bool Fail(const std::string& what) {
    error_ = what + " at position " + std::to_string(at_);
    return false;
  }

  void SkipSpaces() {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  }

  bool ReadKind(TokenKind& kind) {
    const size_t start = at_;
    while (at_ < text_.size() && (std::isupper(static_cast<unsigned char>(text_[at_])) ||
                                  std::isdigit(static_cast<unsigned char>(text_[at_]))))
      ++at_;
    const std::string name = "TK_" + text_.substr(start, at_ - start);
    for (int k = 0; k < kTokenKindCount; ++k) {
      if (name == TokenKindName(static_cast<TokenKind>(k))) {
        kind = static_cast<TokenKind>(k);
        return true;
      }
    }
    at_ = start;
    return Fail("unknown kind");
  }

  bool ReadQuoted(CString& out) {
    ++at_;  // the opening quote
    std::string text;
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      if (c == '\\' && at_ < text_.size()) {
        c = text_[at_++];
        if (c == 'x' && at_ + 2 <= text_.size()) {
          c = static_cast<char>(std::strtol(text_.substr(at_, 2).c_str(), nullptr, 16));
          at_ += 2;
        }
      }
      text += c;
    }
    if (at_ >= text_.size()) return Fail("unclosed quote");
    ++at_;
    out = CString(text.c_str(), static_cast<int>(text.size()));
    return true;
  }

  bool ReadChildRow(TokenRow& row, int depth) {
    ++at_;  // the opening brace
    if (!ReadRow(row, depth + 1)) return false;
    if (at_ >= text_.size()) return Fail("unclosed brace");
    ++at_;
    return true;
  }

  bool ReadToken(QVMToken*& token, int depth) {
    TokenKind kind = TK_ERROR;
    if (!ReadKind(kind)) return false;
    token = factory_.NewToken(kind);
    CString text;
    if (at_ < text_.size() && text_[at_] == '"' && !ReadQuoted(text)) return false;
    token->SetText(text);
    if (at_ + 1 < text_.size() && text_[at_] == '@' && text_[at_ + 1] >= '0' && text_[at_ + 1] <= '4') {
      token->mark = text_[at_ + 1] - '0';
      at_ += 2;
    }
    if (at_ < text_.size() && text_[at_] == '{' && !ReadChildRow(token->row1, depth)) return false;
    if (at_ < text_.size() && text_[at_] == '{' && !ReadChildRow(token->row2, depth)) return false;
    return true;
  }

  const std::string& text_;
  QVMTokenFactory& factory_;
  size_t at_ = 0;
  std::string error_;
};

bool ParseInt(const std::string& text, long& value) {
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 0);
  return !text.empty() && *end == '\0';
}

// Settings that are no stored option: style, parse switches, line format,
// draw scale. False when `key` is none of them.
bool ApplySpecialSetting(QVMOptions& o, const std::string& key, const std::string& value,
                         bool& ok) {
  long n = 0;
  ok = ParseInt(value, n);
  if (key == "style") {
    ok = ok && n >= 0 && n <= 5;
    if (ok) o.SetDefaults(static_cast<OptionStyle>(n));
  } else if (key.rfind("switch", 0) == 0) {
    long index = 0;
    ok = ok && ParseInt(key.substr(6), index) && index >= 0 &&
         index < QVMOptions::kParseSwitchCount;
    if (ok) o.ParseSwitches[index] = n != 0;
  } else if (key == "Bold" || key == "Italic" || key == "Underline" || key == "UseColour") {
    LineFormat& f = o.CurrentLineFormat;
    bool& flag = key == "Bold" ? f.Bold : key == "Italic" ? f.Italic : key == "Underline" ? f.Underline : f.UseColour;
    flag = n != 0;
  } else if (key == "DrawScale") {
    char* end = nullptr;
    o.DrawScale = std::strtod(value.c_str(), &end);
    ok = !value.empty() && *end == '\0';
  } else {
    return false;
  }
  return true;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool BuildTree(EquationLine& line, const std::string& notation, const QVMOptions& options,
               std::string* error) {
  line.Root().RemoveAll();
  line.Factory().DeleteAll();
  TreeReader reader(notation, line.Factory());
  const bool ok = reader.ReadRow(line.Root(), 0) && reader.AtEnd();
  if (!ok) SetError(error, reader.Error().empty() ? "unexpected \"}\"" : reader.Error());
  line.Root().PrepareLayout(0, 0.0, options);
  line.SetNeedsRemeasure(true);
  return ok;
}

// The stored options go through their INI form, so every key reads as the
// option set reads its INI file.
bool ApplySettings(QVMOptions& options, const std::string& settings, std::string* error) {
  std::istringstream words(settings);
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::string word; words >> word;) {
    const size_t equals = word.find('=');
    if (equals == std::string::npos) {
      SetError(error, "setting without \"=\": " + word);
      return false;
    }
    pairs.emplace_back(word.substr(0, equals), word.substr(equals + 1));
  }
  // The style resets everything, so it goes first.
  for (const auto& [key, value] : pairs) {
    bool ok = true;
    if (key == "style" && ApplySpecialSetting(options, key, value, ok) && !ok) {
      SetError(error, "bad style: " + value);
      return false;
    }
  }
  CIniFile store;
  options.WriteHolders(store, false);
  bool anyStored = false;
  for (const auto& [key, value] : pairs) {
    bool ok = true;
    if (key == "style") continue;
    if (!ApplySpecialSetting(options, key, value, ok)) {
      ok = !store.ReadValue("Options", key.c_str()).IsEmpty() &&
           store.WriteValue("Options", key.c_str(), value.c_str(), false);
      anyStored = true;
    }
    if (!ok) {
      SetError(error, "unknown setting or bad value: " + key + "=" + value);
      return false;
    }
  }
  if (anyStored) options.ReadHolders(store);
  return true;
}

bool ReadRenderCases(const std::string& path, std::vector<RenderCase>& cases,
                     std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    SetError(error, "cannot read " + path);
    return false;
  }
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    // An empty equation may lose the space after its bar.
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, " |") == 0) line += ' ';
    const size_t first = line.find(" | ");
    const size_t second = first == std::string::npos ? first : line.find(" | ", first + 3);
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (second == std::string::npos) {
      SetError(error, where + "expected \"name | settings | equation\"");
      return false;
    }
    RenderCase c{Trim(line.substr(0, first)), Trim(line.substr(first + 3, second - first - 3)),
                 line.substr(second + 3)};
    if (!c.name.empty()) {
      cases.push_back(c);
      continue;
    }
    // A line without a name adds a line to the case above it.
    if (cases.empty() || !c.settings.empty() || cases.back().IsTree()) {
      SetError(error, where + "a further line belongs under a text case and has no settings");
      return false;
    }
    cases.back().equation += "\r\n" + c.equation;
  }
  return true;
}

namespace {

bool PrepareOptions(const RenderCase& c, QVMOptions& options, std::string* error) {
  options.SetDefaults(0);
  options.CurrentLineFormat = LineFormat{};
  options.DrawScale = 1.0;
  return ApplySettings(options, c.settings, error);
}

}  // namespace

bool PrepareRenderCase(const RenderCase& c, QVMOptions& options, EquationLine& line,
                       std::string* error) {
  if (!PrepareOptions(c, options, error)) return false;
  if (c.IsTree()) return BuildTree(line, c.equation.substr(5), options, error);
  line.SetReparse();
  line.SetText(CString(c.equation.c_str()), options);
  return true;
}

// A tree goes into line 1's engine, which keeps it as the tree of the
// case's text, so the list's SetText does not parse the notation.
bool PrepareRenderList(const RenderCase& c, QVMOptions& options, QVEquationList& list,
                       std::string* error) {
  if (!PrepareOptions(c, options, error)) return false;
  for (LineFormat& format : list.Formats) format = options.CurrentLineFormat;
  const CString text(c.equation.c_str());
  list.ForceReparse();
  if (c.IsTree()) {
    if (!BuildTree(*list.Engines[0], c.equation.substr(5), options, error)) return false;
    list.Engines[0]->AdoptTree(text);
  }
  list.SetText(text, options);
  return true;
}
