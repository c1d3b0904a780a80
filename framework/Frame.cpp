// CFrameWnd, CMDIFrameWnd, CMDIChildWnd.
#include "framework/Frame.h"

#include <algorithm>

#include <dde.h>

#include "framework/App.h"
#include "framework/ControlBars.h"
#include "framework/DocManager.h"
#include "framework/DocView.h"
#include "framework/Preview.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

namespace {

// Set while the MDI frame routes a command into its active child, so that
// the child does not route on to the frame and the application itself.
thread_local int t_routingFromMDIFrame = 0;

bool HasResource(UINT id, const char* type) {
  return ::FindResourceA(AfxFindResourceHandle(MAKEINTRESOURCEA(id), type), MAKEINTRESOURCEA(id),
                         type) != nullptr;
}

// Sets a window's text only when it changes (no needless repaint).
void SetWindowTextIfChanged(HWND hWnd, const char* text) {
  if (AfxGetWindowText(hWnd) != text) ::SetWindowTextA(hWnd, text);
}

// The first line of string `resourceId`: a frame's title.
CString FrameTitle(UINT resourceId) {
  CString title;
  title.LoadString(resourceId);
  const int newline = title.Find('\n');
  return newline >= 0 ? title.Left(newline) : title;
}

// Our window class with the icon of `resourceId`, when there is one.
const char* FrameClass(UINT resourceId) {
  HICON icon = ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(14)),
                           MAKEINTRESOURCEA(resourceId));  // RT_GROUP_ICON
  return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                             reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
}

}  // namespace

// --- CFrameWnd -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_INITMENUPOPUP()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_DDE_INITIATE, OnDDEInitiate)
  ON_MESSAGE(WM_DDE_EXECUTE, OnDDEExecute)
  ON_MESSAGE(WM_DDE_TERMINATE, OnDDETerminate)
  ON_WM_DROPFILES()
  ON_NOTIFY_RANGE(TTN_GETDISPINFOA, 0, 0xFFFF, OnToolTipTextA)
  ON_NOTIFY_RANGE(TTN_GETDISPINFOW, 0, 0xFFFF, OnToolTipTextW)
  ON_NOTIFY_RANGE(TBN_HOTITEMCHANGE, 0, 0xFFFF, OnHotItemChange)
  ON_WM_ACTIVATE()
  ON_MESSAGE(WM_MENUSELECT, OnMenuSelect)
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass)
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  return TRUE;
}

BOOL CFrameWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                       CWnd* parent, const char* menuName, DWORD exStyle,
                       CCreateContext* context) {
  m_strTitle = title;
  HMENU menu = menuName
                   ? ::LoadMenuA(AfxFindResourceHandle(menuName, MAKEINTRESOURCEA(4)), menuName)
                   : nullptr;
  m_hMenuDefault = menu;
  const bool byDefault = CRect(rect) == rectDefault;
  return CreateEx(exStyle, className, title, style, byDefault ? CW_USEDEFAULT : rect.left,
                  byDefault ? CW_USEDEFAULT : rect.top,
                  byDefault ? CW_USEDEFAULT : rect.right - rect.left,
                  byDefault ? CW_USEDEFAULT : rect.bottom - rect.top,
                  parent ? parent->GetSafeHwnd() : nullptr, menu, context);
}

// Title from the first line of string `resourceId`; menu, icon and
// accelerators of the same id when the resources exist.
BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_nIDResource = resourceId;
  const CString title = FrameTitle(resourceId);
  const char* className = FrameClass(resourceId);
  if (HasResource(resourceId, MAKEINTRESOURCEA(9)))  // RT_ACCELERATOR
    m_hAccelTable = ::LoadAcceleratorsA(
        AfxFindResourceHandle(MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(9)),
        MAKEINTRESOURCEA(resourceId));
  const bool hasMenu = HasResource(resourceId, MAKEINTRESOURCEA(4));  // RT_MENU
  if (!Create(className, title, style, rectDefault, parent,
              hasMenu ? MAKEINTRESOURCEA(resourceId) : nullptr, 0, context))
    return FALSE;  // the frame has deleted itself
  if (!context) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
  return TRUE;
}

