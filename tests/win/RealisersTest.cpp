#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "framework/Dc.h"
#include "options/Realisers.h"
#include "tests/win/GdiTestSupport.h"

namespace {

QVLogPen Pen(int mode, int style, double width) {
  QVLogPen pen;
  pen.Mode = mode;
  pen.Style = style;
  pen.Width = width;
  pen.Color = RGB(10, 20, 30);
  return pen;
}

// The pen GDI made: style and width, from an extended or a plain pen.
struct MadePen {
  DWORD style = 0;
  int width = -1;
  DWORD type = 0;
};
MadePen Describe(HGDIOBJ pen) {
  MadePen made;
  made.type = ::GetObjectType(pen);
  if (made.type == OBJ_EXTPEN) {
    EXTLOGPEN elp{};
    ::GetObjectA(pen, sizeof elp, &elp);
    made.style = elp.elpPenStyle;
    made.width = static_cast<int>(elp.elpWidth);
  } else if (made.type == OBJ_PEN) {
    LOGPEN lp{};
    ::GetObjectA(pen, sizeof lp, &lp);
    made.style = lp.lopnStyle;
    made.width = lp.lopnWidth.x;
  }
  return made;
}

// The pens recorded in an enhanced metafile: {record type, style, width}.
struct RecordedPen {
  DWORD record, style, width;
};
std::vector<RecordedPen> RecordedPens(HENHMETAFILE emf) {
  std::vector<BYTE> bytes(::GetEnhMetaFileBits(emf, 0, nullptr));
  ::GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), bytes.data());
  std::vector<RecordedPen> pens;
  for (size_t at = 0; at + sizeof(EMR) <= bytes.size();) {
    const auto* record = reinterpret_cast<const EMR*>(bytes.data() + at);
    if (record->nSize < sizeof(EMR)) break;
    if (record->iType == EMR_CREATEPEN) {
      const auto* pen = reinterpret_cast<const EMRCREATEPEN*>(record);
      pens.push_back({EMR_CREATEPEN, pen->lopn.lopnStyle, static_cast<DWORD>(pen->lopn.lopnWidth.x)});
    } else if (record->iType == EMR_EXTCREATEPEN) {
      const auto* pen = reinterpret_cast<const EMREXTCREATEPEN*>(record);
      pens.push_back({EMR_EXTCREATEPEN, pen->elp.elpPenStyle, pen->elp.elpWidth});
    }
    at += record->nSize;
  }
  return pens;
}

}  // namespace

TEST(QVPen, PixelWidthsFollowTheResolution) {
  GdiBalance balance;
  MemoryCanvas canvas;
  const struct {
    QVLogPen pen;
    double scale;
    int width;
  } cases[] = {
      {Pen(2, 0x10006, 30), 1.0, 1},     // 9 * 30 / 150 = 1.8
      {Pen(2, 0x10006, 10), 1.0, 1},     // 0.6 is raised to 1
      {Pen(0, 11, 0), 1.0, 15},          // 250 units: 9 * 250 / 150
      {Pen(0, 0x10006, 100), 2.0, 12},   // 200 units
      {Pen(3, 0x10006, std::numeric_limits<double>::quiet_NaN()), 1.0, 1},
      {Pen(3, 0x10006, 1e300), 1.0, 60000},
      {Pen(3, 0x10006, 50), -1.0, 1},
  };
  for (const auto& c : cases) {
    QVPen pen;
    pen.Description.Assign(c.pen);
    pen.Scale = c.scale;
    EXPECT_EQ(pen.DeviceWidth(canvas.dc), c.width) << c.pen.Width;
  }
  QVPen pen;
  pen.Description.Assign(Pen(2, 0x10006, 100));
  HGDIOBJ before = ::GetCurrentObject(canvas.dc.m_hDC, OBJ_PEN);
  pen.Select(canvas.dc);
  const MadePen made = Describe(::GetCurrentObject(canvas.dc.m_hDC, OBJ_PEN));
  EXPECT_EQ(made.type, static_cast<DWORD>(OBJ_EXTPEN));
  EXPECT_EQ(made.style, 0x10006u);
  EXPECT_EQ(made.width, 6);
  pen.Deselect(canvas.dc);
  EXPECT_EQ(::GetCurrentObject(canvas.dc.m_hDC, OBJ_PEN), before);
}

