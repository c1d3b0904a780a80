// CLabel and CLayeredWindowHelper.
#include "controls/Label.h"

#include <algorithm>
#include <cstring>

#include "controls/TextHelpers.h"
#include "framework/Dc.h"

IMPLEMENT_DYNAMIC(CLabel, CStatic)

BEGIN_MESSAGE_MAP(CLabel, CStatic)
  ON_WM_PAINT()
  ON_WM_TIMER()
  ON_WM_SETCURSOR()
  ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChangeMessage)
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CLabel::CLabel() : textColour_(::GetSysColor(COLOR_WINDOWTEXT)) {
  systemBrush_.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
}

CLabel::~CLabel() = default;  // the font and both brushes go with their wrappers

void CLabel::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  auto current = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  if (!current) current = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
  ::GetObjectA(current, sizeof logFont_, &logFont_);
  RemakeFont();
}

// The window answers WM_GETFONT with the font the label draws with; the old
// font goes only after the window has let go of it.
void CLabel::RemakeFont() {
  CFont made;
  made.CreateFontIndirect(&logFont_);
  if (m_hWnd) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(made.GetSafeHandle()), FALSE);
  font_.DeleteObject();
  font_.Attach(made.Detach());
}

CLabel& CLabel::FontChanged() {
  RemakeFont();
  Redraw();
  return *this;
}

// The parent under the label first (a transparent label shows it), then the
// label itself on top.
void CLabel::Redraw() {
  if (!m_hWnd) return;
  if (CWnd* parent = GetParent()) {
    CRect rect;
    GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    parent->InvalidateRect(&rect, TRUE);
    parent->UpdateWindow();
  }
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// --- setters ---------------------------------------------------------------------

CLabel& CLabel::SetBackgroundColour(COLORREF colour, COLORREF secondColour, int fillMode) {
  backgroundColour_ = colour;
  secondColour_ = secondColour;
  fillMode_ = fillMode;
  backgroundBrush_.DeleteObject();
  if (fillMode == kSolidFill) backgroundBrush_.CreateSolidBrush(colour);
  Redraw();
  return *this;
}

CLabel& CLabel::SetTextColour(COLORREF colour) {
  textColour_ = colour;
  Redraw();
  return *this;
}

CLabel& CLabel::SetLabelText(const char* text) {
  if (!m_hWnd) return *this;
  SetWindowText(text);
  Redraw();
  return *this;
}

CLabel& CLabel::SetBold(BOOL bold) {
  logFont_.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  return FontChanged();
}

CLabel& CLabel::SetFaceName(const char* faceName, BYTE charSet) {
  logFont_.lfCharSet = charSet;
  std::memset(logFont_.lfFaceName, 0, sizeof logFont_.lfFaceName);
  if (faceName) std::strncpy(logFont_.lfFaceName, faceName, LF_FACESIZE - 1);
  return FontChanged();
}

CLabel& CLabel::SetUnderline(BOOL underline) {
  logFont_.lfUnderline = underline ? 1 : 0;
  return FontChanged();
}

CLabel& CLabel::SetItalic(BOOL italic) {
  logFont_.lfItalic = italic ? 1 : 0;
  return FontChanged();
}

// A point size on the screen: tenths of a point at the screen's pixels per inch.
CLabel& CLabel::SetPointSize(int points) {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  logFont_.lfHeight = -std::abs(::MulDiv(points * 10, dpi, 720));
  logFont_.lfWidth = 0;
  return FontChanged();
}

CLabel& CLabel::SetSunken(BOOL sunken) {
  if (sunken)
    ModifyStyleEx(0, WS_EX_STATICEDGE, SWP_FRAMECHANGED);
  else
    ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
  return *this;
}

CLabel& CLabel::SetBorder(BOOL border) {
  if (border)
    ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED);
  else
    ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
  return *this;
}

CLabel& CLabel::SetTransparent(BOOL transparent) {
  transparent_ = transparent;
  if (transparent)
    ModifyStyleEx(0, WS_EX_TRANSPARENT);
  else
    ModifyStyleEx(WS_EX_TRANSPARENT, 0);
  Redraw();
  return *this;
}

void CLabel::StopFlashTimer() {
  if (flashTimerRunning_ && m_hWnd) KillTimer(kFlashTimer);
  flashTimerRunning_ = FALSE;
}

void CLabel::StartFlashTimer(int mode) {
  flashPhase_ = FALSE;
  flashTimerRunning_ = m_hWnd && SetTimer(kFlashTimer, kFlashMilliseconds) != 0;
  flashMode_ = mode;
}

