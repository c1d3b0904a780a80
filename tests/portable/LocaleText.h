// Number text as the current locale writes it, for tests that run in
// more than one locale.
#pragma once

#include "controls/NumberText.h"

// The expected text with "." as the locale writes it.
inline CString Localised(const char* text) {
  LocaleSeparators separators;
  separators.ReadDecimalSeparator();
  CString result(text);
  result.Replace('.', separators.decimalSeparator);
  return result;
}
