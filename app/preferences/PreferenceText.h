// The text forms that the preference pages show and read back: stored
// lists as one entry per line, sizes and widths in points, lengths in
// millimetres. Needs no window, so it builds and is tested natively.
// Choices of ours: a font size text is read without its trailing letters
// ("12pt" is 12 points, not 12 times pi) and one that is empty or not
// positive gives no size; blank lines of the shortcut box are dropped, and
// a line without » or with a "%" is refused, so that no line can shift the
// names and texts of the shortcuts after it; a second » on a line belongs
// to the text.
#pragma once

#include <cstdint>

#include "framework/String.h"

// Empty lines appended below a list, room to type new entries.
constexpr int kListRoomLines = 22;

// "cm,km" shows as the lines cm and km, then the empty lines.
CString UnitsToText(const char* units);
// Lines back to the stored list, trailing separators removed.
CString TextToUnits(const char* text);
// "name%text%name%text%" shows as the lines name»text, then the empty lines.
CString MacrosToText(const char* macros);
// Each line that is not blank is one shortcut: its name before the line's
// first », its text after it. The shortcuts are joined by "%".
CString TextToMacros(const char* text);

// The first line of the shortcut box that the stored form cannot hold.
struct ShortcutFault {
  int line = 0;          // counted from 1; 0 when every line can be stored
  bool percent = false;  // it holds a "%"; otherwise it has no »
  CString text;
};
ShortcutFault FindShortcutFault(const char* text);

// The text without its trailing ASCII letters.
CString WithoutTrailingLetters(const char* text);

// A font size in 0.01 mm shown as whole points.
CString FontSizeText(int32_t size);
// The size text in 0.01 mm; false for an empty or non-positive size.
bool ReadFontSize(const char* text, int32_t& size);

// A pen width in 0.01 mm shown in points, to the nearest quarter, with "pt".
CString PenWidthText(double width);
// A pen text such as "2pt" or "1.5 pt" as a width in 0.01 mm.
double PenWidthFromText(const char* text);

// Millimetres from and to hundredths of a millimetre (truncated).
double MillimetresOf(int32_t hundredths);
int32_t HundredthsOf(double millimetres);