CCreateContext* CFrameWnd::ContextFromCreateStruct(LPCREATESTRUCTA cs) const {
  if (cs->dwExStyle & WS_EX_MDICHILD) {
    const auto* mdi = static_cast<const MDICREATESTRUCTA*>(cs->lpCreateParams);
    return mdi ? reinterpret_cast<CCreateContext*>(mdi->lParam) : nullptr;
  }
  return static_cast<CCreateContext*>(cs->lpCreateParams);
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA cs) {
  if (Default() == -1) return -1;
  if (!OnCreateClient(cs, ContextFromCreateStruct(cs))) return -1;
  RecalcLayout();
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) {
  if (context && context->m_pNewViewClass) return CreateView(context) != nullptr;
  return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
  auto* view = static_cast<CWnd*>(AfxCreateObjectOf(context->m_pNewViewClass, RUNTIME_CLASS(CWnd)));
  if (!view) return nullptr;
  if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                    id, context))
    return nullptr;  // the view has deleted itself
  return view;
}

void CFrameWnd::OnDestroy() {
  // The menu on the bar may be a template's shared menu: keep it alive.
  if (m_hMenuDefault && GetMenu() != m_hMenuDefault) ::SetMenu(m_hWnd, m_hMenuDefault);
  Default();
}

// Closing the main frame saves and closes every document; closing a
// document's last frame asks to save it first.
void CFrameWnd::OnClose() {
  if (m_pPreview) m_pPreview->Close();
  CDocument* doc = GetActiveDocument();
  if (doc && !doc->CanCloseFrame(this)) return;
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    if (!doc && !app->SaveAllModified()) return;
    app->CloseAllDocuments(FALSE);
    if (!app->m_pMainWnd) return;  // a document closed the main window
  } else if (doc && doc->m_bAutoDelete && !doc->HasOtherFrame(this)) {
    doc->OnCloseDocument();
    return;
  }
  DestroyWindow();
}

void CFrameWnd::OnSize(UINT type, int, int) {
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* old) {
  if (m_pPreview)
    m_pPreview->SetFocus();
  else if (m_pViewActive && m_pViewActive->GetSafeHwnd())
    m_pViewActive->SetFocus();
  else
    CWnd::OnSetFocus(old);
}

BOOL CFrameWnd::OnEraseBkgnd(HDC dc) {
  if (m_pViewActive) return TRUE;  // the view covers the client area
  return CWnd::OnEraseBkgnd(dc);
}

void CFrameWnd::RecalcLayout(BOOL) { RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST); }

// Bars take their space off the client rectangle (WM_SIZEPARENT); the pane
// fills what is left.
void CFrameWnd::RepositionBars(UINT first, UINT last, UINT paneId) {
  AFX_SIZEPARENTPARAMS layout{};
  ::GetClientRect(m_hWnd, &layout.rect);
  layout.bStretch = TRUE;
  layout.hDWP = ::BeginDeferWindowPos(8);
  HWND pane = nullptr;
  for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
    if (id == paneId) {
      pane = child;
    } else if (id >= first && id <= last && FromHandlePermanent(child)) {
      ::SendMessageA(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
  }
  if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
  if (pane) {
    const CRect& r = static_cast<const CRect&>(static_cast<const RECT&>(layout.rect));
    ::SetWindowPos(pane, nullptr, r.left, r.top, r.Width(), r.Height(),
                   SWP_NOACTIVATE | SWP_NOZORDER);
  }
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify) {
  CView* previous = m_pViewActive;
  if (view == previous) return;
  m_pViewActive = view;
  if (!notify) return;
  if (previous) previous->OnActivateView(FALSE, view, previous);
  if (view) view->OnActivateView(TRUE, view, previous);
}

CDocument* CFrameWnd::GetActiveDocument() {
  CView* view = GetActiveView();
  return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::ActivateFrame(int cmdShow) {
  if (cmdShow == -1) cmdShow = IsIconic() ? SW_RESTORE : SW_SHOW;
  ShowWindow(cmdShow);
  if (!(GetStyle() & WS_CHILD)) ::BringWindowToTop(m_hWnd);
  UpdateWindow();
}

// Makes the pane the active view, sends the initial update and shows the
// frame.
void CFrameWnd::InitialUpdateFrame(CDocument* doc, BOOL makeVisible) {
  CView* view = GetActiveView();
  if (!view) {
    CWnd* pane = FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST));
    if (pane && pane->IsKindOf(RUNTIME_CLASS(CView))) {
      view = static_cast<CView*>(pane);
      SetActiveView(view, FALSE);
    }
  }
  if (makeVisible) {
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    ActivateFrame(-1);
    if (view) view->OnActivateView(TRUE, view, view);
  }
  if (doc) doc->UpdateFrameCounts();
  OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
  if (!(GetStyle() & FWS_ADDTOTITLE)) return;
  CDocument* doc = GetActiveDocument();
  UpdateFrameTitleForDocument(addToTitle && doc ? doc->GetTitle().GetString() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(const char* docName) {
  CString name(docName);
  if (docName && m_nWindow > 0) name.AppendFormat(":%d", m_nWindow);
  SetWindowTextIfChanged(m_hWnd, TitleWithDocument(docName ? name.GetString() : nullptr));
}

CString CFrameWnd::TitleWithDocument(const char* name) const {
  if (!name || m_strTitle.IsEmpty()) return name ? CString(name) : m_strTitle;
  if (GetStyle() & FWS_PREFIXTITLE) return CString(name) + " - " + m_strTitle;
  return m_strTitle + " - " + name;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
  if (IsWindowVisible() && !IsIconic()) OnUpdateFrameTitle(TRUE);
  return 0;
}

// Runs the update handlers of a menu as it opens; items nobody handles
// are disabled (system commands excepted).
void CFrameWnd::OnInitMenuPopup(HMENU popup, UINT, BOOL sysMenu) {
  if (sysMenu) return;
  CCmdUI state;
  state.m_pMenu = popup;
  for (UINT i = 0; i < static_cast<UINT>(::GetMenuItemCount(popup)); ++i) {
    state.m_nIndex = i;
    state.m_nID = ::GetMenuItemID(popup, static_cast<int>(i));
    if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1)) continue;
    state.m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(popup));
    state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
    i = state.m_nIndex;  // an update handler may have inserted items
  }
}

