// Text helpers of the option code.
#include "options/OptionText.h"

#include <cctype>
#include <climits>
#include <cstdio>

#include "controls/NumberText.h"

int32_t ParseInt32Saturating(const char* text) {
  if (!text) return 0;
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  // Accumulate in 64 bits and stop growing at the int32 limit, so that any
  // number of digits is safe.
  int64_t magnitude = 0;
  for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
    if (magnitude <= int64_t{INT32_MAX} + 1) magnitude = magnitude * 10 + (*text - '0');
  }
  if (negative) return magnitude > int64_t{INT32_MAX} ? INT32_MIN : static_cast<int32_t>(-magnitude);
  return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

CString TakeField(CString& text, char delimiter) {
  const int at = text.Find(delimiter);
  if (at < 0) return CString();
  CString field = text.Left(at);
  text = text.Mid(at + 1);
  return field;
}

CString FormatFixed6(double value) {
  CString text;
  text.Format("%f", value);
  // The C library formats with the C locale unless someone switches it;
  // INI files always carry a point.
  text.Replace(',', '.');
  return text;
}

// The option set has no decimal point when the locale cannot be asked.
CString LocaleDecimalPoint() {
  LocaleSeparators separators;
  return separators.ReadDecimalSeparator() ? CString(separators.decimalSeparator) : CString();
}
