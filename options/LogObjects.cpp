// Pen, brush and font descriptions: archive forms, GDI records, INI text.
#include "options/LogObjects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "options/OptionText.h"

IMPLEMENT_SERIAL(QVLogPen, CObject, 1)
IMPLEMENT_SERIAL(QVLogBrush, CObject, 1)
IMPLEMENT_SERIAL(QVLogFont, CObject, 1)

namespace {

// Colour components are taken modulo 256 by masking, which also keeps
// negative input within 0 to 255.
COLORREF ColourFromFields(CString& text) {
  const int32_t red = ParseInt32Saturating(TakeField(text)) & 0xFF;
  const int32_t green = ParseInt32Saturating(TakeField(text)) & 0xFF;
  const int32_t blue = ParseInt32Saturating(TakeField(text)) & 0xFF;
  return RGB(red, green, blue);
}

double HeldToGdiRange(double value) {
  if (std::isnan(value)) return 0.0;
  if (value > kMaxGdiLength) return kMaxGdiLength;
  if (value < -kMaxGdiLength) return -kMaxGdiLength;
  return value;
}

}  // namespace

int32_t RoundGdiLength(double value) {
  return static_cast<int32_t>(std::floor(HeldToGdiRange(value) + 0.5));
}

int32_t TruncateGdiLength(double value) { return static_cast<int32_t>(HeldToGdiRange(value)); }

// ---------------------------------------------------------------- QVLogPen

QVLogPen& QVLogPen::Assign(const QVLogPen& other) {
  Mode = other.Mode;
  Style = other.Style;
  Color = other.Color;
  Width = other.Width;
  return *this;
}

void QVLogPen::Serialize(CArchive& archive) {
  if (archive.IsStoring()) {
    archive << Mode << Style << static_cast<uint32_t>(Color) << Width;
  } else {
    uint32_t color = 0;
    archive >> Mode >> Style >> color >> Width;
    Color = color;
    HoldInRange();
  }
}

void QVLogPen::HoldInRange() {
  // Not-a-number draws as width 0 anyway; held as 0 it also reads as one.
  if (std::isnan(Width)) Width = 0.0;
  if (Width > kMaxPenWidth) Width = kMaxPenWidth;
  if (Width < -kMaxPenWidth) Width = -kMaxPenWidth;
}

void QVLogPen::SetStyleIndex(int index) {
  switch (index) {
    case 1: Style = 0x10002; break;
    case 2: Style = 0x10001; break;
    case 3: Style = 0x10003; break;
    case 4: Style = 0x10004; break;
    case 12:
      Mode = 12;
      Style = 0x10005;
      break;
    default: Style = 0x10006; break;
  }
}

// Mode 0 reads style indexes 1 to 11 as named lines; modes 1 and 2 make any
// style geometric; mode 3 takes the style as it is.
LOGPEN QVLogPen::ToGdiPen() const {
  // A negative width would make GDI refuse the pen.
  const int32_t rounded = RoundGdiLength(Width) < 0 ? 0 : RoundGdiLength(Width);
  LOGPEN pen{static_cast<UINT>(Style), {rounded, 0}, Color};
  if (Style == 5 || Style == 12) {
    pen.lopnStyle = PS_NULL;
    pen.lopnWidth.x = 1;
    return pen;
  }
  static const UINT kDashed[] = {0x10202, 0x10201, 0x10203, 0x10204};
  static const int32_t kInsideFrameWidths[] = {25, 50, 75, 100, 150, 250};
  if (Mode == 0 && Style >= 1 && Style <= 4) {
    pen.lopnStyle = kDashed[Style - 1];
    pen.lopnWidth.x = 1;
  } else if (Mode == 0 && Style >= 6 && Style <= 11) {
    pen.lopnStyle = 0x10206;
    pen.lopnWidth.x = kInsideFrameWidths[Style - 6];
  } else if (Mode == 1 || Mode == 2) {
    pen.lopnStyle = static_cast<UINT>(Style) | PS_GEOMETRIC;
  }
  return pen;
}

CString QVLogPen::ToText() const {
  CString text;
  text.Format("%i,%i,%i,%i,%i,", GetRValue(Color), GetGValue(Color), GetBValue(Color),
              static_cast<int>(Style), static_cast<int>(Mode));
  return text + FormatFixed6(Width);
}

void QVLogPen::ParseText(const char* text) {
  CString rest(text);
  Color = ColourFromFields(rest);
  Style = ParseInt32Saturating(TakeField(rest));
  Mode = ParseInt32Saturating(TakeField(rest));
  Width = std::strtod(rest, nullptr);
  HoldInRange();
}

// -------------------------------------------------------------- QVLogBrush

QVLogBrush& QVLogBrush::Assign(const QVLogBrush& other) {
  Mode = other.Mode;
  Style = other.Style;
  Color = other.Color;
  Hatch = other.Hatch;
  return *this;
}

void QVLogBrush::Serialize(CArchive& archive) {
  if (archive.IsStoring()) {
    archive << Mode << Style << static_cast<uint32_t>(Color) << Hatch;
  } else {
    uint32_t color = 0;
    archive >> Mode >> Style >> color >> Hatch;
    Color = color;
  }
}

