// The few readings of the option set that the parse code makes, in one
// place, so that the parse files name options the same way everywhere.
#pragma once

#include "controls/NumberText.h"
#include "options/QVMOptions.h"

// Entry n of the parse switches; switch 0 is the reduced mode.
inline bool ParseSwitch(const QVMOptions& options, int n) { return options.ParseSwitches[n] != 0; }

// Holders clamp or cut their value when read; the parse reads a copy so
// that the options it is lent stay untouched.
inline CString StringOption(const QVOptionString& option) {
  QVOptionString copy = option;
  return copy.GetValue();
}

inline int PermCombStyleOf(const QVMOptions& options) {
  QVOptionInt copy = options.PermCombStyle;
  return copy.GetValue();
}

// The first character of the list separator; 0 when it is empty.
inline char SeparatorChar(const QVMOptions& options) {
  const CString& separator = options.Separator.Value;
  return separator.IsEmpty() ? '\0' : separator.GetAt(0);
}

// The number reader of the engine: no plus sign, trimmed zeros, en dash
// kept as is, six decimals; with `errorSentinel` bad text reads as the
// sentinel (which has a fraction), otherwise as 0.
inline NumberTextFormat EngineNumberFormat(bool errorSentinel) {
  NumberTextFormat format;
  format.showPlusSign = 0;
  format.trimTrailingZeros = 1;
  format.replaceMinusSign = 0;
  format.minusCharacter = static_cast<char>(150);
  format.precision = 6;
  format.errorSentinel = errorSentinel ? 1 : 0;
  return format;
}
