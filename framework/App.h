// CWinThread and CWinApp: the message loop, idle processing, the
// application's documents, profile settings and shell commands.
// The loop hands every message to PreTranslateMessage of the windows from
// its target up to the main window (accelerators, dialog keys) before it is
// dispatched. When the queue runs dry it calls OnIdle(0), OnIdle(1), ...
// until OnIdle returns FALSE: OnIdle(0) runs the update-UI of the main
// window's bars and returns TRUE, OnIdle(1) frees temporary window objects
// and returns FALSE, so an override acting at count > 0 runs once per idle
// period after the update-UI.
// Choices of ours: profile settings live under the key
// HKEY_CURRENT_USER\Software\<registry key>\<application>\<section> (or in
// the application's INI file without a registry key); shell file types are registered for the current user
// (HKEY_CURRENT_USER\Software\Classes), which needs no administrator.
#pragma once

#include "framework/AfxRes.h"
#include "framework/CommandLine.h"
#include "framework/Wnd.h"

class CDocManager;
class CDocTemplate;
class CDocument;
class CRecentFileList;

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)
 public:
  using ThreadProc = UINT (*)(void* param);

  CWinThread();
  CWinThread(ThreadProc proc, void* param);
  ~CWinThread() override;

  // Starts the thread of a CWinThread made with a thread procedure.
  BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0);

  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance();
  virtual int Run();
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Gets and dispatches one message; FALSE at WM_QUIT.
  virtual BOOL PumpMessage();
  virtual BOOL OnIdle(LONG count);
  // FALSE for messages that do not end an idle period (paint, timers, a
  // mouse move that did not move).
  virtual BOOL IsIdleMessage(MSG* msg);
  virtual CWnd* GetMainWnd() { return m_pMainWnd; }
  // Sends the idle update to the controls of the popups `owner` owns.
  static void UpdateOwnedPopups(HWND owner);

  CWnd* m_pMainWnd = nullptr;
  BOOL m_bAutoDelete = TRUE;  // worker threads delete themselves at the end
  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  MSG m_msgCur{};

 private:
  static unsigned __stdcall ThreadEntry(void* self);
  ThreadProc proc_ = nullptr;
  void* param_ = nullptr;
};

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)
 public:
  // The name defaults to string AFX_IDS_APP_TITLE, else the program's name.
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;

  BOOL InitInstance() override { return TRUE; }
  int ExitInstance() override;
  int Run() override;
  BOOL OnIdle(LONG count) override;
  virtual int DoMessageBox(const char* prompt, UINT type, UINT idPrompt);

  // --- documents ---
  void AddDocTemplate(CDocTemplate* docTemplate);
  POSITION GetFirstDocTemplatePosition() const;
  CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
  virtual CDocument* OpenDocumentFile(const char* fileName);
  virtual void AddToRecentFileList(const char* pathName);
  BOOL SaveAllModified();
  void CloseAllDocuments(BOOL endSession);
  int GetOpenDocumentCount() const;
  BOOL DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog,
                        CDocTemplate* docTemplate);
  void HideApplication();

  // --- shell ---
  void EnableShellOpen();
  void RegisterShellFileTypes(BOOL compatible = FALSE);
  void UnregisterShellFileTypes();
  virtual BOOL OnDDECommand(char* command);
  void ParseCommandLine(CCommandLineInfo& info);
  BOOL ProcessShellCommand(CCommandLineInfo& info);
  BOOL RunEmbedded() const { return m_bRunEmbedded; }
  BOOL RunAutomated() const { return m_bRunAutomated; }

  // --- profile settings ---
  void SetRegistryKey(const char* key);
  void SetRegistryKey(UINT id);
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
  CString GetProfileString(const char* section, const char* entry,
                           const char* defaultValue = nullptr);
  BOOL WriteProfileInt(const char* section, const char* entry, int value);
  // A null entry deletes the section, a null value the entry.
  BOOL WriteProfileString(const char* section, const char* entry, const char* value);
  // The registry key of a section (created when missing); the caller closes it.
  HKEY GetSectionKey(const char* section);
  void LoadStdProfileSettings(UINT maxMRU = 4);
  void SaveStdProfileSettings();

  HINSTANCE m_hInstance = nullptr;
  const char* m_lpCmdLine = "";
  int m_nCmdShow = SW_SHOWNORMAL;
  CString m_strAppName;
  CString m_strExeName;
  CString m_strRegistryKey;
  CString m_strProfileName;
  CDocManager* m_pDocManager = nullptr;
  CRecentFileList* m_pRecentFileList = nullptr;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
  ATOM m_atomApp = 0;
  ATOM m_atomSystemTopic = 0;
  // The printer chosen in Print Setup (DEVMODE and DEVNAMES blocks, owned);
  // null for the default printer.
  HGLOBAL m_hDevMode = nullptr;
  HGLOBAL m_hDevNames = nullptr;

  // --- standard commands ---
  void OnFileNew();
  void OnFileOpen();
  void OnFilePrintSetup();
  void OnAppExit();
  void OnUpdateRecentFileMenu(CCmdUI* cmdUI);
  BOOL OnOpenRecentFile(UINT id);

 private:
  HKEY GetAppRegistryKey();
  CString recentMenuText_;  // the text of the placeholder item

  DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
CString AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
// A message box with the application's name as caption, through the hook.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT idPrompt, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
// One message through the current thread's PreTranslateMessage and dispatch;
// FALSE at WM_QUIT. Works without a CWinThread object too.
BOOL AfxPumpMessage();
BOOL AfxIsIdleMessage(const MSG* msg);
const MSG* AfxLastPumpedMessage();
// Starts a worker thread running proc(param).
CWinThread* AfxBeginThread(CWinThread::ThreadProc proc, void* param,
                           int priority = THREAD_PRIORITY_NORMAL, UINT stackSize = 0,
                           DWORD createFlags = 0);
// The program's start: InitInstance, then the message loop.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int cmdShow);
