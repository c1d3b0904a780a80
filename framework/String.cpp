// CString implementation.
#include "framework/String.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// Clamps an offset into [0, size].
size_t ClampIndex(int index, size_t size) {
  if (index < 0) return 0;
  return std::min(static_cast<size_t>(index), size);
}

bool InSet(char ch, const char* set) {
  return ch != '\0' && set != nullptr && std::strchr(set, ch) != nullptr;
}

char LowerAscii(char ch) {
  return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

char UpperAscii(char ch) {
  return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

HINSTANCE g_resourceHandle = nullptr;

}  // namespace

CString::CString(const char* text, int length) {
  if (text && length > 0) s_.assign(text, static_cast<size_t>(length));
}

CString::CString(char ch, int repeat) {
  if (repeat > 0) s_.assign(static_cast<size_t>(repeat), ch);
}

char CString::GetAt(int index) const {
  return (index >= 0 && static_cast<size_t>(index) < s_.size()) ? s_[index] : '\0';
}

void CString::SetAt(int index, char ch) {
  if (index >= 0 && static_cast<size_t>(index) < s_.size()) s_[index] = ch;
}

CString& CString::operator=(const char* text) {
  s_ = text ? text : "";
  return *this;
}

CString& CString::operator=(char ch) {
  s_.assign(1, ch);
  return *this;
}

CString& CString::operator+=(const CString& text) {
  s_ += text.s_;
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text) s_ += text;
  return *this;
}

CString& CString::operator+=(char ch) {
  s_.push_back(ch);
  return *this;
}

void CString::Append(const char* text, int length) {
  if (text && length > 0) s_.append(text, static_cast<size_t>(length));
}

