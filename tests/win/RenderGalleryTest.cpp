// Every render case (tests/render/cases.txt) drawn as the view draws it,
// through the equation list,
// with the invariants that must hold for any equation: it draws without
// fault; measuring again gives the same box; repaints make no tokens; the
// ink stays inside the measured box; the metafile route measures as the
// memory-DC route; no GDI object outlives a draw.
#include <gtest/gtest.h>

#include "engine/LineRender.h"
#include "engine/TreeText.h"
#include "tests/win/EmfRecords.h"
#include "tests/win/GdiTestSupport.h"

// Failures name the case rather than dumping its bytes.
void PrintTo(const RenderCase& c, std::ostream* out) { *out << c.name; }

namespace {

// Ink may reach past the box by antialiasing and italic overhang: a pixel
// at 96 dpi is 26 units of 0.01 mm.
constexpr int kInkTolerancePixels = 2;
constexpr int kScreenDpi = 96;

std::vector<RenderCase> Cases() {
  std::vector<RenderCase> cases;
  std::string error;
  EXPECT_TRUE(ReadRenderCases(OVELIN_RENDER_CASES, cases, &error)) << error;
  return cases;
}

bool SameExtent(const ExtentRecord& a, const ExtentRecord& b) {
  return a.width == b.width && a.height == b.height && a.align == b.align &&
         a.adjust == b.adjust && a.raise == b.raise && a.raised == b.raised && a.margin == b.margin;
}

std::string Describe(const ExtentRecord& r) {
  return std::to_string(r.width) + "x" + std::to_string(r.height) + " align " +
         std::to_string(r.align) + " margin " + std::to_string(r.margin);
}

int TokensMade(QVEquationList& list) {
  int made = 0;
  for (auto& engine : list.Engines) made += engine->Factory().GetCount();
  return made;
}

class RenderGallery : public testing::TestWithParam<RenderCase> {};

TEST_P(RenderGallery, DrawsWithTheInvariants) {
  const RenderCase& c = GetParam();
  GdiBalance balance;
  QVMOptions options;
  QVEquationList list;
  std::string error;
  ASSERT_TRUE(PrepareRenderList(c, options, list, &error)) << error;

  ExtentRecord first;
  {
    const auto canvas = RenderList(list, options, &first);
    ASSERT_NE(canvas, nullptr);
    const int left = HimetricToPixels(kViewMargin, kScreenDpi);
    const int top = HimetricToPixels(kViewMargin, kScreenDpi);
    const CRect box(left, top, HimetricToPixels(kViewMargin + first.width, kScreenDpi),
                    HimetricToPixels(kViewMargin + first.height, kScreenDpi));
    const CRect ink = canvas->InkBounds();
    if (!ink.IsRectEmpty()) {
      EXPECT_GE(ink.left, box.left - kInkTolerancePixels) << "ink left of the box";
      EXPECT_GE(ink.top, box.top - kInkTolerancePixels) << "ink above the box";
      EXPECT_LE(ink.right, box.right + kInkTolerancePixels) << "ink right of the box";
      EXPECT_LE(ink.bottom, box.bottom + kInkTolerancePixels) << "ink below the box";
    }
  }
  const int tokens = TokensMade(list);
  for (int repaint = 0; repaint < 3; ++repaint) {
    list.InvalidateLayout();
    ExtentRecord again;
    ASSERT_NE(RenderList(list, options, &again), nullptr);
    EXPECT_TRUE(SameExtent(again, first)) << Describe(again) << " after " << Describe(first);
  }
  EXPECT_EQ(TokensMade(list), tokens) << "repaints made tokens";

  // The same drawing, laid out once on a memory DC and once through a
  // metafile's attribute DC, recorded into metafiles and compared.
  EmfDrawing byRoute[2];
  for (int route = 0; route < 2; ++route) {
    QVMOptions routeOptions;
    QVEquationList routeList;
    ASSERT_TRUE(PrepareRenderList(c, routeOptions, routeList, &error)) << error;
    if (route == 0) MeasureListOnScreen(routeList, routeOptions);
    ExtentRecord recorded;
    HENHMETAFILE emf = RecordList(routeList, routeOptions, nullptr, &recorded);
    ASSERT_NE(emf, nullptr);
    EXPECT_TRUE(SameExtent(recorded, first)) << Describe(recorded) << " against " << Describe(first);
    byRoute[route] = ReadEmf(emf);
    ::DeleteEnhMetaFile(emf);
  }
  ASSERT_EQ(byRoute[0].texts.size(), byRoute[1].texts.size());
  for (size_t i = 0; i < byRoute[0].texts.size(); ++i) {
    EXPECT_EQ(byRoute[0].texts[i].text, byRoute[1].texts[i].text);
    EXPECT_EQ(CPoint(byRoute[0].texts[i].at), CPoint(byRoute[1].texts[i].at)) << "text " << i;
  }
  ASSERT_EQ(byRoute[0].shapes.size(), byRoute[1].shapes.size());
  for (size_t i = 0; i < byRoute[0].shapes.size(); ++i)
    EXPECT_EQ(byRoute[0].shapes[i].points.size(), byRoute[1].shapes[i].points.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, RenderGallery, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<RenderCase>& param) {
                           return param.param.name;
                         });

}  // namespace
