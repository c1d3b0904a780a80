// CWnd: a C++ object bound to a window.
// Every window we create or subclass runs through one window procedure,
// AfxWndProc, which finds the object in a per-thread handle map. A window
// being created is bound through a thread-local "object being created"
// pointer and a CBT hook, so even its first messages reach the object; an
// existing window (a dialog control) is bound by subclassing.
// Notifications, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM and scroll
// messages of a child control are first offered to the control's own object
// (reflection); the parent sees them only when the control does not take them.
// The dispatcher catches every exception of a handler and reports it through
// ShowMessageBox; none unwinds through DispatchMessage.
// Choices of ours: handlers that get a device context get the raw HDC; a
// foreign window handle asked for by FromHandle gets a temporary object that
// lives until the next idle time, as callers of GetDlgItem expect.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/Collections.h"
#include "framework/Exceptions.h"
#include "framework/Geometry.h"
#include "framework/String.h"

#include <commdlg.h>
#include <guiddef.h>
#include <shellapi.h>

class CDataExchange;
class CFrameWnd;
class COleControlSite;
struct AFX_EVENTSINKMAP_ENTRY;
struct IUnknown;

// Window flags kept in CWnd::m_nFlags.
constexpr UINT WF_MODALLOOP = 0x0001;
constexpr UINT WF_CONTINUEMODAL = 0x0002;

