#include "app/startup/StartupRules.h"

#include <cmath>

#include "controls/NumberText.h"

namespace startup {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

CString FormatStamp(int64_t seconds) {
  return NumberTextFormat().FormatNumber(static_cast<double>(seconds), -1);
}

int64_t ParseStamp(const CString& text) {
  if (text.IsEmpty()) return 1;
  const double value = NumberTextFormat().ParseNumber(text);
  // Guards the conversion: beyond +-2^62 seconds is no time at all.
  if (std::isnan(value) || std::fabs(value) >= 4.6e18) return 0;
  return static_cast<int64_t>(std::trunc(value));
}

bool IsStampDue(int64_t now, const CString& stamp, int64_t interval) {
  // Both sides stay within +-2^62, so the difference cannot overflow.
  return now - ParseStamp(stamp) > interval;
}

int TipNumber(const CString& name) {
  if (name.GetLength() != 11) return -1;
  CString lower = name;
  lower.MakeLower();
  if (lower.Left(3) != "tip" || lower.Mid(6) != ".html") return -1;
  if (!IsDigit(lower[3]) || !IsDigit(lower[4]) || !IsDigit(lower[5])) return -1;
  return (lower[3] - '0') * 100 + (lower[4] - '0') * 10 + (lower[5] - '0');
}

TipList::TipList(const CStringArray& files) {
  for (int i = 0; i < files.GetSize(); ++i) {
    const int number = TipNumber(files[i]);
    if (number < 0) continue;
    numbers.push_back(number);
    names.push_back(files[i]);
  }
}

int TipList::Next(int& lastTip) const {
  if (IsEmpty()) return -1;
  if (lastTip >= numbers.back()) lastTip = 0;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (numbers[i] > lastTip) {
      lastTip = numbers[i];
      return static_cast<int>(i);
    }
  }
  return -1;
}

int TipList::Previous(int& lastTip) const {
  if (IsEmpty()) return -1;
  int low = numbers[0];
  if (low == 0 && numbers.size() > 1) low = numbers[1];
  if (low >= lastTip) lastTip = 1000;
  for (size_t i = numbers.size(); i-- > 0;) {
    if (numbers[i] < lastTip) {
      lastTip = numbers[i];
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace startup
