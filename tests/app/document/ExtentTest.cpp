// Measuring documents: every paint records the extent it measured, and a
// document's own size for the clipboard, the exports and the embedded item
// comes from measuring that document, whichever view painted last.
#include "framework/Dc.h"
#include "tests/app/AppFixture.h"

namespace {

using DocumentExtent = AppTest;

bool SameExtent(const ExtentRecord& a, const ExtentRecord& b) {
  return a.width == b.width && a.height == b.height && a.align == b.align &&
         a.margin == b.margin;
}

TEST_F(DocumentExtent, PaintRecordsTheExtentAndSizesTheScrollArea) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText("x=(-b+-sqrt(b^2-4ac))/(2a)");
  app->EquationExtent = ExtentRecord{};
  PaintView(ViewOf(doc));
  const ExtentRecord painted = app->EquationExtent;
  EXPECT_GT(painted.width, 0);
  EXPECT_GT(painted.height, 0);
  EXPECT_EQ(ViewOf(doc)->GetTotalSize(),
            CSize(static_cast<int>(painted.width * 1.1), static_cast<int>(painted.height * 1.1)));
  EXPECT_TRUE(SameExtent(doc->MeasureOwnExtent(), painted));
}

TEST_F(DocumentExtent, EachDocumentMeasuresItself) {
  QVM400Doc* narrow = NewDocument();
  ASSERT_NE(narrow, nullptr);
  narrow->SetEquationText("x");
  QVM400Doc* wide = NewDocument();
  ASSERT_NE(wide, nullptr);
  wide->SetEquationText("x+y+z+w+alpha+beta+gamma\r\na\r\nb");
  const ExtentRecord wideExtent = wide->MeasureOwnExtent();
  // The narrow document's window paints last.
  PaintView(ViewOf(narrow));
  ASSERT_LT(app->EquationExtent.width, wideExtent.width);
  const ExtentRecord measured = wide->MeasureOwnExtent();
  EXPECT_TRUE(SameExtent(measured, wideExtent));
  EXPECT_GT(measured.height, narrow->MeasureOwnExtent().height);
  // The shared record follows the last measure.
  EXPECT_TRUE(SameExtent(app->EquationExtent, narrow->MeasureOwnExtent()));
}

TEST_F(DocumentExtent, EmptyDocumentStillHasASize) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  const ExtentRecord extent = doc->MeasureOwnExtent();
  EXPECT_GT(extent.width, 0);
  EXPECT_GT(extent.height, 0);
}

}  // namespace
