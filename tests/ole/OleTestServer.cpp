// A test server built on the class library: one template of the OLE test
// document, served to containers in other processes. "/Register" and
// "/Unregister" write and remove its keys; "-Embedding" serves until the
// last object is released. Change and Update (menu of resource 5) edits the
// document and saves it into its container, then closes it, as the
// program's Update and Return does.
#include "framework/App.h"
#include "framework/DocManager.h"
#include "framework/MessageBox.h"
#include "framework/Ole.h"
#include "tests/ole/OleTestDoc.h"
#include "tests/ole/OleTestIds.h"

namespace {

// No box may wait for a person in a test run: answer and go on.
int AnswerBox(HWND, const char* text, const char*, UINT) {
  ::OutputDebugStringA(text);
  return IDOK;
}

class OleTestServerApp : public CWinApp {
 public:
  OleTestServerApp() : CWinApp("Ovelin OLE Test") {}
  BOOL InitInstance() override;
  void OnChangeAndUpdate();

 private:
  COleTemplateServer server_;
  CDocTemplate* docTemplate_ = nullptr;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OleTestServerApp, CWinApp)
ON_COMMAND(ID_OLETEST_CHANGE_AND_UPDATE, OnChangeAndUpdate)
END_MESSAGE_MAP()

OleTestServerApp theApp;

BOOL OleTestServerApp::InitInstance() {
  SetMessageBoxHook(AnswerBox);
  if (!AfxOleInit()) return FALSE;
  docTemplate_ =
      new CMultiDocTemplate(IDR_OLETEST_DOC, RUNTIME_CLASS(OleTestDoc),
                            RUNTIME_CLASS(OleTestChildFrame), RUNTIME_CLASS(OleTestView));
  docTemplate_->SetServerInfo(IDR_OLETEST_EMBEDDED);
  AddDocTemplate(docTemplate_);
  server_.ConnectTemplate(kOleTestClassId, docTemplate_, FALSE);
  CCommandLineInfo info;
  ParseCommandLine(info);
  if (info.m_nShellCommand == CCommandLineInfo::AppRegister)
    return server_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, TRUE), FALSE;
  if (info.m_nShellCommand == CCommandLineInfo::AppUnregister)
    return server_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, FALSE), FALSE;
  if (!info.m_bRunEmbedded) return FALSE;  // a server only
  COleTemplateServer::RegisterAll();
  auto* main = new OleTestMainFrame;
  if (!main->LoadFrame(IDR_OLETEST_MAIN)) return FALSE;
  m_pMainWnd = main;
  m_bRunEmbedded = TRUE;
  AfxOleSetUserCtrl(FALSE);
  return TRUE;  // hidden until a verb shows a document
}

void OleTestServerApp::OnChangeAndUpdate() {
  for (POSITION pos = docTemplate_->GetFirstDocPosition(); pos;) {
    auto* doc = static_cast<OleTestDoc*>(docTemplate_->GetNextDoc(pos));
    doc->Edit("changed");
    doc->OnUpdateDocument();
  }
  HideApplication();
  CloseAllDocuments(TRUE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int cmdShow) {
  return AfxWinMain(instance, previous, commandLine, cmdShow);
}
