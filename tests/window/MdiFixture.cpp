// The MDI test program (see MdiFixture.h).
#include "tests/window/MdiFixture.h"

#include "framework/Print.h"

std::vector<std::string> g_route;

namespace {
// Logs the handler and lets the command go on along its route.
BOOL LogAndPassOn(const char* who) {
  g_route.push_back(who);
  return FALSE;
}
}  // namespace

IMPLEMENT_DYNCREATE(TestMainFrame, CMDIFrameWnd)
IMPLEMENT_DYNCREATE(TestChildFrame, CMDIChildWnd)
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
IMPLEMENT_DYNCREATE(TestView, CScrollView)

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
  ON_COMMAND_EX(ID_CMD_CHAIN, OnChain)
  ON_COMMAND(ID_CMD_APP, OnApp)
  ON_COMMAND(ID_CMD_MAIN, OnApp)
END_MESSAGE_MAP()

BOOL TestApp::OnChain(UINT) { return LogAndPassOn("app"); }

BOOL TestApp::OnIdle(LONG count) {
  const BOOL more = CWinApp::OnIdle(count);
  idleCounts.push_back(count);
  return more;
}

BEGIN_MESSAGE_MAP(TestMainFrame, CMDIFrameWnd)
  ON_COMMAND_EX(ID_CMD_CHAIN, OnChain)
  ON_COMMAND(ID_CMD_MAIN, OnMain)
  ON_COMMAND(ID_CMD_DISABLED, OnDisabled)
  ON_UPDATE_COMMAND_UI(ID_CMD_DISABLED, OnUpdateDisabled)
END_MESSAGE_MAP()

BOOL TestMainFrame::OnChain(UINT) { return LogAndPassOn("main"); }

BEGIN_MESSAGE_MAP(TestChildFrame, CMDIChildWnd)
  ON_COMMAND_EX(ID_CMD_CHAIN, OnChain)
END_MESSAGE_MAP()

BOOL TestChildFrame::OnChain(UINT) { return LogAndPassOn("child"); }

BEGIN_MESSAGE_MAP(TestDoc, CDocument)
  ON_COMMAND_EX(ID_CMD_CHAIN, OnChain)
  ON_COMMAND(ID_CMD_DOC, OnDoc)
  ON_UPDATE_COMMAND_UI(ID_CMD_CHECKED, OnUpdateChecked)
END_MESSAGE_MAP()

BOOL TestDoc::OnChain(UINT) { return LogAndPassOn("doc"); }

void TestDoc::Serialize(CArchive& archive) {
  if (archive.IsStoring()) {
    archive << CString("TESTDOC");
    if (failWhileSaving) AfxThrowFileException(CFileException::diskFull, -1, "test.tst");
    archive << text;
  } else {
    CString marker;
    archive >> marker;
    if (marker != "TESTDOC") AfxThrowArchiveException(CArchiveException::badSchema);
    archive >> text;
  }
}

BEGIN_MESSAGE_MAP(TestView, CScrollView)
  ON_COMMAND_EX(ID_CMD_CHAIN, OnChain)
  ON_COMMAND(ID_CMD_VIEW, OnView)
END_MESSAGE_MAP()

TestView::TestView() { SetScrollSizes(MM_HIMETRIC, CSize(10000, 10000)); }

BOOL TestView::OnChain(UINT) { return LogAndPassOn("view"); }

BOOL TestView::OnPreparePrinting(CPrintInfo* info) {
  info->SetMaxPage(pages);
  return DoPreparePrinting(info);
}

void MdiTest::SetUp() {
  g_route.clear();
  TakeShownBoxes();
  app = new TestApp;
  docTemplate = new CMultiDocTemplate(IDR_TESTDOC, RUNTIME_CLASS(TestDoc),
                                      RUNTIME_CLASS(TestChildFrame), RUNTIME_CLASS(TestView));
  app->AddDocTemplate(docTemplate);
  main = new TestMainFrame;
  ASSERT_TRUE(main->LoadFrame(IDR_MAINFRAME));
  app->m_pMainWnd = main;
  // Left hidden: without a window manager Wine waits two seconds for every
  // shown top-level window that is destroyed.
}

void MdiTest::TearDown() {
  app->CloseAllDocuments(FALSE);
  if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
  DrainMessages();
  delete app;
  TakeShownBoxes();
}

void MdiTest::WriteDocumentFile(const std::string& path, const char* text) {
  TestDoc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->text = text;
  ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
  doc->OnCloseDocument();
}

TestDoc* MdiTest::NewDocument() {
  app->OnFileNew();
  return ActiveDocument();
}

TestDoc* MdiTest::ActiveDocument() {
  CMDIChildWnd* child = main->MDIGetActive();
  return child ? static_cast<TestDoc*>(child->GetActiveDocument()) : nullptr;
}
