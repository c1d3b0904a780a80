// QVLogPen, QVLogBrush and QVLogFont: descriptions of a pen, a brush and a
// font that can be copied, archived and written as INI text, and turned
// into the records GDI creates objects from.
// Choices of ours: a new brush has hatch 0; mode-0 brush styles above 7 and
// brush modes other than 0 and 1 give a solid brush; widths and sizes that
// are not finite or out of reach are clamped before they become integers.
#pragma once

#include "framework/Archive.h"
#include "framework/Object.h"

class QVLogPen : public CObject {
  DECLARE_SERIAL(QVLogPen)

 public:
  QVLogPen() = default;
  virtual QVLogPen& Assign(const QVLogPen& other);
  void Serialize(CArchive& archive) override;

  // Sets the style from a line-style choice of the Styles page.
  void SetStyleIndex(int index);
  // The GDI pen: style, width (x only, in this description's units), colour.
  LOGPEN ToGdiPen() const;

  // INI text "red,green,blue,style,mode,width".
  CString ToText() const;
  void ParseText(const char* text);
  // Holds the width within +-kMaxPenWidth, not-a-number as 0 (what a
  // document, a settings file or a preference page asks for is taken
  // through here).
  void HoldInRange();

  int32_t Mode = 0;
  int32_t Style = 0x10006;  // PS_GEOMETRIC | PS_INSIDEFRAME
  COLORREF Color = 0;
  double Width = 17.63888775;  // half a point, 0.01 mm
};

class QVLogBrush : public CObject {
  DECLARE_SERIAL(QVLogBrush)

 public:
  QVLogBrush() = default;
  virtual QVLogBrush& Assign(const QVLogBrush& other);
  void Serialize(CArchive& archive) override;

  LOGBRUSH ToLogBrush() const;
  // INI text "red,green,blue,style,mode,hatch" (written, never read).
  CString ToText() const;

  int32_t Mode = 0;
  int32_t Style = 1;  // solid
  COLORREF Color = 0;
  int32_t Hatch = 0;
};

class QVLogFont : public CObject {
  DECLARE_SERIAL(QVLogFont)

 public:
  QVLogFont();
  virtual QVLogFont& Assign(const QVLogFont& other);
  void Serialize(CArchive& archive) override;

  // INI text: the thirteen numbers, colour, size, then the face name.
  CString ToText() const;
  void ParseText(const char* text);
  void SetFaceName(const char* face);
  // Holds the size, height and width within +-kMaxFontSize, the weight
  // within 0 to kMaxFontWeight and both angles within a full turn.
  void HoldInRange();

  LOGFONTA LogFont;
  COLORREF Color = 0;
  int32_t Size = 388;  // 11 points in 0.01 mm
};

// Rounds to the nearest integer (halves upward) a length that is about to
// become a GDI size: not-a-number gives 0 and the result stays within
// +-kMaxGdiLength, so no conversion to int can overflow.
int32_t RoundGdiLength(double value);
// The same, truncating toward zero.
int32_t TruncateGdiLength(double value);
constexpr int32_t kMaxGdiLength = 1000000;

// The largest font size and pen width a document or a settings file may ask
// for, in 0.01 mm: 100 mm (about 283 points) and 10 mm. Larger ones only
// make GDI build glyphs and bitmaps that no page can show, at the cost of
// seconds and gigabytes.
constexpr int32_t kMaxFontSize = 10000;
constexpr double kMaxPenWidth = 1000.0;
// The heaviest font weight GDI knows (FW_HEAVY is 900), and a full turn in
// the tenths of a degree of a font's escapement and orientation.
constexpr int32_t kMaxFontWeight = 1000;
constexpr int32_t kFullTurn = 3600;
