// CWinThread and CWinApp.
#include "framework/App.h"

#include <process.h>

#include <cstdlib>

#include "framework/CommonDialogs.h"
#include "framework/Dc.h"
#include "framework/DocManager.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"
#include "framework/MessageBox.h"
#include "framework/Ole.h"
#include "framework/RecentFileList.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
  ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
  ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

namespace {

CWinApp* g_app = nullptr;
thread_local CWinThread* t_thread = nullptr;
thread_local MSG t_lastPumped{};

// The program's file name without folder and extension.
CString ModuleBaseName() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  CString name(path);
  name = name.Mid(name.ReverseFind('\\') + 1);
  const int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

CWinApp* AfxGetApp() { return g_app; }
CWinThread* AfxGetThread() { return t_thread; }

CWnd* AfxGetMainWnd() {
  CWinThread* thread = AfxGetThread();
  return thread ? thread->GetMainWnd() : nullptr;
}

CString AfxGetAppName() { return g_app ? g_app->m_strAppName : ModuleBaseName(); }

HINSTANCE AfxGetInstanceHandle() {
  return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

int AfxMessageBox(const char* text, UINT type, UINT helpId) {
  if (g_app) return g_app->DoMessageBox(text, type, helpId);
  return ShowMessageBox(nullptr, text, AfxGetAppName(), type);
}

int AfxMessageBox(UINT idPrompt, UINT type, UINT helpId) {
  CString text;
  text.LoadString(idPrompt);
  return AfxMessageBox(text, type, helpId == static_cast<UINT>(-1) ? idPrompt : helpId);
}

const MSG* AfxLastPumpedMessage() { return &t_lastPumped; }

BOOL AfxPumpMessage() {
  if (CWinThread* thread = AfxGetThread()) {
    const BOOL more = thread->PumpMessage();
    t_lastPumped = thread->m_msgCur;
    return more;
  }
  MSG& msg = t_lastPumped;
  if (!::GetMessageA(&msg, nullptr, 0, 0)) return FALSE;
  if (!AfxWalkPreTranslateTree(nullptr, &msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return TRUE;
}

BOOL AfxIsIdleMessage(const MSG* msg) {
  static thread_local POINT lastMouse{-1, -1};
  if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
    if (msg->pt.x == lastMouse.x && msg->pt.y == lastMouse.y) return FALSE;
    lastMouse = msg->pt;
    return TRUE;
  }
  // WM_PAINT, WM_TIMER and the system's caret blink timer (0x0118).
  return msg->message != WM_PAINT && msg->message != WM_TIMER && msg->message != 0x0118;
}

// --- CWinThread ---------------------------------------------------------------

CWinThread::CWinThread() {
  if (!t_thread) t_thread = this;
  m_nThreadID = ::GetCurrentThreadId();
}

CWinThread::CWinThread(ThreadProc proc, void* param) : proc_(proc), param_(param) {}

CWinThread::~CWinThread() {
  if (t_thread == this) t_thread = nullptr;
  if (m_hThread) ::CloseHandle(m_hThread);
}

unsigned __stdcall CWinThread::ThreadEntry(void* self) {
  auto* thread = static_cast<CWinThread*>(self);
  t_thread = thread;
  UINT code = 0;
  // Guard: an exception must not escape the thread's entry point.
  try {
    code = thread->proc_(thread->param_);
  } catch (...) {
    AfxReportCurrentException();
    code = static_cast<UINT>(-1);
  }
  // What the class library kept for this thread goes with it: nothing may be
  // left to thread-exit destructors (see the window layer's state).
  CWnd::DeleteThreadState();
  CGdiObject::DeleteTempMap();
  CDC::DeleteTempMap();
  t_thread = nullptr;
  if (thread->m_bAutoDelete) delete thread;
  return code;
}

BOOL CWinThread::CreateThread(DWORD createFlags, UINT stackSize) {
  unsigned id = 0;
  m_hThread = reinterpret_cast<HANDLE>(
      _beginthreadex(nullptr, stackSize, &ThreadEntry, this, createFlags, &id));
  m_nThreadID = id;
  return m_hThread != nullptr;
}

CWinThread* AfxBeginThread(CWinThread::ThreadProc proc, void* param, int priority,
                           UINT stackSize, DWORD createFlags) {
  auto* thread = new CWinThread(proc, param);
  if (!thread->CreateThread(createFlags | CREATE_SUSPENDED, stackSize)) {
    delete thread;
    return nullptr;
  }
  ::SetThreadPriority(thread->m_hThread, priority);
  if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(thread->m_hThread);
  return thread;
}

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
  CWnd* main = GetMainWnd();
  HWND stop = main ? main->GetSafeHwnd() : nullptr;
  if (AfxWalkPreTranslateTree(stop, msg)) return TRUE;
  // The main frame also sees keys of windows outside its tree (for example a
  // modeless tool window), for its accelerators.
  if (main && main->GetSafeHwnd() && msg->hwnd && !::IsChild(stop, msg->hwnd) &&
      msg->hwnd != stop && main->PreTranslateMessage(msg))
    return TRUE;
  return FALSE;
}

BOOL CWinThread::PumpMessage() {
  if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;
  BOOL eaten = FALSE;
  // Guard: PreTranslateMessage runs outside any window procedure.
  try {
    eaten = PreTranslateMessage(&m_msgCur);
  } catch (...) {
    AfxReportCurrentException();
    eaten = TRUE;
  }
  if (!eaten) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessageA(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* msg) { return AfxIsIdleMessage(msg); }

// Floating control bars live in popups that the main window owns, outside
// its descendants: their buttons are updated too.
void CWinThread::UpdateOwnedPopups(HWND owner) {
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND popup, LPARAM ownerParam) -> BOOL {
        if (::GetWindow(popup, GW_OWNER) != reinterpret_cast<HWND>(ownerParam) ||
            !::IsWindowVisible(popup))
          return TRUE;
        ::EnumChildWindows(
            popup,
            [](HWND child, LPARAM) -> BOOL {
              ::SendMessageA(child, WM_IDLEUPDATECMDUI, TRUE, 0);
              return TRUE;
            },
            0);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(owner));
}

BOOL CWinThread::OnIdle(LONG count) {
  if (count <= 0) {
    CWnd* main = GetMainWnd();
    if (main && main->GetSafeHwnd() && main->IsWindowVisible()) {
      main->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
      main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
      UpdateOwnedPopups(main->m_hWnd);
    }
    return TRUE;
  }
  CWnd::DeleteTempMap();
  return FALSE;
}

// Idles until OnIdle declines, then pumps messages until the queue is empty.
int CWinThread::Run() {
  bool idle = true;
  LONG idleCount = 0;
  MSG peek;
  for (;;) {
    while (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      BOOL more = FALSE;
      // Guard: idle work runs outside any window procedure.
      try {
        more = OnIdle(idleCount++);
      } catch (...) {
        AfxReportCurrentException();
      }
      if (!more) idle = false;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&m_msgCur)) {
        idle = true;
        idleCount = 0;
      }
    } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
  }
}

