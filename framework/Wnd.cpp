// CWnd: the window procedure, handle maps, creation hook, dispatch and
// reflection, and the thin wrappers.
#include "framework/Wnd.h"

#include <new>
#include <stdexcept>
#include <unordered_map>

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/Frame.h"
#include "framework/MessageBox.h"
#include "framework/OleControl.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// Everything the window layer keeps per thread, made on first use and
// freed by CWnd::DeleteThreadState. It is held through a plain pointer: with
// the toolchain's emulated thread-local storage, a thread_local object's
// destructor runs after its storage has been freed when a thread other
// than the first ends.
struct ThreadWndState {
  std::unordered_map<HWND, CWnd*> permanent;
  std::unordered_map<HWND, CWnd*> temporary;  // owned
  CWnd* creating = nullptr;
  HHOOK cbtHook = nullptr;
  MSG current{};  // the message being dispatched
};

thread_local ThreadWndState* t_wndState = nullptr;

ThreadWndState& State() {
  if (!t_wndState) t_wndState = new ThreadWndState;
  return *t_wndState;
}

bool IsCtlColor(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// Offers a parent's message to the child control's own object.
BOOL ReflectToChild(const CWnd* parent, HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT* result) {
  CWnd* control = CWnd::FromHandlePermanent(child);
  if (!control || control == parent) return FALSE;
  return control->OnChildNotify(message, wParam, lParam, result);
}

// What a handler that threw answers: creation must fail, the rest says 0.
LRESULT ResultAfterException(UINT message) {
  if (message == WM_CREATE) return -1;
  return 0;
}

}  // namespace

// --- window procedure and hook -------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
  if (!wnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  const MSG saved = State().current;
  State().current = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
  LRESULT result = 0;
  // Guard: no exception may unwind through the system's message dispatch.
  try {
    result = wnd->WindowProc(message, wParam, lParam);
  } catch (...) {
    AfxReportCurrentException();
    result = ResultAfterException(message);
  }
  State().current = saved;
  // The object may have been deleted by now unless the window is still bound.
  if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == wnd) wnd->OnNcDestroy();
  return result;
}

LRESULT CALLBACK AfxCbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && State().creating) {
    CWnd* wnd = State().creating;
    State().creating = nullptr;
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    wnd->Attach(hWnd);
    auto old = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    if (old != AfxWndProc) {
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc));
      wnd->m_pfnSuper = old;
    }
  }
  return ::CallNextHookEx(State().cbtHook, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* wnd) {
  if (!State().cbtHook)
    State().cbtHook = ::SetWindowsHookExA(WH_CBT, AfxCbtHook, nullptr, ::GetCurrentThreadId());
  State().creating = wnd;
}

bool AfxUnhookWindowCreate() {
  const bool bound = State().creating == nullptr;
  State().creating = nullptr;
  return bound;
}

void AfxReportCurrentException() {
  CString text;
  try {
    throw;
  } catch (const CUserException&) {
    return;  // the user has been told already
  } catch (const CException& e) {
    text = e.GetErrorMessage();
  } catch (const std::bad_alloc&) {
    text = AfxLoadString(AFX_IDP_OUT_OF_MEMORY);
  } catch (const std::exception& e) {
    text = AfxFormatResource(AFX_IDP_UNEXPECTED_ERROR_NAMED, e.what());
  } catch (...) {
  }
  if (text.IsEmpty()) text = AfxLoadString(AFX_IDP_UNEXPECTED_ERROR);
  // Guard: a failing report must not throw out of the dispatcher either.
  try {
    AfxMessageBox(text, MB_ICONEXCLAMATION);
  } catch (...) {
  }
}

CObject* AfxCreateObjectOf(const CRuntimeClass* runtimeClass, const CRuntimeClass* kind) {
  CObject* object = runtimeClass ? runtimeClass->CreateObject() : nullptr;
  if (object && !object->IsKindOf(kind)) {
    delete object;
    return nullptr;
  }
  return object;
}

HINSTANCE AfxGetResourceInstance() {
  HINSTANCE instance = AfxGetResourceHandle();
  return instance ? instance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxFindResourceHandle(const char* name, const char* type) {
  HINSTANCE instance = AfxGetResourceInstance();
  if (::FindResourceA(instance, name, type)) return instance;
  return AfxGetInstanceHandle();
}

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  thread_local char name[96];
  wsprintfA(name, "Ovelin:%x:%p:%p:%p", classStyle, cursor, background, icon);
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (::GetClassInfoA(instance, name, &wc)) return name;
  wc.style = classStyle;
  wc.lpfnWndProc = ::DefWindowProcA;  // replaced by AfxWndProc when bound
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = name;
  if (!::RegisterClassA(&wc)) AfxThrowResourceException();
  return name;
}