HACCEL CFrameWnd::GetDefaultAccelerator() { return m_hAccelTable; }

// While a print preview runs, the keys of this frame's windows are the
// preview's: no accelerator, and nothing typed into a hidden bar.
bool CFrameWnd::KeyForPreview(MSG* msg) const {
  if (!m_pPreview || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
  if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return false;
  msg->hwnd = m_pPreview->m_hWnd;
  return true;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
  if (KeyForPreview(msg)) return FALSE;
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
    HACCEL accel = GetDefaultAccelerator();
    if (accel && ::TranslateAcceleratorA(m_hWnd, accel, msg)) return TRUE;
  }
  return CWnd::PreTranslateMessage(msg);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (m_pPreview && m_pPreview->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CView* view = GetActiveView();
  if (view && view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// --- DDE: the shell's open, print and new commands -----------------------------------

LRESULT CFrameWnd::OnDDEInitiate(WPARAM client, LPARAM atoms) {
  CWinApp* app = AfxGetApp();
  if (app && app->m_atomApp && LOWORD(atoms) == app->m_atomApp &&
      HIWORD(atoms) == app->m_atomSystemTopic) {
    // The acknowledgement carries atoms of its own, freed by the client.
    const ATOM name = ::GlobalAddAtomA(app->m_strExeName);
    const ATOM topic = ::GlobalAddAtomA("system");
    ::SendMessageA(reinterpret_cast<HWND>(client), WM_DDE_ACK, reinterpret_cast<WPARAM>(m_hWnd),
                   MAKELPARAM(name, topic));
  }
  return 0;
}

LRESULT CFrameWnd::OnDDEExecute(WPARAM client, LPARAM data) {
  return ExecuteDDE(client, data, static_cast<SIZE_T>(-1));
}

// Acknowledged at once; a block that cannot be locked is refused.
LRESULT CFrameWnd::ExecuteDDE(WPARAM client, LPARAM data, SIZE_T maxLength) {
  UINT_PTR low = 0;
  UINT_PTR high = 0;
  ::UnpackDDElParam(WM_DDE_EXECUTE, data, &low, &high);
  HGLOBAL handle = reinterpret_cast<HGLOBAL>(high);
  CString command;
  const bool locked = ReadDDECommand(handle, maxLength, command);
  ::PostMessageA(reinterpret_cast<HWND>(client), WM_DDE_ACK, reinterpret_cast<WPARAM>(m_hWnd),
                 ::ReuseDDElParam(data, WM_DDE_EXECUTE, WM_DDE_ACK, locked ? 0x8000 : 0, high));
  // A modal dialog is open: acknowledge, but do nothing behind its back.
  CWinApp* app = AfxGetApp();
  if (locked && app && IsWindowEnabled()) app->OnDDECommand(command.GetBuffer());
  return 0;
}

bool ReadDDECommand(HGLOBAL handle, SIZE_T maxLength, CString& command) {
  const char* text = handle ? static_cast<const char*>(::GlobalLock(handle)) : nullptr;
  if (!text) return false;
  // Guard: the block need not be terminated; read no further than its size.
  const SIZE_T limit = std::min(::GlobalSize(handle), maxLength);
  SIZE_T length = 0;
  while (length < limit && text[length]) ++length;
  command = CString(text, static_cast<int>(length));
  ::GlobalUnlock(handle);
  return true;
}

LRESULT CFrameWnd::OnDDETerminate(WPARAM client, LPARAM) {
  ::PostMessageA(reinterpret_cast<HWND>(client), WM_DDE_TERMINATE,
                 reinterpret_cast<WPARAM>(m_hWnd), 0);
  return 0;
}

void CFrameWnd::OnDropFiles(HDROP drop) {
  SetActiveWindow();
  const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  CWinApp* app = AfxGetApp();
  for (UINT i = 0; i < count && app; ++i) {
    char path[MAX_PATH * 2] = {};
    if (::DragQueryFileA(drop, i, path, sizeof path) > 0) app->OpenDocumentFile(path);
  }
  ::DragFinish(drop);
}

// --- CMDIFrameWnd --------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
  ON_COMMAND_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnWindowCommand)
  ON_UPDATE_COMMAND_UI_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
  ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
END_MESSAGE_MAP()

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU menuBar) {
  if (!menuBar) return nullptr;
  for (int i = ::GetMenuItemCount(menuBar) - 1; i >= 0; --i) {
    HMENU popup = ::GetSubMenu(menuBar, i);
    if (!popup) continue;
    for (int j = 0; j < ::GetMenuItemCount(popup); ++j) {
      const UINT id = ::GetMenuItemID(popup, j);
      if (id >= ID_WINDOW_NEW && id <= ID_WINDOW_TILE_VERT) return popup;
    }
  }
  return nullptr;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext*) {
  CLIENTCREATESTRUCT ccs{GetWindowMenuPopup(GetMenu()), AFX_IDM_FIRST_MDICHILD};
  m_hWndMDIClient = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL |
          MDIS_ALLCHILDSTYLES,
      0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
      AfxGetInstanceHandle(), &ccs);
  return m_hWndMDIClient != nullptr;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* maximized) const {
  BOOL isMaximized = FALSE;
  HWND active = m_hWndMDIClient ? reinterpret_cast<HWND>(::SendMessageA(
                                      m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                      reinterpret_cast<LPARAM>(&isMaximized)))
                                : nullptr;
  if (maximized) *maximized = isMaximized;
  CWnd* wnd = FromHandlePermanent(active);
  return wnd && wnd->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)) ? static_cast<CMDIChildWnd*>(wnd)
                                                            : nullptr;
}