// Mode 0: 0 hollow, 1 solid, 2 to 7 the six hatches; mode 1: as stored.
LOGBRUSH QVLogBrush::ToLogBrush() const {
  if (Mode == 1)
    return LOGBRUSH{static_cast<UINT>(Style), Color, static_cast<ULONG_PTR>(Hatch)};
  static const ULONG_PTR kHatches[] = {HS_FDIAGONAL, HS_BDIAGONAL, HS_HORIZONTAL,
                                       HS_VERTICAL,  HS_CROSS,     HS_DIAGCROSS};
  if (Mode == 0 && Style == 0) return LOGBRUSH{BS_HOLLOW, Color, 0};
  if (Mode == 0 && Style >= 2 && Style <= 7) return LOGBRUSH{BS_HATCHED, Color, kHatches[Style - 2]};
  return LOGBRUSH{BS_SOLID, Color, 0};
}

CString QVLogBrush::ToText() const {
  CString text;
  text.Format("%i,%i,%i,%i,%i,%i", GetRValue(Color), GetGValue(Color), GetBValue(Color),
              static_cast<int>(Style), static_cast<int>(Mode), static_cast<int>(Hatch));
  return text;
}

// --------------------------------------------------------------- QVLogFont

QVLogFont::QVLogFont() : LogFont{} {
  LogFont.lfHeight = -14;
  LogFont.lfWeight = 400;
  LogFont.lfOutPrecision = 7;
  LogFont.lfClipPrecision = 0x30;
  LogFont.lfQuality = 2;
  LogFont.lfPitchAndFamily = 2;
  SetFaceName("Arial");
}

QVLogFont& QVLogFont::Assign(const QVLogFont& other) {
  LogFont = other.LogFont;
  Color = other.Color;
  Size = other.Size;
  return *this;
}

void QVLogFont::SetFaceName(const char* face) {
  std::memset(LogFont.lfFaceName, 0, sizeof LogFont.lfFaceName);
  std::strncpy(LogFont.lfFaceName, face ? face : "", sizeof LogFont.lfFaceName - 1);
}

// Height, weight, four flag bytes, the 32-byte face, colour and size; the
// other LOGFONT fields are not stored and keep their values on loading.
void QVLogFont::Serialize(CArchive& archive) {
  LOGFONTA& f = LogFont;
  if (archive.IsStoring()) {
    CHAR face[LF_FACESIZE] = {};
    std::memcpy(face, f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE - 1));
    archive << static_cast<int32_t>(f.lfHeight) << static_cast<int32_t>(f.lfWeight);
    archive << f.lfItalic << f.lfUnderline << f.lfStrikeOut << f.lfCharSet;
    archive.Write(face, LF_FACESIZE);
    archive << static_cast<uint32_t>(Color) << Size;
    return;
  }
  int32_t height = 0, weight = 0;
  uint32_t color = 0;
  archive >> height >> weight >> f.lfItalic >> f.lfUnderline >> f.lfStrikeOut >> f.lfCharSet;
  archive.ReadExact(f.lfFaceName, LF_FACESIZE);
  // A stored name may fill all 32 bytes; it must still end in a NUL.
  f.lfFaceName[LF_FACESIZE - 1] = 0;
  archive >> color >> Size;
  f.lfHeight = height;
  f.lfWeight = weight;
  Color = color;
  HoldInRange();
}

// Weight and angles out of reach would draw glyphs of no known weight or
// turned sideways.
void QVLogFont::HoldInRange() {
  const auto hold = [](int32_t value) { return std::clamp(value, -kMaxFontSize, kMaxFontSize); };
  const auto holdAngle = [](LONG angle) { return std::clamp<LONG>(angle, -kFullTurn, kFullTurn); };
  Size = hold(Size);
  LogFont.lfHeight = hold(LogFont.lfHeight);
  LogFont.lfWidth = hold(LogFont.lfWidth);
  LogFont.lfEscapement = holdAngle(LogFont.lfEscapement);
  LogFont.lfOrientation = holdAngle(LogFont.lfOrientation);
  LogFont.lfWeight = std::clamp<LONG>(LogFont.lfWeight, 0, kMaxFontWeight);
}

CString QVLogFont::ToText() const {
  const LOGFONTA& f = LogFont;
  CString text;
  text.Format("%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%s", static_cast<int>(f.lfHeight),
              static_cast<int>(f.lfWidth), static_cast<int>(f.lfEscapement),
              static_cast<int>(f.lfOrientation), static_cast<int>(f.lfWeight), f.lfItalic,
              f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision, f.lfClipPrecision,
              f.lfQuality, f.lfPitchAndFamily, static_cast<int>(static_cast<int32_t>(Color)),
              static_cast<int>(Size), f.lfFaceName);
  return text;
}

// Five 32-bit fields, eight byte fields, colour and size, then the rest of
// the text (commas included) as the face name.
void QVLogFont::ParseText(const char* text) {
  CString rest(text);
  LOGFONTA& f = LogFont;
  LONG* const longs[] = {&f.lfHeight, &f.lfWidth, &f.lfEscapement, &f.lfOrientation, &f.lfWeight};
  for (LONG* field : longs) *field = ParseInt32Saturating(TakeField(rest));
  BYTE* const bytes[] = {&f.lfItalic,       &f.lfUnderline,     &f.lfStrikeOut, &f.lfCharSet,
                         &f.lfOutPrecision, &f.lfClipPrecision, &f.lfQuality,   &f.lfPitchAndFamily};
  for (BYTE* field : bytes) *field = static_cast<BYTE>(ParseInt32Saturating(TakeField(rest)) & 0xFF);
  Color = static_cast<COLORREF>(ParseInt32Saturating(TakeField(rest)));
  Size = ParseInt32Saturating(TakeField(rest));
  SetFaceName(rest);
  HoldInRange();
}
