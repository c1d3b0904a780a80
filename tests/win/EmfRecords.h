// Reads back what a drawing left in an enhanced metafile: text records with
// their characters, reference points and fonts, and polygons and polylines
// with their points. Checks on these do not depend on font rasterisation.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct EmfText {
  POINT at;
  std::wstring text;
  LONG fontHeight;  // lfHeight of the font selected when it was drawn
  std::string face;
};

struct EmfShape {
  bool polygon;  // false: polyline
  std::vector<POINT> points;
};

struct EmfDrawing {
  std::vector<EmfText> texts;
  std::vector<EmfShape> shapes;
  std::vector<LOGFONTW> fontsCreated;
  std::vector<DWORD> types;  // every record's type, in order

  // The characters of every text record, in order, as 16-bit codes.
  std::vector<unsigned> Codes() const {
    std::vector<unsigned> codes;
    for (const EmfText& t : texts)
      for (wchar_t c : t.text) codes.push_back(static_cast<unsigned>(c));
    return codes;
  }
};

namespace emf_detail {

inline std::vector<POINT> Points16(const POINTS* p, DWORD n) {
  std::vector<POINT> points;
  for (DWORD i = 0; i < n; ++i) points.push_back({p[i].x, p[i].y});
  return points;
}

inline std::vector<POINT> Points32(const POINTL* p, DWORD n) {
  std::vector<POINT> points;
  for (DWORD i = 0; i < n; ++i) points.push_back({p[i].x, p[i].y});
  return points;
}

inline std::string Narrow(const WCHAR* face) {
  std::string out;
  for (int i = 0; i < LF_FACESIZE && face[i]; ++i) out += static_cast<char>(face[i]);
  return out;
}

}  // namespace emf_detail

// Walks the records of `emf` (which stays the caller's).
inline EmfDrawing ReadEmf(HENHMETAFILE emf) {
  using namespace emf_detail;
  std::vector<BYTE> bytes(::GetEnhMetaFileBits(emf, 0, nullptr));
  ::GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), bytes.data());
  EmfDrawing drawing;
  std::map<DWORD, LOGFONTW> fonts;
  LOGFONTW current{};
  for (size_t at = 0; at + sizeof(EMR) <= bytes.size();) {
    const auto* record = reinterpret_cast<const EMR*>(bytes.data() + at);
    if (record->nSize < sizeof(EMR) || at + record->nSize > bytes.size()) break;
    drawing.types.push_back(record->iType);
    switch (record->iType) {
      case EMR_EXTCREATEFONTINDIRECTW: {
        const auto* r = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record);
        fonts[r->ihFont] = r->elfw.elfLogFont;
        drawing.fontsCreated.push_back(r->elfw.elfLogFont);
        break;
      }
      case EMR_SELECTOBJECT: {
        const auto* r = reinterpret_cast<const EMRSELECTOBJECT*>(record);
        if (fonts.count(r->ihObject)) current = fonts[r->ihObject];
        break;
      }
      case EMR_EXTTEXTOUTW: {
        const auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(r) +
                                                             r->emrtext.offString);
        drawing.texts.push_back({{r->emrtext.ptlReference.x, r->emrtext.ptlReference.y},
                                 std::wstring(chars, r->emrtext.nChars), current.lfHeight,
                                 Narrow(current.lfFaceName)});
        break;
      }
      case EMR_POLYGON16:
      case EMR_POLYLINE16: {
        const auto* r = reinterpret_cast<const EMRPOLYLINE16*>(record);
        drawing.shapes.push_back({record->iType == EMR_POLYGON16, Points16(r->apts, r->cpts)});
        break;
      }
      case EMR_POLYGON:
      case EMR_POLYLINE: {
        const auto* r = reinterpret_cast<const EMRPOLYLINE*>(record);
        drawing.shapes.push_back({record->iType == EMR_POLYGON, Points32(r->aptl, r->cptl)});
        break;
      }
      default: break;
    }
    at += record->nSize;
  }
  return drawing;
}

// Index of the first record of `type`, or -1.
inline int FirstRecord(const EmfDrawing& drawing, DWORD type) {
  for (size_t i = 0; i < drawing.types.size(); ++i)
    if (drawing.types[i] == type) return static_cast<int>(i);
  return -1;
}

// Records what `draw` does on an enhanced metafile DC in MM_HIMETRIC with
// bottom-aligned text, and reads it back.
template <typename Draw>
EmfDrawing RecordEmf(Draw&& draw) {
  CMetaFileDC dc;
  dc.CreateEnhanced(nullptr, nullptr, nullptr, nullptr);
  dc.SetMapMode(MM_HIMETRIC);
  dc.SetTextAlign(TA_BOTTOM | TA_LEFT);
  draw(static_cast<CDC&>(dc));
  HENHMETAFILE emf = dc.CloseEnhanced();
  EmfDrawing drawing = ReadEmf(emf);
  ::DeleteEnhMetaFile(emf);
  return drawing;
}
