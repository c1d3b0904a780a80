// QVMemDC: a paint collected off-screen lands on the target in the same
// logical place, under the 0.01 mm mapping (y upwards) the view uses, and
// leaves no GDI object behind.
#include <gtest/gtest.h>

#include "app/document/MemDC.h"

namespace {

constexpr COLORREF kBackground = RGB(0, 0, 255);
constexpr COLORREF kInk = RGB(255, 0, 0);
constexpr int kPixels = 200;

// A memory DC with a bitmap of kPixels square in MM_HIMETRIC, scrolled by
// `viewportY` device pixels as a scroll view would be.
class Target {
 public:
  explicit Target(int viewportY = 0) {
    dc.CreateCompatibleDC(nullptr);
    CWindowDC screen(nullptr);
    bitmap.CreateCompatibleBitmap(&screen, kPixels, kPixels);
    previous = dc.SelectObject(&bitmap);
    dc.FillSolidRect(CRect(0, 0, kPixels, kPixels), RGB(0, 255, 0));
    dc.SetMapMode(MM_HIMETRIC);
    dc.SetViewportOrg(0, viewportY);
    dc.SetBkColor(kBackground);
  }
  ~Target() { dc.SelectObject(previous); }
  // The colour at a logical point.
  COLORREF PixelAt(int x, int y) const { return ::GetPixel(dc.GetSafeHdc(), x, y); }

  CDC dc;
  CBitmap bitmap;
  CBitmap* previous = nullptr;
};

TEST(QVMemDC, CopiesThePaintToTheSameLogicalPlace) {
  for (int viewportY : {0, -40}) {
    Target target(viewportY);
    {
      QVMemDC memory(&target.dc);
      EXPECT_TRUE(memory.IsMemoryDC());
      // A 10 mm square, 5 mm in and 15 mm down.
      memory.FillSolidRect(CRect(500, -1500, 1500, -2500), kInk);
      // Nothing reaches the target before the memory DC goes.
      EXPECT_NE(target.PixelAt(1000, -2000), kInk);
    }
    EXPECT_EQ(target.PixelAt(1000, -2000), kInk) << viewportY;
    EXPECT_EQ(target.PixelAt(2500, -3000), kBackground) << viewportY;
  }
}

TEST(QVMemDC, CoversOnlyTheGivenArea) {
  Target target;
  const CRect area(0, 0, 2000, -2000);
  {
    QVMemDC memory(&target.dc, &area);
    memory.FillSolidRect(CRect(500, -500, 1500, -1500), kInk);
  }
  EXPECT_EQ(target.PixelAt(1000, -1000), kInk);
  EXPECT_EQ(target.PixelAt(3000, -3000), RGB(0, 255, 0));
}

TEST(QVMemDC, LeavesNoGdiObjectBehind) {
  Target target;
  const long before = GdiObjectCounter::Alive();
  {
    QVMemDC memory(&target.dc);
    memory.FillSolidRect(CRect(0, 0, 100, -100), kInk);
  }
  EXPECT_EQ(GdiObjectCounter::Alive(), before);
}

TEST(QVMemDC, DrawsStraightThroughToAPrintingTarget) {
  Target target;
  target.dc.m_bPrinting = true;
  {
    QVMemDC memory(&target.dc);
    EXPECT_FALSE(memory.IsMemoryDC());
    memory.FillSolidRect(CRect(500, -500, 1500, -1500), kInk);
    EXPECT_EQ(target.PixelAt(1000, -1000), kInk);
  }
  // The target's handles are still its own.
  EXPECT_NE(target.dc.GetSafeHdc(), nullptr);
  EXPECT_EQ(target.dc.GetMapMode(), MM_HIMETRIC);
}

}  // namespace
