// A small MDI program for the routing, update-UI and document tests: an
// application, a main frame, a child frame, a document and a scroll view,
// each of which logs the commands it handles.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/DocManager.h"
#include "framework/DocView.h"
#include "framework/Frame.h"
#include "tests/window/TestIds.h"
#include "tests/window/WinTestSupport.h"

// What handled which command, in order.
extern std::vector<std::string> g_route;

class TestApp : public CWinApp {
 public:
  TestApp() : CWinApp("Ovelin Test") {}
  BOOL OnIdle(LONG count) override;
  BOOL OnChain(UINT);
  void OnApp() { g_route.push_back("app"); }
  std::vector<LONG> idleCounts;
  DECLARE_MESSAGE_MAP()
};

class TestMainFrame : public CMDIFrameWnd {
  DECLARE_DYNCREATE(TestMainFrame)
 public:
  BOOL OnChain(UINT);
  void OnMain() { g_route.push_back("main"); }
  void OnDisabled() { g_route.push_back("disabled ran"); }
  void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
  DECLARE_MESSAGE_MAP()
};

class TestChildFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(TestChildFrame)
 public:
  BOOL OnChain(UINT);
  DECLARE_MESSAGE_MAP()
};

class TestDoc : public CDocument {
  DECLARE_DYNCREATE(TestDoc)
 public:
  void Serialize(CArchive& archive) override;
  BOOL OnChain(UINT);
  void OnDoc() { g_route.push_back("doc"); }
  void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(1); }
  CString text;
  bool failWhileSaving = false;
  DECLARE_MESSAGE_MAP()
};

class TestView : public CScrollView {
  DECLARE_DYNCREATE(TestView)
 public:
  TestView();
  void OnDraw(CDC*) override { ++paints; }
  BOOL OnPreparePrinting(CPrintInfo* info) override;
  BOOL OnChain(UINT);
  void OnView() { g_route.push_back("view"); }
  int paints = 0;
  UINT pages = 1;  // pages it prints
  DECLARE_MESSAGE_MAP()
};

// Builds the program: app, template, main frame (shown).
class MdiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TestDoc* NewDocument();
  // A document file written through a new document, which is closed again.
  void WriteDocumentFile(const std::string& path, const char* text);
  TestDoc* ActiveDocument();
  int OpenCount() const { return app->GetOpenDocumentCount(); }

  TestApp* app = nullptr;
  CMultiDocTemplate* docTemplate = nullptr;
  TestMainFrame* main = nullptr;
};
