// Windows metafiles of pictures drawn in 0.01 mm, in coarser units when
// the picture would not fit 16-bit coordinates.
#include "app/document/WindowsMetafile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/document/PictureDC.h"

namespace {

// The largest coordinate a picture may reach in its metafile's units; ink
// standing a little outside the measured box (italic overhang, strokes)
// must still fit 16 bits.
constexpr int kMetafileLargestCoordinate = 30000;

// Copies the drawing records of an enhanced metafile into a Windows
// metafile context, every length divided by the unit. The mapping records
// stay behind: the target has the picture's mapping already. Only what
// drawing an equation records is copied (text, fonts, pens, brushes,
// polygons, lines, rectangles and the context's state).
class RecordCopier {
 public:
  RecordCopier(HDC target, int unit, UINT handles) : target_(target), unit_(unit), objects_(handles) {}
  ~RecordCopier() {
    for (HGDIOBJ object : objects_)
      if (object) ::DeleteObject(object);
  }
  RecordCopier(const RecordCopier&) = delete;
  RecordCopier& operator=(const RecordCopier&) = delete;

  static int CALLBACK Copy(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM self) {
    reinterpret_cast<RecordCopier*>(self)->Copy(*record);
    return 1;
  }

 private:
  void Copy(const ENHMETARECORD& record);
  void CopyState(const ENHMETARECORD& record);
  void CopyShape(const ENHMETARECORD& record);
  void CopyObject(const ENHMETARECORD& record);
  void CopyText(const EMREXTTEXTOUTW& record);
  template <typename Point>
  void CopyPoly(DWORD type, const Point* points, DWORD count);

  // Rounded to the nearest unit; kept inside 16 bits whatever the record says.
  int Scaled(LONG value) const {
    const double scaled = std::round(static_cast<double>(value) / unit_);
    return static_cast<int>(std::clamp(scaled, -32768.0, 32767.0));
  }
  // A length that was not zero stays at least one unit long.
  LONG ScaledLength(LONG value) const {
    const int scaled = Scaled(value);
    return value != 0 && scaled == 0 ? (value < 0 ? -1 : 1) : scaled;
  }
  void Keep(DWORD index, HGDIOBJ object);

