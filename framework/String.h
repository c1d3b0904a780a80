// CString: the program's 8-bit string (ANSI code page), with value semantics.
// Held in a std::string, so a CString may contain NUL bytes, and GetBuffer
// hands out the string's own storage until ReleaseBuffer.
// Choices of ours: positions and lengths are int as callers expect; an index
// out of range in Mid/Left/Right/Insert/Delete is clamped, never undefined.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#include "framework/Platform.h"

class CString {
 public:
  CString() = default;
  CString(const char* text) : s_(text ? text : "") {}
  CString(const char* text, int length);
  CString(char ch, int repeat = 1);
  CString(std::string_view text) : s_(text) {}
  CString(const std::string& text) : s_(text) {}

  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  char GetAt(int index) const;
  void SetAt(int index, char ch);
  char operator[](int index) const { return GetAt(index); }
  operator const char*() const { return s_.c_str(); }
  const char* GetString() const { return s_.c_str(); }
  const std::string& str() const { return s_; }

  CString& operator=(const char* text);
  CString& operator=(char ch);
  CString& operator+=(const CString& text);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);
  void Append(const char* text, int length);
  void AppendChar(char ch) { s_.push_back(ch); }

  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const char* b);
  friend CString operator+(const char* a, const CString& b);
  friend CString operator+(const CString& a, char b);
  friend CString operator+(char a, const CString& b);

  // Byte-wise comparison (as strcmp); CompareNoCase folds ASCII letters.
  int Compare(const char* text) const;
  int CompareNoCase(const char* text) const;
  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }
  friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }
  friend bool operator>(const CString& a, const CString& b) { return b.s_ < a.s_; }

  void Format(const char* format, ...)
#ifdef __GNUC__
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  void FormatV(const char* format, va_list args);
  void AppendFormat(const char* format, ...)
#ifdef __GNUC__
      __attribute__((format(printf, 2, 3)))
#endif
      ;

  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString SpanIncluding(const char* set) const;
  CString SpanExcluding(const char* set) const;

  // Positions are byte offsets; -1 when not found.
  int Find(char ch, int start = 0) const;
  int Find(const char* text, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* set) const;

  int Replace(char from, char to);
  int Replace(const char* from, const char* to);
  int Remove(char ch);
  int Insert(int index, char ch);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);

  CString& TrimLeft();
  CString& TrimLeft(char ch);
  CString& TrimLeft(const char* set);
  CString& TrimRight();
  CString& TrimRight(char ch);
  CString& TrimRight(const char* set);
  CString& Trim();
  CString& Trim(char ch);
  CString& Trim(const char* set);
  CString& MakeLower();
  CString& MakeUpper();
  CString& MakeReverse();

  // Next token after `start`, skipping leading delimiters; `start` becomes -1
  // and the result empty when no token is left.
  CString Tokenize(const char* delimiters, int& start) const;

  // Writable storage of at least `minLength` characters plus a terminator.
  char* GetBuffer(int minLength = 0);
  char* GetBufferSetLength(int length);
  // Ends a GetBuffer: length -1 takes the text up to its first NUL.
  void ReleaseBuffer(int newLength = -1);

  // Loads a string-table entry from the current resource module; false and
  // an empty string when the id is absent (always false off Windows).
  bool LoadString(UINT id);

 private:
  std::string s_;
};

inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator==(const char* a, const CString& b) { return b == a; }
inline bool operator!=(const char* a, const CString& b) { return !(b == a); }
inline bool operator<=(const CString& a, const CString& b) { return !(b < a); }
inline bool operator>=(const CString& a, const CString& b) { return !(a < b); }

// The module whose string table LoadString reads (the language module or the
// program); null means the executable itself.
void AfxSetResourceHandle(HINSTANCE instance);
HINSTANCE AfxGetResourceHandle();

// String `id` of the string table ("" where there is none, as off Windows).
CString AfxLoadString(UINT id);

// True when the printf format `format` takes the same arguments as `own`:
// the same conversions in the same order (flags, widths and precisions may
// differ). A format with positional arguments, "%n" or a conversion we do
// not know matches nothing, so it is never used.
bool AfxSameFormatArguments(const char* format, const char* own);
// String `id` for use as a printf format: the language module's copy when it
// takes the same arguments as the program's own string `id`, else the
// program's own (a translated "%s" too many would read past the arguments).
CString AfxLoadFormatString(UINT id);
// String `id` (through AfxLoadFormatString) filled in with `args`.
template <typename... Args>
CString AfxFormatResource(UINT id, Args... args) {
  CString text;
  text.Format(AfxLoadFormatString(id), args...);
  return text;
}
