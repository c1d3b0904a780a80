// The rules of the start-up services that need no window: time stamps as
// text, the due test, tip file names and the order of the tips.
// Choices of ours: stamps are 64-bit seconds (the text form is the same
// whole decimal number), so they do not wrap in 2038; a stamp that does not
// read as a number within range reads as 0; tip names that are not "tip" +
// three digits + ".html" are left out of the order.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Collections.h"
#include "framework/String.h"

namespace startup {

constexpr int64_t kTipInterval = 43200;           // twelve hours in seconds
constexpr int64_t kUpdateCheckInterval = 604800;  // seven days in seconds

// Seconds since 1 January 1970 UTC as the settings file stores them.
CString FormatStamp(int64_t seconds);
// An empty stamp reads as 1, so it is always old enough.
int64_t ParseStamp(const CString& text);
// True when `now` is more than `interval` seconds after the stamp.
bool IsStampDue(int64_t now, const CString& stamp, int64_t interval);

// The tip's number (0 to 999), or -1 when the name is not of the form
// "tip" + three digits + ".html" (any case) or names a subfolder.
int TipNumber(const CString& name);

// The tips of a folder listing: their numbers and names in list order.
struct TipList {
  std::vector<int> numbers;
  std::vector<CString> names;

  explicit TipList(const CStringArray& files);
  bool IsEmpty() const { return numbers.empty(); }
  // The index of the tip that Next shows after `lastTip`, which it updates;
  // -1 when no tip follows (lastTip is then left as Next set it).
  int Next(int& lastTip) const;
  // The index of the tip that Previous shows before `lastTip`; -1 for none.
  int Previous(int& lastTip) const;
};

}  // namespace startup