void CMDIFrameWnd::MDIActivate(CWnd* child) {
  ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child->GetSafeHwnd()),
                 0);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
  CMDIChildWnd* child = MDIGetActive();
  return child ? static_cast<CFrameWnd*>(child) : this;
}

void CMDIFrameWnd::SetFrameMenu(HMENU menu) {
  if (!menu) menu = m_hMenuDefault;
  if (!menu || !m_hWndMDIClient) return;
  ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu),
                 reinterpret_cast<LPARAM>(GetWindowMenuPopup(menu)));
  // The client moves its list of children into a new "Window" popup only
  // when it had one before: have it list them again.
  ::SendMessageA(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
  ::DrawMenuBar(m_hWnd);
}

// "App - Doc" while the active child is not maximised; with a maximised
// child the MDI client adds " - [Doc]" to the text it was given, so the text
// is set only when what we give changes, never compared with what shows.
void CMDIFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
  if (!(GetStyle() & FWS_ADDTOTITLE)) return;
  BOOL maximized = FALSE;
  CMDIChildWnd* child = MDIGetActive(&maximized);
  const bool named = addToTitle && child && child->GetActiveDocument() && !maximized;
  const CString text = TitleWithDocument(named ? AfxGetWindowText(child->m_hWnd).GetString()
                                               : nullptr);
  if (text == m_strGivenTitle) return;
  m_strGivenTitle = text;
  ::SetWindowTextA(m_hWnd, text);
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (m_pPreview && m_pPreview->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CMDIChildWnd* child = MDIGetActive()) {
    ++t_routingFromMDIFrame;
    BOOL handled = FALSE;
    try {
      handled = child->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    } catch (...) {
      --t_routingFromMDIFrame;
      throw;
    }
    --t_routingFromMDIFrame;
    if (handled) return TRUE;
  }
  return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

