// CControlBar, CToolBar, CStatusBar, CDialogBar, CMiniDockFrameWnd.
#include "framework/ControlBars.h"

#include <algorithm>
#include <atomic>

#include "framework/AfxRes.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)
IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)
IMPLEMENT_DYNAMIC(CMiniDockFrameWnd, CWnd)

namespace {

// A length that stands for "the whole side" in CalcFixedLayout.
constexpr int kStretch = 32767;
// Space around a toolbar's buttons and around a status bar's text.
constexpr int kToolBarMargin = 2;
constexpr int kStatusPaneMargin = 12;
constexpr int kStatusBarPadding = 8;

std::atomic<long> g_liveImageLists{0};

void InitBarClasses() {
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&icc);
}

// The module that holds resource `id` of `type`: the resource module, else
// the program (a language module need not carry the pictures).
HINSTANCE ModuleWith(UINT id, const char* type) {
  HINSTANCE instance = AfxGetResourceInstance();
  if (::FindResourceA(instance, MAKEINTRESOURCEA(id), type)) return instance;
  return AfxGetInstanceHandle();
}

// A toolbar resource: image size and the button ids (0 = separator).
struct ToolbarData {
  int width = 0;
  int height = 0;
  std::vector<UINT> items;
};

// Reads a toolbar resource; false when it is missing, of another version,
// or shorter than the count it states.
bool ReadToolbarResource(UINT id, ToolbarData& data) {
  const char* type = MAKEINTRESOURCEA(RT_TOOLBAR_ID);
  HINSTANCE instance = ModuleWith(id, type);
  HRSRC info = ::FindResourceA(instance, MAKEINTRESOURCEA(id), type);
  HGLOBAL loaded = info ? ::LoadResource(instance, info) : nullptr;
  const auto* words = loaded ? static_cast<const WORD*>(::LockResource(loaded)) : nullptr;
  const DWORD size = info ? ::SizeofResource(instance, info) : 0;
  // Guard: read no word past the resource's own size.
  if (!words || size < 4 * sizeof(WORD) || words[0] != 1) return false;
  const DWORD count = words[3];
  if (size < (4 + count) * sizeof(WORD) || words[1] == 0 || words[2] == 0) return false;
  data.width = words[1];
  data.height = words[2];
  data.items.assign(words + 4, words + 4 + count);
  return true;
}

// The first pixel of a 24- or 32-bit section's memory (blue, green, red);
// light grey for anything else.
COLORREF FirstPixelColour(const DIBSECTION& section) {
  const auto* bits = static_cast<const BYTE*>(section.dsBm.bmBits);
  if (!bits || section.dsBm.bmBitsPixel < 24) return RGB(192, 192, 192);
  return RGB(bits[2], bits[1], bits[0]);
}

// Update-UI of one toolbar button.
class CToolCmdUI : public CCmdUI {
 public:
  void Enable(BOOL on) override {
    m_bEnableChanged = TRUE;
    const BOOL now = m_pOther->SendMessage(TB_ISBUTTONENABLED, m_nID) != 0;
    if (now != (on != FALSE)) m_pOther->SendMessage(TB_ENABLEBUTTON, m_nID, MAKELPARAM(on, 0));
  }
  void SetCheck(int check) override {
    const BOOL now = m_pOther->SendMessage(TB_ISBUTTONCHECKED, m_nID) != 0;
    if (now != (check == 1)) m_pOther->SendMessage(TB_CHECKBUTTON, m_nID, MAKELPARAM(check == 1, 0));
    m_pOther->SendMessage(TB_INDETERMINATE, m_nID, MAKELPARAM(check == 2, 0));
  }
  void SetText(const char*) override {}
};

}  // namespace

// --- image lists ---------------------------------------------------------------------

HIMAGELIST AfxImageListFromBitmap(UINT bitmapId, int imageWidth) {
  if (imageWidth <= 0) return nullptr;
  HINSTANCE instance = ModuleWith(bitmapId, MAKEINTRESOURCEA(2));  // RT_BITMAP
  CBitmap bitmap;  // the list keeps a copy of the pictures: the bitmap goes
  if (!bitmap.Attach(::LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0,
                                  LR_CREATEDIBSECTION | LR_DEFAULTSIZE)))
    return nullptr;
  DIBSECTION section{};
  if (bitmap.GetObject(sizeof section, &section) != sizeof section) return nullptr;
  const int width = section.dsBm.bmWidth;
  const int height = section.dsBm.bmHeight;
  if (width < imageWidth || height <= 0) return nullptr;
  HIMAGELIST list = ::ImageList_Create(imageWidth, height, ILC_COLOR24 | ILC_MASK,
                                       width / imageWidth, 0);
  if (!list) return nullptr;
  if (::ImageList_AddMasked(list, bitmap, FirstPixelColour(section)) < 0) {
    ::ImageList_Destroy(list);
    return nullptr;
  }
  ++g_liveImageLists;
  return list;
}

