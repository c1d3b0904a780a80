// Documents and views: titles, the modified flag and the save prompt, safe
// saving, opening, scroll sizes of a scroll view in 0.01 mm.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "framework/FileDialog.h"
#include "tests/portable/TempFolder.h"
#include "tests/window/MdiFixture.h"

namespace {

class DocViewTest : public MdiTest {
 protected:
  void CloseActiveFrame() { main->MDIGetActive()->SendMessage(WM_CLOSE); }
  static std::string Read(const std::string& path) { return TempFolder::Read(path); }
  TempFolder folder;
};

TEST_F(DocViewTest, NewDocumentsAreNumberedAndStartClean) {
  TestDoc* first = NewDocument();
  TestDoc* second = NewDocument();
  ASSERT_TRUE(first && second);
  EXPECT_STREQ(first->GetTitle(), "TestDoc1");
  EXPECT_STREQ(second->GetTitle(), "TestDoc2");
  EXPECT_FALSE(first->IsModified());
  EXPECT_EQ(OpenCount(), 2);
  CMDIChildWnd* child = main->MDIGetActive();
  EXPECT_STREQ(child->GetWindowText(), "TestDoc2");
}

TEST_F(DocViewTest, SecondWindowOfADocumentNumbersBothTitles) {
  TestDoc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  main->SendMessage(WM_COMMAND, ID_WINDOW_NEW);
  EXPECT_EQ(doc->GetViewCount(), 2);
  EXPECT_STREQ(main->MDIGetActive()->GetWindowText(), "TestDoc1:2");
  CloseActiveFrame();  // one window of two: no question, the document stays
  EXPECT_EQ(doc->GetViewCount(), 1);
  EXPECT_STREQ(main->MDIGetActive()->GetWindowText(), "TestDoc1");
  EXPECT_TRUE(TakeShownBoxes().empty());
}

TEST_F(DocViewTest, ClosingAModifiedDocumentAsksFirst) {
  struct Case {
    int answer;
    bool stillOpen;
  };
  const Case cases[] = {{IDCANCEL, true}, {IDNO, false}};
  for (const Case& c : cases) {
    TestDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    doc->SetModifiedFlag();
    QueueBoxAnswers({c.answer});
    CloseActiveFrame();
    const auto boxes = TakeShownBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Save changes to " + std::string(doc->GetTitle()) + "?");
    EXPECT_EQ(boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(boxes[0].caption, "Ovelin Test");
    EXPECT_EQ(OpenCount(), c.stillOpen ? 1 : 0);
    if (c.stillOpen) {
      doc->SetModifiedFlag(FALSE);
      CloseActiveFrame();
    }
    EXPECT_EQ(OpenCount(), 0);
  }
}

TEST_F(DocViewTest, YesSavesToTheDocumentsPathThenCloses) {
  TestDoc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  const std::string path = folder.File("saved.tst");
  doc->SetPathName(path.c_str(), FALSE);
  doc->text = "equation";
  doc->SetModifiedFlag();
  QueueBoxAnswers({IDYES});
  CloseActiveFrame();
  EXPECT_EQ(OpenCount(), 0);
  const std::string bytes = Read(path);
  EXPECT_NE(bytes.find("TESTDOC"), std::string::npos);
  EXPECT_NE(bytes.find("equation"), std::string::npos);
}

TEST_F(DocViewTest, FailedSaveKeepsTheOldFileAndTheDocumentOpen) {
  const std::string path = folder.File("kept.tst");
  TempFolder::Write(path, "old contents");
  TestDoc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetPathName(path.c_str(), FALSE);
  doc->failWhileSaving = true;
  doc->SetModifiedFlag();
  QueueBoxAnswers({IDYES});
  CloseActiveFrame();
  EXPECT_EQ(OpenCount(), 1);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(Read(path), "old contents");
  const auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "Disk full while accessing test.tst.");
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
  doc->SetModifiedFlag(FALSE);
}

TEST_F(DocViewTest, OpenReadsTheFileAndASecondOpenActivatesIt) {
  const std::string path = folder.File("open.tst");
  WriteDocumentFile(path, "read me");
  CDocument* opened = app->OpenDocumentFile(path.c_str());
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(static_cast<TestDoc*>(opened)->text, "read me");
  EXPECT_STREQ(opened->GetTitle(), "open.tst");
  EXPECT_FALSE(opened->IsModified());
  EXPECT_EQ(app->OpenDocumentFile(path.c_str()), opened);
  EXPECT_EQ(OpenCount(), 1);
}

TEST_F(DocViewTest, UnreadableFileIsReportedAndNothingOpens) {
  const std::string path = folder.File("bad.tst");
  TempFolder::Write(path, "\x03xyz");
  EXPECT_EQ(app->OpenDocumentFile(path.c_str()), nullptr);
  EXPECT_EQ(OpenCount(), 0);
  const auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("bad.tst"), std::string::npos);
  EXPECT_EQ(app->OpenDocumentFile(folder.File("missing.tst").c_str()), nullptr);
  EXPECT_EQ(TakeShownBoxes().size(), 1u);
}

