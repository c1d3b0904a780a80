// The text forms of the preference pages.
#include "app/preferences/PreferenceText.h"

#include <cmath>
#include <utility>
#include <vector>

#include "controls/NumberText.h"
#include "options/LogObjects.h"

namespace {

// Points to 0.01 mm: the size shown is divided by the first, the size
// stored multiplied by the second; whole sizes survive the round trip.
constexpr double kShownHimetricPerPoint = 35.277777777;
constexpr double kStoredHimetricPerPoint = 35.2777777777;
// Points to 0.01 mm for pen widths.
constexpr double kPenHimetricPerPoint = 35.2777755;
constexpr char kMacroMark = static_cast<char>(187);

CString RoomLines() {
  CString room;
  for (int i = 0; i < kListRoomLines; ++i) room += "\r\n";
  return room;
}

CString Replaced(const char* text, const char* from, const char* to) {
  CString result(text);
  result.Replace(from, to);
  return result;
}

CString TrimTrailing(CString text, char c) {
  while (!text.IsEmpty() && text[text.GetLength() - 1] == c) text = text.Left(text.GetLength() - 1);
  return text;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The lines of the box, blank ones left out, each with its number.
std::vector<std::pair<int, CString>> ShortcutLines(const char* text) {
  std::vector<std::pair<int, CString>> lines;
  const CString all(text);
  int number = 0;
  int start = 0;
  while (start <= all.GetLength()) {
    int end = all.Find("\r\n", start);
    if (end < 0) end = all.GetLength();
    const CString line = all.Mid(start, end - start);
    ++number;
    if (!CString(line).Trim().IsEmpty()) lines.emplace_back(number, line);
    start = end + 2;
  }
  return lines;
}

}  // namespace

CString UnitsToText(const char* units) { return Replaced(units, ",", "\r\n") + RoomLines(); }

CString TextToUnits(const char* text) { return TrimTrailing(Replaced(text, "\r\n", ","), ','); }

CString MacrosToText(const char* macros) {
  CString text;
  bool name = true;
  for (const char* p = macros; *p; ++p) {
    if (*p != '%') {
      text += *p;
      continue;
    }
    text += name ? CString(kMacroMark) : CString("\r\n");
    name = !name;
  }
  return text + RoomLines();
}

CString TextToMacros(const char* text) {
  CString result;
  for (const auto& numbered : ShortcutLines(text)) {
    const CString& line = numbered.second;
    if (!result.IsEmpty()) result += "%";
    const int mark = line.Find(kMacroMark);
    result += mark < 0 ? line + "%" : line.Left(mark) + "%" + line.Mid(mark + 1);
  }
  return result;
}

ShortcutFault FindShortcutFault(const char* text) {
  for (const auto& [number, line] : ShortcutLines(text)) {
    const bool percent = line.Find('%') >= 0;
    if (percent || line.Find(kMacroMark) < 0) return ShortcutFault{number, percent, line};
  }
  return ShortcutFault{};
}

CString WithoutTrailingLetters(const char* text) {
  CString result(text);
  while (!result.IsEmpty() && IsAsciiLetter(result[result.GetLength() - 1]))
    result = result.Left(result.GetLength() - 1);
  return result;
}

CString FontSizeText(int32_t size) {
  return NumberTextFormat{}.FormatNumber(RoundHalfUp(size / kShownHimetricPerPoint));
}

bool ReadFontSize(const char* text, int32_t& size) {
  CString number = WithoutTrailingLetters(text);
  number.Trim();
  if (number.IsEmpty()) return false;
  const double points = NumberTextFormat{}.ParseNumber(number);
  const int32_t stored = TruncateGdiLength(points * kStoredHimetricPerPoint);
  if (!(points > 0) || stored <= 0) return false;
  size = stored;
  return true;
}

CString PenWidthText(double width) {
  const double quarters = std::floor(width * 4 / kPenHimetricPerPoint + 0.5);
  return NumberTextFormat{}.FormatNumber(quarters * 0.25) + "pt";
}

double PenWidthFromText(const char* text) {
  return NumberTextFormat{}.ParseNumber(WithoutTrailingLetters(text)) * kPenHimetricPerPoint;
}

double MillimetresOf(int32_t hundredths) { return hundredths / 100.0; }

int32_t HundredthsOf(double millimetres) { return TruncateGdiLength(millimetres * 100); }
