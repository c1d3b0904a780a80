// Pens, brushes and fonts realised on a device context.
#include "options/Realisers.h"

#include <cstdlib>

namespace {

// A dashed or dotted kind with no end-cap or join bits: in a metafile it is
// drawn as a one-pixel cosmetic line.
bool IsPlainDash(UINT style) {
  const UINT kind = style & PS_STYLE_MASK;
  return kind >= PS_DASH && kind <= PS_DASHDOTDOT && (style & (PS_ENDCAP_MASK | PS_JOIN_MASK)) == 0;
}

// True when both the output and the attribute context hold `object` of
// `type` already: selecting it again would change nothing.
bool Holds(const CDC& dc, HGDIOBJ object, UINT type) {
  HDC output = dc.GetSafeHdc(), query = dc.m_hAttribDC ? dc.m_hAttribDC : output;
  return ::GetCurrentObject(output, type) == object &&
         (query == output || ::GetCurrentObject(query, type) == object);
}

// Selects a kept pen or brush unless the context holds it already; the one
// it replaced goes to `previous` unless it lingers (the owner of the
// context's drawing puts it back).
void SelectKeptObject(CDC& dc, HGDIOBJ kept, UINT type, bool linger, HGDIOBJ& previous) {
  if (Holds(dc, kept, type)) return;
  HGDIOBJ replaced = dc.SelectObject(kept);
  if (!linger) previous = replaced;
}

}  // namespace

// ------------------------------------------------------------------ QVPen

QVPen::~QVPen() {
  if (dc_ && previous_) dc_->SelectStockObject(BLACK_PEN);
  created_.DeleteObject();
}

// On a device in pixels the width scales with the device's resolution
// (250 units against 150) and is at least one pixel.
int QVPen::DeviceWidth(const CDC& dc) const {
  const LOGPEN gdi = Description.ToGdiPen();
  int width = TruncateGdiLength(gdi.lopnWidth.x * Scale);
  const int mapMode = dc.GetMapMode();
  if (mapMode != MM_HIMETRIC && mapMode != MM_ANISOTROPIC) {
    SIZE unit{250, 250};
    dc.HIMETRICtoDP(&unit);
    width = TruncateGdiLength(unit.cx * static_cast<double>(width) / 150.0);
    if (width < 1) width = 1;
  }
  return width < 0 ? 0 : width;
}

bool RealisedPen::CreateIn(CPen& pen) const {
  if (cosmetic) return pen.CreatePen(static_cast<int>(style), width, color);
  const LOGBRUSH brush{BS_SOLID, color, 0};
  return pen.ExtCreatePen(static_cast<int>(style), width, &brush);
}

RealisedPen QVPen::RealisedOn(const CDC& dc) const {
  const LOGPEN gdi = Description.ToGdiPen();
  if (dc.GetMapMode() == MM_ANISOTROPIC && IsPlainDash(gdi.lopnStyle))
    return RealisedPen{gdi.lopnStyle & PS_STYLE_MASK, 1, gdi.lopnColor, true};
  return RealisedPen{gdi.lopnStyle | PS_GEOMETRIC, DeviceWidth(dc), gdi.lopnColor, false};
}

void QVPen::Select(CDC& dc) {
  if (dc_) Deselect(*dc_);  // never replace a pen a DC still holds
  RealisedOn(dc).CreateIn(created_);
  previous_ = dc.SelectObject(created_.m_hObject);
  dc_ = &dc;
}

// A nested token in the same pen leaves the context as it is (selecting
// costs far more than asking).
void QVPen::SelectKept(CDC& dc, HPEN kept, bool linger) {
  if (dc_) Deselect(*dc_);
  SelectKeptObject(dc, kept, OBJ_PEN, linger, previous_);
  dc_ = &dc;
}

void QVPen::Deselect(CDC& dc) {
  if (previous_) dc.SelectObject(previous_);
  created_.DeleteObject();
  previous_ = nullptr;
  dc_ = nullptr;
}

// ---------------------------------------------------------------- QVBrush

QVBrush::~QVBrush() {
  if (dc_ && previous_) dc_->SelectStockObject(NULL_BRUSH);
  created_.DeleteObject();
}

CBrush* QVBrush::Select(CDC& dc) {
  if (dc_) Deselect(*dc_);
  const LOGBRUSH brush = Description.ToLogBrush();
  created_.CreateBrushIndirect(&brush);
  CBrush* previous = dc.SelectObject(&created_);
  previous_ = previous ? previous->m_hObject : nullptr;
  dc_ = &dc;
  return previous;
}

void QVBrush::SelectKept(CDC& dc, HBRUSH kept, bool linger) {
  if (dc_) Deselect(*dc_);
  SelectKeptObject(dc, kept, OBJ_BRUSH, linger, previous_);
  dc_ = &dc;
}

void QVBrush::Deselect(CDC& dc) {
  if (previous_) dc.SelectObject(previous_);
  created_.DeleteObject();
  previous_ = nullptr;
  dc_ = nullptr;
}

// ----------------------------------------------------------------- QVFont

QVFont::~QVFont() {
  // Freeing a font that a DC still holds would leave the DC with a dead
  // object; give the DC a stock font first.
  if (dc_ && previous_) dc_->SelectStockObject(SYSTEM_FONT);
  created_.DeleteObject();
}

int QVFont::Select(CDC& dc, bool useSize) {
  if (dc_) Deselect(*dc_);
  LOGFONTA font = Description.LogFont;
  const double height = useSize ? -static_cast<double>(Description.Size) : font.lfHeight;
  font.lfHeight = TruncateGdiLength(height * Scale);
  created_.CreateFontIndirect(&font);
  selected_ = static_cast<HFONT>(created_.m_hObject);
  CFont* previous = dc.SelectObject(&created_);
  previous_ = previous ? previous->m_hObject : nullptr;
  previousColor_ = dc.SetTextColor(Description.Color);
  dc_ = &dc;
  return std::abs(font.lfHeight);
}

// Nothing is selected or set that the context holds already: a row of
// tokens in one font draws without a selection per token.
void QVFont::SelectKept(CDC& dc, HFONT kept, bool linger) {
  if (dc_) Deselect(*dc_);
  lingering_ = linger;
  selected_ = kept;
  if (!Holds(dc, kept, OBJ_FONT)) previous_ = dc.SelectObject(kept);
  keptColor_ = dc.GetTextColor() == Description.Color;
  if (!keptColor_) previousColor_ = dc.SetTextColor(Description.Color);
  dc_ = &dc;
}

void QVFont::TakeKept(CDC& dc, HFONT kept) {
  if (dc_) Deselect(*dc_);
  lingering_ = true;
  selected_ = kept;
  dc_ = &dc;
}

void QVFont::Deselect(CDC& dc) {
  if (previous_ && !lingering_) dc.SelectObject(previous_);
  if (dc_ && !keptColor_ && !lingering_) dc.SetTextColor(previousColor_);
  keptColor_ = false;
  lingering_ = false;
  selected_ = nullptr;
  created_.DeleteObject();
  previous_ = nullptr;
  dc_ = nullptr;
}
