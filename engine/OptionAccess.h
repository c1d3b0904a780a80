// The few readings of the option set that the parse code makes, in one
// place, so that the parse files name options the same way everywhere.
#pragma once

#include "options/QVMOptions.h"

// Entry n of the parse switches; switch 0 is the reduced mode.
inline bool ParseSwitch(const QVMOptions& options, int n) { return options.ParseSwitches[n] != 0; }

inline CString StringOption(const QVOptionString& option) { return option.Value; }

inline int PermCombStyleOf(const QVMOptions& options) {
  const QVOptionInt& style = options.PermCombStyle;
  // Out of range reads as the midpoint, as the holder's own reading does.
  if (style.Value < style.Min || style.Value > style.Max) return (style.Min + style.Max) / 2;
  return style.Value;
}

// The first character of the list separator; 0 when it is empty.
inline char SeparatorChar(const QVMOptions& options) {
  const CString& separator = options.Separator.Value;
  return separator.IsEmpty() ? '\0' : separator.GetAt(0);
}