HACCEL CMDIFrameWnd::GetDefaultAccelerator() {
  CMDIChildWnd* child = MDIGetActive();
  if (child && child->GetDefaultAccelerator()) return child->GetDefaultAccelerator();
  return m_hAccelTable;
}

// The MDI keys (Ctrl+F4, Ctrl+F6) come before our accelerators; the active
// child's template accelerators before the frame's own.
BOOL CMDIFrameWnd::PreTranslateMessage(MSG* msg) {
  if (KeyForPreview(msg)) return FALSE;
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
    if (m_hWndMDIClient && ::TranslateMDISysAccel(m_hWndMDIClient, msg)) return TRUE;
    CMDIChildWnd* child = MDIGetActive();
    HACCEL childAccel = child ? child->GetDefaultAccelerator() : nullptr;
    if (childAccel && ::TranslateAcceleratorA(m_hWnd, childAccel, msg)) return TRUE;
    if (m_hAccelTable && ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg)) return TRUE;
  }
  return FALSE;
}

void CMDIFrameWnd::OnWindowCommand(UINT id) {
  switch (id) {
    case ID_WINDOW_ARRANGE: MDIIconArrange(); break;
    case ID_WINDOW_CASCADE: MDICascade(); break;
    case ID_WINDOW_TILE_HORZ: MDITile(MDITILE_HORIZONTAL); break;
    case ID_WINDOW_TILE_VERT: MDITile(MDITILE_VERTICAL); break;
    default: break;
  }
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* cmdUI) { cmdUI->Enable(MDIGetActive() != nullptr); }

void CMDIFrameWnd::OnWindowNew() {
  CMDIChildWnd* active = MDIGetActive();
  CDocument* doc = active ? active->GetActiveDocument() : nullptr;
  CDocTemplate* docTemplate = doc ? doc->GetDocTemplate() : nullptr;
  if (!docTemplate) return;
  CFrameWnd* frame = docTemplate->CreateNewFrame(doc, active);
  if (frame) docTemplate->InitialUpdateFrame(frame, doc);
}

// --- CMDIChildWnd ----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
  ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivateMessage)
  ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChangingMessage)
  ON_WM_SIZE()
END_MESSAGE_MAP()

// The MDI client learns from WM_SIZE that a child was maximised or
// restored: only then does it put the child's icon and buttons on the menu
// bar, name it in the frame's title and restore it for Cascade and Tile.
void CMDIChildWnd::OnSize(UINT type, int cx, int cy) {
  Default();
  CFrameWnd::OnSize(type, cx, cy);
}

// A change of size repaints the child whole instead of keeping its old
// pixels. A child that the MDI client restores behind a new maximised one
// (Ctrl+N) and maximises again (Ctrl+F6) lay covered meanwhile: the pixels
// Wine would carry over from its old place are not its picture, and they
// stayed, with strips along the view's right and bottom edges left blank.
LRESULT CMDIChildWnd::OnWindowPosChangingMessage(WPARAM, LPARAM lParam) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
  if (!(pos->flags & SWP_NOSIZE)) pos->flags |= SWP_NOCOPYBITS;
  return Default();
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
  HWND client = ::GetParent(m_hWnd);
  CWnd* frame = FromHandlePermanent(client ? ::GetParent(client) : nullptr);
  return frame && frame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)) ? static_cast<CMDIFrameWnd*>(frame)
                                                               : nullptr;
}

// Shares the template's menu and accelerators instead of loading its own.
BOOL CMDIChildWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent,
                             CCreateContext* context) {
  m_nIDResource = resourceId;
  const CString title = FrameTitle(resourceId);
  if (context && context->m_pNewDocTemplate) {
    m_hMenuShared = context->m_pNewDocTemplate->m_hMenuShared;
    m_hAccelTable = context->m_pNewDocTemplate->m_hAccelTable;
    // An embedded document gets the template's embedded menu and keys.
    const CDocTemplate* docTemplate = context->m_pNewDocTemplate;
    if (context->m_pCurrentDoc && context->m_pCurrentDoc->m_bEmbedded &&
        docTemplate->m_hMenuEmbedding) {
      m_hMenuShared = docTemplate->m_hMenuEmbedding;
      m_hAccelTable = docTemplate->m_hAccelEmbedding;
    }
  }
  const char* className = FrameClass(resourceId);
  CWnd* frame = parent ? parent : AfxGetMainWnd();
  if (!frame || !frame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) return FALSE;
  return Create(className, title, style, rectDefault, static_cast<CMDIFrameWnd*>(frame), context);
}