// Window ids of the frame's panes and bars.
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
constexpr UINT AFX_IDW_PANE_LAST = 0xE9FF;
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
 public:
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object bound to a window; FromHandle makes a temporary one for a
  // window nobody bound.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  // Deletes the temporary objects of this thread (called at idle time).
  static void DeleteTempMap();
  // Frees all this thread keeps (temporary objects, maps, creation hook);
  // a thread of the class library calls it as it ends.
  static void DeleteThreadState();

  // --- creation and binding ---
  virtual BOOL Create(const char* className, const char* windowName, DWORD style,
                      const RECT& rect, CWnd* parent, UINT id, void* context = nullptr);
  BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                int x, int y, int width, int height, HWND parent, HMENU idOrMenu,
                void* param = nullptr);
  BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
  virtual BOOL DestroyWindow();
  BOOL Attach(HWND hWnd);
  HWND Detach();
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  // --- hooks for derived classes ---
  virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
  virtual void PreSubclassWindow() {}
  virtual BOOL PreTranslateMessage(MSG* msg);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Offers a parent's notification to this control (reflection).
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual void PostNcDestroy() {}
  virtual void DoDataExchange(CDataExchange*) {}
  virtual BOOL ContinueModal();
  virtual void EndModalLoop(int result);
  int RunModalLoop();
  // Shows a modal window that is still hidden (its loop has gone quiet).
  void ShowModalWindow();

  // The default processing of the message being handled now.
  LRESULT Default();
  static const MSG* GetCurrentMessage();

  // Moves data between controls and members; false when validation failed.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  // Runs update-UI for the command-id children (buttons of a bar).
  void UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler);
  // Sends a message to every descendant (deep) or child window.
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                BOOL deep = TRUE, BOOL onlyPermanent = FALSE);

  // --- relatives ---
  CWnd* GetParent() const;
  CWnd* GetOwner() const;
  CWnd* GetDlgItem(int id) const;
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  int SetDlgCtrlID(int id);
  CFrameWnd* GetParentFrame() const;
  CFrameWnd* GetTopLevelFrame() const;
  CWnd* GetTopLevelParent() const;
  static CWnd* GetFocus();
  static CWnd* GetActiveWindow();
  static CWnd* GetForegroundWindow();

  // --- thin wrappers ---
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void SetWindowText(const char* text);
  CString GetWindowText() const;
  void GetWindowText(CString& text) const { text = GetWindowText(); }
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(const RECT& rect, BOOL repaint = TRUE);
  BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
  void CenterWindow(CWnd* alternateOwner = nullptr);
  void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
  void ScreenToClient(POINT* point) const { ::ScreenToClient(m_hWnd, point); }
  void ScreenToClient(RECT* rect) const;
  void ClientToScreen(POINT* point) const { ::ClientToScreen(m_hWnd, point); }
  void ClientToScreen(RECT* rect) const;
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
  void ValidateRect(const RECT* rect) { ::ValidateRect(m_hWnd, rect); }
  BOOL RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  CWnd* SetFocus();
  CWnd* SetActiveWindow();
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  CWnd* SetCapture();
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
  HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
  BOOL SetMenu(HMENU menu) { return ::SetMenu(m_hWnd, menu); }
  void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
  HICON SetIcon(HICON icon, BOOL big);
  HICON GetIcon(BOOL big) const;
  void SetFont(HFONT font, BOOL redraw = TRUE);
  HFONT GetFont() const;
  void DragAcceptFiles(BOOL accept = TRUE) { ::DragAcceptFiles(m_hWnd, accept); }
  HDC GetDC() { return ::GetDC(m_hWnd); }
  int ReleaseDC(HDC dc) { return ::ReleaseDC(m_hWnd, dc); }

  // --- dialog-item helpers ---
  void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
  UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
  void CheckRadioButton(int first, int last, int check);
  int GetCheckedRadioButton(int first, int last) const;
  void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
  CString GetDlgItemText(int id) const;
  int GetDlgItemText(int id, CString& text) const;
  void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
  UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
  LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // --- scrolling ---
  int GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
  int SetScrollPos(int bar, int pos, BOOL redraw = TRUE);
  void GetScrollRange(int bar, int* minPos, int* maxPos) const;
  BOOL SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw = TRUE);
  BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = SIF_ALL) const;
  void ScrollWindow(int dx, int dy, const RECT* rect = nullptr, const RECT* clip = nullptr);

  // --- hosted ActiveX controls (OleControl.cpp) ---
  // Makes this a site window holding a new control of `clsid`, activated in
  // place; the parent hears the control's events through its sink map.
  BOOL CreateControl(REFCLSID clsid, const char* windowName, DWORD style, const RECT& rect,
                     CWnd* parent, UINT id);
  // The hosted control (no reference added), or null.
  IUnknown* GetControlUnknown() const;
  virtual const AFX_EVENTSINKMAP_ENTRY* GetEventSinkMap() const { return nullptr; }
  COleControlSite* m_pCtrlSite = nullptr;  // while this window hosts a control

  // A message box owned by this window, through ShowMessageBox.
  int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

  // --- default handlers (non-virtual: the map picks the most derived) ---
  int OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
  void OnDestroy() { Default(); }
  void OnNcDestroy();
  void OnClose() { Default(); }
  void OnPaint() { Default(); }
  BOOL OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
  void OnSize(UINT, int, int) { Default(); }
  void OnMove(int, int) { Default(); }
  void OnTimer(UINT_PTR) { Default(); }
  void OnSetFocus(CWnd*) { Default(); }
  void OnKillFocus(CWnd*) { Default(); }
  void OnActivate(UINT, CWnd*, BOOL) { Default(); }
  void OnShowWindow(BOOL, UINT) { Default(); }
  void OnLButtonDown(UINT, CPoint) { Default(); }
  void OnLButtonUp(UINT, CPoint) { Default(); }
  void OnLButtonDblClk(UINT, CPoint) { Default(); }
  void OnRButtonDown(UINT, CPoint) { Default(); }
  void OnRButtonUp(UINT, CPoint) { Default(); }
  void OnMouseMove(UINT, CPoint) { Default(); }
  BOOL OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
  void OnKeyDown(UINT, UINT, UINT) { Default(); }
  void OnKeyUp(UINT, UINT, UINT) { Default(); }
  void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
  void OnChar(UINT, UINT, UINT) { Default(); }
  void OnHScroll(UINT, UINT, CWnd*) { Default(); }
  void OnVScroll(UINT, UINT, CWnd*) { Default(); }
  HBRUSH OnCtlColor(HDC, CWnd*, UINT);
  void OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
  void OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
  void OnInitMenuPopup(HMENU, UINT, BOOL) { Default(); }
  BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
  LRESULT OnNcHitTest(CPoint) { return Default(); }
  UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
  void OnDropFiles(HDROP) { Default(); }
  void OnContextMenu(CWnd*, CPoint) { Default(); }
  void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
  void OnCaptureChanged(CWnd*) { Default(); }
  int OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
  void OnSysCommand(UINT, LPARAM) { Default(); }
  void OnEnable(BOOL) { Default(); }
  void OnWindowPosChanged(WINDOWPOS*) { Default(); }

 protected:
  WNDPROC m_pfnSuper = nullptr;  // the window's own procedure when subclassed
  UINT m_nFlags = 0;
  int m_nModalResult = 0;

  DECLARE_MESSAGE_MAP()

  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK AfxCbtHook(int, WPARAM, LPARAM);
  friend void AfxHookWindowCreate(CWnd*);
};