BOOL AfxWalkPreTranslateTree(HWND stop, MSG* msg) {
  for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
    CWnd* wnd = CWnd::FromHandlePermanent(h);
    if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
    if (h == stop) break;
  }
  return FALSE;
}

// --- handle maps --------------------------------------------------------------

CWnd::~CWnd() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  const auto it = State().permanent.find(hWnd);
  return it == State().permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  if (CWnd* wnd = FromHandlePermanent(hWnd)) return wnd;
  CWnd*& temp = State().temporary[hWnd];
  if (!temp) {
    temp = new CWnd;
    temp->m_hWnd = hWnd;
  }
  return temp;
}

void CWnd::DeleteTempMap() {
  if (!t_wndState) return;
  for (auto& [hWnd, wnd] : t_wndState->temporary) {
    wnd->m_hWnd = nullptr;
    delete wnd;
  }
  t_wndState->temporary.clear();
}

void CWnd::DeleteThreadState() {
  DeleteTempMap();
  if (t_wndState && t_wndState->cbtHook) ::UnhookWindowsHookEx(t_wndState->cbtHook);
  delete t_wndState;
  t_wndState = nullptr;
}

BOOL CWnd::Attach(HWND hWnd) {
  if (!hWnd || FromHandlePermanent(hWnd)) return FALSE;
  // A temporary object for the same window would go stale: drop it.
  const auto temp = State().temporary.find(hWnd);
  if (temp != State().temporary.end()) {
    temp->second->m_hWnd = nullptr;
    delete temp->second;
    State().temporary.erase(temp);
  }
  State().permanent[hWnd] = this;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd) State().permanent.erase(hWnd);
  m_hWnd = nullptr;
  return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!::IsWindow(hWnd) || !Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  auto old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
  if (old != AfxWndProc) m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  HWND control = ::GetDlgItem(parent->GetSafeHwnd(), static_cast<int>(id));
  return control && SubclassWindow(control);
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper)
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

// The last message: unbind, end the program with its main window, and let
// the object clean up after itself.
void CWnd::OnNcDestroy() {
  CWinThread* thread = AfxGetThread();
  if (thread && thread->m_pMainWnd == this) {
    CWinApp* app = AfxGetApp();
    if (app && static_cast<CWinThread*>(app) == thread) ::PostQuitMessage(0);
    thread->m_pMainWnd = nullptr;
  }
  if (m_pfnSuper && ::IsWindow(m_hWnd))
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  Detach();
  PostNcDestroy();
}

// --- creation -------------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass)
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU idOrMenu,
                    void* param) {
  CREATESTRUCTA cs{param, ::GetModuleHandleA(nullptr), idOrMenu, parent, height, width, y, x,
                   static_cast<LONG>(style), windowName, className, exStyle};
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                cs.lpCreateParams);
  AfxUnhookWindowCreate();
  return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, void* param) {
  return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top,
                  parent ? parent->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, void* context) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, context);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

// --- dispatch ----------------------------------------------------------------------

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& msg = State().current;
  return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const MSG* CWnd::GetCurrentMessage() { return &State().current; }

// Commands and notifications go to OnCommand/OnNotify; control messages are
// offered to the control first; everything else is looked up in the map.
BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (m_pCtrlSite) AfxControlSiteMessage(this, message, wParam, lParam);
  UINT key = message;
  UINT id = 0;
  switch (message) {
    case WM_COMMAND:
      if (!OnCommand(wParam, lParam)) return FALSE;
      *result = 0;
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(wParam, lParam, result);
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_MENU &&
          ReflectToChild(this, item->hwndItem, message, wParam, lParam, result))
        return TRUE;
      break;
    }
    case WM_MEASUREITEM: {
      const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_MENU &&
          ReflectToChild(this, ::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID)), message,
                         wParam, lParam, result))
        return TRUE;
      break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (lParam && ReflectToChild(this, reinterpret_cast<HWND>(lParam), message, wParam, lParam,
                                   result))
        return TRUE;
      break;
    default:
      if (IsCtlColor(message)) {
        if (ReflectToChild(this, reinterpret_cast<HWND>(lParam), message, wParam, lParam, result))
          return TRUE;
        key = AFX_WM_CTLCOLOR;
        id = message - WM_CTLCOLORMSGBOX;
      }
      break;
  }
  const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), key, 0, 0);
  if (!entry) return FALSE;
  AFX_MSGCALL call{message, wParam, lParam, id, nullptr, 0};
  entry->pfn(this, call);
  *result = call.result;
  return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  int code = HIWORD(wParam);
  HWND control = reinterpret_cast<HWND>(lParam);
  if (control) {
    LRESULT ignored = 0;
    if (ReflectToChild(this, control, WM_COMMAND, wParam, lParam, &ignored)) return TRUE;
  } else {
    code = CN_COMMAND;  // menu or accelerator
    // A command disabled by its update handler must not run from an
    // accelerator either.
    CTestCmdUI state;
    state.m_nID = id;
    OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
    if (!state.m_bEnabled) return TRUE;
  }
  return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header->hwndFrom &&
      ReflectToChild(this, header->hwndFrom, WM_NOTIFY, 0, lParam, result))
    return TRUE;
  AFX_NOTIFY notify{result, header};
  return OnCmdMsg(static_cast<UINT>(header->idFrom), MAKELONG(header->code, WM_NOTIFY), &notify,
                  nullptr);
}