BOOL CMDIChildWnd::Create(const char* className, const char* title, DWORD style,
                          const RECT& rect, CMDIFrameWnd* parent, CCreateContext* context) {
  if (!parent) {
    CWnd* main = AfxGetMainWnd();
    if (!main || !main->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) return FALSE;
    parent = static_cast<CMDIFrameWnd*>(main);
  }
  m_strTitle = title;
  const bool byDefault = CRect(rect) == rectDefault;
  CREATESTRUCTA cs{context, AfxGetInstanceHandle(), nullptr, parent->m_hWndMDIClient,
                   byDefault ? CW_USEDEFAULT : rect.bottom - rect.top,
                   byDefault ? CW_USEDEFAULT : rect.right - rect.left,
                   byDefault ? CW_USEDEFAULT : rect.top, byDefault ? CW_USEDEFAULT : rect.left,
                   static_cast<LONG>(style | WS_CHILD), title, className, WS_EX_MDICHILD};
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  MDICREATESTRUCTA mcs{cs.lpszClass, cs.lpszName, cs.hInstance, cs.x, cs.y, cs.cx, cs.cy,
                       static_cast<DWORD>(cs.style), reinterpret_cast<LPARAM>(context)};
  AfxHookWindowCreate(this);
  HWND hWnd = reinterpret_cast<HWND>(
      ::SendMessageA(parent->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  AfxUnhookWindowCreate();
  // The client set its scroll bars for the child's place before it was
  // maximised; a maximised child leaves nothing to scroll to.
  if (hWnd && ::IsZoomed(hWnd)) ::ShowScrollBar(parent->m_hWndMDIClient, SB_BOTH, FALSE);
  return hWnd != nullptr;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

BOOL CMDIChildWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND client = ::GetParent(m_hWnd);
  // The MDI client must take a child off its list itself.
  ::SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
  return TRUE;
}

void CMDIChildWnd::MDIActivate() {
  if (CMDIFrameWnd* frame = GetMDIFrame()) frame->MDIActivate(this);
}

void CMDIChildWnd::MDIDestroy() { DestroyWindow(); }

void CMDIChildWnd::MDIMaximize() {
  ::SendMessageA(::GetParent(m_hWnd), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIRestore() {
  ::SendMessageA(::GetParent(m_hWnd), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::ActivateFrame(int cmdShow) {
  if (!IsWindowVisible())
    ShowWindow(cmdShow == -1 ? SW_SHOW : cmdShow);
  else if (cmdShow != -1)
    ShowWindow(cmdShow);
  MDIActivate();
  UpdateWindow();
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL addToTitle) {
  CDocument* doc = GetActiveDocument();
  if ((GetStyle() & FWS_ADDTOTITLE) && addToTitle && doc) {
    CString text = doc->GetTitle();
    if (m_nWindow > 0) text.AppendFormat(":%d", m_nWindow);
    if (AfxGetWindowText(m_hWnd) != text) {
      ::SetWindowTextA(m_hWnd, text);
      // The "Window" popup names a child as it was titled when listed.
      ::SendMessageA(::GetParent(m_hWnd), WM_MDIREFRESHMENU, 0, 0);
    }
  }
  if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle(addToTitle);
}

// View, document and this frame; the MDI frame and the application come
// next unless the MDI frame is routing through us already.
BOOL CMDIChildWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  CView* view = GetActiveView();
  if (view && view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (t_routingFromMDIFrame > 0) return FALSE;
  CMDIFrameWnd* frame = GetMDIFrame();
  if (frame && frame->CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CMDIChildWnd::OnMDIActivateMessage(WPARAM wParam, LPARAM lParam) {
  const BOOL activate = reinterpret_cast<HWND>(lParam) == m_hWnd;
  OnMDIActivate(activate, FromHandle(reinterpret_cast<HWND>(lParam)),
                FromHandle(reinterpret_cast<HWND>(wParam)));
  return Default();
}

// The menu bar follows the active child's template; with no child left the
// frame's own menu returns.
void CMDIChildWnd::OnMDIActivate(BOOL activate, CWnd* activated, CWnd*) {
  CMDIFrameWnd* frame = GetMDIFrame();
  if (!frame) return;
  if (activate)
    frame->SetFrameMenu(m_hMenuShared);
  else if (!activated)
    frame->SetFrameMenu(nullptr);
  if (activate && m_pViewActive) m_pViewActive->OnActivateView(TRUE, m_pViewActive, m_pViewActive);
  frame->OnUpdateFrameTitle(TRUE);
}