void AfxDestroyImageList(HIMAGELIST list) {
  if (list && ::ImageList_Destroy(list)) --g_liveImageLists;
}

long AfxLiveImageLists() { return g_liveImageLists; }

// --- CControlBar ----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CControlBar::~CControlBar() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

void CControlBar::InitBar(CWnd* parent, DWORD style) {
  m_dwStyle = style & CBRS_ALL;
  if (parent && parent->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
    m_pDockSite = static_cast<CFrameWnd*>(parent);
  else
    m_pDockSite = parent ? parent->GetParentFrame() : nullptr;
}

// The bar and the popup it floats in go together.
BOOL CControlBar::DestroyWindow() {
  HWND floating = m_hWndFloat;
  m_hWndFloat = nullptr;
  const BOOL destroyed = CWnd::DestroyWindow();
  if (floating && ::IsWindow(floating)) ::DestroyWindow(floating);
  return destroyed;
}

// Destroyed from outside (::DestroyWindow): the empty popup goes later.
void CControlBar::OnDestroy() {
  if (m_hWndFloat && ::IsWindow(m_hWndFloat)) ::PostMessageA(m_hWndFloat, WM_CLOSE, 0, 0);
  m_hWndFloat = nullptr;
  Default();
}

CSize CControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  if (!stretch) return CSize(0, 0);
  return horz ? CSize(kStretch, 0) : CSize(0, kStretch);
}

CSize CControlBar::CalcDynamicLayout(int, DWORD mode) {
  return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

// Takes a row (top, bottom) or column (left, right) off what the frame has
// left for its panes.
LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  if (!(GetStyle() & WS_VISIBLE) || IsFloating()) return 0;
  CRect& left = static_cast<CRect&>(layout->rect);
  CSize size = CalcFixedLayout(layout->bStretch, IsHorizontal());
  size.cx = std::min<int>(size.cx, left.Width());
  size.cy = std::min<int>(size.cy, left.Height());
  CRect place = left;
  switch (m_dwStyle & CBRS_ALIGN_ANY) {
    case CBRS_ALIGN_BOTTOM: place.top = left.bottom - size.cy; left.bottom -= size.cy; break;
    case CBRS_ALIGN_LEFT: place.right = left.left + size.cx; left.left += size.cx; break;
    case CBRS_ALIGN_RIGHT: place.left = left.right - size.cx; left.right -= size.cx; break;
    default: place.bottom = left.top + size.cy; left.top += size.cy; break;
  }
  if (IsHorizontal()) place.right = place.left + size.cx;
  else place.bottom = place.top + size.cy;
  layout->sizeTotal.cx += IsHorizontal() ? 0 : size.cx;
  layout->sizeTotal.cy += IsHorizontal() ? size.cy : 0;
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (layout->hDWP)
    layout->hDWP = ::DeferWindowPos(layout->hDWP, m_hWnd, nullptr, place.left, place.top,
                                    place.Width(), place.Height(), flags);
  else
    SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(), flags);
  return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if ((GetStyle() & WS_VISIBLE) && m_pDockSite) OnUpdateCmdUI(m_pDockSite, static_cast<BOOL>(wParam));
  return 0;
}

BOOL CControlBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  CFrameWnd* frame = m_pDockSite;
  if (!frame || !frame->GetSafeHwnd()) return FALSE;
  // A menu-like command takes the frame's own road (with its update check);
  // a control's notification has been offered to the control already.
  if (!lParam) {
    frame->SendMessage(WM_COMMAND, wParam, 0);
    return TRUE;
  }
  return frame->OnCmdMsg(LOWORD(wParam), HIWORD(wParam), nullptr, nullptr);
}

