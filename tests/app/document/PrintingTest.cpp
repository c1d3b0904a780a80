// Printing and print preview: a page drawn on a DC flagged as printing
// (Wine has no printer) leaves the scroll area alone and puts the equation
// 5 mm in from the page's corner, as the screen picture looks; without a
// printer a direct job says so and a preview shows an A4 page.
#include <algorithm>

#include "framework/Preview.h"
#include "framework/Print.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

class Printing : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    doc = NewDocumentWith(kQuadraticFormula);
    ASSERT_NE(doc, nullptr);
    view = ViewOf(doc);
    ASSERT_NE(view, nullptr);
  }
  // The view's page on an enhanced metafile flagged as printing, A4 framed.
  HENHMETAFILE PrintedPage() {
    CMetaFileDC dc;
    const RECT frame{0, 0, 21000, 29700};
    if (!dc.CreateEnhanced(nullptr, nullptr, &frame, nullptr)) return nullptr;
    dc.m_bPrinting = true;
    CPrintInfo info;
    view->PrintPage(&dc, &info);
    return dc.CloseEnhanced();
  }

  QVM400Doc* doc = nullptr;
  QVM400View* view = nullptr;
};

// The smallest rectangle around every pixel that is not white.
CRect InkBox(HDC dc, int width, int height) {
  CRect box(width, height, -1, -1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (::GetPixel(dc, x, y) != kWhite) {
        box.left = std::min<LONG>(box.left, x), box.right = std::max<LONG>(box.right, x);
        box.top = std::min<LONG>(box.top, y), box.bottom = std::max<LONG>(box.bottom, y);
      }
  return box;
}

// Ink of a metafile played 1:1 on a white screen bitmap of `pixels`.
CRect InkOfPage(HENHMETAFILE page, CSize pixels) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, pixels.cx, pixels.cy);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ previous = ::SelectObject(dc, bitmap);
  const RECT all{0, 0, pixels.cx, pixels.cy};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::PlayEnhMetaFile(dc, page, &all);
  const CRect ink = InkBox(dc, pixels.cx, pixels.cy);
  ::SelectObject(dc, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return ink;
}

TEST_F(Printing, PageLeavesTheScrollAreaAlone) {
  view->SetScrollSizes(MM_HIMETRIC, CSize(12345, 6789));
  HENHMETAFILE page = PrintedPage();
  ASSERT_NE(page, nullptr);
  ::DeleteEnhMetaFile(page);
  EXPECT_EQ(view->GetTotalSize(), CSize(12345, 6789));
}

TEST_F(Printing, PagePutsTheScreenPicture5mmIn) {
  // The screen picture: the equation drawn at the bitmap's corner.
  const ExtentRecord extent = doc->MeasureOwnExtent();
  const std::unique_ptr<CBitmap> picture = doc->MakeBitmapPicture(extent);
  ASSERT_NE(picture, nullptr);
  const CSize pixels = QVM400Doc::PicturePixels(extent);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ previous = ::SelectObject(dc, picture->m_hObject);
  const CRect screenInk = InkBox(dc, pixels.cx, pixels.cy);
  ::SelectObject(dc, previous);
  ::DeleteDC(dc);
  ASSERT_GE(screenInk.right, screenInk.left);

  HENHMETAFILE page = PrintedPage();
  ASSERT_NE(page, nullptr);
  // A4 at 96 pixels per inch: 5 mm is 18.9 pixels.
  const CRect printedInk = InkOfPage(page, CSize(794, 1123));
  ::DeleteEnhMetaFile(page);
  EXPECT_NEAR(printedInk.left - screenInk.left, 18.9, 1.5);
  EXPECT_NEAR(printedInk.top - screenInk.top, 18.9, 1.5);
  EXPECT_NEAR(printedInk.Width(), screenInk.Width(), 2);
  EXPECT_NEAR(printedInk.Height(), screenInk.Height(), 2);
}

TEST_F(Printing, PrintDirectWithoutAPrinterSaysSo) {
  ASSERT_EQ(app->m_hDevNames, nullptr);
  TakeShownBoxes();
  frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
  const std::vector<ShownBox> boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("No printer"), std::string::npos);
}

TEST_F(Printing, PreviewShowsTheRecordedPageScaledIntoItsWindow) {
  CPreviewView* preview = view->OpenPrintPreview();
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->GetPageSize(), CSize(21000, 29700));  // A4 without a printer
  ASSERT_NE(preview->GetPage(), nullptr);
  ENHMETAHEADER header{};
  ASSERT_TRUE(::GetEnhMetaFileHeader(preview->GetPage(), sizeof header, &header));
  EXPECT_EQ(header.rclFrame.right, 21000);
  EXPECT_EQ(header.rclFrame.bottom, 29700);
  // Fitted and centred, keeping the page's shape.
  const CRect page = preview->PageRect(CRect(0, 0, 600, 800));
  EXPECT_NEAR(static_cast<double>(page.Height()) / page.Width(), 29700.0 / 21000.0, 0.01);
  EXPECT_NEAR(page.left + page.right, 600, 1);
  EXPECT_GE(page.top, 0);
  EXPECT_LE(page.bottom, 800);
  ::UpdateWindow(preview->GetSafeHwnd());
  preview->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);  // closes and deletes itself
  EXPECT_TRUE(TakeShownBoxes().empty());
}

}  // namespace
