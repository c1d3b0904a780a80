// Device contexts with an output and an attribute handle.
#include "framework/Dc.h"

#include <memory>
#include <unordered_map>

IMPLEMENT_DYNAMIC(CDC, CObject)

namespace {

constexpr int kHimetricPerInch = 2540;

using DcMap = std::unordered_map<HDC, std::unique_ptr<CDC>>;

// A plain pointer, freed by DeleteTempMap (as the GDI objects' maps).
thread_local DcMap* t_dcTempMap = nullptr;

DcMap& DcTempMap() {
  if (!t_dcTempMap) t_dcTempMap = new DcMap;
  return *t_dcTempMap;
}

}  // namespace

CDC::~CDC() { DeleteDC(); }

bool CDC::Attach(HDC dc) {
  if (!dc || m_hDC) return false;
  m_hDC = m_hAttribDC = dc;
  ownsDC_ = false;
  return true;
}

HDC CDC::Detach() {
  HDC dc = m_hDC;
  if (ownsDC_ && dc) GdiObjectCounter::Deleted();
  ownsDC_ = false;
  ReleaseAttribDC();
  ReleaseOutputDC();
  return dc;
}

bool CDC::TakeCreatedDC(HDC dc) {
  if (!dc) return false;
  m_hDC = m_hAttribDC = dc;
  ownsDC_ = true;
  GdiObjectCounter::Created();
  return true;
}

bool CDC::CreateCompatibleDC(CDC* dc) {
  DeleteDC();
  return TakeCreatedDC(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr));
}

// Deletes a DC this object made; a borrowed one is only forgotten.
bool CDC::DeleteDC() {
  if (!m_hDC) return false;
  const bool owned = ownsDC_;
  HDC dc = Detach();
  return owned ? ::DeleteDC(dc) != 0 : true;
}

CDC* CDC::FromHandle(HDC dc) {
  if (!dc) return nullptr;
  std::unique_ptr<CDC>& slot = DcTempMap()[dc];
  if (!slot) {
    slot = std::make_unique<CDC>();
    slot->Attach(dc);
  }
  return slot.get();
}

void CDC::DeleteTempMap() {
  delete t_dcTempMap;
  t_dcTempMap = nullptr;
}

// ------------------------------------------------------ state on both DCs

int CDC::SaveDC() {
  if (HDC out = SeparateOutput()) ::SaveDC(out);
  return m_hAttribDC ? ::SaveDC(m_hAttribDC) : 0;
}

bool CDC::RestoreDC(int saved) {
  bool ok = true;
  if (HDC out = SeparateOutput()) ok = ::RestoreDC(out, saved) != 0;
  if (m_hAttribDC) ok = ::RestoreDC(m_hAttribDC, saved) != 0 && ok;
  return ok;
}

// The previous object comes from the attribute handle: a Windows metafile
// DC answers a selection with a flag, not with an object.
HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
  HGDIOBJ previous = nullptr;
  if (HDC out = SeparateOutput()) previous = ::SelectObject(out, object);
  if (m_hAttribDC) previous = ::SelectObject(m_hAttribDC, object);
  return previous;
}

CPen* CDC::SelectObject(CPen* pen) {
  return CPen::FromHandle(static_cast<HPEN>(SelectObject(pen ? pen->m_hObject : nullptr)));
}

CBrush* CDC::SelectObject(CBrush* brush) {
  return CBrush::FromHandle(static_cast<HBRUSH>(SelectObject(brush ? brush->m_hObject : nullptr)));
}

CFont* CDC::SelectObject(CFont* font) {
  return CFont::FromHandle(static_cast<HFONT>(SelectObject(font ? font->m_hObject : nullptr)));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (!m_hDC) return nullptr;
  return CBitmap::FromHandle(
      static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap ? bitmap->m_hObject : nullptr)));
}

CGdiObject* CDC::SelectStockObject(int index) {
  return CGdiObject::FromHandle(SelectObject(::GetStockObject(index)));
}