// --- CToolBar ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
  ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CToolBar::~CToolBar() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
  FreeImageLists();
}

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect, UINT id) {
  InitBarClasses();
  InitBar(parent, style);
  DWORD windowStyle = (style & ~CBRS_ALL) | ctrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                      CCS_NODIVIDER | CCS_NORESIZE;
  if (style & CBRS_TOOLTIPS) windowStyle |= TBSTYLE_TOOLTIPS;
  if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, windowStyle, CRect(0, 0, 0, 0), parent, id))
    return FALSE;
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT id) {
  ToolbarData data;
  if (!m_hWnd || !ReadToolbarResource(id, data)) return FALSE;
  HIMAGELIST images = AfxImageListFromBitmap(id, data.width);
  if (!images) return FALSE;
  m_sizeImage = CSize(data.width, data.height);
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(data.width, data.height));
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(data.width + 7, data.height + 7));
  SetOwnedImageList(TB_SETIMAGELIST, images);
  while (SendMessage(TB_DELETEBUTTON, 0)) {
  }
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (UINT item : data.items) {
    TBBUTTON button{};
    button.idCommand = static_cast<int>(item);
    if (item == ID_SEPARATOR) {
      button.iBitmap = 6;  // the separator's width
      button.fsStyle = BTNS_SEP;
    } else {
      button.iBitmap = image++;
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON;
    }
    buttons.push_back(button);
  }
  SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  WrapButtons(!IsHorizontal());
  return TRUE;
}

UINT CToolBar::GetItemID(int index) const {
  TBBUTTON button{};
  if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) return 0;
  return static_cast<UINT>(button.idCommand);
}

int CToolBar::CommandToIndex(UINT id) const {
  return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id));
}

void CToolBar::GetItemRect(int index, RECT* rect) const {
  *rect = RECT{0, 0, 0, 0};
  SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect));
}

void CToolBar::SetOwnedImageList(UINT message, HIMAGELIST list) {
  SendMessage(message, 0, reinterpret_cast<LPARAM>(list));
  for (OwnedList& owned : m_ownedLists) {
    if (owned.message != message) continue;
    AfxDestroyImageList(owned.list);  // the toolbar holds the new one now
    owned.list = list;
    return;
  }
  m_ownedLists.push_back({message, list});
}

void CToolBar::FreeImageLists() {
  for (const OwnedList& owned : m_ownedLists) AfxDestroyImageList(owned.list);
  m_ownedLists.clear();
}

// The control lets go of its lists here; then they can go.
void CToolBar::OnNcDestroy() {
  Default();
  FreeImageLists();
  CWnd::OnNcDestroy();
}

void CToolBar::WrapButtons(BOOL vertical) {
  const int count = GetCount();
  bool changed = false;
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button))) continue;
    const BYTE state = vertical ? (button.fsState | TBSTATE_WRAP) : (button.fsState & ~TBSTATE_WRAP);
    if (state == button.fsState) continue;
    // By index: separators share command id 0.
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_STATE;
    info.fsState = state;
    SendMessage(TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
    changed = true;
  }
  if (changed) SendMessage(TB_AUTOSIZE);  // lays the buttons out again
}

// The union of the buttons' rectangles and a small margin; a stretched bar
// takes its whole side.
CSize CToolBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  WrapButtons(!horz);
  CRect all;
  for (int i = 0; i < GetCount(); ++i) {
    CRect item;
    GetItemRect(i, &item);
    all.right = std::max<int>(all.right, item.right);
    all.bottom = std::max<int>(all.bottom, item.bottom);
  }
  CSize size(all.right + kToolBarMargin, all.bottom + kToolBarMargin);
  if (stretch && horz) size.cx = kStretch;
  if (stretch && !horz) size.cy = kStretch;
  return size;
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  CToolCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(GetCount());
  for (int i = 0; i < GetCount(); ++i) {
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button))) continue;
    if (button.fsStyle & BTNS_SEP) continue;
    state.m_nIndex = static_cast<UINT>(i);
    state.m_nID = static_cast<UINT>(button.idCommand);
    state.DoUpdate(target, disableIfNoHandler);
  }
}

// --- CStatusBar ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
  InitBarClasses();
  InitBar(parent, style);
  const DWORD windowStyle =
      (style & ~CBRS_ALL) | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
  return CWnd::CreateEx(0, STATUSCLASSNAMEA, nullptr, windowStyle, CRect(0, 0, 0, 0), parent, id);
}

