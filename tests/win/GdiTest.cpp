#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "framework/Dc.h"
#include "framework/Gdi.h"
#include "tests/win/GdiTestSupport.h"

TEST(GdiObjectCounter, CountsCreationDeletionAttachAndDetach) {
  const long start = GdiObjectCounter::Alive();
  {
    CPen pen(PS_SOLID, 1, 0);
    CBrush brush(RGB(1, 2, 3));
    EXPECT_EQ(GdiObjectCounter::Alive(), start + 2);
    pen.CreatePen(PS_DASH, 1, 0);  // replaces (and frees) the first pen
    EXPECT_EQ(GdiObjectCounter::Alive(), start + 2);
    HGDIOBJ raw = brush.Detach();
    EXPECT_EQ(GdiObjectCounter::Alive(), start + 1);
    CBrush again;
    EXPECT_TRUE(again.Attach(raw));
    EXPECT_EQ(GdiObjectCounter::Alive(), start + 2);
    CGdiObject stock;
    EXPECT_TRUE(stock.CreateStockObject(BLACK_PEN));
    EXPECT_EQ(GdiObjectCounter::Alive(), start + 2);  // borrowed, not counted
  }
  EXPECT_EQ(GdiObjectCounter::Alive(), start);
  CFont failed;
  LOGFONTA none{};
  none.lfHeight = -10;
  EXPECT_TRUE(failed.CreateFontIndirect(&none));
  EXPECT_TRUE(failed.DeleteObject());
  EXPECT_FALSE(failed.DeleteObject());
  EXPECT_EQ(GdiObjectCounter::Alive(), start);
}

TEST(GdiObjects, FromHandleGivesOneNonOwningWrapper) {
  GdiBalance balance;
  HPEN raw = ::CreatePen(PS_SOLID, 1, 0);
  CPen* a = CPen::FromHandle(raw);
  EXPECT_EQ(a, CPen::FromHandle(raw));
  EXPECT_EQ(a->m_hObject, raw);
  CGdiObject::DeleteTempMap();  // must not delete the pen
  EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_PEN));
  ::DeleteObject(raw);
  EXPECT_EQ(CPen::FromHandle(nullptr), nullptr);

  CPalette palette;
  struct {
    WORD version, count;
    PALETTEENTRY entries[2];
  } log = {0x300, 2, {{1, 2, 3, 0}, {4, 5, 6, 0}}};
  ASSERT_TRUE(palette.CreatePalette(reinterpret_cast<LOGPALETTE*>(&log)));
  EXPECT_EQ(palette.GetEntryCount(), 2);
  PALETTEENTRY entry{};
  EXPECT_EQ(palette.GetPaletteEntries(1, 1, &entry), 1u);
  EXPECT_EQ(entry.peRed, 4);
}

