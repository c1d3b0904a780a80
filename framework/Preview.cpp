// CPreviewBar and CPreviewView: print preview in the frame.
#include "framework/Preview.h"

#include <algorithm>
#include <cmath>

#include "framework/AfxRes.h"
#include "framework/App.h"
#include "framework/Dc.h"
#include "framework/DocView.h"
#include "framework/Print.h"

IMPLEMENT_DYNAMIC(CPreviewBar, CControlBar)
IMPLEMENT_DYNAMIC(CPreviewView, CWnd)

namespace {

// The frame's own pane keeps out of the way under this id meanwhile.
constexpr UINT kHiddenPaneId = AFX_IDW_PANE_LAST;
// Posted to end the preview outside the button's own message (the button
// and its bar go with it); wParam 1 prints afterwards.
constexpr UINT kEndPreviewMessage = WM_APP + 0x300;

constexpr int kHimetricPerInch = 2540;
// Grey around and between the pages, in pixels.
constexpr int kMargin = 16;
// Scroll steps of a line (arrows, wheel notch) in pixels.
constexpr int kScrollLine = 20;
// Guard: a view that names no end of its pages does not fill the memory.
constexpr UINT kMaxPreviewPages = 500;

// Spacing of the button bar, in pixels.
constexpr int kBarGap = 4;
constexpr int kButtonPadding = 14;
constexpr int kButtonMinWidth = 60;

struct PreviewButton {
  UINT command;
  UINT caption;
  UINT otherCaption;  // a caption the button may change to (0: none)
};

constexpr PreviewButton kButtons[] = {
    {ID_PREVIEW_PRINT, AFX_IDS_PREVIEW_PRINT, 0},
    {ID_PREVIEW_NEXT, AFX_IDS_PREVIEW_NEXT, 0},
    {ID_PREVIEW_PREV, AFX_IDS_PREVIEW_PREV, 0},
    {ID_PREVIEW_NUMPAGE, AFX_IDS_PREVIEW_TWOPAGE, AFX_IDS_PREVIEW_ONEPAGE},
    {ID_PREVIEW_ZOOMIN, AFX_IDS_PREVIEW_ZOOMIN, 0},
    {ID_PREVIEW_ZOOMOUT, AFX_IDS_PREVIEW_ZOOMOUT, 0},
    {ID_PREVIEW_CLOSE, AFX_IDS_PREVIEW_CLOSE, 0},
};

// The width of a caption in `dc` (the button's font selected).
int TextWidth(HDC dc, UINT caption) {
  const CString text = AfxLoadString(caption);
  SIZE size{};
  ::GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
  return size.cx;
}

}  // namespace

// ------------------------------------------------------------ CPreviewBar

// Buttons in the system's dialog font, each as wide as its widest caption;
// they take their places when the frame lays the bar out.
BOOL CPreviewBar::Create(CFrameWnd* frame) {
  InitBar(frame, CBRS_TOP);
  const char* windowClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW),
                                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!CreateEx(0, windowClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 0, 0),
                frame, AFX_IDW_PREVIEW_BAR))
    return FALSE;
  HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ previous = ::SelectObject(dc, font);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  buttonHeight_ = metrics.tmHeight + 10;
  for (const PreviewButton& button : kButtons) {
    int width = TextWidth(dc, button.caption);
    if (button.otherCaption) width = std::max(width, TextWidth(dc, button.otherCaption));
    width = std::max(width + kButtonPadding, kButtonMinWidth);
    HWND control = ::CreateWindowExA(
        0, "BUTTON", AfxLoadString(button.caption), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, width,
        buttonHeight_, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(button.command)),
        AfxGetInstanceHandle(), nullptr);
    if (control) ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  ::SelectObject(dc, previous);
  ::ReleaseDC(m_hWnd, dc);
  return TRUE;
}

// The buttons in rows as wide as the frame: a narrow window (or longer
// captions of another language) gets a second row rather than hidden ones.
CSize CPreviewBar::CalcFixedLayout(BOOL, BOOL) {
  CRect frame;
  if (m_pDockSite) m_pDockSite->GetClientRect(&frame);
  CSize size = CControlBar::CalcFixedLayout(TRUE, TRUE);
  size.cy = Arrange(frame.Width());
  return size;
}

