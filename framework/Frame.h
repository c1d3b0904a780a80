// CFrameWnd, CMDIFrameWnd and CMDIChildWnd: the windows around views.
// Command routing: a plain frame asks its active view (which asks its
// document), then itself, then the application. The MDI frame first asks the
// active child frame, which asks its view and document and itself, and only
// then its own map and the application; so the order is active view,
// document, child frame, main frame, application.
// Update-UI: menus are updated as they open (WM_INITMENUPOPUP), bars at idle
// time (WM_IDLEUPDATECMDUI, see CWinThread::OnIdle); a command that nobody
// on the route handles is disabled.
// Bars take their place through WM_SIZEPARENT (RepositionBars): each child
// with an id below the panes gets the remaining client rectangle, takes what
// it needs off it, and the pane (view or MDI client) fills the rest.
// Titles: "App - Doc" (a prefixed frame shows "Doc - App"), and ":n" marks
// the n-th window of one document; while the active document window is
// maximised the MDI client shows it as "App - [Doc]", and the window's icon
// and its minimise, restore and close buttons sit on the menu bar. The
// "Window" popup lists every document window by its title, the active one
// checked; choosing one activates it.
// While a print preview runs (Preview.h) its commands come first on the
// frame's route and the keys of the frame's windows go to it.
#pragma once

#include "framework/Wnd.h"

class CControlBar;
class CDocTemplate;
class CDocument;
class CPreviewView;
class CView;

// FWS_ styles (in the low word of a frame's style).
constexpr DWORD FWS_ADDTOTITLE = 0x00008000L;
constexpr DWORD FWS_PREFIXTITLE = 0x00004000L;

// What a frame needs to build its view for a document.
struct CCreateContext {
  const CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

// The record WM_SIZEPARENT carries (lParam) to the bars of a frame.
struct AFX_SIZEPARENTPARAMS {
  HDWP hDWP;
  RECT rect;       // what is left for the panes
  SIZE sizeTotal;  // what the bars took
  BOOL bStretch;
};

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
 public:
  static const CRect rectDefault;

  CFrameWnd() = default;
  ~CFrameWnd() override;

  // Creates the frame with menu, accelerators, icon and title of the
  // resource `resourceId`.
  virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* parent = nullptr, CCreateContext* context = nullptr);
  BOOL Create(const char* className, const char* title, DWORD style = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* parent = nullptr, const char* menuName = nullptr,
              DWORD exStyle = 0, CCreateContext* context = nullptr);

  virtual CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* view, BOOL notify = TRUE);
  virtual CDocument* GetActiveDocument();
  virtual CFrameWnd* GetActiveFrame() { return this; }
  virtual void ActivateFrame(int cmdShow = -1);
  virtual void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);
  virtual void OnUpdateFrameTitle(BOOL addToTitle);
  virtual void RecalcLayout(BOOL notify = TRUE);
  void RepositionBars(UINT first, UINT last, UINT paneId);
  CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
  virtual HACCEL GetDefaultAccelerator();

  const CString& GetTitle() const { return m_strTitle; }
  void SetTitle(const char* title) { m_strTitle = title; }

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

  // --- control bars (ControlBars.h) ---
  // The sides bars may be docked at (CBRS_ALIGN_ bits).
  void EnableDocking(DWORD dockStyle);
  // Docks a bar at a side (AFX_IDW_DOCKBAR_*; 0: the first side both allow),
  // taking it out of its floating popup when it floats.
  void DockControlBar(CControlBar* bar, UINT dockBarId = 0);
  // Floats a bar in a popup of its own whose top-left corner is `point`
  // (screen coordinates); `style` gives the bar's orientation there.
  void FloatControlBar(CControlBar* bar, CPoint point, DWORD style = 0x2000 /* CBRS_ALIGN_TOP */);
  // Shows a text, or the prompt of a command (its string's first line), in
  // the status bar's message pane.
  void SetMessageText(const char* text);
  void SetMessageText(UINT id);
  virtual void GetMessageString(UINT id, CString& message) const;
  // The status bar (child AFX_IDW_STATUS_BAR), or null.
  CWnd* GetMessageBar() const;
  DWORD m_dwDockStyle = 0;

  // The print preview shown in place of the frame's pane, or null.
  CPreviewView* GetPreview() const { return m_pPreview; }

  BOOL m_bAutoMenuEnable = TRUE;
  HMENU m_hMenuDefault = nullptr;
  HACCEL m_hAccelTable = nullptr;
  UINT m_nIDHelp = 0;

 protected:
  virtual BOOL OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context);
  int OnCreate(LPCREATESTRUCTA cs);
  void OnDestroy();
  void OnClose();
  void OnSize(UINT type, int cx, int cy);
  void OnSetFocus(CWnd* old);
  void OnInitMenuPopup(HMENU popup, UINT index, BOOL sysMenu);
  BOOL OnEraseBkgnd(HDC dc);
  LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM);
  LRESULT OnDDEInitiate(WPARAM client, LPARAM atoms);
  LRESULT OnDDEExecute(WPARAM client, LPARAM data);
  LRESULT OnDDETerminate(WPARAM client, LPARAM);
  // Files dropped from the shell open as documents, one after the other.
  void OnDropFiles(HDROP drop);
  // Reads at most `maxLength` characters of the command, acknowledges it and
  // hands it to the application while the frame is enabled.
  LRESULT ExecuteDDE(WPARAM client, LPARAM data, SIZE_T maxLength);
  // Tooltips of the bars' buttons: the text after the prompt's "\n".
  void OnToolTipTextA(UINT id, NMHDR* header, LRESULT* result);
  void OnToolTipTextW(UINT id, NMHDR* header, LRESULT* result);
  // Fly-by prompts: the hot button's prompt, the idle text when it leaves.
  void OnHotItemChange(UINT id, NMHDR* header, LRESULT* result);
  // Losing the activation, the bars drop their hot button.
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
  void PostNcDestroy() override { delete this; }
  // Sets the window text to the document name and the frame title.
  void UpdateFrameTitleForDocument(const char* docName);
  // The frame title joined with a document window's name (null: the title).
  CString TitleWithDocument(const char* name) const;
  CCreateContext* ContextFromCreateStruct(LPCREATESTRUCTA cs) const;
  // Hands a key of this frame's windows to the running preview (true).
  bool KeyForPreview(MSG* msg) const;

  CView* m_pViewActive = nullptr;
  CString m_strTitle;
  UINT m_nIDResource = 0;
  int m_nWindow = -1;  // window number of a document shown in several frames
  CPreviewView* m_pPreview = nullptr;

  DECLARE_MESSAGE_MAP()
  friend class CDocument;
  friend class CPreviewView;
};

