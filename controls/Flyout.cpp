// QVFlyoutTrueColor and CFlyout.
#include "controls/Flyout.h"

#include "framework/AfxRes.h"
#include "framework/Frame.h"

IMPLEMENT_DYNAMIC(QVFlyoutTrueColor, CColorToolBar)
IMPLEMENT_DYNAMIC(CFlyout, CColorToolBar)

namespace {

// Posted by a bar to itself: destroy the palettes it has closed.
const UINT WM_DESTROY_CLOSED_FLYOUTS = ::RegisterWindowMessageA("Ovelin.DestroyClosedFlyouts");

// The command of button `index` of a toolbar; 0 when there is none.
int CommandAt(const CWnd* toolbar, int index) {
  TBBUTTON button{};
  if (!toolbar->SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) return 0;
  return button.idCommand;
}

// A point of `from`'s client area in `to`'s, packed as a mouse message wants it.
LPARAM MapPoint(const CWnd* from, const CWnd* to, CPoint point) {
  from->ClientToScreen(&point);
  to->ScreenToClient(&point);
  return MAKELPARAM(point.x, point.y);
}

// The status bar of the bar's frame shows the prompt of button `index`, or
// the idle text when no button is under the pointer.
void ShowFlyByPrompt(const CControlBar* bar, int index) {
  CFrameWnd* frame = bar->GetDockingFrame();
  if (!frame || !(bar->GetBarStyle() & CBRS_FLYBY)) return;
  const int command = index >= 0 ? CommandAt(bar, index) : 0;
  frame->SetMessageText(command ? static_cast<UINT>(command) : AFX_IDS_IDLEMESSAGE);
}

}  // namespace

// --- QVFlyoutTrueColor -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(QVFlyoutTrueColor, CColorToolBar)
  ON_WM_LBUTTONDOWN()
  ON_WM_TIMER()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_REGISTERED_MESSAGE(WM_DESTROY_CLOSED_FLYOUTS, OnDestroyClosedFlyouts)
END_MESSAGE_MAP()

QVFlyoutTrueColor::QVFlyoutTrueColor() { flyoutDescriptions.SetSize(kFlyoutSlots); }

QVFlyoutTrueColor::~QVFlyoutTrueColor() {
  delete openFlyout;
  openFlyout = nullptr;
  DeleteClosedFlyouts();
}

BOOL QVFlyoutTrueColor::SetFlyout(int index, int toolbarId, int normalBitmapId, int hotBitmapId,
                                  int disabledBitmapId, int buttonWidth) {
  // Guard: the table has twenty slots and never grows.
  if (index < 0 || index >= flyoutDescriptions.GetSize()) return FALSE;
  TBBUTTON button{};
  if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) return FALSE;
  flyoutDescriptions[index] =
      QVFlyoutDescription{toolbarId, normalBitmapId, hotBitmapId, disabledBitmapId, buttonWidth};
  return TRUE;
}

// The button shows pressed and the bar captures the mouse; a button with a
// palette opens it now or after the hold delay.
void QVFlyoutTrueColor::OnLButtonDown(UINT, CPoint point) {
  Default();
  pressedIndex = static_cast<int32_t>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
  // Guard: a button past the description slots has no palette to read.
  if (pressedIndex < 0 || pressedIndex >= flyoutDescriptions.GetSize()) return;
  currentFlyout = flyoutDescriptions[pressedIndex];
  if (currentFlyout.toolbarId == 0) return;
  if (holdDelay <= 0)
    OpenFlyout();
  else
    SetTimer(kHoldTimer, static_cast<UINT>(holdDelay));
}

void QVFlyoutTrueColor::OnTimer(UINT_PTR id) {
  if (id == kHoldTimer)
    OpenFlyout();
  else
    Default();
}

// Floats the pressed button's palette beside it: below the button on a
// horizontal or floating bar, to its right on a bar docked at a side.
void QVFlyoutTrueColor::OpenFlyout() {
  CloseFlyout();
  if (holdDelay > 0) KillTimer(kHoldTimer);
  CFrameWnd* frame = GetDockingFrame();
  if (!frame) return;
  auto* palette = new CFlyout(this);
  if (!palette->CreateEx(frame, TBSTYLE_FLAT,
                         WS_CHILD | WS_VISIBLE | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
                         CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) ||
      !palette->LoadToolBar(LOWORD(currentFlyout.toolbarId)) ||
      !palette->LoadImageLists(currentFlyout.buttonWidth, currentFlyout.normalBitmapId,
                               currentFlyout.hotBitmapId, currentFlyout.disabledBitmapId)) {
    delete palette;
    return;
  }
  CRect button;
  SendMessage(TB_GETITEMRECT, pressedIndex, reinterpret_cast<LPARAM>(&button));
  ClientToScreen(&button);
  const bool below = IsFloating() || (GetBarStyle() & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM));
  const CPoint anchor = below ? CPoint(button.left, button.bottom) : CPoint(button.right, button.top);
  palette->EnableDocking(CBRS_ALIGN_ANY);
  frame->FloatControlBar(palette, anchor, CBRS_ALIGN_TOP);
  openFlyout = palette;
}