CString operator+(const CString& a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, const char* b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const char* a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, char b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(char a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

int CString::Compare(const char* text) const {
  return std::strcmp(s_.c_str(), text ? text : "");
}

int CString::CompareNoCase(const char* text) const {
  const char* a = s_.c_str();
  const char* b = text ? text : "";
  for (;; ++a, ++b) {
    const unsigned char ca = static_cast<unsigned char>(LowerAscii(*a));
    const unsigned char cb = static_cast<unsigned char>(LowerAscii(*b));
    if (ca != cb || ca == 0) return (ca > cb) - (ca < cb);
  }
}

void CString::FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) {
    s_.clear();
    return;
  }
  std::string out(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  out.resize(static_cast<size_t>(needed));
  s_.swap(out);
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
  CString tail;
  va_list args;
  va_start(args, format);
  tail.FormatV(format, args);
  va_end(args);
  s_ += tail.s_;
}

CString CString::Mid(int first) const {
  return CString(std::string_view(s_).substr(ClampIndex(first, s_.size())));
}

CString CString::Mid(int first, int count) const {
  const size_t from = ClampIndex(first, s_.size());
  return CString(std::string_view(s_).substr(from, ClampIndex(count, s_.size() - from)));
}

CString CString::Left(int count) const {
  return CString(std::string_view(s_).substr(0, ClampIndex(count, s_.size())));
}

CString CString::Right(int count) const {
  const size_t n = ClampIndex(count, s_.size());
  return CString(std::string_view(s_).substr(s_.size() - n));
}

CString CString::SpanIncluding(const char* set) const {
  return Left(static_cast<int>(std::strspn(s_.c_str(), set ? set : "")));
}

CString CString::SpanExcluding(const char* set) const {
  return Left(static_cast<int>(std::strcspn(s_.c_str(), set ? set : "")));
}

int CString::Find(char ch, int start) const {
  if (start < 0 || static_cast<size_t>(start) >= s_.size()) return -1;
  const size_t at = s_.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* text, int start) const {
  if (!text || start < 0 || static_cast<size_t>(start) > s_.size()) return -1;
  const size_t at = s_.find(text, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
  const size_t at = s_.rfind(ch);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const char* set) const {
  if (!set || !*set) return -1;
  const size_t at = s_.find_first_of(set);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(char from, char to) {
  int count = 0;
  for (char& c : s_) {
    if (c == from) {
      c = to;
      ++count;
    }
  }
  return count;
}

int CString::Replace(const char* from, const char* to) {
  if (!from || !*from) return 0;
  const std::string_view what(from);
  const std::string_view with(to ? to : "");
  std::string out;
  int count = 0;
  size_t pos = 0;
  for (size_t hit; (hit = s_.find(what, pos)) != std::string::npos; pos = hit + what.size()) {
    out.append(s_, pos, hit - pos);
    out.append(with);
    ++count;
  }
  if (count == 0) return 0;
  out.append(s_, pos, std::string::npos);
  s_.swap(out);
  return count;
}

int CString::Remove(char ch) {
  const size_t before = s_.size();
  s_.erase(std::remove(s_.begin(), s_.end(), ch), s_.end());
  return static_cast<int>(before - s_.size());
}

int CString::Insert(int index, char ch) {
  s_.insert(ClampIndex(index, s_.size()), 1, ch);
  return GetLength();
}

int CString::Insert(int index, const char* text) {
  if (text) s_.insert(ClampIndex(index, s_.size()), text);
  return GetLength();
}

int CString::Delete(int index, int count) {
  if (index >= 0 && count > 0 && static_cast<size_t>(index) < s_.size())
    s_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

CString& CString::TrimLeft() {
  size_t n = 0;
  while (n < s_.size() && std::isspace(static_cast<unsigned char>(s_[n]))) ++n;
  s_.erase(0, n);
  return *this;
}

CString& CString::TrimLeft(char ch) {
  s_.erase(0, s_.find_first_not_of(ch) == std::string::npos ? s_.size() : s_.find_first_not_of(ch));
  return *this;
}

CString& CString::TrimLeft(const char* set) {
  size_t n = 0;
  while (n < s_.size() && InSet(s_[n], set)) ++n;
  s_.erase(0, n);
  return *this;
}

CString& CString::TrimRight() {
  while (!s_.empty() && std::isspace(static_cast<unsigned char>(s_.back()))) s_.pop_back();
  return *this;
}

CString& CString::TrimRight(char ch) {
  while (!s_.empty() && s_.back() == ch) s_.pop_back();
  return *this;
}

CString& CString::TrimRight(const char* set) {
  while (!s_.empty() && InSet(s_.back(), set)) s_.pop_back();
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const char* set) { return TrimRight(set).TrimLeft(set); }

CString& CString::MakeLower() {
  for (char& c : s_) c = LowerAscii(c);
  return *this;
}

CString& CString::MakeUpper() {
  for (char& c : s_) c = UpperAscii(c);
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(s_.begin(), s_.end());
  return *this;
}

CString CString::Tokenize(const char* delimiters, int& start) const {
  const std::string_view set(delimiters ? delimiters : "");
  if (start >= 0 && static_cast<size_t>(start) < s_.size()) {
    const size_t from = s_.find_first_not_of(set, static_cast<size_t>(start));
    if (from != std::string::npos) {
      size_t to = s_.find_first_of(set, from);
      if (to == std::string::npos) to = s_.size();
      start = static_cast<int>(to + 1);
      return CString(std::string_view(s_).substr(from, to - from));
    }
  }
  start = -1;
  return CString();
}

char* CString::GetBuffer(int minLength) {
  if (minLength > 0 && static_cast<size_t>(minLength) > s_.size())
    s_.resize(static_cast<size_t>(minLength), '\0');
  return s_.data();
}

char* CString::GetBufferSetLength(int length) {
  s_.resize(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  return s_.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) {
    s_.resize(std::strlen(s_.c_str()));
  } else {
    s_.resize(std::min(static_cast<size_t>(newLength), s_.size()));
  }
}

void AfxSetResourceHandle(HINSTANCE instance) { g_resourceHandle = instance; }
HINSTANCE AfxGetResourceHandle() { return g_resourceHandle; }

namespace {

// String `id` of `module` into `text`; false when the module lacks it.
bool LoadStringFrom([[maybe_unused]] HINSTANCE module, [[maybe_unused]] UINT id, std::string& text) {
  text.clear();
#ifdef _WIN32
  // String-table entries are short; a longer one is cut at the buffer.
  char buffer[4096];
  const int n = ::LoadStringA(module, id, buffer, sizeof buffer);
  if (n > 0) text.assign(buffer, static_cast<size_t>(n));
#endif
  return !text.empty();
}

HINSTANCE ProgramModule() {
#ifdef _WIN32
  return ::GetModuleHandleA(nullptr);
#else
  return nullptr;
#endif
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Skips a width or precision; a "*" one takes an argument of its own.
const char* SkipCount(const char* p, std::string& arguments) {
  if (*p == '*') {
    arguments += '*';
    return p + 1;
  }
  while (IsDigit(*p)) ++p;
  return p;
}

// The arguments `format` takes, one group per conversion ("*" for each
// counted width or precision, the length letters, the conversion letter);
// false for a format that may take anything else.
bool FormatArguments(const char* format, std::string& arguments) {
  arguments.clear();
  for (const char* p = format; (p = std::strchr(p, '%')) != nullptr;) {
    ++p;
    if (*p == '%') {
      ++p;
      continue;
    }
    while (InSet(*p, "-+ #0")) ++p;
    p = SkipCount(p, arguments);
    if (*p == '.') p = SkipCount(p + 1, arguments);
    while (InSet(*p, "hlLjzt")) arguments += *p++;
    // "$" (a positional argument) and "n" (a write through a pointer) are refused.
    if (!InSet(*p, "diouxXcseEfFgGaAp")) return false;
    arguments += *p++;
  }
  return true;
}

}  // namespace

bool CString::LoadString(UINT id) {
  // A string the language module lacks comes from the program.
  return (g_resourceHandle && LoadStringFrom(g_resourceHandle, id, s_)) ||
         LoadStringFrom(ProgramModule(), id, s_);
}

CString AfxLoadString(UINT id) {
  CString text;
  text.LoadString(id);
  return text;
}

bool AfxSameFormatArguments(const char* format, const char* own) {
  std::string taken, wanted;
  return format && own && FormatArguments(format, taken) && FormatArguments(own, wanted) &&
         taken == wanted;
}

CString AfxLoadFormatString(UINT id) {
  CString text;
  text.LoadString(id);
  std::string own;
  LoadStringFrom(ProgramModule(), id, own);
  return AfxSameFormatArguments(text, own.c_str()) ? text : CString(own);
}