CPalette* CDC::SelectPalette(CPalette* palette, bool forceBackground) {
  HPALETTE handle = palette ? static_cast<HPALETTE>(palette->m_hObject) : nullptr;
  HPALETTE previous = nullptr;
  if (HDC out = SeparateOutput()) previous = ::SelectPalette(out, handle, forceBackground);
  if (m_hAttribDC) previous = ::SelectPalette(m_hAttribDC, handle, forceBackground);
  return CPalette::FromHandle(previous);
}

UINT CDC::RealizePalette() { return m_hDC ? ::RealizePalette(m_hDC) : 0; }

// Calls `set` on the output handle (when separate) and the attribute
// handle, returning the attribute handle's answer.
template <typename Set>
static auto OnBoth(HDC separateOutput, HDC attribute, Set set) -> decltype(set(attribute)) {
  decltype(set(attribute)) previous{};
  if (separateOutput) previous = set(separateOutput);
  if (attribute) previous = set(attribute);
  return previous;
}

int CDC::SetMapMode(int mode) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) { return ::SetMapMode(dc, mode); });
}

CPoint CDC::SetWindowOrg(int x, int y) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) {
    POINT old{};
    ::SetWindowOrgEx(dc, x, y, &old);
    return CPoint(old);
  });
}

CSize CDC::SetWindowExt(int cx, int cy) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) {
    SIZE old{};
    ::SetWindowExtEx(dc, cx, cy, &old);
    return CSize(old);
  });
}

CPoint CDC::SetViewportOrg(int x, int y) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) {
    POINT old{};
    ::SetViewportOrgEx(dc, x, y, &old);
    return CPoint(old);
  });
}

CSize CDC::SetViewportExt(int cx, int cy) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) {
    SIZE old{};
    ::SetViewportExtEx(dc, cx, cy, &old);
    return CSize(old);
  });
}

COLORREF CDC::SetTextColor(COLORREF color) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) { return ::SetTextColor(dc, color); });
}

COLORREF CDC::SetBkColor(COLORREF color) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) { return ::SetBkColor(dc, color); });
}

int CDC::SetBkMode(int mode) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) { return ::SetBkMode(dc, mode); });
}

UINT CDC::SetTextAlign(UINT flags) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) { return ::SetTextAlign(dc, flags); });
}

int CDC::SetPolyFillMode(int mode) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) { return ::SetPolyFillMode(dc, mode); });
}

int CDC::SetROP2(int mode) {
  return OnBoth(SeparateOutput(), m_hAttribDC, [&](HDC dc) { return ::SetROP2(dc, mode); });
}

// ------------------------------------------------ queries on the attribute

int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(QueryHandle(), index); }
int CDC::GetMapMode() const { return ::GetMapMode(QueryHandle()); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(QueryHandle()); }
COLORREF CDC::GetBkColor() const { return ::GetBkColor(QueryHandle()); }
int CDC::GetBkMode() const { return ::GetBkMode(QueryHandle()); }
UINT CDC::GetTextAlign() const { return ::GetTextAlign(QueryHandle()); }

CPoint CDC::GetWindowOrg() const {
  POINT p{};
  ::GetWindowOrgEx(QueryHandle(), &p);
  return CPoint(p);
}

CSize CDC::GetWindowExt() const {
  SIZE s{};
  ::GetWindowExtEx(QueryHandle(), &s);
  return CSize(s);
}

CPoint CDC::GetViewportOrg() const {
  POINT p{};
  ::GetViewportOrgEx(QueryHandle(), &p);
  return CPoint(p);
}

CSize CDC::GetViewportExt() const {
  SIZE s{};
  ::GetViewportExtEx(QueryHandle(), &s);
  return CSize(s);
}

CSize CDC::GetTextExtent(const char* text, int length) const {
  SIZE size{};
  ::GetTextExtentPoint32A(QueryHandle(), text, length, &size);
  return CSize(size);
}

