// QVM400App: start-up, idle refocus and the application's commands.
#include "app/App.h"

#include <commctrl.h>

#include "app/frame/ChildFrame.h"
#include "app/document/DocManager.h"
#include "app/document/Document.h"
#include "app/frame/MainFrame.h"
#include "app/document/ServerIds.h"
#include "app/MakerAddresses.h"
#include "app/startup/StartupDialogs.h"
#include "app/document/View.h"
#include "controls/TextHelpers.h"
#include "framework/DocManager.h"
#include "framework/MessageBox.h"
#include "resources/resource.h"

namespace {

constexpr const char* kSettingsFolder = "Marvolk";
constexpr const char* kRegistryKey = "Marvolk Software";
constexpr const char* kMessageCaption = "Ovelin 4";
constexpr const char* kDefaultConfiguration = "QVM3_Default";
constexpr UINT kRecentFileCount = 10;

void PlaceStore(QVIniFile& store, const char* fileName, int location) {
  store.FolderName = kSettingsFolder;
  store.FileName = fileName;
  store.Location = location;
}

}  // namespace

BEGIN_MESSAGE_MAP(QVM400App, CWinApp)
  ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
  ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
  ON_COMMAND(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
  ON_COMMAND(ID_FILE_UPDATE, OnFileUpdate)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
  ON_COMMAND(ID_UPDATE_AND_RETURN, OnUpdateAndReturn)
  ON_COMMAND(ID_CANCEL_CHANGES, OnCancelChanges)
  ON_UPDATE_COMMAND_UI(ID_UPDATE_AND_RETURN, OnUpdateEmbeddedCommand)
  ON_UPDATE_COMMAND_UI(ID_CANCEL_CHANGES, OnUpdateEmbeddedCommand)
  ON_COMMAND(ID_RESET_OPTIONS, OnResetOptions)
  ON_COMMAND(ID_WRITE_DEFAULT_CONFIG, OnWriteDefaultConfiguration)
  // About boxes, help files and manuals, language
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_ABOUT_MARVOLK, OnAboutMarvolk)
  ON_COMMAND(ID_READ_HELP_FILE, OnReadHelpFile)
  ON_COMMAND(ID_READ_MANUAL, OnReadManual)
  ON_COMMAND(ID_READ_QUICKREF_CARD, OnReadQuickrefCard)
  ON_COMMAND(ID_READ_WHATS_NEW_CARD, OnReadWhatsNewCard)
  ON_UPDATE_COMMAND_UI(ID_READ_HELP_FILE, OnUpdateReadHelpFile)
  ON_UPDATE_COMMAND_UI(ID_READ_MANUAL, OnUpdateReadManual)
  ON_UPDATE_COMMAND_UI(ID_READ_QUICKREF_CARD, OnUpdateReadQuickrefCard)
  ON_UPDATE_COMMAND_UI(ID_READ_WHATS_NEW_CARD, OnUpdateReadWhatsNewCard)
  ON_COMMAND(ID_LANGUAGE, OnLanguage)
  ON_UPDATE_COMMAND_UI(ID_LANGUAGE, OnUpdateLanguage)
  ON_COMMAND(ID_CHECK_FOR_UPDATES, OnCheckForUpdates)
  ON_UPDATE_COMMAND_UI(ID_CHECK_FOR_UPDATES, OnUpdateCheckForUpdates)
  ON_COMMAND(ID_REGISTER_NEWSLETTER, OnRegisterNewsletter)
  ON_COMMAND(ID_REGISTER_TUTORIALS, OnRegisterTutorials)
END_MESSAGE_MAP()

QVM400App* GetQVMApp() { return static_cast<QVM400App*>(AfxGetApp()); }

QVM400App::QVM400App() : CWinApp(nullptr) {
  EquationEdit = new QVEdit;
  DefaultOptions.SetDefaults(0);
  LanguageOption.Init("General", "Language", 0, "", -1);
}