// The window procedure of every window bound to a CWnd.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Binds the next window created on this thread to `wnd` (before
// CreateWindowEx, CreateDialogIndirect or WM_MDICREATE).
void AfxHookWindowCreate(CWnd* wnd);
// Ends the binding; false when no window was bound.
bool AfxUnhookWindowCreate();
// Reports the exception being handled (call inside a catch block); a
// CUserException is not reported again.
void AfxReportCurrentException();
// A window class with our window procedure, registered once per attribute set.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                                HBRUSH background = nullptr, HICON icon = nullptr);
// The whole text of a window.
CString AfxGetWindowText(HWND hWnd);
// Creates an object of `runtimeClass` when it is a kind of `kind`; null
// otherwise (nothing is left behind).
CObject* AfxCreateObjectOf(const CRuntimeClass* runtimeClass, const CRuntimeClass* kind);
// The module that holds the program's resources (language module or program).
HINSTANCE AfxGetResourceInstance();
// The module that holds resource `name` of `type`: the resource module when
// it has it, else the program (a language module may lack a translation).
HINSTANCE AfxFindResourceHandle(const char* name, const char* type);
// The PreTranslateMessage walk from the message's window up to `stop`.
BOOL AfxWalkPreTranslateTree(HWND stop, MSG* msg);

// --- standard window message entries ----------------------------------------------

#define OVELIN_POINT(l) CPoint(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)))
#define OVELIN_WND(h) CWnd::FromHandle(reinterpret_cast<HWND>(h))

#define ON_WM_CREATE() \
  {WM_CREATE, 0, 0, 0, OVELIN_THUNK(call.result = self->OnCreate(reinterpret_cast<LPCREATESTRUCTA>(call.lParam)); return true;)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, OVELIN_THUNK(self->OnDestroy(); return true;)},
#define ON_WM_NCDESTROY() {WM_NCDESTROY, 0, 0, 0, OVELIN_THUNK(self->OnNcDestroy(); return true;)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, OVELIN_THUNK(self->OnClose(); return true;)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, OVELIN_THUNK(self->OnPaint(); return true;)},
#define ON_WM_ERASEBKGND() \
  {WM_ERASEBKGND, 0, 0, 0, OVELIN_THUNK(call.result = self->OnEraseBkgnd(reinterpret_cast<HDC>(call.wParam)); return true;)},
#define ON_WM_SIZE() \
  {WM_SIZE, 0, 0, 0, OVELIN_THUNK(self->OnSize(static_cast<UINT>(call.wParam), static_cast<short>(LOWORD(call.lParam)), static_cast<short>(HIWORD(call.lParam))); return true;)},
#define ON_WM_MOVE() \
  {WM_MOVE, 0, 0, 0, OVELIN_THUNK(self->OnMove(static_cast<short>(LOWORD(call.lParam)), static_cast<short>(HIWORD(call.lParam))); return true;)},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, OVELIN_THUNK(self->OnTimer(call.wParam); return true;)},
#define ON_WM_SETFOCUS() {WM_SETFOCUS, 0, 0, 0, OVELIN_THUNK(self->OnSetFocus(OVELIN_WND(call.wParam)); return true;)},
#define ON_WM_KILLFOCUS() {WM_KILLFOCUS, 0, 0, 0, OVELIN_THUNK(self->OnKillFocus(OVELIN_WND(call.wParam)); return true;)},
#define ON_WM_ACTIVATE() \
  {WM_ACTIVATE, 0, 0, 0, OVELIN_THUNK(self->OnActivate(LOWORD(call.wParam), OVELIN_WND(call.lParam), HIWORD(call.wParam)); return true;)},
#define ON_WM_SHOWWINDOW() \
  {WM_SHOWWINDOW, 0, 0, 0, OVELIN_THUNK(self->OnShowWindow(static_cast<BOOL>(call.wParam), static_cast<UINT>(call.lParam)); return true;)},
#define OVELIN_MOUSE(message, fn) \
  {message, 0, 0, 0, OVELIN_THUNK(self->fn(static_cast<UINT>(call.wParam), OVELIN_POINT(call.lParam)); return true;)},
#define ON_WM_LBUTTONDOWN() OVELIN_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() OVELIN_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() OVELIN_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() OVELIN_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() OVELIN_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEMOVE() OVELIN_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSEWHEEL() \
  {WM_MOUSEWHEEL, 0, 0, 0, OVELIN_THUNK(call.result = self->OnMouseWheel(LOWORD(call.wParam), static_cast<short>(HIWORD(call.wParam)), OVELIN_POINT(call.lParam)); return true;)},