TEST_F(DocViewTest, SaveAsAsksForANameThroughTheFileDialogHook) {
  static std::string chosen;
  static CString offered;
  chosen = folder.File("chosen.tst");
  auto previous = CFileDialog::SetFileDialogHook([](CFileDialog& dialog) -> INT_PTR {
    offered = dialog.GetPathName();
    dialog.SetPathName(chosen.c_str());
    return IDOK;
  });
  TestDoc* doc = NewDocument();
  main->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
  CFileDialog::SetFileDialogHook(previous);
  EXPECT_STREQ(offered, "TestDoc1.tst");
  EXPECT_STREQ(doc->GetPathName(), chosen.c_str());
  EXPECT_STREQ(doc->GetTitle(), "chosen.tst");
  EXPECT_NE(Read(chosen).find("TESTDOC"), std::string::npos);
}

TEST_F(DocViewTest, DocumentStringsHaveSevenFields) {
  const char* expected[] = {"",      "TestDoc", "Test Document", "Test Files", ".tst;.tsx",
                            "OvelinTest.Document", "Ovelin Test Document"};
  for (int i = 0; i < 7; ++i) {
    CString value;
    docTemplate->GetDocString(value, static_cast<CDocTemplate::DocStringIndex>(i));
    EXPECT_STREQ(value, expected[i]) << i;
  }
}

TEST_F(DocViewTest, ScrollSizesInHundredthsOfAMillimetre) {
  ASSERT_NE(NewDocument(), nullptr);
  auto* view = static_cast<TestView*>(main->MDIGetActive()->GetActiveView());
  ASSERT_NE(view, nullptr);
  view->SetScrollSizes(MM_HIMETRIC, CSize(11000, 5500));
  EXPECT_EQ(view->GetTotalSize(), CSize(11000, 5500));
  EXPECT_EQ(view->GetMapMode(), MM_HIMETRIC);
  HDC screen = ::GetDC(nullptr);
  const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  // 110 mm and 55 mm at the screen's resolution, within rounding.
  EXPECT_NEAR(view->GetDeviceTotalSize().cx, 11000.0 * dpiX / 2540, 1.0);
  EXPECT_NEAR(view->GetDeviceTotalSize().cy, 5500.0 * dpiY / 2540, 1.0);
  EXPECT_EQ(view->GetDevicePageSize().cx, view->GetDeviceTotalSize().cx / 10);
  SCROLLINFO info{};
  view->GetScrollInfo(SB_HORZ, &info);
  EXPECT_EQ(info.nMax, view->GetDeviceTotalSize().cx - 1);
  // Drawing happens in MM_HIMETRIC, moved by the scroll position.
  view->SendMessage(WM_HSCROLL, SB_LINEDOWN);
  HDC dc = view->GetDC();
  view->OnPrepareDC(dc);
  EXPECT_EQ(::GetMapMode(dc), MM_HIMETRIC);
  POINT origin{};
  ::GetViewportOrgEx(dc, &origin);
  EXPECT_EQ(origin.x, -view->GetDeviceScrollPosition().x);
  view->ReleaseDC(dc);
}

}  // namespace
