// CStaticLink: colours and font at WM_CTLCOLORSTATIC, the shell at a click.
#include "controls/StaticLink.h"

#include <windows.h>
#include <shellapi.h>

#include "controls/TextHelpers.h"

CStaticLink::OpenFunction CStaticLink::TestHookOpen = nullptr;

BEGIN_MESSAGE_MAP(CStaticLink, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
  ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

// Only text statics are drawn as links; icons and frames keep their look
// but still open their text when clicked.
HBRUSH CStaticLink::CtlColor(HDC dc, UINT) {
  const DWORD style = GetStyle();
  if (!(style & SS_NOTIFY)) ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(style | SS_NOTIFY));
  if ((style & SS_TYPEMASK) > SS_RIGHT) return nullptr;
  if (!LinkFont.GetSafeHandle() && MakeLinkFont()) {
    // A static selects its own font after asking for colours: it is given
    // the underlined font and drawn again.
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont.GetSafeHandle()), FALSE);
    Invalidate(TRUE);
  }
  if (LinkFont.GetSafeHandle()) ::SelectObject(dc, LinkFont);
  ::SetTextColor(dc, Visited ? VisitedColor : UnvisitedColor);
  ::SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

bool CStaticLink::MakeLinkFont() {
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  // A static that was never given a font draws with the system's GUI font.
  if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA logFont{};
  if (!::GetObjectA(font, sizeof logFont, &logFont)) return false;
  logFont.lfUnderline = TRUE;
  return LinkFont.CreateFontIndirect(&logFont);
}

void CStaticLink::OnClicked() {
  if (Link.IsEmpty()) Link = GetWindowText();
  HINSTANCE result = nullptr;
  if (IsOpenableLink(Link)) {
    result = TestHookOpen ? TestHookOpen(Link)
                          : ::ShellExecuteA(nullptr, "open", Link, nullptr, nullptr, SW_SHOWNORMAL);
  }
  if (reinterpret_cast<INT_PTR>(result) <= 32) {
    ::MessageBeep(0);
    return;
  }
  Visited = TRUE;
  Invalidate(TRUE);
}