// Looks for a reflected-message entry for what the parent received.
BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  UINT key = message;
  UINT code = 0;
  UINT id = 0;
  if (message == WM_COMMAND) {
    code = HIWORD(wParam);
  } else if (message == WM_NOTIFY) {
    code = LOWORD(reinterpret_cast<NMHDR*>(lParam)->code);
  } else if (IsCtlColor(message)) {
    key = AFX_WM_CTLCOLOR;
    id = message - WM_CTLCOLORMSGBOX;
  }
  const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), WM_REFLECT_BASE + key, code, 0);
  if (!entry) return FALSE;
  AFX_MSGCALL call{message, wParam, lParam, id, nullptr, 0};
  const bool handled = entry->pfn(this, call);
  if (result) *result = call.result;
  return handled;
}

HBRUSH CWnd::OnCtlColor(HDC, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

// --- modal loops ----------------------------------------------------------------------

BOOL CWnd::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) && ::IsWindow(m_hWnd); }

void CWnd::EndModalLoop(int result) {
  m_nModalResult = result;
  if (m_nFlags & WF_CONTINUEMODAL) {
    m_nFlags &= ~WF_CONTINUEMODAL;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the loop
  }
}

void CWnd::ShowModalWindow() {
  if (!m_hWnd || IsWindowVisible() || !ContinueModal()) return;
  ShowWindow(SW_SHOWNORMAL);
  UpdateWindow();
}

// Pumps messages until EndModalLoop; shows the window at the first idle
// moment. A WM_QUIT ends the loop with -1 and is posted again for the caller.
int CWnd::RunModalLoop() {
  m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
  bool idle = true;
  LONG idleCount = 0;
  MSG msg;
  while (ContinueModal()) {
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      ShowModalWindow();
      if (idle) {
        ::SendMessageA(m_hWnd, WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++);
        idle = false;
        continue;
      }
    }
    if (!AfxPumpMessage()) {
      ::PostQuitMessage(0);
      m_nModalResult = -1;
      break;
    }
    // Paint and timer messages come only once nothing else waits: the
    // dialog shows then too, so a window that keeps repainting or a
    // periodic timer cannot keep it hidden.
    const UINT pumped = AfxLastPumpedMessage()->message;
    if (pumped == WM_PAINT || pumped == WM_TIMER || pumped == 0x0118) ShowModalWindow();
    if (AfxIsIdleMessage(AfxLastPumpedMessage())) {
      idle = true;
      idleCount = 0;
    }
  }
  m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
  return m_nModalResult;
}

// --- data exchange and update-UI -------------------------------------------------------

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const CUserException&) {
    return FALSE;
  }
  return TRUE;
}

void CWnd::UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler) {
  CCmdUI state;
  for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
    if (id == 0 || id == 0xFFFF) continue;
    state.m_pOther = FromHandle(child);
    state.m_nID = id;
    // Check boxes and group boxes that run themselves stay enabled.
    BOOL disable = disableIfNoHandler;
    const auto dlgCode = ::SendMessageA(child, WM_GETDLGCODE, 0, 0);
    if (!(dlgCode & DLGC_BUTTON)) {
      disable = FALSE;
    } else {
      const DWORD type = static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE)) & BS_TYPEMASK;
      if (type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_GROUPBOX ||
          type == BS_AUTORADIOBUTTON)
        disable = FALSE;
    }
    state.DoUpdate(target, disable);
  }
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep,
                                    BOOL onlyPermanent) {
  for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
    if (!onlyPermanent || FromHandlePermanent(child)) ::SendMessageA(child, message, wParam, lParam);
    if (deep && ::GetTopWindow(child)) {
      CWnd relay;
      relay.m_hWnd = child;
      relay.SendMessageToDescendants(message, wParam, lParam, deep, onlyPermanent);
      relay.m_hWnd = nullptr;
    }
  }
}

// --- relatives -------------------------------------------------------------------------

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
CWnd* CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }

int CWnd::SetDlgCtrlID(int id) {
  return static_cast<int>(::SetWindowLongPtrA(m_hWnd, GWLP_ID, id));
}