bool CDC::GetTextMetrics(TEXTMETRICA* metrics) const {
  return ::GetTextMetricsA(QueryHandle(), metrics) != 0;
}

bool CDC::GetCharABCWidths(UINT character, ABC* abc) const {
  return ::GetCharABCWidthsA(QueryHandle(), character, character, abc) != 0;
}

// A symbol font's character is asked for by its wide code, as the narrow
// call converts it: Wine's narrow call looks at every call for a table of
// the symbol code page, which it lacks (a search of the system folder,
// nearly a millisecond).
DWORD CDC::GetGlyphOutline(UINT character, UINT format, GLYPHMETRICS* metrics, DWORD size,
                           void* buffer) const {
  static const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  const HDC dc = QueryHandle();
  if (character < 0x100 && ::GetTextCharset(dc) == SYMBOL_CHARSET) {
    const char narrow = static_cast<char>(character);
    WCHAR wide = 0;
    if (::MultiByteToWideChar(CP_SYMBOL, 0, &narrow, 1, &wide, 1) == 1)
      return ::GetGlyphOutlineW(dc, wide, format, metrics, size, buffer, &kIdentity);
  }
  return ::GetGlyphOutlineA(dc, character, format, metrics, size, buffer, &kIdentity);
}

CString CDC::GetTextFace() const {
  char face[LF_FACESIZE] = {};
  ::GetTextFaceA(QueryHandle(), LF_FACESIZE, face);
  return CString(face);
}

bool CDC::LPtoDP(POINT* points, int count) const {
  return ::LPtoDP(QueryHandle(), points, count) != 0;
}

bool CDC::DPtoLP(POINT* points, int count) const {
  return ::DPtoLP(QueryHandle(), points, count) != 0;
}

void CDC::HIMETRICtoDP(SIZE* size) const {
  size->cx = ::MulDiv(size->cx, GetDeviceCaps(LOGPIXELSX), kHimetricPerInch);
  size->cy = ::MulDiv(size->cy, GetDeviceCaps(LOGPIXELSY), kHimetricPerInch);
}

// A device without a resolution (MulDiv by 0 gives -1) leaves the size 0.
void CDC::DPtoHIMETRIC(SIZE* size) const {
  const int dpiX = GetDeviceCaps(LOGPIXELSX), dpiY = GetDeviceCaps(LOGPIXELSY);
  size->cx = dpiX > 0 ? ::MulDiv(size->cx, kHimetricPerInch, dpiX) : 0;
  size->cy = dpiY > 0 ? ::MulDiv(size->cy, kHimetricPerInch, dpiY) : 0;
}

// ------------------------------------------------------ drawing on output

CPoint CDC::MoveTo(int x, int y) {
  POINT old{};
  if (HDC out = SeparateOutput()) ::MoveToEx(out, x, y, &old);
  if (m_hAttribDC) ::MoveToEx(m_hAttribDC, x, y, &old);
  return CPoint(old);
}

bool CDC::LineTo(int x, int y) {
  if (m_hAttribDC && m_hAttribDC != m_hDC) ::MoveToEx(m_hAttribDC, x, y, nullptr);
  return ::LineTo(m_hDC, x, y) != 0;
}

bool CDC::Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count) != 0; }
bool CDC::Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count) != 0; }

bool CDC::Rectangle(int left, int top, int right, int bottom) {
  return ::Rectangle(m_hDC, left, top, right, bottom) != 0;
}

bool CDC::Ellipse(int left, int top, int right, int bottom) {
  return ::Ellipse(m_hDC, left, top, right, bottom) != 0;
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
  ::FillRect(m_hDC, rect, brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
}

// An opaque text output of no text paints the rectangle without a brush.
void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
  const COLORREF previous = ::SetBkColor(m_hDC, color);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, previous);
}

bool CDC::TextOut(int x, int y, const char* text, int length) {
  return ::TextOutA(m_hDC, x, y, text, length) != 0;
}