QVM400App::~QVM400App() {
  delete EquationEdit;
  EquationEdit = nullptr;
}

BOOL QVM400App::InitInstance() {
  ::InitCommonControls();
  CWinApp::InitInstance();
  if (!AfxOleInit()) {
    AfxMessageBox(IDS_OLE_INIT_FAILED);
    return FALSE;
  }
  LoadSettings();
  AddTemplates();
  COleTemplateServer::RegisterAll();
  if (!CreateMainFrame()) return FALSE;
  EnableShellOpen();
  RegisterShellFileTypes(TRUE);
  CCommandLineInfo info;
  ParseCommandLine(info);
  return StartFromCommandLine(info);
}

void QVM400App::OpenStore(QVIniFile& store, const char* fileName) {
  PlaceStore(store, fileName, UserAppData);
  store.Load();
}

// The INI stores, the interface language, the registry key, the default
// options and the recent-file list.
void QVM400App::LoadSettings() {
  OpenStore(PreferenceIni, "QVM400");
  OpenStore(ControlIni, "QVM4ADJ");
  OpenStore(FontIni, "QVM4FONT");
  ApplyInterfaceLanguage();
  Startup.BindIniFile(&PreferenceIni);
  Startup.ProductId = kThisProductId;
  SetRegistryKey(kRegistryKey);
  DefaultOptions.ReadIni(PreferenceIni);
  LoadStdProfileSettings(kRecentFileCount);
}

// Before the main frame and its menus are loaded: the module named by the
// option becomes the resource module. A first start records the language in
// effect, so the choice is visible in the settings file.
void QVM400App::ApplyInterfaceLanguage() {
  LanguageOption.ReadIni(PreferenceIni);
  LanguageManager.FindModules("QVM400", ProgramDirectory());
  const CString code = LanguageManager.LoadModule(LanguageOption.GetValue());
  if (!LanguageOption.GetValue().IsEmpty()) return;
  LanguageOption.SetValue(code);
  LanguageOption.WriteIni(PreferenceIni, false);
  PreferenceIni.Save();
}

// Our document manager first, so that File New never asks for a template.
void QVM400App::AddTemplates() {
  if (!m_pDocManager) m_pDocManager = new QVDocManager;
  CDocTemplate* templates[2] = {};
  for (int i : {0, 1}) {
    templates[i] = new CMultiDocTemplate(i == 0 ? IDR_QVM400TYPE : IDR_QVPTYPE,
                                         RUNTIME_CLASS(QVM400Doc), RUNTIME_CLASS(CChildFrame),
                                         RUNTIME_CLASS(QVM400View));
    templates[i]->SetServerInfo(IDR_SRVR_EMBEDDED);
    AddDocTemplate(templates[i]);
  }
  TemplateServer[1].ConnectTemplate(kQvpClassId, templates[1], FALSE);
  TemplateServer[0].ConnectTemplate(kEquationClassId, templates[0], FALSE);
}

BOOL QVM400App::CreateMainFrame() {
  auto* frame = new CMainFrame;
  if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
    return FALSE;  // the frame has deleted itself
  m_pMainWnd = frame;
  frame->DragAcceptFiles(TRUE);
  return TRUE;
}

