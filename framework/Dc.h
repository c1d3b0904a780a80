// Device contexts: CDC with an output handle and an attribute handle, and
// CPaintDC, CClientDC, CWindowDC and CMetaFileDC.
// Drawing goes to the output handle; queries (text extent and metrics, map
// mode, colours, LPtoDP) to the attribute handle; state setters (map mode,
// origins and extents, colours, alignment, background mode, selections) to
// both, returning what the attribute handle had before.
// Choices of ours: HIMETRICtoDP and DPtoHIMETRIC scale by the attribute
// handle's logical pixels per inch with MulDiv (rounded to the nearest),
// whatever the map mode; a metafile DC answers queries through a memory DC
// of its reference device (the screen), which has state of its own. DCs a
// wrapper creates or gets count in GdiObjectCounter.
#pragma once

#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/String.h"

class CDC : public CObject {
  DECLARE_DYNAMIC(CDC)

 public:
  CDC() = default;
  ~CDC() override;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  bool IsPrinting() const { return m_bPrinting; }

  // Wraps a DC without owning it (both handles).
  bool Attach(HDC dc);
  HDC Detach();
  virtual void SetAttribDC(HDC dc) { m_hAttribDC = dc; }
  virtual void SetOutputDC(HDC dc) { m_hDC = dc; }
  virtual void ReleaseAttribDC() { m_hAttribDC = nullptr; }
  virtual void ReleaseOutputDC() { m_hDC = nullptr; }

  // A memory DC compatible with `dc` (the screen for null), owned.
  bool CreateCompatibleDC(CDC* dc);
  bool DeleteDC();
  static CDC* FromHandle(HDC dc);
  static void DeleteTempMap();

  // State on both handles.
  int SaveDC();
  bool RestoreDC(int saved);
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);  // output handle only
  HGDIOBJ SelectObject(HGDIOBJ object);
  CGdiObject* SelectStockObject(int index);
  CPalette* SelectPalette(CPalette* palette, bool forceBackground);
  UINT RealizePalette();
  int SetMapMode(int mode);
  CPoint SetWindowOrg(int x, int y);
  CSize SetWindowExt(int cx, int cy);
  CPoint SetViewportOrg(int x, int y);
  CSize SetViewportExt(int cx, int cy);
  COLORREF SetTextColor(COLORREF color);
  COLORREF SetBkColor(COLORREF color);
  int SetBkMode(int mode);
  UINT SetTextAlign(UINT flags);
  int SetPolyFillMode(int mode);
  int SetROP2(int mode);

  // Queries on the attribute handle.
  int GetDeviceCaps(int index) const;
  int GetMapMode() const;
  COLORREF GetTextColor() const;
  COLORREF GetBkColor() const;
  int GetBkMode() const;
  UINT GetTextAlign() const;
  CPoint GetWindowOrg() const;
  CSize GetWindowExt() const;
  CPoint GetViewportOrg() const;
  CSize GetViewportExt() const;
  CSize GetTextExtent(const char* text, int length) const;
  CSize GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
  bool GetTextMetrics(TEXTMETRICA* metrics) const;
  // Left bearing, ink width and right bearing of one character; false for
  // fonts without them.
  bool GetCharABCWidths(UINT character, ABC* abc) const;
  // One glyph's outline or bitmap (untransformed, in device units).
  DWORD GetGlyphOutline(UINT character, UINT format, GLYPHMETRICS* metrics, DWORD size,
                        void* buffer) const;
  CString GetTextFace() const;
  bool LPtoDP(POINT* points, int count = 1) const;
  bool LPtoDP(RECT* rect) const { return LPtoDP(reinterpret_cast<POINT*>(rect), 2); }
  bool DPtoLP(POINT* points, int count = 1) const;
  bool DPtoLP(RECT* rect) const { return DPtoLP(reinterpret_cast<POINT*>(rect), 2); }
  // 0.01 mm to device pixels and back, by the logical inch.
  void HIMETRICtoDP(SIZE* size) const;
  void DPtoHIMETRIC(SIZE* size) const;

  // Drawing on the output handle (the current position follows on both).
  CPoint MoveTo(int x, int y);
  bool LineTo(int x, int y);
  bool Polyline(const POINT* points, int count);
  bool Polygon(const POINT* points, int count);
  bool Rectangle(int left, int top, int right, int bottom);
  bool Ellipse(int left, int top, int right, int bottom);
  void FillRect(const RECT* rect, CBrush* brush);
  void FillSolidRect(const RECT* rect, COLORREF color);
  bool TextOut(int x, int y, const char* text, int length);
  bool ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, int length,
                  const INT* widths);
  int DrawText(const char* text, int length, RECT* rect, UINT format);
  bool BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
              DWORD rop);
  bool StretchBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                  int sourceWidth, int sourceHeight, DWORD rop);
  bool PatBlt(int x, int y, int width, int height, DWORD rop);

  HDC m_hDC = nullptr;        // output
  HDC m_hAttribDC = nullptr;  // attribute
  bool m_bPrinting = false;

 protected:
  // Holds a DC this object made (or got) and must delete (or release).
  bool TakeCreatedDC(HDC dc);
  // The handle that answers queries: the attribute handle, else the output.
  HDC QueryHandle() const { return m_hAttribDC ? m_hAttribDC : m_hDC; }
  // The output handle when it is not also the attribute handle.
  HDC SeparateOutput() const { return m_hDC != m_hAttribDC ? m_hDC : nullptr; }

 private:
  bool ownsDC_ = false;
};

// BeginPaint / EndPaint around a WM_PAINT.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(HWND window);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 private:
  HWND window_;
};

// GetDC / ReleaseDC of a window's client area.
class CClientDC : public CDC {
 public:
  explicit CClientDC(HWND window);
  ~CClientDC() override;

 private:
  HWND window_;
};

// GetWindowDC / ReleaseDC; a null window gives the screen.
class CWindowDC : public CDC {
 public:
  explicit CWindowDC(HWND window);
  ~CWindowDC() override;

 private:
  HWND window_;
};

// A Windows metafile (Create) or an enhanced metafile (CreateEnhanced).
class CMetaFileDC : public CDC {
 public:
  CMetaFileDC() = default;
  ~CMetaFileDC() override;

  // A Windows metafile in memory (null) or in a file; a DC of the screen
  // answers the queries, because a metafile DC cannot.
  bool Create(const char* fileName = nullptr);
  // An enhanced metafile for `reference` (the screen for null), which also
  // answers the queries; bounds in 0.01 mm or null.
  bool CreateEnhanced(CDC* reference, const char* fileName, const RECT* bounds,
                      const char* description);
  // Ends recording and hands the metafile to the caller.
  HMETAFILE Close();
  HENHMETAFILE CloseEnhanced();

 private:
  bool AttachMeasuringDC(HDC reference);
  void ReleaseMeasuringDC();
  HDC EndRecording();
  HDC measuring_ = nullptr;
  bool enhanced_ = false;
};
