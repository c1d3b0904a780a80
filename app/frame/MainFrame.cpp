// CMainFrame: the bars, the road of an edit, DDE and the focus handler.
#include "app/frame/MainFrame.h"

#include <dde.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "app/App.h"
#include "app/document/Document.h"
#include "app/frame/ShortcutPalettes.h"
#include "app/keyboard/ScreenKeyboard.h"
#include "app/startup/StartupManager.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)

BYTE CMainFrame::ScreenKeyboardVisible = 0;
int CMainFrame::ScreenKeyboardPage = CMainFrame::kDefaultKeyboardPage;

namespace {

// Width in pixels of one image of the "Shortcuts" bar's strip.
constexpr int kShortcutImageWidth = 24;

// Twenty empty lines.
constexpr const char* kEmptyEquation =
    "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";

bool Overlaps(const CRect& a, const CRect& b) {
  RECT common;
  return ::IntersectRect(&common, &a, &b) != FALSE;
}

// `rect` moved the least way that puts it inside `area`.
CRect MovedInside(CRect rect, const RECT& area) {
  rect.OffsetRect(std::min<LONG>(0, area.right - rect.right),
                  std::min<LONG>(0, area.bottom - rect.bottom));
  rect.OffsetRect(std::max<LONG>(0, area.left - rect.left), std::max<LONG>(0, area.top - rect.top));
  return rect;
}

// Where a window of `size` goes beside `frame` inside `work`: right of it,
// left of it, below it or above it. The first place that leaves the frame
// uncovered wins; on a crowded screen the first that leaves its bars
// (toolbars and text box) uncovered; else the work area's bottom right.
CRect PlaceBeside(const CRect& frame, const std::vector<CRect>& bars, CSize size, const RECT& work) {
  const CRect places[] = {
      MovedInside(CRect(CPoint(frame.right, frame.top), size), work),
      MovedInside(CRect(CPoint(frame.left - size.cx, frame.top), size), work),
      MovedInside(CRect(CPoint(frame.left, frame.bottom), size), work),
      MovedInside(CRect(CPoint(frame.left, frame.top - size.cy), size), work)};
  for (const CRect& place : places)
    if (!Overlaps(place, frame)) return place;
  for (const CRect& place : places)
    if (std::none_of(bars.begin(), bars.end(), [&](const CRect& bar) { return Overlaps(place, bar); }))
      return place;
  return MovedInside(CRect(CPoint(work.right - size.cx, work.bottom - size.cy), size), work);
}

}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_WM_SETFOCUS()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_DDE_EXECUTE, OnDDEExecute)
  ON_EN_CHANGE(IDC_EQUATION_EDIT, OnEquationEditChange)
  ON_COMMAND(ID_SCREEN_KEYBOARD, OnScreenKeyboard)
  ON_UPDATE_COMMAND_UI(ID_SCREEN_KEYBOARD, OnUpdateScreenKeyboard)
  ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
  ON_MESSAGE(StartupManager::kUpdateAvailableMessage, OnUpdateAvailable)
END_MESSAGE_MAP()

// Any step that fails makes the frame fail, and with it the program's start.
int CMainFrame::OnCreate(LPCREATESTRUCTA cs) {
  if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;
  if (!CreateToolBar() || !CreateStatusBar() || !CreateEquationBar()) return -1;
  EnableDocking(CBRS_ALIGN_ANY);
  if (!CreateShortcutsBar() || !AttachEquationEdit()) return -1;
  AddShortcutPalettes();
  StartWithEmptyEquation();
  if (ScreenKeyboardVisible)
    ShowScreenKeyboard(ScreenKeyboardPage);
  else
    HideScreenKeyboard();
  RecalcLayout();
  // The frame is not a layered window, so alpha 1 leaves it as it is.
  theLayeredWindowHelper.SetLayeredWindowAttributes(m_hWnd, 0, 1, LWA_ALPHA);
  return 0;
}

BOOL CMainFrame::CreateToolBar() {
  return m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_BORDER_BOTTOM |
                                   CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
                               CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) &&
         m_wndToolBar.LoadToolBar(IDR_MAINFRAME);
}

BOOL CMainFrame::CreateStatusBar() {
  static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                    ID_INDICATOR_SCRL};
  return m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM | CBRS_BORDER_TOP,
                               AFX_IDW_STATUS_BAR) &&
         m_wndStatusBar.SetIndicators(indicators, static_cast<int>(std::size(indicators)));
}

BOOL CMainFrame::CreateEquationBar() {
  return m_wndDlgBar.Create(this, IDD_EQUATION_BAR, CBRS_TOP | CBRS_BORDER_BOTTOM,
                            IDD_EQUATION_BAR);
}

// Its palettes open at the press: a hold delay would only slow the user.
BOOL CMainFrame::CreateShortcutsBar() {
  QVFlyoutTrueColor& bar = m_wndShortcuts;
  if (!bar.CreateEx(this, TBSTYLE_FLAT,
                    WS_CHILD | WS_VISIBLE | CBRS_LEFT | CBRS_BORDER_RIGHT | CBRS_TOOLTIPS |
                        CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
                    CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) ||
      !bar.LoadToolBar(IDR_SHORTCUTS) ||
      !bar.LoadImageLists(kShortcutImageWidth, IDB_SHORTCUTS, IDB_SHORTCUTS, IDB_SHORTCUTS))
    return FALSE;
  bar.EnableWindow(TRUE);
  bar.SetWindowText("Shortcuts");
  bar.EnableDocking(CBRS_ALIGN_LEFT);
  DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
  bar.holdDelay = 0;
  return TRUE;
}

