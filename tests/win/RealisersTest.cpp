// Pen, brush and font realisers on real device contexts: what they create,
// that they put the previous object back, and that nothing is left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/Realisers.h"

namespace {

// A memory DC compatible with the screen (a pixel device, MM_TEXT).
class MemoryDc {
 public:
  MemoryDc() : dc_(CreateCompatibleDC(nullptr)) {}
  ~MemoryDc() { DeleteDC(dc_); }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

int PenWidth(HGDIOBJ pen) {
  EXTLOGPEN record{};
  if (GetObjectA(pen, sizeof(record), &record) == 0) return -1;
  return static_cast<int>(record.elpWidth);
}

TEST(QVPen, SelectsAndPutsPreviousBack) {
  MemoryDc dc;
  HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_PEN);
  QVPen pen;
  pen.Select(dc.get(), nullptr);
  EXPECT_TRUE(pen.IsSelected());
  HGDIOBJ created = GetCurrentObject(dc.get(), OBJ_PEN);
  EXPECT_NE(created, before);
  pen.Deselect();
  EXPECT_FALSE(pen.IsSelected());
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), before);
  EXPECT_EQ(GetObjectType(created), 0u);  // deleted
}

// On a pixel device 150 units of width count as the pixels of 250 HIMETRIC
// units, and a pen never gets thinner than one pixel.
TEST(QVPen, PixelDeviceWidths) {
  MemoryDc dc;
  const int pixels = MulDiv(250, GetDeviceCaps(dc.get(), LOGPIXELSX), 2540);
  struct Case {
    double width;
    double scale;
  } cases[] = {{30.0, 1.0}, {10.0, 1.0}, {300.0, 1.0}, {150.0, 2.0}};
  for (const Case& c : cases) {
    QVPen pen;
    pen.description.Mode = 2;
    pen.description.Width = c.width;
    pen.scale = c.scale;
    pen.Select(dc.get(), nullptr);
    const int expected = static_cast<int>(pixels * static_cast<int>(c.width * c.scale) / 150.0);
    EXPECT_EQ(PenWidth(GetCurrentObject(dc.get(), OBJ_PEN)), expected == 0 ? 1 : expected)
        << c.width << " x " << c.scale;
    pen.Deselect();
  }
}

TEST(QVPen, HimetricWidthIsKept) {
  MemoryDc dc;
  SetMapMode(dc.get(), MM_HIMETRIC);
  QVPen pen;
  pen.description.Mode = 2;
  pen.description.Width = 30.0;
  pen.Select(dc.get(), nullptr);
  EXPECT_EQ(PenWidth(GetCurrentObject(dc.get(), OBJ_PEN)), 30);
  pen.Deselect();
}

// A pen destroyed while selected leaves the stock black pen, not a dangling one.
TEST(QVPen, DestroyedWhileSelected) {
  MemoryDc dc;
  HGDIOBJ created = nullptr;
  {
    QVPen pen;
    pen.Select(dc.get(), nullptr);
    created = GetCurrentObject(dc.get(), OBJ_PEN);
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetObjectType(created), 0u);
}

TEST(QVBrush, SelectReturnsPrevious) {
  MemoryDc dc;
  HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_BRUSH);
  QVBrush brush;
  brush.description.Color = RGB(10, 20, 30);
  EXPECT_EQ(brush.Select(dc.get(), nullptr), before);
  HGDIOBJ created = GetCurrentObject(dc.get(), OBJ_BRUSH);
  LOGBRUSH record{};
  ASSERT_NE(GetObjectA(created, sizeof(record), &record), 0);
  EXPECT_EQ(record.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(record.lbColor, RGB(10, 20, 30));
  brush.Deselect();
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), before);
  EXPECT_EQ(GetObjectType(created), 0u);
}

TEST(QVFont, SizeScaleAndColour) {
  MemoryDc dc;
  SetTextColor(dc.get(), RGB(1, 2, 3));
  HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_FONT);
  QVFont font;
  font.description.Color = RGB(200, 0, 0);
  EXPECT_EQ(font.Select(dc.get(), nullptr, true), 388);
  EXPECT_EQ(GetTextColor(dc.get()), RGB(200, 0, 0));
  LOGFONTA record{};
  ASSERT_NE(GetObjectA(GetCurrentObject(dc.get(), OBJ_FONT), sizeof(record), &record), 0);
  EXPECT_EQ(record.lfHeight, -388);
  font.Deselect();
  EXPECT_EQ(GetTextColor(dc.get()), RGB(1, 2, 3));
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), before);

  font.scale = 1.5;
  EXPECT_EQ(font.Select(dc.get(), nullptr, true), 582);
  font.Deselect();
  EXPECT_EQ(font.Select(dc.get(), nullptr, false), 21);  // the logical font's -14
}

// A font destroyed while selected is put back and freed.
TEST(QVFont, DestroyedWhileSelected) {
  MemoryDc dc;
  HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_FONT);
  HGDIOBJ created = nullptr;
  {
    QVFont font;
    font.Select(dc.get(), nullptr, true);
    created = GetCurrentObject(dc.get(), OBJ_FONT);
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), before);
  EXPECT_EQ(GetObjectType(created), 0u);
}

}  // namespace
