// The road of an edit: from the text box to the document, its equation
// list and its views, and the normalised text back into the box.
#include "app/frame/ChildFrame.h"
#include "framework/DocManager.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"

namespace {

// A view that counts the updates its document sends.
class CountingView : public QVM400View {
  DECLARE_DYNCREATE(CountingView)
 public:
  void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override {
    ++updates;
    QVM400View::OnUpdate(sender, hint, hintObject);
  }
  int updates = 0;
};
IMPLEMENT_DYNCREATE(CountingView, QVM400View)

using RoadOfEdit = AppTest;

TEST_F(RoadOfEdit, NewDocumentStartsWithTwentyEmptyLinesInTheBox) {
  Type("left over");
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(BoxText(), EmptyEquationText());
  EXPECT_EQ(doc->EquationText, EmptyEquationText());
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(RoadOfEdit, TypingIsNormalisedToTwentyLinesAndKeepsTheCaret) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  SetCaret(0);
  Type("x");
  EXPECT_EQ(BoxText(), TwentyLines({"x"}));
  EXPECT_EQ(doc->EquationText, TwentyLines({"x"}));
  int start = -1, end = -1;
  app->EquationEdit->GetSel(start, end);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(end, 1);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->Equation.Engines[0]->GetText(), "x");
}

TEST_F(RoadOfEdit, SurplusAndMissingLinesAreNormalised) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  // Twenty-five lines: the extra line breaks stay inside line twenty.
  CString many;
  for (int i = 1; i <= 25; ++i) many.AppendFormat(i < 25 ? "%d\r\n" : "%d", i);
  app->EquationEdit->SetSel(0, -1);
  Type(many);
  EXPECT_EQ(BoxText(), many);
  EXPECT_EQ(doc->Equation.Lines[19], "20\r\n21\r\n22\r\n23\r\n24\r\n25");
  // Deleting every line break: filled up to twenty lines again, caret kept.
  app->EquationEdit->SetSel(0, -1);
  Type("a=b");
  EXPECT_EQ(BoxText(), TwentyLines({"a=b"}));
  int start = -1, end = -1;
  app->EquationEdit->GetSel(start, end);
  EXPECT_EQ(start, 3);
}

TEST_F(RoadOfEdit, OnlyChangedLinesAreParsedAgain) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText("x+1=2\r\ny=10");
  QVMToken* firstLine = doc->Equation.Engines[0]->Root().GetAt(0);
  const CString secondTree = doc->Equation.Engines[1]->DumpTree();
  doc->SetEquationText("x+1=2\r\ny=sqrt(2)");
  EXPECT_EQ(doc->Equation.Engines[0]->Root().GetAt(0), firstLine);
  EXPECT_NE(doc->Equation.Engines[1]->DumpTree(), secondTree);
  EXPECT_EQ(doc->Equation.Engines[1]->GetText(), "y=sqrt(2)");
}

TEST_F(RoadOfEdit, EveryEditMarksTheDocumentAndUpdatesItsViews) {
  auto* counting = new CMultiDocTemplate(IDR_QVM400TYPE, RUNTIME_CLASS(QVM400Doc),
                                         RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CountingView));
  app->AddDocTemplate(counting);
  auto* doc = static_cast<QVM400Doc*>(counting->OpenDocumentFile(nullptr));
  ASSERT_NE(doc, nullptr);
  auto* view = static_cast<CountingView*>(ViewOf(doc));
  const int before = view->updates;
  doc->SetModifiedFlag(FALSE);
  Type("y");
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(view->updates, before + 1);
}

// Each document window brings its own text into the one box, so typing
// after a switch edits the document shown and never another one.
TEST_F(RoadOfEdit, SwitchingDocumentWindowsLoadsThatDocumentsText) {
  QVM400Doc* first = NewDocument();
  ASSERT_NE(first, nullptr);
  SetCaret(0);
  Type("a");
  QVM400Doc* second = NewDocument();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(BoxText(), EmptyEquationText());
  SetCaret(0);
  Type("b");
  ASSERT_EQ(second->EquationText, TwentyLines({"b"}));

  frame->MDIActivate(ViewOf(first)->GetParentFrame());
  ASSERT_EQ(ActiveDocument(), first);
  EXPECT_EQ(BoxText(), TwentyLines({"a"}));
  SetCaret(1);
  Type("c");
  EXPECT_EQ(first->EquationText, TwentyLines({"ac"}));
  EXPECT_EQ(second->EquationText, TwentyLines({"b"}));

  frame->MDIActivate(ViewOf(second)->GetParentFrame());
  EXPECT_EQ(BoxText(), TwentyLines({"b"}));
}

TEST_F(RoadOfEdit, WithoutADocumentOnlyTheBoxChanges) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  app->CloseAllDocuments(FALSE);
  ASSERT_EQ(ActiveDocument(), nullptr);
  app->EquationEdit->SetWindowText("");
  Type("z");
  EXPECT_EQ(BoxText(), "z");
}

TEST_F(RoadOfEdit, ScrollAreaIsOnePointOneTimesTheExtent) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  QVM400View* view = ViewOf(doc);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetTotalSize(), CSize(10000, 10000));
  const struct {
    int width, height, scrollWidth, scrollHeight;
  } cases[] = {
      {10000, 5000, 11000, 5500},
      {10001, 3, 11001, 3},  // truncated toward zero
      {1234, 999, 1357, 1098},
  };
  for (const auto& c : cases) {
    ExtentRecord extent;
    extent.width = c.width;
    extent.height = c.height;
    view->SizeToExtent(extent);
    EXPECT_EQ(view->GetTotalSize(), CSize(c.scrollWidth, c.scrollHeight)) << c.width;
    EXPECT_EQ(view->GetMapMode(), MM_HIMETRIC);
  }
}

}  // namespace

// A line typed below the part of the equation the view shows repaints
// nothing there, yet the scroll bar must grow to reach it.
TEST_F(RoadOfEdit, ScrollRangeReachesALineTypedOutOfSight) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  QVM400View* view = ViewOf(doc);
  SetCaret(app->EquationEdit->LineIndex(2));
  Type("a=1");
  PaintView(view);
  SetCaret(app->EquationEdit->LineIndex(19));
  Type("y=2");
  EXPECT_GT(view->GetTotalSize().cy, doc->MeasureOwnExtent().height);
}
