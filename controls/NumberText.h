// NumberTextFormat: numbers as fixed-point text in the user's locale, and
// number text (fractions, "p" for pi, "e" for Euler's number) read back.
// LocaleSeparators: the user's decimal and list separator characters.
// Also the small character, case and rounding helpers shared by the program.
//
// Choices of ours:
//  - A failed locale query gives "." as decimal and "," as list separator.
//    Off Windows there is no user locale to ask: the separators are "." and
//    "," (the C library's locale is left alone, as strtod depends on it).
//  - Precision is clamped to 0..kMaxPrecision.
//  - ParseNumber never returns an infinite value or NaN: such a result
//    (infinite or NaN text, overflow, a zero denominator) is malformed input
//    and reads as 0, or as the sentinel when errorSentinel is set.
//  - In "pi" the letter after "p" is dropped only when it is an "i", so
//    "2p/3" is two thirds of pi and "p" at the end reads no further.
#pragma once

#include <cstdint>

#include "framework/String.h"

struct LocaleSeparators {
  static constexpr LCID kUserDefaultLocale = 0x0400;

  char decimalSeparator = '.';
  char listSeparator = ',';

  // Both return the locale query's result (0 when it failed).
  int ReadDecimalSeparator(LCID locale = kUserDefaultLocale);
  int ReadListSeparator(LCID locale = kUserDefaultLocale);
};

struct NumberTextFormat {
  static constexpr int kMaxPrecision = 30;
  static constexpr double kErrorSentinel = 1000000000001.2;

  BYTE showPlusSign = 0;
  BYTE trimTrailingZeros = 1;
  BYTE replaceMinusSign = 0;
  char minusCharacter = static_cast<char>(0x96);
  int32_t precision = 6;
  BYTE errorSentinel = 0;

  // precision -1 selects the object's own precision.
  CString FormatNumber(double value, int decimals = -1) const;
  double ParseNumber(const char* text) const;
};

// True when c is one of the characters of set before its terminator.
bool IsCharInSet(char c, const char* set);

// floor(x) + 1 when the fraction is at least one half, else floor(x).
// Saturates: values beyond the int32 range give INT32_MIN or INT32_MAX, NaN
// gives 0.
int32_t RoundHalfUp(double x);

// True when the text equals its own lower-case form (ANSI code page rules on
// Windows, ASCII letters elsewhere).
bool IsAllLowerCase(const char* text);