  HDC target_;
  int unit_;
  std::vector<HGDIOBJ> objects_;  // the enhanced metafile's handle table
};

template <typename Record>
const Record& As(const ENHMETARECORD& record) {
  return *reinterpret_cast<const Record*>(&record);
}

void RecordCopier::Copy(const ENHMETARECORD& record) {
  switch (record.iType) {
    case EMR_SETBKMODE: case EMR_SETPOLYFILLMODE: case EMR_SETROP2: case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR: case EMR_SETBKCOLOR: case EMR_SAVEDC: case EMR_RESTOREDC:
      return CopyState(record);
    case EMR_MOVETOEX: case EMR_LINETO: case EMR_RECTANGLE: case EMR_ELLIPSE:
    case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYGON16: case EMR_POLYLINE16:
      return CopyShape(record);
    case EMR_CREATEPEN: case EMR_EXTCREATEPEN: case EMR_CREATEBRUSHINDIRECT:
    case EMR_EXTCREATEFONTINDIRECTW: case EMR_SELECTOBJECT: case EMR_DELETEOBJECT:
      return CopyObject(record);
    case EMR_EXTTEXTOUTW:
      return CopyText(As<EMREXTTEXTOUTW>(record));
    default:
      return;  // the header, the end, mapping records, comments
  }
}

void RecordCopier::CopyState(const ENHMETARECORD& record) {
  const DWORD value = record.dParm[0];
  switch (record.iType) {
    case EMR_SETBKMODE: ::SetBkMode(target_, static_cast<int>(value)); break;
    case EMR_SETPOLYFILLMODE: ::SetPolyFillMode(target_, static_cast<int>(value)); break;
    case EMR_SETROP2: ::SetROP2(target_, static_cast<int>(value)); break;
    case EMR_SETTEXTALIGN: ::SetTextAlign(target_, value); break;
    case EMR_SETTEXTCOLOR: ::SetTextColor(target_, value); break;
    case EMR_SETBKCOLOR: ::SetBkColor(target_, value); break;
    case EMR_SAVEDC: ::SaveDC(target_); break;
    case EMR_RESTOREDC: ::RestoreDC(target_, static_cast<int>(value)); break;
    default: break;
  }
}

void RecordCopier::CopyShape(const ENHMETARECORD& record) {
  switch (record.iType) {
    case EMR_MOVETOEX: {
      const POINTL& at = As<EMRMOVETOEX>(record).ptl;
      ::MoveToEx(target_, Scaled(at.x), Scaled(at.y), nullptr);
      break;
    }
    case EMR_LINETO: {
      const POINTL& to = As<EMRLINETO>(record).ptl;
      ::LineTo(target_, Scaled(to.x), Scaled(to.y));
      break;
    }
    case EMR_RECTANGLE: case EMR_ELLIPSE: {
      const RECTL& box = As<EMRRECTANGLE>(record).rclBox;
      const auto draw = record.iType == EMR_RECTANGLE ? ::Rectangle : ::Ellipse;
      draw(target_, Scaled(box.left), Scaled(box.top), Scaled(box.right), Scaled(box.bottom));
      break;
    }
    case EMR_POLYGON: case EMR_POLYLINE: {
      const auto& poly = As<EMRPOLYLINE>(record);
      CopyPoly(record.iType == EMR_POLYGON ? EMR_POLYGON : EMR_POLYLINE, poly.aptl, poly.cptl);
      break;
    }
    default: {  // the 16-bit forms
      const auto& poly = As<EMRPOLYLINE16>(record);
      CopyPoly(record.iType == EMR_POLYGON16 ? EMR_POLYGON : EMR_POLYLINE, poly.apts, poly.cpts);
      break;
    }
  }
}

template <typename Point>
void RecordCopier::CopyPoly(DWORD type, const Point* points, DWORD count) {
  std::vector<POINT> scaled(count);
  for (DWORD i = 0; i < count; ++i) scaled[i] = POINT{Scaled(points[i].x), Scaled(points[i].y)};
  const int n = static_cast<int>(count);
  if (type == EMR_POLYGON)
    ::Polygon(target_, scaled.data(), n);
  else
    ::Polyline(target_, scaled.data(), n);
}

void RecordCopier::Keep(DWORD index, HGDIOBJ object) {
  if (index >= objects_.size()) {
    if (object) ::DeleteObject(object);
    return;
  }
  if (objects_[index]) ::DeleteObject(objects_[index]);
  objects_[index] = object;
}

void RecordCopier::CopyObject(const ENHMETARECORD& record) {
  switch (record.iType) {
    case EMR_CREATEPEN: {
      const auto& pen = As<EMRCREATEPEN>(record);
      LOGPEN scaled = pen.lopn;
      scaled.lopnWidth.x = ScaledLength(scaled.lopnWidth.x);
      return Keep(pen.ihPen, ::CreatePenIndirect(&scaled));
    }
    case EMR_EXTCREATEPEN: {  // a Windows metafile knows simple pens only
      const auto& pen = As<EMREXTCREATEPEN>(record);
      const int style = static_cast<int>(pen.elp.elpPenStyle & PS_STYLE_MASK);
      const int width = ScaledLength(static_cast<LONG>(pen.elp.elpWidth));
      return Keep(pen.ihPen, ::CreatePen(style, width, pen.elp.elpColor));
    }
    case EMR_CREATEBRUSHINDIRECT: {
      const auto& brush = As<EMRCREATEBRUSHINDIRECT>(record);
      const LOGBRUSH description{brush.lb.lbStyle, brush.lb.lbColor, brush.lb.lbHatch};
      return Keep(brush.ihBrush, ::CreateBrushIndirect(&description));
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
      const auto& font = As<EMREXTCREATEFONTINDIRECTW>(record);
      LOGFONTW scaled = font.elfw.elfLogFont;
      scaled.lfHeight = ScaledLength(scaled.lfHeight);
      scaled.lfWidth = ScaledLength(scaled.lfWidth);
      return Keep(font.ihFont, ::CreateFontIndirectW(&scaled));
    }
    case EMR_SELECTOBJECT: {
      const DWORD index = As<EMRSELECTOBJECT>(record).ihObject;
      HGDIOBJ object = (index & ENHMETA_STOCK_OBJECT)
                           ? ::GetStockObject(static_cast<int>(index & ~ENHMETA_STOCK_OBJECT))
                           : index < objects_.size() ? objects_[index] : nullptr;
      if (object) ::SelectObject(target_, object);
      return;
    }
    default:  // EMR_DELETEOBJECT
      return Keep(As<EMRDELETEOBJECT>(record).ihObject, nullptr);
  }
}

// The text goes back to the 8-bit form it was drawn in (Symbol-font codes
// were recorded as U+F0xx); each character keeps its recorded advance, the
// advances scaled from their running sums so that no rounding adds up.
void RecordCopier::CopyText(const EMREXTTEXTOUTW& record) {
  const EMRTEXT& text = record.emrtext;
  const auto* base = reinterpret_cast<const BYTE*>(&record);
  const auto* wide = reinterpret_cast<const wchar_t*>(base + text.offString);
  const auto* advances = text.offDx ? reinterpret_cast<const INT*>(base + text.offDx) : nullptr;
  const int stride = (text.fOptions & ETO_PDY) ? 2 : 1;
  std::string bytes;
  std::vector<INT> scaled;
  LONG position = text.ptlReference.x;
  for (DWORD i = 0; i < text.nChars; ++i) {
    char converted[4] = {};
    int n = 1;
    if ((wide[i] & 0xFF00) == 0xF000)
      converted[0] = static_cast<char>(wide[i] & 0xFF);
    else
      n = std::max(1, ::WideCharToMultiByte(CP_ACP, 0, &wide[i], 1, converted, sizeof converted,
                                             nullptr, nullptr));
    const LONG next = position + (advances ? advances[i * stride] : 0);
    for (int b = 0; b < n; ++b) {
      bytes.push_back(converted[b]);
      scaled.push_back(b == 0 ? Scaled(next) - Scaled(position) : 0);
    }
    position = next;
  }
  const RECT box{Scaled(text.rcl.left), Scaled(text.rcl.top), Scaled(text.rcl.right),
                 Scaled(text.rcl.bottom)};
  const UINT options = text.fOptions & (ETO_OPAQUE | ETO_CLIPPED);
  ::ExtTextOutA(target_, Scaled(text.ptlReference.x), Scaled(text.ptlReference.y), options,
                options ? &box : nullptr, bytes.data(), static_cast<UINT>(bytes.size()),
                advances ? scaled.data() : nullptr);
}

// Logical units of 0.01 mm with y upwards, as on the Windows metafile.
HENHMETAFILE DrawEnhanced(const CSize& size, const std::function<void(CDC&)>& draw) {
  CMetaFileDC dc;
  if (!dc.CreateEnhanced(nullptr, nullptr, nullptr, nullptr)) return nullptr;
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetTextAlign(0);
  dc.SetWindowOrg(0, 0);
  dc.SetWindowExt(size.cx, -size.cy);
  // On both contexts: the records are copied without their mapping, and the
  // recording context then measures text at the resolution the copy keeps.
  dc.SetViewportExt(size.cx, size.cy);
  draw(dc);
  return dc.CloseEnhanced();
}

HMETAFILE CopyScaled(HENHMETAFILE picture, const CSize& size, int unit) {
  ENHMETAHEADER header{};
  if (!::GetEnhMetaFileHeader(picture, sizeof header, &header)) return nullptr;
  HDC target = ::CreateMetaFileA(nullptr);
  if (!target) return nullptr;
  ::SetMapMode(target, MM_ANISOTROPIC);
  ::SetWindowOrgEx(target, 0, 0, nullptr);
  ::SetWindowExtEx(target, (size.cx + unit - 1) / unit, -((size.cy + unit - 1) / unit), nullptr);
  // The copier's objects go after the context that may hold them selected.
  RecordCopier copier(target, unit, header.nHandles);
  ::EnumEnhMetaFile(nullptr, picture, &RecordCopier::Copy, &copier, nullptr);
  return ::CloseMetaFile(target);
}

}  // namespace

int WindowsMetafileUnit(const CSize& size) {
  const LONG largest = std::max<LONG>({size.cx, size.cy, 1});
  return static_cast<int>((largest + kMetafileLargestCoordinate - 1) / kMetafileLargestCoordinate);
}

HMETAFILE RecordWindowsMetafile(const CSize& size, const std::function<void(CDC&)>& draw) {
  const int unit = WindowsMetafileUnit(size);
  if (unit > 1) {
    HENHMETAFILE picture = DrawEnhanced(size, draw);
    if (!picture) return nullptr;
    HMETAFILE metafile = CopyScaled(picture, size, unit);
    ::DeleteEnhMetaFile(picture);
    return metafile;
  }
  CMetaFileDC dc;
  if (!dc.Create()) return nullptr;
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetTextAlign(0);
  dc.SetWindowOrg(0, 0);
  dc.SetWindowExt(size.cx, -size.cy);
  SetMeasuringViewportExt(&dc, size.cx, size.cy);
  draw(dc);
  return dc.Close();
}