TEST(QVPen, HimetricWidthIsTheScaledDescription) {
  GdiBalance balance;
  MemoryCanvas canvas;
  canvas.dc.SetMapMode(MM_HIMETRIC);
  QVPen pen;
  pen.Description.Assign(Pen(2, 0x10006, 30));
  pen.Scale = 1.5;
  EXPECT_EQ(pen.DeviceWidth(canvas.dc), 45);
  pen.Select(canvas.dc);
  EXPECT_EQ(Describe(::GetCurrentObject(canvas.dc.m_hDC, OBJ_PEN)).width, 45);
  pen.Deselect(canvas.dc);
}

// Every pen the program makes must come out of a metafile DC as a real pen,
// with the same kind of line as the description asks for.
TEST(QVPen, EnhancedMetafilePensKeepTheirStyle) {
  GdiBalance balance;
  // Wine records both kinds of pen as EMR_CREATEPEN where it can; the
  // style tells a cosmetic CreatePen line from a geometric one.
  const struct {
    QVLogPen pen;
    DWORD style, width;
  } cases[] = {
      {Pen(1, PS_DASH, 40), PS_DASH, 1},  // 0x10001: a plain one-pixel dash
      {Pen(2, PS_DOT, 40), PS_DOT, 1},
      {Pen(0, 1, 40), 0x10202, 1},        // dotted with flat caps
      {Pen(0, 9, 0), 0x10206, 100},
      {Pen(2, 0x10006, 30), 0x10006, 30},  // the GeneralPen
      {Pen(3, PS_SOLID, 30), PS_GEOMETRIC, 30},  // a cosmetic style made geometric
      {Pen(3, PS_DASHDOT, 30), PS_DASHDOT, 1},
  };
  for (const auto& c : cases) {
    CMetaFileDC meta;
    ASSERT_TRUE(meta.CreateEnhanced(nullptr, nullptr, nullptr, nullptr));
    meta.SetMapMode(MM_ANISOTROPIC);
    QVPen pen;
    pen.Description.Assign(c.pen);
    HGDIOBJ before = ::GetCurrentObject(meta.m_hAttribDC, OBJ_PEN);
    pen.Select(meta);
    HGDIOBJ selected = ::GetCurrentObject(meta.m_hAttribDC, OBJ_PEN);
    EXPECT_NE(selected, before);
    EXPECT_NE(Describe(selected).type, 0u) << "no pen was made";
    meta.MoveTo(0, 0);
    meta.LineTo(1000, 1000);
    pen.Deselect(meta);
    EXPECT_EQ(::GetCurrentObject(meta.m_hAttribDC, OBJ_PEN), before);
    HENHMETAFILE emf = meta.CloseEnhanced();
    ASSERT_NE(emf, nullptr);
    const std::vector<RecordedPen> pens = RecordedPens(emf);
    ::DeleteEnhMetaFile(emf);
    ASSERT_EQ(pens.size(), 1u) << c.pen.Mode << "/" << c.pen.Style;
    EXPECT_EQ(pens[0].style, c.style) << c.pen.Mode << "/" << c.pen.Style;
    EXPECT_EQ(pens[0].width, c.width) << c.pen.Mode << "/" << c.pen.Style;
  }
}