int CPreviewBar::Arrange(int width) {
  int x = kBarGap;
  int y = kBarGap;
  for (HWND button = ::GetTopWindow(m_hWnd); button; button = ::GetNextWindow(button, GW_HWNDNEXT)) {
    CRect place;
    ::GetWindowRect(button, &place);
    if (x > kBarGap && x + place.Width() + kBarGap > width) {
      x = kBarGap;
      y += buttonHeight_ + kBarGap;
    }
    ::SetWindowPos(button, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    x += place.Width() + kBarGap;
  }
  return y + buttonHeight_ + kBarGap;
}

void CPreviewBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  UpdateDialogControls(target, disableIfNoHandler);
}

// ----------------------------------------------------------- CPreviewView

BEGIN_MESSAGE_MAP(CPreviewView, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_KEYDOWN()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
  ON_MESSAGE(kEndPreviewMessage, OnEndPreview)
  ON_COMMAND(ID_PREVIEW_PRINT, OnPreviewPrint)
  ON_COMMAND(ID_PREVIEW_CLOSE, OnPreviewClose)
  ON_COMMAND(ID_PREVIEW_NEXT, OnNextPage)
  ON_COMMAND(ID_PREVIEW_PREV, OnPrevPage)
  ON_COMMAND(ID_PREVIEW_NUMPAGE, OnNumPages)
  ON_COMMAND(ID_PREVIEW_ZOOMIN, OnZoomIn)
  ON_COMMAND(ID_PREVIEW_ZOOMOUT, OnZoomOut)
  ON_UPDATE_COMMAND_UI(ID_PREVIEW_NEXT, OnUpdateNextPage)
  ON_UPDATE_COMMAND_UI(ID_PREVIEW_PREV, OnUpdatePrevPage)
  ON_UPDATE_COMMAND_UI(ID_PREVIEW_NUMPAGE, OnUpdateNumPages)
  ON_UPDATE_COMMAND_UI(ID_PREVIEW_ZOOMIN, OnUpdateZoomIn)
  ON_UPDATE_COMMAND_UI(ID_PREVIEW_ZOOMOUT, OnUpdateZoomOut)
END_MESSAGE_MAP()

CPreviewView::CPreviewView(CView* view, CPrintInfo* info) : viewWnd_(view->GetSafeHwnd()) {
  pageSize_ = PreviewPageSize(info->GetPrinterDC());
  RecordPages(view, info);
}

CPreviewView::~CPreviewView() {
  for (HENHMETAFILE page : pages_) ::DeleteEnhMetaFile(page);
}

// Each page is printed once, on an enhanced metafile flagged as printing
// whose frame is the printable area.
void CPreviewView::RecordPages(CView* view, CPrintInfo* info) {
  HDC printer = info->GetPrinterDC();
  CDC reference;
  if (printer) reference.Attach(printer);
  const RECT frame{0, 0, pageSize_.cx, pageSize_.cy};
  const UINT last = std::min(info->GetMaxPage(), info->GetMinPage() + kMaxPreviewPages - 1);
  for (UINT page = info->GetMinPage(); page <= last && info->m_bContinuePrinting; ++page) {
    CMetaFileDC dc;
    if (!dc.CreateEnhanced(printer ? &reference : nullptr, nullptr, &frame, nullptr)) break;
    dc.m_bPrinting = true;
    info->m_nCurPage = page;
    view->OnBeginPrinting(&dc, info);
    view->PrintPage(&dc, info);
    view->OnEndPrinting(&dc, info);
    HENHMETAFILE recorded = dc.CloseEnhanced();
    if (!recorded) break;
    pages_.push_back(recorded);
  }
  reference.Detach();
}

BOOL CPreviewView::Create(CFrameWnd* frame) {
  if (!frame || !frame->GetSafeHwnd() || frame->m_pPreview || pages_.empty()) return FALSE;
  frame_ = frame;
  savedFocus_ = ::GetFocus();
  HideFrameParts();
  const char* windowClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
  if (!bar_.Create(frame) ||
      !CreateEx(0, windowClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, CRect(0, 0, 0, 0),
                frame, AFX_IDW_PANE_FIRST)) {
    bar_.DestroyWindow();
    RestoreFrameParts();
    return FALSE;
  }
  frame->m_pPreview = this;
  frame->RecalcLayout();
  SetFocus();
  Changed();
  return TRUE;
}

// Takes the menu off and hides the bars (the status bar stays), the
// frame's own popups and its pane.
void CPreviewView::HideFrameParts() {
  HWND frame = frame_->GetSafeHwnd();
  savedMenu_ = ::GetMenu(frame);
  if (savedMenu_) ::SetMenu(frame, nullptr);
  for (HWND child = ::GetTopWindow(frame); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
    CWnd* wnd = FromHandlePermanent(child);
    if (!wnd || !wnd->IsKindOf(RUNTIME_CLASS(CControlBar)) || !::IsWindowVisible(child) ||
        ::GetDlgCtrlID(child) == static_cast<int>(AFX_IDW_STATUS_BAR))
      continue;
    ::ShowWindow(child, SW_HIDE);
    hiddenBars_.push_back(child);
  }
  ::ShowOwnedPopups(frame, FALSE);
  savedPane_ = ::GetDlgItem(frame, AFX_IDW_PANE_FIRST);
  if (savedPane_) {
    ::ShowWindow(savedPane_, SW_HIDE);
    ::SetWindowLongPtrA(savedPane_, GWLP_ID, kHiddenPaneId);
  }
}

void CPreviewView::RestoreFrameParts() {
  HWND frame = frame_->GetSafeHwnd();
  if (savedPane_ && ::IsWindow(savedPane_)) {
    ::SetWindowLongPtrA(savedPane_, GWLP_ID, AFX_IDW_PANE_FIRST);
    ::ShowWindow(savedPane_, SW_SHOW);
  }
  for (HWND bar : hiddenBars_)
    if (::IsWindow(bar)) ::ShowWindow(bar, SW_SHOW);
  ::ShowOwnedPopups(frame, TRUE);
  if (savedMenu_ && ::IsMenu(savedMenu_)) ::SetMenu(frame, savedMenu_);
  savedPane_ = nullptr;
  hiddenBars_.clear();
  savedMenu_ = nullptr;
}

// The frame comes back as it was, with the focus where it was.
void CPreviewView::Close() {
  CFrameWnd* frame = frame_;
  if (!frame) return;
  frame->m_pPreview = nullptr;
  bar_.DestroyWindow();
  // Out of the layout before the frame's own pane takes its id back.
  ShowWindow(SW_HIDE);
  SetDlgCtrlID(0);
  RestoreFrameParts();
  frame->RecalcLayout();
  frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
  if (savedFocus_ && ::IsWindowVisible(savedFocus_))
    ::SetFocus(savedFocus_);
  else if (::IsWindow(viewWnd_))
    ::SetFocus(viewWnd_);
  frame_ = nullptr;
  DestroyWindow();  // deletes this
}

// The frame goes down with the preview still in it: it must not route to us.
void CPreviewView::OnDestroy() {
  if (frame_ && frame_->m_pPreview == this) frame_->m_pPreview = nullptr;
  Default();
}

void CPreviewView::OnKeyDown(UINT key, UINT, UINT) {
  if (key == VK_ESCAPE) Close();
}

LRESULT CPreviewView::OnEndPreview(WPARAM print, LPARAM) {
  HWND view = viewWnd_;
  Close();
  // The view may have gone while the preview ran.
  if (print && ::IsWindow(view) && FromHandlePermanent(view))
    ::SendMessageA(view, WM_COMMAND, ID_FILE_PRINT, 0);
  return 0;
}

void CPreviewView::OnPreviewPrint() { PostMessage(kEndPreviewMessage, 1, 0); }
void CPreviewView::OnPreviewClose() { PostMessage(kEndPreviewMessage, 0, 0); }

// --- paging and zoom ------------------------------------------------------

void CPreviewView::OnNextPage() {
  if (current_ + GetShownPages() < GetPageCount()) ++current_;
  Changed();
}

void CPreviewView::OnPrevPage() {
  if (current_ > 0) --current_;
  Changed();
}

void CPreviewView::OnNumPages() {
  twoPages_ = !twoPages_;
  Changed();
}

void CPreviewView::OnUpdateNextPage(CCmdUI* cmdUI) {
  cmdUI->Enable(current_ + GetShownPages() < GetPageCount());
}

void CPreviewView::OnUpdatePrevPage(CCmdUI* cmdUI) { cmdUI->Enable(current_ > 0); }

void CPreviewView::OnUpdateNumPages(CCmdUI* cmdUI) {
  cmdUI->SetText(AfxLoadString(twoPages_ ? AFX_IDS_PREVIEW_ONEPAGE : AFX_IDS_PREVIEW_TWOPAGE));
  cmdUI->Enable(zoom_ == 0);
}

// A zoomed page is looked at from its top-left corner.
void CPreviewView::SetZoom(int zoom) {
  zoom_ = std::clamp(zoom, 0, kZoomSteps - 1);
  scroll_ = CPoint(0, 0);
  Changed();
}

void CPreviewView::Changed() {
  UpdateScrollBars();
  if (frame_) frame_->SetMessageText(PageText());
  Invalidate(FALSE);
  // A button that pressed itself would keep the keys from us.
  if (m_hWnd && ::GetFocus() != m_hWnd) SetFocus();
}

CString CPreviewView::PageText() const {
  const UINT first = GetCurrentPage();
  if (GetShownPages() == 2 && current_ + 1 < GetPageCount())
    return AfxFormatResource(AFX_IDS_PREVIEW_PAGES, first, first + 1);
  return AfxFormatResource(AFX_IDS_PREVIEW_PAGE, first);
}

// --- where the pages go ----------------------------------------------------

// Zoomed out the pages shown fit the window; zoomed in, the steps go from
// one fitted page to the page's real size on the screen, and at least to
// twice the fitted size.
double CPreviewView::Scale(const CRect& client) const {
  if (pageSize_.cx <= 0 || pageSize_.cy <= 0) return 0;
  const int slots = GetShownPages();
  const double width = std::max<int>(client.Width() - (slots + 1) * kMargin, slots) / slots;
  const double height = std::max<int>(client.Height() - 2 * kMargin, 1);
  const double fitted = std::min(width / pageSize_.cx, height / pageSize_.cy);
  if (zoom_ == 0) return fitted;
  HDC screen = ::GetDC(nullptr);
  const double real = static_cast<double>(::GetDeviceCaps(screen, LOGPIXELSX)) / kHimetricPerInch;
  ::ReleaseDC(nullptr, screen);
  const double largest = std::max(real, 2 * fitted);
  return zoom_ == 1 ? (fitted + largest) / 2 : largest;
}

// Zoomed in, the scale follows the whole window (scroll bars included), so
// that showing a bar does not change the page it is shown for.
std::vector<CRect> CPreviewView::PagePlaces(const CRect& client) const {
  CRect area = client;
  if (zoom_ > 0 && m_hWnd) {
    CRect window;
    GetWindowRect(&window);
    area = CRect(0, 0, window.Width(), window.Height());
  }
  const double scale = Scale(area);
  const int width = std::max(static_cast<int>(std::lround(pageSize_.cx * scale)), 1);
  const int height = std::max(static_cast<int>(std::lround(pageSize_.cy * scale)), 1);
  const int slots = GetShownPages();
  const int total = slots * width + (slots - 1) * kMargin;
  // Centred where the window has room, else from the margin, scrolled.
  const int left = total + 2 * kMargin <= client.Width() ? client.left + (client.Width() - total) / 2
                                                          : client.left + kMargin - scroll_.x;
  const int top = height + 2 * kMargin <= client.Height()
                      ? client.top + (client.Height() - height) / 2
                      : client.top + kMargin - scroll_.y;
  std::vector<CRect> places;
  for (int slot = 0; slot < slots && current_ + slot < GetPageCount(); ++slot) {
    const int x = left + slot * (width + kMargin);
    places.emplace_back(x, top, x + width, top + height);
  }
  return places;
}

CRect CPreviewView::PageRect(const CRect& client) const {
  const std::vector<CRect> places = PagePlaces(client);
  return places.empty() ? CRect(client.left, client.top, client.left, client.top) : places.front();
}

// --- drawing ----------------------------------------------------------------

// Drawn off screen and copied, so that scrolling and zooming do not flicker.
void CPreviewView::OnPaint() {
  CPaintDC paint(m_hWnd);
  CRect client;
  GetClientRect(&client);
  HDC dc = ::CreateCompatibleDC(paint);
  HBITMAP bitmap = ::CreateCompatibleBitmap(paint, std::max<int>(client.Width(), 1),
                                            std::max<int>(client.Height(), 1));
  HGDIOBJ previous = ::SelectObject(dc, bitmap);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_APPWORKSPACE));
  const std::vector<CRect> places = PagePlaces(client);
  for (size_t i = 0; i < places.size(); ++i) {
    ::FillRect(dc, &places[i], static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::PlayEnhMetaFile(dc, pages_[current_ + i], &places[i]);
    ::FrameRect(dc, &places[i], static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
  ::BitBlt(paint, 0, 0, client.Width(), client.Height(), dc, 0, 0, SRCCOPY);
  ::SelectObject(dc, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

// --- scrolling (zoomed in) ----------------------------------------------------

// Showing or hiding one bar changes the client size: settle in two passes.
void CPreviewView::UpdateScrollBars() {
  if (!m_hWnd) return;
  for (int pass = 0; pass < 2; ++pass) {
    CRect client;
    GetClientRect(&client);
    const std::vector<CRect> places = PagePlaces(client);
    const CRect page = places.empty() ? CRect() : places.front();
    SetScrollAxis(SB_HORZ, page.Width() + 2 * kMargin, client.Width(), scroll_.x);
    SetScrollAxis(SB_VERT, page.Height() + 2 * kMargin, client.Height(), scroll_.y);
  }
}

// A bar only while zoomed in and the page is longer than the window.
void CPreviewView::SetScrollAxis(int bar, int total, int shown, LONG& position) {
  const bool needed = zoom_ > 0 && total > shown;
  position = needed ? std::clamp<LONG>(position, 0, total - shown) : 0;
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS};
  info.nMax = needed ? total - 1 : 0;
  info.nPage = needed ? static_cast<UINT>(shown) : 0;
  info.nPos = position;
  SetScrollInfo(bar, &info, TRUE);
  ::ShowScrollBar(m_hWnd, bar, needed);
}

void CPreviewView::OnSize(UINT, int, int) {
  UpdateScrollBars();
  Invalidate(FALSE);
}

void CPreviewView::ScrollTo(int bar, int position) {
  SCROLLINFO info{sizeof info, SIF_ALL};
  GetScrollInfo(bar, &info);
  const int most = std::max(info.nMax - static_cast<int>(info.nPage) + 1, 0);
  (bar == SB_HORZ ? scroll_.x : scroll_.y) = std::clamp(position, 0, most);
  SetScrollPos(bar, bar == SB_HORZ ? scroll_.x : scroll_.y);
  Invalidate(FALSE);
}

// A page step keeps a line of what was shown in sight.
int CPreviewView::ScrollRequest(int bar, UINT code) {
  SCROLLINFO info{sizeof info, SIF_PAGE};
  GetScrollInfo(bar, &info);
  const int page = std::max(static_cast<int>(info.nPage) - kScrollLine, kScrollLine);
  return AfxScrollTarget(this, bar, code, kScrollLine, page);
}

void CPreviewView::OnHScroll(UINT code, UINT, CWnd*) {
  ScrollTo(SB_HORZ, ScrollRequest(SB_HORZ, code));
}

void CPreviewView::OnVScroll(UINT code, UINT, CWnd*) {
  ScrollTo(SB_VERT, ScrollRequest(SB_VERT, code));
}

BOOL CPreviewView::OnMouseWheel(UINT, short delta, CPoint) {
  if (zoom_ > 0) ScrollTo(SB_VERT, scroll_.y - delta * 3 * kScrollLine / WHEEL_DELTA);
  return TRUE;
}