// Every indicator needs its text in the string table (its width comes
// from it); the message pane starts with the idle text.
BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
  m_panes.clear();
  for (int i = 0; i < count; ++i) {
    Pane pane{ids[i], 0, CString()};
    if (pane.id != ID_SEPARATOR) {
      if (!pane.text.LoadString(pane.id)) return FALSE;
      pane.width = TextWidth(pane.text) + kStatusPaneMargin;
    }
    m_panes.push_back(pane);
  }
  UpdateParts();
  CString idle;
  if (!m_panes.empty() && m_panes[0].id == ID_SEPARATOR && idle.LoadString(AFX_IDS_IDLEMESSAGE))
    SetPaneText(0, idle);
  return TRUE;
}

UINT CStatusBar::GetItemID(int index) const {
  return index >= 0 && index < GetCount() ? m_panes[static_cast<size_t>(index)].id : 0;
}

int CStatusBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_panes[static_cast<size_t>(i)].id == id) return i;
  return -1;
}

BOOL CStatusBar::SetPaneText(int index, const char* text, BOOL) {
  if (index < 0 || index >= GetCount()) return FALSE;
  if (GetPaneText(index) == text) return TRUE;  // no needless repaint
  return SendMessage(SB_SETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)) != 0;
}

CString CStatusBar::GetPaneText(int index) const {
  CString text;
  if (index < 0 || index >= GetCount()) return text;
  const int length = LOWORD(SendMessage(SB_GETTEXTLENGTHA, static_cast<WPARAM>(index)));
  char* buffer = text.GetBuffer(length + 1);
  buffer[0] = '\0';
  SendMessage(SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
  text.ReleaseBuffer(length);
  return text;
}

int CStatusBar::TextWidth(const char* text) const {
  HDC dc = ::GetDC(m_hWnd);
  HFONT font = GetFont();
  HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  return text[0] ? size.cx : metrics.tmHeight;  // an empty text asks for the line height
}

void CStatusBar::UpdateParts() {
  if (m_panes.empty()) return;
  CRect client;
  GetClientRect(&client);
  int fixed = 0;
  for (const Pane& pane : m_panes) fixed += pane.width;
  const int stretch = std::max(0, client.Width() - fixed);
  std::vector<int> edges;
  int edge = 0;
  bool stretched = false;
  for (const Pane& pane : m_panes) {
    edge += pane.width;
    if (pane.id == ID_SEPARATOR && !stretched) {
      edge += stretch;
      stretched = true;
    }
    edges.push_back(edge);
  }
  edges.back() = -1;  // the last part reaches the right edge
  SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void CStatusBar::OnSize(UINT, int, int) {
  Default();
  UpdateParts();
}

CSize CStatusBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  const int height = TextWidth("") + kStatusBarPadding;
  if (!horz) return CSize(height, stretch ? kStretch : 0);
  return CSize(stretch ? kStretch : 0, height);
}

// The key indicators show their text while their key is toggled on.
void CStatusBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {
  for (int i = 0; i < GetCount(); ++i) {
    const Pane& pane = m_panes[static_cast<size_t>(i)];
    int key = 0;
    switch (pane.id) {
      case ID_INDICATOR_CAPS: key = VK_CAPITAL; break;
      case ID_INDICATOR_NUM: key = VK_NUMLOCK; break;
      case ID_INDICATOR_SCRL: key = VK_SCROLL; break;
      default: continue;
    }
    SetPaneText(i, (::GetKeyState(key) & 1) ? pane.text.GetString() : "");
  }
}

// --- CDialogBar ------------------------------------------------------------------------

BOOL CDialogBar::Create(CWnd* parent, UINT templateId, UINT style, UINT id) {
  InitBar(parent, style);
  const DLGTEMPLATE* dialogTemplate = AfxLoadDialogTemplate(MAKEINTRESOURCEA(templateId));
  if (!dialogTemplate || !parent) return FALSE;
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), dialogTemplate,
                                           parent->GetSafeHwnd(), AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  if (!hWnd) return FALSE;
  if (!m_hWnd) {  // not bound: leave nothing behind
    ::DestroyWindow(hWnd);
    return FALSE;
  }
  SetDlgCtrlID(static_cast<int>(id));
  CRect rect;
  GetWindowRect(&rect);
  m_sizeDefault = rect.Size();
  SetWindowPos(nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  if (!stretch) return m_sizeDefault;
  return horz ? CSize(kStretch, m_sizeDefault.cy) : CSize(m_sizeDefault.cx, kStretch);
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  UpdateDialogControls(target, disableIfNoHandler);
}

BOOL CDialogBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (CWnd::OnNotify(wParam, lParam, result)) return TRUE;
  if (!m_pDockSite) return FALSE;
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  AFX_NOTIFY notify{result, header};
  return m_pDockSite->OnCmdMsg(static_cast<UINT>(header->idFrom),
                               MAKELONG(header->code, WM_NOTIFY), &notify, nullptr);
}