TEST(Realisers, PutThePreviousObjectsBackOnAWindowsMetafile) {
  GdiBalance balance;
  CMetaFileDC meta;
  ASSERT_TRUE(meta.Create());
  meta.SetMapMode(MM_ANISOTROPIC);
  const HDC attribute = meta.m_hAttribDC;
  HGDIOBJ pen0 = ::GetCurrentObject(attribute, OBJ_PEN);
  HGDIOBJ brush0 = ::GetCurrentObject(attribute, OBJ_BRUSH);
  HGDIOBJ font0 = ::GetCurrentObject(attribute, OBJ_FONT);
  const COLORREF color0 = ::GetTextColor(attribute);
  {
    QVPen pen;
    QVBrush brush;
    QVFont font;
    pen.Description.Assign(Pen(0, 2, 10));
    brush.Description.Style = 4;
    font.Description.Color = RGB(0, 0, 255);
    pen.Select(meta);
    CBrush* previousBrush = brush.Select(meta);
    ASSERT_NE(previousBrush, nullptr);
    EXPECT_EQ(previousBrush->m_hObject, brush0);
    EXPECT_EQ(font.Select(meta, true), 388);
    EXPECT_EQ(::GetTextColor(attribute), RGB(0, 0, 255));
    EXPECT_GT(meta.GetTextExtent("x").cx, 0);
    meta.Polygon(std::vector<POINT>{{0, 0}, {100, 0}, {0, 100}}.data(), 3);
    meta.TextOut(0, 0, "x", 1);
    font.Deselect(meta);
    brush.Deselect(meta);
    pen.Deselect(meta);
  }
  EXPECT_EQ(::GetCurrentObject(attribute, OBJ_PEN), pen0);
  EXPECT_EQ(::GetCurrentObject(attribute, OBJ_BRUSH), brush0);
  EXPECT_EQ(::GetCurrentObject(attribute, OBJ_FONT), font0);
  EXPECT_EQ(::GetTextColor(attribute), color0);
  HMETAFILE wmf = meta.Close();
  ASSERT_NE(wmf, nullptr);
  ::DeleteMetaFile(wmf);
}

TEST(QVFont, HeightFromSizeAndScale) {
  GdiBalance balance;
  MemoryCanvas canvas;
  canvas.dc.SetMapMode(MM_HIMETRIC);
  const struct {
    int size;
    double scale;
    bool useSize;
    int height;
  } cases[] = {{388, 1.0, true, 388},   {388, 1.5, true, 582},       {388, 1.0, false, 14},
               {300, 0.5, true, 150},   {INT32_MIN, 1.0, true, kMaxGdiLength},
               {5, std::numeric_limits<double>::infinity(), true, kMaxGdiLength},
               {5, std::numeric_limits<double>::quiet_NaN(), true, 0}};
  HGDIOBJ before = ::GetCurrentObject(canvas.dc.m_hDC, OBJ_FONT);
  for (const auto& c : cases) {
    QVFont font;
    font.Description.Size = c.size;
    font.Scale = c.scale;
    EXPECT_EQ(font.Select(canvas.dc, c.useSize), c.height) << c.size << " x " << c.scale;
    LOGFONTA made{};
    ::GetObjectA(::GetCurrentObject(canvas.dc.m_hDC, OBJ_FONT), sizeof made, &made);
    EXPECT_EQ(std::abs(made.lfHeight), c.height);
    font.Deselect(canvas.dc);
    EXPECT_EQ(::GetCurrentObject(canvas.dc.m_hDC, OBJ_FONT), before);
  }
}

TEST(Realisers, DestroyedWhileSelectedLeaveNothingBehind) {
  GdiBalance balance;
  MemoryCanvas canvas;
  {
    QVPen pen;
    QVBrush brush;
    QVFont font;
    pen.Select(canvas.dc);
    brush.Select(canvas.dc);
    font.Select(canvas.dc, false);
    pen.Select(canvas.dc);  // a second Select frees the first pen
  }
  EXPECT_EQ(::GetCurrentObject(canvas.dc.m_hDC, OBJ_PEN), ::GetStockObject(BLACK_PEN));
  EXPECT_EQ(::GetCurrentObject(canvas.dc.m_hDC, OBJ_BRUSH), ::GetStockObject(NULL_BRUSH));
  EXPECT_EQ(::GetCurrentObject(canvas.dc.m_hDC, OBJ_FONT), ::GetStockObject(SYSTEM_FONT));
}

TEST(QVBrush, HatchedBrushOnAMemoryDC) {
  GdiBalance balance;
  MemoryCanvas canvas;
  QVBrush brush;
  brush.Description.Style = 0;
  HGDIOBJ before = ::GetCurrentObject(canvas.dc.m_hDC, OBJ_BRUSH);
  EXPECT_EQ(brush.Select(canvas.dc)->m_hObject, before);
  LOGBRUSH made{};
  ::GetObjectA(::GetCurrentObject(canvas.dc.m_hDC, OBJ_BRUSH), sizeof made, &made);
  EXPECT_EQ(made.lbStyle, static_cast<UINT>(BS_HOLLOW));
  brush.Deselect(canvas.dc);
  EXPECT_EQ(::GetCurrentObject(canvas.dc.m_hDC, OBJ_BRUSH), before);
}