// Only the shell's DDE start waits hidden for the commands that follow; a
// file named on the command line is opened here and the window shown, also
// when the file could not be opened (the user has seen why). Registering
// and unregistering end the program in ProcessShellCommand.
BOOL QVM400App::StartFromCommandLine(CCommandLineInfo& info) {
  RunningEmbedded = 0;
  RunStartupServices = 1;
  const int command = info.m_nShellCommand;
  auto* frame = static_cast<CFrameWnd*>(m_pMainWnd);
  if (info.m_bRunEmbedded || info.m_bRunAutomated) {
    StartEmbedded(info);
  } else if (command == CCommandLineInfo::AppUnregister) {
    UnregisterShellFileTypes();
    UpdateServerRegistry(FALSE);
    RunStartupServices = 0;
  } else if (command == CCommandLineInfo::AppRegister) {
    UpdateServerRegistry(TRUE);
    RunStartupServices = 0;
  } else if (command == CCommandLineInfo::FileDDE) {
    frame->ActivateFrame(SW_HIDE);
    return TRUE;
  }
  {
    EquationTextHold hold(*this);  // a document opened here shows once the window does
    if (!ProcessShellCommand(info) && command != CCommandLineInfo::FileOpen) return FALSE;
    if (RunningEmbedded) return TRUE;  // a container's verb shows the window
    frame->ShowWindow(m_nCmdShow);
    frame->UpdateWindow();
  }
  if (RunStartupServices) Startup.RunStartupSequence();
  return TRUE;
}

// An untitled document would hold the server after its containers let go
// of their objects, so the server starts with none.
void QVM400App::StartEmbedded(CCommandLineInfo& info) {
  RunningEmbedded = 1;
  ControlIni.WriteInt("Control", "Running", 1, true);
  ControlIni.Save();
  info.m_nShellCommand = CCommandLineInfo::FileNothing;
}

// The second server first, so that the shared ProgID names the first
// template's class.
void QVM400App::UpdateServerRegistry(BOOL registering) {
  TemplateServer[1].UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, registering);
  TemplateServer[0].UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, registering);
}

// After the update-UI of the base: once the queue has stayed empty, a
// requested refocus puts the keyboard into the text box.
BOOL QVM400App::OnIdle(LONG count) {
  const BOOL more = CWinApp::OnIdle(count);
  // Print preview hides the box and takes the keys; the box gets them after.
  const auto* main = dynamic_cast<CFrameWnd*>(m_pMainWnd);
  const bool previewing = main && main->GetPreview();
  if (count > 0 && !Startup.UpdateDialog && RefocusEdit && EquationEditWindow() && !previewing) {
    EquationEdit->SetFocus();
    RefocusEdit = 0;
  }
  return more;
}

CDocTemplate* QVM400App::FindTemplate(const char* name) const {
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
    CDocTemplate* docTemplate = GetNextDocTemplate(pos);
    CString docName;
    docTemplate->GetDocString(docName, CDocTemplate::docName);
    if (docName == name) return docTemplate;
  }
  return nullptr;
}

std::vector<CDocument*> QVM400App::DocumentsOf(const char* name) const {
  std::vector<CDocument*> docs;
  if (CDocTemplate* docTemplate = FindTemplate(name))
    for (POSITION pos = docTemplate->GetFirstDocPosition(); pos;)
      docs.push_back(docTemplate->GetNextDoc(pos));
  return docs;
}

HWND QVM400App::EquationEditWindow() {
  ShowHeldText();
  return EquationEdit ? EquationEdit->GetSafeHwnd() : nullptr;
}

// Opening a document shows its text twice (when it is read and when its
// view is activated): the box lays out long text slowly, and writing it
// again would also empty its undo buffer for nothing.
void QVM400App::ShowInEquationEdit(const CString& text) {
  if (equationTextHolds_ > 0) {
    heldEquationText_ = text;
    equationTextHeld_ = true;
  } else {
    PutInEquationEdit(text);
  }
}

void QVM400App::PutInEquationEdit(const CString& text) {
  if (EquationEdit && EquationEdit->GetSafeHwnd() && EquationEdit->GetWindowText() != text)
    EquationEdit->SetWindowText(text);
}

void QVM400App::ShowHeldText() {
  if (!equationTextHeld_) return;
  equationTextHeld_ = false;
  PutInEquationEdit(heldEquationText_);
  heldEquationText_.Empty();
}