#define OVELIN_KEY(message, fn) \
  {message, 0, 0, 0, OVELIN_THUNK(self->fn(static_cast<UINT>(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam)); return true;)},
#define ON_WM_KEYDOWN() OVELIN_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() OVELIN_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_SYSKEYDOWN() OVELIN_KEY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_CHAR() OVELIN_KEY(WM_CHAR, OnChar)
#define ON_WM_HSCROLL() \
  {WM_HSCROLL, 0, 0, 0, OVELIN_THUNK(self->OnHScroll(LOWORD(call.wParam), static_cast<short>(HIWORD(call.wParam)), OVELIN_WND(call.lParam)); return true;)},
#define ON_WM_VSCROLL() \
  {WM_VSCROLL, 0, 0, 0, OVELIN_THUNK(self->OnVScroll(LOWORD(call.wParam), static_cast<short>(HIWORD(call.wParam)), OVELIN_WND(call.lParam)); return true;)},
// All WM_CTLCOLOR* messages; call.nID holds the CTLCOLOR_ kind.
#define ON_WM_CTLCOLOR() \
  {AFX_WM_CTLCOLOR, 0, 0, 0, OVELIN_THUNK(call.result = reinterpret_cast<LRESULT>(self->OnCtlColor(reinterpret_cast<HDC>(call.wParam), OVELIN_WND(call.lParam), call.nID)); return true;)},
#define ON_WM_DRAWITEM() \
  {WM_DRAWITEM, 0, 0, 0, OVELIN_THUNK(self->OnDrawItem(static_cast<int>(call.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(call.lParam)); call.result = TRUE; return true;)},
#define ON_WM_MEASUREITEM() \
  {WM_MEASUREITEM, 0, 0, 0, OVELIN_THUNK(self->OnMeasureItem(static_cast<int>(call.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(call.lParam)); call.result = TRUE; return true;)},
#define ON_WM_INITMENUPOPUP() \
  {WM_INITMENUPOPUP, 0, 0, 0, OVELIN_THUNK(self->OnInitMenuPopup(reinterpret_cast<HMENU>(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam)); return true;)},
#define ON_WM_SETCURSOR() \
  {WM_SETCURSOR, 0, 0, 0, OVELIN_THUNK(call.result = self->OnSetCursor(OVELIN_WND(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam)); return true;)},
#define ON_WM_NCHITTEST() \
  {WM_NCHITTEST, 0, 0, 0, OVELIN_THUNK(call.result = self->OnNcHitTest(OVELIN_POINT(call.lParam)); return true;)},
#define ON_WM_GETDLGCODE() {WM_GETDLGCODE, 0, 0, 0, OVELIN_THUNK(call.result = self->OnGetDlgCode(); return true;)},
#define ON_WM_DROPFILES() \
  {WM_DROPFILES, 0, 0, 0, OVELIN_THUNK(self->OnDropFiles(reinterpret_cast<HDROP>(call.wParam)); return true;)},
#define ON_WM_CONTEXTMENU() \
  {WM_CONTEXTMENU, 0, 0, 0, OVELIN_THUNK(self->OnContextMenu(OVELIN_WND(call.wParam), OVELIN_POINT(call.lParam)); return true;)},
#define ON_WM_GETMINMAXINFO() \
  {WM_GETMINMAXINFO, 0, 0, 0, OVELIN_THUNK(self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(call.lParam)); return true;)},
#define ON_WM_CAPTURECHANGED() \
  {WM_CAPTURECHANGED, 0, 0, 0, OVELIN_THUNK(self->OnCaptureChanged(OVELIN_WND(call.lParam)); return true;)},
#define ON_WM_MOUSEACTIVATE() \
  {WM_MOUSEACTIVATE, 0, 0, 0, OVELIN_THUNK(call.result = self->OnMouseActivate(OVELIN_WND(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam)); return true;)},
#define ON_WM_SYSCOMMAND() \
  {WM_SYSCOMMAND, 0, 0, 0, OVELIN_THUNK(self->OnSysCommand(static_cast<UINT>(call.wParam), call.lParam); return true;)},
#define ON_WM_ENABLE() {WM_ENABLE, 0, 0, 0, OVELIN_THUNK(self->OnEnable(static_cast<BOOL>(call.wParam)); return true;)},
#define ON_WM_WINDOWPOSCHANGED() \
  {WM_WINDOWPOSCHANGED, 0, 0, 0, OVELIN_THUNK(self->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(call.lParam)); return true;)},