CLabel& CLabel::SetFlashText(BOOL flash) {
  StopFlashTimer();
  if (flash)
    StartFlashTimer(kFlashText);
  else
    flashMode_ = kNoFlash;
  return *this;
}

CLabel& CLabel::SetFlashBackground(BOOL flash) {
  StopFlashTimer();
  if (flash) StartFlashTimer(kFlashBackground);
  return *this;
}

CLabel& CLabel::SetLink(int mode, BOOL notifyParent) {
  linkMode_ = mode;
  notifyParent_ = notifyParent;
  if (linkMode_ != kNoLink)
    ModifyStyle(0, SS_NOTIFY);
  else
    ModifyStyle(SS_NOTIFY, 0);
  return *this;
}

CLabel& CLabel::SetUrlLink(BOOL link, BOOL notifyParent) {
  return SetLink(link ? kWebLink : kNoLink, notifyParent);
}

CLabel& CLabel::SetMailLink(BOOL link, BOOL notifyParent) {
  return SetLink(link ? kMailLink : kNoLink, notifyParent);
}

CLabel& CLabel::SetLinkCursor(HCURSOR cursor) {
  linkCursor_ = cursor;
  return *this;
}

CLabel& CLabel::Set3DText(BOOL raised, BOOL downRight) {
  text3D_ = raised;
  downRight3D_ = downRight;
  Redraw();
  return *this;
}

CLabel& CLabel::SetRotation(int degrees, BOOL rotated) {
  logFont_.lfEscapement = degrees * 10;
  logFont_.lfOrientation = degrees * 10;
  rotated_ = rotated;
  return FontChanged();
}

CLabel& CLabel::Set3DHighlightColour(COLORREF colour) {
  highlightColour_ = colour;
  Redraw();
  return *this;
}

CLabel& CLabel::SetLogFont(const LOGFONTA& font) {
  logFont_ = font;
  logFont_.lfFaceName[LF_FACESIZE - 1] = '\0';
  return FontChanged();
}

CLabel& CLabel::SetLinkTarget(const char* target) {
  linkTarget_ = target ? target : "";
  return *this;
}

// --- messages ----------------------------------------------------------------------

void CLabel::OnTimer(UINT_PTR) {
  flashPhase_ = !flashPhase_;
  Redraw();
  Default();
}

BOOL CLabel::OnSetCursor(CWnd*, UINT, UINT) {
  if (!linkCursor_) return static_cast<BOOL>(Default());
  ::SetCursor(linkCursor_);
  return TRUE;
}

LRESULT CLabel::OnSysColorChangeMessage(WPARAM, LPARAM) {
  systemBrush_.DeleteObject();
  systemBrush_.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
  Redraw();
  return 0;
}

CString CLabel::LinkAddress(int mode, const CString& target, const CString& text) {
  CString address;
  if (mode == kMailLink) address = "mailto:" + text;  // the text is the mail address
  else if (mode == kWebLink) address = target.IsEmpty() ? text : target;
  return IsOpenableLink(address) ? address : CString();
}

void CLabel::OnLButtonDown(UINT, CPoint) {
  if (notifyParent_) {
    NMHDR header = {};
    header.hwndFrom = m_hWnd;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    header.code = kLabelClicked;
    if (CWnd* parent = GetParent())
      parent->SendMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  } else {
    const CString address = LinkAddress(linkMode_, linkTarget_, GetWindowText());
    // A web link opens with the verb "open", a mail link with the default verb.
    if (!address.IsEmpty())
      ::ShellExecuteA(nullptr, linkMode_ == kWebLink ? "open" : nullptr, address, nullptr,
                      nullptr, SW_SHOWNORMAL);
  }
  Default();
}

// --- painting ----------------------------------------------------------------------

int CLabel::FillGraded(CDC& dc, const RECT& rect, COLORREF start, COLORREF end) {
  const int width = rect.right - rect.left;
  // A label with no width has no strip to draw (and nothing to divide by).
  if (width <= 0) return 0;
  const int count = std::min(kMaxGradedStrips, width);
  const int divisor = count <= 1 ? 1 : count;
  int channel[3] = {GetRValue(start) << 8, GetGValue(start) << 8, GetBValue(start) << 8};
  const int step[3] = {(GetRValue(end) - GetRValue(start)) * 256 / divisor,
                       (GetGValue(end) - GetGValue(start)) * 256 / divisor,
                       (GetBValue(end) - GetBValue(start)) * 256 / divisor};
  CGdiObject* oldPen = dc.SelectStockObject(NULL_PEN);
  const int stripWidth = width / count;
  int left = rect.left;
  for (int i = 0; i < count; ++i) {
    const int right = i == count - 1 ? rect.right : left + stripWidth;
    CBrush brush(RGB(channel[0] >> 8, channel[1] >> 8, channel[2] >> 8));
    CBrush* oldBrush = dc.SelectObject(&brush);
    dc.Rectangle(left, rect.top, right + 1, rect.bottom + 1);
    dc.SelectObject(oldBrush);
    for (int c = 0; c < 3; ++c) channel[c] += step[c];
    left = right;
  }
  if (oldPen) dc.SelectObject(oldPen->GetSafeHandle());
  return count;
}

