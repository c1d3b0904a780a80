// GDI object wrappers and the GDI object counter.
#include "framework/Gdi.h"

#include <atomic>
#include <memory>
#include <unordered_map>

#include "framework/Dc.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)

namespace {

std::atomic<long> gAlive{0};

template <typename T>
using TempMapOf = std::unordered_map<HGDIOBJ, std::unique_ptr<T>>;

// Held through a plain pointer, made on demand and freed by DeleteTempMap:
// with emulated thread-local storage a thread_local map's destructor would
// run after its storage had been freed (see the window layer's state).
template <typename T>
TempMapOf<T>*& TempMapSlot() {
  thread_local TempMapOf<T>* map = nullptr;
  return map;
}

template <typename T>
TempMapOf<T>& TempMap() {
  TempMapOf<T>*& map = TempMapSlot<T>();
  if (!map) map = new TempMapOf<T>;
  return *map;
}

template <typename T>
void FreeTempMap() {
  TempMapOf<T>*& map = TempMapSlot<T>();
  delete map;
  map = nullptr;
}

}  // namespace

void GdiObjectCounter::Created() { ++gAlive; }
void GdiObjectCounter::Deleted() { --gAlive; }
long GdiObjectCounter::Alive() { return gAlive.load(); }

// One non-owning wrapper per handle and class on this thread.
template <typename T>
T* GdiTemporary(HGDIOBJ object) {
  if (!object) return nullptr;
  std::unique_ptr<T>& slot = TempMap<T>()[object];
  if (!slot) {
    slot = std::make_unique<T>();
    slot->m_hObject = object;
  }
  return slot.get();
}

// ------------------------------------------------------------- CGdiObject

CGdiObject::~CGdiObject() { DeleteObject(); }

bool CGdiObject::TakeCreated(HGDIOBJ object) {
  DeleteObject();
  if (!object) return false;
  m_hObject = object;
  owned_ = true;
  GdiObjectCounter::Created();
  return true;
}

bool CGdiObject::Attach(HGDIOBJ object) {
  if (!object || m_hObject) return false;
  return TakeCreated(object);
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ object = m_hObject;
  if (owned_ && object) GdiObjectCounter::Deleted();
  m_hObject = nullptr;
  owned_ = false;
  return object;
}

bool CGdiObject::DeleteObject() {
  if (!m_hObject) return false;
  const bool owned = owned_;
  HGDIOBJ object = Detach();
  return owned ? ::DeleteObject(object) != 0 : true;
}

bool CGdiObject::CreateStockObject(int index) {
  DeleteObject();
  Borrow(::GetStockObject(index));
  return m_hObject != nullptr;
}

int CGdiObject::GetObject(int count, void* buffer) const {
  return ::GetObjectA(m_hObject, count, buffer);
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) { return GdiTemporary<CGdiObject>(object); }

void CGdiObject::DeleteTempMap() {
  FreeTempMap<CGdiObject>();
  FreeTempMap<CPen>();
  FreeTempMap<CBrush>();
  FreeTempMap<CFont>();
  FreeTempMap<CBitmap>();
  FreeTempMap<CPalette>();
}

// ------------------------------------------------------------------- CPen

bool CPen::CreatePen(int style, int width, COLORREF color) {
  return TakeCreated(::CreatePen(style, width, color));
}

bool CPen::CreatePenIndirect(const LOGPEN* pen) { return TakeCreated(::CreatePenIndirect(pen)); }

bool CPen::ExtCreatePen(int style, int width, const LOGBRUSH* brush, int styleCount,
                        const DWORD* styles) {
  return TakeCreated(::ExtCreatePen(style, width, brush, styleCount, styles));
}

CPen* CPen::FromHandle(HPEN pen) { return GdiTemporary<CPen>(pen); }

// ----------------------------------------------------------------- CBrush

bool CBrush::CreateSolidBrush(COLORREF color) { return TakeCreated(::CreateSolidBrush(color)); }

bool CBrush::CreateHatchBrush(int index, COLORREF color) {
  return TakeCreated(::CreateHatchBrush(index, color));
}

bool CBrush::CreateBrushIndirect(const LOGBRUSH* brush) {
  return TakeCreated(::CreateBrushIndirect(brush));
}

CBrush* CBrush::FromHandle(HBRUSH brush) { return GdiTemporary<CBrush>(brush); }

// ------------------------------------------------------------------ CFont

bool CFont::CreateFontIndirect(const LOGFONTA* font) {
  return TakeCreated(::CreateFontIndirectA(font));
}

bool CFont::GetLogFont(LOGFONTA* font) const {
  return GetObject(sizeof(LOGFONTA), font) == static_cast<int>(sizeof(LOGFONTA));
}

CFont* CFont::FromHandle(HFONT font) { return GdiTemporary<CFont>(font); }

// ---------------------------------------------------------------- CBitmap

bool CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void* bits) {
  return TakeCreated(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

bool CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return TakeCreated(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

bool CBitmap::LoadBitmap(UINT resourceId) {
  return TakeCreated(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}

int CBitmap::GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }

CBitmap* CBitmap::FromHandle(HBITMAP bitmap) { return GdiTemporary<CBitmap>(bitmap); }

// --------------------------------------------------------------- CPalette

bool CPalette::CreatePalette(const LOGPALETTE* palette) {
  return TakeCreated(::CreatePalette(palette));
}

int CPalette::GetEntryCount() const {
  WORD count = 0;
  return GetObject(sizeof count, &count) ? count : 0;
}

UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const {
  return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), start, count, entries);
}

CPalette* CPalette::FromHandle(HPALETTE palette) { return GdiTemporary<CPalette>(palette); }