bool CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, int length,
                     const INT* widths) {
  return ::ExtTextOutA(m_hDC, x, y, options, rect, text, static_cast<UINT>(length), widths) != 0;
}

int CDC::DrawText(const char* text, int length, RECT* rect, UINT format) {
  return ::DrawTextA(m_hDC, text, length, rect, format);
}

bool CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                 DWORD rop) {
  return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sourceX, sourceY,
                  rop) != 0;
}

bool CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight, DWORD rop) {
  return ::StretchBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sourceX,
                      sourceY, sourceWidth, sourceHeight, rop) != 0;
}

bool CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
  return ::PatBlt(m_hDC, x, y, width, height, rop) != 0;
}

// ------------------------------------------------- window and paint DCs

CPaintDC::CPaintDC(HWND window) : window_(window) {
  HDC dc = ::BeginPaint(window, &m_ps);
  if (Attach(dc)) GdiObjectCounter::Created();
}

CPaintDC::~CPaintDC() {
  if (m_hDC) GdiObjectCounter::Deleted();
  Detach();
  ::EndPaint(window_, &m_ps);
}

CClientDC::CClientDC(HWND window) : window_(window) {
  if (Attach(::GetDC(window))) GdiObjectCounter::Created();
}

CClientDC::~CClientDC() {
  if (!m_hDC) return;
  GdiObjectCounter::Deleted();
  ::ReleaseDC(window_, Detach());
}

CWindowDC::CWindowDC(HWND window) : window_(window) {
  if (Attach(::GetWindowDC(window))) GdiObjectCounter::Created();
}

CWindowDC::~CWindowDC() {
  if (!m_hDC) return;
  GdiObjectCounter::Deleted();
  ::ReleaseDC(window_, Detach());
}

// ---------------------------------------------------------- CMetaFileDC

CMetaFileDC::~CMetaFileDC() {
  if (HMETAFILE wmf = Close()) ::DeleteMetaFile(wmf);
  if (HENHMETAFILE emf = CloseEnhanced()) ::DeleteEnhMetaFile(emf);
}

// Metafile DCs cannot measure text: a memory DC of the reference device
// answers for them, with state of its own so that the shared screen DC is
// never changed.
bool CMetaFileDC::AttachMeasuringDC(HDC reference) {
  measuring_ = ::CreateCompatibleDC(reference);
  if (!measuring_) return false;
  GdiObjectCounter::Created();
  SetAttribDC(measuring_);
  return true;
}

bool CMetaFileDC::Create(const char* fileName) {
  if (m_hDC) return false;
  if (!TakeCreatedDC(::CreateMetaFileA(fileName))) return false;
  enhanced_ = false;
  return AttachMeasuringDC(nullptr);
}

bool CMetaFileDC::CreateEnhanced(CDC* reference, const char* fileName, const RECT* bounds,
                                 const char* description) {
  if (m_hDC) return false;
  HDC referenceDC = reference ? reference->m_hDC : nullptr;
  if (!TakeCreatedDC(::CreateEnhMetaFileA(referenceDC, fileName, bounds, description))) return false;
  enhanced_ = true;
  return AttachMeasuringDC(referenceDC);
}

void CMetaFileDC::ReleaseMeasuringDC() {
  if (!measuring_) return;
  ::DeleteDC(measuring_);
  GdiObjectCounter::Deleted();
  measuring_ = nullptr;
}

// Ends recording: the metafile DC is gone, the caller owns the metafile.
HDC CMetaFileDC::EndRecording() {
  ReleaseMeasuringDC();
  m_hAttribDC = m_hDC;
  return Detach();
}

HMETAFILE CMetaFileDC::Close() {
  if (!m_hDC || enhanced_) return nullptr;
  return ::CloseMetaFile(EndRecording());
}

HENHMETAFILE CMetaFileDC::CloseEnhanced() {
  if (!m_hDC || !enhanced_) return nullptr;
  return ::CloseEnhMetaFile(EndRecording());
}
