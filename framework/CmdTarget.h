// CCmdTarget, message maps and CCmdUI.
// A message map is a static table of {message, code, id range, handler},
// one per class, linked to the base class's table; lookups walk the chain
// from the most derived class up. Handlers are stored as small typed thunks
// made by the ON_ macros, so a handler of the wrong signature fails to
// compile instead of being called through a cast.
// Choices of ours: command routing order is active view, document, child
// frame, main frame, application (see Frame.cpp); a command with no handler
// anywhere on that route is disabled by the update-UI pass.
#pragma once

#include "framework/Object.h"
#include "framework/Platform.h"

class CCmdTarget;
class CCmdUI;
class CWnd;

// Notification codes for command routing (the low word of nCode in
// OnCmdMsg; the high word holds the message for WM_NOTIFY routing).
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;

// Reflected messages are looked up in the child's map as this base plus the
// original message (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, ...).
constexpr UINT WM_REFLECT_BASE = 0xBC00;
// One map code for all six WM_CTLCOLOR* messages.
constexpr UINT AFX_WM_CTLCOLOR = 0x0019;

// Private messages of the class library.
constexpr UINT WM_SIZEPARENT = 0x0361;
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
constexpr UINT WM_INITIALUPDATE = 0x0364;
constexpr UINT WM_KICKIDLE = 0x036A;

// One dispatch to one handler: what the message carried and what it returns.
struct AFX_MSGCALL {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  UINT nID;      // command or control id (commands and notifications)
  void* pExtra;  // CCmdUI* for update handlers, NMHDR* for notifications
  LRESULT result;
};

// What OnCmdMsg carries for WM_NOTIFY routing.
struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};

// A handler thunk: false when an _EX handler declined the command.
using AFX_PMSG = bool (*)(CCmdTarget* target, AFX_MSGCALL& call);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;  // control code, notification code or CN_ code; 0 otherwise
  UINT nID;
  UINT nLastID;
  AFX_PMSG pfn;  // null ends the table
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg when it is only asked whether a handler exists.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget = nullptr;
  const AFX_MSGMAP_ENTRY* pEntry = nullptr;
};

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;
  ~CCmdTarget() override = default;

  // Routes a command (nCode CN_COMMAND, a control code, CN_UPDATE_COMMAND_UI,
  // or MAKELONG(code, WM_NOTIFY)) through this target's map. With
  // pHandlerInfo set it only reports whether a handler exists.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  // Finds the first entry for `message` (code, id) up the class chain.
  static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                           UINT id);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// What a menu item or a bar's control shows for one command; the update
// handlers set it.
class CCmdUI {
 public:
  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL on = TRUE);
  virtual void SetCheck(int check = 1);  // 0 off, 1 checked, 2 indeterminate
  virtual void SetRadio(BOOL on = TRUE);
  virtual void SetText(const char* text);
  // Lets the next target on the route handle the update too.
  void ContinueRouting() { m_bContinueRouting = TRUE; }

  // Runs the update handler on the route of `target`; with
  // disableIfNoHandler, a command that nobody handles is disabled.
  BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);

  UINT m_nID = 0;
  UINT m_nIndex = 0;         // position in m_pMenu
  HMENU m_pMenu = nullptr;   // the menu being updated, or null
  HMENU m_pSubMenu = nullptr;
  CWnd* m_pOther = nullptr;  // a control being updated, or null
  UINT m_nIndexMax = 0;
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;
};

// Records what an update handler did, without any menu or control.
class CTestCmdUI : public CCmdUI {
 public:
  void Enable(BOOL on = TRUE) override {
    m_bEnabled = on;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int check = 1) override { m_nCheck = check; }
  void SetRadio(BOOL on = TRUE) override { m_nCheck = on ? 1 : 0; }
  void SetText(const char*) override {}
  BOOL m_bEnabled = TRUE;
  int m_nCheck = 0;
};

// --- message map declaration -------------------------------------------------

#define DECLARE_MESSAGE_MAP()                       \
 protected:                                         \
  static const AFX_MSGMAP* GetThisMessageMap();     \
  const AFX_MSGMAP* GetMessageMap() const override; \
                                                    \
 private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                             \
    using ThisClass [[maybe_unused]] = theClass;                                \
    using TheBaseClass = baseClass;                                             \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                          \
  {0, 0, 0, 0, nullptr}                                                            \
  }                                                                                \
  ;                                                                                \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
  return &messageMap;                                                              \
  }

// A thunk body with `self` (ThisClass*) and `call` (AFX_MSGCALL&) in scope.
#define OVELIN_THUNK(body)                                                        \
  [](CCmdTarget* target_, [[maybe_unused]] AFX_MSGCALL& call) -> bool {           \
    [[maybe_unused]] ThisClass* self = static_cast<ThisClass*>(target_);          \
    body                                                                          \
  }

