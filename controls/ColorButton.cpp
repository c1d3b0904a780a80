// CColorButton.
#include "controls/ColorButton.h"

#include "controls/ColorPalettePopup.h"
#include "framework/DataExchange.h"

IMPLEMENT_DYNCREATE(CColorButton, CButton)

BEGIN_MESSAGE_MAP(CColorButton, CButton)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
  ON_WM_DRAWITEM_REFLECT()
  ON_MESSAGE(WM_COLOUR_ACCEPTED, OnAccepted)
  ON_MESSAGE(WM_COLOUR_CANCELLED, OnCancelled)
  ON_MESSAGE(WM_COLOUR_CHANGED, OnChanged)
  ON_WM_CREATE()
END_MESSAGE_MAP()

CColorButton::CColorButton() : defaultColour_(::GetSysColor(COLOR_APPWORKSPACE)) {}

void CColorButton::SetColour(COLORREF colour) {
  colour_ = colour;
  if (m_hWnd) Invalidate(FALSE);
}

COLORREF CColorButton::GetEffectiveColour() const {
  return colour_ == kAutomaticColour ? defaultColour_ : colour_;
}

void CColorButton::PreSubclassWindow() { ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW); }

int CColorButton::OnCreate(LPCREATESTRUCTA) {
  return Default() == -1 ? -1 : 0;
}

void CColorButton::NotifyParent(UINT message, COLORREF colour) const {
  if (CWnd* parent = GetParent())
    parent->SendMessage(message, colour, static_cast<LPARAM>(GetDlgCtrlID()));
}

// The parent does not see the click: it hears of the popup instead.
BOOL CColorButton::OnClicked() {
  CRect rect;
  GetWindowRect(&rect);
  popupOpen_ = true;
  auto* popup = new CColorPalettePopup(CPoint(rect.left, rect.bottom), colour_, this, DefaultText,
                                       CustomText);
  // Guard: a popup that could not be made must not leave the button open.
  if (!popup->GetSafeHwnd()) {
    delete popup;
    popupOpen_ = false;
    Invalidate(FALSE);
    return TRUE;
  }
  Invalidate(FALSE);
  NotifyParent(WM_COLOUR_DROPDOWN, colour_);
  return TRUE;
}

LRESULT CColorButton::OnAccepted(WPARAM colour, LPARAM) {
  const COLORREF before = colour_;
  popupOpen_ = false;
  colour_ = static_cast<COLORREF>(colour);
  RedrawWindow();
  NotifyParent(WM_COLOUR_CLOSEUP, colour_);
  NotifyParent(WM_COLOUR_ACCEPTED, colour_);
  if (colour_ != before) NotifyParent(WM_COLOUR_CHANGED, colour_);
  return 0;
}

LRESULT CColorButton::OnCancelled(WPARAM colour, LPARAM) {
  popupOpen_ = false;
  colour_ = static_cast<COLORREF>(colour);
  RedrawWindow();
  NotifyParent(WM_COLOUR_CLOSEUP, colour_);
  NotifyParent(WM_COLOUR_CANCELLED, colour_);
  return 0;
}

LRESULT CColorButton::OnChanged(WPARAM colour, LPARAM) {
  if (TrackSelection) {
    colour_ = static_cast<COLORREF>(colour);
    RedrawWindow();
  }
  NotifyParent(WM_COLOUR_CHANGED, static_cast<COLORREF>(colour));
  return 0;
}

// Frame, arrow, separator and swatch; pressed and focused while the popup
// is open.
void CColorButton::DrawItem(LPDRAWITEMSTRUCT item) {
  HDC dc = item->hDC;
  RECT rect = item->rcItem;
  const bool disabled = (item->itemState & ODS_DISABLED) != 0;
  const bool pressed = popupOpen_ || (item->itemState & ODS_SELECTED);
  const bool focused = popupOpen_ || (item->itemState & ODS_FOCUS);
  UINT frame = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
  if (pressed) frame |= DFCS_PUSHED;
  if (disabled) frame |= DFCS_INACTIVE;
  ::DrawFrameControl(dc, &rect, DFC_BUTTON, frame);
  if (pressed) ::OffsetRect(&rect, 1, 1);
  if (focused) {
    RECT focus = rect;
    --focus.right;
    ::DrawFocusRect(dc, &focus);
  }
  const int edgeX = ::GetSystemMetrics(SM_CXEDGE);
  const int edgeY = ::GetSystemMetrics(SM_CYEDGE);
  ::InflateRect(&rect, -edgeX, -edgeY);
  const int x = rect.right - edgeX / 2;
  const int y = (rect.top + rect.bottom) / 2;
  const POINT arrow[3] = {{x - 4, y - 1}, {x, y - 1}, {x - 2, y + 1}};
  const COLORREF arrowColour = disabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0);
  HBRUSH arrowBrush = ::CreateSolidBrush(arrowColour);
  HPEN arrowPen = ::CreatePen(PS_SOLID, 1, arrowColour);
  HGDIOBJ oldBrush = ::SelectObject(dc, arrowBrush);
  HGDIOBJ oldPen = ::SelectObject(dc, arrowPen);
  ::Polygon(dc, arrow, 3);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(arrowBrush);
  ::DeleteObject(arrowPen);
  rect.right = x - edgeX / 2 - 4;
  ::DrawEdge(dc, &rect, EDGE_ETCHED, BF_RIGHT);
  rect.right -= 2 * edgeX + 1;
  if (disabled) return;
  HBRUSH swatch = ::CreateSolidBrush(GetEffectiveColour());
  ::FillRect(dc, &rect, swatch);
  ::DeleteObject(swatch);
  ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

void DDX_ColorButtonValue(CDataExchange* dx, int id, COLORREF& value) {
  auto* button = dynamic_cast<CColorButton*>(CWnd::FromHandlePermanent(dx->PrepareCtrl(id)));
  if (!button) return;
  if (dx->m_bSaveAndValidate)
    value = button->GetEffectiveColour();
  else
    button->SetColour(value);
}
