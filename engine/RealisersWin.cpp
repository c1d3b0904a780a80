// GDI side of the pen, brush and font realisers.
#include <cmath>
#include <cstdlib>

#include "engine/Realisers.h"

namespace {

HDC AsDc(void* handle) { return static_cast<HDC>(handle); }

// Selects the object into the output DC (when it is a DC of its own) and
// into the attribute DC; returns the previous object of the last selection.
HGDIOBJ SelectIntoBoth(HDC output, HDC attribute, HGDIOBJ object) {
  HGDIOBJ previous = nullptr;
  if (output != nullptr && output != attribute) previous = SelectObject(output, object);
  if (attribute != nullptr) previous = SelectObject(attribute, object);
  return previous;
}

void RememberContext(RealiserState& state, HDC output, HDC attribute, HGDIOBJ previous,
                     HGDIOBJ created) {
  state.output = output;
  state.attribute = attribute != nullptr ? attribute : output;
  state.previous = previous;
  state.created = created;
}

// Puts `restore` back (when something is selected) and deletes the object
// the realiser made.
void Release(RealiserState& state, HGDIOBJ restore) {
  if (state.previous != nullptr && restore != nullptr)
    SelectIntoBoth(AsDc(state.output), AsDc(state.attribute), restore);
  if (state.created != nullptr) DeleteObject(static_cast<HGDIOBJ>(state.created));
  state = RealiserState{};
}

// Pixel devices get pens of at least one pixel: 150 units of pen width
// count as the pixels of 250 x 250 HIMETRIC units.
int PenWidthOnDevice(HDC attribute, int width) {
  const int mode = GetMapMode(attribute);
  if (mode == MM_HIMETRIC || mode == MM_ANISOTROPIC) return width;
  const int pixels = MulDiv(250, GetDeviceCaps(attribute, LOGPIXELSX), 2540);
  const int result = static_cast<int>(pixels * width / 150.0);
  return result == 0 ? 1 : result;
}

}  // namespace

QVPen::~QVPen() { Release(state_, GetStockObject(BLACK_PEN)); }

void QVPen::Select(HDC output, HDC attribute) {
  Deselect();
  if (attribute == nullptr) attribute = output;
  const LOGPEN gdi = description.ToGdiPen();
  int width = TruncateGdiLength(gdi.lopnWidth.x * scale);
  width = PenWidthOnDevice(attribute, width);
  const UINT style = gdi.lopnStyle;
  HPEN pen = nullptr;
  if (GetMapMode(attribute) == MM_ANISOTROPIC) {
    // Metafiles record plain pens; dashed kinds only draw one unit wide.
    const UINT plain = style - PS_GEOMETRIC;
    if (plain >= 1 && plain <= 4) width = 1;
    pen = CreatePen(static_cast<int>(plain), width, gdi.lopnColor);
  } else {
    const LOGBRUSH brush{BS_SOLID, gdi.lopnColor, 0};
    pen = ExtCreatePen(style, static_cast<DWORD>(width), &brush, 0, nullptr);
  }
  RememberContext(state_, output, attribute, SelectIntoBoth(output, attribute, pen), pen);
}

void QVPen::Deselect() {
  Release(state_, static_cast<HGDIOBJ>(state_.previous));
}

QVBrush::~QVBrush() { Release(state_, GetStockObject(NULL_BRUSH)); }

HBRUSH QVBrush::Select(HDC output, HDC attribute) {
  Deselect();
  if (attribute == nullptr) attribute = output;
  const LOGBRUSH record = description.ToLogBrush();
  HBRUSH brush = CreateBrushIndirect(&record);
  HGDIOBJ previous = SelectIntoBoth(output, attribute, brush);
  RememberContext(state_, output, attribute, previous, brush);
  return static_cast<HBRUSH>(previous);
}

void QVBrush::Deselect() { Release(state_, static_cast<HGDIOBJ>(state_.previous)); }

QVFont::~QVFont() { Deselect(); }

int QVFont::Select(HDC output, HDC attribute, bool useSize) {
  Deselect();
  if (attribute == nullptr) attribute = output;
  LOGFONTA font = description.LogFont;
  if (useSize) font.lfHeight = -description.Size;
  font.lfHeight = TruncateGdiLength(font.lfHeight * scale);
  HFONT created = CreateFontIndirectA(&font);
  HGDIOBJ previous = SelectIntoBoth(output, attribute, created);
  if (output != attribute) SetTextColor(output, description.Color);
  previousColor_ = SetTextColor(attribute, description.Color);
  RememberContext(state_, output, attribute, previous, created);
  return std::abs(static_cast<int>(font.lfHeight));
}

void QVFont::Deselect() {
  if (state_.previous != nullptr) {
    if (state_.output != state_.attribute) SetTextColor(AsDc(state_.output), previousColor_);
    SetTextColor(AsDc(state_.attribute), previousColor_);
  }
  Release(state_, static_cast<HGDIOBJ>(state_.previous));
}