// --- CWinApp ------------------------------------------------------------------------

CWinApp::CWinApp(const char* appName) {
  g_app = this;
  t_thread = this;
  m_hInstance = ::GetModuleHandleA(nullptr);
  m_strExeName = ModuleBaseName();
  if (appName) {
    m_strAppName = appName;
  } else if (!m_strAppName.LoadString(AFX_IDS_APP_TITLE)) {
    m_strAppName = m_strExeName;
  }
  m_strProfileName = m_strAppName + ".INI";
}

CWinApp::~CWinApp() {
  delete m_pDocManager;
  delete m_pRecentFileList;
  if (m_atomApp) ::GlobalDeleteAtom(m_atomApp);
  if (m_atomSystemTopic) ::GlobalDeleteAtom(m_atomSystemTopic);
  if (m_hDevMode) ::GlobalFree(m_hDevMode);
  if (m_hDevNames) ::GlobalFree(m_hDevNames);
  if (g_app == this) g_app = nullptr;
}

int CWinApp::ExitInstance() {
  if (m_pRecentFileList) SaveStdProfileSettings();
  AfxOleTerm();
  // Global atoms outlive the process: give them back here, since the
  // program may end without running its destructors.
  if (m_atomApp) ::GlobalDeleteAtom(m_atomApp);
  if (m_atomSystemTopic) ::GlobalDeleteAtom(m_atomSystemTopic);
  m_atomApp = m_atomSystemTopic = 0;
  return CWinThread::ExitInstance();
}

