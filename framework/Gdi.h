// GDI objects: CGdiObject and CPen, CBrush, CFont, CBitmap, CPalette, and
// the counter of GDI objects our wrappers hold.
// A wrapper that creates or attaches an object owns it and deletes it when
// destroyed; FromHandle gives a non-owning temporary that lives until
// DeleteTempMap (called at idle time and by tests).
// Choices of ours: the counter always runs (it is two atomic additions); it
// counts every object and device context that a wrapper creates, gets or
// attaches, and every one it deletes, releases or detaches, so Alive() is
// what wrappers hold at the moment and a drawing call that leaks nothing
// leaves it unchanged.
#pragma once

#include "framework/Object.h"
#include "framework/Platform.h"

class CDC;

class GdiObjectCounter {
 public:
  static void Created();
  static void Deleted();
  // Objects and device contexts held by wrappers now.
  static long Alive();
};

class CGdiObject : public CObject {
  DECLARE_DYNAMIC(CGdiObject)

 public:
  CGdiObject() = default;
  ~CGdiObject() override;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }

  // Takes ownership of `object` (false when null or when one is held).
  bool Attach(HGDIOBJ object);
  // Gives up ownership and returns the handle.
  HGDIOBJ Detach();
  // Deletes an owned object; a borrowed one is only forgotten.
  bool DeleteObject();
  bool CreateStockObject(int index);
  int GetObject(int count, void* buffer) const;
  UINT GetObjectType() const { return ::GetObjectType(m_hObject); }

  static CGdiObject* FromHandle(HGDIOBJ object);
  // Frees the temporaries FromHandle made on this thread.
  static void DeleteTempMap();

  HGDIOBJ m_hObject = nullptr;

 protected:
  // Holds a freshly created object; false (and nothing held) when null.
  bool TakeCreated(HGDIOBJ object);
  // Wraps `object` without owning it.
  void Borrow(HGDIOBJ object) { m_hObject = object; }

 private:
  bool owned_ = false;
  template <typename T>
  friend T* GdiTemporary(HGDIOBJ object);
};

class CPen : public CGdiObject {
  DECLARE_DYNAMIC(CPen)

 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
  bool CreatePen(int style, int width, COLORREF color);
  bool CreatePenIndirect(const LOGPEN* pen);
  bool ExtCreatePen(int style, int width, const LOGBRUSH* brush, int styleCount = 0,
                    const DWORD* styles = nullptr);
  static CPen* FromHandle(HPEN pen);
};

class CBrush : public CGdiObject {
  DECLARE_DYNAMIC(CBrush)

 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  bool CreateSolidBrush(COLORREF color);
  bool CreateHatchBrush(int index, COLORREF color);
  bool CreateBrushIndirect(const LOGBRUSH* brush);
  static CBrush* FromHandle(HBRUSH brush);
};

class CFont : public CGdiObject {
  DECLARE_DYNAMIC(CFont)

 public:
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  bool CreateFontIndirect(const LOGFONTA* font);
  bool GetLogFont(LOGFONTA* font) const;
  static CFont* FromHandle(HFONT font);
};

class CBitmap : public CGdiObject {
  DECLARE_DYNAMIC(CBitmap)

 public:
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  bool CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  bool CreateCompatibleBitmap(CDC* dc, int width, int height);
  bool LoadBitmap(UINT resourceId);
  int GetBitmap(BITMAP* bitmap) const;
  static CBitmap* FromHandle(HBITMAP bitmap);
};

class CPalette : public CGdiObject {
  DECLARE_DYNAMIC(CPalette)

 public:
  operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
  bool CreatePalette(const LOGPALETTE* palette);
  int GetEntryCount() const;
  UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const;
  static CPalette* FromHandle(HPALETTE palette);
};