// --- commands -------------------------------------------------------------------

#define ON_COMMAND(id, fn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), OVELIN_THUNK(self->fn(); return true;)},
#define ON_COMMAND_RANGE(first, last, fn)                   \
  {WM_COMMAND, CN_COMMAND, (UINT)(first), (UINT)(last),     \
   OVELIN_THUNK(self->fn(call.nID); return true;)},
#define ON_COMMAND_EX(id, fn)                           \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id),      \
   OVELIN_THUNK(return self->fn(call.nID) != FALSE;)},
#define ON_COMMAND_EX_RANGE(first, last, fn)            \
  {WM_COMMAND, CN_COMMAND, (UINT)(first), (UINT)(last), \
   OVELIN_THUNK(return self->fn(call.nID) != FALSE;)},
#define ON_UPDATE_COMMAND_UI(id, fn)                                \
  {WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), \
   OVELIN_THUNK(self->fn(static_cast<CCmdUI*>(call.pExtra)); return true;)},
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, fn)                    \
  {WM_COMMAND, (UINT)CN_UPDATE_COMMAND_UI, (UINT)(first), (UINT)(last), \
   OVELIN_THUNK(self->fn(static_cast<CCmdUI*>(call.pExtra)); return true;)},

// --- control notifications (WM_COMMAND from a child control) ---------------------

#define ON_CONTROL(code, id, fn) \
  {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), OVELIN_THUNK(self->fn(); return true;)},
#define ON_CONTROL_RANGE(code, first, last, fn)         \
  {WM_COMMAND, (UINT)(code), (UINT)(first), (UINT)(last), \
   OVELIN_THUNK(self->fn(call.nID); return true;)},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_UPDATE(id, fn) ON_CONTROL(EN_UPDATE, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_EDITCHANGE(id, fn) ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_CLOSEUP(id, fn) ON_CONTROL(CBN_CLOSEUP, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)

// --- WM_NOTIFY --------------------------------------------------------------------

#define ON_NOTIFY(code, id, fn)                                                  \
  {WM_NOTIFY, (UINT)(WORD)(code), (UINT)(id), (UINT)(id),                              \
   OVELIN_THUNK(self->fn(reinterpret_cast<NMHDR*>(call.lParam), &call.result);   \
                return true;)},
#define ON_NOTIFY_RANGE(code, first, last, fn)                                           \
  {WM_NOTIFY, (UINT)(WORD)(code), (UINT)(first), (UINT)(last),                                 \
   OVELIN_THUNK(self->fn(call.nID, reinterpret_cast<NMHDR*>(call.lParam), &call.result); \
                return true;)},

// --- messages by number ---------------------------------------------------------------

#define ON_MESSAGE(message, fn) \
  {(UINT)(message), 0, 0, 0, OVELIN_THUNK(call.result = self->fn(call.wParam, call.lParam); return true;)},
#define ON_REGISTERED_MESSAGE(variable, fn) ON_MESSAGE(variable, fn)

// --- reflected to the control that sent them ------------------------------------------

#define ON_CONTROL_REFLECT(code, fn)                        \
  {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0,        \
   OVELIN_THUNK(self->fn(); return true;)},
// The parent sees the notification too when fn returns FALSE.
#define ON_CONTROL_REFLECT_EX(code, fn)              \
  {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, \
   OVELIN_THUNK(return self->fn() != FALSE;)},
#define ON_NOTIFY_REFLECT(code, fn)                                              \
  {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(WORD)(code), 0, 0,                              \
   OVELIN_THUNK(self->fn(reinterpret_cast<NMHDR*>(call.lParam), &call.result);   \
                return true;)},
#define ON_WM_CTLCOLOR_REFLECT()                                                         \
  {WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0, 0,                                           \
   OVELIN_THUNK(HBRUSH brush = self->CtlColor(reinterpret_cast<HDC>(call.wParam), call.nID); \
                call.result = reinterpret_cast<LRESULT>(brush); return brush != nullptr;)},
#define ON_WM_DRAWITEM_REFLECT()                                            \
  {WM_REFLECT_BASE + WM_DRAWITEM, 0, 0, 0,                                  \
   OVELIN_THUNK(self->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(call.lParam)); \
                call.result = TRUE; return true;)},
#define ON_WM_MEASUREITEM_REFLECT()                                               \
  {WM_REFLECT_BASE + WM_MEASUREITEM, 0, 0, 0,                                     \
   OVELIN_THUNK(self->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(call.lParam)); \
                call.result = TRUE; return true;)},