CFrameWnd* CWnd::GetParentFrame() const {
  for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
    CWnd* wnd = FromHandlePermanent(h);
    if (wnd && wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(wnd);
  }
  return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
  CFrameWnd* frame = IsKindOf(RUNTIME_CLASS(CFrameWnd))
                         ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this))
                         : GetParentFrame();
  while (frame) {
    CFrameWnd* up = frame->GetParentFrame();
    if (!up) break;
    frame = up;
  }
  return frame;
}

CWnd* CWnd::GetTopLevelParent() const {
  HWND h = m_hWnd;
  while (h && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
  return FromHandle(h);
}

// --- wrappers ---------------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }

CString AfxGetWindowText(HWND hWnd) {
  CString text;
  const int length = ::GetWindowTextLengthA(hWnd);
  char* buffer = text.GetBuffer(length + 1);
  const int got = ::GetWindowTextA(hWnd, buffer, length + 1);
  text.ReleaseBuffer(got > 0 ? got : 0);
  return text;
}

CString CWnd::GetWindowText() const { return AfxGetWindowText(m_hWnd); }

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(const RECT& rect, BOOL repaint) {
  MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
  return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
}

// Centres a child in its parent, a top-level window over its owner (or the
// alternate owner) or else on the work area; never pushes it off the screen.
void CWnd::CenterWindow(CWnd* alternateOwner) {
  CRect self;
  GetWindowRect(&self);
  CRect area;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  CRect around = area;
  const bool child = (GetStyle() & WS_CHILD) != 0;
  HWND owner = alternateOwner ? alternateOwner->m_hWnd
                              : (child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
  if (child && owner) {
    ::GetClientRect(owner, &around);
    area = around;
  } else if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &around);
  }
  int x = around.left + (around.Width() - self.Width()) / 2;
  int y = around.top + (around.Height() - self.Height()) / 2;
  if (x + self.Width() > area.right) x = area.right - self.Width();
  if (y + self.Height() > area.bottom) y = area.bottom - self.Height();
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::ScreenToClient(RECT* rect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&rect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&rect->right));
}

void CWnd::ClientToScreen(RECT* rect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rect->left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rect->right));
}

BOOL CWnd::RedrawWindow(const RECT* rect, HRGN region, UINT flags) {
  return ::RedrawWindow(m_hWnd, rect, region, flags);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) {
  return ::SetTimer(m_hWnd, id, elapse, proc);
}

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }

DWORD CWnd::GetExStyle() const {
  return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE));
}

// Changes a style word; with `flags` the frame is told (SWP_FRAMECHANGED).
static BOOL ModifyStyleWord(HWND hWnd, int index, DWORD remove, DWORD add, UINT flags) {
  const auto old = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, index));
  const DWORD style = (old & ~remove) | add;
  if (style == old) return FALSE;
  ::SetWindowLongPtrA(hWnd, index, static_cast<LONG_PTR>(style));
  if (flags)
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
  return ModifyStyleWord(m_hWnd, GWL_STYLE, remove, add, flags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
  return ModifyStyleWord(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

HICON CWnd::GetIcon(BOOL big) const {
  return reinterpret_cast<HICON>(SendMessage(WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
}

void CWnd::SetFont(HFONT font, BOOL redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

void CWnd::CheckRadioButton(int first, int last, int check) {
  ::CheckRadioButton(m_hWnd, first, last, check);
}

int CWnd::GetCheckedRadioButton(int first, int last) const {
  for (int id = first; id <= last; ++id)
    if (::IsDlgButtonChecked(m_hWnd, id)) return id;
  return 0;
}

CString CWnd::GetDlgItemText(int id) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  return item ? AfxGetWindowText(item) : CString();
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  text = GetDlgItemText(id);
  return text.GetLength();
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) {
  ::SetDlgItemInt(m_hWnd, id, value, isSigned);
}

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const {
  return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
}

int CWnd::SetScrollPos(int bar, int pos, BOOL redraw) {
  return ::SetScrollPos(m_hWnd, bar, pos, redraw);
}

void CWnd::GetScrollRange(int bar, int* minPos, int* maxPos) const {
  ::GetScrollRange(m_hWnd, bar, minPos, maxPos);
}

BOOL CWnd::SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw) {
  info->cbSize = sizeof(SCROLLINFO);
  ::SetScrollInfo(m_hWnd, bar, info, redraw);
  return TRUE;
}

BOOL CWnd::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask) const {
  info->cbSize = sizeof(SCROLLINFO);
  info->fMask = mask;
  return ::GetScrollInfo(m_hWnd, bar, info);
}

void CWnd::ScrollWindow(int dx, int dy, const RECT* rect, const RECT* clip) {
  ::ScrollWindow(m_hWnd, dx, dy, rect, clip);
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
  const CString title = caption ? CString(caption) : AfxGetAppName();
  return ShowMessageBox(m_hWnd, text, title, type);
}