EquationTextHold::~EquationTextHold() {
  if (--app_.equationTextHolds_ > 0) return;
  CWnd* main = app_.m_pMainWnd;
  if (app_.equationTextHeld_ && main && main->IsWindowVisible())
    main->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  app_.ShowHeldText();
}

CDocument* QVM400App::OpenDocumentFile(const char* fileName) {
  EquationTextHold hold(*this);
  return CWinApp::OpenDocumentFile(fileName);
}

BOOL QVM400App::PrepareDocumentsForClose(bool updateEmbedded) {
  for (const char* name : {"QVP", "Ovelin4"}) {
    for (CDocument* doc : DocumentsOf(name)) {
      if (!doc->m_bEmbedded) {
        if (!doc->SaveModified()) return FALSE;
      } else if (updateEmbedded) {
        auto* serverDoc = static_cast<COleServerDoc*>(doc);
        serverDoc->UpdateAllItems(nullptr, 0, nullptr, DVASPECT_CONTENT);
        if (!serverDoc->OnUpdateDocument()) return FALSE;
      }
    }
  }
  return TRUE;
}

void QVM400App::OnAppExit() {
  if (RunningEmbedded)
    OnUpdateAndReturn();
  else if (m_pMainWnd)
    m_pMainWnd->SendMessage(WM_CLOSE);
}

void QVM400App::OnUpdateAndReturn() {
  ControlIni.WriteInt("Control", "Running", 0, true);
  ControlIni.Save();
  if (!PrepareDocumentsForClose(true)) return;
  HideApplication();
  CloseAllDocuments(TRUE);
}

void QVM400App::OnCancelChanges() {
  if (!PrepareDocumentsForClose(false)) return;
  HideApplication();
  CloseAllDocuments(TRUE);
}

void QVM400App::OnUpdateEmbeddedCommand(CCmdUI* cmdUI) { cmdUI->Enable(RunningEmbedded != 0); }

// The store has already told the user when the file could not be written;
// a success message must not follow it.
bool QVM400App::WriteConfiguration(QVIniFile& store, bool writeDefaults) {
  return DefaultOptions.WriteIni(store, writeDefaults);
}

// Writes the factory defaults beside the program; the running options stay.
void QVM400App::OnResetOptions() {
  if (ResourceMessageBox(IDS_ABOUT_TO_RESET_OPTIONS, IDS_APP_TITLE, MB_OKCANCEL) == IDOK) {
    QVIniFile store;
    PlaceStore(store, kDefaultConfiguration, ProgramFolder);
    if (WriteConfiguration(store, true))
      ShowMessageBox(nullptr, LoadResourceString(IDS_OPTIONS_RESET_DONE), kMessageCaption, MB_OK);
  }
  RefocusEdit = 1;
}

void QVM400App::OnWriteDefaultConfiguration() {
  QVIniFile store;
  PlaceStore(store, kDefaultConfiguration, ProgramFolder);
  if (!WriteConfiguration(store, false)) {
    RefocusEdit = 1;
    return;
  }
  const CString text = LoadResourceString(IDS_DEFAULT_CONFIG_WRITTEN) +
                       store.ResolvePath(ProgramFolder, true) +
                       LoadResourceString(IDS_DEFAULT_CONFIG_HOWTO);
  ShowMessageBox(nullptr, text, kMessageCaption, MB_OK);
  RefocusEdit = 1;
}

void QVM400App::OnCheckForUpdates() {
  Startup.ToggleCheckForUpdates();
  RefocusEdit = 1;
}

// Opening the Help menu ends with the focus back in the text box.
void QVM400App::OnUpdateCheckForUpdates(CCmdUI* cmdUI) {
  Startup.SetUpdateCheckMark(cmdUI);
  RefocusEdit = 1;
}

void QVM400App::OnRegisterNewsletter() {
  OpenNewsletterPage();
  RefocusEdit = 1;
}

void QVM400App::OnRegisterTutorials() {
  OpenTutorialsPage();
  RefocusEdit = 1;
}