// While the button is held the bar has the capture: the palette gets the
// moves so that it can highlight the button under the pointer.
void QVFlyoutTrueColor::OnMouseMove(UINT flags, CPoint point) {
  Default();
  if (!openFlyout || !openFlyout->GetSafeHwnd()) return;
  openFlyout->SendMessage(WM_MOUSEMOVE, flags, MapPoint(this, openFlyout, point));
}

// A release over a highlighted palette button sends its command (through
// this bar to the frame); the palette closes either way.
void QVFlyoutTrueColor::OnLButtonUp(UINT, CPoint) {
  if (holdDelay > 0) KillTimer(kHoldTimer);
  if (openFlyout && openFlyout->hotIndex >= 0) {
    const int command = CommandAt(openFlyout, openFlyout->hotIndex);
    if (command) PostMessage(WM_COMMAND, static_cast<WPARAM>(command), 0);
    Invalidate();
  }
  CloseFlyout();
  Default();
}

void QVFlyoutTrueColor::CloseFlyout() {
  if (!openFlyout) return;
  CFlyout* palette = openFlyout;
  openFlyout = nullptr;
  palette->owner = nullptr;
  if (HWND popup = palette->GetFloatingFrame())
    ::ShowWindow(popup, SW_HIDE);
  else if (palette->GetSafeHwnd())
    palette->ShowWindow(SW_HIDE);
  // The palette's prompt goes with it; the bar's own hot button may have one.
  if (palette->hotIndex >= 0)
    ShowFlyByPrompt(this, static_cast<int>(SendMessage(TB_GETHOTITEM)));
  // Guard: this may run inside the palette's own handler, so it must live on.
  m_closedFlyouts.push_back(palette);
  PostMessage(WM_DESTROY_CLOSED_FLYOUTS);
}

LRESULT QVFlyoutTrueColor::OnDestroyClosedFlyouts(WPARAM, LPARAM) {
  DeleteClosedFlyouts();
  return 0;
}

void QVFlyoutTrueColor::DeleteClosedFlyouts() {
  std::vector<CFlyout*> closed;
  closed.swap(m_closedFlyouts);
  for (CFlyout* palette : closed) delete palette;
}

// --- CFlyout -------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFlyout, CColorToolBar)
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_NOTIFY_REFLECT(TBN_HOTITEMCHANGE, OnHotItemChange)
END_MESSAGE_MAP()

CFlyout::~CFlyout() = default;

CSize CFlyout::CalcDynamicLayout(int length, DWORD mode) {
  HWND popup = GetFloatingFrame();
  if (popup && (::GetWindowLongPtrA(popup, GWL_STYLE) & WS_CAPTION)) {
    const auto style = ::GetWindowLongPtrA(popup, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CAPTION);
    ::SetWindowLongPtrA(popup, GWL_STYLE, style);
    ::SetWindowPos(popup, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  return CColorToolBar::CalcDynamicLayout(length, mode);
}

// The checked look is the palette's highlight; off the buttons nothing is
// lit. That highlight, not the toolbar's hot item, is what the user
// follows, so the status bar shows the highlighted button's prompt.
void CFlyout::OnMouseMove(UINT, CPoint point) {
  Default();
  int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
  if (hotIndex >= 0) SendMessage(TB_CHECKBUTTON, CommandAt(this, hotIndex), MAKELPARAM(FALSE, 0));
  if (index < 0 || index >= GetCount()) index = -1;
  const bool changed = index != hotIndex;
  hotIndex = index;
  if (hotIndex >= 0) SendMessage(TB_CHECKBUTTON, CommandAt(this, hotIndex), MAKELPARAM(TRUE, 0));
  if (changed) ShowFlyByPrompt(this, hotIndex);
}

// The toolbar's own hot tracking comes and goes while the bar holds the
// capture; the frame hears nothing of it, the highlight gives the prompt.
void CFlyout::OnHotItemChange(NMHDR*, LRESULT* result) { *result = 0; }

// The owner sends the command and closes this palette; nothing of this
// object is touched after the release has been passed on.
void CFlyout::OnLButtonUp(UINT flags, CPoint point) {
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  QVFlyoutTrueColor* bar = owner;
  if (bar && bar->GetSafeHwnd()) bar->SendMessage(WM_LBUTTONUP, flags, MapPoint(this, bar, point));
}