int CWinApp::Run() {
  // Nothing to show and nobody to serve: end at once.
  if (!m_pMainWnd && !m_bRunEmbedded && !m_bRunAutomated) ::PostQuitMessage(0);
  return CWinThread::Run();
}

BOOL CWinApp::OnIdle(LONG count) { return CWinThread::OnIdle(count); }

int CWinApp::DoMessageBox(const char* prompt, UINT type, UINT) {
  if ((type & MB_ICONMASK) == 0) {
    switch (type & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL: type |= MB_ICONEXCLAMATION; break;
      case MB_YESNO:
      case MB_YESNOCANCEL: type |= MB_ICONQUESTION; break;
      default: break;
    }
  }
  HWND owner = nullptr;
  if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd() && main->IsWindowVisible())
    owner = ::GetLastActivePopup(main->GetSafeHwnd());
  return ShowMessageBox(owner, prompt, m_strAppName, type);
}

// --- documents (handed to the document manager) ----------------------------------------

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
  if (!m_pDocManager) m_pDocManager = new CDocManager;
  m_pDocManager->AddDocTemplate(docTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const {
  return m_pDocManager ? m_pDocManager->GetFirstDocTemplatePosition() : nullptr;
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const {
  return m_pDocManager->GetNextDocTemplate(pos);
}

CDocument* CWinApp::OpenDocumentFile(const char* fileName) {
  return m_pDocManager ? m_pDocManager->OpenDocumentFile(fileName) : nullptr;
}

void CWinApp::AddToRecentFileList(const char* pathName) {
  if (m_pRecentFileList) m_pRecentFileList->Add(pathName);
}

BOOL CWinApp::SaveAllModified() { return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE; }

void CWinApp::CloseAllDocuments(BOOL endSession) {
  if (m_pDocManager) m_pDocManager->CloseAllDocuments(endSession);
}

int CWinApp::GetOpenDocumentCount() const {
  return m_pDocManager ? m_pDocManager->GetOpenDocumentCount() : 0;
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog,
                               CDocTemplate* docTemplate) {
  if (!m_pDocManager) m_pDocManager = new CDocManager;
  return m_pDocManager->DoPromptFileName(fileName, titleId, flags, openFileDialog, docTemplate);
}

void CWinApp::HideApplication() {
  if (!m_pMainWnd || !m_pMainWnd->GetSafeHwnd()) return;
  ::ShowOwnedPopups(m_pMainWnd->GetSafeHwnd(), FALSE);
  m_pMainWnd->ShowWindow(SW_HIDE);
}

void CWinApp::OnFileNew() {
  if (m_pDocManager) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
  if (!m_pDocManager) m_pDocManager = new CDocManager;
  m_pDocManager->OnFileOpen();
}

// The chosen printer stays for the print jobs that follow.
void CWinApp::OnFilePrintSetup() {
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
  pd.Flags = PD_PRINTSETUP;
  pd.hDevMode = m_hDevMode;
  pd.hDevNames = m_hDevNames;
  AfxPrintDlg(&pd);
  m_hDevMode = pd.hDevMode;  // the dialog may have replaced the blocks
  m_hDevNames = pd.hDevNames;
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

// Replaces the placeholder item (or the previous entries) with one item per
// recent file; with an empty list the placeholder shows, disabled.
void CWinApp::OnUpdateRecentFileMenu(CCmdUI* cmdUI) {
  if (!m_pRecentFileList || !cmdUI->m_pMenu) {
    cmdUI->Enable(m_pRecentFileList && m_pRecentFileList->GetCount() > 0);
    return;
  }
  HMENU menu = cmdUI->m_pMenu;
  if (recentMenuText_.IsEmpty()) {
    char text[256] = {};
    ::GetMenuStringA(menu, cmdUI->m_nIndex, text, sizeof text, MF_BYPOSITION);
    recentMenuText_ = text;
  }
  for (int i = 0; i < m_pRecentFileList->GetSize(); ++i)
    ::DeleteMenu(menu, cmdUI->m_nID + i, MF_BYCOMMAND);
  const int count = m_pRecentFileList->GetCount();
  if (count == 0) {
    ::InsertMenuA(menu, cmdUI->m_nIndex, MF_BYPOSITION | MF_STRING | MF_GRAYED, cmdUI->m_nID,
                  recentMenuText_);
    return;
  }
  char folder[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, folder);
  for (int i = 0; i < count; ++i)
    ::InsertMenuA(menu, cmdUI->m_nIndex + i, MF_BYPOSITION | MF_STRING, cmdUI->m_nID + i,
                  m_pRecentFileList->GetMenuText(i, folder));
  cmdUI->m_nIndex += count - 1;
  cmdUI->m_bEnableChanged = TRUE;
}

// A recent file that no longer opens leaves the list.
BOOL CWinApp::OnOpenRecentFile(UINT id) {
  if (!m_pRecentFileList) return FALSE;
  const int index = static_cast<int>(id - ID_FILE_MRU_FILE1);
  const CString path = (*m_pRecentFileList)[index];
  if (path.IsEmpty()) return FALSE;
  if (!OpenDocumentFile(path)) m_pRecentFileList->Remove(index);
  return TRUE;
}

// --- shell --------------------------------------------------------------------------

void CWinApp::EnableShellOpen() {
  if (!m_atomApp) m_atomApp = ::GlobalAddAtomA(m_strExeName);
  if (!m_atomSystemTopic) m_atomSystemTopic = ::GlobalAddAtomA("system");
}

void CWinApp::RegisterShellFileTypes(BOOL compatible) {
  if (m_pDocManager) m_pDocManager->RegisterShellFileTypes(compatible);
}

void CWinApp::UnregisterShellFileTypes() {
  if (m_pDocManager) m_pDocManager->UnregisterShellFileTypes();
}

BOOL CWinApp::OnDDECommand(char* command) {
  return m_pDocManager ? m_pDocManager->OnDDECommand(command) : FALSE;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  info.ParseArguments(__argc, __argv);
}

// Carries out the shell command; FALSE ends the program (a failed open,
// printing, registering and unregistering).
BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
  m_bRunEmbedded = info.m_bRunEmbedded;
  m_bRunAutomated = info.m_bRunAutomated;
  // Started by OLE: the server's life belongs to its containers.
  if (m_bRunEmbedded || m_bRunAutomated) AfxOleSetUserCtrl(FALSE);
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr)) OnFileNew();
      return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
      return OpenDocumentFile(info.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
      m_nCmdShow = SW_HIDE;
      if (OpenDocumentFile(info.m_strFileName) && m_pMainWnd)
        m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
      return FALSE;
    case CCommandLineInfo::FileDDE:
      // The frame stays hidden until a DDE command shows it.
      m_nCmdShow = SW_HIDE;
      return TRUE;
    case CCommandLineInfo::AppRegister:
      RegisterShellFileTypes(TRUE);
      return FALSE;
    case CCommandLineInfo::AppUnregister:
      UnregisterShellFileTypes();
      return FALSE;
    default:
      return TRUE;
  }
}

