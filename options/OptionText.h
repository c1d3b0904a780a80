// Small text helpers of the option code: integer parsing that saturates
// instead of overflowing, taking comma-separated fields off a text, the
// "%f" form of INI doubles, and the user's decimal point.
#pragma once

#include <cstdint>

#include "framework/String.h"

// The leading decimal number of `text` as atoi reads it (blanks, a sign,
// digits; 0 when there is none), held to the int32 range instead of
// overflowing.
int32_t ParseInt32Saturating(const char* text);

// Removes and returns the text before the first `delimiter` (and the
// delimiter); with no delimiter left the result is empty and `text` stays.
CString TakeField(CString& text, char delimiter = ',');

// Six decimals with a point, whatever the locale.
CString FormatFixed6(double value);

// The first character of the user's decimal separator ("." off Windows);
// empty when the system gives none.
CString LocaleDecimalPoint();
