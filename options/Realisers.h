// QVPen, QVBrush, QVFont: realise a pen, brush or font description on a
// device context and put the previous object back afterwards. Windows only.
// Choices of ours: every pen is created with its GDI style bits (a plain
// dashed kind in a metafile through CreatePen, everything else through
// ExtCreatePen as a geometric pen); widths and heights are held within
// kMaxGdiLength before they become integers; a QVFont destroyed while
// selected behaves like a QVPen (stock font selected, created font freed).
#pragma once

#include "framework/Dc.h"
#include "options/LogObjects.h"

// What QVPen::Select creates on a context: a cosmetic pen of one pixel
// (CreatePen) or a geometric one (ExtCreatePen).
struct RealisedPen {
  UINT style = 0;
  int width = 0;
  COLORREF color = 0;
  bool cosmetic = false;
  bool operator==(const RealisedPen& other) const = default;
  // Creates this pen into `pen`.
  bool CreateIn(CPen& pen) const;
};

class QVPen : public CObject {
 public:
  QVPen() = default;
  ~QVPen() override;
  QVPen(const QVPen&) = delete;
  QVPen& operator=(const QVPen&) = delete;

  void Select(CDC& dc);
  // The pen Select would create on `dc`.
  RealisedPen RealisedOn(const CDC& dc) const;
  // Selects `kept`, made from RealisedOn elsewhere and owned there; with
  // `linger`, Deselect leaves it selected (the owner of the context's
  // drawing puts the previous one back).
  void SelectKept(CDC& dc, HPEN kept, bool linger = false);
  void Deselect(CDC& dc);
  // The width in device units that Select would use on `dc`.
  int DeviceWidth(const CDC& dc) const;

  QVLogPen Description;
  double Scale = 1.0;

 private:
  HGDIOBJ previous_ = nullptr;
  CPen created_;
  CDC* dc_ = nullptr;
};

class QVBrush : public CObject {
 public:
  QVBrush() = default;
  ~QVBrush() override;
  QVBrush(const QVBrush&) = delete;
  QVBrush& operator=(const QVBrush&) = delete;

  // Returns the brush that was selected before.
  CBrush* Select(CDC& dc);
  // Selects `kept`, made from the description's LOGBRUSH elsewhere and
  // owned there; `linger` as for QVPen.
  void SelectKept(CDC& dc, HBRUSH kept, bool linger = false);
  void Deselect(CDC& dc);

  QVLogBrush Description;

 private:
  HGDIOBJ previous_ = nullptr;
  CBrush created_;
  CDC* dc_ = nullptr;
};

class QVFont : public CObject {
 public:
  QVFont() = default;
  ~QVFont() override;
  QVFont(const QVFont&) = delete;
  QVFont& operator=(const QVFont&) = delete;

  // With useSize the character height is the description's size; returns
  // the absolute height used.
  int Select(CDC& dc, bool useSize);
  // Selects `kept`, a font made from this description elsewhere and owned
  // there, with the description's colour; Deselect puts the previous back,
  // unless `linger`: then the font and colour stay until the owner of the
  // context's drawing puts them back.
  void SelectKept(CDC& dc, HFONT kept, bool linger);
  // Takes `kept` as the font in use, like a lingering SelectKept, without
  // selecting it or its colour: the owner of the context's drawing selects
  // both before the first call that needs them.
  void TakeKept(CDC& dc, HFONT kept);
  void Deselect(CDC& dc);
  // The font Select or SelectKept selected (null when none is).
  HFONT Selected() const { return selected_; }

  QVLogFont Description;
  double Scale = 1.0;

 private:
  COLORREF previousColor_ = 0;
  bool keptColor_ = false;  // the context had the colour already
  bool lingering_ = false;
  HFONT selected_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  CFont created_;
  CDC* dc_ = nullptr;
};