// --- profile ----------------------------------------------------------------------------

void CWinApp::SetRegistryKey(const char* key) {
  m_strRegistryKey = key;
  m_strProfileName = m_strAppName;
}

void CWinApp::SetRegistryKey(UINT id) {
  CString key;
  key.LoadString(id);
  SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey() {
  const CString path = "Software\\" + m_strRegistryKey + "\\" + m_strProfileName;
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

HKEY CWinApp::GetSectionKey(const char* section) {
  HKEY app = GetAppRegistryKey();
  if (!app) return nullptr;
  HKEY key = nullptr;
  const LONG status = ::RegCreateKeyExA(app, section, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  ::RegCloseKey(app);
  return status == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
  if (m_strRegistryKey.IsEmpty())
    return ::GetPrivateProfileIntA(section, entry, defaultValue, m_strProfileName);
  HKEY key = GetSectionKey(section);
  if (!key) return static_cast<UINT>(defaultValue);
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof value;
  const LONG status =
      ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_DWORD ? value : static_cast<UINT>(defaultValue);
}

CString CWinApp::GetProfileString(const char* section, const char* entry,
                                  const char* defaultValue) {
  const CString fallback(defaultValue);
  if (m_strRegistryKey.IsEmpty()) {
    char buffer[4096];
    ::GetPrivateProfileStringA(section, entry, fallback, buffer, sizeof buffer, m_strProfileName);
    return buffer;
  }
  HKEY key = GetSectionKey(section);
  if (!key) return fallback;
  DWORD type = 0;
  DWORD size = 0;
  CString value = fallback;
  if (::RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    CString read;
    char* buffer = read.GetBuffer(static_cast<int>(size) + 1);
    if (::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
        ERROR_SUCCESS) {
      buffer[size] = '\0';  // the stored value need not be terminated
      read.ReleaseBuffer();
      value = read;
    }
  }
  ::RegCloseKey(key);
  return value;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  if (m_strRegistryKey.IsEmpty()) {
    CString text;
    text.Format("%d", value);
    return ::WritePrivateProfileStringA(section, entry, text, m_strProfileName);
  }
  HKEY key = GetSectionKey(section);
  if (!key) return FALSE;
  const DWORD data = static_cast<DWORD>(value);
  const LONG status = ::RegSetValueExA(key, entry, 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&data), sizeof data);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  if (m_strRegistryKey.IsEmpty())
    return ::WritePrivateProfileStringA(section, entry, value, m_strProfileName);
  if (!entry) {
    HKEY app = GetAppRegistryKey();
    if (!app) return FALSE;
    const LONG status = ::RegDeleteTreeA(app, section);
    ::RegCloseKey(app);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
  HKEY key = GetSectionKey(section);
  if (!key) return FALSE;
  LONG status;
  if (!value) {
    status = ::RegDeleteValueA(key, entry);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  } else {
    status = ::RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                              static_cast<DWORD>(lstrlenA(value) + 1));
  }
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

void CWinApp::LoadStdProfileSettings(UINT maxMRU) {
  if (maxMRU == 0) return;
  delete m_pRecentFileList;
  m_pRecentFileList = new CRecentFileList(ID_FILE_MRU_FILE1, "Recent File List", "File%d",
                                          static_cast<int>(maxMRU > 16 ? 16 : maxMRU));
  m_pRecentFileList->ReadList(
      [this](const char* section, const char* entry) { return GetProfileString(section, entry); });
}

void CWinApp::SaveStdProfileSettings() {
  if (!m_pRecentFileList) return;
  m_pRecentFileList->WriteList([this](const char* section, const char* entry, const char* value) {
    WriteProfileString(section, entry, *value ? value : nullptr);
  });
}

// --- the program's start ------------------------------------------------------------------

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int cmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = instance;
  app->m_lpCmdLine = commandLine;
  app->m_nCmdShow = cmdShow;
  int code = -1;
  // Guard: nothing may leave WinMain as an exception.
  try {
    if (!app->InitInstance()) {
      if (app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd()) app->m_pMainWnd->DestroyWindow();
      return app->ExitInstance();
    }
    code = app->Run();
  } catch (...) {
    AfxReportCurrentException();
  }
  return code;
}
