#include "controls/NumberText.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.141592654;
constexpr double kE = 2.718281828;

#ifndef _WIN32
constexpr int32_t LOCALE_SDECIMAL = 0x0E;
constexpr int32_t LOCALE_SLIST = 0x0C;
#endif

// First character of a locale field, or `fallback` when the query fails.
int ReadLocaleChar(LCID locale, int32_t field, char fallback, char& out) {
  char buffer[4] = {0, 0, 0, 0};
#ifdef _WIN32
  const int result = GetLocaleInfoA(locale, static_cast<LCTYPE>(field), buffer, sizeof buffer);
#else
  // No user locale to ask off Windows: the C conventions.
  (void)locale;
  buffer[0] = field == LOCALE_SDECIMAL ? '.' : ',';
  const int result = 2;
#endif
  // A failed query leaves no separator at all; a NUL one would vanish from text.
  out = buffer[0] != 0 ? buffer[0] : fallback;
  return result;
}

int ClampPrecision(int decimals) {
  return decimals < 0 ? 0 : decimals > NumberTextFormat::kMaxPrecision
                                ? NumberTextFormat::kMaxPrecision
                                : decimals;
}

// strtod of the whole text; false when it stops early.
bool ReadDouble(const CString& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end == text.GetString() + text.GetLength();
}

}  // namespace

int LocaleSeparators::ReadDecimalSeparator(LCID locale) {
  return ReadLocaleChar(locale, LOCALE_SDECIMAL, '.', decimalSeparator);
}

int LocaleSeparators::ReadListSeparator(LCID locale) {
  return ReadLocaleChar(locale, LOCALE_SLIST, ',', listSeparator);
}

// Fixed notation, never an exponent; trimmed, minus replaced and the point
// localised as the flags ask.
CString NumberTextFormat::FormatNumber(double value, int decimals) const {
  const int digits = ClampPrecision(decimals == -1 ? precision : decimals);
  CString text;
  // Format sizes its buffer from the text, so 1e300 fits as well as 0.5.
  text.Format(showPlusSign ? "%+.*f" : "%.*f", digits, value);

  LocaleSeparators separators;
  separators.ReadDecimalSeparator();

  if (trimTrailingZeros && !text.IsEmpty() && text.Find('.') >= 0) {
    text.TrimRight('0');
    text.TrimRight('.');
  }
  if (replaceMinusSign && !text.IsEmpty() && text[0] == '-') text.SetAt(0, minusCharacter);
  if (text == "-0") text = "0";
  text.Replace('.', separators.decimalSeparator);
  return text;
}

// numerator [/ denominator], with "," as decimal point and "p"/"e" factors
// in the numerator.
double NumberTextFormat::ParseNumber(const char* text) const {
  const CString input(text);
  const int length = input.GetLength();
  bool malformed = length == 0;
  bool hasPi = false;
  bool hasE = false;

  CString scratch;
  int i = 0;
  for (; i < length && input[i] != '/'; ++i) {
    const char c = input[i];
    if (c == ',') {
      scratch += '.';
    } else if (c == 'e') {
      hasE = true;
    } else if (c == 'p') {
      hasPi = true;
      // Only the "i" of "pi" goes with it: never the "/" or past the end.
      if (i + 1 < length && input[i + 1] == 'i') ++i;
    } else {
      scratch += c;
    }
  }

  double numerator = 1;
  if (scratch == "-") {
    numerator = -1;
  } else if (!scratch.IsEmpty() && !ReadDouble(scratch, numerator)) {
    malformed = true;
  }

  double denominator = 1;
  const CString below = i < length ? input.Mid(i + 1) : CString();
  if (!below.IsEmpty()) denominator = std::strtod(below, nullptr);

  double multiplier = hasPi ? kPi : 1;
  if (hasE) multiplier *= kE;
  double result = multiplier * numerator / denominator;

  // Callers truncate results to integers: infinity or NaN would be undefined.
  if (!std::isfinite(numerator) || !std::isfinite(denominator) || !std::isfinite(result)) {
    malformed = true;
    result = 0;
  }
  return malformed && errorSentinel ? kErrorSentinel : result;
}

bool IsCharInSet(char c, const char* set) {
  if (set == nullptr) return false;
  for (; *set != 0; ++set) {
    if (*set == c) return true;
  }
  return false;
}

int32_t RoundHalfUp(double x) {
  // Converting NaN or an out-of-range double to int is undefined: saturate.
  if (std::isnan(x)) return 0;
  const double down = std::floor(x);
  const double rounded = x - down >= 0.5 ? down + 1 : down;
  if (rounded >= 2147483647.0) return INT32_MAX;
  if (rounded <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(rounded);
}

bool IsAllLowerCase(const char* text) {
  if (text == nullptr) return true;
  CString lower(text);
#ifdef _WIN32
  // CharLowerBuff goes through the ANSI code page, so double-byte characters
  // stay whole and accented letters are folded too.
  const int length = lower.GetLength();
  if (length > 0) {
    CharLowerBuffA(lower.GetBuffer(length), static_cast<DWORD>(length));
    lower.ReleaseBuffer(length);
  }
#else
  lower.MakeLower();
#endif
  return lower == text;
}