// The text of a DDE command's memory block, at most `maxLength` characters
// and never past the block's end; false when the block cannot be locked.
bool ReadDDECommand(HGLOBAL handle, SIZE_T maxLength, CString& command);

class CMDIChildWnd;

class CMDIFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIFrameWnd)
 public:
  CMDIChildWnd* MDIGetActive(BOOL* maximized = nullptr) const;
  void MDIActivate(CWnd* child);
  void MDICascade() { ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0); }
  void MDITile(int how = MDITILE_HORIZONTAL) { ::SendMessageA(m_hWndMDIClient, WM_MDITILE, how, 0); }
  void MDIIconArrange() { ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
  // The popup that lists the child windows ("Window"): the last but one.
  virtual HMENU GetWindowMenuPopup(HMENU menuBar);
  // Puts a child's shared menu (or the default one) on the menu bar.
  void SetFrameMenu(HMENU menu);

  CFrameWnd* GetActiveFrame() override;
  CView* GetActiveView() const override { return nullptr; }
  void OnUpdateFrameTitle(BOOL addToTitle) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  HACCEL GetDefaultAccelerator() override;

  HWND m_hWndMDIClient = nullptr;

 protected:
  CString m_strGivenTitle;  // the text last given to the window
  BOOL OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context) override;
  void OnWindowCommand(UINT id);
  void OnUpdateMDIWindowCmd(CCmdUI* cmdUI);
  void OnWindowNew();

  DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIChildWnd)
 public:
  BOOL LoadFrame(UINT resourceId, DWORD style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* parent = nullptr, CCreateContext* context = nullptr) override;
  BOOL Create(const char* className, const char* title,
              DWORD style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CMDIFrameWnd* parent = nullptr,
              CCreateContext* context = nullptr);
  CMDIFrameWnd* GetMDIFrame() const;
  void MDIActivate();
  void MDIDestroy();
  void MDIMaximize();
  void MDIRestore();

  void ActivateFrame(int cmdShow = -1) override;
  void OnUpdateFrameTitle(BOOL addToTitle) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL DestroyWindow() override;
  HACCEL GetDefaultAccelerator() override { return m_hAccelTable; }

  HMENU m_hMenuShared = nullptr;  // the template's menu while this child is active

 protected:
  void OnMDIActivate(BOOL activate, CWnd* activated, CWnd* deactivated);
  void OnSize(UINT type, int cx, int cy);
  LRESULT OnMDIActivateMessage(WPARAM wParam, LPARAM lParam);
  LRESULT OnWindowPosChangingMessage(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()
};