// The box takes as much text as a document holds: its own limit of about
// thirty thousand characters would drop what is typed into a longer one.
BOOL CMainFrame::AttachEquationEdit() {
  QVEdit* edit = GetQVMApp()->EquationEdit;
  if (!edit || !edit->SubclassDlgItem(IDC_EQUATION_EDIT, &m_wndDlgBar)) return FALSE;
  edit->LimitText(QVM400Doc::kMaxTextLength);
  return TRUE;
}

// A button the toolbar lacks simply gets no palette.
void CMainFrame::AddShortcutPalettes() {
  for (const ShortcutPalette& palette : ShortcutPalettes()) {
    const int bitmap = static_cast<int>(palette.bitmap);
    m_wndShortcuts.SetFlyout(palette.button, static_cast<int>(palette.toolbar), bitmap, bitmap,
                             bitmap, palette.imageWidth);
  }
}

void CMainFrame::StartWithEmptyEquation() {
  QVM400App* app = GetQVMApp();
  app->EquationEdit->SetWindowText(kEmptyEquation);
  app->RefocusEdit = 1;
}

QVM400Doc* CMainFrame::GetActiveEquationDocument() const {
  CMDIChildWnd* child = MDIGetActive();
  CDocument* doc = child ? child->GetActiveDocument() : nullptr;
  return doc && doc->IsKindOf(RUNTIME_CLASS(QVM400Doc)) ? static_cast<QVM400Doc*>(doc) : nullptr;
}

// A multi-line edit sends no EN_CHANGE for WM_SETTEXT, so writing the text
// back raises no second change. Writing it also empties the box's undo
// buffer, so text that is already normal stays untouched.
void CMainFrame::OnEquationEditChange() {
  QVM400Doc* doc = GetActiveEquationDocument();
  QVEdit* edit = GetQVMApp()->EquationEdit;
  if (!doc || !edit || !edit->GetSafeHwnd()) return;
  int start = 0;
  int end = 0;
  edit->GetSel(start, end);
  const CString typed = edit->GetWindowText();
  doc->SetEquationText(typed);
  const CString normalised = doc->GetEquationText();
  if (normalised != typed) {
    edit->SetWindowText(normalised);
    edit->SetSel(start, end);
  }
  edit->SendMessage(EM_SCROLLCARET);
}

LRESULT CMainFrame::OnDDEExecute(WPARAM client, LPARAM data) {
  return ExecuteDDE(client, data, kMaxDDECommand);
}

void CMainFrame::OnSetFocus(CWnd* old) {
  CMDIFrameWnd::OnSetFocus(old);
  QVM400App* app = GetQVMApp();
  app->RefocusEdit = 1;
  app->FontIni.Load();
  app->ControlIni.WriteInt("Control", "Running", 1, true);
  app->ControlIni.Save();
}

void CMainFrame::OnScreenKeyboard() {
  if (ScreenKeyboardVisible) {
    ScreenKeyboardVisible = 0;
    HideScreenKeyboard();
  } else {
    ScreenKeyboardVisible = 1;
    ShowScreenKeyboard(ScreenKeyboardPage);
  }
}

void CMainFrame::OnUpdateScreenKeyboard(CCmdUI* cmdUI) {
  cmdUI->SetCheck(ScreenKeyboardVisible ? 1 : 0);
}

// The update check's worker found a newer version: its dialog runs here, on
// the user-interface thread.
LRESULT CMainFrame::OnUpdateAvailable(WPARAM, LPARAM) {
  GetQVMApp()->Startup.ShowUpdateNotices();
  return 0;
}

// --- on-screen keyboard --------------------------------------------------------------

// Without a parent, so that it stays on screen whatever the frame does. Made
// when first shown: most sessions never show it, and a start need not pay
// for its window.
void CMainFrame::CreateScreenKeyboard() {
  if (!theScreenKeyboard.GetSafeHwnd()) theScreenKeyboard.Create(IDD_SCREEN_KEYBOARD, nullptr);
}

// The first time it opens beside the frame; after that it stays where the
// user put it.
void CMainFrame::ShowScreenKeyboard(int layout) {
  CreateScreenKeyboard();
  if (!theScreenKeyboard.GetSafeHwnd()) return;
  theScreenKeyboard.BuildLayout(layout);
  if (!m_keyboardPlaced) {
    PlaceScreenKeyboard();
    m_keyboardPlaced = true;
  }
  theScreenKeyboard.ShowWindow(SW_SHOWNA);
}

// Beside the frame, on the frame's screen, clear of the toolbars and the text box.
void CMainFrame::PlaceScreenKeyboard() {
  CRect frame;
  GetWindowRect(&frame);
  CRect keyboard;
  theScreenKeyboard.GetWindowRect(&keyboard);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  std::vector<CRect> bars(3);
  m_wndToolBar.GetWindowRect(&bars[0]);
  m_wndDlgBar.GetWindowRect(&bars[1]);
  m_wndShortcuts.GetWindowRect(&bars[2]);
  const CRect place = PlaceBeside(frame, bars, keyboard.Size(), monitor.rcWork);
  theScreenKeyboard.SetWindowPos(nullptr, place.left, place.top, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainFrame::HideScreenKeyboard() {
  if (theScreenKeyboard.GetSafeHwnd()) theScreenKeyboard.ShowWindow(SW_HIDE);
}

// The keyboard's window ends with the program's main window, while the class
// library can still take it down (it lets go of any key it holds).
void CMainFrame::OnDestroy() {
  // No update dialog can come after the main window.
  GetQVMApp()->Startup.StopUpdateChecks();
  if (theScreenKeyboard.GetSafeHwnd()) {
    theScreenKeyboard.ShowWindow(SW_HIDE);
    theScreenKeyboard.DestroyWindow();
  }
  CMDIFrameWnd::OnDestroy();
}