TEST(CDC, StateGoesToBothHandlesQueriesToTheAttributeDrawingToTheOutput) {
  GdiBalance balance;
  MemoryCanvas output;
  CDC attribute;
  ASSERT_TRUE(attribute.CreateCompatibleDC(nullptr));
  CDC dc;
  dc.SetOutputDC(output.dc.m_hDC);
  dc.SetAttribDC(attribute.m_hDC);

  ::SetMapMode(attribute.m_hDC, MM_LOMETRIC);
  EXPECT_EQ(dc.SetMapMode(MM_TEXT), MM_LOMETRIC);  // the attribute's previous mode
  EXPECT_EQ(::GetMapMode(output.dc.m_hDC), MM_TEXT);
  ::SetMapMode(attribute.m_hDC, MM_HIMETRIC);
  EXPECT_EQ(dc.GetMapMode(), MM_HIMETRIC);  // asked of the attribute handle
  ::SetMapMode(attribute.m_hDC, MM_TEXT);

  dc.SetTextColor(RGB(1, 2, 3));
  EXPECT_EQ(::GetTextColor(output.dc.m_hDC), RGB(1, 2, 3));
  EXPECT_EQ(::GetTextColor(attribute.m_hDC), RGB(1, 2, 3));
  dc.SetBkMode(TRANSPARENT);
  EXPECT_EQ(::GetBkMode(output.dc.m_hDC), TRANSPARENT);
  EXPECT_EQ(dc.SetTextAlign(TA_BASELINE), static_cast<UINT>(TA_TOP));
  EXPECT_EQ(::GetTextAlign(output.dc.m_hDC), static_cast<UINT>(TA_BASELINE));
  dc.SetWindowOrg(5, 6);
  EXPECT_EQ(dc.GetWindowOrg(), CPoint(5, 6));
  dc.SetWindowOrg(0, 0);

  CBrush red(RGB(255, 0, 0));
  HGDIOBJ attributeBrush = ::GetCurrentObject(attribute.m_hDC, OBJ_BRUSH);
  CBrush* previous = dc.SelectObject(&red);
  ASSERT_NE(previous, nullptr);
  EXPECT_EQ(previous->m_hObject, attributeBrush);
  EXPECT_EQ(::GetCurrentObject(output.dc.m_hDC, OBJ_BRUSH), red.m_hObject);
  EXPECT_EQ(::GetCurrentObject(attribute.m_hDC, OBJ_BRUSH), red.m_hObject);

  CRect all(0, 0, 16, 16);
  dc.FillSolidRect(&all, RGB(0, 0, 255));
  dc.PatBlt(0, 0, 4, 4, PATCOPY);
  EXPECT_EQ(::GetPixel(output.dc.m_hDC, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(::GetPixel(output.dc.m_hDC, 10, 10), RGB(0, 0, 255));
  dc.SelectObject(previous);
  dc.ReleaseOutputDC();
  dc.ReleaseAttribDC();
}

TEST(CDC, HimetricConversionsRoundByTheLogicalInch) {
  GdiBalance balance;
  CWindowDC screen(nullptr);
  ASSERT_EQ(screen.GetDeviceCaps(LOGPIXELSX), 96);
  SIZE size{250, 2540};
  screen.HIMETRICtoDP(&size);
  EXPECT_EQ(size.cx, 9);
  EXPECT_EQ(size.cy, 96);
  SIZE back{9, 96};
  screen.DPtoHIMETRIC(&back);
  EXPECT_EQ(back.cx, 238);
  EXPECT_EQ(back.cy, 2540);
  SIZE half{27, 0};  // 27 * 96 / 2540 = 1.02
  screen.HIMETRICtoDP(&half);
  EXPECT_EQ(half.cx, 1);
}

TEST(CMetaFileDC, WindowsMetafileMeasuresThroughTheScreen) {
  GdiBalance balance;
  CMetaFileDC meta;
  ASSERT_TRUE(meta.Create());
  EXPECT_NE(meta.m_hAttribDC, meta.m_hDC);
  CFont font;
  LOGFONTA lf{};
  lf.lfHeight = -20;
  std::strcpy(lf.lfFaceName, "Arial");
  font.CreateFontIndirect(&lf);
  CFont* previous = meta.SelectObject(&font);
  ASSERT_NE(previous, nullptr);
  EXPECT_NE(previous->m_hObject, reinterpret_cast<HGDIOBJ>(1));  // not the metafile's flag
  EXPECT_EQ(::GetObjectType(previous->m_hObject), static_cast<DWORD>(OBJ_FONT));
  EXPECT_GT(meta.GetTextExtent("Wide text").cx, 0);
  TEXTMETRICA tm{};
  EXPECT_TRUE(meta.GetTextMetrics(&tm));
  EXPECT_GT(tm.tmHeight, 0);
  meta.TextOut(0, 0, "x", 1);
  meta.SelectObject(previous);
  HMETAFILE wmf = meta.Close();
  ASSERT_NE(wmf, nullptr);
  EXPECT_GT(::GetMetaFileBitsEx(wmf, 0, nullptr), 0u);
  ::DeleteMetaFile(wmf);
  EXPECT_EQ(meta.m_hDC, nullptr);
}

TEST(CMetaFileDC, EnhancedMetafileMeasuresAndClosesCleanly) {
  GdiBalance balance;
  CMetaFileDC meta;
  ASSERT_TRUE(meta.CreateEnhanced(nullptr, nullptr, nullptr, nullptr));
  EXPECT_NE(meta.m_hAttribDC, meta.m_hDC);
  meta.MoveTo(0, 0);
  meta.LineTo(100, 100);
  EXPECT_GT(meta.GetTextExtent("abc").cx, 0);
  EXPECT_EQ(meta.Close(), nullptr);  // not a Windows metafile
  HENHMETAFILE emf = meta.CloseEnhanced();
  ASSERT_NE(emf, nullptr);
  ::DeleteEnhMetaFile(emf);
  {
    CMetaFileDC abandoned;  // destroyed unclosed: frees its metafile
    ASSERT_TRUE(abandoned.Create());
  }
}