// --- CMiniDockFrameWnd -------------------------------------------------------------------

BOOL CMiniDockFrameWnd::Create(CFrameWnd* owner) {
  m_pOwnerFrame = owner;
  const char* className = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  return CreateEx(WS_EX_TOOLWINDOW, className, "", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, 0, 0,
                  0, 0, owner ? owner->GetSafeHwnd() : nullptr, nullptr);
}

void CMiniDockFrameWnd::PlaceAround(CControlBar* bar, CPoint point) {
  // The bar may change this window's style here (a palette drops the caption).
  const CSize size = bar->CalcDynamicLayout(-1, bar->IsHorizontal() ? LM_HORZ : 0);
  bar->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  CRect outer(0, 0, size.cx, size.cy);
  ::AdjustWindowRectEx(&outer, GetStyle(), FALSE, GetExStyle());
  SetWindowPos(nullptr, point.x, point.y, outer.Width(), outer.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

BOOL CMiniDockFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (!m_pOwnerFrame || !m_pOwnerFrame->GetSafeHwnd()) return FALSE;
  m_pOwnerFrame->SendMessage(WM_COMMAND, wParam, lParam);
  return TRUE;
}

BOOL CMiniDockFrameWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!m_pOwnerFrame || !m_pOwnerFrame->GetSafeHwnd()) return FALSE;
  *result = m_pOwnerFrame->SendMessage(WM_NOTIFY, wParam, lParam);
  return TRUE;
}

// --- CFrameWnd: docking, prompts and tooltips of its bars ------------------------------

namespace {

// The side a dock site id stands for; 0 when it names none.
DWORD AlignOfDockSite(UINT dockBarId) {
  switch (dockBarId) {
    case AFX_IDW_DOCKBAR_TOP: return CBRS_ALIGN_TOP;
    case AFX_IDW_DOCKBAR_LEFT: return CBRS_ALIGN_LEFT;
    case AFX_IDW_DOCKBAR_RIGHT: return CBRS_ALIGN_RIGHT;
    case AFX_IDW_DOCKBAR_BOTTOM: return CBRS_ALIGN_BOTTOM;
    default: return 0;
  }
}

// The first side that both allow, in the order top, bottom, left, right.
DWORD FirstCommonSide(DWORD allowed) {
  for (DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT})
    if (allowed & side) return side;
  return 0;
}

// The tooltip part of a command's string: what follows its "\n".
CString ToolTipOf(UINT id) {
  CString text;
  if (id == 0 || !text.LoadString(id)) return CString();
  const int newline = text.Find('\n');
  return newline >= 0 ? text.Mid(newline + 1) : CString();
}

}  // namespace

void CFrameWnd::EnableDocking(DWORD dockStyle) { m_dwDockStyle = dockStyle & CBRS_ALIGN_ANY; }

void CFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId) {
  if (!bar || !bar->GetSafeHwnd()) return;
  DWORD side = AlignOfDockSite(dockBarId);
  if (!side) side = FirstCommonSide(m_dwDockStyle & bar->m_dwDockStyle);
  if (!side) return;
  if (HWND floating = bar->m_hWndFloat) {
    bar->m_hWndFloat = nullptr;
    ::SetParent(bar->m_hWnd, m_hWnd);
    if (::IsWindow(floating)) ::DestroyWindow(floating);
  }
  bar->m_dwStyle = (bar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | side;
  bar->m_pDockSite = this;
  RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* bar, CPoint point, DWORD style) {
  if (!bar || !bar->GetSafeHwnd()) return;
  auto* popup = new CMiniDockFrameWnd;
  if (!popup->Create(this)) return;  // a popup that failed has deleted itself
  const HWND previous = bar->m_hWndFloat;
  // Moved hidden and shown again, so it draws on its new top-level window.
  const bool visible = (bar->GetStyle() & WS_VISIBLE) != 0;
  bar->ShowWindow(SW_HIDE);
  ::SetParent(bar->m_hWnd, popup->m_hWnd);
  if (visible) bar->ShowWindow(SW_SHOWNA);
  bar->m_dwStyle = (bar->m_dwStyle & ~CBRS_ALIGN_ANY) | CBRS_FLOATING | (style & CBRS_ALIGN_ANY);
  bar->m_hWndFloat = popup->m_hWnd;
  bar->m_pDockSite = this;
  popup->PlaceAround(bar, point);
  if (previous && ::IsWindow(previous)) ::DestroyWindow(previous);
  RecalcLayout();
}

CWnd* CFrameWnd::GetMessageBar() const {
  HWND bar = ::GetDlgItem(m_hWnd, static_cast<int>(AFX_IDW_STATUS_BAR));
  return bar ? FromHandle(bar) : nullptr;
}

void CFrameWnd::SetMessageText(const char* text) {
  CWnd* bar = GetMessageBar();
  if (!bar) return;
  if (bar->IsKindOf(RUNTIME_CLASS(CStatusBar)))
    static_cast<CStatusBar*>(bar)->SetPaneText(0, text);
  else
    bar->SetWindowText(text);
}

void CFrameWnd::SetMessageText(UINT id) {
  CString message;
  GetMessageString(id, message);
  SetMessageText(message);
}

void CFrameWnd::GetMessageString(UINT id, CString& message) const {
  message.Empty();
  if (id == 0 || !message.LoadString(id)) return;
  const int newline = message.Find('\n');
  if (newline >= 0) message = message.Left(newline);
}

void CFrameWnd::OnToolTipTextA(UINT, NMHDR* header, LRESULT* result) {
  auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
  *result = 0;
  if (info->uFlags & TTF_IDISHWND) return;
  lstrcpynA(info->szText, ToolTipOf(static_cast<UINT>(header->idFrom)), sizeof info->szText);
  info->lpszText = info->szText;
  info->hinst = nullptr;
}

void CFrameWnd::OnToolTipTextW(UINT, NMHDR* header, LRESULT* result) {
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  *result = 0;
  if (info->uFlags & TTF_IDISHWND) return;
  const CString tip = ToolTipOf(static_cast<UINT>(header->idFrom));
  const int capacity = static_cast<int>(sizeof info->szText / sizeof info->szText[0]);
  if (!::MultiByteToWideChar(CP_ACP, 0, tip, -1, info->szText, capacity))
    info->szText[0] = L'\0';
  info->szText[capacity - 1] = L'\0';
  info->lpszText = info->szText;
  info->hinst = nullptr;
}

// The notification travels the command route, so the active document
// window may be the one to see it first: the prompt goes to the status bar
// of the frame the bar belongs to.
void CFrameWnd::OnHotItemChange(UINT, NMHDR* header, LRESULT* result) {
  *result = 0;  // the hot item may change
  auto* bar = dynamic_cast<CControlBar*>(FromHandlePermanent(header->hwndFrom));
  if (!bar || !(bar->GetBarStyle() & CBRS_FLYBY)) return;
  CFrameWnd* frame = bar->GetDockingFrame() ? bar->GetDockingFrame() : this;
  const auto* hot = reinterpret_cast<const NMTBHOTITEM*>(header);
  if (hot->dwFlags & HICF_LEAVING)
    frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
  else
    frame->SetMessageText(static_cast<UINT>(hot->idNew));
}

// As a flat button drops its highlight when its window loses the
// activation, the toolbars drop their hot button when a dialog or another
// window takes it from the frame: the pointer is no longer theirs, and the
// look and the prompt would otherwise outlast the dialog.
void CFrameWnd::OnActivate(UINT state, CWnd*, BOOL) {
  Default();
  if (state != WA_INACTIVE) return;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    if (dynamic_cast<CToolBar*>(FromHandlePermanent(child)))
      ::SendMessageA(child, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
}

// Menu prompts while a menu is open; the idle text once it closes.
LRESULT CFrameWnd::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
  const UINT flags = HIWORD(wParam);
  if (flags == 0xFFFF && lParam == 0)
    SetMessageText(AFX_IDS_IDLEMESSAGE);
  else if (flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU))
    SetMessageText("");
  else
    SetMessageText(static_cast<UINT>(LOWORD(wParam)));
  return Default();
}