void CLabel::PaintBackground(CDC& dc, const CRect& client) {
  if (fillMode_ != kSolidFill) {
    FillGraded(dc, client, backgroundColour_, secondColour_);
    return;
  }
  dc.FillRect(&client, backgroundBrush_.GetSafeHandle() ? &backgroundBrush_ : &systemBrush_);
}

UINT CLabel::TextFormat(const CString& text) const {
  const DWORD style = GetStyle();
  UINT format = DT_WORDBREAK;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: format = DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK; break;
    case SS_LEFTNOWORDWRAP: format = DT_LEFT; break;
    default: break;
  }
  if (std::strchr(text, '\t')) format |= DT_EXPANDTABS;
  if (style & SS_CENTERIMAGE)
    format = std::strstr(text, "\r\n") ? DT_CENTER : DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  return format;
}

void CLabel::PaintText(CDC& dc, const CRect& client, const CString& text) {
  const UINT format = TextFormat(text);
  if (rotated_) {
    const CPoint oldOrigin = dc.SetViewportOrg(client.Width() / 2, client.Height() / 2);
    const UINT oldAlign = dc.SetTextAlign(TA_BASELINE);
    dc.TextOut(0, 0, text, text.GetLength());
    dc.SetTextAlign(oldAlign);
    dc.SetViewportOrg(oldOrigin.x, oldOrigin.y);
    return;
  }
  CRect rect = client;
  dc.DrawText(text, text.GetLength(), &rect, format);
  if (text3D_) {
    dc.SetTextColor(highlightColour_);
    CRect raised = client;
    const int offset = downRight3D_ ? 1 : -1;
    raised.OffsetRect(offset, offset);
    dc.DrawText(text, text.GetLength(), &raised, format);
  }
}

void CLabel::OnPaint() {
  CPaintDC paintDC(m_hWnd);
  CRect client;
  GetClientRect(&client);
  const CString text = GetWindowText();

  CDC memoryDC;
  CBitmap bitmap;
  CBitmap* oldBitmap = nullptr;
  CDC* dc = &paintDC;
  if (!transparent_ && memoryDC.CreateCompatibleDC(&paintDC) &&
      bitmap.CreateCompatibleBitmap(&paintDC, std::max(1, client.Width()), std::max(1, client.Height()))) {
    oldBitmap = memoryDC.SelectObject(&bitmap);
    dc = &memoryDC;
  }
  const int saved = dc->SaveDC();
  dc->SetBkMode(TRANSPARENT);
  COLORREF colour = textColour_;
  dc->SelectObject(&font_);
  if (!transparent_) PaintBackground(*dc, client);
  if (flashMode_ == kFlashText && !flashPhase_) {
    // The hidden phase: the text takes the background brush's colour.
    LOGBRUSH brush = {};
    colour = backgroundBrush_.GetSafeHandle() && backgroundBrush_.GetObject(sizeof brush, &brush)
                 ? brush.lbColor
                 : RGB(0, 0, 0);
  }
  dc->SetTextColor(colour);
  PaintText(*dc, client, text);
  dc->RestoreDC(saved);
  if (dc == &memoryDC) {
    paintDC.BitBlt(0, 0, client.Width(), client.Height(), &memoryDC, 0, 0, SRCCOPY);
    memoryDC.SelectObject(oldBitmap);
  }
}

// --- CLayeredWindowHelper ------------------------------------------------------

CLayeredWindowHelper::CLayeredWindowHelper() : user32_(::LoadLibraryA("USER32.dll")) {}

CLayeredWindowHelper::~CLayeredWindowHelper() {
  if (user32_) ::FreeLibrary(user32_);
}

BOOL CLayeredWindowHelper::SetLayeredWindowAttributes(HWND window, COLORREF colourKey, BYTE alpha,
                                                       DWORD flags) {
  if (!user32_) return TRUE;
  using SetAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  const auto call = reinterpret_cast<SetAttributes>(
      reinterpret_cast<void*>(::GetProcAddress(user32_, "SetLayeredWindowAttributes")));
  if (!call) return FALSE;
  return call(window, colourKey, alpha, flags);
}
